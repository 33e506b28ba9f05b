#include <cmath>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "input/YInputObjSettings.h"

namespace {
std::string TempPath(const char* name)
{
    auto dir = std::filesystem::temp_directory_path() / ("rcv_input_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

template <class Writer>
std::string WriteWith(Writer write)
{
    std::string path = TempPath("input.cfg");
    {
        CStdioFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText);
        write(file);
        file.Close();
    }
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

YInputObjCommand Binding(const char* name, const char* description, int key, int mouse, int joy,
                         std::initializer_list<const char*> parts = {})
{
    YInputObjCommand cmd;
    cmd.m_name = name;
    cmd.m_description = description;
    cmd.m_key = key;
    cmd.m_mouseButton = mouse;
    cmd.m_joyButton = joy;
    for (const char* part : parts) cmd.AddAliasPart(part);
    return cmd;
}

void AddBinding(YInputObjSettings& settings, const YInputObjCommand& cmd)
{
    settings.SetCommandCount(settings.GetCommandCount() + 1);
    *settings.GetCommand(settings.GetCommandCount() - 1) = cmd;
}

const std::string DefaultVars =
    "set inp_aiming \"1\"\r\n"
    "set inp_aiming_nload \"1\"\r\n"
    "set inp_invertx \"0\"\r\n"
    "set inp_inverty \"1\"\r\n"
    "set inp_joystick \"0\"\r\n"
    "set inp_lightgun \"0\"\r\n"
    "set inp_calibratelightgun \"0\"\r\n"
    "set inp_ffeedback \"0\"\r\n"
    "set inp_msmoothing \"0\"\r\n"
    "set inp_msensitivity \"20\"\r\n"
    "set inp_jsensitivity \"127\"\r\n"
    "set inp_jdeadz_x \"0\"\r\n"
    "set inp_jdeadz_y \"0\"\r\n"
    "set inp_slope \"1.000000\"\r\n";
}  // namespace

TEST(InputSettings, VariablesAreClampedAsTheyAreSet)
{
    struct Case {
        const char* name;
        const char* value;
        const char* shown;
    };
    const Case cases[] = {
        {"inp_msensitivity", "0", "1"},     {"inp_msensitivity", "300", "255"}, {"inp_msensitivity", "128", "128"},
        {"INP_JSENSITIVITY", "255", "255"}, {"inp_jsensitivity", "x", "1"},     {"inp_jdeadz_x", "-5", "0"},
        {"inp_jdeadz_y", "12", "12"},       {"inp_slope", "0.5", "1.000000"},   {"inp_slope", "2.25", "2.250000"},
        {"inp_invertx", "7", "7"},          {"inp_aiming", "0", "0"},           {"inp_msmoothing", "1", "1"},
    };
    YInputObjSettings settings;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + "=" + c.value);
        EXPECT_TRUE(settings.SetVar(c.name, c.value));
        YString shown;
        EXPECT_TRUE(settings.GetVar(c.name, shown));
        EXPECT_STREQ(c.shown, shown);
    }
    EXPECT_EQ(0, settings.m_aimingY);
    YString untouched = "same";
    EXPECT_FALSE(settings.SetVar("inp_unknown", "1"));
    EXPECT_FALSE(settings.GetVar("snd_enabled", untouched));
    EXPECT_STREQ("same", untouched);
}

TEST(InputSettings, ListingLeavesOutTheDeadZones)
{
    YInputObjSettings settings;
    CArray<YString> names;
    EXPECT_TRUE(settings.ListVars(names));
    ASSERT_EQ(13, names.GetSize());
    EXPECT_STREQ("\n-- Input settings\n", names[0]);
    EXPECT_STREQ("inp_aiming", names[1]);
    EXPECT_STREQ("inp_slope", names[12]);
    for (int i = 0; i < names.GetSize(); ++i) EXPECT_EQ(nullptr, strstr(names[i], "deadz"));
}

TEST(InputSettings, ScriptOfEmptyTableHasOnlyTheVariables)
{
    YInputObjSettings settings;
    EXPECT_EQ("\r\n-- Input settings\r\n\r\n" + DefaultVars, WriteWith([&](CStdioFile& f) { settings.WriteScript(f); }));
}

