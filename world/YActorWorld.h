// An actor world: the slots of its actors, the view actor and the view vector.
#pragma once

#include <vector>

#include "foundation/YVector.h"

class YActor;

class YActorWorld {
public:
    YActorWorld();
    virtual ~YActorWorld();
    YActorWorld(const YActorWorld&) = delete;
    YActorWorld& operator=(const YActorWorld&) = delete;

    // Takes the actor into the next slot; its index.
    int AddActor(YActor* actor);
    // The actor in that slot, null when the slot is empty or out of range.
    YActor* GetActor(int index) const;
    // Deletes the actors flagged for destruction; the number removed.
    int Purge();
    int GetHighestIndex() const { return m_highest; }

    int m_highest;  // -1 while empty
    void* m_viewActor;
    YVector m_viewVector;

private:
    std::vector<YActor*> m_actors;  // owned
};
