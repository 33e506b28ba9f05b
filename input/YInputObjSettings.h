// Input settings: the "inp_" values, the binding table and the axis roles.
#pragma once

#include "foundation/YString.h"
#include "input/YInputObjCommand.h"
#include "platform/mfc.h"

class YInputObjSettings : public CObject {
    DECLARE_SERIAL(YInputObjSettings)
public:
    enum { FormatVersion = 2, AxisSlots = 8 };
    // Command files are read 255 characters at a time: a longer line would
    // run its tail as a command of its own.
    enum { LongestScriptLine = 254 };

    YInputObjSettings();
    YInputObjSettings(const YInputObjSettings&) = delete;
    YInputObjSettings& operator=(const YInputObjSettings& other);

    void Serialize(CArchive& ar) override;
    // The "config.cfg" section, with display names.
    virtual void WriteScript(CStdioFile& file);
    // The same section without display names.
    virtual void WriteScriptShort(CStdioFile& file);
    // Whether the line <head> "<command>" fits one line of a command file,
    // so that a binding or alias saved that way reads back whole.
    static bool FitsScriptLine(const YString& head, const YString& command);

    bool SetVar(const YString& name, const YString& value, bool flag = false);
    bool GetVar(const YString& name, YString& value, bool flag = false);
    bool ListVars(CArray<YString>& names, bool flag = false);
    int SetAxisSlot(int slot, int index);

    // The binding table.
    int GetCommandCount() const { return m_commands.GetSize(); }
    YInputObjCommand* GetCommand(int index);
    YInputObjCommand* GetCommandByName(const char* name);
    void SetCommandCount(int count);
    // First binding of that name (case-insensitive); -1 for none or an empty name.
    int FindCommand(const char* name) const;
    // First binding holding the key, the mouse button or the joystick button;
    // a value of -1 matches nothing.
    int FindCommandByCode(int key, int mouseButton, int joyButton) const;
    // Adds or updates a binding and returns its index. An input of -1 (or a
    // negative button) leaves that input as it is; a given input is taken
    // away from every other binding.
    int SetCommand(const char* name, const char* description, int type, int key, int mouseButton, int joyButton);
    // Takes the inputs away from every binding but the spared one; a nameless
    // binding left without inputs is removed. Returns the spared binding's
    // index after the removals.
    int ClearBinding(int key, int mouseButton, int joyButton, int sparedIndex);

    // Alias parts. SetAlias refuses a part that would run its own binding
    // again, directly or through up to ten levels of other aliases.
    bool SetAlias(int index, const YString& text);
    void ClearAlias(int index);
    int GetAliasPartCount(int index);
    YString GetAliasPart(int index, int part);
    YString GetAliasText(int index);
    // The binding a part runs when it is executed: the binding named by the
    // whole part, else the alias named by its first word without a "+";
    // -1 for none.
    int FindPartTarget(const YString& part) const;
    // Names of the bindings with no input, each followed by a blank.
    YString ListUnbound();

    int32_t m_aiming;
    int32_t m_aimingY;  // set with "inp_aiming"
    int32_t m_aimingNoLoad;
    int32_t m_invertX;
    int32_t m_invertY;
    int32_t m_lightGun;
    int32_t m_calibrateLightGun;
    int32_t m_joystick;
    int32_t m_forceFeedback;
    float m_slope;
    int32_t m_mouseSmoothing;
    uint8_t m_mouseSensitivity;
    uint8_t m_joySensitivity;
    int32_t m_deadZoneX;
    int32_t m_deadZoneY;
    CArray<YInputObjCommand> m_commands;
    int32_t m_axisSlots[AxisSlots];

private:
    bool IsCycle(int from, int target, int depth) const;
    void WriteBindings(CStdioFile& file, bool withDescriptions);
    void WriteVars(CStdioFile& file);
};
