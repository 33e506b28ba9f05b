// The DirectSound stand-in's secondary buffers: a buffer whose length ends
// in part of a frame (a wave file's data chunk may) never lets its play
// cursor into that part.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/backend/HeadlessBackend.h"
#include "platform/dsound.h"
#include "platform/mmsystem.h"

namespace {
class DirectSoundBufferTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::Clock::SetManual(true);
        ASSERT_NE(nullptr, platform::HeadlessBackend::Active());
        ASSERT_EQ(DS_OK, DirectSoundCreate(nullptr, &m_sound, nullptr));
        m_sound->SetCooperativeLevel(nullptr, DSSCL_NORMAL);
    }
    void TearDown() override
    {
        if (m_sound) m_sound->Release();
        platform::Clock::SetManual(false);
    }

    // A buffer of the given format and length, every byte set to fill.
    LPDIRECTSOUNDBUFFER Make(WORD channels, WORD bits, DWORD bytes, BYTE fill)
    {
        WAVEFORMATEX format = {};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = channels;
        format.nSamplesPerSec = 22050;
        format.wBitsPerSample = bits;
        format.nBlockAlign = WORD(channels * bits / 8);
        format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
        DSBUFFERDESC desc = {};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_STATIC;
        desc.dwBufferBytes = bytes;
        desc.lpwfxFormat = &format;
        LPDIRECTSOUNDBUFFER buffer = nullptr;
        EXPECT_EQ(DS_OK, m_sound->CreateSoundBuffer(&desc, &buffer, nullptr));
        if (!buffer) return nullptr;
        void* part = nullptr;
        DWORD size = 0;
        EXPECT_EQ(DS_OK, buffer->Lock(0, 0, &part, &size, nullptr, nullptr, DSBLOCK_ENTIREBUFFER));
        memset(part, fill, size);
        buffer->Unlock(part, size, nullptr, 0);
        return buffer;
    }

    LPDIRECTSOUND m_sound = nullptr;
};
}  // namespace

TEST_F(DirectSoundBufferTest, PlayCursorStaysOnWholeFrames)
{
    struct Case {
        WORD channels, bits;
        DWORD frames, extra;  // whole frames, then bytes of a partial one
    } cases[] = {
        {2, 16, 40, 2}, {2, 16, 40, 1}, {2, 16, 40, 3}, {1, 16, 40, 1}, {2, 8, 40, 1}, {1, 8, 40, 0}, {2, 16, 40, 0},
    };
    auto& audio = platform::HeadlessBackend::Active()->Audio();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.channels) + " x " + std::to_string(c.bits) + " bits, " +
                     std::to_string(c.extra) + " bytes over");
        const DWORD align = c.channels * c.bits / 8;
        const DWORD bytes = c.frames * align + c.extra;
        LPDIRECTSOUNDBUFFER buffer = Make(c.channels, c.bits, bytes, 0x40);
        ASSERT_NE(nullptr, buffer);
        // Every byte of the trailing partial frame is refused, and the
        // cursor stays where it was.
        for (DWORD position = c.frames * align; position < bytes + 2; ++position)
            EXPECT_EQ(DSERR_INVALIDPARAM, buffer->SetCurrentPosition(position)) << position;
        DWORD play = 1;
        ASSERT_EQ(DS_OK, buffer->GetCurrentPosition(&play, nullptr));
        EXPECT_EQ(0u, play);
        // The last whole frame plays, and the buffer ends there.
        ASSERT_EQ(DS_OK, buffer->SetCurrentPosition((c.frames - 1) * align + align - 1));
        ASSERT_EQ(DS_OK, buffer->GetCurrentPosition(&play, nullptr));
        EXPECT_EQ((c.frames - 1) * align, play);
        audio.Take();
        ASSERT_EQ(DS_OK, buffer->Play(0, 0, 0));
        platform::Clock::Advance(20);
        DWORD status = DSBSTATUS_PLAYING;
        ASSERT_EQ(DS_OK, buffer->GetStatus(&status));
        EXPECT_EQ(0u, status & DSBSTATUS_PLAYING);
        const std::vector<int16_t> heard = audio.Take();
        bool sound = false;
        for (int16_t v : heard) sound = sound || v != 0;
        EXPECT_TRUE(sound) << "the last frame was heard";
        // Looping wraps from the last whole frame to the first.
        ASSERT_EQ(DS_OK, buffer->SetCurrentPosition((c.frames - 1) * align));
        ASSERT_EQ(DS_OK, buffer->Play(0, 0, DSBPLAY_LOOPING));
        platform::Clock::Advance(20);
        ASSERT_EQ(DS_OK, buffer->GetCurrentPosition(&play, nullptr));
        EXPECT_LT(play, c.frames * align);
        EXPECT_EQ(0u, play % align);
        buffer->Stop();
        buffer->Release();
    }
}
