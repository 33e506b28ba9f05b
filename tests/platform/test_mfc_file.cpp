#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/mfc.h"

namespace {

// A fresh folder per test, removed afterwards.
class MfcFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/rcv_mfcfile_XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(tmpl));
        m_dir = tmpl;
    }
    void TearDown() override
    {
        std::string cmd = "rm -rf '" + m_dir + "'";
        ASSERT_EQ(0, std::system(cmd.c_str()));
    }
    std::string Path(const char* name) const { return m_dir + "/" + name; }
    void MakeFile(const char* name, const std::string& bytes) const
    {
        FILE* f = std::fopen(Path(name).c_str(), "wb");
        ASSERT_NE(nullptr, f);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    std::string m_dir;
};

TEST_F(MfcFileTest, OpenFailuresReportTheirCause)
{
    MakeFile("present.bin", "x");
    ASSERT_EQ(0, mkdir(Path("folder").c_str(), 0755));
    struct Case {
        std::string name;
        UINT flags;
        int cause;
        LONG osError;
    } cases[] = {
        {Path("missing.bin"), CFile::modeRead, CFileException::fileNotFound, ERROR_FILE_NOT_FOUND},
        {Path("nofolder/missing.bin"), CFile::modeRead, CFileException::badPath, ERROR_PATH_NOT_FOUND},
        {Path("nofolder/new.bin"), CFile::modeCreate | CFile::modeWrite, CFileException::badPath,
         ERROR_PATH_NOT_FOUND},
        {Path("present.bin/inner"), CFile::modeRead, CFileException::badPath, ERROR_PATH_NOT_FOUND},
        {Path("folder"), CFile::modeRead, CFileException::accessDenied, ERROR_ACCESS_DENIED},
        {"", CFile::modeRead, CFileException::fileNotFound, ERROR_FILE_NOT_FOUND},
    };
    for (const Case& c : cases) {
        CFile file;
        CFileException error;
        EXPECT_FALSE(file.Open(c.name.c_str(), c.flags, &error)) << c.name;
        EXPECT_EQ(c.cause, error.m_cause) << c.name;
        EXPECT_EQ(c.osError, error.m_lOsError) << c.name;
        EXPECT_STREQ(c.name.c_str(), static_cast<LPCTSTR>(error.m_strFileName));
        EXPECT_EQ(static_cast<UINT>(CFile::hFileNull), file.m_hFile);
    }
    if (geteuid() != 0) {
        MakeFile("locked.bin", "x");
        ASSERT_EQ(0, chmod(Path("locked.bin").c_str(), 0));
        CFile file;
        CFileException error;
        EXPECT_FALSE(file.Open(Path("locked.bin").c_str(), CFile::modeRead, &error));
        EXPECT_EQ(CFileException::accessDenied, error.m_cause);
    }
}

TEST_F(MfcFileTest, ConstructorThrowsOnFailure)
{
    std::string name = Path("missing.bin");
    int cause = -1;
    try {
        CFile file(name.c_str(), CFile::modeRead);
    } catch (CFileException* e) {
        cause = e->m_cause;
        EXPECT_STREQ(name.c_str(), static_cast<LPCTSTR>(e->m_strFileName));
        e->Delete();
    }
    EXPECT_EQ(CFileException::fileNotFound, cause);
}

TEST_F(MfcFileTest, WriteSeekReadAndLength)
{
    std::string name = Path("data.bin");
    {
        CFile file(name.c_str(), CFile::modeCreate | CFile::modeWrite);
        file.Write("0123456789", 10);
        EXPECT_EQ(10u, file.GetPosition());
        EXPECT_EQ(10u, file.GetLength());
        EXPECT_EQ(4, file.Seek(4, CFile::begin));
        file.Write("ab", 2);
        EXPECT_EQ(8, file.Seek(2, CFile::current));
        EXPECT_EQ(7, file.Seek(-3, CFile::end));
        file.SetLength(8);
        EXPECT_EQ(8u, file.GetLength());
        file.Close();
        EXPECT_EQ(static_cast<UINT>(CFile::hFileNull), file.m_hFile);
    }
    CFile file(name.c_str(), CFile::modeRead | CFile::shareDenyNone);
    char buf[32] = {};
    EXPECT_EQ(8u, file.Read(buf, sizeof buf)) << "a short count at the end, no exception";
    EXPECT_STREQ("0123ab67", buf);
    EXPECT_EQ(0u, file.Read(buf, 4));
    file.SeekToBegin();
    EXPECT_EQ(3u, file.Read(buf, 3));
    EXPECT_EQ(8u, file.SeekToEnd());

    int cause = -1;
    try {
        file.Seek(-1, CFile::begin);
    } catch (CFileException* e) {
        cause = e->m_cause;
        e->Delete();
    }
    EXPECT_EQ(CFileException::badSeek, cause);

    // Writing to a file opened for reading fails loudly.
    cause = -1;
    try {
        file.Write("x", 1);
    } catch (CFileException* e) {
        cause = e->m_cause;
        e->Delete();
    }
    EXPECT_EQ(CFileException::accessDenied, cause);
}

