// A table: columns with a header row, widths and text formats, one data
// word per row, margins and gaps, and a selected row.  It tells its parent
// when the selection changes and when it is clicked with either button.
#pragma once

#include "gui/YWindow.h"

class YColumn;

class YListCtrl : public YWindow {
    DECLARE_SERIAL(YListCtrl)
public:
    enum { kNotifySelectionChanged = 1 };

    YListCtrl();
    ~YListCtrl() override;

    // The window, then the columns as objects.
    void Serialize(CArchive& ar) override;
    int Accept(YResourceVisitor* visitor) override;
    int Create(int style, const RECT* rect, YWindow* parent, int id);
    int Draw(YDC* dc) override;
    void OnLButtonDown(int flags, int x, int y) override;
    void OnRButtonDown(int flags, int x, int y) override;
    void DrawBackground(YDC* dc) override;

    // Columns from n on are deleted; new ones are 50 wide, centred, empty.
    void SetColumnCount(int count);
    int GetColumnCount() const { return m_columns.GetSize(); }
    void SetColumnWidth(int column, int width);
    int GetColumnWidth(int column) const;
    void SetColumnHeader(int column, const char* text);
    void GetColumnHeader(int column, CString& out) const;
    void SetColumnFormat(int column, UINT format);
    // The cells of column 0.
    int GetRowCount() const;
    void SetRowCount(int count);
    // Throw a user exception on a table without columns.
    void AddRow(const CStringArray& cells);
    void SetRow(int row, const CStringArray& cells);
    void GetItemText(CString& out, int column, int row) const;
    void SetItemText(int column, int row, const char* text);
    void SetItemData(int row, DWORD data);
    // 0 for a row outside the data.
    DWORD GetItemData(int row) const;
    // A change notifies the parent.
    void SetSelection(int row);
    int GetSelection() const { return m_selection; }
    // The row under a screen point: only rows wholly inside the table, and
    // a point on a row's top or bottom edge hits none.  -1 when none.
    int RowFromPoint(int y) const;

    void SetColumnGap(int gap) { m_columnGap = gap; }
    int GetColumnGap() const { return m_columnGap; }
    void SetRowGap(int gap) { m_rowGap = gap; }
    int GetRowGap() const { return m_rowGap; }
    void SetRowHeight(int height) { m_rowHeight = height; }
    int GetRowHeight() const { return m_rowHeight; }
    void SetTopMargin(int margin) { m_margins.top = margin; }
    void SetBottomMargin(int margin) { m_margins.bottom = margin; }
    void SetLeftMargin(int margin) { m_margins.left = margin; }
    void SetRightMargin(int margin) { m_margins.right = margin; }
    int GetTopMargin() const { return m_margins.top; }
    int GetLeftMargin() const { return m_margins.left; }
    int GetRightMargin() const { return m_margins.right; }
    void SetTopRow(int row) { m_topRow = row; }
    int GetTopRow() const { return m_topRow; }
    void SetShowHeader(bool on) { m_showHeader = on ? 1 : 0; }
    bool GetShowHeader() const { return m_showHeader != 0; }
    // The previous header font.
    YFont* SetHeaderFont(YFont* font);
    YFont* GetHeaderFont() const { return m_headerFont; }
    void SetHideCells(int on) { m_hideCells = on; }
    int GetHideCells() const { return m_hideCells; }

private:
    YColumn* Column(int column) const;
    void DeleteColumns();
    // The table's area: the window inset by the margins.
    RECT Area() const;
    // Top of the first row: below the header when it shows.
    long long FirstRowTop(const RECT& area) const;
    void Notify(int code);

    CObArray m_columns;
    CDWordArray m_rowData;
    int32_t m_columnGap;
    int32_t m_rowGap;
    RECT m_margins;
    int32_t m_rowHeight;
    int32_t m_topRow;
    int32_t m_selection;
    uint8_t m_showHeader;
    YFont* m_headerFont;
    int32_t m_hideCells;
};
