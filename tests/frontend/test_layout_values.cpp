// The game layout's expression vocabulary over a small game state: screen
// constants, sign and rest, group and surface rectangles, the view
// rectangle, the stores and the configuration, the camera, the HUD markers,
// the compass, the countdown and the high-score texts.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "GameStateFixture.h"
#include "foundation/YConfigData.h"
#include "game/YCompass.h"
#include "graphics2d/Graphics2dFixture.h"
#include "graphics2d/YSurfaceDC.h"
#include "gui/YDC.h"
#include "gui/YLayoutGroup.h"

namespace {

class LayoutValues : public GameStateTest {
protected:
    void SetUp() override
    {
        GameStateTest::SetUp();
        RECT screen = {0, 0, 640, 480};
        m_layout.MoveTo(&screen);
        m_renderer.SetView(RECT{100, 50, 500, 350}, RECT{0, 0, 640, 480}, 60.0f);
        // A group 200 x 100 at (40, 30).
        m_group.m_layout = &m_layout;
        m_group.m_blockKind = YLayoutGroup::Group;
        m_group.m_rect = RECT{40, 30, 240, 130};
        m_root.m_layout = &m_layout;
        m_root.m_blockKind = YLayoutGroup::Group;
        m_group.m_parentGroup = &m_root;

        m_values.Set("Lives", "3");
        m_values.Set("Ratio", "2.5");
        m_values.Set("Key", "Lives");
        m_settings.Set("Speed", "7");
        m_layoutStore.Set("Panel", "11");
        m_layoutStore.Set("Scale", "0.25");
    }
    void TearDown() override
    {
        m_group.m_parentGroup = nullptr;
        GameStateTest::TearDown();
    }
    int Value(const char* text, YLayoutGroup* group = nullptr) { return m_layout.ResolveValue(text, nullptr, group); }
    float Float(const char* text, YLayoutGroup* group = nullptr) { return m_layout.ResolveFloat(text, nullptr, group); }
    std::string Text(const char* text) { return (const char*)m_layout.ResolveText(text, nullptr); }

    YAppLayout m_layout;
    YLayoutGroup m_root;
    YLayoutGroup m_group;
};

struct IntRow {
    const char* text;
    int want;
};
struct FloatRow {
    const char* text;
    float want;
};
struct TextRow {
    const char* text;
    const char* want;
};

}  // namespace

TEST_F(LayoutValues, IntegerWordsSignAndRest)
{
    const IntRow rows[] = {
        {"", 0},           {"xr", 640},           {"xc", 320},         {"yb", 480},         {"yc", 240},
        {"-xc", -320},     {"-xc 40", -320},      {"xc -40", 320},     {"-10 xc", -330},    {"10 -3", 7},
        {"XC", 320},       {"vl", 100},           {"vl -5", 95},       {"-vl 5", -105},     {"vr", 500},
        {"vt", 50},        {"vb 1", 351},         {"vxc -40", 260},    {"vyc", 200},        {"vxs 0.5", 200},
        {"vys 0.5", 150},  {"word", 0},           {"12abc 3", 15},     {"1 2 3 4", 10},     {"-1 -2", 1},
        {"calt 5", 0},     {"clat", 0},           {"clon", 0},
    };
    for (const IntRow& r : rows) EXPECT_EQ(r.want, Value(r.text)) << r.text;
    EXPECT_EQ(0, m_layout.ResolveValue(nullptr, nullptr, nullptr));
}

