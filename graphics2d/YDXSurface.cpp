#include "graphics2d/YDXSurface.h"

#include "foundation/YFastMath.h"
#include "graphics2d/YDXClipper.h"
#include "graphics2d/YDXMethod.h"
#include "graphics2d/YDXPalette.h"
#include "graphics2d/YDXSurfaceSource.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(YDXSurface, CObject)

namespace {
DDPIXELFORMAT PalettisedFormat()
{
    DDPIXELFORMAT format;
    memset(&format, 0, sizeof format);
    format.dwSize = sizeof format;
    format.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
    format.dwRGBBitCount = 8;
    return format;
}
}  // namespace

YDXSurface::YDXSurface()
{
    Reset();
}

YDXSurface::YDXSurface(const char* name)
{
    Reset();
    m_name = name;
}

YDXSurface::~YDXSurface()
{
    Release();
}

void YDXSurface::Reset()
{
    m_surface = nullptr;
    m_external = 0;
    m_display = nullptr;
    memset(&m_description, 0, sizeof m_description);
    m_primary = 0;
    m_sourceBitmap = nullptr;
    m_width = m_height = 0;
    m_keyValue = 0;
    m_hasKey = 0;
    m_lockPointer = nullptr;
    m_restoring = 0;
    m_alphaSource = 0;
    m_lastResult = 0;
    m_errorText[0] = '\0';
    m_method[0] = '\0';
}

void YDXSurface::SetExternal(IDirectDrawSurface7* surface, YDXDraw* display)
{
    Release();
    m_surface = surface;
    m_external = 1;
    m_display = display;
    if (surface) {
        m_description.dwSize = sizeof m_description;
        surface->GetSurfaceDesc(&m_description);
        m_width = m_description.dwWidth;
        m_height = m_description.dwHeight;
    }
}

const char* YDXSurface::GetErrorText()
{
    // The name is cut when it is long, so the result name always fits.
    rcv_snprintf(m_errorText, YDX_ERROR_TEXT - 36, "[YDXSurface ( %d x %d )::%s] { %s }:", static_cast<int>(m_width),
                 static_cast<int>(m_height), m_method, m_name.GetBuffer());
    DDErrorName(m_lastResult, m_errorText);
    return m_errorText;
}

int YDXSurface::Fail()
{
    GetErrorText();
    return 0;
}

int YDXSurface::CreateSurfaceFromDesc(DDSURFACEDESC2* description, YDXDraw* display)
{
    YDXMethod method(m_method, "CreateSurface (DESC)");
    if (!display || !description) return 0;
    if (!display->GetDirectDraw()) return 0;
    Release();
    m_lastResult = display->GetDirectDraw()->CreateSurface(description, &m_surface, nullptr);
    if (m_lastResult != DD_OK) {
        m_surface = nullptr;
        return Fail();
    }
    memset(&m_description, 0, sizeof m_description);
    m_description.dwSize = sizeof m_description;
    m_surface->GetSurfaceDesc(&m_description);
    m_display = display;
    m_width = m_description.dwWidth;
    m_height = m_description.dwHeight;
    return 1;
}

int YDXSurface::CreateSurface(YDXDraw* display, DWORD width, DWORD height, DWORD caps, YDXPalette* palette,
                              int videoMemory, const DDPIXELFORMAT* pixelFormat)
{
    YDXMethod method(m_method, "CreateSurface");
    if (!display) return 0;
    Release();
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddsCaps.dwCaps = caps | DDSCAPS_OFFSCREENPLAIN;
    if (pixelFormat) {
        desc.dwFlags |= DDSD_PIXELFORMAT;
        desc.ddpfPixelFormat = *pixelFormat;
    } else if (palette) {
        desc.dwFlags |= DDSD_PIXELFORMAT;
        desc.ddpfPixelFormat = PalettisedFormat();
    }
    if (videoMemory) {
        desc.ddsCaps.dwCaps &= ~DDSCAPS_SYSTEMMEMORY;
        desc.ddsCaps.dwCaps |= DDSCAPS_VIDEOMEMORY | DDSCAPS_NONLOCALVIDMEM;
    }
    if (!CreateSurfaceFromDesc(&desc, display)) {
        if (!(desc.ddsCaps.dwCaps & DDSCAPS_VIDEOMEMORY)) return 0;
        desc.ddsCaps.dwCaps &= ~(DDSCAPS_VIDEOMEMORY | DDSCAPS_NONLOCALVIDMEM);
        desc.ddsCaps.dwCaps |= DDSCAPS_SYSTEMMEMORY;
        if (!CreateSurfaceFromDesc(&desc, display)) return 0;
    }
    if (palette && !SetPalette(palette)) return 0;
    m_width = width;
    m_height = height;
    return 1;
}

