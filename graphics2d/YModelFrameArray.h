// The frames of a model.
#pragma once

#include "platform/mfc.h"

class YModelFrame;

class YModelFrameArray : public CTypedPtrArray<CObArray, YModelFrame*> {
};
