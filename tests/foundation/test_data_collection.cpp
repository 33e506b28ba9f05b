#include "foundation/YDataCollection.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(HashKey, FoldsCaseAndShiftsByPosition)
{
    EXPECT_EQ(HashKey("abc"), 0xE9);
    EXPECT_EQ(HashKey("ABC"), 0xE9);
    EXPECT_EQ(HashKey(""), 0);
    EXPECT_EQ(HashKey("Zoom"), HashKey("zoom"));
    // '@' is 0x40 and contributes nothing wherever it stands
    EXPECT_EQ(HashKey("@@@"), 0);
    EXPECT_EQ(HashKey("a"), 0x21);
    EXPECT_EQ(HashKey("@a"), 0x42);
}

TEST(YDataCollection, NamesMatchWithoutRegardToCase)
{
    YDataCollection c(0, 1);
    EXPECT_EQ(c.SetInt("Speed", 1), 0);
    EXPECT_EQ(c.SetInt("SPEED", 2), 0);
    EXPECT_EQ(c.GetLastIndex(), 0);
    EXPECT_STREQ(c.GetName(0), "SPEED");
    EXPECT_EQ(c.GetInt("speed"), 2);
    c.Set("Zoom", "a");
    c.Set("zoom", "b");
    EXPECT_EQ(c.GetLastIndex(), 1);
    EXPECT_STREQ(c.GetValue("ZOOM"), "b");
}

TEST(YDataCollection, PresizedStoresWithoutGrowing)
{
    YDataCollection c(32, 32);
    EXPECT_EQ(c.GetSize(), 32);
    EXPECT_EQ(c.GetLastIndex(), -1);
    EXPECT_EQ(c.IndexOf(""), -1);  // blank elements are never found
    EXPECT_EQ(c.Set("first", "1"), 0);
    EXPECT_EQ(c.GetSize(), 32);
    EXPECT_EQ(c.GetLastIndex(), 0);
}

TEST(YDataCollection, MissingNamesGiveNeutralValues)
{
    YDataCollection c(0, 1);
    c.Set("present", "5");
    EXPECT_EQ(c.GetInt("absent"), 0);
    EXPECT_EQ(c.GetFloat("absent"), 0.0);
    EXPECT_EQ(c.GetHex("absent"), 0xFFFFFFFFu);
    EXPECT_TRUE(c.GetValue("absent").IsEmpty());
    EXPECT_EQ(c.GetUser("absent"), 0u);
    EXPECT_EQ(c.GetElement(5), nullptr);
    EXPECT_TRUE(c.GetName(-1).IsEmpty());
    // the shared empty string is one object for the whole run
    EXPECT_EQ(&c.GetValue("absent"), &c.GetName(99));
}

TEST(YDataCollection, ValueConversions)
{
    YDataCollection c(0, 1);
    struct Case {
        const char* value;
        uint32_t hex;
        int x, y, z, w;
    } cases[] = {
        {"00ff00ff", 0x00FF00FFu, 0, 0, 0, 0},
        {"12345", 0xFFFFFFFFu, 12345, 0, 0, 0},
        {"0000000G", 0u, 0, 0, 0, 0},
        {"FFFFFFFF", 0xFFFFFFFFu, 0, 0, 0, 0},
        {"10 20", 0xFFFFFFFFu, 10, 20, 0, 0},
        {"", 0xFFFFFFFFu, 0, 0, 0, 0},
        {"1\t2\r\n3 4 5", 0xFFFFFFFFu, 1, 2, 3, 4},
        {"-7 \"8 9\" 3", 0xFFFFFFFFu, -7, 8, 3, 0},
    };
    for (const Case& k : cases) {
        c.Set("v", k.value);
        EXPECT_EQ(c.GetHex("v"), k.hex) << k.value;
        YIntQuad q = c.GetInts("v");
        EXPECT_EQ(q.x, k.x) << k.value;
        EXPECT_EQ(q.y, k.y) << k.value;
        EXPECT_EQ(q.z, k.z) << k.value;
        EXPECT_EQ(q.w, k.w) << k.value;
    }
    c.SetFloat("f", 1.5f);
    EXPECT_STREQ(c.GetValue("f"), "1.500000");
    EXPECT_DOUBLE_EQ(c.GetFloat("f"), 1.5);
}

TEST(YDataCollection, SetAtGrowsWithBlankElements)
{
    YDataCollection c(0, 1);
    EXPECT_EQ(c.SetAt(5, "five", "5", 7), 5);
    EXPECT_EQ(c.GetSize(), 6);
    EXPECT_EQ(c.GetLastIndex(), 5);
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(c.GetName(i).IsEmpty());
    EXPECT_EQ(c.IndexOf("FIVE"), 5);
    EXPECT_EQ(c.GetUser("five"), 7u);
    EXPECT_EQ(c.SetAt(-1, "neg", "x", 0), -1);
    EXPECT_EQ(c.GetSize(), 6);
    // replacing an element's name makes the old one unfindable at once
    c.SetName(5, "renamed");
    EXPECT_EQ(c.IndexOf("five"), -1);
    EXPECT_EQ(c.IndexOf("RENAMED"), 5);
}

TEST(YDataCollection, NamelessSetReusesAMatchingValue)
{
    YDataCollection c(0, 1);
    c.Set("alpha", "shared");
    c.Set("beta", "other");
    EXPECT_EQ(c.Set("", "SHARED"), 0);  // found under any name, case-insensitively
    EXPECT_TRUE(c.GetName(0).IsEmpty());
    EXPECT_EQ(c.Set(nullptr, "new"), 2);
    EXPECT_EQ(c.GetLastIndex(), 2);
}

