// The actor info record's archive form: byte layout, version, replacing
// loads, short and lying archives.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "RecordBytes.h"
#include "world/YVSActorInfo.h"

namespace {
void Fill(YVSActorInfo& info)
{
    info.m_properties->Set("Kind", "Balloon");
    info.m_vector = YVector(1, 2, 3);
    info.m_floatsA.Add(0.5f);
    info.m_floatsA.Add(1.5f);
    info.m_floatsC.Add(-4.0f);
}

uint32_t WordAt(const std::vector<uint8_t>& bytes, size_t at)
{
    uint32_t word;
    memcpy(&word, &bytes[at], 4);
    return word;
}
}  // namespace

TEST(ActorInfo, EmptyRecordAfterItsCollection)
{
    YVSActorInfo info;
    YDataCollection empty;
    const std::vector<uint8_t> collection = Store(empty);
    const std::vector<uint8_t> bytes = Store(info);
    ASSERT_EQ(collection.size() + 3 * 4 + 4 + 4 * 4, bytes.size());
    EXPECT_TRUE(std::equal(collection.begin(), collection.end(), bytes.begin()));
    EXPECT_EQ(1u, WordAt(bytes, collection.size() + 12)) << "version 1";
    for (int k = 0; k < 4; ++k) EXPECT_EQ(0u, WordAt(bytes, collection.size() + 16 + 4 * k));
}

TEST(ActorInfo, RoundTripByteForByteAndLoadingReplaces)
{
    YVSActorInfo info;
    Fill(info);
    const std::vector<uint8_t> bytes = Store(info);
    const size_t tail = bytes.size() - (12 + 4 + (4 + 8) + 4 + (4 + 4) + 4);
    EXPECT_EQ(2u, WordAt(bytes, tail + 16)) << "floatsA's count";

    YVSActorInfo copy;
    copy.m_floatsA.Add(9.0f);
    copy.m_floatsD.Add(9.0f);
    copy.m_vector = YVector(7, 7, 7);
    ASSERT_TRUE(Load(copy, bytes));
    EXPECT_EQ(2, copy.m_floatsA.GetSize());
    EXPECT_EQ(1.5f, copy.m_floatsA[1]);
    EXPECT_EQ(0, copy.m_floatsB.GetSize());
    EXPECT_EQ(-4.0f, copy.m_floatsC[0]);
    EXPECT_EQ(0, copy.m_floatsD.GetSize());
    EXPECT_EQ(YVector(1, 2, 3), copy.m_vector);
    EXPECT_STREQ("Balloon", copy.m_properties->GetValue("Kind"));
    EXPECT_EQ(bytes, Store(copy));

    // The version read is not looked at.
    std::vector<uint8_t> later = bytes;
    later[tail + 12] = 7;
    YVSActorInfo other;
    ASSERT_TRUE(Load(other, later));
    EXPECT_EQ(bytes, Store(other));
}

TEST(ActorInfo, ShortOrLyingArchivesChangeNothing)
{
    YVSActorInfo info;
    Fill(info);
    const std::vector<uint8_t> bytes = Store(info);
    const size_t countA = bytes.size() - (4 + 8 + 4 + (4 + 4) + 4);
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    for (size_t cut : {size_t(1), size_t(5), size_t(20), bytes.size() - 3})
        cases.push_back({"cut", std::vector<uint8_t>(bytes.begin(), bytes.end() - cut)});
    std::vector<uint8_t> huge = bytes;
    huge[countA] = huge[countA + 1] = huge[countA + 2] = huge[countA + 3] = 0xFF;
    cases.push_back({"a count of 4294967295", huge});
    std::vector<uint8_t> over = bytes;
    over[countA] = 3;
    cases.push_back({"one float more than there is", over});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        YVSActorInfo kept;
        kept.m_floatsB.Add(2.0f);
        kept.m_vector = YVector(5, 5, 5);
        kept.m_properties->Set("Old", "1");
        EXPECT_FALSE(Load(kept, c.bytes));
        EXPECT_EQ(1, kept.m_floatsB.GetSize());
        EXPECT_EQ(0, kept.m_floatsA.GetSize());
        EXPECT_EQ(YVector(5, 5, 5), kept.m_vector);
        EXPECT_STREQ("1", kept.m_properties->GetValue("Old"));
    }
}

TEST(ActorInfo, CreatedByNameFromAnArchive)
{
    YVSActorInfo info;
    Fill(info);
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << static_cast<CObject*>(&info);
    }
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    CObject* object = nullptr;
    ar >> object;
    std::unique_ptr<CObject> owned(object);
    YVSActorInfo* read = dynamic_cast<YVSActorInfo*>(object);
    ASSERT_NE(nullptr, read);
    EXPECT_EQ(YVector(1, 2, 3), read->m_vector);
    EXPECT_EQ(1u, RUNTIME_CLASS(YVSActorInfo)->m_wSchema);
}
