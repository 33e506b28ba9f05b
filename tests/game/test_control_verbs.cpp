#include <gtest/gtest.h>

#include "engine/YGameObjects.h"
#include "game/YClientInfo.h"
#include "game/YClientPhysics.h"
#include "game/YControlVerbs.h"
#include "game/YPlane.h"

namespace {

enum { VerbForward = 1, VerbBack = 2, VerbRun = 5, VerbRight = 8, VerbLeft = 9, VerbUp = 10, VerbDown = 11,
       VerbCenter = 13, VerbView = 40, VerbPitchAxis = 90, VerbYawAxis = 91 };

// A p40 in the air at a cruising speed, flown by the record; the aim actor
// is a plain actor.
class ControlVerbs : public ::testing::Test {
protected:
    void SetUp() override
    {
        YGameObjects::Instance();  // the engine object sets the fast math up
        m_plane.m_flagsB = YActor::FlagPlaneKind | YPlane::FlagScaledAuthority;
        m_plane.m_velocity = YVector(0.0f, 0.0f, 5.0f);
        m_record.m_controlledPlane = &m_plane;
        m_record.m_plane = &m_plane;
        m_record.m_aimActor = &m_aim;
        m_record.m_bodyActor = &m_body;
    }
    bool Verb(int id, float dt, const char* text = "", int phase = 2, uint32_t clock = 1000)
    {
        return DispatchControlVerb(id, clock, dt, &m_record, text, phase);
    }
    void PutOnGround(float speed)
    {
        m_plane.m_flagsB |= YActor::FlagOnGround;
        m_plane.m_velocity = YVector(0.0f, 0.0f, speed);
    }
    const YClientPhysics& Handling() { return *m_plane.GetHandling(); }

    YPlane m_plane;
    YActor m_aim;
    YActor m_body;
    YClientInfo m_record;
};

}  // namespace

TEST_F(ControlVerbs, RollInputIsSetPerFrameAndCapped)
{
    struct Row {
        int verb;
        float dt;
        uint8_t reversed;
        float expected;
    } rows[] = {
        {VerbRight, 0.016f, 0, 3.2f},  {VerbRight, 0.2f, 0, 30.0f}, {VerbLeft, 0.016f, 0, -3.2f},
        {VerbLeft, 0.0f, 0, -20.0f},   {VerbLeft, 0.016f, 1, 3.2f}, {VerbRight, 0.016f, 1, -3.2f},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.verb << " dt " << row.dt << " reversed " << int(row.reversed));
        m_plane.m_reversed = row.reversed;
        m_plane.m_rollInputHeld = 1;
        for (int frame = 0; frame < 3; ++frame) ASSERT_TRUE(Verb(row.verb, row.dt));
        EXPECT_FLOAT_EQ(m_plane.m_rollInput, row.expected) << "set, not accumulated";
        EXPECT_EQ(m_plane.m_rollInputHeld, 0);
        EXPECT_EQ(m_plane.m_lastTurnTime, 1000u);
    }
    Verb(VerbRight, 0.016f, "", 3);
    EXPECT_EQ(m_plane.m_rollInputHeld, 1);
    EXPECT_FLOAT_EQ(m_plane.m_rollInput, -3.2f) << "a release leaves the input to recentre";
}

TEST_F(ControlVerbs, PitchInputAccumulatesToTheCap)
{
    struct Row {
        int verb;
        uint8_t reversed;
        float sign;
    } rows[] = {{VerbDown, 0, 1.0f}, {VerbUp, 0, -1.0f}, {VerbUp, 1, 1.0f}, {VerbDown, 1, -1.0f}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.verb << " reversed " << int(row.reversed));
        m_plane.m_reversed = row.reversed;
        m_plane.m_pitchInput = 0.0f;
        Verb(row.verb, 0.016f);
        EXPECT_FLOAT_EQ(m_plane.m_pitchInput, row.sign * 3.2f);
        Verb(row.verb, 0.016f);
        EXPECT_FLOAT_EQ(m_plane.m_pitchInput, row.sign * 6.4f);
        for (int frame = 0; frame < 10; ++frame) Verb(row.verb, 0.016f);
        EXPECT_FLOAT_EQ(m_plane.m_pitchInput, row.sign * 30.0f);
        Verb(row.verb, 0.016f, "", 3);
        EXPECT_EQ(m_plane.m_pitchInputHeld, 1);
        EXPECT_FLOAT_EQ(m_plane.m_pitchInput, row.sign * 30.0f);
    }
}

