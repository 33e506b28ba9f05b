#include "engine/YEditDialog.h"

#include "engine/YEngineCallbacks.h"
#include "graphics2d/YFont.h"
#include "gui/YDC.h"
#include "platform/win32.h"

#include <cstring>

#ifndef VK_F3
#define VK_F3 0x72
#endif

namespace {

const char kHeightSample[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890{}[]!@#$%^&*()-_=+";

int Extent(YFont* font, const CString& text)
{
    if (!font) return 0;
    return font->TextExtent(text, text.GetLength()).cx;
}

CString Trimmed(const CString& text)
{
    CString copy = text;
    copy.TrimLeft();
    copy.TrimRight();
    return copy;
}

}  // namespace

int YEditDialog::LineList::VisibleRows() const
{
    if (rowHeight <= 0) return 0;
    return (rect.bottom - rect.top) / rowHeight;
}

YEditDialog::YEditDialog()
    : m_rect{0, 0, 0, 0}, m_font(nullptr), m_ended(0), m_result(0), m_modal(false), m_innerDialog(new YDialog),
      m_editBox(new EditLine), m_listBox(new LineList), m_backgroundSurface(nullptr), m_backColour(0),
      m_textColour(0xFFFFFF), m_drawSeparator(true), m_historySize(32), m_listSize(50), m_queueSize(50),
      m_historyPosition(-1), m_lineHeight(15), m_spareSwitch(false)
{
}

YEditDialog::~YEditDialog()
{
    ReleaseResources();
    delete m_listBox;
    delete m_editBox;
    delete m_innerDialog;
}

void YEditDialog::SetFont(YFont* font)
{
    m_font = font;
    if (font) m_lineHeight = font->TextExtent(kHeightSample, static_cast<int>(std::strlen(kHeightSample))).cy;
    m_editBox->font = font;
    m_editBox->text.Empty();
    m_editBox->caret = 0;
    m_listBox->rowHeight = m_lineHeight;
}

// The surface comes from the catalog image once the display stand-ins can
// make one for a console; until then the back colour fills the window.
void YEditDialog::SetBackground(const char* name)
{
    ReleaseResources();
    m_backgroundName = name ? name : "";
}

CString YEditDialog::GetHistoryLine(int index) const
{
    if (index < 0 || index >= m_history.GetCount()) return CString();
    return m_history.GetAt(m_history.FindIndex(index));
}

void YEditDialog::QueueText(const char* text)
{
    m_queue.AddTail(text ? text : "");
    while (m_queue.GetCount() > m_queueSize) m_queue.RemoveHead();
}

void YEditDialog::AddText(const char* text, YFont* font)
{
    if (!m_listBox || !text || !*text) return;
    LineList& list = *m_listBox;
    list.selected = -1;
    const int rows = list.VisibleRows();
    while (list.lines.GetSize() < rows) list.lines.Add("");

    CStringList wrapped;
    const char* start = text;
    for (;;) {
        const char* end = std::strchr(start, '\n');
        if (!end) {
            if (*start || start == text) WrapText(start, wrapped, font);
            break;
        }
        WrapText(CString(start, static_cast<int>(end - start)), wrapped, font);
        start = end + 1;
    }

    const int added = static_cast<int>(wrapped.GetCount());
    for (POSITION at = wrapped.GetHeadPosition(); at;) {
        list.lines.Add(wrapped.GetNext(at));
        if (list.lines.GetSize() > m_listSize) {
            list.lines.RemoveAt(0);
            if (list.top > 0) --list.top;
        }
    }
    const int count = list.lines.GetSize();
    if (list.top > count - added - rows - 2) {
        // The newest line stays in the last visible row.
        int top = count - rows;
        if (list.top - 1 > top) top = list.top - 1;
        list.top = top < 0 ? 0 : top;
    }
}

void YEditDialog::Submit(const char*) {}

void YEditDialog::WrapText(const char* text, CStringList& lines, YFont* font)
{
    const int usable = m_listBox->Width() - 2 * m_listBox->border - 2;
    CString line;
    CString candidate;
    const char* at = text ? text : "";
    for (;;) {
        while (*at == ' ') ++at;
        if (!*at) break;
        const char* end = at;
        while (*end && *end != ' ') ++end;
        const CString word(at, static_cast<int>(end - at));
        at = end;
        candidate += word + " ";
        if (Extent(font, candidate) > usable) {
            lines.AddTail(line);
            line.Empty();
            candidate = word + " ";
        }
        line += word + " ";
    }
    lines.AddTail(line);
}

void YEditDialog::ShowInEdit(const CString& line)
{
    m_editBox->text = line;
    m_editBox->caret = line.GetLength();
}

void YEditDialog::OnKeyDown(UINT key)
{
    const CString text = Trimmed(m_editBox->text);
    if (key != VK_UP && key != VK_DOWN) m_historyPosition = -1;
    const int count = static_cast<int>(m_history.GetCount());
    switch (key) {
    case VK_RETURN:
        Submit(text);
        if (!text.IsEmpty()) {
            m_history.AddHead(text);
            while (m_history.GetCount() > m_historySize) m_history.RemoveTail();
        }
        ShowInEdit(CString());
        break;
    case VK_UP:
        m_historyPosition = m_historyPosition + 1 < count ? m_historyPosition + 1 : count;
        ShowInEdit(GetHistoryLine(m_historyPosition));
        break;
    case VK_DOWN:
        m_historyPosition = m_historyPosition - 1 < -1 ? -1 : m_historyPosition - 1;
        ShowInEdit(GetHistoryLine(m_historyPosition));
        break;
    case VK_F3:
        ShowInEdit(GetHistoryLine(0));
        m_historyPosition = 0;
        break;
    case VK_BACK:
        if (m_editBox->caret > 0) {
            m_editBox->text.Delete(m_editBox->caret - 1, 1);
            --m_editBox->caret;
        }
        break;
    default: break;
    }
}

void YEditDialog::OnChar(UINT ch)
{
    if (ch < 0x20 || ch > 0x7E) return;
    m_editBox->text.Insert(m_editBox->caret, static_cast<char>(ch));
    ++m_editBox->caret;
}

void YEditDialog::OnLButtonUp(POINT point)
{
    LineList& list = *m_listBox;
    if (!PtInRect(&list.rect, point) || list.rowHeight <= 0) return;
    const int row = list.top + (point.y - list.rect.top) / list.rowHeight;
    if (row < 0 || row >= list.lines.GetSize()) return;
    list.selected = row;
    const CString line = list.lines[row];
    const CString& prompt = m_editBox->prompt;
    if (!prompt.IsEmpty() && line.Left(prompt.GetLength()) == prompt) ShowInEdit(line.Mid(1));
}

void YEditDialog::Layout(const RECT& rect)
{
    m_rect = rect;
    const int bottom = rect.bottom - 4;
    SetRect(&m_editBox->rect, rect.left + 5, bottom - m_lineHeight, rect.right - 2, bottom);
    SetRect(&m_listBox->rect, rect.left + 4, rect.top + 4, rect.right - 4, m_editBox->rect.top - 1);
}

void YEditDialog::Move(const RECT& rect)
{
    Layout(rect);
    const int rowHeight = m_listBox->rowHeight;
    // A font without height leaves no rows to round to.
    if (rowHeight <= 0) return;
    const int remainder = (m_listBox->rect.bottom - m_listBox->rect.top) % rowHeight;
    if (remainder <= 0) return;
    RECT grown = rect;
    grown.bottom += remainder;
    Layout(grown);
}

void YEditDialog::PaintBackground(YDC* dc)
{
    if (!dc) return;
    if (m_backgroundSurface) {
        // Tiled by the surface's size, from the bottom row up.
        (void)m_backgroundSurface;
    } else {
        CBrush brush(m_backColour);
        dc->FillRect(&m_rect, &brush, m_textColour, m_backColour);
    }
    if (m_drawSeparator) {
        CPen pen(PS_SOLID, 1, m_textColour);
        const int y = m_editBox->rect.top - 1;
        dc->DrawLine(m_rect.left, y, m_rect.right, y, &pen);
    }
}

void YEditDialog::Draw(YDC* dc)
{
    while (!m_queue.IsEmpty()) {
        const CString text = m_queue.RemoveHead();
        AddText(text, m_font);
    }
    if (!dc) return;
    PaintBackground(dc);
    YFont* old = dc->SwapFont(m_font);
    const COLORREF oldColour = dc->SetTextColor(m_textColour);
    const LineList& list = *m_listBox;
    const int rows = list.VisibleRows();
    for (int i = 0; i < rows && list.top + i < list.lines.GetSize(); ++i) {
        const CString line = list.lines[list.top + i];
        dc->TextOut(list.rect.left + list.border + 1, list.rect.top + i * list.rowHeight, line, line.GetLength());
    }
    const CString shown = m_editBox->prompt + m_editBox->text;
    dc->TextOut(m_editBox->rect.left, m_editBox->rect.top, shown, shown.GetLength());
    dc->SetTextColor(oldColour);
    dc->SwapFont(old);
}

void YEditDialog::ReleaseResources()
{
    m_backgroundSurface = nullptr;
}

void YEditDialog::ReloadResources()
{
    const CString name = m_backgroundName;
    SetBackground(name);
}

void YEditDialog::EndDialog(int result)
{
    m_result = result;
    m_ended = 1;
}

void YEditDialog::ModalPass()
{
    ModalStep();
}

int YEditDialog::RunModal(YDC* dc)
{
    if (m_modal) return 0;
    SetFont(m_font);
    Move(m_rect);
    m_modal = true;
    m_ended = 0;
    m_result = 0;
    while (!m_ended) {
        MSG msg;
        while (!m_ended && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                EndDialog(0);
                break;
            }
            if (msg.message == WM_KEYDOWN) OnKeyDown(static_cast<UINT>(msg.wParam));
            else if (msg.message == WM_CHAR) OnChar(static_cast<UINT>(msg.wParam));
            else {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        if (m_ended) break;
        Draw(dc);
        ModalPass();
    }
    m_modal = false;
    return m_result;
}
