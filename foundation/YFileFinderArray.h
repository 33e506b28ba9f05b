// The entries of a file handler.
#pragma once

#include "platform/mfc.h"

class YFileFinder;

class YFileFinderArray : public CTypedPtrArray<CObArray, YFileFinder*> {
};
