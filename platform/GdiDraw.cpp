// GDI shapes, fills, raster operations and DIB transfers.
#include "platform/GdiDeviceContext.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

using platform::GdiDeviceContext;

namespace {
GdiDeviceContext* Drawable(HDC dc)
{
    GdiDeviceContext* context = GdiDeviceContext::FromHandle(dc);
    return context && context->HasPixels() ? context : nullptr;
}

platform::GdiBrush* Brush(HBRUSH brush)
{
    return dynamic_cast<platform::GdiBrush*>(platform::GdiObject::FromHandle(brush));
}

RECT Normalised(int left, int top, int right, int bottom)
{
    RECT r = {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    return r;
}

// A square pen dot of the pen's width centred on (x, y).
void PenDot(GdiDeviceContext* dc, int x, int y, uint32_t value)
{
    int width = dc->pen->width;
    if (width <= 1) {
        dc->Plot(x, y, value, dc->rop2);
        return;
    }
    int half = width / 2;
    for (int dy = 0; dy < width; ++dy)
        for (int dx = 0; dx < width; ++dx) dc->Plot(x - half + dx, y - half + dy, value, dc->rop2);
}

// Ternary raster operations on pixel values: source s, destination d, pattern p.
bool ApplyRop(DWORD rop, uint32_t s, uint32_t d, uint32_t p, uint32_t& out)
{
    switch (rop) {
    case SRCCOPY: out = s; return true;
    case SRCPAINT: out = s | d; return true;
    case SRCAND: out = s & d; return true;
    case SRCINVERT: out = s ^ d; return true;
    case SRCERASE: out = s & ~d; return true;
    case NOTSRCCOPY: out = ~s; return true;
    case NOTSRCERASE: out = ~(s | d); return true;
    case MERGECOPY: out = s & p; return true;
    case MERGEPAINT: out = ~s | d; return true;
    case PATCOPY: out = p; return true;
    case PATINVERT: out = p ^ d; return true;
    case DSTINVERT: out = ~d; return true;
    case BLACKNESS: out = 0; return true;
    case WHITENESS: out = ~0u; return true;
    default: return false;
    }
}

bool UsesSource(DWORD rop)
{
    return rop != PATCOPY && rop != PATINVERT && rop != DSTINVERT && rop != BLACKNESS && rop != WHITENESS;
}

uint32_t Masked(const GdiDeviceContext* dc, uint32_t value, uint32_t dest)
{
    uint32_t keep = dc->pixels.format.ColourMask() | dc->pixels.format.AlphaMask();
    return (value & keep) | (dest & ~keep);
}

// Reads source pixel (x, y) of a DIB as 0xAARRGGBB; false when unsupported.
struct DibReader {
    const uint8_t* bits;
    const BITMAPINFO* info;
    int width, height, stride, bpp;
    bool topDown;
    uint32_t masks[3];
    int shifts[3], widths[3];

    bool Open(const void* data, const BITMAPINFO* header)
    {
        bits = static_cast<const uint8_t*>(data);
        info = header;
        const BITMAPINFOHEADER& h = header->bmiHeader;
        width = h.biWidth;
        height = std::abs(h.biHeight);
        topDown = h.biHeight < 0;
        bpp = h.biBitCount;
        stride = ((width * bpp + 31) / 32) * 4;
        if (h.biCompression == BI_BITFIELDS && (bpp == 16 || bpp == 32)) {
            memcpy(masks, header->bmiColors, sizeof masks);
        } else if (h.biCompression == BI_RGB) {
            if (bpp == 16) {
                masks[0] = 0x7C00;
                masks[1] = 0x03E0;
                masks[2] = 0x001F;
            } else {
                masks[0] = 0xFF0000;
                masks[1] = 0x00FF00;
                masks[2] = 0x0000FF;
            }
        } else {
            return false;
        }
        if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
        for (int i = 0; i < 3; ++i) {
            shifts[i] = 0;
            widths[i] = 0;
            uint32_t m = masks[i];
            while (m && !(m & 1)) {
                m >>= 1;
                ++shifts[i];
            }
            while (m & 1) {
                m >>= 1;
                ++widths[i];
            }
        }
        return width > 0 && height > 0 && bits;
    }
    // Row counted from the top of the picture.
    uint32_t Read(int x, int y) const
    {
        int memoryRow = topDown ? y : height - 1 - y;
        const uint8_t* row = bits + static_cast<size_t>(memoryRow) * stride;
        uint32_t index;
        switch (bpp) {
        case 1: index = (row[x >> 3] >> (7 - (x & 7))) & 1; break;
        case 4: index = (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF; break;
        case 8: index = row[x]; break;
        case 24: return 0xFF000000u | (row[x * 3 + 2] << 16) | (row[x * 3 + 1] << 8) | row[x * 3];
        default: {
            uint32_t v = bpp == 16 ? (row[x * 2] | (row[x * 2 + 1] << 8))
                                   : (row[x * 4] | (row[x * 4 + 1] << 8) | (row[x * 4 + 2] << 16) |
                                      (static_cast<uint32_t>(row[x * 4 + 3]) << 24));
            uint32_t c[3];
            for (int i = 0; i < 3; ++i) {
                uint32_t part = (v & masks[i]) >> shifts[i];
                c[i] = widths[i] >= 8 ? ((part >> (widths[i] - 8)) & 0xFF) : 0;
                if (widths[i] > 0 && widths[i] < 8) {
                    uint32_t out = 0;
                    int filled = 0;
                    while (filled < 8) {
                        out = (out << widths[i]) | part;
                        filled += widths[i];
                    }
                    c[i] = (out >> (filled - 8)) & 0xFF;
                }
            }
            return 0xFF000000u | (c[0] << 16) | (c[1] << 8) | c[2];
        }
        }
        const RGBQUAD& q = info->bmiColors[index];
        return 0xFF000000u | (q.rgbRed << 16) | (q.rgbGreen << 8) | q.rgbBlue;
    }
};
}  // namespace

int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0) return -1;
    long long product = static_cast<long long>(number) * numerator;
    long long half = std::llabs(static_cast<long long>(denominator)) / 2;
    bool negative = (product < 0) != (denominator < 0);
    long long magnitude = (std::llabs(product) + half) / std::llabs(static_cast<long long>(denominator));
    long long result = negative ? -magnitude : magnitude;
    if (result > 0x7FFFFFFFLL || result < -0x7FFFFFFFLL - 1) return -1;
    return static_cast<int>(result);
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour)
{
    GdiDeviceContext* context = Drawable(dc);
    if (!context || x < 0 || y < 0 || x >= context->pixels.width || y >= context->pixels.height) return CLR_INVALID;
    uint32_t value = context->PixelOf(colour);
    context->Plot(x, y, value, R2_COPYPEN);
    return context->ColourOf(value);
}

