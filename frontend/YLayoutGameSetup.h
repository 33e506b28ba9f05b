// The "gamesetup" screen's layout; its screen behaviour comes with the screens.
#pragma once

#include "frontend/YAppLayout.h"

class YLayoutGameSetup : public YAppLayout {
    DECLARE_DYNAMIC(YLayoutGameSetup)
public:
    YLayoutGameSetup() = default;
};
