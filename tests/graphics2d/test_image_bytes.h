// Hand-built image files for the image tests: BMP and TGA byte images,
// JPEGs compressed with libjpeg, and a scratch folder for files on disk.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "ScratchFolder.h"
#include "graphics2d/YImage.h"

typedef std::vector<uint8_t> Bytes;

struct ByteWriter {
    Bytes bytes;
    ByteWriter& U8(uint32_t v)
    {
        bytes.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    ByteWriter& U16(uint32_t v) { return U8(v & 0xFF).U8((v >> 8) & 0xFF); }
    ByteWriter& U32(uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
    ByteWriter& Raw(const Bytes& b)
    {
        bytes.insert(bytes.end(), b.begin(), b.end());
        return *this;
    }
};

// A BMP: rows given top-down without padding; they are padded and written
// bottom-up (or top-down with a negative height when topDown).
inline Bytes MakeBMP(int bitCount, int width, int height, const std::vector<Bytes>& topDownRows,
                     const std::vector<uint32_t>& palette = {}, uint32_t coloursUsed = 0, bool topDown = false)
{
    size_t stride = ((static_cast<size_t>(width) * bitCount / 8) + 3) & ~static_cast<size_t>(3);
    uint32_t offset = 14 + 40 + static_cast<uint32_t>(palette.size()) * 4;
    ByteWriter w;
    w.U8('B').U8('M').U32(offset + static_cast<uint32_t>(stride * topDownRows.size())).U32(0).U32(offset);
    w.U32(40).U32(static_cast<uint32_t>(width)).U32(static_cast<uint32_t>(topDown ? -height : height));
    w.U16(1).U16(static_cast<uint32_t>(bitCount)).U32(0).U32(0).U32(2835).U32(2835).U32(coloursUsed).U32(0);
    for (uint32_t c : palette) w.U32(c);
    for (size_t i = 0; i < topDownRows.size(); ++i) {
        const Bytes& row = topDownRows[topDown ? i : topDownRows.size() - 1 - i];
        Bytes padded(row);
        padded.resize(stride, 0);
        w.Raw(padded);
    }
    return w.bytes;
}

// A TGA header followed by the given data.
inline Bytes MakeTGA(int type, int depth, int width, int height, int descriptor, const Bytes& data, int idLength = 0,
                     int mapType = 0, int mapLength = 0, int mapEntryBits = 0)
{
    ByteWriter w;
    w.U8(static_cast<uint32_t>(idLength)).U8(static_cast<uint32_t>(mapType)).U8(static_cast<uint32_t>(type));
    w.U16(0).U16(static_cast<uint32_t>(mapLength)).U8(static_cast<uint32_t>(mapEntryBits));
    w.U16(0).U16(0).U16(static_cast<uint32_t>(width)).U16(static_cast<uint32_t>(height));
    w.U8(static_cast<uint32_t>(depth)).U8(static_cast<uint32_t>(descriptor));
    for (int i = 0; i < idLength; ++i) w.U8(0x49);
    for (int i = 0; i < mapLength * (mapEntryBits / 8); ++i) w.U8(0xEE);
    return w.Raw(data).bytes;
}

// A JPEG of the given samples (1 or 3 components a pixel, top-down).
inline Bytes MakeJPEG(int width, int height, int components, const Bytes& samples, int quality = 100)
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&samples[static_cast<size_t>(info.next_scanline) * width * components]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes result(out, out + size);
    free(out);
    return result;
}

// A CMemFile over a copy of the bytes.
class MemoryImage {
public:
    explicit MemoryImage(const Bytes& bytes) : m_copy(bytes.empty() ? Bytes(1, 0) : bytes), m_file(m_copy.data(), static_cast<UINT>(bytes.size())) {}
    CFile& File() { return m_file; }

private:
    Bytes m_copy;
    CMemFile m_file;
};

// A scratch folder whose Write gives back the new file's path.
class ImageTempFolder : public ScratchFolder {
public:
    std::string Write(const std::string& name, const Bytes& data) const
    {
        ScratchFolder::Write(name, data);
        return *this / name;
    }
    static Bytes ReadFile(const std::string& path)
    {
        Bytes data;
        FILE* file = fopen(path.c_str(), "rb");
        if (!file) return data;
        int c;
        while ((c = fgetc(file)) != EOF) data.push_back(static_cast<uint8_t>(c));
        fclose(file);
        return data;
    }
};

// Row y of a record as bytes, without the padding.
inline Bytes RecordRow(const YImage& image, int y, int bytesPerPixel)
{
    const uint8_t* at = image.m_pixels + static_cast<size_t>(y) * image.m_stride;
    return Bytes(at, at + static_cast<size_t>(image.m_width) * bytesPerPixel);
}
