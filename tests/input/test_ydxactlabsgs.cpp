// The light gun: its three positions, its button groups and the vendor
// library it does without.
#include <gtest/gtest.h>

#include <string>

#include "input/YDXActLabsGS.h"
#include "input/YDXInput.h"
#include "platform/backend/HeadlessBackend.h"
#include "platform/win32_window.h"
#include "ScriptedInput.h"

using scripted::FakeWindow;
using scripted::Play;

namespace {
// A state with every reading distinct.
void Fill(DIJOYSTATE& state, int base)
{
    state.lX = base + 1;
    state.lY = base + 2;
    state.lZ = base + 3;
    state.lRx = base + 4;
    state.lRy = base + 5;
    state.lRz = base + 6;
    state.rglSlider[0] = base + 7;
    state.rglSlider[1] = base + 8;
    for (int i = 0; i < 32; ++i) state.rgbButtons[i] = static_cast<BYTE>(base + 10 + i);
}
}  // namespace

TEST(YDXActLabsGSPositions, TableAndTheValidityBitOfPositionTwo)
{
    YDXActLabsGS gun;
    Fill(gun.m_state, 100);
    Fill(gun.m_previous, 200);
    gun.m_state.rgdwPOV[0] = 0x3;  // bit 2 clear
    gun.m_previous.rgdwPOV[0] = 0x3;
    struct Case {
        int position;
        int32_t x, y;
    };
    const Case clear[] = {{0, 101, 102}, {1, 103, 106}, {2, 0, 0}, {3, 0, 0}, {-1, 0, 0}};
    for (const Case& c : clear) {
        EXPECT_EQ(c.x, gun.GetX(c.position)) << c.position;
        EXPECT_EQ(c.y, gun.GetY(c.position)) << c.position;
    }
    EXPECT_EQ(0, gun.X());
    EXPECT_EQ(0, gun.Y());
    EXPECT_EQ(101, gun.Z());
    EXPECT_EQ(102, gun.Rx());
    EXPECT_EQ(103, gun.Ry());
    EXPECT_EQ(106, gun.Rz());
    // The previous position 2 is read without the test.
    EXPECT_EQ(207, gun.GetPrevX(2));
    EXPECT_EQ(208, gun.GetPrevY(2));
    EXPECT_EQ(203, gun.GetPrevX(1));

    gun.m_state.rgdwPOV[0] = 0x4;
    EXPECT_TRUE(gun.IsMaskBit(2));
    EXPECT_FALSE(gun.WasMaskBit(2));
    EXPECT_FALSE(gun.IsMaskBit(32));
    EXPECT_EQ(107, gun.X());
    EXPECT_EQ(108, gun.Y());
}

TEST(YDXActLabsGSButtons, GroupsAndTheJoystickButtonMapping)
{
    YDXActLabsGS gun;
    Fill(gun.m_state, 100);
    Fill(gun.m_previous, 200);
    struct Group {
        int group, index;
        int byte;  // -1: reads 0
    };
    const Group groups[] = {{0, 0, 0}, {0, 1, 1}, {1, 0, 8}, {1, 1, 9}, {2, 0, 4},  {2, 2, 6},
                            {3, 0, -1}, {-1, 0, -1}, {1, 23, 31}, {1, 24, -1}, {0, -1, -1}};
    for (const Group& g : groups) {
        uint8_t now = g.byte < 0 ? 0 : static_cast<uint8_t>(110 + g.byte);
        uint8_t before = g.byte < 0 ? 0 : static_cast<uint8_t>(210 + g.byte);
        EXPECT_EQ(now, gun.GetButton(g.group, g.index)) << g.group << "," << g.index;
        EXPECT_EQ(before, gun.GetPrevButton(g.group, g.index)) << g.group << "," << g.index;
    }

    // Joystick buttons 0..6 each come from one byte; all else reads up.
    const int byteOf[7] = {4, 5, 6, 0, 1, 8, 9};
    for (int button = -1; button < 34; ++button) {
        for (int byte = 0; byte < 32; ++byte) {
            gun.m_state.rgbButtons[byte] = 0;
            gun.m_previous.rgbButtons[byte] = 0;
        }
        bool mapped = button >= 0 && button < 7;
        if (mapped) {
            gun.m_state.rgbButtons[byteOf[button]] = 0x01;  // any non-zero byte is pressed
            gun.m_previous.rgbButtons[byteOf[button]] = 0x80;
        } else {
            for (int byte = 0; byte < 32; ++byte) gun.m_state.rgbButtons[byte] = 0x80;
        }
        EXPECT_EQ(mapped, gun.IsButtonDown(button)) << button;
        EXPECT_EQ(mapped, gun.WasButtonDown(button)) << button;
    }
}

