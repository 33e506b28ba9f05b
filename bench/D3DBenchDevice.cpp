#include "D3DBenchDevice.h"

#include <algorithm>
#include <cstring>

namespace {
DWORD FloatBits(float f)
{
    DWORD d;
    memcpy(&d, &f, 4);
    return d;
}

DDSURFACEDESC2 Describe(DWORD caps, int width, int height)
{
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddsCaps.dwCaps = caps;
    desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    return desc;
}
}  // namespace

D3DBenchDevice::D3DBenchDevice()
{
    if (DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&m_dd), IID_IDirectDraw7, nullptr) != DD_OK) return;
    m_dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
    m_dd->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&m_d3d));
    DDSURFACEDESC2 desc = Describe(DDSCAPS_3DDEVICE | DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY,
                                   D3DBenchScene::kWidth, D3DBenchScene::kHeight);
    desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
    desc.ddpfPixelFormat.dwRGBBitCount = 32;
    desc.ddpfPixelFormat.dwRBitMask = 0xFF0000;
    desc.ddpfPixelFormat.dwGBitMask = 0xFF00;
    desc.ddpfPixelFormat.dwBBitMask = 0xFF;
    m_dd->CreateSurface(&desc, &m_target, nullptr);
    desc = Describe(DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY, D3DBenchScene::kWidth, D3DBenchScene::kHeight);
    desc.ddpfPixelFormat.dwFlags = DDPF_ZBUFFER;
    desc.ddpfPixelFormat.dwZBufferBitDepth = 16;
    desc.ddpfPixelFormat.dwZBitMask = 0xFFFF;
    m_dd->CreateSurface(&desc, &m_zbuffer, nullptr);
    if (!m_target || !m_zbuffer || m_target->AddAttachedSurface(m_zbuffer) != DD_OK) return;
    m_d3d->CreateDevice(IID_IDirect3DHALDevice, m_target, &m_device);
    for (int t = 0; t < 2; ++t) {
        desc = Describe(DDSCAPS_TEXTURE | DDSCAPS_MIPMAP | DDSCAPS_COMPLEX, D3DBenchScene::kTextureSide,
                        D3DBenchScene::kTextureSide);
        desc.ddpfPixelFormat.dwFlags = DDPF_RGB | DDPF_ALPHAPIXELS;
        desc.ddpfPixelFormat.dwRGBBitCount = 32;
        desc.ddpfPixelFormat.dwRBitMask = 0xFF0000;
        desc.ddpfPixelFormat.dwGBitMask = 0xFF00;
        desc.ddpfPixelFormat.dwBBitMask = 0xFF;
        desc.ddpfPixelFormat.dwRGBAlphaBitMask = 0xFF000000u;
        m_dd->CreateSurface(&desc, &m_textures[t], nullptr);
        IDirectDrawSurface7* level = m_textures[t];
        level->AddRef();
        for (int i = 0; level; ++i) {
            std::vector<uint32_t> texels = D3DBenchScene::Texture(t, i);
            DDSURFACEDESC2 locked;
            memset(&locked, 0, sizeof locked);
            locked.dwSize = sizeof locked;
            if (level->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr) == DD_OK) {
                for (DWORD y = 0; y < locked.dwHeight; ++y)
                    memcpy(static_cast<uint8_t*>(locked.lpSurface) + y * locked.lPitch, &texels[y * locked.dwWidth],
                           locked.dwWidth * 4);
                level->Unlock(nullptr);
            }
            DDSCAPS2 caps = {DDSCAPS_TEXTURE | DDSCAPS_MIPMAP, 0, 0, {0}};
            IDirectDrawSurface7* next = nullptr;
            level->GetAttachedSurface(&caps, &next);
            level->Release();
            level = next;
        }
    }
}

D3DBenchDevice::~D3DBenchDevice()
{
    for (IDirectDrawSurface7* t : m_textures)
        if (t) t->Release();
    if (m_device) m_device->Release();
    if (m_zbuffer) m_zbuffer->Release();
    if (m_target) m_target->Release();
    if (m_d3d) m_d3d->Release();
    if (m_dd) m_dd->Release();
}

