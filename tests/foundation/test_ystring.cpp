#include "foundation/YString.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char* Sentinel()
{
    static YString empty;
    return empty.GetBuffer();
}

TEST(YString, EmptyStringsShareTheSentinel)
{
    YString a;
    YString b("");
    YString c(static_cast<const char*>(nullptr));
    YString d("x");
    d = "";
    YString e(' ', 0);
    YString f("  \t ");
    f.TrimLeft();
    YString g("abc");
    g.Format("");
    for (YString* s : {&a, &b, &c, &d, &e, &f, &g}) {
        EXPECT_EQ(s->GetBuffer(), Sentinel());
        EXPECT_EQ(s->GetLength(), 0);
        EXPECT_TRUE(s->IsEmpty());
    }
    EXPECT_STREQ(Sentinel(), "");
}

TEST(YString, CopiesAreDeep)
{
    YString a("hello");
    YString b(a);
    EXPECT_NE(a.GetBuffer(), b.GetBuffer());
    b.SetAt(0, 'j');
    EXPECT_STREQ(a, "hello");
    EXPECT_STREQ(b, "jello");
    a = a;  // self-assignment keeps the text
    EXPECT_STREQ(a, "hello");
    a = a.GetBuffer();  // its own buffer changes nothing
    EXPECT_STREQ(a, "hello");
    a = a.GetBuffer() + 2;  // a pointer into its own text
    EXPECT_STREQ(a, "llo");
}

TEST(YString, SubstringBounds)
{
    const YString abc("abc");
    struct Case {
        const char* what;
        YString got;
        const char* expected;
    } cases[] = {
        {"Left(0) keeps everything", abc.Left(0), "abc"},
        {"Left(2)", abc.Left(2), "ab"},
        {"Left(9) keeps everything", abc.Left(9), "abc"},
        {"Left(-1) keeps everything", abc.Left(-1), "abc"},
        {"Right(0) is empty", abc.Right(0), ""},
        {"Right(2)", abc.Right(2), "bc"},
        {"Right(9) keeps everything", abc.Right(9), "abc"},
        {"Right(-1) keeps everything", abc.Right(-1), "abc"},
        {"Mid(3) is empty", abc.Mid(3), ""},
        {"Mid(-1) is empty", abc.Mid(-1), ""},
        {"Mid(1)", abc.Mid(1), "bc"},
        {"Mid(1, 0) keeps the rest", abc.Mid(1, 0), "bc"},
        {"Mid(1, 1)", abc.Mid(1, 1), "b"},
        {"(src, count) cuts at the terminator", YString("ab", 5), "ab"},
        {"(src, count) takes count bytes", YString("abcdef", 3), "abc"},
        {"(ch, count)", YString('z', 3), "zzz"},
    };
    for (const Case& c : cases) EXPECT_STREQ(c.got, c.expected) << c.what;
}

TEST(YString, IndexedAccessIgnoresOutOfRange)
{
    YString s("abc");
    EXPECT_EQ(s.GetAt(-1), 0);
    EXPECT_EQ(s.GetAt(3), 0);
    EXPECT_EQ(s[1], 'b');
    s.SetAt(3, 'x');
    s.SetAt(-1, 'x');
    EXPECT_STREQ(s, "abc");
    s.SetAt(2, 'C');
    EXPECT_STREQ(s, "abC");
}

TEST(YString, Searching)
{
    YString s("one two one");
    EXPECT_EQ(s.Find('o'), 0);
    EXPECT_EQ(s.Find('o', 1), 6);
    EXPECT_EQ(s.Find("one", 1), 8);
    EXPECT_EQ(s.Find("one", 11), -1);  // start at the length
    EXPECT_EQ(s.Find('q'), -1);
    EXPECT_EQ(s.ReverseFind('o'), 8);
    EXPECT_EQ(s.ReverseFind('q'), -1);
    EXPECT_EQ(s.FindOneOf("wt"), 4);
    EXPECT_EQ(s.FindOneOf("wt", 20), -1);
    EXPECT_EQ(YString().Find('a'), -1);
}

TEST(YString, ComparisonIsByUnsignedBytes)
{
    EXPECT_EQ(YString("abc").Compare("abc"), 0);
    EXPECT_EQ(YString("abc").Compare("abd"), -1);
    EXPECT_EQ(YString("\xff").Compare("a"), 1);
    EXPECT_EQ(YString("ab").Compare("abc"), -1);
    EXPECT_EQ(YString("Speed").CompareNoCase("SPEED"), 0);
    EXPECT_NE(YString("Speed").CompareNoCase("SPEEDS"), 0);
}

TEST(YString, TrimmingAndCaseChanges)
{
    YString s("  \t padded \r\n");
    s.TrimLeft();
    EXPECT_STREQ(s, "padded \r\n");
    s.TrimRight();
    EXPECT_STREQ(s, "padded");
    YString blanks("   ");
    blanks.TrimRight();
    EXPECT_EQ(blanks.GetBuffer(), Sentinel());
    YString t("MiXed");
    EXPECT_STREQ(t.MakeUpper(), "MIXED");
    EXPECT_STREQ(t.MakeLower(), "mixed");
    EXPECT_STREQ(t.MakeReverse(), "dexim");
    YString empty;
    EXPECT_STREQ(empty.MakeUpper(), "");  // the sentinel is never written
}

