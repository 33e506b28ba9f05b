// Image items: plain, tiled, dial, scaled and stretched pictures.
#pragma once

#include "gui/YLayoutItem.h"

class YLayoutItemImage : public YLayoutItem {
    DECLARE_DYNAMIC(YLayoutItemImage)
public:
    explicit YLayoutItemImage(int kind) : m_kind(kind) {}

    // The keyword's variant.
    int32_t m_kind;
};
