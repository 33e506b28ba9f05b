#include <gtest/gtest.h>

#include "foundation/YFileHandler.h"
#include "foundation/YResource.h"
#include "foundation/YResourceFactory.h"
#include "foundation/YResourceVisitor.h"
#include "foundation/test_catalog_bytes.h"

namespace {

// A resource that refuses every file it is given.
class RefusingResource : public YResource {
    DECLARE_SERIAL(RefusingResource)
public:
    BOOL LoadFromFile(CFile&) override { return FALSE; }
};
IMPLEMENT_SERIAL(RefusingResource, YResource, 1)

class RecordingVisitor : public YResourceVisitor {
public:
    LONG VisitFileHandler(YFileHandler* handler) override
    {
        visited = handler;
        return 22;
    }
    YFileHandler* visited = nullptr;
};

TEST(ResourceFactory, TypesWithoutClassGiveNothing)
{
    YResourceFactory factory;
    for (int type : {-1, 0, 5, 6, 7, 15, 16, 28, 1000}) {
        YResource* resource = factory.Create(type);
        EXPECT_EQ(resource, nullptr) << "type " << type;
        delete resource;
        EXPECT_FALSE(YResourceFactory::RegisterType(type, RUNTIME_CLASS(RefusingResource))) << "type " << type;
    }
}

TEST(ResourceFactory, FileHandlersAreBuiltIn)
{
    YResourceFactory factory;
    YResource* resource = factory.Create(22);
    ASSERT_NE(resource, nullptr);
    EXPECT_TRUE(resource->IsKindOf(RUNTIME_CLASS(YFileHandler)));
    YFileHandler* handler = static_cast<YFileHandler*>(resource);
    EXPECT_EQ(handler->GetCount(), 0);
    RecordingVisitor visitor;
    EXPECT_EQ(resource->Accept(&visitor), 22);
    EXPECT_EQ(visitor.visited, handler);
    delete resource;
}

TEST(ResourceFactory, RegisteredClassesAreCreatedAndOthersRefused)
{
    EXPECT_FALSE(YResourceFactory::RegisterType(3, RUNTIME_CLASS(CFileException)));
    ASSERT_TRUE(YResourceFactory::RegisterType(3, RUNTIME_CLASS(RefusingResource)));
    YResourceFactory factory;
    YResource* resource = factory.Create(3);
    ASSERT_NE(resource, nullptr);
    EXPECT_TRUE(resource->IsKindOf(RUNTIME_CLASS(RefusingResource)));
    delete resource;
    YResourceFactory::RegisterType(3, nullptr);
    EXPECT_EQ(factory.Create(3), nullptr);
}

TEST(ResourceFactory, CreateAndLoadJoinsDirectoryAndNameAsTheyStand)
{
    TempFolder folder;
    TempFolder::Write(folder / "datafile", std::string("x"));
    YResourceFactory factory;
    // No separator is added: "<folder>/data" + "file".
    YResource* resource = factory.CreateAndLoad(22, CString((folder / "data").c_str()), "file");
    ASSERT_NE(resource, nullptr);
    EXPECT_TRUE(resource->IsKindOf(RUNTIME_CLASS(YFileHandler)));
    delete resource;
}

TEST(ResourceFactory, CreateAndLoadFailuresThrowAndLeaveTheResourceRecorded)
{
    TempFolder folder;
    TempFolder::Write(folder / "refused.bin", std::string("data"));
    ASSERT_TRUE(YResourceFactory::RegisterType(3, RUNTIME_CLASS(RefusingResource)));
    YResourceFactory factory;

    struct Case {
        int type;
        std::string file;
        int cause;
    } cases[] = {
        {22, folder / "missing.bin", CFileException::fileNotFound},
        {3, folder / "refused.bin", CFileException::genericException},
    };
    for (const Case& c : cases) {
        YResourceFactory::ClearLoadingResource();
        bool thrown = false;
        try {
            factory.CreateAndLoad(c.type, "", c.file.c_str());
        } catch (CFileException* e) {
            thrown = true;
            EXPECT_EQ(e->m_cause, c.cause) << c.file;
            if (c.cause == CFileException::genericException) {
                EXPECT_EQ(e->m_lOsError, -1);
                EXPECT_STREQ(e->m_strFileName, c.file.c_str());
            }
            e->Delete();
        }
        EXPECT_TRUE(thrown) << c.file;
        YResource* left = YResourceFactory::GetLoadingResource();
        ASSERT_NE(left, nullptr) << c.file;
        EXPECT_EQ(left->IsKindOf(RUNTIME_CLASS(RefusingResource)) ? 3 : 22, c.type);
        delete left;
        YResourceFactory::ClearLoadingResource();
    }
    YResourceFactory::RegisterType(3, nullptr);
}

TEST(Resource, CopyToNullMakesAPlainCopyOfIdBoundsAndVersion)
{
    CMemFile memory;
    {
        ArchiveBytes bytes;
        bytes.I32(7);
        memory.Write(bytes.bytes.data(), (UINT)bytes.bytes.size());
        memory.SeekToBegin();
    }
    YResource source;
    CArchive ar(&memory, CArchive::load);
    source.Serialize(ar);
    source.SetId(42);
    source.SetBounds(RECT{1, 2, 30, 40});

    YResource* copy = source.CopyTo(nullptr);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetRuntimeClass(), RUNTIME_CLASS(YResource));
    EXPECT_EQ(copy->GetId(), 42);
    EXPECT_EQ(copy->GetVersion(), 7);
    RECT bounds;
    EXPECT_EQ(copy->GetBounds(bounds), 1);
    EXPECT_EQ(bounds.left, 1);
    EXPECT_EQ(bounds.top, 2);
    EXPECT_EQ(bounds.right, 30);
    EXPECT_EQ(bounds.bottom, 40);
    delete copy;
}

TEST(Resource, RemoveReferenceNullsEveryEntryAndKeepsTheSize)
{
    YResource owner;
    YResource a;
    YResource b;
    owner.GetDependents()->Add(&a);
    owner.GetDependents()->Add(&b);
    owner.GetDependents()->Add(&a);

    EXPECT_EQ(owner.RemoveReference(&a), 1);
    ASSERT_EQ(owner.GetDependents()->GetSize(), 3);
    EXPECT_EQ(owner.GetDependents()->GetAt(0), nullptr);
    EXPECT_EQ(owner.GetDependents()->GetAt(1), &b);
    EXPECT_EQ(owner.GetDependents()->GetAt(2), nullptr);

    YResource stranger;
    EXPECT_EQ(owner.RemoveReference(&stranger), 1);
    EXPECT_EQ(owner.GetDependents()->GetAt(1), &b);
}

TEST(Resource, ArchiveFormIsTheVersionAlone)
{
    YResource resource;
    CMemFile memory;
    {
        CArchive ar(&memory, CArchive::store);
        resource.Serialize(ar);
    }
    ASSERT_EQ(memory.GetLength(), 4u);
    memory.SeekToBegin();
    BYTE stored[4];
    memory.Read(stored, 4);
    const BYTE expected[4] = {1, 0, 0, 0};
    EXPECT_EQ(memcmp(stored, expected, 4), 0);
}

}  // namespace
