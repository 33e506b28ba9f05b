// One MIP level of a texture format: its size, the packed colour rows, the
// alpha plane (one byte a pixel), the lock and generator flags and where its
// data stand in a "YTEX" stream.
#pragma once

#include <cstdint>

#include "platform/win32.h"

class YTextureLayer {
public:
    YTextureLayer() = default;
    ~YTextureLayer() { FreePixels(); }
    YTextureLayer(const YTextureLayer&) = delete;
    YTextureLayer& operator=(const YTextureLayer&) = delete;

    size_t RGBSize() const;
    size_t AlphaSize() const;
    // Zero-filled colour rows of pitch x height bytes; false when the size is empty.
    bool AllocateRGB();
    // An alpha plane of width x height bytes of the given value.
    bool AllocateAlpha(BYTE value);
    void FreePixels();

    int16_t m_iWidth = -1;
    int16_t m_iHeight = -1;
    int16_t m_iPitch = 0;
    BYTE* m_pRGB = nullptr;
    BYTE* m_pAlpha = nullptr;
    int32_t m_iRGBLock = 0;
    int32_t m_iAlphaLock = 0;
    int32_t m_iRGBGen = 0;
    int32_t m_iAlphaGen = 0;
    int32_t m_iRGBOffset = -1;
    int32_t m_iAlphaOffset = -1;
};
