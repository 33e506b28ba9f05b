// A text label.
#pragma once

#include "gui/YWindow.h"

class YTextCtrl : public YWindow {
    DECLARE_SERIAL(YTextCtrl)
public:
    YTextCtrl() = default;

    int Accept(YResourceVisitor* visitor) override;
};
