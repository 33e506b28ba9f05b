// A GDI device context: where it draws (surface pixels, a memory bitmap
// or nothing, for the screen) and its selected objects and modes.
#pragma once

#include "platform/DirectDrawPixelFormat.h"
#include "platform/GdiObject.h"

namespace platform {
// Pixels a DC draws into; they belong to a surface or a bitmap.
struct GdiPixels {
    uint8_t* bits = nullptr;
    int width = 0;
    int height = 0;
    int pitch = 0;
    DirectDrawPixelFormat format;
    const PALETTEENTRY* palette = nullptr;
};

// The 1 x 1 bitmap a new memory DC holds.
GdiBitmap* StockBitmapForSelect();

class GdiDeviceContext : public GdiObject {
public:
    enum Kind { kScreen, kSurface, kMemory };
    explicit GdiDeviceContext(Kind kind);
    ~GdiDeviceContext() override;

    // A DC over a surface's pixels, for IDirectDrawSurface7::GetDC.
    static HDC CreateOver(const GdiPixels& pixels);
    static void Destroy(HDC dc);
    static GdiDeviceContext* FromHandle(HDC dc);
    // True while some DC has the object selected.
    static bool IsSelected(const GdiObject* object);
    HDC Handle() { return reinterpret_cast<HDC>(static_cast<GdiObject*>(this)); }

    Kind kind;
    GdiPixels pixels;        // empty for the screen and a memory DC without a bitmap
    GdiBitmap* bitmap = nullptr;  // the bitmap selected into a memory DC
    GdiBrush* brush;
    GdiPen* pen;
    GdiFont* font;
    COLORREF textColour = 0x000000;
    COLORREF backColour = 0xFFFFFF;
    int backMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    UINT textAlign = TA_LEFT | TA_TOP;
    POINT position = {0, 0};

    bool HasPixels() const { return pixels.bits != nullptr; }
    uint32_t PixelOf(COLORREF colour) const { return pixels.format.FromColorRef(colour, pixels.palette); }
    COLORREF ColourOf(uint32_t pixel) const;
    // Plots with a raster mix (R2_*) of a pixel value; clips to the pixels.
    void Plot(int x, int y, uint32_t value, int mix);
    void FillSpan(int x0, int x1, int y, uint32_t value, int mix);
    void FillBox(RECT box, uint32_t value, int mix);
    // Applies an R2_* mix of pen value p to destination value d.
    uint32_t Mix(uint32_t d, uint32_t p, int mix) const;
    RECT Bounds() const;
};
}  // namespace platform
