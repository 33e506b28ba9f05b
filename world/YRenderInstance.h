// The render record that every actor and every placed map object carries:
// what the renderer draws, where, and for whom.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "foundation/YString.h"
#include "platform/win32.h"

class YSMHandle;

// The frame renderer's block attached to a placed map object: two arrays
// taken with malloc.
struct YRenderBlock {
    void* m_arrays[2] = {nullptr, nullptr};
};

struct YRenderInstance {
    // Kinds.
    enum { KindModel = 0, KindTerrainDecal = 1, KindAttachment = 2 };
    // Flag word bits the traces test.
    enum { FlagTraceable = 0x4, FlagTarget = 0x2, FlagSkippable = 0x8 };

    YSMHandle* m_model = nullptr;
    void* m_worldModel = nullptr;
    void* m_owner = nullptr;
    DWORD m_flags = FlagTraceable;
    int16_t m_typeIndex = -1;    // an actor drawn by index: its world model index
    int16_t m_elementCount = 0;  // 1 for an actor drawn by index
    int16_t m_kind = KindModel;
    int16_t m_subKind = 0;
    int16_t m_attachIndex = -1;
    float m_baseScale = 1.0f;
    float m_position[3] = {0.0f, 0.0f, 0.0f};
    float m_angles[3] = {0.0f, 0.0f, 0.0f};  // radians
    float m_scale = 1.0f;
    float m_blend2 = 0.0f;
    DWORD m_words[2] = {0, 0};
    int16_t m_index2 = -1;
    uint16_t m_childCount = 0;
    YRenderInstance** m_children = nullptr;  // null entries are skipped
    // What the frame's model drawing reads besides: a primitive set's
    // elements, texture and colour; a child's scale, surface weights and
    // surface triangle (-1 none); the distance from the camera.
    void* m_geometry = nullptr;
    int16_t m_textureIndex = -1;
    float m_childScale = 1.0f;
    float m_surfaceWeights[2] = {0.0f, 0.0f};
    int16_t m_surfaceTriangle = -1;
    uint32_t m_colour = 0xFFFFFFFFu;
    float m_cameraDistance = 0.0f;
    YString m_name;
    // A placed map object: where the grid holds it, and its attached block.
    double m_worldX = 0.0;
    double m_worldZ = 0.0;
    YRenderBlock* m_block = nullptr;
    // A ground mark: its ring slot, and for an oriented mark's request the
    // point it looks towards and its roll in degrees.
    int32_t m_decalSlot = -1;
    float m_decalTarget[3] = {0.0f, 0.0f, 0.0f};
    float m_decalRoll = 0.0f;

    // Frees the attached block with its two arrays.
    void FreeBlock()
    {
        if (!m_block) return;
        free(m_block->m_arrays[0]);
        free(m_block->m_arrays[1]);
        delete m_block;
        m_block = nullptr;
    }
};
