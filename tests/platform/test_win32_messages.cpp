// Window messages made from the backend's events, packed as Windows packs
// them: key messages and the characters TranslateMessage adds, the key state
// seen before a message is handled, mouse buttons and double clicks, the
// wheel; and the rectangle helpers and MulDiv.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "platform/backend/Backend.h"
#include "platform/win32.h"
#include "platform/win32_window.h"

using platform::BackendEvent;

namespace {

struct Seen {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool returnDown;  // GetAsyncKeyState(VK_RETURN) as the handler saw it
    bool returnSeen;  // GetKeyState(VK_RETURN): as of the message
};
std::vector<Seen> g_seen;

LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR || message == WM_SYSKEYDOWN ||
        (message >= WM_MOUSEMOVE && message <= WM_MOUSEWHEEL))
        g_seen.push_back({message, wParam, lParam, (GetAsyncKeyState(VK_RETURN) & 0x8000) != 0,
                          (GetKeyState(VK_RETURN) & 0x8000) != 0});
    return DefWindowProcA(window, message, wParam, lParam);
}

class WindowMessages : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::ResetWindows();
        platform::Clock::SetManual(true);
        platform::Clock::Set(10000);
        WNDCLASSA windowClass;
        memset(&windowClass, 0, sizeof windowClass);
        windowClass.lpfnWndProc = Record;
        windowClass.lpszClassName = "MessageRecorder";
        RegisterClassA(&windowClass);
        m_window = CreateWindowExA(0, "MessageRecorder", "m", WS_OVERLAPPED | WS_CAPTION, 40, 30, 320, 240, nullptr,
                                   nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, m_window);
        ShowWindow(m_window, SW_SHOWNORMAL);
        Dispatch();
        g_seen.clear();
    }
    void TearDown() override
    {
        DestroyWindow(m_window);
        Dispatch();
        platform::ResetWindows();
        platform::Clock::SetManual(false);
    }

    // The pump's loop: every waiting message translated and dispatched.
    static void Dispatch()
    {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    static void Send(const BackendEvent& e)
    {
        platform::Backend::Get().PushEvent(e);
        platform::PumpBackendEvents();
    }
    static void Key(int key, int scanCode, bool down)
    {
        BackendEvent e;
        e.kind = down ? BackendEvent::KeyDown : BackendEvent::KeyUp;
        e.key = key;
        e.scanCode = scanCode;
        Send(e);
    }
    static void Mouse(BackendEvent::Kind kind, int x, int y, int button = 1, int wheel = 0)
    {
        BackendEvent e;
        e.kind = kind;
        e.x = x;
        e.y = y;
        e.button = button;
        e.wheel = wheel;
        Send(e);
    }

    HWND m_window = nullptr;
};

}  // namespace

TEST_F(WindowMessages, KeysGiveTheControlCharactersOfTranslateMessage)
{
    struct Case {
        const char* what;
        bool control;
        int key, scanCode;
        int character;  // 0: no WM_CHAR
    };
    const Case cases[] = {
        {"ctrl C copies", true, 'C', 0x2E, 3},    {"backspace", false, VK_BACK, 0x0E, 8},
        {"tab", false, VK_TAB, 0x0F, 9},          {"enter", false, VK_RETURN, 0x1C, 13},
        {"ctrl V pastes", true, 'V', 0x2F, 22},   {"ctrl X cuts", true, 'X', 0x2D, 24},
        {"escape", false, VK_ESCAPE, 0x01, 27},   {"a letter alone", false, 'C', 0x2E, 0},
        {"an arrow", false, VK_LEFT, 0xCB, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.control) Key(VK_CONTROL, 0x1D, true);
        Dispatch();
        g_seen.clear();
        Key(c.key, c.scanCode, true);
        Key(c.key, c.scanCode, false);
        Dispatch();
        if (c.control) Key(VK_CONTROL, 0x1D, false);
        Dispatch();

        std::vector<UINT> messages;
        for (const Seen& s : g_seen) messages.push_back(s.message);
        std::vector<UINT> expected = {WM_KEYDOWN};
        if (c.character) expected.push_back(WM_CHAR);
        expected.push_back(WM_KEYUP);
        if (c.control) expected.push_back(WM_KEYUP);
        ASSERT_EQ(expected, messages);
        const Seen& down = g_seen[0];
        EXPECT_EQ(static_cast<WPARAM>(c.key), down.wParam);
        // Repeat count 1, the scan code (extended keys flagged), first press.
        DWORD packed = 1u | (static_cast<DWORD>(c.scanCode & 0x7F) << 16) | ((c.scanCode & 0x80) ? 1u << 24 : 0);
        EXPECT_EQ(packed, static_cast<DWORD>(down.lParam));
        if (c.character) {
            EXPECT_EQ(static_cast<WPARAM>(c.character), g_seen[1].wParam);
            EXPECT_EQ(down.lParam, g_seen[1].lParam);
        }
        const Seen& up = g_seen[c.character ? 2 : 1];
        EXPECT_EQ(packed | 1u << 30 | 1u << 31, static_cast<DWORD>(up.lParam));
    }
}