TEST_F(LayoutValues, FloatWordsGiveTheIntegerRectangleWordsWithOneSign)
{
    const FloatRow rows[] = {
        {"", 0.0f},          {"xr", 640.0f},      {"-xc 9", -320.0f},    {"yb", 480.0f},      {"yc", 240.0f},
        {"1.5", 1.5f},       {"1.5 2.25", 3.75f}, {"-1.5 2", -3.5f},     {"vl -5", 95.0f},    {"-vl 5", -105.0f},
        {"vxc", 300.0f},     {"vxs 0.25", 100.0f}, {"xprogress", 0.0f},  {"xprogress 2", 2.0f},
        {"compassx", 0.0f},  {"interfaceepisode", 0.0f},                 {"calt", 0.0f},
    };
    e->m_session->m_barWidth = 230;
    for (const FloatRow& r : rows) EXPECT_FLOAT_EQ(r.want, Float(r.text)) << r.text;
    EXPECT_EQ(230, Value("xprogress"));
    EXPECT_EQ(235, Value("xprogress 5"));
    EXPECT_FLOAT_EQ(0.0f, m_layout.ResolveFloat(nullptr, nullptr, nullptr));
}

TEST_F(LayoutValues, ScaleWordsMeasureTheGroupOrTheSurface)
{
    {
        GUID primary;
        memset(&primary, 0, sizeof primary);
        YDXDraw display;
        ASSERT_EQ(1, display.Create(primary));
        ASSERT_EQ(1, display.SetMode(0, nullptr));
        YDXSurface surface;
        ASSERT_EQ(1, surface.CreateSurface(&display, 320, 200, DDSCAPS_SYSTEMMEMORY, nullptr, 0, nullptr));
        YSurfaceDC dc(&surface, 0);
        const struct {
            const char* text;
            YLayoutGroup* group;
            int want;
        } rows[] = {
            {"xs 0.5", &m_group, 100}, {"ys 0.5", &m_group, 50},  {"-xs 0.5", &m_group, -100},
            {"xs 0.5", nullptr, 160},  {"ys 0.25", nullptr, 50}, {"xs 1 -0.5", &m_group, 100},
        };
        for (const auto& r : rows) {
            EXPECT_EQ(r.want, m_layout.ResolveValue(r.text, &dc, r.group)) << r.text;
            EXPECT_FLOAT_EQ(static_cast<float>(r.want), m_layout.ResolveFloat(r.text, &dc, r.group)) << r.text;
        }
        // No surface and no group: nothing to measure.
        EXPECT_EQ(0, Value("xs 0.5"));
    }
}

TEST_F(LayoutValues, StoreWordsByNameIndexAndNestedKeyword)
{
    m_values.Set("[   1.00000,    2.00000,    3.00000]", "42");
    m_plane->m_position = YVector(1.0f, 2.0f, 3.0f);
    const IntRow rows[] = {
        {"str Lives", 3},      {"str 0", 3},         {"str 1 1", 3},        {"str 0 5", 8},       {"-str Lives 1", -4},
        {"str Missing", 0},    {"str 99", 0},        {"str -1", 0},         {"str", 0},           {"setting Speed", 7},
        {"layout Panel", 11},  {"str cpos", 42},     {"str xs", 0},         {"str 1 str 0", 5},
    };
    for (const IntRow& r : rows) EXPECT_EQ(r.want, Value(r.text)) << r.text;

    const FloatRow floats[] = {{"str Ratio", 2.5f},   {"str 1 0.5", 3.0f}, {"layout Scale", 0.25f},
                               {"layout Scale 1", 1.25f}, {"-str Ratio", -2.5f}, {"str", 0.0f}};
    for (const FloatRow& r : floats) EXPECT_FLOAT_EQ(r.want, Float(r.text)) << r.text;

    const TextRow texts[] = {{"str Key", "Lives"}, {"str 2", "Lives"},  {"setting Speed", "7"}, {"layout Panel", "11"},
                             {"layout 0", "11"},   {"str", ""},         {"layout Nothing", ""}};
    for (const TextRow& r : texts) EXPECT_EQ(r.want, Text(r.text)) << r.text;
}

