// libFuzzer target for MFC archives and collections: the input is an
// archive of one object of any class the program registers (collections of
// strings and values, catalogs, resources, windows, settings, ...).
// It is stored again and deleted.
#include <cstddef>
#include <cstdint>

#include "foundation/YCatalogItem.h"
#include "platform/mfc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The collections of object pointers own nothing, nor does a catalog item
    // own its related items (its catalog does): the game reads neither alone
    // from outside data (fuzz_catalog reads items within their catalog).
    try {
        CMemFile file(const_cast<BYTE*>(data), static_cast<UINT>(size));
        CArchive ar(&file, CArchive::load);
        const CRuntimeClass* first = ar.ReadClass(nullptr);
        for (const CRuntimeClass* owner : {RUNTIME_CLASS(CObArray), RUNTIME_CLASS(CObList), RUNTIME_CLASS(CMapStringToOb),
                                             RUNTIME_CLASS(YCatalogItem)})
            if (first == owner) return 0;
    } catch (CException* e) {
        e->Delete();
    }
    CObject* read = nullptr;
    try {
        CMemFile file(const_cast<BYTE*>(data), static_cast<UINT>(size));
        CArchive ar(&file, CArchive::load);
        read = ar.ReadObject(nullptr);
    } catch (CException* e) {
        e->Delete();
    }
    try {
        CMemFile out;
        CArchive ar(&out, CArchive::store);
        ar.WriteObject(read);
        ar.Close();
    } catch (CException* e) {
        e->Delete();
    }
    delete read;
    return 0;
}
