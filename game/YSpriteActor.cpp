#include "game/YSpriteActor.h"

#include "engine/YGameObjects.h"
#include "world/YActorWorld.h"

IMPLEMENT_SERIAL(YSpriteActor, YActor, 1)

YSpriteActor::YSpriteActor(uint32_t mode) : m_orientation(mode), m_soundNear(25), m_soundFar(400) {}

YRenderInstance* YSpriteActor::BuildRenderInstance()
{
    RenderSprite();
    return YActor::BuildRenderInstance();
}

void YSpriteActor::SetSprite(const YVector& position, const char* key)
{
    m_position = position;
    YGameObjects* engine = YGameObjects::Existing();
    m_world = engine ? engine->m_world : nullptr;
    SetModel(key);
    if (m_world) m_world->AddActor(this, 1, -1);
    m_flagsB |= FlagFlying;
    m_flagsA &= ~FlagPitchToSlope;
    m_flagsA |= FlagSpriteActor | FlagNoMech;
    Relocate();
}

void YSpriteActor::Relocate()
{
    if (m_world) m_world->UpdateActorCell(this);
    BuildRenderInstance();
}

void YSpriteActor::RenderSprite()
{
    YActor* view = m_world ? m_world->GetViewActor() : nullptr;
    if (!view) return;
    YVector viewPosition, viewAngles;
    view->GetWorldTransform(viewPosition, viewAngles);
    YVector direction = m_position - viewPosition;
    direction.Normalize();
    const YVector toward = direction.ToAngles();
    switch (m_orientation) {
    case 0: case 1: case 2: case 4: case 5: case 6: case 8: case 10:
        m_angles = YVector(-viewAngles.x, toward.y, 0.0f);
        break;
    case Upright:
        m_angles = YVector(0.0f, toward.y, 0.0f);
        break;
    default:
        break;  // the actor orients itself
    }
}
