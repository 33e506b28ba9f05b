// The bot pilots: the manoeuvre set, the brain's steering rules, the five
// skill classes' constants, the bot plane's own flight step and set-up, the
// target choice per task and the bear brain, in a world without a map.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <typeinfo>
#include <vector>

#include "engine/YGameConfig.h"
#include "game/ModeActorsFixture.h"
#include "game/YActorServices.h"
#include "game/YBotAI.h"
#include "game/YBotAIBear.h"
#include "game/YBotAIEasy.h"
#include "game/YBotAIEasyMedium.h"
#include "game/YBotAIHard.h"
#include "game/YBotAIMedium.h"
#include "game/YBotAIMediumHard.h"
#include "game/YBotPlane.h"
#include "game/YClientInfo.h"
#include "game/YClientPhysics.h"
#include "game/YManeuvers.h"

namespace {

// Presses seen by the recording verb table: verb id, value, phase.
struct Press {
    int verb;
    float value;
    uint32_t clock;
    int phase;
    std::string argument;
};
std::vector<Press> g_presses;

template <int Verb>
void Record(uint32_t clock, float dt, YClientInfo*, const char* argument, int phase)
{
    g_presses.push_back({Verb, dt, clock, phase, argument ? argument : "?"});
}
const YControlVerb kRecording[] = {
    {8, Record<8>}, {9, Record<9>}, {10, Record<10>}, {11, Record<11>}, {0, nullptr},
};

std::vector<int> Verbs()
{
    std::vector<int> out;
    for (const Press& p : g_presses) out.push_back(p.verb);
    return out;
}

class Bots : public ModeActors {
protected:
    void SetUp() override
    {
        ModeActors::SetUp();
        m_savedConfig = e->m_gameConfig;
        e->m_gameConfig = &m_config;
        m_config.m_gameLevel = 0;
        m_savedClock = e->m_gameClock;
        e->m_gameClock = 10000;
        g_presses.clear();
    }
    void TearDown() override
    {
        e->m_gameConfig = m_savedConfig;
        e->m_gameClock = m_savedClock;
        ModeActors::TearDown();
    }
    // A bot plane of the task at the level, airborne and level at 30 m/s,
    // its verbs recorded.
    YBotPlane* Bot(int task = YBotAI::TaskAirRace, int level = 0)
    {
        m_config.m_gameLevel = level;
        YBotPlane* bot = new YBotPlane(task);
        bot->m_flagsB &= ~YActor::FlagOnGround;
        bot->m_position = YVector(100.0f, 50.0f, 100.0f);
        bot->m_velocity = YVector(0.0f, 0.0f, 30.0f);
        bot->m_maneuvers->m_table = kRecording;
        return bot;
    }
    YGameConfig m_config;
    YGameConfig* m_savedConfig = nullptr;
    uint32_t m_savedClock = 0;
};

}  // namespace

// ---------------------------------------------------------------- the manoeuvre set

TEST_F(Bots, ManoeuvreSetPressesOnceWithClockZeroAndNoRelease)
{
    YPlane* plane = Plane();
    YManeuvers set(plane);
    ASSERT_NE(set.m_pilot, nullptr);
    EXPECT_EQ(set.m_pilot->m_bodyActor, plane);
    EXPECT_EQ(set.m_pilot->m_controlledPlane, plane);
    EXPECT_EQ(set.m_pilot->m_aimActor, plane);
    set.m_table = kRecording;
    set.TRight(0.02f);
    set.TLeft(0.03f);
    set.LUp(0.04f);
    set.LDown(0.05f);
    ASSERT_EQ(g_presses.size(), 4u);
    const int verbs[] = {8, 9, 10, 11};
    const float values[] = {0.02f, 0.03f, 0.04f, 0.05f};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(g_presses[i].verb, verbs[i]);
        EXPECT_FLOAT_EQ(g_presses[i].value, values[i]);
        EXPECT_EQ(g_presses[i].clock, 0u);
        EXPECT_EQ(g_presses[i].phase, 1);
        EXPECT_EQ(g_presses[i].argument, "");
    }
    EXPECT_FALSE(set.Press(77, 0.1f)) << "a verb missing from the table";
    EXPECT_EQ(g_presses.size(), 4u);
}

TEST_F(Bots, ManoeuvreSetWithoutActorHasNoPilotAndPressesNothing)
{
    YManeuvers set(nullptr);
    EXPECT_EQ(set.m_pilot, nullptr);
    set.m_table = kRecording;
    set.TRight(0.1f);
    EXPECT_TRUE(g_presses.empty());
    const YControlVerb empty[] = {{0, nullptr}};
    YManeuvers other(Plane());
    other.m_table = empty;
    EXPECT_FALSE(other.Press(8, 0.1f));
}

// ---------------------------------------------------------------- skill classes

