// The list box (rows, selection, hit test, clicks) and the list control
// (columns, rows, hit test, drawing, notifications, archive form).
#include <gtest/gtest.h>

#include "ArchiveBytes.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "RecordingDC.h"
#include "gui/YColumn.h"
#include "gui/YComboBox.h"
#include "gui/YListBox.h"
#include "gui/YListCtrl.h"

namespace {

class NoteLog : public YWindow {
public:
    void OnNotify(int id, int code) override { m_notes.push_back({id, code}); }
    std::vector<std::pair<int, int>> m_notes;
};

typedef std::vector<std::pair<int, int>> Notes;

CStringArray& Cells(CStringArray& cells, std::initializer_list<const char*> texts)
{
    cells.RemoveAll();
    for (const char* text : texts) cells.Add(text);
    return cells;
}

}  // namespace

TEST(ListBoxClicks, PressesSelectTheRowUnderThePointAndReleasesNotify)
{
    // Rows of 10 from y = 20, the second row on top: rows 1 to 4 at 20..60;
    // the window goes on to 80.  Points outside the window reach no row.
    struct Case {
        int y;
        int selected;
        bool inside;
    };
    const Case cases[] = {{20, 1, true}, {29, 1, true}, {30, 2, true},   {49, 3, true},   {50, 4, true},
                          {59, 4, true}, {60, -1, true}, {79, -1, true}, {19, 2, false}, {80, 2, false}};
    for (const Case& c : cases) {
        NoteLog parent;
        YListBox* list = new YListBox;
        RECT rect = {10, 20, 110, 80};
        list->Create(0, &rect, &parent, 8);
        for (const char* text : {"zero", "one", "two", "three", "four"}) list->AddString(text);
        list->SetTopIndex(1);
        RecordingDC dc(10);
        list->Draw(&dc);  // measures the rows
        list->SetCurSel(2);
        parent.HandleMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(50, c.y));
        parent.HandleMessage(WM_LBUTTONUP, 0, MAKELPARAM(50, c.y));
        EXPECT_EQ(list->GetCurSel(), c.selected) << c.y;
        EXPECT_EQ(parent.m_notes, (c.inside ? Notes{{8, YWindow::kNotifyClicked}} : Notes{})) << c.y;
    }
}

TEST(ListBoxRows, RemovalsAndResetsNeverLeaveASelectionPastTheRows)
{
    struct Case {
        int selected;
        int removed;  // -1: ResetContent
        int after;
    };
    const Case cases[] = {{2, 2, -1}, {2, 0, 1}, {2, 3, 2}, {3, 3, -1}, {3, -1, -1}, {-1, 0, -1}};
    for (const Case& c : cases) {
        YListBox list;
        for (const char* text : {"a", "b", "c", "d"}) list.AddString(text);
        list.SetCurSel(c.selected);
        const CString before = list.GetText(c.selected);
        if (c.removed < 0) list.ResetContent();
        else list.DeleteString(c.removed);
        EXPECT_EQ(list.GetCurSel(), c.after) << c.selected << " " << c.removed;
        if (c.after >= 0) {
            EXPECT_STREQ(list.GetText(c.after), before);
        }
        EXPECT_LT(list.GetCurSel(), list.GetCount());
    }
}

TEST(ListBoxClicks, OnlyTheRowsDrawnAreHit)
{
    // Rows of 10 from y = 20 in a window that ends at 45: two whole rows are
    // drawn, the third is cut by the bottom edge and is neither drawn nor hit.
    for (int bottom : {45, 40, 39, 20, 5}) {
        NoteLog parent;
        YListBox* list = new YListBox;
        RECT rect = {10, 20, 110, bottom};
        list->Create(0, &rect, &parent, 8);
        for (const char* text : {"zero", "one", "two", "three", "four"}) list->AddString(text);
        list->SetTopIndex(1);
        RecordingDC dc(10);
        list->Draw(&dc);
        for (int y = 20; y < bottom; ++y) {
            list->SetCurSel(-1);
            parent.HandleMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(50, y));
            const int hit = list->GetCurSel();
            std::string drawn = "none";
            for (const RecordingDC::Text& t : dc.m_texts)
                if (t.rect.top <= y && y < t.rect.top + 10) drawn = t.text;
            EXPECT_EQ(drawn, hit < 0 ? std::string("none") : std::string(list->GetText(hit))) << bottom << " " << y;
        }
    }
}

