// DirectInput 7 keyboard and mouse over the backend's events.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/backend/HeadlessBackend.h"
#include "platform/dinput.h"
#include "platform/win32_window.h"
#include "ScriptedInput.h"

using platform::BackendEvent;

using scripted::FakeWindow;

namespace {
class DirectInputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::ResetDirectInput();
        ASSERT_EQ(DI_OK, DirectInputCreateEx(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput7,
                                             reinterpret_cast<LPVOID*>(&m_di), nullptr));
    }
    void TearDown() override
    {
        if (m_keyboard) m_keyboard->Release();
        if (m_mouse) m_mouse->Release();
        if (m_di) m_di->Release();
        platform::ResetDirectInput();
    }

    LPDIRECTINPUTDEVICE7 Make(const GUID& which, const DIDATAFORMAT& format, DWORD buffer)
    {
        LPDIRECTINPUTDEVICE7 device = nullptr;
        EXPECT_EQ(DI_OK, m_di->CreateDeviceEx(which, IID_IDirectInputDevice7, reinterpret_cast<LPVOID*>(&device),
                                              nullptr));
        if (!device) return nullptr;
        EXPECT_EQ(DI_OK, device->SetDataFormat(&format));
        EXPECT_EQ(DI_OK, device->SetCooperativeLevel(FakeWindow(), DISCL_NONEXCLUSIVE | DISCL_FOREGROUND));
        if (buffer) {
            DIPROPDWORD size = BufferSize(buffer);
            EXPECT_EQ(DI_OK, device->SetProperty(DIPROP_BUFFERSIZE, &size.diph));
        }
        return device;
    }
    static DIPROPDWORD BufferSize(DWORD size)
    {
        DIPROPDWORD prop;
        prop.diph.dwSize = sizeof(DIPROPDWORD);
        prop.diph.dwHeaderSize = sizeof(DIPROPHEADER);
        prop.diph.dwObj = 0;
        prop.diph.dwHow = DIPH_DEVICE;
        prop.dwData = size;
        return prop;
    }
    static void Send(BackendEvent::Kind kind, int scanCode = 0, int button = 0, int dx = 0, int dy = 0)
    {
        BackendEvent e;
        e.kind = kind;
        e.scanCode = scanCode;
        e.button = button;
        e.dx = dx;
        e.dy = dy;
        platform::Backend::Get().PushEvent(e);
        platform::PumpBackendEvents();
    }
    static std::vector<DIDEVICEOBJECTDATA> Drain(LPDIRECTINPUTDEVICE7 device, HRESULT expected = DI_OK)
    {
        DIDEVICEOBJECTDATA data[32];
        DWORD count = 32;
        EXPECT_EQ(expected, device->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), data, &count, 0));
        return std::vector<DIDEVICEOBJECTDATA>(data, data + count);
    }

    LPDIRECTINPUT7 m_di = nullptr;
    LPDIRECTINPUTDEVICE7 m_keyboard = nullptr;
    LPDIRECTINPUTDEVICE7 m_mouse = nullptr;
};

BOOL CALLBACK Collect(LPCDIDEVICEINSTANCEA info, LPVOID context)
{
    static_cast<std::vector<DWORD>*>(context)->push_back(info->dwDevType);
    return DIENUM_CONTINUE;
}

BOOL CALLBACK StopAtFirst(LPCDIDEVICEINSTANCEA, LPVOID context)
{
    ++*static_cast<int*>(context);
    return DIENUM_STOP;
}
}  // namespace

