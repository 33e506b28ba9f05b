#include "platform/FilePath.h"
#include "platform/mfc.h"

#include <gtest/gtest.h>

#include "ScratchFolder.h"

#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {
namespace fs = std::filesystem;

// A temporary folder as drive root and current folder:
//   Maps/Desert.ZON (5 bytes)  Maps/lake.zon (3)  Maps/readme.txt  Maps/Sub/  Maps/.hidden
class FileFindTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = m_folder.Path();
        m_folder.MakeFolder("Maps/Sub");
        m_folder.Write("Maps/Desert.ZON", "12345");
        m_folder.Write("Maps/lake.zon", "abc");
        m_folder.Write("Maps/readme.txt", "read me");
        m_folder.Write("Maps/.hidden", "");
    }

    struct Entry {
        std::string name, path, title;
        DWORD length;
        bool directory, dots, more;
    };
    static std::vector<Entry> Walk(CFileFind& finder)
    {
        std::vector<Entry> entries;
        BOOL more = TRUE;
        while (more) {
            more = finder.FindNextFile();
            entries.push_back({static_cast<LPCTSTR>(finder.GetFileName()), static_cast<LPCTSTR>(finder.GetFilePath()),
                               static_cast<LPCTSTR>(finder.GetFileTitle()), finder.GetLength(),
                               finder.IsDirectory() != FALSE, finder.IsDots() != FALSE, more != FALSE});
        }
        return entries;
    }

    ScratchFolder m_folder{ScratchFolder::Enter};
    std::string m_root;
};

TEST_F(FileFindTest, WalksMatchesWithTheGameSideFolder)
{
    struct Case {
        const char* pattern;
        const char* root;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"maps\\*.zon", "maps", {"Desert.ZON", "lake.zon"}},
        {"MAPS\\*.*", "MAPS", {".", "..", ".hidden", "Desert.ZON", "lake.zon", "readme.txt", "Sub"}},
        {"\\maps\\?????.*", "\\maps", {".", "..", ".hidden", "lake.zon", "Sub"}},
        {"C:\\Maps\\*.TXT", "C:\\Maps", {"readme.txt"}},
        {"maps/sub/*", "maps/sub", {".", ".."}},
        {"\\maps", "\\", {"Maps"}},
    };
    for (const Case& c : cases) {
        CFileFind finder;
        ASSERT_TRUE(finder.FindFile(c.pattern)) << c.pattern;
        EXPECT_STREQ(finder.GetRoot(), c.root) << c.pattern;
        std::vector<Entry> entries = Walk(finder);
        std::vector<std::string> names;
        for (size_t i = 0; i < entries.size(); ++i) {
            const Entry& e = entries[i];
            names.push_back(e.name);
            std::string root = c.root;
            std::string expectedPath = root + (root.back() == '\\' ? "" : "\\") + e.name;
            EXPECT_EQ(e.path, expectedPath) << c.pattern;
            EXPECT_EQ(e.more, i + 1 < entries.size()) << c.pattern << " " << e.name;
        }
        EXPECT_EQ(names, c.names) << c.pattern;
    }
}

TEST_F(FileFindTest, EntriesDescribeThemselves)
{
    CFileFind finder;
    ASSERT_TRUE(finder.FindFile("maps\\*"));
    std::vector<Entry> entries = Walk(finder);
    struct Expect {
        const char* name;
        const char* title;
        DWORD length;
        bool directory, dots;
    };
    const Expect expected[] = {
        {".", "", 0, true, true},
        {"..", ".", 0, true, true},
        {".hidden", "", 0, false, false},
        {"Desert.ZON", "Desert", 5, false, false},
        {"lake.zon", "lake", 3, false, false},
        {"readme.txt", "readme", 7, false, false},
        {"Sub", "Sub", 0, true, false},
    };
    ASSERT_EQ(entries.size(), sizeof expected / sizeof expected[0]);
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].name, expected[i].name);
        EXPECT_EQ(entries[i].title, expected[i].title) << expected[i].name;
        EXPECT_EQ(entries[i].length, expected[i].length) << expected[i].name;
        EXPECT_EQ(entries[i].directory, expected[i].directory) << expected[i].name;
        EXPECT_EQ(entries[i].dots, expected[i].dots) << expected[i].name;
    }
}

