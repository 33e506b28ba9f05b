#include <gtest/gtest.h>

#include <set>
#include <string>

#include "input/YKeyNames.h"
#include "platform/backend/KeyTable.h"

TEST(KeyNames, KeyboardAnswersBothWays)
{
    struct Case {
        const char* script;
        int code;
        const char* display;
    };
    const Case cases[] = {
        {"0", 11, "0"},           {"a", 30, "A"},          {"M", 50, "M"},          {"n", 49, "N"},
        {"k+", 78, "Keypad +"},   {"\\", 43, "\\"},        {"`", 41, "`"},          {"ESC", 1, "Escape"},
        {"f12", 88, "F12"},       {"enter", 156, "Keypad Enter"}, {"return", 28, "Return"},
        {";", 39, ";"},           {"space", 57, "Spacebar"}, {"yen", 125, "Yen"},   {"rctrl", 157, "Right Control"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        EXPECT_EQ(c.code, YKeyNames::KeyNameToCode(c.script));
        EXPECT_STREQ(c.display, YKeyNames::KeyCodeToName(c.code));
        EXPECT_EQ(0, _stricmp(c.script, YKeyNames::KeyCodeToScriptName(c.code)));
    }
}

TEST(KeyNames, UnknownNamesAndCodes)
{
    EXPECT_EQ(-1, YKeyNames::KeyNameToCode("mouse1"));
    EXPECT_EQ(-1, YKeyNames::KeyNameToCode(""));
    EXPECT_EQ(-1, YKeyNames::MouseNameToCode("a"));
    EXPECT_EQ(-1, YKeyNames::JoyNameToCode("joy33"));
    EXPECT_STREQ("(None)", YKeyNames::KeyCodeToName(-1));
    EXPECT_STREQ("(None)", YKeyNames::MouseCodeToName(-1));
    EXPECT_STREQ("(None)", YKeyNames::JoyCodeToName(-1));
    EXPECT_STREQ("Undefined", YKeyNames::KeyCodeToName(0));
    EXPECT_STREQ("Undefined", YKeyNames::MouseCodeToName(4));
    EXPECT_STREQ("Undefined", YKeyNames::JoyCodeToName(32));
    EXPECT_STREQ("Unrecognized", YKeyNames::KeyCodeToScriptName(-1));
    EXPECT_STREQ("Unrecognized", YKeyNames::MouseCodeToScriptName(7));
    EXPECT_STREQ("Unrecognized", YKeyNames::JoyCodeToScriptName(-3));
}

TEST(KeyNames, MouseAndJoystickTables)
{
    const std::pair<const char*, const char*> mice[] = {
        {"mouse1", "Left Mouse"}, {"mouse2", "Right Mouse"}, {"mouse3", "Middle Mouse"}, {"mousew", "Mouse Wheel"}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(i, YKeyNames::MouseNameToCode(mice[i].first));
        EXPECT_STREQ(mice[i].second, YKeyNames::MouseCodeToName(i));
        EXPECT_STREQ(mice[i].first, YKeyNames::MouseIndexToName(i));
    }
    EXPECT_EQ(0, YKeyNames::JoyNameToCode("JOY1"));
    EXPECT_EQ(31, YKeyNames::JoyNameToCode("joy32"));
    EXPECT_STREQ("Joystick 17", YKeyNames::JoyCodeToName(16));
    EXPECT_STREQ("joy17", YKeyNames::JoyCodeToScriptName(16));
    EXPECT_STREQ("joy32", YKeyNames::JoyIndexToName(31));
}

TEST(KeyNames, IndexLookUpsStayInsideTheirTables)
{
    EXPECT_STREQ("0", YKeyNames::KeyIndexToName(0));
    EXPECT_STREQ("n", YKeyNames::KeyIndexToName(22));
    EXPECT_STREQ("m", YKeyNames::KeyIndexToName(23));
    EXPECT_STREQ("yen", YKeyNames::KeyIndexToName(119));
    for (int index : {-1, 120}) EXPECT_STREQ("", YKeyNames::KeyIndexToName(index));
    for (int index : {-1, 4}) EXPECT_STREQ("", YKeyNames::MouseIndexToName(index));
    for (int index : {-1, 32}) EXPECT_STREQ("", YKeyNames::JoyIndexToName(index));
}

TEST(KeyNames, KeyboardRowsAreDistinct)
{
    std::set<int> codes;
    std::set<std::string> names;
    for (int i = 0; i < YKeyNames::KeyCount; ++i) {
        codes.insert(YKeyNames::Keys[i].code);
        names.insert(YKeyNames::Keys[i].script);
        EXPECT_EQ(YKeyNames::Keys[i].code, YKeyNames::KeyNameToCode(YKeyNames::KeyIndexToName(i))) << i;
    }
    EXPECT_EQ(120u, codes.size());
    EXPECT_EQ(120u, names.size());
}

// Every key the game lets you bind reaches a key of the backend, but for the
// keys of keyboards no PC has (the NEC PC-98's).
TEST(KeyNames, EveryBindableKeyHasABackendKey)
{
    std::set<int> reachable;
    for (int sdl = 0; sdl < 512; ++sdl) {
        int virtualKey = 0, scanCode = 0;
        if (platform::KeyCodesFromScancode(sdl, virtualKey, scanCode)) {
            EXPECT_TRUE(reachable.insert(scanCode).second) << "two backend keys give code " << scanCode;
            EXPECT_GT(virtualKey, 0) << scanCode;
        }
    }
    const std::set<std::string> noPcKey = {"at", "ax", "circflx", ":", "kanji", "stop", "_", "unlbld"};
    for (const YKeyNames::Row& row : YKeyNames::Keys) {
        const bool found = reachable.count(row.code) != 0;
        if (noPcKey.count(row.script))
            EXPECT_FALSE(found) << row.script << " has a backend key now: take it off the list";
        else
            EXPECT_TRUE(found) << "\"" << row.script << "\" (" << row.code << ") never fires";
    }
}