TEST(YString, InsertAndAppend)
{
    YString s("ac");
    EXPECT_EQ(s.Insert(1, "b"), 3);
    EXPECT_STREQ(s, "abc");
    EXPECT_EQ(s.Insert(3, "de"), 5);  // at the end
    EXPECT_STREQ(s, "abcde");
    EXPECT_EQ(s.Insert(6, "x"), 5);  // out of range
    EXPECT_EQ(s.Insert(5, 'x'), 5);  // a character never goes at the end
    EXPECT_EQ(s.Insert(0, '>'), 6);
    EXPECT_STREQ(s, ">abcde");
    YString e;
    EXPECT_EQ(e.Insert(0, "new"), 3);
    EXPECT_STREQ(e, "new");

    YString a("ab");
    a += a;
    EXPECT_STREQ(a, "abab");
    a += static_cast<const char*>(nullptr);
    a += '\0';
    a += "";
    EXPECT_STREQ(a, "abab");
    a += 'c';
    a += CString("d");
    EXPECT_STREQ(a, "ababcd");
    EXPECT_STREQ(YString("x") + "y" + 'z' + YString("!"), "xyz!");
}

int Estimate(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int n = YString::EstimateFormatLength(format, args);
    va_end(args);
    return n;
}

TEST(YString, FormatEstimate)
{
    const WCHAR wide[] = {'a', 'b', 'c', 0};
    struct Case {
        const char* what;
        int got;
        int expected;
    } cases[] = {
        {"plain and %%", Estimate("abc%%d"), 5},
        {"string", Estimate("%s", "hello"), 5},
        {"empty string counts 1", Estimate("%s", ""), 1},
        {"null string counts 6", Estimate("%s", static_cast<const char*>(nullptr)), 6},
        {"string cut to precision", Estimate("%.2s", "hello"), 2},
        {"string raised to width", Estimate("%8s", "hi"), 8},
        {"star width", Estimate("%*s", 7, "hi"), 7},
        {"wide string", Estimate("%ls", wide), 3},
        {"character", Estimate("%c", 'x'), 2},
        {"integer", Estimate("%d", 5), 32},
        {"wide integer", Estimate("%40.10d", 5), 50},
        {"hash adds 2", Estimate("%#x", 5), 34},
        {"64-bit integer then string", Estimate("%I64d%s", 5LL, "abc"), 35},
        {"float", Estimate("%f", 1.0), 312},
        {"float precision", Estimate("%.10f", 1.0), 322},
        {"exponent", Estimate("%e", 1.0), 128},
        {"pointer", Estimate("%p", nullptr), 32},
        {"lone percent at the end", Estimate("ab%"), 2},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.expected) << c.what;
}

TEST(YString, FormatGrowsPastALowEstimate)
{
    YString s;
    s.Format("%400.1f|", 1.0);  // the estimate ignores a width with %f
    EXPECT_EQ(s.GetLength(), 401);
    EXPECT_STREQ(s.Right(4), "1.0|");
    s.Format("%.200e", 1.5);
    EXPECT_EQ(s.GetLength(), 206);  // "1." + 200 digits + "e+00"
    s.Format("%s=%d", "key", 12);
    EXPECT_STREQ(s, "key=12");
    s.Format("%s", static_cast<const char*>(nullptr));
    EXPECT_STREQ(s, "(null)");
    s.Format("%s", "");
    EXPECT_EQ(s.GetBuffer(), Sentinel());
    platform::RegisterStringResource(4711, "%d apples");
    s.Format(4711u, 3);
    EXPECT_STREQ(s, "3 apples");
}

TEST(YString, SystemStringConversion)
{
    YString s("Abc");
    BSTR b = s.AllocSysString();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(SysStringLen(b), 3u);
    EXPECT_EQ(b[0], 'A');
    EXPECT_EQ(b[2], 'c');
    YString t("longer text");
    t.SetSysString(&b);
    EXPECT_EQ(SysStringLen(b), 11u);
    SysFreeString(b);
}

std::vector<BYTE> Store(const YString& s)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << s;
        ar.Close();
    }
    std::vector<BYTE> bytes(file.GetLength());
    file.SeekToBegin();
    file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
    return bytes;
}

void Load(const std::vector<BYTE>& bytes, YString& into)
{
    CMemFile file(const_cast<BYTE*>(bytes.data()), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    ar >> into;
}

TEST(YStringArchive, LengthThenBytes)
{
    EXPECT_EQ(Store(YString()), (std::vector<BYTE>{0, 0, 0, 0}));
    EXPECT_EQ(Store(YString("ab")), (std::vector<BYTE>{2, 0, 0, 0, 'a', 'b'}));
    YString big('q', 300);
    std::vector<BYTE> bytes = Store(big);
    ASSERT_EQ(bytes.size(), 304u);
    EXPECT_EQ(bytes[0], 0x2C);
    EXPECT_EQ(bytes[1], 0x01);
    YString back;
    Load(bytes, back);
    EXPECT_STREQ(back, big);
}

TEST(YStringArchive, ReadingEdgeCases)
{
    YString s("kept");
    Load({0, 0, 0, 0}, s);
    EXPECT_STREQ(s, "kept");  // a stored length of 0 leaves the text
    Load({4, 0, 0, 0, 'a', 0, 'b', 'c'}, s);
    EXPECT_STREQ(s, "a");  // the text ends at a stored zero byte
    YString victim("x");
    bool thrown = false;
    try {
        Load({0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b'}, victim);  // far more than remains
    } catch (CArchiveException* e) {
        thrown = true;
        e->Delete();
    }
    EXPECT_TRUE(thrown);
    EXPECT_STREQ(victim, "x");
}

}  // namespace
