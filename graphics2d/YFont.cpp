#include "graphics2d/YFont.h"

#include <algorithm>
#include <cstring>

#include "foundation/YResourceVisitor.h"
#include "graphics2d/YDIB.h"
#include "graphics2d/YDXPalette.h"
#include "graphics2d/YDXSurface.h"

IMPLEMENT_SERIAL(YFont, YResource, 1)

namespace {
// A token as it is shown: "&&" stands for one "&".
CString Shown(const CString& token)
{
    CString shown = token;
    shown.Replace("&&", "&");
    return shown;
}

// Leading blanks are trimmed from a line, so only other characters count as text.
bool HoldsText(const CString& line)
{
    for (int i = 0; i < line.GetLength(); ++i)
        if (line[i] != ' ') return true;
    return false;
}

int TokenLength(const CStringList& tokens)
{
    int length = 0;
    for (POSITION pos = tokens.GetHeadPosition(); pos;) length += tokens.GetNext(pos).GetLength();
    return length;
}
}  // namespace

YFont::YFont()
    : m_columns(8), m_glyphSurface(nullptr), m_boxCache(kCacheSize), m_lineCache(kCacheSize), m_palette(nullptr)
{
    Reset();
}

YFont::~YFont() { ReleaseSurface(); }

void YFont::Reset()
{
    m_imageName.Empty();
    m_columns = 8;
    m_cellWidth = 15;
    m_cellHeight = 15;
    m_imageWidth = m_imageHeight = 0;
    m_scale = 1.0;
    m_spacing = 0;
    m_measuredCellWidth = m_measuredCellHeight = 0;
    memset(m_blankColumns, 0, sizeof m_blankColumns);
    memset(m_glyphRects, 0, sizeof m_glyphRects);
    m_palettised = 0;
    m_boxCache.Create(kCacheSize);
    m_lineCache.Create(kCacheSize);
    m_transparentColor = 0x00FF00FF;
}

void YFont::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        ar << m_imageName << m_columns;
    else
        ar >> m_imageName >> m_columns;
}

void YFont::OnNotify(DWORD value)
{
    ReleaseSurface();
    YResource::OnNotify(value);
}

YResource* YFont::CopyTo(YResource* target)
{
    if (!target) target = new YFont;
    YFont* font = DYNAMIC_DOWNCAST(YFont, target);
    if (!font) return target;
    YResource::CopyTo(font);
    font->ReleaseSurface();
    font->m_imagePath = m_imagePath;
    font->m_imageName = m_imageName;
    font->m_columns = m_columns;
    font->m_cellWidth = m_cellWidth;
    font->m_cellHeight = m_cellHeight;
    font->m_imageWidth = m_imageWidth;
    font->m_imageHeight = m_imageHeight;
    font->m_scale = m_scale;
    font->m_spacing = m_spacing;
    font->m_measuredCellWidth = m_measuredCellWidth;
    font->m_measuredCellHeight = m_measuredCellHeight;
    font->m_palettised = m_palettised;
    font->m_transparentColor = m_transparentColor;
    memcpy(font->m_blankColumns, m_blankColumns, sizeof m_blankColumns);
    memcpy(font->m_glyphRects, m_glyphRects, sizeof m_glyphRects);
    font->m_boxCache.Create(m_boxCache.GetCapacity());
    font->m_lineCache.Create(m_lineCache.GetCapacity());
    if (!m_glyphSurface) return font;

    YDXDraw* display = m_glyphSurface->GetDisplay();
    const DWORD width = m_glyphSurface->GetWidth(), height = m_glyphSurface->GetHeight();
    YDXSurface* surface = new YDXSurface(m_imageName);
    int made = m_glyphSurface->IsAlphaSource()
                   ? surface->CreateAlphaSource(display, width, height)
                   : surface->CreateSurface(display, width, height, DDSCAPS_SYSTEMMEMORY, nullptr, 0,
                                            &m_glyphSurface->GetDescription().ddpfPixelFormat);
    if (!made) {
        delete surface;
        return font;
    }
    surface->SetTransparentColor(font->m_transparentColor);
    surface->Clear(nullptr, 0);
    surface->Blt(m_glyphSurface, nullptr, nullptr, 0, 0, 0);
    surface->ResetTransparentColor();
    font->m_glyphSurface = surface;
    return font;
}

BOOL YFont::LoadFromDirectories(CStringArray* directories, DWORD_PTR context)
{
    if (!directories) return FALSE;
    for (int i = 0; i < directories->GetSize(); ++i)
        if (LoadFromPath(directories->GetAt(i), context)) return TRUE;
    return FALSE;
}

