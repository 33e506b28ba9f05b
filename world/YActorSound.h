// A named sound attached to an actor and heard by a listener actor: it starts
// when the listener comes within its maximum distance, follows its owner,
// stops when the listener leaves, and plays once, loops or repeats after a
// random pause.
#pragma once

#include <cstdint>

#include "foundation/YString.h"
#include "foundation/YVector.h"
#include "platform/mfc.h"
#include "platform/win32.h"

class YActor;
class YSound;
class YDXSoundBuffer;

class YActorSound : public CObject {
    DECLARE_DYNCREATE(YActorSound)
public:
    static constexpr LONG kSilent = -10000;
    static constexpr DWORD kListenerOwned = 0x80000000u;

    YActorSound(YSound* sound = nullptr, YActor* owner = nullptr, const char* name = "");
    ~YActorSound() override;

    // One step against the listener; false without a listener or owner.
    virtual bool Update(YActor* listener, float dt);
    virtual LONG Pan(const YVector& listenerPosition, const YVector& listenerAngles, LONG volume);
    virtual LONG VolumeForDistance(float distance);
    virtual void Finish();
    virtual void ScheduleNext();
    virtual void Start(const YVector& listenerPosition, const YVector& listenerAngles, float distance);
    virtual void UpdatePlaying(const YVector& listenerPosition, const YVector& listenerAngles, float distance,
                               DWORD flags);
    virtual void Stop();
    virtual bool IsPlaying();
    virtual const YString& GetName() const { return m_name; }
    virtual YDXSoundBuffer* GetBuffer() const { return m_buffer; }
    // Drops the buffer without touching it (the sound system owns it).
    virtual void ForgetBuffer()
    {
        m_buffer = nullptr;
        m_handle = 0;
    }

    bool Loops() const { return m_repeatMin == 0.0f && m_repeatMax == 0.0f; }

    YSound* m_soundSystem;
    YActor* m_owner;
    YDXSoundBuffer* m_buffer;  // not owned
    uint8_t m_once;            // set by the players of one-shot sounds
    uint8_t m_finished;        // the owner deletes the sound when set
    uint8_t m_due;             // to be (re)started or finished
    int32_t m_clock;           // ms summed from the steps
    int32_t m_nextTime;        // clock of the next start; 0 = not scheduled
    YString m_name;
    uint8_t m_auxByteB;
    float m_minDistance;  // metres; full volume at or below
    float m_maxDistance;  // metres; silent and stopped beyond
    float m_repeatMin;    // seconds; both 0 loop, negative plays once
    float m_repeatMax;
    YVector m_listenerPosition, m_listenerAngles, m_listenerVelocity;
    YVector m_sourcePosition, m_sourceAngles, m_sourceVelocity;

private:
    // The held buffer while the sound system still has it; a buffer the
    // manager dropped counts as gone.
    YDXSoundBuffer* LiveBuffer();
    void StopBuffer();
    DWORD m_handle;  // the manager's handle of m_buffer
};

class YActorSoundList : public CTypedPtrList<CPtrList, YActorSound*> {
public:
    // Every sound drops its buffer.
    void ForgetBuffers();
};
