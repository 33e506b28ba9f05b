#include "gui/YDC.h"

YDC::YDC() : m_gdiFont(nullptr), m_font(nullptr), m_textColor(0) {}

YDC::~YDC() {}

YDC* YDC::CreateSource(int, int) { return nullptr; }

int YDC::BltSurfaceRect(YDXSurface*, int, int, int, int, int, int) { return 1; }

int YDC::BltSurface(YDXSurface*, int, int) { return 1; }

int YDC::DrawFromSource(const RECT*, YResource*, YDC*, int) { return 1; }

int YDC::SpareWithTwo(int, int) { return 1; }

void YDC::FillRect(const RECT*, CBrush*, COLORREF, COLORREF) {}

void YDC::FillRgn(CRgn*, CBrush*, COLORREF, COLORREF) {}

void YDC::FrameRect(const RECT*, CBrush*) {}

void YDC::Rectangle(const RECT*, CBrush*, CPen*) {}

int YDC::DrawLine(int, int, int, int, CPen*) { return 0; }

int YDC::InvertRect(const RECT*) { return 0; }

void YDC::TextOut(int, int, const CString&, int) {}

int YDC::SpareWithOne(int) { return 0; }

int YDC::DrawText(const CString&, RECT*, UINT) { return 0; }

int YDC::GetTextExtent(const CString&, SIZE* out)
{
    if (out) out->cx = out->cy = 0;
    return 1;
}

int YDC::DrawResource(const RECT*, YResource*, int, int) { return 1; }

CFont* YDC::SetGdiFont(CFont* font)
{
    CFont* previous = m_gdiFont;
    m_gdiFont = font;
    return previous;
}

YFont* YDC::SwapFont(YFont* font)
{
    YFont* previous = m_font;
    m_font = font;
    return previous;
}

YFont* YDC::GetFont() { return m_font; }

YDXSurface* YDC::GetSurface() { return nullptr; }

YDXSurface* YDC::SetSurface(YDXSurface*) { return nullptr; }

COLORREF YDC::GetTextColor() { return m_textColor; }

COLORREF YDC::SetTextColor(COLORREF colour)
{
    COLORREF previous = m_textColor;
    m_textColor = colour;
    return previous;
}
