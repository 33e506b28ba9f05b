// libFuzzer target for the controls' archive forms (buttons, sliders, scroll
// bars, text controls, multi-images, animations, edit boxes, list boxes,
// list controls, combo boxes): the input is four 32-bit words, a point and
// two numbers, then an archive of one window.  Every window of the tree
// read is drawn, pressed, dragged, typed into and released at the point,
// given the numbers as sizes, offsets and indexes of its kind, copied and
// stored again.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "FuzzControls.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Numbers numbers;
    if (size < sizeof numbers) return 0;
    memcpy(&numbers, data, sizeof numbers);
    data += sizeof numbers;
    size -= sizeof numbers;
    // Only windows: a collection on top owns nothing it holds.
    try {
        CMemFile file(const_cast<BYTE*>(data), static_cast<UINT>(size));
        CArchive ar(&file, CArchive::load);
        const CRuntimeClass* first = ar.ReadClass(nullptr);
        if (!first || !first->IsDerivedFrom(RUNTIME_CLASS(YWindow))) return 0;
    } catch (CException* e) {
        e->Delete();
        return 0;
    }
    CObject* read = nullptr;
    try {
        CMemFile file(const_cast<BYTE*>(data), static_cast<UINT>(size));
        CArchive ar(&file, CArchive::load);
        read = ar.ReadObject(nullptr);
    } catch (CException* e) {
        e->Delete();
    }
    YWindow* window = dynamic_cast<YWindow*>(read);
    if (!window) {
        delete read;
        return 0;
    }
    fuzz::MeasuringDC dc;
    fuzz::ExerciseWindow(window, numbers, dc);
    if (YResource* copy = window->CopyTo(nullptr)) delete copy;
    try {
        CMemFile out;
        CArchive ar(&out, CArchive::store);
        ar.WriteObject(window);
        ar.Close();
    } catch (CException* e) {
        e->Delete();
    }
    delete window;
    return 0;
}
