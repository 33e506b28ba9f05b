// A 3D arrow model in the world, made with the local plane.
#pragma once

#include "world/YActor.h"

class YArrow : public YActor {
public:
    // Loads "Dynamic:Planes:YSM:arrow" and joins the active world.
    YArrow();
};