TEST(InputSettings, ScriptWritesAliasesAndBindingsInTableOrder)
{
    YInputObjSettings settings;
    AddBinding(settings, Binding("forward", "Fly forward", 30, 1, -1));
    AddBinding(settings, Binding("", "Run and jump", 57, -1, 3, {"+run", "wait 200", "jump"}));
    AddBinding(settings, Binding("boost", "Boost", -1, -1, -1, {"+forward", "+run"}));
    AddBinding(settings, Binding("odd", "", 250, 9, 40));

    const std::string bindings =
        "bind a \"forward\" \"Fly forward\"\r\n"
        "bind mouse2 \"forward\" \"Fly forward\"\r\n"
        "bind space \"+run;wait 200;jump\" \"Run and jump\"\r\n"
        "bind joy4 \"+run;wait 200;jump\" \"Run and jump\"\r\n"
        "alias boost \"+forward;+run\" \"Boost\"\r\n"
        "bind Unrecognized \"odd\" \"\"\r\n"
        "bind Unrecognized \"odd\" \"\"\r\n"
        "bind Unrecognized \"odd\" \"\"\r\n";
    EXPECT_EQ("\r\n-- Input settings\r\n\r\n" + bindings + DefaultVars,
              WriteWith([&](CStdioFile& f) { settings.WriteScript(f); }));

    const std::string shortForm =
        "bind a \"forward\"\r\n"
        "bind mouse2 \"forward\"\r\n"
        "bind space \"+run;wait 200;jump\"\r\n"
        "bind joy4 \"+run;wait 200;jump\"\r\n"
        "alias boost \"+forward;+run\"\r\n"
        "bind Unrecognized \"odd\"\r\n"
        "bind Unrecognized \"odd\"\r\n"
        "bind Unrecognized \"odd\"\r\n";
    EXPECT_EQ("\r\n-- Input settings\r\n\r\n" + shortForm + DefaultVars,
              WriteWith([&](CStdioFile& f) { settings.WriteScriptShort(f); }));
}

TEST(InputSettings, QuotesInBindingTextsCannotBreakTheirLine)
{
    YInputObjSettings settings;
    AddBinding(settings, Binding("fire", "Fire\"; quit; \"", 30, -1, -1));
    std::string text = WriteWith([&](CStdioFile& f) { settings.WriteScript(f); });
    EXPECT_NE(std::string::npos, text.find("bind a \"fire\" \"Fire; quit; \"\r\n"));
}

namespace {
void FillForArchive(YInputObjSettings& s)
{
    s.m_aiming = 0;
    s.m_aimingY = 3;
    s.m_invertX = 1;
    s.m_invertY = 0;
    s.m_joystick = 1;
    s.m_lightGun = 1;
    s.m_calibrateLightGun = 1;
    s.m_forceFeedback = 1;
    s.m_mouseSensitivity = 99;
    s.m_joySensitivity = 201;
    s.m_aimingNoLoad = 0;
    s.m_mouseSmoothing = 1;
    s.m_slope = 1.75f;
    s.m_deadZoneX = 17;
    s.m_deadZoneY = 23;
    AddBinding(s, Binding("forward", "Fly", 17, -1, 2));
    AddBinding(s, Binding("", "", -1, 0, -1, {"+run", "jump"}));
    s.GetCommand(1)->m_type = YInputObjCommand::OneShot;
    s.GetCommand(1)->m_reserved = 5;
}

void ExpectSameSettings(YInputObjSettings& a, YInputObjSettings& b, bool deadZones)
{
    EXPECT_EQ(a.m_aiming, b.m_aiming);
    EXPECT_EQ(a.m_aimingY, b.m_aimingY);
    EXPECT_EQ(a.m_invertX, b.m_invertX);
    EXPECT_EQ(a.m_invertY, b.m_invertY);
    EXPECT_EQ(a.m_joystick, b.m_joystick);
    EXPECT_EQ(a.m_lightGun, b.m_lightGun);
    EXPECT_EQ(a.m_calibrateLightGun, b.m_calibrateLightGun);
    EXPECT_EQ(a.m_forceFeedback, b.m_forceFeedback);
    EXPECT_EQ(a.m_mouseSensitivity, b.m_mouseSensitivity);
    EXPECT_EQ(a.m_joySensitivity, b.m_joySensitivity);
    EXPECT_EQ(a.m_aimingNoLoad, b.m_aimingNoLoad);
    EXPECT_EQ(a.m_mouseSmoothing, b.m_mouseSmoothing);
    EXPECT_FLOAT_EQ(a.m_slope, b.m_slope);
    if (deadZones) {
        EXPECT_EQ(a.m_deadZoneX, b.m_deadZoneX);
        EXPECT_EQ(a.m_deadZoneY, b.m_deadZoneY);
    }
    ASSERT_EQ(a.GetCommandCount(), b.GetCommandCount());
    for (int i = 0; i < a.GetCommandCount(); ++i) {
        YInputObjCommand* x = a.GetCommand(i);
        YInputObjCommand* y = b.GetCommand(i);
        EXPECT_STREQ(x->m_name, y->m_name);
        EXPECT_STREQ(x->m_description, y->m_description);
        EXPECT_EQ(x->m_key, y->m_key);
        EXPECT_EQ(x->m_mouseButton, y->m_mouseButton);
        EXPECT_EQ(x->m_joyButton, y->m_joyButton);
        EXPECT_EQ(x->m_type, y->m_type);
        EXPECT_EQ(x->m_reserved, y->m_reserved);
        EXPECT_STREQ(x->GetAliasText(), y->GetAliasText());
    }
}
}  // namespace

