#include "LayoutItemFixture.h"

#include "foundation/YSineTable.h"
#include "gui/YLayoutItemImage.h"

namespace {

const COLORREF kBlack = RGB(0, 0, 0), kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255),
               kWhite = RGB(255, 255, 255), kMagenta = RGB(255, 0, 255);

// Column x of a coded picture: red 8 * x, row y: green 8 * y.
COLORREF Coded(int x, int y) { return RGB(8 * x, 8 * y, 255); }

class ImageItemTest : public ItemPixelTest {
protected:
    // The script drawn once on a black 160 x 140 target.
    std::unique_ptr<YDXSurface> Draw(const char* script)
    {
        std::unique_ptr<YDXSurface> target = Target(160, 140);
        YSurfaceDC dc(target.get(), 0);
        std::unique_ptr<ItemLayout> layout = Layout(script);
        layout->Draw(&dc);
        return target;
    }
    struct Probe {
        int x, y;
        COLORREF colour;
    };
    void Expect(const char* script, std::initializer_list<Probe> probes)
    {
        std::unique_ptr<YDXSurface> target = Draw(script);
        for (const Probe& p : probes)
            EXPECT_TRUE(Is(*target, p.x, p.y, p.colour)) << script << " at " << p.x << "," << p.y;
    }
};

TEST_F(ImageItemTest, PlacedImagesAreCentredAndCutAtTheGroupEdge)
{
    Solid("wide", 64, 32, kRed);
    Picture("coded", 32, 16, Coded);
    // Centred 64 x 32 at (100, 100): 68..131 x 84..115.
    Expect("img(wide, 100, 100, 1)", {{68, 84, kRed}, {131, 115, kRed}, {67, 84, kBlack}, {68, 83, kBlack},
                                       {132, 100, kBlack}, {100, 116, kBlack}});
    Expect("img(wide, 100, 100)", {{100, 100, kRed}, {163 - 4, 131, kRed}, {99, 100, kBlack}, {100, 132, kBlack}});
    // Hanging 10 pixels over the group's right edge: its last 10 columns are cut.
    Expect("group(0, 0, 100, 100) img(coded, 78, 10) endgroup",
           {{78, 10, Coded(0, 0)}, {99, 10, Coded(21, 0)}, {100, 10, kBlack}, {99, 25, Coded(21, 15)}});
    // Over the left and top edges the source moves with the cut.
    Expect("group(20, 20, 100, 100) img(coded, -10, -4) endgroup",
           {{20, 20, Coded(10, 4)}, {41, 31, Coded(31, 15)}, {19, 20, kBlack}, {20, 19, kBlack}, {42, 20, kBlack}});
    // Wholly outside: nothing.
    Expect("group(20, 20, 100, 100) img(coded, 90, 90) endgroup", {{110, 110, kBlack}, {119, 119, kBlack}});
}

TEST_F(ImageItemTest, TheKeyColourIsMagentaUnlessExactlySevenArgumentsGiveOne)
{
    // Left half green, right half magenta.
    Picture("halves", 8, 8, [](int x, int) { return x < 4 ? kGreen : kMagenta; });
    struct Case {
        const char* script;
        COLORREF left, right;
    } cases[] = {
        {"img(halves, 10, 10, 0)", kGreen, kBlack},
        {"img(halves, 10, 10, 0, 0, 255, 0)", kBlack, kMagenta},
        {"img(halves, 10, 10, 0, 0, 255, 0, 9)", kGreen, kBlack},
        // Stretched: the colour is read with more than seven arguments.
        {"imgstretch(halves, 10, 10, 18, 18, 0, 255)", kGreen, kBlack},
        {"imgstretch(halves, 10, 10, 18, 18, 0, 255, 0)", kBlack, kMagenta},
    };
    for (const Case& c : cases) {
        std::unique_ptr<YDXSurface> target = Draw(c.script);
        EXPECT_TRUE(Is(*target, 11, 11, c.left)) << c.script;
        EXPECT_TRUE(Is(*target, 16, 11, c.right)) << c.script;
    }
}

