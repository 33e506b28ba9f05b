#include "gui/YButton.h"

#include "foundation/YResourceVisitor.h"
#include "gui/YButtonOff.h"
#include "gui/YDC.h"
#include "gui/YLayout.h"
#include "gui/Sounder.h"

IMPLEMENT_SERIAL(YButton, YWindow, 1)

YButton::YButton()
    : m_state(0), m_group(0), m_normalImage(0), m_downImage(1), m_hoverImage(2), m_hoverPlayed(0)
{
    m_id = kTypeCode;
    m_clickSound = 1;
}

YButton::YButton(const YButton& other)
    : YWindow(other), m_state(0), m_group(other.m_group), m_normalImage(other.m_normalImage),
      m_downImage(other.m_downImage), m_hoverImage(other.m_hoverImage), m_hoverPlayed(0)
{
    m_id = other.m_id;
}

int YButton::Create(const char* text, int style, const RECT* rect, YWindow* parent, int id)
{
    return YWindow::Create(0, text, style, rect, parent, id, 0);
}

int YButton::Accept(YResourceVisitor* visitor) { return visitor->VisitButton(this); }

void YButton::Notify(int code)
{
    if (m_parent) m_parent->HandleMessage(WM_NOTIFY, static_cast<WPARAM>(m_windowId), static_cast<LPARAM>(code));
}

// ------------------------------------------------------------------ state

void YButton::SetCheck(bool on)
{
    if (!on) {
        GoUp();
        return;
    }
    GoDown();
    if (m_style & kRadioStyle) UncheckGroup();
}

bool YButton::IsChecked() { return IsDown(); }

void YButton::SetGroup(int group) { m_group = group; }

int YButton::GetGroup() { return m_group; }

void YButton::UncheckGroup()
{
    if (!m_parent) return;
    YButtonOff off(m_group);
    for (int i = 0; i < m_parent->GetChildCount(); ++i) {
        YWindow* sibling = m_parent->GetChild(i);
        if (sibling != this) sibling->Accept(&off);
    }
}

// ------------------------------------------------------------------ mouse

void YButton::OnLButtonDown(int flags, int x, int y)
{
    YWindow::OnLButtonDown(flags, x, y);
    if (IsDisabled() || !m_visible) return;
    if ((m_style & kToggleStyle) && IsDown()) {
        GoUp();
        if (m_style & kRadioStyle) UncheckGroup();
    } else {
        GoDown();
        Notify(kNotifyPressed);
        if (m_style & kRadioStyle) UncheckGroup();
    }
    s_lastClick = POINT{Diff(x, m_rect.left), Diff(y, m_rect.top)};
}

void YButton::OnLButtonUp(int flags, int x, int y)
{
    if (IsPushButton()) GoUp();
    YWindow::OnLButtonUp(flags, x, y);
}

void YButton::SetHover()
{
    if (m_visible && m_parent && !IsDisabled() && !m_hoverPlayed) {
        Sounder sounder;
        // A layout plays the second sound of the screen that holds it.
        if (!m_parent->Accept(&sounder) && m_parent->IsKindOf(RUNTIME_CLASS(YLayout)))
            static_cast<YLayout*>(m_parent)->PlaySecondSound();
        Notify(kNotifyHover);
        m_hoverPlayed = 1;
    }
    YWindow::SetHover();
}

// ------------------------------------------------------------------ drawing

int YButton::Draw(YDC* dc)
{
    if (!m_visible) return 0;
    const int count = GetResourceCount();
    const bool hovered = s_hover == this;
    if (m_style & kImageOnlyStyle) {
        int index = 0;
        if (IsDisabled()) {
            index = 2;
        } else if (!hovered) {
            GoUp();
            m_hoverPlayed = 0;
        } else if (count >= 4) {
            index = 1;
        }
        if (index >= count) index = 0;
        if (!dc) return 0;
        YResource* image = GetResourceAt(index);
        if (image) {
            if (s_defaultSource) dc->DrawFromSource(&m_rect, image, s_defaultSource, 0);
            else dc->DrawResource(&m_rect, image, 0, 0);
        } else {
            // No picture to show: the text, as a button without images.
            DrawBackground(dc);
            dc->TextOut(Clamped(m_rect.left + 3LL), Clamped(m_rect.top + 3LL), m_text, m_text.GetLength());
        }
        return 0;
    }
    if (!hovered) {
        if (m_style == 0) GoUp();
        m_hoverPlayed = 0;
    }
    if (!dc) return 0;
    int index = m_normalImage;
    if (count >= 2) {
        if (IsDown()) index = m_downImage;
        else if (hovered && count >= 3) index = m_hoverImage;
    }
    if (count >= 4 && IsDisabled()) index = 3;
    if (!DrawResource(dc, &m_rect, index)) {
        DrawBackground(dc);
        dc->TextOut(Clamped(m_rect.left + 3LL), Clamped(m_rect.top + 3LL), m_text, m_text.GetLength());
    }
    DrawCaption(dc);
    for (int i = 0; i < GetChildCount(); ++i) GetChild(i)->Draw(dc);
    m_lastDC = dc;
    return 0;
}

int YButton::DrawCaption(YDC* dc)
{
    if (!dc || !m_visible || (m_style & kImageOnlyStyle) || m_caption.IsEmpty()) return 0;
    YFont* font = m_captionFonts[kNormalFont];
    if (s_hover == this && m_stateFonts) font = m_captionFonts[kHoverFont];
    if (IsDown() && m_stateFonts) font = m_captionFonts[kPressedFont];
    if (IsDisabled() && m_captionFonts[kDisabledFont]) font = m_captionFonts[kDisabledFont];
    if (!font) return 0;
    YFont* old = dc->SwapFont(font);
    RECT box = {Clamped(m_rect.left + 4LL + m_captionX), Clamped(m_rect.top - 3LL + m_captionY),
                Clamped(static_cast<long long>(m_rect.right) + m_captionX),
                Clamped(static_cast<long long>(m_rect.bottom) + m_captionY)};
    dc->DrawText(m_caption, &box, static_cast<UINT>(m_captionFormat));
    dc->SwapFont(old);
    return 0;
}

// ------------------------------------------------------------------ copy and archive

YResource* YButton::CopyTo(YResource* target)
{
    if (!target) target = static_cast<YResource*>(GetRuntimeClass()->CreateObject());
    else if (!target->IsKindOf(RUNTIME_CLASS(YButton))) return nullptr;
    if (!target) return nullptr;
    YButton* button = static_cast<YButton*>(target);
    YWindow::CopyTo(button);
    button->m_state = m_state;
    button->m_group = m_group;
    button->m_normalImage = m_normalImage;
    button->m_downImage = m_downImage;
    button->m_hoverImage = m_hoverImage;
    button->m_hoverPlayed = m_hoverPlayed;
    for (int i = 0; i < 4; ++i) button->m_captionFonts[i] = m_captionFonts[i];
    button->m_captionFormat = m_captionFormat;
    button->m_captionX = m_captionX;
    button->m_captionY = m_captionY;
    return button;
}

void YButton::Serialize(CArchive& ar)
{
    YWindow::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(m_group);
    } else {
        DWORD group;
        ar >> group;
        m_group = static_cast<int32_t>(group);
    }
}
