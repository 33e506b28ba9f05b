// The frames of a sprite, in order.
#pragma once

#include "platform/mfc.h"

class YFrame;

class YFrameList : public CTypedPtrList<CObList, YFrame*> {
};
