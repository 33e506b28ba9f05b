// The weather of the running map: the active element, its intensity, the
// wind and the change flags the game server reads after each update. So far
// the parts the game server reads: a clear sky and still air that never
// change.
#pragma once

#include <cstdint>

#include "foundation/YString.h"
#include "foundation/YVector.h"
#include "game/WeatherElementParams.h"
#include "platform/mfc.h"

class YWeather : public CObject {
public:
    YWeather() = default;
    ~YWeather() override { delete m_elementParams; }
    YWeather(const YWeather&) = delete;
    YWeather& operator=(const YWeather&) = delete;

    // The map's weather data and the start weather.
    virtual void Load() {}
    // One frame; the change flags start cleared.
    virtual void Update(float)
    {
        m_changed = 0;
        m_intensityChanged = 0;
        m_elementChanged = 0;
    }

    YVector m_wind;            // metres a second
    float m_intensity = 0.0f;  // 0 with a clear sky
    YString m_elementName;
    uint8_t m_changed = 0;
    uint8_t m_intensityChanged = 0;
    uint8_t m_elementChanged = 0;
    WeatherElementParams* m_elementParams = nullptr;  // owned; none when clear
};
