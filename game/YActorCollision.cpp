#include "game/YActorCollision.h"

#include <algorithm>

#include "assets3d/YSMHandle.h"
#include "engine/YGameObjects.h"
#include "game/YPlane.h"
#include "renderer/YTraceResult.h"
#include "world/YActor.h"
#include "world/YActorWorld.h"

namespace {

const float kMaxReach = 20.0f;     // metres a second the sweep reaches ahead
const float kSweepTolerance = 0.1f;
const DWORD kBounceKinds = 0x17;   // hit kinds a player's plane bounces from
const DWORD kKindBits = 0xFF;

YPlane* AsPlane(YActor* actor)
{
    return actor && (actor->m_flagsB & YActor::FlagPlaneKind) ? dynamic_cast<YPlane*>(actor) : nullptr;
}

DWORD TraceMask(const YActor* actor) { return static_cast<DWORD>(static_cast<int16_t>(actor->m_auxShortA)); }

// The struck actor of a hit when it is one of the world's.
YActor* StruckActor(YActorWorld* world, const YTraceResult& hit)
{
    YActor* actor = static_cast<YActor*>(hit.m_hitObject);
    return actor && world->IndexOf(actor) >= 0 ? actor : nullptr;
}

float Clamp(float value, float a, float b) { return std::max(std::min(a, b), std::min(value, std::max(a, b))); }

bool PartPoint(YPlane* plane, const char* group, YVector& point)
{
    YSMHandle* model = plane->GetModelInstance();
    YGameObjects* engine = YGameObjects::Existing();
    return model && engine && engine->ModelPointPosition(plane, model->FindGroup(group), point);
}

// The part's sweep: the part's point moved as the plane moved.
void SweepPart(YPlane* plane, int part, const char* group, const YVector& motion)
{
    YVector point;
    if (!PartPoint(plane, group, point)) return;
    std::fill(plane->m_partHit, plane->m_partHit + YPlane::PartCount, 0);
    plane->m_partHit[part] = 1;
    YVector ahead = point + motion;
    SweepActor(plane, ahead, point);
}

}  // namespace

void CollideActorParts(YActor* actor, const YVector& newPosition, const YVector& oldPosition)
{
    if (!actor) return;
    YVector position = newPosition;
    YPlane* plane = AsPlane(actor);
    if (!plane || (plane->m_botFlown && !plane->m_nearTarget && !plane->IsDown())) {
        SweepActor(actor, position, oldPosition);
    } else {
        if (plane->m_lookAheadSkip) return;
        const YVector motion = newPosition - oldPosition;
        plane->m_motionDirection = motion;
        plane->m_motionDirection.Normalize();
        std::fill(plane->m_partHit, plane->m_partHit + YPlane::PartCount, 0);
        plane->m_partHit[YPlane::PartPropeller] = 1;
        SweepActor(plane, position, oldPosition);
        SweepPart(plane, YPlane::PartLeftWing, "Normal_wing_left", motion);
        SweepPart(plane, YPlane::PartRightWing, "Normal_wing_right", motion);
        if (plane->IsDown()) SweepPart(plane, YPlane::PartTail, "Normal_tail", motion);
    }
    if (position != newPosition) actor->m_position = position;
}

void SweepActor(YActor* actor, YVector& newPosition, const YVector& oldPosition)
{
    YGameObjects* engine = YGameObjects::Existing();
    const float dt = engine ? engine->m_frameTime : 0.0f;
    // Two ticks in one millisecond give a frame of 0: no velocity, no slide.
    const bool timed = dt > 0.0f;
    const YVector move = newPosition - oldPosition;
    const YVector velocity = timed ? move * (1.0f / dt) : YVector();
    YActorWorld* world = actor ? actor->m_world : nullptr;
    if (!world || !(actor->m_flagsA & YActor::FlagCollide)) return;

    YVector reach;
    const bool push = (actor->m_flagsA & YActor::FlagCollidePush) != 0;
    if (timed && (push || (actor->m_flagsA & YActor::FlagExtendSweep))) {
        float length = move.Length();
        if (!push) length = std::min(length, kMaxReach);
        reach = move;
        reach.SetLength(length * dt);
    }
    const YVector lift(0.0f, actor->m_wadeDepth, 0.0f);
    YVector from = newPosition + reach + lift;
    if (world->LineTrace(actor, from, oldPosition + lift, 0.0f, kSweepTolerance, TraceMask(actor))) return;
    const YTraceResult* hit = world->GetTraceHit();
    if (!hit) return;
    const YTraceResult record = *hit;
    actor->Touch(StruckActor(world, record));

    YPlane* plane = AsPlane(actor);
    const bool bounce = (plane && !plane->m_botFlown && plane->m_crashState != YPlane::CrashNoseOverSink &&
                         (record.m_hitCode & kBounceKinds)) ||
                        push;
    if (!bounce) return;
    const YVector far = newPosition + reach;
    YVector contact(record.m_hitPoint[0], record.m_hitPoint[1], record.m_hitPoint[2]);
    contact *= YActorWorld::kMetresPerUnit;
    contact.x = Clamp(contact.x, far.x, oldPosition.x);
    contact.y = Clamp(contact.y, far.y, oldPosition.y);
    contact.z = Clamp(contact.z, far.z, oldPosition.z);
    if (timed) SlideActor(actor, record, contact, velocity, reach, oldPosition, world, dt, true);
    if (!actor->GetParent()) newPosition = contact;
}

void SlideActor(YActor* actor, const YTraceResult& hit, YVector& contact, const YVector& velocity,
                const YVector& motion, const YVector& oldPosition, YActorWorld* world, float dt, bool firstAttempt)
{
    const DWORD kinds = hit.m_hitCode & kKindBits;
    if (!world || (!kinds && !hit.m_side)) return;
    YVector slide;
    if (!kinds) {
        slide = YVector(motion.x, 0.0f, motion.z);
        slide.Normalize();
        slide.Rotate(YVector(0.0f, static_cast<float>(hit.m_side) * -90.0f, 0.0f));
    } else {
        YVector n(hit.m_normal[0], hit.m_normal[1], hit.m_normal[2]);
        n.Normalize();
        YVector heading = velocity;
        n.Rotate(YVector(0.0f, -heading.ToAngles().y, 0.0f));
        const float turn = firstAttempt ? -90.0f : 90.0f;
        if (n.x > 0.2f) {
            slide = n;
            slide.Rotate(YVector(0.0f, turn, 0.0f));
        } else if (n.x < -0.2f) {
            slide = n;
            slide.Rotate(YVector(0.0f, -turn, 0.0f));
        }
    }
    slide.SetLength(velocity.Length() * dt);
    contact = contact - motion + slide;
    world->ClipToSurface(contact, (actor->m_flagsB & YActor::FlagFlying) != 0,
                         (actor->m_flagsA & YActor::FlagClipToGround) != 0,
                         (actor->m_flagsA & YActor::FlagClipToWater) != 0);
    const YVector lift(0.0f, actor->m_wadeDepth, 0.0f);
    YVector from = contact + lift;
    if (world->LineTrace(actor, from, oldPosition + lift, 0.0f, actor->m_aimHeight - actor->m_wadeDepth,
                         TraceMask(actor)))
        return;
    if (firstAttempt)
        SlideActor(actor, hit, contact, velocity, motion, oldPosition, world, dt, false);
    else
        contact = oldPosition;
}
