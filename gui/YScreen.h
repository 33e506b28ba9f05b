// A full-screen window.
#pragma once

#include "gui/YWindow.h"

class YScreen : public YWindow {
    DECLARE_SERIAL(YScreen)
public:
    YScreen() = default;

    int Accept(YResourceVisitor* visitor) override;
};
