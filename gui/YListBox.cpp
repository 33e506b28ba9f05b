#include "gui/YListBox.h"

#include <algorithm>
#include <cstring>

#include "foundation/YResourceVisitor.h"
#include "graphics2d/YFont.h"
#include "gui/YDC.h"

IMPLEMENT_SERIAL(YListBox, YWindow, 1)

namespace {

const char kRowSample[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890{}[]!@#$%^&*()-_=+";

}  // namespace

YListBox::YListBox()
    : m_selection(-1), m_topIndex(0), m_noBackground(0), m_textInset(0), m_reserved(0), m_rowHeight(16)
{
}

int YListBox::Accept(YResourceVisitor* visitor) { return visitor->VisitListBox(this); }

int YListBox::Create(int style, const RECT* rect, YWindow* parent, int id)
{
    return YWindow::Create(0, "", style, rect, parent, id, 0);
}

YFont* YListBox::SetFont(YFont* font)
{
    YFont* previous = YWindow::SetFont(font);
    MeasureRowHeight(nullptr);
    return previous;
}

void YListBox::MeasureRowHeight(YDC* dc)
{
    SIZE size = {0, 0};
    if (dc) {
        YFont* old = m_font ? dc->SwapFont(m_font) : nullptr;
        dc->GetTextExtent(kRowSample, &size);
        if (m_font) dc->SwapFont(old);
    } else if (m_font) {
        size = m_font->TextExtent(kRowSample, static_cast<int>(std::strlen(kRowSample)));
    } else {
        return;
    }
    m_rowHeight = size.cy;
}

int YListBox::InsertString(int index, const char* text)
{
    if (index < 0 || index > m_items.GetSize()) index = m_items.GetSize();
    m_items.InsertAt(index, CString(text ? text : ""));
    return 1;
}

int YListBox::DeleteString(int index)
{
    if (index < 0 || index >= m_items.GetSize()) return 0;
    m_items.RemoveAt(index);
    if (m_selection == index) m_selection = -1;
    else if (m_selection > index) --m_selection;
    // The top row stays on its row too, and never passes the last one.
    if (m_topIndex > index) --m_topIndex;
    if (m_topIndex >= m_items.GetSize()) m_topIndex = std::max(0, static_cast<int>(m_items.GetSize()) - 1);
    return 1;
}

void YListBox::ResetContent()
{
    m_items.RemoveAll();
    m_selection = -1;
    m_topIndex = 0;
}

CString YListBox::GetText(int index) const
{
    if (index < 0 || index >= m_items.GetSize()) return CString();
    return m_items[index];
}

int YListBox::SetCurSel(int index)
{
    if (index < -1 || index >= m_items.GetSize()) return -1;
    const int previous = m_selection;
    m_selection = index;
    return previous;
}

int YListBox::SetTopIndex(int index)
{
    if (index >= 0 && index < m_items.GetSize()) m_topIndex = index;
    return m_topIndex;
}

int YListBox::GetVisibleRowCount(int* overflow, YDC* dc)
{
    if (dc) MeasureRowHeight(dc);
    const long long height = HeightOf(m_rect), row = m_rowHeight;
    // Text that measures nothing high has no rows to count.
    if (row <= 0 || height <= 0) {
        if (overflow) *overflow = 0;
        return 0;
    }
    const long long rows = (height + row - 1) / row - 1;
    if (overflow) *overflow = Clamped((rows + 1) * row - height);
    return Clamped(rows);
}

int YListBox::Draw(YDC* dc)
{
    if (!m_visible) return 0;
    if (!m_noBackground) DrawBackground(dc);
    if (!dc) return 0;
    m_lastDC = dc;
    YFont* old = m_font ? dc->SwapFont(m_font) : nullptr;
    MeasureRowHeight(dc);
    // Every row is one row height high, so empty rows keep their place.
    const int rows = DrawnRowCount();
    const RECT inner = {Clamped(m_rect.left + 1LL + m_textInset), m_rect.top,
                        Clamped(m_rect.right - 1LL - m_textInset), m_rect.top};
    for (int n = 0; n < rows; ++n) {
        const int i = FirstRow() + n;
        RECT row = inner;
        row.top = static_cast<LONG>(m_rect.top + static_cast<long long>(n) * m_rowHeight);
        row.bottom = row.top + m_rowHeight;
        const CString& text = m_items[i];
        dc->TextOut(row.left, row.top, text, text.GetLength());
        if (i == m_selection) dc->InvertRect(&row);
    }
    if (m_font) dc->SwapFont(old);
    return 0;
}

int YListBox::FirstRow() const { return m_topIndex < 0 ? 0 : m_topIndex; }

int YListBox::DrawnRowCount() const
{
    if (m_rowHeight <= 0) return 0;
    const long long height = HeightOf(m_rect);
    const long long fit = height > 0 ? height / m_rowHeight : 0;
    return static_cast<int>(std::min<long long>(fit, std::max(0, m_items.GetSize() - FirstRow())));
}

int YListBox::RowFromPoint(int x, int y) const
{
    // Only the rows Draw shows: a row cut by the bottom edge is not drawn.
    if (x < m_rect.left || x >= m_rect.right || y < m_rect.top) return -1;
    const long long n = (static_cast<long long>(y) - m_rect.top) / (m_rowHeight > 0 ? m_rowHeight : 1);
    return n < DrawnRowCount() ? FirstRow() + static_cast<int>(n) : -1;
}

void YListBox::OnLButtonDown(int flags, int x, int y)
{
    if (m_parent) m_parent->OnLButtonDown(flags, x, y);
    m_selection = RowFromPoint(x, y);
}

void YListBox::DrawBackground(YDC* dc)
{
    if (!dc || !m_dependents || m_dependents->GetSize() < 1 || !m_dependents->GetAt(0)) return;
    dc->DrawResource(&m_rect, m_dependents->GetAt(0), 0, 0);
}

void YListBox::Serialize(CArchive& ar)
{
    YWindow::Serialize(ar);
    m_items.Serialize(ar);
    if (!ar.IsStoring()) {
        m_selection = -1;
        m_topIndex = 0;
    }
}

int YListBox::LoadFromFile(const CStringArray& directories, int flag)
{
    return LoadOwnTakingFont(&directories, nullptr, flag);
}

int YListBox::LoadFromCatalog(const char* directory, int flag)
{
    return LoadOwnTakingFont(nullptr, directory, flag);
}
