// GDI objects behind the handles: brushes, pens, fonts, bitmaps, regions
// and device contexts. Handles are checked against the set of live ones.
#pragma once

#include "platform/DirectDrawPixelFormat.h"

#include <memory>
#include <vector>

namespace platform {
class GdiFontFace;

class GdiObject {
public:
    explicit GdiObject(int type, bool stock = false);
    virtual ~GdiObject();
    int Type() const { return m_type; }
    bool Stock() const { return m_stock; }
    // The live object behind a handle, or null.
    static GdiObject* FromHandle(const void* handle);
    static int LiveCount();

private:
    int m_type;
    bool m_stock;
};

class GdiBrush : public GdiObject {
public:
    GdiBrush(bool hollow, COLORREF colour, bool stock = false)
        : GdiObject(OBJ_BRUSH, stock), hollow(hollow), colour(colour) {}
    bool hollow;
    COLORREF colour;
};

class GdiPen : public GdiObject {
public:
    GdiPen(int style, int width, COLORREF colour, bool stock = false)
        : GdiObject(OBJ_PEN, stock), style(style), width(width < 1 ? 1 : width), colour(colour) {}
    int style;
    int width;
    COLORREF colour;
};

class GdiFont : public GdiObject {
public:
    GdiFont(const LOGFONTA& logFont, bool stock = false);
    ~GdiFont() override;
    LOGFONTA logFont;
    // The FreeType face it draws with; null for the built-in face.
    GdiFontFace* Face();

private:
    std::unique_ptr<GdiFontFace> m_face;
    bool m_resolved = false;
};

class GdiBitmap : public GdiObject {
public:
    GdiBitmap(int width, int height, const DirectDrawPixelFormat& format, bool stock = false);
    int width;
    int height;
    int pitch;
    DirectDrawPixelFormat format;
    std::vector<uint8_t> bits;
    PALETTEENTRY palette[256];
    bool selected = false;
};

class GdiRegion : public GdiObject {
public:
    explicit GdiRegion(const RECT& box) : GdiObject(OBJ_REGION), box(box) {}
    RECT box;
};
}  // namespace platform
