#include <gtest/gtest.h>

#include <memory>

#include "assets3d/YSMHandle.h"
#include "game/YClientPhysics.h"
#include "game/YDirectionArrow.h"
#include "game/YPlane.h"
#include "world/YActiveVerb.h"
#include "world/YGameCommands.h"
#include "world/SampleMapWorld.h"

YCatalog* SampleMapWorld::s_catalog = nullptr;
YD3D6Parser* SampleMapWorld::s_parser = nullptr;
bool SampleMapWorld::s_loaded = false;

namespace {

enum { ThrottleOff = 14, ThrottleLow = 15, ThrottleMed = 16, ThrottleHigh = 17, ThrottleUp = 43, ThrottleDown = 44,
       Throttle1 = 48, Throttle9 = 56, View = 40 };

// Planes built in the active world of the Meadow map, with the sample
// catalog in place, as the session builds them.
class PlaneOnMap : public SampleMapWorld {
protected:
    static void SetUpTestSuite() { Load("Meadow"); }
    void SetUp() override
    {
        SampleMapWorld::SetUp();
        m_savedCatalog = m_engine->m_catalog;
        m_engine->m_catalog = s_catalog;
    }
    void TearDown() override
    {
        m_engine->m_catalog = m_savedCatalog;
        SampleMapWorld::TearDown();
    }
    YPlane* Build(const char* key)
    {
        YPlane* plane = new YPlane(key);
        m_world.AddActor(plane);
        return plane;
    }
    YCatalog* m_savedCatalog = nullptr;
};

}  // namespace

TEST_F(PlaneOnMap, ConstructionByModelKey)
{
    struct Row {
        const char* key;
        int preset;
        const char* name;
        int planeClass;
        int isJet;
        float restOffset;
    } rows[] = {
        {"biplane", YClientPhysics::PresetBiplane, "BiPlane", YPlane::ClassBiplane, 0, 0.14f},
        {"p40plane", YClientPhysics::PresetP40, "P40", YPlane::ClassProp, 0, 0.1f},
        {"f15plane", YClientPhysics::PresetF15, "F15", YPlane::ClassJet, 1, 0.1f},
        {"corsair_plane", YClientPhysics::PresetCorsair, "corsair_plane", YPlane::ClassProp, 0, 0.1f},
        {"sigcap231plane", YClientPhysics::PresetOther, "sigcap", YPlane::ClassJet, 0, 0.1f},
        {"BiPlane", YClientPhysics::PresetOther, "sigcap", YPlane::ClassJet, 0, 0.1f},
        {"F15PLANE", YClientPhysics::PresetOther, "sigcap", YPlane::ClassJet, 0, 0.1f},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.key);
        YPlane* plane = Build(row.key);
        const YClientPhysics preset(row.preset);
        EXPECT_FLOAT_EQ(plane->GetHandling()->m_stallSpeed, preset.m_stallSpeed);
        EXPECT_FLOAT_EQ(plane->GetHandling()->m_bankYawFactor, preset.m_bankYawFactor);
        EXPECT_FLOAT_EQ(plane->GetHandling()->m_topAirSpeed, preset.m_topAirSpeed);
        EXPECT_FLOAT_EQ(plane->GetHandling()->m_maxRollRate, preset.m_maxRollRate);
        EXPECT_STREQ(plane->m_name, row.name);
        EXPECT_EQ(plane->m_class, row.planeClass);
        EXPECT_EQ(plane->m_isJet, row.isJet);
        EXPECT_FLOAT_EQ(plane->m_restOffset, row.restOffset);
        EXPECT_STREQ(plane->m_modelKey, row.key);
        EXPECT_STREQ(plane->m_modelName, "Dynamic:Planes:YSM:biplane");
        // The catalog finds every sample model by its key.
        ASSERT_NE(plane->GetModelInstance(), nullptr);
        EXPECT_NEAR(plane->m_taxiPitch, 12.0f, 0.5f) << "nose up on the wheels";
        ASSERT_NE(plane->m_directionArrow, nullptr);
        EXPECT_EQ(static_cast<YDirectionArrow*>(plane->m_directionArrow)->m_kind, YDirectionArrow::KindPlane);
    }
}

TEST_F(PlaneOnMap, FreshPlaneStandsOnTheGround)
{
    YPlane* plane = Build("p40plane");
    EXPECT_TRUE(plane->IsOnGround());
    EXPECT_TRUE(plane->m_flagsB & YActor::FlagPlaneKind);
    EXPECT_TRUE(plane->m_flagsB & YPlane::FlagScaledAuthority);
    EXPECT_FALSE(plane->m_flagsB & (YActor::FlagFalling | YPlane::FlagCrashing | YPlane::FlagDown |
                                    YPlane::FlagLiftOffReady));
    EXPECT_TRUE(plane->m_flagsA & YActor::FlagExtendSweep);
    EXPECT_FALSE(plane->m_flagsA & (YActor::FlagCollidePush | YActor::FlagClipToGround | YActor::FlagFaceVelocity |
                                    YActor::FlagOrientVelocity | YActor::FlagFollowTarget));
    EXPECT_EQ(plane->m_engineLevel, 0);
    EXPECT_EQ(plane->m_ammo, 5);
    EXPECT_EQ(plane->m_place, 1);
    EXPECT_EQ(plane->m_cameraMode, 3);
    EXPECT_FLOAT_EQ(plane->m_fuel, 255.0f);
    EXPECT_FLOAT_EQ(plane->m_aimHeight, 2.0f);
    EXPECT_EQ(plane->m_forward, YVector(0, 0, 1));
    EXPECT_EQ(plane->m_up, YVector(0, 1, 0));
    EXPECT_STREQ(plane->m_soundNames[YPlane::SoundLowFuel], "Plane:pl-warn-low-gas");
    EXPECT_STREQ(plane->m_soundNames[1], "");
}

