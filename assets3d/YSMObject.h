// The shared 3D model of a ".ysm" file, owned by the renderer's model table
// and shared by every instance drawn from it.  So far only its identity: the
// model format comes with the model loader.
#pragma once

#include "platform/mfc.h"

class YSMObject : public CObject {
    DECLARE_DYNCREATE(YSMObject)
public:
    YSMObject() = default;
    ~YSMObject() override = default;
};
