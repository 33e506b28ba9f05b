#include "game/YGoal.h"

#include "game/YActorServices.h"
#include "game/YPlane.h"

int YGoal::s_nameCounter = 0;

YGoal::YGoal() : YSpriteActor(6) {}

YGoal::YGoal(const YVector& position, bool resetNames) : YGoal() { Init(position, resetNames); }

void YGoal::Init(const YVector& position, bool resetNames)
{
    m_orientation = 6;
    SetSprite(position, "goal-goal--24-0");
    m_scale = 40.5f;
    if (resetNames) s_nameCounter = 0;
    m_name.Format("Goal%02d", s_nameCounter++);
    m_flagsB |= 0x200000;
}

void YGoal::Touch(YActor* other)
{
    YPlane* plane = other && (other->m_flagsB & FlagPlaneKind) ? dynamic_cast<YPlane*>(other) : nullptr;
    if (!plane || plane->m_tunnixCount < 1) return;
    const int32_t total = plane->GetCarried(-1);
    plane->m_score += total;
    plane->SetCarried(0, -1);
    plane->m_tunnixCount = 0;
    if (total < 1) return;
    YActorServices::PlayTemp(m_position, "Impact:pi-waypoint", m_soundNear, m_soundFar);
    YActorServices::VoiceEvent(YActorServices::IsOpponent(plane) ? 17 : 18);
}
