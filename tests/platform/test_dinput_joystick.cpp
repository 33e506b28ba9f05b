// DirectInput joysticks over the headless backend's scripted joysticks:
// enumeration, state, properties, lost input and force-feedback effects.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/backend/HeadlessBackend.h"
#include "platform/dinput.h"
#include "platform/win32_window.h"
#include "ScriptedInput.h"

using platform::BackendEvent;
using platform::HeadlessBackend;

using scripted::FakeWindow;
using scripted::Play;
using scripted::Focus;

namespace {
BOOL CALLBACK Collect(LPCDIDEVICEINSTANCEA instance, LPVOID context)
{
    static_cast<std::vector<DIDEVICEINSTANCEA>*>(context)->push_back(*instance);
    return DIENUM_CONTINUE;
}

DIPROPRANGE Range(DWORD how, DWORD object, LONG min, LONG max)
{
    DIPROPRANGE range;
    range.diph.dwSize = sizeof(DIPROPRANGE);
    range.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    range.diph.dwObj = object;
    range.diph.dwHow = how;
    range.lMin = min;
    range.lMax = max;
    return range;
}

DIPROPDWORD Dword(DWORD value)
{
    DIPROPDWORD prop;
    prop.diph.dwSize = sizeof(DIPROPDWORD);
    prop.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    prop.diph.dwObj = 0;
    prop.diph.dwHow = DIPH_DEVICE;
    prop.dwData = value;
    return prop;
}

// A constant force of -7000 at 90 degrees, half gain, fading out over its
// 250 ms; its description points into the record itself.
struct ConstantEffect {
    ConstantEffect()
    {
        std::memset(&description, 0, sizeof description);
        description.dwSize = sizeof description;
        description.dwFlags = DIEFF_POLAR | DIEFF_OBJECTOFFSETS;
        description.dwDuration = 250000;
        description.dwGain = 5000;
        description.dwTriggerButton = DIEB_NOTRIGGER;
        description.cAxes = 2;
        description.rgdwAxes = axes;
        description.rglDirection = directions;
        description.lpEnvelope = &envelope;
        description.cbTypeSpecificParams = sizeof force;
        description.lpvTypeSpecificParams = &force;
    }
    ConstantEffect(const ConstantEffect&) = delete;

    DWORD axes[2] = {DIJOFS_X, DIJOFS_Y};
    LONG directions[2] = {9000, 0};
    DICONSTANTFORCE force = {-7000};
    DIENVELOPE envelope = {sizeof(DIENVELOPE), 10000, 0, 0, 250000};
    DIEFFECT description;
};

class DirectInputJoystickTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::ResetDirectInput();
        ASSERT_NE(nullptr, HeadlessBackend::Active());
        HeadlessBackend::Active()->ClearPlayedEffects();
        ASSERT_EQ(DI_OK, DirectInputCreateA(nullptr, DIRECTINPUT_VERSION, &m_di, nullptr));
        // Joystick 0 has force feedback and three axes; joystick 1 has neither.
        Play("0 joystick 0 attach \"Force Wheel\" ff axes 3 buttons 8 hats 1\n"
             "0 joystick 1 attach \"Plain Pad\"\n");
    }
    void TearDown() override
    {
        for (LPDIRECTINPUTDEVICE7 device : m_devices) device->Release();
        if (m_di) m_di->Release();
        Play("0 joystick 0 detach\n0 joystick 1 detach\n");
        HeadlessBackend::Active()->ClearPlayedEffects();
        platform::ResetDirectInput();
    }

    std::vector<DIDEVICEINSTANCEA> Enumerate(DWORD type, DWORD flags)
    {
        std::vector<DIDEVICEINSTANCEA> found;
        EXPECT_EQ(DI_OK, m_di->EnumDevices(type, Collect, &found, flags));
        return found;
    }

    // Joystick j, opened with the standard format at the given level.
    LPDIRECTINPUTDEVICE7 Open(int j, DWORD level = DISCL_NONEXCLUSIVE | DISCL_FOREGROUND)
    {
        for (const DIDEVICEINSTANCEA& instance : Enumerate(DIDEVTYPE_JOYSTICK, DIEDFL_ATTACHEDONLY)) {
            if (std::string(instance.tszProductName) != (j == 0 ? "Force Wheel" : "Plain Pad")) continue;
            LPDIRECTINPUTDEVICE7 device = nullptr;
            EXPECT_EQ(DI_OK, m_di->CreateDevice(instance.guidInstance, &device, nullptr));
            if (!device) return nullptr;
            m_devices.push_back(device);
            EXPECT_EQ(DI_OK, device->SetDataFormat(&c_dfDIJoystick));
            EXPECT_EQ(DI_OK, device->SetCooperativeLevel(FakeWindow(), level));
            return device;
        }
        ADD_FAILURE() << "joystick " << j << " not enumerated";
        return nullptr;
    }

    static DIJOYSTATE State(LPDIRECTINPUTDEVICE7 device, HRESULT expected = DI_OK)
    {
        DIJOYSTATE state;
        std::memset(&state, 0x5A, sizeof state);
        EXPECT_EQ(expected, device->GetDeviceState(sizeof state, &state));
        return state;
    }

    LPDIRECTINPUT7 m_di = nullptr;
    std::vector<LPDIRECTINPUTDEVICE7> m_devices;
};
}  // namespace

