// A bitmap font without glyphs whose characters are all the same width and
// whose height the test chooses.
#pragma once

#include <cstring>

#include "graphics2d/YFont.h"

class FixedFont : public YFont {
public:
    FixedFont(int width, int height) : m_width(width), m_height(height) {}
    SIZE TextExtent(const char* text, int length) override
    {
        const int available = text ? static_cast<int>(std::strlen(text)) : 0;
        if (length < 0 || length > available) length = available;
        return SIZE{length * m_width, m_height};
    }
    // Measuring lays the text out on one line of the same extent.
    int DrawText(const char* text, RECT* rect, UINT format, YDXSurface* target) override
    {
        if (!(format & DT_CALCRECT) || !rect) return YFont::DrawText(text, rect, format, target);
        const SIZE size = TextExtent(text, -1);
        rect->right = rect->left + size.cx;
        rect->bottom = rect->top + (text && *text ? size.cy : 0);
        return 1;
    }
    int m_width;
    int m_height;
};
