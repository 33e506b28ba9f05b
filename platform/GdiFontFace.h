// One font at one pixel size: a FreeType face rendered in monochrome, or
// the built-in bitmap face of the default DC font. Glyphs are cached.
#pragma once

#include "platform/win32.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace platform {
class GdiFontFace {
public:
    // Character heights (em) above this many pixels are drawn at this height.
    enum { kMaxEm = 1024 };
    struct Glyph {
        int advance = 0;
        int left = 0;  // from the pen position to the first column
        int top = 0;   // from the baseline up to the first row
        int width = 0;
        int height = 0;
        std::vector<uint8_t> ink;  // width x height, 1 where the glyph is drawn
    };

    ~GdiFontFace();
    // The built-in face: 5 x 7 glyphs with descenders, 6 pixels apart, 12 high.
    static GdiFontFace* Builtin();
    // A FreeType face for the logical font, or null when no font file opens.
    static std::unique_ptr<GdiFontFace> Open(const LOGFONTA& logFont);
    // The font file for a face name: Arial is Liberation Sans, "arial black"
    // a bold sans, every other name the sans.
    static std::string FileFor(const char* faceName, int weight, bool italic);

    const Glyph& GetGlyph(unsigned char c);
    int Ascent() const { return m_ascent; }
    int Descent() const { return m_descent; }
    int Height() const { return m_ascent + m_descent; }
    int InternalLeading() const { return m_internalLeading; }
    int AverageWidth() const { return m_averageWidth; }
    int MaxWidth() const { return m_maxWidth; }
    bool FixedPitch() const { return m_fixedPitch; }
    const std::string& Name() const { return m_name; }

private:
    GdiFontFace() = default;
    Glyph LoadBuiltin(unsigned char c) const;
    Glyph LoadFreeType(unsigned char c) const;

    void* m_face = nullptr;  // FT_Face, or null for the built-in face
    int m_ascent = 0;
    int m_descent = 0;
    int m_internalLeading = 0;
    int m_averageWidth = 0;
    int m_maxWidth = 0;
    bool m_fixedPitch = false;
    std::string m_name;
    std::map<unsigned char, Glyph> m_glyphs;
};
}  // namespace platform