TEST_F(LayoutValues, ConfigurationWordsAskTheConfiguration)
{
    YString saved;
    ASSERT_TRUE(e->m_configData->Get(YString("sys_map"), saved, 0));
    e->m_configData->Set(YString("sys_map"), YString("Meadow"), 0);
    EXPECT_EQ("Meadow", Text("config sys_map"));
    EXPECT_EQ("", Text("config"));
    e->m_configData->Set(YString("sys_map"), YString("12"), 0);
    EXPECT_EQ(15, Value("config sys_map 3"));
    EXPECT_FLOAT_EQ(12.5f, Float("config sys_map 0.5"));
    e->m_configData->Set(YString("sys_map"), saved, 0);
}

TEST_F(LayoutValues, HudMarkersAtTheEndsAndForANonPlane)
{
    const struct {
        int throttle;
        float fuel;
        int wantThrottle;
        int wantFuel;
    } rows[] = {
        {0, 0.0f, 10, 530}, {254, 254.0f, 109, 629}, {255, 255.0f, 110, 630}, {255, 254.9f, 110, 629},
        {100, 100.0f, 49, 569},
    };
    for (const auto& r : rows) {
        m_plane->m_throttle = r.throttle;
        m_plane->m_fuel = r.fuel;
        EXPECT_EQ(r.wantThrottle, Value("xthrottle 500")) << r.throttle;
        EXPECT_EQ(r.wantFuel, Value("xfuel")) << r.fuel;
        EXPECT_FLOAT_EQ(0.0f, Float("xthrottle")) << "no float word";
    }
    YActor* balloon = new YActor;
    m_world.AddActor(balloon);
    m_world.SetViewActor(balloon);
    EXPECT_EQ(10, Value("xthrottle"));
    EXPECT_EQ(530, Value("xfuel"));
    m_world.SetViewActor(nullptr);
    EXPECT_EQ(10, Value("xthrottle"));
    e->m_world = nullptr;
    EXPECT_EQ(530, Value("xfuel"));
}

TEST_F(LayoutValues, CompassAndInterfaceWords)
{
    e->m_compass->m_centreX = 500;
    EXPECT_EQ(500, Value("compassx 7"));
    EXPECT_EQ(375, Value("compassy"));
    e->m_compass->m_centreX = 540;

    e->m_gameState.m_pilotTeaser = 3;
    e->m_gameState.m_scoreRank = 2;
    EXPECT_EQ(3, Value("interfacecharteaser"));
    EXPECT_EQ(2, Value("interfaceeditscore"));
    e->m_won = 1;
    e->m_gameConfig->m_levelIndex = 3;
    EXPECT_EQ(1, Value("interfacedonextlevel"));
    e->m_gameConfig->m_levelIndex = 4;
    EXPECT_EQ(0, Value("interfacedonextlevel"));
    const struct {
        const char* type;
        int want;
    } episodes[] = {{"balloon", 1}, {"dogfight", 2}, {"airrace", 3}, {"tunnix", 4}, {"practice", 0}};
    for (const auto& r : episodes) {
        e->m_gameConfig->m_gameType = r.type;
        EXPECT_EQ(r.want, Value("interfaceepisode")) << r.type;
    }
    e->m_gameConfig->m_gameType = "dogfight";
    EXPECT_EQ("Interface2:default_bg_df", Text("interfacebg"));

    for (int row = 0; row < YGameState::ScoreRows; ++row) {
        e->m_gameState.m_scoreNames[row].Format("name %d", row);
        e->m_gameState.m_scoreValues[row].Format("%d", 1000 - row);
        e->m_gameState.m_scorePictures[row].Format("Interface2:pic%d", row);
    }
    const TextRow texts[] = {{"interfacescorename1", "name 0"},  {"InterfaceScoreName5", "name 4"},
                             {"interfacescorevalue2", "999"},    {"interfacescorepicture3", "Interface2:pic2"},
                             {"interfacescorename6", "interfacescorename6"}, {"interfacescorename", "interfacescorename"}};
    for (const TextRow& r : texts) EXPECT_EQ(r.want, Text(r.text)) << r.text;
}

