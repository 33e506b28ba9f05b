// An entry of the renderer's texture table; the texture index is its place
// in the table.  The entry owns the texture's lock (the texture object the
// renderer hands out) and the device surface its pixels were uploaded to.
#pragma once

#include <cstdint>

#include "foundation/YString.h"
#include "platform/ddraw.h"

class YD3D6Lock;

struct YD3D6TextureItem {
    YD3D6TextureItem() = default;
    ~YD3D6TextureItem();
    YD3D6TextureItem(const YD3D6TextureItem&) = delete;
    YD3D6TextureItem& operator=(const YD3D6TextureItem&) = delete;

    YD3D6Lock* m_lock = nullptr;  // the device texture's lock with its tags and opacity mask
    IDirectDrawSurface7* m_surface = nullptr;  // one reference held
    int16_t m_width = 0;
    int16_t m_height = 0;
    int16_t m_bitDepth = 0;
    int32_t m_copyMode = 0;  // 1: frames drawn into it are copied through GDI device contexts
    YString m_name;  // the request name reversed
    int16_t m_handler = -1;
    float m_youngScale = 2.0f;
    float m_oldScale = 2.0f;
    uint8_t m_oscillator1 = 0;
    uint8_t m_oscillator2 = 0;
    uint8_t m_shadeLevel = 0;
    uint8_t m_hash = 0;
};