TEST_F(DirectInputJoystickTest, EnumerationListsJoysticksAndFiltersForceFeedback)
{
    std::vector<DIDEVICEINSTANCEA> joysticks = Enumerate(DIDEVTYPE_JOYSTICK, DIEDFL_ATTACHEDONLY);
    ASSERT_EQ(2u, joysticks.size());
    for (const DIDEVICEINSTANCEA& instance : joysticks) {
        EXPECT_EQ(sizeof(DIDEVICEINSTANCEA), instance.dwSize);
        EXPECT_EQ(DIDEVTYPE_JOYSTICK, GET_DIDEVICE_TYPE(instance.dwDevType));
        EXPECT_TRUE(instance.guidProduct == GUID_Joystick);
        EXPECT_EQ(DI_OK, m_di->GetDeviceStatus(instance.guidInstance));
    }
    EXPECT_FALSE(joysticks[0].guidInstance == joysticks[1].guidInstance);

    std::vector<DIDEVICEINSTANCEA> ff = Enumerate(DIDEVTYPE_JOYSTICK, DIEDFL_ATTACHEDONLY | DIEDFL_FORCEFEEDBACK);
    ASSERT_EQ(1u, ff.size());
    EXPECT_STREQ("Force Wheel", ff[0].tszProductName);
    EXPECT_EQ(4u, Enumerate(0, DIEDFL_ATTACHEDONLY).size());  // keyboard, mouse and both
    EXPECT_EQ(1u, Enumerate(DIDEVTYPE_MOUSE, DIEDFL_ALLDEVICES).size());

    Play("0 joystick 1 detach\n");
    ASSERT_EQ(1u, Enumerate(DIDEVTYPE_JOYSTICK, DIEDFL_ATTACHEDONLY).size());
    GUID gone = joysticks[0].guidInstance == ff[0].guidInstance ? joysticks[1].guidInstance
                                                                 : joysticks[0].guidInstance;
    LPDIRECTINPUTDEVICE7 device = nullptr;
    EXPECT_EQ(DIERR_DEVICENOTREG, m_di->CreateDevice(gone, &device, nullptr));
    EXPECT_EQ(nullptr, device);
    EXPECT_EQ(DIERR_DEVICENOTREG, m_di->GetDeviceStatus(gone));
}

TEST_F(DirectInputJoystickTest, AJoystickDueInTheScriptIsThereBeforeThePumpRuns)
{
    HeadlessBackend* headless = HeadlessBackend::Active();
    std::string error;
    ASSERT_TRUE(headless->Script().Parse("0 joystick 1 detach\n0 joystick 1 attach \"Later Pad\"\n", &error))
        << error;
    std::vector<DIDEVICEINSTANCEA> joysticks = Enumerate(DIDEVTYPE_JOYSTICK, DIEDFL_ATTACHEDONLY);
    EXPECT_EQ(0u, headless->Script().Pending());
    ASSERT_EQ(2u, joysticks.size());
    EXPECT_STREQ("Later Pad", joysticks[1].tszProductName);
    platform::PumpBackendEvents();
}

