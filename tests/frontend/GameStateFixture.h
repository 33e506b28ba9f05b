// A small game state in the engine object for one test: fresh value stores,
// a world whose view actor is the local pilot's plane, a rules object, a
// recording renderer with view rectangles, a trace hit and a height table,
// and a frozen clock.  The engine's own objects come back afterwards.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/YGameConfig.h"
#include "engine/YGameObjects.h"
#include "foundation/YDataCollection.h"
#include "frontend/YAppLayout.h"
#include "game/YClientInfo.h"
#include "game/YPlane.h"
#include "renderer/YD3D6Parser.h"
#include "renderer/YTraceResult.h"
#include "world/YActorWorld.h"
#include "world/YGameRules.h"
#include "world/YGameSession.h"

// Keeps the calls the layout makes; draws nothing.
class RecordingRenderer : public YD3D6Parser {
public:
    void SetSession(int mode, int ready)
    {
        m_sessionMode = mode;
        m_ready = ready;
    }
    void SetGrid(uint32_t width, uint32_t height)
    {
        m_gridWidth = width;
        m_gridHeight = height;
    }
    void SetView(const RECT& view, const RECT& second, float fov)
    {
        m_screenRect = view;
        m_clipRect = second;
        m_projection[0] = fov;
        m_projection[1] = 2.0f;
        m_projection[2] = 3.0f;
        m_projection[3] = 4.0f;
    }
    void GetProjection(float* a, float* b, float* c, float* d) override
    {
        m_calls.push_back("GetProjection");
        YD3D6Parser::GetProjection(a, b, c, d);
    }
    void GetViewRects(RECT* view, RECT* second) override
    {
        m_calls.push_back("GetViewRects");
        YD3D6Parser::GetViewRects(view, second);
        m_readViews.push_back(*view);
    }
    int SetViewRects(int l1, int t1, int r1, int b1, int l2, int t2, int r2, int b2) override
    {
        m_calls.push_back("SetViewRects");
        YD3D6Parser::SetViewRects(l1, t1, r1, b1, l2, t2, r2, b2);
        return 1;
    }
    void SetProjection(float a, float b, float c, float d) override
    {
        m_calls.push_back("SetProjection");
        YD3D6Parser::SetProjection(a, b, c, d);
    }
    int ApplyView() override
    {
        m_calls.push_back("ApplyView");
        return 1;
    }
    void BeginFrame() override
    {
        m_calls.push_back("BeginFrame");
        RECT view, second;
        YD3D6Parser::GetViewRects(&view, &second);
        m_frameViews.push_back(view);
        m_frameFovs.push_back(m_projection[0]);
    }
    void RenderFrame() override { m_calls.push_back("RenderFrame"); }
    void EndFrame() override { m_calls.push_back("EndFrame"); }
    void ClearVisitedMarks() override { m_calls.push_back("ClearVisitedMarks"); }
    int TraceWorld(const float* from, const float* to, float, float, DWORD flags) override
    {
        ++m_traces;
        m_traceFlags = flags;
        for (int i = 0; i < 3; ++i) {
            m_traceFrom[i] = from[i];
            m_traceTo[i] = to[i];
        }
        return m_traceClear;
    }
    YTraceResult* GetTraceResult() override { return m_haveHit ? &m_hit : nullptr; }
    float GetHeightSample(DWORD index) override
    {
        m_heightIndex = index;
        return 123.4f;
    }

    std::vector<std::string> m_calls;
    std::vector<RECT> m_frameViews;
    std::vector<RECT> m_readViews;  // as GetViewRects answered
    std::vector<float> m_frameFovs;
    int m_traces = 0;
    DWORD m_traceFlags = 0;
    float m_traceFrom[3] = {};
    float m_traceTo[3] = {};
    int m_traceClear = 1;
    bool m_haveHit = false;
    YTraceResult m_hit;
    DWORD m_heightIndex = 0xFFFFFFFF;
};

class GameStateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        e = YGameObjects::Instance();
        m_wasManual = platform::Clock::IsManual();
        platform::Clock::SetManual(true);
        platform::Clock::Set(100000);
        YAppLayout::ResetCameraRange();

        m_saved = {e->m_renderer, e->m_world, e->m_rules, e->m_values, e->m_settings, e->m_layoutValues};
        m_savedPlane = e->m_localClient->m_plane;
        m_savedBar = e->m_session->m_barWidth;
        m_savedState = e->m_gameState;
        m_savedWon = e->m_won;
        m_savedType = e->m_gameConfig->m_gameType;
        m_savedLevel = e->m_gameConfig->m_levelIndex;

        e->m_renderer = &m_renderer;
        e->m_world = &m_world;
        e->m_rules = nullptr;
        e->m_values = &m_values;
        e->m_settings = &m_settings;
        e->m_layoutValues = &m_layoutStore;
        m_world.m_scene = &m_renderer;
        m_plane = new YPlane;
        m_world.AddActor(m_plane);
        m_world.SetViewActor(m_plane);
        e->m_localClient->m_plane = m_plane;
    }
    void TearDown() override
    {
        e->m_localClient->m_plane = m_savedPlane;
        e->m_renderer = m_saved.renderer;
        e->m_world = m_saved.world;
        e->m_rules = m_saved.rules;
        e->m_values = m_saved.values;
        e->m_settings = m_saved.settings;
        e->m_layoutValues = m_saved.layout;
        e->m_session->m_barWidth = m_savedBar;
        e->m_gameState = m_savedState;
        e->m_won = m_savedWon;
        e->m_gameConfig->m_gameType = m_savedType;
        e->m_gameConfig->m_levelIndex = m_savedLevel;
        m_world.SetViewActor(nullptr);
        m_world.Clear();
        YAppLayout::ResetCameraRange();
        platform::Clock::SetManual(m_wasManual);
    }

    // The plane's camera as its update leaves it.
    void PlaceCamera(const YVector& position, const YVector& angles)
    {
        m_plane->m_viewStored = 1;
        m_plane->m_viewPosition = position;
        m_plane->m_viewAngles = angles;
    }

    struct Saved {
        YParser* renderer;
        YActorWorld* world;
        YGameRules* rules;
        YDataCollection* values;
        YDataCollection* settings;
        YDataCollection* layout;
    };

    YGameObjects* e = nullptr;
    RecordingRenderer m_renderer;
    YActorWorld m_world;
    YDataCollection m_values{32, 32};
    YDataCollection m_settings{32, 32};
    YDataCollection m_layoutStore{32, 32};
    YGameRules m_rules;
    YPlane* m_plane = nullptr;  // the world's
    Saved m_saved{};
    YPlane* m_savedPlane = nullptr;
    int32_t m_savedBar = 0;
    YGameState m_savedState;
    uint8_t m_savedWon = 0;
    YString m_savedType;
    int m_savedLevel = 0;
    bool m_wasManual = false;
};
