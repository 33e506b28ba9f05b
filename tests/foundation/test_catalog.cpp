#include <gtest/gtest.h>

#include <sys/stat.h>

#include "foundation/YCatalog.h"
#include "foundation/YCatalogItem.h"
#include "foundation/YResource.h"
#include "foundation/YResourceFactory.h"
#include "foundation/test_catalog_bytes.h"

namespace {

std::string S(const CString& text) { return std::string((LPCTSTR)text); }

// Counts how the catalog drives it.
class CountingWave : public YResource {
    DECLARE_SERIAL(CountingWave)
public:
    ~CountingWave() override
    {
        ++destroyed;
        for (int i = 0; i < GetDependents()->GetSize(); ++i)
            if (GetDependents()->GetAt(i)) ++danglingAtDestruction;
        if (releaseOnDestruction) releaseResults += releaseOnDestruction->ReleaseResource(releaseTarget) ? 1 : 0;
    }
    void Unload() override { ++unloads; }
    BOOL LoadFromDirectories(CStringArray* directories, DWORD_PTR context) override
    {
        ++loads;
        lastContext = context;
        lastDirectories = directories;
        return TRUE;
    }

    static void ResetCounters()
    {
        unloads = loads = destroyed = danglingAtDestruction = releaseResults = 0;
        lastContext = 0;
        lastDirectories = nullptr;
        releaseOnDestruction = nullptr;
        releaseTarget = nullptr;
    }
    static int unloads;
    static int loads;
    static int destroyed;
    static int danglingAtDestruction;
    static int releaseResults;
    static DWORD_PTR lastContext;
    static CStringArray* lastDirectories;
    static YCatalog* releaseOnDestruction;
    static YResource* releaseTarget;
};
IMPLEMENT_SERIAL(CountingWave, YResource, 1)
int CountingWave::unloads;
int CountingWave::loads;
int CountingWave::destroyed;
int CountingWave::danglingAtDestruction;
int CountingWave::releaseResults;
DWORD_PTR CountingWave::lastContext;
CStringArray* CountingWave::lastDirectories;
YCatalog* CountingWave::releaseOnDestruction;
YResource* CountingWave::releaseTarget;

class CatalogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CountingWave::ResetCounters();
        YResourceFactory::RegisterType(2, RUNTIME_CLASS(CountingWave));
        catalog = new YCatalog;
        catalog->GetSearchDirectories().Add(folder.Path().c_str());
    }
    void TearDown() override
    {
        delete catalog;
        YResourceFactory::RegisterType(2, nullptr);
    }
    YCatalogItem* Add(int type, const char* section, const char* name, int subType = 0)
    {
        YCatalogItem* item = new YCatalogItem(type, section, name, "", subType, "", nullptr);
        catalog->AddItem(item);
        return item;
    }
    YCatalogItem* AddSound(const char* section, const char* name)
    {
        TempFolder::Write(folder / (std::string(name) + ".wav"), std::string("RIFF"));
        return Add(2, section, name);
    }
    TempFolder folder;
    YCatalog* catalog = nullptr;
};

TEST_F(CatalogTest, TwoGetsAndTwoReleasesUnloadOnceAndAThirdGetReloads)
{
    YCatalogItem* item = AddSound("Sfx", "Bang");
    YResource* first = catalog->GetResource(2, "Sfx", "Bang", 7);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->IsKindOf(RUNTIME_CLASS(CountingWave)));
    EXPECT_EQ(CountingWave::loads, 1);
    EXPECT_EQ(CountingWave::lastContext, 7u);
    EXPECT_EQ(CountingWave::lastDirectories, &catalog->GetSearchDirectories());

    YResource* second = catalog->GetResource(2, "Sfx", "Bang", 8);
    EXPECT_EQ(second, first);
    EXPECT_EQ(item->GetRefCount(), 2);
    EXPECT_EQ(CountingWave::loads, 1);

    EXPECT_TRUE(catalog->ReleaseResource(first));
    EXPECT_EQ(CountingWave::unloads, 0);
    EXPECT_TRUE(catalog->ReleaseResource(first));
    EXPECT_EQ(CountingWave::unloads, 1);
    EXPECT_EQ(item->GetRefCount(), 0);
    EXPECT_EQ(item->GetResource(), first);

    YResource* third = catalog->GetResource(2, "Sfx", "Bang", 9);
    EXPECT_EQ(third, first);
    EXPECT_EQ(CountingWave::loads, 2);
    EXPECT_EQ(CountingWave::lastContext, 9u);
    EXPECT_EQ(CountingWave::unloads, 1);
    EXPECT_EQ(CountingWave::destroyed, 0);
}

