// The collision pass the session hands the world as its move callback:
// every move of a colliding actor is swept against the world, the actor is
// told what it struck, and pulled back or slid along the obstacle.  Planes
// are swept part by part so that they know which part struck.
#pragma once

#include "foundation/YVector.h"

class YActor;
class YActorWorld;
struct YTraceResult;

// The move callback: may change the actor's new position.
void CollideActorParts(YActor* actor, const YVector& newPosition, const YVector& oldPosition);
// One sweep of one segment; may change the new position in place.
void SweepActor(YActor* actor, YVector& newPosition, const YVector& oldPosition);
// Moves the contact along the obstacle, or back to the old position.
void SlideActor(YActor* actor, const YTraceResult& hit, YVector& contact, const YVector& velocity,
                const YVector& motion, const YVector& oldPosition, YActorWorld* world, float dt, bool firstAttempt);
