#include "platform/FilePath.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include "ScratchFolder.h"

#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {
namespace fs = std::filesystem;

std::string Cwd()
{
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) ? buffer : "";
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A temporary folder as the current folder and the drive root:
//   Alpha.TXT (10 bytes)  beta.txt  gamma  .hidden  Sub/inner.dat
class Win32FilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = m_folder.Path();
        m_folder.Write("Alpha.TXT", "0123456789");
        m_folder.Write("beta.txt", "beta");
        m_folder.Write("gamma", "g");
        m_folder.Write(".hidden", "h");
        m_folder.Write("Sub/inner.dat", "inner");
    }

    std::vector<std::string> FindAll(const char* pattern, DWORD* error = nullptr)
    {
        std::vector<std::string> names;
        WIN32_FIND_DATA data;
        SetLastError(0);
        HANDLE find = FindFirstFile(pattern, &data);
        if (find == INVALID_HANDLE_VALUE) {
            if (error) *error = GetLastError();
            return names;
        }
        do names.push_back(data.cFileName);
        while (FindNextFile(find, &data));
        if (error) *error = GetLastError();
        EXPECT_TRUE(FindClose(find));
        return names;
    }

    ScratchFolder m_folder{ScratchFolder::Enter};
    std::string m_root;
};

TEST(Win32Wildcard, FollowsTheSystemsMatchingRules)
{
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    };
    const Case cases[] = {
        {"*.*", "readme", true},  // "*.*" takes names without a dot too
        {"*.*", "a.b.c", true},
        {"*", "a.b", true},
        {"*.zon", "desert.ZON", true},
        {"*.zon", "desert.zon.bak", false},
        {"*.txt", "a.b.txt", true},
        {"*.", "readme", true},  // "*." only names without an extension
        {"*.", "a.txt", false},
        {"?.txt", "a.txt", true},
        {"?.txt", "ab.txt", false},
        {"a??.txt", "a.txt", true},  // a '?' may match nothing before the dot
        {"a??.txt", "abc.txt", true},
        {"a??.txt", "abcd.txt", false},
        {"abc?", "abc", true},
        {"foo.*", "foo", true},
        {"foo.*", "foo.bar", true},
        {"foo.*", "foobar", false},
        {"DESERT.ZON", "desert.zon", true},
        {"d*t.zon", "desert.zon", true},
        {"d*t.zon", "desert.zo", false},
        {"*a*", "banana", true},
        {"*x*", "banana", false},
        {"*.t*", "a.txt.bak", true},
        {"map?.zon", "MAP1.ZON", true},
        {"map?.zon", "map12.zon", false},
        {"", "a", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::MatchesWildcard(c.pattern, c.name), c.match) << c.pattern << " vs " << c.name;
}

TEST_F(Win32FilesTest, FindFirstFileListsMatchesInOrderWithDiskSpelling)
{
    struct Case {
        std::string pattern;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"*.txt", {"Alpha.TXT", "beta.txt"}},
        {"*.*", {".", "..", ".hidden", "Alpha.TXT", "beta.txt", "gamma", "Sub"}},
        {"*.", {".", "..", "gamma", "Sub"}},
        {"?????", {"gamma", "Sub"}},
        {"BETA.TXT", {"beta.txt"}},
        {"sub", {"Sub"}},
        {"SUB\\*.DAT", {"inner.dat"}},
        {"\\sub\\*", {".", "..", "inner.dat"}},
        {m_root + "/Sub/I*", {"inner.dat"}},
    };
    for (const Case& c : cases) {
        DWORD error = 0;
        EXPECT_EQ(FindAll(c.pattern.c_str(), &error), c.names) << c.pattern;
        EXPECT_EQ(error, static_cast<DWORD>(ERROR_NO_MORE_FILES)) << c.pattern;
    }
}

