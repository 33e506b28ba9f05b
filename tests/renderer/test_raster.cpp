// The raster device on our Direct3D: the Z-format choice and its 16-bit
// retry, view rectangles, viewport, camera and projection transforms,
// clears, render target and lights.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "graphics2d/Graphics2dFixture.h"
#include "renderer/YD3D6Parser.h"
#include "renderer/YD3D6Raster.h"

namespace {
const float kPi = 3.14159265f;
const DDPIXELFORMAT k565 = RgbFormat(16, 0xF800, 0x07E0, 0x001F);
const DDPIXELFORMAT kX888 = RgbFormat(32, 0xFF0000, 0x00FF00, 0x0000FF);

class RasterTest : public Graphics2dTest {
protected:
    // A windowed display with a back surface the device renders into.
    void MakeSurfaces(const DDPIXELFORMAT& format, int width = 64, int height = 48)
    {
        ASSERT_EQ(1, primary.CreatePrimarySurface(&display, 2, 0));
        ASSERT_EQ(1, back.CreateSurface(&display, width, height, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, nullptr,
                                        0, &format));
        memset(&caps, 0, sizeof caps);
        memset(&desc, 0, sizeof desc);
        desc.size = 44;
        desc.graphics = &display;
        desc.primary = primary.GetSurface();
        desc.back = back.GetSurface();
        desc.device = &caps;
        desc.word7 = 16;
    }
    void TearDown() override
    {
        raster.reset();
        back.Release();
        primary.Release();
        Graphics2dTest::TearDown();
    }
    D3DVIEWPORT7 DeviceViewport()
    {
        D3DVIEWPORT7 vp;
        memset(&vp, 0, sizeof vp);
        EXPECT_EQ(D3D_OK, raster->GetDevice()->GetViewport(&vp));
        return vp;
    }
    D3DMATRIX DeviceTransform(D3DTRANSFORMSTATETYPE state)
    {
        D3DMATRIX m;
        memset(&m, 0, sizeof m);
        EXPECT_EQ(D3D_OK, raster->GetDevice()->GetTransform(state, &m));
        return m;
    }

    YDXSurface primary{"Primary"}, back{"Back"};
    D3DDEVICEDESC7 caps;
    YDeviceDescriptor desc;
    std::unique_ptr<YD3D6Raster> raster{new YD3D6Raster};
};

// Row vector times matrix, with the w it gives.
void Transform(const D3DMATRIX& m, const float in[3], float out[4])
{
    const float* e = reinterpret_cast<const float*>(&m);
    for (int c = 0; c < 4; ++c) out[c] = in[0] * e[c] + in[1] * e[4 + c] + in[2] * e[8 + c] + e[12 + c];
}
}  // namespace

TEST_F(RasterTest, InitMakesDeviceZBufferViewportAndVertexBuffers)
{
    MakeSurfaces(k565);
    ASSERT_EQ(1, raster->Init(&desc));
    ASSERT_NE(raster->GetDevice(), nullptr);
    ASSERT_NE(raster->GetZBuffer(), nullptr);
    // The deepest Z format below 32 bits without stencil.
    EXPECT_EQ(raster->GetZBufferFormat().dwZBufferBitDepth, 24u);
    EXPECT_EQ(raster->IsZ16Only(), 0);
    DDSURFACEDESC2 z;
    memset(&z, 0, sizeof z);
    z.dwSize = sizeof z;
    ASSERT_EQ(DD_OK, raster->GetZBuffer()->GetSurface()->GetSurfaceDesc(&z));
    EXPECT_EQ(z.dwWidth, 64u);
    EXPECT_EQ(z.dwHeight, 48u);
    EXPECT_TRUE(z.ddsCaps.dwCaps & DDSCAPS_ZBUFFER);

    EXPECT_EQ(raster->GetTextureFormat().dwRGBBitCount, 16u);
    EXPECT_EQ(raster->GetTextureFormat().dwGBitMask, 0x07E0u);
    D3DVIEWPORT7 vp = DeviceViewport();
    EXPECT_EQ(vp.dwWidth, 64u);
    EXPECT_EQ(vp.dwHeight, 48u);
    DWORD ambient = 0;
    raster->GetDevice()->GetRenderState(D3DRENDERSTATE_AMBIENT, &ambient);
    EXPECT_EQ(ambient, 0xFFFFFFFFu);

    struct {
        IDirect3DVertexBuffer7* buffer;
        DWORD fvf;
    } buffers[] = {{raster->GetVertexBuffer(), 0x252}, {raster->GetScreenVertexBuffer(), 0x2C4}};
    for (auto& b : buffers) {
        ASSERT_NE(b.buffer, nullptr);
        D3DVERTEXBUFFERDESC vb;
        memset(&vb, 0, sizeof vb);
        vb.dwSize = sizeof vb;
        ASSERT_EQ(D3D_OK, b.buffer->GetVertexBufferDesc(&vb));
        EXPECT_EQ(vb.dwFVF, b.fvf);
        EXPECT_EQ(vb.dwNumVertices, 1450u);
    }
}

