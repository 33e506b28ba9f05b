// The slider and the scroll bar: value and pixel through MulDiv, part
// rectangles and hit tests, presses, drags and releases with their
// notifications, drawing and the archive form.
#include <algorithm>
#include <climits>
#include <memory>

#include "ControlFixture.h"
#include "gui/YScrollBar.h"
#include "gui/YSlider.h"

using namespace controls;

namespace {

std::vector<int> g_changes;
void Changed(int value) { g_changes.push_back(value); }

class ValueControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_changes.clear();
        m_oldSource = YWindow::SetDefaultSource(nullptr);
    }
    void TearDown() override
    {
        YWindow::SetCaptureWindow(nullptr);
        YWindow::SetDefaultSource(m_oldSource);
    }
    YDC* m_oldSource = nullptr;
};

YSlider* MakeSlider(YWindow* parent, RECT r, int minimum, int maximum)
{
    YSlider* slider = new YSlider;
    slider->Create("s", 0, &r, parent, 6);
    slider->SetMin(minimum);
    slider->SetMax(maximum);
    return slider;
}

YScrollBar* MakeBar(YWindow* parent, int style, RECT r, int minimum, int maximum, int pos)
{
    YScrollBar* bar = new YScrollBar;
    bar->Create(style, &r, parent, 9);
    bar->SetRange(minimum, maximum, 1);
    bar->SetPos(pos, 1);
    return bar;
}

}  // namespace

TEST_F(ValueControlTest, SliderValueAndPixelGoThroughMulDiv)
{
    struct Case {
        int left, width, minimum, maximum;
        int value, x;  // value -> x
        int fromX, toValue;  // x -> value
    } cases[] = {
        {100, 256, 0, 255, 255, 356, 228, 128},  // 128 x 255 / 256 = 127.5 rounds up
        {100, 256, 0, 255, 0, 100, 100, 0},
        {0, 100, 10, 20, 15, 50, 35, 14},  // 3.5 rounds away from zero
        {0, 100, 10, 20, 13, 30, 33, 13},
        {50, 100, 10, 20, 10, 50, 45, 9},  // -0.5 rounds away from zero too
        {0, 60, -30, 30, 0, 30, 15, -15},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.left) + " " + std::to_string(c.minimum) + ".." + std::to_string(c.maximum));
        std::unique_ptr<YSlider> slider(MakeSlider(nullptr, RECT{c.left, 0, c.left + c.width, 10}, c.minimum, c.maximum));
        EXPECT_EQ(c.x, slider->ValueToX(c.value));
        EXPECT_EQ(c.toValue, slider->XToValue(c.fromX));
    }
}

TEST_F(ValueControlTest, SliderValuesAreClampedAndReported)
{
    std::unique_ptr<YSlider> slider(MakeSlider(nullptr, RECT{0, 0, 100, 10}, 0, 255));
    slider->SetChangeCallback(Changed);
    struct Case {
        const char* name;
        void (YSlider::*set)(int);
        int arg, value;
    } cases[] = {
        {"inside", &YSlider::SetValue, 100, 100}, {"above", &YSlider::SetValue, 300, 255},
        {"below", &YSlider::SetValue, -4, 0},     {"value", &YSlider::SetValue, 200, 200},
        {"max below", &YSlider::SetMax, 150, 150}, {"min above", &YSlider::SetMin, 160, 160},
    };
    for (const Case& c : cases) {
        g_changes.clear();
        (slider.get()->*c.set)(c.arg);
        EXPECT_EQ(c.value, slider->GetPos()) << c.name;
        EXPECT_EQ(std::vector<int>{c.value}, g_changes) << c.name;
    }
}

