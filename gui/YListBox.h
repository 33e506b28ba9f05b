// A list of text lines.
#pragma once

#include "gui/YWindow.h"

class YListBox : public YWindow {
    DECLARE_SERIAL(YListBox)
public:
    YListBox() = default;

    int Accept(YResourceVisitor* visitor) override;
};
