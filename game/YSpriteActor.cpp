#include "game/YSpriteActor.h"

#include "engine/YGameObjects.h"
#include "world/YActorWorld.h"

IMPLEMENT_SERIAL(YSpriteActor, YActor, 1)

YSpriteActor::YSpriteActor() : YSpriteActor(FaceCamera) {}

YSpriteActor::YSpriteActor(uint32_t orientation) : m_orientation(orientation) {}

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
    YActor::SetModel(key);
    if (m_world) m_world->AddActor(this, 1, -1);
    m_flagsB |= FlagFlying;
    m_flagsA &= ~FlagPitchToSlope;
    m_flagsA |= FlagSpriteActor | FlagNoMech;
}

void YSpriteActor::RenderSprite()
{
    YActor* view = m_world ? m_world->GetViewActor() : nullptr;
    if (!view || view == this) return;
    YVector eye, eyeAngles;
    view->GetWorldTransform(eye, eyeAngles);
    YVector direction = m_position - eye;
    direction.Normalize();
    const YVector toward = direction.ToAngles();
    switch (m_orientation) {
    case 0: case 1: case 2: case 4: case 5: case 6: case 8: case 10:
        m_angles = YVector(WrapAngle360(-eyeAngles.x), toward.y, 0.0f);
        break;
    case Upright: m_angles = YVector(0.0f, toward.y, 0.0f); break;
    default: break;  // the actor orients itself
    }
}
