// libFuzzer target for MFC archives and collections: the input is an
// archive of one object of any class the program registers (collections,
// catalog items, resources, windows, settings, ...).  It is stored again and
// deleted with what its collection holds.
#include <cstddef>
#include <cstdint>
#include <set>
#include <vector>

#include "platform/mfc.h"

namespace {
// The object and, for the object collections, what they hold, each once.
void Collect(CObject* object, std::set<CObject*>& all, std::vector<CObject*>& order)
{
    if (!object || !all.insert(object).second) return;
    order.push_back(object);
    if (CObArray* array = DYNAMIC_DOWNCAST(CObArray, object)) {
        for (int i = 0; i < array->GetSize(); ++i) Collect(array->GetAt(i), all, order);
    } else if (CObList* list = DYNAMIC_DOWNCAST(CObList, object)) {
        for (POSITION pos = list->GetHeadPosition(); pos;) Collect(list->GetNext(pos), all, order);
    } else if (CMapStringToOb* map = DYNAMIC_DOWNCAST(CMapStringToOb, object)) {
        for (POSITION pos = map->GetStartPosition(); pos;) {
            CString key;
            CObject* value = nullptr;
            map->GetNextAssoc(pos, key, value);
            Collect(value, all, order);
        }
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CObject* read = nullptr;
    try {
        CMemFile file(const_cast<BYTE*>(data), static_cast<UINT>(size));
        CArchive ar(&file, CArchive::load);
        read = ar.ReadObject(nullptr);
    } catch (CException* e) {
        e->Delete();
    }
    std::set<CObject*> all;
    std::vector<CObject*> order;
    Collect(read, all, order);
    try {
        CMemFile out;
        CArchive ar(&out, CArchive::store);
        ar.WriteObject(read);
        ar.Close();
    } catch (CException* e) {
        e->Delete();
    }
    for (CObject* object : order) delete object;
    return 0;
}
