// A sound emitter description; so far its archive form is the resource's.
#pragma once

#include "foundation/YResource.h"

class YSoundEmitter : public YResource {
    DECLARE_SERIAL(YSoundEmitter)
public:
    YSoundEmitter() = default;

    int Accept(YResourceVisitor* visitor) override;
};
