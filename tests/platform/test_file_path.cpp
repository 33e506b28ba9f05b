#include "platform/FilePath.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include "ScratchFolder.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {
namespace fs = std::filesystem;

std::string Cwd()
{
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) ? buffer : "";
}

// A temporary folder that acts as the drive root and the current folder:
//   Maps/Desert.ZON  Maps/sub/  mixed/{NAME.TXT,Name.txt,name.txt}
class FilePathTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = m_folder.Path();
        m_folder.MakeFolder("Maps/sub");
        for (const char* name : {"Maps/Desert.ZON", "mixed/NAME.TXT", "mixed/Name.txt", "mixed/name.txt"})
            m_folder.Write(name, name);
    }

    ScratchFolder m_folder{ScratchFolder::Enter};
    std::string m_root;
};

TEST(FilePathStart, IsTheFolderTheProgramStartedIn)
{
    // No test leaves the current folder or the start folder changed.
    EXPECT_EQ(platform::GetStartFolder(), Cwd());
}

TEST_F(FilePathTest, RelativePathsMatchEachComponentWithoutCase)
{
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"maps\\desert.zon", "Maps/Desert.ZON"},
        {"MAPS\\DESERT.ZON", "Maps/Desert.ZON"},
        {"Maps/desert.Zon", "Maps/Desert.ZON"},
        {"maps\\SUB", "Maps/sub"},
        {"maps\\new.zon", "Maps/new.zon"},               // missing: spelling kept
        {"maps\\NewDir\\X.Y", "Maps/NewDir/X.Y"},        // below a missing folder too
        {"NoSuch\\maps\\desert.zon", "NoSuch/maps/desert.zon"},
        {"maps\\\\sub\\\\", "Maps/sub/"},                // doubled separators, trailing one kept
        {".\\maps\\.\\sub", "Maps/sub"},
        {"maps\\sub\\..\\desert.zon", "Maps/Desert.ZON"},
        {"maps\\..", "."},
        {".", "."},
        {"C:maps", "Maps"},                              // drive-relative: the current folder
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(platform::ResolvePath(c.in), c.out) << c.in;
}

TEST_F(FilePathTest, ExactCaseWinsOverOtherSpellings)
{
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"mixed\\name.txt", "mixed/name.txt"},
        {"mixed\\Name.txt", "mixed/Name.txt"},
        {"mixed\\NAME.TXT", "mixed/NAME.TXT"},
        {"MIXED\\nAmE.tXt", "mixed/NAME.TXT"},  // no exact match: the first in byte order
    };
    for (const Case& c : cases) EXPECT_EQ(platform::ResolvePath(c.in), c.out) << c.in;
}

TEST_F(FilePathTest, DriveRootIsTheStartFolderWhateverTheCurrentFolder)
{
    ASSERT_EQ(chdir((m_root + "/Maps/sub").c_str()), 0);
    struct Case {
        const char* in;
        std::string out;
    };
    const Case cases[] = {
        {"\\maps\\desert.zon", m_root + "/Maps/Desert.ZON"},
        {"C:\\MAPS\\Desert.zon", m_root + "/Maps/Desert.ZON"},
        {"c:/maps", m_root + "/Maps"},
        {"\\\\maps", m_root + "/Maps"},
        {"\\..\\..\\maps", m_root + "/Maps"},  // nothing above the root
        {"\\", m_root + "/"},
        {"\\maps\\missing\\", m_root + "/Maps/missing/"},
    };
    for (const Case& c : cases) EXPECT_EQ(platform::ResolvePath(c.in), c.out) << c.in;
}

TEST_F(FilePathTest, HostAbsolutePathsStayAbsolute)
{
    std::string base = fs::path(m_root).filename().string();
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {m_root + "/MAPS/desert.zon", m_root + "/Maps/Desert.ZON"},
        {m_root + "\\maps\\SUB", m_root + "/Maps/sub"},
        {m_root + "//maps/../mixed", m_root + "/mixed"},
        {"/rcv_no_such_folder/AbC", "/rcv_no_such_folder/AbC"},
        {"/../tmp", "/tmp"},
        {"..\\" + base + "\\MAPS", "../" + base + "/Maps"},  // ".." leading a relative path is kept
    };
    for (const Case& c : cases) EXPECT_EQ(platform::ResolvePath(c.in), c.out) << c.in;
}

TEST_F(FilePathTest, ResolvedPathsOpenTheFileOnDisk)
{
    std::ifstream in(platform::ResolvePath("\\MAPS\\desert.ZON"));
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "Maps/Desert.ZON");
}

TEST_F(FilePathTest, FindEntryNoCaseReportsTheOnDiskName)
{
    std::string found;
    EXPECT_TRUE(platform::FindEntryNoCase(m_root, "maps", &found));
    EXPECT_EQ(found, "Maps");
    EXPECT_TRUE(platform::FindEntryNoCase("", "MAPS", &found));
    EXPECT_EQ(found, "Maps");
    EXPECT_FALSE(platform::FindEntryNoCase(m_root, "map", &found));
    EXPECT_FALSE(platform::FindEntryNoCase(m_root + "/nowhere", "x", &found));
}

}  // namespace
