// One state of a lens-flare source, valid from its time key: where the
// source stands, how it is turned and three triples the flare drawing reads.
#pragma once

#include <cstdint>

struct YFlareElement {
    enum { kFlagShown = 0x1, kFlagMoon = 0x2, kFlagLight = 0x4 };

    uint8_t m_kind = 0;
    uint32_t m_timeKey = 0;  // minutes of the day; the current element holds seconds
    float m_direction[3] = {0.0f, 1.0f, 0.0f};  // towards the source
    float m_rotation = 0.0f;  // radians
    float m_valuesA[3] = {0.0f, 0.0f, 0.0f};  // colour
    uint8_t m_indexCount = 0;  // creating element: the images to copy; stored: 0
    const uint16_t* m_indices = nullptr;
    float m_valuesB[3] = {0.0f, 0.0f, 0.0f};
    float m_valuesC[3] = {0.0f, 0.0f, 0.0f};
    uint32_t m_flags = 0;
};
