// Our Direct3D 7: enumeration, device creation on a 3D surface with its Z
// buffer, caps switched off one by one, the states the device keeps, scenes
// and Clear.
#include "D3DTestScene.h"

#include <gtest/gtest.h>

#include <string>

namespace {
using namespace d3dtest;

HRESULT CALLBACK CollectZ(LPDDPIXELFORMAT format, LPVOID context)
{
    static_cast<std::vector<DDPIXELFORMAT>*>(context)->push_back(*format);
    return D3DENUMRET_OK;
}

HRESULT CALLBACK CollectDevice(LPSTR, LPSTR name, LPD3DDEVICEDESC7 desc, LPVOID context)
{
    static_cast<std::vector<std::pair<std::string, D3DDEVICEDESC7>>*>(context)->push_back({name, *desc});
    return D3DENUMRET_OK;
}

TEST(Direct3D, ZBufferFormatsOffer16To32BitsAndAStencilFormat)
{
    unsetenv("RCV_FORCE");
    Scene scene;
    std::vector<DDPIXELFORMAT> formats;
    ASSERT_EQ(D3D_OK, scene.d3d->EnumZBufferFormats(IID_IDirect3DHALDevice, CollectZ, &formats));
    ASSERT_EQ(4u, formats.size());
    struct Expected {
        DWORD bits, zmask, stencilBits;
    } expected[] = {{16, 0xFFFF, 0}, {24, 0xFFFFFF, 0}, {32, 0xFFFFFFFF, 0}, {32, 0xFFFFFF, 8}};
    for (size_t i = 0; i < formats.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(formats[i].dwFlags & DDPF_ZBUFFER);
        EXPECT_EQ(expected[i].bits, formats[i].dwZBufferBitDepth);
        EXPECT_EQ(expected[i].zmask, formats[i].dwZBitMask);
        EXPECT_EQ(expected[i].stencilBits, formats[i].dwStencilBitDepth);
        EXPECT_EQ(expected[i].stencilBits != 0, (formats[i].dwFlags & DDPF_STENCILBUFFER) != 0);
    }
    formats.clear();
    ScopedForce force("z16only");
    ASSERT_EQ(D3D_OK, scene.d3d->EnumZBufferFormats(IID_IDirect3DHALDevice, CollectZ, &formats));
    ASSERT_EQ(1u, formats.size());
    EXPECT_EQ(16u, formats[0].dwZBufferBitDepth);
    GUID unknown = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    EXPECT_EQ(DDERR_INVALIDPARAMS, scene.d3d->EnumZBufferFormats(unknown, CollectZ, &formats));
}

TEST(Direct3D, CapsSwitchOffOneByOne)
{
    struct Case {
        const char* force;
        DWORD rasterGone, filterGone;
        WORD stages;
    } cases[] = {
        {"", 0, 0, 8},
        {"nobilinear", 0, D3DPTFILTERCAPS_LINEAR | D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MAGFLINEAR |
                              D3DPTFILTERCAPS_LINEARMIPLINEAR, 8},
        {"nomipmap", 0, D3DPTFILTERCAPS_MIPFPOINT | D3DPTFILTERCAPS_MIPFLINEAR | D3DPTFILTERCAPS_LINEARMIPLINEAR, 8},
        {"nomiplinear", 0, D3DPTFILTERCAPS_MIPFLINEAR | D3DPTFILTERCAPS_LINEARMIPLINEAR, 8},
        {"nofogtable", D3DPRASTERCAPS_FOGTABLE, 0, 8},
        {"noanisotropy", D3DPRASTERCAPS_ANISOTROPY, D3DPTFILTERCAPS_MINFANISOTROPIC | D3DPTFILTERCAPS_MAGFANISOTROPIC, 8},
        {"onestage", 0, 0, 1},
    };
    const DWORD allFilters = D3DPTFILTERCAPS_LINEAR | D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MAGFLINEAR |
                             D3DPTFILTERCAPS_LINEARMIPLINEAR | D3DPTFILTERCAPS_MIPFPOINT | D3DPTFILTERCAPS_MIPFLINEAR |
                             D3DPTFILTERCAPS_MINFANISOTROPIC | D3DPTFILTERCAPS_MAGFANISOTROPIC;
    const DWORD allRaster = D3DPRASTERCAPS_FOGTABLE | D3DPRASTERCAPS_ANISOTROPY | D3DPRASTERCAPS_ZTEST;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.force);
        ScopedForce force(c.force);
        Scene scene;
        std::vector<std::pair<std::string, D3DDEVICEDESC7>> devices;
        ASSERT_EQ(D3D_OK, scene.d3d->EnumDevices(CollectDevice, &devices));
        ASSERT_EQ(2u, devices.size());
        ASSERT_EQ(D3D_OK, scene.Open(8, 8, kX888));
        D3DDEVICEDESC7 caps;
        ASSERT_EQ(D3D_OK, scene.device->GetCaps(&caps));
        for (const D3DDEVICEDESC7& desc : {caps, devices[1].second}) {
            EXPECT_EQ(allRaster & ~c.rasterGone, desc.dpcTriCaps.dwRasterCaps & allRaster);
            EXPECT_EQ(allFilters & ~c.filterGone, desc.dpcTriCaps.dwTextureFilterCaps & allFilters);
            EXPECT_EQ(c.stages, desc.wMaxTextureBlendStages);
        }
    }
}

