// The plane actor a pilot flies.
#pragma once

#include "world/YActor.h"

class YPlane : public YActor {
    DECLARE_SERIAL(YPlane)
public:
    YPlane();
    ~YPlane() override = default;

    using YActor::OnCommand;
    // A command verb with its argument text and phase (1 press, 2 held,
    // 3 release); 1 when handled.
    virtual int OnCommand(int id, const char* argument, int phase);
};
