#include "gui/YLayoutGroup.h"

#include "graphics2d/YDXSurface.h"
#include "graphics2d/YFont.h"
#include "gui/YDC.h"
#include "gui/YLayout.h"

IMPLEMENT_DYNAMIC(YLayoutGroup, YLayoutItem)

const char* const YLayoutGroup::kOperators[] = {"<", ">", "==", "!=", ">=", "<=", "&&", "||", "&", "|", nullptr};
const char* const YLayoutGroup::kSeparators[] = {",", nullptr};

YLayoutGroup::YLayoutGroup()
    : m_rect{0, 0, 0, 0}, m_cacheRect{0, 0, 0, 0}, m_cacheDrawing(0), m_offsetX(0), m_offsetY(0),
      m_blockKind(Group), m_operator(kNoOperator), m_colour(kMagenta), m_font(nullptr), m_gdiFont(nullptr),
      m_value(0)
{
}

YLayoutGroup::~YLayoutGroup() { Clear(); }

void YLayoutGroup::Clear()
{
    for (POSITION at = m_children.GetHeadPosition(); at;) delete static_cast<YLayoutItem*>(m_children.GetNext(at));
    m_children.RemoveAll();
    delete m_gdiFont;
    m_gdiFont = nullptr;
}

YLayoutItem* YLayoutGroup::GetChild(int index) const
{
    POSITION at = index >= 0 ? m_children.FindIndex(index) : nullptr;
    return at ? static_cast<YLayoutItem*>(m_children.GetAt(at)) : nullptr;
}

int YLayoutGroup::Value(int index, YDC* dc, YLayoutGroup* group)
{
    return m_layout->ResolveValue(m_args[index], dc, group);
}

CString YLayoutGroup::Text(int index, YDC* dc) { return m_layout->ResolveText(m_args[index], dc); }

void YLayoutGroup::Load(YDC* dc)
{
    m_colour = kMagenta;
    m_offsetX = m_offsetY = 0;
    if (!m_layout) return;
    const int count = GetArgCount();
    switch (m_blockKind) {
    case Group:
        if (count >= 4)
            m_rect = RECT{Value(0, dc, m_parentGroup), Value(1, dc, m_parentGroup), Value(2, dc, m_parentGroup),
                          Value(3, dc, m_parentGroup)};
        break;
    case If:
        if (count >= 2) {
            const CString op = Text(1, dc);
            m_operator = kNoOperator;
            for (int i = 0; kOperators[i]; ++i)
                if (op == kOperators[i]) {
                    m_operator = i;
                    break;
                }
        }
        break;
    case Cache:
        if (count >= 1) m_name = Text(0, dc);
        if (count >= 4)
            m_colour = RGB(Value(1, dc, m_parentGroup), Value(2, dc, m_parentGroup), Value(3, dc, m_parentGroup));
        break;
    case Font:
        if (count >= 1) {
            m_name = Text(0, dc);
            m_font = m_layout->GetFont(m_name, nullptr);
        }
        if (count >= 2) m_value = Value(1, dc, m_parentGroup);
        break;
    case FontWin:
        if (count >= 2) {
            const CString face = Text(0, dc);
            const int size = Value(1, dc, m_parentGroup);
            if (count >= 5)
                m_colour = RGB(Value(2, dc, m_parentGroup), Value(3, dc, m_parentGroup), Value(4, dc, m_parentGroup));
            if (!m_gdiFont || face != m_name || size != m_value) {
                delete m_gdiFont;
                m_gdiFont = new CFont;
                m_gdiFont->CreatePointFont(size, face);
                m_name = face;
                m_value = size;
            }
        }
        break;
    default: break;
    }
}

int YLayoutGroup::Evaluate(YDC* dc)
{
    if (!m_layout) return 1;
    switch (m_blockKind) {
    case Depth:
        if (GetArgCount() >= 1 && m_layout->GetDepth() < Value(0, dc, nullptr)) return 2;
        return 1;
    case If: {
        if (GetArgCount() == 1) return Value(0, dc, nullptr) != 0 ? 1 : 0;
        if (GetArgCount() != 3) return 1;
        const int32_t a = Value(0, dc, nullptr), b = Value(2, dc, nullptr);
        switch (m_operator) {
        case 0: return a < b;
        case 1: return a > b;
        case 2: return a == b;
        case 3: return a != b;
        case 4: return a >= b;
        case 5: return a <= b;
        case 6: return a && b;
        case 7: return a || b;
        case 8: return (a & b) != 0;
        case 9: return (a | b) != 0;
        default: return 0;
        }
    }
    default: return 1;
    }
}

