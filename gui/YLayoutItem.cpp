#include "gui/YLayoutItem.h"

#include <algorithm>

#include "gui/YLayout.h"
#include "gui/YLayoutGroup.h"
#include "gui/YLayoutRes.h"
#include "gui/YLayoutResSet.h"
#include "gui/YWindow.h"

IMPLEMENT_DYNAMIC(YLayoutItem, CObject)

YLayoutItem::YLayoutItem()
    : m_context(-1), m_parentGroup(nullptr), m_layout(nullptr), m_trailingR(0), m_loaded(0), m_cost(0)
{
}

YLayoutItem::~YLayoutItem() = default;

int YLayoutItem::Draw(YDC* dc)
{
    if (!m_loaded) Load(dc);
    return 0;
}

void YLayoutItem::Load(YDC*) {}

void YLayoutItem::Reload() { m_loaded = 0; }

void YLayoutItem::Hide() {}

namespace {
LONG Saturated(int64_t value)
{
    return static_cast<LONG>(std::max<int64_t>(INT32_MIN, std::min<int64_t>(INT32_MAX, value)));
}

void Shift(RECT& rect, int64_t dx, int64_t dy)
{
    rect = RECT{Saturated(rect.left + dx), Saturated(rect.top + dy), Saturated(rect.right + dx),
                Saturated(rect.bottom + dy)};
}
}  // namespace

RECT YLayoutItem::GetGroupRect(YDC* dc) const
{
    RECT group = {0, 0, 0, 0};
    if (m_parentGroup) m_parentGroup->GetRect(dc, &group);
    else if (m_layout) m_layout->GetRect(&group);
    return group;
}

RECT YLayoutItem::PlaceInGroup(YDC* dc, const RECT& rect, RECT* group) const
{
    const RECT around = GetGroupRect(dc);
    if (group) *group = around;
    RECT placed = rect;
    Shift(placed, around.left, around.top);
    if (m_parentGroup) Shift(placed, m_parentGroup->m_offsetX, m_parentGroup->m_offsetY);
    return placed;
}

bool YLayoutItem::Inside(const RECT& rect, const RECT& group)
{
    return rect.left >= group.left && rect.top >= group.top && rect.right <= group.right && rect.bottom <= group.bottom;
}

YWindow* YLayoutItem::LoadedControl(YWindow* window) const
{
    if (!window || !m_loaded || !m_layout) return nullptr;
    YLayoutResSet* set = m_layout->GetResourceSet();
    const YLayoutRes* record = set ? set->FindControlRecord(window) : nullptr;
    return record && record->m_owner == this ? window : nullptr;
}

bool YLayoutItem::PlaceControl(YDC* dc, YWindow* window, const RECT& rect) const
{
    RECT group;
    const RECT placed = PlaceInGroup(dc, rect, &group);
    RECT current;
    window->GetRect(&current);
    const bool moved = !EqualRect(&placed, &current);
    if (moved) window->MoveTo(&placed);
    window->m_visible = Inside(placed, group) ? 1 : 0;
    return moved;
}
