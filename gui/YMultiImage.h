// A window showing one of several images.
#pragma once

#include "gui/YWindow.h"

class YMultiImage : public YWindow {
    DECLARE_SERIAL(YMultiImage)
public:
    YMultiImage() = default;

    int Accept(YResourceVisitor* visitor) override;
};