TEST_F(Bots, SkillTablePerClass)
{
    const struct {
        int skill;
        const std::type_info& type;
        float roll;         // R
        int spreadMax;      // 75 + rand() mod N reaches at most 75 + N - 1
        float cone, range;  // fire
        int throttle;       // dogfight cruise level (hard: its own rule)
        uint32_t period;    // look-ahead
        float deadBand;
        int rearmOneIn;
    } rows[] = {
        {0, typeid(YBotAIEasy), 66.0f, 76, 10.0f, 5.0f, 127, 500, 6.0f, 5},
        {1, typeid(YBotAIEasyMedium), 72.0f, 78, 8.0f, 10.0f, 153, 400, 5.0f, 4},
        {2, typeid(YBotAIMedium), 78.0f, 81, 6.0f, 15.0f, 179, 300, 4.0f, 3},
        {3, typeid(YBotAIMediumHard), 84.0f, 84, 4.0f, 20.0f, 205, 200, 3.0f, 2},
        {4, typeid(YBotAIHard), 90.0f, 87, 2.0f, 25.0f, -1, 100, 2.0f, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.skill);
        YBotPlane* bot = Bot(YBotAI::TaskDogfight, row.skill * 2 + 1);
        YBotAI* brain = bot->GetBrain();
        ASSERT_NE(brain, nullptr);
        EXPECT_EQ(typeid(*brain), row.type);
        EXPECT_EQ(brain->m_skill, row.skill);

        // R: the turn-around rolls to it (inside the 5-degree band it is set).
        brain->m_turning = 0;
        brain->m_manoeuvreSide = 0;
        bot->m_angles.z = row.roll + 2.0f;
        brain->TurnAround(YVector(0.0f, 0.0f, row.roll + 2.0f));
        EXPECT_FLOAT_EQ(bot->m_angles.z, row.roll);

        // N: the random roll spread, over many seeded draws.
        int highest = 0, lowest = 999;
        for (int seed = 0; seed < 200; ++seed) {
            brain->m_turning = 0;
            // Rolled just inside the band of each value 75..88: the value
            // drawn is the one the roll is set to.
            for (float v = 75.0f; v <= 88.0f; v += 1.0f) {
                bot->m_angles.z = v + 0.5f;
                srand(seed);
                brain->m_lastRandomSide = -1;
                brain->RandomManoeuvre(YVector(0.0f, 0.0f, v + 0.5f));
                if (bot->m_angles.z == v) {
                    highest = std::max(highest, static_cast<int>(v));
                    lowest = std::min(lowest, static_cast<int>(v));
                }
            }
        }
        EXPECT_EQ(lowest, 75);
        EXPECT_EQ(highest, row.spreadMax);

        // Fire cone and range, at a plane target.
        YPlane* enemy = Plane();
        bot->GetBrain()->m_target = enemy;
        bot->m_ammo = 100;
        const int before = bot->m_paintballsFired;
        enemy->m_position = bot->m_position + YVector(0.0f, 0.0f, row.range - 0.5f);
        brain->m_yawToAim = row.cone - 0.5f;
        bot->m_shotTimer = 0;
        brain->TryFire();
        EXPECT_EQ(bot->m_paintballsFired, before + 1) << "inside cone and range";
        e->m_gameClock += 10000;
        bot->Update(0.0f);
        brain->m_yawToAim = row.cone + 0.5f;
        brain->TryFire();
        enemy->m_position = bot->m_position + YVector(0.0f, 0.0f, row.range + 0.5f);
        brain->m_yawToAim = 0.0f;
        brain->TryFire();
        EXPECT_EQ(bot->m_paintballsFired, before + 1) << "outside the cone or the range";

        // Throttle of the dogfight.
        brain->m_manoeuvreSide = -1;
        brain->m_takingOff = 0;
        brain->SetThrottle();
        if (row.throttle >= 0) EXPECT_EQ(bot->m_engineLevel, row.throttle);
        brain->m_manoeuvreSide = 1;
        brain->SetThrottle();
        EXPECT_EQ(bot->m_engineLevel, row.skill == 4 ? 170 : 100) << "manoeuvre level (hard: never below cruise)";

        // Look-ahead period.
        brain->m_nextLookAhead = 0;
        brain->Think(0.02f);
        EXPECT_EQ(brain->m_nextLookAhead, e->m_gameClock + row.period);

        // Climb dead band.
        int turn = 0, climb = 0;
        bot->GetBrain()->m_target = enemy;
        brain->m_yawToAim = 0.0f;
        brain->m_pitchToAim = row.deadBand + 0.1f;
        brain->Choose(turn, climb, false);
        EXPECT_EQ(climb, YBotAI::ClimbUp);
        brain->m_pitchToAim = row.deadBand - 0.1f;
        brain->Choose(turn, climb, false);
        EXPECT_EQ(climb, YBotAI::ClimbNone);
        brain->m_pitchToAim = -row.deadBand - 0.1f;
        brain->Choose(turn, climb, false);
        EXPECT_EQ(climb, YBotAI::ClimbDown);

        // Re-arm chance of the 500 ms update: 1 in 5 - skill.
        int rearmed = 0;
        srand(99);
        for (int i = 0; i < 2000; ++i) {
            brain->m_manoeuvreAllowed = 0;
            brain->m_nextRetarget = 0;
            brain->Retarget();
            rearmed += brain->m_manoeuvreAllowed;
        }
        EXPECT_NEAR(rearmed / 2000.0, 1.0 / row.rearmOneIn, 0.04);
    }
}

TEST_F(Bots, SkillFromGameLevelOrOpponent)
{
    const struct {
        int level, opponent;
        int skill;
    } rows[] = {{0, 0, 0}, {1, 4, 0}, {2, 0, 1}, {3, 0, 1}, {4, 0, 2}, {5, 0, 2}, {6, 0, 3},
                {7, 0, 3}, {8, 0, 4}, {9, 0, 4}, {-1, 2, 2}, {-1, 0, 0}, {-1, 4, 4}};
    for (const auto& row : rows) {
        m_config.m_levelIndex = row.opponent;
        YBotPlane* bot = Bot(YBotAI::TaskAirRace, row.level);
        EXPECT_EQ(bot->GetSkill(), row.skill) << row.level << " " << row.opponent;
    }
    m_config.m_levelIndex = 2;
    YBotPlane* medium = Bot(YBotAI::TaskAirRace, -1);
    EXPECT_NE(dynamic_cast<YBotAIMedium*>(medium->GetBrain()), nullptr) << "the third opponent is a medium one";
    YBotPlane* mediumHard = Bot(YBotAI::TaskAirRace, 7);
    EXPECT_NE(dynamic_cast<YBotAIMediumHard*>(mediumHard->GetBrain()), nullptr) << "7 is medium-hard";
}

