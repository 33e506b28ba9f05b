// A small game state in the engine object for the fuzz targets that resolve
// layout expressions: value stores with a few entries, a world whose view
// actor is the local pilot's plane, rules with a time left, and a renderer
// in a ready map session whose frame operations draw nothing and whose
// traces hit 30 m ahead.
#pragma once

#include "engine/YGameObjects.h"
#include "foundation/YDataCollection.h"
#include "game/YClientInfo.h"
#include "game/YPlane.h"
#include "renderer/YD3D6Parser.h"
#include "renderer/YTraceResult.h"
#include "world/YActorWorld.h"
#include "world/YGameRules.h"

namespace fuzz {

class QuietRenderer : public YD3D6Parser {
public:
    QuietRenderer()
    {
        m_sessionMode = 2;
        m_ready = 1;
        m_gridWidth = 96;
        m_gridHeight = 96;
        m_screenRect = RECT{0, 0, 640, 480};
        m_clipRect = RECT{0, 0, 640, 480};
        m_projection[0] = 60.0f;
        m_hit.m_hitCode = YTraceResult::kTerrain;
        m_hit.m_hitPoint[2] = 30.0f * 16.0f;
    }
    int SetViewRects(int l1, int t1, int r1, int b1, int l2, int t2, int r2, int b2) override
    {
        m_screenRect = RECT{l1, t1, r1, b1};
        m_clipRect = RECT{l2, t2, r2, b2};
        return 1;
    }
    int ApplyView() override { return 1; }
    void BeginFrame() override {}
    void RenderFrame() override {}
    void EndFrame() override {}
    int TraceWorld(const float*, const float*, float, float, DWORD) override { return 0; }
    YTraceResult* GetTraceResult() override { return &m_hit; }
    float GetHeightSample(DWORD index) override { return static_cast<float>(index & 0xFFFF); }
    YTraceResult m_hit;
};

// Made once; the engine object owns the renderer and the rules from then on.
inline void EnterGameState()
{
    static bool made = false;
    if (made) return;
    made = true;
    YGameObjects* engine = YGameObjects::Instance();
    QuietRenderer* renderer = new QuietRenderer;
    engine->m_renderer = renderer;
    YActorWorld* world = engine->m_world;
    world->m_scene = renderer;
    YPlane* plane = new YPlane;
    world->AddActor(plane);
    world->SetViewActor(plane);
    plane->m_viewStored = 1;
    plane->m_viewPosition = YVector(100.0f, 20.0f, 50.0f);
    plane->m_viewAngles = YVector(5.0f, 359.0f, 0.0f);
    plane->m_throttle = 254;
    plane->m_fuel = 200.5f;
    engine->m_localClient->m_plane = plane;
    engine->m_localClient->m_samples[0] = 40;
    YGameRules* rules = new YGameRules;
    rules->m_secondsLeft = 75;
    engine->m_rules = rules;
    engine->m_values->Set("Lives", "3");
    engine->m_values->Set("Key", "Lives");
    engine->m_settings->Set("Speed", "7.5");
    engine->m_layoutValues->Set("Panel", "11");
    for (int row = 0; row < YGameState::ScoreRows; ++row) engine->m_gameState.m_scoreNames[row] = "Ace";
}

}  // namespace fuzz
