// A short-lived actor that carries a sound at a spot and goes once its sound
// list is empty.
#pragma once

#include "world/YActor.h"

class YTempSound : public YActor {
public:
    YTempSound() = default;

    void Update(float dt) override
    {
        YActor::Update(dt);
        if (m_sounds.IsEmpty()) MarkForDestruction();
    }
};
