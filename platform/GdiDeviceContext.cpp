#include "platform/GdiDeviceContext.h"

#include "platform/backend/Backend.h"

#include <algorithm>

namespace platform {
namespace {
std::vector<GdiDeviceContext*>& LiveContexts()
{
    static auto* live = new std::vector<GdiDeviceContext*>;  // outlives static destruction
    return *live;
}

}  // namespace

GdiBitmap* StockBitmapForSelect()
{
    static GdiBitmap* bitmap = [] {
        static GdiBitmap one(1, 1, DirectDrawPixelFormat::FromDepth(32), true);
        return &one;
    }();
    return bitmap;
}

GdiDeviceContext::GdiDeviceContext(Kind k)
    : GdiObject(k == kMemory ? OBJ_MEMDC : OBJ_DC), kind(k),
      brush(static_cast<GdiBrush*>(GdiObject::FromHandle(GetStockObject(WHITE_BRUSH)))),
      pen(static_cast<GdiPen*>(GdiObject::FromHandle(GetStockObject(BLACK_PEN)))),
      font(static_cast<GdiFont*>(GdiObject::FromHandle(GetStockObject(SYSTEM_FONT))))
{
    LiveContexts().push_back(this);
}

GdiDeviceContext::~GdiDeviceContext()
{
    if (bitmap) bitmap->selected = false;
    std::vector<GdiDeviceContext*>& live = LiveContexts();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

HDC GdiDeviceContext::CreateOver(const GdiPixels& target)
{
    if (!target.bits || !target.format.Valid()) return nullptr;
    GdiDeviceContext* dc = new GdiDeviceContext(kSurface);
    dc->pixels = target;
    return dc->Handle();
}

void GdiDeviceContext::Destroy(HDC dc)
{
    GdiDeviceContext* context = FromHandle(dc);
    if (context && context->kind == kSurface) delete context;
}

GdiDeviceContext* GdiDeviceContext::FromHandle(HDC dc)
{
    return dynamic_cast<GdiDeviceContext*>(GdiObject::FromHandle(dc));
}

bool GdiDeviceContext::IsSelected(const GdiObject* object)
{
    for (GdiDeviceContext* dc : LiveContexts())
        if (dc->brush == object || dc->pen == object || dc->font == object || dc->bitmap == object) return true;
    return false;
}

COLORREF GdiDeviceContext::ColourOf(uint32_t pixel) const
{
    uint32_t argb = pixels.format.ToARGB(pixel, pixels.palette);
    return ((argb >> 16) & 0xFF) | (argb & 0xFF00) | ((argb & 0xFF) << 16);
}

RECT GdiDeviceContext::Bounds() const
{
    RECT r = {0, 0, pixels.width, pixels.height};
    return r;
}

uint32_t GdiDeviceContext::Mix(uint32_t d, uint32_t p, int mix) const
{
    uint32_t keep = pixels.format.ColourMask() | pixels.format.AlphaMask();
    uint32_t out;
    switch (mix) {
    case R2_BLACK: out = 0; break;
    case R2_NOTMERGEPEN: out = ~(d | p); break;
    case R2_MASKNOTPEN: out = d & ~p; break;
    case R2_NOTCOPYPEN: out = ~p; break;
    case R2_MASKPENNOT: out = p & ~d; break;
    case R2_NOT: out = ~d; break;
    case R2_XORPEN: out = d ^ p; break;
    case R2_NOTMASKPEN: out = ~(d & p); break;
    case R2_MASKPEN: out = d & p; break;
    case R2_NOTXORPEN: out = ~(d ^ p); break;
    case R2_NOP: out = d; break;
    case R2_MERGENOTPEN: out = d | ~p; break;
    case R2_MERGEPENNOT: out = p | ~d; break;
    case R2_MERGEPEN: out = d | p; break;
    case R2_WHITE: out = ~0u; break;
    default: out = p; break;
    }
    return (out & keep) | (d & ~keep);
}

void GdiDeviceContext::Plot(int x, int y, uint32_t value, int mix)
{
    if (!HasPixels() || x < 0 || y < 0 || x >= pixels.width || y >= pixels.height) return;
    uint8_t* p = pixels.bits + static_cast<size_t>(y) * pixels.pitch + static_cast<size_t>(x) * pixels.format.Bytes();
    pixels.format.Write(p, mix == R2_COPYPEN ? value : Mix(pixels.format.Read(p), value, mix));
}

void GdiDeviceContext::FillSpan(int x0, int x1, int y, uint32_t value, int mix)
{
    if (!HasPixels() || y < 0 || y >= pixels.height) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, pixels.width);
    for (int x = x0; x < x1; ++x) Plot(x, y, value, mix);
}

void GdiDeviceContext::FillBox(RECT box, uint32_t value, int mix)
{
    for (int y = std::max<int>(box.top, 0); y < std::min<int>(box.bottom, pixels.height); ++y)
        FillSpan(box.left, box.right, y, value, mix);
}
}  // namespace platform

using platform::GdiDeviceContext;

HDC GetDC(HWND)
{
    return (new GdiDeviceContext(GdiDeviceContext::kScreen))->Handle();
}

int ReleaseDC(HWND, HDC dc)
{
    GdiDeviceContext* context = GdiDeviceContext::FromHandle(dc);
    if (!context || context->kind != GdiDeviceContext::kScreen) return 0;
    delete context;
    return 1;
}

