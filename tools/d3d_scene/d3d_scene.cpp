// Draws a lit, textured, rotating scene through our Direct3D 7 device and
// presents it in the 640 x 480 "RC Volaro" window (headless, RCV_FRAME_DUMP
// keeps every frame as a BMP): a fogged, MIP-mapped ground with a second
// texture stage, a lit cube turning above it, a colour-keyed sprite and a
// translucent pane. Usage: d3d_scene [frames] [seconds to hold the last]
#include "platform/backend/Backend.h"
#include "platform/d3d.h"
#include "platform/ddraw.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
const int kWidth = 640, kHeight = 480;

DWORD FloatBits(float f)
{
    DWORD d;
    memcpy(&d, &f, 4);
    return d;
}

D3DMATRIX Identity()
{
    D3DMATRIX m;
    memset(&m, 0, sizeof m);
    m._11 = m._22 = m._33 = m._44 = 1;
    return m;
}

D3DMATRIX RotationY(float a)
{
    D3DMATRIX m = Identity();
    m._11 = std::cos(a);
    m._13 = -std::sin(a);
    m._31 = std::sin(a);
    m._33 = std::cos(a);
    return m;
}

D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b)
{
    D3DMATRIX r;
    const float* x = &a._11;
    const float* y = &b._11;
    float* o = &r._11;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            o[i * 4 + j] = x[i * 4] * y[j] + x[i * 4 + 1] * y[4 + j] + x[i * 4 + 2] * y[8 + j] + x[i * 4 + 3] * y[12 + j];
    return r;
}

// A texture surface with its whole MIP chain, each level made by the
// callback (x, y, level) -> 0xAARRGGBB, in 32-bit ARGB or 5-6-5.
IDirectDrawSurface7* MakeTexture(IDirectDraw7* dd, int side, bool alpha, uint32_t (*texel)(int, int, int, int))
{
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = desc.dwHeight = static_cast<DWORD>(side);
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_MIPMAP | DDSCAPS_COMPLEX;
    desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    desc.ddpfPixelFormat.dwFlags = DDPF_RGB | (alpha ? DDPF_ALPHAPIXELS : 0);
    desc.ddpfPixelFormat.dwRGBBitCount = alpha ? 32 : 16;
    desc.ddpfPixelFormat.dwRBitMask = alpha ? 0xFF0000 : 0xF800;
    desc.ddpfPixelFormat.dwGBitMask = alpha ? 0xFF00 : 0x07E0;
    desc.ddpfPixelFormat.dwBBitMask = alpha ? 0xFF : 0x001F;
    desc.ddpfPixelFormat.dwRGBAlphaBitMask = alpha ? 0xFF000000u : 0;
    IDirectDrawSurface7* top = nullptr;
    if (dd->CreateSurface(&desc, &top, nullptr) != DD_OK) return nullptr;
    IDirectDrawSurface7* level = top;
    level->AddRef();
    for (int i = 0; level; ++i) {
        DDSURFACEDESC2 locked;
        memset(&locked, 0, sizeof locked);
        locked.dwSize = sizeof locked;
        if (level->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr) == DD_OK) {
            for (DWORD y = 0; y < locked.dwHeight; ++y)
                for (DWORD x = 0; x < locked.dwWidth; ++x) {
                    uint32_t c = texel(static_cast<int>(x), static_cast<int>(y), static_cast<int>(locked.dwWidth), i);
                    uint8_t* p = static_cast<uint8_t*>(locked.lpSurface) + y * locked.lPitch;
                    if (alpha) {
                        memcpy(p + x * 4, &c, 4);
                    } else {
                        uint16_t v = static_cast<uint16_t>(((c >> 8) & 0xF800) | ((c >> 5) & 0x07E0) | ((c >> 3) & 0x1F));
                        memcpy(p + x * 2, &v, 2);
                    }
                }
            level->Unlock(nullptr);
        }
        DDSCAPS2 caps = {DDSCAPS_TEXTURE | DDSCAPS_MIPMAP, 0, 0, {0}};
        IDirectDrawSurface7* next = nullptr;
        level->GetAttachedSurface(&caps, &next);
        level->Release();
        level = next;
    }
    return top;
}

// A grass-and-earth checker whose squares stay 8 texels of level 0 on every level.
uint32_t Ground(int x, int y, int side, int level)
{
    int cell = 8 >> level;
    if (cell < 1) return 0xFF4A7A3A;
    bool dark = ((x / cell) + (y / cell)) & 1;
    int grain = ((x * 7 + y * 13) % 5) * 4;
    (void)side;
    return dark ? 0xFF3A6A2A + static_cast<uint32_t>(grain << 8) : 0xFF8A7A50 + static_cast<uint32_t>(grain);
}

