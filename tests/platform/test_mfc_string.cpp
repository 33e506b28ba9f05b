#include <gtest/gtest.h>

#include <string>

#include "platform/mfc.h"

namespace {

TEST(MfcString, ConstructionAndLength)
{
    EXPECT_EQ(0, CString().GetLength());
    EXPECT_STREQ("", static_cast<LPCTSTR>(CString()));
    EXPECT_STREQ("", static_cast<LPCTSTR>(CString(static_cast<LPCSTR>(nullptr))));
    EXPECT_STREQ("abc", static_cast<LPCTSTR>(CString("abcdef", 3)));
    EXPECT_STREQ("----", static_cast<LPCTSTR>(CString('-', 4)));
    CString withZero("a\0b", 3);
    EXPECT_EQ(3, withZero.GetLength());
    EXPECT_EQ('b', withZero[2]);
    const WCHAR wide[] = {u'H', u'i', 0x263A, 0};
    EXPECT_STREQ("Hi?", static_cast<LPCTSTR>(CString(wide)));
}

TEST(MfcString, ExtractionClampsToTheText)
{
    const CString s("abcdef");
    struct Case {
        CString got;
        const char* expected;
    } cases[] = {
        {s.Mid(2), "cdef"},      {s.Mid(2, 3), "cde"},     {s.Mid(4, 10), "ef"},  {s.Mid(6), ""},
        {s.Mid(9, 2), ""},       {s.Mid(-3, 2), "ab"},     {s.Mid(1, -1), ""},    {s.Mid(0, 6), "abcdef"},
        {s.Left(0), ""},         {s.Left(2), "ab"},        {s.Left(99), "abcdef"}, {s.Left(-1), ""},
        {s.Right(2), "ef"},      {s.Right(99), "abcdef"},  {s.Right(-5), ""},     {s.Right(0), ""},
        {s.SpanIncluding("cba"), "abc"}, {s.SpanIncluding("x"), ""},
        {s.SpanExcluding("dx"), "abc"}, {s.SpanExcluding("xyz"), "abcdef"},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
        EXPECT_STREQ(cases[i].expected, static_cast<LPCTSTR>(cases[i].got)) << "case " << i;
}

TEST(MfcString, FindingPositions)
{
    const CString s("one two one");
    struct Case {
        int got;
        int expected;
    } cases[] = {
        {s.Find('o'), 0},         {s.Find('o', 1), 6},      {s.Find('o', 7), 8},   {s.Find('z'), -1},
        {s.Find('e', 11), -1},    {s.Find('o', -4), 0},     {s.Find("one"), 0},    {s.Find("one", 1), 8},
        {s.Find("one", 9), -1},   {s.Find("two", 11), -1},  {s.Find("", 3), 3},    {s.Find("xyz"), -1},
        {s.ReverseFind('o'), 8},  {s.ReverseFind('q'), -1}, {s.FindOneOf("wt"), 4}, {s.FindOneOf("qz"), -1},
        {CString().Find('a'), -1}, {CString().Find("a"), -1},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
        EXPECT_EQ(cases[i].expected, cases[i].got) << "case " << i;
}

TEST(MfcString, ChangesInPlace)
{
    struct Case {
        const char* start;
        void (*change)(CString&);
        const char* expected;
    } cases[] = {
        {"MiXeD 1", [](CString& s) { s.MakeUpper(); }, "MIXED 1"},
        {"MiXeD 1", [](CString& s) { s.MakeLower(); }, "mixed 1"},
        {"abc", [](CString& s) { s.MakeReverse(); }, "cba"},
        {"a.b.c", [](CString& s) { EXPECT_EQ(2, s.Replace('.', '/')); }, "a/b/c"},
        {"aaaa", [](CString& s) { EXPECT_EQ(2, s.Replace("aa", "b")); }, "bb"},
        {"x\\y\\z", [](CString& s) { EXPECT_EQ(2, s.Replace("\\", "\\\\")); }, "x\\\\y\\\\z"},
        {"keep", [](CString& s) { EXPECT_EQ(0, s.Replace("", "x")); }, "keep"},
        {"a-b-c", [](CString& s) { EXPECT_EQ(2, s.Replace("-", nullptr)); }, "abc"},
        {"banana", [](CString& s) { EXPECT_EQ(3, s.Remove('a')); }, "bnn"},
        {"abc", [](CString& s) { EXPECT_EQ(4, s.Insert(1, 'X')); }, "aXbc"},
        {"abc", [](CString& s) { EXPECT_EQ(5, s.Insert(99, "de")); }, "abcde"},
        {"abc", [](CString& s) { EXPECT_EQ(5, s.Insert(-2, "xy")); }, "xyabc"},
        {"abcdef", [](CString& s) { EXPECT_EQ(4, s.Delete(1, 2)); }, "adef"},
        {"abcdef", [](CString& s) { EXPECT_EQ(3, s.Delete(3, 50)); }, "abc"},
        {"abc", [](CString& s) { EXPECT_EQ(3, s.Delete(5, 1)); }, "abc"},
        {"abc", [](CString& s) { EXPECT_EQ(2, s.Delete(0)); }, "bc"},
        {" \t\r\nword \n", [](CString& s) { s.TrimLeft(); }, "word \n"},
        {" \t\r\nword \n", [](CString& s) { s.TrimRight(); }, " \t\r\nword"},
        {"xxwordxx", [](CString& s) { s.TrimLeft('x'); }, "wordxx"},
        {"xxwordxx", [](CString& s) { s.TrimRight('x'); }, "xxword"},
        {"-=word=-", [](CString& s) { s.TrimLeft("=-"); }, "word=-"},
        {"-=word=-", [](CString& s) { s.TrimRight("=-"); }, "-=word"},
        {"    ", [](CString& s) { s.TrimRight(); }, ""},
        {"abc", [](CString& s) { s.SetAt(1, 'B'); }, "aBc"},
        {"abc", [](CString& s) { s.SetAt(3, 'B'); }, "abc"},
        {"ab", [](CString& s) { s += s; }, "abab"},
        {"abcdef", [](CString& s) { s = s.Mid(2); }, "cdef"},
        {"abcdef", [](CString& s) { s = static_cast<LPCTSTR>(s) + 3; }, "def"},
    };
    for (const Case& c : cases) {
        CString s(c.start);
        c.change(s);
        EXPECT_STREQ(c.expected, static_cast<LPCTSTR>(s)) << "from \"" << c.start << "\"";
        EXPECT_EQ(static_cast<int>(std::strlen(c.expected)), s.GetLength()) << "from \"" << c.start << "\"";
    }
}

TEST(MfcString, ComparisonsAndConcatenation)
{
    CString a("Apple"), b("apple"), c("Banana");
    EXPECT_TRUE(a == "Apple");
    EXPECT_TRUE("Apple" == a);
    EXPECT_TRUE(a != b);
    EXPECT_TRUE(a < b);  // byte order: 'A' < 'a'
    EXPECT_TRUE(b > c);
    EXPECT_TRUE(a <= "Apple" && a >= "Apple");
    EXPECT_LT(a.Compare("Banana"), 0);
    EXPECT_GT(b.Compare("Apple"), 0);
    EXPECT_EQ(0, a.CompareNoCase("aPPLE"));
    EXPECT_LT(a.CompareNoCase("banana"), 0);
    EXPECT_STREQ("Apple-Banana!", static_cast<LPCTSTR>(a + '-' + c + "!"));
    EXPECT_STREQ(">Apple", static_cast<LPCTSTR>(">" + a));
    EXPECT_STREQ("xApple", static_cast<LPCTSTR>('x' + a));
}

TEST(MfcString, FormatHandlesLongTextsAndWindowsModifiers)
{
    std::string big(5000, 'q');
    CString s;
    s.Format("%s|%d|%I64d|%5.2f|%ld", big.c_str(), -7, -(static_cast<LONGLONG>(1) << 35), 3.14159, static_cast<LONG>(9));
    EXPECT_EQ(big + "|-7|-34359738368| 3.14|9", std::string(s));

    CString key;
    key.Format("%s-%s-%s-%d-%d", "Action", "BB", "", 24, 0);
    EXPECT_STREQ("Action-BB--24-0", static_cast<LPCTSTR>(key));

    s.Format("%s", static_cast<LPCTSTR>(key));  // formatting from a copy of itself
    key.Format("<%s>", static_cast<LPCTSTR>(key));
    EXPECT_STREQ("<Action-BB--24-0>", static_cast<LPCTSTR>(key));
}

TEST(MfcString, FormatMessageInserts)
{
    CString s;
    s.FormatMessage("%2 before %1, %3!d! times%%%n", "first", "second", 42);
    EXPECT_STREQ("second before first, 42 times%\r\n", static_cast<LPCTSTR>(s));
}

TEST(MfcString, GetBufferAndReleaseBuffer)
{
    CString s("abc");
    char* p = s.GetBuffer(100);
    EXPECT_STREQ("abc", p);
    EXPECT_EQ(3, s.GetLength()) << "length changes only on release";
    std::memset(p, 'z', 100);
    p[100] = '\0';  // the terminator's place is ours too
    s.ReleaseBuffer();
    EXPECT_EQ(100, s.GetLength());

    p = s.GetBuffer(10);
    std::strcpy(p, "hello");
    s.ReleaseBuffer();
    EXPECT_STREQ("hello", static_cast<LPCTSTR>(s));

    p = s.GetBuffer(0);
    s.ReleaseBuffer(2);
    EXPECT_STREQ("he", static_cast<LPCTSTR>(s));

    CString empty;
    p = empty.GetBuffer(0);
    ASSERT_NE(nullptr, p);
    p[0] = '\0';
    empty.ReleaseBuffer();
    EXPECT_TRUE(empty.IsEmpty());

    CString set;
    p = set.GetBufferSetLength(4);
    std::memcpy(p, "wxyz", 4);
    EXPECT_EQ(4, set.GetLength());
    EXPECT_STREQ("wxyz", static_cast<LPCTSTR>(set));
    set.FreeExtra();
    EXPECT_STREQ("wxyz", static_cast<LPCTSTR>(set));

    // A release length beyond the buffer is held to the buffer.
    CString small;
    p = small.GetBuffer(3);
    std::strcpy(p, "abc");
    small.ReleaseBuffer(1000);
    EXPECT_STREQ("abc", static_cast<LPCTSTR>(small));
    EXPECT_EQ(3, small.GetLength());
}

TEST(MfcString, LoadStringAndSysStrings)
{
    platform::RegisterStringResource(4711, "Unable to open %s");
    CString s;
    EXPECT_TRUE(s.LoadString(4711));
    EXPECT_STREQ("Unable to open %s", static_cast<LPCTSTR>(s));
    EXPECT_FALSE(s.LoadString(4712));
    EXPECT_TRUE(s.IsEmpty());

    std::string long300(300, 'L');
    platform::RegisterStringResource(4713, long300.c_str());
    EXPECT_TRUE(s.LoadString(4713));
    EXPECT_EQ(300, s.GetLength());

    CString text("B\xE9t");
    BSTR b = text.AllocSysString();
    ASSERT_NE(nullptr, b);
    ASSERT_EQ(3u, SysStringLen(b));
    EXPECT_EQ(u'B', b[0]);
    EXPECT_EQ(0xE9, b[1]);
    EXPECT_EQ(0, b[3]);
    CString("xy").SetSysString(&b);
    EXPECT_EQ(2u, SysStringLen(b));
    EXPECT_EQ(u'y', b[1]);
    SysFreeString(b);
}

}  // namespace
