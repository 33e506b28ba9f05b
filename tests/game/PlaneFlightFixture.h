// A plane flown with a fixed step on a sample map: the think step of the
// plane, the verbs of the held keys, then the mechanical pass with the
// collision pass as the world's move callback, as the session runs them.
#pragma once

#include <cstring>
#include <set>
#include <string>

#include "game/YActorCollision.h"
#include "game/YClientInfo.h"
#include "game/YControlVerbs.h"
#include "game/YPlane.h"
#include "renderer/YMapVT3Model_Output.h"
#include "world/SampleMapWorld.h"
#include "world/YMechanicalUpdater.h"

class PlaneFlight : public SampleMapWorld {
public:
    enum { VerbRight = 8, VerbLeft = 9, VerbUp = 10, VerbDown = 11, ThrottleOff = 14, ThrottleHigh = 17 };
    static constexpr float kStep = 0.016f;

    static void TearDownTestSuite()
    {
        SampleMapWorld::TearDownTestSuite();
        s_map.clear();
    }
    // The map of a row; loaded again only when it changes.
    static void UseMap(const char* name)
    {
        if (s_map == name) return;
        SampleMapWorld::TearDownTestSuite();
        Load(name);
        s_map = name;
    }
    void SetUp() override {}
    void Start(const char* map, const char* key = "p40plane")
    {
        UseMap(map);
        SampleMapWorld::SetUp();
        m_savedCatalog = m_engine->m_catalog;
        m_engine->m_catalog = s_catalog;
        m_savedClock = m_engine->m_gameClock;
        m_engine->m_gameClock = 100000;
        m_world.SetMoveCallback(CollideActorParts);
        m_plane = new YPlane(key);
        m_plane->m_autoLevel = m_plane->m_autoPitch = 0;
        m_world.AddActor(m_plane);
        m_world.SetViewActor(m_plane);
        m_record.m_controlledPlane = m_plane;
        m_record.m_plane = m_plane;
        m_record.m_aimActor = m_plane;
        m_started = true;
    }
    void TearDown() override
    {
        if (!m_started) return;
        m_world.SetMoveCallback(nullptr);
        m_engine->m_catalog = m_savedCatalog;
        m_engine->m_gameClock = m_savedClock;
        SampleMapWorld::TearDown();
    }
    // The first player start of the map, on the ground.
    bool PlayerStart(YVector& position, float& yaw)
    {
        for (int16_t i = 0; i < s_parser->GetMapRecordCount(); ++i) {
            const auto* record = static_cast<const YMapVT3Model_Output*>(s_parser->GetMapRecord(i));
            if (!record || record->m_name.Find("PlayerStart01") < 0) continue;
            position = YVector(record->m_x, 0.0f, record->m_z);
            yaw = record->m_yaw * 57.29578f;
            return true;
        }
        return false;
    }
    // Puts the plane at rest on the ground there, or in level flight at the
    // height above the ground and the speed.
    void Place(const YVector& at, float yaw, float height = 0.0f, float speed = 0.0f)
    {
        YVector position = at;
        position.y = m_world.TerrainHeightAt(at.x, at.z) + (height > 0.0f ? height : 0.3f);
        m_plane->m_position = m_plane->m_previousPosition = position;
        m_plane->m_angles = YVector(0.0f, WrapAngle360(yaw), 0.0f);
        m_plane->m_forward = m_plane->m_angles.FromAngles();
        m_plane->m_up = YVector(0.0f, 1.0f, 0.0f);
        m_plane->m_groundYaw = FoldAngle180(yaw);
        m_plane->m_velocity = m_plane->m_forward * speed;
        if (height > 0.0f) m_plane->m_flagsB &= ~YActor::FlagOnGround;
        m_world.PlaceActor(m_plane, &position);
    }
    void Throttle(int command) { m_plane->OnCommand(command, "", 1); }
    // Holds the verbs (pressed on the first frame) and releases the others.
    void Hold(std::set<int> verbs)
    {
        for (int verb : m_held)
            if (!verbs.count(verb)) DispatchControlVerb(verb, m_engine->m_gameClock, kStep, &m_record, "", 3);
        for (int verb : verbs) m_phase[verb] = m_held.count(verb) ? 2 : 1;
        m_held = verbs;
    }
    // One fixed step.
    void Tick()
    {
        m_engine->m_frameTime = kStep;
        m_engine->m_gameClock += static_cast<uint32_t>(kStep * 1000.0f);
        m_plane->Update(kStep);
        for (int verb : m_held) {
            DispatchControlVerb(verb, m_engine->m_gameClock, kStep, &m_record, "", m_phase[verb]);
            m_phase[verb] = 2;
        }
        m_mechanical.Update(&m_world, kStep);
    }
    void Run(float seconds)
    {
        for (int i = 0; i < static_cast<int>(seconds / kStep + 0.5f); ++i) Tick();
    }
    // The terrain under the plane, and the plane's height above it.
    float Ground() { return m_world.TerrainHeightAt(m_plane->m_position.x, m_plane->m_position.z); }
    float Height() { return m_plane->m_position.y - Ground(); }

    static std::string s_map;
    YPlane* m_plane = nullptr;
    YClientInfo m_record;
    YMechanicalUpdater m_mechanical;
    std::set<int> m_held;
    int m_phase[128] = {};
    YCatalog* m_savedCatalog = nullptr;
    uint32_t m_savedClock = 0;
    bool m_started = false;
};
