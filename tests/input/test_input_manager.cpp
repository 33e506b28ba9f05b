// The input manager's frame: keyboard, mouse and device readings turned into
// binding presses and releases, the response curves and the two axes, and the
// device steering the Windows cursor.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/YDXActLabsGS.h"
#include "input/YDXJoystick.h"
#include "input/YInputObj.h"
#include "platform/backend/Backend.h"
#include "platform/backend/HeadlessBackend.h"
#include "platform/mfc.h"
#include "platform/win32.h"
#include "ScriptedInput.h"

using scripted::Play;

namespace {
std::vector<std::string>& Sent()
{
    static std::vector<std::string> lines;
    return lines;
}

void Record(const char* line)
{
    Sent().push_back(line);
}

struct Axes {
    int32_t x, y;
};

std::vector<Axes>& AxisCalls()
{
    static std::vector<Axes> calls;
    return calls;
}

void RecordAxes(int32_t x, int32_t y)
{
    AxisCalls().push_back({x, y});
}

// A joystick whose readings the test sets.
class FakeJoystick : public YDXJoystick {
public:
    bool Update() override
    {
        ++m_updates;
        return true;
    }
    int32_t X() override { return m_x; }
    int32_t Y() override { return m_y; }
    bool IsButtonDown(int button) override { return button >= 0 && button < 32 && m_buttons[button]; }

    int32_t m_x = 0, m_y = 0;
    bool m_buttons[32] = {};
    int m_updates = 0;
};

void Wheel(int steps)
{
    platform::BackendEvent e;
    e.kind = platform::BackendEvent::Wheel;
    e.wheel = steps;
    platform::Backend::Get().PushEvent(e);
    platform::PumpBackendEvents();
}

class InputManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::ResetDirectInput();
        platform::Clock::SetManual(true);
        platform::Clock::Set(1000);
        m_frame = new CFrameWnd;
        ASSERT_TRUE(m_frame->Create(nullptr, "Input", WS_OVERLAPPED | WS_CAPTION));
        m_frame->ShowWindow(SW_SHOWNORMAL);
        m_app.m_pMainWnd = m_frame;
        ASSERT_TRUE(m_input.Create(&m_input.m_settings));
        m_input.Update();  // the keyboard acquires itself
        TakeMessages();
        Sent().clear();
        AxisCalls().clear();
    }

    void TearDown() override
    {
        m_input.Destroy();
        m_app.m_pMainWnd = nullptr;
        DestroyWindow(m_frame->m_hWnd);  // the frame deletes itself
        TakeMessages();
        platform::ResetDirectInput();
        platform::Clock::SetManual(false);
    }

    // The mouse messages waiting in the queue, as "message x y".
    std::vector<std::string> TakeMessages()
    {
        std::vector<std::string> taken;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            const char* name = nullptr;
            switch (message.message) {
            case WM_MOUSEMOVE: name = "move"; break;
            case WM_LBUTTONDOWN: name = "down"; break;
            case WM_LBUTTONUP: name = "up"; break;
            case WM_PAINT: ValidateRect(message.hwnd, nullptr); continue;
            default: continue;
            }
            taken.push_back(std::string(name) + " " + std::to_string(LOWORD(message.lParam)) + " " +
                            std::to_string(HIWORD(message.lParam)));
        }
        return taken;
    }

    FakeJoystick* AttachJoystick()
    {
        FakeJoystick* joystick = new FakeJoystick;
        m_input.m_device = joystick;
        m_input.m_settings.m_joystick = 1;
        return joystick;
    }

    CWinApp m_app;
    CFrameWnd* m_frame = nullptr;
    YInputObj m_input{Record, RecordAxes};
};
}  // namespace

