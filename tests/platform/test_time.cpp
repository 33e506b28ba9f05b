#include "platform/mfc.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace {

// Runs each test in a fixed time zone given by a POSIX rule (no zone files needed).
class CTimeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* old = std::getenv("TZ");
        m_hadZone = old != nullptr;
        if (old) m_oldZone = old;
    }
    void TearDown() override
    {
        if (m_hadZone) setenv("TZ", m_oldZone.c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }
    static void Zone(const char* rule)
    {
        setenv("TZ", rule, 1);
        tzset();
    }

    bool m_hadZone = false;
    std::string m_oldZone;
};

const char* const kUtc = "UTC0";
const char* const kNewYork = "EST5EDT,M3.2.0,M11.1.0";

TEST_F(CTimeTest, FieldsOfLocalDates)
{
    struct Case {
        const char* zone;
        int year, month, day, hour, minute, second;
        time_t expected;
        int dayOfWeek;  // 1 = Sunday
    };
    const Case cases[] = {
        {kUtc, 1970, 1, 1, 0, 0, 0, 0, 5},
        {kUtc, 1999, 12, 31, 23, 59, 58, 946684798, 6},
        {kUtc, 2000, 2, 29, 12, 0, 0, 951825600, 3},
        {kUtc, 2001, 9, 9, 1, 46, 40, 1000000000, 1},
        {kUtc, 2038, 1, 19, 3, 14, 7, 2147483647, 3},
        {kNewYork, 2000, 1, 1, 0, 0, 0, 946684800 + 5 * 3600, 7},     // standard time
        {kNewYork, 2001, 9, 9, 1, 46, 40, 1000000000 + 4 * 3600, 1},  // daylight time
    };
    for (const Case& c : cases) {
        Zone(c.zone);
        CTime t(c.year, c.month, c.day, c.hour, c.minute, c.second);
        EXPECT_EQ(t.GetTime(), c.expected) << c.zone << " " << c.year << "-" << c.month << "-" << c.day;
        EXPECT_EQ(t.GetYear(), c.year);
        EXPECT_EQ(t.GetMonth(), c.month);
        EXPECT_EQ(t.GetDay(), c.day);
        EXPECT_EQ(t.GetHour(), c.hour);
        EXPECT_EQ(t.GetMinute(), c.minute);
        EXPECT_EQ(t.GetSecond(), c.second);
        EXPECT_EQ(t.GetDayOfWeek(), c.dayOfWeek);
        // The same instant read back from its seconds.
        CTime same(c.expected);
        EXPECT_EQ(same.GetHour(), c.hour);
        EXPECT_EQ(same.GetLocalTm()->tm_mday, c.day);
    }
}

TEST_F(CTimeTest, GmtAndLocalBrokenDownTimesDiffer)
{
    Zone(kNewYork);
    CTime t(static_cast<time_t>(1000000000));  // 01:46:40 UTC, 21:46:40 the day before in New York
    struct tm gmt;
    ASSERT_EQ(t.GetGmtTm(&gmt), &gmt);
    EXPECT_EQ(gmt.tm_hour, 1);
    EXPECT_EQ(gmt.tm_mday, 9);
    struct tm local;
    ASSERT_EQ(t.GetLocalTm(&local), &local);
    EXPECT_EQ(local.tm_hour, 21);
    EXPECT_EQ(local.tm_mday, 8);
    EXPECT_EQ(local.tm_isdst, 1);
    SYSTEMTIME st;
    ASSERT_TRUE(t.GetAsSystemTime(st));
    EXPECT_EQ(st.wYear, 2001);
    EXPECT_EQ(st.wMonth, 9);
    EXPECT_EQ(st.wDay, 8);
    EXPECT_EQ(st.wHour, 21);
    EXPECT_EQ(st.wDayOfWeek, 6);
}

