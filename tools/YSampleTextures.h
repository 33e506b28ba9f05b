// The sample data's textures as ".ytx" files, made by pattern name:
//   "jetblack", "water", "grass"   ground: near-black, blue ripples, green noise
//   "sky-front", "sky-left", "sky-back", "sky-right", "sky-top"
//                                  sky-box faces: horizon haze up to blue
//   "flare"                        a white glow fading out in alpha
//   "shadow"                       a soft dark disc in alpha
//   "tree", "bush"                 sprites on a transparent background
//   "fence"                        planks on magenta, the colour key
//   "billboard"                    a framed sign
// Each texture is imported from its picture in its first layout, gets its
// MIP levels and then its other layouts.
#pragma once

#include <string>

#include "graphics2d/YImage.h"

class YTexture2;

class YSampleTextures {
public:
    // A new 32-bit record, or none for an unknown pattern or size.
    static YImage* Make(const std::string& pattern, int width, int height);
    // Writes every texture a description lists into folder.  One texture a
    // line: file name, pattern, width, height, layouts joined by commas
    // (565, 555, 4444, 1555, 8888, 888), then any of "colorkey" (alpha from
    // magenta), "external" (level 0 stays in a TGA beside the texture) and
    // "tag NAME VALUE".  False with "line N: ..." on the first error.
    static bool WriteAll(const std::string& description, const std::string& folder, std::string& error);
    // The format line of a layout name, "" for an unknown one.
    static const char* LayoutLine(const std::string& layout);
};
