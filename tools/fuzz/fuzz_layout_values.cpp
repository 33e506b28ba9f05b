// libFuzzer target for the game layout's expression words: every line of the
// input is handed to the integer, float and text resolvers, without a group
// and inside a group, over a small game state, once on a context without a
// surface and once on a small surface.
#include "tools/fuzz/FuzzGameState.h"
#include "tools/fuzz/FuzzScratch.h"

#include <string>

#include "frontend/YAppLayout.h"
#include "graphics2d/YSurfaceDC.h"
#include "gui/YDC.h"
#include "gui/YLayoutGroup.h"

namespace {
class ValueLayout : public YAppLayout {
public:
    YGraphics* GetGraphics() override { return nullptr; }
    YDXDraw* GetDisplay() override { return fuzz::Display(); }
    void ExecuteCommand(const char*) override {}
    void ExecuteCommandWithText(const char*, const char*) override {}
    void KeyboardOn(bool) override {}
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnterScratch("layout_values");
    fuzz::EnterGameState();
    static ValueLayout* layout = [] {
        ValueLayout* made = new ValueLayout;
        RECT screen = {0, 0, 640, 480};
        made->MoveTo(&screen);
        return made;
    }();
    static std::unique_ptr<YDXSurface> target = fuzz::Target(64, 48);
    YLayoutGroup root, group;
    root.m_layout = layout;
    group.m_layout = layout;
    group.m_parentGroup = &root;
    group.m_rect = RECT{10, 20, 210, 120};
    YDC plain;
    YSurfaceDC onSurface(target.get(), 0);

    const std::string all(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    while (start <= all.size()) {
        size_t end = all.find('\n', start);
        if (end == std::string::npos) end = all.size();
        const std::string line = all.substr(start, end - start);
        for (YDC* dc : {static_cast<YDC*>(&plain), static_cast<YDC*>(&onSurface)})
            for (YLayoutGroup* in : {static_cast<YLayoutGroup*>(nullptr), &group}) {
                layout->ResolveValue(line.c_str(), dc, in);
                layout->ResolveFloat(line.c_str(), dc, in);
            }
        layout->ResolveText(line.c_str(), &plain);
        start = end + 1;
    }
    group.m_parentGroup = nullptr;
    return 0;
}