void D3DBenchDevice::Setup(const D3DBenchScene& scene)
{
    IDirect3DDevice7* dev = m_device;
    dev->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    dev->SetRenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_LESSEQUAL);
    dev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, scene.blend);
    dev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    dev->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
    dev->SetRenderState(D3DRENDERSTATE_FOGENABLE, scene.fog);
    dev->SetRenderState(D3DRENDERSTATE_FOGTABLEMODE, D3DFOG_LINEAR);
    dev->SetRenderState(D3DRENDERSTATE_FOGSTART, FloatBits(scene.fogStart));
    dev->SetRenderState(D3DRENDERSTATE_FOGEND, FloatBits(scene.fogEnd));
    dev->SetRenderState(D3DRENDERSTATE_FOGCOLOR, scene.fogColour);
    for (int s = 0; s < 2; ++s) {
        const bool on = s < scene.textures;
        dev->SetTexture(static_cast<DWORD>(s), on ? m_textures[s] : nullptr);
        dev->SetTextureStageState(static_cast<DWORD>(s), D3DTSS_COLOROP, on ? D3DTOP_MODULATE : D3DTOP_DISABLE);
        dev->SetTextureStageState(static_cast<DWORD>(s), D3DTSS_COLORARG1, D3DTA_TEXTURE);
        dev->SetTextureStageState(static_cast<DWORD>(s), D3DTSS_COLORARG2, s == 0 ? D3DTA_DIFFUSE : D3DTA_CURRENT);
        dev->SetTextureStageState(static_cast<DWORD>(s), D3DTSS_ALPHAOP, on ? D3DTOP_MODULATE : D3DTOP_DISABLE);
        dev->SetTextureStageState(static_cast<DWORD>(s), D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        dev->SetTextureStageState(static_cast<DWORD>(s), D3DTSS_ALPHAARG2, s == 0 ? D3DTA_DIFFUSE : D3DTA_CURRENT);
        dev->SetTextureStageState(static_cast<DWORD>(s), D3DTSS_TEXCOORDINDEX, static_cast<DWORD>(s));
        dev->SetTextureStageState(static_cast<DWORD>(s), D3DTSS_MAGFILTER, D3DTFG_LINEAR);
        dev->SetTextureStageState(static_cast<DWORD>(s), D3DTSS_MINFILTER, D3DTFN_LINEAR);
        dev->SetTextureStageState(static_cast<DWORD>(s), D3DTSS_MIPFILTER, D3DTFP_LINEAR);
        dev->SetTextureStageState(static_cast<DWORD>(s), D3DTSS_ADDRESS, D3DTADDRESS_WRAP);
    }
    if (scene.textures == 0) {
        dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
        dev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    }
}

void D3DBenchDevice::Draw(const D3DBenchScene& scene)
{
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x00203040, 1.0f, 0);
    m_device->BeginScene();
    // At most 65535 vertices a call, whole triangles.
    const DWORD batch = 65535 / 3 * 3;
    for (size_t start = 0; start < scene.vertices.size(); start += batch) {
        DWORD count = static_cast<DWORD>(std::min<size_t>(batch, scene.vertices.size() - start));
        m_device->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX2,
                                const_cast<D3DBenchScene::Vertex*>(&scene.vertices[start]), count, 0);
    }
    m_device->EndScene();
}

std::vector<uint32_t> D3DBenchDevice::Pixels() const
{
    std::vector<uint32_t> out(static_cast<size_t>(D3DBenchScene::kWidth) * D3DBenchScene::kHeight);
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    if (m_target->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr) != DD_OK) return out;
    for (int y = 0; y < D3DBenchScene::kHeight; ++y)
        for (int x = 0; x < D3DBenchScene::kWidth; ++x) {
            uint32_t p;
            memcpy(&p, static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * 4, 4);
            out[static_cast<size_t>(y) * D3DBenchScene::kWidth + x] = p & 0xFFFFFF;
        }
    m_target->Unlock(nullptr);
    return out;
}
