#include "platform/GdiObject.h"

#include "platform/GdiDeviceContext.h"
#include "platform/GdiFontFace.h"
#include "platform/backend/Backend.h"

#include <algorithm>
#include <unordered_set>

namespace platform {
namespace {
std::unordered_set<const void*>& LiveSet()
{
    static std::unordered_set<const void*> live;
    return live;
}

int& LiveNonStock()
{
    static int count = 0;
    return count;
}

}  // namespace

LOGFONTA SystemLogFontForStock()
{
    LOGFONTA font;
    memset(&font, 0, sizeof font);
    font.lfHeight = 12;
    font.lfWeight = FW_NORMAL;
    font.lfPitchAndFamily = FIXED_PITCH;
    strcpy(font.lfFaceName, "System");
    return font;
}

namespace {

}  // namespace

template <typename T>
HGDIOBJ Handle(T* object)
{
    return static_cast<HGDIOBJ>(static_cast<GdiObject*>(object));
}

GdiObject::GdiObject(int type, bool stock) : m_type(type), m_stock(stock)
{
    LiveSet().insert(this);
    if (!stock) ++LiveNonStock();
}

GdiObject::~GdiObject()
{
    LiveSet().erase(this);
    if (!m_stock) --LiveNonStock();
}

GdiObject* GdiObject::FromHandle(const void* handle)
{
    if (!handle || !LiveSet().count(handle)) return nullptr;
    return static_cast<GdiObject*>(const_cast<void*>(handle));
}

int GdiObject::LiveCount()
{
    return LiveNonStock();
}

GdiFont::GdiFont(const LOGFONTA& font, bool stock) : GdiObject(OBJ_FONT, stock), logFont(font)
{
}

GdiFont::~GdiFont() = default;

GdiFontFace* GdiFont::Face()
{
    if (!m_resolved) {
        m_resolved = true;
        if (!Stock() && lstrcmpiA(logFont.lfFaceName, "System") != 0) m_face = GdiFontFace::Open(logFont);
    }
    return m_face ? m_face.get() : GdiFontFace::Builtin();
}

GdiBitmap::GdiBitmap(int w, int h, const DirectDrawPixelFormat& f, bool stock)
    : GdiObject(OBJ_BITMAP, stock), width(w), height(h), pitch(0), format(f)
{
    pitch = (width * format.Bytes() + 3) & ~3;
    bits.assign(static_cast<size_t>(pitch) * height, 0);
    for (int i = 0; i < 256; ++i) {
        palette[i].peRed = palette[i].peGreen = palette[i].peBlue = static_cast<BYTE>(i);
        palette[i].peFlags = 0;
    }
}

int GdiLiveObjects()
{
    return GdiObject::LiveCount();
}

const char* GdiFontFile(const char* faceName, int weight, bool italic)
{
    static std::string last;
    last = GdiFontFace::FileFor(faceName, weight, italic);
    return last.c_str();
}
}  // namespace platform

using platform::GdiBitmap;
using platform::GdiBrush;
using platform::GdiFont;
using platform::GdiObject;
using platform::GdiPen;
using platform::GdiRegion;
using platform::Handle;

