#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "SoundFixture.h"
#include "sound/DSDriver.h"
#include "sound/YWave.h"

namespace {
// A window that keeps the messages it is sent, with their text.
class MessageRecorder : public CWnd {
public:
    MessageRecorder() { CreateEx(0, nullptr, "recorder", 0, RECT{0, 0, 10, 10}, nullptr, 0); }
    ~MessageRecorder() override { DestroyWindow(); }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == CB_ADDSTRING || message == EM_REPLACESEL)
            m_seen.push_back({message, reinterpret_cast<const char*>(lParam)});
        else if (message == EM_SETSEL)
            m_seen.push_back({message, std::to_string(wParam) + ".." + std::to_string(lParam)});
        else if (message == EM_SCROLLCARET)
            m_seen.push_back({message, ""});
        return CWnd::WindowProc(message, wParam, lParam);
    }

    std::vector<std::pair<UINT, std::string>> m_seen;
};

// The texts of the children of item, in order.
std::vector<std::string> Children(const CTreeCtrl& tree, HTREEITEM item)
{
    std::vector<std::string> texts;
    for (HTREEITEM child = tree.GetChildItem(item); child; child = tree.GetNextSiblingItem(child))
        texts.push_back(static_cast<const char*>(tree.GetItemText(child)));
    return texts;
}
}  // namespace

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

TEST(SoundDevice, DescriptionsFillAComboBox)
{
    YDXSound device;
    MessageRecorder combo;
    ASSERT_NE(nullptr, combo.m_hWnd);
    EXPECT_EQ(0, device.FillDriverComboBox(&combo));  // no drivers yet
    CStringArray descriptions;
    EXPECT_EQ(0, device.FillDriverLists(&descriptions, nullptr));
    device.EnumerateDrivers();
    EXPECT_EQ(0, device.FillDriverComboBox(nullptr));
    ASSERT_EQ(1, device.FillDriverComboBox(&combo));
    ASSERT_EQ(2u, combo.m_seen.size());
    EXPECT_EQ(UINT(CB_ADDSTRING), combo.m_seen[0].first);
    EXPECT_EQ("Primary Sound Driver", combo.m_seen[0].second);
    EXPECT_EQ(static_cast<const char*>(device.GetDriverDescription(1)), combo.m_seen[1].second);
}

TEST(SoundDevice, ErrorTextIsAppendedToTheErrorWindow)
{
    setenv("RCV_FORCE", "nodsound", 1);
    YDXSound device;
    MessageRecorder edit;
    device.SetErrorWindow(&edit);
    EXPECT_FALSE(device.Create(nullptr, DSSCL_PRIORITY, 1));
    unsetenv("RCV_FORCE");
    char text[8] = "";
    device.GetErrorText(text, sizeof(text));
    EXPECT_STREQ("DSERR_N", text);
    const std::vector<std::pair<UINT, std::string>> expected = {
        {EM_SETSEL, "65534..65535"}, {EM_SCROLLCARET, ""}, {EM_REPLACESEL, "DSERR_NODRIVER\n"}};
    EXPECT_EQ(expected, edit.m_seen);  // the whole text, whatever the caller's buffer holds
}

TEST(SoundDevice, CapsTreeShowsFlagsThenCounts)
{
    platform::Clock::SetManual(true);
    CTreeCtrl tree;
    YDXSound device;
    EXPECT_EQ(0, device.FillCapsTree(&tree));  // no DirectSound object
    ASSERT_TRUE(device.Create(nullptr, DSSCL_NORMAL, 0));
    EXPECT_EQ(0, device.FillCapsTree(nullptr));
    tree.InsertItem("left over");
    for (int pass = 0; pass < 2; ++pass) {  // filling again starts the tree over
        ASSERT_EQ(1, device.FillCapsTree(&tree));
        HTREEITEM flags = tree.GetRootItem();
        ASSERT_NE(nullptr, flags);
        EXPECT_STREQ("Flags", tree.GetItemText(flags));
        // Every flag the device has, in the tree's own order.
        const std::vector<std::string> setFlags = {"CONTINUOUSRATE", "PRIMARY16BIT",   "PRIMARY8BIT",
                                                   "PRIMARYMONO",    "PRIMARYSTEREO",  "SECONDARY16BIT",
                                                   "SECONDARY8BIT",  "SECONDARYMONO",  "SECONDARYSTEREO"};
        EXPECT_EQ(setFlags, Children(tree, flags));
        HTREEITEM caps = tree.GetNextSiblingItem(flags);
        ASSERT_NE(nullptr, caps);
        EXPECT_STREQ("Caps", tree.GetItemText(caps));
        EXPECT_EQ(nullptr, tree.GetNextSiblingItem(caps));
        const std::vector<std::string> names = Children(tree, caps);
        ASSERT_EQ(20u, names.size());
        EXPECT_EQ("Min Secondary Sample Rate", names[0]);
        EXPECT_EQ("Max HW 3D All Buffers", names[9]);
        EXPECT_EQ("CPU Overhead SW Buffers", names[19]);
        // Each count holds its value.
        std::vector<std::string> values;
        for (HTREEITEM count = tree.GetChildItem(caps); count; count = tree.GetNextSiblingItem(count)) {
            const std::vector<std::string> value = Children(tree, count);
            ASSERT_EQ(1u, value.size());
            values.push_back(value[0]);
        }
        EXPECT_EQ("100", values[0]);
        EXPECT_EQ("100000", values[1]);
        EXPECT_EQ("1", values[2]);
        EXPECT_EQ(std::to_string(device.GetCapsValue(6)), values[9]);
        EXPECT_EQ("0", values[15]);
        EXPECT_EQ(1u + setFlags.size() + 1u + 2u * 20u, tree.GetCount());
    }
    device.Cleanup();
    platform::Clock::SetManual(false);
}

namespace {
class DeviceAndPlaySound : public SoundFixture {};
}  // namespace

TEST_F(DeviceAndPlaySound, CreatingTheDeviceStopsAWavePlayedByName)
{
    YWave wave(Tone("tone.wav", 2.0).c_str(), 0);
    wave.PlaySound();
    EXPECT_NEAR(8000 / std::sqrt(2.0), wavebytes::Rms(Listen(100), 0), 8000 * 0.02);
    ASSERT_TRUE(m_device.Create(nullptr, DSSCL_PRIORITY, 1));
    EXPECT_EQ(0.0, wavebytes::Rms(Listen(100), 0));
}
