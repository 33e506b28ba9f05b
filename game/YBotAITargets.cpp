// The bot brain's target update: what to chase for the task (a balloon, a
// ground target, a race waypoint, a power-up, the player's plane, a Tunnix
// ball or a goal) and the aim point the steering reads (the plane's
// vectorA).  Emptied list entries (actors already taken) are skipped.
#include <cstdlib>

#include "engine/YGameObjects.h"
#include "game/YActorServices.h"
#include "game/YBotAI.h"
#include "game/YGameActors.h"
#include "game/YPlane.h"
#include "world/YGameRules.h"

namespace {

const DWORD kSightMask = 0x5D;
const DWORD kDetourMask = 0x15B;
const int kKeepRange = 50;
const int kSearchRange = 350;
const int kBallsToBank = 5;

bool IsPlaneActor(const YActor* actor) { return actor && (actor->m_flagsB & YActor::FlagPlaneKind); }

// A power-up lying in the world to be taken.
bool IsAvailable(const YPowerUp* p) { return p && !p->m_owner && (p->m_flagsA & YActor::FlagVisible); }

template <class List>
bool InList(List* list, const YActor* actor)
{
    if (!list || !actor) return false;
    for (POSITION at = list->GetHeadPosition(); at;)
        if (list->GetNext(at) == actor) return true;
    return false;
}

// The scan of the nearest-of-list search.  A candidate counts with its
// squared distance when it qualifies; the first live entry is the starting
// best unless strict.
template <class List, class Qualifies>
YActor* Scan(List* list, const YActor* plane, Qualifies qualifies, bool strict)
{
    YActor* best = nullptr;
    float bestDist = YBotAI::kFar;
    if (!list) return nullptr;
    for (POSITION at = list->GetHeadPosition(); at;) {
        YActor* candidate = list->GetNext(at);
        if (!candidate) continue;
        const float d = qualifies(candidate) ? plane->m_position.DistanceSquared(candidate->m_position) : YBotAI::kFar;
        if ((d < bestDist && d > 1.0f) || (!strict && !best)) {
            best = candidate;
            bestDist = d;
        }
    }
    return best;
}

template <class List>
YActor* FirstLive(List* list)
{
    if (!list) return nullptr;
    for (POSITION at = list->GetHeadPosition(); at;)
        if (YActor* actor = list->GetNext(at)) return actor;
    return nullptr;
}

}  // namespace

void YBotAI::UpdateTarget()
{
    if (!m_plane) return;
    YPlane* plane = FlownPlane();
    if (plane && plane->m_flashed) {
        if (m_task == TaskAirRace && !m_savedTarget && GetTarget() != m_plane) m_savedTarget = GetTarget();
        SetTarget(m_plane);
        m_plane->m_vectorA = m_plane->m_position;
        m_altitude = HeightAboveGround(m_plane);
        return;
    }
    if (m_task == TaskAirRace && GetTarget() == m_plane && m_savedTarget) {
        SetTarget(m_savedTarget);
        m_savedTarget = nullptr;
    }
    YActor* previous = GetTarget();
    switch (m_task) {
    case TaskBalloonDrop: ChooseBalloonDrop(); break;
    case TaskDogfight: ChooseDogfight(); break;
    case TaskTunnix: ChooseTunnix(); break;
    default: ChooseAirRace(); break;
    }
    EndChoice(previous);
    m_altitude = HeightAboveGround(m_plane);
}

void YBotAI::EndChoice(YActor* previous)
{
    YActor* target = GetTarget();
    if (!target) SetTarget(target = m_plane);
    if (target != m_plane) {
        if (m_task != TaskBalloonDrop) {
            m_targetAltitude = HeightAboveGround(target);
        } else if (target != previous) {
            m_targetAltitude = HeightAboveGround(target);
            m_released = 0;
        }
    }
    m_plane->m_vectorA = target->m_position;
    if (m_task == TaskBalloonDrop && RulesState() == YGameRules::StateSecondRun && target != m_plane)
        m_plane->m_vectorA.y += 5.0f;
}

