// libFuzzer target for the "YTEX" stream: the bytes are read as a texture
// file, once whole and once headers first with the formats fetched after.
// A texture that loads is also written back, resized and given MIP levels.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "assets3d/YTexture2.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<BYTE> bytes(data, data + size);
    bytes.push_back(0);
    for (int whole = 0; whole < 2; ++whole) {
        CMemFile file(bytes.data(), static_cast<UINT>(size));
        YTexture2 texture;
        texture.SetErrorMode(1);
        texture.m_iFlags = 0;  // no external pictures from the disk
        if (!texture.Load(&file, whole)) continue;
        for (int16_t f = 0; !whole && f < texture.GetNumFormats(); ++f) texture.LoadFormatData(f, &file);
        texture.HitTestRegions(0.5f, 0.5f);
        CMemFile out;
        texture.Save(&out);
        if (texture.m_iWidth > 0 && texture.m_iHeight > 0 && static_cast<int>(texture.m_iWidth) * texture.m_iHeight <= 256 * 256) {
            for (int16_t f = 0; f < texture.GetNumFormats(); ++f) {
                YTextureFormat* format = texture.GetFormat(f);
                if (static_cast<int>(format->m_iWidth) * format->m_iHeight > 256 * 256) continue;
                format->GenerateRGBMIPs("Catrom", "Box");
                format->GenerateAlphaMIPs("Point", "Sinc");
                format->AlphaFromColorKey();
            }
            texture.Resize(static_cast<int16_t>(texture.m_iWidth / 2 + 4), 8);
        }
    }
    return 0;
}