TEST_F(WindowMessages, TheKeyIsDownBeforeItsMessagesAreHandled)
{
    Key(VK_RETURN, 0x1C, true);
    // The state changes when the event is taken, before the message is read.
    EXPECT_NE(0, GetAsyncKeyState(VK_RETURN) & 0x8000);
    // GetKeyState follows the messages taken: none was.
    EXPECT_EQ(0, GetKeyState(VK_RETURN) & 0x8000);
    Key(VK_RETURN, 0x1C, true);  // held: a repeat
    Dispatch();
    ASSERT_EQ(4u, g_seen.size());
    for (const Seen& s : g_seen) EXPECT_TRUE(s.returnDown) << s.message;
    EXPECT_EQ(WM_CHAR, g_seen[1].message);
    EXPECT_NE(0u, static_cast<DWORD>(g_seen[2].lParam) & 1u << 30) << "a repeat has its previous state set";
    g_seen.clear();
    Key(VK_RETURN, 0x1C, false);
    EXPECT_EQ(0, GetAsyncKeyState(VK_RETURN));
    Dispatch();
    ASSERT_EQ(1u, g_seen.size());
    EXPECT_FALSE(g_seen[0].returnDown);
}

TEST_F(WindowMessages, AKeyTappedWithinOnePumpIsDownForItsPressMessages)
{
    // Press and release reach the queue together (one frame): the release
    // is already in the async state when the press is handled.
    Key(VK_RETURN, 0x1C, true);
    Key(VK_RETURN, 0x1C, false);
    Dispatch();
    ASSERT_EQ(3u, g_seen.size());
    const UINT messages[3] = {WM_KEYDOWN, WM_CHAR, WM_KEYUP};
    const bool seen[3] = {true, true, false};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(messages[i], g_seen[i].message);
        EXPECT_EQ(seen[i], g_seen[i].returnSeen) << i;
        EXPECT_FALSE(g_seen[i].returnDown) << i;
    }
    EXPECT_EQ(0, GetKeyState(VK_RETURN) & 0x8000);

    // Ctrl+C tapped as quickly still makes its control character.
    g_seen.clear();
    Key(VK_CONTROL, 0x1D, true);
    Key('C', 0x2E, true);
    Key('C', 0x2E, false);
    Key(VK_CONTROL, 0x1D, false);
    Dispatch();
    std::vector<WPARAM> characters;
    for (const Seen& s : g_seen)
        if (s.message == WM_CHAR) characters.push_back(s.wParam);
    EXPECT_EQ(std::vector<WPARAM>{3}, characters);
}