// A device that wants the Z buffer as deep as the colour buffer refuses the
// 24-bit Z of a 16-bit target: the second attempt takes 16 bits only.
TEST_F(RasterTest, ZFormatRetriesWithSixteenBits)
{
    struct Case {
        const char* force;
        DDPIXELFORMAT target;
        int result;
        DWORD depth;
        int z16;
    };
    const Case cases[] = {
        {"", k565, 1, 24, 0},
        {"zmatchdepth", k565, 1, 16, 1},
        {"z16only", kX888, 1, 16, 0},
        {"zmatchdepth", kX888, 0, 0, 1},
    };
    for (const Case& c : cases) {
        ScopedForce force(c.force);
        YDXSurface p("Primary"), b("Back");
        ASSERT_EQ(1, p.CreatePrimarySurface(&display, 2, 0));
        ASSERT_EQ(1, b.CreateSurface(&display, 32, 32, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, nullptr, 0,
                                     &c.target));
        D3DDEVICEDESC7 devCaps;
        memset(&devCaps, 0, sizeof devCaps);
        YDeviceDescriptor d = {44, 0, &display, p.GetSurface(), b.GetSurface(), &devCaps, 0, 16, {0, 0, 0}};
        YD3D6Raster r;
        EXPECT_EQ(r.Init(&d), c.result) << c.force;
        EXPECT_EQ(r.IsZ16Only(), c.z16) << c.force;
        if (c.result) {
            EXPECT_EQ(r.GetZBufferFormat().dwZBufferBitDepth, c.depth) << c.force;
        } else {
            EXPECT_EQ(r.GetDevice(), nullptr) << c.force;
            EXPECT_EQ(r.GetZBuffer(), nullptr) << c.force;
        }
    }
}

TEST_F(RasterTest, InitRefusesAnIncompleteDescriptor)
{
    MakeSurfaces(k565);
    YDXDraw none;
    const struct {
        const char* what;
        void (*spoil)(YDeviceDescriptor&, YDXDraw*);
    } cases[] = {
        {"no display", [](YDeviceDescriptor& d, YDXDraw*) { d.graphics = nullptr; }},
        {"no DirectDraw", [](YDeviceDescriptor& d, YDXDraw* n) { d.graphics = n; }},
        {"no primary", [](YDeviceDescriptor& d, YDXDraw*) { d.primary = nullptr; }},
        {"no back", [](YDeviceDescriptor& d, YDXDraw*) { d.back = nullptr; }},
        {"no device", [](YDeviceDescriptor& d, YDXDraw*) { d.device = nullptr; }},
    };
    EXPECT_EQ(raster->Init(nullptr), 0);
    for (const auto& c : cases) {
        YDeviceDescriptor d = desc;
        c.spoil(d, &none);
        YD3D6Raster r;
        EXPECT_EQ(r.Init(&d), 0) << c.what;
        EXPECT_EQ(r.GetDevice(), nullptr) << c.what;
    }
}

