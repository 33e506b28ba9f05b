#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "SoundFixture.h"
#include "sound/YDXSoundBuffer.h"

using wavebytes::Rms;

namespace {
const double kToneRms = 8000 / std::sqrt(2.0);

class SoundBuffers : public SoundFixture {
protected:
    std::unique_ptr<YDXSoundBuffer> Buffer(const std::string& path)
    {
        auto buffer = std::make_unique<YDXSoundBuffer>(&m_device, path.c_str(), 1, YDXSoundBuffer::kDefaultFlags);
        EXPECT_EQ(1, buffer->m_created);
        return buffer;
    }
};
}  // namespace

TEST_F(SoundBuffers, VolumeScalesTheMixedTone)
{
    struct Case {
        LONG volume;
        double gain;
    };
    const Case cases[] = {{0, 1.0}, {-600, 0.501}, {-2000, 0.1}, {-10000, 0.0}, {300, 1.0}};
    auto buffer = Buffer(Tone("tone.wav", 2.0));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.volume);
        buffer->SetVolume(c.volume);
        buffer->SetCurrentPosition(0);
        ASSERT_TRUE(buffer->Play(DSBPLAY_LOOPING));
        const auto frames = Listen(200);
        EXPECT_NEAR(kToneRms * c.gain, Rms(frames, 0), kToneRms * 0.02 + 1);
        EXPECT_NEAR(Rms(frames, 0), Rms(frames, 1), 1.0);
        buffer->Stop();
    }
}

TEST_F(SoundBuffers, GlobalOffsetSilencesAndRestoresTheRequestedVolume)
{
    auto buffer = Buffer(Tone("tone.wav", 1.0));
    LONG heard = 1;
    ASSERT_TRUE(buffer->SetVolume(-500));
    YDXSound::s_globalVolumeOffset = -10000;
    buffer->SetVolume(buffer->m_requestedVolume);
    buffer->GetBuffer()->GetVolume(&heard);
    EXPECT_EQ(-10000, heard);
    buffer->Play(0);
    EXPECT_EQ(0.0, Rms(Listen(100), 0));

    YDXSound::s_globalVolumeOffset = 0;
    buffer->SetVolume(buffer->m_requestedVolume);
    buffer->GetBuffer()->GetVolume(&heard);
    EXPECT_EQ(-500, heard);
    LONG requested = 0;
    EXPECT_TRUE(buffer->GetVolume(&requested));
    EXPECT_EQ(-500, requested);
    EXPECT_NEAR(kToneRms * std::pow(10.0, -0.25), Rms(Listen(100), 0), kToneRms * 0.02);
}

TEST_F(SoundBuffers, PanAttenuatesTheOtherSide)
{
    struct Case {
        LONG pan;
        double left;
        double right;
    };
    const Case cases[] = {{0, 1, 1}, {-10000, 1, 0}, {10000, 0, 1}, {-2000, 1, 0.1}, {600, 0.501, 1}};
    auto buffer = Buffer(Tone("tone.wav", 2.0));
    buffer->Play(DSBPLAY_LOOPING);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pan);
        ASSERT_TRUE(buffer->SetPan(c.pan));
        const auto frames = Listen(100);
        EXPECT_NEAR(kToneRms * c.left, Rms(frames, 0), kToneRms * 0.02 + 1);
        EXPECT_NEAR(kToneRms * c.right, Rms(frames, 1), kToneRms * 0.02 + 1);
    }
}

TEST_F(SoundBuffers, OneShotEndsAfterItsDurationScaledByFrequency)
{
    struct Case {
        DWORD frequency;
        DWORD endsAfterMs;
    };
    const Case cases[] = {{0, 500}, {kRate * 2, 250}, {kRate / 2, 1000}};
    auto buffer = Buffer(Tone("tone.wav", 0.5));
    EXPECT_EQ(500u, buffer->GetDuration());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frequency);
        ASSERT_TRUE(buffer->SetFrequency(c.frequency));
        ASSERT_TRUE(buffer->Play(0));
        const auto frames = Listen(c.endsAfterMs + 100);
        EXPECT_FALSE(buffer->IsPlaying());
        const size_t end = size_t(c.endsAfterMs) * kRate / 1000;
        EXPECT_GT(Rms(frames, 0, end - 400, 300), kToneRms * 0.9);  // still sounding just before
        EXPECT_EQ(0.0, Rms(frames, 0, end + 5));                   // silent after
        DWORD position = 1;
        buffer->GetPlayPosition(&position);
        EXPECT_EQ(0u, position);
    }
}

