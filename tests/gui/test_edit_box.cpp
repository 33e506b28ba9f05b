// The edit box: keys and characters with the caret, the selection, the
// clipboard and the maximum length; the mouse selection; the fit test.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/FixedFont.h"
#include "ArchiveBytes.h"
#include "RecordingDC.h"
#include "foundation/YClipboard.h"
#include "gui/YEditBox.h"
#include "platform/backend/Backend.h"
#include "platform/win32_window.h"

namespace {

// Records what reaches it from its children.
class Parent : public YWindow {
public:
    void OnKeyDown(int key, int, int) override { m_keys.push_back(key); }
    void OnNotify(int id, int code) override { m_notes.push_back({id, code}); }
    void OnNextDlgCtl(bool forward, YWindow* target) override { m_walks.push_back({forward, target}); }
    std::vector<int> m_keys;
    std::vector<std::pair<int, int>> m_notes;
    std::vector<std::pair<bool, YWindow*>> m_walks;
};

// Holds the Ctrl key down through the program window's keyboard state.
class CtrlHeld {
public:
    CtrlHeld()
    {
        platform::ResetWindows();
        WNDCLASSA windowClass;
        memset(&windowClass, 0, sizeof windowClass);
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "EditBoxKeys";
        RegisterClassA(&windowClass);
        m_window = CreateWindowExA(0, "EditBoxKeys", "RC Volaro", WS_OVERLAPPED, 0, 0, 640, 480, nullptr, nullptr,
                                   nullptr, nullptr);
        ShowWindow(m_window, SW_SHOWNORMAL);
        Send(platform::BackendEvent::KeyDown);
        EXPECT_NE(GetAsyncKeyState(VK_CONTROL), 0);
    }
    ~CtrlHeld()
    {
        Send(platform::BackendEvent::KeyUp);
        DestroyWindow(m_window);
        platform::ResetWindows();
    }

private:
    HWND m_window = nullptr;
    static void Send(platform::BackendEvent::Kind kind)
    {
        platform::BackendEvent e;
        e.kind = kind;
        e.key = VK_CONTROL;
        e.scanCode = 0x1D;
        platform::Backend::Get().PushEvent(e);
        platform::PumpBackendEvents();
        MSG message;
        // Painting belongs to the program window itself.
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            if (message.message == WM_PAINT) DispatchMessageA(&message);
    }
};

std::string Text(YEditBox& box)
{
    CString text;
    box.GetName(text);
    return (const char*)text;
}

std::string Clipboard()
{
    YClipboard clipboard;
    CString text;
    return clipboard.GetText(text) ? std::string((const char*)text) : std::string("<none>");
}

const int kCtrlC = 3, kCtrlV = 22, kCtrlX = 24;

}  // namespace

