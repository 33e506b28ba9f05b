#include "game/YTunnix.h"

#include "game/YActorServices.h"
#include "game/YPlane.h"

int YTunnix::s_nameCounter = 0;

YTunnix::YTunnix() : YSpriteActor(1), m_colour(Blue) {}

YTunnix::YTunnix(const YVector& position, uint32_t colour, bool resetNames) : YTunnix()
{
    Init(position, colour, resetNames);
}

void YTunnix::Init(const YVector& position, uint32_t colour, bool resetNames)
{
    m_colour = colour;
    const char* key = colour == Blue  ? "Tunnix-tunnix_blue_25--24-0"
                      : colour == Red ? "Tunnix-tunnix_red_50--24-0"
                                      : "Tunnix-tunnix_yellow_100--24-0";
    SetSprite(position, key);
    m_scale = 22.5f;
    if (resetNames) s_nameCounter = 0;
    m_name.Format("Tunnix%02d", s_nameCounter++);
    m_flagsB |= 0x40000;
}

int32_t YTunnix::Points() const { return m_colour == Blue ? 25 : m_colour == Red ? 50 : 100; }

void YTunnix::Touch(YActor* other)
{
    if (IsMarkedForDestruction() || !other || !(other->m_flagsB & FlagPlaneKind)) return;
    YPlane* plane = dynamic_cast<YPlane*>(other);
    if (!plane || plane->m_tunnixCount >= kMaxCarried) return;
    ++plane->m_tunnixCount;
    plane->SetCarried(Points(), -1);
    YActorServices::PlayAt(plane, "Impact:pi-powerup-taken", m_soundNear, m_soundFar);
    if (YGameObjects* engine = YActorServices::Engine()) YActorServices::EmptyEntry(engine->m_tunnixes, this);
    MarkForDestruction();
    YActorServices::VoiceEvent(YActorServices::IsOpponent(plane) ? 19 : 20);
}