TEST_F(RasterTest, ViewRectsMustBeFilledAndNested)
{
    MakeSurfaces(k565);
    ASSERT_EQ(1, raster->Init(&desc));
    struct Case {
        const char* what;
        RECT viewport, clip;
        int result;
    };
    const Case refused[] = {
        {"empty viewport", {10, 10, 10, 20}, {0, 0, 64, 48}, 0},
        {"empty clip", {10, 10, 20, 20}, {0, 0, 0, 48}, 0},
        {"viewport out of the clip", {10, 10, 40, 40}, {0, 0, 30, 48}, 0},
        {"viewport left of the clip", {0, 0, 20, 20}, {5, 0, 64, 48}, 0},
    };
    for (const Case& c : refused) {
        EXPECT_EQ(raster->SetViewRects(c.viewport.left, c.viewport.top, c.viewport.right, c.viewport.bottom,
                                       c.clip.left, c.clip.top, c.clip.right, c.clip.bottom),
                  0)
            << c.what;
        EXPECT_EQ(raster->GetViewportRect().right, 64) << c.what;
        EXPECT_EQ(raster->GetClipRect().right, 64) << c.what;
    }

    ASSERT_EQ(raster->SetViewRects(8, 4, 40, 36, 0, 0, 64, 48), 1);
    D3DVIEWPORT7 vp = DeviceViewport();
    EXPECT_EQ(vp.dwX, 8u);
    EXPECT_EQ(vp.dwY, 4u);
    EXPECT_EQ(vp.dwWidth, 32u);
    EXPECT_EQ(vp.dwHeight, 32u);
    EXPECT_EQ(raster->GetClipRect().right, 64);

    // Equal rectangles go through SetViewport: both become the viewport.
    ASSERT_EQ(raster->SetViewRects(2, 2, 30, 20, 2, 2, 30, 20), 1);
    EXPECT_EQ(raster->GetClipRect().right, 30);
    EXPECT_EQ(DeviceViewport().dwWidth, 28u);
}

// SetViewport with the stored rectangle leaves the device alone.
TEST_F(RasterTest, SameViewportDoesNotTouchTheDevice)
{
    MakeSurfaces(k565);
    ASSERT_EQ(1, raster->Init(&desc));
    ASSERT_EQ(raster->SetViewport(0, 0, 32, 24), 1);
    D3DVIEWPORT7 other = {1, 1, 5, 5, 0.0f, 1.0f};
    ASSERT_EQ(D3D_OK, raster->GetDevice()->SetViewport(&other));
    EXPECT_EQ(raster->SetViewport(0, 0, 32, 24), 1);
    EXPECT_EQ(DeviceViewport().dwWidth, 5u);
    EXPECT_EQ(raster->SetViewport(0, 0, 30, 24), 1);
    EXPECT_EQ(DeviceViewport().dwWidth, 30u);
}

// 60 degrees across 640 x 480 is 45 degrees vertically; the projection is
// kept until viewport, field of view, near or far change.
TEST_F(RasterTest, ProjectionFollowsViewportAndIsCached)
{
    MakeSurfaces(k565, 640, 480);
    ASSERT_EQ(1, raster->Init(&desc));
    raster->SetProjection(60.0f, 2.0f, 1000.0f);
    raster->CalcCamera();
    D3DMATRIX p = DeviceTransform(D3DTRANSFORMSTATE_PROJECTION);
    const float* e = reinterpret_cast<const float*>(&p);
    EXPECT_NEAR(e[0], 1.0f / std::tan(kPi / 6), 1e-4f);
    EXPECT_NEAR(e[5], 1.0f / std::tan(kPi / 8), 1e-4f);

    // Near plane to depth 0, far plane to 1, the edge of the field to x = w.
    const float tanHalf = std::tan(kPi / 6);
    struct {
        float in[3];
        float x, z;
    } points[] = {{{0, 0, 2.0f}, 0.0f, 0.0f}, {{0, 0, 1000.0f}, 0.0f, 1.0f}, {{50.0f * tanHalf, 0, 50.0f}, 1.0f, -1}};
    for (auto& pt : points) {
        float out[4];
        Transform(p, pt.in, out);
        EXPECT_NEAR(out[0] / out[3], pt.x, 1e-4f);
        if (pt.z >= 0) {
            EXPECT_NEAR(out[2] / out[3], pt.z, 1e-4f);
        }
    }

    const YMatrix cached = raster->GetProjectionMatrix();
    raster->CalcCamera();
    EXPECT_EQ(memcmp(&cached, &raster->GetProjectionMatrix(), sizeof cached), 0);
    raster->SetProjection(60.0f, 2.0f, 500.0f);
    raster->CalcCamera();
    EXPECT_NE(raster->GetProjectionMatrix().m[2][2], cached.m[2][2]);
    raster->SetProjection(60.0f, 2.0f, 1000.0f);
    ASSERT_EQ(raster->SetViewport(0, 0, 320, 480), 1);
    EXPECT_NE(raster->GetProjectionMatrix().m[1][1], cached.m[1][1]);
}

