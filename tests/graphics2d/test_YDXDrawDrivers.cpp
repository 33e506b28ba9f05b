#include "Graphics2dFixture.h"

#include "graphics2d/YDXDrawDrivers.h"

#include <string>

namespace {
class YDXDrawDriversTest : public ::testing::Test {
protected:
    void SetUp() override { unsetenv("RCV_FORCE"); }
    void TearDown() override
    {
        unsetenv("RCV_FORCE");
        YDXDrawDrivers::Clear();
    }
    static std::vector<std::string> Strings(const CStringArray& array)
    {
        std::vector<std::string> out;
        for (int i = 0; i < array.GetSize(); ++i) out.push_back(static_cast<const char*>(array[i]));
        return out;
    }
};

TEST_F(YDXDrawDriversTest, DefaultsToTheHalDeviceAt640x480x16)
{
    ASSERT_EQ(0, YDXDrawDrivers::Enumerate(nullptr));
    YD3DDriverInfo* driver = YDXDrawDrivers::GetCurrentDriver();
    ASSERT_NE(nullptr, driver);
    EXPECT_STREQ("display", static_cast<const char*>(driver->m_name));
    EXPECT_EQ(nullptr, driver->m_guidPointer);
    EXPECT_EQ(2u, YDXDrawDrivers::GetEnumeratedCount());
    EXPECT_EQ(2u, YDXDrawDrivers::GetAcceptedCount());
    EXPECT_STREQ("Direct3D HAL", static_cast<const char*>(YDXDrawDrivers::GetSelectedDeviceName("display")));
    ASSERT_NE(nullptr, driver->m_selectedDevice->m_selectedMode);
    EXPECT_STREQ("640 x 480 x 16", static_cast<const char*>(driver->m_selectedDevice->m_selectedMode->GetText()));
    EXPECT_TRUE(IsEqualGUID(IID_IDirect3DHALDevice, *YDXDrawDrivers::GetSelectedDeviceGuid()));
    // Only the 16- and 32-bit modes are accepted, in enumeration order.
    CStringArray modes;
    YDXDrawDrivers::GetSupportedModes("display", modes);
    EXPECT_EQ((std::vector<std::string>{"640 x 480 x 16", "640 x 480 x 32", "800 x 600 x 16", "800 x 600 x 32",
                                        "1024 x 768 x 16", "1024 x 768 x 32"}),
              Strings(modes));
    EXPECT_EQ(12, driver->m_modes.GetCount());
    EXPECT_TRUE(YDXDrawDrivers::CanRenderWindowedByName("PRIMARY display driver"));
}

TEST_F(YDXDrawDriversTest, FallsBackToEmulationThenToTheFirstDevice)
{
    {
        ScopedForce force("nohal");
        ASSERT_EQ(0, YDXDrawDrivers::Enumerate(nullptr));
        EXPECT_STREQ("RGB Emulation", static_cast<const char*>(YDXDrawDrivers::GetSelectedDeviceName("display")));
    }
    // The confirmation function can refuse every device.
    EXPECT_EQ(YDXDRIVERS_NOACCEPTED, YDXDrawDrivers::Enumerate([](void*) -> LONG { return -1; }));
    EXPECT_EQ(2u, YDXDrawDrivers::GetEnumeratedCount());
}

TEST_F(YDXDrawDriversTest, ForcedFailuresGiveTheirCodes)
{
    struct Case {
        const char* force;
        HRESULT result;
    } cases[] = {
        {"nodevice", YDXDRIVERS_NODEVICE},
        {"enumfail", YDXDRIVERS_NODEVICE},
        {"only24", YDXDRIVERS_NOACCEPTED},
        {"nodisplay,secondary", YDXDRIVERS_NODISPLAY},
    };
    for (const Case& c : cases) {
        ScopedForce force(c.force);
        EXPECT_EQ(c.result, YDXDrawDrivers::Enumerate(nullptr)) << c.force;
        EXPECT_EQ(nullptr, YDXDrawDrivers::GetSelectedDeviceGuid()) << c.force;
    }
}

TEST_F(YDXDrawDriversTest, SecondaryDriverKeepsOnlyHardwareDevices)
{
    ScopedForce force("secondary");
    ASSERT_EQ(0, YDXDrawDrivers::Enumerate(nullptr));
    CStringArray names, descriptions;
    YDXDrawDrivers::GetDriverNames(names);
    YDXDrawDrivers::GetDriverDescriptions(descriptions);
    ASSERT_EQ(2, names.GetSize());
    EXPECT_STREQ("display", static_cast<const char*>(names[0]));
    EXPECT_STREQ("Secondary Display Adapter", static_cast<const char*>(descriptions[1]));
    YD3DDriverInfo* secondary = YDXDrawDrivers::GetDriverList()->GetTail();
    ASSERT_EQ(1, secondary->m_devices.GetCount());
    EXPECT_STREQ("Direct3D HAL", static_cast<const char*>(secondary->m_devices.GetHead()->m_name));
    ASSERT_NE(nullptr, YDXDrawDrivers::GetDriverGuidPointer(static_cast<const char*>(names[1])));
    GUID guid = YDXDrawDrivers::GetDriverGuid(static_cast<const char*>(names[1]));
    EXPECT_TRUE(IsEqualGUID(guid, *secondary->m_guidPointer));
    EXPECT_TRUE(YDXDrawDrivers::CanRenderWindowed(guid));
}

TEST_F(YDXDrawDriversTest, SelectionByNameFailsCleanly)
{
    ASSERT_EQ(0, YDXDrawDrivers::Enumerate(nullptr));
    YD3DDriverInfo* current = YDXDrawDrivers::GetCurrentDriver();
    EXPECT_EQ(0, YDXDrawDrivers::SetDevice("no such driver", "RGB Emulation", ""));
    EXPECT_EQ(current, YDXDrawDrivers::GetCurrentDriver());
    EXPECT_STREQ("Direct3D HAL", static_cast<const char*>(YDXDrawDrivers::GetSelectedDeviceName("display")));
    EXPECT_EQ(0, YDXDrawDrivers::SetDevice("display", "Ramp Emulation", ""));
    EXPECT_EQ(0, YDXDrawDrivers::SetDevice("display", "RGB Emulation", "640 x 480 x 24"));
    EXPECT_STREQ("RGB Emulation", static_cast<const char*>(YDXDrawDrivers::GetSelectedDeviceName("display")));
    EXPECT_EQ(1, YDXDrawDrivers::SetDevice("display", "", "800 x 600 x 32"));
    EXPECT_STREQ("800 x 600 x 32", static_cast<const char*>(current->m_devices.GetHead()->m_selectedMode->GetText()));

    GUID unknown = {9, 9, 9, {9, 9, 9, 9, 9, 9, 9, 9}};
    EXPECT_TRUE(YDXDrawDrivers::CanRenderWindowed(unknown));
    EXPECT_TRUE(YDXDrawDrivers::CanRenderWindowedByName("nothing"));
    GUID none = YDXDrawDrivers::GetDriverGuid("nothing");
    GUID zero;
    memset(&zero, 0, sizeof zero);
    EXPECT_TRUE(IsEqualGUID(zero, none));
    EXPECT_EQ(nullptr, YDXDrawDrivers::GetDriverGuidPointer("nothing"));
    EXPECT_STREQ("", static_cast<const char*>(YDXDrawDrivers::GetSelectedDeviceName("nothing")));
}
}  // namespace
