// A puff of smoke.
#pragma once

#include "world/YActor.h"

class YSmoke : public YActor {
    DECLARE_SERIAL(YSmoke)
public:
    YSmoke();
    YSmoke(const YVector& position, float size);

    float m_size;
};
