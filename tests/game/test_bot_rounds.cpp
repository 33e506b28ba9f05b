// Rounds of every competitive game type played through the real session,
// rules and world on the sample map "Meadow", with a bot of each game level
// (both population scripts of each skill) and an idle player: the bot takes
// off, flies its round without going NaN, restarts after a crash, and the
// round reaches its result with the bot's score in the high-score table.
// The measured laps, pops, bombs, hits and banked points are printed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/YHighScore.h"
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
    int pops = 0;
    int bombs = 0;
    int playerHits = 0;  // paint-balls fired at the player that the player took
    int takeOffs = 0;
    int restarts = 0;
    bool finite = true;
    bool over = false;
    float seconds = 0.0f;
    float closest = 1e9f;  // nearest approach to any target, metres
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
    // Starts the type at the game level (its script by number) on Meadow.
    void Begin(int type, const char* name, int level)
    {
        CopyScript(std::string(name) + std::to_string(level) + ".rcs");
        m_config.m_map = "Meadow";
        m_config.m_gameLevel = level;
        e->StartGame(type, 0, 0);
    }
    YBotPlane* Bot() const { return dynamic_cast<YBotPlane*>(e->m_opponentPlane); }
    // Plays 20 ms session ticks until the round is over (or the limit),
    // watching the bot.
    Outcome Play(float limitSeconds)
    {
        Outcome out;
        YBotPlane* bot = Bot();
        if (!bot) return out;
        out.skill = bot->GetSkill();
        const int steps = static_cast<int>(limitSeconds * 50.0f);
        for (int i = 0; i < steps && e->m_rules; ++i) {
            platform::Clock::Advance(20);
            m_session.Tick();
            bot = Bot();
            if (!bot || !e->m_rules) break;
            const YVector& p = bot->m_position;
            if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z) || !std::isfinite(bot->m_angles.y) ||
                !std::isfinite(bot->m_velocity.x))
                out.finite = false;
            YActor* t = bot->GetBrain()->m_target;
            if (t && t != bot) out.closest = std::min(out.closest, t->m_position.FastDistance(p));
            out.laps = bot->m_lap;
            out.score = bot->m_score;
            out.pops = std::max(out.pops, bot->m_balloons);
            out.bombs = bot->m_balloonsDropped;
            if (YPlane* player = LocalPlane()) out.playerHits = player->m_hitCount;
            out.takeOffs = bot->GetBrain()->m_takeOffs;
            out.restarts = static_cast<int>(bot->m_restarts);
            out.seconds = i * 0.02f;
            if (e->m_rules->m_state >= YGameRules::StateOver) {
                out.over = true;
                break;
            }
        }
        return out;
    }
    // The row of the table that names a bot pilot with the score (any score
    // when negative); -1 none.
    int BotEntry(int table, int score) const
    {
        for (int row = 0; row < YGameConfig::ScoreRows; ++row) {
            YHighScore entry;
            m_config.GetHighScore(table, row, entry);
            for (const char* name : YGameRules::BotNames)
                if (std::string(entry.m_name) == name && (score < 0 || std::string(entry.m_value) == std::to_string(score)))
                    return row;
        }
        return -1;
    }
    ScratchFolder m_scratch{ScratchFolder::Enter};
};

}  // namespace

TEST_F(BotRound, EveryTypeAndLevelPlaysToItsResult)
{
    const struct {
        int type;
        const char* name;
        int table;
        float limit;
    } types[] = {
        {2, "airrace", YGameRules::TableAirRace, 340.0f},
        {0, "balloon", YGameRules::TableBalloonDrop, 300.0f},
        {1, "dogfight", YGameRules::TableDogfight, 160.0f},
        {3, "tunnix", YGameRules::TableTunnix, 160.0f},
    };
    printf("type      level skill  secs laps score pops bombs playerhits takeoffs restarts closest\n");
    for (const auto& t : types)
        for (int level = 0; level <= 9; ++level) {
            SCOPED_TRACE(std::string(t.name) + " " + std::to_string(level));
            srand(static_cast<unsigned>(level + 1));
            Begin(t.type, t.name, level);
            ASSERT_NE(Bot(), nullptr);
            const Outcome o = Play(t.limit);
            printf("%-9s %5d %5d %5.0f %4d %5d %4d %5d %10d %8d %8d %7.1f\n", t.name, level, o.skill, o.seconds, o.laps,
                   o.score, o.pops, o.bombs, o.playerHits, o.takeOffs, o.restarts, o.closest);
            EXPECT_EQ(o.skill, level / 2);
            EXPECT_TRUE(o.finite);
            EXPECT_TRUE(o.over) << "the round reaches its result";
            EXPECT_GE(o.takeOffs, 1) << "the bot took off";
            EXPECT_GE(o.takeOffs, o.restarts > 0 ? 1 : 0);
            // The race enters the winner's time, the others the bot's score.
            if (t.table == YGameRules::TableAirRace) {
                if (e->m_winnerPlane == Bot()) EXPECT_GE(BotEntry(t.table, -1), 0) << "the winning bot's time";
            } else if (o.score > 0) {
                EXPECT_GE(BotEntry(t.table, o.score), 0) << "the bot's score is in the table";
            }
            m_session.Action(YGameSession::ActionEnd);
        }
}

// An easy dogfight bot holds off the player's plane until it has been hit;
// hit, it closes on the plane and fires at it.
TEST_F(BotRound, EasyDogfightBotEngagesOnceHit)
{
    for (int level : {0, 2}) {
        SCOPED_TRACE(level);
        srand(3);
        Begin(1, "dogfight", level);
        YBotPlane* bot = Bot();
        ASSERT_NE(bot, nullptr);
        YPlane* player = LocalPlane();
        int chased = 0;
        for (int i = 0; i < 40 * 50 && e->m_rules; ++i) {
            platform::Clock::Advance(20);
            m_session.Tick();
            chased += bot->GetBrain()->m_target == player;
        }
        EXPECT_EQ(chased, 0) << "not hit: it holds off";
        for (int hit = 0; hit < 4; ++hit) bot->OnProjectileHit();
        const int fired = bot->m_paintballsFired;
        for (int i = 0; i < 40 * 50 && e->m_rules; ++i) {
            platform::Clock::Advance(20);
            m_session.Tick();
            chased += bot->GetBrain()->m_target == player;
        }
        EXPECT_GT(chased, 0) << "hit four times: it goes for the player";
        printf("dogfight level %d after 4 hits: %d frames on the player, %d paint-balls fired\n", level, chased,
               bot->m_paintballsFired - fired);
        m_session.Action(YGameSession::ActionEnd);
    }
}
#endif