TEST(DirectInputCreate, VersionsInterfacesAndArguments)
{
    struct Case {
        DWORD version;
        const GUID* iid;
        HRESULT result;
    };
    const Case cases[] = {
        {0x0700, &IID_IDirectInput7, DI_OK},
        {0x0500, &IID_IDirectInput7, DI_OK},
        {0x0800, &IID_IDirectInput7, DIERR_BETADIRECTINPUTVERSION},
        {0x0200, &IID_IDirectInput7, DIERR_OLDDIRECTINPUTVERSION},
        {0x0700, &IID_IDirectInputDevice7, DIERR_NOINTERFACE},
    };
    for (const Case& c : cases) {
        LPVOID object = reinterpret_cast<LPVOID>(1);
        EXPECT_EQ(c.result, DirectInputCreateEx(nullptr, c.version, *c.iid, &object, nullptr)) << c.version;
        EXPECT_EQ(c.result == DI_OK, object != nullptr);
        if (object) static_cast<LPDIRECTINPUT7>(object)->Release();
    }
    EXPECT_EQ(DIERR_INVALIDPARAM, DirectInputCreateEx(nullptr, 0x0700, IID_IDirectInput7, nullptr, nullptr));
}

TEST(DirectInputNames, ResultsHaveTheirNames)
{
    struct Case {
        HRESULT result;
        const char* name;
    };
    const Case cases[] = {
        {DI_OK, "DI_OK"},
        {DIERR_INPUTLOST, "DIERR_INPUTLOST"},
        {DIERR_NOTACQUIRED, "DIERR_NOTACQUIRED"},
        {DIERR_ACQUIRED, "DIERR_ACQUIRED"},
        {DIERR_INVALIDPARAM, "DIERR_INVALIDPARAM"},
        {DIERR_OTHERAPPHASPRIO, "DIERR_OTHERAPPHASPRIO"},
        {DIERR_NOTBUFFERED, "DIERR_NOTBUFFERED"},
        {DIERR_DEVICENOTREG, "DIERR_DEVICENOTREG"},
        {DIERR_OLDDIRECTINPUTVERSION, "DIERR_OLDDIRECTINPUTVERSION"},
        {static_cast<HRESULT>(0x8123ABCD), "unknown"},
    };
    for (const Case& c : cases) EXPECT_STREQ(c.name, platform::DirectInputResultName(c.result));
}

TEST_F(DirectInputTest, EnumeratesKeyboardAndMouseByType)
{
    struct Case {
        DWORD type;
        std::vector<DWORD> found;
    };
    const Case cases[] = {
        {0, {DIDEVTYPE_KEYBOARD, DIDEVTYPE_MOUSE}},
        {DIDEVTYPE_KEYBOARD, {DIDEVTYPE_KEYBOARD}},
        {DIDEVTYPE_MOUSE, {DIDEVTYPE_MOUSE}},
        {DIDEVTYPE_JOYSTICK, {}},
    };
    for (const Case& c : cases) {
        std::vector<DWORD> found;
        EXPECT_EQ(DI_OK, m_di->EnumDevices(c.type, Collect, &found, DIEDFL_ATTACHEDONLY));
        EXPECT_EQ(c.found, found) << c.type;
    }
    int calls = 0;
    EXPECT_EQ(DI_OK, m_di->EnumDevices(0, StopAtFirst, &calls, 0));
    EXPECT_EQ(1, calls);
}