TEST_F(InputManagerTest, CreateDropsAbsentDevicesFromItsCopyOnly)
{
    struct Case {
        int joystick, forceFeedback, lightGun, calibrate;
        int joystickAfter, forceFeedbackAfter, lightGunAfter, calibrateAfter;
    } cases[] = {
        {1, 1, 0, 0, 0, 0, 0, 0},
        {1, 0, 0, 0, 0, 0, 0, 0},
        {0, 1, 0, 0, 0, 1, 0, 0},  // without the joystick the feedback is not looked at
        {0, 0, 1, 1, 0, 0, 0, 0},
        {1, 1, 1, 1, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        YInputObjSettings settings;
        settings.m_joystick = c.joystick;
        settings.m_forceFeedback = c.forceFeedback;
        settings.m_lightGun = c.lightGun;
        settings.m_calibrateLightGun = c.calibrate;
        settings.SetCommand("fire", "", 0, 57, -1, -1);
        ASSERT_TRUE(m_input.Create(&settings));
        EXPECT_EQ(nullptr, m_input.m_device);
        EXPECT_EQ(c.joystickAfter, m_input.m_settings.m_joystick);
        EXPECT_EQ(c.forceFeedbackAfter, m_input.m_settings.m_forceFeedback);
        EXPECT_EQ(c.lightGunAfter, m_input.m_settings.m_lightGun);
        EXPECT_EQ(c.calibrateAfter, m_input.m_settings.m_calibrateLightGun);
        EXPECT_EQ(c.joystick, settings.m_joystick);
        EXPECT_EQ(c.lightGun, settings.m_lightGun);
        EXPECT_EQ(57, m_input.GetCommandByName("fire")->m_key);
    }
    // Without a window the keyboard cannot be made.
    m_app.m_pMainWnd = nullptr;
    EXPECT_FALSE(m_input.Create(nullptr));
    EXPECT_EQ("YDXKeyboard::Create", m_input.m_dxInput.m_methodName);
}

TEST_F(InputManagerTest, KeyTappedBetweenPollsFiresPressAndRelease)
{
    m_input.SetCommand("fire", "", 0, DIK_SPACE, -1, -1);
    Play("0 key down Space\n0 key up Space\n");
    m_input.Update();
    EXPECT_EQ((std::vector<std::string>{"+fire"}), Sent());
    EXPECT_EQ(2, m_input.m_activeMask);
    m_input.Update();
    EXPECT_EQ((std::vector<std::string>{"+fire", "-fire"}), Sent());
    EXPECT_EQ(0, m_input.m_activeMask);
}

TEST_F(InputManagerTest, OneShotFiresOncePerConsumedPress)
{
    int fire = m_input.SetCommand("fire", "", YInputObjCommand::OneShot, DIK_F, -1, -1);
    struct Frame {
        const char* events;
        bool consumeBefore;
        int state;
        int fired;  // presses sent so far
    } frames[] = {
        {"0 key down F\n", false, 2, 1},
        {"", false, 2, 1},             // held
        {"", true, 1, 1},              // consumed while held
        {"0 key up F\n", false, 0, 1},  // up: free again, nothing sent
        {"0 key down F\n", false, 2, 2},
        {"0 key up F\n", false, 2, 2},  // released unconsumed: stays pressed
        {"0 key down F\n", false, 2, 2},  // and does not fire again
        {"0 key up F\n", true, 0, 2},
    };
    int index = 0;
    for (const Frame& f : frames) {
        if (*f.events) Play(f.events);
        if (f.consumeBefore) {
            EXPECT_TRUE(m_input.IsCommandActive(fire)) << index;
        }
        m_input.Update();
        EXPECT_EQ(f.state, m_input.GetCommand(fire)->m_state) << index;
        EXPECT_EQ((size_t)f.fired, Sent().size()) << index;
        ++index;
    }
    for (const std::string& line : Sent()) EXPECT_EQ("fire", line);
}

TEST_F(InputManagerTest, MouseButtonsAndMotionInOrder)
{
    m_input.SetCommand("fire", "", 0, -1, 0, -1);
    m_input.SetCommand("look", "", 0, -1, 1, -1);
    // Not acquired: the mouse is not read.
    Play("0 mouse button 1 down\n");
    m_input.Update();
    m_input.Update();
    EXPECT_TRUE(Sent().empty());
    Play("0 mouse button 1 up\n");

    ASSERT_TRUE(m_input.AcquireMouse(false));
    EXPECT_EQ(1, m_input.m_captured);
    Play("0 mouse button 1 down\n0 mouse move 10 -4\n");
    m_input.Update();  // the poll that sees the press reads it as up
    EXPECT_EQ(900, AxisCalls().back().x);
    EXPECT_EQ(144, AxisCalls().back().y);  // 4 x 4 x 20 x 0.45, inverted
    Play("0 mouse button 2 down\n");
    m_input.Update();
    EXPECT_EQ(0, AxisCalls().back().x);
    Play("0 mouse button 1 up\n");
    for (int i = 0; i < 4; ++i) m_input.Update();
    EXPECT_EQ((std::vector<std::string>{"+fire", "+look", "-fire"}), Sent());

    m_input.UnacquireMouse();
    EXPECT_EQ(0, m_input.m_captured);
    EXPECT_EQ(0, m_input.m_mouseAcquired);
    m_input.Update();
    EXPECT_EQ((std::vector<std::string>{"+fire", "+look", "-fire", "-look"}), Sent());
}

TEST_F(InputManagerTest, ResponseCurves)
{
    struct Case {
        float slope;
        int mouseSensitivity, joySensitivity;
        int32_t d;
        double mouse, joystick;
    } cases[] = {
        {1.0f, 20, 127, 10, 900.0, 44.45},
        {1.0f, 20, 127, -10, -900.0, -44.45},
        {2.0f, 20, 127, 10, 450.0, 22.225},
        {1.0f, 1, 255, 1000, 450000.0, 892500.0},
        {1.0f, 20, 127, 0, 0.0, 0.0},
    };
    for (const Case& c : cases) {
        m_input.m_settings.m_slope = c.slope;
        m_input.m_settings.m_mouseSensitivity = (uint8_t)c.mouseSensitivity;
        m_input.m_settings.m_joySensitivity = (uint8_t)c.joySensitivity;
        EXPECT_NEAR(c.mouse, m_input.MouseResponse(c.d), 1e-6) << c.d;
        EXPECT_NEAR(c.joystick, m_input.JoystickResponse(c.d), 1e-6) << c.d;
    }
}

TEST_F(InputManagerTest, AxesFollowTheSettings)
{
    struct Case {
        bool bindings;
        int aiming, aimingY, invertX, invertY;
        int dx, dy, wheel;
        int32_t x, y, wheelAxis;
    } cases[] = {
        {true, 1, 1, 0, 1, 10, 10, 0, 900, -900, 0},
        {true, 1, 1, 1, 0, 10, 10, 0, -900, 900, 0},
        {true, 0, 0, 0, 1, -10, 10, 0, -900, 0, 0},      // no aiming: no Y, nothing to invert
        {true, 1, 1, 0, 0, 30, -30, 0, 5715, -5715, 0},  // clamped
        {false, 1, 1, 0, 0, 10, 10, 2, 0, 0, 36},       // no bindings: no axes, the wheel still counts
    };
    ASSERT_TRUE(m_input.AcquireMouse(false));
    for (const Case& c : cases) {
        m_input.SetCommandCount(0);
        if (c.bindings) m_input.SetCommand("fire", "", 0, DIK_SPACE, -1, -1);
        m_input.m_settings.m_aiming = c.aiming;
        m_input.m_settings.m_aimingY = c.aimingY;
        m_input.m_settings.m_invertX = c.invertX;
        m_input.m_settings.m_invertY = c.invertY;
        std::string events = "0 mouse move " + std::to_string(c.dx) + " " + std::to_string(c.dy) + "\n";
        Play(events.c_str());
        if (c.wheel) Wheel(c.wheel);
        m_input.Update();
        EXPECT_EQ(c.x, m_input.m_xAxis) << c.dx;
        EXPECT_EQ(c.y, m_input.m_yAxis) << c.dy;
        EXPECT_EQ(c.wheelAxis, m_input.m_wheelAxis);
        EXPECT_EQ(c.x, AxisCalls().back().x);
        EXPECT_EQ(c.y, AxisCalls().back().y);
    }
}

TEST_F(InputManagerTest, WithoutFocusOnlyTheDevicesArePolled)
{
    m_input.SetCommand("fire", "", 0, DIK_SPACE, -1, -1);
    m_input.m_enabled = 0;
    Play("0 key down Space\n");
    m_input.Update();
    EXPECT_EQ(0x80, m_input.m_keyboard.m_current[DIK_SPACE]);
    EXPECT_TRUE(Sent().empty());
    EXPECT_TRUE(AxisCalls().empty());
    m_input.m_enabled = 1;
    m_input.Update();
    EXPECT_EQ((std::vector<std::string>{"+fire"}), Sent());
    m_input.Flush();
    EXPECT_EQ(0, m_input.m_keyboard.m_current[DIK_SPACE]);
}

TEST_F(InputManagerTest, DeviceSteersTheCursorInTheMenus)
{
    FakeJoystick* joystick = AttachJoystick();
    m_input.m_settings.m_joySensitivity = 100;
    joystick->m_x = 7;  // 0.7 a frame
    joystick->m_y = -15;  // -1.5 a frame
    SetCursorPos(100, 100);
    struct Frame {
        int moveX, moveY;
    } frames[] = {{0, -1}, {1, -1}, {0, -1}};
    int index = 0;
    POINT before = {100, 100};
    for (const Frame& f : frames) {
        m_input.Update();
        POINT now;
        GetCursorPos(&now);
        EXPECT_EQ(f.moveX, now.x - before.x) << index;
        EXPECT_EQ(f.moveY, now.y - before.y) << index;
        before = now;
        ++index;
    }
    EXPECT_EQ(3, joystick->m_updates);
    EXPECT_NEAR(0.7, m_input.m_pointerX, 1e-9);

    // Captured for play, the cursor stays.
    m_input.AcquireMouse(true);
    m_input.Update();
    POINT now;
    GetCursorPos(&now);
    EXPECT_EQ(before.x, now.x);
    EXPECT_EQ(before.y, now.y);
    // A window message moved the cursor; its position is where clicks go.
    TakeMessages();
    m_input.OnWindowMessage(WM_MOUSEMOVE, 0, MAKELPARAM(40, 50));
    EXPECT_EQ(40, m_input.m_cursorX);
    EXPECT_EQ(50, m_input.m_cursorY);
}

TEST_F(InputManagerTest, DeviceButtonsClickTheLeftMouseButton)
{
    FakeJoystick* joystick = AttachJoystick();
    RECT client;
    GetClientRect(m_frame->m_hWnd, &client);
    POINT origin = {0, 0};
    ClientToScreen(m_frame->m_hWnd, &origin);
    SetCursorPos(origin.x + 30, origin.y + 20);
    struct Frame {
        bool button0, button2;
        std::vector<std::string> messages;
    } frames[] = {
        {true, false, {"down 30 20"}},
        {true, true, {"down 30 20"}},  // every button acts as the left one
        {false, true, {"up 30 20"}},
        {false, false, {"up 30 20"}},
        {false, false, {}},
    };
    m_input.AcquireMouse(true);  // captured: the buttons still click
    int index = 0;
    for (const Frame& f : frames) {
        joystick->m_buttons[0] = f.button0;
        joystick->m_buttons[2] = f.button2;
        m_input.Update();
        EXPECT_EQ(f.messages, TakeMessages()) << index;
        ++index;
    }
    POINT at;
    ASSERT_TRUE(m_input.GetCursorClientPos(&at));
    EXPECT_EQ(30, at.x);
    EXPECT_EQ(20, at.y);
    EXPECT_FALSE(m_input.GetCursorClientPos(nullptr));
}

TEST_F(InputManagerTest, DeviceButtonsAndAxesCountOnlyWhileCaptured)
{
    FakeJoystick* joystick = AttachJoystick();
    m_input.SetCommand("fire", "", 0, -1, -1, 3);
    m_input.m_settings.m_joySensitivity = 127;
    m_input.m_settings.m_invertY = 0;
    joystick->m_buttons[3] = true;
    joystick->m_x = 100;
    joystick->m_y = -100;
    m_input.Update();
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(0, m_input.m_xAxis);
    m_input.AcquireMouse(true);
    m_input.Update();
    EXPECT_EQ((std::vector<std::string>{"+fire"}), Sent());
    EXPECT_EQ(4445, m_input.m_xAxis);   // 100 x 100 x 127 x 0.0035
    EXPECT_EQ(-4445, m_input.m_yAxis);
    m_input.UnacquireMouse();
    m_input.Update();
    EXPECT_EQ((std::vector<std::string>{"+fire", "-fire"}), Sent());
    // Destroy releases and deletes the device.
    m_input.Destroy();
    EXPECT_EQ(nullptr, m_input.m_device);
}

TEST_F(InputManagerTest, ASlopeOfZeroFromAnArchiveStillGivesAxesInRange)
{
    ASSERT_TRUE(m_input.AcquireMouse(false));
    m_input.SetCommand("fire", "", 0, DIK_SPACE, -1, -1);
    m_input.m_settings.m_slope = 0.0f;  // an archive is read without the setting's clamp
    m_input.m_settings.m_invertY = 0;
    struct Case {
        int dx, dy;
        int32_t x, y;
    } cases[] = {{10, -10, 5715, -5715}, {0, 0, 0, 0}};
    for (const Case& c : cases) {
        std::string events = "0 mouse move " + std::to_string(c.dx) + " " + std::to_string(c.dy) + "\n";
        if (c.dx) Play(events.c_str());
        m_input.Update();
        EXPECT_EQ(c.x, m_input.m_xAxis) << c.dx;
        EXPECT_EQ(c.y, m_input.m_yAxis) << c.dy;
    }
}

TEST_F(InputManagerTest, AnAttachedJoystickIsKeptAndItsButtonsBind)
{
    struct Case {
        const char* attach;
        int forceFeedbackAfter;
    } cases[] = {{"0 joystick 0 attach \"Pad\"\n", 0}, {"0 joystick 0 attach \"Wheel\" ff\n", 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.attach);
        Play(c.attach);
        YInputObj input(Record, nullptr);
        YInputObjSettings settings;
        settings.m_joystick = 1;
        settings.m_forceFeedback = 1;
        settings.SetCommand("fire", "", 0, -1, -1, 3);
        ASSERT_TRUE(input.Create(&settings));
        ASSERT_NE(nullptr, input.m_device);
        EXPECT_EQ(1, input.m_settings.m_joystick);
        EXPECT_EQ(c.forceFeedbackAfter, input.m_settings.m_forceFeedback);
        EXPECT_EQ(c.forceFeedbackAfter, input.m_device->m_forceFeedback);

        Sent().clear();
        input.AcquireMouse(true);
        Play("0 joystick 0 button 3 down\n");
        input.Update();
        Play("0 joystick 0 button 3 up\n");
        input.Update();
        EXPECT_EQ((std::vector<std::string>{"+fire", "-fire"}), Sent());
        input.Destroy();
        EXPECT_EQ(nullptr, input.m_device);
        Play("0 joystick 0 detach\n");
    }
}

// inp_lightgun with the vendor's library at hand: the manager takes the gun
// as its device, keeps both gun settings, and while captured the gun's
// trigger runs its binding and its aim steers the X axis. Without an attached
// gun both settings are cleared.
TEST_F(InputManagerTest, TheLightGunIsTheDeviceWhileItsLibraryAndAGunAreThere)
{
    scripted::InFolder folder(RCV_GUNLIB_DIR);
    ASSERT_TRUE(folder.Entered());
    YInputObjSettings settings;
    settings.m_lightGun = 1;
    settings.m_calibrateLightGun = 1;
    settings.m_joySensitivity = 127;
    settings.SetCommand("fire", "", 0, -1, -1, 0);

    ASSERT_TRUE(m_input.Create(&settings));
    EXPECT_EQ(nullptr, m_input.m_device);  // no gun attached
    EXPECT_EQ(0, m_input.m_settings.m_lightGun);
    EXPECT_EQ(0, m_input.m_settings.m_calibrateLightGun);

    Play("0 joystick 2 attach \"Light Gun\" hats 1\n");
    ASSERT_TRUE(m_input.Create(&settings));
    YDXActLabsGS* gun = dynamic_cast<YDXActLabsGS*>(m_input.m_device);
    ASSERT_NE(nullptr, gun);
    EXPECT_NE(nullptr, gun->m_library);
    EXPECT_EQ(1, m_input.m_settings.m_lightGun);
    EXPECT_EQ(1, m_input.m_settings.m_calibrateLightGun);
    EXPECT_EQ(0, m_input.m_settings.m_joystick);

    // The trigger (button byte 4 in group 2) and an aim to the left.
    Play("0 joystick 2 hat 0 4\n0 joystick 2 axis 6 -250\n0 joystick 2 axis 7 300\n0 joystick 2 button 4 down\n");
    m_input.Update();
    EXPECT_TRUE(Sent().empty()) << "not captured yet";
    m_input.AcquireMouse(true);
    m_input.Update();
    EXPECT_EQ((std::vector<std::string>{"+fire"}), Sent());
    EXPECT_EQ(-250, gun->X());
    EXPECT_LT(m_input.m_xAxis, 0);
    EXPECT_GE(m_input.m_xAxis, -YInputObj::AxisRange);
    Play("0 joystick 2 button 4 up\n");
    m_input.Update();
    EXPECT_EQ((std::vector<std::string>{"+fire", "-fire"}), Sent());
    m_input.UnacquireMouse();
    Play("0 joystick 2 detach\n");
    m_input.Destroy();
    EXPECT_EQ(nullptr, m_input.m_device);
}
