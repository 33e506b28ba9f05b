#include <gtest/gtest.h>

#include "foundation/YCatalog.h"
#include "foundation/YCatalogItem.h"
#include "foundation/YFileFinder.h"
#include "foundation/YFileHandler.h"
#include "foundation/YResource.h"
#include "foundation/YResourceFactory.h"
#include "foundation/test_catalog_bytes.h"

namespace {

std::string S(const CString& text) { return std::string((LPCTSTR)text); }

// Catalog header of the given version with empty labels and directories.
ArchiveBytes Header(DWORD version, LONG headerWord = 0)
{
    ArchiveBytes b;
    b.I32(headerWord).U32(version).Str("").Str("").Str("").Str("");
    return b;
}

// The fixed fields of an item record up to its body.
ArchiveBytes ItemFields(LONG type, const char* section, const char* name, LONG subType = 0, const char* dir0 = "",
                        LONG wordA = 0, LONG wordB = 0, const char* tag = "")
{
    ArchiveBytes b;
    b.I32(0).I32(type).Str(section).Str(name).Str(dir0).Str("").I32(wordA).I32(subType).Str(tag).I32(wordB);
    return b;
}

YCatalog* LoadBytes(const TempFolder& folder, const ArchiveBytes& bytes, const char* name = "test.cat")
{
    TempFolder::Write(folder / name, bytes.bytes);
    return new YCatalog((folder / name).c_str());
}

std::vector<BYTE> StoreBytes(YCatalog& catalog, const TempFolder& folder, const char* name)
{
    catalog.Store((folder / name).c_str());
    return TempFolder::Read(folder / name);
}

TEST(CatalogFile, VersionOneWithSchemaOneItemsHasNoSectionsNorRelations)
{
    ArchiveBytes b = Header(1, 0x1234);
    b.U16(2);  // items
    b.NewClass(1, "YCatalogItem").Add(ItemFields(22, "Data", "Files", 0, "x", 5, 6, "t"));
    b.U16(1).Str("a note");  // strings; schema 1 stores no related items
    b.ClassRef(1).Add(ItemFields(6, "World", "Tree", 4));
    b.U16(0);

    TempFolder folder;
    YCatalog* catalog = LoadBytes(folder, b);
    EXPECT_EQ(catalog->m_headerWord, 0x1234);
    EXPECT_EQ(catalog->GetVersion(), 2u);
    EXPECT_EQ(catalog->GetEmbeddedSections().GetSize(), 0);
    ASSERT_EQ(catalog->GetItems()->GetCount(), 2);

    YCatalogItem* files = catalog->GetItems()->GetHead();
    EXPECT_EQ(S(files->GetKey()), "Data-Files-t-22-0");
    EXPECT_EQ(S(files->GetDirectory0()), "x");
    EXPECT_EQ(files->m_wordA, 5);
    EXPECT_EQ(files->m_wordB, 6);
    EXPECT_EQ(files->GetCatalog(), catalog);
    ASSERT_EQ(files->GetStrings().GetCount(), 1);
    EXPECT_EQ(S(files->GetStrings().GetHead()), "a note");
    EXPECT_EQ(files->GetRelated().GetCount(), 0);
    // Older schemas keep their bodies in files; there is none here.
    EXPECT_EQ(files->GetResource(), nullptr);

    YCatalogItem* tree = catalog->GetItems()->GetTail();
    EXPECT_EQ(S(tree->GetKey()), "World-Tree--6-4");
    EXPECT_EQ(tree->GetResource(), nullptr);
    delete catalog;
}

TEST(CatalogFile, VersionOneWithSchemaTwoItemsReadsRelations)
{
    ArchiveBytes b = Header(1);
    b.U16(2);
    b.NewClass(2, "YCatalogItem").Add(ItemFields(22, "Data", "A"));  // object 2
    b.U16(0).U16(0);
    b.ClassRef(1).Add(ItemFields(22, "Data", "B"));  // object 3
    b.U16(0).U16(1).ObjectRef(2);

    TempFolder folder;
    YCatalog* catalog = LoadBytes(folder, b);
    ASSERT_EQ(catalog->GetItems()->GetCount(), 2);
    YCatalogItem* a = catalog->GetItems()->GetHead();
    YCatalogItem* second = catalog->GetItems()->GetTail();
    EXPECT_EQ(S(second->GetName()), "B");
    ASSERT_EQ(second->GetRelated().GetCount(), 1);
    EXPECT_EQ(second->GetRelated().GetHead(), a);

    // Stored again, the catalog becomes version 2 with schema 3 items.
    std::vector<BYTE> once = StoreBytes(*catalog, folder, "once.cat");
    YCatalog again((folder / "once.cat").c_str());
    EXPECT_EQ(StoreBytes(again, folder, "twice.cat"), once);
    ASSERT_GE(once.size(), 8u);
    EXPECT_EQ(once[4], 2);
    delete catalog;
}

TEST(CatalogFile, VersionTwoWithHandlerSubTypesAndRelationsBothWays)
{
    ArchiveBytes b = Header(2, 7);
    b.U16(1).Str("Interface");  // embedded sections
    b.U16(3);
    // Item 1 (object 2) points forwards at the handler, which is written inside it.
    b.NewClass(3, "YCatalogItem").Add(ItemFields(22, "Interface", "Keys", 0, "", 0, 0, ""));
    b.I32(1).I32(0).U16(0);  // handler body: version 1, word 0, no entries
    b.U16(0);                // strings
    b.U16(1).ClassRef(1);    // related: the handler (object 3)
    b.Add(ItemFields(22, "Data", "Handler"));
    b.I32(1).I32(5).U16(2);  // version, word, two finders
    b.NewClass(1, "YFileFinder").Str("sky").Str("sky.tex").I32(1).I32(-1).I32(0);  // class 4, object 5
    b.ClassRef(4).Str("sea").Str("water\\sea.tex").I32(0).I32(2).I32(3);           // object 6
    b.U16(1).Str("note");
    b.U16(1).ObjectRef(2);  // related backwards: item 1
    // Item 2: the handler again, as a back-reference.
    b.ObjectRef(3);
    // Item 3 (object 7): a sub-type item of a type without a class, then no body.
    b.ClassRef(1).Add(ItemFields(6, "Interface", "Ok", 9));
    b.U16(0).U16(0);

    TempFolder folder;
    YCatalog* catalog = LoadBytes(folder, b);
    ASSERT_EQ(catalog->GetItems()->GetCount(), 3);
    POSITION pos = catalog->GetItems()->GetHeadPosition();
    YCatalogItem* keys = catalog->GetItems()->GetNext(pos);
    YCatalogItem* handlerItem = catalog->GetItems()->GetNext(pos);
    YCatalogItem* ok = catalog->GetItems()->GetNext(pos);

    EXPECT_EQ(catalog->m_headerWord, 7);
    EXPECT_TRUE(catalog->IsEmbeddedSection("Interface"));
    ASSERT_EQ(keys->GetRelated().GetCount(), 1);
    EXPECT_EQ(keys->GetRelated().GetHead(), handlerItem);
    ASSERT_EQ(handlerItem->GetRelated().GetCount(), 1);
    EXPECT_EQ(handlerItem->GetRelated().GetHead(), keys);
    EXPECT_EQ(S(ok->GetKey()), "Interface-Ok--6-9");
    EXPECT_EQ(S(ok->SubTypeSectionName()), "Buttons");
    EXPECT_EQ(ok->GetResource(), nullptr);

    ASSERT_NE(handlerItem->GetResource(), nullptr);
    ASSERT_TRUE(handlerItem->GetResource()->IsKindOf(RUNTIME_CLASS(YFileHandler)));
    YFileHandler* handler = static_cast<YFileHandler*>(handlerItem->GetResource());
    EXPECT_EQ(handler->m_word, 5);
    ASSERT_EQ(handler->GetCount(), 2);
    EXPECT_EQ(S(handler->GetEntry(1)->m_file), "water\\sea.tex");
    EXPECT_EQ(handler->GetEntry(1)->m_wordC, 3);
    EXPECT_EQ(handler->GetEntry(0)->m_wordB, -1);

    // The handler is handed its folder when it is first acquired.
    catalog->SetBaseDirectory(0, "C:\\game");
    EXPECT_EQ(catalog->GetResource(22, "data", "handler", 0), handler);
    CString path;
    EXPECT_EQ(handler->FindFile("SEA", path), 1);
    EXPECT_EQ(S(path), "C:\\game\\water\\sea.tex");

    catalog->SetBaseDirectory(0, "");
    EXPECT_EQ(StoreBytes(*catalog, folder, "stored.cat"), b.bytes);
    delete catalog;
}

TEST(CatalogFile, BadInputRaisesTheArchiveException)
{
    ArchiveBytes whole = Header(2);
    whole.U16(0).U16(1).NewClass(3, "YCatalogItem").Add(ItemFields(22, "Data", "H"));
    whole.I32(1).I32(0).U16(0).U16(0).U16(0);

    struct Case {
        const char* what;
        std::vector<BYTE> bytes;
    } cases[] = {
        {"cut in the item", std::vector<BYTE>(whole.bytes.begin(), whole.bytes.end() - 7)},
        {"cut in the header", std::vector<BYTE>(whole.bytes.begin(), whole.bytes.begin() + 6)},
        {"huge section count", Header(2).U16(0xFFFF).U32(0x7FFFFFFF).bytes},
        {"unknown class", Header(2).U16(0).U16(1).NewClass(3, "YNothing").bytes},
        {"future schema", Header(2).U16(0).U16(1).NewClass(4, "YCatalogItem").Add(ItemFields(6, "a", "b")).U16(0).U16(0).bytes},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        TempFolder::Write(folder / "bad.cat", c.bytes);
        bool thrown = false;
        try {
            YCatalog catalog((folder / "bad.cat").c_str());
        } catch (CArchiveException* e) {
            thrown = true;
            e->Delete();
        }
        EXPECT_TRUE(thrown) << c.what;
    }
    bool missing = false;
    try {
        YCatalog catalog((folder / "missing.cat").c_str());
    } catch (CFileException* e) {
        missing = true;
        e->Delete();
    }
    EXPECT_TRUE(missing);
}

// A resource body that counts the live objects of its class.
class CountedBody : public YResource {
    DECLARE_SERIAL(CountedBody)
public:
    CountedBody() { ++live; }
    ~CountedBody() override { --live; }
    static int live;
};
IMPLEMENT_SERIAL(CountedBody, YResource, 1)
int CountedBody::live = 0;

// Registers the counting body for the Animations type (8) for one test.
class CatalogOwnershipTest : public ::testing::Test {
protected:
    enum { kType = 8 };
    void SetUp() override
    {
        CountedBody::live = 0;
        YResourceFactory::RegisterType(kType, RUNTIME_CLASS(CountedBody));
    }
    void TearDown() override { YResourceFactory::RegisterType(kType, nullptr); }

