// A dialog window.
#pragma once

#include "gui/YWindow.h"

class YDialog : public YWindow {
    DECLARE_SERIAL(YDialog)
public:
    YDialog() = default;

    int Accept(YResourceVisitor* visitor) override;
};
