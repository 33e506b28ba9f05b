#include <gtest/gtest.h>

#include <string>

#include "ScratchFolder.h"
#include "WaveBytes.h"
#include "platform/ImaAdpcm.h"
#include "sound/YWave.h"

using namespace wavebytes;

namespace {
class Waves : public ::testing::Test {
protected:
    std::string File(const std::string& bytes)
    {
        const std::string path = m_folder.Path() + "/w" + std::to_string(m_count++) + ".wav";
        WriteFile(path, bytes);
        return path;
    }

    ScratchFolder m_folder;
    int m_count = 0;
};
}  // namespace

TEST_F(Waves, PcmFormatBlockIsEighteenBytesWhateverTheChunkSize)
{
    for (int fmtSize : {16, 18}) {
        YWave wave;
        ASSERT_TRUE(wave.LoadFromFile(File(PcmWave(22050, 2, Sine(22050, 440, 0.1, 1000, 2), fmtSize)).c_str(), 1));
        EXPECT_EQ(18u, wave.GetFormatSize()) << fmtSize;
        EXPECT_EQ(0, wave.GetFormat()->cbSize);
        EXPECT_EQ(2, wave.GetFormat()->nChannels);
        EXPECT_EQ(22050u, wave.GetFormat()->nSamplesPerSec);
        EXPECT_EQ(4u * 2205, wave.GetDataLength());
        ASSERT_NE(nullptr, wave.GetData());
    }
}

TEST_F(Waves, WithoutReadDataOnlyTheLengthIsKnown)
{
    YWave wave(File(PcmWave(11025, 1, std::vector<int16_t>(300, 7))).c_str(), 0);
    EXPECT_EQ(600u, wave.GetDataLength());
    EXPECT_EQ(nullptr, wave.GetData());
    EXPECT_EQ(WAVE_FORMAT_PCM, wave.GetFormat()->wFormatTag);
}

TEST_F(Waves, EmptyDataChunkLoadsOnlyWithoutData)
{
    const std::string path = File(Riff(Chunk("fmt ", FormatBody(1, 1, 22050, 16, 2)) + Chunk("data", "")));
    YWave wave;
    EXPECT_TRUE(wave.LoadFromFile(path.c_str(), 0));
    EXPECT_FALSE(wave.LoadFromFile(path.c_str(), 1));
    EXPECT_EQ(nullptr, wave.GetFormat());  // reset after the failure
    EXPECT_STREQ("", wave.GetFileName());
}

TEST_F(Waves, AdpcmIsConvertedToPcmWithTheBytesActuallyMade)
{
    const std::vector<int16_t> tone = Sine(11025, 300, 0.3, 12000);  // 3307 samples: 7 blocks of 505
    const WORD perBlock = platform::ImaAdpcm::SamplesPerBlock(256, 1);
    ASSERT_EQ(505, perBlock);

    // The last block is cut short: it cannot convert, and must not be heard.
    YWave wave;
    ASSERT_TRUE(wave.LoadFromFile(File(AdpcmWave(tone, 100)).c_str(), 1));
    const WAVEFORMATEX* format = wave.GetFormat();
    EXPECT_EQ(WAVE_FORMAT_PCM, format->wFormatTag);
    EXPECT_EQ(16, format->wBitsPerSample);
    EXPECT_EQ(1, format->nChannels);
    EXPECT_EQ(11025u, format->nSamplesPerSec);
    EXPECT_EQ(2u, format->nBlockAlign);
    EXPECT_EQ(22050u, format->nAvgBytesPerSec);
    EXPECT_EQ(20u, wave.GetFormatSize());  // the block keeps its size
    ASSERT_EQ(6u * perBlock * 2, wave.GetDataLength());

    // The decoded tone follows the original closely.
    const int16_t* pcm = reinterpret_cast<const int16_t*>(wave.GetData());
    double error = 0, signal = 0;
    for (size_t i = 0; i < 6u * perBlock; ++i) {
        error += double(pcm[i] - tone[i]) * (pcm[i] - tone[i]);
        signal += double(tone[i]) * tone[i];
    }
    EXPECT_LT(error / signal, 0.01);

    YWave compressed;
    ASSERT_TRUE(compressed.LoadFromFile(File(AdpcmWave(tone)).c_str(), 0));
    EXPECT_EQ(WAVE_FORMAT_IMA_ADPCM, compressed.GetFormat()->wFormatTag);
    EXPECT_EQ(7u * 256, compressed.GetDataLength());
}

