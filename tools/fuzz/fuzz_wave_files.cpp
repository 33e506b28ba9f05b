// libFuzzer target for wave files: the bytes are a "WAVE" resource of the
// program, read by the wave resource with and without its samples (compressed
// ones converted to PCM), and as PlaySound reads a file.  A wave that reads
// is also played through a DirectSound buffer of its format and length on the
// headless mixer, from a play cursor the last input byte picks, once and
// looping.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/WaveImage.h"
#include "platform/dsound.h"
#include "sound/YWave.h"

namespace {
LPDIRECTSOUND Sound()
{
    static LPDIRECTSOUND sound = [] {
        LPDIRECTSOUND made = nullptr;
        if (FAILED(DirectSoundCreate(nullptr, &made, nullptr))) return LPDIRECTSOUND(nullptr);
        made->SetCooperativeLevel(nullptr, DSSCL_NORMAL);
        return made;
    }();
    return sound;
}

void Play(YWave& wave, uint8_t pick)
{
    LPDIRECTSOUND sound = Sound();
    if (!sound || !wave.GetFormat() || !wave.GetData()) return;
    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY | DSBCAPS_STATIC;
    desc.dwBufferBytes = wave.GetDataLength();
    desc.lpwfxFormat = wave.GetFormat();
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    if (FAILED(sound->CreateSoundBuffer(&desc, &buffer, nullptr)) || !buffer) return;
    void* part = nullptr;
    DWORD bytes = 0;
    if (SUCCEEDED(buffer->Lock(0, 0, &part, &bytes, nullptr, nullptr, DSBLOCK_ENTIREBUFFER))) {
        wave.FillBuffer(part, bytes);
        buffer->Unlock(part, bytes, nullptr, 0);
    }
    // Positions near the end, where a partial frame may lie, and anywhere.
    const DWORD length = wave.GetDataLength();
    const DWORD position = pick < 8 ? (length > pick ? length - 1 - pick : 0) : DWORD(uint64_t(length) * pick / 256);
    for (DWORD flags : {DWORD(0), DWORD(DSBPLAY_LOOPING)}) {
        buffer->SetCurrentPosition(position);
        buffer->Play(0, 0, flags);
        platform::Clock::Advance(15);
        DWORD play = 0, write = 0;
        buffer->GetCurrentPosition(&play, &write);
        buffer->Stop();
    }
    buffer->Release();
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("RCV_BACKEND", "headless", 1);
    platform::Clock::SetManual(true);
    return 0;
}

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
        if (wave.GetFormat() && size > 0 && wave.LoadFromResource(1, module, 1)) Play(wave, data[size - 1]);
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
