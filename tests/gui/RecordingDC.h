// A drawing context that records what windows ask it to draw.  Text is 6
// pixels a character and `height` high.
#pragma once

#include <string>
#include <vector>

#include "gui/YDC.h"

class RecordingDC : public YDC {
public:
    struct Text {
        RECT rect;
        std::string text;
        UINT format;
    };
    struct Drawn {
        RECT where;
        YResource* resource;
        YDC* source;
    };
    explicit RecordingDC(int height = 10) : m_height(height) {}
    void TextOut(int x, int y, const CString& text, int length) override
    {
        m_texts.push_back({RECT{x, y, x, y}, std::string((const char*)text).substr(0, static_cast<size_t>(length)), 0});
    }
    int DrawText(const CString& text, RECT* rect, UINT format) override
    {
        m_drawn.push_back({*rect, (const char*)text, format});
        return 1;
    }
    int GetTextExtent(const CString& text, SIZE* out) override
    {
        *out = SIZE{6 * text.GetLength(), m_height};
        return 1;
    }
    int InvertRect(const RECT* rect) override
    {
        m_inverted.push_back(*rect);
        return 1;
    }
    void FrameRect(const RECT* rect, CBrush*) override { m_framed.push_back(*rect); }
    void Rectangle(const RECT* rect, CBrush*, CPen*) override { m_rectangles.push_back(*rect); }
    int DrawResource(const RECT* where, YResource* resource, int, int) override
    {
        m_resources.push_back({*where, resource, nullptr});
        return 1;
    }
    int DrawFromSource(const RECT* where, YResource* resource, YDC* source, int) override
    {
        m_resources.push_back({*where, resource, source});
        return 1;
    }

    int m_height;
    std::vector<Text> m_texts, m_drawn;
    std::vector<RECT> m_inverted, m_framed, m_rectangles;
    std::vector<Drawn> m_resources;
};

inline bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != 0; }
