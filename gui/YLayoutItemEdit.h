// Edit field items; kind 0 ("edit") turns Enter and Escape into commands.
#pragma once

#include "gui/YLayoutItem.h"

class YLayoutItemEdit : public YLayoutItem {
    DECLARE_DYNAMIC(YLayoutItemEdit)
public:
    explicit YLayoutItemEdit(int kind) : m_kind(kind), m_hideOnEnter(0) {}

    // The keyword's variant.
    int32_t m_kind;
    // Enter hides the edit box.
    uint8_t m_hideOnEnter;
};
