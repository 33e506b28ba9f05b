// The real program, headless, plays a round as a player would: a click on
// the setup screen's Start loads "Meadow" behind the loading screen, the
// round plays, Escape pauses it, Escape again ends it through the
// round-over screen back to the setup screen. Seeded, two runs give the
// same frames.
#include "FrameBmp.h"
#include "ProgramRun.h"

#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {
const uint32_t kBackground = Rgb(0, 0, 40);
const uint32_t kWhite = Rgb(255, 255, 255);
const int kFrames = 90;
// The input: Start, then Escape twice.
const char* const kInput =
    "5 mouse move 320 292\n"
    "6 mouse button 1 down\n"
    "7 mouse button 1 up\n"
    "40 key down Escape\n"
    "41 key up Escape\n"
    "60 key down Escape\n"
    "61 key up Escape\n";

class RoundProgram : public ProgramTest {
protected:
    std::vector<Frame> Play(const char* folder, const char* seed)
    {
        fs::create_directories(m_dir / folder);
        Write("keys.txt", kInput);
        ProgramResult result = RunWith(std::string("RCV_INPUT_SCRIPT=keys.txt RCV_SEED=") + seed +
                                           " RCV_FRAME_DUMP=" + folder,
                                       kFrames);
        EXPECT_EQ(0, result.exitCode) << result.err;
        std::vector<Frame> frames;
        for (int i = 1; i <= kFrames; ++i) {
            char name[32];
            snprintf(name, sizeof name, "frame%06d.bmp", i);
            frames.push_back(ReadBmpFile(m_dir / folder / name));
        }
        return frames;
    }
    // The frame round the loading screen's bar: top and right edges.
    static bool Loading(const Frame& f) { return Near(f.At(320, 358), kWhite) && Near(f.At(551, 370), kWhite); }
    // The pause box's top and left edges.
    static bool Paused(const Frame& f) { return Near(f.At(320, 140), kWhite) && Near(f.At(160, 240), kWhite); }
    // The setup screen's header bar.
    static bool Setup(const Frame& f) { return Near(f.At(320, 20), Rgb(40, 60, 120)); }
};
}  // namespace

TEST_F(RoundProgram, StartPauseEndAndBackToTheSetupScreen)
{
    const std::vector<Frame> frames = Play("frames", "5");
    for (const Frame& f : frames) ASSERT_EQ(640, f.width);
    // Which screen each frame shows, as a letter: s setup, l loading, p paused,
    // o round over.
    std::string seen;
    for (const Frame& f : frames) {
        char c = '?';
        if (Setup(f)) c = 's';
        else if (Paused(f)) c = 'p';
        else if (Loading(f)) c = 'l';
        else if (Near(f.At(320, 358), kBackground) && Near(f.At(5, 5), kBackground)) c = 'o';
        if (seen.empty() || seen.back() != c) seen += c;
    }
    EXPECT_EQ("slpos", seen);
    // The setup screen at the end is the one of the start.
    EXPECT_EQ(frames.front().rgb, frames.back().rgb);
    // While playing the round, then pausing, the frame holds still.
    EXPECT_EQ(frames[30].rgb, frames[38].rgb);
}

TEST_F(RoundProgram, TheSameSeedGivesTheSameFrames)
{
    const std::vector<Frame> first = Play("first", "11");
    const std::vector<Frame> second = Play("second", "11");
    ASSERT_EQ(first.size(), second.size());
    for (size_t i = 0; i < first.size(); ++i) EXPECT_EQ(first[i].rgb, second[i].rgb) << "frame " << i + 1;
}
