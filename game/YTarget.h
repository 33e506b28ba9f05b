// The world-model target of the bombing run, placed by the population script.
#pragma once

#include <cstdint>

#include "foundation/YString.h"
#include "world/YActor.h"

class YTarget : public YActor {
public:
    enum : uint32_t { FlagTargetKind = 0x400000 };

    YTarget();
    YTarget(const YVector& position, bool resetNames);

    YString m_label;  // set by the population script
    uint8_t m_hitByBot;
    uint8_t m_hitByPlayer;
    int32_t m_points;

    static int s_nameCounter;
};
