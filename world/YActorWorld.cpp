#include "world/YActorWorld.h"

#include <cstddef>

#include "platform/win32.h"
#include "world/YActor.h"

YActorWorld::YActorWorld() : m_highest(-1), m_viewActor(nullptr), m_viewAttachment{-1, -1, 0} {}

YActorWorld::~YActorWorld()
{
    for (YActor* actor : m_actors) delete actor;
}

int YActorWorld::AddActor(YActor* actor)
{
    if (!actor) return -1;
    actor->m_world = this;
    for (size_t i = 0; i < m_actors.size(); ++i) {
        if (!m_actors[i]) {
            m_actors[i] = actor;
            return static_cast<int>(i);
        }
    }
    m_actors.push_back(actor);
    m_highest = static_cast<int>(m_actors.size()) - 1;
    return m_highest;
}

YActor* YActorWorld::GetActor(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_actors.size())) return nullptr;
    return m_actors[static_cast<size_t>(index)];
}

int YActorWorld::IndexOf(const YActor* actor) const
{
    if (!actor) return -1;
    for (size_t i = 0; i < m_actors.size(); ++i)
        if (m_actors[i] == actor) return static_cast<int>(i);
    return -1;
}

int YActorWorld::FindActor(int start, const char* identifier) const
{
    int count = static_cast<int>(m_actors.size());
    if (!identifier || count == 0) return -1;
    if (start < -1 || start >= count) start = -1;
    for (int step = 1; step <= count; ++step) {
        int index = (start + step) % count;
        const YActor* actor = m_actors[static_cast<size_t>(index)];
        if (actor && !actor->IsMarkedForDestruction() && actor->m_name.CompareNoCase(identifier) == 0) return index;
    }
    return -1;
}

int YActorWorld::AttachView(int viewIndex, int targetIndex, int distance)
{
    if (!GetActor(viewIndex) || !GetActor(targetIndex)) return 0;
    m_viewAttachment = {viewIndex, targetIndex, distance};
    return 1;
}

int YActorWorld::RemoveActor(YActor* actor, int destroy)
{
    int index = IndexOf(actor);
    if (index < 0) return 0;
    if (m_viewAttachment.viewIndex == index || m_viewAttachment.targetIndex == index)
        m_viewAttachment = {-1, -1, 0};
    if (destroy) {
        actor->MarkForDestruction();
        return 1;
    }
    if (m_viewActor == actor) m_viewActor = nullptr;
    m_actors[static_cast<size_t>(index)] = nullptr;
    actor->m_world = nullptr;
    while (!m_actors.empty() && !m_actors.back()) m_actors.pop_back();
    m_highest = static_cast<int>(m_actors.size()) - 1;
    return 1;
}

int YActorWorld::Purge()
{
    int removed = 0;
    for (size_t i = 0; i < m_actors.size(); ++i) {
        YActor*& actor = m_actors[i];
        if (!actor || !actor->IsMarkedForDestruction()) continue;
        if (m_viewActor == actor) m_viewActor = nullptr;
        int index = static_cast<int>(i);
        if (m_viewAttachment.viewIndex == index || m_viewAttachment.targetIndex == index)
            m_viewAttachment = {-1, -1, 0};
        delete actor;
        actor = nullptr;
        ++removed;
    }
    // Empty slots at the end go; the others keep their indexes.
    while (!m_actors.empty() && !m_actors.back()) m_actors.pop_back();
    m_highest = static_cast<int>(m_actors.size()) - 1;
    return removed;
}
