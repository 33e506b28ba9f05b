#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

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

TEST(MemoryAudioOutput, KeptFramesAreWrittenAsAWaveFile)
{
    platform::Clock::SetManual(true);
    platform::Clock::Set(1000);
    CountingSource source;
    platform::MemoryAudioOutput output;
    ASSERT_TRUE(output.Open(8000, &source));
    platform::Clock::Advance(100);
    output.Pump();
    const std::string path = ::testing::TempDir() + "rcv_audio_dump_" + std::to_string(getpid()) + ".wav";
    ASSERT_TRUE(output.WriteWave(path));
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    std::remove(path.c_str());
    ASSERT_EQ(44u + 800u * 4, bytes.size());
    auto le = [&](size_t at, int count) {
        uint32_t v = 0;
        for (int i = count - 1; i >= 0; --i) v = v << 8 | uint8_t(bytes[at + size_t(i)]);
        return v;
    };
    EXPECT_EQ("RIFF", bytes.substr(0, 4));
    EXPECT_EQ(36u + 3200u, le(4, 4));
    EXPECT_EQ("WAVEfmt ", bytes.substr(8, 8));
    EXPECT_EQ(1u, le(20, 2));     // PCM
    EXPECT_EQ(2u, le(22, 2));     // stereo
    EXPECT_EQ(8000u, le(24, 4));  // rate
    EXPECT_EQ(32000u, le(28, 4));
    EXPECT_EQ(16u, le(34, 2));
    EXPECT_EQ("data", bytes.substr(36, 4));
    EXPECT_EQ(3200u, le(40, 4));
    // The frames in order, left and right.
    EXPECT_EQ(0u, le(44, 2));
    EXPECT_EQ(0u, le(46, 2));
    EXPECT_EQ(799u, le(44 + 799 * 4, 2));
    EXPECT_FALSE(output.WriteWave("/nonexistent-folder/x.wav"));
    output.Close();
    platform::Clock::SetManual(false);
}
