#include "test_font_fixture.h"

#include <functional>

#include "graphics2d/YDIB.h"
#include "graphics2d/YDXSurface.h"
#include "graphics2d/YSurfaceDC.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255), kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0),
               kBlue = RGB(0, 0, 255), kMagenta = RGB(255, 0, 255);

std::vector<std::string> Rows(std::initializer_list<const char*> rows) { return {rows.begin(), rows.end()}; }

class SurfaceDCTest : public FontTest {
protected:
    // A 4 x 3 white picture with two magenta (keyed) pixels.
    std::unique_ptr<YDXSurface> Pattern()
    {
        std::unique_ptr<YDXSurface> s = Target(4, 3);
        const uint32_t w = PixelOf(*s, kWhite), m = PixelOf(*s, kMagenta);
        Write(*s, {w, m, w, w, w, w, m, w, w, w, w, w});
        s->SetTransparentColor(kMagenta);
        return s;
    }
};

TEST_F(SurfaceDCTest, GdiShapesLandOnExactPixels)
{
    struct Case {
        const char* name;
        std::function<void(YSurfaceDC&)> draw;
        COLORREF colour;
        std::vector<std::string> want;
    } cases[] = {
        {"fill", [](YSurfaceDC& dc) { CBrush b(kRed); RECT r = {2, 1, 6, 4}; dc.FillRect(&r, &b, 0, 0); }, kRed,
         Rows({"........", "..####..", "..####..", "..####..", "........", "........"})},
        {"region",
         [](YSurfaceDC& dc) {
             CBrush b(kGreen);
             CRgn region;
             region.CreateRectRgn(1, 1, 3, 3);
             dc.FillRgn(&region, &b, 0, 0);
         },
         kGreen, Rows({"........", ".##.....", ".##.....", "........", "........", "........"})},
        {"frame", [](YSurfaceDC& dc) { CBrush b(kBlue); RECT r = {1, 1, 6, 5}; dc.FrameRect(&r, &b); }, kBlue,
         Rows({"........", ".#####..", ".#...#..", ".#...#..", ".#####..", "........"})},
        {"rectangle pen",
         [](YSurfaceDC& dc) { CBrush b(kRed); CPen p(PS_SOLID, 1, kBlue); RECT r = {1, 1, 6, 5}; dc.Rectangle(&r, &b, &p); },
         kBlue, Rows({"........", ".#####..", ".#...#..", ".#...#..", ".#####..", "........"})},
        {"rectangle brush",
         [](YSurfaceDC& dc) { CBrush b(kRed); CPen p(PS_SOLID, 1, kBlue); RECT r = {1, 1, 6, 5}; dc.Rectangle(&r, &b, &p); },
         kRed, Rows({"........", "........", "..###...", "..###...", "........", "........"})},
        {"line",
         [](YSurfaceDC& dc) { CPen p(PS_SOLID, 1, kWhite); EXPECT_EQ(1, dc.DrawLine(0, 0, 5, 0, &p)); }, kWhite,
         Rows({"#####...", "........", "........", "........", "........", "........"})},
        {"diagonal",
         [](YSurfaceDC& dc) { CPen p(PS_SOLID, 1, kWhite); EXPECT_EQ(1, dc.DrawLine(1, 1, 4, 4, &p)); }, kWhite,
         Rows({"........", ".#......", "..#.....", "...#....", "........", "........"})},
    };
    for (const Case& c : cases) {
        std::unique_ptr<YDXSurface> target = Target(8, 6);
        YSurfaceDC dc(target.get(), 0);
        c.draw(dc);
        EXPECT_EQ(c.want, Map(*target, c.colour)) << c.name;
    }
}

TEST_F(SurfaceDCTest, InvertRectMergesInsteadOfInverting)
{
    const COLORREF dark = RGB(0x80, 0x00, 0x00);
    std::unique_ptr<YDXSurface> target = Target(7, 6);
    target->Clear(nullptr, static_cast<LONG>(PixelOf(*target, dark)));
    YSurfaceDC dc(target.get(), 0);
    RECT r = {1, 1, 5, 5};
    EXPECT_EQ(1, dc.InvertRect(&r));
    // The black default pen merges into the edge without changing it; the
    // inside takes red 0x7F, green 0x7F, blue 0x3F: 0x80 | 0x7F = 0xFF red.
    const std::vector<std::string> inside = Rows({".......", ".......", "..##...", "..##...", ".......", "......."});
    EXPECT_EQ(inside, Map(*target, RGB(0xFF, 0x7F, 0x3F)));
    const std::vector<std::string> untouched =
        Rows({"#######", "#######", "##..###", "##..###", "#######", "#######"});
    EXPECT_EQ(untouched, Map(*target, dark));
}

