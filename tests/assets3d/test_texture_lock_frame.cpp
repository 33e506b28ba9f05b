// A headless frame: two textures uploaded through locks and drawn on quads
// with the locks' states, one colour-keyed, one alpha-blended; pixels are
// probed and the frame is written as "texture_lock_frame.bmp".
#include "LockFixture.h"

#include "foundation/SaveDCBitmap.h"

namespace {
using namespace lock_test;

// What the frame renderer does with a lock before drawing with it.
void Apply(IDirect3DDevice7* device, YD3D6Lock& lock)
{
    const YTexStates& s = lock.m_states;
    device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, s.m_alphaBlendEnable);
    device->SetRenderState(D3DRENDERSTATE_ALPHAFUNC, s.m_alphaFunc);
    device->SetRenderState(D3DRENDERSTATE_ALPHAREF, s.m_alphaRef);
    device->SetRenderState(D3DRENDERSTATE_ALPHATESTENABLE, s.m_alphaTestEnable);
    device->SetRenderState(D3DRENDERSTATE_COLORKEYENABLE, s.m_colorKeyEnable);
    device->SetRenderState(D3DRENDERSTATE_CULLMODE, s.m_cullMode);
    device->SetRenderState(D3DRENDERSTATE_DESTBLEND, s.m_destBlend);
    device->SetRenderState(D3DRENDERSTATE_SRCBLEND, s.m_srcBlend);
    device->SetRenderState(D3DRENDERSTATE_ZENABLE, s.m_zEnable);
    device->SetRenderState(D3DRENDERSTATE_ZFUNC, s.m_zFunc);
    device->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, s.m_zWriteEnable);
    device->SetRenderState(D3DRENDERSTATE_FOGENABLE, s.m_fogEnable);
    device->SetRenderState(D3DRENDERSTATE_FILLMODE, s.m_wireframe ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
    const DWORD stage = s.m_stage;
    device->SetTextureStageState(stage, D3DTSS_COLOROP, s.m_colorOp);
    device->SetTextureStageState(stage, D3DTSS_COLORARG1, s.m_colorArg1);
    device->SetTextureStageState(stage, D3DTSS_COLORARG2, s.m_colorArg2);
    device->SetTextureStageState(stage, D3DTSS_ALPHAOP, s.m_alphaOp);
    device->SetTextureStageState(stage, D3DTSS_ALPHAARG1, s.m_alphaArg1);
    device->SetTextureStageState(stage, D3DTSS_ALPHAARG2, s.m_alphaArg2);
    device->SetTextureStageState(stage, D3DTSS_ADDRESS, s.m_address);
    device->SetTextureStageState(stage, D3DTSS_MAGFILTER, s.m_magFilter);
    device->SetTextureStageState(stage, D3DTSS_MINFILTER, s.m_minFilter);
    device->SetTextureStageState(stage, D3DTSS_MIPFILTER, s.m_mipFilter);
    device->SetMaterial(&lock.m_material);
    device->SetTexture(stage, lock.m_pSurface);
}

void Quad(IDirect3DDevice7* device, float x, float y, float size)
{
    D3DTLVERTEX v[4];
    const float xs[4] = {x, x + size, x, x + size}, ys[4] = {y, y, y + size, y + size};
    for (int i = 0; i < 4; ++i) {
        v[i].sx = xs[i];
        v[i].sy = ys[i];
        v[i].sz = 0.5f;
        v[i].rhw = 1.0f;
        v[i].color = 0xFFFFFFFF;
        v[i].specular = 0xFF000000;
        v[i].tu = (i & 1) ? 1.0f : 0.0f;
        v[i].tv = (i & 2) ? 1.0f : 0.0f;
    }
    ASSERT_EQ(D3D_OK, device->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, v, 4, 0));
}