TEST(YDataCollection, RemoveAndDuplicates)
{
    YDataCollection c(0, 1);
    c.SetAt(0, "dup", "first", 0);
    c.SetAt(1, "dup", "second", 0);
    EXPECT_STREQ(c.GetValue("dup"), "first");  // the lowest index wins
    c.RemoveByName(YString("dup"));
    EXPECT_STREQ(c.GetValue("dup"), "second");
    EXPECT_EQ(c.GetSize(), 1);
    c.RemoveByName(YString("nothing"));
    EXPECT_EQ(c.GetSize(), 1);
}

TEST(YDataCollection, MergeAndStoreDifferences)
{
    YDataCollection a(0, 1), b(0, 1), diff(0, 1);
    a.Set("same", "1");
    a.Set("changed", "new");
    a.Set("added", "x");
    b.Set("same", "1");
    b.Set("changed", "NEW");  // differs only by case: still a difference
    diff.StoreDifferences(&a, &b);
    EXPECT_EQ(diff.GetLastIndex(), 1);
    EXPECT_STREQ(diff.GetValue("changed"), "new");
    EXPECT_STREQ(diff.GetValue("added"), "x");
    EXPECT_EQ(diff.IndexOf("same"), -1);

    b.Merge(&a);
    EXPECT_STREQ(b.GetValue("changed"), "new");
    EXPECT_STREQ(b.GetValue("added"), "x");
    EXPECT_EQ(b.GetLastIndex(), 2);
    b.Merge(nullptr);
    b.Merge(&b);
    EXPECT_EQ(b.GetLastIndex(), 2);
}

TEST(YDataCollection, ChecksumFollowsHashesAndPositions)
{
    YDataCollection c(0, 1);
    EXPECT_EQ(c.Checksum(), 0u);
    c.Set("a", "b", 5);  // 5 + (0x22 * 256 + 0x21)
    c.Set("c", "d", 0);  // + ((0x24 * 256 + 0x23) << 1)
    EXPECT_EQ(c.Checksum(), 5u + 0x2221u + (0x2423u << 1));
    YDataCollection swapped(0, 1);
    swapped.Set("c", "d", 0);
    swapped.Set("a", "b", 5);
    EXPECT_NE(swapped.Checksum(), c.Checksum());
}

TEST(YDataCollection, ResetRestoresTheInitialShape)
{
    YDataCollection c(4, 2);
    for (int i = 0; i < 10; ++i) c.SetAt(i, "n", "v", 1);
    c.Reset();
    EXPECT_EQ(c.GetSize(), 4);
    EXPECT_EQ(c.GetLastIndex(), -1);
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(c.GetName(i).IsEmpty());
        EXPECT_EQ(c.GetUser(i), 0u);
    }
}

std::vector<BYTE> StoreCollection(YDataCollection& c)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        c.Serialize(ar);
        ar.Close();
    }
    std::vector<BYTE> bytes(file.GetLength());
    file.SeekToBegin();
    file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
    return bytes;
}

void LoadCollection(const std::vector<BYTE>& bytes, YDataCollection& c)
{
    CMemFile file(const_cast<BYTE*>(bytes.data()), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    c.Serialize(ar);
}

TEST(YDataCollectionArchive, Layout)
{
    YDataCollection c(0, 1);
    c.Set("k", "vv", 0x01020304u);
    std::vector<BYTE> expected = {
        1, 0, 0, 0,                      // size
        0, 0, 0, 0,                      // last used index
        1, 0, 0, 0, 'k',                 // name
        2, 0, 0, 0, 'v', 'v',            // value
        4, 3, 2, 1,                      // user word
    };
    EXPECT_EQ(StoreCollection(c), expected);
    YDataCollection back(0, 1);
    LoadCollection(expected, back);
    EXPECT_EQ(back.GetUser("K"), 0x01020304u);
    EXPECT_STREQ(back.GetValue("k"), "vv");
}

TEST(YDataCollectionArchive, LastIndexIsClampedAndOldTextCleared)
{
    std::vector<BYTE> bytes = {3, 0, 0, 0, 7, 0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        BYTE element[] = {1, 0, 0, 0, static_cast<BYTE>('a' + i), 0, 0, 0, 0, 0, 0, 0, 0};
        bytes.insert(bytes.end(), element, element + sizeof element);
    }
    YDataCollection c(0, 1);
    c.Set("x", "old value");
    LoadCollection(bytes, c);
    EXPECT_EQ(c.GetSize(), 3);
    EXPECT_EQ(c.GetLastIndex(), 2);
    EXPECT_STREQ(c.GetName(0), "a");
    EXPECT_TRUE(c.GetValue(0).IsEmpty());  // the stored empty value replaced "old value"
    EXPECT_EQ(c.IndexOf("c"), 2);
}

TEST(YDataCollectionArchive, HostileSizeIsRefused)
{
    std::vector<BYTE> bytes = {0xFF, 0xFF, 0xFF, 0x0F, 0, 0, 0, 0};
    YDataCollection c(0, 1);
    bool thrown = false;
    try {
        LoadCollection(bytes, c);
    } catch (CArchiveException* e) {
        thrown = true;
        e->Delete();
    }
    EXPECT_TRUE(thrown);
}

TEST(YDataCollectionArchive, DynamicCreationByName)
{
    CRuntimeClass* cls = CRuntimeClass::FromName("YDataCollection");
    ASSERT_NE(cls, nullptr);
    CObject* obj = cls->CreateObject();
    ASSERT_NE(obj, nullptr);
    YDataCollection* c = dynamic_cast<YDataCollection*>(obj);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->GetSize(), 0);
    EXPECT_EQ(c->GetLastIndex(), -1);
    delete obj;
}

}  // namespace
