// An actor world: the slots of its actors, the view actor, the view vector
// and the view attachment.
#pragma once

#include <vector>

#include "foundation/YVector.h"

class YActor;

class YActorWorld {
public:
    // Where the view follows a target actor from.
    struct ViewAttachment {
        int viewIndex;
        int targetIndex;
        int distance;
    };

    YActorWorld();
    virtual ~YActorWorld();
    YActorWorld(const YActorWorld&) = delete;
    YActorWorld& operator=(const YActorWorld&) = delete;

    // Takes the actor into the first free slot; its index, -1 for null.
    int AddActor(YActor* actor);
    // The actor in that slot, null when the slot is empty or out of range.
    YActor* GetActor(int index) const;
    // The slot of the actor, -1 when it is not in this world.
    int IndexOf(const YActor* actor) const;
    YActor* GetViewActor() const { return m_viewActor; }
    // The next actor after the start index whose name is the identifier
    // (without regard to case), going round past the last slot and ending
    // with the start slot itself; -1 when none. Actors already removed
    // (flagged for destruction) are not found. Called again from the last
    // hit it walks all matches.
    int FindActor(int start, const char* identifier) const;
    // The view follows the target at that distance; 0 when either index
    // names no actor.
    int AttachView(int viewIndex, int targetIndex, int distance);
    // With destroy set the actor leaves play at once (flagged, no longer
    // found) and the next purge deletes it; without, its slot is emptied
    // and the caller owns it again. 0 when it is not in this world.
    int RemoveActor(YActor* actor, int destroy);
    // Deletes the actors flagged for destruction; the number removed.
    int Purge();
    int GetHighestIndex() const { return m_highest; }

    int m_highest;  // -1 while empty
    YActor* m_viewActor;
    YVector m_viewVector;
    ViewAttachment m_viewAttachment;  // indexes -1 while unattached

private:
    std::vector<YActor*> m_actors;  // owned
};
