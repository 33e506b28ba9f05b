#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "WaveBytes.h"
#include "platform/ImaAdpcm.h"
#include "platform/PcmFormat.h"
#include "platform/mmsystem.h"

using platform::PcmFormat;

namespace {
// Converts bytes from one format to another through one ACM stream header.
// The formats are whole blocks (an IMA ADPCM one with its samples per block).
std::vector<BYTE> Convert(const void* from, const void* to, const std::vector<BYTE>& input)
{
    HACMSTREAM stream = nullptr;
    const MMRESULT opened =
        acmStreamOpen(&stream, nullptr, static_cast<LPWAVEFORMATEX>(const_cast<void*>(from)),
                      static_cast<LPWAVEFORMATEX>(const_cast<void*>(to)), nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME);
    EXPECT_EQ(MMSYSERR_NOERROR, opened);
    if (opened != MMSYSERR_NOERROR) return {};
    DWORD size = 0;
    EXPECT_EQ(MMSYSERR_NOERROR, acmStreamSize(stream, DWORD(input.size()), &size, ACM_STREAMSIZEF_SOURCE));
    std::vector<BYTE> output(size + 1);
    std::vector<BYTE> source(input);
    ACMSTREAMHEADER header = {};
    header.cbStruct = sizeof(header);
    header.pbSrc = source.data();
    header.cbSrcLength = DWORD(source.size());
    header.pbDst = output.data();
    header.cbDstLength = size;
    EXPECT_EQ(MMSYSERR_NOERROR, acmStreamPrepareHeader(stream, &header, 0));
    EXPECT_EQ(MMSYSERR_NOERROR, acmStreamConvert(stream, &header, ACM_STREAMCONVERTF_BLOCKALIGN));
    EXPECT_EQ(MMSYSERR_NOERROR, acmStreamUnprepareHeader(stream, &header, 0));
    acmStreamClose(stream, 0);
    EXPECT_LE(header.cbDstLengthUsed, size);
    output.resize(header.cbDstLengthUsed);
    return output;
}

std::vector<BYTE> Bytes(const std::vector<int16_t>& samples)
{
    const std::string text = wavebytes::Samples16(samples);
    return std::vector<BYTE>(text.begin(), text.end());
}

int16_t At(const std::vector<BYTE>& bytes, size_t index)
{
    return int16_t(uint16_t(bytes[2 * index] | bytes[2 * index + 1] << 8));
}
}  // namespace

TEST(AudioCompression, PcmConversionsChangeBitsChannelsAndRate)
{
    const std::vector<int16_t> stereo = {1000, -1000, 20000, 10000, -32768, 32767, 256, 0};
    const WAVEFORMATEX source = PcmFormat::Make(22050, 16, 2);
    const WAVEFORMATEX mono16 = PcmFormat::Make(22050, 16, 1), stereo8 = PcmFormat::Make(22050, 8, 2);
    const WAVEFORMATEX slow = PcmFormat::Make(11025, 16, 1), narrow = PcmFormat::Make(8000, 8, 1),
                       wide16 = PcmFormat::Make(8000, 16, 1);

    // Mono: the channels' mean.
    std::vector<BYTE> mono = Convert(&source, &mono16, Bytes(stereo));
    ASSERT_EQ(8u, mono.size());
    EXPECT_EQ(0, At(mono, 0));
    EXPECT_EQ(15000, At(mono, 1));
    EXPECT_EQ(0, At(mono, 2));  // -32768 and 32767
    EXPECT_EQ(128, At(mono, 3));

    // 8 bits: unsigned, the high byte rounded.
    std::vector<BYTE> eight = Convert(&source, &stereo8, Bytes(stereo));
    ASSERT_EQ(8u, eight.size());
    EXPECT_EQ(0x84, eight[0]);
    EXPECT_EQ(0x7C, eight[1]);
    EXPECT_EQ(0x00, eight[4]);
    EXPECT_EQ(0xFF, eight[5]);

    // Double rate: every other frame is halfway between its neighbours.
    std::vector<BYTE> fast = Convert(&slow, &mono16, Bytes({0, 1000, 3000}));
    ASSERT_EQ(12u, fast.size());
    const int16_t expected[] = {0, 500, 1000, 2000, 3000, 3000};
    for (size_t i = 0; i < 6; ++i) EXPECT_EQ(expected[i], At(fast, i)) << i;

    // Back from 8 bits to 16.
    std::vector<BYTE> wide = Convert(&narrow, &wide16, {0x80, 0xC0, 0x00});
    ASSERT_EQ(6u, wide.size());
    EXPECT_EQ(0, At(wide, 0));
    EXPECT_EQ(16384, At(wide, 1));
    EXPECT_EQ(-32768, At(wide, 2));
}

