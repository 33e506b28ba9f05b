// The graphics settings the renderer takes over (YGraphicsData::Export, kind 2).
#pragma once

#include <cstdint>

struct YRenderOptions {
    int32_t landPop = 0;
    int32_t textureQuality = 0;
    int32_t treeDensity = 0;
    int32_t overlayPersistence = 0;
    int32_t backgroundQuality = 0;
    int32_t animationQuality = 0;
    int32_t wBuffering = 0;
    int32_t depthBuffer16 = 0;
    int32_t colorKeying = 0;
    int32_t bitDepth = 0;
    int32_t alphaSprites = 0;
    int32_t softSprites = 0;
    int32_t treeOverlap = 0;
    int32_t spritePerspective = 0;
    int32_t fog = 0;
    int32_t wireFrame = 0;
    int32_t texDetail = 0;
    int32_t softwareLight = 0;
    int32_t fastScopes = 0;
    int32_t shadowQuality = 0;
    int32_t shadowStatics = 0;
    int32_t shadowActors = 0;
    int32_t shadowTree = 0;
    int32_t terrainBlending = 0;
};
