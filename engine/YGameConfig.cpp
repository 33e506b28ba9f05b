#include "engine/YGameConfig.h"

#include <cstdlib>
#include <cstring>

#include "engine/YCommandInterpreter.h"
#include "engine/YGameObjects.h"
#include "foundation/YConfigData.h"
#include "foundation/YGraphicsData.h"
#include "foundation/YObjectDef.h"
#include "foundation/YObjectDefList.h"

const char* const YGameConfig::PresetKeys[PresetValues] = {
    "gfx_cloudlayers",   "gfx_texdetail",      "gfx_landmipmapped",      "gfx_shadowactors",
    "gfx_shadowstatics", "gfx_shadowtree",     "gfx_skysprites",         "gfx_spriteperspective",
    "gfx_treesmipmapped", "gfx_alphasprites",  "gfx_amountofdetail",     "gfx_animationquality",
    "gfx_backgroundquality", "gfx_filter",     "gfx_fog",                "gfx_landpop",
    "gfx_overlaypersistence", "gfx_shadowquality", "gfx_softsprites",    "gfx_texturequality",
    "gfx_treelod",       "gfx_treedensity",    "gfx_treeoverlap",        "gfx_treepop",
};

// System keys in the order Set tries them and Save writes them.
const YGameConfig::SysKey YGameConfig::SysKeys[] = {
    {"sys_data", &YGameConfig::m_dataDir, nullptr},
    {"sys_map", &YGameConfig::m_map, nullptr},
    {"sys_plane", &YGameConfig::m_plane, nullptr},
    {"sys_planeskin", nullptr, &YGameConfig::m_planeSkin},
    {"sys_game_type", &YGameConfig::m_gameType, nullptr},
    {"sys_3dIndicator", nullptr, &YGameConfig::m_3dIndicator},
    {"sys_game_level", nullptr, &YGameConfig::m_gameLevel},
    {"sys_exec", &YGameConfig::m_exec, nullptr},
    {"sys_ui", nullptr, &YGameConfig::m_ui},
    {"sys_opponent", &YGameConfig::m_opponent, nullptr},
    {"sys_physicsscaler", nullptr, &YGameConfig::m_physicsScaler},
    {"autolevel", nullptr, &YGameConfig::m_autoLevel},
    {"autopitch", nullptr, &YGameConfig::m_autoPitch},
    {nullptr, nullptr, nullptr},
};

namespace {
const char* const ScorePrefixes[3] = {"hs_nam_e", "hs_val_e", "hs_pic_e"};

struct DefaultScore {
    const char* name;
    const char* picture;
    const char* values[YGameConfig::GameTypes];
};
const DefaultScore DefaultScores[YGameConfig::ScoreRows] = {
    {"Rocket Kordel", "Interface2:char_icon_kordel", {"510", "1070", "650", "375"}},
    {"Jetspeed Varnel", "Interface2:char_icon_varnel", {"415", "715", "525", "250"}},
    {"Airfoil Ostrel", "Interface2:char_icon_ostrel", {"150", "150", "150", "150"}},
    {"Tailspin Halvorn", "Interface2:char_icon_halvorn", {"100", "100", "100", "100"}},
    {"Crash Brannick", "Interface2:char_icon_brannick", {"50", "50", "50", "50"}},
};

const int DefaultPresetValues[YGameConfig::Presets][YGameConfig::PresetValues] = {
    {1, 0, 1, 0, 0, 0, 1, 0, 1, 0, 100, 0, 1, 2, 0, 100, 4000, 0, 0, 1, 20, 0, 0, 40},
    {1, 0, 1, 1, 0, 0, 1, 0, 1, 0, 100, 0, 2, 2, 1, 200, 4000, 0, 1, 1, 20, 0, 0, 40},
    {1, 1, 1, 1, 0, 0, 1, 0, 1, 1, 100, 1, 2, 4, 1, 300, 4000, 2, 1, 2, 20, 0, 0, 40},
};

const char* const PresetHeadings[YGameConfig::Presets] = {
    "\n// Detail low settings\n",
    "\n// Detail medium settings\n",
    "\n// Detail high settings\n",
};

bool ValidScore(int type, int row)
{
    return type >= 0 && type < YGameConfig::GameTypes && row >= 0 && row < YGameConfig::ScoreRows;
}
}  // namespace