HDC CreateCompatibleDC(HDC dc)
{
    if (dc && !GdiDeviceContext::FromHandle(dc)) return nullptr;
    GdiDeviceContext* context = new GdiDeviceContext(GdiDeviceContext::kMemory);
    return context->Handle();
}

BOOL DeleteDC(HDC dc)
{
    GdiDeviceContext* context = GdiDeviceContext::FromHandle(dc);
    if (!context || context->kind == GdiDeviceContext::kSurface) return FALSE;
    delete context;
    return TRUE;
}

int GetDeviceCaps(HDC dc, int index)
{
    GdiDeviceContext* context = GdiDeviceContext::FromHandle(dc);
    if (!context) return 0;
    platform::Backend& backend = platform::Backend::Get();
    bool own = context->HasPixels();
    int bits = own ? context->pixels.format.Bits() : backend.DesktopBitsPerPixel();
    switch (index) {
    case BITSPIXEL: return bits;
    case PLANES: return 1;
    case HORZRES: return own ? context->pixels.width : backend.DesktopWidth();
    case VERTRES: return own ? context->pixels.height : backend.DesktopHeight();
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case NUMCOLORS: return bits <= 8 ? 20 : -1;
    case SIZEPALETTE: return bits <= 8 ? 256 : 0;
    case RASTERCAPS: return bits <= 8 ? RC_PALETTE : 0;
    case COLORRES: return bits <= 8 ? 18 : 24;
    default: return 0;
    }
}

int SaveDC(HDC)
{
    return 0;
}

BOOL RestoreDC(HDC, int)
{
    return FALSE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object)
{
    GdiDeviceContext* context = GdiDeviceContext::FromHandle(dc);
    platform::GdiObject* o = platform::GdiObject::FromHandle(object);
    if (!context || !o) return nullptr;
    auto handle = [](platform::GdiObject* p) { return static_cast<HGDIOBJ>(p); };
    if (auto* brush = dynamic_cast<platform::GdiBrush*>(o)) {
        platform::GdiObject* previous = context->brush;
        context->brush = brush;
        return handle(previous);
    }
    if (auto* pen = dynamic_cast<platform::GdiPen*>(o)) {
        platform::GdiObject* previous = context->pen;
        context->pen = pen;
        return handle(previous);
    }
    if (auto* font = dynamic_cast<platform::GdiFont*>(o)) {
        platform::GdiObject* previous = context->font;
        context->font = font;
        return handle(previous);
    }
    if (auto* bitmap = dynamic_cast<platform::GdiBitmap*>(o)) {
        if (context->kind != GdiDeviceContext::kMemory || (bitmap->selected && bitmap != context->bitmap))
            return nullptr;
        platform::GdiBitmap* previous = context->bitmap ? context->bitmap : platform::StockBitmapForSelect();
        if (context->bitmap) context->bitmap->selected = false;
        bool stock = bitmap == platform::StockBitmapForSelect();
        context->bitmap = stock ? nullptr : bitmap;
        context->pixels = platform::GdiPixels();
        if (!stock) {
            bitmap->selected = true;
            context->pixels.bits = bitmap->bits.data();
            context->pixels.width = bitmap->width;
            context->pixels.height = bitmap->height;
            context->pixels.pitch = bitmap->pitch;
            context->pixels.format = bitmap->format;
            context->pixels.palette = bitmap->palette;
        }
        return handle(previous);
    }
    if (dynamic_cast<platform::GdiRegion*>(o)) return reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(SIMPLEREGION));
    return nullptr;
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type)
{
    GdiDeviceContext* context = GdiDeviceContext::FromHandle(dc);
    if (!context) return nullptr;
    switch (type) {
    case OBJ_BRUSH: return static_cast<platform::GdiObject*>(context->brush);
    case OBJ_PEN: return static_cast<platform::GdiObject*>(context->pen);
    case OBJ_FONT: return static_cast<platform::GdiObject*>(context->font);
    case OBJ_BITMAP:
        return static_cast<platform::GdiObject*>(context->bitmap ? context->bitmap : platform::StockBitmapForSelect());
    default: return nullptr;
    }
}

#define RCV_DC_STATE(Type, Name, field, invalid)             \
    Type Set##Name(HDC dc, Type value)                       \
    {                                                        \
        GdiDeviceContext* context = GdiDeviceContext::FromHandle(dc); \
        if (!context) return invalid;                        \
        Type previous = context->field;                      \
        context->field = value;                              \
        return previous;                                     \
    }                                                        \
    Type Get##Name(HDC dc)                                   \
    {                                                        \
        GdiDeviceContext* context = GdiDeviceContext::FromHandle(dc); \
        return context ? context->field : invalid;           \
    }

RCV_DC_STATE(COLORREF, TextColor, textColour, CLR_INVALID)
RCV_DC_STATE(COLORREF, BkColor, backColour, CLR_INVALID)
RCV_DC_STATE(int, BkMode, backMode, 0)
RCV_DC_STATE(int, ROP2, rop2, 0)
RCV_DC_STATE(UINT, TextAlign, textAlign, GDI_ERROR)
#undef RCV_DC_STATE

BOOL MoveToEx(HDC dc, int x, int y, LPPOINT previous)
{
    GdiDeviceContext* context = GdiDeviceContext::FromHandle(dc);
    if (!context) return FALSE;
    if (previous) *previous = context->position;
    context->position.x = x;
    context->position.y = y;
    return TRUE;
}