COLORREF GetPixel(HDC dc, int x, int y)
{
    GdiDeviceContext* context = Drawable(dc);
    if (!context || x < 0 || y < 0 || x >= context->pixels.width || y >= context->pixels.height) return CLR_INVALID;
    const uint8_t* p = context->pixels.bits + static_cast<size_t>(y) * context->pixels.pitch +
                       static_cast<size_t>(x) * context->pixels.format.Bytes();
    return context->ColourOf(context->pixels.format.Read(p));
}

BOOL LineTo(HDC dc, int x, int y)
{
    GdiDeviceContext* context = GdiDeviceContext::FromHandle(dc);
    if (!context) return FALSE;
    int64_t x0 = context->position.x, y0 = context->position.y, x1 = x, y1 = y;
    context->position.x = x;
    context->position.y = y;
    if (!context->HasPixels() || context->pen->style == PS_NULL) return TRUE;
    uint32_t value = context->PixelOf(context->pen->colour);
    // A line far longer than the pixels reach is walked only where it
    // crosses them (with a margin for the pen).
    const int64_t margin = std::max(1, context->pen->width) + 1;
    const int64_t limit = 2 * (static_cast<int64_t>(context->pixels.width) + context->pixels.height) + 4 * margin;
    if (std::max(std::llabs(x1 - x0), std::llabs(y1 - y0)) > limit) {
        const double box[4] = {static_cast<double>(-margin), static_cast<double>(-margin),
                               static_cast<double>(context->pixels.width + margin),
                               static_cast<double>(context->pixels.height + margin)};
        const double px = static_cast<double>(x0), py = static_cast<double>(y0);
        const double ddx = static_cast<double>(x1 - x0), ddy = static_cast<double>(y1 - y0);
        double t0 = 0.0, t1 = 1.0;
        const double p[4] = {-ddx, -ddy, ddx, ddy};
        const double q[4] = {px - box[0], py - box[1], box[2] - px, box[3] - py};
        for (int i = 0; i < 4; ++i) {
            if (p[i] == 0.0) {
                if (q[i] < 0.0) return TRUE;
                continue;
            }
            const double t = q[i] / p[i];
            if (p[i] < 0.0) t0 = std::max(t0, t);
            else t1 = std::min(t1, t);
        }
        if (t0 > t1) return TRUE;
        const int64_t sx0 = std::llround(px + t0 * ddx), sy0 = std::llround(py + t0 * ddy);
        if (t1 < 1.0) {
            x1 = std::llround(px + t1 * ddx);
            y1 = std::llround(py + t1 * ddy);
        }
        x0 = sx0;
        y0 = sy0;
    }
    // Bresenham; the end point itself is not drawn.
    const int64_t dx = std::llabs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int64_t dy = -std::llabs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int64_t error = dx + dy;
    while (x0 != x1 || y0 != y1) {
        PenDot(context, static_cast<int>(x0), static_cast<int>(y0), value);
        const int64_t twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x0 += sx;
        }
        if (twice <= dx) {
            error += dx;
            y0 += sy;
        }
    }
    return TRUE;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom)
{
    GdiDeviceContext* context = GdiDeviceContext::FromHandle(dc);
    if (!context) return FALSE;
    if (!context->HasPixels()) return TRUE;
    RECT r = Normalised(left, top, right, bottom);
    bool outline = context->pen->style != PS_NULL;
    if (!outline) {
        // Without a pen the filled area is one pixel smaller each way.
        r.right -= 1;
        r.bottom -= 1;
    }
    if (r.right <= r.left || r.bottom <= r.top) return TRUE;
    if (!context->brush->hollow) {
        RECT inside = r;
        if (outline) InflateRect(&inside, -context->pen->width, -context->pen->width);
        context->FillBox(inside, context->PixelOf(context->brush->colour), context->rop2);
    }
    if (outline) {
        uint32_t value = context->PixelOf(context->pen->colour);
        int w = std::min<int>(context->pen->width, std::min(r.right - r.left, r.bottom - r.top));
        RECT edges[4] = {{r.left, r.top, r.right, r.top + w},
                         {r.left, r.bottom - w, r.right, r.bottom},
                         {r.left, r.top + w, r.left + w, r.bottom - w},
                         {r.right - w, r.top + w, r.right, r.bottom - w}};
        int count = (r.bottom - r.top) > w ? 4 : 1;
        for (int i = 0; i < count; ++i) context->FillBox(edges[i], value, context->rop2);
    }
    return TRUE;
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush)
{
    GdiDeviceContext* context = GdiDeviceContext::FromHandle(dc);
    platform::GdiBrush* b = Brush(brush);
    if (!context || !rect || !b) return 0;
    if (context->HasPixels() && !b->hollow) context->FillBox(*rect, context->PixelOf(b->colour), R2_COPYPEN);
    return 1;
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush)
{
    GdiDeviceContext* context = GdiDeviceContext::FromHandle(dc);
    platform::GdiBrush* b = Brush(brush);
    if (!context || !rect || !b) return 0;
    if (!context->HasPixels() || b->hollow || IsRectEmpty(rect)) return 1;
    uint32_t value = context->PixelOf(b->colour);
    const RECT& r = *rect;
    RECT edges[4] = {{r.left, r.top, r.right, r.top + 1},
                     {r.left, r.bottom - 1, r.right, r.bottom},
                     {r.left, r.top + 1, r.left + 1, r.bottom - 1},
                     {r.right - 1, r.top + 1, r.right, r.bottom - 1}};
    for (const RECT& edge : edges) context->FillBox(edge, value, R2_COPYPEN);
    return 1;
}

