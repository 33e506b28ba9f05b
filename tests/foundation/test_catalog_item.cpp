#include <gtest/gtest.h>

#include <sys/stat.h>

#include "foundation/YCatalog.h"
#include "foundation/YCatalogItem.h"
#include "foundation/test_catalog_bytes.h"

namespace {

std::string S(const CString& text) { return std::string((LPCTSTR)text); }

TEST(CatalogItem, KeysJoinSectionNameTagTypeAndSubType)
{
    struct Case {
        int type;
        const char* section;
        const char* name;
        const char* tag;
        int subType;
        const char* key;
    } cases[] = {
        {24, "Action", "BB", "", 0, "Action-BB--24-0"},
        {1, "Interface2", "Zero", "hi", 3, "Interface2-Zero-hi-1-3"},
        {0, "", "", "", 0, "---0-0"},
        {-1, "a", "b", "c", -7, "a-b-c--1--7"},
    };
    for (const Case& c : cases) {
        YCatalogItem item(c.type, c.section, c.name, "", c.subType, c.tag, nullptr);
        EXPECT_EQ(S(item.GetKey()), c.key);
    }
}

TEST(CatalogItem, SectionNamesOfTypesAndSubTypes)
{
    struct Case {
        int code;
        const char* section;
        const char* subTypeSection;
    } cases[] = {
        {-1, "", ""},          {0, "", ""},
        {1, "Images", ""},     {2, "Sounds", ""},
        {5, "Textures", ""},   {9, "Buttons", "Buttons"},
        {10, "Combo Boxes", "Combo Boxes"},
        {11, "Dialogs", ""},   {12, "Edit Boxes", "Edit Boxes"},
        {13, "List Boxes", "List Boxes"},
        {15, "", ""},          {16, "", ""},
        {17, "Fonts", "Fonts"}, {18, "Texts", "Texts"},
        {20, "Sound Emitters", ""}, {21, "YSM Loaders", ""},
        {22, "File Handlers", ""}, {24, "Texture2s", ""},
        {25, "", ""},          {27, "Scrollbars", ""},
        {28, "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(S(YCatalogItem::SectionName(c.code)), c.section) << c.code;
        EXPECT_EQ(S(YCatalogItem::SubTypeSectionName(c.code)), c.subTypeSection) << c.code;
    }
}

TEST(CatalogItem, CollapseParentFoldsOnlyARepeatedSegment)
{
    struct Case {
        const char* path;
        const char* collapsed;
    } cases[] = {
        {"A\\B\\..\\B\\C", "A\\B\\C"},
        {"A\\B\\..\\C\\D", "A\\B\\..\\C\\D"},
        {"A\\B\\..\\B", "A\\B"},
        {"\\..\\A", "\\..\\A"},
        {"", ""},
        {"A\\b\\..\\B\\C", "A\\b\\..\\B\\C"},
        {"X\\A\\..\\A\\Y\\..\\Y", "X\\A\\Y\\..\\Y"},
    };
    for (const Case& c : cases) EXPECT_EQ(S(YCatalogItem::CollapseParent(c.path)), c.collapsed) << c.path;
}

TEST(CatalogItem, RelativePathWalksCommonComponents)
{
    struct Case {
        const char* base;
        const char* target;
        const char* relative;
    } cases[] = {
        {"C:\\game\\data", "C:\\game\\art\\ui", "..\\art\\ui"},
        {"C:\\x", "D:\\y", "D:\\y"},
        {"C:\\game", "C:\\game\\data\\pics", "data\\pics"},
        {"C:\\game\\data\\", "C:\\game\\data", ""},
        {"C:\\a\\b\\c", "C:\\a", "..\\.."},
        {"", "C:\\a", "C:\\a"},
        {"C:\\a", "", ""},
        {"c:\\a", "C:\\a\\b", "C:\\a\\b"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(S(YCatalogItem::RelativePath(c.base, c.target)), c.relative) << c.base << " -> " << c.target;
}

TEST(CatalogItem, ExternalOnlyForImagesAndSoundsOutsideEmbeddedSections)
{
    YCatalog catalog;
    catalog.AddEmbeddedSection("Inside");
    struct Case {
        int type;
        const char* section;
        BOOL external;
    } cases[] = {
        {1, "Inside", FALSE}, {1, "Outside", TRUE}, {2, "Inside", FALSE}, {2, "inside", TRUE},
        {3, "Outside", FALSE}, {22, "Outside", FALSE}, {0, "Outside", FALSE},
    };
    for (const Case& c : cases) {
        YCatalogItem* item = new YCatalogItem(c.type, c.section, "n", "", 0, "", nullptr);
        EXPECT_EQ(item->IsExternal(), c.type == 1 || c.type == 2 ? TRUE : FALSE) << "no catalog yet: " << c.type;
        catalog.AddItem(item);
        EXPECT_EQ(item->IsExternal(), c.external) << c.type << " " << c.section;
    }
}

TEST(CatalogItem, WithoutCatalogOnlyImagesAndSoundsAreExternal)
{
    for (int type : {1, 2}) EXPECT_TRUE(YCatalogItem(type, "s", "n", "", 0, "", nullptr).IsExternal());
    for (int type : {0, 3, 22}) EXPECT_FALSE(YCatalogItem(type, "s", "n", "", 0, "", nullptr).IsExternal());
}

class CatalogPaths : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* dir : {"one", "two", "three"}) mkdir((folder / dir).c_str(), 0755);
        for (const char* dir : {"one", "two", "three"}) catalog.GetSearchDirectories().Add((folder / dir).c_str());
    }
    YCatalogItem* Add(int type, const char* name, const char* directory = "")
    {
        YCatalogItem* item = new YCatalogItem(type, "Section", name, directory, 0, "", nullptr);
        catalog.AddItem(item);
        return item;
    }
    TempFolder folder;
    YCatalog catalog;
};

TEST_F(CatalogPaths, ImageFoundOnlyAsJpegInTheSecondDirectory)
{
    TempFolder::Write(folder / "two/logo.jpg", std::string("jpeg"));
    YCatalogItem* item = Add(1, "logo");
    EXPECT_EQ(S(item->GetExtension()), "jpg");
    EXPECT_EQ(S(item->ResolvePath(TRUE, TRUE, TRUE)), (folder / "two") + "\\logo.jpg");
}

TEST_F(CatalogPaths, BitmapWinsOverJpegAndTheFirstDirectoryWins)
{
    TempFolder::Write(folder / "three/logo.bmp", std::string("bmp"));
    TempFolder::Write(folder / "two/logo.jpg", std::string("jpeg"));
    YCatalogItem* item = Add(1, "logo");
    EXPECT_EQ(S(item->GetExtension()), "bmp");
    // The ".jpg" retry in the second directory comes before the third.
    EXPECT_EQ(S(item->ResolvePath(TRUE, TRUE, TRUE)), (folder / "two") + "\\logo.jpg");
}

TEST_F(CatalogPaths, MissingImageIsTgaAndEndsInJpegInTheLastDirectory)
{
    YCatalogItem* item = Add(1, "nothing");
    EXPECT_EQ(S(item->GetExtension()), "tga");
    EXPECT_EQ(S(item->ResolvePath(TRUE, TRUE, TRUE)), (folder / "three") + "\\nothing.jpg");
}

TEST_F(CatalogPaths, TargaFileIsFoundUnderItsOwnName)
{
    TempFolder::Write(folder / "three/shot.tga", std::string("tga"));
    YCatalogItem* item = Add(1, "shot");
    EXPECT_EQ(S(item->ResolvePath(TRUE, TRUE, TRUE)), (folder / "three") + "\\shot.tga");
}

TEST_F(CatalogPaths, OtherTypesAreNeverRewrittenToJpeg)
{
    struct Case {
        int type;
        const char* expectedEnd;
    } cases[] = {{2, "\\beep.wav"}, {4, "\\beep.msh"}, {22, "\\beep."}, {17, "\\beep.fnt"}};
    for (const Case& c : cases) {
        YCatalogItem* item = Add(c.type, "beep");
        EXPECT_EQ(S(item->ResolvePath(TRUE, TRUE, TRUE)), (folder / "three") + c.expectedEnd) << c.type;
    }
}

TEST_F(CatalogPaths, EmptyNameResolvesToNothing)
{
    for (int type : {1, 2}) EXPECT_EQ(S(Add(type, "")->ResolvePath(TRUE, TRUE, TRUE)), "") << type;
}

TEST_F(CatalogPaths, RelativeDirectoryGoesUnderEachSearchDirectory)
{
    mkdir((folder / "two/sfx").c_str(), 0755);
    TempFolder::Write(folder / "two/sfx/bang.wav", std::string("RIFF"));
    YCatalogItem* item = Add(2, "bang", "sfx");
    EXPECT_EQ(S(item->ResolvePath(TRUE, TRUE, TRUE)), (folder / "two") + "\\sfx\\bang.wav");
    // The folder itself exists only under the second directory.
    EXPECT_EQ(S(item->GetDirectory()), (folder / "two") + "\\sfx");
    YCatalogItem* elsewhere = Add(2, "bang", "music");
    EXPECT_EQ(S(elsewhere->GetDirectory()), (folder / "three") + "\\music");
}

TEST(CatalogItemBase, BaseDirectoriesBuildPathsWithoutLooking)
{
    YCatalog catalog;
    catalog.SetBaseDirectory(0, "C:\\game");
    catalog.SetBaseDirectory(1, "D:\\cd");
    YCatalogItem* item = new YCatalogItem(2, "Sounds", "bang", "C:\\game\\sfx", 0, "", nullptr);
    catalog.AddItem(item);
    EXPECT_EQ(S(item->GetDirectory0()), "sfx");
    EXPECT_EQ(S(item->ResolvePath(TRUE, TRUE, TRUE)), "C:\\game\\sfx\\bang.wav");
    EXPECT_EQ(S(item->GetFullDirectory()), "C:\\game");

    item->SetLocation("D:\\cd\\audio", "bang", 1);
    EXPECT_EQ(S(item->GetDirectory1()), "audio");
    catalog.Mode() = 1;
    EXPECT_EQ(S(item->ResolvePath(TRUE, TRUE, TRUE)), "D:\\cd\\audio\\bang.wav");
    EXPECT_EQ(S(item->GetFullDirectory()), "D:\\cd\\audio");
    catalog.SetOverrideDirectory("E:\\copy");
    EXPECT_EQ(S(catalog.GetBaseDirectory()), "E:\\copy");
    EXPECT_EQ(S(item->GetFullDirectory()), "E:\\copy\\audio");
    EXPECT_EQ(S(item->RelativeTo("C:\\game\\x")), "x");
    item->m_directorySelector = 1;
    EXPECT_EQ(S(item->RelativeTo("D:\\cd\\y\\z")), "y\\z");
}

TEST(CatalogItemRelated, AddAndRemoveRelatedItems)
{
    YCatalogItem a(2, "s", "a", "", 0, "", nullptr);
    YCatalogItem b(2, "s", "b", "", 0, "", &a);
    ASSERT_EQ(b.GetRelated().GetCount(), 1);
    EXPECT_EQ(b.GetRelated().GetHead(), &a);

    a.AddRelated(&a);
    EXPECT_EQ(a.GetRelated().GetCount(), 0);
    a.AddRelated(&b);
    a.AddRelated(&b);
    EXPECT_EQ(a.GetRelated().GetCount(), 2);
    a.RemoveRelated(&b);
    EXPECT_EQ(a.GetRelated().GetCount(), 0);
}

}  // namespace
