// A push button.
#pragma once

#include "gui/YWindow.h"

class YButton : public YWindow {
    DECLARE_SERIAL(YButton)
public:
    YButton() = default;

    int Accept(YResourceVisitor* visitor) override;
};
