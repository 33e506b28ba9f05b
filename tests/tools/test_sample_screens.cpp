#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "gui/ReadScriptFile.h"
#include "tools/YSampleScreens.h"

namespace {

TEST(SampleScreens, LinesEndWithCrLf)
{
    struct Case {
        const char* text;
        const char* want;
    } cases[] = {
        {"", ""},
        {"a\nb\n", "a\r\nb\r\n"},
        {"a\r\nb\n", "a\r\nb\r\n"},
        {"\n\n", "\r\n\r\n"},
        {"no end", "no end"},
        {"lone\rcr\n", "lone\rcr\r\n"},
        {"end\r", "end\r"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.want, YSampleScreens::WithCrLf(c.text)) << c.text;
}

#if defined(RCV_DATA_DIR)
TEST(SampleScreens, EverySectionReadsWithItsInclude)
{
    const std::string folder = RCV_DATA_DIR;
    std::ifstream in(folder + "/screens.scr", std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string text = bytes.str();
    ASSERT_FALSE(text.empty());
    size_t lineFeeds = 0;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n') {
            ++lineFeeds;
            EXPECT_TRUE(i > 0 && text[i - 1] == '\r') << "a line feed without its carriage return at " << i;
        }
    EXPECT_GT(lineFeeds, 50u);

    struct Case {
        const char* section;
        std::vector<const char*> holds;
        bool header;  // opens with the included header
    } cases[] = {
        {"sample", {"RC Volaro sample screens", "if(1 == 1)", "endif"}, true},
        {"text", {"bstringtick(", "istring(", "rstring(", "cstring(", "\"Fonts:HUD\""}, true},
        {"shapes", {"rect(", "framerect(", "grid(", "line(", "group("}, true},
        {"images", {"img(", "imgtile(", "imgdial(", "imgscale(", "imgstretch(", "GameScreen:panel"}, true},
        {"sprites", {"anim(", "dial(", "Interface3:Compass"}, true},
        {"menu", {"makefontbutton(", "makebutton(", "makeslider(", "textradiobutton(", "textcheckbutton(", "slider(",
                  "edit(", "listbox(", "textfield(", "listctrl(", "screens.scr:menu2", "\"quit\""}, true},
        {"menu2", {"screens.scr:menu\"", "\"quit\""}, true},
        {"InterfaceGameBD", {"makebutton(", "\"session init Meadow\"", "\"quit\""}, true},
        {"main", {"xprogress 90", "Loading", "config sys_map"}, false},
        {"balloondrop", {"renderframe(0, 0, 640, 480)", "countdown"}, false},
        {"celebration", {"renderframe(0, 0, 640, 480)"}, false},
        {"camera", {"cpos", "corient", "cheading", "crange", "calt", "countdown", "cping"}, false},
        {"practicepause", {"Paused"}, false},
        {"quit", {"Round over"}, false},
    };
    std::vector<char> buffer(65536);
    for (const Case& c : cases) {
        ASSERT_EQ(ScriptRead, ReadScriptSection((folder + "/screens.scr").c_str(), c.section, buffer.data(),
                                                static_cast<int>(buffer.size()), true))
            << c.section;
        const std::string script = buffer.data();
        for (const char* piece : c.holds) EXPECT_NE(std::string::npos, script.find(piece)) << c.section << ": " << piece;
        // A section starts with the included header or its own background:
        // a rectangle, a picture or the world; no comment survives.
        if (c.header) {
            EXPECT_EQ(0u, script.find("    rect(0, 0, 640, 480, 0, 0, 40)    rect(0, 0, 640, 40")) << c.section;
        } else {
            bool opens = false;
            for (const char* first : {"    rect(", "    imgstretch(", "    renderframe("}) opens |= script.find(first) == 0;
            EXPECT_TRUE(opens) << c.section;
        }
        EXPECT_EQ(std::string::npos, script.find("//")) << c.section;
    }
}

TEST(SampleScreens, EveryScreenOfARoundDrawsTheWorldFirst)
{
    std::vector<char> buffer(65536);
    for (const char* section : {"preairrace", "airrace", "postairrace", "preballoondrop", "balloondrop",
                                "midballoondrop", "postballoondrop", "predogfight", "dogfight", "postdogfight",
                                "pretunnix", "tunnix", "posttunnix", "prepractice", "practice", "celebration"}) {
        ASSERT_EQ(ScriptRead, ReadScriptSection((std::string(RCV_DATA_DIR) + "/screens.scr").c_str(), section,
                                                buffer.data(), static_cast<int>(buffer.size()), true))
            << section;
        EXPECT_EQ(0u, std::string(buffer.data()).find("    renderframe(0, 0, 640, 480)")) << section;
    }
}

TEST(SampleScreens, TheMenuCommandFileIsCopiedAsItIs)
{
    std::ifstream in(std::string(RCV_DATA_DIR) + "/menu.cfg", std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    EXPECT_NE(std::string::npos, bytes.str().find("\nlayout sm menu screens.scr:menu\n"));
    EXPECT_EQ(std::string::npos, bytes.str().find('\r'));
}
#endif

}  // namespace