// Soft light spots for the second stage.
uint32_t LightMap(int x, int y, int side, int)
{
    float u = (x + 0.5f) / side - 0.5f, v = (y + 0.5f) / side - 0.5f;
    int l = 160 + static_cast<int>(95 * std::cos(u * 6.2831853f) * std::cos(v * 6.2831853f));
    return 0xFF000000u | static_cast<uint32_t>(l * 0x010101);
}

// Crate boards with alpha 255.
uint32_t Crate(int x, int y, int side, int)
{
    int border = side / 8;
    bool edge = x < border || y < border || x >= side - border || y >= side - border || std::abs(x - y) < border;
    return edge ? 0xFF6A4020 : 0xFFC09050;
}

// A keyed sprite: a yellow star on magenta (the key).
uint32_t Star(int x, int y, int side, int)
{
    float u = (x + 0.5f) / side * 2 - 1, v = (y + 0.5f) / side * 2 - 1;
    float r = std::sqrt(u * u + v * v), a = std::atan2(v, u);
    return r < 0.55f + 0.35f * std::cos(5 * a) ? 0xFFFFD020 : 0xFFFF00FF;
}

struct Scene {
    IDirect3DDevice7* dev;
    IDirectDrawSurface7 *ground, *light, *crate, *star;
};

void DrawFrame(const Scene& s, int frame)
{
    IDirect3DDevice7* dev = s.dev;
    dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x00A0B8D0, 1.0f, 0);
    dev->BeginScene();
    const float angle = frame * 0.12f;

    // Camera: 3 units up, 9 back, looking slightly down.
    D3DMATRIX view = Identity();
    const float pitch = 0.25f;
    view._22 = std::cos(pitch);
    view._23 = -std::sin(pitch);
    view._32 = std::sin(pitch);
    view._33 = std::cos(pitch);
    D3DMATRIX move = Identity();
    move._42 = -4.0f;
    move._43 = 10.0f;
    view = Multiply(move, view);
    D3DMATRIX projection = Identity();
    const float zn = 0.5f, zf = 200.0f, q = zf / (zf - zn);
    projection._11 = 1.0f / std::tan(60.0f * 3.14159265f / 360.0f);
    projection._22 = 1.0f / std::tan(60.0f * 0.75f * 3.14159265f / 360.0f);
    projection._33 = q;
    projection._34 = 1.0f;
    projection._43 = -q * zn;
    projection._44 = 0.0f;
    dev->SetTransform(D3DTRANSFORMSTATE_VIEW, &view);
    dev->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);

    // Ground: a 24 x 24 grid, two stages (checker times light spots), fog.
    D3DMATRIX world = Identity();
    dev->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
    dev->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
    dev->SetRenderState(D3DRENDERSTATE_FOGENABLE, TRUE);
    dev->SetRenderState(D3DRENDERSTATE_FOGCOLOR, 0x00A0B8D0);
    dev->SetRenderState(D3DRENDERSTATE_FOGTABLEMODE, D3DFOG_LINEAR);
    dev->SetRenderState(D3DRENDERSTATE_FOGSTART, FloatBits(12.0f));
    dev->SetRenderState(D3DRENDERSTATE_FOGEND, FloatBits(60.0f));
    dev->SetTexture(0, s.ground);
    dev->SetTexture(1, s.light);
    for (int stage = 0; stage < 2; ++stage) {
        dev->SetTextureStageState(stage, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
        dev->SetTextureStageState(stage, D3DTSS_MINFILTER, D3DTFN_LINEAR);
        dev->SetTextureStageState(stage, D3DTSS_MIPFILTER, D3DTFP_LINEAR);
        dev->SetTextureStageState(stage, D3DTSS_ADDRESS, D3DTADDRESS_WRAP);
    }
    dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    dev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    dev->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE2X);
    dev->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    dev->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
    dev->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 1);
    struct GroundVertex {
        float x, y, z;
        DWORD diffuse;
        float u0, v0, u1, v1;
    };
    const int n = 24;
    std::vector<GroundVertex> grid;
    for (int j = 0; j <= n; ++j)
        for (int i = 0; i <= n; ++i) {
            float x = (i - n / 2) * 4.0f, z = (j - n / 2) * 4.0f + 20.0f;
            grid.push_back({x, 0.0f, z, 0xFFFFFFFF, i * 1.0f, j * 1.0f, i * 0.25f + angle * 0.05f, j * 0.25f});
        }
    std::vector<WORD> indices;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            WORD a = static_cast<WORD>(j * (n + 1) + i), b = static_cast<WORD>(a + 1), c = static_cast<WORD>(a + n + 1),
                 d = static_cast<WORD>(c + 1);
            for (WORD k : {c, d, a, a, d, b}) indices.push_back(k);
        }
    dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX2, grid.data(),
                              static_cast<DWORD>(grid.size()), indices.data(), static_cast<DWORD>(indices.size()), 0);
    dev->SetTexture(1, nullptr);
    dev->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);

    // The cube, lit by a white sun and an orange point light.
    dev->SetRenderState(D3DRENDERSTATE_LIGHTING, TRUE);
    dev->SetRenderState(D3DRENDERSTATE_AMBIENT, 0x00303030);
    dev->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, TRUE);
    D3DMATERIAL7 material;
    memset(&material, 0, sizeof material);
    material.diffuse = {1, 1, 1, 1};
    material.ambient = {1, 1, 1, 1};
    material.specular = {0.6f, 0.6f, 0.6f, 1};
    material.power = 20;
    dev->SetMaterial(&material);
    D3DLIGHT7 sun;
    memset(&sun, 0, sizeof sun);
    sun.dltType = D3DLIGHT_DIRECTIONAL;
    sun.dcvDiffuse = {0.9f, 0.9f, 0.8f, 1};
    sun.dcvSpecular = {1, 1, 1, 1};
    sun.dvDirection = {-0.5f, -1.0f, 0.6f};
    dev->SetLight(0, &sun);
    dev->LightEnable(0, TRUE);
    D3DLIGHT7 lamp;
    memset(&lamp, 0, sizeof lamp);
    lamp.dltType = D3DLIGHT_POINT;
    lamp.dcvDiffuse = {1.0f, 0.5f, 0.1f, 1};
    lamp.dvPosition = {3.0f * std::cos(angle * 2), 1.5f, 3.0f * std::sin(angle * 2)};
    lamp.dvRange = 12;
    lamp.dvAttenuation0 = 0.2f;
    lamp.dvAttenuation1 = 0.3f;
    dev->SetLight(1, &lamp);
    dev->LightEnable(1, TRUE);
    world = RotationY(angle);
    world._42 = 1.5f;
    dev->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
    dev->SetTexture(0, s.crate);
    std::vector<D3DVERTEX> cube;
    const float normals[6][3] = {{0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}};
    for (const auto& f : normals) {
        float a[3] = {f[1] != 0 ? 1.0f : 0.0f, f[1] != 0 ? 0.0f : 1.0f, 0};
        float b[3] = {f[1] * a[2] - f[2] * a[1], f[2] * a[0] - f[0] * a[2], f[0] * a[1] - f[1] * a[0]};
        auto corner = [&](float i, float j) {
            D3DVERTEX v;
            v.x = 1.5f * (f[0] + i * a[0] + j * b[0]);
            v.y = 1.5f * (f[1] + i * a[1] + j * b[1]);
            v.z = 1.5f * (f[2] + i * a[2] + j * b[2]);
            v.nx = f[0];
            v.ny = f[1];
            v.nz = f[2];
            v.tu = (i + 1) * 0.5f;
            v.tv = (j + 1) * 0.5f;
            return v;
        };
        D3DVERTEX quad[4] = {corner(-1, -1), corner(1, -1), corner(1, 1), corner(-1, 1)};
        for (int i : {0, 1, 2, 0, 2, 3}) cube.push_back(quad[i]);
    }
    dev->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, cube.data(), static_cast<DWORD>(cube.size()), 0);
    dev->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, FALSE);
    dev->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
    dev->SetRenderState(D3DRENDERSTATE_FOGENABLE, FALSE);

    // A colour-keyed sprite and a translucent pane, on the screen.
    dev->SetTexture(0, s.star);
    dev->SetRenderState(D3DRENDERSTATE_COLORKEYENABLE, TRUE);
    dev->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTFP_NONE);
    const float sx = 40.0f + 20.0f * std::sin(angle), sy = 40.0f;
    D3DTLVERTEX sprite[4] = {{sx, sy, 0.01f, 1, 0xFFFFFFFF, 0, 0, 0}, {sx + 96, sy, 0.01f, 1, 0xFFFFFFFF, 0, 1, 0},
                             {sx, sy + 96, 0.01f, 1, 0xFFFFFFFF, 0, 0, 1}, {sx + 96, sy + 96, 0.01f, 1, 0xFFFFFFFF, 0, 1, 1}};
    dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, sprite, 4, 0);
    dev->SetRenderState(D3DRENDERSTATE_COLORKEYENABLE, FALSE);
    dev->SetTexture(0, nullptr);
    dev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    dev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    dev->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
    D3DTLVERTEX pane[4] = {{420, 330, 0.01f, 1, 0x802060FF, 0, 0, 0}, {620, 330, 0.01f, 1, 0x80FF6020, 0, 0, 0},
                           {420, 460, 0.01f, 1, 0x8020FF60, 0, 0, 0}, {620, 460, 0.01f, 1, 0x80FFFFFF, 0, 0, 0}};
    dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, pane, 4, 0);
    // Its outline in wireframe.
    dev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
    dev->SetRenderState(D3DRENDERSTATE_FILLMODE, D3DFILL_WIREFRAME);
    for (D3DTLVERTEX& v : pane) v.color = 0xFFFFFFFF;
    dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, pane, 4, 0);
    dev->SetRenderState(D3DRENDERSTATE_FILLMODE, D3DFILL_SOLID);
    dev->EndScene();
}
}  // namespace

