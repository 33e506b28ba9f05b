// A one-line text input.
#pragma once

#include "gui/YWindow.h"

class YEditBox : public YWindow {
    DECLARE_SERIAL(YEditBox)
public:
    YEditBox() = default;

    int Accept(YResourceVisitor* visitor) override;
};
