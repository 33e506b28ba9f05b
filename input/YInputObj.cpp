#include "input/YInputObj.h"

#include <cmath>
#include <cstdlib>

#include "input/YDXActLabsGS.h"
#include "input/YDXJoystick.h"
#include "input/YKeyNames.h"
#include "platform/win32.h"

IMPLEMENT_DYNAMIC(YInputObj, CObject)

namespace {
// A double to int32 toward zero; out-of-range values stop at the int32 limits.
int64_t Truncate(double value)
{
    if (!(value > -2147483648.0)) return value != value ? 0 : INT32_MIN;
    if (value >= 2147483647.0) return INT32_MAX;
    return static_cast<int32_t>(value);
}

int32_t Clamp(int64_t value, int32_t limit)
{
    if (value < -limit) return -limit;
    if (value > limit) return limit;
    return static_cast<int32_t>(value);
}

// One step of a binding's state machine: the new state for the old one.
int32_t NextState(int32_t type, int32_t state, bool down)
{
    if (type != YInputObjCommand::OneShot) return down ? 2 : 0;
    if (down) return state == 0 ? 2 : state;
    return state == 1 ? 0 : state;
}

// Counts a level of re-entry for as long as it lives.
class Nesting {
public:
    explicit Nesting(int32_t& depth) : m_depth(depth) { ++m_depth; }
    ~Nesting() { --m_depth; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;

private:
    int32_t& m_depth;
};
}  // namespace

YInputObj::YInputObj(CommandCallback commandCallback, AxisCallback axisCallback)
    : m_activeMask(0), m_enabled(1), m_pointerX(0.0), m_pointerY(0.0), m_cursorX(0), m_cursorY(0),
      m_buttonLatch{0, 0, 0}, m_device(nullptr), m_captured(0), m_mouseAcquired(0), m_yAxis(0), m_xAxis(0),
      m_wheelAxis(0), m_yDigital(0), m_xDigital(0), m_queue(10), m_waitUntil(0), m_commandCallback(commandCallback),
      m_axisCallback(axisCallback), m_nesting(0)
{
}

YInputObj::~YInputObj()
{
    if (m_device) {
        m_device->Release();
        delete m_device;
        m_device = nullptr;
    }
}

// ---------------------------------------------------------------- devices
bool YInputObj::Create(const YInputObjSettings* settings)
{
    Destroy();
    if (settings && settings != &m_settings) m_settings = *settings;

    CWnd* main = AfxGetMainWnd();
    HWND window = main ? main->m_hWnd : nullptr;
    if (!m_dxInput.Create(AfxGetInstanceHandle(), window)) return false;
    if (!m_keyboard.Create(&m_dxInput)) return false;
    if (!m_mouse.Create(&m_dxInput)) return false;

    if (m_settings.m_lightGun) {
        m_dxInput.EnumAttachedJoysticks();
        if (m_dxInput.m_joystickFound) {
            YDXActLabsGS* gun = new YDXActLabsGS;
            if (gun->Create(&m_dxInput)) {
                m_device = gun;
            } else {
                delete gun;
                m_settings.m_lightGun = 0;
            }
        } else {
            m_settings.m_lightGun = 0;
        }
        if (!m_settings.m_lightGun) m_settings.m_calibrateLightGun = 0;
    }

    if (m_settings.m_joystick) {
        if (m_settings.m_forceFeedback && !m_device) {
            m_dxInput.EnumAttachedFFJoysticks();
            if (m_dxInput.m_ffJoystickFound) {
                YDXJoystick* joystick = new YDXJoystick;
                joystick->m_deadZoneX = m_settings.m_deadZoneX;
                joystick->m_deadZoneY = m_settings.m_deadZoneY;
                if (joystick->CreateFF(&m_dxInput)) {
                    m_device = joystick;
                } else {
                    delete joystick;
                    m_settings.m_forceFeedback = 0;
                }
            } else {
                m_settings.m_forceFeedback = 0;
            }
        }
        if (!m_device) {
            m_dxInput.EnumAttachedJoysticks();
            if (m_dxInput.m_joystickFound) {
                YDXJoystick* joystick = new YDXJoystick;
                joystick->m_deadZoneX = m_settings.m_deadZoneX;
                joystick->m_deadZoneY = m_settings.m_deadZoneY;
                if (joystick->Create(&m_dxInput)) {
                    m_device = joystick;
                    return true;
                }
                delete joystick;
            }
            m_settings.m_joystick = 0;
        }
    }
    return true;
}

bool YInputObj::Destroy()
{
    if (m_device) {
        m_device->Release();
        delete m_device;
        m_device = nullptr;
    }
    m_mouse.Release();
    m_keyboard.Release();
    m_dxInput.Release();
    return true;
}

bool YInputObj::AcquireMouse(bool skipMouse)
{
    m_captured = 1;
    if (skipMouse) return true;
    m_mouseAcquired = m_mouse.Acquire() ? 1 : 0;
    return m_mouseAcquired != 0;
}

void YInputObj::UnacquireMouse()
{
    if (m_mouseAcquired) {
        m_mouse.Unacquire();
        m_mouseAcquired = 0;
    }
    m_captured = 0;
}

LRESULT YInputObj::OnWindowMessage(UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_MOUSEMOVE) {
        m_cursorX = LOWORD(lParam);
        m_cursorY = HIWORD(lParam);
    }
    return 0;
}

