#include "platform/SoundMixer.h"

#include <algorithm>

#include "platform/DirectSoundBuffer.h"
#include "platform/PcmFormat.h"
#include "platform/SoundPlacement.h"

namespace platform {
namespace {
DS3DLISTENER DefaultListener()
{
    DS3DLISTENER listener = {};
    listener.dwSize = sizeof(listener);
    listener.vOrientFront = {0, 0, 1};
    listener.vOrientTop = {0, 1, 0};
    listener.flDistanceFactor = DS3D_DEFAULTDISTANCEFACTOR;
    listener.flRolloffFactor = DS3D_DEFAULTROLLOFFFACTOR;
    listener.flDopplerFactor = DS3D_DEFAULTDOPPLERFACTOR;
    return listener;
}
}  // namespace

SoundMixer& SoundMixer::Get()
{
    static SoundMixer* mixer = new SoundMixer;  // lives to the end, past static destructors
    return *mixer;
}

SoundMixer::SoundMixer()
    : m_listener(DefaultListener()), m_pendingListener(DefaultListener()), m_primary(PcmFormat::Make(22050, 8, 2))
{
}

SoundMixer::Guard::Guard() : m_lock((SoundMixer::Get().CatchUp(), SoundMixer::Get().m_mutex)) {}

bool SoundMixer::OpenOutput()
{
    m_open = Backend::Get().OpenAudio(int(m_primary.nSamplesPerSec), this);
    return m_open;
}

bool SoundMixer::AcquireDevice()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (m_devices == 0) {
        // A fresh device starts from the defaults.
        m_primary = PcmFormat::Make(22050, 8, 2);
        m_masterVolume = m_masterPan = 0;
        m_listener = m_pendingListener = DefaultListener();
        if (!OpenOutput()) return false;
    }
    ++m_devices;
    return true;
}

void SoundMixer::ReleaseDevice()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (m_devices == 0 || --m_devices > 0) return;
    // A backend already shut down took its output with it.
    Backend* backend = Backend::Existing();
    if (m_open && backend) backend->CloseAudio();
    m_open = false;
}

void SoundMixer::CatchUp()
{
    if (!m_open) return;
    Backend& backend = Backend::Get();
    // A backend made anew (tests end one and start another) gets the output again.
    if (backend.AudioDriverName().empty()) {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        OpenOutput();
        return;
    }
    backend.PumpAudio();
}

void SoundMixer::Add(DirectSoundBuffer* buffer)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_buffers.push_back(buffer);
}

void SoundMixer::Remove(DirectSoundBuffer* buffer)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_buffers.erase(std::remove(m_buffers.begin(), m_buffers.end(), buffer), m_buffers.end());
}

bool SoundMixer::SetPrimaryFormat(const WAVEFORMATEX& format)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!PcmFormat::IsValid(format)) return false;
    const bool newRate = format.nSamplesPerSec != m_primary.nSamplesPerSec;
    m_primary = PcmFormat::Make(format.nSamplesPerSec, format.wBitsPerSample, format.nChannels);
    if (newRate && m_open) OpenOutput();
    return true;
}

void SoundMixer::CommitDeferredSettings()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_listener = m_pendingListener;
    for (DirectSoundBuffer* buffer : m_buffers) buffer->Commit3D();
}

DWORD SoundMixer::HardwareVoicesInUse() const
{
    DWORD count = 0;
    for (DirectSoundBuffer* buffer : m_buffers)
        if (buffer->Flags() & DSBCAPS_LOCHARDWARE) ++count;
    return count;
}

void SoundMixer::LoseAll()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    for (DirectSoundBuffer* buffer : m_buffers) buffer->Lose();
}

void SoundMixer::RenderAudio(int16_t* frames, int count)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_mix.assign(size_t(count) * 2, 0.0f);
    for (DirectSoundBuffer* buffer : m_buffers) buffer->MixInto(m_mix.data(), count, m_primary.nSamplesPerSec, m_listener);
    // The primary buffer's volume and pan, then its format: mono and 8 bits
    // are heard as such.
    float left = SoundPlacement::Gain(m_masterVolume);
    float right = left;
    if (m_masterPan < 0) right *= SoundPlacement::Gain(m_masterPan);
    if (m_masterPan > 0) left *= SoundPlacement::Gain(-m_masterPan);
    const bool mono = m_primary.nChannels == 1;
    const bool eightBit = m_primary.wBitsPerSample == 8;
    for (int i = 0; i < count; ++i) {
        float l = m_mix[2 * i] * left;
        float r = m_mix[2 * i + 1] * right;
        if (mono) l = r = (l + r) * 0.5f;
        int values[2] = {int(l + (l < 0 ? -0.5f : 0.5f)), int(r + (r < 0 ? -0.5f : 0.5f))};
        for (int c = 0; c < 2; ++c) {
            int v = std::max(-32768, std::min(32767, values[c]));
            if (eightBit) v = std::max(-32768, std::min(32512, (v + 128) & ~0xFF));
            frames[2 * i + c] = int16_t(v);
        }
    }
}

void LoseSoundBuffers() { SoundMixer::Get().LoseAll(); }
}  // namespace platform
