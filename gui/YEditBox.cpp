#include "gui/YEditBox.h"

#include <algorithm>
#include <cctype>

#include "foundation/YResourceVisitor.h"
#include "graphics2d/YFont.h"
#include "gui/YDC.h"

IMPLEMENT_SERIAL(YEditBox, YWindow, 1)

namespace {

const int kCtrlC = 3, kCtrlV = 22, kCtrlX = 24;
// Without a font a character is 6 pixels wide and a line 14 high.
const int kPlainCharWidth = 6, kPlainLineHeight = 14;
// Points this close to the left edge are before the first character.
const int kLeftSlack = 5;

bool Printable(int ch) { return ch >= 0 && ch < 256 && std::isprint(ch); }

CString& DefaultLabel()
{
    static CString label;
    return label;
}

}  // namespace

YEditBox::YEditBox()
    : m_maxLength(0x7FFFFFFF), m_caret{0, 0, GetTickCount()}, m_selStart(0), m_selEnd(0), m_labelX(0), m_labelY(0),
      m_label(DefaultLabel()), m_caretEnabled(0), m_drawnFont(nullptr)
{
    m_version = kVersion;
}

YEditBox::~YEditBox() = default;

int YEditBox::Accept(YResourceVisitor* visitor) { return visitor->VisitEditBox(this); }

int YEditBox::Create(int style, const RECT* rect, YWindow* parent, int id)
{
    return YWindow::Create(0, "", style, rect, parent, id, 0);
}

// ------------------------------------------------------------------ text and caret

void YEditBox::ClampToText()
{
    const int length = m_text.GetLength();
    m_caret.position = std::clamp(m_caret.position, 0, length);
    m_selStart = std::clamp(m_selStart, 0, length);
    m_selEnd = std::clamp(m_selEnd, 0, length);
}

void YEditBox::GetName(CString& out) { out = m_text; }

void YEditBox::SetName(const char* text)
{
    m_text = text ? text : "";
    if (m_text.IsEmpty()) m_caret.position = 0;
    // A new text has nothing selected.
    m_selStart = m_selEnd = 0;
    ClampToText();
    if (FlashDue()) {
        m_caret.visible = m_text.IsEmpty() ? 1 : m_caretEnabled;
        m_caret.lastToggle = GetTickCount();
    }
}

void YEditBox::SetCaret(int position) { m_caret.position = std::clamp(position, 0, m_text.GetLength()); }

void YEditBox::SetSelection(int start, int end)
{
    m_selStart = start;
    m_selEnd = end;
    ClampToText();
}

void YEditBox::SetWordWrap(bool on)
{
    if (on) m_style |= kWordWrapStyle;
    else m_style &= ~kWordWrapStyle;
}

void YEditBox::ShowCaret(bool on)
{
    m_caretEnabled = on ? 1 : 0;
    if (FlashDue()) {
        m_caret.visible = m_caretEnabled;
        m_caret.lastToggle = GetTickCount();
    }
}

void YEditBox::SetLabelOffset(int x, int y)
{
    m_labelX = x;
    m_labelY = y;
}

bool YEditBox::FlashDue() const { return GetTickCount() > m_caret.lastToggle + GetCaretBlinkTime(); }

// ------------------------------------------------------------------ measuring

SIZE YEditBox::Extent(const CString& text, YDC* dc)
{
    SIZE size = {0, 0};
    if (m_font) size = m_font->TextExtent(text, text.GetLength());
    else if (dc) dc->GetTextExtent(text, &size);
    return size;
}

int YEditBox::PointToIndex(int x, int y)
{
    const int length = m_text.GetLength();
    const long long dx = static_cast<long long>(x) - m_rect.left;
    if (!m_font) {
        if (dx < kLeftSlack) return 0;
        return Clamped(dx / kPlainCharWidth);
    }
    const int labelWidth = m_label.IsEmpty() ? 0 : m_font->TextExtent(m_label, m_label.GetLength()).cx;
    const int lineHeight = m_font->TextExtent(m_text, length).cy;
    // Text that measures nothing high is one line.
    const long long line = lineHeight > 0 ? (static_cast<long long>(y) - m_rect.top) / lineHeight : 0;
    if (dx < kLeftSlack) return 0;
    const long long width = WidthOf(m_rect);
    long long sum = labelWidth, lines = 0;
    for (int i = 0; i < length; ++i) {
        sum += m_font->TextExtent(static_cast<const char*>(m_text) + i, 1).cx;
        if (width > 0 && sum > width) {
            ++lines;
            sum -= width;
        }
        if (lines >= line && sum >= dx) return i;
    }
    return length;
}