TEST_F(ControlVerbs, NoInputWithoutControlOrWhileDisrupted)
{
    for (int disrupted = 0; disrupted < 2; ++disrupted) {
        m_plane.m_controlEnabled = static_cast<uint8_t>(disrupted);
        m_plane.m_disrupted = static_cast<uint8_t>(disrupted);
        for (int verb : {VerbLeft, VerbRight, VerbUp, VerbDown}) EXPECT_TRUE(Verb(verb, 0.016f));
        EXPECT_EQ(m_plane.m_rollInput, 0.0f);
        EXPECT_EQ(m_plane.m_pitchInput, 0.0f);
        Verb(VerbPitchAxis, 0.016f, "3000");
        Verb(VerbYawAxis, 0.016f, "3000");
        EXPECT_EQ(m_plane.m_pitchImpulse, 0.0f);
        EXPECT_EQ(m_plane.m_rollImpulse, 0.0f);
    }
}

TEST_F(ControlVerbs, PlayerAxesInTheAirWriteImpulses)
{
    const float pitchRange = Handling().m_pitchRange;
    const float rollRange = Handling().m_rollRange;
    Verb(VerbPitchAxis, 0.016f, "5715");
    EXPECT_FLOAT_EQ(m_plane.m_pitchImpulse, -pitchRange * 0.35f);
    Verb(VerbYawAxis, 0.016f, "-2000", 2, 4321);
    EXPECT_FLOAT_EQ(m_plane.m_rollImpulse, -2000.0f / 5715.0f * rollRange * 0.35f);
    EXPECT_EQ(m_plane.m_rollInputHeld, 1);
    EXPECT_EQ(m_plane.m_axisTurn, 1);
    EXPECT_EQ(m_plane.m_axisTurnTime, 4321u);

    m_plane.m_reversed = 1;
    Verb(VerbPitchAxis, 0.016f, "5715");
    EXPECT_FLOAT_EQ(m_plane.m_pitchImpulse, pitchRange * 0.35f);

    // Nothing on release, at 0, or while crashing or down.
    m_plane.m_pitchImpulse = 0.0f;
    Verb(VerbPitchAxis, 0.016f, "5715", 3);
    Verb(VerbPitchAxis, 0.016f, "0");
    for (uint32_t bit : {uint32_t(YPlane::FlagCrashing), uint32_t(YPlane::FlagDown)}) {
        m_plane.m_flagsB |= bit;
        Verb(VerbPitchAxis, 0.016f, "5715");
        m_plane.m_flagsB &= ~bit;
    }
    EXPECT_EQ(m_plane.m_pitchImpulse, 0.0f);
}

TEST_F(ControlVerbs, TaxiSteeringOnTheGround)
{
    const YClientPhysics& h = Handling();
    struct Row {
        float speed;
        float factor;
    } rows[] = {
        {0.1f, 0.0f},
        {0.5f, (0.5f - h.m_steerStartSpeed) / (h.m_steerFullSpeed - h.m_steerStartSpeed) * 2.0f},
        {3.0f, (3.0f - h.m_steerStartSpeed) / (h.m_steerFullSpeed - h.m_steerStartSpeed) * 0.125f},
        {7.0f, 0.125f},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.speed);
        PutOnGround(row.speed);
        m_plane.m_vectorB = YVector();
        m_plane.m_rollInput = 0.0f;
        Verb(VerbRight, 0.016f, "", 2, 777);
        EXPECT_FLOAT_EQ(m_plane.m_vectorB.y, 3000.0f / 5715.0f * h.m_yawRange * row.factor);
        EXPECT_EQ(m_plane.m_rollInput, 0.0f) << "on the ground the roll verbs steer";
        EXPECT_EQ(m_plane.m_lastTurnTime, 777u);
    }
}