TEST_F(CTimeTest, DaylightFlagChoosesTheOffset)
{
    Zone(kNewYork);
    CTime standard(2001, 7, 1, 12, 0, 0, 0);
    CTime daylight(2001, 7, 1, 12, 0, 0, 1);
    CTime system(2001, 7, 1, 12, 0, 0, -1);
    EXPECT_EQ((standard - daylight).GetTotalSeconds(), 3600);
    EXPECT_EQ(system, daylight);  // July: the system picks daylight time
    CTime winter(2001, 1, 1, 12, 0, 0);
    EXPECT_EQ(winter.GetTime(), 978368400);  // 17:00 UTC
}

TEST_F(CTimeTest, OtherConstructorsAgree)
{
    Zone(kUtc);
    const CTime expected(2001, 9, 9, 1, 46, 40);
    WORD dosDate = static_cast<WORD>(((2001 - 1980) << 9) | (9 << 5) | 9);
    WORD dosTime = static_cast<WORD>((1 << 11) | (46 << 5) | (40 / 2));
    EXPECT_EQ(CTime(dosDate, dosTime), expected);
    SYSTEMTIME st = {2001, 9, 0, 9, 1, 46, 40, 0};
    EXPECT_EQ(CTime(st), expected);
    FILETIME ft;
    ASSERT_TRUE(SystemTimeToFileTime(&st, &ft));
    EXPECT_EQ(CTime(ft), expected);
    // Out-of-range fields carry over, as mktime does.
    EXPECT_EQ(CTime(2001, 8, 40, 1, 46, 40), expected);
    EXPECT_EQ(CTime(2001, 9, 8, 25, 46, 40), expected);
}

TEST_F(CTimeTest, DatesOutsideThe32BitRangeAreInvalid)
{
    Zone(kUtc);
    const CTime invalid[] = {
        CTime(1969, 12, 31, 23, 59, 59),
        CTime(2038, 1, 19, 3, 14, 8),
        CTime(2100, 1, 1, 0, 0, 0),
    };
    for (const CTime& t : invalid) EXPECT_EQ(t.GetTime(), static_cast<time_t>(-1));
    SYSTEMTIME old = {1601, 1, 0, 1, 0, 0, 0, 0};
    FILETIME ft;
    ASSERT_TRUE(SystemTimeToFileTime(&old, &ft));
    EXPECT_EQ(CTime(ft).GetTime(), static_cast<time_t>(-1));
}

