// The sample data's bitmap fonts: glyph pictures drawn through GDI text
// (FreeType faces, no anti-aliasing) in a grid of the characters 32 to 127,
// white on magenta, each with its ".fnt" description.
#pragma once

#include <string>

class YSampleFonts {
public:
    struct Face {
        const char* name;      // file name without extension, under "fonts"
        const char* faceName;  // GDI face name
        int pixelHeight;       // character height in pixels
        int weight;            // FW_NORMAL, FW_BOLD, ...
        int columns;           // glyph cells a row
    };

    // Writes "fonts\<name>.bmp" and "fonts\<name>.fnt" of every sample face
    // into folder; false with a message on the first failure.
    static bool WriteAll(const std::string& folder, std::string& error);
    static bool Write(const Face& face, const std::string& folder, std::string& error);
    // The image name a ".fnt" and the catalog give for a face.
    static std::string ImageName(const Face& face);
};