TEST_F(DirectInputTest, CreateDeviceChecksGuidAndFormat)
{
    LPVOID device = nullptr;
    EXPECT_EQ(DIERR_DEVICENOTREG, m_di->CreateDeviceEx(GUID_NULL, IID_IDirectInputDevice7, &device, nullptr));
    EXPECT_EQ(nullptr, device);
    ASSERT_EQ(DI_OK, m_di->CreateDeviceEx(GUID_SysKeyboard, IID_IDirectInputDevice7, &device, nullptr));
    m_keyboard = static_cast<LPDIRECTINPUTDEVICE7>(device);
    EXPECT_EQ(DIERR_INVALIDPARAM, m_keyboard->SetDataFormat(&c_dfDIMouse));
    EXPECT_EQ(DIERR_INVALIDPARAM, m_keyboard->Acquire());  // no format yet
    EXPECT_EQ(DI_OK, m_keyboard->SetDataFormat(&c_dfDIKeyboard));
    EXPECT_EQ(DIERR_INVALIDPARAM, m_keyboard->SetCooperativeLevel(FakeWindow(), DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE |
                                                                                   DISCL_FOREGROUND));
    EXPECT_EQ(DIERR_INVALIDPARAM, m_keyboard->SetCooperativeLevel(FakeWindow(), DISCL_NONEXCLUSIVE));
    EXPECT_EQ(DI_OK, m_keyboard->Acquire());
    EXPECT_EQ(S_FALSE, m_keyboard->Acquire());
    EXPECT_EQ(DIERR_ACQUIRED, m_keyboard->SetDataFormat(&c_dfDIKeyboard));
    DIPROPDWORD size = BufferSize(8);
    EXPECT_EQ(DIERR_ACQUIRED, m_keyboard->SetProperty(DIPROP_BUFFERSIZE, &size.diph));
    EXPECT_EQ(DI_OK, m_keyboard->Unacquire());
    EXPECT_EQ(DI_OK, m_keyboard->SetProperty(DIPROP_BUFFERSIZE, &size.diph));
    DIPROPDWORD read = BufferSize(0);
    EXPECT_EQ(DI_OK, m_keyboard->GetProperty(DIPROP_BUFFERSIZE, &read.diph));
    EXPECT_EQ(8u, read.dwData);
    EXPECT_EQ(DIERR_UNSUPPORTED, m_keyboard->GetProperty(DIPROP_AXISMODE, &read.diph));
    DIPROPDWORD badHeader = BufferSize(4);
    badHeader.diph.dwHeaderSize = 8;
    EXPECT_EQ(DIERR_INVALIDPARAM, m_keyboard->SetProperty(DIPROP_BUFFERSIZE, &badHeader.diph));
    DIDEVICEINSTANCEA info;
    info.dwSize = sizeof info;
    EXPECT_EQ(DI_OK, m_keyboard->GetDeviceInfo(&info));
    EXPECT_TRUE(info.guidInstance == GUID_SysKeyboard);
    EXPECT_EQ(static_cast<DWORD>(DIDEVTYPE_KEYBOARD), GET_DIDEVICE_TYPE(info.dwDevType));
}

TEST_F(DirectInputTest, KeyboardStateAndBufferFollowTheEvents)
{
    m_keyboard = Make(GUID_SysKeyboard, c_dfDIKeyboard, 16);
    ASSERT_TRUE(m_keyboard);
    BYTE keys[256];
    EXPECT_EQ(DIERR_NOTACQUIRED, m_keyboard->GetDeviceState(sizeof keys, keys));
    ASSERT_EQ(DI_OK, m_keyboard->Acquire());
    EXPECT_EQ(DIERR_INVALIDPARAM, m_keyboard->GetDeviceState(16, keys));

    Send(BackendEvent::KeyDown, DIK_LEFT);
    Send(BackendEvent::KeyDown, DIK_SPACE);
    Send(BackendEvent::KeyUp, DIK_SPACE);  // a tap between two polls
    ASSERT_EQ(DI_OK, m_keyboard->GetDeviceState(sizeof keys, keys));
    EXPECT_EQ(0x80, keys[DIK_LEFT]);
    EXPECT_EQ(0, keys[DIK_SPACE]);
    EXPECT_EQ(0, keys[DIK_A]);

    std::vector<DIDEVICEOBJECTDATA> data = Drain(m_keyboard);
    struct Expect {
        DWORD offset, value;
    };
    const Expect expected[] = {{DIK_LEFT, 0x80}, {DIK_SPACE, 0x80}, {DIK_SPACE, 0}};
    ASSERT_EQ(3u, data.size());
    for (size_t i = 0; i < data.size(); ++i) {
        EXPECT_EQ(expected[i].offset, data[i].dwOfs) << i;
        EXPECT_EQ(expected[i].value, data[i].dwData) << i;
        if (i) {
            EXPECT_LT(data[i - 1].dwSequence, data[i].dwSequence);
        }
    }
    EXPECT_TRUE(Drain(m_keyboard).empty());

    BackendEvent repeat;
    repeat.kind = BackendEvent::KeyDown;
    repeat.scanCode = DIK_LEFT;
    repeat.repeat = 1;
    platform::Backend::Get().PushEvent(repeat);
    platform::PumpBackendEvents();
    EXPECT_TRUE(Drain(m_keyboard).empty());  // repeats make no record
}

