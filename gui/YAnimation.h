// An animated image window.
#pragma once

#include "gui/YWindow.h"

class YAnimation : public YWindow {
    DECLARE_SERIAL(YAnimation)
public:
    YAnimation() = default;

    int Accept(YResourceVisitor* visitor) override;
};