TEST(InputSettings, ArchiveVersionTwoRoundTrips)
{
    YInputObjSettings saved;
    FillForArchive(saved);
    CMemFile memory;
    {
        CArchive ar(&memory, CArchive::store);
        saved.Serialize(ar);
        ar.Close();
    }
    // version, 8 words, 2 bytes, 3 words, count, two records, dead zones
    const ULONGLONG record1 = 4 + 7 + 4 + 3 + 5 * 4 + 4;
    const ULONGLONG record2 = 4 + 4 + 5 * 4 + 4 + (4 + 4) + (4 + 4);
    EXPECT_EQ(4 + 8 * 4 + 2 + 3 * 4 + 4 + record1 + record2 + 8, memory.GetLength());

    memory.SeekToBegin();
    YInputObjSettings loaded;
    AddBinding(loaded, Binding("old", "", 1, -1, -1, {"x", "y", "z"}));
    AddBinding(loaded, Binding("older", "", 2, -1, -1));
    AddBinding(loaded, Binding("oldest", "", 3, -1, -1));
    {
        CArchive ar(&memory, CArchive::load);
        loaded.Serialize(ar);
        ar.Close();
    }
    ExpectSameSettings(saved, loaded, true);
}

TEST(InputSettings, ArchiveVersionOneKeepsTheDeadZones)
{
    CMemFile memory;
    {
        CArchive ar(&memory, CArchive::store);
        ar << (LONG)1;
        for (LONG v : {0, 0, 1, 0, 1, 0, 0, 1}) ar << v;
        ar << (BYTE)50 << (BYTE)60;
        ar << (LONG)0 << (LONG)1 << 2.0f;
        ar << (LONG)1;
        ar << YString("fire") << YString("Fire!");
        ar << (LONG)29 << (LONG)-1 << (LONG)0 << (LONG)1 << (LONG)0;
        ar << (LONG)0;
        ar.Close();
    }
    memory.SeekToBegin();
    YInputObjSettings loaded;
    loaded.m_deadZoneX = 8;
    loaded.m_deadZoneY = 9;
    {
        CArchive ar(&memory, CArchive::load);
        loaded.Serialize(ar);
        ar.Close();
    }
    EXPECT_EQ(8, loaded.m_deadZoneX);
    EXPECT_EQ(9, loaded.m_deadZoneY);
    EXPECT_EQ(1, loaded.m_invertX);
    EXPECT_EQ(1, loaded.m_forceFeedback);
    EXPECT_EQ(50, loaded.m_mouseSensitivity);
    EXPECT_EQ(60, loaded.m_joySensitivity);
    EXPECT_FLOAT_EQ(2.0f, loaded.m_slope);
    ASSERT_EQ(1, loaded.GetCommandCount());
    EXPECT_STREQ("fire", loaded.GetCommand(0)->m_name);
    EXPECT_STREQ("Fire!", loaded.GetCommand(0)->m_description);
    EXPECT_EQ(29, loaded.GetCommand(0)->m_key);
    EXPECT_EQ(0, loaded.GetCommand(0)->m_joyButton);
}

TEST(InputSettings, ArchiveWithAHostileCountIsRefused)
{
    const LONG counts[] = {-1, 0x7FFFFFFF};
    for (LONG count : counts) {
        CMemFile memory;
        {
            CArchive ar(&memory, CArchive::store);
            ar << (LONG)2;
            for (int i = 0; i < 8; ++i) ar << (LONG)0;
            ar << (BYTE)1 << (BYTE)1 << (LONG)0 << (LONG)0 << 1.0f << count;
            ar.Close();
        }
        memory.SeekToBegin();
        YInputObjSettings loaded;
        bool thrown = false;
        try {
            CArchive ar(&memory, CArchive::load);
            loaded.Serialize(ar);
        } catch (CArchiveException* e) {
            thrown = true;
            e->Delete();
        }
        EXPECT_TRUE(thrown) << count;
    }
}