TEST_F(DirectInputTest, BufferPeeksFlushesAndOverflows)
{
    m_keyboard = Make(GUID_SysKeyboard, c_dfDIKeyboard, 2);
    ASSERT_TRUE(m_keyboard);
    ASSERT_EQ(DI_OK, m_keyboard->Acquire());
    Send(BackendEvent::KeyDown, DIK_A);
    Send(BackendEvent::KeyUp, DIK_A);
    Send(BackendEvent::KeyDown, DIK_B);  // no room: lost
    DIDEVICEOBJECTDATA one;
    DWORD count = 1;
    EXPECT_EQ(DI_BUFFEROVERFLOW,
              m_keyboard->GetDeviceData(sizeof one, &one, &count, DIGDD_PEEK));
    EXPECT_EQ(1u, count);
    EXPECT_EQ(static_cast<DWORD>(DIK_A), one.dwOfs);
    std::vector<DIDEVICEOBJECTDATA> data = Drain(m_keyboard, DI_BUFFEROVERFLOW);
    ASSERT_EQ(2u, data.size());
    EXPECT_EQ(0u, data[1].dwData);
    Send(BackendEvent::KeyUp, DIK_B);
    count = INFINITE;
    EXPECT_EQ(DI_OK, m_keyboard->GetDeviceData(sizeof one, nullptr, &count, 0));  // flush
    EXPECT_EQ(1u, count);
    EXPECT_TRUE(Drain(m_keyboard).empty());

    LPDIRECTINPUTDEVICE7 unbuffered = Make(GUID_SysKeyboard, c_dfDIKeyboard, 0);
    ASSERT_TRUE(unbuffered);
    ASSERT_EQ(DI_OK, unbuffered->Acquire());
    count = 1;
    EXPECT_EQ(DIERR_NOTBUFFERED, unbuffered->GetDeviceData(sizeof one, &one, &count, 0));
    unbuffered->Release();
}

TEST_F(DirectInputTest, MouseGivesOneRecordPerMotionOrButtonInOrder)
{
    m_mouse = Make(GUID_SysMouse, c_dfDIMouse, 32);
    ASSERT_TRUE(m_mouse);
    ASSERT_EQ(DI_OK, m_mouse->Acquire());
    Send(BackendEvent::MouseMove, 0, 0, 5, -3);
    Send(BackendEvent::MouseDown, 0, 1);
    Send(BackendEvent::MouseMove, 0, 0, 0, 7);
    Send(BackendEvent::MouseUp, 0, 1);
    Send(BackendEvent::MouseDown, 0, 2);

    DIMOUSESTATE state;
    ASSERT_EQ(DI_OK, m_mouse->GetDeviceState(sizeof state, &state));
    EXPECT_EQ(5, state.lX);
    EXPECT_EQ(4, state.lY);
    EXPECT_EQ(0, state.rgbButtons[0]);
    EXPECT_EQ(0x80, state.rgbButtons[1]);
    ASSERT_EQ(DI_OK, m_mouse->GetDeviceState(sizeof state, &state));
    EXPECT_EQ(0, state.lX);  // relative: motion since the last state
    EXPECT_EQ(0, state.lY);

    struct Expect {
        DWORD offset, value;
    };
    const Expect expected[] = {
        {DIMOFS_X, 5u},         {DIMOFS_Y, static_cast<DWORD>(-3)}, {DIMOFS_BUTTON0, 0x80},
        {DIMOFS_Y, 7u},         {DIMOFS_BUTTON0, 0},                {DIMOFS_BUTTON1, 0x80},
    };
    std::vector<DIDEVICEOBJECTDATA> data = Drain(m_mouse);
    ASSERT_EQ(6u, data.size());
    for (size_t i = 0; i < data.size(); ++i) {
        EXPECT_EQ(expected[i].offset, data[i].dwOfs) << i;
        EXPECT_EQ(expected[i].value, data[i].dwData) << i;
    }
}

