// Controls read from archives whose rectangles and numbers reach the ends of
// the 32-bit range, as the window fuzzers made them: drawn, clicked, dropped
// down and moved, they keep to their rectangles without overflowing.
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>

#include "ArchiveBytes.h"
#include "RecordingDC.h"
#include "gui/YComboBox.h"
#include "gui/YEditBox.h"
#include "gui/YListBox.h"
#include "gui/YListCtrl.h"

namespace {

struct Hostile {
    const char* name;
    RECT rect;
};

const Hostile kRects[] = {
    {"the whole plane", {INT_MIN, INT_MIN, INT_MAX, INT_MAX}},
    {"at the far corner", {INT_MAX - 30, INT_MAX - 35, INT_MAX, INT_MAX}},
    {"at the near corner", {INT_MIN, INT_MIN, INT_MIN + 40, INT_MIN + 25}},
    {"upside down", {100, 100, -100, -100}},
};

long long Height(const RECT& r) { return static_cast<long long>(r.bottom) - r.top; }

// A control made at the rectangle, prepared, stored and read back as its
// archive brings it.
template <class Control>
std::unique_ptr<Control> Archived(const RECT& rect, int style, void (*prepare)(Control&) = nullptr)
{
    Control made;
    made.Create(style, &rect, nullptr, 1);
    if (prepare) prepare(made);
    std::unique_ptr<CObject> read(RoundTrip(&made));
    Control* control = dynamic_cast<Control*>(read.get());
    if (control) read.release();
    return std::unique_ptr<Control>(control);
}

}  // namespace

TEST(HostileControls, AListBoxDrawsAndHitsOnlyWholeRowsInsideItself)
{
    for (const Hostile& h : kRects) {
        SCOPED_TRACE(h.name);
        std::unique_ptr<YListBox> list = Archived<YListBox>(h.rect, 0);
        ASSERT_TRUE(list);
        for (const char* text : {"a", "b", "c", "d", "e"}) list->AddString(text);
        list->SetTextInset(INT_MAX);
        RecordingDC dc(10);
        list->Draw(&dc);
        const long long fit = Height(h.rect) > 0 ? Height(h.rect) / 10 : 0;
        ASSERT_EQ(static_cast<size_t>(fit < 5 ? fit : 5), dc.m_texts.size());
        for (size_t i = 0; i < dc.m_texts.size(); ++i) {
            EXPECT_EQ(h.rect.top + 10LL * static_cast<long long>(i), dc.m_texts[i].rect.top) << i;
            EXPECT_LE(dc.m_texts[i].rect.top + 10LL, h.rect.bottom) << i;
        }
        int overflow = -1;
        EXPECT_GE(list->GetVisibleRowCount(&overflow, &dc), 0);
        EXPECT_GE(overflow, 0);
        list->OnLButtonDown(0, h.rect.left, h.rect.top);
        EXPECT_EQ(dc.m_texts.empty() ? -1 : 0, list->GetCurSel());
        list->OnLButtonDown(0, h.rect.left, h.rect.bottom - 1);
        EXPECT_EQ(fit > 0 && fit <= 5 && Height(h.rect) % 10 == 0 ? static_cast<int>(fit) - 1 : -1, list->GetCurSel());
    }
}

