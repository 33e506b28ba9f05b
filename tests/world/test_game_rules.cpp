// The rules of a round: the factory, the high-score update, and each game
// type's timeline under a fixed step of the game clock.
#include "RulesFixture.h"

#include <memory>

#include "world/YAirRaceRules.h"
#include "world/YBalloonDropRules.h"
#include "world/YDogFightRules.h"
#include "world/YPracticeRules.h"
#include "world/YTunnixRules.h"

using Strings = std::vector<std::string>;

// ------------------------------------------------------------------ factory

TEST_F(RulesFixture, FactoryMakesTheRulesOfTheGameType)
{
    const struct {
        const char* type;
        int practice;
        int mode;
        int marker;
        const char* screen;
    } cases[] = {
        {"dogfight", 0, 0, 0, "predogfight"},   {"airrace", 0, 1, 0, "preairrace"},
        {"tunnix", 0, 2, 0, "pretunnix"},       {"balloon", 0, 3, 0, "preballoondrop"},
        {"practice", 0, 4, 1, "prepractice"},   {"Dogfight", 0, 4, 1, "prepractice"},  // compared exactly
        {"", 0, 4, 1, "prepractice"},           {"dogfight", 1, 0, 1, "prepractice"},
        {"airrace", 1, 1, 1, "prepractice"},    {"tunnix", 1, 2, 1, "prepractice"},
        {"balloon", 1, 3, 1, "prepractice"},    {"skydive", 1, 4, 1, "prepractice"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.type) + " " + std::to_string(c.practice));
        rules_test::Log().clear();
        YGameRules* rules = Start(c.type, 77, c.practice);
        ASSERT_NE(nullptr, rules);
        EXPECT_EQ(c.mode, rules->m_mode);
        EXPECT_EQ(c.marker, rules->m_practice);
        EXPECT_EQ(77, rules->m_roundSeconds);
        EXPECT_EQ(YGameRules::StatePre, rules->m_state);
        EXPECT_EQ(Strings{c.screen}, Screens());
        const bool practiceRules = dynamic_cast<YPracticeRules*>(rules) != nullptr;
        EXPECT_EQ(c.marker == 1, practiceRules);
    }
    Start("dogfight", 10);
    EXPECT_NE(nullptr, dynamic_cast<YDogFightRules*>(e->m_rules));
    Start("tunnix", 10);
    EXPECT_NE(nullptr, dynamic_cast<YTunnixRules*>(e->m_rules));
    Start("balloon", 10);
    EXPECT_NE(nullptr, dynamic_cast<YBalloonDropRules*>(e->m_rules));
    Start("airrace", 10);
    EXPECT_NE(nullptr, dynamic_cast<YAirRaceRules*>(e->m_rules));
}

// -------------------------------------------------------------- high scores