TEST_F(ImageItemTest, AlphaPicturesBlendAndAreCutLikeTheOthers)
{
    std::unique_ptr<YDXSurface> alpha(new YDXSurface("alpha"));
    ASSERT_EQ(1, alpha->CreateAlphaSource(&display, 8, 4));
    // Opaque red columns 0-3, clear columns 4-7.
    std::vector<uint32_t> pixels;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) pixels.push_back(x < 4 ? 0xFFFF0000u : 0x000000FFu);
    Write(*alpha, pixels);
    m_images["alpha"] = alpha.get();
    Expect("img(alpha, 10, 10)", {{10, 10, kRed}, {13, 13, kRed}, {14, 10, kBlack}, {17, 13, kBlack}});
    // Cut on the left: the source starts two columns in.
    Expect("group(12, 0, 100, 100) img(alpha, -2, 10) endgroup",
           {{12, 10, kRed}, {13, 10, kRed}, {14, 10, kBlack}, {11, 10, kBlack}});
}

TEST_F(ImageItemTest, ScaledAndStretchedImages)
{
    Solid("big", 200, 100, kRed);
    // Height 50 (size is the height): 100 x 50; size is the width: 50 x 25.
    Expect("imgscale(big, 10, 10, 50, 0)", {{10, 10, kRed}, {109, 59, kRed}, {110, 10, kBlack}, {10, 60, kBlack}});
    Expect("imgscale(big, 10, 10, 50, 1)", {{10, 10, kRed}, {59, 34, kRed}, {60, 10, kBlack}, {10, 35, kBlack}});
    Expect("imgscale(big, 60, 60, 50, 1, 1)", {{35, 48, kRed}, {84, 72, kRed}, {34, 60, kBlack}, {60, 47, kBlack}, {85, 60, kBlack}});
    // No size: nothing.
    Expect("imgscale(big, 10, 10)", {{10, 10, kBlack}});

    // Left half red, right half blue, stretched to 64 x 64.
    Picture("halves", 32, 32, [](int x, int) { return x < 16 ? kRed : kBlue; });
    Expect("imgstretch(halves, 10, 10, 74, 74)", {{10, 10, kRed}, {40, 73, kRed}, {44, 10, kBlue}, {73, 73, kBlue}, {74, 10, kBlack}});
    // Half outside the group: the matching half of the picture.
    Expect("group(0, 0, 100, 100) imgstretch(halves, 68, 10, 132, 74) endgroup",
           {{68, 10, kRed}, {99, 73, kRed}, {100, 10, kBlack}});
    Expect("group(100, 0, 160, 100) imgstretch(halves, -32, 10, 32, 74) endgroup",
           {{100, 10, kBlue}, {131, 73, kBlue}, {132, 10, kBlack}, {99, 10, kBlack}});
    // An empty rectangle draws nothing.
    Expect("imgstretch(halves, 10, 10, 10, 74)", {{10, 10, kBlack}, {9, 10, kBlack}});
}

TEST_F(ImageItemTest, TilesAreLaidFromTheBottomLeftAndCutToTheirBox)
{
    Picture("coded", 32, 32, Coded);
    // 70 x 40: three columns (the last 6 wide), two rows (the upper its lower 8 rows).
    Expect("imgtile(coded, 10, 10, 80, 50)",
           {{10, 18, Coded(0, 0)}, {10, 49, Coded(0, 31)}, {10, 10, Coded(0, 24)}, {10, 17, Coded(0, 31)},
            {42, 18, Coded(0, 0)}, {74, 18, Coded(0, 0)}, {79, 49, Coded(5, 31)}, {79, 10, Coded(5, 24)},
            {80, 30, kBlack}, {10, 9, kBlack}, {10, 50, kBlack}, {9, 30, kBlack}});
    // Tiles are cut to their own box, not to the group.
    Expect("group(0, 0, 40, 40) imgtile(coded, 10, 10, 80, 50) endgroup", {{79, 49, Coded(5, 31)}});
    // No right and bottom: an empty box, nothing.
    Expect("imgtile(coded, 10, 10)", {{10, 10, kBlack}, {20, 20, kBlack}});
}

