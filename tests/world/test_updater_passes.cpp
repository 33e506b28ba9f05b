// The world's passes: the mechanical step's time slices, gravity, slopes on
// "Ramp.zon", the map margin, what NoMech and NoUpdates stop, the think
// time, the statistics, and a crowd on "Meadow.zon" for a simulated minute.
#include <chrono>
#include <random>
#include <thread>

#include "SampleMapWorld.h"
#include "world/YMechanicalUpdater.h"
#include "world/YSoundUpdater.h"
#include "world/YThinkUpdater.h"

namespace {
const float kGravity = YMechanicalUpdater::kDefaultGravity;

// Counts the per-frame calls the passes make.
class CountingActor : public YActor {
public:
    void Update(float) override
    {
        ++m_updates;
        if (m_sleep) std::this_thread::sleep_for(std::chrono::milliseconds(m_sleep));
    }
    void Think() override { ++m_thinks; }
    void UpdateSounds(YActor*, float) override { ++m_sounds; }
    int m_updates = 0, m_thinks = 0, m_sounds = 0, m_sleep = 0;
};

YActor* Faller(uint32_t extraA = 0)
{
    YActor* actor = new YActor;
    actor->m_flagsA = extraA;
    actor->m_flagsB = YActor::FlagFalling;
    actor->m_velocity = YVector(1, 0, 0);
    return actor;
}
}  // namespace

TEST(UpdaterPasses, SlopeTableAndNames)
{
    YMechanicalUpdater mech;
    EXPECT_STREQ("Mech", mech.m_name);
    EXPECT_STREQ("Think", YThinkUpdater().m_name);
    EXPECT_STREQ("Sound", YSoundUpdater().m_name);
    EXPECT_EQ(30.0f, mech.m_gravity);
    EXPECT_EQ(48.0f, mech.m_margin);
    EXPECT_EQ(1.0, mech.m_slope[0]);
    EXPECT_NEAR(0.390625, mech.m_slope[50], 1e-6) << "30 degrees";
    EXPECT_NEAR(0.00034, mech.m_slope[98], 2e-5);
    EXPECT_EQ(0.0, mech.m_slope[99]);
    YMechanicalUpdater second(0.0f, 0.0f);
    EXPECT_EQ(0.0f, second.m_gravity);
    EXPECT_EQ(0.0f, second.m_margin);
    EXPECT_STREQ("Mech", second.m_name);
}

TEST(UpdaterPasses, LongFramesAreClampedAndIterativeActorsSliced)
{
    YMechanicalUpdater mech;
    // 25 s move a plain actor as 10 s would, in one step: the speed it had.
    std::unique_ptr<YActor> plain(Faller());
    mech.MoveActor(plain.get(), 25.0f, 0);
    EXPECT_NEAR(10.0f, plain->m_position.x, 1e-4f);
    EXPECT_NEAR(0.0f, plain->m_position.y, 1e-4f);
    EXPECT_NEAR(-10.0f * kGravity, plain->m_velocity.y, 1e-3f);
    std::unique_ptr<YActor> backwards(Faller());
    mech.MoveActor(backwards.get(), -25.0f, 0);
    EXPECT_NEAR(-10.0f, backwards->m_position.x, 1e-4f);

    // 2.35 s in slices of 1, 1, 0.1, 0.1, 0.1 and the rest; an Itterative
    // actor has its 1 s slices cut again into tenths. Each slice falls at
    // the speed gained by the slices before it.
    auto fall = [](std::vector<float> slices) {
        float fallen = 0.0f, elapsed = 0.0f;
        for (float slice : slices) {
            fallen += -kGravity * elapsed * slice;
            elapsed += slice;
        }
        return fallen;
    };
    std::vector<float> tenths(23, 0.1f);
    tenths.push_back(0.05f);
    for (bool byFlag : {true, false}) {
        SCOPED_TRACE(byFlag ? "Itterative" : "subdivided");
        std::unique_ptr<YActor> sliced(Faller(byFlag ? YActor::FlagItterative : 0));
        mech.MoveActor(sliced.get(), 2.35f, byFlag ? 0 : 1);
        const float fallen = byFlag ? fall(tenths) : fall({1.0f, 1.0f, 0.1f, 0.1f, 0.1f, 0.05f});
        EXPECT_NEAR(fallen, sliced->m_position.y, 2e-3f);
        EXPECT_NEAR(-2.35f * kGravity, sliced->m_velocity.y, 1e-3f);
        EXPECT_NEAR(2.35f, sliced->m_position.x, 1e-4f);
    }
    // Light kinds fall at a quarter; the second world's pass has no gravity.
    std::unique_ptr<YActor> light(Faller());
    light->m_flagsB |= YActor::FlagLightFallKind;
    mech.MoveActor(light.get(), 1.0f, 0);
    EXPECT_NEAR(-0.25f * kGravity, light->m_velocity.y, 1e-4f);
    light->m_flagsB |= YActor::FlagHeavyKind;
    light->m_velocity = YVector();
    mech.MoveActor(light.get(), 1.0f, 0);
    EXPECT_NEAR(-kGravity, light->m_velocity.y, 1e-4f);
    YMechanicalUpdater second(0.0f, 0.0f);
    std::unique_ptr<YActor> floating(Faller());
    second.MoveActor(floating.get(), 1.0f, 0);
    EXPECT_EQ(0.0f, floating->m_velocity.y);
}