bool YInputObj::GetCursorClientPos(POINT* point)
{
    if (!point) return false;
    GetCursorPos(point);
    CWnd* main = AfxGetMainWnd();
    if (main && main->m_hWnd) ScreenToClient(main->m_hWnd, point);
    return true;
}

void YInputObj::Flush()
{
    if (m_mouse.m_device) m_mouse.Reset();
    if (m_keyboard.m_device) m_keyboard.Flush();
}

// ---------------------------------------------------------------- the frame
double YInputObj::MouseResponse(int32_t d) const
{
    return std::fabs((AxisRange / (double)m_settings.m_slope) * d / AxisRange) * m_settings.m_mouseSensitivity * 0.45 *
           d;
}

double YInputObj::JoystickResponse(int32_t d) const
{
    return std::fabs((AxisRange / (double)m_settings.m_slope) * d / AxisRange) * m_settings.m_joySensitivity *
           0.0035 * d;
}

void YInputObj::Update()
{
    m_xAxis = m_yAxis = m_wheelAxis = 0;
    m_xDigital = m_yDigital = 0;
    m_keyboard.Update();
    if (m_mouseAcquired && m_mouse.m_acquired) m_mouse.Update();
    if (!m_enabled) return;

    // The device steers the Windows cursor and clicks its left button.
    if (m_device) {
        m_device->Update();
        if (m_settings.m_joystick) {
            m_pointerX += m_device->X() * (double)m_settings.m_joySensitivity * 0.001;
            m_pointerY += m_device->Y() * (double)m_settings.m_joySensitivity * 0.001;
            if (!m_captured)
                mouse_event(MOUSEEVENTF_MOVE, static_cast<DWORD>(Truncate(m_pointerX)),
                            static_cast<DWORD>(Truncate(m_pointerY)), 0, 0);
            if (std::fabs(m_pointerX) > 1.0) m_pointerX = 0.0;
            if (std::fabs(m_pointerY) > 1.0) m_pointerY = 0.0;
            for (int b = 0; b < 3; ++b) {
                bool down = m_device->IsButtonDown(b);
                if (m_buttonLatch[b] && !down) {
                    mouse_event(MOUSEEVENTF_LEFTUP, m_cursorX, m_cursorY, 0, 0);
                    m_buttonLatch[b] = 0;
                } else if (!m_buttonLatch[b] && down) {
                    mouse_event(MOUSEEVENTF_LEFTDOWN, m_cursorX, m_cursorY, 0, 0);
                    m_buttonLatch[b] = 1;
                }
            }
        }
    }

    // Bindings: a press or release action may change the table, so each
    // record is fetched again by its index.
    m_activeMask = 0;
    for (int32_t i = 0; i < m_settings.GetCommandCount(); ++i) {
        YInputObjCommand* cmd = m_settings.GetCommand(i);
        int down = (m_keyboard.m_current[cmd->m_key & 0xFF] & 0x80) ? 1 : 0;
        if (m_mouseAcquired && cmd->m_mouseButton >= 0 && cmd->m_mouseButton <= 2 &&
            m_mouse.m_buttons[cmd->m_mouseButton] != 0)
            ++down;
        if (m_device && m_captured && cmd->m_joyButton >= 0 && cmd->m_joyButton < 32 &&
            m_device->IsButtonDown(cmd->m_joyButton))
            ++down;
        int32_t before = cmd->m_state;
        cmd->m_prevState = before;
        cmd->m_state = NextState(cmd->m_type, before, down != 0);
        m_activeMask |= cmd->m_state;
        if (cmd->m_state == 2 && before == 0) ExecuteBinding(i);
        else if (cmd->m_state == 0 && before > 0) ReleaseBinding(i);
    }

    ProcessQueue(false);

    const bool steering = (m_mouseAcquired || m_captured) && m_settings.GetCommandCount() > 0;
    int64_t x = 0, y = 0;
    if (steering) {
        if (m_mouseAcquired) x += Truncate(MouseResponse(m_mouse.m_x));
        if (m_device && m_captured) x += Truncate(JoystickResponse(m_device->X()));
        if (m_settings.m_invertX) x = -x;
    }
    m_xAxis = Clamp(x, AxisRange);

    if (m_mouseAcquired || m_settings.m_aiming) m_wheelAxis = static_cast<int32_t>(Truncate(MouseResponse(m_mouse.m_z)));

    if (steering) {
        if (m_settings.m_aiming) y += Truncate(MouseResponse(m_mouse.m_y));
        if (m_device && m_settings.m_aimingY) y += Truncate(JoystickResponse(m_device->Y()));
        if ((m_settings.m_aiming || m_settings.m_aimingY) && m_settings.m_invertY) y = -y;
    }
    m_yAxis = Clamp(y, AxisRange);

    if (m_axisCallback) m_axisCallback(m_xAxis, m_yAxis);
}