TEST_F(LockTest, HeadlessFrameShowsAKeyedAndABlendedTexture)
{
    // A fence: brown posts and rails, the gaps transparent (alpha 0).
    auto fence = [](int, int x, int y) -> uint32_t {
        const bool wood = (x % 8) < 2 || ((y % 16) >= 6 && (y % 16) < 9);
        return wood ? 0xFF8C5A28u : 0x00FF00FFu;
    };
    // A pane: green, opaque at the top, clear at the bottom.
    auto pane = [](int, int, int y) -> uint32_t { return static_cast<uint32_t>(255 - y * 8) << 24 | 0x0020E040u; };
    const std::vector<std::pair<std::string, std::string>> common = {
        {"TXT-RSCull", "none"}, {"TXT-RSFog", "no"}, {"TXT-TSMagFilt", "point"}, {"TXT-TSMinFilt", "point"},
        {"TXT-TSMIPFilt", "none"}};

    std::unique_ptr<YTexture2> built = Build({"8888"}, 32, 32, fence);
    for (const auto& tag : common) built->SetTag(tag.first.c_str(), tag.second.c_str());
    built->SetTag("TXT-RSColorKey", "yes");
    std::unique_ptr<YTexture2> keyedTexture = Stored(*built, "fence.ytx");
    built = Build({"4444", "8888"}, 32, 32, pane);
    for (const auto& tag : common) built->SetTag(tag.first.c_str(), tag.second.c_str());
    built->SetTag("TXT-SortType", "alpha");
    built->SetTag("TXT-RSAlphaBlend", "yes");
    built->SetTag("TXT-RSSrcBlend", "SrcAlpha");
    built->SetTag("TXT-RSDstBlend", "InvSrcAlpha");
    built->SetTag("TXT-RSZWrite", "no");
    std::unique_ptr<YTexture2> paneTexture = Stored(*built, "pane.ytx");

    std::unique_ptr<YD3D6Lock> keyed = NewLock();
    ASSERT_EQ(1, keyed->Upload(keyedTexture.get())) << keyed->GetError().GetBuffer();
    std::unique_ptr<YD3D6Lock> blended = NewLock();
    blended->m_alphaFormat = d3dtest::kA888;
    ASSERT_EQ(1, blended->Upload(paneTexture.get())) << blended->GetError().GetBuffer();
    EXPECT_EQ(1, blended->m_iSortType);
    EXPECT_STREQ("ARGB8888", paneTexture->GetFormat(0)->m_strName.GetBuffer());

    IDirect3DDevice7* device = scene.device;
    ASSERT_EQ(D3D_OK, device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF102080u, 1.0f, 0));
    ASSERT_EQ(D3D_OK, device->BeginScene());
    device->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
    Apply(device, *keyed);
    Quad(device, 0.0f, 16.0f, 32.0f);
    Apply(device, *blended);
    Quad(device, 32.0f, 16.0f, 32.0f);
    ASSERT_EQ(D3D_OK, device->EndScene());

    const uint32_t background = 0x102080;
    // Outside the quads.
    EXPECT_EQ(background, scene.Pixel(10, 5));
    EXPECT_EQ(background, scene.Pixel(50, 60));
    // The fence in 5-6-5: wood shows, the gaps show the background.
    const uint32_t wood = scene.Pixel(0 + 1, 16 + 3);
    EXPECT_NEAR(0x8C, (wood >> 16) & 0xFF, 8);
    EXPECT_NEAR(0x5A, (wood >> 8) & 0xFF, 4);
    EXPECT_NEAR(0x28, wood & 0xFF, 8);
    EXPECT_EQ(background, scene.Pixel(4, 16 + 2));
    EXPECT_EQ(background, scene.Pixel(13, 16 + 20));
    EXPECT_EQ(wood, scene.Pixel(9, 16 + 7));  // a rail
    // The pane: opaque green at the top, the background through its clear bottom, a mix between.
    const uint32_t top = scene.Pixel(40, 16);
    EXPECT_NEAR(0xE0, (top >> 8) & 0xFF, 2);
    EXPECT_NEAR(0x20, (top >> 16) & 0xFF, 2);
    const uint32_t middle = scene.Pixel(40, 16 + 16);  // alpha 127
    EXPECT_NEAR((0xE0 * 127 + 0x20 * 128) / 255, (middle >> 8) & 0xFF, 3);
    EXPECT_NEAR((0x40 * 127 + 0x80 * 128) / 255, middle & 0xFF, 3);
    const uint32_t bottom = scene.Pixel(40, 16 + 31);  // alpha 7
    EXPECT_NEAR(0x80, bottom & 0xFF, 4);
    EXPECT_NEAR(0x20, (bottom >> 8) & 0xFF, 8);

    // The frame to look at.
    HDC dc = nullptr;
    ASSERT_EQ(DD_OK, scene.target->GetDC(&dc));
    {
        CFile file("texture_lock_frame.bmp", CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
        RECT all = {0, 0, 64, 64};
        SaveDCBitmap(&file, dc, all);
    }
    scene.target->ReleaseDC(dc);
}

}  // namespace