TEST_F(ValueControlTest, ADragNotifiesPressThenValueSetAndClick)
{
    Parent parent;
    RECT all = {0, 0, 640, 480};
    parent.MoveTo(&all);
    YSlider* slider = MakeSlider(&parent, RECT{0, 0, 256, 16}, 0, 255);
    slider->SetChangeCallback(Changed);
    slider->SetHover();

    parent.HandleMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(40, 5));
    EXPECT_TRUE(slider->IsDragging());
    EXPECT_EQ(slider, YWindow::GetCaptureWindow());
    EXPECT_EQ("notify 6 -7", parent.Joined());
    EXPECT_EQ(40, slider->GetPressPoint().x);
    EXPECT_EQ(0, slider->GetPos());  // a press alone moves nothing

    struct Move {
        int x;
        int value;
    } moves[] = {{128, 128}, {0, 0}, {-20, 0}, {300, 255}, {64, 64}};
    for (const Move& m : moves) {
        g_changes.clear();
        parent.HandleMessage(WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<WORD>(m.x), 5));
        EXPECT_EQ(m.value, slider->GetPos()) << m.x;
        // Once from the value, once more from the move.
        EXPECT_EQ((std::vector<int>{m.value, m.value}), g_changes) << m.x;
    }

    parent.m_log.clear();
    parent.HandleMessage(WM_LBUTTONUP, 0, MAKELPARAM(32, 5));
    EXPECT_EQ(32, slider->GetPos());
    EXPECT_FALSE(slider->IsDragging());
    EXPECT_EQ(nullptr, YWindow::GetCaptureWindow());
    EXPECT_EQ("notify 6 4, up, notify 6 -2", parent.Joined());

    // Not dragging: moves change nothing.
    g_changes.clear();
    slider->OnMouseMove(0, 200, 5);
    EXPECT_EQ(32, slider->GetPos());
    EXPECT_TRUE(g_changes.empty());
}

TEST_F(ValueControlTest, ASecondPressEndsTheDragAndDisabledSlidersIgnorePresses)
{
    Parent parent;
    YSlider* slider = MakeSlider(&parent, RECT{0, 0, 256, 16}, 0, 255);
    slider->OnLButtonDown(0, 10, 5);
    slider->OnLButtonDown(0, 20, 5);
    EXPECT_FALSE(slider->IsDragging());
    EXPECT_EQ("notify 6 -7", parent.Joined());
    EXPECT_EQ(20, slider->GetPressPoint().x);
    slider->OnMouseMove(0, 100, 5);
    EXPECT_EQ(0, slider->GetPos());

    YWindow::SetCaptureWindow(nullptr);
    parent.m_log.clear();
    slider->Enable(false);
    slider->OnLButtonDown(0, 10, 5);
    slider->OnLButtonUp(0, 10, 5);
    EXPECT_FALSE(slider->IsDragging());
    EXPECT_EQ(nullptr, YWindow::GetCaptureWindow());
    EXPECT_EQ("", parent.Joined());
}

TEST_F(ValueControlTest, ThumbsDraggedOverWideRangesStayAtTheEndTheyAreDraggedTo)
{
    // Range times distance passes 32 bits: MulDiv alone gives -1 there.
    struct Case {
        int minimum, maximum;
        int x;      // dragged to, on a slider 0..100 wide at left 20
        int value;  // the value it gives
    } cases[] = {
        {0, INT_MAX, 300, INT_MAX},  {0, INT_MAX, 120, INT_MAX},  {0, INT_MAX, 121, INT_MAX},
        {0, INT_MAX, 70, 1073741824}, {-100, INT_MAX, 30000, INT_MAX}, {INT_MIN, INT_MAX, 200, INT_MAX},
        {INT_MIN, INT_MAX, 70, 0},   {0, 1 << 30, 119, 1063004406},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.minimum) + ".." + std::to_string(c.maximum) + " x " + std::to_string(c.x));
        Parent parent;
        YSlider* slider = MakeSlider(&parent, RECT{20, 0, 120, 16}, c.minimum, c.maximum);
        parent.HandleMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(30, 5));
        parent.HandleMessage(WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<WORD>(c.x), 5));
        EXPECT_EQ(c.value, slider->GetPos());
        parent.HandleMessage(WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(c.x), 5));
        EXPECT_EQ(c.value, slider->GetPos());
        // And back: the value puts the thumb where it was dragged, within the slider.
        EXPECT_EQ(std::min(c.x, 120), slider->ValueToX(c.value));
    }

    // The scroll bar's thumb, the same way, vertical 100..300.
    struct BarCase {
        int minimum, maximum, y, pos;
    } bars[] = {{0, INT_MAX, 400, INT_MAX}, {0, INT_MAX, 301, INT_MAX}, {INT_MIN, INT_MAX, 200, 0},
                {INT_MIN, INT_MAX, 20, INT_MIN}, {-5, INT_MAX, 250, 1610612734}};
    for (const BarCase& c : bars) {
        SCOPED_TRACE(std::to_string(c.minimum) + ".." + std::to_string(c.maximum) + " y " + std::to_string(c.y));
        Parent parent;
        YScrollBar* bar = MakeBar(&parent, YScrollBar::kVerticalStyle, RECT{0, 100, 20, 300}, c.minimum, c.maximum,
                                  c.minimum);
        RECT thumb;
        bar->GetPartRect(YScrollBar::kThumb, &thumb);
        parent.HandleMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(5, thumb.bottom - 1));
        ASSERT_EQ(YScrollBar::kThumb, bar->GetPressedPart());
        parent.HandleMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, c.y));
        EXPECT_EQ(c.pos, bar->GetPos());
        parent.HandleMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, c.y));
    }
}

