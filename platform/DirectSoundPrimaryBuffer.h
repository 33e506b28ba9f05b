// The primary buffer of a DirectSound object: the output's format, master
// volume and pan; made with DSBCAPS_CTRL3D it also answers for the device's
// one IDirectSound3DListener.
#pragma once

#include "platform/dsound.h"

namespace platform {
class DirectSoundObject;

class DirectSoundPrimaryBuffer : public IDirectSoundBuffer, public IDirectSound3DListener {
public:
    // Holds a reference to its DirectSound object while it lives.
    DirectSoundPrimaryBuffer(DirectSoundObject* owner, DWORD flags);
    ~DirectSoundPrimaryBuffer() override;

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override { return ++m_refs; }
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

    HRESULT GetAllParameters(LPDS3DLISTENER parameters) override;
    HRESULT GetDistanceFactor(D3DVALUE* factor) override;
    HRESULT GetDopplerFactor(D3DVALUE* factor) override;
    HRESULT GetOrientation(LPD3DVECTOR front, LPD3DVECTOR top) override;
    HRESULT GetPosition(LPD3DVECTOR position) override;
    HRESULT GetRolloffFactor(D3DVALUE* factor) override;
    HRESULT GetVelocity(LPD3DVECTOR velocity) override;
    HRESULT SetAllParameters(LPCDS3DLISTENER parameters, DWORD apply) override;
    HRESULT SetDistanceFactor(D3DVALUE factor, DWORD apply) override;
    HRESULT SetDopplerFactor(D3DVALUE factor, DWORD apply) override;
    HRESULT SetOrientation(D3DVALUE frontX, D3DVALUE frontY, D3DVALUE frontZ, D3DVALUE topX, D3DVALUE topY,
                           D3DVALUE topZ, DWORD apply) override;
    HRESULT SetPosition(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) override;
    HRESULT SetRolloffFactor(D3DVALUE factor, DWORD apply) override;
    HRESULT SetVelocity(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) override;
    HRESULT CommitDeferredSettings() override;

private:
    // Applies a change to the listener as set, and as heard when immediate.
    template <class Change>
    HRESULT ChangeListener(DWORD apply, Change change);

    DirectSoundObject* m_owner;
    DWORD m_flags;
    ULONG m_refs = 1;
    bool m_playing = false;
};
}  // namespace platform
