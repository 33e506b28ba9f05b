// The real program, headless, opens the sample screens with LAYOUT from its
// start-up command file; the last frame shows every item of the section.
#include "ProgramRun.h"
#include "FrameBmp.h"

#include <cstring>
#include <vector>

namespace fs = std::filesystem;

namespace {

const uint32_t kBackground = Rgb(0, 0, 40);

struct Probe {
    const char* what;
    int x, y;
    uint32_t colour;
};

class LayoutProgram : public ProgramTest {
protected:
    // The last frame after the start-up command file opened that section.
    Frame Show(const char* section, int frames = 8)
    {
        fs::create_directories(m_dir / "frames");
        Write("config.cfg", "set sys_exec \"screens.cfg\"\n");
        Write("screens.cfg", std::string("layout s items screens.scr:") + section + "\n");
        WithoutSetupScreen();
        ProgramResult result = RunWith("RCV_FRAME_DUMP=frames", frames);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        std::string last;
        for (const auto& entry : fs::directory_iterator(m_dir / "frames"))
            if (entry.path().filename().string() > last) last = entry.path().filename().string();
        if (last.empty()) return Frame();
        return ReadBmpFile(m_dir / "frames" / last);
    }
    void Expect(const char* section, const Frame& frame, std::initializer_list<Probe> probes)
    {
        ASSERT_EQ(frame.width, 640) << section;
        ASSERT_EQ(frame.height, 480) << section;
        for (const Probe& p : probes)
            EXPECT_TRUE(Near(frame.At(p.x, p.y), p.colour))
                << section << ": " << p.what << " at " << p.x << "," << p.y << " is " << std::hex << frame.At(p.x, p.y);
    }
    // Pixels of the box that are not the background.
    static int Ink(const Frame& frame, int left, int top, int right, int bottom)
    {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) count += !Near(frame.At(x, y), kBackground);
        return count;
    }
};

TEST_F(LayoutProgram, ShapesSection)
{
    const Frame frame = Show("shapes");
    Expect("shapes", frame,
           {{"included header bar", 320, 20, Rgb(40, 60, 120)},
            {"background", 130, 170, kBackground},
            {"rect", 20, 60, Rgb(255, 0, 0)},
            {"rect", 119, 159, Rgb(255, 0, 0)},
            {"beside the rect", 121, 110, kBackground},
            {"framerect edge", 140, 100, Rgb(0, 255, 0)},
            {"framerect inside", 190, 110, kBackground},
            {"grid line", 280, 100, Rgb(0, 128, 255)},
            {"between grid lines", 270, 110, kBackground},
            {"first line", 400, 80, Rgb(255, 255, 0)},
            {"second line", 400, 140, Rgb(255, 255, 255)},
            {"rect of eight arguments", 560, 110, Rgb(0, 0, 0)},
            {"group's rect", 25, 205, Rgb(32, 32, 48)},
            {"group's grid", 30, 300, Rgb(96, 96, 128)},
            {"grid of step 0: frame", 320, 350, Rgb(255, 0, 255)},
            {"grid of step 0: no lines", 370, 350, Rgb(32, 32, 48)}});
}