HGDIOBJ GetStockObject(int object)
{
    // Outlive static destruction: contexts may still select them then.
    struct Stock {
        GdiBrush white{false, RGB(255, 255, 255), true}, ltgray{false, RGB(192, 192, 192), true},
            gray{false, RGB(128, 128, 128), true}, dkgray{false, RGB(64, 64, 64), true}, black{false, RGB(0, 0, 0), true},
            hollow{true, 0, true};
        GdiPen whitePen{PS_SOLID, 1, RGB(255, 255, 255), true}, blackPen{PS_SOLID, 1, RGB(0, 0, 0), true},
            nullPen{PS_NULL, 1, 0, true};
        GdiFont system{platform::SystemLogFontForStock(), true};
    };
    static Stock* stock = new Stock;
    GdiBrush &white = stock->white, &ltgray = stock->ltgray, &gray = stock->gray, &dkgray = stock->dkgray,
             &black = stock->black, &hollow = stock->hollow;
    GdiPen &whitePen = stock->whitePen, &blackPen = stock->blackPen, &nullPen = stock->nullPen;
    GdiFont& system = stock->system;
    switch (object) {
    case WHITE_BRUSH: return Handle(&white);
    case LTGRAY_BRUSH: return Handle(&ltgray);
    case GRAY_BRUSH: return Handle(&gray);
    case DKGRAY_BRUSH: return Handle(&dkgray);
    case BLACK_BRUSH: return Handle(&black);
    case NULL_BRUSH: return Handle(&hollow);
    case WHITE_PEN: return Handle(&whitePen);
    case BLACK_PEN: return Handle(&blackPen);
    case NULL_PEN: return Handle(&nullPen);
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case ANSI_VAR_FONT:
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT:
    case SYSTEM_FIXED_FONT:
    case DEFAULT_GUI_FONT: return Handle(&system);
    default: return nullptr;
    }
}

HBRUSH CreateSolidBrush(COLORREF colour)
{
    return static_cast<HBRUSH>(Handle(new GdiBrush(false, colour & 0xFFFFFF)));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* brush)
{
    if (!brush) return nullptr;
    if (brush->lbStyle == BS_NULL) return static_cast<HBRUSH>(Handle(new GdiBrush(true, 0)));
    if (brush->lbStyle != BS_SOLID) return nullptr;
    return CreateSolidBrush(brush->lbColor);
}

HPEN CreatePen(int style, int width, COLORREF colour)
{
    if (style < PS_SOLID || style > PS_INSIDEFRAME) return nullptr;
    return static_cast<HPEN>(Handle(new GdiPen(style, width, colour & 0xFFFFFF)));
}

HPEN CreatePenIndirect(const LOGPEN* pen)
{
    if (!pen) return nullptr;
    return CreatePen(static_cast<int>(pen->lopnStyle), pen->lopnWidth.x, pen->lopnColor);
}

HFONT CreateFontIndirectA(const LOGFONTA* font)
{
    if (!font) return nullptr;
    return static_cast<HFONT>(Handle(new GdiFont(*font)));
}

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                  DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                  DWORD pitchAndFamily, LPCSTR faceName)
{
    LOGFONTA font;
    memset(&font, 0, sizeof font);
    font.lfHeight = height;
    font.lfWidth = width;
    font.lfEscapement = escapement;
    font.lfOrientation = orientation;
    font.lfWeight = weight;
    font.lfItalic = static_cast<BYTE>(italic != 0);
    font.lfUnderline = static_cast<BYTE>(underline != 0);
    font.lfStrikeOut = static_cast<BYTE>(strikeOut != 0);
    font.lfCharSet = static_cast<BYTE>(charSet);
    font.lfOutPrecision = static_cast<BYTE>(outPrecision);
    font.lfClipPrecision = static_cast<BYTE>(clipPrecision);
    font.lfQuality = static_cast<BYTE>(quality);
    font.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
    if (faceName) lstrcpynA(font.lfFaceName, faceName, LF_FACESIZE);
    return CreateFontIndirectA(&font);
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height)
{
    platform::GdiDeviceContext* context = platform::GdiDeviceContext::FromHandle(dc);
    if (!context || width <= 0 || height <= 0) return nullptr;
    platform::DirectDrawPixelFormat format =
        context->HasPixels() ? context->pixels.format
                             : platform::DirectDrawPixelFormat::FromDepth(GetDeviceCaps(dc, BITSPIXEL));
    if (!format.Valid()) format = platform::DirectDrawPixelFormat::FromDepth(32);
    GdiBitmap* bitmap = new GdiBitmap(width, height, format);
    if (context->HasPixels() && context->pixels.palette)
        memcpy(bitmap->palette, context->pixels.palette, sizeof bitmap->palette);
    return static_cast<HBITMAP>(Handle(bitmap));
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits)
{
    if (width <= 0 || height <= 0 || planes != 1) return nullptr;
    platform::DirectDrawPixelFormat format = platform::DirectDrawPixelFormat::FromDepth(static_cast<int>(bitsPerPixel));
    if (!format.Valid()) return nullptr;
    GdiBitmap* bitmap = new GdiBitmap(width, height, format);
    if (bits) {
        // Rows of the caller's data are padded to 16 bits, as for device bitmaps.
        int rowBytes = ((width * format.Bytes()) + 1) & ~1;
        for (int y = 0; y < height; ++y)
            memcpy(&bitmap->bits[static_cast<size_t>(y) * bitmap->pitch],
                   static_cast<const uint8_t*>(bits) + static_cast<size_t>(y) * rowBytes,
                   static_cast<size_t>(width) * format.Bytes());
    }
    return static_cast<HBITMAP>(Handle(bitmap));
}