TEST_F(DirectInputJoystickTest, StateScalesAxesIntoTheirRangesAndReportsButtonsAndHats)
{
    LPDIRECTINPUTDEVICE7 device = Open(1);
    ASSERT_NE(nullptr, device);
    DIPROPRANGE x = Range(DIPH_BYOFFSET, DIJOFS_X, -1000, 1000);
    ASSERT_EQ(DI_OK, device->SetProperty(DIPROP_RANGE, &x.diph));
    DIPROPRANGE slider = Range(DIPH_BYOFFSET, DIJOFS_SLIDER(1), -10, 10);
    ASSERT_EQ(DI_OK, device->SetProperty(DIPROP_RANGE, &slider.diph));
    ASSERT_EQ(DI_OK, device->Acquire());
    EXPECT_EQ(S_FALSE, device->Acquire());

    struct Case {
        int raw;
        LONG x;      // -1000..1000
        LONG y;      // the default 0..65535
        LONG slider; // -10..10
    };
    const Case cases[] = {
        {-32768, -1000, 0, -10}, {32767, 1000, 65535, 10}, {0, 0, 32768, 0}, {16384, 500, 49152, 5},
    };
    for (const Case& c : cases) {
        std::string raw = std::to_string(c.raw);
        Play("0 joystick 1 axis 0 " + raw + "\n0 joystick 1 axis 1 " + raw + "\n0 joystick 1 axis 7 " + raw + "\n");
        EXPECT_EQ(DI_NOEFFECT, device->Poll());
        DIJOYSTATE state = State(device);
        EXPECT_EQ(c.x, state.lX) << c.raw;
        EXPECT_EQ(c.y, state.lY) << c.raw;
        EXPECT_EQ(c.slider, state.rglSlider[1]) << c.raw;
    }

    Play("0 joystick 1 button 0 down\n0 joystick 1 button 31 down\n0 joystick 1 hat 0 27000\n"
         "0 joystick 0 button 1 down\n");  // another joystick's button
    DIJOYSTATE state = State(device);
    EXPECT_EQ(0x80, state.rgbButtons[0]);
    EXPECT_EQ(0, state.rgbButtons[1]);
    EXPECT_EQ(0x80, state.rgbButtons[31]);
    EXPECT_EQ(27000u, state.rgdwPOV[0]);
    EXPECT_EQ(0xFFFFFFFFu, state.rgdwPOV[1]);  // no second hat
    Play("0 joystick 1 button 0 up\n0 joystick 1 hat 0 -1\n");
    state = State(device);
    EXPECT_EQ(0, state.rgbButtons[0]);
    EXPECT_EQ(0xFFFFFFFFu, state.rgdwPOV[0]);

    DIPROPRANGE read = Range(DIPH_BYOFFSET, DIJOFS_X, 0, 0);
    EXPECT_EQ(DI_OK, device->GetProperty(DIPROP_RANGE, &read.diph));
    EXPECT_EQ(-1000, read.lMin);
    EXPECT_EQ(1000, read.lMax);
}

TEST_F(DirectInputJoystickTest, AxesBeyondTheDeviceReadZeroAndRawModeSkipsTheRange)
{
    LPDIRECTINPUTDEVICE7 wheel = Open(0);  // three axes, eight buttons
    ASSERT_NE(nullptr, wheel);
    DIPROPRANGE all = Range(DIPH_DEVICE, 0, -1000, 1000);
    ASSERT_EQ(DI_OK, wheel->SetProperty(DIPROP_RANGE, &all.diph));
    ASSERT_EQ(DI_OK, wheel->Acquire());
    Play("0 joystick 0 axis 2 32767\n0 joystick 0 axis 5 32767\n0 joystick 0 button 9 down\n");
    DIJOYSTATE state = State(wheel);
    EXPECT_EQ(1000, state.lZ);
    EXPECT_EQ(0, state.lRz);
    EXPECT_EQ(0, state.rgbButtons[9]);

    ASSERT_EQ(DI_OK, wheel->Unacquire());
    DIPROPDWORD raw = Dword(DIPROPCALIBRATIONMODE_RAW);
    ASSERT_EQ(DI_OK, wheel->SetProperty(DIPROP_CALIBRATIONMODE, &raw.diph));
    ASSERT_EQ(DI_OK, wheel->Acquire());
    EXPECT_EQ(32767, State(wheel).lZ);
    DIPROPDWORD mode = Dword(0);
    EXPECT_EQ(DI_OK, wheel->GetProperty(DIPROP_CALIBRATIONMODE, &mode.diph));
    EXPECT_EQ(DWORD(DIPROPCALIBRATIONMODE_RAW), mode.dwData);
}

