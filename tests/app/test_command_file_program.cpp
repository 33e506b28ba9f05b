// The real program runs a command file of engine commands that ends with
// QUIT, reached at start-up through "sys_exec" or typed into the console.
#include "app/ProgramRun.h"

#include <string>

namespace fs = std::filesystem;

namespace {
// Frames enough that only QUIT ends the run before the time-out.
const int kUntilQuit = 100000;

const char* const Commands =
    "layout s screen:main menu.scr\n"
    "layout sm dialog menu.scr:options\n"
    "layout f screen\n"
    "session init meadow\n"
    "session set weather rain\n"
    "pause\n"
    "escape\n"
    "escape\n"
    "actor flag [camera] Visible\n"
    "sound show\n"
    "object glider\n"
    "{\n"
    "set speed 12\n"
    "}\n"
    "parser shot 300\n"
    "parser log\n"
    "set gfx_fog 1\n"
    "quit\n"
    "set sys_map islands\n";

class CommandFileProgram : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        fs::create_directories(m_dir / "maps");
        Write("maps/meadow.zon", "YMAP");
        Write("menu.scr", "button play\n[options]\nslider volume\n");
        Write("commands.cfg", Commands);
        Write("config.cfg", "set gfx_fog \"0\"\n");
    }
};
}  // namespace

TEST_F(CommandFileProgram, CommandsRunAndQuitEndsTheProgram)
{
    struct Case {
        const char* name;
        const char* config;  // appended to config.cfg
        const char* keys;    // the input script
    };
    const Case cases[] = {
        {"sys_exec", "set sys_exec \"commands.cfg\"\n", ""},
        {"console", "",
         "3 key down F2\n3 key up F2\n3 text exec commands.cfg\n3 key down Return\n3 key up Return\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Write("config.cfg", std::string("set gfx_fog \"0\"\n") + c.config);
        Write("keys.txt", c.keys);
        fs::remove_all(m_dir / "ScreenShots");
        fs::remove(m_dir / "Debug.log");

        ProgramResult result = RunWith("RCV_INPUT_SCRIPT=keys.txt", kUntilQuit);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.err, "");
        std::string config = Read("config.cfg");
        EXPECT_NE(config.find("set gfx_fog \"1\""), std::string::npos) << config;
        // The line after QUIT still runs: the window closes when the file is done.
        EXPECT_NE(config.find("set sys_map \"islands\""), std::string::npos) << config;
        EXPECT_NE(config.find("-- System settings"), std::string::npos);
        EXPECT_EQ(Read("ScreenShots/ScreenShot01.bmp").substr(0, 2), "BM") << "PARSER SHOT saved the screen";
        EXPECT_NE(Read("Debug.log").find("[YD3D6Parser::GetTextureMemoryStats] Finished"), std::string::npos);
    }
}
