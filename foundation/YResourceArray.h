// Resources a resource draws with; the entries are not owned.
#pragma once

#include "platform/mfc.h"

class YResource;

class YResourceArray : public CTypedPtrArray<CObArray, YResource*> {
};
