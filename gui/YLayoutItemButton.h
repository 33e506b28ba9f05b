// Button items: image or text buttons, plain, radio or check.
#pragma once

#include "gui/YLayoutItem.h"

class YLayoutItemButton : public YLayoutItem {
    DECLARE_DYNAMIC(YLayoutItemButton)
public:
    YLayoutItemButton(int text, int buttonStyle) : m_text(text), m_buttonStyle(buttonStyle) {}

    // 1 for the text buttons.
    int32_t m_text;
    // 0 plain, 0x2 check, 0x4 radio.
    int32_t m_buttonStyle;
};