TEST(Direct3D, DeviceNeedsA3DSurfaceOfADrawableFormat)
{
    unsetenv("RCV_FORCE");
    Scene scene;
    IDirect3DDevice7* device = nullptr;
    IDirectDrawSurface7* plain = scene.Surface(8, 8, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY, &kX888);
    EXPECT_EQ(DDERR_INVALIDCAPS, scene.d3d->CreateDevice(IID_IDirect3DHALDevice, plain, &device));
    EXPECT_EQ(nullptr, device);
    DDPIXELFORMAT eight;
    memset(&eight, 0, sizeof eight);
    eight.dwSize = sizeof eight;
    eight.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
    eight.dwRGBBitCount = 8;
    IDirectDrawSurface7* palettised = scene.Surface(8, 8, DDSCAPS_3DDEVICE | DDSCAPS_SYSTEMMEMORY, &eight);
    EXPECT_EQ(DDERR_INVALIDPIXELFORMAT, scene.d3d->CreateDevice(IID_IDirect3DHALDevice, palettised, &device));
    EXPECT_EQ(DDERR_INVALIDPARAMS, scene.d3d->CreateDevice(IID_IDirect3DHALDevice, nullptr, &device));
    for (const DDPIXELFORMAT& format : {k565, k555, k888, kX888, kA888}) {
        IDirectDrawSurface7* target = scene.Surface(8, 8, DDSCAPS_3DDEVICE | DDSCAPS_SYSTEMMEMORY, &format);
        ASSERT_EQ(D3D_OK, scene.d3d->CreateDevice(IID_IDirect3DRGBDevice, target, &device));
        device->Release();
        device = nullptr;
    }
}

TEST(Direct3D, ZMatchingDepthRefusesAZBufferOfAnotherDepth)
{
    ScopedForce force("zmatchdepth");
    for (int zbits : {24, 16}) {
        Scene scene;
        HRESULT result = scene.Open(8, 8, k565, zbits);
        EXPECT_EQ(zbits == 16 ? D3D_OK : DDERR_INVALIDPIXELFORMAT, result) << zbits;
    }
}

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        unsetenv("RCV_FORCE");
        ASSERT_EQ(D3D_OK, scene.Open(16, 16, kX888));
        dev = scene.device;
    }
    Scene scene;
    IDirect3DDevice7* dev = nullptr;
};

