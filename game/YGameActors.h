// The population actors of a round and the engine's typed lists of them.
// The lists hold references: the actors belong to the game world. A
// collected actor leaves its entry in the list with a null pointer.
#pragma once

#include "game/YBalloon.h"
#include "game/YBalloonString.h"
#include "game/YGoal.h"
#include "game/YPowerUp.h"
#include "game/YTarget.h"
#include "game/YTunnix.h"
#include "game/YWaypoint.h"
#include "platform/mfc.h"

typedef CTypedPtrList<CPtrList, YBalloon*> YBalloonList;
typedef CTypedPtrList<CPtrList, YTunnix*> YTunnixList;
typedef CTypedPtrList<CPtrList, YPowerUp*> YPowerUpList;
typedef CTypedPtrList<CPtrList, YWaypoint*> YWaypointList;
typedef CTypedPtrList<CPtrList, YTarget*> YTargetList;
typedef CTypedPtrList<CPtrList, YGoal*> YGoalList;
