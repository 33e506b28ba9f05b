// The catalog bitmap font.  Its ".fnt" description names a glyph picture,
// a grid of the 96 characters 32 to 127, and the number of glyph columns in
// it.  The font measures each glyph from the picture, uploads the picture
// into a surface and draws text by copying glyph cells; rendered strings are
// kept in two caches of surfaces.
#pragma once

#include "foundation/YResource.h"
#include "graphics2d/YFontCache.h"

class YDIB;
class YDXPalette;

class YFont : public YResource {
    DECLARE_SERIAL(YFont)
public:
    enum { kGlyphCount = 96, kCacheSize = 100 };

    YFont();
    ~YFont() override;

    // The ".fnt" layout: image name, column count.
    void Serialize(CArchive& ar) override;
    void OnNotify(DWORD value) override;
    YResource* CopyTo(YResource* target) override;
    // The first folder of the list whose glyph picture loads.
    BOOL LoadFromDirectories(CStringArray* directories, DWORD_PTR context) override;
    // The context word is the display (a YDXDraw*) the glyph surface is made
    // on; without one the picture is only measured and the surface waits for
    // CreateSurfaces.
    BOOL LoadFromPath(const CString& directory, DWORD_PTR context) override;
    BOOL Restore(YDXDraw* display) override;
    BOOL ReleaseSurfaces() override;
    BOOL CreateSurfaces(YDXDraw* display) override;
    // Reads the description from an open ".fnt" file; always 0.
    BOOL LoadFromFile(CFile& file) override;
    int Accept(YResourceVisitor* visitor) override;

    virtual int LoadById(UINT id, const char* name, YDXDraw* display);
    // Reads name + ".fnt" and loads its picture; file exceptions pass on.
    virtual int Load(const char* name, YDXDraw* display);
    virtual int LoadFontImage(const char* directory, YDXDraw* display);
    virtual void ClearCaches();
    virtual SIZE TextExtent(const char* text, int length);
    // One line at (x, y); direct copies the glyphs straight onto target.
    virtual void TextOut(int x, int y, const char* text, int length, YDXSurface* target, int direct = 0);
    // Text laid out in a box (DT_CENTER, DT_RIGHT, DT_VCENTER, DT_WORDBREAK,
    // DT_CALCRECT); 1 when something was drawn or measured.
    virtual int DrawText(const char* text, RECT* rect, UINT format, YDXSurface* target);
    virtual int GetCharIndex(const char* text, const RECT* rect, int line, int column, UINT format);
    virtual int GetLineText(const char* text, const RECT* rect, int line, UINT format, char* dst, int size);
    virtual void SplitWords(const char* text, CStringList& tokens);
    virtual void CalcRect(const char* text, CStringList& tokens, RECT* rect, UINT format);
    virtual BOOL GetLine(int n, CString& line, CStringList& tokens, const RECT* rect, SIZE* size, UINT format,
                         int* x, int* y);
    virtual void ReleaseSurface();
    virtual void Reset();
    virtual int LoadImage(YDXDraw* display);
    virtual int GlyphIndex(int c);
    virtual int StringLength(const char* text);
    virtual void MeasureGlyphs(YDIB* dib);
    virtual int CountBlankColumns(int glyph, YDIB* dib);
    virtual int GlyphX(int glyph);
    virtual int GlyphY(int glyph);

    void SetSpacing(int spacing) { m_spacing = spacing; }
    int GetSpacing() const { return m_spacing; }
    void SetColumns(int columns) { m_columns = columns; }
    void SetPalettised(DWORD palettised) { m_palettised = palettised; }
    void SetTransparentColor(COLORREF colour) { m_transparentColor = colour; }
    COLORREF GetTransparentColor() const { return m_transparentColor; }

    YDXSurface* GetGlyphSurface() const { return m_glyphSurface; }
    const CString& GetImagePath() const { return m_imagePath; }
    // An empty path lets the next LoadFontImage build it again.
    void SetImagePath(const CString& path) { m_imagePath = path; }
    int GetCellWidth() const { return m_cellWidth; }
    int GetCellHeight() const { return m_cellHeight; }
    int GetImageWidth() const { return m_imageWidth; }
    int GetImageHeight() const { return m_imageHeight; }
    int GetBlankColumns(int glyph) const { return glyph >= 0 && glyph < kGlyphCount ? m_blankColumns[glyph] : 0; }
    RECT GetGlyphRect(int glyph) const;
    YFontCache& GetLineCache() { return m_lineCache; }
    YFontCache& GetBoxCache() { return m_boxCache; }
    // A column count that can give cells: 1 to 96.
    static bool ColumnsValid(LONG columns) { return columns >= 1 && columns <= kGlyphCount; }

    CString m_imageName;
    LONG m_columns;

private:
    // Line n of the laid-out tokens, also as the text it was taken from.
    BOOL TakeLine(int n, CString& line, CString& raw, CStringList& tokens, const RECT* rect, SIZE* size, UINT format,
                  int* x, int* y);
    // A cache surface of the glyph surface's format, keyed and cleared.
    YDXSurface* MakeCacheSurface(const char* name, int width, int height);
    // Puts a cache surface on the target at (x, y).
    void PutCached(YDXSurface* cached, int x, int y, YDXSurface* target);
    int Advance(int glyph) const { return m_cellWidth - m_blankColumns[glyph]; }

    YDXSurface* m_glyphSurface;
    CString m_imagePath;
    LONG m_cellWidth;
    LONG m_cellHeight;
    LONG m_imageWidth;
    LONG m_imageHeight;
    double m_scale;
    LONG m_spacing;
    LONG m_measuredCellWidth;
    LONG m_measuredCellHeight;
    LONG m_blankColumns[kGlyphCount];
    RECT m_glyphRects[kGlyphCount];
    DWORD m_palettised;
    YFontCache m_boxCache;
    YFontCache m_lineCache;
    COLORREF m_transparentColor;
    YDXPalette* m_palette;
};
