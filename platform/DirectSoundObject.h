// A DirectSound object over the one sound device. DirectSoundCreate makes
// it ready; one made through COM waits for Initialize.
#pragma once

#include "platform/dsound.h"

namespace platform {
class DirectSoundPrimaryBuffer;

class DirectSoundObject : public IDirectSound {
public:
    DirectSoundObject();
    ~DirectSoundObject() override;

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override;

    HRESULT CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN outer) override;
    HRESULT GetCaps(LPDSCAPS caps) override;
    HRESULT DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original, LPDIRECTSOUNDBUFFER* duplicate) override;
    HRESULT SetCooperativeLevel(HWND window, DWORD level) override;
    HRESULT Compact() override;
    HRESULT GetSpeakerConfig(LPDWORD config) override;
    HRESULT SetSpeakerConfig(DWORD config) override;
    HRESULT Initialize(LPCGUID guid) override;

    DWORD CooperativeLevel() const { return m_level; }
    // The primary buffer forgets itself here when it goes.
    void PrimaryGone() { m_primary = nullptr; }

    // COM's way in (CLSID_DirectSound): an object not yet initialised.
    static HRESULT CreateInstance(REFIID iid, void** object, LPUNKNOWN outer);

private:
    ULONG m_refs = 1;
    bool m_initialized = false;
    DWORD m_level = 0;
    DWORD m_speakers = 0;
    DirectSoundPrimaryBuffer* m_primary = nullptr;  // not held
};
}  // namespace platform