TEST(ListBoxRows, RemovalsKeepTheTopRowOnARowThatIsThere)
{
    struct Case {
        int top, removed;
        const char* shown;  // the rows drawn after the removal
    };
    const Case cases[] = {
        {3, 3, "c"},  // the last row was on top: the one before it takes its place
        {3, 0, "d"},    // a row above the top goes: the same row stays on top
        {2, 0, "c d"}, {1, 3, "b c"}, {0, 0, "b c"}, {2, 2, "d"},
    };
    for (const Case& c : cases) {
        YListBox list;
        RECT rect = {0, 0, 100, 20};
        list.Create(0, &rect, nullptr, 1);
        for (const char* text : {"a", "b", "c", "d"}) list.AddString(text);
        list.SetTopIndex(c.top);
        list.DeleteString(c.removed);
        RecordingDC dc(10);
        list.Draw(&dc);
        std::string shown;
        for (const RecordingDC::Text& t : dc.m_texts) shown += (shown.empty() ? "" : " ") + t.text;
        EXPECT_EQ(c.shown, shown) << c.top << " " << c.removed;
    }
    // The last row of all goes: an empty list, the top back at 0.
    YListBox one;
    one.AddString("x");
    one.DeleteString(0);
    EXPECT_EQ(0, one.GetTopIndex());
}

TEST(ListCtrlRows, HitTestUsesWholeRowsBetweenTheirEdges)
{
    // Window 0..100 high, margins 5 top, 10 bottom: the area ends at 90.
    // With the header (20 high at 5..25) rows start at 26 and are 20 high
    // with a gap of 1: 26..46, 47..67, 68..88; 89..109 is cut and never hit.
    struct Case {
        bool header;
        int topRow, y, row;
    };
    const Case cases[] = {
        {true, 0, 27, 0},  {true, 0, 26, -1}, {true, 0, 46, -1}, {true, 0, 45, 0}, {true, 0, 50, 1},
        {true, 0, 80, 2},  {true, 0, 95, -1}, {true, 0, 15, -1}, {true, 2, 30, 2}, {true, 2, 50, 3},
        {false, 0, 10, 0}, {false, 0, 87, 3}, {false, 0, 88, -1}, {true, 5, 30, -1},
    };
    for (const Case& c : cases) {
        YListCtrl table;
        RECT rect = {0, 0, 200, 100};
        table.MoveTo(&rect);
        table.SetTopMargin(5);
        table.SetBottomMargin(10);
        table.SetShowHeader(c.header);
        table.SetTopRow(c.topRow);
        table.SetColumnCount(1);
        CStringArray cells;
        for (const char* text : {"a", "b", "c", "d", "e"}) table.AddRow(Cells(cells, {text}));
        EXPECT_EQ(table.RowFromPoint(c.y), c.row) << c.header << " " << c.topRow << " " << c.y;
    }
}

TEST(ListCtrlRows, ClicksSelectAndNotifyTheParent)
{
    NoteLog parent;
    YListCtrl* table = new YListCtrl;
    RECT rect = {0, 0, 200, 100};
    table->Create(0, &rect, &parent, 4);
    table->SetColumnCount(2);
    CStringArray cells;
    for (const char* text : {"a", "b", "c"}) table->AddRow(Cells(cells, {text, "x"}));
    struct Step {
        bool right;
        int y;
        int selected;
        Notes notes;
    };
    const int changed = YListCtrl::kNotifySelectionChanged;
    const Step steps[] = {
        {false, 30, 0, {{4, changed}, {4, -2}}},
        {false, 30, 0, {{4, -2}}},  // the same row again: only the click
        {true, 50, 1, {{4, changed}, {4, -5}}},
        {false, 99, -1, {{4, changed}, {4, -2}}},
    };
    for (const Step& s : steps) {
        parent.m_notes.clear();
        if (s.right) table->OnRButtonDown(0, 10, s.y);
        else table->OnLButtonDown(0, 10, s.y);
        EXPECT_EQ(table->GetSelection(), s.selected) << s.y;
        EXPECT_EQ(parent.m_notes, s.notes) << s.y;
    }
}

TEST(ListCtrlRows, ColumnsRowsAndDataStayInRange)
{
    YListCtrl table;
    CStringArray cells;
    EXPECT_THROW(
        {
            try {
                table.AddRow(Cells(cells, {"a"}));
            } catch (CUserException* e) {
                e->Delete();
                throw 1;
            }
        },
        int);
    table.SetColumnCount(3);
    EXPECT_EQ(table.GetColumnWidth(2), 50);
    table.AddRow(Cells(cells, {"a", "b"}));
    table.AddRow(Cells(cells, {"c", "d", "e", "ignored"}));
    table.SetRow(4, Cells(cells, {"f"}));
    EXPECT_EQ(table.GetRowCount(), 5);
    struct Read {
        int column, row;
        const char* text;
    };
    const Read reads[] = {{0, 0, "a"}, {1, 0, "b"}, {2, 0, ""}, {2, 1, "e"}, {0, 4, "f"},
                          {1, 4, ""},  {3, 0, ""},  {0, 5, ""}, {-1, 0, ""}, {0, -1, ""}};
    for (const Read& r : reads) {
        CString text;
        table.GetItemText(text, r.column, r.row);
        EXPECT_STREQ(text, r.text) << r.column << "," << r.row;
    }
    table.SetItemData(3, 77);
    EXPECT_EQ(table.GetItemData(3), 77u);
    EXPECT_EQ(table.GetItemData(9), 0u);
    EXPECT_EQ(table.GetItemData(-1), 0u);
    table.SetColumnCount(1);
    EXPECT_EQ(table.GetColumnCount(), 1);
    CString header;
    table.GetColumnHeader(2, header);
    EXPECT_STREQ(header, "");
}

