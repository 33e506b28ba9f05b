#include <memory>
#include <new>
#include <vector>

#include "graphics2d/LoadImageFile.h"
#include "graphics2d/YImageFileReader.h"

namespace {

const uint32_t kInfoHeaderSize = 40;
const uint32_t kFileHeaderSize = 14;

uint32_t Padded(uint64_t rowBytes) { return static_cast<uint32_t>((rowBytes + 3) & ~static_cast<uint64_t>(3)); }

YImage* ReadBMP(CFile& file, DWORD flags)
{
    YImageFileReader reader(file);
    BYTE fileHeader[kFileHeaderSize], info[kInfoHeaderSize];
    if (!reader.Read(fileHeader, sizeof fileHeader)) return nullptr;
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M') return nullptr;
    const uint32_t pixelOffset = YImageFileReader::U32(fileHeader + 10);
    if (!reader.Read(info, sizeof info)) return nullptr;
    const uint32_t infoSize = YImageFileReader::U32(info);
    const int32_t width = YImageFileReader::I32(info + 4);
    const int32_t fileHeight = YImageFileReader::I32(info + 8);
    const uint32_t bitCount = YImageFileReader::U16(info + 14);
    const uint32_t compression = YImageFileReader::U32(info + 16);
    const uint32_t coloursUsed = YImageFileReader::U32(info + 32);
    if (infoSize < kInfoHeaderSize) return nullptr;
    // Rows are stored as they stand: no run-length compression; bit fields
    // only for 32-bit pixels, which are copied as they are.
    if (compression != 0 && !(compression == 3 && bitCount == 32)) return nullptr;
    // A negative height is a top-down bitmap.
    const bool fileTopDown = fileHeight < 0;
    const int64_t height = fileTopDown ? -static_cast<int64_t>(fileHeight) : fileHeight;
    if (!YImage::IsSaneSize(width, height)) return nullptr;

    std::unique_ptr<YImage> image(new YImage);
    image->m_width = width;
    image->m_height = static_cast<int32_t>(height);
    image->m_kind = IMAGE_KIND_BITMAP;
    uint32_t fileStride, outBytes;
    if (bitCount == 8) {
        uint32_t colours = coloursUsed ? coloursUsed : 256;
        if (colours > 256) return nullptr;
        if (!reader.SeekTo(kFileHeaderSize + static_cast<uint64_t>(infoSize))) return nullptr;
        std::vector<BYTE> table;
        if (!reader.Read(table, static_cast<uint64_t>(colours) * 4)) return nullptr;
        for (uint32_t i = 0; i < colours; ++i) {
            image->m_palette[i].rgbBlue = table[i * 4];
            image->m_palette[i].rgbGreen = table[i * 4 + 1];
            image->m_palette[i].rgbRed = table[i * 4 + 2];
            image->m_palette[i].rgbReserved = table[i * 4 + 3];
        }
        image->m_palettised = 1;
        fileStride = Padded(static_cast<uint64_t>(width));
        outBytes = 1;
    } else if (bitCount == 24) {
        fileStride = Padded(static_cast<uint64_t>(width) * 3);
        outBytes = (flags & IMAGE_LOAD_24BIT) ? 3 : 4;
    } else if (bitCount == 32) {
        fileStride = static_cast<uint32_t>(width) * 4;
        outBytes = 4;
    } else {
        return nullptr;
    }
    const uint32_t memoryStride = Padded(static_cast<uint64_t>(width) * outBytes);

    std::vector<BYTE> rows;
    if (!reader.SeekTo(pixelOffset)) return nullptr;
    if (!reader.Read(rows, static_cast<uint64_t>(fileStride) * static_cast<uint64_t>(height))) return nullptr;
    if (!image->AllocatePixels(memoryStride)) return nullptr;

    // With flag 2 the rows come out bottom-up, else top-down.
    const bool bottomUp = (flags & IMAGE_LOAD_BOTTOMUP) != 0;
    const bool reverse = bottomUp == fileTopDown;
    for (int64_t y = 0; y < height; ++y) {
        const BYTE* in = &rows[static_cast<size_t>(y) * fileStride];
        int64_t outRow = reverse ? height - 1 - y : y;
        BYTE* out = image->m_pixels + static_cast<size_t>(outRow) * memoryStride;
        if (bitCount == 24 && outBytes == 4) {
            for (int32_t x = 0; x < width; ++x) {
                out[x * 4] = in[x * 3];
                out[x * 4 + 1] = in[x * 3 + 1];
                out[x * 4 + 2] = in[x * 3 + 2];
                out[x * 4 + 3] = 255;
            }
        } else {
            memcpy(out, in, static_cast<size_t>(width) * outBytes);
        }
    }
    image->m_orientation = bottomUp ? 1 : 0;
    image->SetPixelFormat(bitCount == 8 ? 8 : outBytes * 8);
    return image.release();
}

}  // namespace

YImage* LoadBMP(CFile& file, DWORD flags)
{
    try {
        return ReadBMP(file, flags);
    } catch (CException* e) {
        e->Delete();
    } catch (const std::bad_alloc&) {
    }
    return nullptr;
}