TEST_F(DeviceTest, StatesReadBackAsSet)
{
    DWORD value = 0;
    // Defaults the renderer relies on.
    ASSERT_EQ(D3D_OK, dev->GetRenderState(D3DRENDERSTATE_ZENABLE, &value));
    EXPECT_EQ(static_cast<DWORD>(D3DZB_TRUE), value);
    ASSERT_EQ(D3D_OK, dev->GetRenderState(D3DRENDERSTATE_CULLMODE, &value));
    EXPECT_EQ(static_cast<DWORD>(D3DCULL_CCW), value);
    ASSERT_EQ(D3D_OK, dev->GetTextureStageState(1, D3DTSS_COLOROP, &value));
    EXPECT_EQ(static_cast<DWORD>(D3DTOP_DISABLE), value);

    ASSERT_EQ(D3D_OK, dev->SetRenderState(D3DRENDERSTATE_AMBIENT, 0xFFFFFFFF));
    ASSERT_EQ(D3D_OK, dev->GetRenderState(D3DRENDERSTATE_AMBIENT, &value));
    EXPECT_EQ(0xFFFFFFFFu, value);
    ASSERT_EQ(D3D_OK, dev->SetTextureStageState(3, D3DTSS_ADDRESS, D3DTADDRESS_MIRROR));
    for (D3DTEXTURESTAGESTATETYPE s : {D3DTSS_ADDRESS, D3DTSS_ADDRESSU, D3DTSS_ADDRESSV}) {
        ASSERT_EQ(D3D_OK, dev->GetTextureStageState(3, s, &value));
        EXPECT_EQ(static_cast<DWORD>(D3DTADDRESS_MIRROR), value);
    }
    ASSERT_EQ(D3D_OK, dev->SetTextureStageState(0, D3DTSS_MAXANISOTROPY, 2));
    ASSERT_EQ(D3D_OK, dev->GetTextureStageState(0, D3DTSS_MAXANISOTROPY, &value));
    EXPECT_EQ(2u, value);
    EXPECT_EQ(DDERR_INVALIDPARAMS, dev->SetTextureStageState(8, D3DTSS_COLOROP, D3DTOP_ADD));
    EXPECT_EQ(DDERR_INVALIDPARAMS, dev->SetRenderState(static_cast<D3DRENDERSTATETYPE>(256), 1));
    EXPECT_EQ(DDERR_INVALIDPARAMS, dev->GetRenderState(D3DRENDERSTATE_ZENABLE, nullptr));

    D3DMATRIX m;
    for (int i = 0; i < 16; ++i) (&m._11)[i] = static_cast<float>(i + 1);
    for (D3DTRANSFORMSTATETYPE t : {D3DTRANSFORMSTATE_WORLD, D3DTRANSFORMSTATE_VIEW, D3DTRANSFORMSTATE_PROJECTION}) {
        ASSERT_EQ(D3D_OK, dev->SetTransform(t, &m));
        D3DMATRIX back;
        ASSERT_EQ(D3D_OK, dev->GetTransform(t, &back));
        EXPECT_EQ(0, memcmp(&m, &back, sizeof m));
    }
    // Row vectors: M x M of the matrix 1..16.
    ASSERT_EQ(D3D_OK, dev->MultiplyTransform(D3DTRANSFORMSTATE_WORLD, &m));
    D3DMATRIX product;
    ASSERT_EQ(D3D_OK, dev->GetTransform(D3DTRANSFORMSTATE_WORLD, &product));
    EXPECT_FLOAT_EQ(1 * 1 + 2 * 5 + 3 * 9 + 4 * 13, product._11);
    EXPECT_FLOAT_EQ(13 * 4 + 14 * 8 + 15 * 12 + 16 * 16, product._44);

    D3DMATERIAL7 material;
    memset(&material, 0, sizeof material);
    material.diffuse = {0.5f, 0.25f, 1.0f, 1.0f};
    material.power = 8;
    ASSERT_EQ(D3D_OK, dev->SetMaterial(&material));
    D3DMATERIAL7 back;
    ASSERT_EQ(D3D_OK, dev->GetMaterial(&back));
    EXPECT_EQ(0, memcmp(&material, &back, sizeof back));
}

