#include "world/YMechanicalUpdater.h"

#include <cmath>

#include "assets3d/YSMHandle.h"
#include "engine/YGameObjects.h"
#include "renderer/YParser.h"

IMPLEMENT_DYNCREATE(YMechanicalUpdater, YActorWorldUpdater)

namespace {
const float kMaxStep = 10.0f;     // seconds a frame may move an actor
const float kBigSlice = 1.0f;
const float kSmallSlice = 0.1f;
const float kSteepDown = -0.4f;   // metres of drop a metre
const uint32_t kStopMask = YActor::FlagNoMech | YActor::FlagNoUpdates;

// Runs body over dt, cut into slices when asked: 1 s slices while more than
// a second is left, then 0.1 s slices; the body takes the rest.
template <class Step, class Body>
void Slice(YActor* actor, float dt, uint8_t subdivide, Step step, Body body)
{
    if (actor->m_flagsA & kStopMask) return;
    if (!std::isfinite(dt)) return;
    if (std::fabs(dt) > kMaxStep) dt = dt < 0.0f ? -kMaxStep : kMaxStep;
    if (subdivide || (actor->m_flagsA & YActor::FlagItterative)) {
        while (std::fabs(dt) > kSmallSlice) {
            float slice = std::fabs(dt) > kBigSlice ? kBigSlice : kSmallSlice;
            if (dt < 0.0f) slice = -slice;
            step(slice);
            dt -= slice;
        }
    }
    body(dt);
}
}  // namespace

YMechanicalUpdater::YMechanicalUpdater() : YActorWorldUpdater("Mech"), m_gravity(kDefaultGravity), m_margin(kDefaultMargin)
{
    BuildSlopeTable();
}

YMechanicalUpdater::YMechanicalUpdater(float gravity, float margin) : YMechanicalUpdater()
{
    m_gravity = gravity;
    m_margin = margin;
}

void YMechanicalUpdater::BuildSlopeTable()
{
    for (int i = 0; i < kSlopeEntries; ++i) {
        const double a = std::asin(i * 0.01) * 180.0 * 0.3183099524062959;
        m_slope[i] = a < 80.0 ? (1.0 - a * 0.0125) * (1.0 - a * 0.0125) : 0.0;
    }
}

uint32_t YMechanicalUpdater::Update(YActorWorld* world, float dt)
{
    return Walk(world, [&](YActor* actor) {
        actor->ResolvePendingAttachments();
        actor->DrawDecals();
        if (!(actor->m_flagsA & kStopMask)) MoveActor(actor, dt, 0);
        ++actor->m_transformStamp;
    });
}

void YMechanicalUpdater::MoveActor(YActor* actor, float dt, uint8_t subdivide)
{
    StepOrientation(actor, dt, subdivide);
    StepPosition(actor, dt, subdivide);
}

void YMechanicalUpdater::StepOrientation(YActor* actor, float dt, uint8_t subdivide)
{
    Slice(
        actor, dt, subdivide, [&](float slice) { StepOrientation(actor, slice, 0); },
        [&](float rest) { OrientationBody(actor, rest); });
}

void YMechanicalUpdater::StepPosition(YActor* actor, float dt, uint8_t subdivide)
{
    Slice(
        actor, dt, subdivide, [&](float slice) { StepPosition(actor, slice, 0); },
        [&](float rest) { PositionBody(actor, rest); });
}

void YMechanicalUpdater::OrientationBody(YActor* actor, float dt)
{
    if (actor->m_vectorB.LengthSquared() > 0.001f) {
        actor->m_angles += actor->m_vectorB * dt;
        actor->m_angles.WrapAngles360();
        actor->ApplyAngleLocks();
    }
    if (YSMHandle* model = actor->GetModelInstance()) {
        if (dt > 0.0f) {
            const float s = actor->m_auxFloatC * actor->m_speedPercent * actor->m_velocity.Length();
            model->UpdateAnimations(s > 0.0f ? s * dt : dt * actor->m_speedPercent);
        }
    }
    if (actor->m_flagsA & YActor::FlagOrientVelocity) {
        actor->m_velocity = actor->m_angles.FromAngles() * actor->m_velocity.Length();
    } else if ((actor->m_flagsA & YActor::FlagFaceVelocity) && actor->m_velocity.LengthSquared() > 0.0001f) {
        YVector direction = actor->m_velocity;
        actor->m_angles = direction.ToAngles();
    }
    if (actor->m_flagsA & YActor::FlagFollowTarget) TurnToTarget(actor, actor->m_vectorA, actor->m_auxFloatD, dt);
}

