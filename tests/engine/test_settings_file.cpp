#include "engine/EngineFixture.h"

#include <unistd.h>

namespace {
class SettingsFileTest : public EngineTest {
protected:
    // The hand-written file, with the CR LF line ends that text files get.
    static std::string Golden()
    {
        std::filesystem::path source = std::filesystem::path(RCV_TESTS_DIR) / "engine" / "data" / "config_default.cfg";
        std::string text = ReadFile(source.string());
        std::string crlf;
        for (char ch : text) {
            if (ch == '\n') crlf += '\r';
            crlf += ch;
        }
        return crlf;
    }

    std::string Save(const char* name)
    {
        std::string path = PathOf(name);
        m_engine->SaveConfig(m_config, path.c_str());
        return ReadFile(path);
    }
};

// Runs in another folder for the length of a test.
class WorkingFolder {
public:
    explicit WorkingFolder(const std::filesystem::path& dir) : m_saved(std::filesystem::current_path())
    {
        std::filesystem::current_path(dir);
    }
    ~WorkingFolder() { std::filesystem::current_path(m_saved); }

private:
    std::filesystem::path m_saved;
};
}  // namespace

TEST_F(SettingsFileTest, DefaultsWriteTheGoldenFile)
{
    const std::string golden = Golden();
    ASSERT_GT(golden.size(), 1000u);
    EXPECT_EQ(golden, Save("config.cfg"));
}

TEST_F(SettingsFileTest, ReadingTheFileBackRestoresEverySetting)
{
    std::string path = WriteFile("golden.cfg", Golden());
    const char* changes[] = {
        "set sys_ui 4",              "set sys_physicsscaler 50", "set hs_nam_e2_s3 Someone",
        "set hs_val_e0_s0 99999",    "set det1_gfx_fog 0",       "set det_setting 2",
        "set gfx_fog 1",             "set gfx_filter Trilinear", "set gfx_driver_guid 00FF00FF00FF00FF00FF00FF00FF00FF",
        "set gfx_terrainblending 1", "set snd_music 0",          "set snd_3dresolution 77",
        "set inp_slope 2.5",         "set inp_jdeadz_y 4",       "set cfg_sysprofile 4",
    };
    for (const char* change : changes) Run(change);
    ASSERT_NE(Golden(), Save("changed.cfg"));

    YString output;
    EXPECT_TRUE(m_interpreter->ExecFile(path.c_str(), &output, false));
    EXPECT_EQ("Executed " + path + " [217 commands]", std::string(output).substr(std::string(output).rfind("Executed")));
    EXPECT_EQ(Golden(), Save("again.cfg"));
}

TEST_F(SettingsFileTest, ChangedSettingsSurviveARoundTrip)
{
    for (const char* change : {"set sys_map \"Lake; Shore\"", "set hs_nam_e1_s2 \"Ace Pilot\"", "set det2_gfx_filter 3",
                               "set gfx_res 800 600", "set snd_driver \"Card A\"", "set inp_invertx 1"})
        Run(change);
    std::string first = Save("first.cfg");

    // A fresh chain reads the file and writes the same bytes.
    YGameConfig* game = new YGameConfig;
    YConfigData* config = new YConfigData;
    YInputObjSettings input;
    config->m_game = game;
    config->m_input = &input;
    std::swap(m_engine->m_configData, config);
    std::swap(m_engine->m_gameConfig, game);
    YString output;
    m_interpreter->ExecFile(PathOf("first.cfg").c_str(), &output, false);
    std::string path = PathOf("second.cfg");
    m_engine->SaveConfig(m_engine->m_configData, path.c_str());
    std::swap(m_engine->m_configData, config);
    std::swap(m_engine->m_gameConfig, game);
    delete config;
    delete game;

    EXPECT_EQ(first, ReadFile(path));
    EXPECT_NE(std::string::npos, first.find("set sys_map \"Lake; Shore\"\r\n"));
    EXPECT_NE(std::string::npos, first.find("set gfx_res \"640 480\"\r\n"));
}

TEST_F(SettingsFileTest, SavedBlockHasItsLineCounts)
{
    std::string text = Save("counts.cfg");
    int system = 0, scores = 0, detail = 0, graphics = 0, sound = 0, input = 0;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("set sys_", 0) == 0 || line.rfind("set auto", 0) == 0) ++system;
        if (line.rfind("set hs_", 0) == 0) ++scores;
        if (line.rfind("set det", 0) == 0) ++detail;
        if (line.rfind("set gfx_", 0) == 0) ++graphics;
        if (line.rfind("set snd_", 0) == 0) ++sound;
        if (line.rfind("set inp_", 0) == 0) ++input;
    }
    EXPECT_EQ(13, system);
    EXPECT_EQ(60, scores);
    EXPECT_EQ(73, detail);
    EXPECT_EQ(36, graphics);
    EXPECT_EQ(10, sound);
    EXPECT_EQ(14, input);
}

TEST_F(SettingsFileTest, InjectedQuotesCannotAddCommands)
{
    YHighScore entry;
    entry.m_name = "Evil\"; set gfx_wireframe \"1";
    entry.m_value = "10";
    entry.m_picture = "x";
    m_game->SetHighScore(0, 0, entry);
    m_game->m_map = "map\"\r\nquit";  // a direct field write
    std::string text = Save("evil.cfg");
    EXPECT_NE(std::string::npos, text.find("set hs_nam_e0_s0 \"Evil; set gfx_wireframe 1\"\r\n"));
    EXPECT_NE(std::string::npos, text.find("set sys_map \"mapquit\"\r\n"));

    YString output;
    m_interpreter->ExecFile(PathOf("evil.cfg").c_str(), &output, false);
    EXPECT_EQ(0, m_config->m_graphics->m_wireFrame);
    EXPECT_EQ(std::string::npos, std::string(output).find("not a recognized"));
}

TEST_F(SettingsFileTest, SaveReplacesTheOldFileOnlyWhenComplete)
{
    std::string path = WriteFile("config.cfg", "old contents\n");
    m_engine->SaveConfig(m_config, path.c_str());
    EXPECT_EQ(Golden(), ReadFile(path));
    EXPECT_FALSE(std::filesystem::exists(path + YGameObjects::SaveSuffix));

    // An unwritable target leaves the old file as it was.
    std::string missing = (m_dir / "no_folder" / "config.cfg").string();
    testing::internal::CaptureStderr();
    m_engine->SaveConfig(m_config, missing.c_str());
    std::string message = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, message.find("[YGameObjects::SaveConfig] Could not save to " + missing + "  ["));
    EXPECT_FALSE(std::filesystem::exists(missing));

    m_engine->SaveConfig(nullptr, path.c_str());
    EXPECT_EQ(Golden(), ReadFile(path));
}

TEST_F(SettingsFileTest, LoadConfigRunsTheFileAndStartsWithBalloon)
{
    WriteFile("config.cfg", "set sys_game_type tunnix\nset sys_map Bay\n");
    WorkingFolder folder(m_dir);
    m_engine->LoadConfig();
    EXPECT_STREQ("balloon", m_game->m_gameType);
    EXPECT_STREQ("Bay", m_game->m_map);
}

TEST_F(SettingsFileTest, LoadConfigTakesAFinishedSaveThatWasNotMovedYet)
{
    WriteFile((std::string("config.cfg") + YGameObjects::SaveSuffix).c_str(), "set sys_map Recovered\n");
    WorkingFolder folder(m_dir);
    m_engine->LoadConfig();
    EXPECT_STREQ("Recovered", m_game->m_map);
    EXPECT_TRUE(std::filesystem::exists(m_dir / "config.cfg"));
}