// ---------------------------------------------------------------- the queue
void YInputObj::ProcessQueue(bool force)
{
    Nesting nesting(m_nesting);
    // A cyclic alias refills the queue as it runs; the rest waits for the next pass.
    for (int run = 0; run < MaxRunPerPass; ++run) {
        if (!force && GetTickCount() < m_waitUntil) return;
        if (m_queue.IsEmpty()) return;
        YString line = m_queue.RemoveHead();
        ExecuteCommandString(line);
    }
}

void YInputObj::ExecuteCommandString(const YString& text)
{
    YString words[2];
    int count = 0;
    for (int start = 0, length = text.GetLength(); start < length && count < 2;) {
        int end = text.Find(' ', start);
        if (end < 0) end = length;
        if (end > start) words[count++] = text.Mid(start, end - start);
        start = end + 1;
    }
    if (count > 0 && words[0].CompareNoCase("wait") == 0) {
        int milliseconds = count > 1 ? rcv_atoi(words[1]) : 0;
        if (milliseconds == 0) milliseconds = 100;
        m_waitUntil = GetTickCount() + static_cast<uint32_t>(milliseconds);
        return;
    }
    int32_t index = FindCommand(text);
    if (index >= 0) {
        ExecuteBinding(index);
        return;
    }
    if (m_commandCallback) m_commandCallback(text);
}

// ---------------------------------------------------------------- press and release
void YInputObj::ExecuteBinding(int32_t index)
{
    YInputObjCommand* cmd = GetCommand(index);
    if (!cmd) return;
    cmd->m_state = 2;
    // A binding that keeps running itself through the interpreter stops here.
    if (m_nesting >= MaxNesting) return;

    if (cmd->GetAliasPartCount() == 0) {
        if (cmd->m_name.IsEmpty()) return;
        YString line = cmd->m_name;
        if (cmd->m_type == YInputObjCommand::Momentary && line[0] != '+') line = YString("+") + line;
        if (m_commandCallback) {
            Nesting nesting(m_nesting);
            m_commandCallback(line);
        }
        return;
    }

    if (m_queue.GetCount() + cmd->GetAliasPartCount() > MaxQueue) return;
    for (POSITION pos = cmd->m_aliasParts.GetTailPosition(); pos;) {
        const YString& part = cmd->m_aliasParts.GetPrev(pos);
        YString expanded;
        m_queue.AddHead(ExpandAlias(part, expanded) ? expanded : part);
    }
    m_waitUntil = GetTickCount();
}

void YInputObj::ReleaseBinding(int32_t index)
{
    YInputObjCommand* cmd = GetCommand(index);
    if (!cmd || cmd->m_name.IsEmpty() || cmd->GetAliasPartCount() > 0 || cmd->m_type != YInputObjCommand::Momentary)
        return;
    YString name = cmd->m_name;
    if (name[0] == '+') name = name.Mid(1);
    if (m_commandCallback) {
        Nesting nesting(m_nesting);
        m_commandCallback(YString("-") + name);
    }
}

void YInputObj::ReleaseBindingByName(const char* name)
{
    ReleaseBinding(FindCommand(name));
}

bool YInputObj::IsCommandActive(int32_t index)
{
    YInputObjCommand* cmd = GetCommand(index);
    if (!cmd) return false;
    if (cmd->m_type == YInputObjCommand::OneShot) {
        if (cmd->m_state != 2) return false;
        cmd->m_state = 1;
        return true;
    }
    return cmd->m_state != 0;
}

bool YInputObj::IsCommandActiveByName(const char* name)
{
    return IsCommandActive(FindCommand(name));
}