TEST_F(Win32FilesTest, FindFirstFileFailures)
{
    struct Case {
        const char* pattern;
        DWORD error;
    };
    const Case cases[] = {
        {"nothing*", ERROR_FILE_NOT_FOUND},
        {"Sub\\", ERROR_FILE_NOT_FOUND},
        {"missing\\*.*", ERROR_PATH_NOT_FOUND},
        {"gamma\\*", ERROR_PATH_NOT_FOUND},  // a file is no folder
    };
    for (const Case& c : cases) {
        DWORD error = 0;
        EXPECT_TRUE(FindAll(c.pattern, &error).empty()) << c.pattern;
        EXPECT_EQ(error, c.error) << c.pattern;
    }
    EXPECT_FALSE(FindClose(INVALID_HANDLE_VALUE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(Win32FilesTest, FindDataDescribesTheEntry)
{
    struct utimbuf times = {1000000000, 1000000000};
    ASSERT_EQ(utime((m_root + "/Alpha.TXT").c_str(), &times), 0);
    ASSERT_EQ(chmod((m_root + "/beta.txt").c_str(), 0444), 0);
    struct Case {
        const char* pattern;
        DWORD attributes;
        DWORD size;
    };
    const Case cases[] = {
        {"alpha.txt", FILE_ATTRIBUTE_ARCHIVE, 10},
        {"beta.txt", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY, 4},
        {".hidden", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN, 1},
        {"sub", FILE_ATTRIBUTE_DIRECTORY, 0},
    };
    for (const Case& c : cases) {
        WIN32_FIND_DATA data;
        HANDLE find = FindFirstFile(c.pattern, &data);
        ASSERT_NE(find, INVALID_HANDLE_VALUE) << c.pattern;
        EXPECT_EQ(data.dwFileAttributes, c.attributes) << c.pattern;
        EXPECT_EQ(data.nFileSizeLow, c.size) << c.pattern;
        EXPECT_EQ(data.nFileSizeHigh, 0u) << c.pattern;
        EXPECT_EQ(GetFileAttributes(c.pattern), c.attributes) << c.pattern;
        FindClose(find);
    }
    WIN32_FIND_DATA data;
    HANDLE find = FindFirstFile("ALPHA.txt", &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    FindClose(find);
    // 2001-09-09 01:46:40 UTC in 100 ns steps since 1601.
    uint64_t ticks = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                     data.ftLastWriteTime.dwLowDateTime;
    EXPECT_EQ(ticks, 126444736000000000ULL);
    SYSTEMTIME st;
    ASSERT_TRUE(FileTimeToSystemTime(&data.ftLastWriteTime, &st));
    EXPECT_EQ(st.wYear, 2001);
    EXPECT_EQ(st.wMonth, 9);
    EXPECT_EQ(st.wDay, 9);
    EXPECT_EQ(st.wHour, 1);
    EXPECT_EQ(st.wMinute, 46);
    EXPECT_EQ(st.wSecond, 40);
    EXPECT_EQ(st.wDayOfWeek, 0);  // a Sunday
}

TEST_F(Win32FilesTest, SearchSkipsEntriesRemovedMeanwhile)
{
    WIN32_FIND_DATA data;
    HANDLE find = FindFirstFile("*.txt", &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(data.cFileName, "Alpha.TXT");
    ASSERT_TRUE(DeleteFile("beta.txt"));
    EXPECT_FALSE(FindNextFile(find, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    FindClose(find);
}

TEST_F(Win32FilesTest, AttributesOfMissingPaths)
{
    struct Case {
        const char* path;
        DWORD error;
    };
    const Case cases[] = {
        {"nothing", ERROR_FILE_NOT_FOUND},
        {"nowhere\\nothing", ERROR_PATH_NOT_FOUND},
        {"", ERROR_INVALID_NAME},
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_EQ(GetFileAttributes(c.path), INVALID_FILE_ATTRIBUTES) << c.path;
        EXPECT_EQ(GetLastError(), c.error) << c.path;
    }
    EXPECT_EQ(GetFileAttributes("\\"), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
}

TEST_F(Win32FilesTest, ReadOnlyAttributeRoundTrips)
{
    ASSERT_TRUE(SetFileAttributes("GAMMA", FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(GetFileAttributes("gamma") & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(_access("gamma", 2), -1);
    EXPECT_EQ(errno, EACCES);
    EXPECT_EQ(_access("gamma", 4), 0);
    EXPECT_FALSE(DeleteFile("gamma"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    ASSERT_TRUE(SetFileAttributes("gamma", FILE_ATTRIBUTE_NORMAL));
    EXPECT_FALSE(GetFileAttributes("gamma") & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(_access("GAMMA", 6), 0);
    EXPECT_TRUE(DeleteFile("gamma"));
    EXPECT_EQ(_access("gamma", 0), -1);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(_access("beta.txt", 1), -1);  // not a mode of the run-time
    EXPECT_EQ(errno, EINVAL);
}

TEST_F(Win32FilesTest, DirectoriesAreCreatedAndRemoved)
{
    ASSERT_TRUE(CreateDirectory("New", nullptr));
    EXPECT_TRUE(fs::is_directory(m_root + "/New"));
    ASSERT_TRUE(CreateDirectory("NEW\\Inner", nullptr));  // the existing folder's spelling
    EXPECT_TRUE(fs::is_directory(m_root + "/New/Inner"));
    EXPECT_EQ(_mkdir("\\new\\Second"), 0);
    EXPECT_TRUE(fs::is_directory(m_root + "/New/Second"));

    struct Failure {
        BOOL (*call)(const char*);
        const char* path;
        DWORD error;
    };
    auto create = [](const char* p) { return CreateDirectory(p, nullptr); };
    auto remove = [](const char* p) { return RemoveDirectory(p); };
    auto erase = [](const char* p) { return DeleteFile(p); };
    const Failure failures[] = {
        {create, "new", ERROR_ALREADY_EXISTS},
        {create, "gamma", ERROR_ALREADY_EXISTS},
        {create, "none\\deeper", ERROR_PATH_NOT_FOUND},
        {remove, "NEW", ERROR_DIR_NOT_EMPTY},
        {remove, "gamma", ERROR_DIRECTORY},
        {remove, "none", ERROR_FILE_NOT_FOUND},
        {remove, "none\\deeper", ERROR_PATH_NOT_FOUND},
        {erase, "sub", ERROR_ACCESS_DENIED},
        {erase, "none", ERROR_FILE_NOT_FOUND},
        {erase, "none\\file", ERROR_PATH_NOT_FOUND},
    };
    for (const Failure& f : failures) {
        SetLastError(0);
        EXPECT_FALSE(f.call(f.path)) << f.path;
        EXPECT_EQ(GetLastError(), f.error) << f.path;
    }
    EXPECT_TRUE(RemoveDirectory("new\\INNER"));
    EXPECT_EQ(_rmdir("NEW\\second"), 0);
    EXPECT_TRUE(RemoveDirectory("new"));
    EXPECT_FALSE(fs::exists(m_root + "/New"));
}

TEST_F(Win32FilesTest, MoveFileRenamesAndRefusesToReplace)
{
    ASSERT_TRUE(MoveFile("BETA.TXT", "Sub\\moved.txt"));
    EXPECT_FALSE(fs::exists(m_root + "/beta.txt"));
    EXPECT_EQ(ReadAll(m_root + "/Sub/moved.txt"), "beta");

    EXPECT_FALSE(MoveFile("alpha.txt", "GAMMA"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(ReadAll(m_root + "/gamma"), "g");

    EXPECT_FALSE(MoveFile("none", "other"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    // A change of letter case only is a rename.
    ASSERT_TRUE(MoveFile("gamma", "GAMMA"));
    EXPECT_TRUE(fs::exists(m_root + "/GAMMA"));
    EXPECT_FALSE(fs::exists(m_root + "/gamma"));
    ASSERT_TRUE(MoveFile("sub", "\\SUB"));
    EXPECT_TRUE(fs::is_directory(m_root + "/SUB"));
    EXPECT_TRUE(MoveFile("GAMMA", "GAMMA"));  // nothing to do
}

TEST_F(Win32FilesTest, CopyFileCopiesBytesAndTimes)
{
    struct utimbuf times = {1000000000, 1000000000};
    ASSERT_EQ(utime((m_root + "/Alpha.TXT").c_str(), &times), 0);
    ASSERT_TRUE(CopyFile("alpha.txt", "sub\\Copy.txt", TRUE));
    EXPECT_EQ(ReadAll(m_root + "/Sub/Copy.txt"), "0123456789");
    struct stat st;
    ASSERT_EQ(stat((m_root + "/Sub/Copy.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, 1000000000);

    EXPECT_FALSE(CopyFile("beta.txt", "SUB\\copy.TXT", TRUE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
    EXPECT_EQ(ReadAll(m_root + "/Sub/Copy.txt"), "0123456789");

    ASSERT_TRUE(CopyFile("beta.txt", "SUB\\copy.TXT", FALSE));  // replaces the existing one
    EXPECT_EQ(ReadAll(m_root + "/Sub/Copy.txt"), "beta");
    EXPECT_FALSE(fs::exists(m_root + "/Sub/copy.TXT"));

    struct Failure {
        const char* from;
        const char* to;
        DWORD error;
    };
    const Failure failures[] = {
        {"none", "x", ERROR_FILE_NOT_FOUND},
        {"sub", "x", ERROR_ACCESS_DENIED},
        {"beta.txt", "none\\x", ERROR_PATH_NOT_FOUND},
        {"beta.txt", "BETA.TXT", ERROR_SHARING_VIOLATION},
    };
    for (const Failure& f : failures) {
        SetLastError(0);
        EXPECT_FALSE(CopyFile(f.from, f.to, FALSE)) << f.from << " -> " << f.to;
        EXPECT_EQ(GetLastError(), f.error) << f.from << " -> " << f.to;
    }
    EXPECT_EQ(ReadAll(m_root + "/beta.txt"), "beta");
}

TEST_F(Win32FilesTest, CurrentFolderFollowsSetCurrentDirectory)
{
    char buffer[4096];
    DWORD length = GetCurrentDirectory(sizeof buffer, buffer);
    EXPECT_EQ(std::string(buffer), m_root);
    EXPECT_EQ(length, m_root.size());
    // Too small: the size needed, terminator included.
    EXPECT_EQ(GetCurrentDirectory(3, buffer), m_root.size() + 1);
    EXPECT_EQ(GetCurrentDirectory(0, nullptr), m_root.size() + 1);

    ASSERT_TRUE(SetCurrentDirectory("SUB"));
    EXPECT_EQ(Cwd(), m_root + "/Sub");
    EXPECT_EQ(GetFileAttributes("INNER.DAT"), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
    ASSERT_TRUE(SetCurrentDirectory(".."));
    EXPECT_EQ(Cwd(), m_root);
    EXPECT_FALSE(SetCurrentDirectory("missing"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(_chdir("\\sub"), 0);
    EXPECT_EQ(Cwd(), m_root + "/Sub");
    EXPECT_EQ(_chdir("missing"), -1);

    char* allocated = _getcwd(nullptr, 0);
    ASSERT_NE(allocated, nullptr);
    EXPECT_EQ(std::string(allocated), m_root + "/Sub");
    free(allocated);
    char small[4];
    EXPECT_EQ(_getcwd(small, sizeof small), nullptr);
    EXPECT_EQ(errno, ERANGE);
    EXPECT_EQ(_getcwd(buffer, sizeof buffer), buffer);
    EXPECT_EQ(std::string(buffer), m_root + "/Sub");
}

TEST_F(Win32FilesTest, FullPathNamesAreAbsoluteWithTheFilePart)
{
    struct Case {
        const char* in;
        std::string out;
        const char* filePart;  // null: none
    };
    const Case cases[] = {
        {"alpha.txt", m_root + "/Alpha.TXT", "Alpha.TXT"},
        {"sub\\..\\Sub\\new.dat", m_root + "/Sub/new.dat", "new.dat"},
        {"\\sub\\", m_root + "/Sub/", nullptr},
        {"C:\\GAMMA", m_root + "/gamma", "gamma"},
        {".", m_root, nullptr},
    };
    for (const Case& c : cases) {
        char buffer[4096];
        char* filePart = reinterpret_cast<char*>(1);
        DWORD length = GetFullPathName(c.in, sizeof buffer, buffer, &filePart);
        EXPECT_EQ(std::string(buffer), c.out) << c.in;
        EXPECT_EQ(length, c.out.size()) << c.in;
        if (c.filePart) {
            ASSERT_NE(filePart, nullptr) << c.in;
            EXPECT_STREQ(filePart, c.filePart) << c.in;
            EXPECT_GE(filePart, buffer);
        } else if (c.in[0] != '.') {
            EXPECT_EQ(filePart, nullptr) << c.in;
        }
    }
    char tiny[4] = "xyz";
    EXPECT_EQ(GetFullPathName("alpha.txt", sizeof tiny, tiny, nullptr), m_root.size() + 11);
    EXPECT_STREQ(tiny, "xyz");  // untouched
}

TEST(Win32Module, ModuleFileNameIsThisProgram)
{
    char buffer[4096];
    DWORD length = GetModuleFileName(nullptr, buffer, sizeof buffer);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(length, strlen(buffer));
    EXPECT_EQ(fs::path(buffer).filename().string(), "test_platform");
    EXPECT_TRUE(fs::exists(buffer));

    char small[5];
    SetLastError(0);
    EXPECT_EQ(GetModuleFileName(nullptr, small, sizeof small), sizeof small);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::string(small), std::string(buffer, 4));
}

TEST(Win32Module, TempPathEndsWithASeparator)
{
    const char* old = getenv("TMPDIR");
    std::string saved = old ? old : "";
    struct Case {
        const char* env;
        const char* out;
    };
    const Case cases[] = {{"/var/tmp", "/var/tmp/"}, {"/var/tmp/", "/var/tmp/"}, {nullptr, "/tmp/"}};
    for (const Case& c : cases) {
        if (c.env) setenv("TMPDIR", c.env, 1);
        else unsetenv("TMPDIR");
        char buffer[MAX_PATH];
        EXPECT_EQ(GetTempPath(sizeof buffer, buffer), strlen(c.out));
        EXPECT_STREQ(buffer, c.out);
        EXPECT_EQ(GetTempPath(2, buffer), strlen(c.out) + 1);
    }
    if (old) setenv("TMPDIR", saved.c_str(), 1);
    else unsetenv("TMPDIR");
}

TEST(Win32FileTime, SystemTimesConvertBothWays)
{
    struct Case {
        SYSTEMTIME st;
        bool valid;
    };
    const Case cases[] = {
        {{1999, 12, 0, 31, 23, 59, 59, 999}, true},
        {{1601, 1, 0, 1, 0, 0, 0, 0}, true},
        {{2038, 1, 0, 19, 3, 14, 7, 0}, true},
        {{2000, 2, 0, 29, 12, 0, 0, 0}, true},  // leap day
        {{1999, 2, 0, 29, 12, 0, 0, 0}, false},
        {{1999, 4, 0, 31, 0, 0, 0, 0}, false},
        {{1999, 13, 0, 1, 0, 0, 0, 0}, false},
        {{1999, 1, 0, 1, 24, 0, 0, 0}, false},
        {{1600, 1, 0, 1, 0, 0, 0, 0}, false},
    };
    for (const Case& c : cases) {
        FILETIME ft;
        ASSERT_EQ(SystemTimeToFileTime(&c.st, &ft) != FALSE, c.valid) << c.st.wYear << "-" << c.st.wMonth;
        if (!c.valid) continue;
        SYSTEMTIME back;
        ASSERT_TRUE(FileTimeToSystemTime(&ft, &back));
        EXPECT_EQ(back.wYear, c.st.wYear);
        EXPECT_EQ(back.wMonth, c.st.wMonth);
        EXPECT_EQ(back.wDay, c.st.wDay);
        EXPECT_EQ(back.wHour, c.st.wHour);
        EXPECT_EQ(back.wMinute, c.st.wMinute);
        EXPECT_EQ(back.wSecond, c.st.wSecond);
        EXPECT_EQ(back.wMilliseconds, c.st.wMilliseconds);
    }
    SYSTEMTIME origin = {1601, 1, 0, 1, 0, 0, 0, 0};
    FILETIME zero;
    ASSERT_TRUE(SystemTimeToFileTime(&origin, &zero));
    EXPECT_EQ(zero.dwLowDateTime, 0u);
    EXPECT_EQ(zero.dwHighDateTime, 0u);
    FILETIME later = {1, 0};
    EXPECT_EQ(CompareFileTime(&zero, &later), -1);
    EXPECT_EQ(CompareFileTime(&later, &zero), 1);
    EXPECT_EQ(CompareFileTime(&later, &later), 0);
}

}  // namespace

TEST_F(Win32FilesTest, MoveFileExReplacesOnlyWhenAsked)
{
    EXPECT_FALSE(MoveFileEx("alpha.txt", "GAMMA", 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    ASSERT_TRUE(MoveFileEx("ALPHA.TXT", "GAMMA", MOVEFILE_REPLACE_EXISTING));
    EXPECT_FALSE(fs::exists(m_root + "/Alpha.TXT"));
    EXPECT_EQ(ReadAll(m_root + "/gamma"), "0123456789");

    EXPECT_FALSE(MoveFileEx("none", "gamma", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(ReadAll(m_root + "/gamma"), "0123456789");
    // A folder is never replaced.
    EXPECT_FALSE(MoveFileEx("gamma", "Sub", MOVEFILE_REPLACE_EXISTING));
    EXPECT_TRUE(fs::is_directory(m_root + "/Sub"));
}
