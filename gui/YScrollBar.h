// A scroll bar.
#pragma once

#include "gui/YWindow.h"

class YScrollBar : public YWindow {
    DECLARE_SERIAL(YScrollBar)
public:
    YScrollBar() = default;

    int Accept(YResourceVisitor* visitor) override;
};