YGameConfig::YGameConfig()
    : m_practice(0), m_autoLevel(0), m_autoPitch(1), m_gameLevel(0), m_planeSkin(0), m_ui(0),
      m_physicsScaler(100), m_3dIndicator(0), m_levelIndex(0), m_detailSetting(DetailNone)
{
    DefaultHighScores();
    DefaultPresets();
}

YString* YGameConfig::FindScoreField(const YString& key)
{
    YString name;
    for (int t = 0; t < GameTypes; ++t) {
        for (int i = 0; i < ScoreRows; ++i) {
            YHighScore& entry = m_highScores[t][i];
            YString* fields[3] = {&entry.m_name, &entry.m_value, &entry.m_picture};
            for (int f = 0; f < 3; ++f) {
                name.Format("%s%d_s%d", ScorePrefixes[f], t, i);
                if (lstrcmpiA(key, name) == 0) return fields[f];
            }
        }
    }
    return nullptr;
}

int* YGameConfig::FindPresetField(const YString& key)
{
    YString name;
    for (int p = 0; p < Presets; ++p) {
        for (int k = 0; k < PresetValues; ++k) {
            name.Format("det%d_%s", p, PresetKeys[k]);
            if (lstrcmpiA(key, name) == 0) return &m_presets[p][k];
        }
    }
    return nullptr;
}

int YGameConfig::Set(const YString& key, const YString& value, int)
{
    for (const SysKey* k = SysKeys; k->name; ++k) {
        if (k->text ? SetStringIf(key, k->name, value, this->*(k->text))
                    : SetIntIf(key, k->name, value, this->*(k->number)))
            return 1;
    }
    if (YString* field = FindScoreField(key)) {
        *field = CleanValue(value);
        return 1;
    }
    if (SetIntIf(key, "det_setting", value, m_detailSetting)) return 1;
    if (int* field = FindPresetField(key)) {
        *field = rcv_atoi(value);
        return 1;
    }
    return 0;
}

int YGameConfig::Get(const YString& key, YString& value, int)
{
    for (const SysKey* k = SysKeys; k->name; ++k) {
        if (k->text ? GetStringIf(key, k->name, value, this->*(k->text))
                    : GetIntIf(key, k->name, value, this->*(k->number)))
            return 1;
    }
    if (YString* field = FindScoreField(key)) {
        value = *field;
        return 1;
    }
    if (GetIntIf(key, "det_setting", value, m_detailSetting)) return 1;
    if (int* field = FindPresetField(key)) {
        value.Format("%d", *field);
        return 1;
    }
    return 0;
}

int YGameConfig::ListKeys(CArray<YString>& names, int)
{
    static const char* const listed[] = {
        "\n-- System settings\n", "sys_data", "sys_map", "sys_plane", "sys_game_type", "sys_3dIndicator",
        "sys_game_level", "sys_exec", "sys_ui", "sys_opponent", "sys_physicsscaler", "autolevel", "autopitch",
    };
    for (const char* name : listed) names.Add(YString(name));
    return 1;
}

void YGameConfig::Save(CStdioFile& file)
{
    YString line;
    file.WriteString("\n-- System settings\n\n");
    for (const SysKey* k = SysKeys; k->name; ++k) {
        if (k->text)
            line.Format("set %s \"%s\"\n", k->name, (const char*)CleanValue(this->*(k->text)));
        else
            line.Format("set %s \"%d\"\n", k->name, this->*(k->number));
        file.WriteString(line);
    }

    file.WriteString("\n-- Scores\n\n");
    for (int t = 0; t < GameTypes; ++t) {
        for (int i = 0; i < ScoreRows; ++i) {
            const YHighScore& entry = m_highScores[t][i];
            const YString* fields[3] = {&entry.m_name, &entry.m_value, &entry.m_picture};
            for (int f = 0; f < 3; ++f) {
                line.Format("set %s%d_s%d \"%s\"\n", ScorePrefixes[f], t, i, (const char*)CleanValue(*fields[f]));
                file.WriteString(line);
            }
        }
    }

    file.WriteString("\n-- Detail Settings\n\n");
    line.Format("set %s \"%d\"\n", "det_setting", m_detailSetting);
    file.WriteString(line);
    for (int p = 0; p < Presets; ++p) {
        file.WriteString(PresetHeadings[p]);
        for (int k = 0; k < PresetValues; ++k) {
            line.Format("set det%d_%s \"%d\"\n", p, PresetKeys[k], m_presets[p][k]);
            file.WriteString(line);
        }
    }
}

