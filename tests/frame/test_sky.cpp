// The sky stage: periods by the time of day, the sky boxes and their blend,
// the period's fog, the sun and moon squares and the cloud layers.
#include <gtest/gtest.h>

#include <cstring>

#include "FrameFixture.h"
#include "assets3d/YD3D6Lock.h"
#include "renderer/YD3D6TextureItem.h"

namespace {
const int kFogEnable = D3DRENDERSTATE_FOGENABLE, kFogColour = D3DRENDERSTATE_FOGCOLOR,
          kFogStart = D3DRENDERSTATE_FOGSTART, kFogEnd = D3DRENDERSTATE_FOGEND;

class Sky : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_EQ(1, MakeDevice());
        MapSession(8);
        parser->SetViewRects(0, 0, 64, 48, 0, 0, 64, 48);
        Camera(40.0f, 20.0f, -30.0f, 0.2f, 0.3f);
        parser->m_mapSettings[YD3D6Parser::kSkyWord] = 1;
        parser->m_fogOn = 1;
    }
    // A period from start to end (minutes) with its fog.
    void Period(int32_t start, int32_t end, uint8_t grey, float fogNear, float fogFar)
    {
        YD3D6SkyPeriod p;
        p.start = start, p.end = end;
        for (YD3D6Lock*& face : p.faces) face = &lock;
        p.fog[0] = p.fog[1] = p.fog[2] = grey;
        p.fogNear = fogNear, p.fogFar = fogFar;
        p.valid = 1;
        parser->m_backgrounds.push_back(p);
    }
    void At(int hour, int minute, int second = 0) { parser->SetClock(2026, 6, 15, hour, minute, second); }
    DWORD State(int state)
    {
        DWORD v = 0;
        parser->GetRaster()->GetDevice()->GetRenderState(D3DRENDERSTATETYPE(state), &v);
        return v;
    }
    std::vector<std::string> FogEnables() const { return recorder->Only("SetRenderState " + std::to_string(kFogEnable) + " "); }
    int16_t AddTexture()
    {
        YD3D6TextureItem* item = new YD3D6TextureItem;
        item->m_lock = new YD3D6Lock;
        parser->m_textures.push_back(item);
        return int16_t(parser->m_textures.size() - 1);
    }
    YD3D6Lock lock;
};
}  // namespace