int main(int argc, char** argv)
{
    const int frames = argc > 1 ? atoi(argv[1]) : 1;
    const double hold = argc > 2 ? atof(argv[2]) : 0.0;
    platform::Backend& backend = platform::Backend::Get();
    if (!backend.OpenWindow("RC Volaro", kWidth, kHeight, false)) {
        fprintf(stderr, "d3d_scene: no window\n");
        return 1;
    }
    HWND window = reinterpret_cast<HWND>(1);
    IDirectDraw7* dd = nullptr;
    IDirect3D7* d3d = nullptr;
    if (DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&dd), IID_IDirectDraw7, nullptr) != DD_OK ||
        dd->SetCooperativeLevel(window, DDSCL_NORMAL) != DD_OK ||
        dd->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&d3d)) != DD_OK) {
        fprintf(stderr, "d3d_scene: no DirectDraw\n");
        return 1;
    }
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    IDirectDrawSurface7 *primary = nullptr, *back = nullptr, *zbuffer = nullptr;
    IDirectDrawClipper* clipper = nullptr;
    dd->CreateSurface(&desc, &primary, nullptr);
    dd->CreateClipper(0, &clipper, nullptr);
    clipper->SetHWnd(0, window);
    primary->SetClipper(clipper);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = kWidth;
    desc.dwHeight = kHeight;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE | DDSCAPS_SYSTEMMEMORY;
    dd->CreateSurface(&desc, &back, nullptr);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.ddsCaps.dwCaps = DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY;
    desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    desc.ddpfPixelFormat.dwFlags = DDPF_ZBUFFER;
    desc.ddpfPixelFormat.dwZBufferBitDepth = 16;
    desc.ddpfPixelFormat.dwZBitMask = 0xFFFF;
    dd->CreateSurface(&desc, &zbuffer, nullptr);
    Scene scene = {};
    if (!primary || !back || !zbuffer || back->AddAttachedSurface(zbuffer) != DD_OK ||
        d3d->CreateDevice(IID_IDirect3DHALDevice, back, &scene.dev) != D3D_OK) {
        fprintf(stderr, "d3d_scene: no 3D device\n");
        return 1;
    }
    scene.ground = MakeTexture(dd, 64, false, Ground);
    scene.light = MakeTexture(dd, 32, false, LightMap);
    scene.crate = MakeTexture(dd, 64, true, Crate);
    scene.star = MakeTexture(dd, 64, false, Star);
    DDCOLORKEY key = {0xF81F, 0xF81F};
    scene.star->SetColorKey(DDCKEY_SRCBLT, &key);

    RECT screen = {0, 0, kWidth, kHeight};
    for (int frame = 0; frame < frames; ++frame) {
        DrawFrame(scene, frame);
        primary->Blt(&screen, back, nullptr, DDBLT_WAIT, nullptr);
    }
    for (int i = 0; i < static_cast<int>(hold * 20); ++i) {
        Sleep(50);
        primary->Blt(&screen, back, nullptr, DDBLT_WAIT, nullptr);
    }
    printf("d3d_scene: %lu frames presented by the %s backend\n", backend.PresentedFrames(), backend.Name());
    for (IDirectDrawSurface7* t : {scene.ground, scene.light, scene.crate, scene.star})
        if (t) t->Release();
    scene.dev->Release();
    zbuffer->Release();
    back->Release();
    primary->Release();
    clipper->Release();
    d3d->Release();
    dd->Release();
    platform::Backend::Shutdown();
    return 0;
}