TEST_F(LayoutValues, CameraWordsReadTheSnapshotWithTheirQuirks)
{
    PlaceCamera(YVector(100.4f, 20.0f, -30.6f), YVector(10.0f, 352.0f, 0.0f));
    m_layout.UpdateCamera();
    const IntRow ints[] = {{"cy", 100}, {"cx", 20}, {"cz 1", -29}, {"cyaw", 352}, {"cpitch 5", 15},
                           {"-cyaw", -352}, {"cheading 7", 352}, {"cthirdperson", 0}};
    for (const IntRow& r : ints) EXPECT_EQ(r.want, Value(r.text)) << r.text;
    const FloatRow floats[] = {{"cy", 100.4f}, {"cz 0.5", -30.1f}, {"cyaw 1", 353.0f}, {"cheading", 352.0f},
                               {"cthirdperson", 0.0f}};
    for (const FloatRow& r : floats) EXPECT_NEAR(r.want, Float(r.text), 1e-3f) << r.text;
    const TextRow texts[] = {{"cy", "100"}, {"cx", "20"}, {"cz", "-31"}, {"cyaw", "352"}, {"cpitch", "10"},
                             {"cheading", "N"}, {"cthirdperson", "0"}, {"clat", ""}, {"clon", ""}};
    for (const TextRow& r : texts) EXPECT_EQ(r.want, Text(r.text)) << r.text;

    // Without a local plane the heading word is 0 and the snapshot stays.
    e->m_localClient->m_plane = nullptr;
    m_layout.UpdateCamera();
    EXPECT_EQ(0, Value("cheading"));
    EXPECT_EQ(352, Value("cyaw"));
}

TEST_F(LayoutValues, TheSnapshotFollowsThePlaneOnlyInTheActiveWorld)
{
    PlaceCamera(YVector(1.0f, 2.0f, 3.0f), YVector(4.0f, 5.0f, 6.0f));
    m_layout.UpdateCamera();
    EXPECT_FLOAT_EQ(1.0f, m_layout.m_vCameraPos.x);
    EXPECT_FLOAT_EQ(5.0f, m_layout.m_vCameraAngles.y);

    PlaceCamera(YVector(7.0f, 8.0f, 9.0f), YVector(0.0f, 90.0f, 0.0f));
    YActorWorld other;
    e->m_world = &other;
    m_layout.UpdateCamera();
    EXPECT_FLOAT_EQ(1.0f, m_layout.m_vCameraPos.x) << "the plane is not in the active world";
    e->m_world = nullptr;
    m_layout.UpdateCamera();
    EXPECT_FLOAT_EQ(5.0f, m_layout.m_vCameraAngles.y);
    e->m_world = &m_world;
    m_layout.UpdateCamera();
    EXPECT_FLOAT_EQ(7.0f, m_layout.m_vCameraPos.x);
    EXPECT_FLOAT_EQ(90.0f, m_layout.m_vCameraAngles.y);
}

TEST_F(LayoutValues, LocalPlaneTexts)
{
    m_plane->m_position = YVector(1.0f, -2.5f, 3.0f);
    m_plane->m_velocity = YVector(0.0f, 10.0f, 0.0f);
    m_plane->m_angles = YVector(0.0f, 90.0f, 0.0f);
    m_plane->m_speedPercent = 0.5f;
    for (int& sample : e->m_localClient->m_samples) sample = 0;
    e->m_localClient->m_samples[3] = 40;
    e->m_localClient->m_samples[9] = 61;
    e->m_localClient->m_averageDirty = 1;
    const TextRow texts[] = {{"cpos", "[   1.00000,   -2.50000,    3.00000]"},
                             {"cvel", "[   0.00000,   10.00000,    0.00000]"},
                             {"corient", "[   0.00000,   90.00000,    0.00000]"},
                             {"cslow", "0.500000"},
                             {"cping", "50"}};
    for (const TextRow& r : texts) EXPECT_EQ(r.want, Text(r.text)) << r.text;
    e->m_localClient->m_plane = nullptr;
    for (const TextRow& r : texts) EXPECT_EQ("", Text(r.text)) << r.text << " without a local plane";
}

