// A pilot's control record; the engine keeps an array of them.
#pragma once

#include "platform/mfc.h"

class YClientPhysics {
public:
    YClientPhysics() = default;
    virtual ~YClientPhysics() = default;
};

typedef CTypedPtrArray<CPtrArray, YClientPhysics*> YClientPhysicsArray;