TEST_F(ValueControlTest, ThumbsOfWideRangesSitWhereTheirValueIs)
{
    // value -> pixel over a range that does not fit 32 bits.
    std::unique_ptr<YSlider> slider(MakeSlider(nullptr, RECT{20, 0, 120, 16}, INT_MIN, INT_MAX));
    const struct {
        int value, x;
    } cases[] = {{INT_MIN, 20}, {0, 70}, {INT_MAX, 120}, {-1073741824, 45}};
    for (const auto& c : cases) EXPECT_EQ(c.x, slider->ValueToX(c.value)) << c.value;

    // The scroll bar's thumb centre: track 200 - 24 long from 112.
    std::unique_ptr<YScrollBar> bar(MakeBar(nullptr, YScrollBar::kVerticalStyle, RECT{0, 100, 20, 300}, INT_MIN,
                                            INT_MAX, INT_MAX));
    RECT thumb;
    bar->GetPartRect(YScrollBar::kThumb, &thumb);
    EXPECT_EQ(112 + 176 + 1, (thumb.top + thumb.bottom) / 2);
    bar->SetPos(0, 0);
    bar->GetPartRect(YScrollBar::kThumb, &thumb);
    EXPECT_EQ(112 + 88 + 1, (thumb.top + thumb.bottom) / 2);
}

TEST_F(ValueControlTest, ASliderDisabledDuringADragLetsGoOfTheMouse)
{
    Parent parent;
    RECT all = {0, 0, 640, 480};
    parent.MoveTo(&all);
    YSlider* slider = MakeSlider(&parent, RECT{0, 0, 256, 16}, 0, 255);
    YWindow* other = new YWindow;
    RECT below = {0, 100, 100, 200};
    other->Create(0, "other", 0, &below, &parent, 2, 0);
    parent.HandleMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(40, 5));
    parent.HandleMessage(WM_MOUSEMOVE, 0, MAKELPARAM(60, 5));
    ASSERT_EQ(slider, YWindow::GetCaptureWindow());
    ASSERT_EQ(60, slider->GetPos());

    slider->Enable(false);
    parent.m_log.clear();
    parent.HandleMessage(WM_LBUTTONUP, 0, MAKELPARAM(90, 5));
    EXPECT_EQ(nullptr, YWindow::GetCaptureWindow());
    EXPECT_FALSE(slider->IsDragging());
    EXPECT_EQ(60, slider->GetPos());  // the release sets no value
    EXPECT_EQ("", parent.Joined());   // and notifies nothing
    // The next press goes to the window under the mouse.
    parent.HandleMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(50, 150));
    EXPECT_EQ(other, YWindow::GetFocusWindow());
    EXPECT_EQ(nullptr, YWindow::GetCaptureWindow());
}

