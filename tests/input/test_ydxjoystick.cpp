// The joystick wrapper: dead zones, buttons across polls, creation and
// loss of the device.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "input/YDXEffect.h"
#include "input/YDXInput.h"
#include "input/YDXJoystick.h"
#include "platform/backend/HeadlessBackend.h"
#include "platform/win32_window.h"
#include "ScriptedInput.h"

using platform::HeadlessBackend;

using scripted::FakeWindow;
using scripted::Play;
using scripted::Focus;

namespace {
// DirectInput with scripted joysticks: 0 has force feedback, 1 has not.
class YDXJoystickTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::ResetDirectInput();
        HeadlessBackend::Active()->ClearPlayedEffects();
        ASSERT_TRUE(m_input.Create(nullptr, FakeWindow()));
    }
    void TearDown() override
    {
        Play("0 joystick 0 detach\n0 joystick 1 detach\n");
        HeadlessBackend::Active()->ClearPlayedEffects();
        platform::ResetDirectInput();
    }
    void AttachBoth() { Play("0 joystick 0 attach \"Wheel\" ff\n0 joystick 1 attach \"Pad\"\n"); }

    YDXInput m_input;
};
}  // namespace

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

TEST_F(YDXJoystickTest, CreateFailsWhenTheJoystickWentAwayAfterEnumeration)
{
    Play("0 joystick 1 attach \"Pad\"\n");
    ASSERT_TRUE(m_input.EnumAttachedJoysticks());
    ASSERT_EQ(1, m_input.m_joystickFound);
    Play("0 joystick 1 detach\n");
    YDXJoystick joystick;
    EXPECT_FALSE(joystick.Create(&m_input));
    EXPECT_EQ(nullptr, joystick.m_device);
    EXPECT_EQ("YDXJoystick::Create", m_input.m_methodName);
    EXPECT_EQ("DIERR_DEVICENOTREG", m_input.m_resultName);
}

TEST_F(YDXJoystickTest, UpdateReadsAxesInRangeAndButtonsAcrossPolls)
{
    Play("0 joystick 1 attach \"Pad\"\n");
    ASSERT_TRUE(m_input.EnumAttachedJoysticks());
    YDXJoystick joystick;
    joystick.m_deadZoneX = 200;
    ASSERT_TRUE(joystick.Create(&m_input));
    EXPECT_EQ(0, joystick.m_forceFeedback);
    Play("0 joystick 1 axis 0 32767\n0 joystick 1 axis 1 -32768\n0 joystick 1 axis 2 1234\n"
         "0 joystick 1 button 3 down\n");
    ASSERT_TRUE(joystick.Update());
    EXPECT_EQ(1, joystick.m_acquired);
    EXPECT_EQ(1000, joystick.m_state.lX);
    EXPECT_EQ(640, joystick.X());
    EXPECT_EQ(-1000, joystick.Y());
    EXPECT_EQ(joystick.m_state.lZ, joystick.Z());  // no range set: the default one
    EXPECT_TRUE(joystick.IsButtonDown(3));
    EXPECT_FALSE(joystick.WasButtonDown(3));
    ASSERT_TRUE(joystick.Update());
    EXPECT_TRUE(joystick.IsButtonDown(3));  // held across two polls
    EXPECT_TRUE(joystick.WasButtonDown(3));
    Play("0 joystick 1 button 3 up\n");
    ASSERT_TRUE(joystick.Update());
    EXPECT_FALSE(joystick.IsButtonDown(3));
    EXPECT_TRUE(joystick.WasButtonDown(3));
}

TEST_F(YDXJoystickTest, UnpluggedDuringPlayUpdateFailsEachFrameAndAxesKeepTheirValues)
{
    Play("0 joystick 1 attach \"Pad\"\n0 joystick 1 axis 0 16384\n0 joystick 1 axis 1 -16384\n");
    ASSERT_TRUE(m_input.EnumAttachedJoysticks());
    YDXJoystick joystick;
    ASSERT_TRUE(joystick.Create(&m_input));
    ASSERT_TRUE(joystick.Update());
    ASSERT_EQ(500, joystick.X());
    ASSERT_EQ(-500, joystick.Y());
    Play("0 joystick 1 detach\n");
    for (int frame = 0; frame < 3; ++frame) {
        EXPECT_FALSE(joystick.Update()) << frame;
        EXPECT_EQ(500, joystick.X()) << frame;
        EXPECT_EQ(-500, joystick.Y()) << frame;
        EXPECT_EQ("DIERR_INPUTLOST", m_input.m_resultName) << frame;
    }
    EXPECT_EQ("YDXJoystick::Acquire", m_input.m_methodName);
}