bool YInputObj::WasCommandActive(int32_t index)
{
    YInputObjCommand* cmd = GetCommand(index);
    return cmd && cmd->m_prevState != 0;
}

bool YInputObj::WasCommandActiveByName(const char* name)
{
    return WasCommandActive(FindCommand(name));
}

void YInputObj::ResetCommandState(int32_t index)
{
    if (YInputObjCommand* cmd = GetCommand(index)) cmd->m_state = cmd->m_prevState = 0;
}

bool YInputObj::ExpandAlias(const YString& word, YString& out)
{
    return ExpandAlias(word, out, 0);
}

bool YInputObj::ExpandAlias(const YString& word, YString& out, int depth)
{
    YString prefix;
    YString rest = word;
    if (!word.IsEmpty() && (word[0] == '-' || word[0] == '+')) {
        prefix = word.Left(1);
        rest = word.Mid(1);
    }
    bool expanded = false;
    // One-part aliases are followed a bounded number of steps.
    YInputObjCommand* cmd = depth < MaxExpansion ? GetCommandByName(rest) : nullptr;
    if (cmd && cmd->GetAliasPartCount() == 1) {
        YString inner;
        ExpandAlias(cmd->m_aliasParts.GetHead(), inner, depth + 1);
        rest = inner;
        expanded = true;
    }
    out = prefix + rest;
    return expanded;
}

// ---------------------------------------------------------------- the binding table
int32_t YInputObj::FindCommand(const char* name)
{
    return m_settings.FindCommand(name);
}

int32_t YInputObj::SetCommand(const char* name, const char* description, int32_t type, int32_t key,
                              int32_t mouseButton, int32_t joyButton)
{
    return m_settings.SetCommand(name, description, type, key, mouseButton, joyButton);
}

bool YInputObj::SetAlias(int32_t index, const YString& text)
{
    return m_settings.SetAlias(index, text);
}

void YInputObj::ClearAlias(int32_t index)
{
    m_settings.ClearAlias(index);
}

int32_t YInputObj::GetAliasPartCount(int32_t index)
{
    return m_settings.GetAliasPartCount(index);
}

YString YInputObj::GetAliasPart(int32_t index, int32_t part)
{
    return m_settings.GetAliasPart(index, part);
}

YString YInputObj::GetAliasText(int32_t index)
{
    return m_settings.GetAliasText(index);
}

YString YInputObj::ListUnbound()
{
    return m_settings.ListUnbound();
}

int32_t YInputObj::FindCommandByCode(int32_t key, int32_t mouseButton, int32_t joyButton)
{
    return m_settings.FindCommandByCode(key, mouseButton, joyButton);
}

YInputObjCommand* YInputObj::GetCommand(int32_t index)
{
    return m_settings.GetCommand(index);
}

YInputObjCommand* YInputObj::GetCommandByName(const char* name)
{
    return m_settings.GetCommandByName(name);
}

void YInputObj::SetCommandCount(int32_t count)
{
    m_settings.SetCommandCount(count);
}

int32_t YInputObj::ClearBinding(int32_t key, int32_t mouseButton, int32_t joyButton, int32_t sparedIndex)
{
    return m_settings.ClearBinding(key, mouseButton, joyButton, sparedIndex);
}

// ---------------------------------------------------------------- key names
int32_t YInputObj::KeyNameToCode(const char* name) { return YKeyNames::KeyNameToCode(name); }
int32_t YInputObj::MouseNameToCode(const char* name) { return YKeyNames::MouseNameToCode(name); }
int32_t YInputObj::JoyNameToCode(const char* name) { return YKeyNames::JoyNameToCode(name); }
YString YInputObj::KeyCodeToName(int32_t code) { return YKeyNames::KeyCodeToName(code); }
YString YInputObj::MouseCodeToName(int32_t code) { return YKeyNames::MouseCodeToName(code); }
YString YInputObj::JoyCodeToName(int32_t code) { return YKeyNames::JoyCodeToName(code); }
YString YInputObj::KeyCodeToScriptName(int32_t code) { return YKeyNames::KeyCodeToScriptName(code); }
YString YInputObj::MouseCodeToScriptName(int32_t code) { return YKeyNames::MouseCodeToScriptName(code); }
YString YInputObj::JoyCodeToScriptName(int32_t code) { return YKeyNames::JoyCodeToScriptName(code); }
YString YInputObj::KeyIndexToName(int32_t index) { return YKeyNames::KeyIndexToName(index); }
YString YInputObj::MouseIndexToName(int32_t index) { return YKeyNames::MouseIndexToName(index); }
YString YInputObj::JoyIndexToName(int32_t index) { return YKeyNames::JoyIndexToName(index); }
