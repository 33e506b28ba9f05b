// A sky object of the map (sun, moon and the like): its flare elements by
// time of day, the images it may show and the device light it may drive.
#pragma once

#include <cstdint>
#include <vector>

#include "frame/YFlareElement.h"

class YD3D6CelestialObject {
public:
    enum { kNoImage = 0xFFFF };

    // A source made from its first element, whose images it keeps.
    explicit YD3D6CelestialObject(const YFlareElement& first);

    // The element stored as given, without images.
    static YFlareElement Stored(const YFlareElement& element);
    int ElementCount() const { return int(m_elements.size()); }

    uint8_t m_kind = 0;
    uint32_t m_flags = 0;
    uint16_t m_currentImage = kNoImage;
    std::vector<uint16_t> m_images;
    int32_t m_light = -1;  // the place in the source-light list, -1 none
    YFlareElement m_current;
    std::vector<YFlareElement> m_elements;
};
