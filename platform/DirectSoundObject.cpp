#include "platform/DirectSoundObject.h"

#include <string>

#include "platform/DirectSoundBuffer.h"
#include "platform/DirectSoundPrimaryBuffer.h"
#include "platform/SoundMixer.h"
#include "platform/backend/Environment.h"

const GUID CLSID_DirectSound = {0x52564453, 0x0001, 0x4f44, {0x53, 0x4f, 0x55, 0x4e, 0x44, 0x00, 0x00, 0x01}};
const GUID IID_IDirectSound = {0x52564453, 0x0002, 0x4f44, {0x53, 0x4f, 0x55, 0x4e, 0x44, 0x00, 0x00, 0x02}};
const GUID IID_IDirectSoundBuffer = {0x52564453, 0x0003, 0x4f44, {0x53, 0x4f, 0x55, 0x4e, 0x44, 0x00, 0x00, 0x03}};
const GUID IID_IDirectSound3DBuffer = {0x52564453, 0x0004, 0x4f44, {0x53, 0x4f, 0x55, 0x4e, 0x44, 0x00, 0x00, 0x04}};
const GUID IID_IDirectSound3DListener = {0x52564453, 0x0005, 0x4f44, {0x53, 0x4f, 0x55, 0x4e, 0x44, 0x00, 0x00, 0x05}};

namespace platform {
extern int g_liveSoundObjects;

namespace {
// The GUID of the backend's output in the driver list.
GUID g_outputDriver = {0x52564453, 0x0010, 0x4f44, {0x4f, 0x55, 0x54, 0x50, 0x55, 0x54, 0x00, 0x01}};
}  // namespace

DirectSoundObject::DirectSoundObject() { ++g_liveSoundObjects; }

DirectSoundObject::~DirectSoundObject()
{
    if (m_initialized) SoundMixer::Get().ReleaseDevice();
    --g_liveSoundObjects;
}

HRESULT DirectSoundObject::CreateInstance(REFIID iid, void** object, LPUNKNOWN outer)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return DSERR_NOAGGREGATION;
    DirectSoundObject* sound = new DirectSoundObject;
    HRESULT result = sound->QueryInterface(iid, object);
    sound->Release();
    return result;
}

HRESULT DirectSoundObject::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualGUID(iid, IID_IUnknown) && !IsEqualGUID(iid, IID_IDirectSound)) return E_NOINTERFACE;
    *object = static_cast<IDirectSound*>(this);
    AddRef();
    return S_OK;
}

ULONG DirectSoundObject::Release()
{
    const ULONG left = --m_refs;
    if (left == 0) delete this;
    return left;
}

HRESULT DirectSoundObject::Initialize(LPCGUID guid)
{
    if (m_initialized) return DSERR_ALREADYINITIALIZED;
    if (guid && !IsEqualGUID(*guid, GUID_NULL) && !IsEqualGUID(*guid, g_outputDriver)) return DSERR_NODRIVER;
    if (Environment::Forced("nodsound") || !SoundMixer::Get().AcquireDevice()) return DSERR_NODRIVER;
    m_initialized = true;
    return DS_OK;
}

HRESULT DirectSoundObject::CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN outer)
{
    if (!buffer) return DSERR_INVALIDPARAM;
    *buffer = nullptr;
    if (!m_initialized) return DSERR_UNINITIALIZED;
    if (outer) return DSERR_NOAGGREGATION;
    if (!desc || desc->dwSize < offsetof(DSBUFFERDESC, guid3DAlgorithm)) return DSERR_INVALIDPARAM;
    if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) {
        if (desc->dwBufferBytes != 0 || desc->lpwfxFormat) return DSERR_INVALIDPARAM;
        if (m_primary) {
            m_primary->AddRef();
        } else {
            m_primary = new DirectSoundPrimaryBuffer(this, desc->dwFlags);
        }
        *buffer = m_primary;
        return DS_OK;
    }
    HRESULT result;
    *buffer = DirectSoundBuffer::Create(desc, result);
    return result;
}