int YDXSurface::CreateAlphaSource(YDXDraw* display, DWORD width, DWORD height)
{
    YDXMethod method(m_method, "CreateAlphaSource");
    if (!display) return 0;
    DDPIXELFORMAT format;
    memset(&format, 0, sizeof format);
    format.dwSize = sizeof format;
    format.dwFlags = DDPF_RGB | DDPF_ALPHAPIXELS;
    format.dwRGBBitCount = 32;
    format.dwRBitMask = 0x00FF0000;
    format.dwGBitMask = 0x0000FF00;
    format.dwBBitMask = 0x000000FF;
    format.dwRGBAlphaBitMask = 0xFF000000;
    if (!CreateSurface(display, width, height, DDSCAPS_SYSTEMMEMORY, nullptr, 0, &format)) return 0;
    m_alphaSource = 1;
    return 1;
}

int YDXSurface::CreateSurfaceFromResource(YDXSurfaceSource* bitmap, YDXDraw* display, int palettised, int,
                                          int videoMemory)
{
    YDXMethod method(m_method, "CreateSurface (RESOURCE)");
    if (!display || !bitmap) return 0;
    Release();
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = static_cast<DWORD>(bitmap->GetWidth());
    desc.dwHeight = static_cast<DWORD>(bitmap->GetHeight());
    desc.ddsCaps.dwCaps = videoMemory ? (DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY | DDSCAPS_NONLOCALVIDMEM)
                                      : (DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY);
    if (palettised) {
        desc.dwFlags |= DDSD_PIXELFORMAT;
        desc.ddpfPixelFormat = PalettisedFormat();
    }
    if (!CreateSurfaceFromDesc(&desc, display)) {
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        if (!CreateSurfaceFromDesc(&desc, display)) return 0;
    }
    if (palettised) {
        YDXPalette palette;
        if (!palette.CreatePalette(bitmap, display, 0) || !SetPalette(&palette)) return 0;
    }
    m_sourceBitmap = bitmap;
    m_width = desc.dwWidth;
    m_height = desc.dwHeight;
    return bitmap->DrawToSurface(this, 0, 0) ? 1 : 0;
}

int YDXSurface::CreatePrimarySurface(YDXDraw* display, int bufferCount, DWORD caps)
{
    YDXMethod method(m_method, "CreatePrimarySurface");
    if (!display || !display->GetDirectDraw()) return 0;
    if (bufferCount != 1 && bufferCount != 2) return 0;
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    if (bufferCount == 1) {
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = caps | DDSCAPS_PRIMARYSURFACE;
    } else {
        desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.dwBackBufferCount = 1;
        desc.ddsCaps.dwCaps = caps | DDSCAPS_PRIMARYSURFACE | DDSCAPS_COMPLEX;
        if (display->GetMode() == 1) desc.ddsCaps.dwCaps |= DDSCAPS_FLIP;
    }
    IDirectDrawSurface7* surface = nullptr;
    m_lastResult = display->GetDirectDraw()->CreateSurface(&desc, &surface, nullptr);
    if (m_lastResult != DD_OK) return Fail();
    Release();
    m_surface = surface;
    m_description = desc;
    m_display = display;
    m_primary = 1;
    DDSURFACEDESC2 actual;
    memset(&actual, 0, sizeof actual);
    actual.dwSize = sizeof actual;
    m_surface->GetSurfaceDesc(&actual);
    m_width = actual.dwWidth;
    m_height = actual.dwHeight;
    return 1;
}

