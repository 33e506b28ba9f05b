#include "world/YActorWorld.h"

#include <cstddef>

#include "world/YActor.h"

YActorWorld::YActorWorld() : m_highest(-1), m_viewActor(nullptr) {}

YActorWorld::~YActorWorld()
{
    for (YActor* actor : m_actors) delete actor;
}

int YActorWorld::AddActor(YActor* actor)
{
    if (!actor) return -1;
    m_actors.push_back(actor);
    m_highest = static_cast<int>(m_actors.size()) - 1;
    return m_highest;
}

YActor* YActorWorld::GetActor(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_actors.size())) return nullptr;
    return m_actors[static_cast<size_t>(index)];
}

int YActorWorld::Purge()
{
    int removed = 0;
    for (YActor*& actor : m_actors) {
        if (!actor || !actor->IsMarkedForDestruction()) continue;
        if (m_viewActor == actor) m_viewActor = nullptr;
        delete actor;
        actor = nullptr;
        ++removed;
    }
    // Empty slots at the end go; the others keep their indexes.
    while (!m_actors.empty() && !m_actors.back()) m_actors.pop_back();
    m_highest = static_cast<int>(m_actors.size()) - 1;
    return removed;
}
