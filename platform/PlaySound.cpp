// PlaySound: one sound at a time through its own DirectSound object.
#include "platform/WaveImage.h"
#include "platform/dsound.h"
#include "platform/mmsystem.h"

namespace {
struct SystemSound {
    LPDIRECTSOUND sound = nullptr;
    LPDIRECTSOUNDBUFFER buffer = nullptr;

    // Stops the sound and lets the device go.
    void Stop()
    {
        if (buffer) buffer->Release();
        buffer = nullptr;
        if (sound) sound->Release();
        sound = nullptr;
    }
    bool Playing()
    {
        DWORD status = 0;
        return buffer && SUCCEEDED(buffer->GetStatus(&status)) && (status & DSBSTATUS_PLAYING);
    }
};

SystemSound& System()
{
    static SystemSound* system = new SystemSound;
    return *system;
}
}  // namespace

BOOL PlaySoundA(LPCSTR name, HMODULE, DWORD flags)
{
    SystemSound& system = System();
    if (!name || (flags & SND_PURGE)) {
        system.Stop();
        return TRUE;
    }
    if ((flags & SND_NOSTOP) && system.Playing()) return FALSE;
    if ((flags & SND_LOOP) && !(flags & SND_ASYNC)) return FALSE;
    if (flags & (SND_MEMORY | SND_ALIAS | (SND_RESOURCE & ~SND_MEMORY))) return FALSE;  // file names only
    system.Stop();

    platform::WaveImage wave;
    HMMIO stream = mmioOpenA(const_cast<LPSTR>(name), nullptr, MMIO_READ);
    if (!stream) return FALSE;
    const bool read = wave.Read(stream);
    mmioClose(stream, 0);
    if (!read) return FALSE;

    if (FAILED(DirectSoundCreate(nullptr, &system.sound, nullptr))) {
        system.sound = nullptr;
        return FALSE;
    }
    system.sound->SetCooperativeLevel(nullptr, DSSCL_NORMAL);
    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_STATIC;
    desc.dwBufferBytes = DWORD(wave.samples.size());
    desc.lpwfxFormat = &wave.format;
    if (FAILED(system.sound->CreateSoundBuffer(&desc, &system.buffer, nullptr))) {
        system.buffer = nullptr;
        return FALSE;
    }
    void* data = nullptr;
    DWORD bytes = 0;
    if (SUCCEEDED(system.buffer->Lock(0, 0, &data, &bytes, nullptr, nullptr, DSBLOCK_ENTIREBUFFER))) {
        memcpy(data, wave.samples.data(), bytes);
        system.buffer->Unlock(data, bytes, nullptr, 0);
    }
    system.buffer->Play(0, 0, (flags & SND_LOOP) ? DSBPLAY_LOOPING : 0);
    if (!(flags & SND_ASYNC))
        while (system.Playing()) Sleep(10);
    return TRUE;
}

DWORD timeGetTime() { return GetTickCount(); }
