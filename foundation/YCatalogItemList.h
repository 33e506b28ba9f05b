// A list of catalog items.
#pragma once

#include "platform/mfc.h"

class YCatalogItem;

class YCatalogItemList : public CTypedPtrList<CObList, YCatalogItem*> {
public:
    explicit YCatalogItemList(int blockSize = 10) : CTypedPtrList<CObList, YCatalogItem*>(blockSize) {}
};