BOOL YFont::LoadFromPath(const CString& directory, DWORD_PTR context)
{
    // Without a display in the context word, a font that had a surface keeps
    // drawing on the same display.
    YDXDraw* display = reinterpret_cast<YDXDraw*>(context);
    if (!display && m_glyphSurface) display = m_glyphSurface->GetDisplay();
    return LoadFontImage(directory, display) != 0;
}

BOOL YFont::Restore(YDXDraw* display) { return LoadImage(display); }

BOOL YFont::ReleaseSurfaces()
{
    ReleaseSurface();
    return TRUE;
}

BOOL YFont::CreateSurfaces(YDXDraw* display) { return LoadImage(display); }

BOOL YFont::LoadFromFile(CFile& file)
{
    CArchive ar(&file, CArchive::load);
    Serialize(ar);
    ar.Close();
    return FALSE;
}

int YFont::Accept(YResourceVisitor* visitor) { return visitor->VisitFont(this); }

int YFont::LoadById(UINT, const char* name, YDXDraw* display) { return Load(name, display); }

int YFont::Load(const char* name, YDXDraw* display)
{
    CFile file(CString(name) + ".fnt", CFile::modeRead | CFile::shareDenyWrite);
    CArchive ar(&file, CArchive::load);
    Serialize(ar);
    ar.Close();
    file.Close();
    return LoadFontImage("", display);
}

int YFont::LoadFontImage(const char* directory, YDXDraw* display)
{
    if (m_imagePath.IsEmpty()) {
        CString dir = directory ? directory : "";
        if (dir.GetLength() >= 3 && dir.Right(3).CompareNoCase("bmp") == 0) {
            m_imagePath = dir;
        } else if (!dir.IsEmpty()) {
            m_imagePath = dir;
            const char last = dir[dir.GetLength() - 1];
            if (!m_imageName.IsEmpty() && last != '\\' && last != '/') m_imagePath += "\\";
            m_imagePath += m_imageName;
        } else {
            m_imagePath = m_imageName;
        }
    }
    if (!LoadImage(display)) {
        m_imagePath.Empty();
        return 0;
    }
    return 1;
}

int YFont::LoadImage(YDXDraw* display)
{
    // A column count outside 1..96 cannot give cells: refuse the font.
    if (!ColumnsValid(m_columns) || m_imagePath.IsEmpty()) return 0;
    YDIB dib;
    try {
        CFile file;
        if (!file.Open(m_imagePath, CFile::modeRead | CFile::shareDenyNone)) return 0;
        ReleaseSurface();
        if (!dib.Load(file)) return 0;
        file.Close();
    } catch (CException* e) {
        e->Delete();
        return 0;
    }
    const LONG rows = kGlyphCount / m_columns;
    const LONG cellWidth = dib.GetWidth() / m_columns, cellHeight = dib.GetHeight() / rows;
    // A picture too small for the grid has no cells either.
    if (cellWidth < 1 || cellHeight < 1) return 0;
    m_imageWidth = dib.GetWidth();
    m_imageHeight = dib.GetHeight();
    m_cellWidth = m_measuredCellWidth = cellWidth;
    m_cellHeight = m_measuredCellHeight = cellHeight;
    m_scale = 1.0;
    MeasureGlyphs(&dib);
    if (!display) return 1;

    YDXSurface* surface = new YDXSurface(m_imageName);
    const DWORD width = static_cast<DWORD>(m_imageWidth), height = static_cast<DWORD>(m_imageHeight);
    int made;
    if (m_palettised) {
        m_palette = new YDXPalette;
        made = m_palette->CreatePalette(&dib, display, 0) &&
               surface->CreateSurface(display, width, height, DDSCAPS_SYSTEMMEMORY, m_palette, 0, nullptr);
    } else if (dib.GetHeader()->biBitCount == 32) {
        made = surface->CreateAlphaSource(display, width, height);
    } else {
        made = surface->CreateSurface(display, width, height, DDSCAPS_SYSTEMMEMORY, nullptr, 0, nullptr);
    }
    if (!made) {
        delete surface;
        delete m_palette;
        m_palette = nullptr;
        return 0;
    }
    dib.Draw(surface, 0, 0, SRCCOPY);
    surface->ResetTransparentColor();
    m_glyphSurface = surface;
    return 1;
}

void YFont::ReleaseSurface()
{
    ClearCaches();
    delete m_glyphSurface;
    m_glyphSurface = nullptr;
    delete m_palette;
    m_palette = nullptr;
}

