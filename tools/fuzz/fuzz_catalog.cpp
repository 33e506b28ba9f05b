// libFuzzer target for catalogs with resource loading: the input is the
// catalog file.  A catalog that loads has every item's resource acquired
// for the display (fonts and sprites build their surfaces on it), released
// again, and is stored.
#include "tools/fuzz/FuzzScratch.h"

#include <vector>

#include "foundation/YCatalog.h"
#include "foundation/YCatalogItem.h"
#include "foundation/YResource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnterScratch("catalog");
    fuzz::WriteFile("fuzz.cat", data, size);
    YCatalog* catalog = nullptr;
    try {
        catalog = new YCatalog("fuzz.cat");
    } catch (CException* e) {
        e->Delete();
        return 0;
    }
    const DWORD_PTR display = reinterpret_cast<DWORD_PTR>(fuzz::Display());
    std::vector<YResource*> acquired;
    YCatalogItemList* items = catalog->GetItems();
    for (POSITION pos = items ? items->GetHeadPosition() : nullptr; pos;) {
        YCatalogItem* item = items->GetNext(pos);
        try {
            if (YResource* resource = catalog->AcquireItem(item, display)) acquired.push_back(resource);
        } catch (CException* e) {
            e->Delete();
        }
    }
    for (YResource* resource : acquired) catalog->ReleaseResource(resource);
    try {
        catalog->Store("stored.cat");
    } catch (CException* e) {
        e->Delete();
    }
    delete catalog;
    return 0;
}
