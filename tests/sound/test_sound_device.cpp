#include <gtest/gtest.h>

#include <cstdlib>

#include "SoundFixture.h"
#include "sound/DSDriver.h"

TEST(SoundDevice, ResultNamesComeFromOneTable)
{
    struct Case {
        HRESULT result;
        const char* text;
    };
    const Case cases[] = {
        {HRESULT(0x88780096), "DSERR_BUFFERLOST\n"},  {HRESULT(0x80070057), "DSERR_INVALIDPARAM\n"},
        {HRESULT(0x887800AA), "DSERR_UNINITIALIZED\n"}, {HRESULT(0x80004001), "DSERR_UNSUPPORTED\n"},
        {HRESULT(0x88780078), "DSERR_NODRIVER\n"},    {HRESULT(0x12345678), "Undefined DirectSound Error\n"},
        {DS_OK, "Undefined DirectSound Error\n"},
    };
    for (const Case& c : cases) {
        CString text("before: ");
        DSErrorText(c.result, text);
        EXPECT_STREQ((CString("before: ") + c.text), (const char*)text);
    }
}

TEST(SoundDevice, WithoutDirectSoundNothingAnswers)
{
    YDXSound device;
    EXPECT_EQ(0u, device.GetCapsValue(6));
    EXPECT_EQ(0, device.SetFormat(22050, 16, 1));
    EXPECT_EQ(nullptr, device.GetDirectSound());
}

TEST(SoundDevice, DriversAreListedAndFoundByText)
{
    YDXSound device;
    ASSERT_TRUE(device.EnumerateDrivers());
    ASSERT_EQ(2, device.GetDriverCount());
    EXPECT_STREQ("Primary Sound Driver", device.GetDriverDescription(0));
    EXPECT_EQ(GUID_NULL, device.GetDriverGuid(0));
    EXPECT_NE(GUID_NULL, device.GetDriverGuid(1));
    EXPECT_STREQ("headless", device.GetDriverRecord(1)->m_module);

    EXPECT_EQ(1, device.IndexOfModule("HEADLESS"));
    EXPECT_EQ(0, device.IndexOfDescription("primary sound driver"));
    EXPECT_EQ(-1, device.IndexOfModule("dsound.vxd"));
    EXPECT_EQ(device.GetDriverGuid(1), device.GetGuidByModule("Headless"));
    EXPECT_EQ(GUID_NULL, device.GetGuidByDescription("none"));
    EXPECT_STREQ("", device.GetDriverDescription(2));
    EXPECT_EQ(GUID_NULL, device.GetDriverGuid(-1));
    EXPECT_EQ(nullptr, device.GetDriverRecord(2));

    CStringArray descriptions, modules;
    EXPECT_TRUE(device.FillDriverLists(&descriptions, &modules));
    EXPECT_EQ(2, descriptions.GetSize());
    EXPECT_STREQ("", modules[0]);

    // Enumerating again starts the list over.
    ASSERT_TRUE(device.EnumerateDrivers());
    EXPECT_EQ(2, device.GetDriverCount());
}

TEST(SoundDevice, CapsCountsByIndex)
{
    platform::Clock::SetManual(true);
    YDXSound device;
    ASSERT_TRUE(device.Create(nullptr, DSSCL_NORMAL, 0));
    EXPECT_EQ(32u, device.GetCapsValue(0));
    EXPECT_EQ(32u, device.GetCapsValue(6));
    EXPECT_EQ(32u, device.GetCapsValue(11));
    EXPECT_EQ(0u, device.GetCapsValue(12));
    EXPECT_EQ(0u, device.GetCapsValue(-1));
    device.Cleanup();
    platform::Clock::SetManual(false);
}

TEST(SoundDevice, CreatingAgainReleasesTheFirstObject)
{
    const int before = platform::LiveSoundObjects();
    YDXSound device;
    ASSERT_TRUE(device.Create(nullptr, DSSCL_NORMAL, 1));
    const int one = platform::LiveSoundObjects();
    EXPECT_EQ(before + 2, one);  // DirectSound and its primary buffer
    LPDIRECTSOUND first = device.GetDirectSound();
    ASSERT_TRUE(device.Create(nullptr, DSSCL_NORMAL, 1));
    EXPECT_EQ(one, platform::LiveSoundObjects());
    EXPECT_NE(nullptr, device.GetDirectSound());
    (void)first;
    device.Cleanup();
    EXPECT_EQ(before, platform::LiveSoundObjects());
}

TEST(SoundDevice, PrimaryFormatNeedsThePriorityLevel)
{
    platform::Clock::SetManual(true);
    YDXSound device;
    ASSERT_TRUE(device.CreateEx(nullptr, 0, 44100, 16, 0));
    WAVEFORMATEX format = {};
    ASSERT_EQ(DS_OK, device.GetPrimaryBuffer()->GetFormat(&format, sizeof(format), nullptr));
    EXPECT_EQ(44100u, format.nSamplesPerSec);
    EXPECT_EQ(16, format.wBitsPerSample);
    EXPECT_EQ(1, format.nChannels);
    EXPECT_EQ(44100, platform::HeadlessBackend::Active()->Audio().Rate());

    // At the normal level the primary keeps DirectSound's default format, and
    // SetFormat still reports success.
    ASSERT_TRUE(device.Create(nullptr, DSSCL_NORMAL, 0));
    EXPECT_TRUE(device.SetFormat(22050, 16, 1));
    EXPECT_EQ(DSERR_PRIOLEVELNEEDED, device.GetLastResult());
    device.GetPrimaryBuffer()->GetFormat(&format, sizeof(format), nullptr);
    EXPECT_EQ(8, format.wBitsPerSample);
    EXPECT_EQ(22050u, format.nSamplesPerSec);
    device.Cleanup();
    platform::Clock::SetManual(false);
}

TEST(SoundDevice, ForcedFailureLeavesTheResultText)
{
    setenv("RCV_FORCE", "nodsound", 1);
    YDXSound device;
    EXPECT_FALSE(device.Create(nullptr, DSSCL_PRIORITY, 1));
    unsetenv("RCV_FORCE");
    EXPECT_EQ(nullptr, device.GetDirectSound());
    char text[32] = "";
    device.GetErrorText(text, sizeof(text));
    EXPECT_STREQ("DSERR_NODRIVER\n", text);
    char shortText[5] = "";
    device.GetErrorText(shortText, sizeof(shortText));
    EXPECT_STREQ("DSER", shortText);
}

TEST(SoundDevice, HardwareTestMakesItsOwnObject)
{
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    YDXSound device;
    device.EnumerateDrivers();
    const int before = platform::LiveSoundObjects();
    EXPECT_EQ(1, device.DoesDriverSupport3DHW(device.GetDriverDescription(1)));
    EXPECT_EQ(1, device.DoesDriverSupport3DHW("Primary Sound Driver"));
    EXPECT_EQ(0, device.DoesDriverSupport3DHW("no such driver"));
    EXPECT_EQ(before, platform::LiveSoundObjects());
    CoUninitialize();
}
