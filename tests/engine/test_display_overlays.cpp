// The frame's debug overlays: "SOUND SHOW" lists the sound manager's game
// buffers line by line from (15, 21), wrapping into a new column above the
// bottom of the frame.
#include "engine/DisplayFixture.h"

#include <algorithm>
#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "WaveBytes.h"
#include "foundation/YCatalog.h"
#include "platform/backend/HeadlessBackend.h"
#include "sound/YSound.h"
#include "sound/YSoundData.h"

namespace {
class SoundOverlay : public StartedDisplay {
protected:
    void SetUp() override
    {
        StartedDisplay::SetUp();
        m_savedSound = m_engine->m_sound;
        m_savedShow = m_engine->m_showSoundInfo;
        m_settings.m_3dEnabled = 0;
        m_sound.Initialize(&m_catalog, &m_settings);
        m_engine->m_sound = &m_sound;
    }
    void TearDown() override
    {
        m_engine->m_sound = m_savedSound;
        m_engine->m_showSoundInfo = m_savedShow;
        StartedDisplay::TearDown();
    }

    // Game buffers of as many sounds.
    void AddSounds(int count)
    {
        for (int i = 0; i < count; ++i) {
            const std::string path = m_folder.Path() + "/tone" + std::to_string(i) + ".wav";
            wavebytes::WriteFile(path, wavebytes::PcmWave(22050, 1, wavebytes::Sine(22050, 441, 0.1, 8000)));
            ASSERT_NE(nullptr, m_sound.CreateNewGameBuffer(path.c_str(), 0)) << i;
        }
    }

    // The frame shown; lit pixels are the overlay's text on the black frame.
    const platform::HeadlessBackend::Frame& Show(bool sounds)
    {
        m_engine->m_showSoundInfo = sounds ? 1 : 0;
        m_graphics->ClearSurfaces(1);
        EXPECT_EQ(1, m_graphics->RunFrame());
        const platform::HeadlessBackend::Frame* frame = platform::HeadlessBackend::Active()->LastFrame();
        EXPECT_NE(nullptr, frame);
        return *frame;
    }
    // The rightmost lit column within the rows, -1 when none is lit.
    static int RightEdge(const platform::HeadlessBackend::Frame& frame, int top, int bottom)
    {
        int right = -1;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < frame.width; ++x)
                if (frame.At(x, y) != 0) right = std::max(right, x);
        return right;
    }
    static int LeftEdge(const platform::HeadlessBackend::Frame& frame, int top, int bottom, int from)
    {
        for (int x = from; x < frame.width; ++x)
            for (int y = top; y < bottom; ++y)
                if (frame.At(x, y) != 0) return x;
        return -1;
    }

    ScratchFolder m_folder;
    YCatalog m_catalog;
    YSoundData m_settings;
    YSound m_sound;
    YSound* m_savedSound = nullptr;
    uint8_t m_savedShow = 0;
};
}  // namespace

TEST_F(SoundOverlay, OnlySoundShowDrawsTheList)
{
    AddSounds(3);
    EXPECT_EQ(-1, RightEdge(Show(false), 0, 480)) << "nothing is drawn without the switch";
    const platform::HeadlessBackend::Frame& frame = Show(true);
    // Three buffer lines and two total lines, from (15, 21).
    EXPECT_NEAR(15, LeftEdge(frame, 21, 21 + 5 * 12, 0), 2) << "the text starts at x 15";
    EXPECT_GT(RightEdge(frame, 21 + 4 * 12, 21 + 5 * 12), 100) << "the long totals line";
    EXPECT_EQ(-1, RightEdge(frame, 0, 20)) << "nothing above the first line";
    EXPECT_EQ(-1, RightEdge(frame, 21 + 5 * 12 + 2, 480)) << "five lines only";
}

TEST_F(SoundOverlay, ALongListWrapsIntoANewColumnAboveTheBottom)
{
    // 40 buffer lines and 2 total lines: 36 fit between y 21 and 460.
    AddSounds(40);
    const platform::HeadlessBackend::Frame& frame = Show(true);
    EXPECT_EQ(-1, RightEdge(frame, 21 + 36 * 12 + 1, 480)) << "no line passes the height less 20";
    const int firstColumn = RightEdge(frame, 21 + 7 * 12, 21 + 36 * 12);
    ASSERT_GT(firstColumn, 15);
    // The second column holds the last six lines, from the top again.
    const int second = LeftEdge(frame, 21, 21 + 6 * 12, firstColumn + 1);
    ASSERT_GT(second, firstColumn);
    EXPECT_LE(second, firstColumn + 20);
    EXPECT_EQ(-1, LeftEdge(frame, 21 + 6 * 12 + 2, 480, firstColumn + 1)) << "six lines in the second column";
}