TEST(UpdaterPasses, OrientationSpinsFacesAndFollows)
{
    YMechanicalUpdater mech;
    YActor actor;
    actor.m_vectorB = YVector(0, 100, 0);
    actor.m_angles = YVector(0, 300, 0);
    mech.MoveActor(&actor, 1.0f, 0);
    EXPECT_NEAR(40.0f, actor.m_angles.y, 1e-3f) << "wrapped";
    actor.m_vectorB = YVector();
    actor.SetFlag("FaceVelocity", true);
    actor.m_velocity = YVector(0, 0, -3);
    mech.MoveActor(&actor, 0.1f, 0);
    EXPECT_NEAR(180.0f, actor.m_angles.y, 1e-2f);
    actor.SetFlag("FaceVelocity", false);
    actor.SetFlag("OrientVelocity", true);
    actor.m_angles = YVector(0, 90, 0);
    mech.MoveActor(&actor, 0.1f, 0);
    EXPECT_NEAR(3.0f, actor.m_velocity.x, 1e-2f) << "flies where it points";
    EXPECT_NEAR(0.0f, actor.m_velocity.z, 1e-2f);
    // FollowTarget turns at most the turn rate.
    actor.SetFlag("OrientVelocity", false);
    actor.m_velocity = YVector();
    actor.m_position = YVector();
    actor.m_angles = YVector(0, 0, 15);
    actor.SetFlag("FollowTarget", true);
    actor.m_vectorA = YVector(100, 0, 0);
    actor.m_auxFloatD = 45.0f;
    mech.MoveActor(&actor, 1.0f, 0);
    EXPECT_NEAR(45.0f, actor.m_angles.y, 0.5f);
    EXPECT_EQ(15.0f, actor.m_angles.z) << "roll kept";
    mech.MoveActor(&actor, 2.0f, 0);
    EXPECT_NEAR(90.0f, actor.m_angles.y, 0.5f);
}

TEST(UpdaterPasses, NoMechAndNoUpdatesStopDifferentPasses)
{
    YGameObjects* engine = YGameObjects::Instance();
    YActorWorld world;
    YActorWorld* saved = engine->m_world;
    engine->m_world = &world;
    const uint32_t clock = engine->m_gameClock;
    engine->m_gameClock = 5000;
    CountingActor* actors[4];
    const uint32_t flags[] = {0, YActor::FlagNoMech, YActor::FlagNoUpdates, 0};
    for (int i = 0; i < 4; ++i) {
        actors[i] = new CountingActor;
        actors[i]->m_flagsA = flags[i];
        actors[i]->m_velocity = YVector(1, 0, 0);
        world.AddActor(actors[i]);
    }
    actors[3]->m_nextThinkTime = 5001;  // thinks later
    actors[0]->m_nextThinkTime = 5000;
    actors[0]->m_name = "Slow";
    actors[0]->m_sleep = 5;
    YMechanicalUpdater mech;
    YSoundUpdater sound;
    YThinkUpdater think;
    mech.Update(&world, 1.0f);
    sound.Update(&world, 1.0f);
    think.Update(&world, 1.0f);
    struct Expect {
        float x;
        int updates, thinks, sounds;
    };
    const Expect expected[] = {{1, 1, 1, 1}, {0, 1, 1, 1}, {0, 0, 0, 0}, {1, 1, 0, 1}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(expected[i].x, actors[i]->m_position.x, 1e-5f);
        EXPECT_EQ(expected[i].updates, actors[i]->m_updates);
        EXPECT_EQ(expected[i].thinks, actors[i]->m_thinks);
        EXPECT_EQ(expected[i].sounds, actors[i]->m_sounds);
        EXPECT_EQ(1u, actors[i]->m_transformStamp) << "the stamp moves on for all";
    }
    // The think pass's statistics name the slow actor.
    EXPECT_GE(think.m_longestStep, 4u);
    EXPECT_STREQ("Slow", think.m_slowestActor);
    EXPECT_STREQ("Slow", think.m_slowestActorEver);
    EXPECT_GE(think.m_passTime, think.m_longestStep);
    EXPECT_GE(think.m_longestPass, think.m_passTime);
    actors[0]->m_sleep = 0;
    think.Update(&world, 1.0f);
    EXPECT_LT(think.m_longestStep, 4u);
    EXPECT_STREQ("Slow", think.m_slowestActorEver);
    // An empty world ends the pass at once.
    YActorWorld empty;
    EXPECT_EQ(0u, mech.Update(&empty, 1.0f));
    engine->m_gameClock = clock;
    world.Clear();
    engine->m_world = saved;
}

