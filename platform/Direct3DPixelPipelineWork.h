// The working state of the pixel pipeline: the per-run scratch buffers, the
// target and Z buffer, and the steps Configure chose, shared by the step
// sets built for each instruction set.
#pragma once

#include "platform/Direct3DPixelPipeline.h"

#include <cstdint>

namespace platform {
// One MIP level as the samplers read it.
struct LevelView {
    const uint32_t* texels = nullptr;  // the keyed copy when the key is on
    const uint8_t* keyed = nullptr;
    int width = 1, height = 1;
    float fw = 1, fh = 1;
    bool pow2 = true;
    int widthShift = 0;  // log2 of the width when pow2
};

struct StageSetup {
    static constexpr int kMaxLevels = 16;
    int coordSet = 0;
    float lodBias = 0;
    int maxLevel = 0;  // MAXMIPLEVEL: the most detailed level allowed
    int lastLevel = 0;
    LevelView levels[kMaxLevels];
    uint8_t* out = nullptr;
};

struct Direct3DPixelPipeline::Work {
    alignas(16) uint8_t mask[Direct3DPixelPipeline::kChunk];
    alignas(16) uint32_t zvalue[Direct3DPixelPipeline::kChunk];
    alignas(16) uint8_t diffuse[Direct3DPixelPipeline::kChunk * 4];
    alignas(16) uint8_t specular[Direct3DPixelPipeline::kChunk * 4];
    alignas(16) uint8_t texel[kStages][Direct3DPixelPipeline::kChunk * 4];
    alignas(16) uint8_t current[Direct3DPixelPipeline::kChunk * 4];
    alignas(16) uint8_t tfactor[Direct3DPixelPipeline::kChunk * 4];
    alignas(16) uint8_t white[Direct3DPixelPipeline::kChunk * 4];
    alignas(16) uint8_t modified[5][Direct3DPixelPipeline::kChunk * 4];
    alignas(16) uint8_t output[2][Direct3DPixelPipeline::kChunk * 4];
    alignas(16) uint8_t result[Direct3DPixelPipeline::kChunk * 4];
    alignas(16) uint8_t dest[Direct3DPixelPipeline::kChunk * 4];
    alignas(16) uint8_t factorSrc[Direct3DPixelPipeline::kChunk * 4];
    alignas(16) uint8_t factorDst[Direct3DPixelPipeline::kChunk * 4];
    alignas(16) uint8_t fog[Direct3DPixelPipeline::kChunk];
    alignas(16) float u[Direct3DPixelPipeline::kChunk];
    alignas(16) float v[Direct3DPixelPipeline::kChunk];
    alignas(16) float lod[Direct3DPixelPipeline::kChunk];

    // Target and Z.
    uint8_t* targetBits = nullptr;
    int targetPitch = 0;
    int targetWidth = 0, targetHeight = 0;
    uint8_t* zBits = nullptr;
    int zPitch = 0;
    int zBytes = 0;
    double zScale = 0;
    float zOffset = 0;

    // Steps.
    typedef int (*ZTestFn)(const uint8_t* row, const uint32_t* z, uint8_t* mask, int n);
    typedef void (*ZWriteFn)(uint8_t* row, const uint32_t* z, const uint8_t* mask, int n);
    typedef void (*ZValueFn)(const Run& run, double scale, float offset, uint32_t* out);
    ZValueFn zValues = nullptr;
    ZTestFn zTest = nullptr;
    ZWriteFn zWrite = nullptr;

    typedef void (*SampleFn)(const StageSetup& stage, const Run& run, Work& w, int n);
    struct Combine {
        typedef void (*OpFn)(const uint8_t* a, const uint8_t* b, const uint8_t* c, uint8_t* out, int n);
        typedef void (*ModFn)(const uint8_t* in, uint8_t* out, int n);
        OpFn colour = nullptr;
        OpFn alpha = nullptr;  // null when the colour pass already gave the alpha
        const uint8_t* colourArg[3] = {nullptr, nullptr, nullptr};
        const uint8_t* alphaArg[3] = {nullptr, nullptr, nullptr};
        ModFn mod[5] = {};  // modifiers, each from modIn into modOut before the operations run
        const uint8_t* modIn[5] = {};
        uint8_t* modOut[5] = {};
        int mods = 0;
        uint8_t* out = nullptr;
    };
    int stageCount = 0;     // stages that run
    int sampledCount = 0;   // stages with a texture to sample
    StageSetup stages[kStages];
    SampleFn sample[kStages] = {};
    bool keyed[kStages] = {};
    Combine combine[kStages];
    uint8_t* colour = nullptr;  // where the combined colour ends up

    bool specularAdd = false;
    typedef void (*FogFn)(const Run& run, const Work& w, uint8_t* fog, int n);
    FogFn fogFactors = nullptr;
    uint8_t fogColour[4] = {0, 0, 0, 0};
    float fogStart = 0, fogEnd = 1, fogDensity = 1;
    typedef int (*AlphaTestFn)(const uint8_t* colour, uint8_t ref, uint8_t* mask, int n);
    AlphaTestFn alphaTest = nullptr;
    uint8_t alphaRef = 0;

    typedef void (*ReadFn)(const uint8_t* row, uint8_t* out, int n);
    typedef void (*WriteFn)(uint8_t* row, const uint8_t* colour, const uint8_t* mask, int n);
    typedef void (*FactorFn)(const uint8_t* src, const uint8_t* dst, uint8_t* out, int n);
    typedef void (*BlendFn)(const uint8_t* src, const uint8_t* dst, const uint8_t* fs, const uint8_t* fd,
                            uint8_t* out, int n);
    ReadFn readTarget = nullptr;
    WriteFn writeTarget = nullptr;
    FactorFn srcFactor = nullptr;
    FactorFn dstFactor = nullptr;
    BlendFn blend = nullptr;
    int targetBytes = 0;
    // Ordered dithering of 16-bit targets: what each pixel adds to b g r a
    // before the channels are cut, for each row of the 4 x 4 pattern over
    // eight columns (any four in a row start at column x & 3).
    bool dither = false;
    alignas(16) uint8_t ditherRows[4][8 * 4];

    // The whole run in one routine for the states most draws use (16-bit Z,
    // a 32-bit target, up to two modulated textures, table fog, source alpha
    // blending); null when the steps above run one by one.
    typedef void (*SpanFn)(Work& w, const Run& run);
    SpanFn span = nullptr;
};
}  // namespace platform