TEST_F(LayoutValues, AltitudeNeedsARendererAndItsGrid)
{
    PlaceCamera(YVector(100.0f, 0.0f, 50.0f), YVector(0.0f, 0.0f, 0.0f));
    m_layout.UpdateCamera();
    // No grid while the renderer holds no map session: the word itself.
    EXPECT_EQ("calt", Text("calt"));
    EXPECT_EQ(0xFFFFFFFFu, m_renderer.m_heightIndex);
    m_renderer.SetGrid(64, 32);
    EXPECT_EQ("123 ft", Text("calt"));
    // Column 100 * 16 / 64 = 25, row 50 * 16 / 32 = 25.
    EXPECT_EQ(25u * 256u + 25u, m_renderer.m_heightIndex);
    e->m_renderer = nullptr;
    EXPECT_EQ("calt", Text("calt"));
}

TEST_F(LayoutValues, CountdownNeedsRulesAndATimeLeft)
{
    EXPECT_EQ("", Text("countdown")) << "no rules";
    e->m_rules = &m_rules;
    const struct {
        int seconds;
        const char* want;
    } rows[] = {{75, "1:15"}, {65, "1:05"}, {60, "1:00"}, {600, "10:00"}, {9, "9"}, {0, "0"}, {-1, ""}};
    for (const auto& r : rows) {
        m_rules.m_secondsLeft = r.seconds;
        EXPECT_EQ(r.want, Text("countdown")) << r.seconds;
    }
}

TEST_F(LayoutValues, AngleToSectorStepsByTwentyTwo)
{
    const struct {
        int angle;
        int want;
    } rows[] = {{0, 0}, {11, 0}, {12, 1}, {22, 1}, {340, 15}, {351, 0}, {352, 0}, {359, 0}, {360, 0},
                {-11, 0}, {-12, 0}, {-45, 14}, {720, 1}, {33, 1}, {34, 2}};
    for (const auto& r : rows) EXPECT_EQ(r.want, AngleToSector(r.angle, 16)) << r.angle;
    // Far past a turn the index still names a sector.
    for (int angle : {1000, -1000, 100000, INT_MAX, INT_MIN}) {
        const int sector = AngleToSector(angle, 16);
        EXPECT_GE(sector, 0) << angle;
        EXPECT_LT(sector, 16) << angle;
    }
    EXPECT_EQ(0, AngleToSector(100, 0));
    EXPECT_EQ(1, AngleToSector(90, 4));
}