// Planes that meet, or no field of view, make no projection: the device
// keeps the last good one, and a good one later is taken again.
TEST_F(RasterTest, ADegenerateProjectionKeepsTheLastGoodOne)
{
    MakeSurfaces(k565, 640, 480);
    ASSERT_EQ(1, raster->Init(&desc));
    raster->SetProjection(60.0f, 2.0f, 1000.0f);
    raster->CalcCamera();
    const YMatrix good = raster->GetProjectionMatrix();
    const struct {
        float fov, nearPlane, farPlane;
    } cases[] = {{60.0f, 500.0f, 500.0f}, {60.0f, 0.0f, 0.0f}, {0.0f, 2.0f, 1000.0f}, {60.0f, 1e30f, 1e30f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.fov) + " " + std::to_string(c.nearPlane) + " " + std::to_string(c.farPlane));
        raster->SetProjection(c.fov, c.nearPlane, c.farPlane);
        raster->CalcCamera();
        EXPECT_EQ(memcmp(&good, &raster->GetProjectionMatrix(), sizeof good), 0);
        D3DMATRIX p = DeviceTransform(D3DTRANSFORMSTATE_PROJECTION);
        const float* e = reinterpret_cast<const float*>(&p);
        for (int i = 0; i < 16; ++i) EXPECT_TRUE(std::isfinite(e[i])) << i;
    }
    raster->SetProjection(60.0f, 2.0f, 500.0f);
    raster->CalcCamera();
    EXPECT_NE(raster->GetProjectionMatrix().m[2][2], good.m[2][2]);
    EXPECT_NEAR(raster->GetProjectionMatrix().m[2][2], 500.0f / 498.0f, 1e-5f);
}

// What the pick calls straight ahead lies straight ahead in the view.
TEST_F(RasterTest, ViewLooksWhereThePickPoints)
{
    MakeSurfaces(k565, 640, 480);
    YD3D6Parser parser;
    ASSERT_EQ(parser.CreateDevice(&desc), 1);
    raster.reset();
    ASSERT_NE(parser.GetRaster(), nullptr);
    parser.SetProjection(60.0f, 60.0f, 1.0f, 3000.0f);
    ASSERT_EQ(parser.SetViewRects(0, 0, 640, 480, 0, 0, 640, 480), 1);
    const float angles[][3] = {{0, 0, 0}, {0.3f, 0, 0}, {0, 1.2f, 0}, {-0.4f, 2.5f, 0}, {0.5f, -0.7f, 0}};
    for (const auto& a : angles) {
        parser.SetCameraPosition(100.0f, 50.0f, -30.0f);
        parser.SetCameraAngles(a[0], a[1], a[2]);
        ASSERT_EQ(parser.ApplyView(), 1);
        D3DMATRIX view;
        ASSERT_EQ(D3D_OK, parser.GetRaster()->GetDevice()->GetTransform(D3DTRANSFORMSTATE_VIEW, &view));
        for (int x : {320, 640, 100}) {
            float d[3];
            parser.GetPickDirection(x, 240, d);
            const float target[3] = {100.0f + 10 * d[0], 50.0f + 10 * d[1], -30.0f + 10 * d[2]};
            float out[4];
            Transform(view, target, out);
            EXPECT_NEAR(out[0] / out[2], (x - 320) / 320.0f * std::tan(kPi / 6), 1e-3f) << a[0] << "," << a[1];
            EXPECT_NEAR(out[1], 0.0f, 1e-3f) << a[0] << "," << a[1];
            EXPECT_GT(out[2], 0.0f);
        }
    }
}