HRESULT DirectSoundObject::GetCaps(LPDSCAPS caps)
{
    if (!caps || caps->dwSize < sizeof(DSCAPS)) return DSERR_INVALIDPARAM;
    if (!m_initialized) return DSERR_UNINITIALIZED;
    const DWORD size = caps->dwSize;
    memset(caps, 0, sizeof(DSCAPS));
    caps->dwSize = size;
    caps->dwFlags = DSCAPS_PRIMARYMONO | DSCAPS_PRIMARYSTEREO | DSCAPS_PRIMARY8BIT | DSCAPS_PRIMARY16BIT |
                    DSCAPS_CONTINUOUSRATE | DSCAPS_SECONDARYMONO | DSCAPS_SECONDARYSTEREO | DSCAPS_SECONDARY8BIT |
                    DSCAPS_SECONDARY16BIT;
    caps->dwMinSecondarySampleRate = DSBFREQUENCY_MIN;
    caps->dwMaxSecondarySampleRate = DSBFREQUENCY_MAX;
    caps->dwPrimaryBuffers = 1;
    const DWORD all = SoundMixer::kHardwareVoices;
    SoundMixer::Guard guard;
    const DWORD free = all - SoundMixer::Get().HardwareVoicesInUse();
    caps->dwMaxHwMixingAllBuffers = caps->dwMaxHwMixingStaticBuffers = caps->dwMaxHwMixingStreamingBuffers = all;
    caps->dwFreeHwMixingAllBuffers = caps->dwFreeHwMixingStaticBuffers = caps->dwFreeHwMixingStreamingBuffers = free;
    caps->dwMaxHw3DAllBuffers = caps->dwMaxHw3DStaticBuffers = caps->dwMaxHw3DStreamingBuffers = all;
    caps->dwFreeHw3DAllBuffers = caps->dwFreeHw3DStaticBuffers = caps->dwFreeHw3DStreamingBuffers = free;
    return DS_OK;
}

HRESULT DirectSoundObject::DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original, LPDIRECTSOUNDBUFFER* duplicate)
{
    if (!duplicate) return DSERR_INVALIDPARAM;
    *duplicate = nullptr;
    if (!m_initialized) return DSERR_UNINITIALIZED;
    if (!original) return DSERR_INVALIDPARAM;
    // Only secondary buffers can be duplicated.
    DirectSoundBuffer* source = dynamic_cast<DirectSoundBuffer*>(original);
    if (!source) return DSERR_INVALIDCALL;
    SoundMixer::Guard guard;
    *duplicate = source->Duplicate();
    return DS_OK;
}

HRESULT DirectSoundObject::SetCooperativeLevel(HWND, DWORD level)
{
    if (!m_initialized) return DSERR_UNINITIALIZED;
    if (level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY) return DSERR_INVALIDPARAM;
    m_level = level;
    return DS_OK;
}

HRESULT DirectSoundObject::Compact() { return m_initialized ? DS_OK : DSERR_UNINITIALIZED; }

HRESULT DirectSoundObject::GetSpeakerConfig(LPDWORD config)
{
    if (!config) return DSERR_INVALIDPARAM;
    if (!m_initialized) return DSERR_UNINITIALIZED;
    *config = m_speakers;
    return DS_OK;
}

HRESULT DirectSoundObject::SetSpeakerConfig(DWORD config)
{
    if (!m_initialized) return DSERR_UNINITIALIZED;
    m_speakers = config;
    return DS_OK;
}

}  // namespace platform

HRESULT DirectSoundCreate(LPCGUID guid, LPDIRECTSOUND* sound, LPUNKNOWN outer)
{
    if (!sound) return DSERR_INVALIDPARAM;
    *sound = nullptr;
    if (outer) return DSERR_NOAGGREGATION;
    platform::DirectSoundObject* made = new platform::DirectSoundObject;
    const HRESULT result = made->Initialize(guid);
    if (FAILED(result)) {
        made->Release();
        return result;
    }
    *sound = made;
    return DS_OK;
}

HRESULT DirectSoundEnumerateA(LPDSENUMCALLBACKA callback, LPVOID context)
{
    if (!callback) return DSERR_INVALIDPARAM;
    if (!callback(nullptr, "Primary Sound Driver", "", context)) return DS_OK;
    // The backend's output; the module is the backend's name.
    platform::Backend& backend = platform::Backend::Get();
    const std::string driver = backend.AudioDriverName();
    const std::string description = driver.empty() ? "RC Volaro mixer" : "RC Volaro mixer (" + driver + ")";
    GUID guid = platform::g_outputDriver;
    callback(&guid, description.c_str(), backend.Name(), context);
    return DS_OK;
}
