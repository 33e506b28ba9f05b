// A combo box.
#pragma once

#include "gui/YWindow.h"

class YComboBox : public YWindow {
    DECLARE_SERIAL(YComboBox)
public:
    YComboBox() = default;

    int Accept(YResourceVisitor* visitor) override;
};
