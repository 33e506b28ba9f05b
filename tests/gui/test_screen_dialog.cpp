// Screens (background, focus walk) and the modal dialog's loop fed by posted
// messages, ending each way it can.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "RecordingDC.h"
#include "gui/YDialog.h"
#include "gui/YEditBox.h"
#include "gui/YScreen.h"
#include "platform/win32_window.h"

namespace {

class Picture : public YResource {
public:
    Picture(LONG width, LONG height) : m_width(width), m_height(height) {}
    LONG GetWidth() override { return m_width; }
    LONG GetHeight() override { return m_height; }
    LONG m_width, m_height;
};

// Counts how often it is drawn under a running dialog.
class Owner : public YWindow {
public:
    int Draw(YDC* dc) override
    {
        ++m_draws;
        m_modalWhileDrawn = m_modal;
        return YWindow::Draw(dc);
    }
    int m_draws = 0;
    int m_modalWhileDrawn = 0;
};

int g_steps = 0;

// Ends a dialog that nothing else ended after a few steps.
void EndAfterSteps(YDialog* dialog, int)
{
    if (++g_steps >= 3) dialog->EndDialog(99);
}

void Post(UINT message, WPARAM wParam, LPARAM lParam) { PostMessageA(nullptr, message, wParam, lParam); }

std::vector<UINT> Queued()
{
    std::vector<UINT> messages;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) messages.push_back(message.message);
    return messages;
}

}  // namespace

TEST(Screen, FocusWalkStopsAtTabStopsAndWrapsAround)
{
    // Children a b c d e; b and d are no tab stops.
    struct Case {
        int focus;
        bool forward;
        int target;  // -1: none
        int focusAfter;
    };
    const Case cases[] = {
        {0, true, -1, 2},  {2, true, -1, 4},  {4, true, -1, 0},  {0, false, -1, 4}, {2, false, -1, 0},
        {1, true, -1, 2},  {3, false, -1, 2}, {0, true, 3, 3},   {4, false, 1, 1},
    };
    for (const Case& c : cases) {
        YScreen screen;
        YWindow* children[5];
        for (int i = 0; i < 5; ++i) {
            children[i] = new YWindow;
            RECT r = {i * 10, 0, i * 10 + 10, 10};
            const int style = (i == 1 || i == 3) ? 0 : YWindow::kTabStopStyle;
            children[i]->YWindow::Create(0, "", style, &r, &screen, i, 0);
        }
        children[c.focus]->SetFocus();
        screen.OnNextDlgCtl(c.forward, c.target >= 0 ? children[c.target] : nullptr);
        EXPECT_EQ(YWindow::GetFocusWindow(), children[c.focusAfter]) << c.focus << " " << c.forward << " " << c.target;
    }
    // Alone among non-stops, the focus stays; a focus outside the screen is left alone.
    YScreen screen;
    YWindow* only = new YWindow;
    YWindow* plain = new YWindow;
    RECT r = {0, 0, 10, 10};
    only->YWindow::Create(0, "", YWindow::kTabStopStyle, &r, &screen, 1, 0);
    plain->YWindow::Create(0, "", 0, &r, &screen, 2, 0);
    only->SetFocus();
    screen.OnNextDlgCtl(true, nullptr);
    EXPECT_EQ(YWindow::GetFocusWindow(), only);
    YWindow outside;
    outside.SetFocus();
    screen.OnNextDlgCtl(true, nullptr);
    EXPECT_EQ(YWindow::GetFocusWindow(), &outside);
}

TEST(Screen, TabInAnEditBoxWalksBackwards)
{
    YScreen screen;
    YEditBox* first = new YEditBox;
    YEditBox* second = new YEditBox;
    RECT r = {0, 0, 100, 20};
    first->Create(YWindow::kTabStopStyle, &r, &screen, 1);
    second->Create(YWindow::kTabStopStyle, &r, &screen, 2);
    second->SetFocus();
    screen.HandleMessage(WM_KEYDOWN, VK_TAB, 1);
    EXPECT_EQ(YWindow::GetFocusWindow(), first);
}

