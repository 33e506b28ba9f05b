#include "input/YInputObjSettings.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>

#include "foundation/YConfigObject.h"
#include "input/YKeyNames.h"

IMPLEMENT_SERIAL(YInputObjSettings, CObject, VERSIONABLE_SCHEMA | 1)

namespace {
int ClampByte(int value)
{
    if (value < 1) return 1;
    if (value >= 255) return 255;
    return value;
}

// The slope is at least 1; a value no float holds ("nan", "inf", "1e999")
// takes the default instead of freezing both axes.
float Slope(double value)
{
    if (!std::isfinite(value) || value > FLT_MAX) return 1.0f;
    return value < 1.0 ? 1.0f : static_cast<float>(value);
}

// Smallest stored binding record: two empty strings and six 32-bit words.
const int MinRecordBytes = 4 + 4 + 6 * 4;
}  // namespace

YInputObjSettings::YInputObjSettings()
    : m_aiming(1), m_aimingY(1), m_aimingNoLoad(1), m_invertX(0), m_invertY(1), m_lightGun(0),
      m_calibrateLightGun(0), m_joystick(0), m_forceFeedback(0), m_slope(1.0f), m_mouseSmoothing(0),
      m_mouseSensitivity(20), m_joySensitivity(127), m_deadZoneX(0), m_deadZoneY(0)
{
    for (int i = 0; i < AxisSlots; ++i) m_axisSlots[i] = -1;
}

YInputObjSettings& YInputObjSettings::operator=(const YInputObjSettings& other)
{
    if (this == &other) return *this;
    m_commands.SetSize(other.m_commands.GetSize());
    for (int i = 0; i < other.m_commands.GetSize(); ++i) m_commands[i] = other.m_commands.GetData()[i];
    m_aiming = other.m_aiming;
    m_aimingY = other.m_aimingY;
    m_invertX = other.m_invertX;
    m_invertY = other.m_invertY;
    m_lightGun = other.m_lightGun;
    m_calibrateLightGun = other.m_calibrateLightGun;
    m_joystick = other.m_joystick;
    m_forceFeedback = other.m_forceFeedback;
    m_slope = other.m_slope;
    m_mouseSensitivity = other.m_mouseSensitivity;
    m_joySensitivity = other.m_joySensitivity;
    m_deadZoneX = other.m_deadZoneX;
    m_deadZoneY = other.m_deadZoneY;
    return *this;
}

YInputObjCommand* YInputObjSettings::GetCommand(int index)
{
    if (index < 0 || index >= m_commands.GetSize()) return nullptr;
    return &m_commands[index];
}

void YInputObjSettings::SetCommandCount(int count)
{
    if (count < 0) count = 0;
    m_commands.SetSize(count);
}

int YInputObjSettings::FindCommand(const char* name) const
{
    if (!name || !*name) return -1;
    for (int i = 0; i < m_commands.GetSize(); ++i)
        if (lstrcmpiA(m_commands.GetData()[i].m_name, name) == 0) return i;
    return -1;
}

YInputObjCommand* YInputObjSettings::GetCommandByName(const char* name)
{
    return GetCommand(FindCommand(name));
}

int YInputObjSettings::FindCommandByCode(int key, int mouseButton, int joyButton) const
{
    for (int i = 0; i < m_commands.GetSize(); ++i) {
        const YInputObjCommand& cmd = m_commands.GetData()[i];
        if ((key != -1 && cmd.m_key == key) || (mouseButton != -1 && cmd.m_mouseButton == mouseButton) ||
            (joyButton != -1 && cmd.m_joyButton == joyButton))
            return i;
    }
    return -1;
}

