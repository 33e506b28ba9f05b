// The drawing context over one DirectDraw surface: blits of surfaces and
// bitmaps, GDI shapes on the surface's borrowed device context, and text
// through the bitmap font when one is set, GDI text otherwise.  The
// graphics object makes it lose its surface when the display goes away and
// rebuilds it at the same size when the display returns.
#pragma once

#include "gui/YDC.h"

class YDXDraw;

class YSurfaceDC : public YDC {
public:
    YSurfaceDC();
    YSurfaceDC(YDXSurface* surface, int ownsSurface);
    ~YSurfaceDC() override;

    // A new context owning a new off-screen surface on this one's display.
    YDC* CreateSource(int width, int height) override;
    int BltSurfaceRect(YDXSurface* source, int x, int y, int left, int top, int right, int bottom) override;
    int BltSurface(YDXSurface* source, int x, int y) override;
    // Needs a source context with a surface; a resource without bounds is
    // drawn as a bitmap instead.
    int DrawFromSource(const RECT* where, YResource* resource, YDC* source, int flags) override;
    void FillRect(const RECT* rect, CBrush* brush, COLORREF textColour, COLORREF backColour) override;
    void FillRgn(CRgn* region, CBrush* brush, COLORREF textColour, COLORREF backColour) override;
    void FrameRect(const RECT* rect, CBrush* brush) override;
    void Rectangle(const RECT* rect, CBrush* brush, CPen* pen) override;
    int DrawLine(int x1, int y1, int x2, int y2, CPen* pen) override;
    // Merges 0x3F7F7F into the rectangle.
    int InvertRect(const RECT* rect) override;
    void TextOut(int x, int y, const CString& text, int length) override;
    int DrawText(const CString& text, RECT* rect, UINT format) override;
    int GetTextExtent(const CString& text, SIZE* out) override;
    // A YDIB at the top-left corner of where; anything else gives 0.
    int DrawResource(const RECT* where, YResource* resource, int a, int b) override;
    YDXSurface* GetSurface() override { return m_surface; }
    YDXSurface* SetSurface(YDXSurface* surface) override;

    // A system-memory surface of that size, keyed on magenta.
    virtual int Create(int width, int height, YDXDraw* display);

    // Keeps the last good size, deletes the surface.
    void Lose();
    void ReleaseSurface() { Lose(); }
    // A new surface of the kept size.
    int Rebuild(YDXDraw* display);

    DWORD GetWidth() const { return m_width; }
    DWORD GetHeight() const { return m_height; }
    int OwnsSurface() const { return m_ownsSurface != 0; }

private:
    // The surface's device context, or null; give it back with ReleaseDC.
    HDC BorrowDC();
    void ReleaseDC(HDC dc);
    // GDI text preparation: transparent background, the GDI font, the colour.
    HGDIOBJ PrepareText(HDC dc);

    uint32_t m_width;
    uint32_t m_height;
    YDXSurface* m_surface;
    uint32_t m_ownsSurface;
};
