#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/YConfigData.h"
#include "foundation/YGraphicsData.h"
#include "foundation/YRenderOptions.h"
#include "input/YInputObjSettings.h"
#include "sound/YSoundData.h"

namespace {

// A settings object that takes every key starting with its prefix and
// remembers what it was asked.
class RecordingConfig : public YConfigObject {
public:
    explicit RecordingConfig(const char* prefix) : m_prefix(prefix) {}
    void Save(CStdioFile& file) override { file.WriteString("-- recorded\n"); }
    int Set(const YString& key, const YString& value, int) override
    {
        m_sets.push_back(std::string(key) + "=" + std::string(value));
        return Mine(key);
    }
    int Get(const YString& key, YString& value, int) override
    {
        if (!Mine(key)) return 0;
        value = "recorded";
        return 1;
    }
    int ListKeys(CArray<YString>& names, int) override
    {
        names.Add(YString("recorded_key"));
        return 1;
    }
    void SetProfile(int level) override { m_profile = level; }
    int Mine(const YString& key) const { return strncmp(key, m_prefix.c_str(), m_prefix.size()) == 0; }

    std::string m_prefix;
    std::vector<std::string> m_sets;
    int m_profile = 0;
};

std::string TempPath(const char* name)
{
    auto dir = std::filesystem::temp_directory_path() / ("rcv_config_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Writes through the object's Save and returns the bytes on disk.
template <class Writer>
std::string WriteWith(Writer write)
{
    std::string path = TempPath("written.cfg");
    {
        CStdioFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText);
        write(file);
        file.Close();
    }
    return ReadFile(path);
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

}  // namespace

TEST(GraphicsData, KeysAreTakenWithoutRegardToCase)
{
    struct Case {
        const char* key;
        const char* value;
        int YGraphicsData::*field;
        int expected;
    };
    const Case cases[] = {
        {"gfx_fog", "1", &YGraphicsData::m_fog, 1},
        {"GFX_FOG", "0", &YGraphicsData::m_fog, 0},
        {"Gfx_TreePop", "77", &YGraphicsData::m_treePop, 77},
        {"gfx_shadowquality", "2", &YGraphicsData::m_shadowQuality, 2},
        {"gfx_bitdepth", "32abc", &YGraphicsData::m_bitDepth, 32},
        {"gfx_overlaypersistence", "abc", &YGraphicsData::m_overlayPersistence, 0},
    };
    YGraphicsData gfx;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(1, gfx.Set(c.key, c.value, 0));
        EXPECT_EQ(c.expected, gfx.*(c.field));
        YString back;
        EXPECT_EQ(1, gfx.Get(c.key, back, 0));
        EXPECT_EQ(std::to_string(c.expected), std::string(back));
    }
}

TEST(GraphicsData, UnknownAndListedOnlyKeysAreNotTaken)
{
    YGraphicsData gfx;
    YString value = "unchanged";
    for (const char* key : {"gfx_animalquality", "gfx_viewportindex", "gfx_cursor", "gfx_treeoverlap", "snd_enabled"}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(0, gfx.Set(key, "1", 0));
        EXPECT_EQ(0, gfx.Get(key, value, 0));
    }
    EXPECT_STREQ("unchanged", value);
}

TEST(GraphicsData, ResolutionFollowsSoftwareRendering)
{
    YGraphicsData gfx;
    ASSERT_EQ(1, gfx.m_software);
    EXPECT_EQ(1, gfx.Set("gfx_res", "800 600", 0));
    EXPECT_EQ(640, gfx.m_resWidth);
    EXPECT_EQ(480, gfx.m_resHeight);

    gfx.Set("gfx_software", "0", 0);
    EXPECT_EQ(1, gfx.Set("gfx_res", "1024\t768", 0));
    EXPECT_EQ(1024, gfx.m_resWidth);
    EXPECT_EQ(768, gfx.m_resHeight);
    YString value;
    gfx.Get("gfx_res", value, 0);
    EXPECT_STREQ("1024 768", value);
}

TEST(GraphicsData, FilterIsTakenOnlyByItsExactName)
{
    struct Case {
        const char* value;
        int taken;
        int filter;
    };
    const Case cases[] = {
        {"linear", 0, 3}, {"Linear", 1, 1}, {"Anisotropic", 1, 4}, {"None", 1, 0}, {"2", 0, 0}, {"", 0, 0},
    };
    YGraphicsData gfx;
    gfx.m_filter = 3;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(c.taken, gfx.Set("gfx_filter", c.value, 0));
        EXPECT_EQ(c.filter, gfx.m_filter);
    }
}

