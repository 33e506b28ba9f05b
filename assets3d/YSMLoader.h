// The catalog's model loader; so far its archive form is the resource's.
#pragma once

#include "foundation/YResource.h"

class YSMLoader : public YResource {
    DECLARE_SERIAL(YSMLoader)
public:
    YSMLoader() = default;

    int Accept(YResourceVisitor* visitor) override;
};
