#include <gtest/gtest.h>

#include <sys/stat.h>

#include "foundation/YFileFinder.h"
#include "foundation/YFileHandler.h"
#include "foundation/YFileSystem.h"
#include "foundation/test_catalog_bytes.h"

namespace {

std::string S(const CString& text) { return std::string((LPCTSTR)text); }

TEST(FileSystemPaths, SplitAndJoin)
{
    YFileSystem files;
    struct Case {
        const char* path;
        const char* directory;
        const char* directoryNoDrive;
        const char* fileName;
        const char* extension;
        const char* baseName;
        const char* drive;
    } cases[] = {
        {"C:\\game\\data\\rock.msh", "C:\\game\\data\\", "\\game\\data\\", "rock.msh", "msh", "rock", "C:"},
        {"rock.msh", "", "", "rock.msh", "msh", "rock", ""},
        {".hidden", "", "", ".hidden", "", "", ""},
        {"dir\\name.", "dir\\", "dir\\", "name.", "", "name", ""},
        {"a.b\\c", "a.b\\", "a.b\\", "c", "b\\c", "c", ""},
        {"\\\\server\\share\\x.txt", "\\\\server\\share\\", "\\\\server\\share\\", "x.txt", "txt", "x", "\\\\server\\share"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(S(files.GetDirectory(c.path, TRUE)), c.directory) << c.path;
        EXPECT_EQ(S(files.GetDirectory(c.path, FALSE)), c.directoryNoDrive) << c.path;
        EXPECT_EQ(S(files.GetFileName(c.path)), c.fileName) << c.path;
        EXPECT_EQ(S(files.GetExtension(c.path)), c.extension) << c.path;
        EXPECT_EQ(S(files.GetBaseName(c.path)), c.baseName) << c.path;
        EXPECT_EQ(S(files.GetDrive(c.path)), c.drive) << c.path;
    }
    EXPECT_EQ(S(files.JoinPath("", "name")), "name");
    EXPECT_EQ(S(files.JoinPath("dir\\", "name")), "dir\\name");
    EXPECT_EQ(S(files.JoinPath("dir", "name")), "dir\\name");
}

class FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = folder.Path().c_str();
        root += "\\";
    }
    CString P(const char* name) { return root + name; }
    TempFolder folder;
    CString root;
    YFileSystem files;
};

TEST_F(FileSystemTest, FilterZeroSkipsHiddenFilesAndFolders)
{
    TempFolder::Write(folder / "plain.txt", std::string("a"));
    TempFolder::Write(folder / "locked.txt", std::string("b"));
    chmod((folder / "locked.txt").c_str(), 0444);
    TempFolder::Write(folder / ".secret", std::string("c"));
    mkdir((folder / "sub").c_str(), 0755);

    struct Case {
        int filter;
        std::vector<std::string> names;
    } cases[] = {
        {0, {"locked.txt", "plain.txt"}},
        {0x80, {"locked.txt", "plain.txt"}},
        {0x10, {"sub"}},
        {0x02, {".secret"}},
        {0x01, {"locked.txt"}},
        {-1, {".secret", "locked.txt", "plain.txt", "sub"}},
    };
    for (const Case& c : cases) {
        CStringList* list = files.ListMatching(P("*.*"), c.filter);
        YFileSystem::SortStrings(*list, TRUE);
        std::vector<std::string> names;
        for (POSITION pos = list->GetHeadPosition(); pos;) names.push_back(S(files.GetFileName(list->GetNext(pos))));
        EXPECT_EQ(names, c.names) << c.filter;
        delete list;
    }
    chmod((folder / "locked.txt").c_str(), 0644);
}

TEST_F(FileSystemTest, StatusOfFilesAndFolders)
{
    TempFolder::Write(folder / "five.bin", std::string("12345"));
    mkdir((folder / "sub").c_str(), 0755);
    DWORD size = 99;
    EXPECT_EQ(files.GetSize(P("five.bin"), size), 1);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(files.FileExists(P("five.bin")), 1);
    EXPECT_EQ(files.FileExists(P("FIVE.BIN")), 1);
    EXPECT_EQ(files.IsDirectory(P("five.bin")), 0);
    EXPECT_EQ(files.IsDirectory(P("sub")), 1);
    size = 99;
    EXPECT_EQ(files.GetSize(P("none.bin"), size), 0);
    EXPECT_EQ(size, 99u);
    CTime time;
    EXPECT_EQ(files.GetModifiedTime(P("five.bin"), time), 1);
    EXPECT_GT(time.GetYear(), 2000);
}

