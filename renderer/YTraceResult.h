// What the last world trace hit: the renderer keeps one and overwrites it
// with every trace.
#pragma once

#include <cstdint>

#include "platform/win32.h"

class YSMHandle;

struct YTraceResult {
    enum {
        kNone = 0,
        kTreeCylinder = 5,
        kTreeBillboard = 3,
        kTerrain = 0x100,
        kWater = 0x400,
    };

    void* m_hitObject = nullptr;  // null for terrain and tree hits
    DWORD m_hitCode = kNone;
    DWORD m_words[2] = {0, 0};
    float m_hitPoint[3] = {0, 0, 0};  // the segment's end when nothing was hit
    YSMHandle* m_model = nullptr;
    DWORD m_detail = 0;
    uint16_t m_typeIndex = 0;
    float m_objectPosition[3] = {0, 0, 0};
    float m_objectAngles[3] = {0, 0, 0};
    float m_objectScale = 0;
    float m_objectHeight = 0;
    uint8_t m_nodeFlags = 0;
    int8_t m_side = 0;  // 1 or -1: which side of the segment the object lies on
    int16_t m_typeCopy = 0;
    uint8_t m_itemSlot = 0;
    DWORD m_cell = 0;
    uint16_t m_group = 0xFFFF;
    float m_distance2 = 0;  // squared distance of the hit from the start
    float m_texel[4] = {0, 0, 0, 0};
    uint16_t m_textureWords[2] = {0xFFFF, 0};
    float m_normal[3] = {0, 0, 0};
};
