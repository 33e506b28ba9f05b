#include "graphics2d/YImage.h"

#include <new>
#include <vector>

#include "assets3d/ResampleImage.h"

YImage::YImage()
    : m_width(-1), m_height(-1), m_orientation(0), m_pixels(nullptr), m_palettised(0), m_kind(IMAGE_KIND_TGA),
      m_stride(0)
{
    memset(m_palette, 0, sizeof m_palette);
    SetPixelFormat(32);
}

YImage::~YImage() { FreePixels(); }

void YImage::SetPixelFormat(DWORD bitCount)
{
    memset(&m_pixelFormat, 0, sizeof m_pixelFormat);
    m_pixelFormat.dwSize = sizeof m_pixelFormat;
    m_pixelFormat.dwRGBBitCount = bitCount;
    m_pixelFormat.dwFlags = bitCount == 8 ? (DDPF_RGB | DDPF_PALETTEINDEXED8) : DDPF_RGB;
}

bool YImage::IsSaneSize(int64_t width, int64_t height)
{
    return width >= 1 && height >= 1 && width <= IMAGE_MAX_SIDE && height <= IMAGE_MAX_SIDE &&
           width * height <= IMAGE_MAX_PIXELS;
}

bool YImage::AllocatePixels(uint32_t stride)
{
    FreePixels();
    if (m_height < 1 || stride < 1) return false;
    uint64_t size = static_cast<uint64_t>(stride) * static_cast<uint64_t>(m_height);
    if (size > static_cast<uint64_t>(IMAGE_MAX_PIXELS) * 4) return false;
    m_pixels = new (std::nothrow) BYTE[static_cast<size_t>(size)]();
    if (!m_pixels) return false;
    m_stride = stride;
    return true;
}

void YImage::FreePixels()
{
    delete[] m_pixels;
    m_pixels = nullptr;
}

void YImage::FlipVertical()
{
    if (m_width < 1 || m_height < 1 || !m_pixels || m_stride == 0) return;
    BYTE* flipped = new (std::nothrow) BYTE[static_cast<size_t>(m_stride) * static_cast<size_t>(m_height)];
    if (!flipped) return;
    for (int32_t y = 0; y < m_height; ++y)
        memcpy(flipped + static_cast<size_t>(y) * m_stride,
               m_pixels + static_cast<size_t>(m_height - 1 - y) * m_stride, m_stride);
    delete[] m_pixels;
    m_pixels = flipped;
    m_orientation ^= 1;
}

bool YImage::ExpandTo32(std::vector<BYTE>& out) const
{
    const YImage& image = *this;
    if (!image.m_pixels || image.m_width < 1 || image.m_height < 1) return false;
    const size_t width = static_cast<size_t>(image.m_width);
    const DWORD bits = image.m_palettised ? 8 : image.GetBitCount();
    const size_t bytes = bits / 8;
    if ((bits != 8 && bits != 24 && bits != 32) || image.m_stride < width * bytes) return false;
    out.assign(width * static_cast<size_t>(image.m_height) * 4, 0);
    for (int32_t y = 0; y < image.m_height; ++y) {
        const BYTE* in = image.m_pixels + static_cast<size_t>(y) * image.m_stride;
        BYTE* p = &out[static_cast<size_t>(y) * width * 4];
        for (size_t x = 0; x < width; ++x, p += 4) {
            if (bits == 8) {
                const RGBQUAD& q = image.m_palette[in[x]];
                p[0] = q.rgbBlue;
                p[1] = q.rgbGreen;
                p[2] = q.rgbRed;
                p[3] = image.m_palettised ? 255 : q.rgbReserved;
            } else if (bits == 24) {
                p[0] = in[x * 3];
                p[1] = in[x * 3 + 1];
                p[2] = in[x * 3 + 2];
                p[3] = 255;
            } else {
                memcpy(p, in + x * 4, 4);
            }
        }
    }
    return true;
}

int YImage::Resample(int newWidth, int newHeight, const char* filterX, const char* filterY, int firstIndex,
                     int lastIndex)
{
    if (newWidth < 1 || newHeight < 1) return 0;
    if (!IsSaneSize(newWidth, newHeight)) return 0;
    std::vector<BYTE> source;
    if (!ExpandTo32(source)) return 0;
    std::vector<BYTE> dest(static_cast<size_t>(newWidth) * static_cast<size_t>(newHeight) * 4, 0);
    ResampleImage(source.data(), m_width, m_height, dest.data(), newWidth, newHeight, FindResampleFilter(filterX),
                  FindResampleFilter(filterY));

    const size_t count = static_cast<size_t>(newWidth) * static_cast<size_t>(newHeight);
    BYTE* pixels = new (std::nothrow) BYTE[m_palettised ? count : count * 4];
    if (!pixels) return 0;
    if (m_palettised) {
        // Each pixel becomes the nearest entry of the range.
        for (size_t i = 0; i < count; ++i) pixels[i] = NearestPaletteIndex(m_palette, firstIndex, lastIndex, &dest[i * 4]);
        m_stride = static_cast<uint32_t>(newWidth);
    } else {
        memcpy(pixels, dest.data(), count * 4);
        m_stride = static_cast<uint32_t>(newWidth) * 4;
        SetPixelFormat(32);
    }
    delete[] m_pixels;
    m_pixels = pixels;
    m_width = newWidth;
    m_height = newHeight;
    return 1;
}

namespace {
void PutU16(BYTE* at, uint32_t value)
{
    at[0] = static_cast<BYTE>(value & 0xFF);
    at[1] = static_cast<BYTE>((value >> 8) & 0xFF);
}
}  // namespace

int YImage::SaveTGA(CFile& file)
{
    if (!m_pixels || m_width < 1 || m_height < 1 || m_kind == IMAGE_KIND_TGA) return 0;
    if (m_width > 0xFFFF || m_height > 0xFFFF) return 0;
    // 8- and 24-bit rows are widened to 4 bytes a pixel first.
    std::vector<BYTE> pixels;
    if (!ExpandTo32(pixels)) return 0;

    BYTE kind[3] = {0, 0, 2};
    BYTE colourMap[5] = {0, 0, 0, 0, 0};
    BYTE geometry[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    PutU16(geometry + 4, static_cast<uint32_t>(m_width));
    PutU16(geometry + 6, static_cast<uint32_t>(m_height));
    BYTE depth[2] = {32, 0x20};
    file.Write(kind, sizeof kind);
    file.Write(colourMap, sizeof colourMap);
    file.Write(geometry, sizeof geometry);
    file.Write(depth, sizeof depth);
    file.Write(pixels.data(), static_cast<UINT>(pixels.size()));
    return 1;
}

int YImage::SaveTGAFile(const char* name)
{
    CFile* file = new CFile;
    int result = 0;
    try {
        if (file->Open(name, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary)) {
            result = SaveTGA(*file);
            file->Close();
        }
    } catch (CException* e) {
        e->Delete();
        result = 0;
    }
    delete file;
    return result;
}
