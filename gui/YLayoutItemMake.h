// Items that make buttons, fonts, sprites and sliders for later items.
#pragma once

#include "gui/YLayoutItem.h"

class YLayoutItemMake : public YLayoutItem {
    DECLARE_DYNAMIC(YLayoutItemMake)
public:
    explicit YLayoutItemMake(int kind) : m_kind(kind) {}

    // The keyword's variant.
    int32_t m_kind;
};
