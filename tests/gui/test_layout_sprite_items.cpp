#include "LayoutItemFixture.h"

#include "gui/YLayoutItemSprite.h"

namespace {

const COLORREF kBlack = RGB(0, 0, 0);
// One colour a frame.
const COLORREF kFrameColours[] = {RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(0, 0, 255),     RGB(255, 255, 0),
                                  RGB(0, 255, 255), RGB(255, 255, 255), RGB(128, 128, 128), RGB(255, 128, 0)};

Bytes SolidBmp(int width, int height, COLORREF colour)
{
    std::vector<Bytes> rows;
    for (int y = 0; y < height; ++y) {
        Bytes row;
        for (int x = 0; x < width; ++x)
            row.push_back(GetBValue(colour)), row.push_back(GetGValue(colour)), row.push_back(GetRValue(colour));
        rows.push_back(row);
    }
    return MakeBMP(24, width, height, rows);
}

class SpriteItemTest : public ItemPixelTest {
protected:
    // A sprite of n 8 x 8 frames, frame i in colour i, hot spot in the middle.
    YSprite* Sprite(const char* name, int frames)
    {
        std::unique_ptr<YSprite> sprite(new YSprite);
        sprite->m_name = name;
        for (int i = 0; i < frames; ++i) {
            const std::string file = std::string(name) + std::to_string(i) + ".bmp";
            folder.Write(file.c_str(), SolidBmp(8, 8, kFrameColours[i % 8]));
            YFrame* frame = new YFrame;
            frame->m_imageName = file.c_str();
            frame->m_frameRect = RECT{0, 0, 8, 8};
            frame->SetHotSpot(4, 4);
            sprite->InsertFrame(frame, -1);
        }
        if (frames > 0) {
            EXPECT_TRUE(sprite->CreateSurface(&display));
            EXPECT_TRUE(sprite->DrawFramesToSurface((folder / "").c_str()));
        }
        m_sprites[name] = sprite.get();
        m_ownedSprites.push_back(std::move(sprite));
        return m_sprites[name];
    }
    // The frame whose colour is at (x, y), or -1.
    int FrameAt(YDXSurface& target, int x, int y)
    {
        for (int i = 0; i < 8; ++i)
            if (Is(target, x, y, kFrameColours[i])) return i;
        return -1;
    }
    std::vector<std::unique_ptr<YSprite>> m_ownedSprites;
};

TEST_F(SpriteItemTest, TheDialPicksTheFrameNearestItsAngle)
{
    Sprite("needle", 8);
    struct Case {
        int angle, offset, frame;
    } cases[] = {
        {0, 0, 0},   {22, 0, 0},  {23, 0, 1},   {45, 0, 1},  {67, 0, 1}, {68, 0, 2},  {-45, 0, 7},
        {-1, 0, 0},  {359, 0, 0}, {360, 0, 0},  {405, 0, 1}, {-405, 0, 7}, {315, 1, 0}, {0, -1, 7},
        {90, 2, 4},  {337, 0, 7}, {338, 0, 0},
    };
    for (const Case& c : cases) {
        std::unique_ptr<YDXSurface> target = Target(64, 64);
        YSurfaceDC dc(target.get(), 0);
        std::unique_ptr<ItemLayout> layout = Layout("dial(needle, 30, 30, angle, offset)", 64, 64);
        layout->m_values["angle"] = c.angle;
        layout->m_values["offset"] = c.offset;
        layout->Draw(&dc);
        EXPECT_EQ(c.frame, FrameAt(*target, 30, 30)) << c.angle << " + " << c.offset;
        // The hot spot (4, 4) is on the anchor.
        EXPECT_EQ(c.frame, FrameAt(*target, 26, 26)) << c.angle;
        EXPECT_EQ(-1, FrameAt(*target, 25, 26)) << c.angle;
        EXPECT_EQ(-1, FrameAt(*target, 34, 34)) << c.angle;
    }
}

TEST_F(SpriteItemTest, DialStepsStayAtLeastOneDegree)
{
    YLayoutItemSprite dial(YLayoutItemSprite::Dial);
    struct Case {
        int frames, angle, frame;
    } cases[] = {
        {0, 10, -1}, {1, 200, 0}, {360, 10, 10}, {400, 10, 10}, {400, 359, 359}, {3, 60, 0}, {3, 61, 1}, {3, 300, 2}, {3, 301, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(c.frame, dial.DialFrame(c.frames, c.angle)) << c.frames << " " << c.angle;
}

TEST_F(SpriteItemTest, TheAnimationRunsOnTheClockAndHoldsOrLoops)
{
    Sprite("spin", 5);
    struct Case {
        const char* script;
        std::vector<std::pair<DWORD, int>> frames;
    } cases[] = {
        {"anim(spin, 30, 30, 10)", {{0, 0}, {99, 0}, {100, 1}, {450, 4}, {700, 2}, {1000, 0}}},
        {"anim(spin, 30, 30, 10, 1)", {{0, 0}, {700, 2}}},
        {"anim(spin, 30, 30, 10, 0)", {{0, 0}, {450, 4}, {700, 4}, {60000, 4}}},
        // No speed: the first frame.
        {"anim(spin, 30, 30)", {{0, 0}, {5000, 0}}},
        // Running backwards shows nothing.
        {"anim(spin, 30, 30, -10)", {{0, 0}, {150, -1}}},
    };
    for (const Case& c : cases) {
        ManualClock clock(7000);
        std::unique_ptr<YDXSurface> target = Target(64, 64);
        YSurfaceDC dc(target.get(), 0);
        std::unique_ptr<ItemLayout> layout = Layout(c.script, 64, 64);
        for (const auto& at : c.frames) {
            clock.Set(7000 + at.first);
            target->Clear(nullptr, 0);
            layout->Draw(&dc);
            EXPECT_EQ(at.second, FrameAt(*target, 30, 30)) << c.script << " at " << at.first;
        }
    }
}

TEST_F(SpriteItemTest, AReloadLetsTheAnimationRunOn)
{
    Sprite("spin", 5);
    ManualClock clock(100);
    std::unique_ptr<YDXSurface> target = Target(64, 64);
    YSurfaceDC dc(target.get(), 0);
    std::unique_ptr<ItemLayout> layout = Layout("animr(spin, 30, 30, 10)", 64, 64);
    layout->Draw(&dc);
    clock.Set(400);
    layout->ReloadAll();
    layout->Draw(&dc);
    EXPECT_EQ(3, FrameAt(*target, 30, 30));
}

TEST_F(SpriteItemTest, SpritesWithoutFramesOrOutsideTheGroupDrawNothing)
{
    Sprite("none", 0);
    Sprite("needle", 8);
    for (const char* script : {"dial(none, 30, 30, 45)", "anim(none, 30, 30, 10)", "dial(missing, 30, 30, 45)",
                               // The frame's box reaches one pixel past the group.
                               "group(0, 0, 33, 64) dial(needle, 30, 30, 0) endgroup",
                               "group(27, 0, 64, 64) dial(needle, 3, 30, 0) endgroup", "dial(needle, 30)"}) {
        std::unique_ptr<YDXSurface> target = Target(64, 64);
        YSurfaceDC dc(target.get(), 0);
        std::unique_ptr<ItemLayout> layout = Layout(script, 64, 64);
        layout->Draw(&dc);
        EXPECT_EQ(-1, FrameAt(*target, 30, 30)) << script;
        EXPECT_EQ(-1, FrameAt(*target, 27, 27)) << script;
    }
    // Wholly inside, touching the edges: drawn.
    std::unique_ptr<YDXSurface> target = Target(64, 64);
    YSurfaceDC dc(target.get(), 0);
    Layout("group(26, 26, 34, 34) dial(needle, 4, 4, 0) endgroup", 64, 64)->Draw(&dc);
    EXPECT_EQ(0, FrameAt(*target, 26, 26));
    EXPECT_EQ(0, FrameAt(*target, 33, 33));
}

}  // namespace
