#include <gtest/gtest.h>

#include <sys/stat.h>

#include "foundation/YCatalog.h"
#include "foundation/YCatalogItem.h"
#include "foundation/YFileFinder.h"
#include "foundation/YFileHandler.h"
#include "foundation/test_catalog_bytes.h"
#include "graphics2d/YDIB.h"
#include "gui/YButton.h"
#include "tools/YCatalogText.h"

namespace {

std::string S(const CString& text) { return std::string((LPCTSTR)text); }

ArchiveBytes ItemFields(LONG type, const char* section, const char* name, LONG subType = 0, const char* dir0 = "",
                        LONG wordA = 0, LONG wordB = 0)
{
    ArchiveBytes b;
    b.I32(0).I32(type).Str(section).Str(name).Str(dir0).Str("").I32(wordA).I32(subType).Str("").I32(wordB);
    return b;
}

// Version 2: an embedded and an external image, a file handler with a
// finder, a sub-type button, relations pointing forwards and backwards.
ArchiveBytes GoldenCatalog()
{
    ArchiveBytes b;
    b.I32(0).U32(2).Str("labelB").Str("labelA").Str("").Str("");
    b.U16(1).Str("Interface");
    b.U16(4);
    // object 2: the embedded image, its body a bitmap record
    b.NewClass(3, "YCatalogItem").Add(ItemFields(1, "Interface", "Zero"));
    b.I32(1).I32(-1).U32(0x00FF00FF).U32(0).U32(22);
    // a 1 x 1 TGA of 32 bits, rows top-down
    b.U8(0).U8(0).U8(2).U32(0).U8(0).U32(0).U16(1).U16(1).U8(32).U8(0x20).U32(0x44332211);
    b.U16(0);
    b.U16(1).ClassRef(1);  // forwards: object 3, the handler, written here
    b.Add(ItemFields(22, "Data", "Handler"));
    b.I32(1).I32(5).U16(1);
    b.NewClass(1, "YFileFinder").Str("sky").Str("sky.tex").I32(1).I32(-1).I32(0);  // class 4, object 5
    b.U16(1).Str("note");
    b.U16(1).ObjectRef(2);  // backwards: the image
    // object 6: the external image, no body
    b.ClassRef(1).Add(ItemFields(1, "Art", "Logo", 0, "pics", 3, 4)).U16(0).U16(0);
    // the handler again
    b.ObjectRef(3);
    // object 7: a button of sub-type 9, its body a version-4 window: rectangle,
    // style, text, id, private-source word, no children, no resource names;
    // then the button's radio group
    b.ClassRef(1).Add(ItemFields(9, "Interface", "Ok", 9)).I32(4).I32(0).I32(0).I32(80).I32(24).U32(0);
    b.Str("Ok").U32(1).U32(0).U16(0).U16(0).U32(3);
    b.U16(0).U16(0);
    return b;
}

class GoldenCatalogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { YCatalogText::RegisterResourceClasses(); }
};

TEST_F(GoldenCatalogTest, LoadsItemsAndIdentitiesAndStoresTheSameBytes)
{
    TempFolder folder;
    ArchiveBytes golden = GoldenCatalog();
    TempFolder::Write(folder / "golden.cat", golden.bytes);
    YCatalog catalog((folder / "golden.cat").c_str());

    ASSERT_EQ(catalog.GetItems()->GetCount(), 4);
    POSITION pos = catalog.GetItems()->GetHeadPosition();
    YCatalogItem* zero = catalog.GetItems()->GetNext(pos);
    YCatalogItem* logo = catalog.GetItems()->GetNext(pos);
    YCatalogItem* handlerItem = catalog.GetItems()->GetNext(pos);
    YCatalogItem* ok = catalog.GetItems()->GetNext(pos);

    EXPECT_EQ(S(catalog.m_labelA), "labelA");
    EXPECT_EQ(S(catalog.m_labelB), "labelB");
    EXPECT_EQ(S(zero->GetKey()), "Interface-Zero--1-0");
    EXPECT_FALSE(zero->IsExternal());
    ASSERT_NE(zero->GetResource(), nullptr);
    ASSERT_TRUE(zero->GetResource()->IsKindOf(RUNTIME_CLASS(YDIB)));
    YDIB* dib = static_cast<YDIB*>(zero->GetResource());
    EXPECT_EQ(dib->GetTransparentIndex(), -1);
    EXPECT_EQ(dib->m_transparentColor, 0x00FF00FFu);

    EXPECT_TRUE(logo->IsExternal());
    EXPECT_EQ(logo->GetResource(), nullptr);
    EXPECT_EQ(S(logo->GetDirectory0()), "pics");
    EXPECT_EQ(logo->m_wordA, 3);
    EXPECT_EQ(logo->m_wordB, 4);

    ASSERT_EQ(zero->GetRelated().GetCount(), 1);
    EXPECT_EQ(zero->GetRelated().GetHead(), handlerItem);
    ASSERT_EQ(handlerItem->GetRelated().GetCount(), 1);
    EXPECT_EQ(handlerItem->GetRelated().GetHead(), zero);
    ASSERT_TRUE(handlerItem->GetResource()->IsKindOf(RUNTIME_CLASS(YFileHandler)));
    YFileHandler* handler = static_cast<YFileHandler*>(handlerItem->GetResource());
    ASSERT_EQ(handler->GetCount(), 1);
    EXPECT_EQ(S(handler->GetEntry(0)->m_key), "sky");

    EXPECT_EQ(ok->GetSubType(), 9);
    ASSERT_NE(ok->GetResource(), nullptr);
    ASSERT_TRUE(ok->GetResource()->IsKindOf(RUNTIME_CLASS(YButton)));
    EXPECT_EQ(static_cast<YButton*>(ok->GetResource())->GetGroup(), 3);
    EXPECT_EQ(catalog.GetResource(9, "Interface", "Ok", 0), nullptr);
    EXPECT_EQ(catalog.FindItem("Interface", "Ok", 9), ok);

    catalog.Store((folder / "stored.cat").c_str());
    EXPECT_EQ(TempFolder::Read(folder / "stored.cat"), golden.bytes);
}

TEST_F(GoldenCatalogTest, ExternalImagesLoadFromTheSearchDirectories)
{
    TempFolder folder;
    TempFolder::Write(folder / "golden.cat", GoldenCatalog().bytes);
    mkdir((folder / "pics").c_str(), 0755);
    ArchiveBytes bitmap;  // 1 x 1, 24 bits
    bitmap.Raw("BM", 2).U32(58).U32(0).U32(54);
    bitmap.U32(40).I32(1).I32(1).U16(1).U16(24).U32(0).U32(4).I32(2835).I32(2835).U32(0).U32(0);
    bitmap.U8(0).U8(0).U8(255).U8(0);
    TempFolder::Write(folder / "pics/Logo.bmp", bitmap.bytes);
    YCatalog catalog((folder / "golden.cat").c_str());
    catalog.GetSearchDirectories().Add(folder.Path().c_str());

    YResource* logo = catalog.GetResource(1, "art", "logo", 0);
    ASSERT_NE(logo, nullptr);
    EXPECT_TRUE(logo->IsKindOf(RUNTIME_CLASS(YDIB)));
    YResource* zero = catalog.GetResource(1, "Interface", "Zero", 0);
    EXPECT_EQ(zero, catalog.FindItem(CString("Interface-Zero--1-0"))->GetResource());
}

}  // namespace
