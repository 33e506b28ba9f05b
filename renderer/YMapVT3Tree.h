// Trees of a map: a group along a path (kind 0) or one tree at a point (kind 1).
#pragma once

#include <vector>

#include "platform/win32.h"

struct YMapVT3TreePoint {
    float m_x = 0;
    float m_z = 0;
};

struct YMapVT3Tree {
    enum { kPath = 0, kSingle = 1, kTreeKinds = 5 };
    BYTE m_kind = kPath;

    // kind 0; the comments say how the sample maps fill the fields
    WORD m_treeCount = 0;
    DWORD m_seed = 0;
    BYTE m_orientation = 0;
    BYTE m_bytesA[kTreeKinds] = {};    // smallest size byte of each kind
    BYTE m_bytesB[kTreeKinds] = {};    // largest size byte
    WORD m_wordsA[kTreeKinds] = {};    // tree type (sprites, then models)
    WORD m_wordsB[kTreeKinds] = {};    // far tree type
    float m_floatsA[kTreeKinds] = {};  // base size
    float m_floatsB[kTreeKinds] = {};  // largest size
    DWORD m_value0 = 0;                // spread either side of the path
    BYTE m_byte0 = 0;                  // jitter, degrees
    DWORD m_values[3] = {0, 0, 0};     // falloff %, shrink %, least spacing
    BYTE m_closed = 0;
    std::vector<YMapVT3TreePoint> m_points;

    // kind 1
    BYTE m_singleByte = 0;
    WORD m_singleWord = 0;
    DWORD m_singleValues[4] = {0, 0, 0, 0};
};
