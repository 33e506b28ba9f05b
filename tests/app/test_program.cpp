// The real program, run headless on a copy of the sample data: start, a few
// frames, close, "config.cfg"; and every forced start-up failure.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
struct Result {
    int exitCode;
    std::string err;
};

class Program : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() /
                ("rcv_app_" + std::to_string(getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::copy(RCV_DATA_DIR, m_dir, fs::copy_options::recursive);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    void Write(const char* name, const std::string& text) { std::ofstream(m_dir / name, std::ios::binary) << text; }
    std::string Read(const char* name) const
    {
        std::ifstream in(m_dir / name, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    Result Run(const std::string& force, int frames = 5)
    {
        std::string err = (m_dir / "stderr.txt").string();
        std::string command = "cd '" + m_dir.string() + "' && RCV_BACKEND=headless RCV_FIXED_STEP_MS=20 RCV_MAX_FRAMES=" +
                              std::to_string(frames) + " RCV_FORCE='" + force + "' timeout 60 '" RCVOLARO_BIN +
                              "' > /dev/null 2> '" + err + "'";
        int status = std::system(command.c_str());
        Result result;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.err = Read("stderr.txt");
        return result;
    }

    fs::path m_dir;
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