BOOL InvertRect(HDC dc, const RECT* rect)
{
    GdiDeviceContext* context = GdiDeviceContext::FromHandle(dc);
    if (!context || !rect) return FALSE;
    if (context->HasPixels()) context->FillBox(*rect, 0, R2_NOT);
    return TRUE;
}

BOOL FillRgn(HDC dc, HRGN region, HBRUSH brush)
{
    auto* r = dynamic_cast<platform::GdiRegion*>(platform::GdiObject::FromHandle(region));
    if (!r) return FALSE;
    return FillRect(dc, &r->box, brush) != 0;
}

BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop)
{
    GdiDeviceContext* context = GdiDeviceContext::FromHandle(dc);
    if (!context || UsesSource(rop)) return FALSE;
    if (!context->HasPixels()) return TRUE;
    RECT r = Normalised(x, y, x + width, y + height), clip = context->Bounds(), area;
    if (!IntersectRect(&area, &r, &clip)) return TRUE;
    uint32_t pattern = context->brush->hollow ? 0 : context->PixelOf(context->brush->colour);
    const platform::DirectDrawPixelFormat& f = context->pixels.format;
    for (int py = area.top; py < area.bottom; ++py)
        for (int px = area.left; px < area.right; ++px) {
            uint8_t* p = context->pixels.bits + static_cast<size_t>(py) * context->pixels.pitch +
                         static_cast<size_t>(px) * f.Bytes();
            uint32_t d = f.Read(p), out = 0;
            ApplyRop(rop, 0, d, pattern, out);
            f.Write(p, Masked(context, out, d));
        }
    return TRUE;
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, int sourceWidth,
                int sourceHeight, DWORD rop)
{
    GdiDeviceContext* to = GdiDeviceContext::FromHandle(dest);
    if (!to) return FALSE;
    if (!UsesSource(rop)) return PatBlt(dest, x, y, width, height, rop);
    GdiDeviceContext* from = GdiDeviceContext::FromHandle(source);
    uint32_t unused;
    if (!from || !ApplyRop(rop, 0, 0, 0, unused)) return FALSE;
    if (!to->HasPixels() || !from->HasPixels() || width == 0 || height == 0 || sourceWidth == 0 || sourceHeight == 0)
        return TRUE;
    bool mirrorX = (width < 0) != (sourceWidth < 0), mirrorY = (height < 0) != (sourceHeight < 0);
    RECT d = Normalised(x, y, x + width, y + height), bounds = to->Bounds(), area;
    if (!IntersectRect(&area, &d, &bounds)) return TRUE;
    int sx0 = std::min(sourceX, sourceX + sourceWidth), sy0 = std::min(sourceY, sourceY + sourceHeight);
    int sw = std::abs(sourceWidth), sh = std::abs(sourceHeight);
    int dw = d.right - d.left, dh = d.bottom - d.top;
    const platform::DirectDrawPixelFormat& df = to->pixels.format;
    const platform::DirectDrawPixelFormat& sf = from->pixels.format;
    bool same = df == sf;
    uint32_t pattern = to->brush->hollow ? 0 : to->PixelOf(to->brush->colour);
    for (int py = area.top; py < area.bottom; ++py) {
        int oy = py - d.top;
        if (mirrorY) oy = dh - 1 - oy;
        int syy = sy0 + static_cast<int>(static_cast<long long>(oy) * sh / dh);
        if (syy < 0 || syy >= from->pixels.height) continue;
        for (int px = area.left; px < area.right; ++px) {
            int ox = px - d.left;
            if (mirrorX) ox = dw - 1 - ox;
            int sxx = sx0 + static_cast<int>(static_cast<long long>(ox) * sw / dw);
            if (sxx < 0 || sxx >= from->pixels.width) continue;
            uint32_t s = sf.Read(from->pixels.bits + static_cast<size_t>(syy) * from->pixels.pitch +
                                 static_cast<size_t>(sxx) * sf.Bytes());
            if (!same) s = df.FromARGB(sf.ToARGB(s, from->pixels.palette), to->pixels.palette);
            uint8_t* p = to->pixels.bits + static_cast<size_t>(py) * to->pixels.pitch + static_cast<size_t>(px) * df.Bytes();
            uint32_t dv = df.Read(p), out = 0;
            ApplyRop(rop, s, dv, pattern, out);
            df.Write(p, Masked(to, out, dv));
        }
    }
    return TRUE;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop)
{
    return StretchBlt(dest, x, y, width, height, source, sourceX, sourceY, width, height, rop);
}