TEST_F(CTimeTest, FormatReadsTheWindowsForms)
{
    Zone(kUtc);
    CTime t(static_cast<time_t>(1000000000));
    struct Case {
        const char* format;
        const char* text;
    };
    const Case cases[] = {
        {"%Y-%m-%d %H:%M:%S", "2001-09-09 01:46:40"},
        {"%#d/%#m/%y", "9/9/01"},
        {"%#H:%M", "1:46"},
        {"%c", "09/09/01 01:46:40"},
        {"%x", "09/09/01"},
        {"%X", "01:46:40"},
        {"%#x", "Sunday, September 9, 2001"},
        {"%#c", "Sunday, September 9, 2001 01:46:40"},
        {"%A %a %B %b", "Sunday Sun September Sep"},
        {"%j %#j %I %p", "252 252 01 AM"},
        {"100%%", "100%"},
        {"no fields", "no fields"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_STREQ(t.Format(c.format), c.text) << c.format;

    std::string longFormat, longText;
    for (int i = 0; i < 300; ++i) {
        longFormat += "%Y";
        longText += "2001";
    }
    EXPECT_STREQ(t.Format(longFormat.c_str()), longText.c_str());
}

TEST_F(CTimeTest, FormatGmtIgnoresTheZone)
{
    Zone(kNewYork);
    CTime t(static_cast<time_t>(1000000000));
    EXPECT_STREQ(t.Format("%d %H:%M"), "08 21:46");
    EXPECT_STREQ(t.FormatGmt("%d %H:%M"), "09 01:46");
    EXPECT_STREQ(t.Format("%z"), "EDT");
}

TEST_F(CTimeTest, ArithmeticWithSpans)
{
    Zone(kUtc);
    CTime start(2000, 2, 28, 22, 0, 0);
    CTime end(2000, 3, 1, 1, 30, 15);
    CTimeSpan span = end - start;
    EXPECT_EQ(span.GetTotalSeconds(), 24 * 3600 + 3 * 3600 + 30 * 60 + 15);  // across the leap day
    EXPECT_EQ(start + span, end);
    EXPECT_EQ(end - span, start);
    CTime moved = start;
    moved += CTimeSpan(1, 0, 0, 0);
    EXPECT_EQ(moved.GetDay(), 29);
    moved -= CTimeSpan(0, 23, 0, 0);
    EXPECT_EQ(moved.GetDay(), 28);
    EXPECT_EQ(moved.GetHour(), 23);
    EXPECT_TRUE(start < end);
    EXPECT_TRUE(end > start);
    EXPECT_TRUE(start <= start);
    EXPECT_TRUE(start != end);
    EXPECT_FALSE(start >= end);
}

TEST(CTimeSpanTest, PartsAndFormat)
{
    struct Case {
        CTimeSpan span;
        LONG days, totalHours, totalMinutes, totalSeconds;
        int hours, minutes, seconds;
        const char* text;  // "%D days %H:%M:%S"
    };
    const Case cases[] = {
        {CTimeSpan(3, 4, 5, 6), 3, 76, 4565, 273906, 4, 5, 6, "3 days 04:05:06"},
        {CTimeSpan(0, 0, 0, 59), 0, 0, 0, 59, 0, 0, 59, "0 days 00:00:59"},
        {CTimeSpan(0, 25, 61, 61), 1, 26, 1562, 93721, 2, 2, 1, "1 days 02:02:01"},
        {CTimeSpan(static_cast<time_t>(-90)), 0, 0, -1, -90, 0, -1, -30, "0 days 00:-1:-30"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.span.GetDays(), c.days) << c.text;
        EXPECT_EQ(c.span.GetTotalHours(), c.totalHours) << c.text;
        EXPECT_EQ(c.span.GetTotalMinutes(), c.totalMinutes) << c.text;
        EXPECT_EQ(c.span.GetTotalSeconds(), c.totalSeconds) << c.text;
        EXPECT_EQ(c.span.GetHours(), c.hours) << c.text;
        EXPECT_EQ(c.span.GetMinutes(), c.minutes) << c.text;
        EXPECT_EQ(c.span.GetSeconds(), c.seconds) << c.text;
        EXPECT_STREQ(c.span.Format("%D days %H:%M:%S"), c.text);
    }
    EXPECT_STREQ(CTimeSpan(1, 2, 3, 4).Format("%% %D%Q"), "% 1%Q");
    CTimeSpan a(0, 1, 0, 0), b(0, 0, 30, 0);
    EXPECT_EQ((a + b).GetTotalMinutes(), 90);
    EXPECT_EQ((a - b).GetTotalMinutes(), 30);
    a += b;
    EXPECT_EQ(a.GetTotalMinutes(), 90);
    a -= b;
    EXPECT_EQ(a.GetTotalMinutes(), 60);
    EXPECT_TRUE(b < a);
    EXPECT_TRUE(a > b);
    EXPECT_TRUE(a == CTimeSpan(3600));
}

TEST(CTimeNow, CurrentTimeIsNow)
{
    time_t before = std::time(nullptr);
    CTime now = CTime::GetCurrentTime();
    time_t after = std::time(nullptr);
    EXPECT_GE(now.GetTime(), before);
    EXPECT_LE(now.GetTime(), after);
}

TEST(CTimeArchive, StoresThirtyTwoBitValues)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << CTime(static_cast<time_t>(1000000000)) << CTimeSpan(static_cast<time_t>(-5));
    }
    ASSERT_EQ(file.GetLength(), 8u);
    BYTE bytes[8];
    file.SeekToBegin();
    ASSERT_EQ(file.Read(bytes, 8), 8u);
    const BYTE expected[8] = {0x00, 0xCA, 0x9A, 0x3B, 0xFB, 0xFF, 0xFF, 0xFF};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(bytes[i], expected[i]) << i;
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    CTime t;
    CTimeSpan s;
    ar >> t >> s;
    EXPECT_EQ(t.GetTime(), 1000000000);
    EXPECT_EQ(s.GetTotalSeconds(), -5);
}

}  // namespace