TEST_F(FileSystemTest, CopyNeverOverwritesAndComparesBytes)
{
    TempFolder::Write(folder / "a.bin", std::string(25000, 'x') + "end");
    TempFolder::Write(folder / "keep.bin", std::string("keep"));
    EXPECT_EQ(files.CopyFile(P("a.bin"), P("keep.bin"), 100), 0);
    EXPECT_EQ(TempFolder::ReadText(folder / "keep.bin"), "keep");
    EXPECT_EQ(files.CopyFile(P("missing.bin"), P("b.bin"), 100), 0);
    EXPECT_EQ(files.CopyFile(P("a.bin"), P("b.bin"), 1000), 1);
    EXPECT_EQ(TempFolder::ReadText(folder / "b.bin"), TempFolder::ReadText(folder / "a.bin"));
    EXPECT_EQ(files.CompareFiles(P("a.bin"), P("b.bin"), 777), 1);
    TempFolder::Write(folder / "c.bin", std::string(25000, 'x') + "END");
    EXPECT_EQ(files.CompareFiles(P("a.bin"), P("c.bin"), 777), 0);
    EXPECT_EQ(files.CompareFiles(P("a.bin"), P("keep.bin"), 777), 0);
}

TEST_F(FileSystemTest, TreesAreMadeListedComparedAndRemoved)
{
    EXPECT_TRUE(files.CreateDirectoryTree(P("one\\two")));
    EXPECT_EQ(files.IsDirectory(P("one")), 1);
    EXPECT_EQ(files.IsDirectory(P("one\\two")), 1);
    TempFolder::Write(folder / "one/a.txt", std::string("aa"));
    TempFolder::Write(folder / "one/two/b.txt", std::string("bbb"));
    TempFolder::Write(folder / "one/two/c.dat", std::string("c"));

    CStringList* all = files.ListFiles(P("one\\*.txt"), 0, TRUE);
    EXPECT_EQ(all->GetCount(), 2);
    delete all;
    EXPECT_EQ(files.DirectorySize(P("one"), "*.*", TRUE), 6u);
    EXPECT_EQ(files.DirectorySize(P("one"), "*.*", FALSE), 2u);
    CStringList* subdirectories = files.ListSubdirectories(P("one"), FALSE);
    ASSERT_EQ(subdirectories->GetCount(), 1);
    EXPECT_EQ(S(subdirectories->GetHead()), "two");
    delete subdirectories;

    EXPECT_TRUE(files.CreateDirectoryTree(P("copy")));
    EXPECT_EQ(files.CopyFiles(P("one\\two\\*.*"), P("copy"), FALSE, 0), 1);
    EXPECT_EQ(files.CompareDirectories(P("one\\two\\*.*"), P("copy\\*.*"), TRUE, 0, FALSE), 1);
    TempFolder::Write(folder / "copy/c.dat", std::string("C"));
    EXPECT_EQ(files.CompareDirectories(P("one\\two\\*.*"), P("copy\\*.*"), TRUE, 0, FALSE), 0);
    EXPECT_EQ(files.CompareDirectories(P("one\\two\\*.*"), P("copy\\*.*"), FALSE, 0, FALSE), 1);

    EXPECT_EQ(files.ChangeFileName(P("copy\\c.dat"), P("copy\\b.txt")), 0);
    EXPECT_EQ(files.ChangeFileName(P("copy\\c.dat"), P("copy\\d.dat")), 1);
    EXPECT_EQ(files.IsReadOnly(P("copy")), 0);
    EXPECT_EQ(files.IsReadOnly(P("nowhere")), 1);

    EXPECT_TRUE(files.RemoveDirectory(P("one"), TRUE));
    EXPECT_EQ(files.FileExists(P("one")), 0);
    EXPECT_EQ(files.RemoveFile(P("copy\\d.dat")), 1);
    EXPECT_EQ(files.RemoveFile(P("copy\\d.dat")), 0);
}