TEST_F(SurfaceDCTest, BlitsHonourTheSourceColourKey)
{
    std::unique_ptr<YDXSurface> source = Pattern();
    std::unique_ptr<YDXSurface> target = Target(9, 5);
    YSurfaceDC dc(target.get(), 0);
    EXPECT_EQ(1, dc.BltSurface(source.get(), 1, 1));
    EXPECT_EQ(1, dc.BltSurfaceRect(source.get(), 6, 0, 1, 0, 3, 2));
    EXPECT_EQ(Rows({".......#.", ".#.##.#..", ".##.#....", ".####....", "........."}), Map(*target));
}

TEST_F(SurfaceDCTest, TextGoesThroughTheBitmapFontWhenOneIsSet)
{
    std::unique_ptr<YFont> font = Font();
    std::unique_ptr<YDXSurface> byDC = Target(12, 6), byFont = Target(12, 6);
    YSurfaceDC dc(byDC.get(), 0);
    EXPECT_EQ(nullptr, dc.SwapFont(font.get()));
    EXPECT_EQ(font.get(), dc.GetFont());
    dc.TextOut(1, 1, "ABC", 2);
    font->TextOut(1, 1, "ABC", 2, byFont.get());
    EXPECT_EQ(Map(*byFont), Map(*byDC));

    RECT box = {0, 0, 12, 6};
    std::unique_ptr<YDXSurface> boxed = Target(12, 6);
    YSurfaceDC boxDC(boxed.get(), 0);
    boxDC.SwapFont(font.get());
    EXPECT_EQ(1, boxDC.DrawText("A", &box, DT_RIGHT));
    EXPECT_EQ(Rows({".........###", ".........###", ".........###", ".........###", "............",
                    "............"}),
              Map(*boxed));

    SIZE size = {-1, -1};
    EXPECT_EQ(1, dc.GetTextExtent("AB", &size));
    EXPECT_EQ(4, size.cx);
    EXPECT_EQ(5, size.cy);
    EXPECT_EQ(font.get(), dc.SwapFont(nullptr));
}

TEST_F(SurfaceDCTest, WithoutABitmapFontTextIsGdiText)
{
    std::unique_ptr<YDXSurface> target = Target(64, 24);
    CFont arial;
    ASSERT_TRUE(arial.CreatePointFont(120, "Arial"));
    struct Case {
        CFont* font;
    } cases[] = {{nullptr}, {&arial}};
    for (const Case& c : cases) {
        target->Clear(nullptr, 0);
        YSurfaceDC dc(target.get(), 0);
        dc.SetGdiFont(c.font);
        EXPECT_EQ(0u, dc.SetTextColor(kGreen));
        EXPECT_EQ(kGreen, dc.GetTextColor());

        SIZE measured = {0, 0}, direct = {0, 0};
        EXPECT_EQ(1, dc.GetTextExtent("Hi", &measured));
        HDC hdc = nullptr;
        ASSERT_EQ(1, target->GetDC(&hdc));
        HGDIOBJ old = c.font ? SelectObject(hdc, *c.font) : nullptr;
        GetTextExtentPoint32A(hdc, "Hi", 2, &direct);
        if (old) SelectObject(hdc, old);
        target->ReleaseDC(hdc);
        EXPECT_EQ(direct.cx, measured.cx);
        EXPECT_EQ(direct.cy, measured.cy);
        ASSERT_GT(measured.cx, 0);

        // Green ink only inside the text's box, on a background left black.
        dc.TextOut(2, 1, "Hi", 2);
        std::vector<std::string> map = Map(*target, kGreen);
        int ink = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 64; ++x)
                if (map[y][x] == '#') {
                    ++ink;
                    EXPECT_TRUE(x >= 2 && x < 2 + measured.cx && y >= 1 && y < 1 + measured.cy) << x << "," << y;
                }
        EXPECT_GT(ink, 0);
        for (const std::string& row : Map(*target, kWhite)) EXPECT_EQ(std::string::npos, row.find('#'));
    }
}

