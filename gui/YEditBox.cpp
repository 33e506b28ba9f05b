#include "gui/YEditBox.h"

#include <cctype>

#include "foundation/YResourceVisitor.h"
#include "graphics2d/YFont.h"
#include "gui/YDC.h"

IMPLEMENT_SERIAL(YEditBox, YWindow, 1)

namespace {

const int kCtrlC = 3, kCtrlV = 22, kCtrlX = 24;

}  // namespace

YEditBox::YEditBox()
    : m_maxLength(0x7FFFFFFF), m_caret(0), m_labelX(0), m_labelY(0), m_caretEnabled(0), m_caretShown(false)
{
}

int YEditBox::Accept(YResourceVisitor* visitor) { return visitor->VisitEditBox(this); }

int YEditBox::Create(int style, const RECT* rect, YWindow* parent, int id)
{
    return YWindow::Create(0, "", style, rect, parent, id, 0);
}

SIZE YEditBox::Extent(const CString& text, YDC* dc)
{
    SIZE size = {0, 0};
    if (m_font) size = m_font->TextExtent(text, text.GetLength());
    else if (dc) dc->GetTextExtent(text, &size);
    return size;
}

POINT YEditBox::IndexToPoint(int index, YDC* dc)
{
    if (index < 0) index = 0;
    if (index > m_text.GetLength()) index = m_text.GetLength();
    const SIZE before = Extent(m_text.Left(index), dc);
    int width = before.cx;
    if (!m_label.IsEmpty()) width += Extent(m_label, dc).cx;
    const int w = m_rect.right - m_rect.left;
    int line = 0;
    if (w >= 1) {
        line = width / w;
        width -= line * w;
    }
    return POINT{m_rect.left + width, m_rect.top + line * before.cy};
}

int YEditBox::Draw(YDC* dc)
{
    if (!m_visible) return 0;
    m_lastDC = dc;
    if (!dc) return 0;
    YFont* old = m_font ? dc->SwapFont(m_font) : nullptr;
    DrawBackground(dc);
    dc->TextOut(m_rect.left + m_labelX, m_rect.top + m_labelY, m_label, m_label.GetLength());
    RECT text = m_rect;
    if (!m_label.IsEmpty()) text.left += Extent(m_label, dc).cx + 1;
    UINT format = static_cast<UINT>(m_style & 0xFFFF & ~kWordWrapStyle & ~kReadOnlyStyle);
    if (IsWordWrap()) format |= DT_WORDBREAK;
    dc->DrawText(m_text, &text, format);
    m_caretShown = TakesInput() && s_focus == this && (m_caretEnabled || m_text.IsEmpty());
    if (m_caretShown) {
        const POINT at = IndexToPoint(m_caret, dc);
        int height = Extent(m_text.IsEmpty() ? CString("A") : m_text, dc).cy;
        RECT caret = {at.x, at.y, at.x + 1, at.y + height};
        CBrush brush(GetForeColor());
        dc->FrameRect(&caret, &brush);
    }
    if (m_font) dc->SwapFont(old);
    return 0;
}

void YEditBox::GetName(CString& out) { out = m_text; }

void YEditBox::SetName(const char* text)
{
    m_text = text ? text : "";
    if (m_text.IsEmpty()) m_caret = 0;
    if (m_caret > m_text.GetLength()) m_caret = m_text.GetLength();
}

void YEditBox::SetCaret(int position)
{
    if (position < 0) position = 0;
    if (position > m_text.GetLength()) position = m_text.GetLength();
    m_caret = position;
}

void YEditBox::SetWordWrap(bool on)
{
    if (on) m_style |= kWordWrapStyle;
    else m_style &= ~kWordWrapStyle;
}

void YEditBox::SetLabelOffset(int x, int y)
{
    m_labelX = x;
    m_labelY = y;
}

void YEditBox::NotifyChanged()
{
    if (m_parent) m_parent->HandleMessage(WM_NOTIFY, static_cast<WPARAM>(m_windowId), kNotifyChanged);
}

void YEditBox::OnKeyDown(int key, int repeat, int keyFlags)
{
    if (!TakesInput()) return;
    switch (key) {
    case VK_BACK:
    case VK_DELETE:
        if (m_caret > 0) {
            m_text.Delete(m_caret - 1, 1);
            --m_caret;
        }
        break;
    case VK_END: m_caret = m_text.GetLength(); break;
    case VK_HOME: m_caret = 0; break;
    case VK_LEFT:
        if (m_caret > 0) --m_caret;
        break;
    case VK_RIGHT:
        if (m_caret < m_text.GetLength()) ++m_caret;
        break;
    default: break;
    }
    if (m_parent) m_parent->OnKeyDown(key, repeat, keyFlags);
    NotifyChanged();
}

bool YEditBox::Overflows(YDC* dc)
{
    const int width = m_rect.right - m_rect.left, height = m_rect.bottom - m_rect.top;
    RECT box = {0, 0, width, height};
    if (m_font) m_font->DrawText(m_text, &box, DT_CALCRECT | DT_WORDBREAK, nullptr);
    else if (dc && dc->GetFont()) dc->DrawText(m_text, &box, DT_CALCRECT | DT_WORDBREAK);
    else return false;
    return box.right - box.left > width || box.bottom - box.top > height + 1;
}

int YEditBox::OnChar(int ch, int repeat, int)
{
    if (!TakesInput()) return 0;
    const CString savedText = m_text;
    const int savedCaret = m_caret;
    if (ch >= 0 && ch < 256 && std::isprint(ch)) {
        if (m_text.GetLength() < m_maxLength) {
            m_text.Insert(m_caret, static_cast<char>(ch));
            ++m_caret;
        }
    } else if (GetAsyncKeyState(VK_CONTROL) && repeat == 1) {
        if (ch == kCtrlC || ch == kCtrlX) m_clipboard.SetText(m_text);
        if (ch == kCtrlX) SetName("");
        if (ch == kCtrlV) {
            CString pasted;
            if (m_clipboard.GetText(pasted)) {
                m_text = pasted;
                m_caret = m_text.GetLength();
            }
        }
    }
    YDC* dc = m_font ? nullptr : GetLastDC();
    if (Overflows(dc)) {
        m_text = savedText;
        m_caret = savedCaret;
    }
    if (dc) ReleaseDC(dc);
    NotifyChanged();
    return 0;
}

void YEditBox::DrawBackground(YDC*) {}
