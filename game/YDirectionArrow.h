// The sprite arrow a plane carries to point its pilot toward the target.
#pragma once

#include <cstdint>

#include "game/YSpriteActor.h"

class YDirectionArrow : public YSpriteActor {
    DECLARE_SERIAL(YDirectionArrow)
public:
    // Directions: up, down, left, right; any other value points all ways.
    enum { Up = 0, Down = 1, Left = 2, Right = 3, KindPlane = 4 };

    YDirectionArrow();
    explicit YDirectionArrow(int kind);
    YDirectionArrow(const YVector& position, int kind);

    virtual void Init(const YVector& position, int kind);

    int32_t m_kind;  // the direction
};