TEST_F(SoundBuffers, LoopingBufferKeepsSounding)
{
    auto buffer = Buffer(Tone("short.wav", 0.1));
    buffer->Play(DSBPLAY_LOOPING);
    const auto frames = Listen(1000);
    EXPECT_TRUE(buffer->IsPlaying());
    DWORD status = 0;
    buffer->GetStatus(&status, 1);
    EXPECT_EQ(DWORD(DSBSTATUS_PLAYING | DSBSTATUS_LOOPING), status);
    for (size_t slice = 0; slice < 10; ++slice)
        EXPECT_NEAR(kToneRms, Rms(frames, 0, slice * kRate / 10, kRate / 10), kToneRms * 0.02) << slice;
    buffer->Stop();
    EXPECT_EQ(0.0, Rms(Listen(100), 0));
}

TEST_F(SoundBuffers, DuplicateSharesSamplesWithItsOwnCursor)
{
    auto original = Buffer(Tone("tone.wav", 1.0));
    YDXSoundBuffer copy;
    ASSERT_TRUE(original->Duplicate(&copy));
    EXPECT_EQ(1, copy.m_duplicate);
    EXPECT_EQ(original->GetDataLength(), copy.GetDataLength());

    // The original's samples, changed in place, are the duplicate's too.
    void* part = nullptr;
    DWORD bytes = 0;
    ASSERT_EQ(DS_OK, original->GetBuffer()->Lock(0, 0, &part, &bytes, nullptr, nullptr, DSBLOCK_ENTIREBUFFER));
    int16_t* samples = static_cast<int16_t*>(part);
    for (DWORD i = 0; i < bytes / 2; ++i) samples[i] = int16_t(samples[i] / 2);
    original->GetBuffer()->Unlock(part, bytes, nullptr, 0);

    copy.Play(0);
    auto frames = Listen(200);
    EXPECT_NEAR(kToneRms / 2, Rms(frames, 0), kToneRms * 0.02);
    original->Play(0);  // starts 200 ms behind: both together, then the copy ends first
    frames = Listen(1000);
    DWORD copyAt = 0, originalAt = 0;
    EXPECT_FALSE(copy.IsPlaying());
    EXPECT_FALSE(original->IsPlaying());
    EXPECT_GT(Rms(frames, 0, 0, kRate / 2), kToneRms / 2 * 1.2);          // two voices
    EXPECT_NEAR(kToneRms / 2, Rms(frames, 0, kRate * 85 / 100, kRate / 10), kToneRms * 0.02);  // the original alone
    copy.GetPlayPosition(&copyAt);
    original->GetPlayPosition(&originalAt);
    EXPECT_EQ(0u, copyAt);
    EXPECT_EQ(0u, originalAt);
}

TEST_F(SoundBuffers, LostBufferIsRefilledFromItsFileWhenPlayed)
{
    auto buffer = Buffer(Tone("tone.wav", 1.0));
    buffer->Play(DSBPLAY_LOOPING);
    platform::LoseSoundBuffers();
    DWORD status = 0;
    ASSERT_TRUE(buffer->GetStatus(&status, 1));
    EXPECT_EQ(DWORD(DSBSTATUS_BUFFERLOST), status);
    EXPECT_EQ(DSERR_BUFFERLOST, buffer->GetBuffer()->Play(0, 0, 0));
    EXPECT_EQ(0.0, Rms(Listen(100), 0));

    ASSERT_TRUE(buffer->Play(0));
    EXPECT_NEAR(kToneRms, Rms(Listen(200), 0), kToneRms * 0.02);
}

TEST_F(SoundBuffers, AdpcmWaveIsHeardConverted)
{
    // 2 s of tone in IMA ADPCM at the device's rate: 88 blocks of 505 samples,
    // the last one cut short. Only the 87 whole blocks are heard.
    const std::vector<int16_t> tone = wavebytes::Sine(kRate, 441, 2.0, 8000);
    auto buffer = Buffer(File("adpcm.wav", wavebytes::AdpcmWave(tone, 100, kRate)));
    WAVEFORMATEX format = {};
    ASSERT_TRUE(buffer->GetFormat(&format));
    EXPECT_EQ(WAVE_FORMAT_PCM, format.wFormatTag);
    EXPECT_EQ(16, format.wBitsPerSample);
    EXPECT_EQ(87u * 505 * 2, buffer->GetDataLength());
    EXPECT_EQ(87u * 505 * 1000 / kRate, buffer->GetDuration());

    ASSERT_TRUE(buffer->Play(0));
    const auto frames = Listen(2100);
    EXPECT_FALSE(buffer->IsPlaying());
    for (size_t slice = 0; slice < 9; ++slice)
        EXPECT_NEAR(kToneRms, Rms(frames, 0, slice * kRate / 5, kRate / 5), kToneRms * 0.03) << slice;
    EXPECT_GT(Rms(frames, 0, 87 * 505 - 300, 290), kToneRms * 0.9);
    EXPECT_EQ(0.0, Rms(frames, 0, 87 * 505 + 5));
}

