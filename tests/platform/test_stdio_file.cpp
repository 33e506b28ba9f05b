#include "platform/FilePath.h"
#include "platform/mfc.h"

#include <gtest/gtest.h>

#include "ScratchFolder.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {
namespace fs = std::filesystem;

class StdioFileTest : public ::testing::Test {
protected:
    void SetUp() override { m_root = m_folder.Path(); }

    std::string Raw(const std::string& name) const { return m_folder.Read(name); }
    void Put(const std::string& name, const std::string& bytes) const { m_folder.Write(name, bytes); }
    // Every line ReadString(CString&) gives, checking that the end stays the end.
    static std::vector<std::string> Lines(CStdioFile& file)
    {
        std::vector<std::string> lines;
        CString line;
        while (file.ReadString(line)) lines.push_back(static_cast<LPCTSTR>(line));
        EXPECT_TRUE(line.IsEmpty());
        EXPECT_FALSE(file.ReadString(line));
        return lines;
    }

    ScratchFolder m_folder{ScratchFolder::Enter};
    std::string m_root;
};

TEST_F(StdioFileTest, TextModeWritesCrLf)
{
    struct Case {
        UINT type;
        const char* text;
        std::string bytes;
    };
    const Case cases[] = {
        {0, "one\ntwo\n", "one\r\ntwo\r\n"},
        {CFile::typeText, "one\ntwo\n", "one\r\ntwo\r\n"},
        {CFile::typeText, "a\r\nb", "a\r\r\nb"},  // as the run-time does
        {CFile::typeText, "\n\n", "\r\n\r\n"},
        {CFile::typeBinary, "one\ntwo\n", "one\ntwo\n"},
        {CFile::typeBinary, "a\r\nb", "a\r\nb"},
    };
    for (const Case& c : cases) {
        {
            CStdioFile file("out.txt", CFile::modeCreate | CFile::modeWrite | c.type);
            file.WriteString(c.text);
            EXPECT_EQ(file.GetLength(), c.bytes.size()) << c.text;
            EXPECT_EQ(file.GetPosition(), c.bytes.size()) << c.text;
            file.Close();
        }
        EXPECT_EQ(Raw("out.txt"), c.bytes) << c.text;
    }
}

TEST_F(StdioFileTest, ReadStringAcceptsBothLineEnds)
{
    struct Case {
        UINT type;
        std::string bytes;
        std::vector<std::string> lines;
    };
    const std::string longLine(1000, 'x');
    const Case cases[] = {
        {CFile::typeText, "one\r\ntwo\r\n", {"one", "two"}},
        {CFile::typeText, "one\ntwo\n", {"one", "two"}},
        {CFile::typeText, "one\r\ntwo", {"one", "two"}},
        {CFile::typeText, "mixed\nline\r\nend", {"mixed", "line", "end"}},
        {CFile::typeText, "a\rb\r\n", {"a\rb"}},  // a lone CR is text
        {CFile::typeText, "\n\r\n", {"", ""}},
        {CFile::typeText, "", {}},
        {CFile::typeText, "x\r\n\x1Ahidden\r\n", {"x"}},  // Ctrl-Z ends the text
        {CFile::typeText, longLine + "\r\n" + longLine, {longLine, longLine}},
        // CR and LF on either side of a buffer boundary
        {CFile::typeText, std::string(16383, 'a') + "\r\nb", {std::string(16383, 'a'), "b"}},
        {CFile::typeText, std::string(16383, 'a') + "\rb\n", {std::string(16383, 'a') + "\rb"}},
        {CFile::typeBinary, "one\r\ntwo\n", {"one\r", "two"}},
        {CFile::typeBinary, "x\x1Ay", {"x\x1Ay"}},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        Put("in.txt", cases[i].bytes);
        CStdioFile file("IN.TXT", CFile::modeRead | cases[i].type);
        EXPECT_TRUE(Lines(file) == cases[i].lines) << "case " << i;
    }
}

