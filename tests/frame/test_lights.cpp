// The light list, the sun, the fog setters and the two vertex colour rules.
#include <gtest/gtest.h>

#include "FrameFixture.h"

namespace {
class Lights : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_EQ(1, MakeDevice());
        MapSession();
    }
    YRasterLight* Light(int i) { return static_cast<YRasterLight*>(parser->GetLight(i)); }
    YRasterLight Source(float r, float g, float b, float range)
    {
        YRasterLight l;
        memset(&l, 0, sizeof l);
        l.type = D3DLIGHT_POINT;
        l.direction[0] = 1.0f;
        l.range = range;
        l.color[0] = r, l.color[1] = g, l.color[2] = b;
        return l;
    }
};
}  // namespace

TEST_F(Lights, ClearLightsMakesResetLightsOnTheDevice)
{
    parser->m_ambientLevel = 0.25f;
    Record();
    ASSERT_EQ(1, parser->ClearLights(2));
    ASSERT_EQ(2, parser->GetLightCount());
    for (int i = 0; i < 2; ++i) {
        const YRasterLight* l = Light(i);
        ASSERT_NE(nullptr, l);
        EXPECT_EQ(3u, l->type);
        EXPECT_EQ(-1.0f, l->direction[1]);
        EXPECT_EQ(10000.0f, l->range);
        EXPECT_EQ(1u, l->words[1]) << "enabled";
        ASSERT_NE(nullptr, l->light);
        EXPECT_EQ(0.25f, l->light->dcvAmbient.r);
        EXPECT_EQ(1.0f, l->light->dvFalloff);
    }
    std::vector<std::string> sent;
    for (const std::string& line : recorder->lines)
        if (line.compare(0, 8, "SetLight") == 0 || !sent.empty()) sent.push_back(line);
    EXPECT_EQ((std::vector<std::string>{"SetLight 0", "LightEnable 0 on", "SetLight 1", "LightEnable 1 on"}), sent);
    EXPECT_EQ(nullptr, parser->GetLight(2));
    EXPECT_EQ(nullptr, parser->GetLight(-1));
    parser->ClearLights(0);
    EXPECT_EQ(0, parser->GetLightCount());
}

TEST_F(Lights, AddSetAndRemoveKeepTheListInOrder)
{
    parser->ClearLights(0);
    const YRasterLight red = Source(1.0f, 0.0f, 0.0f, 50.0f), blue = Source(0.0f, 0.0f, 1.0f, 70.0f);
    EXPECT_EQ(0, parser->AddLight(&red)) << "the first light of an empty list";
    EXPECT_EQ(1, parser->GetLightCount());
    EXPECT_EQ(1, parser->AddLight(&blue));
    EXPECT_EQ(50.0f, Light(0)->range);
    EXPECT_EQ(1.0f, Light(0)->light->dcvDiffuse.r);
    EXPECT_EQ(0.0f, Light(0)->light->dcvDiffuse.a);
    EXPECT_EQ(D3DLIGHT_POINT, Light(1)->light->dltType);

    D3DLIGHT7* made = static_cast<D3DLIGHT7*>(parser->SetLight(0, &blue));
    ASSERT_EQ(Light(0)->light, made);
    EXPECT_EQ(70.0f, made->dvRange);
    EXPECT_EQ(1.0f, made->dcvDiffuse.b);
    // Out of range the answer is null, not the index.
    EXPECT_EQ(nullptr, parser->SetLight(2, &red));
    EXPECT_EQ(nullptr, parser->SetLight(-1, &red));

    parser->SetLight(1, &red);
    parser->RemoveLight(0);
    ASSERT_EQ(1, parser->GetLightCount());
    EXPECT_EQ(50.0f, Light(0)->range) << "the second moved up";
    parser->RemoveLight(5);
    EXPECT_EQ(1, parser->GetLightCount());
    parser->RemoveLight(0);
    EXPECT_EQ(0, parser->GetLightCount());
    EXPECT_EQ(0u, parser->GetRaster()->m_globalLights.capacity()) << "no array is left";
}

TEST_F(Lights, SunIsStoredTurnedRound)
{
    const float down[3] = {0.0f, -1.0f, 0.0f};
    parser->SetSunDirection(down);
    EXPECT_EQ(0.0f, parser->m_sunVector[0]);
    EXPECT_EQ(1.0f, parser->m_sunVector[1]);
}

