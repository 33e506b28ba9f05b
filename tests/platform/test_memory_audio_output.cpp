#include <gtest/gtest.h>

#include "platform/backend/MemoryAudioOutput.h"
#include "platform/win32.h"

namespace {
// Counts the frames asked of it and numbers them.
class CountingSource : public platform::AudioSource {
public:
    void RenderAudio(int16_t* frames, int count) override
    {
        for (int i = 0; i < count; ++i) frames[2 * i] = frames[2 * i + 1] = int16_t(m_frames++ & 0x7FFF);
    }
    uint64_t m_frames = 0;
};
}  // namespace

TEST(MemoryAudioOutput, FramesFollowTheClock)
{
    platform::Clock::SetManual(true);
    platform::Clock::Set(100000);
    CountingSource source;
    platform::MemoryAudioOutput output;
    ASSERT_TRUE(output.Open(8000, &source));
    platform::Clock::Advance(250);
    EXPECT_EQ(2000u * 2, output.Take().size());
    platform::Clock::Advance(1);
    platform::Clock::Advance(1);
    output.Pump();
    EXPECT_EQ(16u * 2, output.Frames().size());

    // A clock set back starts the count again instead of owing ages of frames.
    platform::Clock::Set(50);
    output.Pump();
    platform::Clock::Advance(100);
    output.Take();
    EXPECT_EQ(2016u + 800u, source.m_frames);

    // A long wait mixes at most what is kept.
    platform::Clock::Advance(DWORD(platform::MemoryAudioOutput::kKeptSeconds + 30) * 1000);
    EXPECT_EQ(size_t(8000) * platform::MemoryAudioOutput::kKeptSeconds * 2, output.Take().size());
    output.Close();
    platform::Clock::Advance(1000);
    output.Pump();
    EXPECT_TRUE(output.Frames().empty());
    EXPECT_FALSE(output.Open(0, &source));
    platform::Clock::SetManual(false);
}