TEST_F(Sky, PeriodsAndBlendFollowTheClock)
{
    // night 0:00-6:00, dawn 5:00-8:00, day 7:00-18:00, dusk 17:00-21:40.
    Period(0, 360, 10, 100, 200);
    Period(300, 480, 20, 100, 200);
    Period(420, 1080, 30, 100, 200);
    Period(1020, 1300, 40, 100, 200);
    struct Case {
        const char* what;
        int hour, minute;
        int32_t first, second;
        int blend;
    } cases[] = {
        {"02:00 in the night only", 2, 0, 0, 0, 0},
        {"05:00 the overlap starts: weight 0", 5, 0, 0, 1, 0},
        {"05:30 halfway through the overlap", 5, 30, 0, 1, 127},
        {"06:00 the night's end: full weight", 6, 0, 0, 1, 255},
        {"12:00 the day alone", 12, 0, 2, 2, 0},
        {"17:30 day into dusk", 17, 30, 2, 3, 127},
        {"23:00 in no period: period 0", 23, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        At(c.hour, c.minute);
        uint8_t blend = 99;
        int32_t pair[2] = {-5, -5};
        parser->FindTimeOfDayPeriods(&blend, pair);
        EXPECT_EQ(c.first, pair[0]);
        EXPECT_EQ(c.second, pair[1]);
        EXPECT_EQ(c.blend, blend);
    }
}

TEST_F(Sky, AnEndNotAfterTheNextStartGivesNoBlend)
{
    Period(0, 600, 10, 100, 200);
    Period(600, 900, 20, 100, 200);
    At(10, 0);
    uint8_t blend = 99;
    int32_t pair[2];
    parser->FindTimeOfDayPeriods(&blend, pair);
    EXPECT_EQ(0, pair[0]);
    EXPECT_EQ(1, pair[1]);
    EXPECT_EQ(0, blend);
    Record();
    parser->ForgetCachedStates();
    parser->RenderSky();
    EXPECT_EQ(5u, recorder->Count("DrawPrimitive 5 4"));
}

TEST_F(Sky, OnePeriodGivesOneOpaqueBoxInFaceOrderAndItsFog)
{
    Period(0, 1440, 90, 300.0f, 900.0f);
    parser->m_fogStartFactor = 0.5f;
    parser->m_lightTint[0] = parser->m_lightTint[1] = parser->m_lightTint[2] = 1.0f;
    At(12, 0);
    Record();
    parser->ForgetCachedStates();
    parser->RenderSky();
    EXPECT_EQ(0u, recorder->Count("Clear"));
    ASSERT_EQ(5u, recorder->Count("DrawPrimitive 5 4"));
    ASSERT_EQ(5u, recorder->drawn.size());
    const float r = 0.5f * 1000.0f;
    // The second corner tells the faces apart: top, front, right, back, left.
    const float second[5][3] = {{r, r, r}, {-r, -r, r}, {r, -r, r}, {r, -r, -r}, {-r, -r, -r}};
    for (size_t f = 0; f < 5; ++f) {
        SCOPED_TRACE(f);
        ASSERT_EQ(4u, recorder->drawn[f].size());
        for (int k = 0; k < 3; ++k) EXPECT_FLOAT_EQ(second[f][k], recorder->drawn[f][1].position[k]);
        for (const auto& v : recorder->drawn[f]) EXPECT_EQ(0xFFu, v.diffuse >> 24);
    }
    // Fog off for the sky, on afterwards with the period's values.
    const std::vector<std::string> enables = FogEnables();
    ASSERT_GE(enables.size(), 2u);
    EXPECT_EQ("SetRenderState 28 0", enables.front());
    EXPECT_EQ("SetRenderState 28 1", enables.back());
    EXPECT_EQ(0x005A5A5Au, State(kFogColour));
    EXPECT_EQ(YD3D6Parser::FloatBits(150.0f), State(kFogStart));
    EXPECT_EQ(YD3D6Parser::FloatBits(900.0f), State(kFogEnd));
    EXPECT_EQ(300.0f, parser->m_fogRange[0]);
    EXPECT_EQ(900.0f, parser->m_fogRange[1]);
}

TEST_F(Sky, InTheOverlapTheSecondBoxIsBlendedOverTheFirstAndTheFogFollows)
{
    Period(0, 360, 0, 100.0f, 1000.0f);
    Period(300, 480, 200, 300.0f, 2000.0f);
    At(5, 30);  // blend 127
    Record();
    parser->ForgetCachedStates();
    parser->RenderSky();
    ASSERT_EQ(10u, recorder->drawn.size());
    for (size_t f = 0; f < 10; ++f)
        for (const auto& v : recorder->drawn[f]) EXPECT_EQ(f < 5 ? 0xFFu : 127u, v.diffuse >> 24) << f;
    const float w = 127.0f / 255.0f;
    const uint32_t grey = uint32_t(int32_t(200.0f * w));
    EXPECT_EQ((grey << 16) | (grey << 8) | grey, State(kFogColour));
    EXPECT_EQ(YD3D6Parser::FloatBits(100.0f + 200.0f * w), State(kFogStart));
    EXPECT_EQ(YD3D6Parser::FloatBits(1000.0f + 1000.0f * w), State(kFogEnd));
    // The blended faces go over with source alpha.
    EXPECT_EQ(D3DBLEND_SRCALPHA, State(D3DRENDERSTATE_SRCBLEND));
    EXPECT_EQ(D3DBLEND_INVSRCALPHA, State(D3DRENDERSTATE_DESTBLEND));
}

TEST_F(Sky, SkyOffOrNoPeriodsOnlyClearsTheBackground)
{
    struct Case {
        const char* what;
        int sky;
        bool periods;
    } cases[] = {{"sky off", 0, true}, {"no periods", 1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        parser->m_backgrounds.clear();
        if (c.periods) Period(0, 1440, 90, 300.0f, 900.0f);
        parser->m_mapSettings[YD3D6Parser::kSkyWord] = c.sky;
        Record();
        parser->RenderSky();
        EXPECT_EQ(1u, recorder->Count("Clear target"));
        EXPECT_EQ(0u, recorder->Count("DrawPrimitive"));
        EXPECT_EQ(0u, recorder->Count("DrawIndexedPrimitive"));
        EXPECT_EQ(0u, FogEnables().size());
    }
}

TEST_F(Sky, TheCameraAndViewComeBack)
{
    Period(0, 1440, 90, 300.0f, 900.0f);
    At(12, 0);
    IDirect3DDevice7* device = parser->GetRaster()->GetDevice();
    D3DMATRIX before, after;
    parser->ApplyView();
    device->GetTransform(D3DTRANSFORMSTATE_VIEW, &before);
    parser->RenderSky();
    device->GetTransform(D3DTRANSFORMSTATE_VIEW, &after);
    EXPECT_EQ(0, memcmp(&before, &after, sizeof before));
    float x, y, z;
    parser->GetCameraPosition(&x, &y, &z);
    EXPECT_EQ(40.0f, x);
    EXPECT_EQ(-30.0f, z);
}

TEST_F(Sky, ANightFadingObjectFadesByTheTimeOfDay)
{
    YFlareElement e;
    e.m_flags = YFlareElement::kFlagShown | YFlareElement::kFlagMoon;
    YD3D6CelestialObject moon(e);
    moon.m_flags = e.m_flags;
    YD3D6CelestialObject sun(e);
    sun.m_flags = YFlareElement::kFlagShown;
    struct Case {
        const char* what;
        uint32_t seconds;
        int moonAlpha;
    } cases[] = {{"03:00", 10800, 127}, {"06:00", 21600, 0}, {"12:00", 43200, 0},
                 {"15:00", 54000, 127}, {"19:00", 68400, 255}, {"00:00", 0, 255}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        moon.m_current.m_timeKey = sun.m_current.m_timeKey = c.seconds;
        EXPECT_EQ(c.moonAlpha, YD3D6Parser::CelestialAlpha(moon));
        EXPECT_EQ(255, YD3D6Parser::CelestialAlpha(sun));
    }
}

TEST_F(Sky, CelestialSquaresStandWhereTheLightComesFromAtHalfSizeWhenFading)
{
    Period(0, 1440, 90, 300.0f, 900.0f);
    const int16_t image = AddTexture();
    YFlareElement e;
    e.m_kind = 2;
    e.m_direction[0] = 0.0f, e.m_direction[1] = 1.0f, e.m_direction[2] = 0.0f;
    e.m_valuesA[0] = 1.0f, e.m_valuesA[1] = 0.5f, e.m_valuesA[2] = 0.0f;
    e.m_flags = YFlareElement::kFlagShown | YFlareElement::kFlagMoon;
    const uint16_t images[1] = {uint16_t(image)};
    e.m_indexCount = 1;
    e.m_indices = images;
    parser->InsertFlareElement(-1, &e);
    At(3, 0);
    parser->UpdateDayLights();  // the current element at 03:00
    Record();
    parser->RenderSky();
    // Five faces, then the moon's square.
    ASSERT_EQ(6u, recorder->drawn.size());
    const auto& square = recorder->drawn[5];
    ASSERT_EQ(4u, square.size());
    const float r = 500.0f;
    for (const auto& v : square) {
        EXPECT_NEAR(r, v.position[1], 1e-3);
        EXPECT_NEAR(32.0f, std::fabs(v.position[0]), 0.01);
        EXPECT_NEAR(32.0f, std::fabs(v.position[2]), 0.01);
        EXPECT_EQ(0x7FFF7F00u, v.diffuse);
    }
    // No image: nothing drawn.
    parser->GetCelestialObject(0)->m_currentImage = YD3D6CelestialObject::kNoImage;
    Record();
    parser->DrawCelestialObjects(r);
    EXPECT_EQ(0u, recorder->Count("DrawPrimitive"));
}

TEST_F(Sky, CloudLayersDrawSeventeenVerticesAndDriftEveryFrame)
{
    Period(0, 1440, 90, 300.0f, 900.0f);
    YD3D6CloudPlane cloud;
    cloud.speed = 2.0f;
    cloud.texture = uint16_t(AddTexture());
    cloud.uScale = 3.0f, cloud.vScale = 4.0f, cloud.height = 20.0f;
    parser->m_clouds.push_back(cloud);
    YD3D6CloudPlane none = cloud;
    none.texture = YD3D6CloudPlane::kNoTexture;
    parser->m_clouds.push_back(none);
    At(12, 0);
    std::vector<RecordingDevice::KeptVertex> frames[2];
    for (auto& frame : frames) {
        Record();
        parser->RenderSky();
        ASSERT_EQ(1u, recorder->Count("DrawIndexedPrimitive 4 17 72"));
        frame = recorder->drawn.back();
        ASSERT_EQ(17u, frame.size());
    }
    const float r = 500.0f;
    for (const auto& v : frames[0]) EXPECT_FLOAT_EQ(r * 0.2f, v.position[1]);
    EXPECT_EQ(0xFFFFFFFFu, frames[0][0].diffuse);
    EXPECT_EQ(0x80FFFFFFu, frames[0][1].diffuse);
    EXPECT_EQ(0x00FFFFFFu, frames[0][2].diffuse);
    EXPECT_FLOAT_EQ(r, frames[0][6].position[0]);
    // The centre's u: 3 x 0.5 + offset; the offset grows by 0.02 a frame.
    EXPECT_FLOAT_EQ(1.5f, frames[0][0].u);
    EXPECT_FLOAT_EQ(1.52f, frames[1][0].u);
    EXPECT_FLOAT_EQ(2.0f + 0.03f, frames[1][0].v);
    EXPECT_FLOAT_EQ(0.04f, parser->m_clouds[0].uOffset);
    EXPECT_FLOAT_EQ(0.0f, parser->m_clouds[1].uOffset);
    // Every index names a vertex of the disc; each triangle is used once.
    for (uint16_t i : YD3D6Parser::kCloudIndices) EXPECT_LT(i, 17);
}
