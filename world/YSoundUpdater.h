// The "Sound" pass: the 3D listener follows the main world's view actor,
// and every actor steps its sounds against it.
#pragma once

#include "world/YActorWorldUpdater.h"

class YSoundUpdater : public YActorWorldUpdater {
    DECLARE_DYNCREATE(YSoundUpdater)
public:
    YSoundUpdater() : YActorWorldUpdater("Sound") {}
    uint32_t Update(YActorWorld* world, float dt) override;
};
