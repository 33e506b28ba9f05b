// The in-memory image record the image readers fill: size, row order, the
// pixel buffer (4-byte pixels blue, green, red, alpha; 3-byte pixels; or
// 8-bit palette indices), the palette and the pixel format.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/ddraw.h"
#include "platform/mfc.h"

// Load flags of the readers.
const DWORD IMAGE_LOAD_BOTTOMUP = 2;  // rows bottom-up, as in a device-independent bitmap
const DWORD IMAGE_LOAD_24BIT = 4;     // 24-bit BMP and three-component JPEG pixels stay 3 bytes

// Who filled the record.
const uint8_t IMAGE_KIND_TGA = 0;
const uint8_t IMAGE_KIND_BITMAP = 1;
const uint8_t IMAGE_KIND_JPEG = 3;

// No reader makes a picture wider or higher than this, nor with more pixels.
const int32_t IMAGE_MAX_SIDE = 16384;
const int64_t IMAGE_MAX_PIXELS = 16 * 1024 * 1024;

struct YImage {
    YImage();
    ~YImage();

    int32_t m_width;
    int32_t m_height;
    uint32_t m_orientation;  // bit 0: rows reversed
    BYTE* m_pixels;          // owned
    uint32_t m_palettised;
    RGBQUAD m_palette[256];
    uint8_t m_kind;
    DDPIXELFORMAT m_pixelFormat;
    // Bytes from one row of m_pixels to the next.
    uint32_t m_stride;

    void SetPixelFormat(DWORD bitCount);
    DWORD GetBitCount() const { return m_pixelFormat.dwRGBBitCount; }
    // True when width x height is a picture size the readers accept.
    static bool IsSaneSize(int64_t width, int64_t height);
    // Replaces the pixels with a zero-filled buffer of stride x height bytes.
    bool AllocatePixels(uint32_t stride);
    void FreePixels();

    void FlipVertical();
    // The pixels as packed 4-byte blue, green, red, alpha rows (palette
    // entries opaque); false for a record without pixels or of another depth.
    bool ExpandTo32(std::vector<BYTE>& out) const;
    // Resizes through the resampler; a palettised record is mapped back to
    // the palette entries firstIndex .. lastIndex.  0 when a size is below 1.
    int Resample(int newWidth, int newHeight, const char* filterX, const char* filterY, int firstIndex,
                 int lastIndex);
    // A 32-bit, top-left-origin TGA of the rows as they stand in memory.
    int SaveTGA(CFile& file);
    int SaveTGAFile(const char* name);

private:
    YImage(const YImage&) = delete;
    YImage& operator=(const YImage&) = delete;
};