TEST_F(Lights, FogColourAndStartReachTheDeviceOnlyInAMapWithFog)
{
    YD3D6Parser::Background background;
    background.fog[0] = 200, background.fog[1] = 100, background.fog[2] = 50;
    background.fogNear = 400.0f;
    parser->m_backgrounds.push_back(background);
    const DWORD factors[3] = {7, 8, 9};
    const float half[3] = {0.5f, 0.5f, 0.5f};
    IDirect3DDevice7* device = parser->GetRaster()->GetDevice();
    struct Case {
        const char* what;
        int fog;
        bool sent;
    } cases[] = {{"fog off", 0, false}, {"fog on", 1, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        parser->m_fogOn = c.fog;
        device->SetRenderState(D3DRENDERSTATE_FOGCOLOR, 0x123456);
        device->SetRenderState(D3DRENDERSTATE_FOGSTART, 0);
        parser->ForgetCachedStates();
        parser->SetFog(factors, half);
        parser->SetFogStart(0.25f);
        EXPECT_EQ(8u, parser->m_fogFactorWords[1]);
        EXPECT_EQ(0.5f, parser->m_fogFactors[2]);
        EXPECT_EQ(0.25f, parser->m_fogStartFactor);
        DWORD colour = 0, start = 0;
        device->GetRenderState(D3DRENDERSTATE_FOGCOLOR, &colour);
        device->GetRenderState(D3DRENDERSTATE_FOGSTART, &start);
        EXPECT_EQ(c.sent ? 0x00643219u : 0x123456u, colour);
        EXPECT_EQ(c.sent ? YD3D6Parser::FloatBits(100.0f) : 0u, start);
    }
}

TEST_F(Lights, TerrainColourFadesByDistanceAndDarkensByShade)
{
    parser->m_mapVertices.assign(4, YMapVT3Vertex());
    const float places[4] = {0.0f, 35.0f, 1200.0f, 50000.0f};
    for (int i = 0; i < 4; ++i) parser->m_mapVertices[size_t(i)].m_x = places[i];
    parser->SetCameraPosition(0.0f, 0.0f, 0.0f);
    struct Case {
        const char* what;
        uint32_t vertex;
        uint8_t shade, fog;
        float strength;
        uint32_t want;
    } cases[] = {
        {"at the camera, fog 0: clamped to 112", 0, 255, 0, 1.0f, 0x70FEFEFEu},
        {"35 away: f = 11", 1, 255, 0, 1.0f, 0x70FEFEFEu},
        {"35 away, fog 200: 255 - 55 x 244 / 255", 1, 255, 200, 1.0f, 0xCBFEFEFEu},
        {"1200 away: f = 255", 2, 255, 0, 1.0f, 0xFFFEFEFEu},
        {"50000 away, past a whole number's square", 3, 255, 0, 1.0f, 0xFFFEFEFEu},
        {"shade 127 at full strength", 2, 127, 0, 1.0f, 0xFF7E7E7Eu},
        {"shade 127 at no strength", 2, 127, 0, 0.0f, 0xFFFEFEFEu},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        parser->m_shadeStrength = c.strength;
        YCellCorner corner;
        corner.m_vertex = c.vertex;
        corner.m_colour = 0xFFFFFF;
        EXPECT_EQ(c.want, parser->ShadeTerrainVertexColor(corner, c.shade, c.fog));
    }
}

TEST_F(Lights, ModelColourTakesTheShadeAsGreyOrAsAScale)
{
    struct Case {
        uint32_t colour;
        uint8_t shade, grey, alpha;
        uint32_t want;
    } cases[] = {
        {0xFFFFFF, 255, 0, 0x80, 0x80FEFEFEu},
        {0x804020, 255, 0, 0xFF, 0xFF7F3F1Fu},
        {0x804020, 0, 0, 0xFF, 0xFF000000u},
        {0x804020, 200, 1, 0x10, 0x10C8C8C8u},
    };
    for (const Case& c : cases) EXPECT_EQ(c.want, parser->ShadeModelVertexColor(c.colour, c.shade, c.grey, c.alpha));
}

TEST_F(Lights, DayLightsSendTheFixedLightsEveryFrame)
{
    parser->ClearLights(3);
    Record();
    parser->UpdateDayLights();
    parser->UpdateDayLights();
    EXPECT_EQ(6u, recorder->Count("SetLight"));
    EXPECT_EQ(6u, recorder->Count("LightEnable 0 on") + recorder->Count("LightEnable 1 on") +
                      recorder->Count("LightEnable 2 on"));
    EXPECT_EQ(0u, recorder->Count("LightEnable 3 on"));
    EXPECT_EQ(2u, recorder->Count("LightEnable 3 off")) << "no source: 3 to 7 go dark";
    EXPECT_EQ(2u, recorder->Count("LightEnable 7 off"));
    EXPECT_EQ(0u, recorder->Count("LightEnable 8"));
}

namespace {
// Day lights: n fixed lights, c source lights and flare sources that drive them.
class DayLights : public Lights {
protected:
    void SourceLights(int count)
    {
        for (int i = 0; i < count; ++i) {
            YRasterLight l;
            memset(&l, 0, sizeof l);
            parser->GetRaster()->m_sessionLights.push_back(l);
        }
    }
    // A source of one element, white unless said, pointing up and east.
    int Source(int32_t light, float r = 1.0f, float g = 1.0f, float b = 1.0f)
    {
        YFlareElement e;
        e.m_direction[0] = 0.6f, e.m_direction[1] = 0.8f, e.m_direction[2] = 0.0f;
        e.m_valuesA[0] = r, e.m_valuesA[1] = g, e.m_valuesA[2] = b;
        const int index = parser->InsertFlareElement(-1, &e) - 1;
        parser->GetCelestialObject(index)->m_light = light;
        return index;
    }
    const D3DLIGHT7* Sent(int k) { return parser->GetRaster()->m_sessionLights[size_t(k)].light; }
};
}  // namespace

TEST_F(DayLights, SourcesLightAfterTheFixedLightsAndTheNextFiveGoDark)
{
    parser->ClearLights(2);
    SourceLights(2);
    Source(1);
    Source(-1);  // moves with the time but drives nothing
    Source(0, 0.5f, 0.25f, 1.0f);
    Record();
    parser->UpdateDayLights();
    const std::vector<std::string> want = {
        "SetLight 0", "LightEnable 0 on",  "SetLight 1", "LightEnable 1 on",  "SetLight 3",
        "LightEnable 3 on", "SetLight 2", "LightEnable 2 on", "LightEnable 4 off", "LightEnable 5 off",
        "LightEnable 6 off", "LightEnable 7 off", "LightEnable 8 off"};
    std::vector<std::string> got;
    for (const std::string& line : recorder->lines)
        if (line.compare(0, 8, "SetLight") == 0 || line.compare(0, 11, "LightEnable") == 0) got.push_back(line);
    EXPECT_EQ(want, got);
    const D3DLIGHT7* l = Sent(0);
    ASSERT_NE(nullptr, l);
    EXPECT_EQ(D3DLIGHT_DIRECTIONAL, l->dltType);
    EXPECT_EQ(0.25f, l->dcvDiffuse.g);
    EXPECT_EQ(0.0f, l->dcvDiffuse.a);
    EXPECT_EQ(10000.0f, l->dvRange);
    EXPECT_EQ(1.0f, l->dvFalloff);
    // From the source, down to the ground.
    EXPECT_NEAR(-0.8f, l->dvDirection.y, 1e-3f);
    EXPECT_NEAR(-0.6f, l->dvDirection.x, 1e-3f);
    EXPECT_EQ(3u, parser->GetRaster()->m_sessionLights[0].type);
}

TEST_F(DayLights, TintAmbientAndTheLaterOfTwoSourcesReachTheDevice)
{
    parser->ClearLights(0);
    SourceLights(1);
    Source(0, 0.0f, 0.0f, 0.0f);
    Source(0);  // the same light: this one wins
    parser->m_lightTint[0] = parser->m_lightTint[2] = 0.5f;
    parser->m_ambientLevel = 0.125f;
    Record();
    parser->UpdateDayLights();
    const D3DLIGHT7* l = Sent(0);
    ASSERT_NE(nullptr, l);
    EXPECT_EQ(0.5f, l->dcvDiffuse.r);
    EXPECT_EQ(1.0f, l->dcvDiffuse.g);
    EXPECT_EQ(0.5f, l->dcvDiffuse.b);
    EXPECT_EQ(0.125f, l->dcvAmbient.g);
    EXPECT_EQ(2u, recorder->Count("SetLight 0"));
}

TEST_F(DayLights, ALightIndexBeyondTheListDrivesNothing)
{
    parser->ClearLights(1);
    SourceLights(2);
    Source(2);
    Source(0x10000 | 7);  // low 16 bits 7
    Source(0x1FFFF);      // low 16 bits -1 as a signed value
    Record();
    parser->UpdateDayLights();
    EXPECT_EQ(1u, recorder->Count("SetLight"));
    EXPECT_EQ(nullptr, Sent(0));
    EXPECT_EQ(nullptr, Sent(1));
    EXPECT_EQ(1u, recorder->Count("LightEnable 3 off"));
}

TEST_F(DayLights, TheSourcesGetTheSecondOfTheLocalDay)
{
    parser->ClearLights(0);
    const int source = Source(-1);
    struct Case {
        int hour, minute, second;
        uint32_t want;
    } cases[] = {{0, 0, 0, 0}, {23, 59, 59, 86399}, {12, 30, 15, 45015}};
    for (const Case& c : cases) {
        parser->SetClock(2001, 6, 1, c.hour, c.minute, c.second);
        parser->UpdateDayLights();
        EXPECT_EQ(c.want, static_cast<YFlareElement*>(parser->GetFlareElement(source, -1))->m_timeKey);
    }
}

// The sample sky's sun through one day at a 20-minute step: dark and below
// the ground at night, warm and low in the morning and evening, white and
// high at noon, never lighting the ground from below.
TEST_F(DayLights, ADayOfSunlightAtAFixedStep)
{
    parser->ClearLights(0);
    SourceLights(1);
    struct Key {
        uint32_t minutes;
        float elevation, heading, r, g, b;
    } keys[] = {{300, -10, 80, 0.15f, 0.1f, 0.08f},
                {420, 12, 105, 1.0f, 0.63f, 0.4f},
                {720, 60, 180, 1.0f, 0.98f, 0.92f},
                {1020, 12, 255, 1.0f, 0.6f, 0.35f},
                {1140, -10, 280, 0.15f, 0.1f, 0.08f}};
    for (const Key& k : keys) {
        YFlareElement e;
        e.m_timeKey = k.minutes;
        const float el = k.elevation * 0.017453292f, hd = k.heading * 0.017453292f;
        e.m_direction[0] = std::cos(el) * std::sin(hd);
        e.m_direction[1] = std::sin(el);
        e.m_direction[2] = std::cos(el) * std::cos(hd);
        e.m_valuesA[0] = k.r, e.m_valuesA[1] = k.g, e.m_valuesA[2] = k.b;
        parser->InsertFlareElement(parser->GetFlareSourceCount() ? 0 : -1, &e);
    }
    parser->GetCelestialObject(0)->m_light = 0;
    float brightest = 0.0f;
    int brightestMinute = -1;
    for (int minute = 0; minute < 1440; minute += 20) {
        parser->SetClock(2001, 6, 1, minute / 60, minute % 60, 0);
        parser->UpdateDayLights();
        const D3DLIGHT7* l = Sent(0);
        ASSERT_NE(nullptr, l);
        const float sum = l->dcvDiffuse.r + l->dcvDiffuse.g + l->dcvDiffuse.b;
        if (sum > brightest) brightest = sum, brightestMinute = minute;
        if (minute >= 420 && minute <= 1020) {
            EXPECT_LT(l->dvDirection.y, 0.0f) << minute << ": the sun is up, its light comes down";
            EXPECT_GE(l->dcvDiffuse.r, l->dcvDiffuse.b) << minute << ": warm or white";
        }
        if (minute < 300 || minute > 1140) EXPECT_LT(sum, 0.5f) << minute << ": night";
        const float length = std::sqrt(l->dvDirection.x * l->dvDirection.x + l->dvDirection.y * l->dvDirection.y +
                                       l->dvDirection.z * l->dvDirection.z);
        EXPECT_NEAR(1.0f, length, 2e-3f) << minute;
    }
    EXPECT_EQ(720, brightestMinute);
}
