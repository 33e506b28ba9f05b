#include "platform/DirectSoundPrimaryBuffer.h"

#include <cmath>

#include "platform/DirectSoundBuffer.h"
#include "platform/DirectSoundObject.h"
#include "platform/PcmFormat.h"
#include "platform/SoundMixer.h"

namespace platform {
extern int g_liveSoundObjects;

DirectSoundPrimaryBuffer::DirectSoundPrimaryBuffer(DirectSoundObject* owner, DWORD flags)
    : m_owner(owner), m_flags(flags)
{
    m_owner->AddRef();
    ++g_liveSoundObjects;
}

DirectSoundPrimaryBuffer::~DirectSoundPrimaryBuffer()
{
    m_owner->PrimaryGone();
    m_owner->Release();
    --g_liveSoundObjects;
}

HRESULT DirectSoundPrimaryBuffer::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDirectSoundBuffer)) {
        *object = static_cast<IDirectSoundBuffer*>(this);
    } else if (IsEqualGUID(iid, IID_IDirectSound3DListener) && (m_flags & DSBCAPS_CTRL3D)) {
        *object = static_cast<IDirectSound3DListener*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG DirectSoundPrimaryBuffer::Release()
{
    const ULONG left = --m_refs;
    if (left == 0) delete this;
    return left;
}

HRESULT DirectSoundPrimaryBuffer::GetCaps(LPDSBCAPS caps)
{
    if (!caps || caps->dwSize < sizeof(DSBCAPS)) return DSERR_INVALIDPARAM;
    caps->dwFlags = m_flags | DSBCAPS_LOCSOFTWARE;
    caps->dwBufferBytes = SoundMixer::Get().PrimaryFormat().nAvgBytesPerSec / 10;
    caps->dwUnlockTransferRate = 0;
    caps->dwPlayCpuOverhead = 0;
    return DS_OK;
}

HRESULT DirectSoundPrimaryBuffer::GetCurrentPosition(LPDWORD play, LPDWORD write)
{
    if (play) *play = 0;
    if (write) *write = 0;
    return DS_OK;
}

HRESULT DirectSoundPrimaryBuffer::GetFormat(LPWAVEFORMATEX format, DWORD size, LPDWORD written)
{
    SoundMixer::Guard guard;
    return DirectSoundBuffer::CopyFormat(SoundMixer::Get().PrimaryFormat(), format, size, written);
}

HRESULT DirectSoundPrimaryBuffer::GetVolume(LPLONG volume)
{
    if (!volume) return DSERR_INVALIDPARAM;
    *volume = SoundMixer::Get().m_masterVolume;
    return DS_OK;
}

HRESULT DirectSoundPrimaryBuffer::GetPan(LPLONG pan)
{
    if (!pan) return DSERR_INVALIDPARAM;
    *pan = SoundMixer::Get().m_masterPan;
    return DS_OK;
}

HRESULT DirectSoundPrimaryBuffer::GetFrequency(LPDWORD) { return DSERR_CONTROLUNAVAIL; }

HRESULT DirectSoundPrimaryBuffer::GetStatus(LPDWORD status)
{
    if (!status) return DSERR_INVALIDPARAM;
    *status = m_playing ? DSBSTATUS_PLAYING | DSBSTATUS_LOOPING : 0;
    return DS_OK;
}

HRESULT DirectSoundPrimaryBuffer::Initialize(LPDIRECTSOUND, LPCDSBUFFERDESC) { return DSERR_ALREADYINITIALIZED; }

HRESULT DirectSoundPrimaryBuffer::Lock(DWORD, DWORD, LPVOID*, LPDWORD, LPVOID*, LPDWORD, DWORD)
{
    return DSERR_PRIOLEVELNEEDED;  // only DSSCL_WRITEPRIMARY writes the mix by hand; not offered
}

HRESULT DirectSoundPrimaryBuffer::Play(DWORD, DWORD, DWORD flags)
{
    if (!(flags & DSBPLAY_LOOPING)) return DSERR_INVALIDPARAM;
    m_playing = true;
    return DS_OK;
}

HRESULT DirectSoundPrimaryBuffer::SetCurrentPosition(DWORD) { return DSERR_INVALIDCALL; }

HRESULT DirectSoundPrimaryBuffer::SetFormat(LPCWAVEFORMATEX format)
{
    if (!format) return DSERR_INVALIDPARAM;
    if (m_owner->CooperativeLevel() < DSSCL_PRIORITY) return DSERR_PRIOLEVELNEEDED;
    SoundMixer::Guard guard;
    return SoundMixer::Get().SetPrimaryFormat(*format) ? DS_OK : DSERR_BADFORMAT;
}

HRESULT DirectSoundPrimaryBuffer::SetVolume(LONG volume)
{
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
    SoundMixer::Guard guard;
    SoundMixer::Get().m_masterVolume = volume;
    return DS_OK;
}

HRESULT DirectSoundPrimaryBuffer::SetPan(LONG pan)
{
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
    SoundMixer::Guard guard;
    SoundMixer::Get().m_masterPan = pan;
    return DS_OK;
}

HRESULT DirectSoundPrimaryBuffer::SetFrequency(DWORD) { return DSERR_CONTROLUNAVAIL; }

HRESULT DirectSoundPrimaryBuffer::Stop()
{
    m_playing = false;
    return DS_OK;
}

HRESULT DirectSoundPrimaryBuffer::Unlock(LPVOID, DWORD, LPVOID, DWORD) { return DSERR_INVALIDCALL; }

HRESULT DirectSoundPrimaryBuffer::Restore() { return DS_OK; }

// ---------------------------------------------------------------- listener
namespace {
bool ValidListener(const DS3DLISTENER& l)
{
    auto finite = [](const D3DVECTOR& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); };
    return finite(l.vPosition) && finite(l.vVelocity) && finite(l.vOrientFront) && finite(l.vOrientTop) &&
           l.flDistanceFactor > DS3D_MINDISTANCEFACTOR && l.flDistanceFactor <= DS3D_MAXDISTANCEFACTOR &&
           l.flRolloffFactor >= DS3D_MINROLLOFFFACTOR && l.flRolloffFactor <= DS3D_MAXROLLOFFFACTOR &&
           l.flDopplerFactor >= DS3D_MINDOPPLERFACTOR && l.flDopplerFactor <= DS3D_MAXDOPPLERFACTOR;
}
}  // namespace