TEST_F(CatalogTest, TheContextWordCarriesAPointerWhole)
{
    AddSound("Sfx", "Far");
    // An address above 4 GB on a 64-bit system: nothing of it may be cut.
    const DWORD_PTR pointer = reinterpret_cast<DWORD_PTR>(&catalog) | (sizeof(DWORD_PTR) > 4 ? (DWORD_PTR(1) << 40) : 0);
    ASSERT_NE(nullptr, catalog->GetResource(2, "Sfx", "Far", pointer));
    EXPECT_EQ(CountingWave::lastContext, pointer);
}

TEST_F(CatalogTest, NamesMatchWithoutRegardToCase)
{
    YCatalogItem* item = AddSound("Interface2", "Zero");
    struct Case {
        const char* section;
        const char* name;
    } cases[] = {{"interface2", "zero"}, {"INTERFACE2", "ZeRo"}, {"Interface2", ""}};
    for (const Case& c : cases) {
        YResource* resource = catalog->GetResource(2, c.section, c.name, 0);
        EXPECT_EQ(resource, item->GetResource()) << c.section << ":" << c.name;
        EXPECT_NE(resource, nullptr);
    }
    EXPECT_EQ(item->GetRefCount(), 3);
    EXPECT_EQ(catalog->FindItem(CString("INTERFACE2-ZERO--2-0")), item);
    EXPECT_EQ(catalog->GetResource(2, CString("interface2-zero--2-0"), 0), item->GetResource());
    EXPECT_EQ(catalog->GetResource(-1, CString("interface2-zero--2-0"), 0), item->GetResource());
    EXPECT_EQ(catalog->GetResource(22, CString("interface2-zero--2-0"), 0), nullptr);
    EXPECT_EQ(catalog->GetResource(2, "Interface", "Zero", 0), nullptr);
}

TEST_F(CatalogTest, EmptyNameGivesTheFirstItemOfTheSectionAndSubTypesAreSkipped)
{
    AddSound("Other", "A");
    TempFolder::Write(folder / "Hidden.wav", std::string("RIFF"));
    YCatalogItem* sub = Add(2, "Menu", "Hidden", 17);
    YCatalogItem* plain = AddSound("Menu", "Shown");

    YResource* found = catalog->GetResource(2, "Menu", "", 0);
    EXPECT_NE(found, nullptr);
    EXPECT_EQ(found, plain->GetResource());
    EXPECT_EQ(catalog->GetResource(2, "Menu", "Hidden", 0), nullptr);
    EXPECT_EQ(sub->GetRefCount(), 0);
    EXPECT_EQ(catalog->FindItem("Menu", "Hidden", 2), sub);
    EXPECT_EQ(catalog->FindItem("menu", "", -1), sub);
    EXPECT_EQ(catalog->FindItem("Menu", "Shown", 22), nullptr);
}

TEST_F(CatalogTest, WalksStartAtTheFirstItemOfTheTypeAndRunToTheEnd)
{
    Add(22, "Data", "Early");
    AddSound("Sfx", "Bang");
    Add(22, "Data", "Late");
    // From the first sound on, items of every type are compared.
    EXPECT_EQ(S(catalog->FindItem("Data", "", 2)->GetName()), "Late");
    EXPECT_EQ(S(catalog->FindItem("Data", "", 22)->GetName()), "Early");
    EXPECT_EQ(catalog->FindItem("Data", "", 17), nullptr);
}

TEST_F(CatalogTest, TypesOutsideTheCacheFindNothing)
{
    AddSound("Sfx", "Bang");
    for (int type : {-2, 29, 64, 100000}) {
        EXPECT_EQ(catalog->FirstOfType(type), nullptr) << type;
        EXPECT_EQ(catalog->GetResource(type, "Sfx", "Bang", 0), nullptr) << type;
        EXPECT_EQ(catalog->FindItem("Sfx", "Bang", type), nullptr) << type;
    }
    EXPECT_NE(catalog->FirstOfType(2), nullptr);
}

TEST_F(CatalogTest, MissingFilesGiveNullButCountTheReference)
{
    YCatalogItem* item = Add(2, "Sfx", "Missing");
    EXPECT_EQ(catalog->GetResource(2, "Sfx", "Missing", 0), nullptr);
    EXPECT_EQ(item->GetRefCount(), 1);
    EXPECT_EQ(YResourceFactory::GetLoadingResource(), nullptr);
    EXPECT_EQ(CountingWave::destroyed, 1);
}

TEST_F(CatalogTest, ReleasingUnknownResourcesChangesNothing)
{
    YCatalogItem* item = AddSound("Sfx", "Bang");
    catalog->GetResource(2, "Sfx", "Bang", 0);
    YResource stranger;
    EXPECT_FALSE(catalog->ReleaseResource(&stranger));
    EXPECT_FALSE(catalog->ReleaseResource(nullptr));
    EXPECT_EQ(item->GetRefCount(), 1);
    YCatalog empty;
    EXPECT_FALSE(empty.ReleaseResource(item->GetResource()));
}

