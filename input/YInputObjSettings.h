// Input settings: the "inp_" values, the binding table and the axis roles.
#pragma once

#include "foundation/YString.h"
#include "input/YInputObjCommand.h"
#include "platform/mfc.h"

class YInputObjSettings : public CObject {
    DECLARE_SERIAL(YInputObjSettings)
public:
    enum { FormatVersion = 2, AxisSlots = 8 };

    YInputObjSettings();
    YInputObjSettings(const YInputObjSettings&) = delete;
    YInputObjSettings& operator=(const YInputObjSettings& other);

    void Serialize(CArchive& ar) override;
    // The "config.cfg" section, with display names.
    virtual void WriteScript(CStdioFile& file);
    // The same section without display names.
    virtual void WriteScriptShort(CStdioFile& file);

    bool SetVar(const YString& name, const YString& value, bool flag = false);
    bool GetVar(const YString& name, YString& value, bool flag = false);
    bool ListVars(CArray<YString>& names, bool flag = false);
    int SetAxisSlot(int slot, int index);

    // The binding table.
    int GetCommandCount() const { return m_commands.GetSize(); }
    YInputObjCommand* GetCommand(int index);
    void SetCommandCount(int count);
    int FindCommand(const char* name) const;

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
    void WriteBindings(CStdioFile& file, bool withDescriptions);
    void WriteVars(CStdioFile& file);
};