TEST(EditBoxKeys, EditTheTextCaretSelectionAndClipboard)
{
    struct Case {
        const char* name;
        const char* text;
        int caret, selStart, selEnd, maxLength;
        const char* clipboardBefore;
        bool ctrl;
        int key, ch;  // one of them
        const char* after;
        int caretAfter, selStartAfter, selEndAfter;
        const char* clipboardAfter;
    };
    const Case cases[] = {
        {"backspace removes the selection", "abcdef", 5, 1, 4, 100, "", false, VK_BACK, 0, "aef", 1, 1, 1, ""},
        {"dragged right to left: same characters", "abcdef", 1, 4, 1, 100, "", false, VK_BACK, 0, "aef", 1, 1, 1, ""},
        {"delete is backspace", "abcdef", 5, 4, 1, 100, "", false, VK_DELETE, 0, "aef", 1, 1, 1, ""},
        {"backspace without selection", "abc", 3, 2, 2, 100, "", false, VK_BACK, 0, "ab", 2, 2, 2, ""},
        {"home leaves the selection", "abc", 2, 0, 2, 100, "", false, VK_HOME, 0, "abc", 0, 0, 2, ""},
        {"typing keeps the selection", "abcd", 1, 2, 4, 100, "", false, 0, 'x', "axbcd", 2, 2, 4, ""},
        {"typing at the maximum", "abc", 3, 0, 0, 3, "", false, 0, 'x', "abc", 3, 0, 0, ""},
        {"control without Ctrl held", "abc", 1, 0, 0, 100, "zz", false, 0, kCtrlV, "abc", 1, 0, 0, "zz"},
        {"copy", "abc", 1, 0, 0, 100, "zz", true, 0, kCtrlC, "abc", 1, 0, 0, "abc"},
        {"cut", "abc", 2, 0, 3, 100, "zz", true, 0, kCtrlX, "", 0, 0, 0, "abc"},
        {"paste replaces the text", "abc", 1, 0, 2, 100, "hello", true, 0, kCtrlV, "hello", 5, 0, 0, "hello"},
        {"paste is cut to the maximum", "", 0, 0, 0, 4, "abcdefgh", true, 0, kCtrlV, "abcd", 4, 0, 0, "abcdefgh"},
        {"paste drops what cannot be typed", "", 0, 0, 0, 100, "a\tb\nc\x01", true, 0, kCtrlV, "abc", 3, 0, 0,
         "a\tb\nc\x01"},
        {"Ctrl with a printable character types it", "ab", 2, 0, 0, 100, "zz", true, 0, 'c', "abc", 3, 0, 0, "zz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        YClipboard().SetText(c.clipboardBefore);
        Parent parent;
        YEditBox* box = new YEditBox;
        RECT rect = {0, 0, 500, 20};
        box->Create(0, &rect, &parent, 6);
        box->SetMaxLength(c.maxLength);
        box->SetName(c.text);
        box->SetCaret(c.caret);
        box->SetSelection(c.selStart, c.selEnd);
        {
            std::unique_ptr<CtrlHeld> ctrl(c.ctrl ? new CtrlHeld : nullptr);
            if (c.key) box->OnKeyDown(c.key, 1, 0);
            else box->OnChar(c.ch, 1, 0);
        }
        EXPECT_EQ(Text(*box), c.after);
        EXPECT_EQ(box->GetCaret(), c.caretAfter);
        EXPECT_EQ(box->GetSelectionStart(), c.selStartAfter);
        EXPECT_EQ(box->GetSelectionEnd(), c.selEndAfter);
        EXPECT_EQ(Clipboard(), c.clipboardAfter);
        // Every key and character, handled or not, tells the parent.
        ASSERT_EQ(parent.m_notes.size(), 1u);
        EXPECT_EQ(parent.m_notes[0], std::make_pair(6, static_cast<int>(YEditBox::kNotifyChanged)));
        EXPECT_EQ(parent.m_keys, c.key ? std::vector<int>{c.key} : std::vector<int>{});
    }
}

TEST(EditBoxKeys, ASelectionPastAShorterTextIsNeverUsed)
{
    // A selection made on a long text, then the text replaced by a short one:
    // Backspace removes only what is there, and drawing measures no further.
    YEditBox box;
    RECT rect = {0, 0, 500, 20};
    box.MoveTo(&rect);
    box.SetName("abcdefghij");
    box.SetSelection(3, 9);
    box.SetName("ab");
    EXPECT_EQ(box.GetSelectionStart(), box.GetSelectionEnd());
    box.SetCaret(2);
    box.OnKeyDown(VK_BACK, 1, 0);
    EXPECT_EQ(Text(box), "a");
    RecordingDC dc;
    box.Draw(&dc);
    EXPECT_TRUE(dc.m_inverted.empty());
}

TEST(EditBoxKeys, TabWalksTheFocusOnlyFromATabStop)
{
    for (int style : {0, static_cast<int>(YWindow::kTabStopStyle)}) {
        Parent parent;
        YEditBox* box = new YEditBox;
        RECT rect = {0, 0, 100, 20};
        box->Create(style, &rect, &parent, 1);
        box->OnKeyDown(VK_TAB, 1, 0);
        // Backwards through the parent's children.
        const std::vector<std::pair<bool, YWindow*>> walk = {{false, nullptr}};
        EXPECT_EQ(parent.m_walks, (style ? walk : std::vector<std::pair<bool, YWindow*>>{})) << style;
        EXPECT_EQ(parent.m_keys, std::vector<int>{VK_TAB});
    }
}

TEST(EditBoxFit, ACharacterThatWouldOverflowTheBoxIsUndone)
{
    struct Case {
        int width, height, charWidth, charHeight;
        const char* text;
        const char* after;
    };
    const Case cases[] = {
        {30, 12, 6, 10, "abcd", "abcdx"},   // 30 wide: five characters fit
        {30, 12, 6, 10, "abcde", "abcde"},  // the sixth does not
        {60, 10, 6, 11, "ab", "abx"},       // one pixel higher than the box still fits
        {60, 10, 6, 12, "ab", "ab"},        // two do not
    };
    for (const Case& c : cases) {
        Parent parent;
        FixedFont font(c.charWidth, c.charHeight);
        YEditBox* box = new YEditBox;
        RECT rect = {0, 0, c.width, c.height};
        box->Create(0, &rect, &parent, 0);
        box->SetFont(&font);
        box->SetName(c.text);
        box->SetCaret(static_cast<int>(std::strlen(c.text)));
        box->OnChar('x', 1, 0);
        EXPECT_EQ(Text(*box), c.after) << c.width << "x" << c.height << " " << c.text;
        EXPECT_EQ(box->GetCaret(), static_cast<int>(std::strlen(c.after)));
        EXPECT_EQ(parent.m_notes.size(), 1u);
    }
}

TEST(EditBoxFit, WithoutAFontOfItsOwnTheBoxMeasuresWithTheFontItWasDrawnWithAfterTheContextIsGone)
{
    // The console's modal loop draws the menu's boxes into a context it then
    // deletes; a texture layer's context lives on the stack.  The next
    // character used to measure with the freed context.
    struct Case {
        int width;
        const char* text;
        const char* after;
    };
    const Case cases[] = {
        {30, "abcd", "abcdx"},
        {30, "abcde", "abcde"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Parent parent;
        FixedFont font(6, 10);
        YEditBox* box = new YEditBox;
        RECT rect = {0, 0, c.width, 12};
        box->Create(0, &rect, &parent, 0);
        box->SetName(c.text);
        box->SetCaret(static_cast<int>(std::strlen(c.text)));
        {
            auto context = std::make_unique<RecordingDC>();
            context->SwapFont(&font);
            box->Draw(context.get());
        }
        EXPECT_EQ(nullptr, box->GetLastDC());
        box->OnChar('x', 1, 0);
        EXPECT_EQ(Text(*box), c.after);
    }
    // Drawn without any font, nothing measures: every character is taken.
    Parent parent;
    YEditBox* box = new YEditBox;
    RECT rect = {0, 0, 12, 12};
    box->Create(0, &rect, &parent, 0);
    {
        RecordingDC context;
        box->Draw(&context);
    }
    for (char ch : std::string("abcdef")) box->OnChar(ch, 1, 0);
    EXPECT_EQ(Text(*box), "abcdef");
}

TEST(EditBoxMouse, PressDragAndReleaseSelectCharactersUnderThePoint)
{
    // Without a font, characters are 6 pixels wide and the left 4 pixels are
    // before the first; with one, the character under the point.
    struct Case {
        bool font;
        int down, move, up;
        int start, end;
    };
    const Case cases[] = {
        {false, 4, 4, 4, 0, 0},    {false, 5, 5, 5, 0, 0},   {false, 13, 31, 31, 2, 5},
        {false, 31, 13, 13, 5, 2}, {false, 13, 400, 400, 2, 8}, {true, 12, 23, 23, 1, 2},
        {true, 0, 95, 95, 0, 8},
    };
    for (const Case& c : cases) {
        Parent parent;
        FixedFont font(10, 10);
        YEditBox* box = new YEditBox;
        RECT rect = {100, 50, 400, 70};
        box->Create(0, &rect, &parent, 3);
        if (c.font) box->SetFont(&font);
        box->SetName("abcdefgh");
        const int top = 150 + 5;
        box->OnLButtonDown(0, 100 + c.down, top - 100);
        EXPECT_EQ(YWindow::GetCaptureWindow(), box);
        box->OnMouseMove(0, 100 + c.move, top - 100);
        box->OnLButtonUp(0, 100 + c.up, top - 100);
        EXPECT_EQ(YWindow::GetCaptureWindow(), nullptr);
        EXPECT_EQ(box->GetSelectionStart(), c.start) << c.font << " " << c.down << " " << c.up;
        EXPECT_EQ(box->GetSelectionEnd(), c.end) << c.font << " " << c.down << " " << c.up;
        EXPECT_EQ(box->GetCaret(), c.end);
        // A press tells the parent; the release sends no click.
        EXPECT_EQ(parent.m_notes, (std::vector<std::pair<int, int>>{{3, YEditBox::kNotifyPressed}}));
    }
    // A read-only box takes no press.
    Parent parent;
    YEditBox* box = new YEditBox;
    RECT rect = {0, 0, 100, 20};
    box->Create(YEditBox::kReadOnlyStyle, &rect, &parent, 3);
    box->OnLButtonDown(0, 50, 5);
    EXPECT_EQ(YWindow::GetCaptureWindow(), nullptr);
    EXPECT_TRUE(parent.m_notes.empty());
}

TEST(EditBoxDraw, TheSelectionIsInvertedBetweenItsEnds)
{
    YEditBox box;
    RECT rect = {10, 20, 210, 40};
    box.MoveTo(&rect);
    box.SetLabelOffset(0, 2);
    box.SetName("abcdefgh");
    box.SetSelection(6, 2);
    RecordingDC dc(12);
    box.Draw(&dc);
    ASSERT_EQ(dc.m_inverted.size(), 1u);
    EXPECT_TRUE(SameRect(dc.m_inverted[0], RECT{10 + 12, 22, 10 + 36, 38}));
    // Clipped to the box.
    RECT narrow = {10, 20, 30, 40};
    box.MoveTo(&narrow);
    RecordingDC clipped(12);
    box.Draw(&clipped);
    ASSERT_EQ(clipped.m_inverted.size(), 1u);
    EXPECT_TRUE(SameRect(clipped.m_inverted[0], RECT{22, 22, 30, 38}));
}

TEST(EditBoxDraw, TheStyleGivesTheTextFormatAndAReadOnlyBoxShowsAmpersands)
{
    // The read-only bit is DT_NOPREFIX: "&" stays "&" instead of underlining.
    struct Case {
        int style;
        UINT format;
    } cases[] = {
        {YEditBox::kReadOnlyStyle, DT_NOPREFIX},
        {YEditBox::kReadOnlyStyle | DT_CENTER, DT_NOPREFIX | DT_CENTER},
        {0, 0},
        {YEditBox::kWordWrapStyle, DT_WORDBREAK},
        {YEditBox::kWordWrapStyle | YEditBox::kReadOnlyStyle, DT_WORDBREAK | DT_NOPREFIX},
        {DT_RIGHT | YWindow::kTabStopStyle, DT_RIGHT},
    };
    for (const Case& c : cases) {
        YEditBox box;
        RECT rect = {0, 0, 200, 20};
        box.Create(c.style, &rect, nullptr, 1);
        box.SetName("Fish & Chips");
        RecordingDC dc(12);
        box.Draw(&dc);
        ASSERT_EQ(1u, dc.m_drawn.size()) << c.style;
        EXPECT_EQ(c.format, dc.m_drawn[0].format) << c.style;
        EXPECT_EQ("Fish & Chips", dc.m_drawn[0].text);
    }
}

TEST(EditBoxDraw, TheCaretFlashesAndShowsAtOnceAfterAKey)
{
    platform::Clock::SetManual(true);
    YEditBox box;
    RECT rect = {0, 0, 200, 20};
    box.MoveTo(&rect);
    box.SetFocus();
    const DWORD blink = GetCaretBlinkTime();
    std::vector<size_t> shown;
    for (int i = 0; i < 4; ++i) {
        platform::Clock::Advance(blink + 1);
        RecordingDC dc;
        box.Draw(&dc);
        shown.push_back(dc.m_framed.size());
    }
    EXPECT_EQ(shown, (std::vector<size_t>{1, 0, 1, 0}));
    platform::Clock::Advance(blink + 1);
    box.OnKeyDown(VK_LEFT, 1, 0);
    RecordingDC dc;
    box.Draw(&dc);
    EXPECT_EQ(dc.m_framed.size(), 1u);
    platform::Clock::SetManual(false);
}

TEST(EditBoxArchive, TheLabelAndItsOffsetRoundTrip)
{
    YEditBox box;
    RECT rect = {1, 2, 300, 40};
    box.Create(0, &rect, nullptr, 9);
    box.SetLabel("Name:");
    box.SetLabelOffset(3, -4);
    box.SetName("pilot");
    CObject* object = RoundTrip(&box);
    std::unique_ptr<CObject> owned(object);
    YEditBox* copy = dynamic_cast<YEditBox*>(object);
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->GetLabel(), "Name:");
    EXPECT_EQ(copy->GetLabelX(), 3);
    EXPECT_EQ(copy->GetLabelY(), -4);
    EXPECT_EQ(Text(*copy), "pilot");
}