TEST_F(CatalogTest, DetachHandsTheObjectToTheCaller)
{
    YCatalogItem* item = AddSound("Sfx", "Bang");
    YResource* mine = catalog->GetResource(2, "Sfx", "Bang", 0);
    ASSERT_NE(mine, nullptr);
    mine->SetId(5);
    catalog->DetachResource(mine);
    EXPECT_EQ(item->GetRefCount(), 0);
    ASSERT_NE(item->GetResource(), nullptr);
    EXPECT_NE(item->GetResource(), mine);
    EXPECT_EQ(item->GetResource()->GetId(), 5);
    EXPECT_FALSE(catalog->ReleaseResource(mine));
    delete mine;
}

TEST_F(CatalogTest, FindFileTakesTheLowestSearchDirectory)
{
    catalog->GetSearchDirectories().RemoveAll();
    for (const char* dir : {"a", "b", "c"}) {
        mkdir((folder / dir).c_str(), 0755);
        catalog->GetSearchDirectories().Add((folder / dir).c_str());
    }
    TempFolder::Write(folder / "b/screens.scr", std::string("x"));
    TempFolder::Write(folder / "c/screens.scr", std::string("y"));

    char buffer[512];
    std::string expected = (folder / "b") + "\\screens.scr";
    EXPECT_EQ(catalog->FindFile("screens.scr", buffer, sizeof(buffer)), (int)expected.size());
    EXPECT_EQ(std::string(buffer), expected);

    strcpy(buffer, "untouched");
    EXPECT_EQ(catalog->FindFile("nothing.scr", buffer, sizeof(buffer)), 0);
    EXPECT_STREQ(buffer, "untouched");
}

TEST_F(CatalogTest, ListsKeysSectionsAndEmbeddedSections)
{
    Add(2, "Sfx", "A");
    Add(22, "Data", "H");
    Add(2, "sfx", "B");
    Add(2, "Music", "C");

    CStringArray keys;
    catalog->ListKeys(2, keys);
    ASSERT_EQ(keys.GetSize(), 3);
    EXPECT_EQ(S(keys[0]), "Sfx-A--2-0");
    EXPECT_EQ(S(keys[2]), "Music-C--2-0");

    CStringArray inSection;
    catalog->ListKeysInSection(2, "SFX", inSection);
    ASSERT_EQ(inSection.GetSize(), 2);
    EXPECT_EQ(S(inSection[1]), "sfx-B--2-0");

    CStringArray sections;
    sections.Add("Data");
    EXPECT_EQ(catalog->ListSections(sections), 1);
    ASSERT_EQ(sections.GetSize(), 4);
    EXPECT_EQ(S(sections[1]), "Sfx");
    EXPECT_EQ(S(sections[2]), "sfx");
    EXPECT_EQ(S(sections[3]), "Music");

    catalog->AddEmbeddedSection("Art");
    catalog->AddEmbeddedSection("Art");
    catalog->AddEmbeddedSection("art");
    EXPECT_EQ(catalog->GetEmbeddedSections().GetSize(), 2);
    EXPECT_TRUE(catalog->IsEmbeddedSection("art"));
    EXPECT_EQ(catalog->RemoveEmbeddedSection("Art"), 1);
    EXPECT_FALSE(catalog->IsEmbeddedSection("Art"));
}

TEST_F(CatalogTest, DestructionClearsDependentsAndIgnoresReleases)
{
    YCatalogItem* first = AddSound("Sfx", "First");
    Add(22, "Data", "Empty");  // never loaded: holds no resource
    YCatalogItem* last = AddSound("Sfx", "Last");
    YResource* a = catalog->GetResource(2, "Sfx", "First", 0);
    YResource* b = catalog->GetResource(2, "Sfx", "Last", 0);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    b->GetDependents()->Add(a);
    a->GetDependents()->Add(b);
    EXPECT_EQ(first->GetRefCount(), 1);

    CountingWave::releaseOnDestruction = catalog;
    CountingWave::releaseTarget = b;
    delete catalog;
    catalog = nullptr;
    EXPECT_EQ(CountingWave::destroyed, 2);
    EXPECT_EQ(CountingWave::danglingAtDestruction, 1);  // a still names b when a goes first
    EXPECT_EQ(CountingWave::releaseResults, 1);         // a's release of b while closing: true, no change
    EXPECT_EQ(CountingWave::unloads, 0);
    (void)last;
}

TEST_F(CatalogTest, AddItemRebasesTheDirectory)
{
    catalog->SetBaseDirectory(0, "C:\\game\\data");
    YCatalogItem* item = new YCatalogItem(2, "Sfx", "Bang", "C:\\game\\art\\ui", 0, "", nullptr);
    EXPECT_EQ(S(item->GetDirectory0()), "C:\\game\\art\\ui");
    catalog->AddItem(item);
    EXPECT_EQ(S(item->GetDirectory0()), "..\\art\\ui");
    EXPECT_EQ(YCatalog::CatalogOf(item), catalog);
}

}  // namespace