TEST_F(RasterTest, ClearsCoverTheViewportOnly)
{
    MakeSurfaces(kX888, 16, 8);
    ASSERT_EQ(1, raster->Init(&desc));
    ASSERT_EQ(1, back.Clear(nullptr, 0x000011));
    ASSERT_EQ(raster->SetViewport(4, 2, 12, 6), 1);
    EXPECT_TRUE(raster->ClearTarget(0xFF00FF00));
    EXPECT_TRUE(raster->ClearZBuffer());
    std::vector<uint32_t> px = Read(back);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) {
            bool inside = x >= 4 && x < 12 && y >= 2 && y < 6;
            ASSERT_EQ(px[y * 16 + x] & 0xFFFFFF, inside ? 0x00FF00u : 0x000011u) << x << "," << y;
        }
}

TEST_F(RasterTest, RenderTargetSwapsAndReportsThePrevious)
{
    MakeSurfaces(k565);
    ASSERT_EQ(1, raster->Init(&desc));
    YDXSurface other("Other");
    ASSERT_EQ(1, other.CreateSurface(&display, 64, 48, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, nullptr, 0, &k565));
    EXPECT_EQ(raster->SetRenderTarget(nullptr), nullptr);
    EXPECT_EQ(raster->SetRenderTarget(other.GetSurface()), back.GetSurface());
    EXPECT_EQ(raster->SetRenderTarget(back.GetSurface()), other.GetSurface());
}

// A viewport change switches the lights off and back on, the session
// lights after the global ones.
TEST_F(RasterTest, ViewportChangeRestoresBothLightLists)
{
    MakeSurfaces(k565);
    ASSERT_EQ(1, raster->Init(&desc));
    auto light = [](float r) {
        D3DLIGHT7* l = new D3DLIGHT7;
        memset(l, 0, sizeof *l);
        l->dltType = D3DLIGHT_DIRECTIONAL;
        l->dcvDiffuse.r = r;
        l->dvDirection.y = -1.0f;
        return YRasterLight{3, {0, -1, 0}, 1000.0f, {r, r, r}, l, {0, 0}};
    };
    raster->m_globalLights.push_back(light(0.25f));
    raster->m_sessionLights.push_back(light(0.5f));
    raster->m_sessionLights.push_back(light(0.75f));
    raster->m_lightsActive = 1;
    ASSERT_EQ(raster->SetViewport(0, 0, 32, 32), 1);
    IDirect3DDevice7* device = raster->GetDevice();
    for (DWORD i = 0; i < 3; ++i) {
        BOOL on = FALSE;
        ASSERT_EQ(D3D_OK, device->GetLightEnable(i, &on));
        EXPECT_TRUE(on) << i;
        D3DLIGHT7 l;
        ASSERT_EQ(D3D_OK, device->GetLight(i, &l));
        EXPECT_EQ(l.dcvDiffuse.r, 0.25f * (i + 1)) << i;
    }
    raster->FreeSessionLights();
    BOOL on = TRUE;
    device->GetLightEnable(1, &on);
    EXPECT_FALSE(on);
    EXPECT_TRUE(raster->m_sessionLights.empty());
    EXPECT_EQ(raster->LightsOff(), 1);
    device->GetLightEnable(0, &on);
    EXPECT_FALSE(on);
}

