#include "frontend/YAppInterfaceFactory.h"

#include "engine/YGameObjects.h"
#include "sound/YSound.h"

YAppInterfaceFactory::YAppInterfaceFactory()
{
    for (int32_t& id : m_soundIds) id = -1;
}

int YAppInterfaceFactory::LoadInterfaceSounds()
{
    YSound* sound = YGameObjects::Instance()->m_sound;
    if (m_soundsLoaded || !sound) return 0;
    for (int32_t& id : m_soundIds) id = -1;
    m_soundIds[kMouseOverSound] = sound->GetActualPath("Interface:is-mouse-over");
    sound->CreateBufferById(m_soundIds[kMouseOverSound]);
    m_soundIds[kClickSound] = sound->GetActualPath("Interface:is-mouse-click");
    sound->CreateBufferById(m_soundIds[kClickSound]);
    m_soundsLoaded = 1;
    return 1;
}

void YAppInterfaceFactory::PlaySound(int index)
{
    if (!m_soundsLoaded) LoadInterfaceSounds();
    if (index < 0 || index >= kSoundCount) return;
    const int id = m_soundIds[index];
    YSound* sound = YGameObjects::Instance()->m_sound;
    if (id < 0 || !sound) return;
    sound->PlayById(id, 0, 1, 0, 0);
}
