// The one sound device behind every DirectSound object: the buffers alive,
// the primary format, the listener, and the mixing of all playing buffers
// into 16-bit stereo frames for the backend's audio output.
#pragma once

#include <mutex>
#include <vector>

#include "platform/backend/Backend.h"
#include "platform/dsound.h"

namespace platform {
class DirectSoundBuffer;

class SoundMixer : public AudioSource {
public:
    // "Hardware" voices the device reports; buffers asking for them take one.
    static constexpr DWORD kHardwareVoices = 32;

    static SoundMixer& Get();

    // Held by every DirectSound call: first the headless output catches up
    // with the clock, then the device is locked against the audio thread.
    class Guard {
    public:
        Guard();
    private:
        std::lock_guard<std::recursive_mutex> m_lock;
    };

    // The output is open while at least one DirectSound object holds the
    // device; false when the backend has no audio output.
    bool AcquireDevice();
    void ReleaseDevice();
    void CatchUp();

    void Add(DirectSoundBuffer* buffer);
    void Remove(DirectSoundBuffer* buffer);
    const std::vector<DirectSoundBuffer*>& Buffers() const { return m_buffers; }

    const WAVEFORMATEX& PrimaryFormat() const { return m_primary; }
    // Changes the output to a valid PCM format; the output follows its rate.
    bool SetPrimaryFormat(const WAVEFORMATEX& format);
    LONG m_masterVolume = 0;
    LONG m_masterPan = 0;

    // The listener as heard, and as last set (deferred settings wait there).
    DS3DLISTENER m_listener;
    DS3DLISTENER m_pendingListener;
    // Applies every deferred 3D setting of the listener and the buffers.
    void CommitDeferredSettings();

    // Buffers created with DSBCAPS_LOCHARDWARE.
    DWORD HardwareVoicesInUse() const;

    void LoseAll();
    void RenderAudio(int16_t* frames, int count) override;

    std::recursive_mutex m_mutex;

private:
    SoundMixer();
    bool OpenOutput();

    std::vector<DirectSoundBuffer*> m_buffers;
    WAVEFORMATEX m_primary;
    int m_devices = 0;   // DirectSound objects holding the device
    bool m_open = false;
    std::vector<float> m_mix;
};
}  // namespace platform
