// Clearing the round's population: listed actors and every actor of the game
// world with a population kind bit are flagged and purged, the lists
// emptied, other actors kept.
#include <gtest/gtest.h>

#include "engine/YGameObjects.h"
#include "frontend/YAppInterfaceFactory.h"
#include "game/YGameActors.h"
#include "gui/YInterfaceMgr.h"
#include "world/YActor.h"
#include "world/YActorWorld.h"

namespace {
class Population : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_engine = YGameObjects::Instance();
        m_savedWorld = m_engine->m_world;
        m_engine->m_world = &m_world;
        m_engine->CreatePopulationLists();
    }
    void TearDown() override
    {
        m_engine->m_world = m_savedWorld;
        m_engine->CreatePopulationLists();
    }

    template <class T>
    T* Add(uint32_t flagsB = 0)
    {
        T* actor = new T;
        actor->m_flagsB = flagsB;
        m_world.AddActor(actor);
        return actor;
    }

    YGameObjects* m_engine = nullptr;
    YActorWorld* m_savedWorld = nullptr;
    YActorWorld m_world;
};
}  // namespace

TEST_F(Population, ListedActorsCarriedActorsAndAllPowerUpsGo)
{
    YBalloon* balloon = Add<YBalloon>();                       // 0
    balloon->m_string = Add<YBalloonString>();                 // 1, its string, not listed
    m_engine->m_tunnixes->AddTail(Add<YTunnix>());             // 2
    m_engine->m_waypoints->AddTail(Add<YWaypoint>());          // 3
    m_engine->m_targets->AddTail(Add<YTarget>());              // 4
    m_engine->m_goals->AddTail(Add<YGoal>());                  // 5
    m_engine->m_powerUps->AddTail(Add<YPowerUp>(YActor::FlagPowerUpKind));  // 6
    Add<YPowerUp>(YActor::FlagPowerUpKind | 0x1);              // 7, not listed
    Add<YActor>();                                             // 8, stays
    Add<YActor>(0x10000);                                      // 9, another kind: stays
    m_engine->m_balloons->AddTail(balloon);

    EXPECT_EQ(m_engine->ClearPopulation(), 8);

    const struct {
        int index;
        bool kept;
    } slots[] = {{0, false}, {1, false}, {2, false}, {3, false}, {4, false},
                 {5, false}, {6, false}, {7, false}, {8, true},  {9, true}};
    for (const auto& slot : slots) EXPECT_EQ(m_world.GetActor(slot.index) != nullptr, slot.kept) << slot.index;
    EXPECT_EQ(m_world.GetHighestIndex(), 9);
    EXPECT_TRUE(m_engine->m_balloons->IsEmpty());
    EXPECT_TRUE(m_engine->m_tunnixes->IsEmpty());
    EXPECT_TRUE(m_engine->m_powerUps->IsEmpty());
    EXPECT_TRUE(m_engine->m_waypoints->IsEmpty());
    EXPECT_TRUE(m_engine->m_targets->IsEmpty());
    EXPECT_TRUE(m_engine->m_goals->IsEmpty());
}

TEST_F(Population, EveryPopulationKindGoesListedOrNot)
{
    const struct {
        uint32_t bits;
        bool goes;
    } kinds[] = {
        {0x20000, true},  {0x40000, true},  {0x80000, true}, {0x100000, true}, {0x200000, true},
        {0x400000, true}, {0x800, false},   {0x10000, false}, {0x800000, false}, {0x0, false},
    };
    for (const auto& kind : kinds) Add<YActor>(kind.bits | YActor::FlagOnGround);
    int gone = 0;
    for (const auto& kind : kinds) gone += kind.goes;
    EXPECT_EQ(m_engine->ClearPopulation(), gone);
    for (int i = 0; i < static_cast<int>(sizeof kinds / sizeof kinds[0]); ++i)
        EXPECT_EQ(m_world.GetActor(i) == nullptr, kinds[i].goes) << std::hex << kinds[i].bits;
}

TEST_F(Population, TheWorldPurgesAlsoWithoutLists)
{
    YGoal* goal = Add<YGoal>();
    Add<YPowerUp>(YActor::FlagPowerUpKind);
    Add<YActor>()->MarkForDestruction();  // flagged earlier by the game
    m_engine->m_goals->AddTail(goal);
    YGoalList* goals = m_engine->m_goals;
    YPowerUpList* powerUps = m_engine->m_powerUps;
    m_engine->m_goals = nullptr;
    m_engine->m_powerUps = nullptr;

    // Without lists the population actors still go by their kind bits; the
    // goal here has none, and only its list would take it.
    EXPECT_EQ(m_engine->ClearPopulation(), 2);
    EXPECT_NE(m_world.GetActor(0), nullptr);
    EXPECT_EQ(m_world.GetActor(1), nullptr);
    EXPECT_EQ(m_world.GetActor(2), nullptr);
    EXPECT_EQ(m_world.GetHighestIndex(), 0) << "the empty last slots are dropped";

    m_engine->m_goals = goals;
    m_engine->m_powerUps = powerUps;
    EXPECT_EQ(m_engine->ClearPopulation(), 1);
    EXPECT_EQ(m_world.GetHighestIndex(), -1);
    EXPECT_EQ(m_world.GetCount(), 0);
}

TEST_F(Population, TheEngineOwnsTheFrontEndAndGameObjects)
{
    EXPECT_NE(m_engine->m_compass, nullptr);
    EXPECT_NE(m_engine->m_jukebox, nullptr);
    EXPECT_NE(m_engine->m_voiceOvers, nullptr);
    ASSERT_NE(m_engine->m_clientPhysics, nullptr);
    EXPECT_EQ(m_engine->m_clientPhysics->GetSize(), 0);
    ASSERT_NE(m_engine->m_interfaceMgr, nullptr);
    EXPECT_NE(dynamic_cast<YAppInterfaceFactory*>(m_engine->m_interfaceMgr->GetFactory()), nullptr);
    EXPECT_EQ(m_engine->m_opponentPlane, nullptr);
    EXPECT_EQ(m_engine->m_winnerPlane, nullptr);
}