void YBotAI::ChooseBalloonDrop()
{
    const int state = RulesState();
    if (state == YGameRules::StateRun)
        SetTarget(NearestBalloon());
    else if (state == YGameRules::StateSecondRun)
        SetTarget(NearestTarget());
    else
        SetTarget(nullptr);
}

void YBotAI::ChooseAirRace()
{
    YPlane* plane = FlownPlane();
    bool detour = false;
    if ((plane && !plane->m_heldPowerUp) || m_savedTarget) detour = PowerUpDetour();
    YActor* target = GetTarget();
    if (detour || (target && target != m_plane)) return;
    if (!m_savedTarget) {
        YGameObjects* engine = YGameObjects::Existing();
        YWaypointList* course = engine ? engine->m_waypoints : nullptr;
        YActor* second = nullptr;
        if (course && course->GetCount() >= 2) second = course->GetAt(course->FindIndex(1));
        SetTarget(second);
    } else {
        SetTarget(m_savedTarget);
        m_savedTarget = nullptr;
    }
}

void YBotAI::ChooseDogfight()
{
    YPlane* plane = FlownPlane();
    if (!plane) return;
    if (!PowerUpDetour()) {
        YActor* target = GetTarget();
        if (!target || target == m_plane || !IsPlaneActor(target)) {
            YPlane* local = YActorServices::LocalPlane();
            SetTarget(plane->m_ammo >= 1 ? (local != plane ? local : nullptr) : NearestAmmo());
        } else if (plane->m_ammo < 1) {
            SetTarget(NearestAmmo());
        }
    }
    if (m_skill > 1) return;
    YActor* target = GetTarget();
    const int h = plane->m_hitCount;
    const int r = rand() % 100;
    if (target && (target->m_flagsB & YActor::FlagPowerUpKind)) return;
    const bool drop = h == 0 || (h == 1 && r < 60) || (h == 2 && r < 40) || (h == 3 && r < 20) || (h == 4 && r == 0);
    if (drop) SetTarget(m_plane);
}

void YBotAI::ChooseTunnix()
{
    YPlane* plane = FlownPlane();
    if (!plane) return;
    if (!plane->m_heldPowerUp && PowerUpDetour()) return;
    if (plane->m_tunnixCount >= kBallsToBank) {
        SetTarget(NearestGoal());
        return;
    }
    YActor* b = NearestTunnix();
    if (!b) b = NearestGoal();
    const YPowerUp* held = dynamic_cast<const YPowerUp*>(plane->m_heldPowerUp);
    YPlane* local = YActorServices::LocalPlane();
    if (local == plane) local = nullptr;
    if (held && held->m_type == YPowerUp::StealTunnix && IsPlaneActor(local)) {
        const bool nearer = b && plane->m_position.DistanceSquared(local->m_position) <
                                     plane->m_position.DistanceSquared(b->m_position);
        SetTarget(!b || (nearer && local->m_tunnixCount > 1) ? local : b);
    } else {
        SetTarget(b);
    }
}

bool YBotAI::PowerUpDetour()
{
    YGameObjects* engine = YGameObjects::Existing();
    YActor* target = GetTarget();
    if (target && target != m_plane && !m_savedTarget) m_savedTarget = target;
    YPowerUpList* list = engine ? engine->m_powerUps : nullptr;
    const int range = static_cast<int>(m_plane->m_position.FastDistance(m_plane->m_vectorA) * 0.5f);
    for (POSITION at = list ? list->GetHeadPosition() : nullptr; at;) {
        YPowerUp* p = list->GetNext(at);
        if (!IsAvailable(p)) continue;
        if (p == target) return true;
        const YVector aim = AimAngles(m_plane->m_position, m_plane->m_angles, p->m_position);
        if (aim.x > -10.0f && aim.x < 10.0f && aim.y > -20.0f && aim.y < 20.0f &&
            Sees(p, range, kDetourMask)) {
            SetTarget(p);
            return true;
        }
    }
    if (m_savedTarget == GetTarget())
        m_savedTarget = nullptr;
    else
        SetTarget(nullptr);
    return false;
}

