// The real program, run headless on a copy of the sample data: start, a few
// frames, close, "config.cfg"; and every forced start-up failure.
#include "app/ProgramRun.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace fs = std::filesystem;

namespace {
typedef ProgramResult Result;

class Program : public ProgramTest {
protected:
    Result Run(const std::string& force, int frames = 5) { return RunWith("RCV_FORCE='" + force + "'", frames); }
};
}  // namespace

TEST_F(Program, RunsFramesClosesAndWritesTheSettingsInForce)
{
    Write("config.cfg", "set sys_exec \"mine.cfg\"\nset gfx_treedensity \"2\"\nset snd_volume \"40\"\n");
    Write("mine.cfg", "set gfx_fog \"0\"\nset sys_map \"islands\"\n");
    Result result = Run("", 8);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    std::string config = Read("config.cfg");
    EXPECT_NE(config.find("set sys_exec \"mine.cfg\""), std::string::npos) << config;
    EXPECT_NE(config.find("set gfx_treedensity \"2\""), std::string::npos);
    EXPECT_NE(config.find("set gfx_fog \"0\""), std::string::npos) << "the sys_exec file ran";
    EXPECT_NE(config.find("set sys_map \"islands\""), std::string::npos);
    EXPECT_NE(config.find("set sys_game_type \"balloon\""), std::string::npos);
    EXPECT_NE(config.find("-- Input settings"), std::string::npos);
    EXPECT_NE(config.find("-- Sound settings"), std::string::npos);
    EXPECT_FALSE(fs::exists(m_dir / "config.cfg.tmp"));
}

TEST_F(Program, StartsWithoutASettingsFileAndWritesOne)
{
    Result result = Run("", 3);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(Read("config.cfg").find("-- Graphic settings"), std::string::npos);
}

TEST_F(Program, ForcedStartUpFailuresShowTheirMessageAndFail)
{
    struct Row {
        const char* force;
        const char* message;
    } rows[] = {
        {"noddraw7", "DirectDraw 7 isn't installed\nPlease Re-install Vantorra 4\nPress OK to Terminate this application.\n"},
        {"bpp8", "RC Volaro requires at least 16 bit color to run.\nThe game will now exit.\n"},
        {"enumfail", "Error: Could not list the display drivers.\nThe game will now exit.\n"},
        {"nodevice", "Error: Could not list the display drivers.\nThe game will now exit.\n"},
        {"nocom", ""},
    };
    for (const Row& row : rows) {
        fs::remove(m_dir / "config.cfg");
        Result result = Run(row.force);
        EXPECT_EQ(result.exitCode, 1) << row.force;
        EXPECT_EQ(result.err, row.message) << row.force;
        EXPECT_FALSE(fs::exists(m_dir / "config.cfg")) << row.force << ": no settings are written";
    }
}

TEST_F(Program, AMissingCatalogEndsStartUpWithItsName)
{
    fs::remove(m_dir / "RC Volaro.cat");
    Result result = Run("");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Error loading file: RC Volaro.cat\n");
}

TEST_F(Program, NoUsableDisplayDeviceShowsTheAcceleratorTextAndStillEnds)
{
    // No surface takes a 3D device: the window and the full screen of every
    // driver fail, and the game runs on without a display.
    Result result = Run("no3dsurface", 6);
    EXPECT_EQ(result.exitCode, 0) << "the run ends by itself after its passes";
    EXPECT_EQ(result.err,
              "Error: Could not initialize the 3D accelerator\n  This can occur for many reasons..\n\n  You can "
              "attempt to correct the problem by:\n  1.  Switching your desktop to 16-bit color depth.\n  2.  Running "
              "the game in Full Screen mode.\n          (set gfx_fullscreen = 1 in your default.cfg file)\n  3.  "
              "Rebooting your system.\n  4.  Make sure the latest video drivers are installed.\n\n");
    // The driver walk left full screen at 16 bits in the settings it saved.
    std::string config = Read("config.cfg");
    EXPECT_NE(config.find("set gfx_fullscreen \"1\""), std::string::npos) << config;
    EXPECT_NE(config.find("set gfx_bitdepth \"16\""), std::string::npos) << config;
}

// The display starts with the Direct3D renderer and presents every frame;
// F12 saves the screen under the first free number, and a key bound to
// "parser log" reaches the renderer.
TEST_F(Program, PresentsFramesAndF12SavesNumberedScreenShots)
{
    fs::create_directories(m_dir / "ScreenShots");
    Write("ScreenShots/ScreenShot01.bmp", "taken");
    Write("config.cfg", "bind l \"parser log\"\n");
    Write("keys.txt", "3 key down F12\n4 key up F12\n6 key down F12\n7 key up F12\n8 key down L\n9 key up L\n");
    fs::create_directories(m_dir / "frames");
    Result result = RunWith("RCV_INPUT_SCRIPT=keys.txt RCV_FRAME_DUMP=frames", 12);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(Read("ScreenShots/ScreenShot01.bmp"), "taken") << "a taken number is skipped";
    for (const char* shot : {"ScreenShots/ScreenShot02.bmp", "ScreenShots/ScreenShot03.bmp"}) {
        const std::string bmp = Read(shot);
        ASSERT_GT(bmp.size(), 54u) << shot;
        EXPECT_EQ(bmp.substr(0, 2), "BM") << shot;
        int32_t width = 0, height = 0;
        memcpy(&width, bmp.data() + 18, 4);
        memcpy(&height, bmp.data() + 22, 4);
        EXPECT_EQ(width, 640) << shot;
        EXPECT_EQ(std::abs(height), 480) << shot;
    }
    EXPECT_FALSE(fs::exists(m_dir / "ScreenShots/ScreenShot04.bmp"));
    size_t frames = 0;
    for (const auto& entry : fs::directory_iterator(m_dir / "frames"))
        if (entry.path().extension() == ".bmp") ++frames;
    EXPECT_EQ(frames, 12u);
    EXPECT_NE(Read("Debug.log").find("[YD3D6Parser::GetTextureMemoryStats] Finished"), std::string::npos);
}
