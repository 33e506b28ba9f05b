#include "graphics2d/YSurfaceDC.h"

#include "graphics2d/YDIB.h"
#include "graphics2d/YDXSurface.h"
#include "graphics2d/YFont.h"

YSurfaceDC::YSurfaceDC() : m_width(0), m_height(0), m_surface(nullptr), m_ownsSurface(0) {}

YSurfaceDC::YSurfaceDC(YDXSurface* surface, int ownsSurface)
    : m_width(0), m_height(0), m_surface(surface), m_ownsSurface(ownsSurface ? 1 : 0)
{
}

YSurfaceDC::~YSurfaceDC()
{
    if (m_surface && m_ownsSurface) delete m_surface;
}

HDC YSurfaceDC::BorrowDC()
{
    HDC dc = nullptr;
    if (!m_surface || !m_surface->GetDC(&dc)) return nullptr;
    return dc;
}

void YSurfaceDC::ReleaseDC(HDC dc)
{
    if (dc) m_surface->ReleaseDC(dc);
}

YDC* YSurfaceDC::CreateSource(int width, int height)
{
    if (!m_surface || width <= 0 || height <= 0) return nullptr;
    YSurfaceDC* source = new YSurfaceDC(new YDXSurface("SurfaceDCSource"), 1);
    if (!source->Create(width, height, m_surface->GetDisplay())) {
        delete source;
        return nullptr;
    }
    return source;
}

int YSurfaceDC::BltSurfaceRect(YDXSurface* source, int x, int y, int left, int top, int right, int bottom)
{
    if (!m_surface || !source) return 1;
    RECT from = {left, top, right, bottom};
    RECT to = {x, y, x + right - left, y + bottom - top};
    m_surface->Blt(source, &to, &from, 1, 0, 0);
    return 1;
}

int YSurfaceDC::BltSurface(YDXSurface* source, int x, int y)
{
    if (!m_surface || !source) return 1;
    RECT to = {x, y, x + static_cast<LONG>(source->GetWidth()), y + static_cast<LONG>(source->GetHeight())};
    m_surface->Blt(source, &to, nullptr, 1, 0, 0);
    return 1;
}

int YSurfaceDC::DrawFromSource(const RECT* where, YResource* resource, YDC* source, int)
{
    if (!m_surface || !where || !resource || !source || !source->GetSurface()) return 0;
    RECT bounds;
    resource->GetBounds(bounds);
    if (bounds.right == bounds.left) {
        DrawResource(where, resource, 0, 0);
        return 1;
    }
    RECT to = *where;
    return m_surface->Blt(source->GetSurface(), &to, &bounds, 1, 0, 0);
}

void YSurfaceDC::FillRect(const RECT* rect, CBrush* brush, COLORREF textColour, COLORREF backColour)
{
    if (!rect) return;
    HDC dc = BorrowDC();
    if (!dc) return;
    ::SetTextColor(dc, textColour);
    ::SetBkColor(dc, backColour);
    ::FillRect(dc, rect, brush ? static_cast<HBRUSH>(*brush) : nullptr);
    ReleaseDC(dc);
}

void YSurfaceDC::FillRgn(CRgn* region, CBrush* brush, COLORREF textColour, COLORREF backColour)
{
    if (!region) return;
    HDC dc = BorrowDC();
    if (!dc) return;
    ::SetTextColor(dc, textColour);
    ::SetBkColor(dc, backColour);
    ::FillRgn(dc, *region, brush ? static_cast<HBRUSH>(*brush) : nullptr);
    ReleaseDC(dc);
}

void YSurfaceDC::FrameRect(const RECT* rect, CBrush* brush)
{
    if (!rect) return;
    HDC dc = BorrowDC();
    if (!dc) return;
    ::FrameRect(dc, rect, brush ? static_cast<HBRUSH>(*brush) : nullptr);
    ReleaseDC(dc);
}

void YSurfaceDC::Rectangle(const RECT* rect, CBrush* brush, CPen* pen)
{
    if (!rect) return;
    HDC dc = BorrowDC();
    if (!dc) return;
    HGDIOBJ oldPen = pen ? ::SelectObject(dc, pen->m_hObject) : nullptr;
    HGDIOBJ oldBrush = brush ? ::SelectObject(dc, brush->m_hObject) : nullptr;
    ::Rectangle(dc, rect->left, rect->top, rect->right, rect->bottom);
    if (oldBrush) ::SelectObject(dc, oldBrush);
    if (oldPen) ::SelectObject(dc, oldPen);
    ReleaseDC(dc);
}

