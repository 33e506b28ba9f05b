// The "Mech" pass: moves every actor by its angular velocity, acceleration,
// gravity and velocity, turns it toward its velocity or a target, slows it
// on slopes, sets its on-ground bit, keeps it inside the map and hands the
// new position to the world.
#pragma once

#include "world/YActorWorldUpdater.h"

class YParser;

class YMechanicalUpdater : public YActorWorldUpdater {
    DECLARE_DYNCREATE(YMechanicalUpdater)
public:
    enum { kSlopeEntries = 100 };
    static constexpr float kDefaultGravity = 30.0f;
    static constexpr float kDefaultMargin = 48.0f;

    YMechanicalUpdater();
    YMechanicalUpdater(float gravity, float margin);

    uint32_t Update(YActorWorld* world, float dt) override;
    // Orientation, then position; subdivide cuts dt into slices.
    virtual void MoveActor(YActor* actor, float dt, uint8_t subdivide);

    void StepOrientation(YActor* actor, float dt, uint8_t subdivide);
    void StepPosition(YActor* actor, float dt, uint8_t subdivide);
    void ApplySlope(YParser* scene, YActor* actor, YVector& displacement);
    void TurnToTarget(YActor* actor, const YVector& target, float rate, float dt);

    // Speed factor on an uphill of i centimetres a metre.
    double m_slope[kSlopeEntries];
    float m_gravity;
    float m_margin;

private:
    void BuildSlopeTable();
    void OrientationBody(YActor* actor, float dt);
    void PositionBody(YActor* actor, float dt);
};

// Keeps x and z margin inside the map of the engine's renderer (metres).
void ClampToMap(YVector& position, float margin);
