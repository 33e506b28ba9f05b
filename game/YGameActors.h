// The population actors of a round and the engine's typed lists of them.
// The lists hold references: the actors belong to the game world.
#pragma once

#include "platform/mfc.h"
#include "world/YActor.h"

class YBalloon : public YActor {
public:
    YActor* m_carried = nullptr;  // the actor the balloon carries, or null
};

class YTunnix : public YActor {};
class YPowerUp : public YActor {};
class YWaypoint : public YActor {};
class YTarget : public YActor {
public:
    uint8_t m_hitByBot = 0;
    uint8_t m_hitByPlayer = 0;
};
class YGoal : public YActor {};

typedef CTypedPtrList<CPtrList, YBalloon*> YBalloonList;
typedef CTypedPtrList<CPtrList, YTunnix*> YTunnixList;
typedef CTypedPtrList<CPtrList, YPowerUp*> YPowerUpList;
typedef CTypedPtrList<CPtrList, YWaypoint*> YWaypointList;
typedef CTypedPtrList<CPtrList, YTarget*> YTargetList;
typedef CTypedPtrList<CPtrList, YGoal*> YGoalList;
