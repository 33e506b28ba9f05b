#include "gui/YListCtrl.h"

#include <algorithm>

#include "foundation/YResourceVisitor.h"
#include "gui/YColumn.h"
#include "gui/YDC.h"

IMPLEMENT_SERIAL(YListCtrl, YWindow, 1)

YListCtrl::YListCtrl()
    : m_columnGap(0), m_rowGap(1), m_margins{0, 0, 0, 0}, m_rowHeight(20), m_topRow(0), m_selection(-1),
      m_showHeader(1), m_headerFont(nullptr), m_hideCells(0)
{
}

YListCtrl::~YListCtrl() { DeleteColumns(); }

int YListCtrl::Accept(YResourceVisitor* visitor) { return visitor->VisitListCtrl(this); }

int YListCtrl::Create(int style, const RECT* rect, YWindow* parent, int id)
{
    return YWindow::Create(0, "", style, rect, parent, id, 0);
}

// ------------------------------------------------------------------ columns and rows

YColumn* YListCtrl::Column(int column) const
{
    if (column < 0 || column >= m_columns.GetSize()) return nullptr;
    return static_cast<YColumn*>(m_columns.GetAt(column));
}

void YListCtrl::DeleteColumns()
{
    for (int i = 0; i < m_columns.GetSize(); ++i) delete m_columns.GetAt(i);
    m_columns.RemoveAll();
}

void YListCtrl::SetColumnCount(int count)
{
    if (count < 0) count = 0;
    for (int i = count; i < m_columns.GetSize(); ++i) delete m_columns.GetAt(i);
    const int before = m_columns.GetSize();
    m_columns.SetSize(count);
    for (int i = before; i < count; ++i) m_columns.SetAt(i, new YColumn);
}

void YListCtrl::SetColumnWidth(int column, int width)
{
    if (YColumn* c = Column(column)) c->m_width = static_cast<int16_t>(width);
}

int YListCtrl::GetColumnWidth(int column) const
{
    const YColumn* c = Column(column);
    return c ? c->m_width : 0;
}

void YListCtrl::SetColumnHeader(int column, const char* text)
{
    if (YColumn* c = Column(column)) c->m_header = text ? text : "";
}

void YListCtrl::GetColumnHeader(int column, CString& out) const
{
    const YColumn* c = Column(column);
    out = c ? c->m_header : CString();
}

void YListCtrl::SetColumnFormat(int column, UINT format)
{
    if (YColumn* c = Column(column)) c->m_format = format;
}

int YListCtrl::GetRowCount() const
{
    const YColumn* first = Column(0);
    return first ? first->m_cells.GetSize() : 0;
}

void YListCtrl::SetRowCount(int count)
{
    if (count < 0) count = 0;
    for (int i = 0; i < m_columns.GetSize(); ++i) Column(i)->m_cells.SetSize(count);
}

void YListCtrl::SetRow(int row, const CStringArray& cells)
{
    if (m_columns.GetSize() == 0) AfxThrowUserException();
    if (row < 0) return;
    const int count = std::min(m_columns.GetSize(), cells.GetSize());
    for (int c = 0; c < count; ++c) {
        CStringArray& column = Column(c)->m_cells;
        if (column.GetSize() <= row) column.SetSize(row + 1);
        column.SetAt(row, cells[c]);
    }
}

void YListCtrl::AddRow(const CStringArray& cells)
{
    if (m_columns.GetSize() == 0) AfxThrowUserException();
    SetRow(GetRowCount(), cells);
}

void YListCtrl::GetItemText(CString& out, int column, int row) const
{
    const YColumn* c = Column(column);
    out = c && row >= 0 && row < c->m_cells.GetSize() ? c->m_cells[row] : CString();
}

void YListCtrl::SetItemText(int column, int row, const char* text)
{
    YColumn* c = Column(column);
    if (!c || row < 0) return;
    if (c->m_cells.GetSize() <= row) c->m_cells.SetSize(row + 1);
    c->m_cells.SetAt(row, CString(text ? text : ""));
}

void YListCtrl::SetItemData(int row, DWORD data)
{
    if (row < 0) return;
    if (m_rowData.GetSize() <= row) m_rowData.SetSize(row + 1);
    m_rowData.SetAt(row, data);
}

DWORD YListCtrl::GetItemData(int row) const
{
    return row >= 0 && row < m_rowData.GetSize() ? m_rowData[row] : 0;
}

YFont* YListCtrl::SetHeaderFont(YFont* font)
{
    YFont* previous = m_headerFont;
    m_headerFont = font;
    return previous;
}