TEST(Screen, BackgroundFromTheScreenSourceDirectlyOrAFrame)
{
    struct Case {
        bool image;
        bool screenSource;
        size_t framed, rectangles, resources;
    };
    const Case cases[] = {{true, false, 0, 0, 1}, {true, true, 0, 0, 1}, {false, false, 2, 1, 0}};
    for (const Case& c : cases) {
        YScreen screen;
        RECT rect = {10, 10, 50, 40};
        screen.Create(0, "", 0, &rect, nullptr, 0, 0);
        Picture image(40, 30);
        if (c.image) screen.SetBackground(&image);
        RecordingDC source;
        YWindow::SetScreenSource(c.screenSource ? &source : nullptr);
        RecordingDC dc;
        screen.Draw(&dc);
        YWindow::SetScreenSource(nullptr);
        EXPECT_EQ(dc.m_framed.size(), c.framed);
        EXPECT_EQ(dc.m_rectangles.size(), c.rectangles);
        ASSERT_EQ(dc.m_resources.size(), c.resources);
        if (c.image) {
            EXPECT_EQ(dc.m_resources[0].resource, &image);
            EXPECT_EQ(dc.m_resources[0].source, c.screenSource ? &source : nullptr);
            EXPECT_TRUE(SameRect(dc.m_resources[0].where, RECT{10, 10, 50, 40}));
        } else {
            // A two-pixel frame round an empty rectangle.
            EXPECT_TRUE(SameRect(dc.m_framed[0], RECT{10, 10, 50, 40}));
            EXPECT_TRUE(SameRect(dc.m_framed[1], RECT{11, 11, 49, 39}));
            EXPECT_TRUE(SameRect(dc.m_rectangles[0], RECT{12, 12, 48, 38}));
        }
        screen.Release();  // the image is the test's
    }
}

TEST(Screen, SoundsTakeTheirIndexesAndTheBackgroundItsSize)
{
    YWindow::SetResourceCatalog(nullptr);
    YScreen screen;
    // The first background goes when the second takes its place.
    Picture* first = new Picture(64, 48);
    Picture second(32, 32), click(1, 1), other(1, 1);
    EXPECT_EQ(screen.GetBackgroundIndex(), -1);
    screen.SetBackground(first);
    EXPECT_EQ(screen.GetBackgroundIndex(), 0);
    EXPECT_TRUE(SameRect(screen.Rect(), RECT{0, 0, 64, 48}));
    screen.SetSounds(&click, &other);
    EXPECT_EQ(screen.GetClickSoundIndex(), 1);
    EXPECT_EQ(screen.GetSecondSoundIndex(), 2);
    EXPECT_EQ(screen.GetResourceAt(2), &other);
    // A second background replaces the first in place.
    screen.SetBackground(&second);
    EXPECT_EQ(screen.GetResourceAt(0), &second);
    EXPECT_EQ(screen.GetResourceCount(), 3);
    // The lent sounds are cleared, not handed back, on release.
    screen.Release();
    EXPECT_EQ(screen.GetClickSoundIndex(), -1);
    EXPECT_EQ(screen.GetResourceCount(), 0);
}

