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

    // kind 0
    WORD m_treeCount = 0;
    DWORD m_seed = 0;
    BYTE m_orientation = 0;
    BYTE m_bytesA[kTreeKinds] = {};
    BYTE m_bytesB[kTreeKinds] = {};
    WORD m_wordsA[kTreeKinds] = {};
    WORD m_wordsB[kTreeKinds] = {};
    float m_floatsA[kTreeKinds] = {};
    float m_floatsB[kTreeKinds] = {};
    DWORD m_value0 = 0;
    BYTE m_byte0 = 0;
    DWORD m_values[3] = {0, 0, 0};
    BYTE m_closed = 0;
    std::vector<YMapVT3TreePoint> m_points;

    // kind 1
    BYTE m_singleByte = 0;
    WORD m_singleWord = 0;
    DWORD m_singleValues[4] = {0, 0, 0, 0};
};
