// libFuzzer target for population scripts (".rcs"): the input is read into a
// world with the engine's lists and rules, every actor made steps once and
// is touched by a plane, and clearing the population must leave none of it.
#include <cstdlib>

#include "tools/fuzz/FuzzScratch.h"

#include "engine/YGameObjects.h"
#include "game/YGameActors.h"
#include "game/YPlane.h"
#include "world/YActorWorld.h"
#include "world/YGameRules.h"
#include "world/YScriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnterScratch("population_script");
    fuzz::WriteFile("script.rcs", data, size);
    YGameObjects* engine = YGameObjects::Instance();
    YActorWorld* const ownWorld = engine->m_world;
    YGameRules* const ownRules = engine->m_rules;
    YActorWorld world;
    YGameRules rules;
    rules.m_state = YGameRules::StateRun;
    engine->m_world = &world;
    engine->m_rules = &rules;
    engine->CreatePopulationLists();
    YPlane* plane = new YPlane;
    world.AddActor(plane);
    {
        YScriptor scriptor;
        if (scriptor.Open("script.rcs", YScriptor::ModeRead)) scriptor.ReadAndSpawn();
    }
    const int top = world.GetHighestIndex();
    for (int i = 0; i <= top; ++i) {
        YActor* actor = world.GetActor(i);
        if (!actor || actor == plane) continue;
        actor->Update(0.02f);
        actor->Touch(plane);
        actor->BuildRenderInstance();
    }
    world.PurgeDestroyed();
    engine->ClearPopulation();
    // Nothing of the population is left (the plane and temporary sounds stay).
    for (int i = 0; i <= world.GetHighestIndex(); ++i) {
        YActor* actor = world.GetActor(i);
        if (dynamic_cast<YSpriteActor*>(actor) || dynamic_cast<YTarget*>(actor)) std::abort();
    }
    world.Clear();
    engine->CreatePopulationLists();
    engine->m_rules = ownRules;
    engine->m_world = ownWorld;
    return 0;
}
