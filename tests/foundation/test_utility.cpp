#include "foundation/YUtility.h"

#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string g_debugOutput;
void CaptureDebug(const char* text)
{
    g_debugOutput += text;
}

// Runs each test in a fresh folder, since the log names are relative.
class DebugLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_debugOutput.clear();
        m_hook = platform::SetDebugOutputHook(CaptureDebug);
    }
    void TearDown() override { platform::SetDebugOutputHook(m_hook); }
    std::string Read(const char* name) const { return m_folder.Read(name); }

    ScratchFolder m_folder{ScratchFolder::Enter};
    platform::DebugOutputHook m_hook = nullptr;
};

TEST_F(DebugLogTest, AppendsLinesWithCrLf)
{
    EXPECT_EQ(DebugLog("abc", 0, "Debug.log"), 1);
    EXPECT_EQ(Read("Debug.log"), "abc\r\n");
    EXPECT_EQ(g_debugOutput, "abc\n");
    DebugLog("[YD3D6Parser::Hunt_SizeBuffers] Starting...", 0, "debug.LOG");  // found without regard to case
    EXPECT_EQ(Read("Debug.log"), "abc\r\n[YD3D6Parser::Hunt_SizeBuffers] Starting...\r\n");
    DebugLog("fresh", 1, "Debug.log");
    EXPECT_EQ(Read("Debug.log"), "fresh\r\n");
    DebugLog("", 0, "Debug.log");
    EXPECT_EQ(Read("Debug.log"), "fresh\r\n\r\n");
}

TEST_F(DebugLogTest, NameWithFolderStartsAnewEveryTime)
{
    m_folder.MakeFolder("logs");
    DebugLog("one", 0, "logs\\trace.log");
    DebugLog("two", 0, "logs\\trace.log");
    EXPECT_EQ(Read("logs/trace.log"), "two\r\n");
}

TEST_F(DebugLogTest, UnwritableFileStillReturnsOne)
{
    m_folder.MakeFolder("adir");
    EXPECT_EQ(DebugLog("lost", 1, "adir"), 1);  // a folder cannot be opened as a file
    EXPECT_EQ(g_debugOutput, "lost\n");
}

TEST(Utility, HexBlocks)
{
    const uint8_t bytes[] = {0x00, 0xAB, 0x7f, 0x10};
    YString text;
    HexEncode(bytes, 4, text);
    EXPECT_STREQ(text, "00AB7F10");
    HexEncode(bytes, 0, text);
    EXPECT_TRUE(text.IsEmpty());

    uint8_t out[3] = {9, 9, 9};
    HexDecode(out, 3, YString("00AB"));
    EXPECT_EQ(out[0], 0x00);
    EXPECT_EQ(out[1], 0xAB);
    EXPECT_EQ(out[2], 0x00);  // beyond the text
    HexDecode(out, 1, YString("Az"));
    EXPECT_EQ(out[0], 0x0A);  // an invalid second digit leaves the first
}

TEST(Utility, CountChar)
{
    EXPECT_EQ(CountChar("a/b/c", '/'), 2);
    EXPECT_EQ(CountChar("", '/'), 0);
    EXPECT_EQ(CountChar(nullptr, '/'), 0);
}

TEST(Utility, DayOfYearCountsFebruaryAs28Days)
{
    struct Case {
        int year, month, day, expected;
    } cases[] = {
        {2001, 1, 1, 1}, {2000, 2, 29, 60}, {2000, 3, 1, 60}, {2001, 3, 1, 60}, {2001, 12, 31, 365}, {2004, 7, 4, 185},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DayOfYear(CTime(c.year, c.month, c.day, 12, 0, 0)), c.expected)
            << c.year << "-" << c.month << "-" << c.day;
}

TEST(Utility, DateFromDayOfYearWalksTheMonthsAndClamps)
{
    struct Case {
        int day, month, dayOfMonth;
    } cases[] = {{1, 1, 1}, {31, 1, 31}, {32, 2, 1}, {59, 2, 28}, {60, 3, 1}, {365, 12, 31}, {0, 1, 1}, {999, 12, 31}};
    SYSTEMTIME now;
    GetSystemTime(&now);
    for (const Case& c : cases) {
        CTime t = DateFromDayOfYear(c.day);
        EXPECT_EQ(t.GetMonth(), c.month) << c.day;
        EXPECT_EQ(t.GetDay(), c.dayOfMonth) << c.day;
        EXPECT_EQ(t.GetHour(), 0);
        EXPECT_EQ(t.GetYear(), now.wYear);
    }
}

TEST(Utility, SunriseAndSunset)
{
    struct Case {
        int year, month, day, rise, set;
    } cases[] = {
        {2001, 1, 1, 479, 1021},     // day 1
        {2001, 6, 29, 300, 1200},    // day 180, the longest day
        {2001, 12, 31, 485, 1015},   // day 365
    };
    for (const Case& c : cases) {
        int rise = 0, set = 0;
        SunriseSunset(CTime(c.year, c.month, c.day, 0, 0, 0), rise, set);
        EXPECT_EQ(rise, c.rise);
        EXPECT_EQ(set, c.set);
    }
}

TEST(Utility, ParseDateFillsAndClampsFields)
{
    struct Case {
        const char* text;
        int year, month, day;
    } cases[] = {
        {"12/31/99", 1999, 12, 31}, {"7", 2007, 1, 1},      {"3/4/2005", 2005, 3, 4},
        {"13/40/60", 1971, 1, 1},                             {"/5/10", 2010, 1, 5},
        {"2/3/3000", 1971, 2, 3},   {"", 2000, 1, 1},
    };
    for (const Case& c : cases) {
        CTime t = ParseDate(c.text);
        EXPECT_EQ(t.GetYear(), c.year) << c.text;
        EXPECT_EQ(t.GetMonth(), c.month) << c.text;
        EXPECT_EQ(t.GetDay(), c.day) << c.text;
        EXPECT_EQ(t.GetHour(), 0) << c.text;
    }
}

TEST(Utility, SystemQueries)
{
    EXPECT_EQ(GetOsVersionCode(), 2000);  // the stand-in reports NT 5.0
    SetLastError(ERROR_FILE_NOT_FOUND);
    CString text = GetLastErrorText();
    EXPECT_NE(text.Find("cannot find the file"), -1);
    SetLastError(0xDEAD);
    EXPECT_TRUE(GetLastErrorText().IsEmpty());
}

}  // namespace
