// What the item tests draw with: a layout whose pictures, sprites and fonts
// come from tables, a context that records what it is asked to draw, small
// surfaces on a windowed display with pixel probes, and a frozen clock.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "LayoutFixture.h"
#include "graphics2d/test_font_fixture.h"

#include "graphics2d/YDXSurface.h"
#include "graphics2d/YFont.h"
#include "graphics2d/YFrame.h"
#include "graphics2d/YSprite.h"
#include "graphics2d/YSurfaceDC.h"
#include "gui/YDC.h"
#include "gui/YLayoutGroup.h"

class ItemLayout : public TestLayout {
public:
    float ResolveFloat(const char* text, YDC*, YLayoutGroup*) override
    {
        auto named = m_values.find(text);
        return named != m_values.end() ? static_cast<float>(named->second) : static_cast<float>(atof(text));
    }
    YFont* GetFont(const char* name, bool* created) override
    {
        if (created) *created = false;
        auto found = m_fonts.find(name);
        return found != m_fonts.end() ? found->second : nullptr;
    }
    YDXSurface* GetImage(const char* name, bool* created) override
    {
        if (created) *created = false;
        ++m_imageLookUps;
        auto found = m_images.find(name);
        return found != m_images.end() ? found->second : nullptr;
    }
    YSprite* GetSprite(const char* name, bool* created) override
    {
        if (created) *created = false;
        auto found = m_sprites.find(name);
        return found != m_sprites.end() ? found->second : nullptr;
    }

    std::map<std::string, YFont*> m_fonts;
    std::map<std::string, YDXSurface*> m_images;
    std::map<std::string, YSprite*> m_sprites;
    int m_imageLookUps = 0;
};

// Writes one line per drawing call; text is measured as charWidth pixels a
// character and charHeight high.
class CallLogDC : public YDC {
public:
    int GetTextExtent(const CString& text, SIZE* out) override
    {
        out->cx = m_charWidth * text.GetLength();
        out->cy = m_charHeight;
        return 1;
    }
    void TextOut(int x, int y, const CString& text, int length) override
    {
        Note("text " + std::to_string(x) + "," + std::to_string(y) + " " + std::string((const char*)text, length));
    }
    int DrawText(const CString& text, RECT* r, UINT format) override
    {
        Note("box " + Rect(*r) + " " + std::string((const char*)text) + " " + std::to_string(format));
        return 1;
    }
    void FrameRect(const RECT* r, CBrush*) override { Note("frame " + Rect(*r)); }
    void Rectangle(const RECT* r, CBrush*, CPen*) override { Note("rect " + Rect(*r)); }
    int DrawLine(int x1, int y1, int x2, int y2, CPen*) override
    {
        Note("line " + std::to_string(x1) + "," + std::to_string(y1) + "-" + std::to_string(x2) + "," +
             std::to_string(y2));
        return 1;
    }
    static std::string Rect(const RECT& r)
    {
        return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
               std::to_string(r.bottom);
    }
    // The font in effect and its spacing at each drawing call.
    void Note(const std::string& line)
    {
        m_log.push_back(line);
        m_fontsSeen.push_back(m_font);
        m_spacingSeen.push_back(m_font ? m_font->GetSpacing() : -1);
    }

    int m_charWidth = 1;
    int m_charHeight = 10;
    std::vector<std::string> m_log;
    std::vector<YFont*> m_fontsSeen;
    std::vector<int> m_spacingSeen;
};

// Freezes the clock for one test.
struct ManualClock {
    explicit ManualClock(DWORD now)
    {
        platform::Clock::SetManual(true);
        platform::Clock::Set(now);
    }
    ~ManualClock() { platform::Clock::SetManual(false); }
    void Set(DWORD now) { platform::Clock::Set(now); }
};

class ItemPixelTest : public FontTest {
protected:
    // A layout over (0, 0, width, height) with that script.
    std::unique_ptr<ItemLayout> Layout(const char* script, int width = 160, int height = 140)
    {
        std::unique_ptr<ItemLayout> layout(new ItemLayout);
        RECT screen = {0, 0, width, height};
        layout->MoveTo(&screen);
        layout->m_images = m_images;
        layout->m_sprites = m_sprites;
        layout->SetScript(script);
        return layout;
    }
    // A picture whose pixel (x, y) has the colour colours(x, y).
    YDXSurface* Picture(const char* name, int width, int height, std::function<COLORREF(int, int)> colours)
    {
        std::unique_ptr<YDXSurface> s = Target(width, height);
        std::vector<uint32_t> pixels;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) pixels.push_back(PixelOf(*s, colours(x, y)));
        Write(*s, pixels);
        m_images[name] = s.get();
        m_owned.push_back(std::move(s));
        return m_images[name];
    }
    YDXSurface* Solid(const char* name, int width, int height, COLORREF colour)
    {
        return Picture(name, width, height, [colour](int, int) { return colour; });
    }
    // The colour of a pixel, in the surface's format.
    uint32_t At(YDXSurface& s, int x, int y)
    {
        const DDPIXELFORMAT& f = s.GetDescription().ddpfPixelFormat;
        return Read(s)[static_cast<size_t>(y) * s.GetWidth() + x] & (f.dwRBitMask | f.dwGBitMask | f.dwBBitMask);
    }
    bool Is(YDXSurface& s, int x, int y, COLORREF colour) { return At(s, x, y) == PixelOf(s, colour); }

    std::map<std::string, YDXSurface*> m_images;
    std::map<std::string, YSprite*> m_sprites;
    std::vector<std::unique_ptr<YDXSurface>> m_owned;
};
