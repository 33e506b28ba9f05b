// libFuzzer target for the layout script language: the input is a layout's
// script, parsed into its item tree and drawn a few frames by the game's
// layout over a small game state, every argument resolved through the
// game's expression words and "renderframe" pointing the renderer's view;
// once into a context without a
// surface, then onto a small surface where every picture name gives one of
// two pictures (keyed, or alpha when the name starts with "a") and every
// sprite name a sprite of three frames.  The layout's set starts with a
// button "b" and a slider "s" for the control items to take, and every
// control the script placed is clicked once.  The make items read their
// image files from the scratch folder, which holds "k.bmp" (24-bit), "a.bmp"
// (32-bit), "g.bmp" (a glyph picture) and, from the bytes after a
// "\n--8<--\n" line, "in.bmp"; a small catalog names "Art:k" and "Fonts:g".
#include "tools/fuzz/FuzzScratch.h"
#include "tools/fuzz/FuzzGameState.h"

#include <string>
#include <vector>

#include "foundation/YCatalog.h"
#include "foundation/YCatalogItem.h"

#include "graphics2d/YFrame.h"
#include "graphics2d/YSprite.h"
#include "graphics2d/YSurfaceDC.h"
#include "gui/YButton.h"
#include "gui/YDC.h"
#include "frontend/YAppLayout.h"
#include "gui/YSlider.h"

namespace {
// A BMP of width x height at 24 or 32 bits, the pixel value its index.
std::string Bmp(int width, int height, int bits)
{
    const int stride = ((width * bits / 8) + 3) & ~3;
    std::string bytes(54 + static_cast<size_t>(stride) * height, '\0');
    auto put = [&](size_t at, uint32_t value, int count) {
        for (int i = 0; i < count; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
    };
    put(0, 'B' | 'M' << 8, 2);
    put(2, static_cast<uint32_t>(bytes.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(width), 4);
    put(22, static_cast<uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, static_cast<uint32_t>(bits), 2);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            put(54 + static_cast<size_t>(y) * stride + static_cast<size_t>(x) * (bits / 8),
                static_cast<uint32_t>((y * width + x) * 0x010203), bits / 8);
    return bytes;
}

// The make items' files and a catalog that names two of them.
YCatalog* MakeFiles()
{
    fuzz::WriteFile("k.bmp", Bmp(8, 6, 24));
    fuzz::WriteFile("a.bmp", Bmp(5, 7, 32));
    fuzz::WriteFile("g.bmp", Bmp(32, 24, 24));
    YCatalog* catalog = new YCatalog;
    catalog->GetSearchDirectories().Add(".");
    catalog->AddItem(new YCatalogItem(1, "Art", "k", "", 0, "", nullptr));
    catalog->AddItem(new YCatalogItem(17, "Fonts", "g", "", 0, "", nullptr));
    return catalog;
}

class FuzzLayout : public YAppLayout {
public:
    YCatalog* GetCatalog() override { return m_catalog; }
    YGraphics* GetGraphics() override { return nullptr; }
    YDXDraw* GetDisplay() override { return fuzz::Display(); }
    // Pictures only from the scratch folder.
    YDIB* GetDIB(const char* name, bool* created) override
    {
        if (created) *created = false;
        if (!name || strchr(name, '/') || strchr(name, '\\')) return nullptr;
        return YAppLayout::GetDIB(name, created);
    }
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
    void ExecuteCommandWithText(const char*, const char*) override {}
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
    YCatalog* m_catalog = nullptr;
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
    fuzz::EnterGameState();
    static YCatalog* catalog = MakeFiles();
    std::string script, picture;
    fuzz::Split(data, size, script, picture);
    fuzz::WriteFile("in.bmp", picture);
    FuzzLayout layout;
    layout.m_catalog = catalog;
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
