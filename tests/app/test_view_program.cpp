// The real program, headless, loads "Meadow" from its start-up command file,
// then the console opens an in-round screen (the world through its 3D view)
// and the camera readouts over it; scripted keys fly the plane. The frames
// show the loading bar growing, then the world, moving with the plane, and
// readouts that change as it flies.
#include "FrameBmp.h"
#include "ProgramRun.h"

#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {
const int kFrames = 400;
const uint32_t kBar = Rgb(255, 200, 0);

const char* const kInput =
    "20 key down F2\n20 key up F2\n"
    "21 text layout s screen screens.scr:practice\n"
    "22 key down Return\n22 key up Return\n"
    "23 text layout s camera screens.scr:camera\n"
    "24 key down Return\n24 key up Return\n"
    "25 key down F2\n25 key up F2\n"
    "40 key down 4\n41 key up 4\n"  // throttle high
    "200 key down Down\n260 key up Down\n";

class ViewProgram : public ProgramTest {
protected:
    std::vector<Frame> Play()
    {
        fs::create_directories(m_dir / "frames");
        WithoutSetupScreen();
        Write("view.cfg", "session init Meadow\n");
        Write("config.cfg", Read("config.cfg") + "set sys_exec \"view.cfg\"\nset sys_game_type \"practice\"\n");
        Write("keys.txt", kInput);
        ProgramResult result = RunWith("RCV_INPUT_SCRIPT=keys.txt RCV_SEED=4 RCV_FRAME_DUMP=frames", kFrames, 300);
        EXPECT_EQ(0, result.exitCode) << result.err;
        std::vector<Frame> frames;
        for (int i = 1; i <= kFrames; ++i) {
            char name[32];
            snprintf(name, sizeof name, "frame%06d.bmp", i);
            frames.push_back(ReadBmpFile(m_dir / "frames" / name));
        }
        return frames;
    }
    // Pixels of the box that differ between two frames.
    static int Changed(const Frame& a, const Frame& b, int left, int top, int right, int bottom)
    {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) count += !Near(a.At(x, y), b.At(x, y));
        return count;
    }
    // The loading bar's length along its middle row.
    static int BarLength(const Frame& f)
    {
        int length = 0;
        for (int x = 90; x < 552; ++x) length += Near(f.At(x, 370), kBar);
        return length;
    }
};
}  // namespace

TEST_F(ViewProgram, TheBarGrowsThenTheWorldMovesWithThePlane)
{
    const std::vector<Frame> frames = Play();
    for (const Frame& f : frames) ASSERT_EQ(640, f.width);

    // The loading screen's bar grows to its full 460 pixels.
    std::vector<int> lengths;
    size_t lastLoading = 0;
    for (size_t i = 0; i < frames.size(); ++i) {
        const int length = BarLength(frames[i]);
        if (length == 0) continue;
        lastLoading = i;
        if (lengths.empty() || lengths.back() != length) lengths.push_back(length);
    }
    ASSERT_GE(lengths.size(), 2u) << "the bar never grew";
    for (size_t i = 1; i < lengths.size(); ++i) EXPECT_GT(lengths[i], lengths[i - 1]);
    EXPECT_GE(lengths.back(), 455);
    ASSERT_LT(lastLoading, 60u) << "the world never replaced the loading screen";

    // The ground band of the view (between the HUD title and the readouts)
    // is the world, not the loading screen left behind.
    const Frame& loading = frames[lastLoading];
    const Frame& early = frames[100];
    const Frame& late = frames[kFrames - 1];
    const int band = 640 * (390 - 300);
    EXPECT_GT(Changed(loading, early, 0, 300, 640, 390), band * 9 / 10);
    // Flying on, the camera moves, and the world with it.
    EXPECT_GT(Changed(early, late, 0, 240, 640, 390), band / 20);
    // The readouts of position and angles change as the plane flies.
    EXPECT_GT(Changed(early, late, 90, 396, 400, 424), 20);
}
