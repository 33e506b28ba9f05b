// The key-name tables: DirectInput key codes, mouse and joystick buttons,
// the names of "bind" lines and the names shown in menus.
#pragma once

#include "foundation/YString.h"

class YKeyNames {
public:
    struct Row {
        int32_t code;
        const char* display;
        const char* script;
    };
    enum { KeyCount = 120, MouseCount = 4, JoyCount = 32 };

    // Script name to code (case-insensitive); -1 when none.
    static int KeyNameToCode(const char* name);
    static int MouseNameToCode(const char* name);
    static int JoyNameToCode(const char* name);
    // Code to display name: "(None)" for -1, "Undefined" for an unknown code.
    static YString KeyCodeToName(int code);
    static YString MouseCodeToName(int code);
    static YString JoyCodeToName(int code);
    // Code to script name: "Unrecognized" for an unknown code.
    static YString KeyCodeToScriptName(int code);
    static YString MouseCodeToScriptName(int code);
    static YString JoyCodeToScriptName(int code);
    // Row index to script name; empty outside the table.
    static YString KeyIndexToName(int index);
    static YString MouseIndexToName(int index);
    static YString JoyIndexToName(int index);

    static const Row Keys[KeyCount];
    static const Row Mice[MouseCount];
    static const Row Joys[JoyCount];
};