TEST_F(SoundBuffers, DurationIsExactInMilliseconds)
{
    struct Case {
        uint32_t rate;
        uint16_t channels;
        size_t samples;
        DWORD milliseconds;
    };
    const Case cases[] = {{22050, 1, 22050, 1000}, {22050, 2, 33075, 750}, {44100, 1, 66150, 1500}};
    for (const Case& c : cases) {
        const std::string path =
            File("d.wav", wavebytes::PcmWave(c.rate, c.channels, std::vector<int16_t>(c.samples, 100)));
        YDXSoundBuffer buffer(&m_device, path.c_str(), 1, YDXSoundBuffer::kDefaultFlags);
        EXPECT_EQ(c.milliseconds, buffer.GetDuration()) << c.rate << " " << c.samples;
    }
    YDXSoundBuffer unmade;
    EXPECT_EQ(0u, unmade.GetDuration());
}

TEST_F(SoundBuffers, CopyGivesAnotherBufferItsOwnSamples)
{
    auto source = Buffer(Tone("tone.wav", 0.5));
    EXPECT_EQ(nullptr, source->GetData());  // uploaded and freed: the copy reads the DirectSound buffer
    YDXSoundBuffer target;
    target.m_device = &m_device;
    ASSERT_TRUE(source->CopyWaveTo(&target));
    ASSERT_TRUE(target.CreateBuffer());

    // Silencing the source leaves the copy sounding.
    void* part = nullptr;
    DWORD bytes = 0;
    ASSERT_EQ(DS_OK, source->GetBuffer()->Lock(0, 0, &part, &bytes, nullptr, nullptr, DSBLOCK_ENTIREBUFFER));
    memset(part, 0, bytes);
    source->GetBuffer()->Unlock(part, bytes, nullptr, 0);
    target.Play(0);
    EXPECT_NEAR(kToneRms, Rms(Listen(200), 0), kToneRms * 0.02);
}

TEST_F(SoundBuffers, FailedStatusQueryAnswersNothingUntilForced)
{
    auto buffer = Buffer(Tone("tone.wav", 0.5));
    buffer->Play(DSBPLAY_LOOPING);
    EXPECT_FALSE(buffer->SetPan(20000));  // refused
    DWORD status = 0;
    EXPECT_FALSE(buffer->GetStatus(&status, 0));
    EXPECT_FALSE(buffer->IsPlaying());
    EXPECT_TRUE(buffer->GetStatus(&status, 1));
    EXPECT_TRUE(buffer->IsPlaying());
    char text[64] = "";
    buffer->m_result = DSERR_INVALIDPARAM;
    buffer->GetErrorText(text, sizeof(text));
    EXPECT_STREQ("DSERR_INVALIDPARAM\n", text);
}

TEST_F(SoundBuffers, WithoutADeviceNothingIsMade)
{
    const std::string path = Tone("tone.wav", 0.5);
    YDXSoundBuffer buffer(nullptr, path.c_str(), 1, YDXSoundBuffer::kDefaultFlags);
    EXPECT_EQ(0, buffer.m_created);
    EXPECT_FALSE(buffer.SetVolume(-100));
    EXPECT_FALSE(buffer.Play(0));
    EXPECT_FALSE(buffer.Stop());
    LONG volume = 0;
    EXPECT_FALSE(buffer.GetVolume(&volume));
}

TEST_F(SoundBuffers, ReadFromACatalogArchiveTheFileGivesFormatAndLength)
{
    const std::string path = Tone("tone.wav", 0.5);
    CFile file(path.c_str(), CFile::modeRead);
    CArchive archive(&file, CArchive::load);
    YDXSoundBuffer buffer;
    buffer.Serialize(archive);
    EXPECT_STREQ(path.c_str(), buffer.GetFileName());
    ASSERT_NE(nullptr, buffer.GetFormat());
    EXPECT_EQ(kRate, buffer.GetFormat()->nSamplesPerSec);
    EXPECT_EQ(DWORD(kRate), buffer.GetDataLength());
    EXPECT_EQ(nullptr, buffer.GetData());  // read when the buffer is made
    ASSERT_TRUE(buffer.Create(&m_device, YDXSoundBuffer::kDefaultFlags));
    EXPECT_EQ(500u, buffer.GetDuration());
}