TEST_F(DirectInputJoystickTest, PropertyErrors)
{
    LPDIRECTINPUTDEVICE7 wheel = Open(0);
    LPDIRECTINPUTDEVICE7 pad = Open(1);
    ASSERT_NE(nullptr, wheel);
    ASSERT_NE(nullptr, pad);
    struct Case {
        const char* what;
        LPDIRECTINPUTDEVICE7 device;
        const GUID* property;
        DIPROPRANGE range;  // used for DIPROP_RANGE
        DWORD value;        // used for the others
        HRESULT expected;
    };
    const Case cases[] = {
        {"axis the wheel lacks", wheel, &DIPROP_RANGE, Range(DIPH_BYOFFSET, DIJOFS_RX, 0, 10), 0, DIERR_OBJECTNOTFOUND},
        {"offset off an axis", pad, &DIPROP_RANGE, Range(DIPH_BYOFFSET, 2, 0, 10), 0, DIERR_OBJECTNOTFOUND},
        {"empty range", pad, &DIPROP_RANGE, Range(DIPH_BYOFFSET, DIJOFS_X, 10, 10), 0, DIERR_INVALIDPARAM},
        {"auto-centre without force feedback", pad, &DIPROP_AUTOCENTER, {}, DIPROPAUTOCENTER_OFF, DIERR_UNSUPPORTED},
        {"auto-centre value", wheel, &DIPROP_AUTOCENTER, {}, 2, DIERR_INVALIDPARAM},
        {"calibration value", pad, &DIPROP_CALIBRATIONMODE, {}, 7, DIERR_INVALIDPARAM},
        {"auto-centre off", wheel, &DIPROP_AUTOCENTER, {}, DIPROPAUTOCENTER_OFF, DI_OK},
    };
    for (const Case& c : cases) {
        DIPROPDWORD dword = Dword(c.value);
        LPCDIPROPHEADER header = c.property == &DIPROP_RANGE ? &c.range.diph : &dword.diph;
        EXPECT_EQ(c.expected, c.device->SetProperty(*c.property, header)) << c.what;
    }
    DIPROPDWORD centre = Dword(9);
    EXPECT_EQ(DI_OK, wheel->GetProperty(DIPROP_AUTOCENTER, &centre.diph));
    EXPECT_EQ(DWORD(DIPROPAUTOCENTER_OFF), centre.dwData);

    ASSERT_EQ(DI_OK, pad->Acquire());
    DIPROPRANGE x = Range(DIPH_BYOFFSET, DIJOFS_X, 0, 10);
    EXPECT_EQ(DIERR_ACQUIRED, pad->SetProperty(DIPROP_RANGE, &x.diph));
    EXPECT_EQ(DIERR_ACQUIRED, pad->SetDataFormat(&c_dfDIJoystick));
    EXPECT_EQ(DIERR_INVALIDPARAM, wheel->SetDataFormat(&c_dfDIMouse));
    EXPECT_EQ(DIERR_NOTBUFFERED, [&] {
        DWORD count = 4;
        return pad->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), nullptr, &count, 0);
    }());
}

TEST_F(DirectInputJoystickTest, FocusLossAndUnpluggingLoseTheInput)
{
    LPDIRECTINPUTDEVICE7 pad = Open(1);
    ASSERT_NE(nullptr, pad);
    ASSERT_EQ(DI_OK, pad->Acquire());
    Focus(false);
    EXPECT_EQ(DIERR_INPUTLOST, pad->Poll());
    State(pad, DIERR_INPUTLOST);
    State(pad, DIERR_NOTACQUIRED);  // told once
    EXPECT_EQ(DIERR_OTHERAPPHASPRIO, pad->Acquire());
    Focus(true);
    ASSERT_EQ(DI_OK, pad->Acquire());

    Play("0 joystick 1 detach\n");
    State(pad, DIERR_INPUTLOST);
    EXPECT_EQ(DIERR_INPUTLOST, pad->Acquire());
    EXPECT_EQ(DIERR_INPUTLOST, pad->Acquire());  // for as long as it is away
    DIDEVCAPS caps;
    caps.dwSize = sizeof caps;
    ASSERT_EQ(DI_OK, pad->GetCapabilities(&caps));
    EXPECT_EQ(0u, caps.dwFlags & DIDC_ATTACHED);

    // Plugged in again, the same device works with a fresh state.
    Play("0 joystick 1 attach \"Plain Pad\"\n");
    ASSERT_EQ(DI_OK, pad->Acquire());
    EXPECT_EQ(0, State(pad).rgbButtons[0]);
}