TEST_F(Bots, FreshBotStandsOnTheGroundAsTheOpponent)
{
    YBotPlane* bot = new YBotPlane(YBotAI::TaskDogfight);
    EXPECT_TRUE(bot->m_flagsB & YActor::FlagOnGround);
    EXPECT_EQ(bot->m_engineLevel, 0);
    EXPECT_EQ(e->m_opponentPlane, bot);
    EXPECT_EQ(bot->m_botFlown, 1);
    EXPECT_EQ(bot->m_nearTarget, 1);
    EXPECT_EQ(bot->m_task, YBotAI::TaskDogfight);
    EXPECT_EQ(bot->GetBrain()->m_task, YBotAI::TaskDogfight);
    EXPECT_EQ(bot->m_pilot->m_controlledPlane, bot);
    EXPECT_GE(m_world.IndexOf(bot), 0);
    bot->MarkForDestruction();
    Purge();
    EXPECT_EQ(e->m_opponentPlane, nullptr);

    // Without a world the set-up stops early: no brain, not the opponent.
    e->m_world = nullptr;
    YBotPlane loose(YBotAI::TaskAirRace);
    EXPECT_EQ(loose.GetBrain(), nullptr);
    EXPECT_EQ(e->m_opponentPlane, nullptr);
    e->m_world = &m_world;
    EXPECT_EQ(CRuntimeClass::FromName("YBotPlane") != nullptr, true) << "made by class name";
}

TEST_F(Bots, ModelChoiceByRand)
{
    for (int seed = 1; seed <= 12; ++seed) {
        srand(seed);
        const int r = rand() % 100;
        const int index = r < 20 ? 0 : r < 40 ? 1 : r < 60 ? 2 : r < 80 ? 3 : 4;
        srand(seed);
        YBotPlane* bot = new YBotPlane(YBotAI::TaskAirRace);
        EXPECT_EQ(std::string(bot->m_modelName), YBotPlane::kModels[index]) << seed;
        EXPECT_EQ(bot->m_isJet, index == 2 ? 1 : 0);
        EXPECT_EQ(std::string(bot->m_modelKey), index == 2 ? "f15plane" : "biplane");
    }
}

// ---------------------------------------------------------------- flight step

TEST_F(Bots, BankToYawIsPerStep)
{
    const struct {
        float roll, yawRate;
    } rows[] = {{90.0f, -36.0f}, {270.0f, 36.0f}, {0.0f, 0.0f}, {45.0f, -18.0f}, {180.0f, 0.0f}};
    for (float dt : {0.01f, 0.05f})
        for (const auto& row : rows) {
            YBotPlane* bot = Bot();
            bot->m_angles = YVector(0.0f, 0.0f, row.roll);
            bot->m_upsideDown = 0;
            bot->m_vectorB = YVector();
            bot->m_engineLevel = 0;
            bot->Fly(bot->GetSpeed(), dt);
            EXPECT_NEAR(bot->m_vectorB.y, row.yawRate, 1e-3) << row.roll << " dt " << dt;
        }
    // At the stall speed or below (gravity on) no bank turn.
    YBotPlane* slow = Bot();
    slow->m_velocity = YVector(0.0f, 0.0f, slow->GetHandling()->m_stallSpeed * 0.5f);
    slow->m_angles = YVector(0.0f, 0.0f, 90.0f);
    slow->Fly(slow->GetSpeed(), 0.02f);
    EXPECT_EQ(slow->m_vectorB.y, 0.0f);
}

TEST_F(Bots, PostMoveTurnsThePathTowardTheNose)
{
    YBotPlane* bot = Bot();
    bot->m_angles = YVector(0.0f, 90.0f, 0.0f);
    bot->m_velocity = YVector(0.0f, 0.0f, 20.0f);
    bot->PostMove(0.1f);
    EXPECT_NEAR(bot->m_velocity.Length(), 20.0f, 1e-3);
    EXPECT_GT(bot->m_velocity.x, 0.0f);
    bot->m_flagsB |= YPlane::FlagCrashing;
    const YVector before = bot->m_velocity;
    bot->PostMove(0.1f);
    EXPECT_EQ(bot->m_velocity, before);
}

// ---------------------------------------------------------------- steering