TEST(InputSettings, CopyTakesBindingsAndDeviceSettingsOnly)
{
    YInputObjSettings source;
    FillForArchive(source);
    source.SetAxisSlot(2, 7);
    YInputObjSettings copy;
    AddBinding(copy, Binding("stale", "", 5, -1, -1, {"a", "b"}));
    copy = source;
    EXPECT_EQ(1, copy.m_aimingNoLoad);
    EXPECT_EQ(0, copy.m_mouseSmoothing);
    EXPECT_EQ(-1, copy.m_axisSlots[2]);
    copy.m_aimingNoLoad = source.m_aimingNoLoad;
    copy.m_mouseSmoothing = source.m_mouseSmoothing;
    ExpectSameSettings(source, copy, true);
}

TEST(InputSettings, AxisSlotsAndCommandLookUp)
{
    YInputObjSettings settings;
    EXPECT_EQ(4, settings.SetAxisSlot(0, 4));
    EXPECT_EQ(9, settings.SetAxisSlot(7, 9));
    EXPECT_EQ(-1, settings.SetAxisSlot(8, 1));
    EXPECT_EQ(-1, settings.SetAxisSlot(-1, 1));
    EXPECT_EQ(4, settings.m_axisSlots[0]);

    AddBinding(settings, Binding("Forward", "", 17, -1, -1));
    EXPECT_EQ(0, settings.FindCommand("forward"));
    EXPECT_EQ(-1, settings.FindCommand(""));
    EXPECT_EQ(-1, settings.FindCommand(nullptr));
    EXPECT_EQ(nullptr, settings.GetCommand(1));
}

TEST(InputSettings, ScriptLinesStayShortEnoughToBeReadWhole)
{
    YInputObjSettings settings;
    std::string alias(100, 'a');  // two parts: 201 characters, written whole
    std::string description = std::string(150, ' ') + "; quit ";
    AddBinding(settings, Binding("", description.c_str(), 30, -1, -1, {alias.c_str(), alias.c_str()}));
    AddBinding(settings, Binding("fire", std::string(300, 'f').c_str(), 57, -1, -1));
    // Too long for any line even without its description: left out, not cut.
    std::string huge(130, 'h');
    AddBinding(settings, Binding("", "", 48, -1, -1, {huge.c_str(), huge.c_str()}));
    std::string text = WriteWith([&](CStdioFile& f) { settings.WriteScript(f); });
    EXPECT_NE(std::string::npos, text.find("bind a \"" + alias + ";" + alias + "\" \"   "));
    EXPECT_EQ(std::string::npos, text.find("bind b"));
    std::istringstream in(text);
    std::string line;
    int bindLines = 0;
    while (std::getline(in, line)) {
        EXPECT_LE(line.size(), 255u) << line;  // with its CR
        if (line.rfind("bind ", 0) == 0) ++bindLines;
    }
    EXPECT_EQ(2, bindLines);
    EXPECT_EQ(std::string::npos, text.find("quit"));
    EXPECT_NE(std::string::npos, text.find("bind space \"fire\" \"ffff"));
}

// A slope no float can hold would stop both axes for good: it takes the
// default, whether typed or read from an archive.
TEST(InputSettings, NonFiniteSlopeTakesTheDefault)
{
    const struct {
        const char* value;
        float slope;
    } cases[] = {
        {"nan", 1.0f}, {"-nan", 1.0f}, {"inf", 1.0f},  {"-inf", 1.0f},       {"1e999", 1.0f},
        {"1e39", 1.0f}, {"-1e39", 1.0f}, {"3e38", 3e38f}, {"7.5", 7.5f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        YInputObjSettings settings;
        settings.m_slope = 4.0f;
        EXPECT_TRUE(settings.SetVar("inp_slope", c.value));
        EXPECT_FLOAT_EQ(c.slope, settings.m_slope);
    }
    for (float stored : {std::nanf(""), HUGE_VALF, -HUGE_VALF, 0.25f}) {
        SCOPED_TRACE(stored);
        YInputObjSettings saved;
        saved.m_slope = stored;
        CMemFile memory;
        {
            CArchive ar(&memory, CArchive::store);
            saved.Serialize(ar);
        }
        memory.SeekToBegin();
        YInputObjSettings loaded;
        CArchive ar(&memory, CArchive::load);
        loaded.Serialize(ar);
        EXPECT_FLOAT_EQ(1.0f, loaded.m_slope);
    }
}