TEST_F(WindowMessages, ButtonsPackTheirPointAndASecondPressMakesADoubleClick)
{
    struct Step {
        const char* what;
        BackendEvent::Kind kind;
        int button, x, y;
        DWORD wait;  // milliseconds before the event
        UINT message;
        WPARAM keys;
    };
    const Step steps[] = {
        {"press", BackendEvent::MouseDown, 1, 10, 20, 0, WM_LBUTTONDOWN, MK_LBUTTON},
        {"release", BackendEvent::MouseUp, 1, 10, 20, 0, WM_LBUTTONUP, 0},
        {"second press near and soon", BackendEvent::MouseDown, 1, 12, 18, 100, WM_LBUTTONDBLCLK, MK_LBUTTON},
        {"release", BackendEvent::MouseUp, 1, 12, 18, 0, WM_LBUTTONUP, 0},
        {"a third press starts over", BackendEvent::MouseDown, 1, 12, 18, 50, WM_LBUTTONDOWN, MK_LBUTTON},
        {"release", BackendEvent::MouseUp, 1, 12, 18, 0, WM_LBUTTONUP, 0},
        {"too late", BackendEvent::MouseDown, 1, 12, 18, 501, WM_LBUTTONDOWN, MK_LBUTTON},
        {"release", BackendEvent::MouseUp, 1, 12, 18, 0, WM_LBUTTONUP, 0},
        {"too far", BackendEvent::MouseDown, 1, 15, 18, 10, WM_LBUTTONDOWN, MK_LBUTTON},
        {"right press", BackendEvent::MouseDown, 2, 300, 200, 0, WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON},
        {"right press again: no double click", BackendEvent::MouseDown, 2, 300, 200, 10, WM_RBUTTONDOWN,
         MK_LBUTTON | MK_RBUTTON},
        {"move", BackendEvent::MouseMove, 0, 65, 66, 0, WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        platform::Clock::Advance(s.wait);
        g_seen.clear();
        Mouse(s.kind, s.x, s.y, s.button);
        Dispatch();
        ASSERT_EQ(1u, g_seen.size());
        EXPECT_EQ(s.message, g_seen[0].message);
        EXPECT_EQ(s.keys, g_seen[0].wParam);
        EXPECT_EQ(s.x, LOWORD(g_seen[0].lParam));
        EXPECT_EQ(s.y, HIWORD(g_seen[0].lParam));
    }
}

TEST_F(WindowMessages, WheelNotchesArriveAs120And65416AtTheScreenPoint)
{
    struct Case {
        int wheel;
        WORD delta;
    };
    const Case cases[] = {{120, 120}, {-120, 65416}, {240, 240}, {-360, 65176}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.wheel);
        g_seen.clear();
        Mouse(BackendEvent::Wheel, 7, 9, 0, c.wheel);
        Dispatch();
        ASSERT_EQ(1u, g_seen.size());
        EXPECT_EQ(static_cast<UINT>(WM_MOUSEWHEEL), g_seen[0].message);
        EXPECT_EQ(c.delta, HIWORD(g_seen[0].wParam));
        EXPECT_EQ(0, LOWORD(g_seen[0].wParam));
        POINT screen = {7, 9};
        ClientToScreen(m_window, &screen);
        EXPECT_NE(7, screen.x) << "the window does not sit at the screen's corner";
        EXPECT_EQ(screen.x, LOWORD(g_seen[0].lParam));
        EXPECT_EQ(screen.y, HIWORD(g_seen[0].lParam));
    }
}