TEST_F(DirectInputTest, MouseAxisModeAbsoluteSumsTheMotion)
{
    m_mouse = Make(GUID_SysMouse, c_dfDIMouse2, 8);
    ASSERT_TRUE(m_mouse);
    DIPROPDWORD mode = BufferSize(DIPROPAXISMODE_ABS);
    ASSERT_EQ(DI_OK, m_mouse->SetProperty(DIPROP_AXISMODE, &mode.diph));
    mode.dwData = 7;
    EXPECT_EQ(DIERR_INVALIDPARAM, m_mouse->SetProperty(DIPROP_AXISMODE, &mode.diph));
    ASSERT_EQ(DI_OK, m_mouse->GetProperty(DIPROP_AXISMODE, &mode.diph));
    EXPECT_EQ(static_cast<DWORD>(DIPROPAXISMODE_ABS), mode.dwData);
    ASSERT_EQ(DI_OK, m_mouse->Acquire());
    Send(BackendEvent::MouseMove, 0, 0, 10, 0);
    Send(BackendEvent::MouseMove, 0, 0, -4, 2);
    DIMOUSESTATE2 state;
    ASSERT_EQ(DI_OK, m_mouse->GetDeviceState(sizeof state, &state));
    EXPECT_EQ(6, state.lX);
    EXPECT_EQ(2, state.lY);
    ASSERT_EQ(DI_OK, m_mouse->GetDeviceState(sizeof state, &state));
    EXPECT_EQ(6, state.lX);  // absolute: stays
    std::vector<DIDEVICEOBJECTDATA> data = Drain(m_mouse);
    ASSERT_EQ(3u, data.size());
    EXPECT_EQ(10u, data[0].dwData);
    EXPECT_EQ(6u, data[1].dwData);
    EXPECT_EQ(static_cast<DWORD>(DIMOFS_Y), data[2].dwOfs);
    EXPECT_EQ(2u, data[2].dwData);
}

TEST_F(DirectInputTest, FocusLossLosesInputUntilReacquired)
{
    m_keyboard = Make(GUID_SysKeyboard, c_dfDIKeyboard, 8);
    m_mouse = Make(GUID_SysMouse, c_dfDIMouse, 8);
    ASSERT_TRUE(m_keyboard && m_mouse);
    LPDIRECTINPUTDEVICE7 background = Make(GUID_SysKeyboard, c_dfDIKeyboard, 8);
    ASSERT_TRUE(background);
    ASSERT_EQ(DI_OK, background->SetCooperativeLevel(FakeWindow(), DISCL_NONEXCLUSIVE | DISCL_BACKGROUND));
    ASSERT_EQ(DI_OK, m_keyboard->Acquire());
    ASSERT_EQ(DI_OK, m_mouse->Acquire());
    ASSERT_EQ(DI_OK, background->Acquire());
    Send(BackendEvent::KeyDown, DIK_W);
    Send(BackendEvent::FocusLost);

    BYTE keys[256];
    EXPECT_EQ(DIERR_INPUTLOST, m_keyboard->GetDeviceState(sizeof keys, keys));
    EXPECT_EQ(DIERR_NOTACQUIRED, m_keyboard->GetDeviceState(sizeof keys, keys));
    std::vector<DIDEVICEOBJECTDATA> lost = Drain(m_mouse, DIERR_INPUTLOST);
    EXPECT_TRUE(lost.empty());
    EXPECT_EQ(DI_OK, background->GetDeviceState(sizeof keys, keys));
    EXPECT_EQ(0, keys[DIK_W]);  // keys are let go with the focus
    EXPECT_EQ(DIERR_OTHERAPPHASPRIO, m_keyboard->Acquire());
    Send(BackendEvent::KeyDown, DIK_E);  // not ours while away
    Send(BackendEvent::FocusGained);
    ASSERT_EQ(DI_OK, m_keyboard->Acquire());
    ASSERT_EQ(DI_OK, m_keyboard->GetDeviceState(sizeof keys, keys));
    EXPECT_EQ(0x80, keys[DIK_E]);
    EXPECT_TRUE(Drain(m_keyboard).empty());
    Send(BackendEvent::KeyUp, DIK_E);
    std::vector<DIDEVICEOBJECTDATA> data = Drain(m_keyboard);
    ASSERT_EQ(1u, data.size());
    EXPECT_EQ(static_cast<DWORD>(DIK_E), data[0].dwOfs);
    background->Release();
}

