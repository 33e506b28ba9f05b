// Text and shape items: strings, tickers, rectangles, frames, grids and lines.
#pragma once

#include "gui/YLayoutItem.h"

class YLayoutItemDraw : public YLayoutItem {
    DECLARE_DYNAMIC(YLayoutItemDraw)
public:
    explicit YLayoutItemDraw(int kind) : m_kind(kind) {}

    // The keyword's variant.
    int32_t m_kind;
};
