#include "game/YBalloonString.h"

#include "game/YBalloon.h"

YBalloonString::YBalloonString() : YSpriteActor(Upright), m_balloon(nullptr), m_fallTime(kFallSeconds) {}

YBalloonString::YBalloonString(const YVector& position) : YBalloonString()
{
    SetSprite(position, "Balloon-string--24-0");
    m_scale = 13.5f;
}

void YBalloonString::Update(float dt)
{
    if (m_balloon) return;
    if (m_fallTime > 0.0f) m_fallTime -= dt;
    if (m_fallTime <= 0.0f) MarkForDestruction();
}

void YBalloonString::ForgetActor(YActor* actor)
{
    YSpriteActor::ForgetActor(actor);
    if (actor && static_cast<YActor*>(m_balloon) == actor) m_balloon = nullptr;
}