TEST_F(DeviceTest, ViewportMustLieInsideTheTarget)
{
    struct Case {
        D3DVIEWPORT7 viewport;
        HRESULT result;
    } cases[] = {
        {{2, 3, 10, 12, 0.0f, 1.0f}, D3D_OK},
        {{0, 0, 16, 16, 0.25f, 0.75f}, D3D_OK},
        {{8, 0, 9, 16, 0.0f, 1.0f}, DDERR_INVALIDPARAMS},
        {{0, 0, 0, 16, 0.0f, 1.0f}, DDERR_INVALIDPARAMS},
        {{0xFFFFFFF0u, 0, 32, 16, 0.0f, 1.0f}, DDERR_INVALIDPARAMS},
        {{0, 0, 16, 16, 0.5f, 0.25f}, DDERR_INVALIDPARAMS},
    };
    for (Case& c : cases) {
        ASSERT_EQ(D3D_OK, dev->SetViewport(&cases[0].viewport));
        EXPECT_EQ(c.result, dev->SetViewport(&c.viewport));
        D3DVIEWPORT7 back;
        ASSERT_EQ(D3D_OK, dev->GetViewport(&back));
        const D3DVIEWPORT7& expected = c.result == D3D_OK ? c.viewport : cases[0].viewport;
        EXPECT_EQ(0, memcmp(&expected, &back, sizeof back));
    }
}

TEST_F(DeviceTest, LightsKeepTheirEnableStateAcrossSetLight)
{
    D3DLIGHT7 light;
    memset(&light, 0, sizeof light);
    light.dltType = D3DLIGHT_POINT;
    light.dvRange = 100;
    light.dvAttenuation0 = 1;
    BOOL enabled = TRUE;
    EXPECT_EQ(DDERR_INVALIDPARAMS, dev->GetLightEnable(9, &enabled));
    ASSERT_EQ(D3D_OK, dev->SetLight(9, &light));
    ASSERT_EQ(D3D_OK, dev->GetLightEnable(9, &enabled));
    EXPECT_FALSE(enabled);
    ASSERT_EQ(D3D_OK, dev->LightEnable(9, TRUE));
    light.dvRange = 50;
    ASSERT_EQ(D3D_OK, dev->SetLight(9, &light));
    ASSERT_EQ(D3D_OK, dev->GetLightEnable(9, &enabled));
    EXPECT_TRUE(enabled);
    D3DLIGHT7 back;
    ASSERT_EQ(D3D_OK, dev->GetLight(9, &back));
    EXPECT_EQ(50.0f, back.dvRange);
    // A light enabled before it was set is the default directional one.
    ASSERT_EQ(D3D_OK, dev->LightEnable(12, TRUE));
    ASSERT_EQ(D3D_OK, dev->GetLight(12, &back));
    EXPECT_EQ(D3DLIGHT_DIRECTIONAL, back.dltType);
    EXPECT_EQ(1.0f, back.dvDirection.z);
    light.dltType = static_cast<D3DLIGHTTYPE>(7);
    EXPECT_EQ(DDERR_INVALIDPARAMS, dev->SetLight(0, &light));
    EXPECT_EQ(DDERR_INVALIDPARAMS, dev->LightEnable(64, TRUE));
}

TEST_F(DeviceTest, ScenesDoNotNest)
{
    D3DTLVERTEX v[3] = {};
    EXPECT_EQ(D3DERR_SCENE_NOT_IN_SCENE, dev->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, v, 3, 0));
    EXPECT_EQ(D3DERR_SCENE_NOT_IN_SCENE, dev->EndScene());
    ASSERT_EQ(D3D_OK, dev->BeginScene());
    EXPECT_EQ(D3DERR_SCENE_IN_SCENE, dev->BeginScene());
    EXPECT_EQ(D3D_OK, dev->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, v, 3, 0));
    EXPECT_EQ(D3DERR_INVALIDVERTEXTYPE, dev->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_DIFFUSE, v, 3, 0));
    EXPECT_EQ(D3DERR_INVALIDPRIMITIVETYPE, dev->DrawPrimitive(static_cast<D3DPRIMITIVETYPE>(9), D3DFVF_TLVERTEX, v, 3, 0));
    WORD badIndex[3] = {0, 1, 3};
    EXPECT_EQ(DDERR_INVALIDPARAMS,
              dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, v, 3, badIndex, 3, 0));
    EXPECT_EQ(D3D_OK, dev->EndScene());
}

