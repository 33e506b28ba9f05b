// The "Think" pass: each actor's per-frame Update, and its Think once the
// game clock reaches its next think time.
#pragma once

#include "world/YActorWorldUpdater.h"

class YThinkUpdater : public YActorWorldUpdater {
    DECLARE_DYNCREATE(YThinkUpdater)
public:
    YThinkUpdater() : YActorWorldUpdater("Think") {}
    uint32_t Update(YActorWorld* world, float dt) override;
};
