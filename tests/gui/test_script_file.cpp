// Script files and their sections read into a caller's buffer: exact fits,
// buffers too small, missing files and sections, and the "name.*" fallback.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "gui/ReadScriptFile.h"

namespace {
const char* const Screens = "intro line\n[main]\nbutton start\r\nbutton quit\n  [Options]  \nslider volume\n[empty]\n";

class ScriptFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_scratch.Write("screens.scr", Screens);
        m_scratch.Write("menus/only.lay", "from the fallback");
    }

    // The reader's answer and the text, with a buffer of that size.
    std::pair<int, std::string> File(const char* name, int size, int flags = 0)
    {
        std::vector<char> buffer(static_cast<size_t>(size) + 1, 'x');
        int result = ReadScriptFile(name, buffer.data(), size, flags);
        return {result, result == ScriptRead ? std::string(buffer.data()) : std::string()};
    }
    std::pair<int, std::string> Section(const char* name, const char* section, int size, int flags = 0)
    {
        std::vector<char> buffer(static_cast<size_t>(size) + 1, 'x');
        int result = ReadScriptSection(name, section, buffer.data(), size, flags);
        return {result, result == ScriptRead ? std::string(buffer.data()) : std::string()};
    }

    ScratchFolder m_scratch{ScratchFolder::Enter};
};
}  // namespace

TEST_F(ScriptFile, WholeFileNeedsRoomForItsTerminator)
{
    const int length = static_cast<int>(std::string(Screens).size());
    struct Case {
        const char* name;
        int size;
        int flags;
        int result;
        std::string text;
    };
    const Case cases[] = {
        {"screens.scr", 4096, 0, ScriptRead, Screens},
        {"SCREENS.SCR", length + 1, 0, ScriptRead, Screens},
        {"screens.scr", length, 0, ScriptBufferTooSmall, ""},
        {"screens.scr", 0, 0, ScriptBufferTooSmall, ""},
        {"missing.scr", 4096, 0, ScriptNotFound, ""},
        {"menus\\only.scr", 4096, 0, ScriptNotFound, ""},
        {"menus\\only.scr", 4096, ScriptAnyExtension, ScriptRead, "from the fallback"},
        {"menus\\only", 4096, ScriptAnyExtension, ScriptRead, "from the fallback"},
        {"menus\\none.scr", 4096, ScriptAnyExtension, ScriptNotFound, ""},
        {"", 4096, ScriptAnyExtension, ScriptNotFound, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " in " + std::to_string(c.size));
        auto got = File(c.name, c.size, c.flags);
        EXPECT_EQ(c.result, got.first);
        EXPECT_EQ(c.text, got.second);
    }
}

TEST_F(ScriptFile, SectionsRunToTheNextHeader)
{
    struct Case {
        const char* section;
        int size;
        int result;
        std::string text;
    };
    const Case cases[] = {
        {"main", 4096, ScriptRead, "button start\r\nbutton quit\n"},
        {"MAIN", 27, ScriptRead, "button start\r\nbutton quit\n"},
        {"main", 26, ScriptBufferTooSmall, ""},
        {"options", 4096, ScriptRead, "slider volume\n"},
        {"empty", 4096, ScriptRead, ""},
        {"intro", 4096, ScriptNotFound, ""},
        {"", 4096, ScriptNotFound, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.section);
        auto got = Section("screens.scr", c.section, c.size);
        EXPECT_EQ(c.result, got.first);
        EXPECT_EQ(c.text, got.second);
    }
    EXPECT_EQ(ScriptNotFound, Section("missing.scr", "main", 4096).first);
    EXPECT_EQ(ScriptNotFound, Section("screens.scr", nullptr, 4096).first);
}