TEST(HostileControls, AListControlKeepsItsRowsInsideItsMargins)
{
    for (const Hostile& h : kRects) {
        for (int margin : {0, INT_MAX, INT_MIN}) {
            SCOPED_TRACE(std::string(h.name) + " margin " + std::to_string(margin));
            std::unique_ptr<YListCtrl> table = Archived<YListCtrl>(h.rect, 0, [](YListCtrl& made) {
                made.SetColumnCount(2);
                CStringArray cells;
                cells.Add("Ann");
                cells.Add("12");
                for (int row = 0; row < 3; ++row) made.AddRow(cells);
            });
            ASSERT_TRUE(table);
            table->SetColumnWidth(0, 0x7FFF);
            table->SetColumnGap(INT_MAX);
            table->SetTopMargin(margin);
            table->SetBottomMargin(margin);
            table->SetLeftMargin(margin);
            table->SetRowHeight(10);
            RecordingDC dc(10);
            table->Draw(&dc);
            // The area: the window inset by the margins, within 32 bits.
            const long long top = std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, 1LL * h.rect.top + margin));
            const long long bottom =
                std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, 1LL * h.rect.bottom - margin));
            for (const RecordingDC::Text& t : dc.m_drawn) {
                if (t.text.empty()) continue;  // the headers: always drawn
                EXPECT_GE(t.rect.top, top) << t.text;
                EXPECT_LE(t.rect.bottom, bottom) << t.text;
                EXPECT_LE(t.rect.left, t.rect.right) << t.text;
            }
            // A press on the middle of a drawn row selects it, and only then.
            int selected = -1, y = 0;
            for (const RecordingDC::Text& t : dc.m_drawn)
                if (t.text == "Ann" && selected < 0) {
                    selected = 0;
                    y = static_cast<int>((1LL * t.rect.top + t.rect.bottom) / 2);
                }
            if (selected < 0) y = h.rect.top;
            table->OnLButtonDown(0, h.rect.left, y);
            EXPECT_EQ(selected, table->GetSelection());
        }
    }
}

TEST(HostileControls, AComboBoxOpensBelowItsEditBoxAndMovesWithinTheRange)
{
    for (const Hostile& h : kRects) {
        SCOPED_TRACE(h.name);
        std::unique_ptr<YComboBox> combo = Archived<YComboBox>(h.rect, 1);
        ASSERT_TRUE(combo);
        combo->AddString("red");
        combo->SetListHeight(INT_MAX);
        combo->SetFocus();
        combo->SetDropped(true);
        RECT edit, list, whole;
        combo->GetChild(0)->GetRect(&edit);
        combo->GetChild(1)->GetRect(&list);
        combo->GetRect(&whole);
        EXPECT_EQ(edit.bottom, list.top);
        EXPECT_GE(1LL * list.bottom, 1LL * list.top);
        // The open combo covers its list as far as 32 bits go.
        EXPECT_EQ(std::min<long long>(INT_MAX, 1LL * h.rect.bottom + Height(list)), whole.bottom);
        combo->OnMouseMove(0, list.left, list.bottom - 1);
        RecordingDC dc(10);
        combo->Draw(&dc);
        const RECT far = {INT_MAX - 5, INT_MAX - 5, INT_MAX, INT_MAX};
        combo->MoveTo(&far);
        combo->GetChild(0)->GetRect(&edit);
        combo->GetChild(1)->GetRect(&list);
        EXPECT_EQ(edit.bottom, list.top);
        EXPECT_EQ(INT_MAX, list.bottom);
        combo->SetDropped(false);
        combo->GetRect(&whole);
        EXPECT_LE(1LL * whole.top, 1LL * whole.bottom + Height(list));
    }
}

TEST(HostileControls, AnEditBoxPlacesItsCaretAndLabelWithinTheRange)
{
    for (const Hostile& h : kRects) {
        SCOPED_TRACE(h.name);
        std::unique_ptr<YEditBox> box = Archived<YEditBox>(h.rect, 0, [](YEditBox& made) { made.SetLabel(">"); });
        ASSERT_TRUE(box);
        box->SetName("wide");
        box->SetLabelOffset(INT_MAX, INT_MIN);
        box->SetSelection(0, 4);
        box->SetFocus();
        box->ShowCaret(true);
        RecordingDC dc(10);
        box->Draw(&dc);
        ASSERT_EQ(1u, dc.m_drawn.size());
        // The text starts after the label, one pixel on, as far as 32 bits go.
        EXPECT_EQ(std::min<long long>(INT_MAX, h.rect.left + 6LL + 1), dc.m_drawn[0].rect.left);
        const POINT end = box->IndexToPoint(4, &dc);
        EXPECT_GE(1LL * end.x, 1LL * h.rect.left);
        // Without a font a character is 6 pixels wide.
        const long long dx = INT_MAX - 1LL * h.rect.left;
        EXPECT_EQ(dx < 5 ? 0 : dx / 6, box->PointToIndex(INT_MAX, h.rect.top));
        EXPECT_EQ(0, box->PointToIndex(INT_MIN, INT_MIN));
    }
}
