// The arrow that points a pilot toward its target.
#pragma once

#include "world/YActor.h"

class YDirectionArrow : public YActor {
    DECLARE_SERIAL(YDirectionArrow)
public:
    enum { KindPlane = 4 };

    YDirectionArrow();
    explicit YDirectionArrow(int kind);

    int32_t m_kind;
};
