// A column of text rows shown from a first visible row, with one selected
// row drawn inverted.
#pragma once

#include "gui/YWindow.h"

class YListBox : public YWindow {
    DECLARE_SERIAL(YListBox)
public:
    YListBox();

    using YWindow::LoadFromFile;

    void Serialize(CArchive& ar) override;
    // Always load; a font among the resources becomes the font.
    int LoadFromFile(const CStringArray& directories, int flag) override;
    int LoadFromCatalog(const char* directory, int flag) override;
    int Accept(YResourceVisitor* visitor) override;
    int Create(int style, const RECT* rect, YWindow* parent, int id);
    // Also measures the row height with the new font.
    YFont* SetFont(YFont* font) override;
    int Draw(YDC* dc) override;
    void OnLButtonDown(int flags, int x, int y) override;
    void DrawBackground(YDC* dc) override;

    // Inserts before index; an index outside the rows appends.  1.
    int InsertString(int index, const char* text);
    int AddString(const char* text) { return InsertString(-1, text); }
    // 0 for an index outside the rows.  The selection stays on its row, or
    // goes when its row does.
    int DeleteString(int index);
    // No rows, no selection, the first row on top.
    void ResetContent();
    int GetCount() const { return m_items.GetSize(); }
    CString GetText(int index) const;
    // -1 .. count - 1, else nothing changes and -1 comes back; else the
    // previous selection.
    int SetCurSel(int index);
    int GetCurSel() const { return m_selection; }
    // Taken when 0 <= index < count; the top index.
    int SetTopIndex(int index);
    int GetTopIndex() const { return m_topIndex; }
    // ceil(height / row height) - 1 rows; overflow gets the pixels the next
    // row would need beyond the bottom.  A DC re-measures the row height.
    // Rows that measure nothing high count none.
    int GetVisibleRowCount(int* overflow, YDC* dc);
    int GetRowHeight() const { return m_rowHeight; }
    // The row under a screen point, -1 when none.
    int RowFromPoint(int x, int y) const;
    int GetTextInset() const { return m_textInset; }
    void SetTextInset(int inset) { m_textInset = inset; }
    void SetNoBackground(int on) { m_noBackground = on; }

private:
    void MeasureRowHeight(YDC* dc);
    // The first row drawn, and how many whole rows Draw shows from it.
    int FirstRow() const;
    int DrawnRowCount() const;

    CStringArray m_items;
    int32_t m_selection;
    int32_t m_topIndex;
    int32_t m_noBackground;
    int32_t m_textInset;
    int32_t m_reserved;
    int32_t m_rowHeight;
};
