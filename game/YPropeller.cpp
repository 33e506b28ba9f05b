#include "game/YPropeller.h"

#include <cstdio>

#include "assets3d/YSMHandle.h"
#include "game/YPlane.h"

IMPLEMENT_SERIAL(YPropeller, YSpriteActor, 1)

namespace {
const float kFlipSeconds = 0.1f;
const float kSpinPerLevel = 0.1f;  // degrees a second per engine level
const float kScale = 1.25f;
int s_counter = 0;
}  // namespace

float YPropeller::s_spin = 0.0f;

YPropeller::YPropeller() : YSpriteActor(7) {}

YPropeller::YPropeller(YPlane* plane, const YVector& position, int flip) : YSpriteActor(7)
{
    m_flagsA |= FlagFollowTarget;
    Init(position, flip);
    if (!plane) return;
    plane->AddChild(this);
    if (YSMHandle* model = plane->GetModelInstance()) m_attachGroup = model->FindGroup("Normal_prop");
    m_position = m_angles = m_velocity = YVector();
}

const char* YPropeller::SpriteKey() const
{
    return m_flip ? "Action-propellar01--24-0" : "Action-propellar02--24-0";
}

void YPropeller::Init(const YVector& position, int flip)
{
    m_flip = flip ? 1 : 0;
    m_flipTime = 0.0f;
    SetSprite(position, SpriteKey());
    m_scale = kScale;
    char name[32];
    std::snprintf(name, sizeof name, "Propeller%02d", s_counter++ % 100);
    m_name = name;
}

void YPropeller::Update(float dt)
{
    auto* plane = dynamic_cast<YPlane*>(m_parent);
    if (!plane) return;
    m_angles.z = WrapAngle360(m_angles.z + s_spin);
    s_spin += static_cast<float>(plane->m_engineLevel) * kSpinPerLevel * dt;
    if (s_spin > 360.0f) s_spin -= 360.0f;
    if (m_flipTime <= kFlipSeconds) {
        m_flagsA |= FlagNoMech;
        m_flipTime += dt;
        return;
    }
    m_flipTime = 0.0f;
    SetModel(SpriteKey());
    m_flip ^= 1;
    m_flagsA &= ~FlagNoMech;
}

void YPropeller::Detach()
{
    if (m_parent) m_parent->RemoveChild(this);
    m_flagsA &= ~FlagNoMech;
    m_flagsA |= FlagDestroyMe;
}