void YFont::ClearCaches()
{
    m_boxCache.Empty();
    m_lineCache.Empty();
}

int YFont::GlyphIndex(int c)
{
    const int code = c & 0xFF;
    return code < 32 || code > 127 ? 0 : code - 32;
}

int YFont::StringLength(const char* text) { return text ? static_cast<int>(strlen(text)) : 0; }

int YFont::GlyphX(int glyph) { return ColumnsValid(m_columns) ? (glyph % m_columns) * m_cellWidth : 0; }

int YFont::GlyphY(int glyph) { return ColumnsValid(m_columns) ? (glyph / m_columns) * m_cellHeight : 0; }

RECT YFont::GetGlyphRect(int glyph) const
{
    return glyph >= 0 && glyph < kGlyphCount ? m_glyphRects[glyph] : RECT{0, 0, 0, 0};
}

void YFont::MeasureGlyphs(YDIB* dib)
{
    // The space is 70 % blank, truncated.
    const LONG space = m_cellWidth * 7 / 10;
    m_blankColumns[0] = space;
    m_glyphRects[0] = RECT{0, 0, space, m_cellHeight};
    for (int i = 1; i < kGlyphCount; ++i) {
        m_blankColumns[i] = CountBlankColumns(i, dib);
        m_glyphRects[i] = RECT{GlyphX(i), GlyphY(i), GlyphX(i) + m_cellWidth, GlyphY(i) + m_cellHeight};
    }
}

int YFont::CountBlankColumns(int glyph, YDIB* dib)
{
    if (!dib || !dib->GetHeader()) return 0;
    const DWORD background = dib->GetPixel(0, 0);
    const int bits = dib->GetHeader()->biBitCount;
    const int left = GlyphX(glyph), top = GlyphY(glyph);
    int blank = 0;
    for (int column = m_cellWidth - 1; column >= 0; --column) {
        bool ink = false;
        // The cell's last row is never looked at.
        for (int row = m_cellHeight - 2; row >= 0 && !ink; --row) {
            const DWORD pixel = dib->GetPixel(left + column, top + row);
            ink = bits == 32 ? (pixel >> 24) != 0 : bits <= 24 && pixel != background;
        }
        if (ink) break;
        ++blank;
    }
    return blank;
}

SIZE YFont::TextExtent(const char* text, int length)
{
    SIZE size = {0, m_glyphRects[0].bottom - m_glyphRects[0].top};
    const int available = StringLength(text);
    if (length < 0 || length > available) length = available;
    for (int i = 0; i < length; ++i) size.cx += Advance(GlyphIndex(text[i])) + m_spacing;
    return size;
}

YDXSurface* YFont::MakeCacheSurface(const char* name, int width, int height)
{
    if (!m_glyphSurface || width <= 0 || height <= 0) return nullptr;
    YDXSurface* surface = new YDXSurface(name);
    if (!surface->CreateSurface(m_glyphSurface->GetDisplay(), static_cast<DWORD>(width), static_cast<DWORD>(height),
                                DDSCAPS_SYSTEMMEMORY, m_palette, 0, &m_glyphSurface->GetDescription().ddpfPixelFormat)) {
        delete surface;
        return nullptr;
    }
    surface->SetTransparentColor(m_transparentColor);
    surface->Clear(nullptr, 0);
    return surface;
}

void YFont::PutCached(YDXSurface* cached, int x, int y, YDXSurface* target)
{
    if (m_glyphSurface->IsAlphaSource()) {
        target->BltAlpha(cached, x, y, nullptr);
        return;
    }
    // Cache surfaces are rounded up to a multiple of 4 pixels, so a line that
    // ends near the target's edge would hang over it and the whole copy be
    // refused: cut the copy at the target's edges instead.
    RECT dest = {x, y, x + static_cast<LONG>(cached->GetWidth()), y + static_cast<LONG>(cached->GetHeight())};
    const RECT bounds = {0, 0, static_cast<LONG>(target->GetWidth()), static_cast<LONG>(target->GetHeight())};
    RECT cut;
    if (!IntersectRect(&cut, &dest, &bounds)) return;
    RECT source = {cut.left - dest.left, cut.top - dest.top, cut.right - dest.left, cut.bottom - dest.top};
    target->Blt(cached, &cut, &source, 1, 0, 0);
}

