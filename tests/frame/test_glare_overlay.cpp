// The glare and overlay stage: the glare alpha over the angle off the view,
// the line of sight through the hand-made grid, the overlay wash and what
// the stage leaves as it found it.
#include <gtest/gtest.h>

#include <cmath>

#include "FrameFixture.h"
#include "assets3d/YD3D6Lock.h"
#include "renderer/YD3D6TextureItem.h"

namespace {
// Counts the visited-mark clears and the traces of the stage.
class CountingParser : public YD3D6Parser {
public:
    void ClearVisitedMarks() override
    {
        ++clears;
        YD3D6Parser::ClearVisitedMarks();
    }
    int TraceWorld(const float* to, const float* from, float radiusFrom, float radiusTo, DWORD flags) override
    {
        ++traces;
        lastFlags = flags;
        return YD3D6Parser::TraceWorld(to, from, radiusFrom, radiusTo, flags);
    }
    int clears = 0, traces = 0;
    DWORD lastFlags = 0;
};

struct AlphaCase {
    float d, reach, exponent, strength;
    float alpha;
};

TEST(GlareAlpha, FollowsTheAngleOffTheView)
{
    const AlphaCase cases[] = {
        {1.0f, 45.0f, 2.0f, 1.0f, 255.0f},    // straight ahead: strength x 255
        {1.0f, 45.0f, 2.0f, 0.5f, 127.5f},
        {1.0f, 45.0f, 0.0f, 1.0f, 0.0f},      // exponent 0: 0 to the 0 is 1
        {0.0f, 45.0f, 2.0f, 1.0f, 0.0f},      // 90 degrees off
        {0.0f, 500.0f, 2.0f, 1.0f, 0.0f},     // whatever the reach
        {-0.5f, 500.0f, 2.0f, 1.0f, 0.0f},    // behind
        {0.51f, 45.0f, 1.0f, 1.0f, 255.0f * (1.0f - 0.49f * 90.0f / 45.0f)},
        {0.5f, 45.0f, 1.0f, 1.0f, 0.0f},      // k = 45 is not below the reach
        {0.49f, 45.0f, 1.0f, 1.0f, 0.0f},
        {1.0f, 0.0f, 1.0f, 1.0f, 0.0f},       // no reach
        {1.0f, -5.0f, 1.0f, 1.0f, 0.0f},
        {0.9f, 45.0f, 2.0f, -1.0f, 0.0f},     // a negative strength shows nothing
    };
    for (const AlphaCase& c : cases)
        EXPECT_NEAR(c.alpha, YD3D6Parser::GlareAlpha(c.d, c.reach, c.exponent, c.strength), 0.01f)
            << c.d << " " << c.reach << " " << c.exponent << " " << c.strength;
}

class GlareStage : public FrameTest {
protected:
    void SetUp() override
    {
        parser.reset(counting = new CountingParser);
        FrameTest::SetUp();
        ASSERT_EQ(1, MakeDevice());
        MapSession(8);
        parser->SetViewRects(0, 0, 64, 48, 0, 0, 64, 48);
        YD3D6TextureItem* item = new YD3D6TextureItem;
        item->m_lock = new YD3D6Lock;
        item->m_width = item->m_height = 4;
        parser->m_textures.push_back(item);
        parser->m_flareTexture = int16_t(parser->m_textures.size() - 1);
    }
    // A shown source towards (x, y, z): strength, reach 45, exponent 2, colour.
    void Sun(float x, float y, float z, float strength = 1.0f, float r = 1.0f, float g = 0.5f, float b = 0.25f)
    {
        YFlareElement e;
        const float l = std::sqrt(x * x + y * y + z * z);
        e.m_direction[0] = x / l, e.m_direction[1] = y / l, e.m_direction[2] = z / l;
        e.m_valuesB[0] = strength, e.m_valuesB[1] = 45.0f, e.m_valuesB[2] = 2.0f;
        e.m_valuesC[0] = r, e.m_valuesC[1] = g, e.m_valuesC[2] = b;
        e.m_flags = YFlareElement::kFlagShown;
        ASSERT_GT(parser->InsertFlareElement(-1, &e), 0);
    }
    std::vector<uint32_t> Run()
    {
        Record();
        parser->RenderFlaresAndOverlay();
        std::vector<uint32_t> colours = recorder->colours;
        recorder.reset();
        return colours;
    }
    CountingParser* counting = nullptr;
};
}  // namespace

TEST_F(GlareStage, ASunStraightAheadWashesTheViewWithItsColour)
{
    Camera(60.0f, 20.0f, 10.0f, 0.0f, 0.0f);
    Sun(0.0f, 0.0f, 1.0f, 1.0f);
    const std::vector<uint32_t> colours = Run();
    ASSERT_EQ(1u, colours.size());
    EXPECT_EQ(0xFFFF7F3Fu, colours[0]);
    EXPECT_EQ(1, counting->traces);
    EXPECT_EQ(0x173Bu, counting->lastFlags);
}

