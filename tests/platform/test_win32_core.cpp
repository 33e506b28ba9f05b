#include "platform/win32.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <ctime>
#include <limits>

#include <string>

namespace {

TEST(Win32Rand, RepeatsTheRuntimeSequenceForASeed)
{
    // The run-time's generator: x = x * 214013 + 2531011, result bits 16..30.
    uint32_t x = 1234;
    srand(1234);
    for (int i = 0; i < 1000; ++i) {
        x = x * 214013u + 2531011u;
        int expected = static_cast<int>((x >> 16) & 0x7fff);
        ASSERT_EQ(rand(), expected) << "draw " << i;
    }
    srand(1);
    EXPECT_EQ(rand(), 41);
    EXPECT_EQ(rand(), 18467);
    EXPECT_EQ(RAND_MAX, 32767);
}

TEST(Win32Rand, SeedIsFixedByATestOrRcvSeedElseTheTime)
{
    const struct {
        const char* env;  // RCV_SEED, null: unset
        bool fixed;       // a test's fixed seed
        long seed;        // -1: the calendar time
    } cases[] = {
        {nullptr, false, -1}, {"42", false, 42},       {"0", false, 0},  {"4294967295", false, 4294967295L},
        {"12x", false, -1},   {"", false, -1},         {"42", true, 7},  {nullptr, true, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.env ? c.env : "unset");
        if (c.env) setenv("RCV_SEED", c.env, 1);
        else unsetenv("RCV_SEED");
        if (c.fixed) platform::Seed::Fix(7);
        const long before = static_cast<long>(time(nullptr));
        const long seed = static_cast<long>(platform::Seed::Next());
        const long after = static_cast<long>(time(nullptr));
        if (c.seed >= 0) {
            EXPECT_EQ(c.seed, seed);
        } else {
            EXPECT_GE(seed, before);
            EXPECT_LE(seed, after);
        }
        platform::Seed::Release();
    }
    unsetenv("RCV_SEED");
}

TEST(Win32Rand, StaysWithinFifteenBits)
{
    srand(99);
    for (int i = 0; i < 10000; ++i) {
        int r = rand();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, RAND_MAX);
    }
}

std::string Fmt(const char* format, ...)
{
    char buffer[256];
    va_list args;
    va_start(args, format);
    rcv_vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

TEST(Win32Format, WindowsSizeModifiers)
{
    const WCHAR wide[] = {'w', 'i', 'd', 'e', 0};
    int32_t neg = -5;
    uint32_t big = 0xFFFFFFFFu;
    EXPECT_EQ(Fmt("%ld|%lu|%lx", neg, big, big), "-5|4294967295|ffffffff");
    EXPECT_EQ(Fmt("%I64d", static_cast<long long>(-1234567890123LL)), "-1234567890123");
    EXPECT_EQ(Fmt("%I64u", static_cast<unsigned long long>(1ULL << 40)), "1099511627776");
    EXPECT_EQ(Fmt("[%hs]", "narrow"), "[narrow]");
    EXPECT_EQ(Fmt("[%ls|%S]", wide, wide), "[wide|wide]");
    EXPECT_EQ(Fmt("%5.2f|%-4d|%04x|%%", 3.14159, 7, 0xab), " 3.14|7   |00ab|%");
    EXPECT_EQ(Fmt("%*d|%.*s", 4, 42, 2, "abcdef"), "  42|ab");
    EXPECT_EQ(Fmt("%s", static_cast<const char*>(nullptr)), "(null)");
    EXPECT_EQ(Fmt("%c%c", 'o', 'k'), "ok");
    EXPECT_EQ(Fmt("end %"), "end ");
}

TEST(Win32Format, BoundedOutputReportsTheFullLength)
{
    char small[8];
    int n = rcv_snprintf(small, sizeof small, "%s-%d", "abcdef", 12345);
    EXPECT_EQ(n, 12);
    EXPECT_STREQ(small, "abcdef-");
    EXPECT_EQ(_snprintf(small, sizeof small, "%s", "0123456789"), -1);
    EXPECT_EQ(small[7], 0);
    EXPECT_EQ(_snprintf(small, sizeof small, "%d", 42), 2);

    char big[2000];
    std::string longText(1500, 'x');
    EXPECT_EQ(wsprintfA(big, "%s", longText.c_str()), 1023);
    EXPECT_EQ(std::strlen(big), 1023u);
}

TEST(Win32Strings, CaseInsensitiveComparisonAndRuntimeNames)
{
    struct Case {
        const char* a;
        const char* b;
        int sign;
    } cases[] = {
        {"Speed", "SPEED", 0}, {"abc", "abd", -1}, {"b", "A", 1}, {"", "", 0}, {"ab", "abc", -1}, {"Zoom", "zoom", 0},
    };
    for (const Case& c : cases) {
        int r = lstrcmpiA(c.a, c.b);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " vs " << c.b;
        int s = _stricmp(c.a, c.b);
        EXPECT_EQ((s > 0) - (s < 0), c.sign) << c.a << " vs " << c.b;
    }
    char text[] = "MiXeD 1";
    EXPECT_STREQ(_strupr(text), "MIXED 1");
    EXPECT_STREQ(_strlwr(text), "mixed 1");
    EXPECT_STREQ(_strrev(text), "1 dexim");
    char out[40];
    EXPECT_STREQ(_itoa(-42, out, 10), "-42");
    EXPECT_STREQ(_itoa(-1, out, 16), "ffffffff");
    EXPECT_STREQ(_itoa(255, out, 2), "11111111");
    char dst[4];
    EXPECT_STREQ(lstrcpynA(dst, "abcdef", 4), "abc");
}

TEST(Win32Strings, AtoiSaturatesAtThe32BitLimits)
{
    struct Case {
        const char* text;
        int value;
    } cases[] = {
        {"42", 42},
        {"  -17xyz", -17},
        {"+8", 8},
        {"\t\n 5", 5},
        {"", 0},
        {"word", 0},
        {"- 3", 0},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"4294967296", INT_MAX},
        {"4294967297", INT_MAX},
        {"99999999999999999999999999", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-2147483649", INT_MIN},
        {"-4294967296", INT_MIN},
        {"0000000000000000000000012", 12},
    };
    for (const Case& c : cases) EXPECT_EQ(c.value, rcv_atoi(c.text)) << "\"" << c.text << "\"";
    EXPECT_EQ(0, rcv_atoi(nullptr));
}

TEST(Win32Rects, IntersectionUnionAndContainment)
{
    RECT a, b, r;
    SetRect(&a, 0, 0, 10, 10);
    SetRect(&b, 5, 5, 20, 20);
    ASSERT_TRUE(IntersectRect(&r, &a, &b));
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.bottom, 10);
    ASSERT_TRUE(UnionRect(&r, &a, &b));
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, 20);
    SetRect(&b, 10, 0, 20, 10);  // touching edges do not intersect
    EXPECT_FALSE(IntersectRect(&r, &a, &b));
    EXPECT_TRUE(IsRectEmpty(&r));
    EXPECT_TRUE(PtInRect(&a, POINT{0, 0}));
    EXPECT_FALSE(PtInRect(&a, POINT{10, 5}));  // right edge is outside
    OffsetRect(&a, 3, -2);
    InflateRect(&a, 1, 1);
    RECT expect;
    SetRect(&expect, 2, -3, 14, 9);
    EXPECT_TRUE(EqualRect(&a, &expect));
}