TEST(Plane, DefaultConstructionIsTheFactorysPlane)
{
    std::unique_ptr<CObject> made(RUNTIME_CLASS(YPlane)->CreateObject());
    YPlane* plane = dynamic_cast<YPlane*>(made.get());
    ASSERT_NE(plane, nullptr);
    const YClientPhysics defaults;
    EXPECT_STREQ(plane->m_name, "Plane");
    EXPECT_EQ(plane->m_class, YPlane::ClassBiplane);
    EXPECT_FLOAT_EQ(plane->m_restOffset, 0.1f);
    EXPECT_FLOAT_EQ(plane->GetHandling()->m_fullControlSpeed, defaults.m_fullControlSpeed);
    EXPECT_FLOAT_EQ(plane->m_taxiPitch, 12.0f);
    EXPECT_EQ(plane->m_directionArrow, nullptr);
    EXPECT_TRUE(plane->IsOnGround());
}

TEST(Plane, ThrottleCommands)
{
    struct Row {
        int start;
        int id;
        int phase;
        int expected;
        int handled;
    } rows[] = {
        {200, ThrottleOff, 1, 0, 1},   {0, ThrottleLow, 1, 100, 1},  {0, ThrottleMed, 1, 175, 1},
        {0, ThrottleHigh, 1, 255, 1},  {0, Throttle1, 1, 50, 1},     {0, Throttle9, 1, 250, 1},
        {0, ThrottleUp, 1, 50, 1},     {50, ThrottleUp, 1, 75, 1},   {230, ThrottleUp, 1, 255, 1},
        {231, ThrottleUp, 1, 255, 1},  {75, ThrottleDown, 1, 50, 1}, {74, ThrottleDown, 1, 0, 1},
        {100, ThrottleUp, 2, 100, 0},  {100, ThrottleUp, 3, 100, 0}, {100, View - 27, 1, 100, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.id << " from " << row.start << " phase " << row.phase);
        YPlane plane;
        plane.m_throttle = row.start;
        EXPECT_EQ(plane.OnCommand(row.id, "", row.phase), row.handled);
        EXPECT_EQ(plane.m_throttle, row.expected);
        if (row.handled) {
            EXPECT_EQ(plane.m_engineLevel, row.expected);
        }
    }
    // Under the disruptor the throttle does not move.
    YPlane plane;
    plane.m_disrupted = 1;
    plane.OnCommand(ThrottleHigh, "", 1);
    EXPECT_EQ(plane.m_throttle, 0);
}

TEST(Plane, SpeedScaleCompoundsOnItsHandling)
{
    YPlane plane("biplane");
    const float top = plane.GetHandling()->m_topAirSpeed;
    const float brake = plane.GetHandling()->m_airBrake;
    plane.SetSpeedScale(2.0f);
    plane.SetSpeedScale(2.0f);
    EXPECT_FLOAT_EQ(plane.GetHandling()->m_topAirSpeed, top * 4.0f);
    EXPECT_FLOAT_EQ(plane.GetHandling()->m_airBrake, brake);
}

TEST(Plane, ResetEffects)
{
    YPlane plane;
    plane.OnCommand(ThrottleHigh, "", 1);
    plane.ResetEffects();
    EXPECT_EQ(plane.m_engineLevel, 0);
    EXPECT_EQ(plane.m_disrupted, 1);
    EXPECT_FLOAT_EQ(plane.m_disruptedTime, 100.0f);
    EXPECT_FLOAT_EQ(plane.m_smokeTime, 100.0f);
    EXPECT_EQ(plane.m_pendingRestart, 1);
}

// A purged actor leaves no pointer behind in the plane.
TEST_F(PlaneOnMap, PurgedActorsAreForgotten)
{
    YPlane* plane = Build("p40plane");
    YActor* target = new YActor;
    YActor* held = new YActor;
    m_world.AddActor(target);
    m_world.AddActor(held);
    plane->m_target = target;
    plane->m_heldPowerUp = held;
    plane->DestroyPlayerActor();
    target->MarkForDestruction();
    held->MarkForDestruction();
    m_world.PurgeDestroyed();
    EXPECT_EQ(plane->m_target, nullptr);
    EXPECT_EQ(plane->m_heldPowerUp, nullptr);
    EXPECT_EQ(plane->m_directionArrow, nullptr) << "the arrow went with DestroyPlayerActor";
}

TEST_F(PlaneOnMap, ConstructionDropsEveryActiveVerb)
{
    YGameCommands* saved = m_engine->m_gameCommands;
    YGameCommands commands;
    m_engine->m_gameCommands = &commands;
    for (int id : {8, 11, 17}) {
        YActiveVerb* verb = new YActiveVerb;
        verb->m_id = id;
        commands.m_verbs.AddTail(verb);
    }
    Build("biplane");
    EXPECT_TRUE(commands.m_verbs.IsEmpty()) << "a held key must be pressed again";
    m_engine->m_gameCommands = saved;
}
