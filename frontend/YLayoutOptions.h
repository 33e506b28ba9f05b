// The "options" screen's layout; its screen behaviour comes with the screens.
#pragma once

#include "frontend/YAppLayout.h"

class YLayoutOptions : public YAppLayout {
    DECLARE_DYNAMIC(YLayoutOptions)
public:
    YLayoutOptions() = default;
};