TEST_F(LayoutValues, CameraRangeIsTracedAtMostEvery250Ms)
{
    // Nothing ahead yet.
    EXPECT_EQ("Undefined", Text("crange"));
    EXPECT_EQ(1, m_renderer.m_traces);

    PlaceCamera(YVector(10.0f, 5.0f, 20.0f), YVector(0.0f, 0.0f, 0.0f));
    m_renderer.m_traceClear = 0;
    m_renderer.m_haveHit = true;
    m_renderer.m_hit.m_hitCode = YTraceResult::kTerrain;
    // A hit 30 m ahead along +z, in render units.
    m_renderer.m_hit.m_hitPoint[0] = 10.0f * 16.0f;
    m_renderer.m_hit.m_hitPoint[1] = 5.0f * 16.0f;
    m_renderer.m_hit.m_hitPoint[2] = 50.0f * 16.0f;
    platform::Clock::Advance(251);
    const float range = m_layout.GetCameraRange();
    EXPECT_NEAR(30.0f, range, 0.1f);
    EXPECT_EQ(2, m_renderer.m_traces);
    EXPECT_EQ(0x73Bu, m_renderer.m_traceFlags);
    EXPECT_NEAR(20.0f * 16.0f, m_renderer.m_traceFrom[2], 0.01f);
    EXPECT_NEAR((20.0f + 1024.0f) * 16.0f, m_renderer.m_traceTo[2], 0.5f);
    CString shown;
    shown.Format("%.2f m", range);
    EXPECT_EQ((const char*)shown, Text("crange"));
    EXPECT_EQ(static_cast<int>(range), Value("crange 100"));

    // Cached within 250 ms, even when the camera moved.
    m_renderer.m_hit.m_hitPoint[2] = 80.0f * 16.0f;
    platform::Clock::Advance(250);
    EXPECT_FLOAT_EQ(range, Float("crange"));
    EXPECT_EQ(2, m_renderer.m_traces);
    platform::Clock::Advance(1);
    EXPECT_NEAR(60.0f, Float("crange"), 0.1f);

    // A hit that does not count, a clear line and no hit record: -1.
    const struct {
        DWORD code;
        int clear;
        bool hit;
    } misses[] = {{0x1000, 0, true}, {YTraceResult::kTerrain, 1, true}, {YTraceResult::kTerrain, 0, false}};
    for (const auto& m : misses) {
        m_renderer.m_hit.m_hitCode = m.code;
        m_renderer.m_traceClear = m.clear;
        m_renderer.m_haveHit = m.hit;
        platform::Clock::Advance(300);
        EXPECT_FLOAT_EQ(-1.0f, m_layout.GetCameraRange()) << m.code << " " << m.clear;
        EXPECT_EQ("Undefined", Text("crange"));
    }
    // No local plane: nothing is traced.
    const int traces = m_renderer.m_traces;
    e->m_localClient->m_plane = nullptr;
    platform::Clock::Advance(300);
    EXPECT_FLOAT_EQ(-1.0f, m_layout.GetCameraRange());
    EXPECT_EQ(traces, m_renderer.m_traces);
}

TEST_F(LayoutValues, ThirdPersonFromTheViewVectorOrAnotherViewActor)
{
    EXPECT_FALSE(m_layout.IsThirdPerson());
    m_world.m_cameraOffset = YVector(0.0f, 2.0f, -8.0f);
    EXPECT_TRUE(m_layout.IsThirdPerson());
    m_world.m_cameraOffset = YVector(0.0f, 0.0f, 0.0f);
    YActor* other = new YActor;
    m_world.AddActor(other);
    m_world.SetViewActor(other);
    EXPECT_TRUE(m_layout.IsThirdPerson());
    EXPECT_EQ(1, Value("cthirdperson"));
    EXPECT_EQ("1", Text("cthirdperson"));
    m_world.SetViewActor(nullptr);
    EXPECT_FALSE(m_layout.IsThirdPerson()) << "no view actor";
    m_world.SetViewActor(other);
    e->m_world = nullptr;
    EXPECT_FALSE(m_layout.IsThirdPerson()) << "no world";
}

TEST_F(LayoutValues, EachResolverCountsItsCallsAndDrawStartsThemAgain)
{
    Value("");
    Value("1 2 3");
    Float("xr");
    Text("str Key");
    // "1 2 3" resolves "2 3", "3" and the empty rest too.
    EXPECT_EQ(5, m_layout.m_nValueCalls);
    EXPECT_EQ(1, m_layout.m_nFloatCalls);
    EXPECT_EQ(1, m_layout.m_nTextCalls);
    YDC dc;
    m_layout.Draw(&dc);
    EXPECT_EQ(0, m_layout.m_nValueCalls);
    EXPECT_EQ(0, m_layout.m_nFloatCalls);
    EXPECT_EQ(0, m_layout.m_nTextCalls);
}

TEST_F(LayoutValues, DeepExpressionsStopAtTheNestingLimit)
{
    std::string ones;
    for (int i = 0; i < 200; ++i) ones += "1 ";
    EXPECT_EQ(YAppLayout::kMaxResolveDepth, Value(ones.c_str()));
    std::string scales;
    for (int i = 0; i < 100; ++i) scales += "xs ";
    EXPECT_EQ(0, Value(scales.c_str(), &m_group));
    // The limit is per chain: the next expression resolves whole.
    EXPECT_EQ(3, Value("1 1 1"));
}