TEST_F(Bots, TurnChoiceFromAimAngles)
{
    const struct {
        float yaw;
        int turnSideBefore;
        float roll;
        float distSq;
        bool dogfight;
        int turn, turnSide;
        int turnAround, random;
        float rollAfter;
    } rows[] = {
        {45.0f, -1, 0.0f, 1e6f, false, YBotAI::TurnLeft, 1, 0, 0, 0.0f},
        {-45.0f, -1, 0.0f, 1e6f, false, YBotAI::TurnRight, 0, 0, 0, 0.0f},
        {5.0f, 1, 3.0f, 1e6f, false, YBotAI::TurnNone, 1, 0, 0, 0.0f},   // wings level: roll := 0
        {5.0f, 1, 30.0f, 1e6f, false, YBotAI::TurnRight, 1, 0, 0, 30.0f},
        {-5.0f, 0, 30.0f, 1e6f, false, YBotAI::TurnLeft, 0, 0, 0, 30.0f},
        {5.0f, -1, 30.0f, 1e6f, false, YBotAI::TurnNone, -1, 0, 0, 30.0f},
        {150.0f, 1, 0.0f, 100.0f, true, YBotAI::TurnNone, -1, 0, 1, 0.0f},
        {150.0f, 1, 0.0f, 100.0f, false, YBotAI::TurnNone, -1, 1, 0, 0.0f},
        {100.0f, 1, 0.0f, 1e6f, true, YBotAI::TurnNone, -1, 1, 0, 0.0f},
    };
    for (const auto& row : rows) {
        YBotPlane* bot = Bot();
        YBotAI* brain = bot->GetBrain();
        bot->GetBrain()->m_target = Plane();
        brain->m_yawToAim = row.yaw;
        brain->m_pitchToAim = 0.0f;
        brain->m_turnSide = row.turnSideBefore;
        brain->m_targetDistSq = row.distSq;
        bot->m_angles.z = row.roll;
        int turn = -1, climb = -1;
        EXPECT_TRUE(brain->Choose(turn, climb, row.dogfight));
        EXPECT_EQ(turn, row.turn) << row.yaw;
        EXPECT_EQ(brain->m_turnSide, row.turnSide) << row.yaw;
        EXPECT_EQ(brain->m_turnAroundWanted, row.turnAround) << row.yaw;
        EXPECT_EQ(brain->m_randomWanted, row.random) << row.yaw;
        EXPECT_FLOAT_EQ(bot->m_angles.z, row.rollAfter) << row.yaw;
    }
    // Without a target: false, no steering.
    YBotPlane* lost = Bot();
    lost->GetBrain()->m_target = nullptr;
    int turn = 0, climb = 0;
    EXPECT_FALSE(lost->GetBrain()->Choose(turn, climb, false));
}

TEST_F(Bots, RollAndPitchRoutines)
{
    const struct {
        const char* routine;
        float value, current;
        int verb;  // -1: the angle is set
        float set;
    } rows[] = {
        {"roll+", 60.0f, 70.0f, 8, 0.0f},   {"roll+", 60.0f, 65.0f, 8, 0.0f},  {"roll+", 60.0f, 60.0f, 9, 0.0f},
        {"roll+", 60.0f, 62.0f, -1, 60.0f}, {"roll-", 60.0f, -70.0f, 9, 0.0f}, {"roll-", 60.0f, -65.0f, 9, 0.0f},
        {"roll-", 60.0f, -50.0f, 8, 0.0f},  {"roll-", 60.0f, -62.0f, -1, 300.0f},
        {"pitch+", 45.0f, 10.0f, 11, 0.0f}, {"pitch+", 45.0f, 50.0f, -1, 45.0f},
        {"pitch-", 45.0f, 10.0f, 10, 0.0f}, {"pitch-", 45.0f, -50.0f, -1, 315.0f},
    };
    for (const auto& row : rows) {
        g_presses.clear();
        YBotPlane* bot = Bot();
        YBotAI* brain = bot->GetBrain();
        brain->m_frameTime = 0.02f;
        const std::string r = row.routine;
        const bool roll = r[0] == 'r';
        YVector angles;
        (roll ? angles.z : angles.x) = row.current;
        float& field = roll ? bot->m_angles.z : bot->m_angles.x;
        field = 123.0f;
        if (r == "roll+") brain->RollTo(row.value, angles);
        if (r == "roll-") brain->RollToNegative(row.value, angles);
        if (r == "pitch+") brain->PitchUpTo(row.value, angles);
        if (r == "pitch-") brain->PitchDownTo(row.value, angles);
        if (row.verb < 0) {
            EXPECT_TRUE(g_presses.empty()) << r << " " << row.current;
            EXPECT_FLOAT_EQ(field, row.set) << r << " " << row.current;
        } else {
            ASSERT_EQ(g_presses.size(), 1u) << r << " " << row.current;
            EXPECT_EQ(g_presses[0].verb, row.verb) << r << " " << row.current;
            EXPECT_FLOAT_EQ(g_presses[0].value, 0.02f);
            EXPECT_EQ(field, 123.0f);
        }
        if (roll) EXPECT_EQ(brain->m_rollSide, r == "roll+" ? 0 : 1);
    }
}

TEST_F(Bots, ReversedControlsSwapTurnAndClimb)
{
    for (int reversed : {0, 1}) {
        g_presses.clear();
        YBotPlane* bot = Bot(YBotAI::TaskAirRace, 8);
        YBotAI* brain = bot->GetBrain();
        YPlane* target = Plane();
        bot->GetBrain()->m_target = target;
        bot->m_reversed = static_cast<uint8_t>(reversed);
        bot->m_nearTarget = 0;
        // The target 45 degrees off the nose and above: turn code 3, climb 1.
        bot->m_angles = YVector();
        bot->m_vectorA = bot->m_position + YVector(30.0f, 20.0f, 30.0f);
        brain->m_nextLookAhead = ~0u;
        brain->m_altitude = 50.0f;
        brain->Think(0.02f);
        // Turn 3 with climb 1 rolls to -45 ("tright" from level); turn 4 with
        // climb 2 at 50 m rolls to +135 ("tleft").
        ASSERT_FALSE(g_presses.empty());
        EXPECT_EQ(g_presses[0].verb, reversed ? 9 : 8);
        EXPECT_EQ(brain->m_rollSide, reversed ? 0 : 1);
    }
}