TEST(GraphicsData, FilterOutsideTheTableIsNamedByTheNearestEntry)
{
    YGraphicsData gfx;
    const std::pair<int, const char*> cases[] = {{-3, "None"}, {2, "Bilinear"}, {5, "Anisotropic"}, {1000, "Anisotropic"}};
    for (const auto& c : cases) {
        gfx.m_filter = c.first;
        YString value;
        gfx.Get("gfx_filter", value, 0);
        EXPECT_STREQ(c.second, value);
    }
}

TEST(GraphicsData, DriverIdentifierSurvivesSaveAndLoad)
{
    YGraphicsData gfx;
    for (int i = 0; i < 16; ++i) gfx.m_driverGuid[i] = (BYTE)(i * 17 + 3);
    std::string text = WriteWith([&](CStdioFile& file) { gfx.Save(file); });
    const std::string expected = "set gfx_driver_guid \"031425364758697A8B9CADBECFE0F102\"\r\n";
    ASSERT_NE(std::string::npos, text.find(expected));

    YGraphicsData loaded;
    EXPECT_EQ(1, loaded.Set("gfx_driver_guid", "031425364758697A8B9CADBECFE0F102", 0));
    EXPECT_EQ(0, memcmp(gfx.m_driverGuid, loaded.m_driverGuid, 16));
}

TEST(GraphicsData, ProfilesSetTheirTable)
{
    struct Case {
        int level;
        int landPop, textureQuality, softSprites, background, animation, filter, overlap, perspective, fog,
            skySprites, treeLod;
    };
    const Case cases[] = {
        {1, 15, 0, 1, 0, 0, 0, 0, 0, 0, 0, 40},    {2, 20, 0, 1, 1, 1, 0, 25, 0, 0, 0, 60},
        {3, 25, 1, 1, 2, 1, 1, 50, 1, 0, 0, 80},   {4, 30, 1, 2, 2, 1, 2, 75, 1, 1, 1, 100},
        {5, 35, 1, 2, 2, 1, 3, 100, 1, 1, 1, 120}, {7, 45, 1, 2, 2, 1, 3, 150, 1, 1, 1, 160},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        YGraphicsData gfx;
        gfx.SetProfile(c.level);
        EXPECT_EQ(0, gfx.m_treeDensity);
        EXPECT_EQ(c.landPop, gfx.m_landPop);
        EXPECT_EQ(c.textureQuality, gfx.m_textureQuality);
        EXPECT_EQ(c.textureQuality, gfx.m_alphaSprites);
        EXPECT_EQ(c.softSprites, gfx.m_softSprites);
        EXPECT_EQ(c.background, gfx.m_backgroundQuality);
        EXPECT_EQ(c.animation, gfx.m_animationQuality);
        EXPECT_EQ(c.filter, gfx.m_filter);
        EXPECT_EQ(c.overlap, gfx.m_treeOverlap);
        EXPECT_EQ(c.perspective, gfx.m_spritePerspective);
        EXPECT_EQ(c.fog, gfx.m_fog);
        EXPECT_EQ(c.skySprites, gfx.m_skySprites);
        EXPECT_EQ(c.skySprites, gfx.m_cloudLayers);
        EXPECT_EQ(c.skySprites, gfx.m_texDetail);
        EXPECT_EQ(c.treeLod, gfx.m_treeLod);
    }
}

TEST(GraphicsData, ExportFillsTheRendererRecordOnlyForKindTwo)
{
    YGraphicsData gfx;
    gfx.m_landPop = 11;
    gfx.m_colorKeying = 1;
    gfx.m_treeOverlap = 33;
    gfx.m_terrainBlending = true;
    gfx.m_shadowTree = 1;

    YRenderOptions untouched;
    gfx.Export(1, &untouched);
    EXPECT_EQ(0, untouched.landPop);

    YRenderOptions options;
    gfx.Export(2, &options);
    EXPECT_EQ(11, options.landPop);
    EXPECT_EQ(1, options.colorKeying);
    EXPECT_EQ(33, options.treeOverlap);
    EXPECT_EQ(1, options.terrainBlending);
    EXPECT_EQ(1, options.shadowTree);
    EXPECT_EQ(16, options.bitDepth);
    EXPECT_EQ(4000, options.overlayPersistence);
}

