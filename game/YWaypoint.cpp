#include "game/YWaypoint.h"

#include "game/YBotAI.h"
#include "game/YBotPlane.h"

#include "game/YActorServices.h"
#include "game/YPlane.h"

int YWaypoint::s_counter = 0;

namespace {
// The actor a bot chases: its brain's target, or the plane's own target
// field for a bot-flown plane without a brain.
YActor*& BotTarget(YPlane* plane)
{
    YBotPlane* bot = dynamic_cast<YBotPlane*>(plane);
    return bot && bot->GetBrain() ? bot->GetBrain()->m_target : plane->m_target;
}
}  // namespace

namespace {
const char* const kOnImage = "Waypoint-waypoint_on--24-0";
const char* const kOffImage = "Waypoint-waypoint_off--24-0";
const float kRingScale = 40.5f;
const float kPulseScale = 13.5f;
const int32_t kPassPoints = 100;
}  // namespace

YWaypoint::YWaypoint() : YSpriteActor(2), m_active(0), m_index(0), m_state(0), m_timer(0.0f), m_registered(0) {}

YWaypoint::YWaypoint(const YVector& position, int32_t state, const char* key, bool resetNames) : YWaypoint()
{
    m_name = "WayPoint";
    Init(position, state, key, resetNames);
    m_flagsB |= FlagWaypointKind;
}

void YWaypoint::Init(const YVector& position, int32_t state, const char* key, bool resetNames)
{
    m_registered = 0;
    YGameRules* rules = YActorServices::Rules();
    if (s_counter == 0 && rules) {
        rules->m_currentWaypoint = this;
        m_registered = 1;
    }
    m_state = state;
    m_timer = 0.0f;
    m_spriteKey = key && *key ? key : state != 0 ? kOnImage : kOffImage;
    SetSprite(position, m_spriteKey);
    m_scale = kRingScale;
    if (resetNames) s_counter = -1;
    m_active = s_counter == 0 ? 1 : 0;
    m_index = s_counter;
    m_name.Format("Waypoint%02d", s_counter++);
}

void YWaypoint::Update(float dt)
{
    if (!(m_flagsB & FlagWaypointKind)) return;
    YGameRules* rules = YActorServices::Rules();
    if (m_index == 0 && !m_registered && rules) {
        rules->m_currentWaypoint = this;
        m_registered = 1;
    }
    if (m_active && m_state >= 0 && m_timer > kFlashSeconds) {
        m_timer = 0.0f;
        m_state = m_state == 1 ? 0 : 1;
        m_spriteKey = m_state ? kOnImage : kOffImage;
        SetModel(m_spriteKey);
        m_flagsA &= ~FlagNoMech;
    } else if (m_active && m_state < 0 && m_timer > kFlashSeconds) {
        m_timer = 0.0f;
        m_state = m_state == -1 ? -2 : -1;
        m_scale = m_state == -2 ? kPulseScale : kRingScale;
    } else if (m_active) {
        m_flagsA |= FlagNoMech;
        m_timer += dt;
    } else if (m_state < -1) {
        m_state = -1;
        m_scale = kRingScale;
    }
}

YWaypoint* YWaypoint::ByIndex(int index)
{
    YGameObjects* engine = YActorServices::Engine();
    if (!engine || !engine->m_waypoints || index < -1) return nullptr;
    POSITION at = engine->m_waypoints->FindIndex(index + 1);
    return at ? engine->m_waypoints->GetAt(at) : nullptr;
}

int YWaypoint::CourseLength()
{
    YGameObjects* engine = YActorServices::Engine();
    return engine && engine->m_waypoints ? static_cast<int>(engine->m_waypoints->GetCount()) : 0;
}

void YWaypoint::CountLap(YPlane* plane, int length)
{
    if (m_index == 0) ++plane->m_lap;
    else if (plane->m_lap == kLaps && m_index == length - 2) plane->m_raceEnded = 1;
}

void YWaypoint::Touch(YActor* other)
{
    if (!(m_flagsB & FlagWaypointKind)) return;
    YPlane* plane = dynamic_cast<YPlane*>(other);
    if (!plane) return;
    YGameRules* rules = YActorServices::Rules();
    const int n = CourseLength();
    if (rules && rules->m_currentWaypoint == this && plane == YActorServices::LocalPlane()) {
        plane->m_score += kPassPoints;
        YActorServices::PlayAt(this, "Impact:pi-waypoint", m_soundNear, m_soundFar);
        m_active = 0;
        YActorServices::VoiceEvent(5);
        CountLap(plane, n);
        if (rules->m_mode == YGameRules::ModePractice) plane->m_raceEnded = 0;
        YWaypoint* next = this;
        if (plane->m_lap >= kLaps && !rules->m_practice) {
            if (m_index < n - 2) next = ByIndex(m_index + 1);
        } else {
            next = m_index < n - 3 ? ByIndex(m_index + 1) : ByIndex(0);
        }
        rules->m_currentWaypoint = next;
        if (next) next->m_active = 1;
    } else if (plane->m_botFlown && BotTarget(plane) == this) {
        // A bot's next waypoint is its target.
        plane->m_score += kPassPoints;
        YActorServices::VoiceEvent(4);
        CountLap(plane, n);
        if (plane->m_lap >= kLaps) {
            if (m_index < n - 2) BotTarget(plane) = ByIndex(m_index + 1);
        } else {
            BotTarget(plane) = m_index >= n - 3 ? ByIndex(0) : ByIndex(m_index + 1);
        }
    }
}