TEST_F(RulesFixture, HighScoreInsertion)
{
    const char* const U = "Interface2:char_icon_user";
    const char* const S = "Interface2:someone";
    const struct {
        const char* what;
        int bot, player, level;
        Strings values, names, pictures;
        int place, word;
        bool roundOver;
    } cases[] = {
        {"a bot score equal to an entry goes below it", 300, 0, 1,
         {"500", "400", "300", "300", "200"},
         {"Someone", "Someone", "Someone", "Tailspin Halvorn", "Someone"},
         {S, S, S, "Interface2:char_icon_halvorn", S}, 0, 2, false},
        {"the player at place 5 replaces only the last entry", 0, 150, 0,
         {"500", "400", "300", "200", "150"},
         {"Someone", "Someone", "Someone", "Someone", ""}, {S, S, S, S, U}, 5, 1, false},
        {"equal to the last entry enters nowhere", 0, 100, 0,
         {"500", "400", "300", "200", "100"},
         {"Someone", "Someone", "Someone", "Someone", "Someone"}, {S, S, S, S, S}, 0, 2, false},
        {"bot and player both enter; the player is placed in the updated table", 450, 420, 2,
         {"500", "450", "420", "400", "300"},
         {"Someone", "Airfoil Ostrel", "", "Someone", "Someone"},
         {S, "Interface2:char_icon_ostrel", U, S, S}, 3, 1, false},
        {"the player above the bot", 350, 600, 3,
         {"600", "500", "400", "350", "300"},
         {"", "Someone", "Someone", "Jetspeed Varnel", "Someone"},
         {U, S, S, "Interface2:char_icon_varnel", S}, 1, 1, false},
        {"at level 4 the round-over screen comes at once", 0, 999, 4,
         {"999", "500", "400", "300", "200"},
         {"", "Someone", "Someone", "Someone", "Someone"}, {U, S, S, S, S}, 1, 1, true},
        {"the level 4 pilot, the player not entering", 1000, 10, 4,
         {"1000", "500", "400", "300", "200"},
         {"Rocket Kordel", "Someone", "Someone", "Someone", "Someone"},
         {"Interface2:char_icon_kordel", S, S, S, S}, 0, 2, false},
        {"level 0 pilot", 401, 0, 0,
         {"500", "401", "400", "300", "200"},
         {"Someone", "Crash Brannick", "Someone", "Someone", "Someone"},
         {S, "Interface2:char_icon_brannick", S, S, S}, 0, 2, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        m_config.m_levelIndex = c.level;
        e->m_newEntryPlace = 9;
        YGameRules rules;
        rules.UpdateHighScores(YGameRules::TableTunnix, c.bot, c.player);
        Strings values, names, pictures;
        for (int i = 0; i < YGameConfig::ScoreRows; ++i) {
            YHighScore row;
            m_config.GetHighScore(YGameRules::TableTunnix, i, row);
            values.push_back((const char*)row.m_value);
            names.push_back((const char*)row.m_name);
            pictures.push_back((const char*)row.m_picture);
        }
        EXPECT_EQ(c.values, values);
        EXPECT_EQ(c.names, names);
        EXPECT_EQ(c.pictures, pictures);
        EXPECT_EQ(c.place, e->m_newEntryPlace);
        EXPECT_EQ(c.word, e->m_gameState.m_screenRequest);
        EXPECT_EQ(c.roundOver ? 1 : 0, Count("cmd layout s screen:game screens.scr:roundover"));
        // The other tables stay as they were.
        YHighScore first;
        m_config.GetHighScore(YGameRules::TableBalloonDrop, 0, first);
        EXPECT_STREQ("500", first.m_value);
    }
}

TEST_F(RulesFixture, ZerosEnterATableOfZerosNowhere)
{
    YHighScore zero;
    zero.m_name = "Nobody";
    zero.m_value = "0";
    for (int i = 0; i < YGameConfig::ScoreRows; ++i) m_config.SetHighScore(YGameRules::TableDogfight, i, zero);
    YGameRules rules;
    rules.UpdateHighScores(YGameRules::TableDogfight, 0, 0);
    for (int i = 0; i < YGameConfig::ScoreRows; ++i) {
        YHighScore row;
        m_config.GetHighScore(YGameRules::TableDogfight, i, row);
        EXPECT_STREQ("Nobody", row.m_name);
        EXPECT_STREQ("0", row.m_value);
    }
    EXPECT_EQ(0, e->m_newEntryPlace);
    EXPECT_EQ(2, e->m_gameState.m_screenRequest);
    // A table out of range changes nothing.
    rules.UpdateHighScores(4, 900, 900);
    rules.UpdateHighScores(-1, 900, 900);
    EXPECT_EQ(0, e->m_newEntryPlace);
}

// ------------------------------------------------------------ the timelines

namespace {
// Finish seconds are small: a table they can enter.
void LowAirRaceTable(YGameConfig& config)
{
    for (int i = 0; i < YGameConfig::ScoreRows; ++i) {
        YHighScore row;
        row.m_name = "Someone";
        row.m_value.Format("%d", 40 - 10 * i);
        config.SetHighScore(YGameRules::TableAirRace, i, row);
    }
}
}  // namespace

TEST_F(RulesFixture, AirRaceTimelineWonByTheLocalPlane)
{
    LowAirRaceTable(m_config);
    Start("airrace", 60);
    EXPECT_EQ((Strings{"clear", "track 0 Interface:Airrace-loop"}), Lines("music "));
    EXPECT_EQ(Strings{"0"}, Lines("event "));
    EXPECT_EQ(3, e->m_rules->m_secondsLeft);
    EXPECT_EQ(0, e->m_rules->m_timesUpPending);
    Run(3000, 100);
    EXPECT_EQ(YGameRules::StateRun, e->m_rules->m_state);
    EXPECT_EQ((Strings{"0", "1"}), Lines("event "));
    EXPECT_EQ(1, Count("music play 0"));
    EXPECT_EQ(1, e->m_rules->m_timesUpPending);
    Run(10000, 100);
    L().m_raceEnded = 1;
    Run(100, 100);
    EXPECT_EQ(YGameRules::StatePost, e->m_rules->m_state);
    EXPECT_EQ((Strings{"0", "1", "2"}), Lines("event "));
    EXPECT_EQ(&L(), e->m_winnerPlane);
    EXPECT_EQ(0, e->m_tie);
    EXPECT_EQ(1, e->m_won);
    auto* race = static_cast<YAirRaceRules*>(e->m_rules);
    EXPECT_EQ(3, race->m_laps);
    // The finish is looked for before the clock: the seconds of the tick before.
    EXPECT_EQ(50, race->m_finishSeconds);
    // The player's finish seconds enter the air-race table.
    YHighScore top;
    m_config.GetHighScore(YGameRules::TableAirRace, 0, top);
    EXPECT_STREQ("50", top.m_value);
    EXPECT_STREQ("", top.m_name);
    EXPECT_EQ(1, e->m_newEntryPlace);
    EXPECT_EQ(1, e->m_rules->m_celebrated);
    EXPECT_EQ(0, e->m_celebrating);
    EXPECT_EQ(1, Count("music stop"));
    EXPECT_EQ((Strings{"preairrace", "airrace", "postairrace"}), Screens());

    // The fade reddens the picture over the three seconds.
    Run(1500, 100);
    EXPECT_NEAR(0.5f, OverlayRed(), 0.01f);
    float a, b, c, d;
    m_parser.GetOverlayColor(&a, &b, &c, &d);
    EXPECT_EQ(0.0f, b);
    EXPECT_EQ(0.0f, c);
    EXPECT_EQ(a, d);
    EXPECT_EQ(0, Count("cmd session demo"));
    Run(1500, 100);
    EXPECT_EQ(YGameRules::StateOver, e->m_rules->m_state);
    EXPECT_EQ(120, e->m_rules->m_phaseLength);
    const Strings& log = rules_test::Log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ("cmd layout s screen:game screens.scr:roundover", log[log.size() - 2]);
    EXPECT_EQ("cmd session demo", log.back());
    EXPECT_EQ(1, Count("cmd session demo"));
    // The next pre-round clears the overlay.
    Start("airrace", 60);
    EXPECT_EQ(0.0f, OverlayRed());
}

TEST_F(RulesFixture, AirRaceEnds)
{
    const struct {
        const char* what;
        bool local, opponent;  // RaceEnded set
        bool opponentPresent;
        int event;             // -1 none
        const char* announce;
        YPlane* YGameObjects::*winner;
        int tie, won;
        const char* top;  // row 0 after the round: the bot's 49, else unchanged
    } cases[] = {
        {"lost", false, true, true, 3, nullptr, &YGameObjects::m_opponentPlane, 0, 0, "49"},
        {"tied", true, true, true, -1, "GameOverLost 100 0", nullptr, 1, 0, "40"},
        {"timed out", false, false, true, -1, nullptr, nullptr, 0, 0, "40"},
        {"no opponent: no scores", true, false, false, 2, nullptr, nullptr, 0, 1, "40"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        LowAirRaceTable(m_config);
        if (!c.opponentPresent) e->m_opponentPlane = nullptr;
        Start("airrace", 60);
        Run(3000 + 11000, 100);
        L().m_raceEnded = c.local;
        O().m_raceEnded = c.opponent;
        Run(60000, 100, YGameRules::StatePost);
        EXPECT_EQ(YGameRules::StatePost, e->m_rules->m_state);
        const Strings events = Lines("event ");
        EXPECT_EQ(c.event >= 0 ? std::to_string(c.event) : "1", events.back());
        EXPECT_EQ(c.announce ? 1 : 0, (int)Lines("announce GameOverLost").size());
        if (c.winner) {
            EXPECT_EQ(e->*(c.winner), e->m_winnerPlane);
        } else if (c.opponentPresent) {
            EXPECT_EQ(nullptr, e->m_winnerPlane);
        }
        EXPECT_EQ(c.tie, e->m_tie);
        EXPECT_EQ(c.won, e->m_won);
        YHighScore top;
        m_config.GetHighScore(YGameRules::TableAirRace, 0, top);
        EXPECT_STREQ(c.top, top.m_value);
        EXPECT_EQ(0, e->m_newEntryPlace);
        EXPECT_EQ(2, e->m_gameState.m_screenRequest);
        L().m_raceEnded = O().m_raceEnded = 0;
    }
}

TEST_F(RulesFixture, TimesUpOnceAndTheLowGasWarningsOfTheLastTenSeconds)
{
    Start("tunnix", 45);
    YTunnix ball;
    e->m_tunnixes->AddTail(&ball);
    // Half-second steps land on 40 seconds left twice.
    Run(3000, 500);
    int fortyTicks = 0;
    while (e->m_rules->m_state == YGameRules::StateRun && e->m_rules->m_secondsLeft > 11) {
        Run(500, 500);
        fortyTicks += e->m_rules->m_secondsLeft == 40;
    }
    EXPECT_EQ(2, fortyTicks);
    EXPECT_EQ((Strings{"TimesUp 100 0"}), Lines("announce "));
    EXPECT_EQ(0, e->m_rules->m_timesUpPending);
    EXPECT_TRUE(Lines("sound ").empty());
    // From 10 seconds left down to 1, every tick asks for the warning.
    std::vector<int> asked;
    while (e->m_rules->m_state == YGameRules::StateRun) {
        const size_t before = Lines("sound ").size();
        Run(500, 500);
        if (Lines("sound ").size() > before) asked.push_back(e->m_rules->m_secondsLeft);
    }
    EXPECT_EQ((std::vector<int>{10, 10, 9, 9, 8, 8, 7, 7, 6, 6, 5, 5, 4, 4, 3, 3, 2, 2, 1, 1}), asked);
    for (const std::string& line : Lines("sound ")) EXPECT_EQ("Plane:pl-warn-low-gas 25 200 2", line);
    int held = 0;
    for (POSITION at = L().m_sounds.GetHeadPosition(); at;)
        held += strcmp(L().m_sounds.GetNext(at)->GetName(), "Plane:pl-warn-low-gas") == 0;
    EXPECT_LE(held, 2);
    EXPECT_GE(held, 1);
    EXPECT_EQ(0, O().m_sounds.GetCount());
    e->m_tunnixes->RemoveAll();
}

TEST_F(RulesFixture, NoLowGasWarningWithoutALocalPlane)
{
    e->m_localClient->m_plane = nullptr;
    m_world.SetViewActor(&O());
    Start("dogfight", 12);
    Run(3000 + 12000, 100, YGameRules::StatePost);
    EXPECT_EQ(YGameRules::StatePost, e->m_rules->m_state);
    EXPECT_TRUE(Lines("sound ").empty());
    EXPECT_EQ(0, O().m_sounds.GetCount());
    // Without a local plane the dogfight scores nothing.
    EXPECT_EQ(0, e->m_won);
    EXPECT_EQ(2, e->m_gameState.m_screenRequest);
}

TEST_F(RulesFixture, DogfightEnds)
{
    const struct {
        const char* what;
        bool localDown, opponentDown;
        int won;
        const char* event;       // the last event
        const char* botRow4;     // row 4's value after (the bot's entry lands there)
        int place;
    } cases[] = {
        // s = 50 seconds left; (50 + (5 - 2) * 4) * 5 = 310 for the player,
        // (50 + (5 - 1) * 4) * 5 = 330 for the bot.
        {"the opponent down", false, true, 1, "2", "200", 3},
        {"the local plane down", true, false, 0, "3", "200", 0},
        {"both down", true, true, 1, "1", "200", 0},
        {"by time", false, false, 0, "1", "200", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        L().m_hitCount = 2;
        O().m_hitCount = 1;
        Start("dogfight", 60);
        EXPECT_EQ(0, e->m_rules->m_timesUpPending);
        Run(3000 + 10000, 100);
        if (c.localDown) Down(L());
        if (c.opponentDown) Down(O());
        Run(60000, 100, YGameRules::StatePost);
        ASSERT_EQ(YGameRules::StatePost, e->m_rules->m_state);
        const auto* dogfight = static_cast<YDogFightRules*>(e->m_rules);
        const bool byTime = !c.localDown && !c.opponentDown;
        EXPECT_EQ(byTime ? 0 : 50, dogfight->m_postSeconds);
        EXPECT_EQ(c.won, e->m_won);
        EXPECT_EQ(c.event, Lines("event ").back());
        Strings values;
        for (int i = 0; i < YGameConfig::ScoreRows; ++i) {
            YHighScore row;
            m_config.GetHighScore(YGameRules::TableDogfight, i, row);
            values.push_back((const char*)row.m_value);
        }
        if (c.opponentDown && !c.localDown) EXPECT_EQ((Strings{"500", "400", "310", "300", "200"}), values);
        else if (c.localDown && !c.opponentDown) EXPECT_EQ((Strings{"500", "400", "330", "300", "200"}), values);
        else EXPECT_EQ((Strings{"500", "400", "300", "200", "100"}), values);
        EXPECT_EQ(c.place, e->m_newEntryPlace);
        EXPECT_TRUE(Lines("announce ").empty()) << "no 40-second warning in a dogfight";
        EXPECT_EQ((Strings{"predogfight", "dogfight", "postdogfight"}), Screens());
        // The round over stops the music before its screen.
        Run(3000, 100);
        const Strings& log = rules_test::Log();
        ASSERT_GE(log.size(), 3u);
        EXPECT_EQ("music stop", log[log.size() - 3]);
        EXPECT_EQ("cmd layout s screen:game screens.scr:roundover", log[log.size() - 2]);
        EXPECT_EQ("cmd session demo", log.back());
        L().m_pendingRestart = L().m_restartReady = 0;
        O().m_pendingRestart = O().m_restartReady = 0;
    }
}

TEST_F(RulesFixture, APlaneIsDownOnlyWithBothBytes)
{
    Start("dogfight", 60);
    Run(3000 + 1000, 100);
    O().m_pendingRestart = 1;
    Run(1000, 100);
    EXPECT_EQ(YGameRules::StateRun, e->m_rules->m_state);
    O().m_pendingRestart = 0;
    O().m_restartReady = 1;
    Run(1000, 100);
    EXPECT_EQ(YGameRules::StateRun, e->m_rules->m_state);
    O().m_pendingRestart = 1;
    Run(100, 100);
    EXPECT_EQ(YGameRules::StatePost, e->m_rules->m_state);
}

TEST_F(RulesFixture, TunnixEnds)
{
    const struct {
        const char* what;
        bool emptied;
        int player, bot;
        int won;
        const char* event;
        Strings values;
    } cases[] = {
        {"the last ball banked, the player ahead", true, 420, 150, 1, "2", {"500", "420", "400", "300", "200"}},
        {"by time, the bot ahead", false, 120, 450, 0, "3", {"500", "450", "400", "300", "200"}},
        {"a tie is the player's", true, 250, 250, 1, "2", {"500", "400", "300", "250", "250"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        YTunnix ball;
        e->m_tunnixes->AddTail(&ball);
        e->m_tunnixes->AddTail(static_cast<YTunnix*>(nullptr));  // a ball already taken
        Start("tunnix", 30);
        Run(3000 + 5000, 100);
        EXPECT_EQ(YGameRules::StateRun, e->m_rules->m_state) << "a ball is left";
        L().m_score = c.player;
        O().m_score = c.bot;
        if (c.emptied) e->m_tunnixes->SetAt(e->m_tunnixes->GetHeadPosition(), nullptr);
        const uint32_t emptied = m_clock;
        Run(60000, 100, YGameRules::StatePost);
        ASSERT_EQ(YGameRules::StatePost, e->m_rules->m_state);
        // The list is looked at every three seconds.
        if (c.emptied) EXPECT_LE(m_clock - emptied, 3000u);
        else EXPECT_EQ(3000u + 30000u, m_clock - 1000u);
        auto* tunnix = static_cast<YTunnixRules*>(e->m_rules);
        EXPECT_EQ(c.player, tunnix->m_playerScore);
        EXPECT_EQ(c.bot, tunnix->m_botScore);
        EXPECT_EQ(c.won, e->m_won);
        EXPECT_EQ(c.event, Lines("event ").back());
        Strings values;
        for (int i = 0; i < YGameConfig::ScoreRows; ++i) {
            YHighScore row;
            m_config.GetHighScore(YGameRules::TableTunnix, i, row);
            values.push_back((const char*)row.m_value);
        }
        EXPECT_EQ(c.values, values);
        EXPECT_EQ((Strings{"pretunnix", "tunnix", "posttunnix"}), Screens());
        e->m_tunnixes->RemoveAll();
    }
}

namespace {
// Counts the balloons let go at the end of the first run.
class CountingBalloonDrop : public YBalloonDropRules {
public:
    std::vector<YBalloon*> m_released;

protected:
    void ReleaseBalloon(YBalloon* balloon) override { m_released.push_back(balloon); }
};
}  // namespace

TEST_F(RulesFixture, BalloonDropMidRoundReleasesWhatIsStillUp)
{
    YBalloon up, going;
    going.MarkForDestruction();
    e->m_balloons->AddTail(&up);
    e->m_balloons->AddTail(static_cast<YBalloon*>(nullptr));
    e->m_balloons->AddTail(&going);
    auto* rules = new CountingBalloonDrop;
    e->m_rules = rules;
    rules->m_roundSeconds = 20;
    rules->EnterPre();
    L().m_balloons = 1;
    Run(3000 + 20000, 100, YGameRules::StateMid);
    ASSERT_EQ(YGameRules::StateMid, rules->m_state);
    EXPECT_EQ(std::vector<YBalloon*>{&up}, rules->m_released);
    EXPECT_EQ((Strings{"preballoondrop", "balloondrop", "midballoondrop"}), Screens());
    Run(3000, 100, YGameRules::StateSecondRun);
    EXPECT_EQ(YGameRules::StateSecondRun, rules->m_state);
    EXPECT_EQ(20, rules->m_phaseLength);
    EXPECT_EQ(1, rules->m_timesUpPending);
    e->m_balloons->RemoveAll();
}

TEST_F(RulesFixture, BalloonDropSecondRunEnds)
{
    const struct {
        const char* what;
        int how;  // 0 every target hit by both, 1 nothing left to drop, 2 by time
        int localScore, localBalloons, botScore, botBalloons;
        int won;
        const char* event;
        int place;
    } cases[] = {
        // The bot's 210 enters first, at row 4; the player's 330 then at row 3.
        {"every target hit by both", 0, 300, 3, 200, 1, 1, "2", 3},
        {"both planes empty, then a delay", 1, 100, 0, 250, 0, 0, "3", 0},
        // 210 each: the player's goes below the bot's equal entry.
        {"by time, a tie is the player's", 2, 200, 1, 210, 0, 1, "2", 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        YTarget first, second;
        e->m_targets->AddTail(&first);
        e->m_targets->AddTail(static_cast<YTarget*>(nullptr));
        e->m_targets->AddTail(&second);
        Start("balloon", 30);
        L().m_balloons = 2;  // kept after the first run
        O().m_balloons = 1;
        L().m_cameraMode = 1;
        L().m_cameraBlendStart = 77;
        // No balloon is listed: the first run ends at its first check.
        Run(3000 + 3000, 100, YGameRules::StateMid);
        EXPECT_EQ(YGameRules::StateMid, e->m_rules->m_state);
        Run(3000, 100, YGameRules::StateSecondRun);
        ASSERT_EQ(YGameRules::StateSecondRun, e->m_rules->m_state);
        Run(2000, 100);
        const uint32_t decided = m_clock;
        if (c.how == 0) {
            first.m_hitByBot = first.m_hitByPlayer = 1;
            second.m_hitByBot = 1;
            Run(6000, 100);
            EXPECT_EQ(YGameRules::StateSecondRun, e->m_rules->m_state) << "one target still wants the player";
            second.m_hitByPlayer = 1;
        } else if (c.how == 1) {
            L().m_balloons = 0;
            O().m_balloons = 0;
        } else {
            first.m_hitByBot = 1;  // not by both
        }
        L().m_score = c.localScore;
        L().m_balloons = c.localBalloons;
        O().m_score = c.botScore;
        O().m_balloons = c.botBalloons;
        Run(60000, 100, YGameRules::StatePost);
        ASSERT_EQ(YGameRules::StatePost, e->m_rules->m_state);
        if (c.how == 1) {
            // At most a check after both are empty, then three seconds more.
            EXPECT_GE(m_clock - decided, 3000u);
            EXPECT_LE(m_clock - decided, 3000u + 3100u);
        }
        if (c.how == 2) {
            EXPECT_EQ(30000u, m_clock - decided + 2000u);
        }
        EXPECT_EQ(c.won, e->m_won);
        EXPECT_EQ(c.event, Lines("event ").back());
        EXPECT_EQ(c.place, e->m_newEntryPlace);
        EXPECT_EQ(3, L().m_cameraMode);
        EXPECT_EQ(0u, L().m_cameraBlendStart);
        EXPECT_EQ((Strings{"preballoondrop", "balloondrop", "midballoondrop", "balloondrop", "postballoondrop"}),
                  Screens());
        Run(3000, 100);
        EXPECT_EQ(YGameRules::StateOver, e->m_rules->m_state);
        EXPECT_EQ(1, Count("cmd session demo"));
        e->m_targets->RemoveAll();
        L().m_cameraMode = 3;
    }
}

TEST_F(RulesFixture, BalloonDropWithNothingToDropEndsAfterTheMidRound)
{
    Start("balloon", 30);
    e->m_won = 1;
    L().m_balloons = 0;
    Run(3000 + 3000, 100, YGameRules::StateMid);
    ASSERT_EQ(YGameRules::StateMid, e->m_rules->m_state);
    Run(3000, 100, YGameRules::StateOver);
    EXPECT_EQ(YGameRules::StateOver, e->m_rules->m_state);
    EXPECT_EQ(0, e->m_won);
    EXPECT_EQ((Strings{"preballoondrop", "balloondrop", "midballoondrop"}), Screens());
    EXPECT_EQ(1, Count("cmd session demo"));
    EXPECT_EQ(0, Count("music stop")) << "no post-round phase";
}

TEST_F(RulesFixture, BalloonDropReadsTheViewActorsBalloonsOnlyWhenItIsAPlane)
{
    const struct {
        const char* what;
        bool viewOpponent;
        int secondRun;
    } cases[] = {
        {"the view plane carries one", true, 1},  // the opponent carries 1, the local plane 0
        {"a view actor that is no plane: the local plane's count", false, 0},
    };
    YActor camera;  // no plane kind bit
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        m_world.SetViewActor(c.viewOpponent ? static_cast<YActor*>(&O()) : &camera);
        L().m_balloons = 0;
        O().m_balloons = 1;
        Start("balloon", 30);
        Run(3000 + 3000, 100, YGameRules::StateMid);
        Run(3000, 100, YGameRules::StateSecondRun);
        EXPECT_EQ(c.secondRun ? YGameRules::StateSecondRun : YGameRules::StateOver, e->m_rules->m_state);
        m_world.SetViewActor(nullptr);
    }
}

TEST_F(RulesFixture, BalloonDropModeEventScoresAndAddsABalloon)
{
    Start("balloon", 30);
    O().m_score = 120;
    O().m_balloons = 3;
    L().m_score = 5;
    L().m_balloons = 1;
    e->m_rules->ModeEvent();
    EXPECT_EQ(YGameRules::StateSecondRun, e->m_rules->m_state);
    EXPECT_EQ(5, e->m_rules->m_phaseLength);
    EXPECT_EQ(1, e->m_rules->m_timesUpPending);
    EXPECT_EQ(120 + 30 + 500, L().m_score);
    EXPECT_EQ(2, L().m_balloons);
    EXPECT_EQ("balloondrop", Screens().back());
    // Without an opponent only the run starts.
    e->m_opponentPlane = nullptr;
    e->m_rules->ModeEvent();
    EXPECT_EQ(650, L().m_score);
    EXPECT_EQ(2, L().m_balloons);
    // Its second run ends after five seconds.
    Run(5000, 100, YGameRules::StatePost);
    EXPECT_EQ(YGameRules::StatePost, e->m_rules->m_state);
}

TEST_F(RulesFixture, BalloonDropWithoutAnOpponentScoresTheBotNothing)
{
    e->m_opponentPlane = nullptr;
    Start("balloon", 30);
    L().m_balloons = 1;
    L().m_score = 0;
    Run(3000 + 3000, 100, YGameRules::StateMid);
    Run(3000, 100, YGameRules::StateSecondRun);
    ASSERT_EQ(YGameRules::StateSecondRun, e->m_rules->m_state);
    Run(60000, 100, YGameRules::StatePost);
    EXPECT_EQ(1, e->m_won);
    EXPECT_EQ("2", Lines("event ").back());
}

TEST_F(RulesFixture, PracticeNeverEndsByItself)
{
    Start("airrace", 20, 1);
    EXPECT_EQ(10, e->m_rules->m_phaseLength);
    Run(9900, 100);
    EXPECT_EQ(YGameRules::StatePre, e->m_rules->m_state);
    Run(100, 100);
    EXPECT_EQ(YGameRules::StateRun, e->m_rules->m_state);
    EXPECT_EQ(m_clock, e->m_rules->m_phaseStart);
    Run(600000, 1000);
    EXPECT_EQ(YGameRules::StateRun, e->m_rules->m_state);
    e->m_rules->EnterPost();
    EXPECT_EQ(YGameRules::StatePost, e->m_rules->m_state);
    EXPECT_EQ(5, e->m_rules->m_phaseLength);
    Run(60000, 1000);
    EXPECT_EQ(YGameRules::StatePost, e->m_rules->m_state) << "no round over in practice";
    EXPECT_EQ((Strings{"prepractice", "practice", "postdogfight"}), Screens());
    EXPECT_TRUE(Lines("event ").empty());
    EXPECT_TRUE(Lines("music").empty());
    EXPECT_TRUE(Lines("sound ").empty());
    EXPECT_EQ(0, Count("cmd session demo"));
    EXPECT_EQ(-1, e->m_gameState.m_screenRequest) << "no high scores";
}

TEST_F(RulesFixture, ACelebratedWinIsScoredOnce)
{
    Start("tunnix", 30);
    Run(3000 + 100, 100, YGameRules::StatePost);
    ASSERT_EQ(YGameRules::StatePost, e->m_rules->m_state);
    EXPECT_EQ(1, e->m_rules->m_celebrated);
    EXPECT_EQ(2, e->m_gameState.m_screenRequest);
    e->m_gameState.m_screenRequest = -1;
    e->m_rules->EnterPost();
    EXPECT_EQ(-1, e->m_gameState.m_screenRequest) << "no second high-score update";
}

TEST_F(RulesFixture, WhileACelebrationRunsTheRoundOverWaits)
{
    Start("dogfight", 30);
    Run(3000 + 1000, 100);
    e->m_celebrating = 1;
    Down(O());
    Run(100, 100);
    ASSERT_EQ(YGameRules::StatePost, e->m_rules->m_state);
    EXPECT_EQ((Strings{"predogfight", "dogfight"}), Screens()) << "no post-round screen";
    const float before = OverlayRed();
    Run(3000, 100);
    EXPECT_EQ(YGameRules::StatePost, e->m_rules->m_state) << "back to the post-round phase";
    EXPECT_EQ(120, e->m_rules->m_phaseLength);
    EXPECT_EQ(before, OverlayRed()) << "no fade";
    EXPECT_EQ(0, Count("cmd session demo"));
    e->m_celebrating = 0;
    Run(120000, 1000, YGameRules::StateOver);
    EXPECT_EQ(YGameRules::StateOver, e->m_rules->m_state);
    EXPECT_EQ(1, Count("cmd session demo"));
}

TEST_F(RulesFixture, ARoundWithoutTimeShowsNoRunScreen)
{
    Start("dogfight", 0);
    Run(3000, 100, YGameRules::StatePost);
    EXPECT_EQ(YGameRules::StatePost, e->m_rules->m_state);
    EXPECT_EQ((Strings{"predogfight", "postdogfight"}), Screens());
    EXPECT_EQ(0, Count("music play 0"));
}

TEST_F(RulesFixture, TheEngineForgetsTheWinnerAndTheWaypoint)
{
    Start("airrace", 30);
    auto waypoint = std::make_unique<YWaypoint>();
    e->m_rules->m_currentWaypoint = waypoint.get();
    e->m_winnerPlane = &L();
    e->ForgetActor(waypoint.get());
    EXPECT_EQ(nullptr, e->m_rules->m_currentWaypoint);
    EXPECT_EQ(&L(), e->m_winnerPlane);
    e->ForgetActor(&L());
    EXPECT_EQ(nullptr, e->m_winnerPlane);
}