TEST(DialogLoop, PostedMessagesEndItEachWayItCanEnd)
{
    struct Case {
        const char* name;
        std::vector<MSG> posted;
        bool editFocused;
        int result;
        int leftInQueue;
    };
    auto msg = [](UINT message, WPARAM w, LPARAM l) {
        MSG m = {};
        m.message = message;
        m.wParam = w;
        m.lParam = l;
        return m;
    };
    const LPARAM one = MAKELPARAM(15, 15), two = MAKELPARAM(35, 15), three = MAKELPARAM(55, 15);
    const Case cases[] = {
        {"Enter", {msg(WM_KEYDOWN, VK_RETURN, 1)}, false, 1, 1},  // its character stays queued
        {"Escape", {msg(WM_KEYDOWN, VK_ESCAPE, 1)}, false, 2, 1},
        {"Enter in a focused edit box", {msg(WM_KEYDOWN, VK_RETURN, 1)}, true, 1, 1},
        {"click on id 1", {msg(WM_LBUTTONDOWN, 0, one), msg(WM_LBUTTONUP, 0, one)}, false, 1, 0},
        {"click on id 2", {msg(WM_LBUTTONDOWN, 0, two), msg(WM_LBUTTONUP, 0, two), msg(WM_KEYDOWN, 'A', 1)}, false, 2,
         1},
        {"click on id 3 only notifies", {msg(WM_LBUTTONDOWN, 0, three), msg(WM_LBUTTONUP, 0, three)}, false, 99, 0},
        {"a plain key", {msg(WM_KEYDOWN, 'A', 1)}, false, 99, 0},
        {"nothing: the step ends it", {}, false, 99, 0},
        {"quit", {msg(WM_QUIT, 0, 0), msg(WM_KEYDOWN, VK_RETURN, 1)}, false, -1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::ResetWindows();
        g_steps = 0;
        Owner owner;
        YDialog* dialog = new YDialog;
        RECT rect = {0, 0, 100, 40};
        dialog->YWindow::Create(0, "", 0, &rect, &owner, 0, 0);
        for (int id = 1; id <= 3; ++id) {
            YWindow* button = new YWindow;
            RECT r = {id * 20 - 10, 10, id * 20 + 10, 20};
            button->YWindow::Create(0, "", 0, &r, dialog, id, 0);
        }
        YEditBox* edit = new YEditBox;
        RECT er = {0, 25, 100, 40};
        edit->Create(0, &er, dialog, 7);
        if (c.editFocused) edit->SetFocus();
        else dialog->SetFocus();
        dialog->SetStepCallback(EndAfterSteps);
        for (const MSG& m : c.posted) {
            if (m.message == WM_QUIT) PostQuitMessage(static_cast<int>(m.wParam));
            else Post(m.message, m.wParam, m.lParam);
        }
        EXPECT_EQ(dialog->DoModal(nullptr), c.result);
        EXPECT_FALSE(dialog->IsModal());
        EXPECT_EQ(YWindow::GetFocusWindow(), nullptr);
        EXPECT_EQ(owner.m_modal, 0);
        if (c.result == 99) {
            EXPECT_EQ(g_steps, 3);
            EXPECT_GE(owner.m_draws, 3);  // the owner is drawn in every pass
            EXPECT_EQ(owner.m_modalWhileDrawn, 1);
        }
        // A quit message is there again for the loop outside.
        std::vector<UINT> left = Queued();
        EXPECT_EQ(static_cast<int>(left.size()), c.leftInQueue);
        EXPECT_EQ(std::count(left.begin(), left.end(), static_cast<UINT>(WM_QUIT)), c.result == -1 ? 1 : 0);
        platform::ResetWindows();
    }
}

namespace {

// Draws its first resource over itself, from whatever source is current.
class Tile : public YWindow {
public:
    void DrawBackground(YDC* dc) override { DrawResource(dc, &m_rect, 0); }
};

}  // namespace

TEST(DialogDraw, FromItsOwnSourceDisplacedByItsOffset)
{
    RecordingDC shared, own, backgroundSource, target;
    YWindow::SetDefaultSource(&shared);
    Picture back(100, 40), tile(10, 10);
    {
        YDialog dialog;
        RECT rect = {20, 30, 120, 70};
        dialog.Create(0, "", 0, &rect, nullptr, 0, 0);
        dialog.AddResource(&back, false);
        Tile* child = new Tile;
        RECT r = {5, 5, 15, 15};
        child->YWindow::Create(0, "", 0, &r, &dialog, 1, 0);
        child->AddResource(&tile, false);
        dialog.SetSource(&own);
        dialog.SetOffset(3, -2);
        dialog.Draw(&target);
        // Drawn displaced, the background directly, the child from the own source.
        ASSERT_EQ(target.m_resources.size(), 2u);
        EXPECT_EQ(target.m_resources[0].resource, &back);
        EXPECT_EQ(target.m_resources[0].source, nullptr);
        EXPECT_TRUE(SameRect(target.m_resources[0].where, RECT{23, 28, 123, 68}));
        EXPECT_EQ(target.m_resources[1].source, &own);
        EXPECT_TRUE(SameRect(target.m_resources[1].where, RECT{28, 33, 38, 43}));
        // Then back in place, with the shared source current again.
        EXPECT_TRUE(SameRect(dialog.Rect(), rect));
        EXPECT_TRUE(SameRect(child->Rect(), RECT{25, 35, 35, 45}));
        EXPECT_EQ(YWindow::GetDefaultSource(), &shared);

        // A prepared background is drawn from its own context.
        EXPECT_EQ(dialog.SetBackgroundSource(&backgroundSource), 1);
        ASSERT_EQ(backgroundSource.m_resources.size(), 1u);
        EXPECT_TRUE(SameRect(backgroundSource.m_resources[0].where, RECT{0, 0, 100, 40}));
        RecordingDC again;
        dialog.SetOffset(0, 0);
        dialog.Draw(&again);
        ASSERT_FALSE(again.m_resources.empty());
        EXPECT_EQ(again.m_resources[0].source, &backgroundSource);
        RECT bounds;
        back.GetBounds(bounds);
        EXPECT_TRUE(SameRect(bounds, RECT{0, 0, 100, 40}));
        // The pictures carry no names: the windows hand nothing back.
    }
    YWindow::SetDefaultSource(nullptr);
}
