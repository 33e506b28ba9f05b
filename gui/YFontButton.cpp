#include "gui/YFontButton.h"

#include "foundation/YResourceVisitor.h"
#include "graphics2d/YFont.h"
#include "gui/YDC.h"

IMPLEMENT_SERIAL(YFontButton, YButton, 1)

YFontButton::YFontButton() { m_id = kTypeCode; }

YResource* YFontButton::CopyTo(YResource* target)
{
    if (!target) target = new YFontButton;
    else if (!target->IsKindOf(RUNTIME_CLASS(YFontButton))) return nullptr;
    return YButton::CopyTo(target);
}

int YFontButton::Accept(YResourceVisitor* visitor) { return visitor->VisitButton(this); }

int YFontButton::DrawResource(YDC* dc, const RECT* where, int index)
{
    if (index < 0 || index >= GetResourceCount()) return 0;
    if (!dc || !where) return 1;
    YResource* resource = GetResourceAt(index);
    YFont* font = resource && resource->IsKindOf(RUNTIME_CLASS(YFont)) ? static_cast<YFont*>(resource) : nullptr;
    YFont* old = dc->SwapFont(font);
    dc->TextOut(where->left, where->top, m_text, m_text.GetLength());
    dc->SwapFont(old);
    return 1;
}

RECT* YFontButton::GetRect(RECT* out)
{
    if (!out) return out;
    *out = m_rect;
    YResource* first = GetResourceAt(0);
    if (first && first->IsKindOf(RUNTIME_CLASS(YFont))) {
        const SIZE size = static_cast<YFont*>(first)->TextExtent(m_text, m_text.GetLength());
        out->right = Clamped(static_cast<long long>(out->left) + size.cx);
        out->bottom = Clamped(static_cast<long long>(out->top) + size.cy);
    }
    return out;
}

int YFontButton::DrawCaption(YDC*) { return 0; }
