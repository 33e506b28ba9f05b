// The playback record of a sound emitter: cone angles, distances and the
// values the map's sound set-up gives meaning to.
#pragma once

#include <cstdint>

#include "platform/mfc.h"

class YSoundEmitterInfo : public CObject {
public:
    YSoundEmitterInfo() { Reset(); }

    int Reset();
    void CopyFrom(const YSoundEmitterInfo& other);
    void Serialize(CArchive& ar) override;

    int32_t m_value1;
    int32_t m_value2;
    int32_t m_value3;
    int32_t m_value4;
    int32_t m_value5;
    int32_t m_value6;
    float m_coneInside;   // degrees
    float m_coneOutside;  // degrees
    int32_t m_value9;
    float m_maxDistance;
    float m_minDistance;
    int32_t m_value12;
    int32_t m_value13;
};
