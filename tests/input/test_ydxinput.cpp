// The DirectInput wrappers driven by scripted backend events.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "input/YDXInput.h"
#include "platform/backend/HeadlessBackend.h"
#include "platform/win32_window.h"
#include "ScriptedInput.h"

using scripted::FakeWindow;
using scripted::Play;
using scripted::Focus;

namespace {
class YDXInputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::ResetDirectInput();
        ASSERT_TRUE(m_input.Create(nullptr, FakeWindow()));
    }
    void TearDown() override { platform::ResetDirectInput(); }

    YDXInput m_input;
};
}  // namespace

TEST(YDXInputNames, ResultNamesAsPrinted)
{
    struct Case {
        HRESULT result;
        const char* name;
    };
    const Case cases[] = {
        {DI_OK, "DI_OK"},
        {S_FALSE, "S_FALSE"},
        {DI_POLLEDDEVICE, "DI_POLLEDDEVICE"},
        {DI_TRUNCATEDANDRESTARTED, "DI_TRUNCATEDANDRESTARTED"},
        {DIERR_INPUTLOST, "DIERR_INPUTLOST"},
        {DIERR_NOTACQUIRED, "DIERR_NOTACQUIRED"},
        {DIERR_OTHERAPPHASPRIO, "DIERR_HANDLEEXISTS"},  // the same code
        {DIERR_EFFECTPLAYING, "DIERR_EFFECTPLAYING"},
        {DIERR_NOTFOUND, "DIERR_NOTFOUND"},
        {E_PENDING, "E_PENDING"},
        {static_cast<HRESULT>(0x80001234), "Undefine Error"},
    };
    for (const Case& c : cases) EXPECT_STREQ(c.name, YDXInput::ResultName(c.result));
    YDXInput input;
    input.SetError("YDXMouse::Update", DIERR_INPUTLOST);
    EXPECT_EQ("YDXMouse::Update", input.m_methodName);
    EXPECT_EQ("DIERR_INPUTLOST", input.m_resultName);
    EXPECT_EQ(DIERR_INPUTLOST, input.m_lastResult);
}

TEST(YDXInputEnum, SeventeenControllersFillSixteenSlots)
{
    YDXInput input;
    EXPECT_EQ(-1, input.m_lastDevice);
    DIDEVICEINSTANCEA joystick;
    std::memset(&joystick, 0, sizeof joystick);
    joystick.dwSize = sizeof joystick;
    joystick.dwDevType = DIDEVTYPE_JOYSTICK | (2 << 8);
    for (int i = 0; i < 17; ++i) {
        joystick.guidInstance.Data1 = static_cast<DWORD>(100 + i);
        BOOL more = YDXInput::EnumCallback(&joystick, &input);
        EXPECT_EQ(i < 16 ? DIENUM_CONTINUE : DIENUM_STOP, more) << i;
    }
    EXPECT_EQ(15, input.m_lastDevice);
    EXPECT_EQ(1, input.m_joystickFound);
    EXPECT_EQ(0, input.m_ffJoystickFound);
    EXPECT_EQ(100u, input.m_devices[0].guidInstance.Data1);
    EXPECT_EQ(115u, input.m_devices[15].guidInstance.Data1);
}

TEST(YDXInputEnum, ARecordClaimingMoreThanASlotIsCutToTheSlot)
{
    static_assert(sizeof(DIDEVICEINSTANCEA) == 580, "one slot is 580 bytes");
    YDXInput input;
    // The record lives in a block of exactly its own size, so reading past
    // it is caught by the address sanitizer.
    std::unique_ptr<DIDEVICEINSTANCEA> record(new DIDEVICEINSTANCEA());
    record->dwSize = 0x10000;
    record->dwDevType = DIDEVTYPE_JOYSTICK;
    record->wUsage = 0x1234;  // the last field of the slot
    std::memset(&input.m_devices[1], 0xA5, sizeof input.m_devices[1]);
    ASSERT_EQ(DIENUM_CONTINUE, YDXInput::EnumCallback(record.get(), &input));
    EXPECT_EQ(0, input.m_lastDevice);
    EXPECT_EQ(0x1234, input.m_devices[0].wUsage);
    const unsigned char* next = reinterpret_cast<const unsigned char*>(&input.m_devices[1]);
    for (size_t i = 0; i < sizeof input.m_devices[1]; ++i) ASSERT_EQ(0xA5, next[i]) << i;

    // A short record fills only what it has.
    DIDEVICEINSTANCEA shortRecord;
    std::memset(&shortRecord, 0, sizeof shortRecord);
    shortRecord.dwSize = 8;
    ASSERT_EQ(DIENUM_CONTINUE, YDXInput::EnumCallback(&shortRecord, &input));
    EXPECT_EQ(8u, input.m_devices[1].dwSize);
    EXPECT_EQ(0u, input.m_devices[1].guidInstance.Data1);
    EXPECT_EQ(0xA5A5, input.m_devices[1].guidInstance.Data2);
}