TEST(AudioCompression, AdpcmRoundTripFollowsTheSignal)
{
    struct Case {
        WORD channels;
        DWORD rate;
    };
    for (const Case& c : {Case{1, 11025}, Case{2, 22050}, Case{1, 44100}}) {
        SCOPED_TRACE(c.channels);
        const std::vector<int16_t> tone = wavebytes::Sine(c.rate, 440, 0.25, 16000, c.channels);
        WAVEFORMATEX pcm = PcmFormat::Make(c.rate, 16, c.channels);
        IMAADPCMWAVEFORMAT adpcm = {};
        adpcm.wfx.wFormatTag = WAVE_FORMAT_IMA_ADPCM;
        ASSERT_EQ(MMSYSERR_NOERROR, acmFormatSuggest(nullptr, &pcm, &adpcm.wfx, sizeof(adpcm),
                                                     ACM_FORMATSUGGESTF_WFORMATTAG));
        EXPECT_EQ(4, adpcm.wfx.wBitsPerSample);
        EXPECT_EQ(platform::ImaAdpcm::SamplesPerBlock(adpcm.wfx.nBlockAlign, c.channels), adpcm.wSamplesPerBlock);

        const std::vector<BYTE> packed = Convert(&pcm, &adpcm, Bytes(tone));
        ASSERT_EQ(0u, packed.size() % adpcm.wfx.nBlockAlign);
        EXPECT_LT(packed.size(), tone.size());  // 4 bits a sample and the headers

        WAVEFORMATEX back = {};
        ASSERT_EQ(MMSYSERR_NOERROR,
                  acmFormatSuggest(nullptr, reinterpret_cast<WAVEFORMATEX*>(&adpcm), &back, sizeof(back), 0));
        EXPECT_EQ(WAVE_FORMAT_PCM, back.wFormatTag);
        EXPECT_EQ(16, back.wBitsPerSample);
        const std::vector<BYTE> unpacked = Convert(&adpcm, &back, packed);
        ASSERT_GE(unpacked.size() / 2, tone.size());
        double error = 0, signal = 0;
        for (size_t i = 0; i < tone.size(); ++i) {
            error += std::pow(At(unpacked, i) - tone[i], 2.0);
            signal += std::pow(double(tone[i]), 2.0);
        }
        EXPECT_LT(error / signal, 0.005);
        for (size_t i = tone.size(); i < unpacked.size() / 2; ++i) EXPECT_LT(std::abs(At(unpacked, i)), 1500) << i;
    }
}

TEST(AudioCompression, ImpossibleConversionsAreRefused)
{
    struct Case {
        const char* what;
        WAVEFORMATEX from;
        WAVEFORMATEX to;
    };
    WAVEFORMATEX adpcm = {WAVE_FORMAT_IMA_ADPCM, 1, 22050, 11100, 512, 4, 0};
    WAVEFORMATEX oddAdpcm = adpcm;
    oddAdpcm.nBlockAlign = 511;
    WAVEFORMATEX noRate = PcmFormat::Make(22050, 16, 1);
    noRate.nSamplesPerSec = 0;
    WAVEFORMATEX noChannels = PcmFormat::Make(22050, 16, 1);
    noChannels.nChannels = 0;
    const Case cases[] = {
        {"adpcm to 8 bits", adpcm, PcmFormat::Make(22050, 8, 1)},
        {"adpcm to another rate", adpcm, PcmFormat::Make(11025, 16, 1)},
        {"odd adpcm blocks", oddAdpcm, PcmFormat::Make(22050, 16, 1)},
        {"zero rate", noRate, PcmFormat::Make(22050, 16, 1)},
        {"zero channels", noChannels, PcmFormat::Make(22050, 16, 1)},
        {"24 bits", PcmFormat::Make(22050, 16, 1), {1, 1, 22050, 66150, 3, 24, 0}},
    };
    for (const Case& c : cases) {
        WAVEFORMATEX from = c.from, to = c.to;
        HACMSTREAM stream = reinterpret_cast<HACMSTREAM>(1);
        EXPECT_EQ(MMRESULT(ACMERR_NOTPOSSIBLE), acmStreamOpen(&stream, nullptr, &from, &to, nullptr, 0, 0, 0))
            << c.what;
        EXPECT_EQ(nullptr, stream) << c.what;
    }
    WAVEFORMATEX unknown = {0x55, 1, 22050, 4000, 1, 0, 0}, suggestion = {};
    EXPECT_EQ(MMRESULT(ACMERR_NOTPOSSIBLE), acmFormatSuggest(nullptr, &unknown, &suggestion, sizeof(suggestion), 0));
    DWORD maximum = 0;
    EXPECT_EQ(MMSYSERR_NOERROR, acmMetrics(nullptr, ACM_METRIC_MAX_SIZE_FORMAT, &maximum));
    EXPECT_GE(maximum, DWORD(sizeof(IMAADPCMWAVEFORMAT)));
}

TEST(AudioCompression, DecoderReadsOnlyWholeBlocks)
{
    const WORD perBlock = platform::ImaAdpcm::SamplesPerBlock(36, 1);
    ASSERT_EQ(65, perBlock);  // 4-byte header, 32 bytes of codes
    std::vector<BYTE> blocks(36 * 2 + 20, 0x77);
    blocks[2] = 200;  // a step index past the table is held at its end
    std::vector<int16_t> out(size_t(perBlock) * 3, 12345);
    EXPECT_EQ(size_t(2 * perBlock), platform::ImaAdpcm::Decode(blocks.data(), blocks.size(), 1, 36, out.data()));
    EXPECT_EQ(12345, out[2 * perBlock]);
    EXPECT_EQ(0, platform::ImaAdpcm::SamplesPerBlock(35, 1));
    EXPECT_EQ(0, platform::ImaAdpcm::SamplesPerBlock(40, 3));
}
