// What a surface asks of the bitmap it is made from: its size, its colour
// table and drawing itself into the surface. The bitmap resource implements it.
#pragma once

#include "platform/ddraw.h"

class YDXSurface;

class YDXSurfaceSource {
public:
    virtual ~YDXSurfaceSource() = default;
    virtual int GetWidth() = 0;
    virtual int GetHeight() = 0;
    // Writes count entries from first as red, green, blue, 0; 0 on a bad range.
    virtual int GetPaletteEntries(int first, int count, PALETTEENTRY* out) = 0;
    // Draws the bitmap into the surface at (x, y); 1 on success.
    virtual int DrawToSurface(YDXSurface* surface, int x, int y) = 0;
};