TEST_F(StdioFileTest, ReadStringIntoABufferKeepsTheLineEnd)
{
    Put("in.txt", "abcdef\r\nxy\nz");
    CStdioFile file("in.txt", CFile::modeRead);
    const char* expected[] = {"abc", "def", "\n", "xy\n", "z"};
    char buffer[4];
    for (const char* part : expected) {
        ASSERT_EQ(file.ReadString(buffer, sizeof buffer), buffer);
        EXPECT_STREQ(buffer, part);
    }
    EXPECT_EQ(file.ReadString(buffer, sizeof buffer), nullptr);
    EXPECT_EQ(file.ReadString(buffer, 0), nullptr);
}

TEST_F(StdioFileTest, PositionsAreFileOffsets)
{
    Put("in.txt", "one\r\ntwo\r\nthree\n");
    CStdioFile file("in.txt", CFile::modeRead | CFile::typeText);
    CString line;
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(file.GetPosition(), 5u);
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(file.GetPosition(), 10u);
    EXPECT_EQ(file.Seek(5, CFile::begin), 5);
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_STREQ(line, "two");
    EXPECT_EQ(file.Seek(-6, CFile::end), 10);
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_STREQ(line, "three");
    file.SeekToBegin();
    char bytes[8] = {};
    EXPECT_EQ(file.Read(bytes, 7), 7u);  // text mode: "one\ntwo" from 8 bytes
    EXPECT_EQ(std::string(bytes, 7), "one\ntwo");
    EXPECT_EQ(file.GetPosition(), 8u);
    EXPECT_EQ(file.Seek(2, CFile::current), 10);
    EXPECT_EQ(file.GetLength(), 16u);

    try {
        file.Seek(-1, CFile::begin);
        ADD_FAILURE() << "seeking before the start did not throw";
    } catch (CFileException* e) {
        EXPECT_EQ(e->m_cause, CFileException::badSeek);
        e->Delete();
    }
}

TEST_F(StdioFileTest, OpenFailuresReportTheCause)
{
    struct Case {
        const char* name;
        UINT flags;
        int cause;
        LONG osError;
    };
    const Case cases[] = {
        {"missing.txt", CFile::modeRead, CFileException::fileNotFound, ERROR_FILE_NOT_FOUND},
        {"nowhere\\file.txt", CFile::modeRead, CFileException::badPath, ERROR_PATH_NOT_FOUND},
        {"nowhere\\file.txt", CFile::modeCreate | CFile::modeWrite, CFileException::badPath, ERROR_PATH_NOT_FOUND},
    };
    for (const Case& c : cases) {
        CStdioFile file;
        CFileException error;
        EXPECT_FALSE(file.Open(c.name, c.flags, &error)) << c.name;
        EXPECT_EQ(error.m_cause, c.cause) << c.name;
        EXPECT_EQ(error.m_lOsError, c.osError) << c.name;
        EXPECT_STREQ(error.m_strFileName, c.name);
        EXPECT_EQ(file.m_pStream, nullptr);
        EXPECT_FALSE(file.Open(c.name, c.flags)) << c.name;  // no exception object: just FALSE

        bool thrown = false;
        try {
            CStdioFile opened(c.name, c.flags);
        } catch (CFileException* e) {
            thrown = true;
            EXPECT_EQ(e->m_cause, c.cause) << c.name;
            e->Delete();
        }
        EXPECT_TRUE(thrown) << c.name;
    }
}

TEST_F(StdioFileTest, NamesResolveWithoutCase)
{
    fs::create_directories(m_root + "/Maps");
    std::string oldStart = platform::GetStartFolder();
    platform::SetStartFolder(m_root);
    try {
        CStdioFile file("\\maps\\Notes.TXT", CFile::modeCreate | CFile::modeWrite);
        file.WriteString("hello\n");
    } catch (CException* e) {
        e->Delete();
        ADD_FAILURE() << "could not create the file";
    }
    platform::SetStartFolder(oldStart);
    EXPECT_EQ(Raw("Maps/Notes.TXT"), "hello\r\n");
    CStdioFile file("MAPS\\notes.txt", CFile::modeRead);
    CString line;
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_STREQ(line, "hello");
}