TEST_F(LayoutProgram, ImagesSection)
{
    const Frame frame = Show("images");
    Expect("images", frame,
           {{"logo top-left", 20, 60, Rgb(0, 0, 128)},
            {"logo bottom-right", 83, 91, Rgb(255, 255, 128)},
            {"keyed disc centre", 136, 76, Rgb(255, 0, 0)},
            {"keyed disc corner", 121, 61, kBackground},
            {"alpha panel middle", 202, 92, Rgb(16, 64, 160)},
            {"alpha panel edge", 170, 60, kBackground},
            {"right of the tiles", 320, 80, kBackground},
            {"scaled to height 50: red", 352, 85, Rgb(255, 0, 0)},
            {"scaled to height 50: yellow", 427, 85, Rgb(255, 255, 0)},
            {"scaled to height 50: end", 441, 85, kBackground},
            {"scaled to width 50: red", 345, 130, Rgb(255, 0, 0)},
            {"scaled to width 50: end", 391, 130, kBackground},
            {"stretched bars", 480, 90, Rgb(255, 0, 0)},
            {"stretched bars", 520, 90, Rgb(0, 255, 0)},
            {"stretched bars", 560, 90, Rgb(0, 0, 255)},
            {"stretched bars", 600, 90, Rgb(255, 255, 0)},
            {"dial at 0", 100, 250, Rgb(255, 255, 255)},
            {"dial at 90", 150, 300, Rgb(255, 255, 255)},
            {"dial at 180", 100, 350, Rgb(255, 255, 255)},
            {"dial at 270", 50, 300, Rgb(255, 0, 0)},
            {"dial's keyed corner", 93, 243, kBackground},
            {"logo cut by its group", 399, 215, Rgb(157, 41, 128)},
            {"past the group", 401, 215, kBackground},
            {"stretch cut by its group", 310, 270, Rgb(0, 0, 255)},
            {"stretch cut by its group", 370, 270, Rgb(255, 255, 0)},
            // Catalog pictures are kept with alpha: blended, whatever key the item gives.
            {"blended picture given a white key", 441, 261, kBackground},
            {"blended picture given a white key: rim", 440 + 8, 260 + 1, Rgb(255, 255, 255)}});
    // Checker greys over the tiled box, anchored at its bottom-left.
    const uint32_t tile = frame.At(250, 99);
    EXPECT_TRUE(Near(tile, Rgb(192, 192, 192)) || Near(tile, Rgb(64, 64, 64))) << std::hex << tile;
    // The missing picture's name is written where it would be.
    EXPECT_GT(Ink(frame, 20, 440, 200, 470), 20);
}

TEST_F(LayoutProgram, SpritesSection)
{
    const Frame frame = Show("sprites");
    // The colours of the sample sprite pictures.
    const uint32_t red = Rgb(220, 32, 32), blue = Rgb(40, 80, 200);
    Expect("sprites", frame,
           {{"dial 0: dot up", 260, 110, red},
            {"dial 0: ring below", 260, 130, blue},
            {"dial 0: keyed corner", 246, 106, kBackground},
            {"dial 90: dot right", 330, 120, red},
            {"dial 180: dot down", 380, 130, red},
            {"dial 270: dot left", 430, 120, red},
            {"dial 0 plus one frame", 510, 120, red},
            {"missing sprite", 560, 120, kBackground}});
    int dots = 0;
    for (Probe p : {Probe{"", 100, 110, red}, Probe{"", 110, 120, red}, Probe{"", 100, 130, red}, Probe{"", 90, 120, red}})
        dots += Near(frame.At(p.x, p.y), red);
    EXPECT_EQ(1, dots) << "the animation shows one frame";
}

TEST_F(LayoutProgram, TextAndSampleSections)
{
    const Frame text = Show("text");
    ASSERT_EQ(text.width, 640);
    struct Box {
        const char* what;
        int left, top, right, bottom;
        bool inked;
    } boxes[] = {
        {"string", 20, 80, 200, 100, true},        {"cstring", 200, 110, 440, 130, true},
        {"rstring", 440, 140, 620, 160, true},     {"right of the rstring", 621, 140, 640, 160, false},
        {"istring", 160, 175, 480, 195, true},     {"second font", 20, 220, 300, 245, true},
        {"bstring", 22, 302, 218, 378, true},      {"ticker", 300, 300, 620, 340, true},
        {"text over the edge", 300, 410, 640, 440, false},
    };
    for (const Box& b : boxes)
        EXPECT_EQ(b.inked, Ink(text, b.left, b.top, b.right, b.bottom) > 10) << b.what;

    const Frame sample = Show("sample");
    ASSERT_EQ(sample.width, 640);
    EXPECT_GT(Ink(sample, 200, 250, 440, 280), 10) << "the shown if block";
    EXPECT_EQ(0, Ink(sample, 0, 290, 640, 330)) << "the hidden if block";
}

}  // namespace