int YSurfaceDC::DrawLine(int x1, int y1, int x2, int y2, CPen* pen)
{
    HDC dc = BorrowDC();
    if (!dc) return 0;
    HGDIOBJ oldPen = pen ? ::SelectObject(dc, pen->m_hObject) : nullptr;
    const BOOL moved = ::MoveToEx(dc, x1, y1, nullptr);
    const BOOL drawn = ::LineTo(dc, x2, y2);
    if (oldPen) ::SelectObject(dc, oldPen);
    ReleaseDC(dc);
    return moved && drawn;
}

int YSurfaceDC::InvertRect(const RECT* rect)
{
    if (!rect) return 0;
    HDC dc = BorrowDC();
    if (!dc) return 0;
    HBRUSH brush = ::CreateSolidBrush(0x003F7F7F);
    ::SetROP2(dc, R2_MERGEPEN);
    HGDIOBJ oldBrush = ::SelectObject(dc, brush);
    ::Rectangle(dc, rect->left, rect->top, rect->right, rect->bottom);
    ::SelectObject(dc, oldBrush);
    ReleaseDC(dc);
    return ::DeleteObject(brush);
}

HGDIOBJ YSurfaceDC::PrepareText(HDC dc)
{
    ::SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = m_gdiFont && m_gdiFont->m_hObject ? ::SelectObject(dc, m_gdiFont->m_hObject) : nullptr;
    ::SetTextColor(dc, m_textColor);
    return oldFont;
}

void YSurfaceDC::TextOut(int x, int y, const CString& text, int length)
{
    if (!m_surface) return;
    if (m_font) {
        m_font->TextOut(x, y, text, length, m_surface, 0);
        return;
    }
    HDC dc = BorrowDC();
    if (!dc) return;
    if (length < 0 || length > text.GetLength()) length = text.GetLength();
    HGDIOBJ oldFont = PrepareText(dc);
    ::TextOutA(dc, x, y, text, length);
    if (oldFont) ::SelectObject(dc, oldFont);
    ReleaseDC(dc);
}

int YSurfaceDC::DrawText(const CString& text, RECT* rect, UINT format)
{
    if (!m_surface || !rect) return 0;
    if (m_font) return m_font->DrawText(text, rect, format, m_surface);
    HDC dc = BorrowDC();
    if (!dc) return 0;
    HGDIOBJ oldFont = PrepareText(dc);
    const int result = ::DrawTextA(dc, text, -1, rect, format);
    if (oldFont) ::SelectObject(dc, oldFont);
    ReleaseDC(dc);
    return result;
}

int YSurfaceDC::GetTextExtent(const CString& text, SIZE* out)
{
    if (!out) return 0;
    if (m_font) {
        *out = m_font->TextExtent(text, -1);
        return 1;
    }
    HDC dc = BorrowDC();
    if (!dc) return 0;
    HGDIOBJ oldFont = m_gdiFont && m_gdiFont->m_hObject ? ::SelectObject(dc, m_gdiFont->m_hObject) : nullptr;
    ::GetTextExtentPoint32A(dc, text, text.GetLength(), out);
    if (oldFont) ::SelectObject(dc, oldFont);
    ReleaseDC(dc);
    return 1;
}

int YSurfaceDC::DrawResource(const RECT* where, YResource* resource, int, int)
{
    if (!m_surface || !where) return 0;
    YDIB* dib = DYNAMIC_DOWNCAST(YDIB, resource);
    if (!dib) return 0;
    if (dib->HasSurface()) {
        dib->DrawToSurface(m_surface, where->left, where->top);
        return 1;
    }
    HDC dc = BorrowDC();
    if (!dc) return 0;
    dib->DrawToDC(dc, where->left, where->top, SRCCOPY);
    return m_surface->ReleaseDC(dc);
}

YDXSurface* YSurfaceDC::SetSurface(YDXSurface* surface)
{
    if (m_surface != surface && m_ownsSurface) delete m_surface;
    m_surface = surface;
    m_ownsSurface = 0;
    return surface;
}

int YSurfaceDC::Create(int width, int height, YDXDraw* display)
{
    if (!m_surface) return 0;
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    if (!m_surface->CreateSurfaceFromDesc(&desc, display)) return 0;
    m_surface->SetTransparentColor(0x00FF00FF);
    m_width = static_cast<uint32_t>(width);
    m_height = static_cast<uint32_t>(height);
    return 1;
}

void YSurfaceDC::Lose()
{
    if (!m_surface) return;
    // An empty surface (a failed rebuild) has no size: keep the last good one.
    const DWORD width = m_surface->GetWidth(), height = m_surface->GetHeight();
    if (width && height) {
        m_width = width;
        m_height = height;
    }
    delete m_surface;
    m_surface = nullptr;
}

int YSurfaceDC::Rebuild(YDXDraw* display)
{
    if (!m_surface) {
        m_surface = new YDXSurface("SurfaceDCRebuilt");
        m_ownsSurface = 1;
    }
    return Create(static_cast<int>(m_width), static_cast<int>(m_height), display);
}
