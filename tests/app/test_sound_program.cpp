// The real program's sound, headless: the device the sound manager starts
// mixes for the whole run, and its mix is written out by RCV_AUDIO_DUMP.
#include "app/ProgramRun.h"

#include <string>

namespace {
class SoundProgram : public ProgramTest {
protected:
    uint32_t Le(const std::string& bytes, size_t at, int count)
    {
        uint32_t v = 0;
        for (int i = count - 1; i >= 0; --i) v = v << 8 | uint8_t(bytes[at + size_t(i)]);
        return v;
    }
};
}  // namespace

TEST_F(SoundProgram, TheMixOfTheRunIsWrittenOutUnlessSoundIsOff)
{
    struct Case {
        const char* config;
        bool mixed;
    };
    const Case cases[] = {
        {"set snd_enabled \"1\"\nset snd_8bitquality \"0\"\n", true},
        {"set snd_enabled \"1\"\nset snd_8bitquality \"1\"\n", true},
        {"set snd_enabled \"0\"\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.config);
        Write("config.cfg", c.config);
        const std::string dump = (m_dir / "mix.wav").string();
        std::filesystem::remove(dump);
        // 50 passes of 20 ms: one second of sound.
        ProgramResult result = RunWith("RCV_AUDIO_DUMP='" + dump + "'", 50);
        EXPECT_EQ(0, result.exitCode) << result.err;
        EXPECT_EQ("", result.err);
        if (!c.mixed) {
            EXPECT_FALSE(std::filesystem::exists(dump));
            continue;
        }
        const std::string bytes = Read("mix.wav");
        ASSERT_GE(bytes.size(), 44u);
        EXPECT_EQ("RIFF", bytes.substr(0, 4));
        EXPECT_EQ(2u, Le(bytes, 22, 2));
        EXPECT_EQ(22050u, Le(bytes, 24, 4));
        const uint32_t frames = Le(bytes, 40, 4) / 4;
        EXPECT_EQ(bytes.size() - 44, size_t(frames) * 4);
        EXPECT_NEAR(22050.0, double(frames), 22050 * 0.1);
    }
}
