// Script files and their sections read into a caller's buffer: line ends,
// comments, sections, includes and their depth, long lines, buffers too
// small and missing files.
#include <gtest/gtest.h>

#include <string>
#include <unistd.h>
#include <vector>

#include "ScratchFolder.h"
#include "gui/ReadScriptFile.h"
#include "platform/win32.h"

namespace {

class ScriptFile : public ::testing::Test {
protected:
    // The reader's answer and the text left in a buffer of that size.
    std::pair<int, std::string> File(const char* name, int size = 4096, bool strip = true)
    {
        std::vector<char> buffer(static_cast<size_t>(size) + 1, 'x');
        int result = ReadScriptFile(name, buffer.data(), size, strip);
        return {result, std::string(buffer.data())};
    }
    std::pair<int, std::string> Section(const char* name, const char* section, int size = 4096, bool strip = true)
    {
        std::vector<char> buffer(static_cast<size_t>(size) + 1, 'x');
        int result = ReadScriptSection(name, section, buffer.data(), size, strip);
        return {result, std::string(buffer.data())};
    }

    ScratchFolder m_scratch{ScratchFolder::Enter};
};

const char* const Screens =
    "intro text {\n"  // never closed before "main": its "}" is the line after
    "}\n"
    "main {\n"
    " button(start)\n"
    " button(quit) }\n"
    "options\n"
    "{ slider(volume)\n"
    "}\n"
    "// comment { not a section\n"
    "   // indented { neither\n"
    "MAIN {\n"
    " second\n"
    "}\n"
    "same {line}\n"
    "open {\n"
    " never closed\n";

}  // namespace

