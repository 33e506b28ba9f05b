// The catalog's model loader: its archive form and where it finds the file.
#include <gtest/gtest.h>


#include "ModelFixture.h"
#include "ScratchFolder.h"
#include "assets3d/YSMLoader.h"
#include "foundation/YResourceVisitor.h"

namespace {
class CountingVisitor : public YResourceVisitor {
public:
    LONG VisitSMLoader(YSMLoader* loader) override
    {
        seen = loader;
        return 5;
    }
    YSMLoader* seen = nullptr;
};
}  // namespace

TEST(ModelLoader, ArchivesTheFileNameAfterTheBase)
{
    YSMLoader loader;
    loader.SetFileName("planes/biplane.ysm");
    CMemFile memory;
    {
        CArchive ar(&memory, CArchive::store);
        loader.Serialize(ar);
    }
    memory.SeekToBegin();
    YSMLoader back;
    {
        CArchive ar(&memory, CArchive::load);
        back.Serialize(ar);
    }
    EXPECT_EQ(CString("planes/biplane.ysm"), back.GetFileName());
    CountingVisitor visitor;
    EXPECT_EQ(5, back.Accept(&visitor));
    EXPECT_EQ(&back, visitor.seen);
}

TEST(ModelLoader, PathSearchesTheListOnceAndRemembers)
{
    ScratchFolder folder;
    const std::string dirs[3] = {folder / "a", folder / "b", folder / "c"};
    folder.MakeFolder("a");
    folder.Write("b/arrow.ysm", std::string(1, '\1'));
    folder.Write("c/arrow.ysm", std::string(1, '\2'));
    CStringArray list;
    for (const std::string& d : dirs) list.Add(d.c_str());

    YSMLoader loader;
    loader.SetFileName("arrow.ysm");
    EXPECT_EQ(CString("arrow.ysm"), loader.GetPath(true));  // nothing known yet
    EXPECT_TRUE(loader.LoadFromDirectories(&list, 0));
    EXPECT_EQ(CString((dirs[1] + "/arrow.ysm").c_str()), loader.GetPath(true));
    EXPECT_EQ(CString(dirs[1].c_str()), loader.GetDirectory());
    remove((dirs[1] + "/arrow.ysm").c_str());
    EXPECT_EQ(CString((dirs[1] + "/arrow.ysm").c_str()), loader.GetPath(true));  // remembered
    EXPECT_EQ(CString("arrow.ysm"), loader.GetPath(false));
    EXPECT_TRUE(loader.LoadFromPath("models", 0));
    EXPECT_EQ(CString("models/arrow.ysm"), loader.GetPath(true));
    EXPECT_TRUE(loader.LoadFromDirectories(&list, 0));
    EXPECT_EQ(CString((dirs[2] + "/arrow.ysm").c_str()), loader.GetPath(true));
}
