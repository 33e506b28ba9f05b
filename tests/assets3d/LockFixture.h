// Texture locks on our software Direct3D device: a device with the class
// records a renderer would build from its caps, textures written as "YTEX"
// files and read back header-only, as the renderer's loaders do.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "TextureFixture.h"
#include "assets3d/YD3D6Lock.h"
#include "assets3d/YTexture2.h"
#include "platform/D3DTestScene.h"

namespace lock_test {

using texture_test::PixelFn;

// Filter limits from the device's caps, as a renderer sets its class records.
inline YTexStates ClassFromCaps(const D3DDEVICEDESC7& caps)
{
    const DWORD f = caps.dpcTriCaps.dwTextureFilterCaps;
    YTexStates record;
    record.m_magFilter = (f & D3DPTFILTERCAPS_MAGFANISOTROPIC) ? D3DTFG_ANISOTROPIC
                         : (f & D3DPTFILTERCAPS_MAGFLINEAR)    ? D3DTFG_LINEAR
                                                               : D3DTFG_POINT;
    record.m_minFilter = (f & D3DPTFILTERCAPS_MINFANISOTROPIC) ? D3DTFN_ANISOTROPIC
                         : (f & D3DPTFILTERCAPS_MINFLINEAR)    ? D3DTFN_LINEAR
                                                               : D3DTFN_POINT;
    record.m_mipFilter = (f & D3DPTFILTERCAPS_MIPFLINEAR)  ? D3DTFP_LINEAR
                         : (f & D3DPTFILTERCAPS_MIPFPOINT) ? D3DTFP_POINT
                                                           : D3DTFP_NONE;
    return record;
}

class LockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        unsetenv("RCV_FORCE");
        ASSERT_EQ(D3D_OK, scene.Open(64, 64, d3dtest::kX888));
        D3DDEVICEDESC7 caps;
        ASSERT_EQ(D3D_OK, scene.device->GetCaps(&caps));
        opaqueClass = alphaClass = treeClass = ClassFromCaps(caps);
    }

    // A lock set up as the renderer's loaders do: 5-6-5 opaque, 4-4-4-4
    // alpha, 8-8-8 default and 1-5-5-5 spare pixel formats.
    std::unique_ptr<YD3D6Lock> NewLock()
    {
        std::unique_ptr<YD3D6Lock> lock(new YD3D6Lock);
        lock->SetErrorMode(1);
        lock->m_pD3D = scene.d3d;
        lock->m_pDevice = scene.device;
        lock->m_pDD = scene.dd;
        lock->m_opaqueFormat = d3dtest::k565;
        lock->m_alphaFormat = d3dtest::k4444;
        lock->m_defaultFormat = d3dtest::kX888;
        lock->m_spareFormat = d3dtest::k1555;
        lock->m_pOpaqueClass = &opaqueClass;
        lock->m_pAlphaClass = &alphaClass;
        lock->m_pTreeClass = &treeClass;
        return lock;
    }

    // A texture in the given layouts (the first imported from a picture, the
    // others added), every level of every format painted by pixel(level, x, y).
    std::unique_ptr<YTexture2> Build(const std::vector<std::string>& layouts, int w, int h,
                                     const std::function<uint32_t(int, int, int)>& pixel)
    {
        std::unique_ptr<YTexture2> texture = texture_test::ImportedTexture(
            folder, layouts[0], w, h, [&](int x, int y) { return pixel(0, x, y); }, "import.tga");
        for (size_t i = 1; i < layouts.size(); ++i) {
            // "332": an 8-bit format that is not palettised.
            YTextureFormat* format = layouts[i] == "332"
                                         ? YTextureFormat::ParseFormatLine("RGB332 8 0 1 3 3 2 0 5 2 0 0 7 7 3 0")
                                         : texture_test::MakeFormat(layouts[i]);
            EXPECT_EQ(1, texture->AddFormat(format)) << layouts[i];
        }
        for (YTextureFormat* format : texture->m_formats) {
            if (format->HasPalette()) continue;
            for (int16_t l = 0; l < format->m_iMIPDepth; ++l) {
                YTextureLayer* layer = format->GetLayer(l);
                std::vector<uint32_t> exchange(static_cast<size_t>(layer->m_iWidth) * layer->m_iHeight);
                for (int y = 0; y < layer->m_iHeight; ++y)
                    for (int x = 0; x < layer->m_iWidth; ++x) exchange[static_cast<size_t>(y) * layer->m_iWidth + x] = pixel(l, x, y);
                EXPECT_EQ(1, format->SetLayerRGBA(l, reinterpret_cast<const BYTE*>(exchange.data())));
            }
        }
        return texture;
    }

    std::unique_ptr<YTexture2> Build(const std::vector<std::string>& layouts, int w = 16, int h = 16)
    {
        return Build(layouts, w, h, [](int, int x, int y) { return texture_test::Pattern(x, y); });
    }

    // Written as a stream and read back without pixels, ready for a lock.
    std::unique_ptr<YTexture2> Stored(YTexture2& texture, const char* name = "stored.ytx")
    {
        const std::string path = folder / name;
        EXPECT_EQ(1, texture.SaveFile(path.c_str())) << texture.GetError().GetBuffer();
        std::unique_ptr<YTexture2> read(new YTexture2);
        read->SetErrorMode(1);
        EXPECT_EQ(1, read->LoadFile(path.c_str(), 0)) << read->GetError().GetBuffer();
        return read;
    }

    // Stored with the given texture tags.
    std::unique_ptr<YTexture2> Tagged(const std::vector<std::string>& layouts,
                                      const std::vector<std::pair<std::string, std::string>>& tags, int w = 16,
                                      int h = 16)
    {
        std::unique_ptr<YTexture2> built = Build(layouts, w, h);
        for (const auto& tag : tags) built->SetTag(tag.first.c_str(), tag.second.c_str());
        return Stored(*built);
    }

    // The surface's raw pixel at (x, y) of MIP level `level`.
    static uint32_t LevelPixel(IDirectDrawSurface7* top, int level, int x, int y)
    {
        IDirectDrawSurface7* surface = top;
        surface->AddRef();
        for (int l = 0; l < level && surface; ++l) {
            DDSCAPS2 caps = {};
            caps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_MIPMAP;
            IDirectDrawSurface7* next = nullptr;
            surface->GetAttachedSurface(&caps, &next);
            surface->Release();
            surface = next;
        }
        if (!surface) return 0xDEADBEEF;
        uint32_t p = d3dtest::Scene::Raw(surface, x, y);
        surface->Release();
        return p;
    }

    static int ChainLength(IDirectDrawSurface7* top)
    {
        int count = 0;
        IDirectDrawSurface7* surface = top;
        surface->AddRef();
        while (surface) {
            ++count;
            DDSCAPS2 caps = {};
            caps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_MIPMAP;
            IDirectDrawSurface7* next = nullptr;
            if (FAILED(surface->GetAttachedSurface(&caps, &next))) next = nullptr;
            surface->Release();
            surface = next;
        }
        return count;
    }

    static DDSURFACEDESC2 Desc(IDirectDrawSurface7* surface)
    {
        DDSURFACEDESC2 desc;
        memset(&desc, 0, sizeof desc);
        desc.dwSize = sizeof desc;
        EXPECT_EQ(DD_OK, surface->GetSurfaceDesc(&desc));
        return desc;
    }

    ScratchFolder folder;
    d3dtest::Scene scene;
    YTexStates opaqueClass, alphaClass, treeClass;
};

}  // namespace lock_test
