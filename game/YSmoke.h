// A drifting smoke puff that grows over its life and then goes.
#pragma once

#include <cstdint>

#include "game/YSpriteActor.h"

class YSmoke : public YSpriteActor {
    DECLARE_SERIAL(YSmoke)
public:
    YSmoke();
    // Joins the active world at the position; life in seconds.
    YSmoke(const YVector& position, float life, int rises = 0);

    void Update(float dt) override;

    float m_life = 0.0f;  // remaining, seconds
    float m_totalLife = 0.0f;
    YVector m_drift;
    uint8_t m_rises = 0;

private:
    void Show(const char* key);
};
