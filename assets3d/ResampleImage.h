// Separable filtered resizing of 32-bit and 8-bit pictures: a table of nine
// named kernels, 14-bit fixed-point weights per destination column and row,
// a horizontal pass into a ring of filtered rows and a vertical pass.
#pragma once

#include <cstdint>

#include "platform/win32.h"

struct YResampleFilter {
    const char* name;
    double (*kernel)(double x);
    double support;
};

const int RESAMPLE_FILTER_COUNT = 9;

// Entry index of the table, clamped into 0 .. RESAMPLE_FILTER_COUNT - 1.
const YResampleFilter& GetResampleFilter(int index);
// Index of the entry named exactly name; 0 ("Point") when none matches.
int FindResampleFilter(const char* name);

// Fills dest (destWidth x destHeight packed 4-byte pixels) with the filtered
// resize of source (sourceWidth x sourceHeight); all four bytes of a pixel
// are filtered alike.  Destination pixels outside the filter's reach are not
// written.  Sizes below 1 or null buffers do nothing.
void ResampleImage(const uint8_t* source, int sourceWidth, int sourceHeight, uint8_t* dest, int destWidth,
                   int destHeight, int filterX, int filterY);
// The same for one byte a pixel.
void ResampleAlphaImage(const uint8_t* source, int sourceWidth, int sourceHeight, uint8_t* dest, int destWidth,
                        int destHeight, int filterX, int filterY);

// The palette entry first .. last (clamped into 0 .. 255) nearest to the
// exchange pixel {blue, green, red}: least sum of squared differences, the
// lowest index on a tie.
uint8_t NearestPaletteIndex(const RGBQUAD* palette, int first, int last, const uint8_t* pixel);