TEST_F(Bots, TakeOffHeldUntilTheRoundRunsThenLiftsOffAtControlSpeed)
{
    YBotPlane* bot = Bot(YBotAI::TaskDogfight, 0);
    YBotAI* brain = bot->GetBrain();
    bot->m_flagsB |= YActor::FlagOnGround;
    bot->m_velocity = YVector();
    bot->GetBrain()->m_target = Plane();
    m_rules.m_state = YGameRules::StatePre;
    brain->Think(0.02f);
    EXPECT_EQ(brain->m_takingOff, 1);
    EXPECT_EQ(bot->m_engineLevel, 0) << "held before the round runs";
    m_rules.m_state = YGameRules::StateRun;
    brain->Think(0.02f);
    EXPECT_EQ(bot->m_engineLevel, 255);
    EXPECT_FALSE(bot->m_flagsB & YPlane::FlagLiftOffReady);
    bot->m_velocity = YVector(0.0f, 0.0f, bot->GetHandling()->m_minControlSpeed + 0.1f);
    g_presses.clear();
    brain->Think(0.02f);
    EXPECT_TRUE(bot->m_flagsB & YPlane::FlagLiftOffReady);
    ASSERT_FALSE(g_presses.empty());
    EXPECT_EQ(g_presses.back().verb, 11) << "pitches up";
    EXPECT_EQ(brain->m_takingOff, 1);
    bot->m_flagsB &= ~YActor::FlagOnGround;
    brain->m_altitude = 5.0f;
    brain->Think(0.02f);
    EXPECT_EQ(brain->m_takingOff, 1) << "5 m is not above 5 m";
    brain->m_altitude = 5.5f;
    brain->Think(0.02f);
    EXPECT_EQ(brain->m_takingOff, 0);
    EXPECT_EQ(brain->m_takeOffs, 1);
    EXPECT_EQ(bot->GetBrain()->m_target, nullptr) << "the dogfight drops its target on take-off";
}

TEST_F(Bots, ReleaseTestBounds)
{
    for (int skill = 0; skill <= 4; ++skill) {
        YBotPlane* bot = Bot(YBotAI::TaskBalloonDrop, skill * 2);
        YBotAI* brain = bot->GetBrain();
        YTarget* target = new YTarget;
        m_world.AddActor(target);
        bot->GetBrain()->m_target = target;
        const float v = 20.0f;
        bot->m_velocity = YVector(0.0f, 0.0f, v);
        const int spread = 5 - skill;
        const float always = v * (0.5f - 0.1f * spread) - 0.01f;
        const float never = v * (0.5f + 0.1f * spread) + 0.01f;
        int yes = 0;
        for (int seed = 0; seed < 100; ++seed) {
            srand(seed);
            target->m_position = bot->m_position + YVector(always, -30.0f, 0.0f);
            if (always > 0.0f) EXPECT_TRUE(brain->ReleaseTest()) << skill;
            else brain->ReleaseTest();
            target->m_position = bot->m_position + YVector(0.0f, 10.0f, never);
            EXPECT_FALSE(brain->ReleaseTest()) << skill;
            target->m_position = bot->m_position + YVector(0.0f, 0.0f, v * 0.5f - 0.01f);
            yes += brain->ReleaseTest();
        }
        EXPECT_GT(yes, 0);
        bot->GetBrain()->m_target = nullptr;
        EXPECT_FALSE(brain->ReleaseTest()) << "no target: 999999 m away";
    }
}

TEST_F(Bots, AimAnglesOfAZeroDirectionAreZero)
{
    const YVector at(10.0f, 20.0f, 30.0f);
    const YVector a = YBotAI::AimAngles(at, YVector(10.0f, 40.0f, 0.0f), at);
    EXPECT_EQ(a, YVector());
    const YVector right = YBotAI::AimAngles(YVector(), YVector(), YVector(10.0f, 0.0f, 10.0f));
    EXPECT_NEAR(right.y, 45.0f, 1e-3);
    EXPECT_NEAR(right.x, 0.0f, 1e-3);
    const YVector up = YBotAI::AimAngles(YVector(), YVector(0.0f, 90.0f, 0.0f), YVector(10.0f, 10.0f, 0.0f));
    EXPECT_NEAR(up.x, 45.0f, 1e-3);
    EXPECT_NEAR(up.y, 0.0f, 1e-3);
    // A bot resting at its own aim point (no target) steers with angles 0.
    YBotPlane* bot = Bot();
    bot->GetBrain()->m_target = bot;
    bot->m_vectorA = bot->m_position;
    int turn = 0, climb = 0;
    bot->GetBrain()->Decide(turn, climb);
    EXPECT_EQ(bot->GetBrain()->m_yawToAim, 0.0f);
    EXPECT_EQ(bot->GetBrain()->m_pitchToAim, 0.0f);
}

TEST_F(Bots, DisruptedBotNeitherSteersNorPresses)
{
    YBotPlane* bot = Bot(YBotAI::TaskAirRace, 8);
    bot->GetBrain()->m_target = Plane();
    bot->m_vectorA = bot->m_position + YVector(50.0f, 0.0f, 10.0f);
    bot->m_disrupted = 1;
    bot->GetBrain()->m_nextLookAhead = ~0u;
    bot->GetBrain()->Think(0.02f);
    EXPECT_TRUE(g_presses.empty());
}