TEST(FileHandler, PathsFromTheBaseDirectoryOrTheSearchDirectories)
{
    TempFolder folder;
    for (const char* dir : {"a", "b"}) mkdir((folder / dir).c_str(), 0755);
    TempFolder::Write(folder / "a/sea.tex", std::string("a"));
    TempFolder::Write(folder / "b/sea.tex", std::string("b"));
    TempFolder::Write(folder / "b/sky.tex", std::string("b"));

    YFileHandler handler;
    handler.AddEntry("sea.tex", "Sea", 0, -1);
    handler.AddEntry("sky.tex", "Sky", 0, -1);
    handler.AddEntry("none.tex", "None", 0, -1);

    CString path;
    EXPECT_EQ(handler.GetPath(0, path), 1);
    EXPECT_EQ(S(path), "\\sea.tex");  // never handed out: no folder at all

    handler.LoadFromPath("C:\\game", 0);
    EXPECT_EQ(handler.FindFile("NONE", path), 1);
    EXPECT_EQ(S(path), "C:\\game\\none.tex");

    CStringArray directories;
    directories.Add((folder / "a").c_str());
    directories.Add((folder / "b").c_str());
    handler.LoadFromDirectories(&directories, 0);
    EXPECT_TRUE(handler.GetBaseDirectory().IsEmpty());
    struct Case {
        const char* key;
        int found;
        std::string path;
    } cases[] = {
        {"sea", 1, (folder / "a") + "\\sea.tex"},
        {"SKY", 1, (folder / "b") + "\\sky.tex"},
        {"none", 0, "none.tex"},
    };
    for (const Case& c : cases) {
        path = "unchanged";
        EXPECT_EQ(handler.FindFile(c.key, path), c.found) << c.key;
        EXPECT_EQ(S(path), c.path) << c.key;
    }
    path = "unchanged";
    EXPECT_EQ(handler.FindFile("other", path), 0);
    EXPECT_EQ(S(path), "unchanged");
}

TEST(FileHandler, IndexesOutOfRangeAreRefusedOrIgnored)
{
    YFileHandler handler;
    handler.AddEntry("f", "k", 1, 2);
    CString out = "x";
    for (int index : {-1, 1, 1000}) {
        EXPECT_EQ(handler.GetKey(index, out), 0) << index;
        EXPECT_EQ(handler.GetPath(index, out), 0) << index;
        handler.SetFile(index, "bad");
        handler.SetKey(index, "bad");
        handler.SetWordC(index, 9);
        EXPECT_EQ(handler.GetWordC(index), 0);
        handler.RemoveEntry(index);
    }
    EXPECT_EQ(S(out), "x");
    ASSERT_EQ(handler.GetCount(), 1);
    EXPECT_EQ(S(handler.GetEntry(0)->m_file), "f");
    handler.SetWordC(0, 9);
    EXPECT_EQ(handler.GetWordC(0), 9);
    handler.RemoveEntry(0);
    EXPECT_EQ(handler.GetCount(), 0);
}

TEST(FileHandler, ArchiveFormWithFinderObjects)
{
    ArchiveBytes golden;
    golden.I32(1).I32(-3).U16(2);
    golden.NewClass(1, "YFileFinder").Str("sea").Str("water\\sea.tex").I32(4).I32(-1).I32(0);
    golden.ClassRef(1).Str("sky").Str("sky.tex").I32(0).I32(5).I32(6);

    CMemFile memory;
    memory.Write(golden.bytes.data(), (UINT)golden.bytes.size());
    memory.SeekToBegin();
    YFileHandler handler;
    {
        CArchive ar(&memory, CArchive::load);
        handler.Serialize(ar);
    }
    ASSERT_EQ(handler.GetCount(), 2);
    EXPECT_EQ(handler.m_word, -3);
    EXPECT_EQ(S(handler.GetEntry(0)->m_key), "sea");
    EXPECT_EQ(handler.GetEntry(0)->m_wordA, 4);
    EXPECT_EQ(handler.GetWordC(1), 6);

    CMemFile out;
    {
        CArchive ar(&out, CArchive::store);
        handler.Serialize(ar);
    }
    std::vector<BYTE> stored(out.GetLength());
    out.SeekToBegin();
    out.Read(stored.data(), (UINT)stored.size());
    EXPECT_EQ(stored, golden.bytes);
}

}  // namespace
