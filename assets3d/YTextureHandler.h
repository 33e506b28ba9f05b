// The catalog's texture handler; so far its archive form is the resource's.
#pragma once

#include "foundation/YResource.h"

class YTextureHandler : public YResource {
    DECLARE_SERIAL(YTextureHandler)
public:
    YTextureHandler() = default;

    int Accept(YResourceVisitor* visitor) override;
};
