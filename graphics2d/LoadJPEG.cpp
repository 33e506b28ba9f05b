// JPEG through libjpeg, decoded from memory.  Errors and warnings of the
// library jump back here and the file is refused.
#include <csetjmp>
#include <cstdio>
#include <new>
#include <vector>

#include <jpeglib.h>

#include "graphics2d/LoadImageFile.h"
#include "graphics2d/YImageFileReader.h"

namespace {

// No JPEG file this large is read.
const uint64_t kMaxJpegFileBytes = 64u * 1024u * 1024u;
// Nor does the decoder take more working memory than this.
const long kMaxJpegMemory = 256L * 1024L * 1024L;

struct JpegErrors {
    jpeg_error_mgr manager;
    jmp_buf escape;
};

[[noreturn]] void EscapeOnError(j_common_ptr info) { longjmp(reinterpret_cast<JpegErrors*>(info->err)->escape, 1); }

// A warning means damaged data: the picture is not taken.
void EscapeOnWarning(j_common_ptr info, int level)
{
    if (level < 0) longjmp(reinterpret_cast<JpegErrors*>(info->err)->escape, 1);
}

void Silent(j_common_ptr) {}

// One decoded scan line into the record's row.
void StoreRow(const JSAMPLE* in, int components, uint32_t width, uint32_t bytes, BYTE* out)
{
    for (uint32_t x = 0; x < width; ++x, in += components, out += bytes) {
        if (components == 1) {
            out[0] = out[1] = out[2] = out[3] = in[0];
        } else if (components == 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            if (bytes == 4) out[3] = 255;
        } else {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            out[3] = in[3];
        }
    }
}

// Nothing here may need a destructor: the library leaves by longjmp.
YImage* Decode(const BYTE* data, unsigned long size, DWORD flags)
{
    jpeg_decompress_struct info;
    JpegErrors errors;
    YImage* volatile image = nullptr;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = EscapeOnError;
    errors.manager.emit_message = EscapeOnWarning;
    errors.manager.output_message = Silent;
    if (setjmp(errors.escape)) {
        jpeg_destroy_decompress(&info);
        delete image;
        return nullptr;
    }
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = kMaxJpegMemory;
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);
    if (!YImage::IsSaneSize(info.image_width, info.image_height)) {
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    jpeg_start_decompress(&info);
    const int components = info.output_components;
    const uint32_t width = info.output_width;
    if ((components != 1 && components != 3 && components != 4) ||
        !YImage::IsSaneSize(info.output_width, info.output_height)) {
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    image = new (std::nothrow) YImage;
    if (!image) {
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    image->m_width = static_cast<int32_t>(width);
    image->m_height = static_cast<int32_t>(info.output_height);
    image->m_kind = IMAGE_KIND_JPEG;
    const uint32_t bytes = (components == 3 && (flags & IMAGE_LOAD_24BIT)) ? 3 : 4;
    if (bytes == 3) image->SetPixelFormat(24);
    JSAMPARRAY line = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                                width * static_cast<JDIMENSION>(components), 1);
    const uint32_t stride = (width * bytes + 3) & ~3u;
    if (!image->AllocatePixels(stride)) {
        jpeg_destroy_decompress(&info);
        delete image;
        return nullptr;
    }
    while (info.output_scanline < info.output_height) {
        JDIMENSION row = info.output_scanline;
        if (jpeg_read_scanlines(&info, line, 1) != 1) break;
        StoreRow(line[0], components, width, bytes, image->m_pixels + static_cast<size_t>(row) * stride);
    }
    bool complete = info.output_scanline == info.output_height;
    if (complete) jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    if (!complete) {
        delete image;
        return nullptr;
    }
    YImage* done = image;
    if (flags & IMAGE_LOAD_BOTTOMUP) done->FlipVertical();
    return done;
}

}  // namespace

YImage* LoadJPEG(CFile& file, DWORD flags)
{
    try {
        YImageFileReader reader(file);
        uint64_t size = reader.Remaining();
        if (size == 0 || size > kMaxJpegFileBytes) return nullptr;
        std::vector<BYTE> data;
        if (!reader.Read(data, size)) return nullptr;
        return Decode(data.data(), static_cast<unsigned long>(data.size()), flags);
    } catch (CException* e) {
        e->Delete();
    } catch (const std::bad_alloc&) {
    }
    return nullptr;
}