int YEditBox::IndexAt(int x, int y) { return std::clamp(PointToIndex(x, y), 0, m_text.GetLength()); }

POINT YEditBox::IndexToPoint(int index, YDC* dc)
{
    index = std::clamp(index, 0, m_text.GetLength());
    const SIZE before = Extent(m_text.Left(index), dc);
    long long width = before.cx;
    if (!m_label.IsEmpty()) width += Extent(m_label, dc).cx;
    const long long w = WidthOf(m_rect);
    long long line = 0;
    if (w >= 1) {
        line = width / w;
        width -= line * w;
    }
    return POINT{Clamped(m_rect.left + width), Clamped(m_rect.top + line * before.cy)};
}

bool YEditBox::Overflows(YFont* font)
{
    const long long width = WidthOf(m_rect), height = HeightOf(m_rect);
    RECT box = {0, 0, Clamped(width), Clamped(height)};
    if (!font) return false;
    font->DrawText(m_text, &box, DT_CALCRECT | DT_WORDBREAK, nullptr);
    return WidthOf(box) > width || HeightOf(box) > height + 1;
}

// ------------------------------------------------------------------ drawing

int YEditBox::Draw(YDC* dc)
{
    if (!m_visible || !dc) return 0;
    // Contexts live no longer than a draw: the box keeps the font it drew with.
    m_drawnFont = m_font ? nullptr : dc->GetFont();
    YFont* old = m_font ? dc->SwapFont(m_font) : nullptr;
    DrawBackground(dc);
    dc->TextOut(Clamped(static_cast<long long>(m_rect.left) + m_labelX),
                Clamped(static_cast<long long>(m_rect.top) + m_labelY), m_label, m_label.GetLength());
    RECT text = m_rect;
    text.left = Clamped(text.left + (m_label.IsEmpty() ? 0LL : Extent(m_label, dc).cx) + 1);
    // The read-only bit is DT_NOPREFIX too: a read-only box shows "&" as it is.
    UINT format = static_cast<UINT>(m_style & 0xFFFF & ~kWordWrapStyle);
    if (IsWordWrap()) format |= DT_WORDBREAK;
    dc->DrawText(m_text, &text, format);
    if (TakesInput()) {
        if (FlashDue()) {
            m_caret.visible = !m_caret.visible;
            m_caret.lastToggle = GetTickCount();
        }
        if (m_caret.visible && s_focus == this && (m_caretEnabled || m_text.IsEmpty())) {
            const POINT at = IndexToPoint(m_caret.position, dc);
            const int height = Extent(m_text.IsEmpty() ? CString("A") : m_text, dc).cy;
            RECT caret = {at.x, at.y, Clamped(at.x + 1LL), Clamped(static_cast<long long>(at.y) + height)};
            CBrush brush(GetForeColor());
            dc->FrameRect(&caret, &brush);
        }
    }
    if (m_selStart != m_selEnd) {
        const int from = std::min(m_selStart, m_selEnd), to = std::max(m_selStart, m_selEnd);
        RECT band = {Clamped(static_cast<long long>(m_rect.left) + Extent(m_text.Left(from), dc).cx),
                     Clamped(static_cast<long long>(m_rect.top) + m_labelY),
                     Clamped(static_cast<long long>(m_rect.left) + Extent(m_text.Left(to), dc).cx),
                     Clamped(static_cast<long long>(m_rect.bottom) - m_labelY)};
        RECT shown;
        if (IntersectRect(&shown, &band, &m_rect)) dc->InvertRect(&shown);
    }
    if (m_font) dc->SwapFont(old);
    return 0;
}

void YEditBox::DrawBackground(YDC*) {}

// ------------------------------------------------------------------ input

void YEditBox::NotifyChanged()
{
    if (m_parent) m_parent->HandleMessage(WM_NOTIFY, static_cast<WPARAM>(m_windowId), kNotifyChanged);
}

void YEditBox::OnLButtonDown(int, int x, int y)
{
    if (!TakesInput() || !m_visible) return;
    s_capture = this;
    m_selStart = IndexAt(x, y);
    m_caret.position = m_selEnd = m_selStart;
    if (m_parent) m_parent->HandleMessage(WM_NOTIFY, static_cast<WPARAM>(m_windowId), kNotifyPressed);
}