void YGameConfig::GetHighScore(int type, int row, YHighScore& out) const
{
    if (!ValidScore(type, row)) return;
    out = m_highScores[type][row];
}

void YGameConfig::SetHighScore(int type, int row, const YHighScore& in)
{
    if (!ValidScore(type, row)) return;
    YHighScore& entry = m_highScores[type][row];
    entry.m_name = CleanValue(in.m_name);
    entry.m_value = CleanValue(in.m_value);
    entry.m_picture = CleanValue(in.m_picture);
}

void YGameConfig::ApplyPreset(int preset, YConfigData* config)
{
    if (!config || !config->m_graphics || preset < 0 || preset >= Presets) return;
    for (int k = 0; k < PresetValues; ++k) config->m_graphics->SetPresetValue(PresetKeys[k], m_presets[preset][k]);
    m_detailSetting = preset;
}

int YGameConfig::PresetForElapsed(DWORD elapsed)
{
    if (elapsed < 1000) return DetailHigh;
    if (elapsed < 3000) return DetailMedium;
    return DetailLow;
}

void YGameConfig::ChooseDetailSetting()
{
    DWORD start = GetTickCount();
    DWORD elapsed = 0;
    double acc = 0.0;
    for (double b = 0.1; b < 50.0; b += 0.1) {
        for (double a = 0.01; a < 25.0; a += 0.01) {
            double x = rand() * a * b * 0.01 + acc;
            acc = (double)((uint32_t)(int64_t)x >> 4);
        }
        elapsed = GetTickCount() - start;
        if (elapsed > 3000) break;
    }
    m_detailSetting = PresetForElapsed(elapsed);
}

void YGameConfig::LoadDefaults(YConfigData* config)
{
    if (!config) return;
    YGameObjects* engine = YGameObjects::Instance();
    if (engine->m_interpreter) {
        YString output;
        engine->m_interpreter->ExecFile(m_dataDir + "\\defaults.yss", &output, false);
    }
    DefaultPresets();
    ChooseDetailSetting();
    ApplyPreset(m_detailSetting, config);
}

void YGameConfig::DefaultHighScores()
{
    for (int t = 0; t < GameTypes; ++t) {
        for (int i = 0; i < ScoreRows; ++i) {
            YHighScore& entry = m_highScores[t][i];
            entry.m_name = DefaultScores[i].name;
            entry.m_value = DefaultScores[i].values[t];
            entry.m_picture = DefaultScores[i].picture;
        }
    }
}

void YGameConfig::DefaultPresets()
{
    memcpy(m_presets, DefaultPresetValues, sizeof(m_presets));
    m_detailSetting = DetailNone;
}

