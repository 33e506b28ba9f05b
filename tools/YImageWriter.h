// Writes image records as BMP (8, 24 or 32 bits) and TGA (24 or 32 bits,
// plain or run-length) files for the sample data.  The record holds packed
// top-down rows: 4-byte pixels, or palette indices when palettised.
#pragma once

#include <string>

#include "graphics2d/YImage.h"

class YImageWriter {
public:
    // 8 bits needs a palettised record; 24 and 32 bits a true-colour one.
    static bool WriteBMP(const YImage& image, const std::string& path, int bits);
    static bool WriteTGA(const YImage& image, const std::string& path, int bits, bool runLength);
};