void YFont::TextOut(int x, int y, const char* text, int length, YDXSurface* target, int direct)
{
    if (!text || length == 0 || !m_glyphSurface || !target) return;
    const int available = StringLength(text);
    if (length < 0 || length > available) length = available;
    if (length == 0) return;

    if (direct) {
        // Glyph cells go straight onto the target, cut at its right and bottom edges.
        const LONG edge = static_cast<LONG>(target->GetWidth()), bottom = static_cast<LONG>(target->GetHeight());
        for (int i = 0; i < length; ++i) {
            const int glyph = GlyphIndex(text[i]);
            RECT source = m_glyphRects[glyph];
            if (x + (source.right - source.left) > edge) source.right = source.left + (edge - x);
            if (y + (source.bottom - source.top) > bottom) source.bottom = source.top + (bottom - y);
            if (source.right > source.left && source.bottom > source.top && x >= 0 && y >= 0) {
                RECT dest = {x, y, x + source.right - source.left, y + source.bottom - source.top};
                target->Blt(m_glyphSurface, &dest, &source, 1, 0, 0);
            }
            x += m_spacing + Advance(glyph);
        }
        return;
    }

    const BYTE checksum = YFontCache::Checksum(text, length);
    YFontCacheEntry* entry = m_lineCache.Find(checksum, length, m_spacing, 0, 0, text, length);
    if (!entry) {
        entry = m_lineCache.Take();
        entry->checksum = checksum;
        entry->text = CString(text, length);
        entry->key = length;
        entry->spacing = m_spacing;
    }
    if (!entry->surface) {
        const SIZE extent = TextExtent(text, length);
        entry->surface = MakeCacheSurface("[YFont::TextOut] Cache", (extent.cx + 3) & ~3, extent.cy);
        if (!entry->surface) return;
        const LONG width = static_cast<LONG>(entry->surface->GetWidth());
        LONG cx = 0;
        for (int i = 0; i < length && cx < width; ++i) {
            const int glyph = GlyphIndex(text[i]);
            RECT source = m_glyphRects[glyph];
            if (cx + (source.right - source.left) > width) source.right = source.left + (width - cx);
            if (cx >= 0 && source.right > source.left) {
                RECT dest = {cx, 0, cx + source.right - source.left, source.bottom - source.top};
                entry->surface->Blt(m_glyphSurface, &dest, &source, 1, 0, 0);
            }
            cx += Advance(glyph);
            if (glyph != 0) cx += m_spacing;
        }
    }
    PutCached(entry->surface, x, y, target);
}

int YFont::DrawText(const char* text, RECT* rect, UINT format, YDXSurface* target)
{
    if (!rect) return 0;
    if (format & DT_CALCRECT) {
        if (!text || !*text) {
            *rect = RECT{0, 0, 0, 0};
            return 1;
        }
        if (rect->right == rect->left) rect->right = rect->left + 1024;
        CStringList tokens;
        CalcRect(text, tokens, rect, format);
        return 1;
    }
    if (!text || !*text || !m_glyphSurface || !target) return 0;

    const int length = StringLength(text);
    const LONG boxWidth = rect->right - rect->left, boxHeight = rect->bottom - rect->top;
    const BYTE checksum = YFontCache::Checksum(text, length);
    YFontCacheEntry* entry =
        m_boxCache.Find(checksum, static_cast<LONG>(format), m_spacing, boxWidth, boxHeight, text, length);
    if (!entry) {
        entry = m_boxCache.Take();
        entry->checksum = checksum;
        entry->text = CString(text, length);
        entry->key = static_cast<LONG>(format);
        entry->spacing = m_spacing;
        entry->boxWidth = boxWidth;
        entry->boxHeight = boxHeight;
    }
    if (!entry->surface) {
        entry->surface = MakeCacheSurface("[YFont::DrawText] Cache", (boxWidth + 3) & ~3, boxHeight);
        if (!entry->surface) return 0;
        CStringList tokens;
        SplitWords(text, tokens);
        for (int n = 0; !tokens.IsEmpty(); ++n) {
            if ((format & DT_WORDBREAK) && n * m_cellHeight > boxHeight) break;
            CString line;
            SIZE size;
            int x = 0, y = 0;
            if (!GetLine(n, line, tokens, rect, &size, format, &x, &y)) break;
            TextOut(x - rect->left, y - rect->top, line, line.GetLength(), entry->surface, 1);
        }
    }
    PutCached(entry->surface, rect->left, rect->top, target);
    return 1;
}

