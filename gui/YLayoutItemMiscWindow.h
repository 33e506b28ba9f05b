// List window items: text field (0), list box (1) and list control (2).
#pragma once

#include "gui/YLayoutItem.h"

class YLayoutItemMiscWindow : public YLayoutItem {
    DECLARE_DYNAMIC(YLayoutItemMiscWindow)
public:
    explicit YLayoutItemMiscWindow(int kind) : m_kind(kind) {}

    // The keyword's variant.
    int32_t m_kind;
};
