#include "gui/YTextCtrl.h"

#include "foundation/YResourceVisitor.h"
#include "graphics2d/YFont.h"
#include "gui/YDC.h"

IMPLEMENT_SERIAL(YTextCtrl, YWindow, 1)

YTextCtrl::YTextCtrl() : m_firstLine(0) {}

int YTextCtrl::Create(const char* text, int style, const RECT* rect, YWindow* parent, int id)
{
    return YWindow::Create(0, text, style, rect, parent, id, 0);
}

int YTextCtrl::Accept(YResourceVisitor* visitor) { return visitor->VisitTextCtrl(this); }

void YTextCtrl::Serialize(CArchive& ar) { YWindow::Serialize(ar); }

UINT YTextCtrl::GetFormat() const
{
    UINT format = 0;
    if (m_style & kRightStyle) format = DT_RIGHT;
    else if (m_style & kCentreStyle) format = DT_CENTER;
    if (!(m_style & kSingleLineStyles)) format |= DT_WORDBREAK;
    if (m_style & kVCentreStyle) format |= DT_VCENTER;
    return format;
}

int YTextCtrl::Draw(YDC* dc)
{
    if (!m_visible || !dc) return 0;
    YFont* old = m_font ? dc->SwapFont(m_font) : nullptr;
    DrawBackground(dc);
    const UINT format = GetFormat();
    int start = 0;
    if (YFont* font = dc->GetFont()) {
        start = font->GetCharIndex(m_text, &m_rect, m_firstLine, 0, format);
        if (start < 0 || start > m_text.GetLength()) start = 0;
    }
    RECT box = m_rect;
    dc->DrawText(m_text.Mid(start), &box, format);
    if (m_font) dc->SwapFont(old);
    m_lastDC = dc;
    return 0;
}

void YTextCtrl::TakeFontFromResources()
{
    YResource* first = GetResourceAt(0);
    if (!m_font && first && first->IsKindOf(RUNTIME_CLASS(YFont))) m_font = static_cast<YFont*>(first);
}

int YTextCtrl::LoadFromFile(const CStringArray& directories, int flag)
{
    const int result = LoadAlways(&directories, nullptr, flag);
    TakeFontFromResources();
    return result;
}

int YTextCtrl::LoadFromCatalog(const char* directory, int flag)
{
    const int result = LoadAlways(nullptr, directory, flag);
    TakeFontFromResources();
    return result;
}
