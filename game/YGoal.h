// The goal banner where planes bank the Tunnix balls they carry.
#pragma once

#include "game/YSpriteActor.h"

class YGoal : public YSpriteActor {
public:
    YGoal();
    YGoal(const YVector& position, bool resetNames);

    virtual void Init(const YVector& position, bool resetNames);
    void Touch(YActor* other) override;

    static int s_nameCounter;
};