void YFont::SplitWords(const char* text, CStringList& tokens)
{
    if (!text) return;
    const char* rest = text;
    while (const char* separator = strpbrk(rest, " \n-")) {
        tokens.AddTail(CString(rest, static_cast<int>(separator - rest)));
        tokens.AddTail(CString(separator, 1));
        rest = separator + 1;
    }
    tokens.AddTail(CString(rest));
}

BOOL YFont::GetLine(int n, CString& line, CStringList& tokens, const RECT* rect, SIZE* size, UINT format, int* x,
                    int* y)
{
    CString raw;
    return TakeLine(n, line, raw, tokens, rect, size, format, x, y);
}

BOOL YFont::TakeLine(int n, CString& line, CString& raw, CStringList& tokens, const RECT* rect, SIZE* size,
                     UINT format, int* x, int* y)
{
    line.Empty();
    raw.Empty();
    if (!rect) return FALSE;
    const LONG boxWidth = rect->right - rect->left;
    bool taken = false;
    while (!tokens.IsEmpty()) {
        CString token = tokens.GetHead();
        if (TextExtent(line + Shown(token), -1).cx > boxWidth) {
            if (HoldsText(line)) break;
            // A token too wide on its own is broken where it still fits.
            CString rest = token, remainder;
            while (!rest.IsEmpty() && TextExtent(Shown(rest), -1).cx > boxWidth) {
                remainder = rest.Right(1) + remainder;
                rest = rest.Left(rest.GetLength() - 1);
            }
            if (!rest.IsEmpty() && !remainder.IsEmpty()) {
                tokens.RemoveHead();
                tokens.AddHead(remainder);
                tokens.AddHead(rest);
                token = rest;
            }
        }
        tokens.RemoveHead();
        taken = true;
        raw += token;
        if (token == "\n") {
            line += ' ';
            break;
        }
        line += Shown(token);
    }
    if (!taken) return FALSE;
    line.TrimLeft(' ');
    const SIZE extent = TextExtent(line, -1);
    if (size) *size = extent;
    int left = rect->left;
    if (format & DT_RIGHT) left = rect->right - extent.cx;
    else if (format & DT_CENTER) left = rect->left + (rect->right - extent.cx - rect->left) / 2;
    int top = rect->top + n * m_cellHeight;
    if (format & DT_VCENTER) top = rect->top + (rect->bottom - (n + 1) * m_cellHeight - rect->top) / 2;
    if (x) *x = left;
    if (y) *y = top;
    return TRUE;
}

void YFont::CalcRect(const char* text, CStringList& tokens, RECT* rect, UINT format)
{
    if (!rect) return;
    SplitWords(text, tokens);
    const RECT box = *rect;
    LONG widest = 0, bottom = 0;
    bool any = false;
    CString line;
    SIZE size;
    int x = 0, y = 0;
    for (int n = 0; GetLine(n, line, tokens, &box, &size, format, &x, &y); ++n) {
        any = true;
        widest = std::max(widest, size.cx);
        bottom = std::max<LONG>(bottom, y + m_cellHeight);
    }
    rect->right = rect->left + widest;
    rect->bottom = any ? bottom : 0;
}

int YFont::GetCharIndex(const char* text, const RECT* rect, int line, int column, UINT format)
{
    if (!text || !rect || line < 0 || column < 0) return -1;
    CStringList tokens;
    SplitWords(text, tokens);
    const int total = StringLength(text);
    CString shown, raw;
    for (int n = 0; n <= line; ++n) {
        const int start = total - TokenLength(tokens);
        if (!TakeLine(n, shown, raw, tokens, rect, nullptr, format, nullptr, nullptr)) return -1;
        if (n < line) continue;
        // Walk the line as it was taken: leading blanks are not shown, "&&" is one column.
        int i = 0;
        while (i < raw.GetLength() && raw[i] == ' ') ++i;
        for (int col = 0; i < raw.GetLength(); ++col) {
            if (col == column) return start + i;
            i += (raw[i] == '&' && raw[i + 1] == '&') ? 2 : 1;
        }
    }
    return -1;
}

int YFont::GetLineText(const char* text, const RECT* rect, int line, UINT format, char* dst, int size)
{
    if (!text || !rect || !dst || size <= 0 || line < 0) return 0;
    CStringList tokens;
    SplitWords(text, tokens);
    CString shown, raw;
    for (int n = 0; n <= line; ++n)
        if (!TakeLine(n, shown, raw, tokens, rect, nullptr, format, nullptr, nullptr)) return 0;
    lstrcpynA(dst, shown, size);
    return std::min(shown.GetLength() + 1, size);
}
