// A slider.
#pragma once

#include "gui/YWindow.h"

class YSlider : public YWindow {
    DECLARE_SERIAL(YSlider)
public:
    YSlider() = default;

    int Accept(YResourceVisitor* visitor) override;
};