TEST(ListCtrlDraw, HeaderCellsAndTheSelectedRowWithinTheArea)
{
    YListCtrl table;
    RECT rect = {10, 0, 300, 100};
    table.MoveTo(&rect);
    table.SetLeftMargin(4);
    table.SetBottomMargin(10);
    table.SetColumnGap(3);
    table.SetColumnCount(2);
    table.SetColumnWidth(0, 40);
    table.SetColumnWidth(1, 60);
    table.SetColumnHeader(0, "Name");
    table.SetColumnHeader(1, "Score");
    table.SetColumnFormat(1, DT_RIGHT);
    CStringArray cells;
    for (const char* name : {"ann", "bob", "cat", "dan"}) table.AddRow(Cells(cells, {name, "9"}));
    table.SetSelection(1);
    RecordingDC dc;
    table.Draw(&dc);
    // Per column: the header, then rows at 21..41, 42..62, 63..83; 84..104 passes 90.
    const std::vector<std::pair<std::string, RECT>> expected = {
        {"Name", {14, 0, 54, 20}},  {"ann", {14, 21, 54, 41}},  {"bob", {14, 42, 54, 62}},
        {"cat", {14, 63, 54, 83}},  {"Score", {57, 0, 117, 20}}, {"9", {57, 21, 117, 41}},
        {"9", {57, 42, 117, 62}},   {"9", {57, 63, 117, 83}},
    };
    ASSERT_EQ(dc.m_drawn.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(dc.m_drawn[i].text, expected[i].first) << i;
        EXPECT_TRUE(SameRect(dc.m_drawn[i].rect, expected[i].second)) << i;
    }
    EXPECT_EQ(dc.m_drawn[0].format, static_cast<UINT>(DT_CENTER));
    EXPECT_EQ(dc.m_drawn[5].format, static_cast<UINT>(DT_RIGHT));
    ASSERT_EQ(dc.m_inverted.size(), 2u);
    EXPECT_TRUE(SameRect(dc.m_inverted[0], RECT{14, 42, 54, 62}));
    EXPECT_TRUE(SameRect(dc.m_inverted[1], RECT{57, 42, 117, 62}));
    // Hidden cells leave only the headers.
    table.SetHideCells(1);
    RecordingDC bare;
    table.Draw(&bare);
    EXPECT_EQ(bare.m_drawn.size(), 2u);
    EXPECT_TRUE(bare.m_inverted.empty());
}

TEST(ListCtrlArchive, ColumnsRoundTripWithoutTheirFormat)
{
    YListCtrl table;
    RECT rect = {0, 0, 200, 100};
    table.Create(0, &rect, nullptr, 12);
    table.SetColumnCount(2);
    table.SetColumnHeader(0, "Pilot");
    table.SetColumnWidth(1, 120);
    table.SetColumnFormat(1, DT_LEFT);
    CStringArray cells;
    table.AddRow(Cells(cells, {"Ann", "12"}));
    table.AddRow(Cells(cells, {"Bob", "7"}));
    std::vector<BYTE> bytes = Store(&table);
    std::unique_ptr<CObject> loaded(Load(bytes));
    YListCtrl* copy = dynamic_cast<YListCtrl*>(loaded.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetId(), 12);
    ASSERT_EQ(copy->GetColumnCount(), 2);
    EXPECT_EQ(copy->GetRowCount(), 2);
    CString text;
    copy->GetColumnHeader(0, text);
    EXPECT_STREQ(text, "Pilot");
    EXPECT_EQ(copy->GetColumnWidth(1), 120);
    copy->GetItemText(text, 1, 1);
    EXPECT_STREQ(text, "7");
    // The format is not stored: it comes back centred.
    RecordingDC dc;
    copy->Draw(&dc);
    ASSERT_FALSE(dc.m_drawn.empty());
    EXPECT_EQ(dc.m_drawn.back().format, static_cast<UINT>(DT_CENTER));
    EXPECT_EQ(Store(copy), bytes);
}

TEST(ListCtrlArchive, AColumnListHoldingAnythingElseIsRefused)
{
    // A list control whose column array holds a list box: refused whole.
    YListCtrl table;
    table.SetColumnCount(1);
    std::vector<BYTE> bytes = Store(&table);
    YListBox intruder;
    std::vector<BYTE> other = Store(&intruder);
    // Swap the single column object (the tail of the archive) for the list box.
    YColumn column;
    std::vector<BYTE> columnBytes = Store(&column);
    ASSERT_GT(bytes.size(), columnBytes.size());
    std::vector<BYTE> forged(bytes.begin(), bytes.end() - static_cast<long>(columnBytes.size()));
    forged.insert(forged.end(), other.begin(), other.end());
    bool refused = false;
    try {
        std::unique_ptr<CObject> loaded(Load(forged));
    } catch (CArchiveException* e) {
        e->Delete();
        refused = true;
    }
    EXPECT_TRUE(refused);
}
