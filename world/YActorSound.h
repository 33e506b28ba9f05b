// A named sound attached to an actor and heard by a listener actor. So far
// the parts its actor and the world use: the name, the finished byte and the
// buffer it may hold; the positional playing comes with the actor sounds.
#pragma once

#include <cstdint>

#include "foundation/YString.h"
#include "platform/mfc.h"

class YActor;
class YSound;

class YActorSound : public CObject {
    DECLARE_DYNCREATE(YActorSound)
public:
    YActorSound(YSound* sound = nullptr, YActor* owner = nullptr, const char* name = "");

    // One step against the listener; false without a listener or owner.
    virtual bool Update(YActor* listener, float dt);
    virtual const YString& GetName() const { return m_name; }
    virtual void* GetBuffer() const { return m_buffer; }
    // Drops the buffer without touching it (the sound system owns it).
    virtual void ForgetBuffer() { m_buffer = nullptr; }

    YSound* m_soundSystem;
    YActor* m_owner;
    void* m_buffer;  // not owned
    uint8_t m_finished;  // the owner deletes the sound when set
    YString m_name;
};

class YActorSoundList : public CTypedPtrList<CPtrList, YActorSound*> {
public:
    // Every sound drops its buffer.
    void ForgetBuffers();
};