#if defined(RCV_DATA_DIR)
namespace {
class RampPasses : public SampleMapWorld {
protected:
    static void SetUpTestSuite() { Load("Ramp"); }
    // A walker on the ground of the ramp, heading up it along x.
    YActor* Walker(float x, float z, float speed)
    {
        YActor* actor = new YActor;
        actor->m_position = YVector(x, m_world.TerrainHeightAt(x, z), z);
        actor->m_velocity = YVector(speed, 0, 0);
        actor->m_flagsB = YActor::FlagOnGround | YActor::FlagSlopeEffect;
        m_world.AddActor(actor, 1);
        return actor;
    }
    YMechanicalUpdater m_mech;
};
}  // namespace

TEST_F(RampPasses, SlopesSlowBlockAndDrop)
{
    // One metre a metre blocks; the speed factor ends the step at 1.
    YActor* blocked = Walker(70, 48, 5);
    m_mech.MoveActor(blocked, 0.1f, 0);
    EXPECT_EQ(70.0f, blocked->m_position.x);
    EXPECT_EQ(1.0f, blocked->m_speedPercent);
    // Half a metre a metre: entry 50 of the table.
    YActor* climbing = Walker(70, 144, 5);
    m_mech.MoveActor(climbing, 0.1f, 0);
    EXPECT_NEAR(0.39f, climbing->m_speedPercent, 0.012f);
    EXPECT_NEAR(70.0f + 5 * climbing->m_speedPercent * 0.1f, climbing->m_position.x, 1e-4f);
    EXPECT_NEAR(m_world.TerrainHeightAt(climbing->m_position.x, 144), climbing->m_position.y, 1e-3f);
    // Down the steeper half ramp: pulled down the slope, faster along it.
    YActor* down = Walker(80, 144, -5);
    m_mech.MoveActor(down, 0.1f, 0);
    EXPECT_LT(down->m_position.x, 80.0f - 0.5f - 0.04f);
    // On the plain nothing changes; at rest the factor is 1.
    YActor* level = Walker(110, 48, 5);
    level->m_speedPercent = 0.3f;
    m_mech.MoveActor(level, 0.1f, 0);
    EXPECT_NEAR(110.5f, level->m_position.x, 1e-4f);
    EXPECT_EQ(1.0f, level->m_speedPercent);
    level->m_velocity = YVector(0.005f, 0, 0);
    level->m_speedPercent = 0.3f;
    level->m_flagsB = 0;  // no slope to reset it: at rest alone
    m_mech.MoveActor(level, 0.1f, 0);
    EXPECT_EQ(1.0f, level->m_speedPercent);
}

TEST_F(RampPasses, SlopePitchLooksAlongTheHeading)
{
    YActor* walker = Walker(70, 48, 0);
    walker->m_angles = YVector(0, 90, 0);  // up the ramp
    walker->m_length = 4.0f;
    EXPECT_NEAR(45.0f, walker->GetSlopePitch(0), 0.1f);
    EXPECT_NEAR(315.0f, walker->GetSlopePitch(180), 0.1f) << "down it";
    EXPECT_NEAR(0.0f, walker->GetSlopePitch(90), 0.1f) << "across it";
    YActor* flat = Walker(110, 48, 0);
    EXPECT_NEAR(0.0f, flat->GetSlopePitch(0), 0.1f);
    walker->AddChild(flat);
    EXPECT_EQ(0.0f, flat->GetSlopePitch(0)) << "children have no ground";
}

