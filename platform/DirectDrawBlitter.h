// The pixel loops behind Blt and BltFast: colour fills and copies with
// source and destination colour keys, nearest-pixel stretching and
// mirroring, each limited to one clip rectangle of the destination.
#pragma once

#include "platform/DirectDrawPixelFormat.h"

namespace platform {
struct BlitImage {
    uint8_t* bits = nullptr;
    int width = 0;
    int height = 0;
    int pitch = 0;
    const DirectDrawPixelFormat* format = nullptr;
    const PALETTEENTRY* palette = nullptr;
};

struct BlitParams {
    RECT dest;    // the whole destination rectangle, before clipping
    RECT source;  // the source rectangle it maps to
    bool mirrorLeftRight = false;
    bool mirrorUpDown = false;
    bool sourceKey = false;
    DDCOLORKEY sourceKeyRange = {0, 0};
    bool destKey = false;
    DDCOLORKEY destKeyRange = {0, 0};
};

class DirectDrawBlitter {
public:
    // Writes the raw pixel value into clip (already inside the image).
    static void Fill(const BlitImage& dest, const RECT& clip, uint32_t value);
    // Copies the part of params.dest that lies in clip.
    static void Blit(const BlitImage& dest, const BlitImage& source, const BlitParams& params, const RECT& clip);
};
}  // namespace platform