int YLayoutGroup::DrawChildren(YDC* dc)
{
    int result = 0;
    for (POSITION at = m_children.GetHeadPosition(); at;) {
        YLayoutItem* child = static_cast<YLayoutItem*>(m_children.GetNext(at));
        result |= child->Draw(dc);
        m_cost += child->m_cost;
    }
    return result;
}

void YLayoutGroup::DrawCache(YDC* dc)
{
    GetRect(dc, &m_cacheRect);
    bool created = false;
    YDXSurface* surface = m_layout->GetSurface(m_name, m_cacheRect.right - m_cacheRect.left,
                                               m_cacheRect.bottom - m_cacheRect.top, &created);
    if (!surface) return;
    if (created) {
        surface->SetTransparentColor(m_colour);
        surface->Clear(nullptr, static_cast<LONG>(m_colour));
        YDXSurface* former = dc->GetSurface();
        dc->SetSurface(surface);
        m_cacheDrawing = 1;
        DrawChildren(dc);
        m_cacheDrawing = 0;
        dc->SetSurface(former);
    }
    if (YDXSurface* target = dc->GetSurface()) target->Blt(surface, &m_cacheRect, nullptr, 1, 0, 0);
}

int YLayoutGroup::Draw(YDC* dc)
{
    const DWORD start = GetTickCount();
    if (!m_loaded) Load(dc);
    if (m_layout && m_blockKind == Group && GetArgCount() > 4) {
        m_offsetX = Value(4, dc, m_parentGroup);
        if (GetArgCount() > 5) m_offsetY = Value(5, dc, m_parentGroup);
    }
    const int shown = Evaluate(dc);
    m_cost = static_cast<int32_t>(GetTickCount() - start);
    const int ownCost = m_cost;

    YFont* oldFont = nullptr;
    int oldSpacing = 0;
    CFont* oldGdiFont = nullptr;
    COLORREF oldColour = 0;
    const bool swapFont = dc && m_blockKind == Font && m_font;
    const bool swapGdiFont = dc && m_blockKind == FontWin && m_gdiFont;
    if (swapFont) {
        oldSpacing = m_font->GetSpacing();
        m_font->SetSpacing(m_value);
        oldFont = dc->SwapFont(m_font);
    } else if (swapGdiFont) {
        oldGdiFont = dc->SetGdiFont(m_gdiFont);
        oldFont = dc->SwapFont(nullptr);
        oldColour = dc->SetTextColor(m_colour);
    }

    int result = 0;
    m_cost = 0;
    if (shown == 1 && m_blockKind == Cache && m_layout && dc) DrawCache(dc);
    else if (shown == 1) result = DrawChildren(dc);
    else if (shown == 0) Hide();

    if (swapFont) {
        dc->SwapFont(oldFont);
        m_font->SetSpacing(oldSpacing);
    } else if (swapGdiFont) {
        dc->SetGdiFont(oldGdiFont);
        dc->SwapFont(oldFont);
        dc->SetTextColor(oldColour);
    }
    m_cost += ownCost;
    if (m_layout) m_layout->m_groupTime += m_cost;
    return result;
}

RECT* YLayoutGroup::GetRect(YDC* dc, RECT* out)
{
    if (!out) return out;
    if (m_cacheDrawing) {
        *out = m_cacheRect;
        OffsetRect(out, -m_cacheRect.left, -m_cacheRect.top);
        return out;
    }
    if (!m_parentGroup) {
        if (m_layout) m_layout->GetRect(out);
        else *out = RECT{0, 0, 0, 0};
        return out;
    }
    RECT parent;
    m_parentGroup->GetRect(dc, &parent);
    *out = parent;
    if (m_blockKind == Group) {
        *out = m_rect;
        OffsetRect(out, parent.left, parent.top);
    }
    return out;
}

void YLayoutGroup::Reload()
{
    for (POSITION at = m_children.GetHeadPosition(); at;) static_cast<YLayoutItem*>(m_children.GetNext(at))->Reload();
    m_loaded = 0;
}

void YLayoutGroup::Hide()
{
    for (POSITION at = m_children.GetHeadPosition(); at;) static_cast<YLayoutItem*>(m_children.GetNext(at))->Hide();
}