TEST(Win32Rect, MovedEdgesStopAtTheEndsOfTheirRange)
{
    const LONG lo = std::numeric_limits<LONG>::min(), hi = std::numeric_limits<LONG>::max();
    struct Case {
        RECT start;
        bool inflate;
        int dx, dy;
        RECT expect;
    } cases[] = {
        {{lo, lo, hi, hi}, true, -1, -1, {lo + 1, lo + 1, hi - 1, hi - 1}},
        {{lo, lo, hi, hi}, true, 1, 1, {lo, lo, hi, hi}},
        {{hi, hi, lo, lo}, true, -1, -1, {hi, hi, lo, lo}},  // a screen frame read from a file
        {{lo, 0, hi, 10}, true, lo, 0, {0, 0, -1, 10}},
        {{0, 0, 10, 10}, true, lo, 0, {hi, 0, lo + 10, 10}},
        {{0, 0, hi, 10}, false, 5, -5, {5, -5, hi, 5}},
        {{lo, lo, 0, 0}, false, lo, lo, {lo, lo, lo, lo}},
    };
    for (const Case& c : cases) {
        RECT r = c.start;
        EXPECT_TRUE(c.inflate ? InflateRect(&r, c.dx, c.dy) : OffsetRect(&r, c.dx, c.dy));
        EXPECT_TRUE(EqualRect(&r, &c.expect)) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
}

TEST(Win32Clock, ManualModeMovesOnlyWhenAdvanced)
{
    platform::Clock::SetManual(true);
    platform::Clock::Set(0xFFFFFFF0u);
    DWORD start = GetTickCount();
    Sleep(5);  // a manual clock is moved by Sleep, not waited on
    EXPECT_EQ(GetTickCount() - start, 5u);
    platform::Clock::Advance(0x20);  // wraps like the tick count
    EXPECT_EQ(GetTickCount(), 0x15u);
    platform::Clock::SetManual(false);
    DWORD a = GetTickCount();
    Sleep(20);
    EXPECT_GE(GetTickCount() - a, 20u);
}

TEST(Win32System, VersionStructuresAndBstrLength)
{
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = 10;  // a wrong size is refused
    EXPECT_FALSE(GetVersionExA(&info));
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));

    const WCHAR text[] = {'h', 'i', 0};
    BSTR b = SysAllocStringLen(text, 2);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(SysStringLen(b), 2u);
    ASSERT_TRUE(SysReAllocStringLen(&b, nullptr, 5));
    EXPECT_EQ(SysStringLen(b), 5u);
    EXPECT_EQ(b[5], 0);
    SysFreeString(b);

    platform::RegisterStringResource(7, "Hello resource");
    char buffer[6];
    EXPECT_EQ(LoadStringA(nullptr, 7, buffer, sizeof buffer), 5);
    EXPECT_STREQ(buffer, "Hello");
    EXPECT_EQ(LoadStringA(nullptr, 8, buffer, sizeof buffer), 0);
}

}  // namespace
