#include "frontend/YJukeBox.h"

#include "engine/YGameObjects.h"
#include "foundation/YConfigData.h"
#include "platform/dsound.h"
#include "sound/YSound.h"
#include "sound/YSoundData.h"

YJukeBox::YJukeBox() : m_current(-1)
{
    for (int& track : m_tracks) track = -1;
}

YSound* YJukeBox::Sound()
{
    YGameObjects* engine = YGameObjects::Existing();
    return engine ? engine->m_sound : nullptr;
}

bool YJukeBox::MusicOn()
{
    YGameObjects* engine = YGameObjects::Existing();
    const YConfigData* config = engine ? engine->m_configData : nullptr;
    return config && config->m_sound && config->m_sound->m_music != 0;
}

void YJukeBox::Clear()
{
    Stop();
    YSound* sound = Sound();
    for (int& track : m_tracks) {
        if (sound && track != -1) sound->ReleaseById(track);
        track = -1;
    }
    m_current = -1;
}

void YJukeBox::SetTrack(int index, const char* name)
{
    if (!name || index < 0 || index >= TrackCount) return;
    YSound* sound = Sound();
    m_tracks[index] = sound ? sound->RegisterSound(name) : -1;
    if (m_tracks[index] != -1) sound->CreateBufferById(m_tracks[index]);
}

void YJukeBox::Play(int index)
{
    Stop();
    if (!MusicOn() || index < 0 || index >= TrackCount || m_tracks[index] == -1) return;
    if (YSound* sound = Sound()) sound->PlayById(m_tracks[index], DSBPLAY_LOOPING, 1, 0, 0);
    m_current = index;
}

void YJukeBox::Stop()
{
    if (m_current == -1) return;
    if (YSound* sound = Sound()) sound->StopById(m_tracks[m_current]);
    m_current = -1;
}

void YJukeBox::Pause()
{
    if (m_current == -1) return;
    if (YSound* sound = Sound()) sound->StopById(m_tracks[m_current]);
}

void YJukeBox::Resume()
{
    if (m_current == -1) return;
    if (YSound* sound = Sound()) sound->PlayById(m_tracks[m_current], DSBPLAY_LOOPING, 0, 0, 0);
}