TEST(YDXActLabsGSLibrary, MissingLibraryLeavesEveryCallAtZero)
{
    YDXActLabsGS gun;
    ASSERT_EQ(nullptr, gun.m_library);
    EXPECT_EQ(nullptr, gun.m_setHandheldRange);
    EXPECT_EQ(0, gun.SetHandheldRange(-1000, 1000));
    EXPECT_EQ(0, gun.SetCalibrationMode(1, 2));
    EXPECT_EQ(0, gun.UnlockResolution());
    EXPECT_EQ(0, gun.GetHandheldMode(0));
}

namespace {
class YDXActLabsGSTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::ResetDirectInput();
        ASSERT_TRUE(m_input.Create(nullptr, FakeWindow()));
    }
    void TearDown() override
    {
        Play("0 joystick 2 detach\n");
        platform::ResetDirectInput();
    }

    YDXInput m_input;
};
}  // namespace

TEST_F(YDXActLabsGSTest, CreateWithoutTheLibraryReadsRawPositionsAndTheMask)
{
    Play("0 joystick 2 attach \"Light Gun\" hats 1\n");
    ASSERT_TRUE(m_input.EnumAttachedJoysticks());
    YDXActLabsGS gun;
    ASSERT_EQ(nullptr, gun.m_library);
    ASSERT_TRUE(gun.Create(&m_input));
    ASSERT_NE(nullptr, gun.m_device);
    EXPECT_TRUE(gun.SetProperties());  // once more: the missing library changes nothing
    DIPROPDWORD mode;
    mode.diph.dwSize = sizeof mode;
    mode.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    mode.diph.dwObj = 0;
    mode.diph.dwHow = DIPH_DEVICE;
    ASSERT_EQ(DI_OK, gun.m_device->GetProperty(DIPROP_CALIBRATIONMODE, &mode.diph));
    EXPECT_EQ(DWORD(DIPROPCALIBRATIONMODE_RAW), mode.dwData);

    // Raw calibration: the values arrive as the gun reports them.
    Play("0 joystick 2 axis 0 -700\n0 joystick 2 axis 5 300\n0 joystick 2 axis 6 -250\n0 joystick 2 axis 7 900\n"
         "0 joystick 2 hat 0 3\n0 joystick 2 button 4 down\n");
    ASSERT_TRUE(gun.Update());
    EXPECT_EQ(-700, gun.Z());
    EXPECT_EQ(300, gun.Rz());
    EXPECT_FALSE(gun.IsMaskBit(2));
    EXPECT_EQ(0, gun.X());
    EXPECT_EQ(0, gun.Y());
    EXPECT_TRUE(gun.IsButtonDown(0));  // group 2, byte 4
    Play("0 joystick 2 hat 0 4\n");
    ASSERT_TRUE(gun.Update());
    EXPECT_EQ(-250, gun.X());
    EXPECT_EQ(900, gun.Y());
    EXPECT_TRUE(gun.WasButtonDown(0));
    EXPECT_FALSE(gun.WasMaskBit(2));
}

TEST_F(YDXActLabsGSTest, CreateFailsWithoutAGenericJoystick)
{
    YDXActLabsGS gun;
    EXPECT_FALSE(gun.Create(&m_input));
    EXPECT_EQ("YDXActLabsGS::Create", m_input.m_methodName);
    EXPECT_FALSE(gun.CreateFF(&m_input));  // the same creation
    EXPECT_EQ(nullptr, gun.m_device);
}

TEST_F(YDXActLabsGSTest, TheLibraryIsBoundByNameAndGivenTheHandheldRange)
{
    scripted::InFolder folder(RCV_GUNLIB_DIR);
    ASSERT_TRUE(folder.Entered());
    Play("0 joystick 2 attach \"Light Gun\"\n");
    ASSERT_TRUE(m_input.EnumAttachedJoysticks());
    YDXActLabsGS gun;
    ASSERT_NE(nullptr, gun.m_library);
    EXPECT_NE(nullptr, gun.m_setHandheldRange);
    EXPECT_EQ(nullptr, gun.m_unlockResolution);  // not in this library
    EXPECT_EQ(nullptr, gun.m_setResolutionRange);
    ASSERT_TRUE(gun.Create(&m_input));
    EXPECT_EQ(-1000, gun.GetHandheldRange(0, 0));
    EXPECT_EQ(1000, gun.GetHandheldRange(1, 0));
    EXPECT_EQ(302, gun.SetCalibrationMode(3, 2));
    EXPECT_EQ(1, gun.SetHandheldMode(7));
    EXPECT_EQ(7, gun.GetHandheldMode(0));
    EXPECT_EQ(0, gun.UnlockResolution());
    EXPECT_EQ(0, gun.SetResolutionRange(1, 2));
}