TEST_F(DirectInputTest, ScriptedEventsReachTheDevices)
{
    platform::HeadlessBackend* headless = platform::HeadlessBackend::Active();
    ASSERT_NE(nullptr, headless);
    m_keyboard = Make(GUID_SysKeyboard, c_dfDIKeyboard, 8);
    m_mouse = Make(GUID_SysMouse, c_dfDIMouse, 8);
    ASSERT_TRUE(m_keyboard && m_mouse);
    ASSERT_EQ(DI_OK, m_keyboard->Acquire());
    ASSERT_EQ(DI_OK, m_mouse->Acquire());
    ASSERT_TRUE(headless->Script().Parse("0 key down Left Ctrl\n0 key up Left Ctrl\n0 mouse move 3 4\n"
                                         "0 mouse button 3 down\n"));
    platform::PumpBackendEvents();
    std::vector<DIDEVICEOBJECTDATA> keys = Drain(m_keyboard);
    ASSERT_EQ(2u, keys.size());
    EXPECT_EQ(static_cast<DWORD>(DIK_LCONTROL), keys[0].dwOfs);
    EXPECT_EQ(0x80u, keys[0].dwData);
    EXPECT_EQ(0u, keys[1].dwData);
    std::vector<DIDEVICEOBJECTDATA> mouse = Drain(m_mouse);
    ASSERT_EQ(3u, mouse.size());
    EXPECT_EQ(static_cast<DWORD>(DIMOFS_X), mouse[0].dwOfs);
    EXPECT_EQ(static_cast<DWORD>(DIMOFS_Y), mouse[1].dwOfs);
    EXPECT_EQ(static_cast<DWORD>(DIMOFS_BUTTON2), mouse[2].dwOfs);
}

