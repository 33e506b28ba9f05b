#include "engine/EngineFixture.h"

TEST(GameConfig, SystemKeysTakeTextOrNumbers)
{
    struct Case {
        const char* key;
        const char* value;
        const char* shown;
    };
    const Case cases[] = {
        {"SYS_MAP", "Lagoon", "Lagoon"},       {"sys_data", "C:\\Games\\RCV\\", "C:\\Games\\RCV\\"},
        {"sys_planeskin", "3x", "3"},          {"sys_3DINDICATOR", "1", "1"},
        {"sys_game_level", "-1", "-1"},        {"sys_exec", "autoexec.cfg", "autoexec.cfg"},
        {"sys_physicsscaler", "abc", "0"},     {"AutoLevel", "1", "1"},
        {"autopitch", "0", "0"},               {"sys_opponent", "", ""},
    };
    YGameConfig game;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(1, game.Set(c.key, c.value, 0));
        YString shown;
        EXPECT_EQ(1, game.Get(c.key, shown, 0));
        EXPECT_STREQ(c.shown, shown);
    }
    EXPECT_STREQ("Lagoon", game.m_map);
    EXPECT_EQ(1, game.m_autoLevel);
}

TEST(GameConfig, ScoreKeysAddressTheirTable)
{
    YGameConfig game;
    EXPECT_EQ(1, game.Set("hs_val_e3_s4", "77", 0));
    EXPECT_STREQ("77", game.m_highScores[3][4].m_value);
    EXPECT_EQ(1, game.Set("HS_NAM_E0_S1", "Zed", 0));
    EXPECT_STREQ("Zed", game.m_highScores[0][1].m_name);
    EXPECT_EQ(1, game.Set("hs_pic_e2_s0", "Interface2:x", 0));
    EXPECT_STREQ("Interface2:x", game.m_highScores[2][0].m_picture);
    for (const char* key : {"hs_val_e4_s0", "hs_val_e0_s5", "hs_val_e-1_s0", "hs_nam_e", "sys_planes"}) {
        SCOPED_TRACE(key);
        YString value = "same";
        EXPECT_EQ(0, game.Set(key, "1", 0));
        EXPECT_EQ(0, game.Get(key, value, 0));
        EXPECT_STREQ("same", value);
    }
    YString value;
    EXPECT_EQ(1, game.Get("hs_val_e1_s0", value, 0));
    EXPECT_STREQ("1070", value);
}

TEST(GameConfig, HighScoreAccessStaysInsideTheTables)
{
    YGameConfig game;
    YHighScore entry;
    entry.m_name = "New";
    entry.m_value = "1";
    entry.m_picture = "p";
    game.SetHighScore(1, 4, entry);
    YHighScore out;
    game.GetHighScore(1, 4, out);
    EXPECT_STREQ("New", out.m_name);

    const std::pair<int, int> outside[] = {{-1, 0}, {4, 0}, {0, -1}, {0, 5}};
    for (const auto& at : outside) {
        game.SetHighScore(at.first, at.second, entry);
        YHighScore untouched;
        untouched.m_name = "keep";
        game.GetHighScore(at.first, at.second, untouched);
        EXPECT_STREQ("keep", untouched.m_name);
    }
    game.DefaultHighScores();
    game.GetHighScore(1, 4, out);
    EXPECT_STREQ("Crash Brannick", out.m_name);
    EXPECT_STREQ("50", out.m_value);
}

TEST(GameConfig, PresetKeysAndTheChosenPreset)
{
    YGameConfig game;
    EXPECT_EQ(-1, game.GetDetailSetting());
    EXPECT_EQ(1, game.Set("det1_gfx_fog", "0", 0));
    EXPECT_EQ(1, game.Set("DET2_GFX_TREEOVERLAP", "40", 0));
    EXPECT_EQ(0, game.Set("det3_gfx_fog", "1", 0));
    EXPECT_EQ(0, game.Set("det0_gfx_res", "1", 0));
    YString value;
    EXPECT_EQ(1, game.Get("det2_gfx_landpop", value, 0));
    EXPECT_STREQ("300", value);

    YConfigData config;
    EXPECT_EQ(1, game.Set("det_setting", "2", 0));
    EXPECT_EQ(2, game.GetDetailSetting());
    EXPECT_EQ(15, config.m_graphics->m_landPop);
}