int YInputObjSettings::SetCommand(const char* name, const char* description, int type, int key, int mouseButton,
                                  int joyButton)
{
    int i = FindCommand(name);
    if (i < 0) i = m_commands.Add(YInputObjCommand());
    m_commands[i].m_name = name ? name : "";
    if (description && *description) m_commands[i].m_description = description;
    if (type != 0) m_commands[i].m_type = type;
    // Unbinding may remove records ahead of this one; follow its index.
    if (key != -1) {
        i = ClearBinding(key, -1, -1, i);
        m_commands[i].m_key = key;
    }
    if (mouseButton >= 0) {
        i = ClearBinding(-1, mouseButton, -1, i);
        m_commands[i].m_mouseButton = mouseButton;
    }
    if (joyButton >= 0) {
        i = ClearBinding(-1, -1, joyButton, i);
        m_commands[i].m_joyButton = joyButton;
    }
    YInputObjCommand& cmd = m_commands[i];
    cmd.m_state = cmd.m_prevState = cmd.m_reserved = 0;
    return i;
}

int YInputObjSettings::ClearBinding(int key, int mouseButton, int joyButton, int sparedIndex)
{
    for (int i = 0; i < m_commands.GetSize(); ++i) {
        if (i == sparedIndex) continue;
        YInputObjCommand& cmd = m_commands[i];
        bool lost = false;
        if (cmd.m_key == key && key != -1) cmd.m_key = -1, lost = true;
        if (cmd.m_mouseButton == mouseButton && mouseButton != -1) cmd.m_mouseButton = -1, lost = true;
        if (cmd.m_joyButton == joyButton && joyButton != -1) cmd.m_joyButton = -1, lost = true;
        if (!lost || !cmd.m_name.IsEmpty()) continue;
        if (cmd.m_key != -1 || cmd.m_mouseButton != -1 || cmd.m_joyButton != -1) continue;
        // The record that moves into this position is not looked at in this pass.
        m_commands.RemoveAt(i);
        if (i < sparedIndex) --sparedIndex;
    }
    return sparedIndex;
}

int YInputObjSettings::FindPartTarget(const YString& part) const
{
    int whole = FindCommand(part);
    if (whole >= 0) return whole;
    YString word = part;
    int space = word.Find(' ');
    if (space >= 0) word = word.Left(space);
    if (word.IsEmpty() || word[0] == '-') return -1;  // a release never runs an alias
    if (word[0] == '+') word = word.Mid(1);
    return FindCommand(word);
}

bool YInputObjSettings::IsCycle(int from, int target, int depth) const
{
    if (depth < 1) return true;
    const YInputObjCommand& cmd = m_commands.GetData()[from];
    const YString& targetName = m_commands.GetData()[target].m_name;
    if (from == target || (!targetName.IsEmpty() && cmd.m_name.CompareNoCase(targetName) == 0)) return true;
    bool cycle = false;
    for (POSITION pos = cmd.m_aliasParts.GetHeadPosition(); pos && depth >= 0;) {
        int next = FindPartTarget(cmd.m_aliasParts.GetNext(pos));
        if (next < 0) continue;
        --depth;
        if (IsCycle(next, target, depth)) cycle = true;
    }
    return cycle;
}

bool YInputObjSettings::SetAlias(int index, const YString& text)
{
    YInputObjCommand* cmd = GetCommand(index);
    if (!cmd) return false;
    const int MaxNesting = 10;
    int target = FindPartTarget(text);
    if (target >= 0 && IsCycle(target, index, MaxNesting)) return false;
    cmd->AddAliasPart(text);
    return true;
}

void YInputObjSettings::ClearAlias(int index)
{
    if (YInputObjCommand* cmd = GetCommand(index)) cmd->ClearAlias();
}

int YInputObjSettings::GetAliasPartCount(int index)
{
    YInputObjCommand* cmd = GetCommand(index);
    return cmd ? cmd->GetAliasPartCount() : 0;
}

YString YInputObjSettings::GetAliasPart(int index, int part)
{
    YInputObjCommand* cmd = GetCommand(index);
    if (!cmd || part < 0 || part >= cmd->GetAliasPartCount()) return YString();
    return cmd->m_aliasParts.GetAt(cmd->m_aliasParts.FindIndex(part));
}