// ------------------------------------------------------------------ selection and clicks

void YListCtrl::Notify(int code)
{
    if (m_parent) m_parent->HandleMessage(WM_NOTIFY, static_cast<WPARAM>(m_windowId), static_cast<LPARAM>(code));
}

void YListCtrl::SetSelection(int row)
{
    if (row == m_selection) return;
    m_selection = row;
    Notify(kNotifySelectionChanged);
}

RECT YListCtrl::Area() const
{
    return RECT{Clamped(static_cast<long long>(m_rect.left) + m_margins.left),
                Clamped(static_cast<long long>(m_rect.top) + m_margins.top),
                Clamped(static_cast<long long>(m_rect.right) - m_margins.right),
                Clamped(static_cast<long long>(m_rect.bottom) - m_margins.bottom)};
}

long long YListCtrl::FirstRowTop(const RECT& area) const
{
    return m_showHeader ? static_cast<long long>(area.top) + m_rowHeight + m_rowGap : area.top;
}

int YListCtrl::RowFromPoint(int y) const
{
    const RECT area = Area();
    long long top = FirstRowTop(area);
    for (int row = std::max(0, static_cast<int>(m_topRow)); row < GetRowCount(); ++row) {
        const long long bottom = top + m_rowHeight;
        if (bottom > area.bottom) break;
        if (top < y && y < bottom) return row;
        top = bottom + m_rowGap;
    }
    return -1;
}

void YListCtrl::OnLButtonDown(int flags, int x, int y)
{
    SetSelection(RowFromPoint(y));
    Notify(kNotifyClicked);
    YWindow::OnLButtonDown(flags, x, y);
}

void YListCtrl::OnRButtonDown(int flags, int x, int y)
{
    SetSelection(RowFromPoint(y));
    Notify(kNotifyRightClicked);
    YWindow::OnRButtonDown(flags, x, y);
}

// ------------------------------------------------------------------ drawing

void YListCtrl::DrawBackground(YDC* dc)
{
    if (!dc || !GetResourceAt(0)) return;
    dc->DrawResource(&m_rect, GetResourceAt(0), 0, 0);
}

int YListCtrl::Draw(YDC* dc)
{
    if (!m_visible || !dc) return 0;
    DrawBackground(dc);
    const RECT area = Area();
    YFont* old = m_font ? dc->SwapFont(m_font) : nullptr;
    long long x = area.left;
    for (int c = 0; c < m_columns.GetSize(); ++c) {
        const YColumn& column = *Column(c);
        const long long right = x + column.m_width;
        if (m_showHeader) {
            RECT header = {Clamped(x), area.top, Clamped(right),
                           Clamped(static_cast<long long>(area.top) + m_rowHeight)};
            YFont* body = m_headerFont ? dc->SwapFont(m_headerFont) : nullptr;
            dc->DrawText(column.m_header, &header, DT_CENTER);
            if (m_headerFont) dc->SwapFont(body);
        }
        long long top = FirstRowTop(area);
        for (int row = std::max(0, static_cast<int>(m_topRow)); row < GetRowCount(); ++row) {
            if (top + m_rowHeight > area.bottom) break;
            RECT cell = {Clamped(x), Clamped(top), Clamped(right), Clamped(top + m_rowHeight)};
            if (!m_hideCells) {
                CString text;
                GetItemText(text, c, row);
                dc->DrawText(text, &cell, column.m_format);
                if (row == m_selection) dc->InvertRect(&cell);
            }
            top += static_cast<long long>(m_rowHeight) + m_rowGap;
        }
        x = right + m_columnGap;
    }
    if (m_font) dc->SwapFont(old);
    return 0;
}

// ------------------------------------------------------------------ archive

void YListCtrl::Serialize(CArchive& ar)
{
    YWindow::Serialize(ar);
    if (ar.IsStoring()) {
        ar.WriteCount(static_cast<DWORD>(m_columns.GetSize()));
        for (int i = 0; i < m_columns.GetSize(); ++i) ar.WriteObject(m_columns.GetAt(i));
        return;
    }
    DeleteColumns();
    m_rowData.RemoveAll();
    m_selection = -1;
    m_topRow = 0;
    const DWORD count = ar.ReadCount();
    for (DWORD i = 0; i < count; ++i) {
        // Only columns: anything else is refused before it is made.
        CObject* column = ar.ReadOwnedObject(RUNTIME_CLASS(YColumn));
        if (!column) AfxThrowArchiveException(CArchiveException::badClass);
        m_columns.Add(column);
    }
}
