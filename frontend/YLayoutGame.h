// The "game" screen's layout; its screen behaviour comes with the screens.
#pragma once

#include "frontend/YAppLayout.h"

class YLayoutGame : public YAppLayout {
    DECLARE_DYNAMIC(YLayoutGame)
public:
    YLayoutGame() = default;
};