// Two lit triangles at depth 10 in front of the camera cover the middle of
// the target in their colour; the corners keep the clear colour.
TEST_F(RasterTest, DrawTrianglesFillsThroughTheCamera)
{
    MakeSurfaces(kX888, 64, 48);
    ASSERT_EQ(1, raster->Init(&desc));
    IDirect3DDevice7* device = raster->GetDevice();
    device->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
    device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    raster->SetProjection(60.0f, 1.0f, 100.0f);
    raster->CalcCamera();
    ASSERT_TRUE(raster->ClearTarget(0xFF000000));
    ASSERT_TRUE(raster->ClearZBuffer());
    // A square of half-width 2 at depth 10: 2 / (10 tan 30) of the half-width.
    auto v = [](float x, float y) { return D3DLVERTEX{x, y, 10.0f, 0, 0xFF20C040, 0, 0.0f, 0.0f}; };
    D3DLVERTEX tris[6] = {v(-2, -2), v(-2, 2), v(2, 2), v(-2, -2), v(2, 2), v(2, -2)};
    ASSERT_EQ(D3D_OK, device->BeginScene());
    EXPECT_TRUE(raster->DrawTriangles(tris, 2));
    ASSERT_EQ(D3D_OK, device->EndScene());
    std::vector<uint32_t> px = Read(back);
    EXPECT_EQ(px[24 * 64 + 32] & 0xFFFFFF, 0x20C040u);
    EXPECT_EQ(px[0] & 0xFFFFFF, 0u);
    EXPECT_EQ(px[47 * 64 + 63] & 0xFFFFFF, 0u);
    const float half = 32.0f * 2.0f / (10.0f * std::tan(kPi / 6));  // about 11 pixels
    EXPECT_EQ(px[24 * 64 + int(32 + half - 2)] & 0xFFFFFF, 0x20C040u);
    EXPECT_EQ(px[24 * 64 + int(32 + half + 2)] & 0xFFFFFF, 0u);
}

// Without a device the renderer keeps no raster and its view calls fail.
TEST_F(RasterTest, RendererWithoutADevice)
{
    MakeSurfaces(k565);
    YD3D6Parser parser;
    {
        ScopedForce force("nodevice");
        EXPECT_EQ(parser.CreateDevice(&desc), 0);
    }
    EXPECT_EQ(parser.GetRaster(), nullptr);
    EXPECT_EQ(parser.SetViewRects(0, 0, 64, 48, 0, 0, 64, 48), 0);
    EXPECT_EQ(parser.ApplyView(), 0);
    parser.EvictTextures();
    ASSERT_EQ(parser.CreateDevice(&desc), 1);
    EXPECT_NE(parser.GetRaster(), nullptr);
    EXPECT_EQ(parser.SetViewRects(0, 0, 64, 48, 0, 0, 64, 48), 1);
    EXPECT_EQ(parser.SetViewRects(0, 0, 65, 48, 0, 0, 64, 48), 0);
    EXPECT_EQ(parser.DestroyDevice(), 1);
    EXPECT_EQ(parser.GetRaster(), nullptr);
}

TEST_F(RasterTest, TextureFormatsTheDeviceLists)
{
    MakeSurfaces(k565);
    YD3D6Parser parser;
    const DDPIXELFORMAT k4444 = RgbFormat(16, 0x0F00, 0x00F0, 0x000F, 0xF000);
    const DDPIXELFORMAT k332 = RgbFormat(8, 0xE0, 0x1C, 0x03);
    EXPECT_EQ(parser.FindTextureFormat(&k565), 0);  // no device yet
    ASSERT_EQ(parser.CreateDevice(&desc), 1);
    EXPECT_EQ(parser.FindTextureFormat(&k565), 1);
    EXPECT_EQ(parser.FindTextureFormat(&k4444), 1);
    EXPECT_EQ(parser.FindTextureFormat(&k332), 0);
    DDPIXELFORMAT wrongAlpha = k4444;
    wrongAlpha.dwRGBAlphaBitMask = 0x8000;
    EXPECT_EQ(parser.FindTextureFormat(&wrongAlpha), 0);
}
