#include "platform/GdiFontFace.h"

#include "platform/GdiBuiltinFont.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sys/stat.h>

namespace platform {
namespace {
class FreeTypeLibrary {
public:
    FreeTypeLibrary()
    {
        if (FT_Init_FreeType(&m_library) != 0) m_library = nullptr;
    }
    ~FreeTypeLibrary()
    {
        if (m_library) FT_Done_FreeType(m_library);
    }
    FT_Library Get() const { return m_library; }

private:
    FT_Library m_library = nullptr;
};

FT_Library Library()
{
    static FreeTypeLibrary* library = new FreeTypeLibrary;  // fonts may be freed during static destruction
    return library->Get();
}

bool Exists(const std::string& path)
{
    struct stat info;
    return !path.empty() && stat(path.c_str(), &info) == 0;
}

std::string Lower(const char* text)
{
    std::string out = text ? text : "";
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// fontconfig's answer for a pattern, when the known Debian paths are missing.
std::string Match(const std::string& pattern)
{
    std::string command = "fc-match -f '%{file}' '" + pattern + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return std::string();
    char buffer[512];
    std::string out;
    while (fgets(buffer, sizeof buffer, pipe)) out += buffer;
    pclose(pipe);
    return out;
}

// Windows cp1252 text to Unicode for the glyph look-up.
unsigned long CodePoint(unsigned char c)
{
    static const uint16_t high[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                      0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    if (c >= 0x80 && c < 0xA0) return high[c - 0x80];
    return c;
}
}  // namespace

GdiFontFace::~GdiFontFace()
{
    if (m_face) FT_Done_Face(static_cast<FT_Face>(m_face));
}

std::string GdiFontFace::FileFor(const char* faceName, int weight, bool italic)
{
    const std::string name = Lower(faceName);
    const bool bold = weight >= FW_SEMIBOLD;
    const char* liberation = "/usr/share/fonts/truetype/liberation/";
    const char* dejavu = "/usr/share/fonts/truetype/dejavu/";
    std::string path, pattern;
    if (name == "arial") {
        const char* style = bold ? (italic ? "BoldItalic" : "Bold") : (italic ? "Italic" : "Regular");
        path = std::string(liberation) + "LiberationSans-" + style + ".ttf";
        pattern = std::string("Liberation Sans:") + (bold ? "bold" : "regular") + (italic ? ":italic" : "");
    } else if (name == "arial black") {
        path = std::string(dejavu) + (italic ? "DejaVuSans-BoldOblique.ttf" : "DejaVuSans-Bold.ttf");
        pattern = std::string("sans:bold") + (italic ? ":italic" : "");
    } else {
        const char* file = bold ? (italic ? "DejaVuSans-BoldOblique.ttf" : "DejaVuSans-Bold.ttf")
                                : (italic ? "DejaVuSans-Oblique.ttf" : "DejaVuSans.ttf");
        path = std::string(dejavu) + file;
        pattern = std::string("sans") + (bold ? ":bold" : "") + (italic ? ":italic" : "");
    }
    if (Exists(path)) return path;
    std::string matched = Match(pattern);
    return Exists(matched) ? matched : std::string();
}

GdiFontFace* GdiFontFace::Builtin()
{
    static GdiFontFace* face = [] {
        static GdiFontFace builtin;
        builtin.m_ascent = GdiBuiltinFont::kAscent;
        builtin.m_descent = GdiBuiltinFont::kDescent;
        builtin.m_internalLeading = 0;
        builtin.m_averageWidth = GdiBuiltinFont::kAdvance;
        builtin.m_maxWidth = GdiBuiltinFont::kAdvance;
        builtin.m_fixedPitch = true;
        builtin.m_name = "System";
        return &builtin;
    }();
    return face;
}

std::unique_ptr<GdiFontFace> GdiFontFace::Open(const LOGFONTA& logFont)
{
    FT_Library library = Library();
    if (!library) return nullptr;
    std::string file = FileFor(logFont.lfFaceName, logFont.lfWeight, logFont.lfItalic != 0);
    FT_Face face = nullptr;
    if (file.empty() || FT_New_Face(library, file.c_str(), 0, &face) != 0) return nullptr;

    int unitsPerEm = face->units_per_EM ? face->units_per_EM : 2048;
    int ascender = face->ascender, descender = -face->descender;
    if (const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
        if (os2->usWinAscent + os2->usWinDescent > 0) {
            ascender = os2->usWinAscent;
            descender = os2->usWinDescent;
        }
    }
    // Negative heights are character heights (the em), positive ones cell heights.
    // Worked in 64 bits and kept to kMaxEm: a glyph beyond any screen is
    // never drawn whole, and rendering one costs its area.
    int64_t height = logFont.lfHeight, em64;
    if (height < 0) em64 = -height;
    else if (height > 0) em64 = (height * unitsPerEm + (ascender + descender) / 2) / std::max(1, ascender + descender);
    else em64 = 16;
    const int em = static_cast<int>(std::max<int64_t>(1, std::min<int64_t>(kMaxEm, em64)));
    FT_Set_Pixel_Sizes(face, 0, em);

    std::unique_ptr<GdiFontFace> out(new GdiFontFace());
    out->m_face = face;
    out->m_ascent = (ascender * em + unitsPerEm / 2) / unitsPerEm;
    out->m_descent = (descender * em + unitsPerEm / 2) / unitsPerEm;
    out->m_internalLeading = std::max(0, out->m_ascent + out->m_descent - em);
    out->m_fixedPitch = FT_IS_FIXED_WIDTH(face);
    out->m_name = logFont.lfFaceName;
    out->m_averageWidth = out->GetGlyph('x').advance;
    int widest = 0;
    for (int c = 32; c < 127; ++c) widest = std::max(widest, out->GetGlyph(static_cast<unsigned char>(c)).advance);
    out->m_maxWidth = widest;
    return out;
}

const GdiFontFace::Glyph& GdiFontFace::GetGlyph(unsigned char c)
{
    auto it = m_glyphs.find(c);
    if (it != m_glyphs.end()) return it->second;
    return m_glyphs[c] = m_face ? LoadFreeType(c) : LoadBuiltin(c);
}

GdiFontFace::Glyph GdiFontFace::LoadBuiltin(unsigned char c) const
{
    Glyph glyph;
    glyph.advance = GdiBuiltinFont::kAdvance;
    glyph.left = 0;
    glyph.top = GdiBuiltinFont::kRowsAboveBaseline;
    glyph.width = GdiBuiltinFont::kColumns;
    glyph.height = GdiBuiltinFont::kRows;
    glyph.ink.assign(glyph.width * glyph.height, 0);
    const uint8_t* rows = GdiBuiltinFont::Rows(c);
    for (int y = 0; y < glyph.height; ++y)
        for (int x = 0; x < glyph.width; ++x)
            glyph.ink[y * glyph.width + x] = (rows[y] >> (GdiBuiltinFont::kColumns - 1 - x)) & 1;
    return glyph;
}

GdiFontFace::Glyph GdiFontFace::LoadFreeType(unsigned char c) const
{
    Glyph glyph;
    FT_Face face = static_cast<FT_Face>(m_face);
    if (FT_Load_Char(face, CodePoint(c), FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) != 0)
        return glyph;
    FT_GlyphSlot slot = face->glyph;
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int>(slot->bitmap.width);
    glyph.height = static_cast<int>(slot->bitmap.rows);
    glyph.ink.assign(static_cast<size_t>(glyph.width) * glyph.height, 0);
    const FT_Bitmap& bitmap = slot->bitmap;
    for (int y = 0; y < glyph.height; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
        for (int x = 0; x < glyph.width; ++x) {
            bool on = bitmap.pixel_mode == FT_PIXEL_MODE_MONO ? ((row[x >> 3] >> (7 - (x & 7))) & 1)
                                                               : (row[x] >= 128);
            glyph.ink[static_cast<size_t>(y) * glyph.width + x] = on ? 1 : 0;
        }
    }
    return glyph;
}
}  // namespace platform
