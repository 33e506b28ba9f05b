// libFuzzer target for the layout script language: the input is a layout's
// script, parsed into its item tree and drawn a few frames, the block
// arguments resolved as numbers and texts.
#include "tools/fuzz/FuzzScratch.h"

#include <string>

#include "gui/YDC.h"
#include "gui/YLayout.h"

namespace {
class FuzzLayout : public YLayout {
public:
    YCatalog* GetCatalog() override { return nullptr; }
    YGraphics* GetGraphics() override { return nullptr; }
    int ResolveValue(const char* text, YDC*, YLayoutGroup*) override { return static_cast<int>(strtol(text, nullptr, 0)); }
    float ResolveFloat(const char* text, YDC*) override { return static_cast<float>(atof(text)); }
    CString ResolveText(const char* text, YDC*) override { return CString(text); }
    YLayoutItem* CreateAppItem(const char*) override { return nullptr; }
    void ExecuteCommand(const char*) override {}
    void KeyboardOn(bool) override {}
    void OnIdle() override {}
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
    layout.SetScript(script.c_str());
    YDC dc;
    layout.Draw(&dc);
    layout.ReloadAll();
    layout.Draw(&dc);
    layout.SetScript(script.c_str());  // parsed again over the old tree
    layout.Draw(&dc);
    return 0;
}
