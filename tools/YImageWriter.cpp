#include "tools/YImageWriter.h"

#include <vector>

namespace {

struct Out {
    std::vector<BYTE> bytes;
    void U8(uint32_t v) { bytes.push_back(static_cast<BYTE>(v)); }
    void U16(uint32_t v)
    {
        U8(v & 0xFF);
        U8((v >> 8) & 0xFF);
    }
    void U32(uint32_t v)
    {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
};

bool Save(const std::vector<BYTE>& bytes, const std::string& path)
{
    try {
        CFile file;
        if (!file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary)) return false;
        file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
        file.Close();
        return true;
    } catch (CException* e) {
        e->Delete();
        return false;
    }
}

bool Usable(const YImage& image)
{
    if (!image.m_pixels || image.m_width < 1 || image.m_height < 1) return false;
    uint32_t bytes = image.m_palettised ? 1 : 4;
    return image.m_stride >= static_cast<uint32_t>(image.m_width) * bytes && image.m_width <= 0xFFFF &&
           image.m_height <= 0xFFFF;
}

const BYTE* Pixel(const YImage& image, int x, int y)
{
    return image.m_pixels + static_cast<size_t>(y) * image.m_stride + static_cast<size_t>(x) * 4;
}

}  // namespace

bool YImageWriter::WriteBMP(const YImage& image, const std::string& path, int bits)
{
    if (!Usable(image) || (bits == 8) != (image.m_palettised != 0) || (bits != 8 && bits != 24 && bits != 32))
        return false;
    const uint32_t stride = ((static_cast<uint32_t>(image.m_width) * bits / 8) + 3) & ~3u;
    const uint32_t tableBytes = bits == 8 ? 256 * 4 : 0;
    const uint32_t offset = 14 + 40 + tableBytes;
    Out out;
    out.U8('B');
    out.U8('M');
    out.U32(offset + stride * static_cast<uint32_t>(image.m_height));
    out.U32(0);
    out.U32(offset);
    out.U32(40);
    out.U32(static_cast<uint32_t>(image.m_width));
    out.U32(static_cast<uint32_t>(image.m_height));
    out.U16(1);
    out.U16(static_cast<uint32_t>(bits));
    out.U32(0);
    out.U32(stride * static_cast<uint32_t>(image.m_height));
    out.U32(2835);
    out.U32(2835);
    out.U32(bits == 8 ? 256 : 0);
    out.U32(0);
    if (bits == 8) {
        for (const RGBQUAD& q : image.m_palette) {
            out.U8(q.rgbBlue);
            out.U8(q.rgbGreen);
            out.U8(q.rgbRed);
            out.U8(0);
        }
    }
    for (int y = image.m_height - 1; y >= 0; --y) {
        size_t start = out.bytes.size();
        for (int x = 0; x < image.m_width; ++x) {
            if (bits == 8) {
                out.U8(image.m_pixels[static_cast<size_t>(y) * image.m_stride + static_cast<size_t>(x)]);
                continue;
            }
            const BYTE* p = Pixel(image, x, y);
            for (int k = 0; k < bits / 8; ++k) out.U8(p[k]);
        }
        while (out.bytes.size() - start < stride) out.U8(0);
    }
    return Save(out.bytes, path);
}

bool YImageWriter::WriteTGA(const YImage& image, const std::string& path, int bits, bool runLength)
{
    if (!Usable(image) || image.m_palettised || (bits != 24 && bits != 32)) return false;
    const int bytes = bits / 8;
    Out out;
    out.U8(0);
    out.U8(0);
    out.U8(runLength ? 10 : 2);
    for (int i = 0; i < 5; ++i) out.U8(0);
    out.U16(0);
    out.U16(0);
    out.U16(static_cast<uint32_t>(image.m_width));
    out.U16(static_cast<uint32_t>(image.m_height));
    out.U8(static_cast<uint32_t>(bits));
    // Top-left origin; the alpha bits are counted in the descriptor.
    out.U8(0x20 | (bits == 32 ? 8 : 0));
    auto same = [&](const BYTE* a, const BYTE* b) { return memcmp(a, b, static_cast<size_t>(bytes)) == 0; };
    for (int y = 0; y < image.m_height; ++y) {
        int x = 0;
        while (x < image.m_width) {
            if (!runLength) {
                for (int k = 0; k < bytes; ++k) out.U8(Pixel(image, x, y)[k]);
                ++x;
                continue;
            }
            // Packets stay within a row: a run of equal pixels, or literals up to the next run.
            int run = 1;
            while (x + run < image.m_width && run < 128 && same(Pixel(image, x, y), Pixel(image, x + run, y))) ++run;
            if (run > 1) {
                out.U8(0x80 | static_cast<uint32_t>(run - 1));
                for (int k = 0; k < bytes; ++k) out.U8(Pixel(image, x, y)[k]);
                x += run;
                continue;
            }
            int count = 1;
            while (x + count < image.m_width && count < 128 &&
                   !(x + count + 1 < image.m_width && same(Pixel(image, x + count, y), Pixel(image, x + count + 1, y))))
                ++count;
            out.U8(static_cast<uint32_t>(count - 1));
            for (int i = 0; i < count; ++i)
                for (int k = 0; k < bytes; ++k) out.U8(Pixel(image, x + i, y)[k]);
            x += count;
        }
    }
    return Save(out.bytes, path);
}
