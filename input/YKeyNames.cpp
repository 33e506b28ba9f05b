#include "input/YKeyNames.h"

#include "platform/win32.h"

// Digits and letters first (N before M), then the rest in table order.
const YKeyNames::Row YKeyNames::Keys[KeyCount] = {
    {11, "0", "0"},
    {2, "1", "1"},
    {3, "2", "2"},
    {4, "3", "3"},
    {5, "4", "4"},
    {6, "5", "5"},
    {7, "6", "6"},
    {8, "7", "7"},
    {9, "8", "8"},
    {10, "9", "9"},
    {30, "A", "a"},
    {48, "B", "b"},
    {46, "C", "c"},
    {32, "D", "d"},
    {18, "E", "e"},
    {33, "F", "f"},
    {34, "G", "g"},
    {35, "H", "h"},
    {23, "I", "i"},
    {36, "J", "j"},
    {37, "K", "k"},
    {38, "L", "l"},
    {49, "N", "n"},
    {50, "M", "m"},
    {24, "O", "o"},
    {25, "P", "p"},
    {16, "Q", "q"},
    {19, "R", "r"},
    {31, "S", "s"},
    {20, "T", "t"},
    {22, "U", "u"},
    {47, "V", "v"},
    {17, "W", "w"},
    {45, "X", "x"},
    {21, "Y", "y"},
    {44, "Z", "z"},
    {78, "Keypad +", "k+"},
    {40, "'", "'"},
    {221, "App Menu", "apps"},
    {145, "At", "at"},
    {150, "Ax", "ax"},
    {14, "Backspace", "bckspace"},
    {43, "\\", "\\"},
    {58, "Capital", "cap"},
    {144, "Circumflex", "circflx"},
    {146, ":", ":"},
    {51, ",", ","},
    {121, "Convert", "convert"},
    {83, "Keypad .", "k."},
    {211, "Delete", "delete"},
    {181, "Keypad /", "k/"},
    {208, "Down arrow", "down"},
    {207, "End", "end"},
    {13, "=", "="},
    {1, "Escape", "esc"},
    {59, "F1", "f1"},
    {60, "F2", "f2"},
    {61, "F3", "f3"},
    {62, "F4", "f4"},
    {63, "F5", "f5"},
    {64, "F6", "f6"},
    {65, "F7", "f7"},
    {66, "F8", "f8"},
    {67, "F9", "f9"},
    {68, "F10", "f10"},
    {87, "F11", "f11"},
    {88, "F12", "f12"},
    {100, "F13", "f13"},
    {101, "F14", "f14"},
    {102, "F15", "f15"},
    {41, "`", "`"},
    {199, "Home", "home"},
    {210, "Insert", "insert"},
    {112, "Kana", "kana"},
    {148, "Kanji", "kanji"},
    {26, "[", "["},
    {29, "Left Control", "lctrl"},
    {203, "Left arrow", "left"},
    {56, "Left alt", "lalt"},
    {42, "Left shift", "lshift"},
    {219, "Left windows", "lwin"},
    {12, "-", "-"},
    {55, "Keypad *", "k*"},
    {209, "Page Down", "pgdn"},
    {123, "No Convert", "nconvert"},
    {69, "Num Lock", "numlck"},
    {82, "Keypad 0", "k0"},
    {79, "Keypad 1", "k1"},
    {80, "Keypad 2", "k2"},
    {81, "Keypad 3", "k3"},
    {75, "Keypad 4", "k4"},
    {76, "Keypad 5", "k5"},
    {77, "Keypad 6", "k6"},
    {71, "Keypad 7", "k7"},
    {72, "Keypad 8", "k8"},
    {73, "Keypad 9", "k9"},
    {179, "Keypad ,", "k,"},
    {156, "Keypad Enter", "enter"},
    {141, "Keypad =", "k="},
    {52, ".", "."},
    {201, "Page Up", "pgup"},
    {27, "]", "]"},
    {157, "Right Control", "rctrl"},
    {28, "Return", "return"},
    {205, "Right arrow", "right"},
    {184, "Right alt", "ralt"},
    {54, "Right shift", "rshift"},
    {220, "Right windows", "rwin"},
    {70, "Scroll Lock", "scrlck"},
    {39, ";", ";"},
    {53, "/", "/"},
    {57, "Spacebar", "space"},
    {149, "Stop", "stop"},
    {74, "Keypad -", "k-"},
    {183, "SysRq", "sysrq"},
    {15, "Tab", "tab"},
    {147, "_", "_"},
    {151, "Unlabeled", "unlbld"},
    {200, "Up arrow", "up"},
    {125, "Yen", "yen"},
};

