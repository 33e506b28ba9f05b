// Slider items: a slider of the layout's resource set, found by name, given
// its range, step and value at load and kept placed in the item's block.
#pragma once

#include "gui/YLayoutItem.h"

class YSlider;

class YLayoutItemSlider : public YLayoutItem {
    DECLARE_DYNAMIC(YLayoutItemSlider)
public:
    enum { kPlaceholderFill = 0xFFFFFF, kPlaceholderOutline = 0xFF0000 };

    YLayoutItemSlider();

    // Reads the arguments and sets the slider up; nothing read with too few.
    void Load(YDC* dc) override;
    // Places and draws the slider; a white box with the name stands in for
    // a missing one.  0.
    int Draw(YDC* dc) override;
    // The block is not shown: the slider hides.
    void Hide() override;

    // Set by Load; belongs to the resource set.
    YSlider* m_window;
    RECT m_rect;
    CString m_name;
    CString m_command;
    int32_t m_minimum;
    int32_t m_maximum;
    int32_t m_step;
    int32_t m_value;
};