TEST_F(StdioFileTest, AppendModesWriteAtTheEnd)
{
    struct Case {
        UINT flags;
        std::string bytes;
    };
    const Case cases[] = {
        {CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite, "old\r\nnew\r\n"},
        {CFile::modeWrite, "old\r\nnew\r\n"},
        {CFile::modeCreate | CFile::modeWrite, "new\r\n"},
        {CFile::modeReadWrite, "new\r\n"},  // overwrites from the start
    };
    for (const Case& c : cases) {
        Put("log.txt", "old\r\n");
        {
            CStdioFile file("log.txt", c.flags);
            file.WriteString("new\n");
        }
        EXPECT_EQ(Raw("log.txt"), c.bytes) << c.flags;
    }
}

TEST_F(StdioFileTest, ReadingAndWritingTheSameFile)
{
    CStdioFile file("rw.txt", CFile::modeCreate | CFile::modeReadWrite);
    file.WriteString("first\nsecond\n");
    file.SeekToBegin();
    CString line;
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_STREQ(line, "first");
    file.WriteString("SECOND\n");  // goes where reading stopped
    file.SeekToBegin();
    EXPECT_EQ(Lines(file), (std::vector<std::string>{"first", "SECOND"}));
    file.SetLength(7);
    file.SeekToBegin();
    EXPECT_EQ(Lines(file), (std::vector<std::string>{"first"}));
    file.Close();
    EXPECT_EQ(Raw("rw.txt"), "first\r\n");
}

TEST_F(StdioFileTest, StdioStreamSharesTheTranslation)
{
    {
        CStdioFile file("s.txt", CFile::modeCreate | CFile::modeWrite);
        file.WriteString("a\n");
        ASSERT_NE(file.m_pStream, nullptr);
        fprintf(file.m_pStream, "x=%d\n", 5);
        file.WriteString("b\n");
        EXPECT_EQ(ftell(file.m_pStream), 11);
    }
    EXPECT_EQ(Raw("s.txt"), "a\r\nx=5\r\nb\r\n");
    CStdioFile file("s.txt", CFile::modeRead);
    CString line;
    ASSERT_TRUE(file.ReadString(line));
    char buffer[32];
    ASSERT_NE(fgets(buffer, sizeof buffer, file.m_pStream), nullptr);
    EXPECT_STREQ(buffer, "x=5\n");
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_STREQ(line, "b");
}

TEST_F(StdioFileTest, BinaryModePassesEveryByte)
{
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    bytes += "\r\n\n\r";
    {
        CStdioFile file("bin.dat", CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
        file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
    }
    EXPECT_EQ(Raw("bin.dat"), bytes);
    CStdioFile file("bin.dat", CFile::modeRead | CFile::typeBinary);
    std::string back(bytes.size() + 10, '\0');
    EXPECT_EQ(file.Read(&back[0], static_cast<UINT>(back.size())), bytes.size());
    back.resize(bytes.size());
    EXPECT_EQ(back, bytes);
    EXPECT_EQ(file.Read(&back[0], 1), 0u);
}

TEST_F(StdioFileTest, WrappedStreamStaysOpenAfterTheObject)
{
    FILE* stream = fopen((m_root + "/wrapped.txt").c_str(), "w+");
    ASSERT_NE(stream, nullptr);
    {
        CStdioFile file(stream);
        EXPECT_EQ(file.m_pStream, stream);
        file.WriteString("line\n");
    }
    fputs("more\n", stream);  // still open
    rewind(stream);
    {
        CStdioFile file(stream);
        CString line;
        ASSERT_TRUE(file.ReadString(line));
        EXPECT_STREQ(line, "line");
        file.Close();  // Close does close it
        EXPECT_EQ(file.m_pStream, nullptr);
    }
    EXPECT_EQ(Raw("wrapped.txt"), "line\nmore\n");
}

TEST_F(StdioFileTest, RuntimeClassIsAFile)
{
    CStdioFile file;
    EXPECT_TRUE(file.IsKindOf(RUNTIME_CLASS(CFile)));
    EXPECT_STREQ(file.GetRuntimeClass()->m_lpszClassName, "CStdioFile");
}

}  // namespace
