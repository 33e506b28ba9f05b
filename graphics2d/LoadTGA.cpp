#include <memory>
#include <new>
#include <vector>

#include "graphics2d/LoadImageFile.h"
#include "graphics2d/YImageFileReader.h"

namespace {

// One file pixel of 2, 3 or 4 bytes as blue, green, red, alpha.
void StorePixel(const BYTE* in, uint32_t bytes, BYTE* out)
{
    if (bytes == 2) {
        uint32_t v = YImageFileReader::U16(in);
        out[0] = static_cast<BYTE>((v & 0x1F) << 3);
        out[1] = static_cast<BYTE>(((v >> 5) & 0x1F) << 3);
        out[2] = static_cast<BYTE>(((v >> 10) & 0x1F) << 3);
        out[3] = 255;
    } else if (bytes == 3) {
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
        out[3] = 255;
    } else {
        memcpy(out, in, 4);
    }
}

// Run-length packets until every pixel is filled; a packet that runs past
// the picture or past the data refuses the file.
bool DecodeRuns(const std::vector<BYTE>& data, uint32_t bytes, BYTE* out, uint64_t pixels)
{
    size_t at = 0;
    uint64_t filled = 0;
    while (filled < pixels) {
        if (at >= data.size()) return false;
        BYTE header = data[at++];
        uint64_t count = static_cast<uint64_t>(header & 0x7F) + 1;
        if (filled + count > pixels) return false;
        if (header & 0x80) {
            if (data.size() - at < bytes) return false;
            BYTE pixel[4];
            StorePixel(&data[at], bytes, pixel);
            at += bytes;
            for (uint64_t i = 0; i < count; ++i, ++filled) memcpy(out + filled * 4, pixel, 4);
        } else {
            if ((data.size() - at) / bytes < count) return false;
            for (uint64_t i = 0; i < count; ++i, ++filled, at += bytes) StorePixel(&data[at], bytes, out + filled * 4);
        }
    }
    return true;
}

YImage* ReadTGA(CFile& file, DWORD flags)
{
    YImageFileReader reader(file);
    BYTE kind[3], colourMap[5], geometry[8], depth[2];
    if (!reader.Read(kind, 3) || !reader.Read(colourMap, 5) || !reader.Read(geometry, 8) || !reader.Read(depth, 2))
        return nullptr;
    const BYTE imageType = kind[2];
    if (imageType != 2 && imageType != 10) return nullptr;
    if (kind[0] && !reader.Skip(kind[0])) return nullptr;
    const uint32_t bits = depth[0];
    if (bits != 24 && bits != 32 && bits != 16) return nullptr;
    if (kind[1]) {
        uint64_t mapBytes = static_cast<uint64_t>(colourMap[4] / 8) * YImageFileReader::U16(colourMap + 2);
        if (!reader.Skip(mapBytes)) return nullptr;
    }
    const int32_t width = static_cast<int32_t>(YImageFileReader::U16(geometry + 4));
    const int32_t height = static_cast<int32_t>(YImageFileReader::U16(geometry + 6));
    if (!YImage::IsSaneSize(width, height)) return nullptr;

    std::unique_ptr<YImage> image(new YImage);
    image->m_width = width;
    image->m_height = height;
    image->m_kind = IMAGE_KIND_TGA;
    if (!image->AllocatePixels(static_cast<uint32_t>(width) * 4)) return nullptr;

    const uint32_t bytes = bits / 8;
    const uint64_t pixels = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    std::vector<BYTE> data;
    if (imageType == 2) {
        if (!reader.Read(data, pixels * bytes)) return nullptr;
        for (uint64_t i = 0; i < pixels; ++i) StorePixel(&data[i * bytes], bytes, image->m_pixels + i * 4);
    } else {
        // At most one header byte and one pixel for every pixel.
        uint64_t most = pixels * (bytes + 1);
        uint64_t available = reader.Remaining();
        if (!reader.Read(data, available < most ? available : most)) return nullptr;
        if (!DecodeRuns(data, bytes, image->m_pixels, pixels)) return nullptr;
    }

    // Flag 2 always gives bottom-up rows, its absence top-down rows.
    bool topLeftOrigin = (depth[1] & 0x20) != 0;
    bool bottomUp = (flags & IMAGE_LOAD_BOTTOMUP) != 0;
    if (topLeftOrigin == bottomUp) image->FlipVertical();
    return image.release();
}

}  // namespace

YImage* LoadTGA(CFile& file, DWORD flags)
{
    try {
        return ReadTGA(file, flags);
    } catch (CException* e) {
        e->Delete();
    } catch (const std::bad_alloc&) {
    }
    return nullptr;
}