TEST_F(GlareStage, TheGlareScalesApply)
{
    Camera(60.0f, 20.0f, 10.0f, 0.0f, 0.0f);
    Sun(0.0f, 0.0f, 1.0f, 1.0f);
    parser->m_glareScales[0] = 0.5f;
    parser->m_glareColourScales[1] = 0.0f;
    const std::vector<uint32_t> colours = Run();
    ASSERT_EQ(1u, colours.size());
    EXPECT_EQ(0x7FFF003Fu, colours[0]);
}

TEST_F(GlareStage, NoGlareFacingAwayOrTooFarOff)
{
    Camera(60.0f, 20.0f, 10.0f, 0.0f, 3.14159265f);
    Sun(0.0f, 0.0f, 1.0f);
    Sun(1.0f, 0.0f, 0.0f);  // 90 degrees off
    EXPECT_TRUE(Run().empty());
    EXPECT_EQ(0, counting->traces) << "no trace before the angle tests pass";
}

TEST_F(GlareStage, TheBridgeOnTheLineOfSightRemovesTheGlare)
{
    // From under the bridge the line to the sun passes through it at z = 30.
    Camera(30.0f, 20.0f, 10.0f, 0.0f, 0.0f);
    Sun(0.0f, 0.5f, 1.0f);
    EXPECT_TRUE(Run().empty());
    EXPECT_EQ(1, counting->traces);
    // Beside it the sky is clear.
    Camera(60.0f, 20.0f, 10.0f, 0.0f, 0.0f);
    EXPECT_EQ(1u, Run().size());
}

TEST_F(GlareStage, VisitedMarksAreClearedOnceAFrame)
{
    Camera(60.0f, 20.0f, 10.0f, 0.0f, 0.0f);
    Sun(0.0f, 0.0f, 1.0f);
    Sun(0.1f, 0.0f, 1.0f);
    EXPECT_EQ(2u, Run().size());
    EXPECT_EQ(2, counting->traces);
    EXPECT_EQ(1, counting->clears);
    Run();
    EXPECT_EQ(2, counting->clears) << "and once again the next frame";
}

TEST_F(GlareStage, TheOverlayWashesOnlyWithAlpha)
{
    Camera(60.0f, 20.0f, 10.0f, 0.0f, 3.14159265f);
    parser->SetOverlayColor(1.0f, 0.5f, 0.0f, 0.0f);
    EXPECT_TRUE(Run().empty()) << "alpha 0 draws nothing";
    parser->SetOverlayColor(1.0f, 0.5f, 0.0f, 0.5f);
    const std::vector<uint32_t> colours = Run();
    ASSERT_EQ(1u, colours.size());
    EXPECT_EQ(0x7FFF7F00u, colours[0]);
}

TEST_F(GlareStage, WithoutAFlareTextureTheStageIsSkipped)
{
    Camera(60.0f, 20.0f, 10.0f, 0.0f, 0.0f);
    Sun(0.0f, 0.0f, 1.0f);
    parser->SetOverlayColor(1.0f, 0.0f, 0.0f, 1.0f);
    parser->m_flareTexture = -1;
    EXPECT_TRUE(Run().empty());
    EXPECT_EQ(0, counting->traces);
}

TEST_F(GlareStage, CameraAndProjectionComeBack)
{
    Camera(60.0f, 20.0f, 10.0f, 0.1f, 0.2f);
    Sun(0.0f, 0.0f, 1.0f);
    parser->SetOverlayColor(1.0f, 0.0f, 0.0f, 1.0f);
    parser->ApplyView();
    const YD3D6Raster::Camera before = parser->GetRaster()->GetCamera();
    const YMatrix projection = parser->GetRaster()->GetProjectionMatrix();
    Run();
    const YD3D6Raster::Camera after = parser->GetRaster()->GetCamera();
    EXPECT_EQ(0, memcmp(&before, &after, sizeof before));
    EXPECT_EQ(0, memcmp(&projection, &parser->GetRaster()->GetProjectionMatrix(), sizeof projection));
}

TEST_F(GlareStage, TheWashCoversTheView)
{
    Camera(60.0f, 20.0f, 10.0f, 0.0f, 0.0f);
    parser->m_flareTexture = -1;
    YTexStates& states = parser->m_textures.back()->m_lock->m_states;
    states.m_lighting = 0;
    states.m_cullMode = D3DCULL_NONE;  // the flare texture's, as the sample data has it
    parser->m_flareTexture = int16_t(parser->m_textures.size() - 1);
    parser->SetOverlayColor(0.0f, 1.0f, 0.0f, 1.0f);
    parser->GetRaster()->ClearTarget(0);
    parser->GetRaster()->ClearZBuffer();
    IDirect3DDevice7* device = parser->GetRaster()->GetDevice();
    device->BeginScene();
    parser->RenderFlaresAndOverlay();
    device->EndScene();
    int green = 0;
    const std::vector<uint32_t> pixels = Read(back);
    for (uint32_t p : pixels) green += ((p >> 5) & 63) > 48 && (p >> 11) < 8 && (p & 31) < 8;
    EXPECT_EQ(int(pixels.size()), green) << std::hex << pixels[0] << " " << pixels[1000];
}