TEST_F(SurfaceDCTest, BitmapsAndResourcesDrawAtTheirPlace)
{
    std::vector<Bytes> rows(2, Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    const std::string file = folder.Write("two.bmp", MakeBMP(24, 2, 2, rows));
    struct Case {
        bool uploaded;
    } cases[] = {{false}, {true}};
    for (const Case& c : cases) {
        YDIB dib;
        ASSERT_EQ(1, dib.LoadFromFile(file.c_str()));
        if (c.uploaded) dib.CreateSurfaces(&display);
        EXPECT_EQ(c.uploaded, dib.HasSurface() != 0);
        std::unique_ptr<YDXSurface> target = Target(6, 5);
        YSurfaceDC dc(target.get(), 0);
        RECT where = {3, 2, 40, 40};
        EXPECT_EQ(1, dc.DrawResource(&where, &dib, 0, 0));
        EXPECT_EQ(Rows({"......", "......", "...##.", "...##.", "......"}), Map(*target)) << c.uploaded;
    }
    YResource plain;
    std::unique_ptr<YDXSurface> target = Target(6, 5);
    YSurfaceDC dc(target.get(), 0);
    RECT where = {0, 0, 2, 2};
    EXPECT_EQ(0, dc.DrawResource(&where, &plain, 0, 0));
    EXPECT_EQ(0, dc.DrawResource(&where, nullptr, 0, 0));
}

TEST_F(SurfaceDCTest, DrawFromSourceCopiesTheResourceBounds)
{
    std::unique_ptr<YDXSurface> pattern = Pattern();
    YSurfaceDC source(pattern.get(), 0);
    std::unique_ptr<YDXSurface> target = Target(6, 4);
    YSurfaceDC dc(target.get(), 0);

    YResource packed;
    packed.SetBounds(RECT{1, 0, 3, 2});
    RECT where = {2, 1, 4, 3};
    EXPECT_EQ(1, dc.DrawFromSource(&where, &packed, &source, 0));
    EXPECT_EQ(Rows({"......", "...#..", "..#...", "......"}), Map(*target));

    // Without a source surface there is nothing to copy from.
    YSurfaceDC empty;
    EXPECT_EQ(0, dc.DrawFromSource(&where, &packed, &empty, 0));
    EXPECT_EQ(0, dc.DrawFromSource(&where, &packed, nullptr, 0));

    // Empty bounds: the resource is drawn as a bitmap at the corner.
    std::vector<Bytes> rows(1, Bytes{0xFF, 0xFF, 0xFF});
    YDIB dib;
    ASSERT_EQ(1, dib.LoadFromFile(folder.Write("one.bmp", MakeBMP(24, 1, 1, rows)).c_str()));
    std::unique_ptr<YDXSurface> other = Target(6, 4);
    YSurfaceDC otherDC(other.get(), 0);
    RECT corner = {5, 3, 6, 4};
    EXPECT_EQ(1, otherDC.DrawFromSource(&corner, &dib, &source, 0));
    EXPECT_EQ(Rows({"......", "......", "......", ".....#"}), Map(*other));
}

TEST_F(SurfaceDCTest, ALostContextDrawsNothingAndARebuiltOneDrawsTheSame)
{
    std::unique_ptr<YFont> font = Font();
    std::unique_ptr<YDXSurface> pattern = Pattern();
    YSurfaceDC source(pattern.get(), 0);
    YResource packed;
    packed.SetBounds(RECT{0, 0, 4, 3});
    auto paint = [&](YSurfaceDC& dc) {
        CBrush red(kRed), blue(kBlue);
        CPen white(PS_SOLID, 1, kWhite);
        RECT fill = {0, 0, 5, 4}, frame = {6, 0, 12, 5}, invert = {0, 6, 5, 10}, where = {8, 6, 12, 9};
        dc.FillRect(&fill, &red, 0, 0);
        dc.FrameRect(&frame, &blue);
        dc.DrawLine(0, 11, 12, 11, &white);
        dc.InvertRect(&invert);
        dc.BltSurface(pattern.get(), 12, 0);
        dc.DrawFromSource(&where, &packed, &source, 0);
        YFont* old = dc.SwapFont(font.get());
        dc.TextOut(1, 12, "ABC", -1);
        dc.SwapFont(old);
    };

    YSurfaceDC dc(new YDXSurface("dc"), 1);
    ASSERT_EQ(1, dc.Create(16, 18, &display));
    YDXSurface* first = dc.GetSurface();
    EXPECT_TRUE(first->HasKey());
    EXPECT_EQ(PixelOf(*first, kMagenta), first->GetKeyValue());
    first->Clear(nullptr, static_cast<LONG>(PixelOf(*first, RGB(0, 0, 1))));
    paint(dc);
    const std::vector<uint32_t> reference = Read(*first);

    dc.Lose();
    EXPECT_EQ(nullptr, dc.GetSurface());
    EXPECT_EQ(16u, dc.GetWidth());
    EXPECT_EQ(18u, dc.GetHeight());
    CPen pen(PS_SOLID, 1, kWhite);
    RECT r = {0, 0, 4, 4};
    SIZE size = {7, 7};
    EXPECT_EQ(0, dc.DrawLine(0, 0, 4, 4, &pen));
    EXPECT_EQ(0, dc.InvertRect(&r));
    EXPECT_EQ(0, dc.DrawText("A", &r, 0));
    EXPECT_EQ(0, dc.GetTextExtent("A", &size));
    EXPECT_EQ(0, dc.DrawFromSource(&r, &packed, &source, 0));
    EXPECT_EQ(1, dc.BltSurface(pattern.get(), 0, 0));
    EXPECT_EQ(1, dc.BltSurfaceRect(pattern.get(), 0, 0, 0, 0, 2, 2));
    EXPECT_EQ(nullptr, dc.CreateSource(4, 4));
    paint(dc);

    ASSERT_EQ(1, dc.Rebuild(&display));
    YDXSurface* rebuilt = dc.GetSurface();
    ASSERT_NE(nullptr, rebuilt);
    EXPECT_EQ(16u, rebuilt->GetWidth());
    EXPECT_EQ(18u, rebuilt->GetHeight());
    EXPECT_TRUE(rebuilt->GetDescription().ddsCaps.dwCaps & DDSCAPS_SYSTEMMEMORY);
    EXPECT_EQ(PixelOf(*rebuilt, kMagenta), rebuilt->GetKeyValue());
    rebuilt->Clear(nullptr, static_cast<LONG>(PixelOf(*rebuilt, RGB(0, 0, 1))));
    paint(dc);
    EXPECT_EQ(reference, Read(*rebuilt));
}

TEST_F(SurfaceDCTest, AFailedRebuildKeepsTheSizeForTheNextOne)
{
    YSurfaceDC dc(new YDXSurface("dc"), 1);
    ASSERT_EQ(1, dc.Create(16, 18, &display));
    YDXDraw gone;  // a display that is not there (yet)
    for (int round = 0; round < 2; ++round) {
        dc.Lose();
        EXPECT_EQ(0, dc.Rebuild(&gone));
        ASSERT_NE(nullptr, dc.GetSurface());
        EXPECT_EQ(nullptr, dc.GetSurface()->GetSurface());
    }
    dc.Lose();
    EXPECT_EQ(16u, dc.GetWidth());
    EXPECT_EQ(18u, dc.GetHeight());
    ASSERT_EQ(1, dc.Rebuild(&display));
    EXPECT_EQ(16u, dc.GetSurface()->GetWidth());
    EXPECT_EQ(18u, dc.GetSurface()->GetHeight());
}

TEST_F(SurfaceDCTest, GdiTextLengthIsClampedToTheText)
{
    std::unique_ptr<YDXSurface> target = Target(64, 24);
    YSurfaceDC dc(target.get(), 0);
    dc.SetTextColor(kGreen);
    dc.TextOut(2, 1, "Hi", 2);
    const std::vector<uint32_t> whole = Read(*target);
    target->Clear(nullptr, 0);
    dc.TextOut(2, 1, "H", 1);
    const std::vector<uint32_t> first = Read(*target);
    ASSERT_NE(whole, first);

    struct Case {
        int length;
        const std::vector<uint32_t>& expected;
    } cases[] = {{2, whole}, {1, first}, {3, whole}, {4096, whole}, {-1, whole}, {-4096, whole}};
    for (const Case& c : cases) {
        target->Clear(nullptr, 0);
        const CString text("Hi");  // a text of its own, so reading past it shows
        dc.TextOut(2, 1, text, c.length);
        EXPECT_EQ(c.expected, Read(*target)) << c.length;
    }
}

TEST_F(SurfaceDCTest, SourcesAndSurfacesChangeHands)
{
    YSurfaceDC dc(new YDXSurface("owned"), 1);
    ASSERT_EQ(1, dc.Create(8, 8, &display));
    std::unique_ptr<YDC> source(dc.CreateSource(5, 4));
    ASSERT_NE(nullptr, source);
    ASSERT_NE(nullptr, source->GetSurface());
    EXPECT_EQ(5u, source->GetSurface()->GetWidth());
    EXPECT_EQ(4u, source->GetSurface()->GetHeight());
    EXPECT_EQ(nullptr, dc.CreateSource(0, 4));

    // Taking a caller's surface lets the owned one go; the new one stays the caller's.
    std::unique_ptr<YDXSurface> mine = Target(3, 3);
    EXPECT_EQ(mine.get(), dc.SetSurface(mine.get()));
    EXPECT_EQ(mine.get(), dc.GetSurface());
    EXPECT_FALSE(dc.OwnsSurface());
    YSurfaceDC none;
    EXPECT_EQ(nullptr, none.GetSurface());
    EXPECT_EQ(0, none.Create(4, 4, &display));
}

}  // namespace
