// libFuzzer target for wave files: the bytes are a "WAVE" resource of the
// program, read by the wave resource with and without its samples (compressed
// ones converted to PCM), and as PlaySound reads a file.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/WaveImage.h"
#include "sound/YWave.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    platform::RegisterNamedResource("WAVE", 1, data, size);
    HMODULE module = GetModuleHandleA(nullptr);
    {
        YWave wave(1, module, 0);
        if (wave.GetFormat()) wave.LoadFromResource(1, module, 1);
        if (wave.GetData()) {
            std::vector<BYTE> out(wave.GetDataLength() / 2 + 1);
            wave.FillBuffer(out.data(), DWORD(out.size()));
        }
    }
    std::vector<char> bytes(data, data + size);
    if (bytes.empty()) return 0;
    MMIOINFO info = {};
    info.fccIOProc = FOURCC_MEM;
    info.pchBuffer = bytes.data();
    info.cchBuffer = LONG(bytes.size());
    HMMIO stream = mmioOpenA(nullptr, &info, MMIO_READ);
    if (stream) {
        platform::WaveImage image;
        image.Read(stream);
        mmioClose(stream, 0);
    }
    return 0;
}
