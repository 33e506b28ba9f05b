// The drawing context every window draws through: blits of surfaces and
// resources, rectangles, lines and text, a current font and a text colour.
// The base draws nothing and reports success where a result is expected,
// so a window can be drawn into a context that ignores what it cannot do.
#pragma once

#include "platform/mfc.h"

class YDXSurface;
class YFont;
class YResource;

class YDC {
public:
    YDC();
    virtual ~YDC();

    // A new context with a surface of that size; the base makes none.
    virtual YDC* CreateSource(int width, int height);
    // That part of a surface, put at (x, y).
    virtual int BltSurfaceRect(YDXSurface* surface, int x, int y, int left, int top, int right, int bottom);
    virtual int BltSurface(YDXSurface* surface, int x, int y);
    // The resource's bounds rectangle of the source's surface, put into where.
    virtual int DrawFromSource(const RECT* where, YResource* resource, YDC* source, int flags);
    virtual int SpareWithTwo(int a, int b);
    virtual void FillRect(const RECT* rect, CBrush* brush, COLORREF textColour, COLORREF backColour);
    virtual void FillRgn(CRgn* region, CBrush* brush, COLORREF textColour, COLORREF backColour);
    virtual void FrameRect(const RECT* rect, CBrush* brush);
    virtual void Rectangle(const RECT* rect, CBrush* brush, CPen* pen);
    virtual int DrawLine(int x1, int y1, int x2, int y2, CPen* pen);
    virtual int InvertRect(const RECT* rect);
    virtual void TextOut(int x, int y, const CString& text, int length);
    virtual int SpareWithOne(int a);
    virtual int DrawText(const CString& text, RECT* rect, UINT format);
    virtual int GetTextExtent(const CString& text, SIZE* out);
    // The resource itself, drawn at where.
    virtual int DrawResource(const RECT* where, YResource* resource, int a, int b);
    virtual CFont* SetGdiFont(CFont* font);
    virtual YFont* SwapFont(YFont* font);
    virtual YFont* GetFont();
    virtual YDXSurface* GetSurface();
    virtual YDXSurface* SetSurface(YDXSurface* surface);
    virtual COLORREF GetTextColor();
    virtual COLORREF SetTextColor(COLORREF colour);

protected:
    CFont* m_gdiFont;
    YFont* m_font;
    COLORREF m_textColor;

private:
    YDC(const YDC&) = delete;
    YDC& operator=(const YDC&) = delete;
};