TEST_F(DeviceTest, ClearFillsRectanglesInsideTheViewport)
{
    D3DVIEWPORT7 viewport = {2, 2, 12, 12, 0.0f, 1.0f};
    ASSERT_EQ(D3D_OK, dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x000000FF, 0.5f, 0));
    ASSERT_EQ(D3D_OK, dev->SetViewport(&viewport));
    D3DRECT rects[2] = {{0, 0, 6, 6}, {10, 10, 20, 20}};
    ASSERT_EQ(D3D_OK, dev->Clear(2, rects, D3DCLEAR_TARGET, 0x00FF8000, 1.0f, 0));
    struct Probe {
        int x, y;
        uint32_t colour;
    } probes[] = {{1, 1, 0x0000FF}, {2, 2, 0xFF8000}, {5, 5, 0xFF8000}, {6, 6, 0x0000FF},
                  {10, 10, 0xFF8000}, {13, 13, 0xFF8000}, {14, 14, 0x0000FF}, {15, 3, 0x0000FF}};
    for (const Probe& p : probes) EXPECT_EQ(p.colour, scene.Pixel(p.x, p.y)) << p.x << "," << p.y;
    // Z: the whole viewport to 1.0, the rest kept at 0.5.
    ASSERT_EQ(D3D_OK, dev->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0));
    EXPECT_EQ(0xFFFFu, Scene::Raw(scene.zbuffer, 2, 2));
    EXPECT_EQ(0xFFFFu, Scene::Raw(scene.zbuffer, 13, 13));
    EXPECT_EQ(0x8000u, Scene::Raw(scene.zbuffer, 1, 1));
    EXPECT_EQ(DDERR_INVALIDPARAMS, dev->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0));
}

TEST(Direct3D, ClearWithoutZBufferIsRefused)
{
    unsetenv("RCV_FORCE");
    Scene scene;
    ASSERT_EQ(D3D_OK, scene.Open(8, 8, k565, 0));
    DWORD value = 1;
    ASSERT_EQ(D3D_OK, scene.device->GetRenderState(D3DRENDERSTATE_ZENABLE, &value));
    EXPECT_EQ(static_cast<DWORD>(D3DZB_FALSE), value);
    EXPECT_EQ(D3DERR_ZBUFFER_NOTPRESENT, scene.device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0));
    ASSERT_EQ(D3D_OK, scene.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00FF0000, 1.0f, 0));
    EXPECT_EQ(0xF800u, Scene::Raw(scene.target, 7, 7));
}

TEST_F(DeviceTest, TexturesAreHeldUntilReplaced)
{
    IDirectDrawSurface7* texture = scene.Texture(4, 4, k565, nullptr);
    IDirectDrawSurface7* plain = scene.Surface(4, 4, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY, &k565);
    ASSERT_EQ(D3D_OK, dev->SetTexture(1, texture));
    EXPECT_EQ(DDERR_INVALIDCAPS, dev->SetTexture(0, plain));
    IDirectDrawSurface7* back = nullptr;
    ASSERT_EQ(D3D_OK, dev->GetTexture(1, &back));
    EXPECT_EQ(texture, back);
    back->Release();
    ASSERT_EQ(D3D_OK, dev->SetTexture(1, nullptr));
    ASSERT_EQ(D3D_OK, dev->GetTexture(1, &back));
    EXPECT_EQ(nullptr, back);
}

