// The glyph rows of the built-in bitmap face.
#pragma once

#include <cstdint>

namespace platform {
struct GdiBuiltinFont {
    static const int kColumns = 5;
    static const int kRows = 9;
    static const int kRowsAboveBaseline = 7;
    static const int kAdvance = 6;
    static const int kAscent = 9;
    static const int kDescent = 3;
    // kRows bytes for the character; bit 4 is the leftmost column.
    static const uint8_t* Rows(unsigned char c);
};
}  // namespace platform