TEST_F(DirectInputJoystickTest, EffectsPlayThroughTheBackendWhileExclusivelyAcquired)
{
    HeadlessBackend* headless = HeadlessBackend::Active();
    LPDIRECTINPUTDEVICE7 pad = Open(1);
    LPDIRECTINPUTDEVICE7 wheel = Open(0, DISCL_EXCLUSIVE | DISCL_FOREGROUND);
    ASSERT_NE(nullptr, pad);
    ASSERT_NE(nullptr, wheel);

    ConstantEffect constant;
    const DIEFFECT& description = constant.description;
    LPDIRECTINPUTEFFECT effect = nullptr;
    EXPECT_EQ(DIERR_UNSUPPORTED, pad->CreateEffect(GUID_ConstantForce, &description, &effect, nullptr));
    EXPECT_EQ(nullptr, effect);
    EXPECT_EQ(DIERR_DEVICENOTREG, wheel->CreateEffect(GUID_CustomForce, &description, &effect, nullptr));
    DIEFFECT wrongBlock = description;
    wrongBlock.cbTypeSpecificParams = sizeof(DIPERIODIC);
    EXPECT_EQ(DIERR_INVALIDPARAM, wheel->CreateEffect(GUID_ConstantForce, &wrongBlock, &effect, nullptr));
    EXPECT_EQ(nullptr, effect);

    ASSERT_EQ(DI_OK, wheel->CreateEffect(GUID_ConstantForce, &description, &effect, nullptr));
    ASSERT_NE(nullptr, effect);
    EXPECT_EQ(DIERR_NOTEXCLUSIVEACQUIRED, effect->Start(1, 0));  // not acquired yet
    EXPECT_TRUE(headless->PlayedEffects().empty());
    ASSERT_EQ(DI_OK, wheel->Acquire());
    ASSERT_EQ(DI_OK, effect->Start(1, 0));
    ASSERT_EQ(1u, headless->PlayedEffects().size());
    const HeadlessBackend::PlayedEffect& played = headless->PlayedEffects()[0];
    EXPECT_EQ(0, played.joystick);
    EXPECT_EQ(platform::JoystickEffect::Constant, played.effect.kind);
    EXPECT_EQ(-7000, played.effect.magnitude);
    EXPECT_EQ(250000u, played.effect.duration);
    EXPECT_EQ(5000u, played.effect.gain);
    EXPECT_EQ(250000u, played.effect.fadeTime);
    EXPECT_EQ(9000, played.effect.direction);
    EXPECT_FALSE(played.stopped);
    EXPECT_EQ(DI_OK, effect->Stop());
    EXPECT_TRUE(headless->PlayedEffects()[0].stopped);

    // Losing the device ends what plays; a second exclusive user is refused.
    ASSERT_EQ(DI_OK, effect->Start(1, 0));
    LPDIRECTINPUTDEVICE7 rival = Open(0, DISCL_EXCLUSIVE | DISCL_FOREGROUND);
    ASSERT_NE(nullptr, rival);
    EXPECT_EQ(DIERR_OTHERAPPHASPRIO, rival->Acquire());
    Focus(false);
    ASSERT_EQ(2u, headless->PlayedEffects().size());
    EXPECT_TRUE(headless->PlayedEffects()[1].stopped);
    Focus(true);
    effect->Release();
}

