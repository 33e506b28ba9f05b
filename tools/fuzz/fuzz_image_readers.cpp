// libFuzzer target for the image readers: the first byte picks the reader
// and the load flags, the rest is the file.  A picture that loads is also
// flipped, resized and written as a TGA.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "graphics2d/LoadImageFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    const uint8_t choice = data[0];
    std::vector<BYTE> bytes(data + 1, data + size);
    if (bytes.empty()) bytes.push_back(0);
    CMemFile file(bytes.data(), static_cast<UINT>(size - 1));
    const DWORD flags = (choice >> 2) & 6;
    std::unique_ptr<YImage> image;
    switch (choice % 3) {
    case 0: image.reset(LoadBMP(file, flags)); break;
    case 1: image.reset(LoadTGA(file, flags)); break;
    default: image.reset(LoadJPEG(file, flags)); break;
    }
    if (!image) return 0;
    image->FlipVertical();
    if (static_cast<int64_t>(image->m_width) * image->m_height <= 64 * 64) {
        image->m_kind = IMAGE_KIND_BITMAP;
        CMemFile out;
        image->SaveTGA(out);
        image->Resample(image->m_width / 2 + 1, image->m_height + 3, "Catrom", "Sinc", 3, 200);
        image->SaveTGA(out);
    }
    return 0;
}
