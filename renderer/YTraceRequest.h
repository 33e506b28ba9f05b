// One object put to the world trace's model collision walk: the object, the
// segment, the matrices that bring it into the object's model space and
// what the trace asks for.
#pragma once

#include <cstdint>

#include "foundation/YMatrix.h"
#include "platform/win32.h"

struct YRenderInstance;

struct YTraceRequest {
    enum { kModel = 0, kSprite = 1 };

    YRenderInstance* m_object = nullptr;
    DWORD m_kind = kModel;
    DWORD m_cell = 0;      // cell of a tree item; 0 for actors
    DWORD m_itemSlot = 0;  // slot of a tree item
    YMatrix m_matrix;      // object to world
    float m_matrixScale = 1.0f;
    YMatrix m_parent;      // parent to world (identity for a top-level object)
    float m_parentScale = 1.0f;
    YMatrix m_parentInverse;  // world to parent
    float m_facing[2] = {1.0f, 0.0f};  // cos(yaw), -sin(yaw)
    float m_from[3] = {0, 0, 0};
    float m_to[3] = {0, 0, 0};
    float m_delta[3] = {0, 0, 0};
    uint8_t m_nodeFlags = 0;
    void* m_nodeId = nullptr;
    float m_radiusFrom = 0.0f;
    float m_radiusTo = 0.0f;
    DWORD m_flags = 0;
    int m_depth = 0;  // attachment nesting
};