TEST_F(YDXInputTest, EnumerationsAppendAndFlagJoysticksOnly)
{
    EXPECT_TRUE(m_input.EnumAttachedJoysticks());
    EXPECT_EQ(-1, m_input.m_lastDevice);
    EXPECT_EQ(0, m_input.m_joystickFound);
    EXPECT_TRUE(m_input.EnumAttachedDevices());
    EXPECT_EQ(1, m_input.m_lastDevice);  // keyboard and mouse
    EXPECT_TRUE(m_input.EnumDevices());
    EXPECT_EQ(3, m_input.m_lastDevice);  // appended after the first two
    EXPECT_EQ(0, m_input.m_joystickFound);
    EXPECT_TRUE(m_input.m_devices[0].guidInstance == GUID_SysKeyboard);
}

TEST_F(YDXInputTest, CreateFailuresAreRecorded)
{
    YDXInput noWindow;
    ASSERT_TRUE(noWindow.Create(nullptr, nullptr));
    YDXKeyboard keyboard;
    EXPECT_FALSE(keyboard.Create(&noWindow));  // a foreground level needs a window
    EXPECT_EQ("YDXKeyboard::Create", noWindow.m_methodName);
    EXPECT_EQ("DIERR_INVALIDPARAM", noWindow.m_resultName);
    YDXMouse mouse;
    EXPECT_FALSE(mouse.Create(&noWindow));
    EXPECT_EQ("YDXMouse::Create", noWindow.m_methodName);
}

TEST_F(YDXInputTest, KeyTappedBetweenPollsReadsPressedForOneFrame)
{
    YDXKeyboard keyboard;
    ASSERT_TRUE(keyboard.Create(&m_input));
    EXPECT_EQ(&keyboard, m_input.m_keyboard);
    EXPECT_TRUE(keyboard.Update());  // acquires on demand
    EXPECT_EQ(1, keyboard.m_acquired);
    Play("0 key down Left\n");
    ASSERT_TRUE(keyboard.Update());
    Play("0 key down Space\n0 key up Space\n");
    ASSERT_TRUE(keyboard.Update());
    EXPECT_EQ(0x80, keyboard.m_current[DIK_SPACE]);
    EXPECT_EQ(0, keyboard.m_previous[DIK_SPACE]);
    EXPECT_EQ(0x80, keyboard.m_current[DIK_LEFT]);
    EXPECT_EQ(0x80, keyboard.m_previous[DIK_LEFT]);
    ASSERT_TRUE(keyboard.Update());
    EXPECT_EQ(0, keyboard.m_current[DIK_SPACE]);
    EXPECT_EQ(0x80, keyboard.m_previous[DIK_SPACE]);
    ASSERT_TRUE(keyboard.Update());
    EXPECT_EQ(0, keyboard.m_previous[DIK_SPACE]);
    EXPECT_EQ(0x80, keyboard.m_current[DIK_LEFT]);
}

TEST_F(YDXInputTest, InactiveKeyboardOnlyCopiesItsState)
{
    YDXKeyboard keyboard;
    ASSERT_TRUE(keyboard.Create(&m_input));
    Play("0 key down A\n");
    ASSERT_TRUE(keyboard.Update());
    ASSERT_EQ(0x80, keyboard.m_current[DIK_A]);
    keyboard.SetActive(false);
    EXPECT_EQ(0, keyboard.m_acquired);
    Play("0 key up A\n0 key down B\n");
    EXPECT_FALSE(keyboard.Update());
    EXPECT_EQ(0x80, keyboard.m_current[DIK_A]);
    EXPECT_EQ(0x80, keyboard.m_previous[DIK_A]);
    EXPECT_EQ(0, keyboard.m_current[DIK_B]);
    keyboard.Flush();
    EXPECT_EQ(0, keyboard.m_current[DIK_A]);
    EXPECT_EQ(0, keyboard.m_previous[DIK_A]);
}

TEST_F(YDXInputTest, KeyboardLostInputIsReacquired)
{
    YDXKeyboard keyboard;
    ASSERT_TRUE(keyboard.Create(&m_input));
    ASSERT_TRUE(keyboard.Acquire());
    Focus(false);
    EXPECT_FALSE(keyboard.Update());  // away: the reacquisition is refused
    EXPECT_EQ("YDXKeyboard::Update", m_input.m_methodName);
    Focus(true);
    Play("0 key down W\n");
    EXPECT_TRUE(keyboard.Update());  // reacquired and read
    EXPECT_EQ(0x80, keyboard.m_current[DIK_W]);
}