TEST_F(ScriptFile, LinesJoinWithoutTheirEndsWhateverEndsThem)
{
    const std::string longLine(5000, 'w');
    struct Case {
        const char* what;
        std::string bytes;
        std::string text;
    };
    const Case cases[] = {
        {"CR LF", "img(a)\r\nimg(b)\r\n", "img(a)img(b)"},
        {"LF only keeps every last character", "img(a)\nimg(b)\n", "img(a)img(b)"},
        {"a CR inside a line stays", "a\rb\n", "a\rb"},
        {"empty LF lines end lines", "a\n\n\nb\n", "ab"},
        {"empty CR LF lines", "a\r\n\r\nb\r\n", "ab"},
        {"a last line without a line feed is kept", "a\nb", "ab"},
        {"comments are cut", "a // one\n// two\n  b//three\n", "a   b"},
        {"long lines arrive whole", longLine + "\nnext\n", longLine + "next"},
        {"a line of 2046 bytes", std::string(2046, 'q') + "\r\nz\r\n", std::string(2046, 'q') + "z"},
        {"empty file", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_scratch.Write("s.scr", c.bytes);
        EXPECT_EQ(std::make_pair(int(ScriptRead), c.text), File("s.scr", 8192));
    }
}

TEST_F(ScriptFile, CommentsStayWhenNotStripped)
{
    m_scratch.Write("s.scr", "a // one\nb\n");
    EXPECT_EQ(std::make_pair(int(ScriptRead), std::string("a // oneb")), File("s.scr", 100, false));
}

TEST_F(ScriptFile, FilesFoundByNameOrAnyExtensionElseEmpty)
{
    m_scratch.Write("menus/Only.lay", "from the fallback\n");
    struct Case {
        const char* name;
        int result;
        const char* text;
    };
    const Case cases[] = {
        {"menus\\only.lay", ScriptRead, "from the fallback"},
        {"MENUS/ONLY", ScriptRead, "from the fallback"},
        {"menus\\only.scr", ScriptRead, ""},
        {"missing.scr", ScriptRead, ""},
        {"", ScriptRead, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(std::make_pair(c.result, std::string(c.text)), File(c.name));
    }
}

TEST_F(ScriptFile, TooSmallABufferKeepsTheLinesThatFitted)
{
    // A line goes in while the room left is more than its length plus one.
    m_scratch.Write("s.scr", "abc\ndef\n");
    struct Case {
        int size;
        int result;
        const char* text;
    };
    const Case cases[] = {
        {8, ScriptRead, "abcdef"},
        {7, ScriptBufferTooSmall, "abc"},
        {5, ScriptBufferTooSmall, "abc"},
        {4, ScriptBufferTooSmall, ""},
        {1, ScriptBufferTooSmall, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        EXPECT_EQ(std::make_pair(c.result, std::string(c.text)), File("s.scr", c.size));
    }
    std::vector<char> none(1, 'x');
    EXPECT_EQ(ScriptBufferTooSmall, ReadScriptFile("s.scr", none.data(), 0, true));
    EXPECT_EQ('x', none[0]);
}

TEST_F(ScriptFile, SectionsByNameWhereverTheirBraceStands)
{
    m_scratch.Write("screens.scr", Screens);
    struct Case {
        const char* section;
        int result;
        const char* text;
    };
    const Case cases[] = {
        {"main", ScriptRead, " button(start) button(quit) "},
        {"Options", ScriptRead, " slider(volume)"},
        {"same", ScriptRead, "line"},
        {"intro text", ScriptRead, ""},
        {"comment", ScriptSectionMissing, ""},
        {"indented", ScriptSectionMissing, ""},
        {"open", ScriptSectionMissing, " never closed"},
        {"missing", ScriptSectionMissing, ""},
        {"", ScriptSectionMissing, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.section);
        EXPECT_EQ(std::make_pair(c.result, std::string(c.text)), Section("screens.scr", c.section));
    }
    EXPECT_EQ(std::make_pair(int(ScriptRead), std::string()), Section("missing.scr", "main"));
    EXPECT_EQ(ScriptSectionMissing, Section("screens.scr", nullptr).first);
    EXPECT_EQ(std::make_pair(int(ScriptBufferTooSmall), std::string(" button(start)")),
              Section("screens.scr", "main", 20));
}

TEST_F(ScriptFile, SectionsOfLFOnlyFilesAndLongLines)
{
    const std::string wide(3000, 'k');
    m_scratch.Write("lf.scr", "a {\nimg(x)\n\nimg(y)\n}\nb {\n" + wide + "\n}\n");
    EXPECT_EQ(std::make_pair(int(ScriptRead), std::string("img(x)img(y)")), Section("lf.scr", "a"));
    EXPECT_EQ(std::make_pair(int(ScriptRead), wide), Section("lf.scr", "b", 8192));
}

TEST_F(ScriptFile, IncludesSpliceFilesAndSectionsFromTheIncludingFolder)
{
    m_scratch.Write("screens/main.scr", "main {\n"
                                        " head(1) #include parts/common.scr:head\n"
                                        "#include parts/whole.scr\n"
                                        " tail\n"
                                        "}\n"
                                        "broken {\n#include parts/common.scr:nothing\n}\n"
                                        "absent {\n#include parts/absent.scr\n x\n}\n");
    m_scratch.Write("screens/parts/common.scr", "head {\n img(head) // cut\n}\n");
    m_scratch.Write("screens/parts/whole.scr", " w1\n w2\n");
    // Names that only the current folder would find are not taken from it.
    m_scratch.Write("parts/whole.scr", " wrong\n");

    struct Case {
        const char* section;
        int result;
        const char* text;
    };
    const Case cases[] = {
        {"main", ScriptRead, " img(head) w1 w2 tail"},
        {"broken", ScriptIncludeMissing, ""},
        {"absent", ScriptRead, " x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.section);
        EXPECT_EQ(std::make_pair(c.result, std::string(c.text)), Section("screens/main.scr", c.section));
    }
    m_scratch.Write("top.scr", "#include screens/parts/whole.scr\n");
    EXPECT_EQ(std::make_pair(int(ScriptRead), std::string(" w1 w2")), File("top.scr"));
    char here[4096];
    ASSERT_NE(nullptr, getcwd(here, sizeof here));
    EXPECT_EQ(m_scratch.Path(), std::string(here));
}

TEST_F(ScriptFile, IncludesStopAtTheirDepthLimitWithAMessage)
{
    // inc0 includes inc1 ... up to incN, which holds the text.
    auto chain = [&](int levels) {
        for (int i = 0; i < levels; ++i)
            m_scratch.Write("inc" + std::to_string(i) + ".scr", "#include inc" + std::to_string(i + 1) + ".scr\n");
        m_scratch.Write("inc" + std::to_string(levels) + ".scr", "deep\n");
    };
    chain(ScriptMaxIncludeDepth);
    EXPECT_EQ(std::make_pair(int(ScriptRead), std::string("deep")), File("inc0.scr"));

    chain(ScriptMaxIncludeDepth + 1);
    const int shown = platform::MessageBoxCount();
    EXPECT_EQ(ScriptIncludeFailed, File("inc0.scr").first);
    EXPECT_EQ(shown + 1, platform::MessageBoxCount());

    m_scratch.Write("self.scr", "a {\n#include self.scr:a\n}\n");
    EXPECT_EQ(ScriptIncludeFailed, Section("self.scr", "a").first);
    // Including a line with no include gives nothing, and no error.
    std::vector<char> buffer(16, 'x');
    EXPECT_EQ(ScriptRead, ReadIncludedFile("self.scr", "no include here", buffer.data(), 16, true));
    EXPECT_EQ('\0', buffer[0]);
}

TEST_F(ScriptFile, LinesComeWholeAndTheLastWithoutItsLineFeed)
{
    m_scratch.Write("l.txt", "one\r\n\ntwo\nthree");
    CFile file;
    CString path, line;
    ASSERT_TRUE(FindScriptFile("L", file, path));
    std::vector<std::string> lines;
    while (ReadScriptLine(file, line)) lines.push_back((const char*)line);
    EXPECT_EQ((std::vector<std::string>{"one", "", "two", "three"}), lines);
    EXPECT_FALSE(ReadScriptLine(file, line));
    EXPECT_TRUE(line.IsEmpty());
}
