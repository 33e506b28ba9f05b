// The map frame driver on our device: the stages' device calls in order,
// the Debug.log lines, nothing without a ready session, and frames drawn
// into a texture with the view put back.
#include <gtest/gtest.h>

#include "FrameFixture.h"
#include "ScratchFolder.h"
#include "renderer/YD3D6TextureItem.h"

namespace {
class FrameDriver : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_EQ(1, MakeDevice());
        parser->SetViewRects(0, 0, 64, 48, 0, 0, 64, 48);
    }
    // The calls that mark the stages.
    std::vector<std::string> Stages() const
    {
        std::vector<std::string> out;
        for (const std::string& line : recorder->lines)
            for (const char* p : {"BeginScene", "EndScene", "SetLight", "LightEnable", "Clear"})
                if (line.compare(0, strlen(p), p) == 0) out.push_back(line);
        return out;
    }
};
}  // namespace

TEST_F(FrameDriver, AFrameSendsTheFixedLightsAndClearsDepthTwiceInsideItsScene)
{
    MapSession();
    Camera(20.0f, 20.0f, 5.0f, 0.3f, 0.0f);
    for (int lights : {0, 1, 3}) {
        SCOPED_TRACE(lights);
        parser->ClearLights(lights);
        Record();
        parser->BeginFrame();
        parser->RenderFrame();
        parser->EndFrame();
        std::vector<std::string> want = {"BeginScene"};
        for (int i = 0; i < lights; ++i) {
            want.push_back("SetLight " + std::to_string(i));
            want.push_back("LightEnable " + std::to_string(i) + " on");
        }
        // No flare source: the five after the fixed lights go dark.
        for (int i = lights; i < lights + 5; ++i) want.push_back("LightEnable " + std::to_string(i) + " off");
        // A map without sky periods: the sky stage clears to the solid colour.
        want.push_back("Clear target 0,0,64,48");
        want.push_back("Clear z=1.000000 0,0,64,48");
        want.push_back("Clear z=1.000000 0,0,64,48");
        want.push_back("EndScene");
        EXPECT_EQ(want, Stages());
        EXPECT_GT(recorder->Count("DrawIndexedPrimitiveVB"), 0u) << "the terrain between the clears";
        recorder.reset();
    }
}

TEST_F(FrameDriver, DebugLogGetsItsTwoLinesOnlyWhileTheFlagIsSet)
{
    ScratchFolder folder(ScratchFolder::Enter);
    MapSession();
    for (int flag : {0, 1}) {
        folder.Write("Debug.log", "");
        parser->SetDebugLog(flag);
        for (int frame = 0; frame < 2; ++frame) {
            parser->BeginFrame();
            parser->RenderFrame();
            parser->EndFrame();
        }
        const std::string pair =
            "[YD3D6Parser::Hunt_RenderFrame] Starting...\r\n[YD3D6Parser::Hunt_RenderFrame] Finished\r\n";
        EXPECT_EQ(flag ? pair + pair : std::string(), folder.Read("Debug.log")) << flag;
    }
}

TEST_F(FrameDriver, WithoutAReadySessionTheFrameOperationsCallNothing)
{
    parser->InitSession(2, nullptr, 3);  // levels up to 3: not ready yet
    YMapVT3 map;
    handmade::Build(map);
    parser->BuildTerrainCells(map, 1.0f);
    parser->ResizeFrameBuffers(8);
    Record();
    const float all[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    parser->BeginFrame();
    parser->RenderFrame();
    EXPECT_EQ(0, parser->RenderTextureFrame(0, 60.0f, 60.0f, all));
    parser->EndFrame();
    EXPECT_TRUE(recorder->lines.empty());
    EXPECT_EQ(0, parser->m_visibleCounts[0]);
}

namespace {
class TextureFrame : public FrameDriver {
protected:
    void SetUp() override
    {
        FrameDriver::SetUp();
        MapSession();
        // Far off the map and looking away: the frame leaves the surface as it is.
        Camera(-5000.0f, 3000.0f, -5000.0f, -1.0f, 3.14159f);
        const DDPIXELFORMAT k565 = RgbFormat(16, 0xF800, 0x07E0, 0x001F);
        ASSERT_EQ(1, picture.CreateSurface(&display, 64, 32, DDSCAPS_OFFSCREENPLAIN, nullptr, 0, &k565));
        YD3D6TextureItem* item = new YD3D6TextureItem;
        item->m_surface = picture.GetSurface();
        item->m_surface->AddRef();
        item->m_width = 64;
        item->m_height = 32;
        parser->m_textures.push_back(item);
        std::vector<uint32_t> marks(64 * 48);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) marks[size_t(y * 64 + x)] = uint32_t(y * 64 + x + 1);
        Write(back, marks);
        Write(picture, std::vector<uint32_t>(64 * 32, 0));
    }
    void TearDown() override
    {
        recorder.reset();
        parser.reset();
        picture.Release();
        FrameDriver::TearDown();
    }
    YDXSurface picture{"Texture"};
};
}  // namespace

