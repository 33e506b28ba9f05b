// libFuzzer target for the layout script language: the input is a layout's
// script, parsed into its item tree and drawn a few frames, the block
// arguments resolved as numbers and texts; once into a context without a
// surface, then onto a small surface where every picture name gives one of
// two pictures (keyed, or alpha when the name starts with "a") and every
// sprite name a sprite of three frames.  The layout's set starts with a
// button "b" and a slider "s" for the control items to take, and every
// control the script placed is clicked once.
#include "tools/fuzz/FuzzScratch.h"

#include <string>

#include "graphics2d/YFrame.h"
#include "graphics2d/YSprite.h"
#include "graphics2d/YSurfaceDC.h"
#include "gui/YButton.h"
#include "gui/YDC.h"
#include "gui/YLayout.h"
#include "gui/YSlider.h"

namespace {
class FuzzLayout : public YLayout {
public:
    YCatalog* GetCatalog() override { return nullptr; }
    YGraphics* GetGraphics() override { return nullptr; }
    int ResolveValue(const char* text, YDC*, YLayoutGroup*) override { return static_cast<int>(strtol(text, nullptr, 0)); }
    float ResolveFloat(const char* text, YDC*) override { return static_cast<float>(atof(text)); }
    CString ResolveText(const char* text, YDC*) override { return CString(text); }
    YLayoutItem* CreateAppItem(const char*) override { return nullptr; }
    // Free controls of those names.
    void AddControls()
    {
        const RECT size = {0, 0, 20, 10};
        YButton* button = new YButton;
        button->Create("", 0, &size, nullptr, 0);
        m_activeSet->Add(GetButtonList(), "b", button, nullptr);
        YSlider* slider = new YSlider;
        slider->Create("", 0, &size, nullptr, 0);
        m_activeSet->Add(GetSliderList(), "s", slider, nullptr);
    }
    // A press and release in the middle of every control.
    void ClickControls()
    {
        for (int i = 0; i < GetChildCount(); ++i) {
            RECT r;
            GetChild(i)->GetRect(&r);
            const LPARAM at = MAKELPARAM(static_cast<WORD>(r.left / 2 + r.right / 2),
                                         static_cast<WORD>(r.top / 2 + r.bottom / 2));
            HandleMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
            HandleMessage(WM_LBUTTONUP, 0, at);
        }
        YWindow::SetCaptureWindow(nullptr);
    }
    void ExecuteCommand(const char*) override {}
    void KeyboardOn(bool) override {}
    void OnIdle() override {}
    YDXSurface* GetImage(const char* name, bool* created) override
    {
        if (created) *created = false;
        return name && (name[0] == 'a' || name[0] == 'A') ? m_alpha : m_keyed;
    }
    YSprite* GetSprite(const char* name, bool* created) override
    {
        if (created) *created = false;
        return name && *name ? m_sprite : nullptr;
    }
    YDXSurface* m_keyed = nullptr;
    YDXSurface* m_alpha = nullptr;
    YSprite* m_sprite = nullptr;
};

struct Pictures {
    Pictures() : keyed(fuzz::Target(12, 7))
    {
        alpha.reset(new YDXSurface("fuzz alpha"));
        if (alpha->CreateAlphaSource(fuzz::Display(), 5, 9) != 1) alpha.reset();
        for (int i = 0; i < 3; ++i) {
            YFrame* frame = new YFrame;
            frame->m_frameRect = RECT{0, 0, 6 + i, 4};
            frame->SetHotSpot(i, 2);
            sprite.AddFrame(frame);
        }
    }
    std::unique_ptr<YDXSurface> keyed, alpha;
    YSprite sprite;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnterScratch("layout_script");
    const std::string script(reinterpret_cast<const char*>(data), size);
    FuzzLayout layout;
    RECT screen = {0, 0, 640, 480};
    layout.MoveTo(&screen);
    layout.SetDepth(size % 7);
    layout.AddControls();
    layout.SetScript(script.c_str());
    YDC dc;
    layout.Draw(&dc);
    layout.ClickControls();
    layout.ReloadAll();
    layout.Draw(&dc);
    layout.SetScript(script.c_str());  // parsed again over the old tree
    layout.Draw(&dc);

    static Pictures* pictures = new Pictures;
    static std::unique_ptr<YDXSurface> target = fuzz::Target(64, 48);
    if (!target) return 0;
    layout.m_keyed = pictures->keyed.get();
    layout.m_alpha = pictures->alpha.get();
    layout.m_sprite = &pictures->sprite;
    RECT small = {0, 0, 64, 48};
    layout.MoveTo(&small);
    YSurfaceDC surfaceDC(target.get(), 0);
    layout.ReloadAll();
    layout.Draw(&surfaceDC);
    return 0;
}