TEST(GraphicsData, PresetValuesAreClampedWhereTheyIndexTheFilterNames)
{
    YGraphicsData gfx;
    const std::pair<int, int> cases[] = {{4, 4}, {9, 4}, {-2, 0}, {1, 1}};
    for (const auto& c : cases) {
        EXPECT_EQ(1, gfx.SetPresetValue("gfx_filter", c.first));
        EXPECT_EQ(c.second, gfx.m_filter);
    }
    EXPECT_EQ(1, gfx.SetPresetValue("gfx_treeoverlap", 60));
    EXPECT_EQ(60, gfx.m_treeOverlap);
    EXPECT_EQ(1, gfx.SetPresetValue("GFX_LANDPOP", 300));
    EXPECT_EQ(300, gfx.m_landPop);
    EXPECT_EQ(0, gfx.SetPresetValue("gfx_nothing", 1));
}

TEST(GraphicsData, SaveWritesEveryKeyOnceWithIntegerLinesEndingInABlank)
{
    YGraphicsData gfx;
    std::vector<std::string> lines = Lines(WriteWith([&](CStdioFile& file) { gfx.Save(file); }));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ("\r", lines[0]);
    EXPECT_EQ("-- Graphic settings\r", lines[1]);
    int intLines = 0;
    for (const std::string& line : lines) {
        if (line.rfind("set gfx_", 0) != 0) continue;
        bool textLine = line.rfind("set gfx_driver_guid", 0) == 0 || line.rfind("set gfx_res", 0) == 0 ||
                        line.rfind("set gfx_filter", 0) == 0;
        EXPECT_EQ(textLine ? "\"\r" : "\" \r", line.substr(line.size() - (textLine ? 2 : 3))) << line;
        if (!textLine) ++intLines;
    }
    EXPECT_EQ(33, intLines);
    EXPECT_EQ("set gfx_filter \"Linear\"\r", Lines(WriteWith([&](CStdioFile& file) {
                                                     gfx.m_filter = 1;
                                                     gfx.Save(file);
                                                 })).back());
}

