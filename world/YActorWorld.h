// An actor world: the slots of its actors, the view actor and the view vector.
#pragma once

#include "foundation/YVector.h"

class YActorWorld {
public:
    YActorWorld();
    virtual ~YActorWorld();

    // Deletes the actors flagged for destruction; the number removed.
    int Purge();
    int GetHighestIndex() const { return m_highest; }

    int m_highest;  // -1 while empty
    void* m_viewActor;
    YVector m_viewVector;
};