// ---------------------------------------------------------------- target choice

TEST_F(Bots, EmptiedEntriesAreSkippedInEverySearch)
{
    YBotPlane* bot = Bot(YBotAI::TaskTunnix, 8);
    YBotAI* brain = bot->GetBrain();
    bot->m_angles = YVector();
    // First entries emptied (taken), then a live one ahead.
    e->m_balloons->AddTail(static_cast<YBalloon*>(nullptr));
    e->m_tunnixes->AddTail(static_cast<YTunnix*>(nullptr));
    e->m_goals->AddTail(static_cast<YGoal*>(nullptr));
    e->m_targets->AddTail(static_cast<YTarget*>(nullptr));
    e->m_powerUps->AddTail(static_cast<YPowerUp*>(nullptr));
    const YVector ahead = bot->m_position + YVector(0.0f, 0.0f, 100.0f);
    YBalloon* balloon = new YBalloon(nullptr, ahead, YBalloon::Red, true, 0.0f);
    YTunnix* ball = new YTunnix(ahead, YTunnix::Yellow, true);
    YGoal* goal = new YGoal;
    goal->m_position = ahead;
    YTarget* target = new YTarget;
    target->m_position = ahead;
    YPowerUp* ammo = new YPowerUp(ahead, YPowerUp::BBAmmo, true);
    for (YActor* a : std::initializer_list<YActor*>{balloon, ball, goal, target, ammo}) m_world.AddActor(a);
    e->m_balloons->AddTail(balloon);
    e->m_tunnixes->AddTail(ball);
    e->m_goals->AddTail(goal);
    e->m_targets->AddTail(target);
    e->m_powerUps->AddTail(ammo);
    EXPECT_EQ(brain->NearestBalloon(), balloon);
    EXPECT_EQ(brain->NearestTunnix(), ball);
    EXPECT_EQ(brain->NearestGoal(), goal);
    EXPECT_EQ(brain->NearestTarget(), target);
    EXPECT_EQ(brain->NearestAmmo(), ammo);
    // All emptied: nothing, and no fallback reads an empty entry.
    e->CreatePopulationLists();
    e->m_goals->AddTail(static_cast<YGoal*>(nullptr));
    e->m_targets->AddTail(static_cast<YTarget*>(nullptr));
    EXPECT_EQ(brain->NearestGoal(), nullptr);
    EXPECT_EQ(brain->NearestTarget(), nullptr);
    EXPECT_EQ(brain->NearestBalloon(), nullptr);
}

TEST_F(Bots, NearestSearchesAndTheirFallbacks)
{
    YBotPlane* bot = Bot(YBotAI::TaskBalloonDrop, 8);
    YBotAI* brain = bot->GetBrain();
    bot->m_angles = YVector();
    auto goalAt = [&](const YVector& offset) {
        YGoal* g = new YGoal;
        g->m_position = bot->m_position + offset;
        m_world.AddActor(g);
        e->m_goals->AddTail(g);
        return g;
    };
    YGoal* behind = goalAt(YVector(0.0f, 0.0f, -100.0f));  // out of sight
    YGoal* far = goalAt(YVector(0.0f, 0.0f, 200.0f));
    YGoal* near = goalAt(YVector(10.0f, 0.0f, 100.0f));
    EXPECT_EQ(brain->NearestGoal(), near) << "a later, nearer visible one replaces the first";
    near->m_position = bot->m_position + YVector(0.0f, 0.0f, -120.0f);
    far->m_position = bot->m_position + YVector(0.0f, 0.0f, -200.0f);
    EXPECT_EQ(brain->NearestGoal(), behind) << "none visible: the first goal";

    // Ground targets: hit ones never qualify; with none open the first.
    auto targetAt = [&](const YVector& offset, bool hit) {
        YTarget* t = new YTarget;
        t->m_position = bot->m_position + offset;
        t->m_hitByBot = hit ? 1 : 0;
        m_world.AddActor(t);
        e->m_targets->AddTail(t);
        return t;
    };
    YTarget* hit = targetAt(YVector(0.0f, -40.0f, 60.0f), true);
    YTarget* open = targetAt(YVector(0.0f, -40.0f, 150.0f), false);
    EXPECT_EQ(brain->NearestTarget(), open);
    open->m_hitByBot = 1;
    EXPECT_EQ(brain->NearestTarget(), hit) << "fallback: the first target";
}

TEST_F(Bots, DogfightDropTableOfTheEasySkills)
{
    const struct {
        int skill, hits;
        int keptMin, keptMax;  // of 1000 retargets
    } rows[] = {
        {0, 0, 0, 0},     {1, 0, 0, 0},       {0, 1, 340, 460},   {0, 2, 540, 660},
        {0, 3, 740, 860}, {0, 4, 975, 1000}, {0, 5, 1000, 1000}, {2, 0, 1000, 1000},
    };
    YPlane* player = LocalPlane();
    player->m_position = YVector(100.0f, 50.0f, 300.0f);
    for (const auto& row : rows) {
        YBotPlane* bot = Bot(YBotAI::TaskDogfight, row.skill * 2);
        YBotAI* brain = bot->GetBrain();
        bot->m_hitCount = row.hits;
        bot->m_ammo = 5;
        int kept = 0;
        srand(4);
        for (int i = 0; i < 1000; ++i) {
            bot->GetBrain()->m_target = nullptr;
            brain->ChooseDogfight();
            kept += bot->GetBrain()->m_target == player;
        }
        EXPECT_GE(kept, row.keptMin) << row.skill << " hits " << row.hits;
        EXPECT_LE(kept, row.keptMax) << row.skill << " hits " << row.hits;
    }
}