YString YInputObjSettings::GetAliasText(int index)
{
    YInputObjCommand* cmd = GetCommand(index);
    return cmd ? cmd->GetAliasText() : YString();
}

YString YInputObjSettings::ListUnbound()
{
    YString names;
    for (int i = 0; i < m_commands.GetSize(); ++i) {
        const YInputObjCommand& cmd = m_commands[i];
        if (cmd.m_key != -1 || cmd.m_mouseButton != -1 || cmd.m_joyButton != -1 || cmd.m_name.IsEmpty()) continue;
        names += cmd.m_name;
        names += " ";
    }
    return names;
}

int YInputObjSettings::SetAxisSlot(int slot, int index)
{
    if (slot < 0 || slot >= AxisSlots) return -1;
    m_axisSlots[slot] = index;
    return index;
}

bool YInputObjSettings::SetVar(const YString& name, const YString& value, bool)
{
    int n = rcv_atoi(value);
    if (lstrcmpiA(name, "inp_aiming") == 0) {
        m_aiming = m_aimingY = n;
    } else if (lstrcmpiA(name, "inp_aiming_nload") == 0) {
        m_aimingNoLoad = n;
    } else if (lstrcmpiA(name, "inp_invertx") == 0) {
        m_invertX = n;
    } else if (lstrcmpiA(name, "inp_inverty") == 0) {
        m_invertY = n;
    } else if (lstrcmpiA(name, "inp_joystick") == 0) {
        m_joystick = n;
    } else if (lstrcmpiA(name, "inp_ffeedback") == 0) {
        m_forceFeedback = n;
    } else if (lstrcmpiA(name, "inp_msmoothing") == 0) {
        m_mouseSmoothing = n;
    } else if (lstrcmpiA(name, "inp_msensitivity") == 0) {
        m_mouseSensitivity = (uint8_t)ClampByte(n);
    } else if (lstrcmpiA(name, "inp_jsensitivity") == 0) {
        m_joySensitivity = (uint8_t)ClampByte(n);
    } else if (lstrcmpiA(name, "inp_jdeadz_x") == 0) {
        m_deadZoneX = n < 0 ? 0 : n;
    } else if (lstrcmpiA(name, "inp_jdeadz_y") == 0) {
        m_deadZoneY = n < 0 ? 0 : n;
    } else if (lstrcmpiA(name, "inp_lightgun") == 0) {
        m_lightGun = n;
    } else if (lstrcmpiA(name, "inp_calibratelightgun") == 0) {
        m_calibrateLightGun = n;
    } else if (lstrcmpiA(name, "inp_slope") == 0) {
        m_slope = Slope(atof(value));
    } else {
        return false;
    }
    return true;
}

bool YInputObjSettings::GetVar(const YString& name, YString& value, bool)
{
    struct IntVar {
        const char* name;
        int value;
    };
    const IntVar vars[] = {
        {"inp_aiming", m_aiming},
        {"inp_aiming_nload", m_aimingNoLoad},
        {"inp_invertx", m_invertX},
        {"inp_inverty", m_invertY},
        {"inp_joystick", m_joystick},
        {"inp_ffeedback", m_forceFeedback},
        {"inp_msmoothing", m_mouseSmoothing},
        {"inp_msensitivity", m_mouseSensitivity},
        {"inp_jsensitivity", m_joySensitivity},
        {"inp_jdeadz_x", m_deadZoneX},
        {"inp_jdeadz_y", m_deadZoneY},
        {"inp_lightgun", m_lightGun},
        {"inp_calibratelightgun", m_calibrateLightGun},
    };
    for (const IntVar& var : vars) {
        if (lstrcmpiA(name, var.name) == 0) {
            value.Format("%d", var.value);
            return true;
        }
    }
    if (lstrcmpiA(name, "inp_slope") == 0) {
        value.Format("%f", (double)m_slope);
        return true;
    }
    return false;
}

