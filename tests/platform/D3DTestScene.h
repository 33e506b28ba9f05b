// A small DirectDraw + Direct3D set-up shared by the device tests: a 3D
// surface of a chosen format with a Z buffer attached and a device on it,
// and helpers to read pixels back.
#pragma once

#include "platform/d3d.h"
#include "platform/ddraw.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace d3dtest {
inline DDPIXELFORMAT Rgb(int bits, DWORD r, DWORD g, DWORD b, DWORD a = 0)
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

inline DDPIXELFORMAT ZFormat(int bits, DWORD mask)
{
    DDPIXELFORMAT f;
    memset(&f, 0, sizeof f);
    f.dwSize = sizeof f;
    f.dwFlags = DDPF_ZBUFFER;
    f.dwZBufferBitDepth = bits;
    f.dwZBitMask = mask;
    return f;
}

class ScopedForce {
public:
    explicit ScopedForce(const char* value) { setenv("RCV_FORCE", value, 1); }
    ~ScopedForce() { unsetenv("RCV_FORCE"); }
};

inline DWORD FloatBits(float f)
{
    DWORD d;
    memcpy(&d, &f, 4);
    return d;
}

// DirectDraw, Direct3D and surfaces, all released at the end.
class Scene {
public:
    Scene()
    {
        void* created = nullptr;
        EXPECT_EQ(DD_OK, DirectDrawCreateEx(nullptr, &created, IID_IDirectDraw7, nullptr));
        dd = static_cast<IDirectDraw7*>(created);
        EXPECT_EQ(DD_OK, dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL));
        EXPECT_EQ(DD_OK, dd->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&d3d)));
    }
    ~Scene()
    {
        if (device) device->Release();
        for (IDirectDrawSurface7* s : owned) s->Release();
        if (d3d) d3d->Release();
        if (dd) dd->Release();
    }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    IDirectDrawSurface7* Surface(int width, int height, DWORD caps, const DDPIXELFORMAT* format,
                                 DWORD mipCount = 0)
    {
        DDSURFACEDESC2 desc;
        memset(&desc, 0, sizeof desc);
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | (format ? DDSD_PIXELFORMAT : 0) |
                       (mipCount ? DDSD_MIPMAPCOUNT : 0);
        desc.dwWidth = static_cast<DWORD>(width);
        desc.dwHeight = static_cast<DWORD>(height);
        desc.dwMipMapCount = mipCount;
        if (format) desc.ddpfPixelFormat = *format;
        desc.ddsCaps.dwCaps = caps;
        IDirectDrawSurface7* surface = nullptr;
        HRESULT result = dd->CreateSurface(&desc, &surface, nullptr);
        EXPECT_EQ(DD_OK, result);
        if (surface) owned.push_back(surface);
        return surface;
    }

    // A render target with (zbits != 0) a Z buffer attached, and the device on it.
    HRESULT Open(int width, int height, const DDPIXELFORMAT& format, int zbits = 16)
    {
        target = Surface(width, height, DDSCAPS_3DDEVICE | DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY, &format);
        if (zbits) {
            DDPIXELFORMAT zf = ZFormat(zbits, zbits == 16 ? 0xFFFF : (zbits == 24 ? 0xFFFFFF : 0xFFFFFFFFu));
            zbuffer = Surface(width, height, DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY, &zf);
            EXPECT_EQ(DD_OK, target->AddAttachedSurface(zbuffer));
        }
        return d3d->CreateDevice(IID_IDirect3DHALDevice, target, &device);
    }

    // A texture of 32-bit ARGB texels given row by row, in the given
    // layout, with an optional MIP chain (levels filled by the caller).
    IDirectDrawSurface7* Texture(int width, int height, const DDPIXELFORMAT& format, const uint32_t* argb,
                                 DWORD mipCount = 0)
    {
        DWORD caps = DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY | (mipCount > 1 ? DDSCAPS_MIPMAP | DDSCAPS_COMPLEX : 0);
        IDirectDrawSurface7* surface = Surface(width, height, caps, &format, mipCount > 1 ? mipCount : 0);
        if (surface && argb) Fill(surface, format, argb);
        return surface;
    }

    static uint32_t Pack(const DDPIXELFORMAT& f, uint32_t argb)
    {
        auto channel = [](uint32_t value8, DWORD mask) -> uint32_t {
            if (!mask) return 0;
            int shift = 0;
            while (!((mask >> shift) & 1)) ++shift;
            int width = 0;
            while ((mask >> (shift + width)) & 1) ++width;
            return ((value8 >> (8 - width)) << shift) & mask;
        };
        uint32_t p = channel((argb >> 16) & 0xFF, f.dwRBitMask) | channel((argb >> 8) & 0xFF, f.dwGBitMask) |
                     channel(argb & 0xFF, f.dwBBitMask);
        if (f.dwFlags & DDPF_ALPHAPIXELS) p |= channel(argb >> 24, f.dwRGBAlphaBitMask);
        return p;
    }

    static void Fill(IDirectDrawSurface7* surface, const DDPIXELFORMAT& f, const uint32_t* argb)
    {
        DDSURFACEDESC2 desc;
        memset(&desc, 0, sizeof desc);
        desc.dwSize = sizeof desc;
        ASSERT_EQ(DD_OK, surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
        const int bytes = static_cast<int>(f.dwRGBBitCount / 8);
        for (DWORD y = 0; y < desc.dwHeight; ++y)
            for (DWORD x = 0; x < desc.dwWidth; ++x) {
                uint32_t p = Pack(f, argb[y * desc.dwWidth + x]);
                memcpy(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * bytes, &p, bytes);
            }
        surface->Unlock(nullptr);
    }

    // The raw pixel at (x, y) of a surface.
    static uint32_t Raw(IDirectDrawSurface7* surface, int x, int y)
    {
        DDSURFACEDESC2 desc;
        memset(&desc, 0, sizeof desc);
        desc.dwSize = sizeof desc;
        EXPECT_EQ(DD_OK, surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr));
        const int bytes = static_cast<int>((desc.ddpfPixelFormat.dwRGBBitCount + 7) / 8);
        uint32_t p = 0;
        memcpy(&p, static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * bytes, static_cast<size_t>(bytes));
        surface->Unlock(nullptr);
        return p;
    }

    // The target's pixel at (x, y) as 0x00RRGGBB (32-bit targets).
    uint32_t Pixel(int x, int y) const { return Raw(target, x, y) & 0xFFFFFF; }

    IDirectDraw7* dd = nullptr;
    IDirect3D7* d3d = nullptr;
    IDirect3DDevice7* device = nullptr;
    IDirectDrawSurface7* target = nullptr;
    IDirectDrawSurface7* zbuffer = nullptr;
    std::vector<IDirectDrawSurface7*> owned;
};

const DDPIXELFORMAT k565 = Rgb(16, 0xF800, 0x07E0, 0x001F);
const DDPIXELFORMAT k555 = Rgb(16, 0x7C00, 0x03E0, 0x001F);
const DDPIXELFORMAT k1555 = Rgb(16, 0x7C00, 0x03E0, 0x001F, 0x8000);
const DDPIXELFORMAT k4444 = Rgb(16, 0x0F00, 0x00F0, 0x000F, 0xF000);
const DDPIXELFORMAT k888 = Rgb(24, 0xFF0000, 0x00FF00, 0x0000FF);
const DDPIXELFORMAT kX888 = Rgb(32, 0xFF0000, 0x00FF00, 0x0000FF);
const DDPIXELFORMAT kA888 = Rgb(32, 0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000u);
}  // namespace d3dtest