HRGN CreateRectRgn(int left, int top, int right, int bottom)
{
    RECT box = {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    return static_cast<HRGN>(Handle(new GdiRegion(box)));
}

HRGN CreateRectRgnIndirect(const RECT* rect)
{
    if (!rect) return nullptr;
    return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

int GetRgnBox(HRGN region, LPRECT rect)
{
    GdiRegion* r = dynamic_cast<GdiRegion*>(GdiObject::FromHandle(region));
    if (!r || !rect) return ERROR;
    *rect = r->box;
    return IsRectEmpty(&r->box) ? NULLREGION : SIMPLEREGION;
}

BOOL DeleteObject(HGDIOBJ object)
{
    GdiObject* o = GdiObject::FromHandle(object);
    if (!o || o->Type() == OBJ_DC || o->Type() == OBJ_MEMDC) return FALSE;
    if (o->Stock()) return TRUE;
    if (platform::GdiDeviceContext::IsSelected(o)) return FALSE;
    delete o;
    return TRUE;
}

int GetObjectA(HGDIOBJ object, int size, LPVOID buffer)
{
    GdiObject* o = GdiObject::FromHandle(object);
    if (!o) return 0;
    if (GdiBitmap* b = dynamic_cast<GdiBitmap*>(o)) {
        if (!buffer) return sizeof(BITMAP);
        if (size < static_cast<int>(sizeof(BITMAP))) return 0;
        BITMAP info = {0, b->width, b->height, b->pitch, 1, static_cast<WORD>(b->format.Bits()), nullptr};
        memcpy(buffer, &info, sizeof info);
        return sizeof info;
    }
    if (GdiFont* f = dynamic_cast<GdiFont*>(o)) {
        if (!buffer) return sizeof(LOGFONTA);
        int n = std::min(size, static_cast<int>(sizeof(LOGFONTA)));
        memcpy(buffer, &f->logFont, n);
        return n;
    }
    if (GdiBrush* br = dynamic_cast<GdiBrush*>(o)) {
        if (!buffer) return sizeof(LOGBRUSH);
        if (size < static_cast<int>(sizeof(LOGBRUSH))) return 0;
        LOGBRUSH info = {static_cast<UINT>(br->hollow ? BS_NULL : BS_SOLID), br->colour, 0};
        memcpy(buffer, &info, sizeof info);
        return sizeof info;
    }
    if (GdiPen* p = dynamic_cast<GdiPen*>(o)) {
        if (!buffer) return sizeof(LOGPEN);
        if (size < static_cast<int>(sizeof(LOGPEN))) return 0;
        LOGPEN info = {static_cast<UINT>(p->style), {p->width, 0}, p->colour};
        memcpy(buffer, &info, sizeof info);
        return sizeof info;
    }
    return 0;
}
