// A Tunnix ball worth 25, 50 or 100 points: planes carry up to five and bank
// them at a goal.
#pragma once

#include <cstdint>

#include "game/YSpriteActor.h"

class YTunnix : public YSpriteActor {
public:
    enum : uint32_t { Blue = 0, Red = 1, Yellow = 2 };
    static const int kMaxCarried = 5;

    YTunnix();
    YTunnix(const YVector& position, uint32_t colour, bool resetNames);

    virtual void Init(const YVector& position, uint32_t colour, bool resetNames);
    void Touch(YActor* other) override;
    int32_t Points() const;

    uint32_t m_colour;

    static int s_nameCounter;
};