TEST_F(Waves, HostileFilesAreRefused)
{
    const std::string pcmFormat = Chunk("fmt ", FormatBody(1, 1, 22050, 16, 2));
    const std::string data = Chunk("data", std::string(400, '\x10'));
    const std::string good = Riff(pcmFormat + data);
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"nothing", ""},
        {"a riff cut in its header", good.substr(0, 6)},
        {"another form", Riff(pcmFormat + data, "AVI ")},
        {"no format chunk", Riff(data)},
        {"no data chunk", Riff(pcmFormat)},
        {"format chunk of 14 bytes", Riff(Chunk("fmt ", FormatBody(1, 1, 22050, 16, 2).substr(0, 14)) + data)},
        {"format chunk past the end", Riff(Chunk("fmt ", FormatBody(1, 1, 22050, 16, 2), 4000))},
        {"extra size past its chunk", Riff(Chunk("fmt ", FormatBody(0x11, 1, 22050, 4, 256, 30, Le16(505))) + data)},
        {"data size past the end", Riff(pcmFormat + Chunk("data", std::string(400, '\x10'), 100000))},
        {"data cut short", good.substr(0, good.size() - 50)},
        {"zero channels", Riff(Chunk("fmt ", FormatBody(1, 0, 22050, 16, 2)) + data)},
        {"zero rate", Riff(Chunk("fmt ", FormatBody(1, 1, 0, 16, 2)) + data)},
        {"zero block align", Riff(Chunk("fmt ", FormatBody(1, 1, 22050, 16, 0)) + data)},
        {"block align against bits", Riff(Chunk("fmt ", FormatBody(1, 2, 22050, 16, 3)) + data)},
        {"channels times bits past 32 bits", Riff(Chunk("fmt ", FormatBody(1, 55512, 22050, 55512, 2)) + data)},
        {"pcm channels times bits past the int range", Riff(Chunk("fmt ", FormatBody(1, 47104, 22050, 60248, 32)) + data)},
        {"adpcm block of odd size", Riff(Chunk("fmt ", FormatBody(0x11, 1, 22050, 4, 255, 2, Le16(503))) + data)},
        {"adpcm samples per block wrong", Riff(Chunk("fmt ", FormatBody(0x11, 1, 22050, 4, 256, 2, Le16(500))) + data)},
        {"adpcm of three channels", Riff(Chunk("fmt ", FormatBody(0x11, 3, 22050, 4, 768, 2, Le16(505))) + data)},
        {"adpcm with data shorter than a block", Riff(Chunk("fmt ", FormatBody(0x11, 1, 22050, 4, 512, 2,
                                                                                 Le16(1017))) + data)},
        {"unknown compression", Riff(Chunk("fmt ", FormatBody(0x55, 1, 22050, 0, 1, 0)) + data)},
    };
    for (const Case& c : cases) {
        YWave wave;
        EXPECT_FALSE(wave.LoadFromFile(File(c.bytes).c_str(), 1)) << c.what;
        EXPECT_EQ(nullptr, wave.GetData()) << c.what;
    }
    YWave control;
    EXPECT_TRUE(control.LoadFromFile(File(good).c_str(), 1));
    EXPECT_FALSE(control.LoadFromFile((m_folder.Path() + "/missing.wav").c_str(), 1));
}

TEST_F(Waves, ResourceWavesAreReadFromTheProgram)
{
    const std::string bytes = PcmWave(8000, 1, std::vector<int16_t>(80, -3));
    platform::RegisterNamedResource("WAVE", 4321, bytes.data(), bytes.size());
    HMODULE module = GetModuleHandleA(nullptr);
    YWave wave(4321, module, 1);
    EXPECT_EQ(1, wave.IsFromResource());
    EXPECT_EQ(160u, wave.GetDataLength());
    ASSERT_NE(nullptr, wave.GetData());
    EXPECT_EQ(-3, reinterpret_cast<const int16_t*>(wave.GetData())[79]);

    // Filled out, the samples go; a second fill reads the resource again.
    std::vector<BYTE> out(200, 0xEE);
    EXPECT_EQ(160u, wave.FillBuffer(out.data(), DWORD(out.size())));
    EXPECT_EQ(nullptr, wave.GetData());
    EXPECT_EQ(0xFD, out[158]);
    EXPECT_EQ(0xFF, out[159]);
    EXPECT_EQ(0, out[160]);  // past the samples: cleared, not read beyond them
    std::fill(out.begin(), out.end(), 0);
    EXPECT_EQ(160u, wave.FillBuffer(out.data(), 100));
    EXPECT_EQ(0xFF, out[99]);
    EXPECT_EQ(0, out[100]);

    YWave missing(4322, module, 1);
    EXPECT_EQ(0u, missing.GetDataLength());
    EXPECT_EQ(nullptr, missing.GetFormat());
}

TEST_F(Waves, FilledFileWaveIsReadAgainWithConversion)
{
    const std::vector<int16_t> tone = Sine(11025, 300, 0.1, 12000);
    const std::string path = File(AdpcmWave(tone));
    YWave wave(path.c_str(), 1);
    const DWORD length = wave.GetDataLength();
    std::vector<BYTE> first(length), second(length);
    EXPECT_EQ(length, wave.FillBuffer(first.data(), length));
    EXPECT_EQ(length, wave.FillBuffer(second.data(), length));
    EXPECT_EQ(first, second);
    EXPECT_EQ(WAVE_FORMAT_PCM, wave.GetFormat()->wFormatTag);
}
