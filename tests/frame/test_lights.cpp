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
