#include <gtest/gtest.h>

#include <cmath>

#include "ScratchFolder.h"
#include "WaveBytes.h"
#include "platform/backend/HeadlessBackend.h"
#include "platform/mmsystem.h"

using namespace wavebytes;

TEST(PlaySound, FilePlaysUntilPurged)
{
    platform::Clock::SetManual(true);
    ScratchFolder folder;
    const std::string path = folder.Path() + "/beep.wav";
    WriteFile(path, PcmWave(11025, 1, Sine(11025, 300, 2.0, 10000)));
    auto& audio = platform::HeadlessBackend::Active()->Audio();

    ASSERT_TRUE(PlaySoundA(path.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NOWAIT));
    audio.Take();
    platform::Clock::Advance(200);
    EXPECT_NEAR(10000 / std::sqrt(2.0), Rms(audio.Take(), 0), 200);
    EXPECT_FALSE(PlaySoundA(path.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NOSTOP));

    ASSERT_TRUE(PlaySoundA(nullptr, nullptr, SND_PURGE));
    platform::Clock::Advance(200);
    EXPECT_EQ(0.0, Rms(audio.Take(), 0));

    EXPECT_FALSE(PlaySoundA((folder.Path() + "/missing.wav").c_str(), nullptr, SND_FILENAME | SND_ASYNC));
    WriteFile(path, "RIFF");
    EXPECT_FALSE(PlaySoundA(path.c_str(), nullptr, SND_FILENAME | SND_ASYNC));
    // A PCM format whose channels times bits passes the int range.
    WriteFile(path, Riff(Chunk("fmt ", FormatBody(1, 47104, 22050, 60248, 32)) + Chunk("data", std::string(64, 1))));
    EXPECT_FALSE(PlaySoundA(path.c_str(), nullptr, SND_FILENAME | SND_ASYNC));

    // Without SND_ASYNC the call returns when the sound has ended.
    WriteFile(path, PcmWave(11025, 1, Sine(11025, 300, 0.3, 10000)));
    const DWORD start = GetTickCount();
    ASSERT_TRUE(PlaySoundA(path.c_str(), nullptr, SND_FILENAME));
    EXPECT_GE(GetTickCount() - start, 300u);
    EXPECT_LT(GetTickCount() - start, 400u);
    platform::Clock::SetManual(false);
}
