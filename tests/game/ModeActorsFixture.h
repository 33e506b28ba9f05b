// The mode actors in a world of their own without a map: the engine's world,
// population lists, rules, local plane, sounds and voice-overs are swapped
// for recording ones and put back after.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/YGameObjects.h"
#include "game/YClientInfo.h"
#include "game/YGameActors.h"
#include "game/YPlane.h"
#include "game/YVoiceOvers.h"
#include "world/YActorWorld.h"
#include "world/YGameCommands.h"
#include "world/YGameRules.h"

class RecordingCommands : public YGameCommands {
public:
    void PlayActorSound(YActor* actor, const char* name, float nearDistance, float farDistance, int flags) override
    {
        m_sounds.push_back({actor, name, nearDistance, farDistance, flags, false});
    }
    void PlayTempSound(const YVector&, const char* name, float nearDistance, float farDistance, int flags) override
    {
        m_sounds.push_back({nullptr, name, nearDistance, farDistance, flags, true});
    }
    struct Sound {
        YActor* actor;
        std::string name;
        float nearDistance, farDistance;
        int flags;
        bool temporary;
    };
    std::vector<Sound> m_sounds;
};

class RecordingVoiceOvers : public YVoiceOvers {
public:
    void OnEvent(int event) override { m_events.push_back(event); }
    std::vector<int> m_events;
};

class ModeActors : public ::testing::Test {
protected:
    void SetUp() override
    {
        e = YGameObjects::Instance();
        m_saved = {e->m_world, e->m_rules, e->m_gameCommands, e->m_voiceOvers, e->m_opponentPlane,
                   e->m_localClient ? e->m_localClient->m_plane : nullptr};
        e->m_world = &m_world;
        e->m_rules = &m_rules;
        e->m_gameCommands = &m_commands;
        e->m_voiceOvers = &m_voices;
        e->m_opponentPlane = nullptr;
        e->CreatePopulationLists();
        srand(12345);
    }
    void TearDown() override
    {
        e->CreatePopulationLists();
        m_world.Clear();
        e->m_world = m_saved.world;
        e->m_rules = m_saved.rules;
        e->m_gameCommands = m_saved.commands;
        e->m_voiceOvers = m_saved.voices;
        e->m_opponentPlane = m_saved.opponent;
        if (e->m_localClient) e->m_localClient->m_plane = m_saved.localPlane;
    }
    // A plane of the world (the factory's: no smoke, no arrow).
    YPlane* Plane()
    {
        YPlane* plane = new YPlane;
        m_world.AddActor(plane);
        return plane;
    }
    YPlane* LocalPlane()
    {
        YPlane* plane = Plane();
        e->m_localClient->m_plane = plane;
        return plane;
    }
    int SoundsNamed(const char* name) const
    {
        int found = 0;
        for (const auto& sound : m_commands.m_sounds) found += sound.name == name;
        return found;
    }
    // Destroyed actors leave the world.
    void Purge() { m_world.PurgeDestroyed(); }

    YGameObjects* e = nullptr;
    YActorWorld m_world;
    YGameRules m_rules;
    RecordingCommands m_commands;
    RecordingVoiceOvers m_voices;

private:
    struct {
        YActorWorld* world;
        YGameRules* rules;
        YGameCommands* commands;
        YVoiceOvers* voices;
        YPlane* opponent;
        YPlane* localPlane;
    } m_saved = {};
};
