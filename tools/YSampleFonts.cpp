#include "tools/YSampleFonts.h"

#include <algorithm>
#include <sys/stat.h>

#include "foundation/SaveDCBitmap.h"
#include "platform/mfc.h"

namespace {
const YSampleFonts::Face kFaces[] = {
    {"interface", "Arial", 13, FW_NORMAL, 16},
    {"small", "Arial", 10, FW_NORMAL, 16},
    {"title", "arial black", 22, FW_BOLD, 16},
    {"hud", "arial", 16, FW_BOLD, 16},
};

const int kGlyphs = 96;
// Columns left of each glyph's origin, for ink that reaches left of it.
const int kLeftMargin = 2;

// GDI objects of one drawing, given back in reverse order.
struct GlyphCanvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HFONT font = nullptr;
    HGDIOBJ oldBitmap = nullptr;
    HGDIOBJ oldFont = nullptr;

    ~GlyphCanvas()
    {
        if (dc && oldFont) SelectObject(dc, oldFont);
        if (dc && oldBitmap) SelectObject(dc, oldBitmap);
        if (font) DeleteObject(font);
        if (bitmap) DeleteObject(bitmap);
        if (dc) DeleteDC(dc);
    }
};
}  // namespace

std::string YSampleFonts::ImageName(const Face& face) { return std::string("fonts\\") + face.name + ".bmp"; }

bool YSampleFonts::WriteAll(const std::string& folder, std::string& error)
{
    mkdir((folder + "/fonts").c_str(), 0755);
    for (const Face& face : kFaces)
        if (!Write(face, folder, error)) return false;
    return true;
}

bool YSampleFonts::Write(const Face& face, const std::string& folder, std::string& error)
{
    GlyphCanvas canvas;
    canvas.dc = CreateCompatibleDC(nullptr);
    canvas.font = CreateFontA(-face.pixelHeight, 0, 0, 0, face.weight, 0, 0, 0, ANSI_CHARSET, OUT_TT_PRECIS,
                              CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, VARIABLE_PITCH | FF_SWISS, face.faceName);
    if (!canvas.dc || !canvas.font) {
        error = std::string("no GDI font for ") + face.name;
        return false;
    }
    canvas.oldFont = SelectObject(canvas.dc, canvas.font);

    // Cells as wide as the widest character, the margin and one blank column, as high
    // as the face plus the last row, which the font never reads.
    int cellWidth = 1;
    for (int c = 33; c < 32 + kGlyphs; ++c) {
        const char text = static_cast<char>(c);
        SIZE size = {0, 0};
        GetTextExtentPoint32A(canvas.dc, &text, 1, &size);
        cellWidth = std::max<int>(cellWidth, kLeftMargin + size.cx + 1);
    }
    TEXTMETRICA metrics;
    memset(&metrics, 0, sizeof metrics);
    GetTextMetricsA(canvas.dc, &metrics);
    const int cellHeight = std::max<int>(metrics.tmHeight, face.pixelHeight) + 1;
    const int rows = kGlyphs / face.columns;
    const int width = cellWidth * face.columns, height = cellHeight * rows;

    canvas.bitmap = CreateBitmap(width, height, 1, 24, nullptr);
    if (!canvas.bitmap) {
        error = std::string("no glyph picture for ") + face.name;
        return false;
    }
    canvas.oldBitmap = SelectObject(canvas.dc, canvas.bitmap);
    const RECT whole = {0, 0, width, height};
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(canvas.dc, &whole, magenta);

    // Each glyph is drawn alone into a cell-sized bitmap, so that ink left
    // of its origin (the tail of a "j") cannot reach the cell before it.
    GlyphCanvas cell;
    cell.dc = CreateCompatibleDC(nullptr);
    cell.bitmap = CreateBitmap(cellWidth, cellHeight, 1, 24, nullptr);
    if (!cell.dc || !cell.bitmap) {
        DeleteObject(magenta);
        error = std::string("no glyph cell for ") + face.name;
        return false;
    }
    cell.oldBitmap = SelectObject(cell.dc, cell.bitmap);
    cell.oldFont = SelectObject(cell.dc, canvas.font);
    SetBkMode(cell.dc, TRANSPARENT);
    SetTextColor(cell.dc, RGB(255, 255, 255));
    const RECT cellRect = {0, 0, cellWidth, cellHeight};
    for (int i = 1; i < kGlyphs; ++i) {
        const char text = static_cast<char>(32 + i);
        FillRect(cell.dc, &cellRect, magenta);
        TextOutA(cell.dc, kLeftMargin, 0, &text, 1);
        BitBlt(canvas.dc, (i % face.columns) * cellWidth, (i / face.columns) * cellHeight, cellWidth, cellHeight,
               cell.dc, 0, 0, SRCCOPY);
    }
    DeleteObject(magenta);

    const std::string base = folder + "/fonts/" + face.name;
    try {
        CFile picture((base + ".bmp").c_str(), CFile::modeCreate | CFile::modeWrite);
        SaveDCBitmap(&picture, canvas.dc, whole);
        picture.Close();
        CFile description((base + ".fnt").c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&description, CArchive::store);
        ar << CString(ImageName(face).c_str()) << static_cast<LONG>(face.columns);
        ar.Close();
        description.Close();
    } catch (CException* e) {
        e->Delete();
        error = "cannot write " + base;
        return false;
    }
    return true;
}