TEST_F(DeviceTest, MipMappedTexturesComeWithTheirLevels)
{
    IDirectDrawSurface7* mip = scene.Surface(16, 4, DDSCAPS_TEXTURE | DDSCAPS_MIPMAP | DDSCAPS_COMPLEX, &k565);
    int count = 1;
    IDirectDrawSurface7* level = mip;
    level->AddRef();
    std::vector<std::pair<DWORD, DWORD>> sizes;
    for (;;) {
        DDSURFACEDESC2 desc;
        memset(&desc, 0, sizeof desc);
        desc.dwSize = sizeof desc;
        level->GetSurfaceDesc(&desc);
        sizes.push_back({desc.dwWidth, desc.dwHeight});
        DDSCAPS2 caps = {DDSCAPS_TEXTURE | DDSCAPS_MIPMAP, 0, 0, {0}};
        IDirectDrawSurface7* next = nullptr;
        HRESULT result = level->GetAttachedSurface(&caps, &next);
        level->Release();
        if (result != DD_OK) break;
        level = next;
        ++count;
    }
    std::vector<std::pair<DWORD, DWORD>> expected = {{16, 4}, {8, 2}, {4, 1}, {2, 1}, {1, 1}};
    EXPECT_EQ(expected, sizes);
    EXPECT_EQ(5, count);
    IDirectDrawSurface7* limited = scene.Surface(16, 16, DDSCAPS_TEXTURE | DDSCAPS_MIPMAP | DDSCAPS_COMPLEX, &k565, 2);
    DDSCAPS2 caps = {DDSCAPS_TEXTURE | DDSCAPS_MIPMAP, 0, 0, {0}};
    IDirectDrawSurface7* second = nullptr;
    ASSERT_EQ(DD_OK, limited->GetAttachedSurface(&caps, &second));
    IDirectDrawSurface7* third = nullptr;
    EXPECT_EQ(DDERR_NOTFOUND, second->GetAttachedSurface(&caps, &third));
    second->Release();
}

TEST_F(DeviceTest, VertexBuffersLockAndRefuseBadFormats)
{
    D3DVERTEXBUFFERDESC desc = {sizeof(D3DVERTEXBUFFERDESC), D3DVBCAPS_WRITEONLY | D3DVBCAPS_SYSTEMMEMORY, 0x252, 1450};
    IDirect3DVertexBuffer7* vb = nullptr;
    ASSERT_EQ(D3D_OK, scene.d3d->CreateVertexBuffer(&desc, &vb, 0));
    void* data = nullptr;
    DWORD size = 0;
    ASSERT_EQ(D3D_OK, vb->Lock(DDLOCK_WAIT, &data, &size));
    EXPECT_EQ(1450u * (12 + 12 + 4 + 16), size);
    EXPECT_EQ(D3DERR_VERTEXBUFFERLOCKED, vb->Lock(DDLOCK_WAIT, &data, &size));
    ASSERT_EQ(D3D_OK, dev->BeginScene());
    EXPECT_EQ(D3DERR_VERTEXBUFFERLOCKED, dev->DrawPrimitiveVB(D3DPT_TRIANGLELIST, vb, 0, 3, 0));
    ASSERT_EQ(D3D_OK, vb->Unlock());
    EXPECT_EQ(DDERR_INVALIDPARAMS, dev->DrawPrimitiveVB(D3DPT_TRIANGLELIST, vb, 1449, 3, 0));
    ASSERT_EQ(D3D_OK, dev->EndScene());
    D3DVERTEXBUFFERDESC back;
    ASSERT_EQ(D3D_OK, vb->GetVertexBufferDesc(&back));
    EXPECT_EQ(0x252u, back.dwFVF);
    vb->Release();
    D3DVERTEXBUFFERDESC screen = {sizeof(D3DVERTEXBUFFERDESC), D3DVBCAPS_WRITEONLY, 0x2C4, 1450};
    ASSERT_EQ(D3D_OK, scene.d3d->CreateVertexBuffer(&screen, &vb, 0));
    vb->Release();
    for (DWORD fvf : {DWORD(D3DFVF_DIFFUSE), DWORD(D3DFVF_XYZRHW | D3DFVF_NORMAL), DWORD(D3DFVF_XYZB2)}) {
        D3DVERTEXBUFFERDESC bad = {sizeof(D3DVERTEXBUFFERDESC), 0, fvf, 10};
        EXPECT_EQ(D3DERR_VBUF_CREATE_FAILED, scene.d3d->CreateVertexBuffer(&bad, &vb, 0)) << fvf;
    }
    D3DVERTEXBUFFERDESC empty = {sizeof(D3DVERTEXBUFFERDESC), 0, D3DFVF_TLVERTEX, 0};
    EXPECT_EQ(D3DERR_VBUF_CREATE_FAILED, scene.d3d->CreateVertexBuffer(&empty, &vb, 0));
}
}  // namespace