TEST_F(FileFindTest, AttributesAndTimes)
{
    ASSERT_EQ(chmod((m_root + "/Maps/lake.zon").c_str(), 0444), 0);
    struct utimbuf times = {1000000000, 1000000000};
    ASSERT_EQ(utime((m_root + "/Maps/Desert.ZON").c_str(), &times), 0);
    struct Case {
        const char* pattern;
        bool readOnly, hidden, directory, archived;
    };
    const Case cases[] = {
        {"maps\\lake.zon", true, false, false, true},
        {"maps\\.hidden", false, true, false, true},
        {"maps\\sub", false, false, true, false},
        {"maps\\desert.zon", false, false, false, true},
    };
    for (const Case& c : cases) {
        CFileFind finder;
        ASSERT_TRUE(finder.FindFile(c.pattern)) << c.pattern;
        EXPECT_FALSE(finder.FindNextFile()) << c.pattern;  // the only match
        EXPECT_EQ(finder.IsReadOnly() != FALSE, c.readOnly) << c.pattern;
        EXPECT_EQ(finder.IsHidden() != FALSE, c.hidden) << c.pattern;
        EXPECT_EQ(finder.IsDirectory() != FALSE, c.directory) << c.pattern;
        EXPECT_EQ(finder.IsArchived() != FALSE, c.archived) << c.pattern;
        EXPECT_EQ(finder.MatchesMask(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY) != FALSE,
                  c.readOnly || c.directory)
            << c.pattern;
        EXPECT_FALSE(finder.IsSystem());
    }
    CFileFind finder;
    ASSERT_TRUE(finder.FindFile("maps\\DESERT.zon"));
    finder.FindNextFile();
    CTime written;
    ASSERT_TRUE(finder.GetLastWriteTime(written));
    EXPECT_EQ(written.GetTime(), 1000000000);
    FILETIME ft;
    ASSERT_TRUE(finder.GetLastWriteTime(&ft));
    EXPECT_EQ(platform::UnixFromFileTime(ft), 1000000000);
}

TEST_F(FileFindTest, DefaultPatternWalksTheCurrentFolder)
{
    ASSERT_EQ(chdir((m_root + "/Maps/Sub").c_str()), 0);
    std::ofstream(m_root + "/Maps/Sub/one.dat") << "1";
    CFileFind finder;
    ASSERT_TRUE(finder.FindFile());
    EXPECT_STREQ(finder.GetRoot(), (m_root + "/Maps/Sub").c_str());
    std::vector<Entry> entries = Walk(finder);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[2].name, "one.dat");
    EXPECT_EQ(entries[2].path, m_root + "/Maps/Sub\\one.dat");
    // The joined path names the file again.
    EXPECT_EQ(platform::ResolvePath(entries[2].path), m_root + "/Maps/Sub/one.dat");
}

TEST_F(FileFindTest, FailuresAndReuse)
{
    struct Case {
        const char* pattern;
        DWORD error;
    };
    const Case cases[] = {
        {"maps\\*.bmp", ERROR_FILE_NOT_FOUND},
        {"nowhere\\*.*", ERROR_PATH_NOT_FOUND},
    };
    CFileFind finder;
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_FALSE(finder.FindFile(c.pattern)) << c.pattern;
        EXPECT_EQ(GetLastError(), c.error) << c.pattern;
        EXPECT_FALSE(finder.FindNextFile());
        EXPECT_STREQ(finder.GetFileName(), "");
        EXPECT_EQ(finder.GetLength(), 0u);
    }
    // Before the first FindNextFile there is no current match.
    ASSERT_TRUE(finder.FindFile("maps\\*.zon"));
    EXPECT_STREQ(finder.GetFileName(), "");
    EXPECT_TRUE(finder.FindNextFile());
    EXPECT_STREQ(finder.GetFileName(), "Desert.ZON");
    // A new search starts over.
    ASSERT_TRUE(finder.FindFile("maps\\*.txt"));
    EXPECT_FALSE(finder.FindNextFile());
    EXPECT_STREQ(finder.GetFileName(), "readme.txt");
    finder.Close();
    EXPECT_FALSE(finder.FindNextFile());
    EXPECT_STREQ(finder.GetFileName(), "");
}

}  // namespace