int StretchDIBits(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY, int sourceWidth,
                  int sourceHeight, const void* bits, const BITMAPINFO* info, UINT, DWORD rop)
{
    GdiDeviceContext* context = GdiDeviceContext::FromHandle(dc);
    DibReader dib;
    uint32_t unused;
    if (!context || !info || !bits || !dib.Open(bits, info) || !ApplyRop(rop, 0, 0, 0, unused)) return 0;
    if (width == 0 || height == 0 || sourceWidth == 0 || sourceHeight == 0) return 0;
    if (!context->HasPixels()) return dib.height;
    bool mirrorX = (width < 0) != (sourceWidth < 0), mirrorY = (height < 0) != (sourceHeight < 0);
    RECT d = Normalised(x, y, x + width, y + height), bounds = context->Bounds(), area;
    int sw = std::abs(sourceWidth), sh = std::abs(sourceHeight);
    int sx0 = std::min(sourceX, sourceX + sourceWidth);
    int sy0 = std::min(sourceY, sourceY + sourceHeight);
    // A bottom-up DIB counts its source rows from the bottom of the picture.
    int topRow = dib.topDown ? sy0 : dib.height - (sy0 + sh);
    if (IntersectRect(&area, &d, &bounds)) {
        int dw = d.right - d.left, dh = d.bottom - d.top;
        const platform::DirectDrawPixelFormat& f = context->pixels.format;
        uint32_t pattern = context->brush->hollow ? 0 : context->PixelOf(context->brush->colour);
        for (int py = area.top; py < area.bottom; ++py) {
            int oy = py - d.top;
            if (mirrorY) oy = dh - 1 - oy;
            int row = topRow + static_cast<int>(static_cast<long long>(oy) * sh / dh);
            if (row < 0 || row >= dib.height) continue;
            for (int px = area.left; px < area.right; ++px) {
                int ox = px - d.left;
                if (mirrorX) ox = dw - 1 - ox;
                int column = sx0 + static_cast<int>(static_cast<long long>(ox) * sw / dw);
                if (column < 0 || column >= dib.width) continue;
                uint32_t s = f.FromARGB(dib.Read(column, row), context->pixels.palette);
                uint8_t* p = context->pixels.bits + static_cast<size_t>(py) * context->pixels.pitch +
                             static_cast<size_t>(px) * f.Bytes();
                uint32_t dv = f.Read(p), out = 0;
                ApplyRop(rop, s, dv, pattern, out);
                f.Write(p, Masked(context, out, dv));
            }
        }
    }
    return sh;
}

