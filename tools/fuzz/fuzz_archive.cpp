// libFuzzer target for MFC archives and collections: the input is an
// archive of one object of any class the program registers (collections of
// strings and values, catalogs, resources, windows, settings, ...).
// A window is drawn, clicked, dragged and typed into as fuzz_window_controls
// does it, at its corners and centre.  It is stored again and deleted.
#include <cstddef>
#include <cstdint>

#include "FuzzControls.h"
#include "foundation/YCatalogItem.h"
#include "platform/mfc.h"

namespace {

int Clamped(long long value)
{
    return value > INT32_MAX ? INT32_MAX : value < INT32_MIN ? INT32_MIN : static_cast<int>(value);
}

// Inside the window at its centre and top-left corner, then just past its
// bottom-right corner, the window's own size as the numbers.
void ExerciseAtItsEdges(YWindow* window)
{
    const RECT r = window->Rect();
    const long long width = static_cast<long long>(r.right) - r.left, height = static_cast<long long>(r.bottom) - r.top;
    const fuzz::Numbers points[] = {
        {Clamped(r.left + width / 2), Clamped(r.top + height / 2), Clamped(width), Clamped(height)},
        {r.left, r.top, Clamped(height), Clamped(width)},
        {r.right, r.bottom, Clamped(-width), Clamped(r.bottom - 1LL)},
    };
    fuzz::MeasuringDC dc;
    for (const fuzz::Numbers& n : points) fuzz::ExerciseWindow(window, n, dc);
}

}  // namespace

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
    if (YWindow* window = dynamic_cast<YWindow*>(read)) ExerciseAtItsEdges(window);
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