TEST_F(ControlVerbs, PitchOnTheGroundNeedsReadinessAndSpeed)
{
    const YClientPhysics& h = Handling();
    struct Row {
        float speed;
        bool ready;
        const char* axis;
        bool lifts;
    } rows[] = {
        {h.m_minControlSpeed + 0.5f, true, "-3000", true},
        {h.m_minControlSpeed + 0.5f, false, "-3000", false},
        {h.m_minControlSpeed - 0.5f, true, "-3000", false},
        {h.m_minControlSpeed + 0.5f, true, "3000", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.speed << " " << row.ready << " " << row.axis);
        PutOnGround(row.speed);
        if (row.ready)
            m_plane.m_flagsB |= YPlane::FlagLiftOffReady;
        else
            m_plane.m_flagsB &= ~YPlane::FlagLiftOffReady;
        m_aim.m_vectorB = YVector();
        Verb(VerbPitchAxis, 0.016f, row.axis);
        EXPECT_FLOAT_EQ(m_aim.m_vectorB.x, row.lifts ? 3000.0f / 5715.0f * h.m_pitchRange : 0.0f);
    }
}

TEST_F(ControlVerbs, BotVerbsBecomeAxes)
{
    m_plane.m_botFlown = 1;
    const YClientPhysics& h = Handling();
    m_plane.m_lastTurnTime = 0;
    // Right: the yaw axis with 3000, in the air a roll rate scaled by
    // authority and by the time since the last turn (1000 ms: full).
    Verb(VerbRight, 0.016f, "", 2, 1000);
    const float authority =
        std::min(1.0f, (5.0f - h.m_minControlSpeed) / (h.m_fullControlSpeed - h.m_minControlSpeed) + 0.2f);
    EXPECT_FLOAT_EQ(m_plane.m_vectorB.z, -3000.0f / 5715.0f * h.m_rollRange * authority);
    EXPECT_EQ(m_plane.m_rollInput, 0.0f);
    // Soon after a turn input the share is a quarter.
    m_plane.m_lastTurnTime = 900;
    Verb(VerbLeft, 0.016f, "", 2, 1000);
    EXPECT_FLOAT_EQ(m_plane.m_vectorB.z, 3000.0f / 5715.0f * h.m_rollRange * authority * 0.25f);

    // Down: the pitch axis with -3000 turns the aim actor; level wings put
    // it all on x.
    Verb(VerbDown, 0.016f);
    EXPECT_FLOAT_EQ(m_aim.m_vectorB.x, 3000.0f / 5715.0f * h.m_pitchRange * 0.5f);
    EXPECT_NEAR(m_aim.m_vectorB.y, 0.0f, 1e-4f);
    EXPECT_EQ(m_plane.m_pitchInput, 0.0f);
}

TEST_F(ControlVerbs, WalkingAndRunningMoveTheBody)
{
    m_body.m_angles = YVector(0.0f, 90.0f, 0.0f);
    struct Row {
        int verb;
        bool running;
        YVector direction;
    } rows[] = {
        {VerbForward, false, YVector(1, 0, 0)},
        {VerbBack, false, YVector(-1, 0, 0)},
        {VerbForward, true, YVector(1, 0, 0)},
    };
    for (const Row& row : rows) {
        Verb(VerbRun, 0.016f, "", row.running ? 1 : 3);
        Verb(row.verb, 0.016f);
        const float speed = row.running ? 20.0f : 10.0f;
        EXPECT_NEAR(m_body.m_velocity.x, row.direction.x * speed, 0.05f);
        EXPECT_NEAR(m_body.m_velocity.z, row.direction.z * speed, 0.05f);
    }
    Verb(VerbForward, 0.016f, "", 3);
    EXPECT_EQ(m_body.m_velocity.Length(), 0.0f);

    // A plane does not walk.
    m_record.m_bodyActor = &m_plane;
    const YVector before = m_plane.m_velocity;
    Verb(VerbForward, 0.016f);
    EXPECT_EQ(m_plane.m_velocity, before);
}

TEST_F(ControlVerbs, CenterAndUnknownVerbs)
{
    m_aim.m_angles.x = 33.0f;
    EXPECT_TRUE(Verb(VerbCenter, 0.016f, "", 1));
    EXPECT_EQ(m_aim.m_angles.x, 0.0f);
    EXPECT_FALSE(Verb(VerbView, 0.016f, "", 1)) << "the plane's command handler takes it";
    const YControlVerb empty[] = {{0, nullptr}};
    EXPECT_FALSE(DispatchControlVerb(VerbCenter, 0, 0.016f, &m_record, "", 1, empty));
}
