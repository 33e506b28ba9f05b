// libFuzzer target for the controls' archive forms (buttons, sliders, scroll
// bars, text controls, multi-images, animations): the input is two 32-bit
// words, a point, then an archive of one window.  Every window of the tree
// read is drawn, pressed, dragged and released at the point, its value and
// part geometry worked out, copied and stored again.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "gui/YAnimation.h"
#include "gui/YButton.h"
#include "gui/YDC.h"
#include "gui/YFontButton.h"
#include "gui/YMultiImage.h"
#include "gui/YScrollBar.h"
#include "gui/YSlider.h"
#include "gui/YTextCtrl.h"

namespace {

void Exercise(YWindow* window, int x, int y, int depth)
{
    YDC dc;
    window->SetHover();
    window->Draw(&dc);
    window->DrawOverlay(&dc);
    window->OnLButtonDown(0, x, y);
    window->OnMouseMove(0, x & 0xFFFF, y & 0xFFFF);
    window->Draw(&dc);
    window->OnLButtonUp(0, y, x);
    window->OnLButtonDblClk(0, y, x);
    window->OnLButtonUp(0, x, y);
    RECT r;
    window->GetRect(&r);
    if (auto* slider = dynamic_cast<YSlider*>(window)) {
        slider->ValueToX(x);
        slider->XToValue(y);
        slider->SetValue(x);
        slider->ThumbRect();
    }
    if (auto* bar = dynamic_cast<YScrollBar*>(window)) {
        for (int part = 0; part < 5; ++part) bar->GetPartRect(part, &r);
        bar->PartFromPoint(x, y);
        bar->SetPos(y, 0);
        bar->OnLButtonDown(0, x, y);
        bar->OnMouseMove(0, y, x);
        bar->Draw(&dc);
        bar->OnLButtonUp(0, x, y);
    }
    if (auto* button = dynamic_cast<YButton*>(window)) {
        button->SetCheck(true);
        button->DrawCaption(&dc);
        button->UncheckGroup();
    }
    if (auto* animation = dynamic_cast<YAnimation*>(window)) animation->Reset();
    YWindow::SetCaptureWindow(nullptr);
    if (depth < 8)
        for (int i = 0; i < window->GetChildCount(); ++i) Exercise(window->GetChild(i), x, y, depth + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 8) return 0;
    int32_t point[2];
    memcpy(point, data, sizeof point);
    // Only windows: a collection on top owns nothing it holds.
    try {
        CMemFile file(const_cast<BYTE*>(data + 8), static_cast<UINT>(size - 8));
        CArchive ar(&file, CArchive::load);
        const CRuntimeClass* first = ar.ReadClass(nullptr);
        if (!first || !first->IsDerivedFrom(RUNTIME_CLASS(YWindow))) return 0;
    } catch (CException* e) {
        e->Delete();
        return 0;
    }
    CObject* read = nullptr;
    try {
        CMemFile file(const_cast<BYTE*>(data + 8), static_cast<UINT>(size - 8));
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
    Exercise(window, point[0], point[1], 0);
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