TEST_F(RampPasses, TheMarginHoldsActorsInsideTheMap)
{
    const float size = Size();
    YVector beyond(-10, 7, size + 30);
    ClampToMap(beyond, 48);
    EXPECT_EQ(YVector(48, 7, size - 48), beyond);
    // A flyer pushed over the edge ends margin inside, at its height.
    YActor* flyer = Walker(60, 60, -1000);
    flyer->m_flagsB = YActor::FlagFlying;
    flyer->m_position.y = 20;
    m_mech.Update(&m_world, 1.0f);
    EXPECT_EQ(48.0f, flyer->m_position.x);
    EXPECT_EQ(20.0f, flyer->m_position.y);
    EXPECT_TRUE(ListedAt(flyer, flyer->m_position));
    // Without ClipToWorld it goes on.
    flyer->SetFlag("ClipToWorld", false);
    flyer->m_velocity = YVector(-10, 0, 0);
    m_mech.Update(&m_world, 1.0f);
    EXPECT_EQ(38.0f, flyer->m_position.x);
}

namespace {
class MeadowCrowd : public SampleMapWorld {
protected:
    static void SetUpTestSuite() { Load("Meadow"); }
};
}  // namespace

TEST_F(MeadowCrowd, SeveralHundredActorsStayOnTheMapForAMinute)
{
    std::mt19937 random(37);
    std::uniform_real_distribution<float> along(60.0f, Size() - 60.0f), speed(-12.0f, 12.0f), unit(0.0f, 1.0f);
    std::vector<YActor*> crowd;
    for (int i = 0; i < 300; ++i) {
        YActor* actor = new YActor;
        actor->m_position = YVector(along(random), 0, along(random));
        actor->m_position.y = m_world.TerrainHeightAt(actor->m_position.x, actor->m_position.z) + 10 * unit(random);
        actor->m_velocity = YVector(speed(random), 0, speed(random));
        actor->m_vectorB = YVector(0, speed(random) * 10, 0);
        actor->m_flagsB = YActor::FlagSlopeEffect | YActor::FlagFalling;
        if (i % 3 == 0) actor->SetFlag("ClipToWater", true);
        if (i % 5 == 0) actor->m_flagsB |= YActor::FlagFlying;
        if (i % 7 == 0) actor->SetFlag("Itterative", true);
        actor->m_wadeDepth = 0.2f;
        m_world.AddActor(actor, 1);
        crowd.push_back(actor);
    }
    YMechanicalUpdater mech;
    YSoundUpdater sound;
    YThinkUpdater think;
    for (int frame = 0; frame < 60 * 20; ++frame) {
        mech.Update(&m_world, 0.05f);
        sound.Update(&m_world, 0.05f);
        think.Update(&m_world, 0.05f);
        m_world.Refresh();
    }
    const float size = Size();
    int onGround = 0;
    for (YActor* actor : crowd) {
        const YVector& p = actor->m_position;
        ASSERT_GE(p.x, 48.0f);
        ASSERT_LE(p.x, size - 48.0f);
        ASSERT_GE(p.z, 48.0f);
        ASSERT_LE(p.z, size - 48.0f);
        YActorWorld::GroundSample sample;
        m_world.SampleAtPoint(p, sample);
        const double floor = (actor->m_flagsA & YActor::FlagClipToWater) ? std::max(sample.ground, sample.water)
                                                                         : sample.ground;
        ASSERT_GE(p.y, floor - 1e-3) << p.x << ", " << p.z;
        ASSERT_TRUE(ListedAt(actor, p)) << p.x << ", " << p.z;
        ASSERT_EQ(1, Registrations(actor));
        onGround += (actor->m_flagsB & YActor::FlagOnGround) != 0;
    }
    EXPECT_GT(onGround, 0);
    EXPECT_EQ(300, m_world.GetCount());
    m_world.Clear();
    for (YActor* actor : crowd) EXPECT_EQ(0, Registrations(actor));
}
#endif