template <class Change>
HRESULT DirectSoundPrimaryBuffer::ChangeListener(DWORD apply, Change change)
{
    if (apply != DS3D_IMMEDIATE && apply != DS3D_DEFERRED) return DSERR_INVALIDPARAM;
    SoundMixer::Guard guard;
    SoundMixer& mixer = SoundMixer::Get();
    DS3DLISTENER changed = mixer.m_pendingListener;
    change(changed);
    if (!ValidListener(changed)) return DSERR_INVALIDPARAM;
    mixer.m_pendingListener = changed;
    if (apply == DS3D_IMMEDIATE) change(mixer.m_listener);
    return DS_OK;
}

HRESULT DirectSoundPrimaryBuffer::GetAllParameters(LPDS3DLISTENER parameters)
{
    if (!parameters || parameters->dwSize < sizeof(DS3DLISTENER)) return DSERR_INVALIDPARAM;
    SoundMixer::Guard guard;
    *parameters = SoundMixer::Get().m_pendingListener;
    return DS_OK;
}

HRESULT DirectSoundPrimaryBuffer::GetDistanceFactor(D3DVALUE* factor)
{
    if (!factor) return DSERR_INVALIDPARAM;
    *factor = SoundMixer::Get().m_pendingListener.flDistanceFactor;
    return DS_OK;
}

HRESULT DirectSoundPrimaryBuffer::GetDopplerFactor(D3DVALUE* factor)
{
    if (!factor) return DSERR_INVALIDPARAM;
    *factor = SoundMixer::Get().m_pendingListener.flDopplerFactor;
    return DS_OK;
}

HRESULT DirectSoundPrimaryBuffer::GetOrientation(LPD3DVECTOR front, LPD3DVECTOR top)
{
    if (!front || !top) return DSERR_INVALIDPARAM;
    *front = SoundMixer::Get().m_pendingListener.vOrientFront;
    *top = SoundMixer::Get().m_pendingListener.vOrientTop;
    return DS_OK;
}

HRESULT DirectSoundPrimaryBuffer::GetPosition(LPD3DVECTOR position)
{
    if (!position) return DSERR_INVALIDPARAM;
    *position = SoundMixer::Get().m_pendingListener.vPosition;
    return DS_OK;
}

HRESULT DirectSoundPrimaryBuffer::GetRolloffFactor(D3DVALUE* factor)
{
    if (!factor) return DSERR_INVALIDPARAM;
    *factor = SoundMixer::Get().m_pendingListener.flRolloffFactor;
    return DS_OK;
}

HRESULT DirectSoundPrimaryBuffer::GetVelocity(LPD3DVECTOR velocity)
{
    if (!velocity) return DSERR_INVALIDPARAM;
    *velocity = SoundMixer::Get().m_pendingListener.vVelocity;
    return DS_OK;
}

HRESULT DirectSoundPrimaryBuffer::SetAllParameters(LPCDS3DLISTENER parameters, DWORD apply)
{
    if (!parameters || parameters->dwSize < sizeof(DS3DLISTENER)) return DSERR_INVALIDPARAM;
    const DS3DLISTENER copy = *parameters;
    return ChangeListener(apply, [&copy](DS3DLISTENER& l) { l = copy; });
}

HRESULT DirectSoundPrimaryBuffer::SetDistanceFactor(D3DVALUE factor, DWORD apply)
{
    return ChangeListener(apply, [=](DS3DLISTENER& l) { l.flDistanceFactor = factor; });
}

HRESULT DirectSoundPrimaryBuffer::SetDopplerFactor(D3DVALUE factor, DWORD apply)
{
    return ChangeListener(apply, [=](DS3DLISTENER& l) { l.flDopplerFactor = factor; });
}

HRESULT DirectSoundPrimaryBuffer::SetOrientation(D3DVALUE frontX, D3DVALUE frontY, D3DVALUE frontZ, D3DVALUE topX,
                                                 D3DVALUE topY, D3DVALUE topZ, DWORD apply)
{
    return ChangeListener(apply, [=](DS3DLISTENER& l) {
        l.vOrientFront = {frontX, frontY, frontZ};
        l.vOrientTop = {topX, topY, topZ};
    });
}

HRESULT DirectSoundPrimaryBuffer::SetPosition(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply)
{
    return ChangeListener(apply, [=](DS3DLISTENER& l) { l.vPosition = {x, y, z}; });
}

HRESULT DirectSoundPrimaryBuffer::SetRolloffFactor(D3DVALUE factor, DWORD apply)
{
    return ChangeListener(apply, [=](DS3DLISTENER& l) { l.flRolloffFactor = factor; });
}

HRESULT DirectSoundPrimaryBuffer::SetVelocity(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply)
{
    return ChangeListener(apply, [=](DS3DLISTENER& l) { l.vVelocity = {x, y, z}; });
}

HRESULT DirectSoundPrimaryBuffer::CommitDeferredSettings()
{
    SoundMixer::Guard guard;
    SoundMixer::Get().CommitDeferredSettings();
    return DS_OK;
}
}  // namespace platform