TEST_F(Bots, OutOfAmmunitionHeadsForAmmunition)
{
    YPlane* player = LocalPlane();
    player->m_position = YVector(100.0f, 50.0f, 300.0f);
    YBotPlane* bot = Bot(YBotAI::TaskDogfight, 8);
    YBotAI* brain = bot->GetBrain();
    bot->m_angles = YVector();
    YPowerUp* tornado = new YPowerUp(bot->m_position + YVector(0.0f, 0.0f, 60.0f), YPowerUp::Tornado, true);
    YPowerUp* ammo = new YPowerUp(bot->m_position + YVector(20.0f, 0.0f, 120.0f), YPowerUp::BBAmmo, true);
    for (YPowerUp* p : {tornado, ammo}) {
        m_world.AddActor(p);
        e->m_powerUps->AddTail(p);
    }
    bot->m_vectorA = bot->m_position;  // no detour range
    bot->m_ammo = 3;
    brain->UpdateTarget();
    EXPECT_EQ(bot->GetBrain()->m_target, player);
    bot->m_ammo = 0;
    bot->m_vectorA = bot->m_position;
    brain->UpdateTarget();
    EXPECT_EQ(bot->GetBrain()->m_target, ammo) << "the nearer tornado is not ammunition";
    EXPECT_EQ(bot->m_vectorA, ammo->m_position);
}

TEST_F(Bots, TunnixBotBanksFiveBallsAtTheNearestGoal)
{
    YBotPlane* bot = Bot(YBotAI::TaskTunnix, 8);
    YBotAI* brain = bot->GetBrain();
    bot->m_angles = YVector();
    YTunnix* ball = new YTunnix(bot->m_position + YVector(0.0f, 0.0f, 40.0f), YTunnix::Yellow, true);
    YGoal* goal = new YGoal;
    goal->m_position = bot->m_position + YVector(0.0f, 0.0f, 150.0f);
    m_world.AddActor(ball);
    m_world.AddActor(goal);
    e->m_tunnixes->AddTail(ball);
    e->m_goals->AddTail(goal);
    bot->m_heldPowerUp = nullptr;
    bot->m_tunnixCount = 4;
    brain->UpdateTarget();
    EXPECT_EQ(bot->GetBrain()->m_target, ball);
    bot->m_tunnixCount = 5;
    brain->UpdateTarget();
    EXPECT_EQ(bot->GetBrain()->m_target, goal);
    // No ball left: the goal.
    bot->m_tunnixCount = 1;
    e->m_tunnixes->SetAt(e->m_tunnixes->GetHeadPosition(), nullptr);
    brain->UpdateTarget();
    EXPECT_EQ(bot->GetBrain()->m_target, goal);
}

TEST_F(Bots, FlashedRaceBotFliesLevelAndResumesItsWaypoint)
{
    YBotPlane* bot = Bot(YBotAI::TaskAirRace, 8);
    YBotAI* brain = bot->GetBrain();
    bot->m_heldPowerUp = nullptr;
    std::vector<YWaypoint*> course;
    for (int i = 0; i < 3; ++i) {
        YWaypoint* w = new YWaypoint;
        w->m_position = bot->m_position + YVector(0.0f, 0.0f, 100.0f * (i + 1));
        m_world.AddActor(w);
        e->m_waypoints->AddTail(w);
        course.push_back(w);
    }
    brain->UpdateTarget();
    EXPECT_EQ(bot->GetBrain()->m_target, course[1]) << "the second waypoint of the list";
    bot->m_flashed = 1;
    brain->UpdateTarget();
    EXPECT_EQ(bot->GetBrain()->m_target, bot);
    EXPECT_EQ(bot->m_vectorA, bot->m_position);
    EXPECT_EQ(brain->m_savedTarget, course[1]);
    g_presses.clear();
    bot->m_angles = YVector(0.0f, 0.0f, 0.0f);
    brain->m_nextLookAhead = ~0u;
    brain->Think(0.02f);
    EXPECT_TRUE(g_presses.empty()) << "flies level";
    bot->m_flashed = 0;
    brain->UpdateTarget();
    EXPECT_EQ(bot->GetBrain()->m_target, course[1]);

    // Fewer than two waypoints: no target, and nothing fails.
    e->CreatePopulationLists();
    e->m_waypoints->AddTail(course[0]);
    brain->m_savedTarget = nullptr;
    bot->GetBrain()->m_target = nullptr;
    brain->UpdateTarget();
    EXPECT_EQ(bot->GetBrain()->m_target, bot);
}

TEST_F(Bots, NoRulesReadsAsStateZero)
{
    e->m_rules = nullptr;
    YBotPlane* bot = Bot(YBotAI::TaskBalloonDrop, 4);
    YBalloon* balloon = new YBalloon(nullptr, bot->m_position + YVector(0.0f, 0.0f, 50.0f), YBalloon::Red, true, 0.0f);
    m_world.AddActor(balloon);
    e->m_balloons->AddTail(balloon);
    e->m_localClient->m_plane = nullptr;
    bot->GetBrain()->UpdateTarget();
    EXPECT_EQ(bot->GetBrain()->m_target, bot) << "balloon drop outside states 2 and 4: no target";
    bot->GetBrain()->Think(0.02f);
    e->m_rules = &m_rules;
}