TEST_F(YDXInputTest, MouseButtonStatesStepPollByPoll)
{
    YDXMouse mouse;
    ASSERT_TRUE(mouse.Create(&m_input));
    EXPECT_FALSE(mouse.Update());  // not acquired
    ASSERT_TRUE(mouse.Acquire());
    ASSERT_TRUE(mouse.Update());
    Play("0 mouse button 1 down\n");
    // Press seen, held, released, then nothing.
    const struct {
        const char* between;
        int state;
        int presses;
    } polls[] = {
        {"", 0, 1}, {"", 1, 0}, {"", 2, 0}, {"", 2, 0}, {"0 mouse button 1 up\n", 2, 0}, {"", 3, 0}, {"", 0, 0},
    };
    int index = 0;
    for (const auto& poll : polls) {
        if (*poll.between) Play(poll.between);
        ASSERT_TRUE(mouse.Update());
        EXPECT_EQ(poll.state, mouse.m_buttons[0]) << "poll " << index;
        EXPECT_EQ(poll.presses, mouse.m_presses[0]) << "poll " << index;
        EXPECT_EQ(0, mouse.m_buttons[1]) << "poll " << index;
        ++index;
    }
}

TEST_F(YDXInputTest, MouseClickBetweenPollsCountsOnce)
{
    YDXMouse mouse;
    ASSERT_TRUE(mouse.Create(&m_input));
    ASSERT_TRUE(mouse.Acquire());
    Play("0 mouse button 2 down\n0 mouse button 2 up\n");
    ASSERT_TRUE(mouse.Update());
    EXPECT_EQ(1, mouse.m_presses[1]);
    EXPECT_EQ(1, mouse.m_eventDown[1]);
    EXPECT_EQ(0, mouse.m_buttons[1]);
    ASSERT_TRUE(mouse.Update());
    EXPECT_EQ(0, mouse.m_buttons[1]);  // already up: not pressed again
    EXPECT_EQ(0, mouse.m_presses[1]);
}

TEST_F(YDXInputTest, MouseMotionTakesTheOldestEventOfThePoll)
{
    YDXMouse mouse;
    ASSERT_TRUE(mouse.Create(&m_input));
    ASSERT_TRUE(mouse.Acquire());
    Play("0 mouse move 5 -2\n0 mouse move 3 0\n0 mouse move 0 9\n");
    ASSERT_TRUE(mouse.Update());
    EXPECT_EQ(5, mouse.m_x);
    EXPECT_EQ(-2, mouse.m_y);
    EXPECT_EQ(0, mouse.m_z);
    ASSERT_TRUE(mouse.Update());
    EXPECT_EQ(0, mouse.m_x);  // zeroed each poll
    EXPECT_EQ(0, mouse.m_y);
}

TEST_F(YDXInputTest, MouseLostInputIsReacquired)
{
    YDXMouse mouse;
    ASSERT_TRUE(mouse.Create(&m_input));
    ASSERT_TRUE(mouse.Acquire());
    Focus(false);
    EXPECT_FALSE(mouse.Update());
    EXPECT_EQ("YDXMouse::Update", m_input.m_methodName);
    EXPECT_EQ("DIERR_NOTACQUIRED", m_input.m_resultName);
    Focus(true);
    ASSERT_TRUE(mouse.Acquire());
    Play("0 mouse move 4 0\n");
    Focus(false);
    Focus(true);
    EXPECT_TRUE(mouse.Update());  // lost, reacquired, read again
    EXPECT_EQ(0, mouse.m_x);      // what came before the loss is gone
    Play("0 mouse move 7 1\n");
    ASSERT_TRUE(mouse.Update());
    EXPECT_EQ(7, mouse.m_x);
    EXPECT_EQ(1, mouse.m_y);
}

TEST_F(YDXInputTest, MouseSmoothingAveragesAndDecays)
{
    YDXMouse mouse;
    ASSERT_TRUE(mouse.Create(&m_input));
    ASSERT_TRUE(mouse.Acquire());
    mouse.m_smoothing = 1;
    Play("0 mouse move 8 -1\n");
    ASSERT_TRUE(mouse.Update());
    EXPECT_EQ(4, mouse.m_x);   // (0 + 8) x 0.5
    EXPECT_EQ(-1, mouse.m_y);  // a single step is taken as it is
    Play("0 mouse move 20 0\n");
    ASSERT_TRUE(mouse.Update());
    EXPECT_EQ(12, mouse.m_x);  // (4 + 20) x 0.5
    EXPECT_EQ(0, mouse.m_y);   // no Y event: -1 x 0.3333 -> 0
    ASSERT_TRUE(mouse.Update());
    EXPECT_EQ(4, mouse.m_x);   // 12 x 0.3333 = 3.9996
    ASSERT_TRUE(mouse.Update());
    EXPECT_EQ(1, mouse.m_x);   // 4 x 0.3333 = 1.3332
}