TEST_F(YDXJoystickTest, FocusLossStopsUpdatesUntilTheFocusReturns)
{
    Play("0 joystick 1 attach \"Pad\"\n");
    ASSERT_TRUE(m_input.EnumAttachedJoysticks());
    YDXJoystick joystick;
    ASSERT_TRUE(joystick.Create(&m_input));
    ASSERT_TRUE(joystick.Update());
    Focus(false);
    EXPECT_FALSE(joystick.Update());
    EXPECT_EQ("YDXJoystick::Acquire", m_input.m_methodName);
    Focus(true);
    Play("0 joystick 1 button 0 down\n");
    ASSERT_TRUE(joystick.Update());
    EXPECT_TRUE(joystick.IsFirstButtonDown());
}

TEST_F(YDXJoystickTest, CreateFFTakesTheDeviceExclusivelySoEffectsPlay)
{
    AttachBoth();
    ASSERT_TRUE(m_input.EnumAttachedFFJoysticks());
    EXPECT_EQ(1, m_input.m_ffJoystickFound);
    EXPECT_EQ(0, m_input.m_lastDevice);  // the wheel alone
    YDXJoystick ff;
    ASSERT_TRUE(ff.CreateFF(&m_input));
    EXPECT_EQ(1, ff.m_forceFeedback);
    EXPECT_TRUE(ff.SetAutoCenter(false));
    ASSERT_TRUE(ff.Acquire());

    YDXEffect effect;
    effect.SetupKick();
    ASSERT_TRUE(effect.CreateEffect(&ff));
    ASSERT_NE(nullptr, effect.m_effect);
    ASSERT_EQ(DI_OK, effect.m_effect->Start(1, 0));
    ASSERT_EQ(1u, HeadlessBackend::Active()->PlayedEffects().size());

    // The same wheel through Create shares it and cannot play effects.
    YDXJoystick shared;
    ASSERT_TRUE(shared.Create(&m_input));
    ASSERT_TRUE(shared.Acquire());
    YDXEffect other;
    other.SetupKick();
    ASSERT_TRUE(other.CreateEffect(&shared));
    EXPECT_EQ(DIERR_NOTEXCLUSIVEACQUIRED, other.m_effect->Start(1, 0));
    EXPECT_EQ(1u, HeadlessBackend::Active()->PlayedEffects().size());
    // A second exclusive user is refused.
    YDXJoystick rival;
    ASSERT_TRUE(rival.CreateFF(&m_input));
    EXPECT_FALSE(rival.Acquire());
    EXPECT_EQ("YDXJoystick::Acquire", m_input.m_methodName);
}

TEST_F(YDXJoystickTest, CreateOfTypeAndAutoCentreWithoutForceFeedback)
{
    Play("0 joystick 1 attach \"Pad\"\n");
    ASSERT_TRUE(m_input.EnumAttachedJoysticks());
    YDXJoystick other;
    EXPECT_FALSE(other.CreateOfType(&m_input, 5));  // no joystick of that type
    EXPECT_EQ(nullptr, other.m_device);
    YDXJoystick pad;
    ASSERT_TRUE(pad.CreateOfType(&m_input, 0));
    EXPECT_FALSE(pad.SetAutoCenter(true));
    EXPECT_EQ("YDXJoystick::SetAutoCenter", m_input.m_methodName);
    EXPECT_EQ("DIERR_UNSUPPORTED", m_input.m_resultName);
}