const YKeyNames::Row YKeyNames::Mice[MouseCount] = {
    {0, "Left Mouse", "mouse1"},
    {1, "Right Mouse", "mouse2"},
    {2, "Middle Mouse", "mouse3"},
    {3, "Mouse Wheel", "mousew"},
};

const YKeyNames::Row YKeyNames::Joys[JoyCount] = {
    {0, "Joystick 1", "joy1"},    {1, "Joystick 2", "joy2"},    {2, "Joystick 3", "joy3"},
    {3, "Joystick 4", "joy4"},    {4, "Joystick 5", "joy5"},    {5, "Joystick 6", "joy6"},
    {6, "Joystick 7", "joy7"},    {7, "Joystick 8", "joy8"},    {8, "Joystick 9", "joy9"},
    {9, "Joystick 10", "joy10"},  {10, "Joystick 11", "joy11"}, {11, "Joystick 12", "joy12"},
    {12, "Joystick 13", "joy13"}, {13, "Joystick 14", "joy14"}, {14, "Joystick 15", "joy15"},
    {15, "Joystick 16", "joy16"}, {16, "Joystick 17", "joy17"}, {17, "Joystick 18", "joy18"},
    {18, "Joystick 19", "joy19"}, {19, "Joystick 20", "joy20"}, {20, "Joystick 21", "joy21"},
    {21, "Joystick 22", "joy22"}, {22, "Joystick 23", "joy23"}, {23, "Joystick 24", "joy24"},
    {24, "Joystick 25", "joy25"}, {25, "Joystick 26", "joy26"}, {26, "Joystick 27", "joy27"},
    {27, "Joystick 28", "joy28"}, {28, "Joystick 29", "joy29"}, {29, "Joystick 30", "joy30"},
    {30, "Joystick 31", "joy31"}, {31, "Joystick 32", "joy32"},
};

namespace {
int NameToCode(const YKeyNames::Row* rows, int count, const char* name)
{
    if (!name) return -1;
    for (int i = 0; i < count; ++i)
        if (_stricmp(rows[i].script, name) == 0) return rows[i].code;
    return -1;
}

const YKeyNames::Row* FindCode(const YKeyNames::Row* rows, int count, int code)
{
    for (int i = 0; i < count; ++i)
        if (rows[i].code == code) return &rows[i];
    return nullptr;
}

YString CodeToName(const YKeyNames::Row* rows, int count, int code)
{
    if (code == -1) return "(None)";
    const YKeyNames::Row* row = FindCode(rows, count, code);
    return row ? row->display : "Undefined";
}

YString CodeToScriptName(const YKeyNames::Row* rows, int count, int code)
{
    const YKeyNames::Row* row = FindCode(rows, count, code);
    return row ? row->script : "Unrecognized";
}

YString IndexToName(const YKeyNames::Row* rows, int count, int index)
{
    if (index < 0 || index >= count) return YString();
    return rows[index].script;
}
}  // namespace

int YKeyNames::KeyNameToCode(const char* name) { return NameToCode(Keys, KeyCount, name); }
int YKeyNames::MouseNameToCode(const char* name) { return NameToCode(Mice, MouseCount, name); }
int YKeyNames::JoyNameToCode(const char* name) { return NameToCode(Joys, JoyCount, name); }
YString YKeyNames::KeyCodeToName(int code) { return CodeToName(Keys, KeyCount, code); }
YString YKeyNames::MouseCodeToName(int code) { return CodeToName(Mice, MouseCount, code); }
YString YKeyNames::JoyCodeToName(int code) { return CodeToName(Joys, JoyCount, code); }
YString YKeyNames::KeyCodeToScriptName(int code) { return CodeToScriptName(Keys, KeyCount, code); }
YString YKeyNames::MouseCodeToScriptName(int code) { return CodeToScriptName(Mice, MouseCount, code); }
YString YKeyNames::JoyCodeToScriptName(int code) { return CodeToScriptName(Joys, JoyCount, code); }
YString YKeyNames::KeyIndexToName(int index) { return IndexToName(Keys, KeyCount, index); }
YString YKeyNames::MouseIndexToName(int index) { return IndexToName(Mice, MouseCount, index); }
YString YKeyNames::JoyIndexToName(int index) { return IndexToName(Joys, JoyCount, index); }