// ---------------------------------------------------------------- nearest-of-list searches

YActor* YBotAI::NearestBalloon()
{
    YGameObjects* engine = YGameObjects::Existing();
    YBalloonList* list = engine ? engine->m_balloons : nullptr;
    YActor* target = GetTarget();
    if (InList(list, target) && Sees(target, kKeepRange, kSightMask)) return target;
    bool anyVisible = false;
    for (POSITION at = list ? list->GetHeadPosition() : nullptr; at && !anyVisible;) {
        YActor* b = list->GetNext(at);
        anyVisible = b && Sees(b, kSearchRange, kSightMask);
    }
    return Scan(list, m_plane, [&](YActor* b) { return !anyVisible || Sees(b, kSearchRange, kSightMask); },
                false);
}

YActor* YBotAI::NearestTunnix()
{
    YGameObjects* engine = YGameObjects::Existing();
    YTunnixList* list = engine ? engine->m_tunnixes : nullptr;
    YActor* target = GetTarget();
    if (InList(list, target) && Sees(target, kKeepRange, kSightMask)) return target;
    bool anyVisible = false;
    for (POSITION at = list ? list->GetHeadPosition() : nullptr; at && !anyVisible;) {
        YActor* t = list->GetNext(at);
        anyVisible = t && Sees(t, kSearchRange, kSightMask);
    }
    return Scan(list, m_plane, [&](YActor* t) { return !anyVisible || Sees(t, kSearchRange, kSightMask); },
                false);
}

YActor* YBotAI::NearestTarget()
{
    YGameObjects* engine = YGameObjects::Existing();
    YTargetList* list = engine ? engine->m_targets : nullptr;
    auto open = [&](YActor* actor) {
        const YTarget* t = static_cast<const YTarget*>(actor);
        return !t->m_hitByBot && SeesPoint(t->m_position, kKeepRange, kSightMask);
    };
    YActor* target = GetTarget();
    if (InList(list, target) && open(target)) return target;
    YActor* best = Scan(list, m_plane,
                        [&](YActor* actor) {
                            const YTarget* t = static_cast<const YTarget*>(actor);
                            return !t->m_hitByBot && SeesPoint(t->m_position, kSearchRange, kSightMask);
                        },
                        true);
    return best ? best : FirstLive(list);
}

YActor* YBotAI::NearestGoal()
{
    YGameObjects* engine = YGameObjects::Existing();
    YGoalList* list = engine ? engine->m_goals : nullptr;
    YActor* target = GetTarget();
    if (InList(list, target) && Sees(target, kKeepRange, kSightMask)) return target;
    YActor* best =
        Scan(list, m_plane, [&](YActor* g) { return Sees(g, kSearchRange, kSightMask); }, false);
    return best ? best : FirstLive(list);
}

YActor* YBotAI::NearestAmmo()
{
    YGameObjects* engine = YGameObjects::Existing();
    YPowerUpList* list = engine ? engine->m_powerUps : nullptr;
    YActor* target = GetTarget();
    if (InList(list, target) && IsAvailable(static_cast<YPowerUp*>(target)) &&
        Sees(target, kKeepRange, kSightMask))
        return target;
    auto visible = [&](YActor* actor) {
        return IsAvailable(static_cast<YPowerUp*>(actor)) && Sees(actor, kSearchRange, kSightMask);
    };
    auto ammo = [&](YActor* actor) { return static_cast<YPowerUp*>(actor)->m_type == YPowerUp::BBAmmo && visible(actor); };
    YActor* best = Scan(list, m_plane, ammo, false);
    if (best && ammo(best)) return best;
    return Scan(list, m_plane, visible, false);
}