TEST(GameConfig, ApplyPresetCopiesTheValuesAndClampsTheFilter)
{
    YGameConfig game;
    YConfigData config;
    const int refused[] = {-1, 3, 100};
    for (int preset : refused) {
        game.ApplyPreset(preset, &config);
        EXPECT_EQ(15, config.m_graphics->m_landPop);
        EXPECT_EQ(-1, game.GetDetailSetting());
    }
    game.ApplyPreset(1, nullptr);
    EXPECT_EQ(-1, game.GetDetailSetting());

    game.Set("det2_gfx_filter", "9", 0);
    game.Set("det2_gfx_treeoverlap", "55", 0);
    game.ApplyPreset(2, &config);
    EXPECT_EQ(2, game.GetDetailSetting());
    EXPECT_EQ(300, config.m_graphics->m_landPop);
    EXPECT_EQ(4, config.m_graphics->m_filter);
    EXPECT_EQ(55, config.m_graphics->m_treeOverlap);
    EXPECT_EQ(2, config.m_graphics->m_shadowQuality);
    EXPECT_EQ(1, config.m_graphics->m_texDetail);
    YString filter;
    config.Get("gfx_filter", filter, 0);
    EXPECT_STREQ("Anisotropic", filter);

    game.Set("det0_gfx_filter", "-4", 0);
    game.ApplyPreset(0, &config);
    EXPECT_EQ(0, config.m_graphics->m_filter);
    EXPECT_EQ(100, config.m_graphics->m_landPop);
}

TEST(GameConfig, DetailSettingFollowsTheTiming)
{
    const std::pair<DWORD, int> cases[] = {{0, 2}, {999, 2}, {1000, 1}, {2999, 1}, {3000, 0}, {3001, 0}};
    for (const auto& c : cases) EXPECT_EQ(c.second, YGameConfig::PresetForElapsed(c.first)) << c.first;

    // With the clock standing still the workload takes no time at all.
    bool manual = platform::Clock::IsManual();
    platform::Clock::SetManual(true);
    YGameConfig game;
    game.ChooseDetailSetting();
    platform::Clock::SetManual(manual);
    EXPECT_EQ(YGameConfig::DetailHigh, game.GetDetailSetting());
}

TEST(GameConfig, ListingNamesTheSystemKeys)
{
    YGameConfig game;
    CArray<YString> names;
    EXPECT_EQ(1, game.ListKeys(names, 0));
    ASSERT_EQ(13, names.GetSize());
    EXPECT_STREQ("\n-- System settings\n", names[0]);
    EXPECT_STREQ("sys_data", names[1]);
    EXPECT_STREQ("autopitch", names[12]);
}

namespace {
class GameDefaultsTest : public EngineTest {};
}  // namespace

TEST_F(GameDefaultsTest, LoadDefaultsRunsTheDefaultsScriptAndPicksAPreset)
{
    WriteFile("defaults.yss", "set sys_map Default\nset det2_gfx_landpop 999\n");
    m_game->m_dataDir = m_dir.string().c_str();
    m_game->Set("det0_gfx_landpop", "1", 0);
    bool manual = platform::Clock::IsManual();
    platform::Clock::SetManual(true);
    m_game->LoadDefaults(m_config);
    platform::Clock::SetManual(manual);
    EXPECT_STREQ("Default", m_game->m_map);
    EXPECT_EQ(2, m_game->GetDetailSetting());
    // The presets return to their built-in values before one is applied.
    EXPECT_EQ(300, m_config->m_graphics->m_landPop);
    YString value;
    m_game->Get("det0_gfx_landpop", value, 0);
    EXPECT_STREQ("100", value);
}
