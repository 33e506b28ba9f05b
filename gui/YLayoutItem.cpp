#include "gui/YLayoutItem.h"

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