int YDXSurface::GetBackBuffer(YDXSurface* backBuffer)
{
    YDXMethod method(m_method, "GetBackBuffer");
    if (!m_surface || !backBuffer) return 0;
    DDSCAPS2 caps;
    memset(&caps, 0, sizeof caps);
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    IDirectDrawSurface7* back = nullptr;
    m_lastResult = m_surface->GetAttachedSurface(&caps, &back);
    backBuffer->Release();
    if (m_lastResult != DD_OK) {
        backBuffer->m_surface = nullptr;
        return Fail();
    }
    backBuffer->m_surface = back;
    backBuffer->m_width = m_width;
    backBuffer->m_height = m_height;
    backBuffer->m_display = m_display;
    backBuffer->m_description = m_description;
    return 1;
}

int YDXSurface::Clear(RECT* rect, LONG colour)
{
    YDXMethod method(m_method, "Clear");
    if (!m_surface) return 0;
    DDBLTFX fx;
    memset(&fx, 0, sizeof fx);
    fx.dwSize = sizeof fx;
    fx.dwFillColor = colour > 0 ? static_cast<DWORD>(colour) : m_keyValue;
    m_lastResult = m_surface->Blt(rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    return m_lastResult == DD_OK ? 1 : Fail();
}

int YDXSurface::BltOnce(YDXSurface* source, RECT* destRect, RECT* sourceRect, DWORD flags, DDBLTFX* fx)
{
    m_lastResult = m_surface->Blt(destRect, source->m_surface, sourceRect, flags, fx);
    return m_lastResult == DD_OK;
}

int YDXSurface::Blt(YDXSurface* source, RECT* destRect, RECT* sourceRect, int useColourKey, int mirrorLeftRight,
                    int mirrorUpDown)
{
    if (!m_surface || !source || !source->m_surface) return 0;
    RECT whole = {0, 0, static_cast<LONG>(source->m_width), static_cast<LONG>(source->m_height)};
    RECT* from = sourceRect ? sourceRect : &whole;
    DWORD flags = DDBLT_WAIT;
    if (useColourKey && source->m_hasKey) flags |= DDBLT_KEYSRC;
    DDBLTFX fx;
    memset(&fx, 0, sizeof fx);
    fx.dwSize = sizeof fx;
    if (mirrorLeftRight) fx.dwDDFX |= DDBLTFX_MIRRORLEFTRIGHT;
    if (mirrorUpDown) fx.dwDDFX |= DDBLTFX_MIRRORUPDOWN;
    if (mirrorLeftRight || mirrorUpDown) flags |= DDBLT_DDFX;
    if (BltOnce(source, destRect, from, flags, &fx)) return 1;
    if (m_lastResult == DDERR_SURFACELOST) {
        Restore(m_display);
        source->Restore(m_display);
        if (BltOnce(source, destRect, from, flags, &fx)) return 1;
    }
    return Fail();
}

int YDXSurface::BltAlpha(YDXSurface* source, int x, int y, RECT* sourceRect)
{
    if (!m_surface || !source || !source->m_surface || x < 0 || y < 0) return 0;
    RECT from = sourceRect ? *sourceRect
                           : RECT{0, 0, static_cast<LONG>(source->m_width), static_cast<LONG>(source->m_height)};
    // Keep the rectangle inside the source, and inside the destination from (x, y).
    RECT sourceBounds = {0, 0, static_cast<LONG>(source->m_width), static_cast<LONG>(source->m_height)};
    if (!IntersectRect(&from, &from, &sourceBounds)) return 1;
    LONG width = std::min<LONG>(from.right - from.left, static_cast<LONG>(m_width) - x);
    LONG height = std::min<LONG>(from.bottom - from.top, static_cast<LONG>(m_height) - y);
    if (width <= 0 || height <= 0) return 1;

    DDSURFACEDESC2 sourceDesc, destDesc;
    memset(&sourceDesc, 0, sizeof sourceDesc);
    memset(&destDesc, 0, sizeof destDesc);
    int sourceLocked = source->Lock(&sourceDesc);
    int destLocked = Lock(&destDesc);
    const DDPIXELFORMAT& sf = sourceDesc.ddpfPixelFormat;
    if (sourceLocked && destLocked && sf.dwRGBBitCount == 32 && (sf.dwFlags & DDPF_ALPHAPIXELS) &&
        sf.dwRGBAlphaBitMask == 0xFF000000 && sourceDesc.lpSurface && destDesc.lpSurface) {
        AlphaBlendRect(sourceDesc.lpSurface, from.left, from.top, width, height, sourceDesc.lPitch,
                       destDesc.lpSurface, x, y, static_cast<int32_t>(m_width), static_cast<int32_t>(m_height),
                       destDesc.lPitch, static_cast<int32_t>(destDesc.ddpfPixelFormat.dwRGBBitCount),
                       destDesc.ddpfPixelFormat.dwRBitMask);
    }
    if (sourceLocked) source->Unlock();
    if (destLocked) Unlock();
    return 1;
}

int YDXSurface::TextOut(int x, int y, const YString& text, int length)
{
    if (!m_surface) return 0;
    HDC dc = nullptr;
    if (!GetDC(&dc) || !dc) return 0;
    int count = std::max(0, std::min(length, text.GetLength()));
    ::TextOutA(dc, x, y, text.GetBuffer(), count);
    ReleaseDC(dc);
    return 1;
}

int YDXSurface::Flip()
{
    YDXMethod method(m_method, "Flip");
    if (!m_surface || !m_primary) return 0;
    m_lastResult = m_surface->Flip(nullptr, DDFLIP_WAIT);
    return m_lastResult == DD_OK ? 1 : Fail();
}

int YDXSurface::SetPalette(YDXPalette* palette)
{
    YDXMethod method(m_method, "SetPalette");
    if (!m_surface) return 0;
    IDirectDrawPalette* ddPalette = palette ? palette->GetPalette() : nullptr;
    m_lastResult = m_surface->SetPalette(ddPalette);
    if (m_lastResult == DDERR_SURFACELOST) {
        Restore(m_display);
        m_lastResult = m_surface->SetPalette(ddPalette);
    }
    return m_lastResult == DD_OK ? 1 : Fail();
}

int YDXSurface::SetClipper(YDXClipper* clipper)
{
    YDXMethod method(m_method, "SetClipper");
    if (!m_surface) return 0;
    m_lastResult = m_surface->SetClipper(clipper ? clipper->GetClipper() : nullptr);
    return m_lastResult == DD_OK ? 1 : Fail();
}

int YDXSurface::RemoveClipper()
{
    YDXMethod method(m_method, "RemoveClipper");
    if (!m_surface) return 0;
    m_lastResult = m_surface->SetClipper(nullptr);
    return m_lastResult == DD_OK ? 1 : Fail();
}

int YDXSurface::SetTransparentColor(COLORREF colour)
{
    YDXMethod method(m_method, "SetTransparentColor");
    if (!m_surface) return 0;
    DDPIXELFORMAT format;
    memset(&format, 0, sizeof format);
    format.dwSize = sizeof format;
    m_lastResult = m_surface->GetPixelFormat(&format);
    if (m_lastResult != DD_OK) return Fail();
    DWORD red = GetRValue(colour), green = GetGValue(colour), blue = GetBValue(colour);
    DWORD key = 0;
    if (format.dwRGBBitCount == 16) {
        if (format.dwRBitMask == 0x0F00) key = ((red & 0xF0) << 4) | (green & 0xF0) | (blue >> 4);
        else if (format.dwRBitMask == 0x7C00) key = ((red & 0xF8) << 7) | ((green & 0xF8) << 2) | (blue >> 3);
        else if (format.dwRBitMask == 0xF800) key = ((red & 0xF8) << 8) | ((green & 0xFC) << 3) | (blue >> 3);
    } else if (format.dwRBitMask == 0x00FF0000 && format.dwGBitMask == 0x0000FF00 && format.dwBBitMask == 0x000000FF) {
        key = (red << 16) | (green << 8) | blue;
    }
    m_keyValue = key;
    DDCOLORKEY colourKey = {key, key};
    m_lastResult = m_surface->SetColorKey(DDCKEY_SRCBLT, &colourKey);
    if (m_lastResult != DD_OK) return Fail();
    m_hasKey = 1;
    return 1;
}

int YDXSurface::ResetTransparentColor()
{
    YDXMethod method(m_method, "ResetTransparentColor");
    if (!m_surface) return 0;
    m_lastResult = m_surface->SetColorKey(DDCKEY_SRCBLT, nullptr);
    if (m_lastResult != DD_OK) return Fail();
    m_hasKey = 0;
    m_keyValue = 0;
    return 1;
}

int YDXSurface::Restore(YDXDraw* display)
{
    YDXMethod method(m_method, "Restore");
    if (m_external) return 1;
    if (!m_surface) return 0;
    m_restoring = 1;
    int ok = 1;
    m_lastResult = m_surface->Restore();
    if (m_lastResult == DDERR_WRONGMODE && display) {
        DDSURFACEDESC2 desc = m_description;
        desc.dwFlags &= ~DDSD_PITCH;
        desc.lpSurface = nullptr;
        YDXSurfaceSource* bitmap = m_sourceBitmap;
        DWORD key = m_keyValue;
        uint32_t hasKey = m_hasKey;
        ok = CreateSurfaceFromDesc(&desc, display);
        m_sourceBitmap = bitmap;
        if (ok && hasKey) {
            DDCOLORKEY colourKey = {key, key};
            m_surface->SetColorKey(DDCKEY_SRCBLT, &colourKey);
        }
        if (ok) m_lastResult = DD_OK;
    } else if (m_lastResult != DD_OK) {
        ok = Fail();
    }
    if (ok && m_sourceBitmap && !m_sourceBitmap->DrawToSurface(this, 0, 0)) ok = 0;
    m_restoring = 0;
    return ok;
}

int YDXSurface::Lock(DDSURFACEDESC2* description)
{
    YDXMethod method(m_method, "Lock");
    if (!m_surface || !description) return 0;
    description->dwSize = sizeof(DDSURFACEDESC2);
    RECT whole = {0, 0, static_cast<LONG>(m_width), static_cast<LONG>(m_height)};
    m_lastResult = m_surface->Lock(&whole, description, DDLOCK_WAIT, nullptr);
    if (m_lastResult != DD_OK) return Fail();
    m_lockPointer = description->lpSurface;
    return 1;
}

int YDXSurface::Unlock()
{
    YDXMethod method(m_method, "Unlock");
    if (!m_surface || !m_lockPointer) return 0;
    m_lastResult = m_surface->Unlock(nullptr);
    m_lockPointer = nullptr;
    return m_lastResult == DD_OK ? 1 : Fail();
}

int YDXSurface::GetDC(HDC* hdcOut)
{
    YDXMethod method(m_method, "GetDC");
    if (!m_surface || !hdcOut) return 0;
    m_lastResult = m_surface->GetDC(hdcOut);
    return m_lastResult == DD_OK ? 1 : Fail();
}

int YDXSurface::ReleaseDC(HDC hdc)
{
    YDXMethod method(m_method, "ReleaseDC");
    if (!m_surface) return 0;
    m_lastResult = m_surface->ReleaseDC(hdc);
    return m_lastResult == DD_OK ? 1 : Fail();
}

DWORD YDXSurface::GetWidth()
{
    if (!m_surface) return 0;
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    return m_surface->GetSurfaceDesc(&desc) == DD_OK ? desc.dwWidth : 0;
}

DWORD YDXSurface::GetHeight()
{
    if (!m_surface) return 0;
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    return m_surface->GetSurfaceDesc(&desc) == DD_OK ? desc.dwHeight : 0;
}

LONG YDXSurface::GetPitch()
{
    if (!m_surface) return 0;
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    return m_surface->GetSurfaceDesc(&desc) == DD_OK ? desc.lPitch : 0;
}

int YDXSurface::Release()
{
    if (m_surface && !m_external) m_surface->Release();
    m_surface = nullptr;
    m_lockPointer = nullptr;
    return 1;
}