// An exclusive mouse holds the backend's relative mouse (cursor hidden, no
// edge) while acquired; every way of letting it go gives it back.
TEST_F(DirectInputTest, ExclusiveMouseHoldsTheRelativeMouseWhileAcquired)
{
    platform::HeadlessBackend* headless = platform::HeadlessBackend::Active();
    ASSERT_NE(nullptr, headless);
    enum Release { Unacquire, FocusLost, ReleaseDevice };
    const struct {
        Release how;
        const char* what;
    } cases[] = {{Unacquire, "unacquired"}, {FocusLost, "focus lost"}, {ReleaseDevice, "device released"}};
    for (const auto& c : cases) {
        LPDIRECTINPUTDEVICE7 mouse = Make(GUID_SysMouse, c_dfDIMouse, 8);
        ASSERT_TRUE(mouse);
        ASSERT_EQ(DI_OK, mouse->SetCooperativeLevel(FakeWindow(), DISCL_EXCLUSIVE | DISCL_FOREGROUND));
        EXPECT_FALSE(headless->MouseRelative()) << c.what;
        ASSERT_EQ(DI_OK, mouse->Acquire());
        EXPECT_TRUE(headless->MouseRelative()) << c.what;
        EXPECT_EQ(S_FALSE, mouse->Acquire());  // twice acquired still holds once
        switch (c.how) {
        case Unacquire: EXPECT_EQ(DI_OK, mouse->Unacquire()); break;
        case FocusLost: Send(BackendEvent::FocusLost); break;
        case ReleaseDevice: mouse->Release(); mouse = nullptr; break;
        }
        EXPECT_FALSE(headless->MouseRelative()) << c.what;
        if (c.how == FocusLost) {
            Send(BackendEvent::FocusGained);
            EXPECT_FALSE(headless->MouseRelative()) << "focus back, not yet reacquired";
            ASSERT_EQ(DI_OK, mouse->Acquire());
            EXPECT_TRUE(headless->MouseRelative()) << "reacquired";
        }
        if (mouse) mouse->Release();
        EXPECT_FALSE(headless->MouseRelative()) << c.what;
    }
}

TEST_F(DirectInputTest, OnlyAnExclusiveMouseTakesTheRelativeMouse)
{
    platform::HeadlessBackend* headless = platform::HeadlessBackend::Active();
    ASSERT_NE(nullptr, headless);
    m_keyboard = Make(GUID_SysKeyboard, c_dfDIKeyboard, 8);
    ASSERT_EQ(DI_OK, m_keyboard->SetCooperativeLevel(FakeWindow(), DISCL_EXCLUSIVE | DISCL_FOREGROUND));
    ASSERT_EQ(DI_OK, m_keyboard->Acquire());
    m_mouse = Make(GUID_SysMouse, c_dfDIMouse, 8);  // shared
    ASSERT_EQ(DI_OK, m_mouse->Acquire());
    EXPECT_FALSE(headless->MouseRelative());

    // Two exclusive mice: the mode stays until the last lets go.
    LPDIRECTINPUTDEVICE7 first = Make(GUID_SysMouse, c_dfDIMouse, 8);
    LPDIRECTINPUTDEVICE7 second = Make(GUID_SysMouse, c_dfDIMouse2, 8);
    ASSERT_TRUE(first && second);
    for (LPDIRECTINPUTDEVICE7 mouse : {first, second}) {
        ASSERT_EQ(DI_OK, mouse->SetCooperativeLevel(FakeWindow(), DISCL_EXCLUSIVE | DISCL_FOREGROUND));
        ASSERT_EQ(DI_OK, mouse->Acquire());
    }
    EXPECT_EQ(DIERR_ACQUIRED, first->SetCooperativeLevel(FakeWindow(), DISCL_NONEXCLUSIVE | DISCL_FOREGROUND));
    EXPECT_EQ(DI_OK, first->Unacquire());
    EXPECT_TRUE(headless->MouseRelative());
    second->Release();
    EXPECT_FALSE(headless->MouseRelative());
    first->Release();

    // Motion keeps coming while the mode is on.
    LPDIRECTINPUTDEVICE7 exclusive = Make(GUID_SysMouse, c_dfDIMouse, 8);
    ASSERT_EQ(DI_OK, exclusive->SetCooperativeLevel(FakeWindow(), DISCL_EXCLUSIVE | DISCL_FOREGROUND));
    ASSERT_EQ(DI_OK, exclusive->Acquire());
    for (int i = 0; i < 4; ++i) Send(BackendEvent::MouseMove, 0, 0, 500, 0);
    DIMOUSESTATE state;
    ASSERT_EQ(DI_OK, exclusive->GetDeviceState(sizeof state, &state));
    EXPECT_EQ(2000, state.lX);
    exclusive->Release();
}
