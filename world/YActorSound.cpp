#include "world/YActorSound.h"

#include <cmath>
#include <cstdlib>

#include "platform/dsound.h"
#include "sound/YDXSound3DBuffer.h"
#include "sound/YSound.h"
#include "world/YActor.h"

IMPLEMENT_DYNCREATE(YActorSound, CObject)

YActorSound::YActorSound(YSound* sound, YActor* owner, const char* name)
    : m_soundSystem(sound), m_owner(owner), m_buffer(nullptr), m_once(0), m_finished(0), m_due(0), m_clock(0),
      m_nextTime(0), m_name(name ? name : ""), m_auxByteB(0), m_minDistance(1.0f), m_maxDistance(100.0f),
      m_repeatMin(-1.0f), m_repeatMax(-1.0f), m_handle(0)
{
}

YActorSound::~YActorSound() { StopBuffer(); }

YDXSoundBuffer* YActorSound::LiveBuffer()
{
    if (m_buffer && (!m_soundSystem || m_soundSystem->FromHandle(m_handle) != m_buffer)) m_buffer = nullptr;
    return m_buffer;
}

void YActorSound::StopBuffer()
{
    if (YDXSoundBuffer* buffer = LiveBuffer()) {
        buffer->Stop();
        buffer->SetCurrentPosition(0);
    }
}

bool YActorSound::Update(YActor* listener, float dt)
{
    if (!listener || !m_owner) return false;
    m_clock += static_cast<int32_t>(dt * 1000.0f);
    if (m_nextTime == 0) ScheduleNext();
    if (Loops() || m_clock >= m_nextTime) m_due = 1;
    if (!m_due) return true;

    listener->GetWorldTransform(m_listenerPosition, m_listenerAngles);
    m_listenerVelocity = listener->m_velocity;
    DWORD flags = 0;
    if (m_owner->IsRelatedTo(listener, true, true)) {
        m_sourcePosition = m_listenerPosition;
        m_sourceAngles = m_listenerAngles;
        m_sourceVelocity = m_listenerVelocity;
        flags = kListenerOwned;
    } else {
        m_sourcePosition = m_owner->m_position;
        m_sourceAngles = m_owner->m_angles;
        m_sourceVelocity = m_owner->m_velocity;
    }

    const float squared = m_listenerPosition.DistanceSquared(m_sourcePosition);
    if (squared > m_maxDistance * m_maxDistance) {
        Stop();
        return true;
    }
    const float distance = std::sqrt(squared);
    if (!m_handle) Start(m_listenerPosition, m_listenerAngles, distance);
    else if (!IsPlaying()) Finish();
    else UpdatePlaying(m_listenerPosition, m_listenerAngles, distance, flags);
    return true;
}

LONG YActorSound::VolumeForDistance(float distance)
{
    if (distance > m_maxDistance) return kSilent;
    if (distance <= m_minDistance) return 0;
    const float near = 1.0f - (distance - m_minDistance) / (m_maxDistance - m_minDistance);
    return static_cast<LONG>(near * 10000.0f - 10000.0f);
}

LONG YActorSound::Pan(const YVector& listenerPosition, const YVector& listenerAngles, LONG volume)
{
    YVector direction = m_sourcePosition - listenerPosition;
    direction.Normalize();
    YVector back = listenerAngles;
    back.Negate();
    direction.Rotate(back);
    const float x = direction.x;
    float side = x * x * 0.5f;
    if (x < 0.0f) side = -side;
    // At -8000 and below the sound stays centred, on neither side.
    const LONG reach = volume + 8000 > 0 ? volume + 8000 : 0;
    return static_cast<LONG>((side + 1.0f) * static_cast<float>(reach)) - reach;
}

void YActorSound::Start(const YVector& listenerPosition, const YVector& listenerAngles, float distance)
{
    m_buffer = m_soundSystem ? m_soundSystem->CreateNewGameBuffer(m_name, 1) : nullptr;
    m_handle = m_buffer ? m_soundSystem->GetHandle(m_buffer) : 0;
    if (!m_buffer) {
        m_finished = 1;
        return;
    }
    if (m_buffer->GetKind() == 3) {
        auto* spatial = static_cast<YDXSound3DBuffer*>(m_buffer);
        spatial->SetMaxDistance(m_maxDistance, DS3D_IMMEDIATE);
        spatial->SetMinDistance(m_minDistance, DS3D_IMMEDIATE);
        spatial->SetPosition(m_sourcePosition.x, m_sourcePosition.y, m_sourcePosition.z, DS3D_IMMEDIATE);
        spatial->SetVelocity(m_sourceVelocity.x, 0.0f, m_sourceVelocity.z, DS3D_IMMEDIATE);
        spatial->SetVolume(0);
    } else {
        const LONG volume = VolumeForDistance(distance);
        m_buffer->SetVolume(volume);
        m_buffer->SetPan(Pan(listenerPosition, listenerAngles, volume));
    }
    m_soundSystem->CommitListener(0);
    m_buffer->Play(Loops() ? DSBPLAY_LOOPING : 0);
}

void YActorSound::UpdatePlaying(const YVector& listenerPosition, const YVector& listenerAngles, float distance,
                                DWORD flags)
{
    YDXSoundBuffer* buffer = LiveBuffer();
    if (!buffer) return;
    if (buffer->GetKind() == 3) {
        auto* spatial = static_cast<YDXSound3DBuffer*>(buffer);
        spatial->SetVelocity(m_sourceVelocity.x, 0.0f, m_sourceVelocity.z, DS3D_DEFERRED);
        spatial->SetPosition(m_sourcePosition.x, m_sourcePosition.y, m_sourcePosition.z, DS3D_DEFERRED);
        spatial->SetVolume(0);
        if ((flags & kListenerOwned) && m_soundSystem) m_soundSystem->CommitListener(0);
        return;
    }
    const LONG volume = VolumeForDistance(distance);
    LONG now = 0;
    if (!buffer->GetVolume(&now) || now != volume) buffer->SetVolume(volume);
    const LONG pan = Pan(listenerPosition, listenerAngles, volume);
    if (!buffer->GetPan(&now) || now != pan) buffer->SetPan(pan);
}

void YActorSound::Stop()
{
    StopBuffer();
    Finish();
}

void YActorSound::Finish()
{
    m_buffer = nullptr;
    m_handle = 0;
    if (m_repeatMin < 0.0f || m_repeatMax < 0.0f) m_finished = 1;
    m_due = 0;
    ScheduleNext();
}

void YActorSound::ScheduleNext()
{
    const float range = m_repeatMax - m_repeatMin;
    if (range > 0.0f) {
        const float r = static_cast<float>(rand()) / 32767.0f;
        m_nextTime = m_clock + static_cast<int32_t>((m_repeatMin + r * range) * 1000.0f);
    } else if (m_repeatMin > -1.0f) {
        m_nextTime = m_clock + static_cast<int32_t>(m_repeatMin * 1000.0f);
    }
}

bool YActorSound::IsPlaying()
{
    YDXSoundBuffer* buffer = LiveBuffer();
    DWORD status = 0;
    return buffer && buffer->GetStatus(&status, 1) && (status & DSBSTATUS_PLAYING);
}

void YActorSoundList::ForgetBuffers()
{
    for (POSITION at = GetHeadPosition(); at;) {
        YActorSound* sound = GetNext(at);
        if (sound) sound->ForgetBuffer();
    }
}