TEST_F(TextureFrame, BadTexturesAndInvertedRectanglesDrawNothing)
{
    parser->m_textures.push_back(new YD3D6TextureItem);  // no surface
    Record();
    struct Case {
        const char* what;
        int16_t texture;
        float fractions[4];
    } cases[] = {
        {"index -1", -1, {0, 0, 1, 1}},
        {"index = count", 2, {0, 0, 1, 1}},
        {"no surface", 1, {0, 0, 1, 1}},
        {"right left of left", 0, {0.5f, 0.0f, 0.2f, 1.0f}},
        {"bottom above top", 0, {0.0f, 0.9f, 1.0f, 0.1f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(0, parser->RenderMapTextureFrame(c.texture, 45.0f, 45.0f, c.fractions));
    }
    EXPECT_EQ(0u, recorder->Count("Clear"));
    EXPECT_EQ(std::vector<uint32_t>(64 * 32, 0), Read(picture));
}

TEST_F(TextureFrame, FramesLandAtTheirCornersAndTheViewComesBack)
{
    struct Case {
        const char* what;
        RECT b;
        float fractions[4];
        int32_t copyMode;
        int result;
        int fromX, fromY;  // the surface corner copied
        int width, height;  // the texture area written
    } cases[] = {
        {"clamped fractions, larger than B", {0, 0, 64, 48}, {-0.5f, 0.0f, 2.0f, 1.0f}, 0, 1, 0, 0, 64, 32},
        {"inside B", {10, 5, 60, 45}, {0.0f, 0.0f, 0.5f, 0.5f}, 0, 0, 10, 5, 32, 16},
        {"inside B through the GDI", {10, 5, 60, 45}, {0.0f, 0.0f, 0.5f, 0.5f}, 1, 0, 10, 5, 33, 17},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Write(picture, std::vector<uint32_t>(64 * 32, 0));
        parser->m_textures[0]->m_copyMode = c.copyMode;
        parser->SetViewRects(0, 0, 64, 48, c.b.left, c.b.top, c.b.right, c.b.bottom);
        parser->SetProjection(60.0f, 50.0f, 2.0f, 900.0f);
        Record();
        EXPECT_EQ(c.result, parser->RenderMapTextureFrame(0, 30.0f, 20.0f, c.fractions));
        // One whole frame: the sky stage's background clear and two depth clears.
        EXPECT_EQ(1u, recorder->Count("Clear target"));
        EXPECT_EQ(3u, recorder->Count("Clear")) << "one whole frame";
        recorder.reset();
        const std::vector<uint32_t> seen = Read(back);

        RECT a, b;
        parser->GetViewRects(&a, &b);
        EXPECT_EQ((std::vector<LONG>{0, 0, 64, 48}), (std::vector<LONG>{a.left, a.top, a.right, a.bottom}));
        EXPECT_EQ((std::vector<LONG>{c.b.left, c.b.top, c.b.right, c.b.bottom}),
                  (std::vector<LONG>{b.left, b.top, b.right, b.bottom}));
        float p[4];
        parser->GetProjection(&p[0], &p[1], &p[2], &p[3]);
        EXPECT_EQ((std::vector<float>{60.0f, 50.0f, 2.0f, 900.0f}), (std::vector<float>{p[0], p[1], p[2], p[3]}));

        const std::vector<uint32_t> got = Read(picture);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 64; ++x) {
                const bool inside = x < c.width && y < c.height;
                // The frame's own rectangle was cleared; the rest keeps its marks.
                const uint32_t want = inside ? seen[size_t((y + c.fromY) * 64 + x + c.fromX)] : 0u;
                ASSERT_EQ(want, got[size_t(y * 64 + x)]) << x << "," << y;
            }
    }
}