TEST(YDXEffectPresets, EachPresetFillsItsBlocks)
{
    YDXEffect effect;
    EXPECT_TRUE(effect.m_guid == GUID_CustomForce);
    EXPECT_EQ(sizeof(DIEFFECT), effect.m_description.dwSize);
    EXPECT_EQ(DWORD(DIEFF_POLAR | DIEFF_OBJECTOFFSETS), effect.m_description.dwFlags);
    EXPECT_EQ(2u, effect.m_description.cAxes);
    EXPECT_EQ(DWORD(DIJOFS_X), effect.m_description.rgdwAxes[0]);
    EXPECT_EQ(DWORD(DIJOFS_Y), effect.m_description.rgdwAxes[1]);
    EXPECT_EQ(0, effect.m_description.rglDirection[0]);

    struct Case {
        void (YDXEffect::*setup)();
        const GUID* guid;
        long magnitude;
        DWORD period, duration, attackTime, fadeTime, trigger;
        bool envelope;
    };
    const Case cases[] = {
        {&YDXEffect::SetupVibration, &GUID_Sine, 10000, 50000, 2000000, 500000, 1000000, DWORD(DIJOFS_BUTTON(0)), true},
        {&YDXEffect::SetupPush, &GUID_ConstantForce, 10000, 0, INFINITE_DURATION, 0, 0, DIEB_NOTRIGGER, false},
        {&YDXEffect::SetupKick, &GUID_ConstantForce, 10000, 0, 250000, 0, 250000, DIEB_NOTRIGGER, true},
        {&YDXEffect::SetupRumble, &GUID_Sine, 9000, 39000, 160000, 19000, 139000, DIEB_NOTRIGGER, true},
    };
    for (const Case& c : cases) {
        YDXEffect preset;
        (preset.*c.setup)();
        const DIEFFECT& d = preset.m_description;
        EXPECT_TRUE(preset.m_guid == *c.guid);
        EXPECT_EQ(c.duration, d.dwDuration);
        EXPECT_EQ(DWORD(DI_FFNOMINALMAX), d.dwGain);
        EXPECT_EQ(c.trigger, d.dwTriggerButton);
        bool sine = c.guid == &GUID_Sine;
        if (sine) {
            EXPECT_EQ(&preset.m_periodic, d.lpvTypeSpecificParams);
            EXPECT_EQ(sizeof(DIPERIODIC), d.cbTypeSpecificParams);
            EXPECT_EQ(DWORD(c.magnitude), preset.m_periodic.dwMagnitude);
            EXPECT_EQ(c.period, preset.m_periodic.dwPeriod);
        } else {
            EXPECT_EQ(&preset.m_constant, d.lpvTypeSpecificParams);
            EXPECT_EQ(sizeof(DICONSTANTFORCE), d.cbTypeSpecificParams);
            EXPECT_EQ(c.magnitude, preset.m_constant.lMagnitude);
        }
        if (!c.envelope) {
            EXPECT_EQ(nullptr, d.lpEnvelope);
            continue;
        }
        ASSERT_EQ(&preset.m_envelope, d.lpEnvelope);
        EXPECT_EQ(c.attackTime, preset.m_envelope.dwAttackTime);
        EXPECT_EQ(c.fadeTime, preset.m_envelope.dwFadeTime);
        EXPECT_EQ(0u, preset.m_envelope.dwFadeLevel);
    }
}

TEST_F(YDXJoystickTest, PresetsReachTheBackendAndFailuresAreRecorded)
{
    AttachBoth();
    ASSERT_TRUE(m_input.EnumAttachedFFJoysticks());
    YDXJoystick wheel;
    ASSERT_TRUE(wheel.CreateFF(&m_input));
    ASSERT_TRUE(wheel.Acquire());

    YDXEffect custom;  // as constructed: a custom force the device does not offer
    EXPECT_FALSE(custom.CreateEffect(&wheel));
    EXPECT_EQ(nullptr, custom.m_effect);
    EXPECT_EQ("YDXEffect::CreateEffect", m_input.m_methodName);
    EXPECT_EQ("DIERR_DEVICENOTREG", m_input.m_resultName);
    YDXJoystick released;
    EXPECT_FALSE(custom.CreateEffect(&released));

    struct Case {
        void (YDXEffect::*setup)();
        platform::JoystickEffect::Kind kind;
        int magnitude;
        uint32_t period, duration, attackTime, fadeTime;
    };
    const Case cases[] = {
        {&YDXEffect::SetupPush, platform::JoystickEffect::Constant, 10000, 0, platform::JoystickEffect::kEndless, 0, 0},
        {&YDXEffect::SetupKick, platform::JoystickEffect::Constant, 10000, 0, 250000, 0, 250000},
        {&YDXEffect::SetupRumble, platform::JoystickEffect::Sine, 9000, 39000, 160000, 19000, 139000},
    };
    HeadlessBackend* headless = HeadlessBackend::Active();
    for (const Case& c : cases) {
        headless->ClearPlayedEffects();
        YDXEffect effect;
        (effect.*c.setup)();
        ASSERT_TRUE(effect.CreateEffect(&wheel));
        ASSERT_EQ(DI_OK, effect.m_effect->Start(1, 0));
        ASSERT_EQ(1u, headless->PlayedEffects().size());
        const platform::JoystickEffect& played = headless->PlayedEffects()[0].effect;
        EXPECT_EQ(c.kind, played.kind);
        EXPECT_EQ(c.magnitude, played.magnitude);
        EXPECT_EQ(c.period, played.period);
        EXPECT_EQ(c.duration, played.duration);
        EXPECT_EQ(c.attackTime, played.attackTime);
        EXPECT_EQ(c.fadeTime, played.fadeTime);
        EXPECT_EQ(10000u, played.gain);
    }
    // The holder releases its effect: the last one stops with it.
    EXPECT_TRUE(headless->PlayedEffects()[0].stopped);

    // The vibration waits for button 0.
    headless->ClearPlayedEffects();
    YDXEffect vibration;
    vibration.SetupVibration();
    ASSERT_TRUE(vibration.CreateEffect(&wheel));
    ASSERT_EQ(DI_OK, vibration.m_effect->Start(1, 0));
    EXPECT_TRUE(headless->PlayedEffects().empty());
    Play("0 joystick 0 button 0 down\n");
    ASSERT_EQ(1u, headless->PlayedEffects().size());
    EXPECT_EQ(2000000u, headless->PlayedEffects()[0].effect.duration);
}