    // An item record of the counted type: fields, body, no strings; the
    // related list follows.
    static ArchiveBytes Counted(const char* name)
    {
        ArchiveBytes b = ItemFields(kType, "Anim", name);
        b.I32(1).U16(0);
        return b;
    }
    // Loads and expects the archive exception; true when it came.
    bool LoadFails(const ArchiveBytes& bytes)
    {
        TempFolder::Write(folder / "bad.cat", bytes.bytes);
        try {
            YCatalog catalog((folder / "bad.cat").c_str());
        } catch (CArchiveException* e) {
            e->Delete();
            return true;
        }
        return false;
    }
    TempFolder folder;
};

TEST_F(CatalogOwnershipTest, ItemsReachedOnlyThroughRelatedListsBelongToTheCatalog)
{
    ArchiveBytes b = Header(2);
    b.U16(0).U16(1);
    b.NewClass(3, "YCatalogItem").Add(Counted("Top")).U16(1);  // object 2, one related
    b.ClassRef(1).Add(Counted("Hidden")).U16(0);                 // object 3, listed nowhere else

    YCatalog* catalog = LoadBytes(folder, b);
    ASSERT_EQ(catalog->GetItems()->GetCount(), 1);
    ASSERT_EQ(catalog->GetUnlistedItems().GetCount(), 1);
    YCatalogItem* top = catalog->GetItems()->GetHead();
    YCatalogItem* hidden = catalog->GetUnlistedItems().GetHead();
    ASSERT_EQ(top->GetRelated().GetCount(), 1);
    EXPECT_EQ(top->GetRelated().GetHead(), hidden);
    EXPECT_EQ(hidden->GetCatalog(), catalog);
    // Not found by name: it is no entry of the catalog.
    EXPECT_EQ(catalog->FindItem("Anim", "Hidden", -1), nullptr);
    EXPECT_EQ(CountedBody::live, 2);
    delete catalog;
    EXPECT_EQ(CountedBody::live, 0);
}

TEST_F(CatalogOwnershipTest, ItemsReadBeforeALoadFailsAreFreed)
{
    ArchiveBytes b = Header(2);
    b.U16(0).U16(2);
    b.NewClass(3, "YCatalogItem").Add(Counted("Top")).U16(1);  // object 2
    b.ClassRef(1).Add(Counted("Hidden")).U16(0);                 // object 3
    // Object 4 holds a new related item (object 5) that points back at it,
    // then a reference to nothing, which fails the load.
    b.ClassRef(1).Add(Counted("Bad")).U16(2);
    b.ClassRef(1).Add(Counted("Child")).U16(1).ObjectRef(4);
    b.ObjectRef(99);

    EXPECT_TRUE(LoadFails(b));
    EXPECT_EQ(CountedBody::live, 0);
}

TEST_F(CatalogOwnershipTest, RelatedItemsNestedTooDeeplyFailTheLoad)
{
    // Each item holds the next as a new related item.
    auto nested = [](int depth) {
        ArchiveBytes b = Header(2);
        b.U16(0).U16(1).NewClass(3, "YCatalogItem");
        for (int i = 0; i < depth; ++i) {
            if (i > 0) b.ClassRef(1);
            b.Add(Counted("N")).U16(i + 1 < depth ? 1 : 0);
        }
        return b;
    };
    TempFolder::Write(folder / "deep.cat", nested(YCatalogItem::kMaxNesting).bytes);
    {
        YCatalog deepest((folder / "deep.cat").c_str());
        EXPECT_EQ(deepest.GetItems()->GetCount(), 1);
        EXPECT_EQ(deepest.GetUnlistedItems().GetCount(), YCatalogItem::kMaxNesting - 1);
    }
    EXPECT_EQ(CountedBody::live, 0);
    for (int depth : {YCatalogItem::kMaxNesting + 1, 300000}) {
        SCOPED_TRACE(depth);
        EXPECT_TRUE(LoadFails(nested(depth)));
        EXPECT_EQ(CountedBody::live, 0);
    }
}

TEST_F(CatalogOwnershipTest, AFileFinderOfAnotherHandlerIsRefused)
{
    ArchiveBytes b = Header(2);
    b.U16(0).U16(2);
    b.NewClass(3, "YCatalogItem").Add(ItemFields(22, "Data", "One"));        // object 2
    b.I32(1).I32(0).U16(1);                                                  // one finder
    b.NewClass(1, "YFileFinder").Str("a").Str("a.tex").I32(0).I32(0).I32(0);  // class 3, object 4
    b.U16(0).U16(0);
    b.ClassRef(1).Add(ItemFields(22, "Data", "Two"));                        // object 5
    b.I32(1).I32(0).U16(1).ObjectRef(4);                                     // the first handler's finder
    b.U16(0).U16(0);
    EXPECT_TRUE(LoadFails(b));

    // The same finder twice in one handler is refused as well.
    ArchiveBytes twice = Header(2);
    twice.U16(0).U16(1);
    twice.NewClass(3, "YCatalogItem").Add(ItemFields(22, "Data", "One"));
    twice.I32(1).I32(0).U16(2);
    twice.NewClass(1, "YFileFinder").Str("a").Str("a.tex").I32(0).I32(0).I32(0);
    twice.ObjectRef(4).U16(0).U16(0);
    EXPECT_TRUE(LoadFails(twice));
}

TEST(CatalogFile, StoringAnItemOfAClasslessTypeWritesNoBody)
{
    YCatalog catalog;
    YCatalogItem* actor = new YCatalogItem(6, "World", "Tree", "", 0, "", nullptr);
    YCatalogItem* handler = new YCatalogItem(22, "Data", "H", "", 0, "", nullptr);
    catalog.AddItem(actor);
    catalog.AddItem(handler);

    ArchiveBytes expected = Header(2);
    expected.U16(0).U16(2);
    expected.NewClass(3, "YCatalogItem").Add(ItemFields(6, "World", "Tree")).U16(0).U16(0);
    expected.ClassRef(1).Add(ItemFields(22, "Data", "H")).I32(1).I32(0).U16(0).U16(0).U16(0);

    TempFolder folder;
    EXPECT_EQ(StoreBytes(catalog, folder, "out.cat"), expected.bytes);
    YCatalog loaded((folder / "out.cat").c_str());
    ASSERT_EQ(loaded.GetItems()->GetCount(), 2);
    EXPECT_EQ(S(loaded.GetItems()->GetTail()->GetKey()), "Data-H--22-0");
}

}  // namespace