TEST_F(DirectInputJoystickTest, ATriggeredEffectWaitsForItsButton)
{
    HeadlessBackend* headless = HeadlessBackend::Active();
    LPDIRECTINPUTDEVICE7 wheel = Open(0, DISCL_EXCLUSIVE | DISCL_FOREGROUND);
    ASSERT_NE(nullptr, wheel);
    DWORD axes[2] = {DIJOFS_X, DIJOFS_Y};
    LONG directions[2] = {0, 0};
    DIPERIODIC sine = {9000, 0, 0, 39000};
    DIEFFECT description;
    std::memset(&description, 0, sizeof description);
    description.dwSize = sizeof description;
    description.dwFlags = DIEFF_POLAR | DIEFF_OBJECTOFFSETS;
    description.dwDuration = 160000;
    description.dwGain = DI_FFNOMINALMAX;
    description.dwTriggerButton = DIJOFS_BUTTON(2);
    description.cAxes = 2;
    description.rgdwAxes = axes;
    description.rglDirection = directions;
    description.cbTypeSpecificParams = sizeof sine;
    description.lpvTypeSpecificParams = &sine;
    LPDIRECTINPUTEFFECT effect = nullptr;
    ASSERT_EQ(DI_OK, wheel->CreateEffect(GUID_Sine, &description, &effect, nullptr));
    ASSERT_EQ(DI_OK, wheel->Acquire());
    ASSERT_EQ(DI_OK, effect->Start(1, 0));
    Play("0 joystick 0 button 1 down\n");
    EXPECT_TRUE(headless->PlayedEffects().empty());
    Play("0 joystick 0 button 2 down\n");
    ASSERT_EQ(1u, headless->PlayedEffects().size());
    EXPECT_EQ(platform::JoystickEffect::Sine, headless->PlayedEffects()[0].effect.kind);
    EXPECT_EQ(39000u, headless->PlayedEffects()[0].effect.period);
    // Releasing the effect stops it.
    effect->Release();
    EXPECT_TRUE(headless->PlayedEffects()[0].stopped);
}

TEST_F(DirectInputJoystickTest, EffectParametersReadBackAsSet)
{
    LPDIRECTINPUTDEVICE7 wheel = Open(0, DISCL_EXCLUSIVE | DISCL_FOREGROUND);
    ASSERT_NE(nullptr, wheel);
    ConstantEffect set;
    LPDIRECTINPUTEFFECT effect = nullptr;
    ASSERT_EQ(DI_OK, wheel->CreateEffect(GUID_ConstantForce, &set.description, &effect, nullptr));
    GUID guid;
    ASSERT_EQ(DI_OK, effect->GetEffectGuid(&guid));
    EXPECT_TRUE(guid == GUID_ConstantForce);

    ConstantEffect got;
    got.description.cAxes = 1;  // too few for the two that were set
    EXPECT_EQ(DIERR_MOREDATA, effect->GetParameters(&got.description, DIEP_AXES));
    EXPECT_EQ(2u, got.description.cAxes);
    got.description.cbTypeSpecificParams = 0;
    EXPECT_EQ(DIERR_MOREDATA, effect->GetParameters(&got.description, DIEP_TYPESPECIFICPARAMS));
    EXPECT_EQ(sizeof(DICONSTANTFORCE), got.description.cbTypeSpecificParams);

    got.axes[0] = got.axes[1] = 99;
    got.directions[0] = got.directions[1] = 99;
    got.force.lMagnitude = 0;
    got.envelope.dwFadeTime = 0;
    got.envelope.dwAttackLevel = 0;
    got.description.dwDuration = got.description.dwGain = 0;
    ASSERT_EQ(DI_OK, effect->GetParameters(&got.description, DIEP_ALLPARAMS));
    EXPECT_EQ(DWORD(DIJOFS_X), got.axes[0]);
    EXPECT_EQ(DWORD(DIJOFS_Y), got.axes[1]);
    EXPECT_EQ(9000, got.directions[0]);
    EXPECT_EQ(0, got.directions[1]);
    EXPECT_EQ(-7000, got.force.lMagnitude);
    EXPECT_EQ(250000u, got.envelope.dwFadeTime);
    EXPECT_EQ(10000u, got.envelope.dwAttackLevel);
    EXPECT_EQ(250000u, got.description.dwDuration);
    EXPECT_EQ(5000u, got.description.dwGain);
    EXPECT_EQ(DIEB_NOTRIGGER, got.description.dwTriggerButton);

    // A bad block changes nothing; DIEP_START plays at once.
    set.force.lMagnitude = 1234;
    set.description.dwGain = DI_FFNOMINALMAX + 1;
    EXPECT_EQ(DIERR_INVALIDPARAM, effect->SetParameters(&set.description, DIEP_TYPESPECIFICPARAMS | DIEP_GAIN));
    ASSERT_EQ(DI_OK, wheel->Acquire());
    ASSERT_EQ(DI_OK, effect->SetParameters(&set.description, DIEP_START));
    ASSERT_EQ(1u, HeadlessBackend::Active()->PlayedEffects().size());
    EXPECT_EQ(-7000, HeadlessBackend::Active()->PlayedEffects()[0].effect.magnitude);
    effect->Release();
}