TEST_F(MfcFileTest, CreateTruncatesUnlessNoTruncate)
{
    MakeFile("keep.bin", "keep me");
    MakeFile("drop.bin", "drop me");
    CFile keep(Path("keep.bin").c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite);
    EXPECT_EQ(7u, keep.GetLength());
    CFile drop(Path("drop.bin").c_str(), CFile::modeCreate | CFile::modeReadWrite);
    EXPECT_EQ(0u, drop.GetLength());
}

TEST_F(MfcFileTest, NamesRenameAndRemove)
{
    MakeFile("Old.Name.bin", "1");
    std::string from = Path("Old.Name.bin");
    CFile file(from.c_str(), CFile::modeRead);
    EXPECT_STREQ("Old.Name.bin", static_cast<LPCTSTR>(file.GetFileName()));
    EXPECT_STREQ("Old.Name", static_cast<LPCTSTR>(file.GetFileTitle()));
    EXPECT_STREQ(from.c_str(), static_cast<LPCTSTR>(file.GetFilePath()));
    file.Close();

    std::string to = Path("new.bin");
    CFile::Rename(from.c_str(), to.c_str());
    CFile check;
    EXPECT_TRUE(check.Open(to.c_str(), CFile::modeRead));
    check.Close();
    CFile::Remove(to.c_str());
    EXPECT_FALSE(check.Open(to.c_str(), CFile::modeRead));

    int cause = -1;
    try {
        CFile::Remove(to.c_str());
    } catch (CFileException* e) {
        cause = e->m_cause;
        e->Delete();
    }
    EXPECT_EQ(CFileException::fileNotFound, cause);
}

TEST_F(MfcFileTest, GameStylePathsWithBackslashes)
{
    ASSERT_EQ(0, mkdir(Path("maps").c_str(), 0755));
    MakeFile("maps/alpha.zon", "YMAP");
    std::string gamePath = m_dir + "/maps\\alpha.zon";
    CFile file;
    ASSERT_TRUE(file.Open(gamePath.c_str(), CFile::modeRead));
    char buf[5] = {};
    EXPECT_EQ(4u, file.Read(buf, 4));
    EXPECT_STREQ("YMAP", buf);
    EXPECT_STREQ("alpha.zon", static_cast<LPCTSTR>(file.GetFileName()));
}

// ---------------------------------------------------------------- CMemFile
TEST(MfcMemFile, GrowsReadsShortAndSeeks)
{
    CMemFile file(4);
    file.Write("hello world", 11);
    EXPECT_EQ(11u, file.GetLength());
    EXPECT_EQ(11u, file.GetPosition());
    file.SeekToBegin();
    char buf[32] = {};
    EXPECT_EQ(5u, file.Read(buf, 5));
    EXPECT_STREQ("hello", buf);
    EXPECT_EQ(6u, file.Read(buf, sizeof buf)) << "short count at the end";
    EXPECT_EQ(0u, file.Read(buf, 1));

    // A write past the end fills the gap with zeros.
    EXPECT_EQ(14, file.Seek(3, CFile::end));
    file.Write("!", 1);
    EXPECT_EQ(15u, file.GetLength());
    file.Seek(-4, CFile::current);
    EXPECT_EQ(4u, file.Read(buf, 4));
    EXPECT_EQ(0, std::memcmp(buf, "\0\0\0!", 4));

    int cause = -1;
    try {
        file.Seek(-16, CFile::end);
    } catch (CFileException* e) {
        cause = e->m_cause;
        e->Delete();
    }
    EXPECT_EQ(CFileException::badSeek, cause);

    file.SetLength(2);
    EXPECT_EQ(2u, file.GetLength());
    EXPECT_EQ(2u, file.GetPosition());
    BYTE* mem = file.Detach();
    ASSERT_NE(nullptr, mem);
    EXPECT_EQ(0, std::memcmp(mem, "he", 2));
    std::free(mem);
    EXPECT_EQ(0u, file.GetLength());
}

TEST(MfcMemFile, AttachedFixedBufferReadsItsDataAndRefusesToGrow)
{
    BYTE data[6] = {'a', 'b', 'c', 'd', 'e', 'f'};
    CMemFile file(data, sizeof data);
    EXPECT_EQ(6u, file.GetLength());
    char buf[8] = {};
    EXPECT_EQ(6u, file.Read(buf, 8));
    EXPECT_STREQ("abcdef", buf);
    file.SeekToBegin();
    file.Write("XY", 2);
    EXPECT_EQ('X', data[0]);

    bool memoryError = false;
    try {
        file.Seek(0, CFile::end);
        file.Write("Z", 1);
    } catch (CMemoryException* e) {
        memoryError = true;
        e->Delete();
    }
    EXPECT_TRUE(memoryError);
    EXPECT_EQ(data, file.Detach());
}

TEST(MfcMemFile, AttachedGrowingBufferStartsEmpty)
{
    BYTE* mem = static_cast<BYTE*>(std::malloc(4));
    CMemFile file;
    file.Attach(mem, 4, 16);
    EXPECT_EQ(0u, file.GetLength());
    file.Write("0123456789", 10);
    EXPECT_EQ(10u, file.GetLength());
    BYTE* grown = file.Detach();
    EXPECT_EQ(0, std::memcmp(grown, "0123456789", 10));
    std::free(grown);
}

}  // namespace
