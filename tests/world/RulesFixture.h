// The engine object set up for the rules of one round: two stand-in planes
// (the local pilot's and the opponent), a world whose view is the local
// plane, empty population lists, and logs of what the rules ask of the
// console, the voice-overs, the jukebox and the game commands. The game
// clock is held by hand. Everything is put back after.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/YCommandInterpreter.h"
#include "engine/YGameConfig.h"
#include "engine/YGameObjects.h"
#include "frontend/YJukeBox.h"
#include "game/YClientInfo.h"
#include "game/YGameActors.h"
#include "game/YPlane.h"
#include "game/YVoiceOvers.h"
#include "renderer/YD3D6Parser.h"
#include "world/YActorWorld.h"
#include "world/YGameCommands.h"
#include "world/YGameRules.h"

namespace rules_test {
inline std::vector<std::string>& Log()
{
    static std::vector<std::string> log;
    return log;
}

class Interpreter : public YCommandInterpreter {
public:
    bool ExecuteCommand(const YString& line, YString*) override
    {
        Log().push_back(std::string("cmd ") + (const char*)line);
        return true;
    }
};

class Voices : public YVoiceOvers {
public:
    void OnEvent(int code) override { Log().push_back("event " + std::to_string(code)); }
    void PlayNow(const char* category, int chance, int gap) override
    {
        Log().push_back(std::string("announce ") + category + " " + std::to_string(chance) + " " + std::to_string(gap));
    }
};

class JukeBox : public YJukeBox {
public:
    void Clear() override { Log().push_back("music clear"); }
    void SetTrack(int index, const char* name) override
    {
        Log().push_back("music track " + std::to_string(index) + " " + name);
    }
    void Play(int index) override { Log().push_back("music play " + std::to_string(index)); }
    void Stop() override { Log().push_back("music stop"); }
};

class Commands : public YGameCommands {
public:
    void PlayActorSound(YActor* actor, const char* name, float minDistance, float maxDistance, int flags) override
    {
        Log().push_back(std::string("sound ") + name + " " + std::to_string(int(minDistance)) + " " +
                        std::to_string(int(maxDistance)) + " " + std::to_string(flags));
        YGameCommands::PlayActorSound(actor, name, minDistance, maxDistance, flags);
    }
};
}  // namespace rules_test

class RulesFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        e = YGameObjects::Instance();
        Save();
        ResetRound();
    }

    void TearDown() override
    {
        ClearRound();
        Restore();
    }

    // A fresh round state inside one test (for tables of cases).
    void Fresh()
    {
        ClearRound();
        ResetRound();
    }

    YPlane& L() { return *m_local; }
    YPlane& O() { return *m_opponent; }

    void Save()
    {
        m_saved.interpreter = e->m_interpreter;
        m_saved.voices = e->m_voiceOvers;
        m_saved.jukebox = e->m_jukebox;
        m_saved.commands = e->m_gameCommands;
        m_saved.renderer = e->m_renderer;
        m_saved.world = e->m_world;
        m_saved.config = e->m_gameConfig;
        m_saved.seconds = e->m_roundSeconds;
    }

    void ResetRound()
    {
        m_local.reset(new YPlane);
        m_opponent.reset(new YPlane);
        e->m_interpreter = &m_interpreter;
        e->m_voiceOvers = &m_voices;
        e->m_jukebox = &m_jukebox;
        e->m_gameCommands = &m_commands;
        e->m_renderer = &m_parser;
        e->m_world = &m_world;
        e->m_gameConfig = &m_config;
        e->m_localClient->m_plane = m_local.get();
        e->m_opponentPlane = m_opponent.get();
        e->m_winnerPlane = nullptr;
        e->m_tie = 0;
        e->m_won = 0;
        e->m_celebrating = 0;
        e->m_newEntryPlace = 0;
        e->m_gameState.m_screenRequest = -1;
        e->CreatePopulationLists();
        m_world.SetViewActor(m_local.get());
        m_config.m_levelIndex = 0;
        for (int t = 0; t < YGameConfig::GameTypes; ++t)
            for (int i = 0; i < YGameConfig::ScoreRows; ++i) {
                YHighScore row;
                row.m_name = "Someone";
                row.m_value.Format("%d", 500 - 100 * i);
                row.m_picture = "Interface2:someone";
                m_config.SetHighScore(t, i, row);
            }
        m_clock = 1000;
        e->m_gameClock = m_clock;
        rules_test::Log().clear();
    }

    void ClearRound()
    {
        delete e->m_rules;
        e->m_rules = nullptr;
        m_world.SetViewActor(nullptr);
        e->m_localClient->Reset();
        e->m_opponentPlane = nullptr;
        e->m_winnerPlane = nullptr;
        e->m_celebrating = 0;
        e->CreatePopulationLists();
        m_local.reset();
        m_opponent.reset();
    }

    void Restore()
    {
        e->m_interpreter = m_saved.interpreter;
        e->m_voiceOvers = m_saved.voices;
        e->m_jukebox = m_saved.jukebox;
        e->m_gameCommands = m_saved.commands;
        e->m_renderer = m_saved.renderer;
        e->m_world = m_saved.world;
        e->m_gameConfig = m_saved.config;
        e->m_roundSeconds = m_saved.seconds;
        e->m_gameClock = 0;
        e->m_gameState.m_screenRequest = -1;
    }

    // The factory's rules of the type, entered into their pre-round phase.
    YGameRules* Start(const char* type, int seconds, int practice = 0)
    {
        m_config.m_gameType = type;
        m_config.m_practice = practice;
        e->m_roundSeconds = seconds;
        e->CreateRulesAndStart();
        return e->m_rules;
    }

    // Ticks every step ms of game clock until the clock has run ms further,
    // or the rules reach the state.
    void Run(uint32_t ms, uint32_t step, int untilState = -1)
    {
        for (uint32_t done = 0; done < ms; done += step) {
            m_clock += step;
            e->m_gameClock = m_clock;
            e->m_rules->Tick();
            if (e->m_rules->m_state == untilState) return;
        }
    }

    // The log lines that start with the prefix, without it.
    static std::vector<std::string> Lines(const std::string& prefix)
    {
        std::vector<std::string> out;
        for (const std::string& line : rules_test::Log())
            if (line.compare(0, prefix.size(), prefix) == 0) out.push_back(line.substr(prefix.size()));
        return out;
    }
    static std::vector<std::string> Screens() { return Lines("cmd layout s screen screens.scr:"); }
    static int Count(const std::string& line)
    {
        int n = 0;
        for (const std::string& l : rules_test::Log()) n += l == line;
        return n;
    }

    float OverlayRed()
    {
        float a, b, c, d;
        m_parser.GetOverlayColor(&a, &b, &c, &d);
        return a;
    }

    static void Down(YPlane& plane)
    {
        plane.m_pendingRestart = 1;
        plane.m_restartReady = 1;
    }

    YGameObjects* e = nullptr;
    uint32_t m_clock = 0;
    rules_test::Interpreter m_interpreter;
    rules_test::Voices m_voices;
    rules_test::JukeBox m_jukebox;
    rules_test::Commands m_commands;
    YD3D6Parser m_parser;
    YActorWorld m_world;
    YGameConfig m_config;
    std::unique_ptr<YPlane> m_local;
    std::unique_ptr<YPlane> m_opponent;

private:
    struct {
        YCommandInterpreter* interpreter;
        YVoiceOvers* voices;
        YJukeBox* jukebox;
        YGameCommands* commands;
        YParser* renderer;
        YActorWorld* world;
        YGameConfig* config;
        int32_t seconds;
    } m_saved = {};
};
