// Slider items.
#pragma once

#include "gui/YLayoutItem.h"

class YLayoutItemSlider : public YLayoutItem {
    DECLARE_DYNAMIC(YLayoutItemSlider)
public:
    YLayoutItemSlider() : m_settings{1, 100, 1, 1} {}

    // Preset for the slider's range and steps.
    int32_t m_settings[4];
};
