#include "game/YBalloon.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "game/YActorServices.h"
#include "game/YBalloonString.h"
#include "game/YPlane.h"
#include "world/YActorWorld.h"

int YBalloon::s_nameCounter = 0;

namespace {
const char* SpriteOf(uint32_t colour)
{
    switch (colour) {
    case YBalloon::Blue: return "Balloon-balloonblue--24-0";
    case YBalloon::Orange: return "Balloon-balloonorange--24-0";
    default: return "Balloon-balloonred--24-0";
    }
}
// The rules' phase in which pops count.
const int kRulesRunning = 2;
}  // namespace

YBalloon::YBalloon() : m_string(nullptr), m_colour(Blue), m_lastPlane(nullptr), m_life(0.0f), m_timed(0) {}

YBalloon::YBalloon(YActor* plane, const YVector& position, uint32_t colour, bool resetNames, float life) : YBalloon()
{
    Init(position, colour, resetNames);
    m_flagsB |= 0x80000;
    m_lastPlane = plane;
    m_life = life;
    m_timed = life > 0.0f ? 1 : 0;
}

void YBalloon::Init(const YVector& position, uint32_t colour, bool resetNames)
{
    m_colour = colour;
    SetSprite(position, SpriteOf(colour));
    if (resetNames) s_nameCounter = 0;
    m_name.Format("Balloon%02d", s_nameCounter++);
    m_wanderTarget = m_driftGoal = position;
    m_scale = 13.5f;
    m_string = new YBalloonString(YVector(position.x, position.y - kStringDrop, position.z));
    m_string->m_balloon = this;
}

bool YBalloon::Reached(const YVector& point) const
{
    const float speed2 = m_velocity.LengthSquared();
    if (speed2 < 0.0001f) return true;
    const float reach = std::max(0.375f * std::sqrt(speed2), 0.01f);
    return m_position.DistanceSquared(point) <= reach * reach;
}

bool YBalloon::IsHome() { return Reached(m_driftGoal); }

void YBalloon::Update(float dt)
{
    if (m_timed) {
        if (m_life <= 0.0f) {
            if (!IsMarkedForDestruction()) Pop();
            return;
        }
        m_life -= dt;
    }
    YSpriteActor::Update(dt);

    const float ground = m_world ? m_world->TerrainHeightAt(m_position.x, m_position.z) : 0.0f;
    const float above = m_position.y - ground;
    bool low = false, high = false;
    if (above < kLowest && m_velocity.y < 0.0f) {
        m_wanderTarget = m_position;
        low = true;
    } else if (above > kHighest && m_velocity.y > 0.0f) {
        m_wanderTarget = m_position;
        high = true;
    }

    if (!Reached(m_wanderTarget)) {
        m_position += m_velocity;
        Relocate();
        if (m_string) {
            m_string->m_position += m_velocity;
            m_string->Relocate();
        }
        return;
    }
    YVector next(m_position.x + static_cast<float>(rand() % 3 - 1), 0.0f,
                 0.0f);
    if (low) next.y = m_position.y + 1.0f;
    else if (high) next.y = m_position.y - 1.0f;
    else next.y = m_position.y + static_cast<float>(rand() % 3 - 1);
    next.z = m_position.z + static_cast<float>(rand() % 3 - 1);
    m_wanderTarget = m_driftGoal = next;
    static const float kSlowness[3] = {64.0f, 128.0f, 256.0f};
    YVector velocity = next - m_position;
    velocity.Normalize();
    m_velocity = velocity / kSlowness[rand() % 3];
}

void YBalloon::Touch(YActor* other)
{
    if (!other || other == m_lastPlane) return;
    YPlane* plane = dynamic_cast<YPlane*>(other);
    if (!plane) return;
    m_lastPlane = plane;
    YGameRules* rules = YActorServices::Rules();
    if (rules && rules->m_state == kRulesRunning) {
        ++plane->m_balloons;
        YActorServices::VoiceEvent(YActorServices::IsOpponent(plane) ? 12 : 13);
    }
    if (!IsMarkedForDestruction()) Pop();
}

void YBalloon::Pop()
{
    YActor* at = m_lastPlane ? m_lastPlane : YActorServices::LocalPlane();
    YActorServices::PlayAt(at, "Impact:pi-powerup-taken", m_soundNear, m_soundFar);
    if (YGameObjects* engine = YActorServices::Engine()) YActorServices::EmptyEntry(engine->m_balloons, this);
    MarkForDestruction();
    if (m_string) {
        m_string->m_flagsB |= FlagFalling;
        m_string->m_flagsA &= ~FlagNoMech;
        m_string->m_balloon = nullptr;
    }
}

void YBalloon::ForgetActor(YActor* actor)
{
    YSpriteActor::ForgetActor(actor);
    if (!actor) return;
    if (m_lastPlane == actor) m_lastPlane = nullptr;
    if (static_cast<YActor*>(m_string) == actor) m_string = nullptr;
}