int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO info, UINT)
{
    auto* b = dynamic_cast<platform::GdiBitmap*>(platform::GdiObject::FromHandle(bitmap));
    if (!GdiDeviceContext::FromHandle(dc) || !b || !info) return 0;
    BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER)) return 0;
    if (!bits && h.biBitCount == 0) {
        // Describe the bitmap's own format; no colour table is written.
        int bpp = b->format.Bits();
        memset(&h, 0, sizeof h);
        h.biSize = sizeof h;
        h.biWidth = b->width;
        h.biHeight = b->height;
        h.biPlanes = 1;
        h.biBitCount = static_cast<WORD>(bpp);
        h.biCompression = bpp == 16 ? BI_BITFIELDS : BI_RGB;
        h.biSizeImage = static_cast<DWORD>(((b->width * bpp + 31) / 32) * 4 * b->height);
        return b->height;
    }
    int bpp = h.biBitCount;
    if (bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return 0;
    bool bitfields = h.biCompression == BI_BITFIELDS;
    if (h.biCompression != BI_RGB && !(bitfields && (bpp == 16 || bpp == 32))) return 0;
    int stride = ((b->width * bpp + 31) / 32) * 4;
    h.biWidth = b->width;
    h.biPlanes = 1;
    h.biSizeImage = static_cast<DWORD>(stride * b->height);
    if (bpp == 8) {
        for (int i = 0; i < 256; ++i) {
            info->bmiColors[i].rgbRed = b->palette[i].peRed;
            info->bmiColors[i].rgbGreen = b->palette[i].peGreen;
            info->bmiColors[i].rgbBlue = b->palette[i].peBlue;
            info->bmiColors[i].rgbReserved = 0;
        }
    }
    platform::DirectDrawPixelFormat out =
        bpp == 8    ? platform::DirectDrawPixelFormat::FromDepth(8)
        : bpp == 16 ? (bitfields ? platform::DirectDrawPixelFormat::FromMasks(16, 0xF800, 0x07E0, 0x001F, 0)
                                 : platform::DirectDrawPixelFormat::FromMasks(16, 0x7C00, 0x03E0, 0x001F, 0))
                    : platform::DirectDrawPixelFormat::FromDepth(bpp);
    if (bitfields) {
        uint32_t masks[3] = {out.RedMask(), out.GreenMask(), out.BlueMask()};
        memcpy(info->bmiColors, masks, sizeof masks);
    }
    if (!bits) return b->height;
    bool topDown = h.biHeight < 0;
    int first = static_cast<int>(start), count = static_cast<int>(lines);
    if (first >= b->height) return 0;
    count = std::min(count, b->height - first);
    uint8_t* dest = static_cast<uint8_t*>(bits);
    for (int i = 0; i < count; ++i) {
        // Scan line n of a bottom-up DIB is picture row height - 1 - n.
        int scan = first + i;
        int pictureRow = topDown ? scan : b->height - 1 - scan;
        const uint8_t* in = &b->bits[static_cast<size_t>(pictureRow) * b->pitch];
        uint8_t* row = dest + static_cast<size_t>(i) * stride;
        memset(row, 0, stride);
        for (int x = 0; x < b->width; ++x) {
            uint32_t pixel = b->format.Read(in + static_cast<size_t>(x) * b->format.Bytes());
            uint32_t value = (bpp == 8 && b->format.Palettised())
                                 ? pixel
                                 : out.FromARGB(b->format.ToARGB(pixel, b->palette), b->palette);
            out.Write(row + static_cast<size_t>(x) * out.Bytes(), value);
        }
    }
    return count;
}
