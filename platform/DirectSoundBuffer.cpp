#include "platform/DirectSoundBuffer.h"

#include <cmath>

#include "platform/PcmFormat.h"
#include "platform/SoundMixer.h"
#include "platform/SoundPlacement.h"

namespace platform {
namespace {
const uint64_t kOne = uint64_t(1) << 32;

DS3DBUFFER Default3D()
{
    DS3DBUFFER parameters = {};
    parameters.dwSize = sizeof(parameters);
    parameters.dwInsideConeAngle = DS3D_DEFAULTCONEANGLE;
    parameters.dwOutsideConeAngle = DS3D_DEFAULTCONEANGLE;
    parameters.vConeOrientation = {0, 0, 1};
    parameters.lConeOutsideVolume = DS3D_DEFAULTCONEOUTSIDEVOLUME;
    parameters.flMinDistance = DS3D_DEFAULTMINDISTANCE;
    parameters.flMaxDistance = DS3D_DEFAULTMAXDISTANCE;
    parameters.dwMode = DS3DMODE_NORMAL;
    return parameters;
}

bool Finite(const D3DVECTOR& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool Valid3D(const DS3DBUFFER& p)
{
    return Finite(p.vPosition) && Finite(p.vVelocity) && Finite(p.vConeOrientation) && p.dwInsideConeAngle <= 360 && p.dwOutsideConeAngle <= 360 && p.dwInsideConeAngle <= p.dwOutsideConeAngle &&
           p.lConeOutsideVolume >= DSBVOLUME_MIN && p.lConeOutsideVolume <= DSBVOLUME_MAX &&
           p.flMinDistance >= 0.0f && p.flMaxDistance >= 0.0f && p.dwMode <= DS3DMODE_DISABLE &&
           std::isfinite(p.flMinDistance) && std::isfinite(p.flMaxDistance);
}
}  // namespace

int g_liveSoundObjects = 0;
int LiveSoundObjects() { return g_liveSoundObjects; }

DirectSoundBuffer* DirectSoundBuffer::Create(LPCDSBUFFERDESC desc, HRESULT& result)
{
    result = DSERR_INVALIDPARAM;
    if (!desc || desc->dwSize < offsetof(DSBUFFERDESC, guid3DAlgorithm) || !desc->lpwfxFormat) return nullptr;
    const DWORD flags = desc->dwFlags;
    if ((flags & DSBCAPS_LOCHARDWARE) && (flags & DSBCAPS_LOCSOFTWARE)) return nullptr;
    if (desc->dwBufferBytes < DSBSIZE_MIN || desc->dwBufferBytes > DSBSIZE_MAX) return nullptr;
    if (!PcmFormat::IsValid(*desc->lpwfxFormat)) {
        result = DSERR_BADFORMAT;
        return nullptr;
    }
    SoundMixer& mixer = SoundMixer::Get();
    if ((flags & DSBCAPS_LOCHARDWARE) && mixer.HardwareVoicesInUse() >= SoundMixer::kHardwareVoices) {
        result = DSERR_ALLOCATED;
        return nullptr;
    }
    DirectSoundBuffer* buffer = new DirectSoundBuffer;
    buffer->m_flags = flags;
    buffer->m_format = PcmFormat::Make(desc->lpwfxFormat->nSamplesPerSec, desc->lpwfxFormat->wBitsPerSample,
                                       desc->lpwfxFormat->nChannels);
    buffer->m_bytes = desc->dwBufferBytes;
    buffer->m_samples = std::make_shared<std::vector<BYTE>>(desc->dwBufferBytes,
                                                            desc->lpwfxFormat->wBitsPerSample == 8 ? 0x80 : 0);
    buffer->m_3d = buffer->m_pending3d = Default3D();
    ++g_liveSoundObjects;
    mixer.Add(buffer);
    result = DS_OK;
    return buffer;
}

DirectSoundBuffer* DirectSoundBuffer::Duplicate() const
{
    DirectSoundBuffer* copy = new DirectSoundBuffer;
    copy->m_flags = m_flags;
    copy->m_format = m_format;
    copy->m_bytes = m_bytes;
    copy->m_samples = m_samples;
    copy->m_lost = m_lost;
    copy->m_volume = m_volume;
    copy->m_pan = m_pan;
    copy->m_frequency = m_frequency;
    copy->m_3d = m_3d;
    copy->m_pending3d = m_pending3d;
    ++g_liveSoundObjects;
    SoundMixer::Get().Add(copy);
    return copy;
}

DirectSoundBuffer::~DirectSoundBuffer()
{
    SoundMixer::Get().Remove(this);
    --g_liveSoundObjects;
}

HRESULT DirectSoundBuffer::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDirectSoundBuffer)) {
        *object = static_cast<IDirectSoundBuffer*>(this);
    } else if (IsEqualGUID(iid, IID_IDirectSound3DBuffer) && (m_flags & DSBCAPS_CTRL3D)) {
        *object = static_cast<IDirectSound3DBuffer*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG DirectSoundBuffer::AddRef()
{
    SoundMixer::Guard guard;
    return ++m_refs;
}

ULONG DirectSoundBuffer::Release()
{
    ULONG left;
    {
        SoundMixer::Guard guard;
        left = --m_refs;
    }
    if (left == 0) delete this;
    return left;
}

HRESULT DirectSoundBuffer::GetCaps(LPDSBCAPS caps)
{
    if (!caps || caps->dwSize < sizeof(DSBCAPS)) return DSERR_INVALIDPARAM;
    caps->dwFlags = m_flags & DSBCAPS_LOCHARDWARE ? m_flags : m_flags | DSBCAPS_LOCSOFTWARE;
    caps->dwBufferBytes = m_bytes;
    caps->dwUnlockTransferRate = 0;
    caps->dwPlayCpuOverhead = 0;
    return DS_OK;
}

HRESULT DirectSoundBuffer::GetCurrentPosition(LPDWORD play, LPDWORD write)
{
    SoundMixer::Guard guard;
    const DWORD frame = DWORD(m_cursor >> 32);
    const DWORD position = frame * m_format.nBlockAlign;
    if (play) *play = position;
    if (write) {
        // Writing is safe some 10 ms ahead of a playing cursor.
        DWORD ahead = m_playing ? (m_format.nSamplesPerSec / 100 + 1) * m_format.nBlockAlign : 0;
        *write = m_bytes ? (position + ahead) % m_bytes : 0;
    }
    return DS_OK;
}

HRESULT DirectSoundBuffer::CopyFormat(const WAVEFORMATEX& source, LPWAVEFORMATEX format, DWORD size, LPDWORD written)
{
    if (!format) {
        if (!written) return DSERR_INVALIDPARAM;
        *written = sizeof(WAVEFORMATEX);
        return DS_OK;
    }
    const DWORD n = size < sizeof(WAVEFORMATEX) ? size : DWORD(sizeof(WAVEFORMATEX));
    memcpy(format, &source, n);
    if (written) *written = n;
    return DS_OK;
}

HRESULT DirectSoundBuffer::GetFormat(LPWAVEFORMATEX format, DWORD size, LPDWORD written)
{
    return CopyFormat(m_format, format, size, written);
}

HRESULT DirectSoundBuffer::GetVolume(LPLONG volume)
{
    if (!volume) return DSERR_INVALIDPARAM;
    if (!(m_flags & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
    *volume = m_volume;
    return DS_OK;
}

HRESULT DirectSoundBuffer::GetPan(LPLONG pan)
{
    if (!pan) return DSERR_INVALIDPARAM;
    if (!(m_flags & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
    *pan = m_pan;
    return DS_OK;
}

HRESULT DirectSoundBuffer::GetFrequency(LPDWORD frequency)
{
    if (!frequency) return DSERR_INVALIDPARAM;
    if (!(m_flags & DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
    *frequency = m_frequency ? m_frequency : m_format.nSamplesPerSec;
    return DS_OK;
}

HRESULT DirectSoundBuffer::GetStatus(LPDWORD status)
{
    if (!status) return DSERR_INVALIDPARAM;
    SoundMixer::Guard guard;
    *status = (m_playing ? DSBSTATUS_PLAYING : 0) | (m_playing && m_looping ? DSBSTATUS_LOOPING : 0) |
              (m_lost ? DSBSTATUS_BUFFERLOST : 0);
    return DS_OK;
}

HRESULT DirectSoundBuffer::Initialize(LPDIRECTSOUND, LPCDSBUFFERDESC) { return DSERR_ALREADYINITIALIZED; }

HRESULT DirectSoundBuffer::Lock(DWORD offset, DWORD bytes, LPVOID* part1, LPDWORD bytes1, LPVOID* part2,
                                LPDWORD bytes2, DWORD flags)
{
    if (!part1 || !bytes1) return DSERR_INVALIDPARAM;
    SoundMixer::Guard guard;
    if (m_lost) return DSERR_BUFFERLOST;
    if (flags & DSBLOCK_ENTIREBUFFER) {
        offset = 0;
        bytes = m_bytes;
    } else if (flags & DSBLOCK_FROMWRITECURSOR) {
        GetCurrentPosition(nullptr, &offset);
    }
    if (offset >= m_bytes || bytes == 0 || bytes > m_bytes) return DSERR_INVALIDPARAM;
    BYTE* data = m_samples->data();
    const DWORD first = bytes < m_bytes - offset ? bytes : m_bytes - offset;
    *part1 = data + offset;
    *bytes1 = first;
    if (part2) *part2 = first < bytes ? data : nullptr;
    if (bytes2) *bytes2 = bytes - first;
    if (first < bytes && !part2) return DSERR_INVALIDPARAM;
    return DS_OK;
}

HRESULT DirectSoundBuffer::Play(DWORD, DWORD, DWORD flags)
{
    SoundMixer::Guard guard;
    if (m_lost) return DSERR_BUFFERLOST;
    m_playing = true;
    m_looping = (flags & DSBPLAY_LOOPING) != 0;
    return DS_OK;
}

HRESULT DirectSoundBuffer::SetCurrentPosition(DWORD position)
{
    SoundMixer::Guard guard;
    // The cursor stands on whole frames; a trailing partial frame has none.
    if (position >= m_bytes || position / m_format.nBlockAlign >= Frames()) return DSERR_INVALIDPARAM;
    m_cursor = uint64_t(position / m_format.nBlockAlign) << 32;
    return DS_OK;
}

HRESULT DirectSoundBuffer::SetFormat(LPCWAVEFORMATEX) { return DSERR_INVALIDCALL; }

HRESULT DirectSoundBuffer::SetVolume(LONG volume)
{
    if (!(m_flags & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
    SoundMixer::Guard guard;
    m_volume = volume;
    return DS_OK;
}

HRESULT DirectSoundBuffer::SetPan(LONG pan)
{
    if (!(m_flags & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
    SoundMixer::Guard guard;
    m_pan = pan;
    return DS_OK;
}

HRESULT DirectSoundBuffer::SetFrequency(DWORD frequency)
{
    if (!(m_flags & DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
    if (frequency != DSBFREQUENCY_ORIGINAL && (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX))
        return DSERR_INVALIDPARAM;
    SoundMixer::Guard guard;
    m_frequency = frequency;
    return DS_OK;
}

HRESULT DirectSoundBuffer::Stop()
{
    SoundMixer::Guard guard;
    m_playing = false;
    return DS_OK;
}

HRESULT DirectSoundBuffer::Unlock(LPVOID part1, DWORD, LPVOID, DWORD)
{
    return part1 ? DS_OK : DSERR_INVALIDPARAM;
}

HRESULT DirectSoundBuffer::Restore()
{
    SoundMixer::Guard guard;
    m_lost = false;
    return DS_OK;
}

void DirectSoundBuffer::Lose()
{
    m_lost = true;
    m_playing = false;
    std::fill(m_samples->begin(), m_samples->end(), BYTE(m_format.wBitsPerSample == 8 ? 0x80 : 0));
}

// ---------------------------------------------------------------- 3D
template <class Change>
HRESULT DirectSoundBuffer::Change3D(DWORD apply, Change change)
{
    if (apply != DS3D_IMMEDIATE && apply != DS3D_DEFERRED) return DSERR_INVALIDPARAM;
    SoundMixer::Guard guard;
    DS3DBUFFER changed = m_pending3d;
    change(changed);
    if (!Valid3D(changed)) return DSERR_INVALIDPARAM;
    m_pending3d = changed;
    if (apply == DS3D_IMMEDIATE) change(m_3d);
    return DS_OK;
}

HRESULT DirectSoundBuffer::GetAllParameters(LPDS3DBUFFER parameters)
{
    if (!parameters || parameters->dwSize < sizeof(DS3DBUFFER)) return DSERR_INVALIDPARAM;
    *parameters = m_pending3d;
    return DS_OK;
}

HRESULT DirectSoundBuffer::GetConeAngles(LPDWORD inside, LPDWORD outside)
{
    if (!inside && !outside) return DSERR_INVALIDPARAM;
    if (inside) *inside = m_pending3d.dwInsideConeAngle;
    if (outside) *outside = m_pending3d.dwOutsideConeAngle;
    return DS_OK;
}

HRESULT DirectSoundBuffer::GetConeOrientation(LPD3DVECTOR orientation)
{
    if (!orientation) return DSERR_INVALIDPARAM;
    *orientation = m_pending3d.vConeOrientation;
    return DS_OK;
}

HRESULT DirectSoundBuffer::GetConeOutsideVolume(LPLONG volume)
{
    if (!volume) return DSERR_INVALIDPARAM;
    *volume = m_pending3d.lConeOutsideVolume;
    return DS_OK;
}

HRESULT DirectSoundBuffer::GetMaxDistance(D3DVALUE* distance)
{
    if (!distance) return DSERR_INVALIDPARAM;
    *distance = m_pending3d.flMaxDistance;
    return DS_OK;
}

HRESULT DirectSoundBuffer::GetMinDistance(D3DVALUE* distance)
{
    if (!distance) return DSERR_INVALIDPARAM;
    *distance = m_pending3d.flMinDistance;
    return DS_OK;
}

HRESULT DirectSoundBuffer::GetMode(LPDWORD mode)
{
    if (!mode) return DSERR_INVALIDPARAM;
    *mode = m_pending3d.dwMode;
    return DS_OK;
}

HRESULT DirectSoundBuffer::GetPosition(LPD3DVECTOR position)
{
    if (!position) return DSERR_INVALIDPARAM;
    *position = m_pending3d.vPosition;
    return DS_OK;
}

HRESULT DirectSoundBuffer::GetVelocity(LPD3DVECTOR velocity)
{
    if (!velocity) return DSERR_INVALIDPARAM;
    *velocity = m_pending3d.vVelocity;
    return DS_OK;
}

HRESULT DirectSoundBuffer::SetAllParameters(LPCDS3DBUFFER parameters, DWORD apply)
{
    if (!parameters || parameters->dwSize < sizeof(DS3DBUFFER)) return DSERR_INVALIDPARAM;
    const DS3DBUFFER copy = *parameters;
    return Change3D(apply, [&copy](DS3DBUFFER& p) { p = copy; });
}

HRESULT DirectSoundBuffer::SetConeAngles(DWORD inside, DWORD outside, DWORD apply)
{
    return Change3D(apply, [=](DS3DBUFFER& p) {
        p.dwInsideConeAngle = inside;
        p.dwOutsideConeAngle = outside;
    });
}

HRESULT DirectSoundBuffer::SetConeOrientation(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply)
{
    return Change3D(apply, [=](DS3DBUFFER& p) { p.vConeOrientation = {x, y, z}; });
}

HRESULT DirectSoundBuffer::SetConeOutsideVolume(LONG volume, DWORD apply)
{
    return Change3D(apply, [=](DS3DBUFFER& p) { p.lConeOutsideVolume = volume; });
}

HRESULT DirectSoundBuffer::SetMaxDistance(D3DVALUE distance, DWORD apply)
{
    return Change3D(apply, [=](DS3DBUFFER& p) { p.flMaxDistance = distance; });
}

HRESULT DirectSoundBuffer::SetMinDistance(D3DVALUE distance, DWORD apply)
{
    return Change3D(apply, [=](DS3DBUFFER& p) { p.flMinDistance = distance; });
}

HRESULT DirectSoundBuffer::SetMode(DWORD mode, DWORD apply)
{
    return Change3D(apply, [=](DS3DBUFFER& p) { p.dwMode = mode; });
}

HRESULT DirectSoundBuffer::SetPosition(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply)
{
    return Change3D(apply, [=](DS3DBUFFER& p) { p.vPosition = {x, y, z}; });
}

HRESULT DirectSoundBuffer::SetVelocity(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply)
{
    return Change3D(apply, [=](DS3DBUFFER& p) { p.vVelocity = {x, y, z}; });
}

// ---------------------------------------------------------------- mixing
void DirectSoundBuffer::MixInto(float* mix, int count, DWORD outputRate, const DS3DLISTENER& listener)
{
    if (!m_playing || m_lost || outputRate == 0) return;
    const DWORD frames = Frames();
    if (frames == 0) {
        m_playing = false;
        return;
    }
    float left = SoundPlacement::Gain(m_volume);
    float right = left;
    float pitch = 1.0f;
    const bool placed = (m_flags & DSBCAPS_CTRL3D) != 0;
    if (placed) {
        const SoundPlacement placement =
            SoundPlacement::Compute(m_3d, listener, (m_flags & DSBCAPS_MUTE3DATMAXDISTANCE) != 0);
        left *= placement.left;
        right *= placement.right;
        pitch = placement.pitch;
    } else {
        if (m_pan < 0) right *= SoundPlacement::Gain(m_pan);
        if (m_pan > 0) left *= SoundPlacement::Gain(-m_pan);
    }
    const double rate = double(m_frequency ? m_frequency : m_format.nSamplesPerSec) * pitch;
    const uint64_t step = uint64_t(rate / outputRate * double(kOne));
    const uint64_t end = uint64_t(frames) << 32;
    const BYTE* data = m_samples->data();
    const WORD bits = m_format.wBitsPerSample;
    const WORD align = m_format.nBlockAlign;
    const bool stereo = m_format.nChannels == 2;
    for (int i = 0; i < count; ++i) {
        const DWORD frame = DWORD(m_cursor >> 32);
        DWORD next = frame + 1;
        if (next >= frames) next = m_looping ? 0 : frame;
        const float fraction = float(m_cursor & 0xFFFFFFFFu) / float(kOne);
        const BYTE* a = data + size_t(frame) * align;
        const BYTE* b = data + size_t(next) * align;
        float l = PcmFormat::Sample(a, bits, 0) * (1 - fraction) + PcmFormat::Sample(b, bits, 0) * fraction;
        float r = l;
        if (stereo) r = PcmFormat::Sample(a, bits, 1) * (1 - fraction) + PcmFormat::Sample(b, bits, 1) * fraction;
        if (placed) l = r = (l + r) * 0.5f;
        mix[2 * i] += l * left;
        mix[2 * i + 1] += r * right;
        m_cursor += step;
        if (m_cursor >= end) {
            if (!m_looping) {
                m_playing = false;
                m_cursor = 0;
                return;
            }
            m_cursor %= end;
        }
    }
}
}  // namespace platform
