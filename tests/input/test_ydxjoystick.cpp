// The joystick wrapper: dead zones, buttons across polls, creation and
// loss of the device.
#include <gtest/gtest.h>

#include <cstring>

#include "input/YDXInput.h"
#include "input/YDXJoystick.h"

TEST(YDXJoystickDeadZone, ScalesOutsideTheZoneAndTruncatesTowardZero)
{
    struct Case {
        int32_t deadZone;
        int32_t raw;
        int32_t expected;
    };
    const Case cases[] = {
        {0, -1000, -1000}, {0, 0, 0},       {0, 1000, 1000},   {0, 437, 437},     {-50, 30, 30},
        {200, 150, 0},     {200, -150, 0},  {200, 200, 0},     {200, -200, 0},    {200, 1000, 640},
        {200, -1000, -640}, {200, 201, 0},  {200, -201, 0},    {200, 202, 1},     {100, 1000, 810},
        {100, -1000, -810}, {999, 1000, 0}, {500, 750, 125},   {500, -750, -125},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, YDXJoystick::ApplyDeadZone(c.raw, c.deadZone)) << c.deadZone << " " << c.raw;
}

TEST(YDXJoystickDeadZone, XAndYUseTheirOwnZones)
{
    YDXJoystick joystick;
    joystick.m_deadZoneX = 200;
    joystick.m_deadZoneY = 0;
    joystick.m_state.lX = 1000;
    joystick.m_state.lY = 150;
    EXPECT_EQ(640, joystick.X());
    EXPECT_EQ(150, joystick.Y());
}

TEST(YDXJoystickButtons, NowAndPreviousPollOutOfRangeReadsUp)
{
    YDXJoystick joystick;
    joystick.m_state.rgbButtons[0] = 0x80;
    joystick.m_state.rgbButtons[31] = 0x80;
    joystick.m_state.rgbButtons[5] = 0x7F;  // only bit 7 counts
    joystick.m_previous.rgbButtons[1] = 0x80;
    struct Case {
        int button;
        bool now;
        bool before;
    };
    const Case cases[] = {{0, true, false}, {1, false, true}, {5, false, false}, {31, true, false},
                          {32, false, false}, {-1, false, false}, {1000, false, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.now, joystick.IsButtonDown(c.button)) << c.button;
        EXPECT_EQ(c.before, joystick.WasButtonDown(c.button)) << c.button;
    }
    EXPECT_TRUE(joystick.IsFirstButtonDown());
    EXPECT_FALSE(joystick.IsSecondButtonDown());
    EXPECT_FALSE(joystick.WasFirstButtonDown());
    EXPECT_TRUE(joystick.WasSecondButtonDown());
}

TEST(YDXJoystickCreate, FailsWithoutAnEnumeratedJoystick)
{
    YDXInput input;
    ASSERT_TRUE(input.Create(nullptr, nullptr));
    ASSERT_TRUE(input.EnumAttachedDevices());  // keyboard and mouse only
    YDXJoystick joystick;
    EXPECT_FALSE(joystick.Create(&input));
    EXPECT_EQ(nullptr, joystick.m_device);
    EXPECT_EQ("YDXJoystick::Create", input.m_methodName);
    YDXJoystick ff;
    EXPECT_FALSE(ff.CreateFF(&input));
    EXPECT_EQ("YDXJoystick::CreateFF", input.m_methodName);
    EXPECT_EQ(0, ff.m_forceFeedback);
    EXPECT_FALSE(joystick.Acquire());  // no device: nothing to acquire
    EXPECT_FALSE(joystick.Update());
}