// ---------------------------------------------------------------- session settings
namespace {
struct VerbRow {
    int number;
    const char* word;
    const char* value;
};
const VerbRow kVerbs[] = {
    {1, "forward", "0"},          {2, "back", "0"},             {3, "right", "0"},
    {4, "left", "0"},             {5, "run", "0"},              {8, "tright", "0"},
    {9, "tleft", "0"},            {10, "lup", "0"},             {11, "ldown", "0"},
    {12, "look", "1"},            {90, "pitch", "2"},           {91, "yaw", "3"},
    {92, "click", "4"},           {93, "click2", "5"},          {13, "center", "1"},
    {14, "throttleoff", "0"},     {15, "throttlelow", "0"},     {16, "throttlemed", "0"},
    {17, "throttlehigh", "0"},    {43, "throttleup", "0"},      {44, "throttledn", "0"},
    {45, "altthrottleup", "0"},   {46, "altthrottledn", "0"},   {39, "playermode", "0"},
};
const VerbRow kLaterVerbs[] = {
    {18, "balloonblue", "0"},      {19, "balloonred", "0"},        {20, "balloonorange", "0"},
    {21, "tunnixblue", "0"},       {22, "tunnixred", "0"},         {23, "tunnixyellow", "0"},
    {24, "waypointonplace", "0"},  {25, "waypointoffplace", "0"},  {26, "powerupdisruptor", "0"},
    {27, "powerupbbammo", "0"},    {28, "powerupfuel", "0"},       {29, "poweruptornado", "0"},
    {30, "powerupflash", "0"},     {31, "target1", "0"},           {32, "target2", "0"},
    {33, "target3", "0"},          {34, "goal", "0"},              {58, "toggle3d", "0"},
    {35, "start", "0"},            {36, "end", "0"},               {40, "view", "0"},
    {41, "fire", "0"},             {42, "use", "0"},               {57, "autolevel", "0"},
    {61, "autopitch", "0"},        {59, "restock", "0"},           {62, "biz", "0"},
    {60, "grabmouse", "0"},        {37, "poweruprandomgood", "0"}, {38, "poweruprandombad", "0"},
};

struct SettingRow {
    int number;
    const char* key;
    const char* value;
    uint32_t kind;
};
const SettingRow kSettings[] = {
    {0, "game_editmode", "0", 2},      {1, "game_pointmode", "0", 2},    {2, "game_date", "01/01/99", 1},
    {3, "game_time", "00:00 AM", 1},   {4, "game_wind_dir", "0", 1},     {5, "game_wind_mps", "0", 1},
    {6, "game_wind_mph", "0 MPH", 1},  {7, "game_casings", "32", 1},     {8, "game_projectiles", "32", 1},
    {9, "game_holes", "50", 1},        {10, "game_autoreload", "0", 1},  {11, "game_timerate", "6", 0},
    {12, "game_voiceovers", "1", 1},   {14, "game_max_deer", "50", 1},   {13, "game_min_deer", "0", 1},
    {15, "game_htracks", "1", 1},      {16, "game_populate", "1", 1},    {17, "game_dedicatedmap", "0", 2},
    {18, "game_dedicatedmapdeer", "0", 1}, {19, "game_synctrace", "0", 2}, {20, "game_ui", "0", 2},
    {100, "cl_msgmode", "0", 0},       {101, "cl_progress", "0", 0},     {102, "cl_cancancel", "0", 0},
    {103, "cl_hud", "0", 0},           {104, "cl_invoffset", "0", 0},    {105, "cl_invstring", "", 0},
    {106, "cl_ammostring", "", 0},     {107, "cl_viewsize", "0", 0},     {108, "cl_huddepth", "0", 0},
    {109, "cl_message1", "", 0},       {110, "cl_message2", "", 0},      {111, "cl_message3", "", 0},
    {112, "cl_message4", "", 0},       {113, "cl_message5", "", 0},      {114, "cl_chamber1", "", 0},
    {115, "cl_chamber2", "", 0},       {116, "cl_chamber3", "", 0},      {117, "cl_chamber4", "", 0},
    {118, "cl_chamger5", "", 0},       {119, "cl_chamger6", "", 0},      {120, "cl_progmsg1", "", 0},
    {121, "cl_progmsg2", "", 0},       {122, "cl_progmsg3", "", 0},      {123, "cl_showwind", "0", 0},
    {124, "cl_showcomp", "0", 0},      {125, "cl_lgunimage", "0", 0},    {126, "cl_scopeindex", "0", 0},
    {127, "cl_netgraph", "0", 0},      {128, "cl_fov", "60", 0},
};
}  // namespace

void YGameConfig::RegisterSessionSettings()
{
    YGameObjects* engine = YGameObjects::Instance();
    engine->m_registering = 1;
    RegisterControlVerbs(engine->m_verbs);
    RegisterSessionKeys(engine->m_settings, engine->m_objectDefs);
    engine->m_registering = 0;
}

void YGameConfig::RegisterControlVerbs(YDataCollection* verbs)
{
    if (!verbs) return;
    verbs->Reset();
    for (const VerbRow& row : kVerbs) verbs->SetAt(row.number, row.word, row.value, 0);
    for (int n = 0; n <= 9; ++n) {
        char word[16];
        snprintf(word, sizeof word, "throttle%d", n);
        verbs->SetAt(47 + n, word, "0", 0);
    }
    for (const VerbRow& row : kLaterVerbs) verbs->SetAt(row.number, row.word, row.value, 0);
}

void YGameConfig::RegisterSessionKeys(YDataCollection* settings, const YObjectDefList* definitions)
{
    if (!settings) return;
    settings->Reset();
    for (const SettingRow& row : kSettings) settings->SetAt(row.number, row.key, row.value, row.kind);
    YObjectDef* physics = definitions ? definitions->Find("ClientPhysics") : nullptr;
    if (!physics) return;
    for (int i = 0; i <= physics->GetLastIndex(); ++i) {
        const YString& name = physics->GetName(i);
        if (name.IsEmpty()) continue;
        settings->Set(name, physics->GetValue(i), 1);
    }
}
