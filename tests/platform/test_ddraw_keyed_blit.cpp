// The keyed copy that sprites and fonts go through, against a pixel-by-pixel
// model of the colour key, over random pictures, key ranges, widths and
// positions (so every vector tail and misalignment is met).
#include "platform/DirectDrawBlitter.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {
using platform::BlitImage;
using platform::BlitParams;
using platform::DirectDrawBlitter;
using platform::DirectDrawPixelFormat;

struct Picture {
    Picture(const DirectDrawPixelFormat& f, int w, int h) : format(f), width(w), height(h)
    {
        pitch = (w + 3) * f.Bytes();  // rows that do not start on a vector boundary
        bits.resize(static_cast<size_t>(pitch) * h);
    }
    uint32_t Get(int x, int y) const { return format.Read(&bits[static_cast<size_t>(y) * pitch + x * format.Bytes()]); }
    void Put(int x, int y, uint32_t v) { format.Write(&bits[static_cast<size_t>(y) * pitch + x * format.Bytes()], v); }
    BlitImage Image()
    {
        BlitImage image;
        image.bits = bits.data();
        image.width = width;
        image.height = height;
        image.pitch = pitch;
        image.format = &format;
        return image;
    }
    DirectDrawPixelFormat format;
    int width, height, pitch;
    std::vector<uint8_t> bits;
};

TEST(KeyedBlit, MatchesThePixelModelOverRandomPicturesAndKeys)
{
    const DirectDrawPixelFormat formats[] = {
        DirectDrawPixelFormat::FromMasks(16, 0xF800, 0x07E0, 0x001F, 0),
        DirectDrawPixelFormat::FromMasks(16, 0x7C00, 0x03E0, 0x001F, 0),  // the top bit is not colour
        DirectDrawPixelFormat::FromMasks(32, 0xFF0000, 0x00FF00, 0x0000FF, 0),
        DirectDrawPixelFormat::FromMasks(32, 0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000),
        DirectDrawPixelFormat::FromDepth(8),
    };
    std::mt19937 random(1999);
    for (const DirectDrawPixelFormat& format : formats) {
        const uint32_t all = format.Bytes() == 4 ? 0xFFFFFFFFu : (1u << (8 * format.Bytes())) - 1;
        const uint32_t mask = format.ColourMask();
        for (int round = 0; round < 300; ++round) {
            const uint32_t low = random() & all;
            uint32_t high = low;
            if (round % 3 == 1) high = std::min<uint64_t>(all, uint64_t(low) + random() % 5);
            if (round % 3 == 2) high = random() & all;  // below low: a single key then
            DDCOLORKEY range = {low, high};
            // Values at, beside and around the key, with the bits outside the colour mask stirred.
            auto pixel = [&]() -> uint32_t {
                uint32_t v = random() & all;
                switch (random() % 4) {
                case 0: v = (low & mask) | (v & ~mask); break;
                case 1: v = (high & mask) | (v & ~mask); break;
                case 2: v = ((low & mask) + 1 - random() % 3) & all; break;
                }
                return v & all;
            };
            const int width = 1 + static_cast<int>(random() % 70), height = 1 + static_cast<int>(random() % 3);
            Picture source(format, width + 5, height), dest(format, width + 9, height + 1), model(format, width + 9, height + 1);
            for (int y = 0; y < source.height; ++y)
                for (int x = 0; x < source.width; ++x) source.Put(x, y, pixel());
            for (int y = 0; y < dest.height; ++y)
                for (int x = 0; x < dest.width; ++x) dest.Put(x, y, random() & all);
            model.bits = dest.bits;

            const int sx = static_cast<int>(random() % 5), dx = static_cast<int>(random() % 9);
            const int dy = static_cast<int>(random() % 2);
            BlitParams params;
            params.dest = {dx, dy, dx + width, dy + height};
            params.source = {sx, 0, sx + width, height};
            params.sourceKey = true;
            params.sourceKeyRange = range;
            DirectDrawBlitter::Blit(dest.Image(), source.Image(), params, params.dest);

            const uint32_t top = std::max(low & mask, high & mask);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    const uint32_t v = source.Get(sx + x, y), colour = v & mask;
                    if (colour < (low & mask) || colour > top) model.Put(dx + x, dy + y, v);
                }
            ASSERT_EQ(model.bits, dest.bits) << "bits " << format.Bits() << " key " << std::hex << low << ".."
                                             << high << std::dec << " width " << width << " at " << dx;
        }
    }
}

}  // namespace
