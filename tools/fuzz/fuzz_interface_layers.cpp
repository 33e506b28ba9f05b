// libFuzzer target for layout scripts shown through the interface manager:
// the first line is a list of actions (one character each, on the layers
// "a", "b", "c" in turn), the rest the script every shown layer gets.
// Layouts are opened, refreshed, replaced, hidden, moved and made modal
// between frames and steps, and may do the same from their own draws,
// steps and commands.
#include "tools/fuzz/FuzzScratch.h"

#include <string>

#include "gui/YDC.h"
#include "gui/YInterfaceMgr.h"
#include "gui/YLayout.h"
#include "gui/YLayoutResSet.h"

namespace {
YInterfaceMgr* g_manager = nullptr;
std::string g_script;

// A layout that, told by its script's numbers, hides or replaces its layer.
class FuzzLayout : public YLayout {
public:
    YCatalog* GetCatalog() override { return nullptr; }
    YGraphics* GetGraphics() override { return nullptr; }
    int ResolveValue(const char* text, YDC*, YLayoutGroup*) override
    {
        const int value = static_cast<int>(strtol(text, nullptr, 0));
        if (value == 666 && g_manager) g_manager->SetLayout("a", nullptr, 0, "gone");
        if (value == 777 && g_manager) g_manager->SetLayout("b", g_script.c_str(), YInterfaceMgr::LayoutShow, "x");
        return value;
    }
    float ResolveFloat(const char* text, YDC*, YLayoutGroup*) override { return static_cast<float>(atof(text)); }
    CString ResolveText(const char* text, YDC*) override { return CString(text); }
    YLayoutItem* CreateAppItem(const char*) override { return nullptr; }
    void ExecuteCommand(const char*) override {}
    void ExecuteCommandWithText(const char*, const char*) override {}
    void KeyboardOn(bool) override {}
    void OnIdle() override {}
    void OnStep() override
    {
        if (g_manager && m_script.Find("step") >= 0) g_manager->SetLayout("c", nullptr, 0, "");
    }
};

class FuzzFactory : public YInterfaceFactory {
public:
    YLayoutResSet* GetResourceSet() override { return &m_set; }
    YLayout* CreateLayout(const char*) override
    {
        YLayout* layout = new FuzzLayout;
        RECT screen = {0, 0, 640, 480};
        layout->MoveTo(&screen);
        return layout;
    }
    YLayoutResSet m_set;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnterScratch("interface_layers");
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t newline = input.find('\n');
    const std::string actions = input.substr(0, std::min<size_t>(newline, 64));
    g_script = newline == std::string::npos ? std::string() : input.substr(newline + 1);
    FuzzFactory factory;
    YDC dc;
    {
        YInterfaceMgr manager(&factory);
        g_manager = &manager;
        const char* const layers[] = {"a", "b", "c"};
        const char* const handlers[] = {"", "x", "gone"};
        for (size_t i = 0; i < actions.size(); ++i) {
            const char* layer = layers[i % 3];
            const char* handler = handlers[(i / 3) % 3];
            switch (actions[i]) {
            case 's': manager.SetLayout(layer, g_script.c_str(), YInterfaceMgr::LayoutShow, handler); break;
            case 'm':
                manager.SetLayout(layer, g_script.c_str(), YInterfaceMgr::LayoutShow | YInterfaceMgr::LayoutModal,
                                  handler);
                break;
            case 'h': manager.SetLayout(layer, nullptr, 0, handler); break;
            case 't': manager.SetTextureLayout(static_cast<int32_t>(i % 3), g_script.c_str(), 1, handler); break;
            case 'u': manager.SetTextureLayout(static_cast<int32_t>(i % 3), nullptr, 0, handler); break;
            case 'f': manager.MoveLayout(layer, true); break;
            case 'b': manager.MoveLayout(layer, false); break;
            case 'd': manager.Draw(&dc); break;
            case 'p': manager.Step(); break;
            case 'k': manager.HandleMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(i * 37 % 640, i * 53 % 480)); break;
            case 'r': manager.ReleaseSurfaces(); break;
            default: break;
            }
        }
        manager.Draw(&dc);
        manager.Step();
        g_manager = nullptr;
    }
    return 0;
}
