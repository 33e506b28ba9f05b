#include "world/YActorSound.h"

IMPLEMENT_DYNCREATE(YActorSound, CObject)

YActorSound::YActorSound(YSound* sound, YActor* owner, const char* name)
    : m_soundSystem(sound), m_owner(owner), m_buffer(nullptr), m_finished(0), m_name(name)
{
}

bool YActorSound::Update(YActor* listener, float)
{
    return listener && m_owner;
}

void YActorSoundList::ForgetBuffers()
{
    for (POSITION at = GetHeadPosition(); at;) {
        YActorSound* sound = GetNext(at);
        if (sound) sound->ForgetBuffer();
    }
}