TEST_F(ValueControlTest, TheSliderDrawsItsThumbInsideItself)
{
    Picture track("track", 200, 16), thumb("thumb", 10, 16);
    struct Case {
        int value;
        int images;
        const char* drawn;
    } cases[] = {
        {0, 2, "res track 100,0,300,16 | res thumb 100,0,110,16"},
        {50, 2, "res track 100,0,300,16 | res thumb 195,0,205,16"},
        {100, 2, "res track 100,0,300,16 | res thumb 290,0,300,16"},
        {50, 1, "res track 100,0,300,16"},
        // No images: blue track, red thumb of the default width.
        {100, 0, "rect 100,0,300,16 FF0000 | rect 290,0,300,16 0000FF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        std::unique_ptr<YSlider> slider(MakeSlider(nullptr, RECT{100, 0, 300, 16}, 0, 100));
        if (c.images > 0) slider->AddResource(&track, false);
        if (c.images > 1) slider->AddResource(&thumb, false);
        slider->SetValue(c.value);
        LogDC dc;
        slider->Draw(&dc);
        EXPECT_EQ(c.drawn, dc.Joined());
        for (int i = 0; i < slider->GetResourceCount(); ++i) slider->SetResourceAt(i, nullptr, false);
    }
}

TEST_F(ValueControlTest, DrawingASliderAwayFromTheMouseEndsTheDrag)
{
    std::unique_ptr<YSlider> slider(MakeSlider(nullptr, RECT{0, 0, 100, 10}, 0, 100));
    LogDC dc;
    slider->SetHover();
    slider->OnLButtonDown(0, 5, 5);
    slider->Draw(&dc);
    EXPECT_TRUE(slider->IsDragging());
    YWindow other;
    other.SetHover();
    slider->Draw(&dc);
    EXPECT_FALSE(slider->IsDragging());
}

TEST_F(ValueControlTest, TheSliderArchiveAndCopy)
{
    YSlider slider;
    RECT r = {1, 2, 3, 4};
    slider.Create("s", 0, &r, nullptr, 5);
    slider.SetMin(-7);
    slider.SetMax(900);
    slider.SetStep(3);
    slider.SetValue(42);
    std::vector<BYTE> bytes = Store(&slider);
    ASSERT_GE(bytes.size(), 24u);
    const size_t tail = bytes.size() - 24;
    EXPECT_EQ(900u, WordAt(bytes, tail));
    EXPECT_EQ(3u, WordAt(bytes, tail + 4));
    EXPECT_EQ(0u, WordAt(bytes, tail + 8));
    EXPECT_EQ(static_cast<DWORD>(-7), WordAt(bytes, tail + 12));
    EXPECT_EQ(0u, WordAt(bytes, tail + 16));
    EXPECT_EQ(0u, WordAt(bytes, tail + 20));
    std::unique_ptr<CObject> loaded(LoadOrNull(bytes));
    YSlider* copy = dynamic_cast<YSlider*>(loaded.get());
    ASSERT_NE(nullptr, copy);
    EXPECT_EQ(-7, copy->GetMin());
    EXPECT_EQ(900, copy->GetMax());
    EXPECT_EQ(3, copy->GetStep());
    EXPECT_EQ(0, copy->GetPos());  // the value is not saved
    bytes.resize(bytes.size() - 1);
    EXPECT_EQ(nullptr, LoadOrNull(bytes));

    std::unique_ptr<YResource> made(slider.CopyTo(nullptr));
    YSlider* twin = dynamic_cast<YSlider*>(made.get());
    ASSERT_NE(nullptr, twin);
    EXPECT_EQ(42, twin->GetPos());
    EXPECT_EQ(-7, twin->GetMin());
    EXPECT_EQ(900, twin->GetMax());
    EXPECT_EQ(3, twin->GetStep());
    YWindow window;
    EXPECT_EQ(nullptr, slider.CopyTo(&window));
}

TEST_F(ValueControlTest, ScrollBarPartRectangles)
{
    Picture thumb("thumb", 8, 8), start("start", 10, 10), end("end", 14, 14);
    struct Case {
        const char* name;
        int style;
        RECT rect;
        int minimum, maximum, pos;
        bool images;
        const char* parts[5];
    } cases[] = {
        {"vertical, defaults", YScrollBar::kVerticalStyle, {0, 0, 20, 112}, 0, 100, 50, false,
         {"0,100,20,112", "0,0,20,12", "0,64,20,100", "0,12,20,50", "0,51,20,63"}},
        {"vertical, at the top", YScrollBar::kVerticalStyle, {0, 0, 20, 112}, 0, 100, 0, false,
         {"0,100,20,112", "0,0,20,12", "0,20,20,100", "0,12,20,6", "0,7,20,19"}},
        {"horizontal, images", 0, {100, 5, 300, 25}, 0, 50, 25, true,
         {"286,5,300,25", "100,5,110,25", "204,5,286,25", "110,5,194,25", "195,5,203,25"}},
        {"horizontal, offset range", 0, {100, 5, 300, 25}, 10, 60, 60, true,
         {"286,5,300,25", "100,5,110,25", "292,5,286,25", "110,5,282,25", "283,5,291,25"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<YScrollBar> bar(MakeBar(nullptr, c.style, c.rect, c.minimum, c.maximum, c.pos));
        if (c.images) {
            bar->SetResourceAt(1, &thumb, false);
            bar->SetResourceAt(2, &start, false);
            bar->SetResourceAt(3, &end, false);
        }
        for (int part = 0; part < 5; ++part) {
            RECT r;
            ASSERT_TRUE(bar->GetPartRect(part, &r));
            EXPECT_EQ(c.parts[part], Box(r)) << "part " << part;
        }
        RECT unused;
        EXPECT_FALSE(bar->GetPartRect(5, &unused));
        for (int i = 0; i < bar->GetResourceCount(); ++i) bar->SetResourceAt(i, nullptr, false);
    }
}

TEST_F(ValueControlTest, ScrollBarHitTestTriesTheArrowAboveFirst)
{
    // A short bar: the thumb at the top overlaps the top arrow.
    std::unique_ptr<YScrollBar> bar(MakeBar(nullptr, YScrollBar::kVerticalStyle, RECT{0, 0, 20, 112}, 0, 100, 0));
    struct Case {
        int x, y, part;
    } cases[] = {{5, 3, 1},   {5, 8, 1},   {5, 12, 4},   {5, 18, 4},   {5, 19, -1},
                 {5, 20, 2},  {5, 99, 2},  {5, 100, 0},  {5, 111, 0},  {5, 112, -1}, {25, 50, -1}};
    for (const Case& c : cases) EXPECT_EQ(c.part, bar->PartFromPoint(c.x, c.y)) << c.x << "," << c.y;
}

TEST_F(ValueControlTest, ScrollBarPressesStepByAHundredthOrATenth)
{
    struct Case {
        int maximum, pos, part;
        int moved;
        bool arrow0, arrow1;
    } cases[] = {
        {50, 20, 0, 21, true, false},   {50, 20, 1, 19, false, true},  {50, 20, 2, 25, false, false},
        {50, 20, 3, 15, false, false},  {50, 20, 4, 20, false, false}, {1000, 500, 0, 510, true, false},
        {1000, 500, 1, 490, false, true}, {1000, 500, 2, 600, false, false}, {1000, 500, 3, 400, false, false},
        {50, 50, 0, 50, true, false},   {50, 0, 1, 0, false, true},    {50, 46, 2, 50, false, false},
        {50, 3, 3, 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.maximum) + " at " + std::to_string(c.pos) + ", part " + std::to_string(c.part));
        Parent parent;
        YScrollBar* bar = MakeBar(&parent, YScrollBar::kVerticalStyle, RECT{0, 0, 20, 212}, 0, c.maximum, c.pos);
        bar->SetChangeCallback(Changed);
        g_changes.clear();
        RECT r;
        bar->GetPartRect(c.part, &r);
        // A point the part owns (the thumb may cover some of an arrow).
        const int x = r.left + 1;
        int y = r.top;
        while (y < r.bottom && bar->PartFromPoint(x, y) != c.part) ++y;
        ASSERT_EQ(c.part, bar->PartFromPoint(x, y));
        bar->OnLButtonDown(0, x, y);
        EXPECT_EQ(c.moved, bar->GetPos());
        EXPECT_EQ(std::vector<int>{c.moved}, g_changes);
        EXPECT_EQ("notify 9 " + std::to_string(c.part), parent.Joined());
        EXPECT_EQ(c.part, bar->GetPressedPart());
        EXPECT_EQ(c.arrow0, bar->IsArrowDown(0));
        EXPECT_EQ(c.arrow1, bar->IsArrowDown(1));
        EXPECT_EQ(bar, YWindow::GetCaptureWindow());
        // A double click is one more press.
        bar->OnLButtonUp(0, x, y);
        EXPECT_EQ(-1, bar->GetPressedPart());
        EXPECT_FALSE(bar->IsArrowDown(0) || bar->IsArrowDown(1));
        bar->SetPos(c.pos, 0);
        bar->OnLButtonDblClk(0, x, y);
        EXPECT_EQ(c.moved, bar->GetPos());
        EXPECT_EQ(c.part, bar->GetPressedPart());
        EXPECT_EQ(c.arrow0, bar->IsArrowDown(0));
        ASSERT_EQ(2u, parent.m_log.size());
        EXPECT_EQ(parent.m_log[0], parent.m_log[1]);
        bar->OnLButtonUp(0, x, y);
    }
}

TEST_F(ValueControlTest, ScrollBarThumbDragAndRelease)
{
    Parent parent;
    YScrollBar* bar = MakeBar(&parent, YScrollBar::kVerticalStyle, RECT{0, 100, 20, 300}, 0, 100, 0);
    bar->SetChangeCallback(Changed);
    // A press outside every part: no step and no notification, but the capture.
    bar->OnLButtonDown(0, 50, 50);
    EXPECT_EQ(-1, bar->GetPressedPart());
    EXPECT_EQ(bar, YWindow::GetCaptureWindow());
    EXPECT_TRUE(parent.m_log.empty());
    bar->OnMouseMove(0, 5, 200);
    EXPECT_EQ(0, bar->GetPos());
    bar->OnLButtonUp(0, 5, 200);

    RECT thumb;
    bar->GetPartRect(YScrollBar::kThumb, &thumb);
    bar->OnLButtonDown(0, 5, thumb.bottom - 1);
    ASSERT_EQ(YScrollBar::kThumb, bar->GetPressedPart());
    struct Move {
        int y, pos;
    } moves[] = {{200, 50}, {101, 1}, {50, 0}, {299, 100}, {400, 100}, {151, 26}};
    for (const Move& m : moves) {
        g_changes.clear();
        parent.HandleMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, m.y));
        EXPECT_EQ(m.pos, bar->GetPos()) << m.y;
        EXPECT_EQ(std::vector<int>{m.pos}, g_changes) << m.y;
    }
    parent.m_log.clear();
    parent.HandleMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 151));
    EXPECT_EQ(-1, bar->GetPressedPart());
    EXPECT_EQ(nullptr, YWindow::GetCaptureWindow());
    EXPECT_TRUE(parent.m_log.empty());  // no notification on release
    bar->OnMouseMove(0, 5, 290);
    EXPECT_EQ(26, bar->GetPos());

    // An arrow's pressed look lasts until the release.
    RECT arrow;
    bar->GetPartRect(YScrollBar::kArrowEnd, &arrow);
    bar->OnLButtonDown(0, 5, arrow.top);
    EXPECT_TRUE(bar->IsArrowDown(0));
    bar->OnLButtonUp(0, 5, arrow.top);
    EXPECT_FALSE(bar->IsArrowDown(0));
}

