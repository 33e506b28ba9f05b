// The particle actor of the current weather element. So far the parts the
// game server drives: its parameters, intensity, stop flag and loop sound.
#pragma once

#include <cstdint>

#include "game/WeatherElementParams.h"
#include "world/YActor.h"

class YWeatherElement : public YActor {
public:
    YWeatherElement() = default;

    // Begins the element with its parameters.
    virtual void Start() {}
    // Its loop sound stops.
    virtual void Silence() { RemoveSound(m_loopSound); }

    WeatherElementParams m_params;
    float m_intensity = 0.0f;
    uint8_t m_stop = 0;  // set: the element ends by itself
    YString m_loopSound;
};
