// Base of every 2D window and control.  So far its archive form is the
// resource's, and it keeps the resource's Accept.
#pragma once

#include "foundation/YResource.h"

class YWindow : public YResource {
    DECLARE_SERIAL(YWindow)
public:
    YWindow() = default;
};
