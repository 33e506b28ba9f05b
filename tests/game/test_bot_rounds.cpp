// Rounds of every competitive game type played through the real session,
// rules and world on a sample map, with a bot of each skill and an idle
// player: the bot takes off, does its job and the round reaches its result.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "assets3d/YSMHandle.h"
#include "game/YBotAI.h"
#include "game/YBotPlane.h"
#include "game/YGameActors.h"
#include "world/SessionFixture.h"

#if defined(RCV_DATA_DIR)
YCatalog* SessionFixture::s_catalog = nullptr;

namespace {

struct Outcome {
    int skill = -1;
    int laps = 0;
    int score = 0;
    int balloons = 0;
    int hits = 0;
    int takeOffs = 0;
    int restarts = 0;
    bool finite = true;
    bool over = false;
    float seconds = 0.0f;
    float closest = 1e9f;
};

class BotRound : public SessionFixture {
protected:
    void CopyScript(const std::string& name)
    {
        std::ifstream in(std::string(RCV_DATA_DIR "/") + name, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        m_scratch.Write(name, text.str());
    }
    // Starts the type at the game level (its script by number) on the map.
    void Begin(int type, const char* name, int level, const char* map = "Meadow")
    {
        CopyScript(std::string(name) + std::to_string(level) + ".rcs");
        m_config.m_map = map;
        m_config.m_gameLevel = level;
        e->StartGame(type, 0, 0);
    }
    YBotPlane* Bot() const { return dynamic_cast<YBotPlane*>(e->m_opponentPlane); }
    // One session tick of 20 ms.
    void Step()
    {
        platform::Clock::Advance(20);
        m_session.Tick();
    }
    // Plays until the round is over (or the limit), watching the bot.
    Outcome Play(float limitSeconds)
    {
        Outcome out;
        YBotPlane* bot = Bot();
        if (!bot) return out;
        out.skill = bot->GetSkill();
        const int steps = static_cast<int>(limitSeconds * 50.0f);
        for (int i = 0; i < steps && e->m_rules; ++i) {
            Step();
            bot = Bot();
            if (!bot) break;
            const YVector& p = bot->m_position;
            if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z) || !std::isfinite(bot->m_angles.y))
                out.finite = false;
            if (YActor* t = bot->GetBrain()->m_target; t && t != bot) out.closest = std::min(out.closest, t->m_position.FastDistance(bot->m_position));
            out.laps = bot->m_lap;
            out.score = bot->m_score;
            out.balloons = std::max(out.balloons, bot->m_balloonsDropped);
            out.takeOffs = bot->GetBrain() ? bot->GetBrain()->m_takeOffs : 0;
            out.restarts = static_cast<int>(bot->m_restarts);
            out.seconds = i * 0.02f;
            if (getenv("BOT_TRACE") && i % 100 == 0) {
                YVector prop;
                YSMHandle* m = bot->GetModelInstance();
                const bool ok = m && e->ModelPointPosition(bot, m->FindGroup("Normal_prop"), prop);
                printf("prop %d %.1f %.1f %.1f ground %.1f group %d\n", ok, prop.x, prop.y, prop.z, m_world.TerrainHeightAt(prop.x, prop.z), m ? m->FindGroup("Normal_prop") : -9);
                YBotAI* b = bot->GetBrain();
                YActor* t = b->GetTarget(); (void)t;
                printf("t %.0f st %d pos %.0f %.0f %.0f ang %.0f %.0f %.0f spd %.1f eng %d alt %.1f tgt %s %.0f %.0f %.0f yaw2aim %.0f p2aim %.0f allowed %d obst %u evade %d/%d ta %d rw %d side %d gnd %d crash %d fl %x td %d fa %x rest %d pend %d ready %d grav %d tk %d\n",
                       out.seconds, e->m_rules->m_state, p.x, p.y, p.z, bot->m_angles.x, bot->m_angles.y,
                       bot->m_angles.z, bot->GetSpeed(), bot->m_engineLevel, b->m_altitude,
                       t ? (t == bot ? "self" : (const char*)t->m_name) : "none", t ? t->m_position.x : 0.f,
                       t ? t->m_position.y : 0.f, t ? t->m_position.z : 0.f, b->m_yawToAim, b->m_pitchToAim,
                       b->m_manoeuvreAllowed, b->m_obstacles, b->m_evadeWanted, b->m_evading, b->m_turnAroundWanted,
                       b->m_randomWanted, b->m_manoeuvreSide, bot->IsOnGround(), bot->m_crashState, bot->m_flagsB, bot->m_touchDisabled, bot->m_flagsA, bot->m_resting, bot->m_pendingRestart, bot->m_restartReady, bot->m_gravityOn, b->m_takingOff);
            }
            if (e->m_rules->m_state >= YGameRules::StatePost) {
                out.over = true;
                break;
            }
        }
        return out;
    }
    ScratchFolder m_scratch{ScratchFolder::Enter};
};

}  // namespace

TEST_F(BotRound, Explore)
{
    const struct {
        int type;
        const char* name;
    } types[] = {{2, "airrace"}, {0, "balloon"}, {1, "dogfight"}, {3, "tunnix"}};
    for (const auto& t : types)
        for (int level : {0, 9}) {
            Begin(t.type, t.name, level);
            ASSERT_NE(Bot(), nullptr) << t.name;
            printf("model %s\n", (const char*)Bot()->m_modelName);
            const Outcome o = Play(400.0f);
            printf("%s level %d skill %d: over %d at %.0f s laps %d score %d bombs %d takeoffs %d restarts %d finite %d closest %.1f\n",
                   t.name, level, o.skill, o.over, o.seconds, o.laps, o.score, o.balloons, o.takeOffs, o.restarts,
                   o.finite, o.closest);
            m_session.Action(YGameSession::ActionEnd);
        }
}
#endif