TEST(ConfigObject, MatchersCompareWithoutCaseAndKeepValuesOnOneLine)
{
    RecordingConfig object("x");
    YString text;
    int number = 5;
    EXPECT_EQ(0, object.SetStringIf("sys_other", "sys_map", "a", text));
    EXPECT_EQ(1, object.SetStringIf("SYS_MAP", "sys_map", "island", text));
    EXPECT_STREQ("island", text);
    EXPECT_EQ(1, object.SetIntIf("Level", "level", "12x", number));
    EXPECT_EQ(12, number);
    YString shown;
    EXPECT_EQ(1, object.GetIntIf("LEVEL", "level", shown, number));
    EXPECT_STREQ("12", shown);

    CString field;
    EXPECT_EQ(1, object.SetCStringIf(CString("Name"), "name", "a\"b", field));
    EXPECT_STREQ("ab", field);

    const std::pair<const char*, const char*> cases[] = {
        {"plain", "plain"},
        {"with \"quotes\"; quit", "with quotes; quit"},
        {"two\r\nlines", "twolines"},
        {"semi;colon", "semi;colon"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(1, object.SetStringIf("k", "k", c.first, text));
        EXPECT_STREQ(c.second, text);
    }
    std::string longValue(500, 'v');
    object.SetStringIf("k", "k", longValue.c_str(), text);
    EXPECT_EQ(YConfigObject::MaxTextValue, text.GetLength());
}

TEST(ConfigData, FreshChainStartsAtProfileOne)
{
    YConfigData config;
    EXPECT_EQ(1, config.m_sysProfile);
    EXPECT_EQ(15, config.m_graphics->m_landPop);
    EXPECT_EQ(40, config.m_graphics->m_treeLod);
    EXPECT_EQ(0, config.m_graphics->m_filter);
    EXPECT_EQ(0, config.m_graphics->m_treeOverlap);
    EXPECT_EQ(50, config.m_sound->m_3dResolution);
    EXPECT_EQ(nullptr, config.m_input);
    EXPECT_EQ(nullptr, config.m_game);
}

TEST(ConfigData, SystemProfileIsOnlyStoredBySet)
{
    YConfigData config;
    EXPECT_EQ(1, config.Set("CFG_SYSPROFILE", "5", 0));
    EXPECT_EQ(5, config.m_sysProfile);
    EXPECT_EQ(15, config.m_graphics->m_landPop);
    config.SetProfile(5);
    EXPECT_EQ(35, config.m_graphics->m_landPop);
    EXPECT_EQ(100, config.m_sound->m_3dResolution);
}

TEST(ConfigData, KeysResolveThroughTheChainInOrder)
{
    YConfigData config;
    YInputObjSettings input;
    RecordingConfig game("gfx_");  // would take graphics keys too, but comes last
    config.m_input = &input;
    config.m_game = &game;

    struct Case {
        const char* key;
        const char* value;
        int taken;
        bool reachesGame;
    };
    const Case cases[] = {
        {"gfx_fog", "1", 1, false},     {"snd_3dresolution", "10", 1, false}, {"inp_slope", "2.5", 1, false},
        {"gfx_unknown", "1", 1, true},  {"nobody_has_it", "1", 0, true},      {"cfg_sysprofile", "3", 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        game.m_sets.clear();
        EXPECT_EQ(c.taken, config.Set(c.key, c.value, 0));
        EXPECT_EQ(c.reachesGame, !game.m_sets.empty());
    }
    EXPECT_EQ(1, config.m_graphics->m_fog);
    EXPECT_EQ(10, config.m_sound->m_3dResolution);
    EXPECT_FLOAT_EQ(2.5f, input.m_slope);
    EXPECT_EQ(3, config.m_sysProfile);

    YString value;
    EXPECT_EQ(1, config.Get("SND_3DRESOLUTION", value, 0));
    EXPECT_STREQ("10", value);
    EXPECT_EQ(1, config.Get("gfx_unknown", value, 0));
    EXPECT_STREQ("recorded", value);
    EXPECT_EQ(0, config.Get("nobody_has_it", value, 0));

    config.SetProfile(2);
    EXPECT_EQ(2, game.m_profile);
}

TEST(ConfigData, ListingNamesEveryMemberInChainOrder)
{
    YConfigData config;
    YInputObjSettings input;
    RecordingConfig game("x");
    config.m_input = &input;
    config.m_game = &game;
    CArray<YString> names;
    EXPECT_EQ(1, config.ListKeys(names, 0));
    std::vector<std::string> listed;
    for (int i = 0; i < names.GetSize(); ++i) listed.push_back(std::string(names[i]));
    auto at = [&](const char* name) { return std::find(listed.begin(), listed.end(), name) - listed.begin(); };
    EXPECT_EQ(0, at("cfg_sysprofile"));
    EXPECT_LT(at("\n-- Graphic settings\n"), at("\n-- Sound settings\n"));
    EXPECT_LT(at("\n-- Sound settings\n"), at("\n-- Input settings\n"));
    EXPECT_LT(at("\n-- Input settings\n"), at("recorded_key"));
    EXPECT_EQ((long)listed.size() - 1, at("recorded_key"));
    EXPECT_NE((long)listed.size(), at("[None, Linear, Bilinear, Trilinear, Anisotropic]"));
    EXPECT_EQ((long)listed.size(), at("inp_jdeadz_x"));
}

TEST(ConfigData, SaveWritesTheMembersInFileOrder)
{
    YConfigData config;
    YInputObjSettings input;
    RecordingConfig game("x");
    config.m_input = &input;
    config.m_game = &game;
    std::string text = WriteWith([&](CStdioFile& file) { config.Save(file); });
    size_t inputAt = text.find("-- Input settings");
    size_t gameAt = text.find("-- recorded");
    size_t gfxAt = text.find("-- Graphic settings");
    size_t soundAt = text.find("-- Sound settings");
    size_t endAt = text.find("\r\n--\r\n\r\nset cfg_sysprofile \"1\" \r\n");
    EXPECT_LT(inputAt, gameAt);
    EXPECT_LT(gameAt, gfxAt);
    EXPECT_LT(gfxAt, soundAt);
    EXPECT_LT(soundAt, endAt);
    ASSERT_NE(std::string::npos, endAt);
    EXPECT_EQ(text.size(), endAt + strlen("\r\n--\r\n\r\nset cfg_sysprofile \"1\" \r\n"));
}