bool YInputObjSettings::ListVars(CArray<YString>& names, bool)
{
    static const char* const listed[] = {
        "\n-- Input settings\n", "inp_aiming", "inp_aiming_nload", "inp_invertx", "inp_inverty",
        "inp_joystick", "inp_ffeedback", "inp_msensitivity", "inp_jsensitivity", "inp_msmoothing",
        "inp_lightgun", "inp_calibratelightgun", "inp_slope",
    };
    for (const char* name : listed) names.Add(YString(name));
    return true;
}

namespace {
// Binding and alias texts are written whole, but for their quotes and line breaks.
YString Unquoted(const char* text)
{
    return YConfigObject::CleanValue(text, -1);
}

// Writes "<head> \"<command>\" \"<description>\"" (or without the description),
// shortening the description until the line fits; drops a line that cannot fit.
void WriteScriptLine(CStdioFile& file, const YString& head, const YString& command, YString description,
                     bool withDescription)
{
    YString line;
    for (;;) {
        if (withDescription)
            line.Format("%s \"%s\" \"%s\"", (const char*)head, (const char*)command, (const char*)description);
        else
            line.Format("%s \"%s\"", (const char*)head, (const char*)command);
        int excess = line.GetLength() - YInputObjSettings::LongestScriptLine;
        if (excess <= 0) break;
        if (!withDescription || description.IsEmpty()) return;
        // Left(0) would keep the whole text: a description shorter than the excess goes whole.
        if (description.GetLength() > excess)
            description = description.Left(description.GetLength() - excess);
        else
            description.Empty();
    }
    file.WriteString(line + "\n");
}
}  // namespace

bool YInputObjSettings::FitsScriptLine(const YString& head, const YString& command)
{
    return head.GetLength() + 3 + Unquoted(command).GetLength() <= LongestScriptLine;
}

void YInputObjSettings::WriteBindings(CStdioFile& file, bool withDescriptions)
{
    for (int i = 0; i < m_commands.GetSize(); ++i) {
        const YInputObjCommand& cmd = m_commands[i];
        YString name = Unquoted(cmd.m_name);
        YString aliasText = Unquoted(cmd.GetAliasText());
        YString description = YConfigObject::CleanValue(cmd.m_description);

        if (cmd.GetAliasPartCount() > 0 && !name.IsEmpty())
            WriteScriptLine(file, "alias " + name, aliasText, description, withDescriptions);
        const YString& command = name.IsEmpty() ? aliasText : name;
        YString inputs[3];
        int count = 0;
        if (cmd.m_key != -1) inputs[count++] = YKeyNames::KeyCodeToScriptName(cmd.m_key);
        if (cmd.m_mouseButton != -1) inputs[count++] = YKeyNames::MouseCodeToScriptName(cmd.m_mouseButton);
        if (cmd.m_joyButton != -1) inputs[count++] = YKeyNames::JoyCodeToScriptName(cmd.m_joyButton);
        for (int k = 0; k < count; ++k)
            WriteScriptLine(file, "bind " + inputs[k], command, description, withDescriptions);
    }
}

void YInputObjSettings::WriteVars(CStdioFile& file)
{
    struct IntVar {
        const char* name;
        int value;
    };
    const IntVar vars[] = {
        {"inp_aiming", m_aiming},
        {"inp_aiming_nload", m_aimingNoLoad},
        {"inp_invertx", m_invertX},
        {"inp_inverty", m_invertY},
        {"inp_joystick", m_joystick},
        {"inp_lightgun", m_lightGun},
        {"inp_calibratelightgun", m_calibrateLightGun},
        {"inp_ffeedback", m_forceFeedback},
        {"inp_msmoothing", m_mouseSmoothing},
        {"inp_msensitivity", m_mouseSensitivity},
        {"inp_jsensitivity", m_joySensitivity},
        {"inp_jdeadz_x", m_deadZoneX},
        {"inp_jdeadz_y", m_deadZoneY},
    };
    YString line;
    for (const IntVar& var : vars) {
        line.Format("set %s \"%d\"", var.name, var.value);
        file.WriteString(line + "\n");
    }
    line.Format("set %s \"%f\"", "inp_slope", (double)m_slope);
    file.WriteString(line + "\n");
}