TEST_F(ValueControlTest, ScrollBarDrawsTrackPressedArrowAndThumb)
{
    Picture track("track"), thumb("thumb", 10, 10), start("start", 12, 12), end("end", 12, 12);
    std::unique_ptr<YScrollBar> bar(MakeBar(nullptr, YScrollBar::kVerticalStyle, RECT{0, 0, 20, 112}, 0, 100, 50));
    LogDC dc;
    bar->Draw(&dc);
    EXPECT_EQ("", dc.Joined());  // nothing to draw with
    bar->AddResource(&track, false);
    bar->AddResource(&thumb, false);
    bar->AddResource(&start, false);
    bar->AddResource(&end, false);
    bar->Draw(&dc);
    EXPECT_EQ("res track 0,0,20,112 | res thumb 0,52,20,62", dc.Joined());
    dc.m_log.clear();
    bar->OnLButtonDown(0, 5, 105);  // the bottom arrow: 51
    bar->Draw(&dc);
    EXPECT_EQ("res track 0,0,20,112 | res start 0,100,20,112 | res thumb 0,53,20,63", dc.Joined());
    dc.m_log.clear();
    bar->OnLButtonUp(0, 5, 105);
    bar->OnLButtonDown(0, 5, 5);  // the top arrow: 50 again
    bar->Draw(&dc);
    EXPECT_EQ("res track 0,0,20,112 | res end 0,0,20,12 | res thumb 0,52,20,62", dc.Joined());
    bar->m_visible = 0;
    dc.m_log.clear();
    bar->Draw(&dc);
    EXPECT_EQ("", dc.Joined());
    for (int i = 0; i < 4; ++i) bar->SetResourceAt(i, nullptr, false);
}

TEST_F(ValueControlTest, TheScrollBarArchiveKeepsItsRange)
{
    YScrollBar bar;
    RECT r = {0, 0, 10, 100};
    bar.Create(YScrollBar::kVerticalStyle, &r, nullptr, 2);
    bar.SetRange(-3, 77, 0);
    bar.SetPos(500, 0);
    EXPECT_EQ(500, bar.GetPos());  // stored as given
    std::vector<BYTE> bytes = Store(&bar);
    EXPECT_EQ(77u, WordAt(bytes, bytes.size() - 8));
    EXPECT_EQ(static_cast<DWORD>(-3), WordAt(bytes, bytes.size() - 4));
    std::unique_ptr<CObject> loaded(LoadOrNull(bytes));
    YScrollBar* copy = dynamic_cast<YScrollBar*>(loaded.get());
    ASSERT_NE(nullptr, copy);
    int minimum = 0, maximum = 0;
    copy->GetRange(&minimum, &maximum);
    EXPECT_EQ(-3, minimum);
    EXPECT_EQ(77, maximum);
    EXPECT_TRUE(copy->IsVertical());
}
