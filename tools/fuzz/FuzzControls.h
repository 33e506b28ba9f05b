// What the window fuzz targets share: every window of a tree read from an
// archive is drawn into a context that measures text, clicked, dragged,
// typed into and scrolled, with the calls of its own kind (edit box, list
// box, list control, combo box, slider, scroll bar, text control, button,
// animation), so that hostile rectangles and numbers reach the arithmetic.
#pragma once

#include <algorithm>
#include <cstdint>

#include "gui/YAnimation.h"
#include "gui/YButton.h"
#include "gui/YComboBox.h"
#include "gui/YDC.h"
#include "gui/YEditBox.h"
#include "gui/YListBox.h"
#include "gui/YListCtrl.h"
#include "gui/YScrollBar.h"
#include "gui/YSlider.h"
#include "gui/YTextCtrl.h"

namespace fuzz {

// Text is 6 pixels a character and 10 high; nothing is drawn.
class MeasuringDC : public YDC {
public:
    int GetTextExtent(const CString& text, SIZE* out) override
    {
        *out = SIZE{6 * text.GetLength(), 10};
        return 1;
    }
    int DrawText(const CString& text, RECT* rect, UINT format) override
    {
        if ((format & DT_CALCRECT) && rect) {
            rect->right = static_cast<LONG>(std::min<long long>(rect->left + 6LL * text.GetLength(), INT32_MAX));
            rect->bottom = static_cast<LONG>(std::min<long long>(rect->top + 10LL, INT32_MAX));
        }
        return 10;
    }
};

// Numbers the input gives: a point and two more words for sizes, indexes
// and offsets.
struct Numbers {
    int32_t x, y, a, b;
};

inline void ExerciseOwnKind(YWindow* window, const Numbers& n, MeasuringDC& dc)
{
    const int x = n.x, y = n.y, a = n.a, b = n.b;
    if (auto* slider = dynamic_cast<YSlider*>(window)) {
        slider->ValueToX(x);
        slider->XToValue(y);
        slider->SetValue(a);
        slider->ThumbRect();
    }
    if (auto* bar = dynamic_cast<YScrollBar*>(window)) {
        RECT r;
        for (int part = 0; part < 5; ++part) bar->GetPartRect(part, &r);
        bar->PartFromPoint(x, y);
        bar->SetPos(a, 0);
        bar->OnLButtonDown(0, x, y);
        bar->OnMouseMove(0, y, x);
        bar->Draw(&dc);
        bar->OnLButtonUp(0, x, y);
    }
    if (auto* button = dynamic_cast<YButton*>(window)) {
        button->SetCheck(true);
        button->DrawCaption(&dc);
        button->UncheckGroup();
    }
    if (auto* animation = dynamic_cast<YAnimation*>(window)) animation->Reset();
    if (auto* text = dynamic_cast<YTextCtrl*>(window)) {
        text->SetFirstLine(a);
        text->Draw(&dc);
    }
    if (auto* edit = dynamic_cast<YEditBox*>(window)) {
        edit->SetLabel("> ");
        edit->SetLabelOffset(a, b);
        edit->SetMaxLength(b);
        edit->PointToIndex(x, y);
        edit->IndexToPoint(a, &dc);
        edit->SetSelection(a, b);
        edit->SetCaret(a);
        edit->SetFocus();
        edit->ShowCaret(true);
        edit->Draw(&dc);
        for (int ch : {'W', '&', ' ', 'i'}) edit->OnChar(ch, 1, 0);
        for (int key : {VK_LEFT, VK_BACK, VK_HOME, VK_RIGHT, VK_DELETE, VK_END}) edit->OnKeyDown(key, 1, 0);
        edit->SetWordWrap(true);
        edit->OnChar('m', 1, 0);
        edit->Draw(&dc);
    }
    if (auto* list = dynamic_cast<YListBox*>(window)) {
        list->AddString("row");
        list->InsertString(a, "inserted");
        list->SetTopIndex(a);
        list->SetCurSel(b);
        list->SetTextInset(b);
        int overflow = 0;
        list->GetVisibleRowCount(&overflow, &dc);
        list->Draw(&dc);
        list->RowFromPoint(x, y);
        list->DeleteString(a);
        list->Draw(&dc);
    }
    if (auto* table = dynamic_cast<YListCtrl*>(window)) {
        table->SetColumnWidth(0, a);
        table->SetColumnGap(b);
        table->SetRowGap(a);
        table->SetRowHeight(b);
        table->SetLeftMargin(a);
        table->SetTopMargin(b);
        table->SetRightMargin(b);
        table->SetBottomMargin(a);
        table->SetTopRow(a);
        table->SetSelection(b);
        table->Draw(&dc);
        table->OnLButtonDown(0, x, y);
        table->OnRButtonDown(0, x, y);
        table->SetShowHeader(false);
        table->Draw(&dc);
        table->OnLButtonDown(0, x, y);
    }
    if (auto* combo = dynamic_cast<YComboBox*>(window)) {
        combo->AddString("one");
        combo->AddString("two");
        combo->SetListHeight(a);
        combo->SetFocus();
        combo->SetDropped(true);
        combo->OnMouseMove(0, x, y);
        combo->SelectItem(b);
        combo->Draw(&dc);
        combo->OnLButtonDown(0, x, y);
        combo->OnLButtonUp(0, x, y);
        combo->OnChar('c', 1, 0);
        combo->OnKeyDown(VK_BACK, 1, 0);
        RECT moved;
        combo->GetRect(&moved);
        OffsetRect(&moved, a, b);
        combo->MoveTo(&moved);
        combo->Draw(&dc);
        combo->SetDropped(false);
    }
}

// The window and its descendants (down to a depth), the mouse and keys
// going through the window's own message routing too.  The context outlives
// the windows' use of it (a window keeps the last one it was drawn into).
inline void ExerciseWindow(YWindow* window, const Numbers& n, MeasuringDC& dc, int depth = 0)
{
    const int x = n.x, y = n.y;
    const LPARAM point = MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
    window->SetHover();
    window->Draw(&dc);
    window->DrawOverlay(&dc);
    window->HandleMessage(WM_LBUTTONDOWN, 0, point);
    window->HandleMessage(WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<WORD>(n.a), static_cast<WORD>(n.b)));
    window->HandleMessage(WM_KEYDOWN, VK_RIGHT, 1);
    window->HandleMessage(WM_CHAR, 'x', 1);
    window->HandleMessage(WM_LBUTTONUP, 0, point);
    window->HandleMessage(WM_RBUTTONDOWN, 0, point);
    window->HandleMessage(WM_RBUTTONUP, 0, point);
    window->HandleMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, 65416), point);
    window->OnLButtonDown(0, x, y);
    window->OnMouseMove(0, x & 0xFFFF, y & 0xFFFF);
    window->Draw(&dc);
    window->OnLButtonUp(0, y, x);
    window->OnLButtonDblClk(0, y, x);
    window->OnLButtonUp(0, x, y);
    window->ChildFromPoint(x, y, 0);
    ExerciseOwnKind(window, n, dc);
    YWindow::SetCaptureWindow(nullptr);
    if (depth < 8)
        for (int i = 0; i < window->GetChildCount(); ++i) ExerciseWindow(window->GetChild(i), n, dc, depth + 1);
    if (depth == 0) {
        // A tree moved by the two words, then drawn again.
        RECT moved;
        window->GetRect(&moved);
        OffsetRect(&moved, n.a, n.b);
        window->MoveTo(&moved);
        window->Draw(&dc);
        YWindow::SetCaptureWindow(nullptr);
    }
}

}  // namespace fuzz