TEST_F(ImageItemTest, TheDialMovesTheImageAlongItsCircleEveryFrame)
{
    // The engine fills the sine table at start-up; the rotation reads it.
    BuildSineTable();
    Solid("dot", 2, 2, kWhite);
    std::unique_ptr<YDXSurface> target = Target(160, 140);
    YSurfaceDC dc(target.get(), 0);
    std::unique_ptr<ItemLayout> layout = Layout("imgdial(dot, 80, 70, 20, heading, 1)");
    struct Case {
        int heading;
        int x, y;
    } cases[] = {{0, 80, 50}, {90, 100, 70}, {180, 80, 90}, {270, 60, 70}};
    for (const Case& c : cases) {
        target->Clear(nullptr, 0);
        layout->m_values["heading"] = c.heading;
        layout->Draw(&dc);
        // The dot's centre is on the circle: it covers (x - 1, y - 1) to (x, y).
        EXPECT_TRUE(Is(*target, c.x - 1, c.y - 1, kWhite)) << c.heading;
        EXPECT_TRUE(Is(*target, c.x, c.y, kWhite)) << c.heading;
        EXPECT_TRUE(Is(*target, c.x + 1, c.y, kBlack)) << c.heading;
        EXPECT_TRUE(Is(*target, 80, 70, kBlack)) << c.heading;
    }
}

TEST_F(ImageItemTest, AMissingImageShowsItsNameUntilAReloadFindsIt)
{
    ItemLayout layout;
    RECT screen = {0, 0, 200, 100};
    layout.MoveTo(&screen);
    layout.SetScript("group(5, 5, 200, 100) img(Interface:logo, 10, 20) endgroup");
    RecordingDC dc;
    layout.Draw(&dc);
    layout.Draw(&dc);
    EXPECT_EQ((std::vector<std::string>{"text 15,25 Interface:logo", "text 15,25 Interface:logo"}), dc.m_log);
    EXPECT_EQ(1, layout.m_imageLookUps);
    layout.m_images["Interface:logo"] = Solid("logo", 4, 4, kRed);
    layout.Draw(&dc);
    EXPECT_EQ(3u, dc.m_log.size());
    layout.ReloadAll();
    layout.Draw(&dc);
    EXPECT_EQ(3u, dc.m_log.size());
    EXPECT_EQ(2, layout.m_imageLookUps);
}

TEST_F(ImageItemTest, ZeroSizedImagesDrawNothingAndEnd)
{
    // A surface that was never made has no size.
    YDXSurface empty("empty");
    m_images["empty"] = &empty;
    for (const char* script : {"img(empty, 10, 10, 1)", "imgtile(empty, 0, 0, 100, 100)", "imgscale(empty, 10, 10, 50, 1)",
                               "imgstretch(empty, 0, 0, 50, 50)", "imgdial(empty, 50, 50, 10, 45, 1)"}) {
        std::unique_ptr<YDXSurface> target = Draw(script);
        for (int x : {0, 10, 49}) EXPECT_TRUE(Is(*target, x, 10, kBlack)) << script;
    }
}

TEST_F(ImageItemTest, FewerThanThreeArgumentsLoadNothing)
{
    Solid("dot", 2, 2, kWhite);
    ItemLayout layout;
    RECT screen = {0, 0, 200, 100};
    layout.MoveTo(&screen);
    layout.m_images = m_images;
    layout.SetScript("img(dot, 10)");
    RecordingDC dc;
    layout.Draw(&dc);
    // No picture was asked for: the (empty) name stands in at the origin.
    EXPECT_EQ(0, layout.m_imageLookUps);
    EXPECT_EQ((std::vector<std::string>{"text 0,0 "}), dc.m_log);
}

}  // namespace
