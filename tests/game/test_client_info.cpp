#include <gtest/gtest.h>

#include "engine/YGameObjects.h"
#include "game/YClientInfo.h"
#include "game/YPlane.h"
#include "world/YActor.h"
#include "world/YActorWorld.h"

namespace {

// Counts its destructions.
class CountedObject : public CObject {
public:
    explicit CountedObject(int* deaths) : m_deaths(deaths) {}
    ~CountedObject() override { ++*m_deaths; }
    int* m_deaths;
};

}  // namespace

TEST(ClientInfo, ResetClearsEverythingButTheName)
{
    YClientInfo record;
    YActor actor;
    YPlane plane;
    int deaths = 0;
    record.m_name = "Ace";
    record.m_plane = &plane;
    record.m_controlledPlane = &plane;
    record.m_aimActor = &actor;
    record.m_bodyActor = &actor;
    record.m_secondActor = record.m_furtherActor = &actor;
    record.m_indexA = 3;
    record.m_indexB = 4;
    record.m_range = 9.0f;
    record.m_active = 0;
    record.m_averageDirty = 0;
    record.m_samples[7] = 12;
    record.m_words[11] = 5;
    record.m_owned->AddTail(new CountedObject(&deaths));
    record.m_owned->AddTail(new CountedObject(&deaths));
    record.m_listCount = 2;

    record.Reset();

    EXPECT_EQ(record.m_indexA, -1);
    EXPECT_EQ(record.m_indexB, -1);
    for (YActor* held : {static_cast<YActor*>(record.m_plane), record.m_secondActor,
                         static_cast<YActor*>(record.m_controlledPlane), record.m_aimActor, record.m_bodyActor,
                         record.m_furtherActor})
        EXPECT_EQ(held, nullptr);
    EXPECT_EQ(record.m_averageDirty, 1);
    EXPECT_STREQ(record.m_name, "Ace");
    EXPECT_FLOAT_EQ(record.m_range, 200.0f);
    EXPECT_FLOAT_EQ(record.m_factor, 0.2f);
    EXPECT_EQ(record.m_active, 1);
    EXPECT_EQ(record.m_auxWordB, 1);
    EXPECT_EQ(record.m_samples[7], 0);
    EXPECT_EQ(record.m_words[11], 0);
    EXPECT_EQ(deaths, 2);
    EXPECT_TRUE(record.m_owned->IsEmpty());
    EXPECT_EQ(record.m_listCount, 0);
}

TEST(ClientInfo, DestructionDestroysTheOwnedObjects)
{
    int deaths = 0;
    {
        YClientInfo record;
        record.m_owned->AddTail(new CountedObject(&deaths));
    }
    EXPECT_EQ(deaths, 1);
}

TEST(ClientInfo, RunTimeClassIsRegistered)
{
    CObject* made = CRuntimeClass::FromName("YClientInfo") ? CRuntimeClass::FromName("YClientInfo")->CreateObject()
                                                          : nullptr;
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(YClientInfo)));
    delete made;
}

// The world's purge makes the engine's pilot records forget a removed actor.
TEST(ClientInfo, PurgedActorIsForgottenByThePilotRecords)
{
    YGameObjects* engine = YGameObjects::Instance();
    YActorWorld world;
    YActorWorld* saved = engine->m_world;
    engine->m_world = &world;
    world.Init(nullptr, nullptr, "maps", YActorWorld::kDefaultCapacity);
    YPlane* plane = new YPlane;
    YActor* aim = new YActor;
    YActor* other = new YActor;
    world.AddActor(plane);
    world.AddActor(aim);
    world.AddActor(other);
    YClientInfo* record = engine->m_localClient;
    record->m_plane = plane;
    record->m_controlledPlane = plane;
    record->m_aimActor = aim;
    record->m_bodyActor = other;

    plane->MarkForDestruction();
    aim->MarkForDestruction();
    world.PurgeDestroyed();

    EXPECT_EQ(record->m_plane, nullptr);
    EXPECT_EQ(record->m_controlledPlane, nullptr);
    EXPECT_EQ(record->m_aimActor, nullptr);
    EXPECT_EQ(record->m_bodyActor, other);
    record->Reset();
    world.Clear();
    engine->m_world = saved;
}
