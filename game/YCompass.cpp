#include "game/YCompass.h"

#include <cmath>

#include "foundation/YVector.h"

namespace {
// The unit direction of a yaw, scaled.
YVector Heading(float yaw, float length) { return YVector(0.0f, yaw, 0.0f).FromAngles() * length; }
// Marker slot (from 0) of each quarter turn.
const int kMarkerSlot[4] = {0, 3, 1, 2};
}  // namespace

YCompass::YCompass() : m_radius(75.0f), m_centreY(375), m_centreX(540), m_needles{}, m_markers{}
{
    const float yaws[2] = {45.0f, -45.0f};
    for (int i = 0; i < 2; ++i) {
        const YVector d = Heading(yaws[i], m_radius - 10.0f);
        m_needles[i].y = static_cast<int32_t>(static_cast<float>(m_centreY) - d.z);
        m_needles[i].x = static_cast<int32_t>(static_cast<float>(m_centreX) + d.x);
    }
    PlaceMarkers(0.0f);
}

void YCompass::PlaceMarkers(float heading)
{
    // Into [0, 360) first, so that one heading gives one set of points.
    float angle = std::fmod(heading + 180.0f, 360.0f);
    if (angle < 0.0f) angle += 360.0f;
    if (!std::isfinite(angle)) angle = 0.0f;
    for (int k = 0; k < 4; ++k) {
        const YVector d = Heading(angle, m_radius);
        XY& marker = m_markers[kMarkerSlot[k]];
        marker.x = static_cast<int32_t>(static_cast<float>(m_centreX) + d.x);
        marker.y = static_cast<int32_t>(static_cast<float>(m_centreY) + d.z);
        angle += 90.0f;
        if (angle >= 360.0f) angle -= 360.0f;
    }
}
