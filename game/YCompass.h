// The screen geometry of the HUD compass: two fixed needle points and four
// markers placed around the dial by the plane's heading.
#pragma once

#include <cstdint>

class YCompass {
public:
    struct YX {
        int32_t y, x;
    };
    struct XY {
        int32_t x, y;
    };

    // The geometry, markers placed for heading 0.
    YCompass();
    virtual ~YCompass() = default;

    // Degrees; any value, 270 and -90 alike.
    void PlaceMarkers(float heading);

    float m_radius;
    int32_t m_centreY;
    int32_t m_centreX;
    YX m_needles[2];
    XY m_markers[4];
};