TEST_F(Bots, TargetsAreForgottenWhenTheyGo)
{
    YBotPlane* bot = Bot(YBotAI::TaskBalloonDrop, 4);
    YBotAI* brain = bot->GetBrain();
    m_rules.m_state = YGameRules::StateRun;
    bot->m_angles = YVector();
    YBalloon* balloon = new YBalloon(nullptr, bot->m_position + YVector(0.0f, 0.0f, 50.0f), YBalloon::Red, true, 0.0f);
    m_world.AddActor(balloon);
    e->m_balloons->AddTail(balloon);
    brain->UpdateTarget();
    ASSERT_EQ(bot->GetBrain()->m_target, balloon);
    brain->m_savedTarget = balloon;
    // Popped: its entry is emptied and the world deletes it.
    YActorServices::EmptyEntry(e->m_balloons, balloon);
    balloon->MarkForDestruction();
    Purge();
    EXPECT_EQ(bot->GetBrain()->m_target, nullptr);
    EXPECT_EQ(brain->m_savedTarget, nullptr);
    // The next frames read no freed actor (AddressSanitizer watches).
    brain->m_nextLookAhead = ~0u;
    brain->Think(0.02f);
    brain->UpdateTarget();
    EXPECT_EQ(bot->GetBrain()->m_target, bot);
}

// ---------------------------------------------------------------- the bear

namespace {

class BearDouble : public YBotAIBear {
public:
    BearDouble(YActor* bear) : YBotAIBear(bear, nullptr) {}
    bool IsAnimating() override { return m_playing; }
    void StartAnimation(const char* name) override
    {
        m_started.push_back(name);
        m_playing = true;
    }
    void StopAnimation() override
    {
        ++m_stops;
        m_playing = false;
    }
    int AnimationKey(const char*) override { return m_key; }
    bool CanSee(YActor*) override { return m_clear; }
    void PlaySound(const char* name) override { m_sounds.push_back(name); }
    bool m_playing = false;
    bool m_clear = true;
    int m_key = 0;
    int m_stops = 0;
    std::vector<std::string> m_started;
    std::vector<std::string> m_sounds;
};

}  // namespace

TEST_F(Bots, BearAttacksOnlyWithAClearTrace)
{
    YActor* bear = new YActor;
    m_world.AddActor(bear);
    YPlane* plane = LocalPlane();
    bear->m_target = plane;
    plane->m_position = bear->m_position + YVector(4.0f, 0.0f, 0.0f);
    BearDouble brain(bear);
    brain.m_clear = false;
    srand(1);
    brain.Think();
    ASSERT_EQ(brain.m_started.size(), 1u);
    EXPECT_TRUE(brain.m_started[0] == "idle_one" || brain.m_started[0] == "idle_two") << "behind a rock: idles";
    EXPECT_EQ(YBotAIBear::s_idling, 1);
    brain.m_clear = true;
    brain.Think();
    EXPECT_EQ(brain.m_stops, 1) << "the idle animation is stopped for the attack";
    ASSERT_EQ(brain.m_started.size(), 2u);
    EXPECT_EQ(brain.m_started[1].rfind("attack_0", 0), 0u) << brain.m_started[1];
    EXPECT_LE(brain.m_animation, YBotAIBear::AnimAttack3);
    plane->m_position = bear->m_position + YVector(6.0f, 0.0f, 0.0f);
    brain.m_playing = false;
    brain.Think();
    EXPECT_EQ(brain.m_started.back().rfind("idle_", 0), 0u) << "out of reach: idles";
}

TEST_F(Bots, BearStartsANewAnimationOnlyWhenTheLastHasEnded)
{
    YActor* bear = new YActor;
    m_world.AddActor(bear);
    YPlane* plane = LocalPlane();
    bear->m_target = plane;
    plane->m_position = bear->m_position + YVector(2.0f, 0.0f, 0.0f);
    BearDouble brain(bear);
    YBotAIBear::s_idling = 0;
    int attacks[3] = {};
    srand(3);
    for (int i = 0; i < 300; ++i) {
        const size_t before = brain.m_started.size();
        brain.Think();
        EXPECT_LE(brain.m_started.size(), before + 1);
        if (brain.m_started.size() > before) ++attacks[brain.m_animation];
        if (i % 3 == 2) brain.m_playing = false;  // every third frame the animation ends
    }
    EXPECT_EQ(brain.m_started.size(), 100u) << "one start per ended animation";
    for (int a : attacks) EXPECT_GT(a, 15);
    // attack_01's sound plays at once; the others' at their key frame, once.
    brain.m_started.clear();
    brain.m_sounds.clear();
    brain.m_playing = false;
    brain.m_animation = YBotAIBear::AnimNone;
    while (brain.m_animation != YBotAIBear::AnimAttack3) {
        brain.m_playing = false;
        brain.m_sounds.clear();
        brain.m_key = 0;
        brain.Think();
    }
    for (int key : {9, 10, 10, 11}) {
        brain.m_key = key;
        brain.Think();
    }
    int swipes = 0;
    for (const auto& s : brain.m_sounds) swipes += s == "bear-attack02.wav";
    EXPECT_EQ(swipes, 1);
    // Nothing without a target or while the bear is out.
    int32_t health = 0;
    brain.SetActiveCount(&health);
    const size_t n = brain.m_started.size();
    brain.m_playing = false;
    brain.Think();
    EXPECT_EQ(brain.m_started.size(), n);
}