void YInputObjSettings::WriteScript(CStdioFile& file)
{
    file.WriteString("\n-- Input settings\n\n");
    WriteBindings(file, true);
    WriteVars(file);
}

void YInputObjSettings::WriteScriptShort(CStdioFile& file)
{
    file.WriteString("\n-- Input settings\n\n");
    WriteBindings(file, false);
    WriteVars(file);
}

void YInputObjSettings::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << (LONG)FormatVersion;
        ar << (LONG)m_aiming << (LONG)m_aimingY << (LONG)m_invertX << (LONG)m_invertY << (LONG)m_joystick
           << (LONG)m_lightGun << (LONG)m_calibrateLightGun << (LONG)m_forceFeedback;
        ar << (BYTE)m_mouseSensitivity << (BYTE)m_joySensitivity;
        ar << (LONG)m_aimingNoLoad << (LONG)m_mouseSmoothing << m_slope;
        ar << (LONG)m_commands.GetSize();
        for (int i = 0; i < m_commands.GetSize(); ++i) {
            const YInputObjCommand& cmd = m_commands[i];
            ar << cmd.m_name << cmd.m_description;
            ar << (LONG)cmd.m_key << (LONG)cmd.m_mouseButton << (LONG)cmd.m_joyButton << (LONG)cmd.m_type
               << (LONG)cmd.m_reserved;
            ar << (LONG)cmd.m_aliasParts.GetCount();
            for (POSITION pos = cmd.m_aliasParts.GetHeadPosition(); pos;) ar << cmd.m_aliasParts.GetNext(pos);
        }
        ar << (LONG)m_deadZoneX << (LONG)m_deadZoneY;
        return;
    }

    LONG version = 0;
    ar >> version;
    LONG v[8];
    for (LONG& word : v) ar >> word;
    m_aiming = v[0];
    m_aimingY = v[1];
    m_invertX = v[2];
    m_invertY = v[3];
    m_joystick = v[4];
    m_lightGun = v[5];
    m_calibrateLightGun = v[6];
    m_forceFeedback = v[7];
    BYTE mouse = 0, joy = 0;
    ar >> mouse >> joy;
    m_mouseSensitivity = mouse;
    m_joySensitivity = joy;
    ar >> v[0] >> v[1] >> m_slope;
    m_slope = Slope(m_slope);
    m_aimingNoLoad = v[0];
    m_mouseSmoothing = v[1];

    LONG count = 0;
    ar >> count;
    if (count < 0) AfxThrowArchiveException(CArchiveException::badIndex);
    ar.EnsureCanRead((ULONGLONG)count * MinRecordBytes);
    m_commands.SetSize(count);
    for (int i = 0; i < count; ++i) {
        YInputObjCommand& cmd = m_commands[i];
        // An empty stored string leaves its target as it was: read into fresh ones.
        YString name, description;
        ar >> name >> description;
        cmd.m_name = name;
        cmd.m_description = description;
        ar >> v[0] >> v[1] >> v[2] >> v[3] >> v[4];
        cmd.m_key = v[0];
        cmd.m_mouseButton = v[1];
        cmd.m_joyButton = v[2];
        cmd.m_type = v[3];
        cmd.m_reserved = v[4];
        LONG parts = 0;
        ar >> parts;
        if (parts < 0) AfxThrowArchiveException(CArchiveException::badIndex);
        ar.EnsureCanRead((ULONGLONG)parts * 4);
        cmd.m_aliasParts.RemoveAll();
        for (LONG k = 0; k < parts; ++k) {
            YString part;
            ar >> part;
            cmd.m_aliasParts.AddTail(part);
        }
    }
    if (version >= 2) {
        ar >> v[0] >> v[1];
        m_deadZoneX = v[0];
        m_deadZoneY = v[1];
    }
}
