// A windowed YDXDraw and helpers to read and write surface pixels.
#pragma once

#include "graphics2d/YDXDraw.h"
#include "graphics2d/YDXSurface.h"

#include <gtest/gtest.h>

#include "ScopedForce.h"

#include <cstdlib>
#include <vector>

inline DDPIXELFORMAT RgbFormat(int bits, DWORD r, DWORD g, DWORD b, DWORD a = 0)
{
    DDPIXELFORMAT f;
    memset(&f, 0, sizeof f);
    f.dwSize = sizeof f;
    f.dwFlags = DDPF_RGB | (a ? DDPF_ALPHAPIXELS : 0);
    f.dwRGBBitCount = bits;
    f.dwRBitMask = r;
    f.dwGBitMask = g;
    f.dwBBitMask = b;
    f.dwRGBAlphaBitMask = a;
    return f;
}

class Graphics2dTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        unsetenv("RCV_FORCE");
        GUID primary;
        memset(&primary, 0, sizeof primary);
        ASSERT_EQ(1, display.Create(primary));
        ASSERT_EQ(1, display.SetMode(0, nullptr));
    }
    void TearDown() override { unsetenv("RCV_FORCE"); }

    static std::vector<uint32_t> Read(YDXSurface& s)
    {
        DDSURFACEDESC2 desc;
        memset(&desc, 0, sizeof desc);
        std::vector<uint32_t> out;
        if (!s.Lock(&desc)) return out;
        int bytes = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount / 8);
        for (DWORD y = 0; y < desc.dwHeight; ++y)
            for (DWORD x = 0; x < desc.dwWidth; ++x) {
                const uint8_t* p = static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * bytes;
                uint32_t v = 0;
                for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
                out.push_back(v);
            }
        s.Unlock();
        return out;
    }
    static void Write(YDXSurface& s, const std::vector<uint32_t>& pixels)
    {
        DDSURFACEDESC2 desc;
        memset(&desc, 0, sizeof desc);
        ASSERT_EQ(1, s.Lock(&desc));
        int bytes = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount / 8);
        for (DWORD y = 0; y < desc.dwHeight; ++y)
            for (DWORD x = 0; x < desc.dwWidth; ++x) {
                uint8_t* p = static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * bytes;
                for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(pixels[y * desc.dwWidth + x] >> (8 * i));
            }
        s.Unlock();
    }

    YDXDraw display;
};
