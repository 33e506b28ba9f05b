// The plain records a shared model holds: faces, resources, tags, skins,
// animations, vertex frames and groups.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/mfc.h"

// One triangle, stored in files exactly as in memory (36 bytes).
struct YSMFace {
    int16_t v[3];       // vertex indexes into every frame
    uint8_t spare0[2];  // written back as read
    float uv[6];        // (u, v) of a, b, c
    int16_t group;      // owning group
    uint8_t spare1[2];  // written back as read
};
static_assert(sizeof(YSMFace) == 36, "YSMFace is stored as it stands");

struct YSMResource {
    CString name;
    uint32_t word = 0;
    int16_t slot = -1;  // filled by the renderer's asset loading
};

struct YSMTag {
    CString key;
    CString value;
    uint8_t type = 0;
};

struct YSMSkin {
    CString name;
    int16_t resource = -1;
};

struct YSMAnim {
    CString name;
    uint32_t flags = 0;  // bit 0: running from the start
    uint32_t word = 0;
    int16_t keyCount = 0;
    float total = 0.0f;  // sum of the key durations
    std::vector<uint16_t> keyFrames;
    std::vector<float> keyDurations;  // seconds
};

// A group's pose in a frame: -P1, -P2, angles about x, y, z, edge length.
struct YSMPose {
    float v[10];
};

struct YSMFrame {
    uint32_t words[2] = {0, 0};  // written back as read
    std::vector<float> positions;  // vertexCount x 3
    std::vector<float> normals;    // vertexCount x 3
    CString name;
    std::vector<YSMPose> poses;      // one per group
    std::vector<uint8_t> present;    // one per group; 1 = in this frame
    float boxAMin[3] = {0, 0, 0}, boxAMax[3] = {0, 0, 0};
    float boxBMin[3] = {0, 0, 0}, boxBMax[3] = {0, 0, 0};
};

// One reduced form of an imported mesh's group.
struct YSMDetailLevel {
    int16_t cornerCount = 0;
    int16_t highestVertex = 0;
    int16_t faceCount = 0;
    std::vector<float> corners;          // vertex index, u, v per corner
    std::vector<uint16_t> cornerIndexes;  // three per face
};

struct YSMGroup {
    CString name;
    uint32_t flags = 0;
    uint32_t word = 0;
    int16_t usedVertexCount = 0;
    int16_t faceCount = 0;
    int16_t cornerCount = 0;
    int16_t reserved = 0;
    std::vector<uint16_t> usedVertices;
    std::vector<uint16_t> faces;
    std::vector<float> corners;           // vertex index, u, v per distinct corner
    std::vector<uint16_t> cornerIndexes;  // three per face, in face-list order
    float shellScale = 1.0f;
    std::vector<YSMDetailLevel> levels;   // groups imported from a mesh set
    std::vector<std::unique_ptr<YSMSkin>> skins;
    std::vector<std::unique_ptr<YSMTag>> tags;
};

// Group flag bits.
enum : uint32_t {
    kSMGroupNoBoxB = 0x1,
    kSMGroupShown = 0x2,
    kSMGroupMarker = 0x8,
    kSMGroupTraced = 0x10,
    kSMGroupPreShell = 0x400,
};