TEST(Win32Rects, EveryHelperAsWindowsDefinesIt)
{
    struct Case {
        const char* what;
        RECT a, b;
        BOOL intersects;
        RECT intersection;
        BOOL unites;
        RECT unionRect;
        BOOL remains;
        RECT difference;
    };
    const Case cases[] = {
        {"overlap", {0, 0, 10, 10}, {5, 5, 20, 20}, TRUE, {5, 5, 10, 10}, TRUE, {0, 0, 20, 20}, TRUE, {0, 0, 10, 10}},
        {"edges touch", {0, 0, 10, 10}, {10, 0, 20, 10}, FALSE, {0, 0, 0, 0}, TRUE, {0, 0, 20, 10}, TRUE,
         {0, 0, 10, 10}},
        {"b cuts a's whole right side", {0, 0, 10, 10}, {6, -5, 30, 15}, TRUE, {6, 0, 10, 10}, TRUE,
         {0, -5, 30, 15}, TRUE, {0, 0, 6, 10}},
        {"b cuts a's whole top", {0, 0, 10, 10}, {-1, -1, 11, 4}, TRUE, {0, 0, 10, 4}, TRUE, {-1, -1, 11, 10},
         TRUE, {0, 4, 10, 10}},
        {"b inside a: nothing cut", {0, 0, 10, 10}, {2, 2, 4, 4}, TRUE, {2, 2, 4, 4}, TRUE, {0, 0, 10, 10}, TRUE,
         {0, 0, 10, 10}},
        {"an empty b is left out of the union", {0, 0, 10, 10}, {50, 50, 50, 60}, FALSE, {0, 0, 0, 0}, TRUE,
         {0, 0, 10, 10}, TRUE, {0, 0, 10, 10}},
        {"both empty", {3, 3, 3, 3}, {5, 5, 4, 9}, FALSE, {0, 0, 0, 0}, FALSE, {0, 0, 0, 0}, FALSE, {3, 3, 3, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RECT r = {-7, -7, -7, -7};
        EXPECT_EQ(c.intersects, IntersectRect(&r, &c.a, &c.b));
        EXPECT_TRUE(EqualRect(&r, &c.intersection));
        r = RECT{-7, -7, -7, -7};
        EXPECT_EQ(c.unites, UnionRect(&r, &c.a, &c.b));
        EXPECT_TRUE(EqualRect(&r, &c.unionRect));
        r = RECT{-7, -7, -7, -7};
        EXPECT_EQ(c.remains, SubtractRect(&r, &c.a, &c.b));
        if (c.remains) EXPECT_TRUE(EqualRect(&r, &c.difference));
        else EXPECT_TRUE(IsRectEmpty(&r));
    }
    RECT whole = {0, 0, 10, 10}, cover = {-1, -1, 11, 11}, r;
    EXPECT_FALSE(SubtractRect(&r, &whole, &cover));
    EXPECT_TRUE(IsRectEmpty(&r));

    // Points: left and top inside, right and bottom outside.
    const RECT box = {2, 3, 6, 8};
    const std::pair<POINT, BOOL> points[] = {{{2, 3}, TRUE}, {{5, 7}, TRUE}, {{6, 3}, FALSE}, {{2, 8}, FALSE},
                                             {{1, 4}, FALSE}};
    for (const auto& p : points) EXPECT_EQ(p.second, PtInRect(&box, p.first)) << p.first.x << "," << p.first.y;
    RECT grown = box;
    InflateRect(&grown, -1, 2);
    RECT expected = {3, 1, 5, 10};
    EXPECT_TRUE(EqualRect(&grown, &expected));
    OffsetRect(&grown, -3, 4);
    expected = RECT{0, 5, 2, 14};
    EXPECT_TRUE(EqualRect(&grown, &expected));
    RECT flat = {0, 0, 5, 0};
    EXPECT_TRUE(IsRectEmpty(&flat));
    RECT copy;
    EXPECT_TRUE(CopyRect(&copy, &box));
    EXPECT_TRUE(EqualRect(&copy, &box));
    EXPECT_TRUE(SetRectEmpty(&copy));
    EXPECT_TRUE(IsRectEmpty(&copy));
}

TEST(Win32MulDiv, RoundsHalvesAwayFromZeroInSixtyFourBits)
{
    struct Case {
        int number, numerator, denominator, result;
    };
    const Case cases[] = {
        {10, 3, 4, 8},         {-10, 3, 4, -8},       {10, -3, 4, -8},      {10, 3, -4, -8},  {-10, -3, -4, -8},
        {-10, 3, -4, 8},       {7, 1, 3, 2},          {8, 1, 3, 3},         {-7, 1, 3, -2},   {12, 96, 72, 16},
        {INT_MAX, INT_MAX, INT_MAX, INT_MAX},         {0x40000000, 6, 3, -1} /* too large */,
        {INT_MAX, 2, 1, -1},   {INT_MIN, 1, 1, INT_MIN}, {5, 7, 0, -1},     {0, 5, 0, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.result, MulDiv(c.number, c.numerator, c.denominator))
            << c.number << " * " << c.numerator << " / " << c.denominator;
}