void YEditBox::OnMouseMove(int flags, int x, int y)
{
    YWindow::OnMouseMove(flags, x, y);
    if (s_capture == this) m_caret.position = m_selEnd = IndexAt(x, y);
}

void YEditBox::OnLButtonUp(int, int x, int y)
{
    if (s_capture != this) return;
    s_capture = nullptr;
    m_caret.position = m_selEnd = IndexAt(x, y);
}

void YEditBox::OnKeyDown(int key, int repeat, int keyFlags)
{
    if (!TakesInput()) return;
    if (FlashDue()) {
        m_caret.visible = 1;
        m_caret.lastToggle = GetTickCount();
    }
    ClampToText();
    int& caret = m_caret.position;
    switch (key) {
    case VK_BACK:
    case VK_DELETE:
        if (m_selStart != m_selEnd) {
            const int from = std::min(m_selStart, m_selEnd), to = std::max(m_selStart, m_selEnd);
            m_text.Delete(from, to - from);
            caret = m_selStart = m_selEnd = from;
        } else if (caret > 0) {
            m_text.Delete(caret - 1, 1);
            --caret;
        }
        ClampToText();
        break;
    case VK_TAB:
        if ((m_style & kTabStopStyle) && m_parent) m_parent->HandleMessage(WM_NEXTDLGCTL, 0, 0);
        break;
    case VK_END: caret = m_text.GetLength(); break;
    case VK_HOME: caret = 0; break;
    case VK_LEFT:
        if (caret > 0) --caret;
        break;
    case VK_RIGHT:
        if (caret < m_text.GetLength()) ++caret;
        break;
    default: break;
    }
    if (m_parent) m_parent->OnKeyDown(key, repeat, keyFlags);
    NotifyChanged();
}

CString YEditBox::Pastable(const CString& text) const
{
    CString kept;
    for (int i = 0; i < text.GetLength() && kept.GetLength() < m_maxLength; ++i)
        if (Printable(static_cast<unsigned char>(text[i]))) kept += text[i];
    return kept;
}

int YEditBox::OnChar(int ch, int repeat, int)
{
    if (!TakesInput()) return 0;
    ClampToText();
    const CString savedText = m_text;
    const Caret savedCaret = m_caret;
    const int savedStart = m_selStart, savedEnd = m_selEnd;
    if (Printable(ch)) {
        if (m_text.GetLength() < m_maxLength) {
            m_text.Insert(m_caret.position, static_cast<char>(ch));
            ++m_caret.position;
        }
    } else if (GetKeyState(VK_CONTROL) < 0 && repeat == 1) {
        if (ch == kCtrlC || ch == kCtrlX) m_clipboard.SetText(m_text);
        if (ch == kCtrlX) SetName("");
        if (ch == kCtrlV) {
            CString pasted;
            if (m_clipboard.GetText(pasted)) {
                SetName(Pastable(pasted));
                m_caret.position = m_text.GetLength();
            }
        }
    }
    if (Overflows(m_font ? m_font : m_drawnFont)) {
        m_text = savedText;
        m_caret = savedCaret;
        m_selStart = savedStart;
        m_selEnd = savedEnd;
    }
    NotifyChanged();
    return 0;
}

// ------------------------------------------------------------------ archive and loading

void YEditBox::Serialize(CArchive& ar)
{
    YWindow::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<LONG>(m_labelX) << static_cast<LONG>(m_labelY);
        ar << m_label;
    } else {
        if (m_archivedVersion >= 2) {
            LONG x, y;
            ar >> x >> y;
            m_labelX = x;
            m_labelY = y;
        }
        if (m_archivedVersion >= 3) ar >> m_label;
        ClampToText();
    }
    m_version = kVersion;
}

int YEditBox::LoadFont(int result)
{
    if (result && !m_font)
        if (YFont* font = dynamic_cast<YFont*>(GetResourceAt(0))) SetFont(font);
    return result;
}

int YEditBox::LoadFromFile(const CStringArray& directories, int flag)
{
    return LoadFont(LoadAlways(&directories, nullptr, flag));
}

int YEditBox::LoadFromCatalog(const char* directory, int flag)
{
    return LoadFont(LoadAlways(nullptr, directory, flag));
}
