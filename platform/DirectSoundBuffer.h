// A secondary DirectSound buffer: samples in memory (shared with its
// duplicates), its own play cursor, volume, pan and frequency, and with
// DSBCAPS_CTRL3D its 3D parameters (the same object answers for
// IDirectSound3DBuffer).
#pragma once

#include <memory>
#include <vector>

#include "platform/dsound.h"

namespace platform {
class DirectSoundBuffer : public IDirectSoundBuffer, public IDirectSound3DBuffer {
public:
    // Checks the description; a null result with the failure in result.
    static DirectSoundBuffer* Create(LPCDSBUFFERDESC desc, HRESULT& result);
    // A buffer over the same samples, stopped at 0, with the original's settings.
    DirectSoundBuffer* Duplicate() const;
    ~DirectSoundBuffer() override;

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT GetCaps(LPDSBCAPS caps) override;
    HRESULT GetCurrentPosition(LPDWORD play, LPDWORD write) override;
    HRESULT GetFormat(LPWAVEFORMATEX format, DWORD size, LPDWORD written) override;
    HRESULT GetVolume(LPLONG volume) override;
    HRESULT GetPan(LPLONG pan) override;
    HRESULT GetFrequency(LPDWORD frequency) override;
    HRESULT GetStatus(LPDWORD status) override;
    HRESULT Initialize(LPDIRECTSOUND sound, LPCDSBUFFERDESC desc) override;
    HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* part1, LPDWORD bytes1, LPVOID* part2, LPDWORD bytes2,
                 DWORD flags) override;
    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override;
    HRESULT SetCurrentPosition(DWORD position) override;
    HRESULT SetFormat(LPCWAVEFORMATEX format) override;
    HRESULT SetVolume(LONG volume) override;
    HRESULT SetPan(LONG pan) override;
    HRESULT SetFrequency(DWORD frequency) override;
    HRESULT Stop() override;
    HRESULT Unlock(LPVOID part1, DWORD bytes1, LPVOID part2, DWORD bytes2) override;
    HRESULT Restore() override;

    HRESULT GetAllParameters(LPDS3DBUFFER parameters) override;
    HRESULT GetConeAngles(LPDWORD inside, LPDWORD outside) override;
    HRESULT GetConeOrientation(LPD3DVECTOR orientation) override;
    HRESULT GetConeOutsideVolume(LPLONG volume) override;
    HRESULT GetMaxDistance(D3DVALUE* distance) override;
    HRESULT GetMinDistance(D3DVALUE* distance) override;
    HRESULT GetMode(LPDWORD mode) override;
    HRESULT GetPosition(LPD3DVECTOR position) override;
    HRESULT GetVelocity(LPD3DVECTOR velocity) override;
    HRESULT SetAllParameters(LPCDS3DBUFFER parameters, DWORD apply) override;
    HRESULT SetConeAngles(DWORD inside, DWORD outside, DWORD apply) override;
    HRESULT SetConeOrientation(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) override;
    HRESULT SetConeOutsideVolume(LONG volume, DWORD apply) override;
    HRESULT SetMaxDistance(D3DVALUE distance, DWORD apply) override;
    HRESULT SetMinDistance(D3DVALUE distance, DWORD apply) override;
    HRESULT SetMode(DWORD mode, DWORD apply) override;
    HRESULT SetPosition(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) override;
    HRESULT SetVelocity(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) override;

    // GetFormat's answer for a format: the size wanted (no format given), or
    // as much of it as size allows.
    static HRESULT CopyFormat(const WAVEFORMATEX& source, LPWAVEFORMATEX format, DWORD size, LPDWORD written);

    // The mixer's side (called with the device locked).
    DWORD Flags() const { return m_flags; }
    void MixInto(float* mix, int count, DWORD outputRate, const DS3DLISTENER& listener);
    void Commit3D() { m_3d = m_pending3d; }
    void Lose();

private:
    DirectSoundBuffer() = default;
    DWORD Frames() const { return m_bytes / m_format.nBlockAlign; }
    // Applies a change to the settings as set, and as heard when immediate.
    template <class Change>
    HRESULT Change3D(DWORD apply, Change change);

    ULONG m_refs = 1;
    DWORD m_flags = 0;
    WAVEFORMATEX m_format = {};
    DWORD m_bytes = 0;
    std::shared_ptr<std::vector<BYTE>> m_samples;
    uint64_t m_cursor = 0;  // frames, 32.32 fixed point
    bool m_playing = false;
    bool m_looping = false;
    bool m_lost = false;
    LONG m_volume = 0;
    LONG m_pan = 0;
    DWORD m_frequency = 0;  // 0: the format's rate
    DS3DBUFFER m_3d = {};
    DS3DBUFFER m_pending3d = {};
};
}  // namespace platform
