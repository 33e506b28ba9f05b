// Sprite items: animation (0) and dial (1).
#pragma once

#include "gui/YLayoutItem.h"

class YLayoutItemSprite : public YLayoutItem {
    DECLARE_DYNAMIC(YLayoutItemSprite)
public:
    explicit YLayoutItemSprite(int kind) : m_kind(kind) {}

    // The keyword's variant.
    int32_t m_kind;
};
