#include "game/YSmoke.h"

#include <cstdlib>

IMPLEMENT_SERIAL(YSmoke, YSpriteActor, 1)

namespace {
const float kRenderUnits = 16.0f;
const float kRiseRate = 0.8f;  // metres a second
}  // namespace

void YSmoke::Show(const char* key)
{
    if (m_modelName.Compare(key) != 0) SetModel(key);
}

YSmoke::YSmoke() : YSpriteActor(8) { m_name = "Smoke"; }

YSmoke::YSmoke(const YVector& position, float life, int rises) : YSpriteActor(8)
{
    m_name = "Smoke";
    m_previousPosition = position;
    SetSprite(position, "Action-smoke04--24-0");
    m_life = m_totalLife = life;
    m_rises = rises ? 1 : 0;
}

void YSmoke::Update(float dt)
{
    if (m_life <= 0.0f) {
        MarkForDestruction();
    } else {
        const float p = m_totalLife > 0.0f ? (1.0f - m_life / m_totalLife) * 10.0f : 10.0f;
        if (p > 1.0f) m_scale = p;
        if (p > 8.0f) {
            m_scale *= 2.0f;
            Show("Action-smoke05--24-0");
        } else if (p > 6.0f) {
            Show("Action-smoke01--24-0");
        } else if (p > 4.0f) {
            Show("Action-smoke02--24-0");
        } else if (p > 2.0f) {
            Show("Action-smoke03--24-0");
        }
        m_life -= dt;
    }
    if (m_drift.LengthSquared() < 0.01f) {
        m_drift = YVector(static_cast<float>(rand() % 3 - 1), static_cast<float>(rand() % 3 - 1),
                          static_cast<float>(rand() % 3 - 1));
        if (m_drift.LengthSquared() > 0.0f) m_drift.Normalize();
    }
    m_position += m_drift * (dt / kRenderUnits);
    if (m_rises) m_position.y += kRiseRate * dt;
}