void YMechanicalUpdater::TurnToTarget(YActor* actor, const YVector& target, float rate, float dt)
{
    if (target.LengthSquared() <= 0.0001f || target.DistanceSquared(actor->m_position) <= 0.0001f) return;
    YVector to = target - actor->m_position;
    to.Normalize();
    YVector forward = actor->m_angles.FromAngles();
    if (!(forward != to)) return;
    forward.TurnTowards(to, rate, dt);
    const YVector turned = forward.ToAngles();
    actor->m_angles.x = turned.x;
    actor->m_angles.y = turned.y;
}

void YMechanicalUpdater::PositionBody(YActor* actor, float dt)
{
    YActorWorld* world = actor->m_world;
    YParser* scene = world ? world->m_scene : nullptr;
    if (dt > 0.0f && actor->m_acceleration.LengthSquared() > 0.0001f) actor->m_velocity += actor->m_acceleration * dt;
    YVector displacement = actor->m_velocity;
    ApplySlope(scene, actor, displacement);
    if (displacement.LengthSquared() > 0.0001f) actor->m_position += displacement * dt;
    else actor->m_speedPercent = 1.0f;
    if (actor->m_flagsA & YActor::FlagClipToWorld) ClampToMap(actor->m_position, m_margin);
    // The ground is sampled where the actor is now, not where it was cached.
    actor->m_cachedStamp = -1;
    if (world && !(actor->m_flagsB & YActor::FlagPlaneKind)) {
        world->ClipActorToSurface(actor);
        actor->m_cachedStamp = -1;
        YActorWorld::GroundSample sample;
        world->SampleUnder(actor, sample);
        const double contact = static_cast<double>(actor->m_wadeDepth) * actor->m_auxFloatA;
        bool onGround = actor->m_position.y - sample.ground < contact;
        if (actor->m_flagsA & YActor::FlagClipToWater) onGround = actor->m_position.y - sample.water < contact;
        if (onGround) actor->m_flagsB |= YActor::FlagOnGround;
        else actor->m_flagsB &= ~YActor::FlagOnGround;
    }
    if (actor->m_flagsB & YActor::FlagFalling) {
        const bool light = (actor->m_flagsB & YActor::FlagLightFallKind) && !(actor->m_flagsB & YActor::FlagHeavyKind);
        actor->m_velocity.y -= m_gravity * (light ? 0.25f : 1.0f) * dt;
    }
    if (world) world->MoveActor(actor, actor->m_position);
}

void YMechanicalUpdater::ApplySlope(YParser* scene, YActor* actor, YVector& displacement)
{
    YActorWorld* world = actor->m_world;
    if (!(actor->m_flagsB & YActor::FlagOnGround) || !world || actor->GetParent() ||
        !(actor->m_flagsB & YActor::FlagSlopeEffect) || !scene)
        return;
    YVector d(displacement.x, 0.0f, displacement.z);
    if (!(d.LengthSquared() > 0.001f)) {
        d = actor->m_angles.FromAngles();
        d.y = 0.0f;
    }
    d.SetLength(1.0f);
    YActorWorld::GroundSample sample;
    world->SampleAtPoint(actor->m_previousPosition + d, sample);
    double height = sample.ground;
    if ((actor->m_flagsA & YActor::FlagClipToWater) && sample.water > height) height = sample.water;
    const float rise = static_cast<float>(height - actor->m_previousPosition.y);
    actor->m_speedPercent = 1.0f;
    if (rise >= 1.0f) {
        displacement = YVector();
        actor->m_speedPercent = 0.0f;
    } else if (rise > 0.0f) {
        const float f = static_cast<float>(m_slope[static_cast<int>(rise * 100.0f)]);
        actor->m_speedPercent = f;
        displacement *= f;
    } else if (rise > -1.0f && rise < kSteepDown && !(actor->m_flagsB & YActor::FlagCrouching)) {
        YVector down(d.x, rise, d.z);
        down.Normalize();
        displacement += down * static_cast<float>(1.0 - m_slope[static_cast<int>(rise * -100.0f)]);
    } else if (rise < -1.0f) {
        YVector down(d.x, rise, d.z);
        down.Normalize();
        displacement += down;
    }
}

void ClampToMap(YVector& position, float margin)
{
    YGameObjects* engine = YGameObjects::Existing();
    YParser* scene = engine ? engine->m_renderer : nullptr;
    if (!scene || scene->GetSessionMode() != 2) return;
    const float width = scene->GetGridWidth() * scene->GetCellSize();
    const float height = scene->GetGridHeight() * scene->GetCellSize();
    if (position.x < margin) position.x = margin;
    if (position.x > width - margin) position.x = width - margin;
    if (position.z < margin) position.z = margin;
    if (position.z > height - margin) position.z = height - margin;
}
