// A list with columns.
#pragma once

#include "gui/YWindow.h"

class YListCtrl : public YWindow {
    DECLARE_SERIAL(YListCtrl)
public:
    YListCtrl() = default;

    int Accept(YResourceVisitor* visitor) override;
};
