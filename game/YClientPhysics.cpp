#include "game/YClientPhysics.h"

#include "game/YClientInfo.h"

IMPLEMENT_DYNCREATE(YClientPhysics, CObject)

namespace {

// The fields the rows give, in row order (field 21 is never set).
float YClientPhysics::* const kRowFields[] = {
    &YClientPhysics::m_bankYawFactor,    &YClientPhysics::m_speedScale,      &YClientPhysics::m_rollAccel,
    &YClientPhysics::m_pitchAccel,       &YClientPhysics::m_yawAccel,        &YClientPhysics::m_maxPitchRate,
    &YClientPhysics::m_maxRollRate,      &YClientPhysics::m_maxYawRate,      &YClientPhysics::m_topAirSpeed,
    &YClientPhysics::m_topGroundSpeed,   &YClientPhysics::m_groundAccel,     &YClientPhysics::m_airAccel,
    &YClientPhysics::m_groundBrake,      &YClientPhysics::m_airBrake,        &YClientPhysics::m_reserved15,
    &YClientPhysics::m_stallSpeed,       &YClientPhysics::m_minControlSpeed, &YClientPhysics::m_fullControlSpeed,
    &YClientPhysics::m_liftOffSpeed,     &YClientPhysics::m_taxiSteerSpeed,  &YClientPhysics::m_reserved22,
    &YClientPhysics::m_steerStartSpeed,  &YClientPhysics::m_steerFullSpeed,  &YClientPhysics::m_reserved25,
    &YClientPhysics::m_reserved26,       &YClientPhysics::m_pitchRange,      &YClientPhysics::m_yawRange,
    &YClientPhysics::m_rollRange,        &YClientPhysics::m_range30,         &YClientPhysics::m_range31,
    &YClientPhysics::m_reserved32,
};
const int kFieldCount = sizeof(kRowFields) / sizeof(kRowFields[0]);

// Row 0 is the default, rows 1..5 the presets 0..4.
const float kRows[YClientPhysics::PresetCount + 1][kFieldCount] = {
    // bank  scale roll  pitch yaw  mPit  mRoll mYaw topA topG gAcc aAcc  gBrk aBrk r15  stall minC  fullC liftO taxi r22  stSt stFu r25  r26  pitchR yawR   rollR  r30    r31    r32
    {0.25f, 1.0f, 35.0f, 10.0f, 5.0f, 10.0f, 50.0f, 1.0f, 7.5f, 3.0f, 1.0f, 0.25f, 5.0f, 2.0f, 1.0f, 2.0f, 2.7f, 5.0f, 2.2f, 1.0f, 2.5f, 0.2f, 6.0f, 0.5f, 0.5f, 360.0f, 360.0f, 360.0f, 360.0f, 360.0f, -1.0f},
    {0.25f, 1.0f, 35.0f, 10.0f, 5.0f, 10.0f, 50.0f, 1.0f, 7.5f, 3.0f, 1.0f, 0.25f, 5.0f, 2.0f, 1.0f, 2.0f, 2.7f, 3.1f, 2.2f, 1.0f, 2.0f, 0.2f, 6.0f, 0.5f, 0.5f, 360.0f, 360.0f, 360.0f, 360.0f, 360.0f, -1.0f},
    {0.25f, 1.0f, 35.0f, 10.0f, 5.0f, 10.0f, 52.0f, 1.0f, 9.0f, 4.0f, 1.5f, 0.3f, 4.5f, 1.5f, 1.0f, 3.5f, 3.9f, 4.4f, 2.5f, 1.0f, 3.5f, 0.2f, 6.0f, 0.3f, 0.3f, 360.0f, 360.0f, 360.0f, 360.0f, 360.0f, -1.0f},
    {0.25f, 1.0f, 35.0f, 10.0f, 5.0f, 13.0f, 53.0f, 1.0f, 7.5f, 3.0f, 0.8f, 0.25f, 5.0f, 2.0f, 1.0f, 2.0f, 2.7f, 3.1f, 2.2f, 1.0f, 2.0f, 0.2f, 6.0f, 0.5f, 0.5f, 360.0f, 360.0f, 360.0f, 360.0f, 360.0f, -1.0f},
    {0.3f,  1.0f, 35.0f, 10.0f, 5.0f, 14.0f, 52.0f, 1.0f, 7.0f, 3.0f, 0.7f, 0.2f, 5.5f, 2.3f, 1.0f, 1.0f, 2.7f, 3.1f, 2.2f, 1.0f, 2.0f, 0.2f, 6.0f, 0.6f, 0.6f, 360.0f, 360.0f, 360.0f, 360.0f, 360.0f, -1.0f},
    {0.25f, 1.0f, 35.0f, 10.0f, 5.0f, 10.0f, 50.0f, 1.0f, 8.0f, 3.5f, 1.3f, 0.25f, 5.0f, 2.0f, 1.0f, 2.5f, 3.2f, 3.6f, 2.2f, 1.0f, 2.5f, 0.2f, 6.0f, 0.7f, 0.7f, 360.0f, 360.0f, 360.0f, 360.0f, 360.0f, -1.0f},
};

// The fields a speed scale multiplies.
float YClientPhysics::* const kScaledFields[] = {
    &YClientPhysics::m_topAirSpeed,     &YClientPhysics::m_topGroundSpeed,   &YClientPhysics::m_groundAccel,
    &YClientPhysics::m_reserved15,      &YClientPhysics::m_stallSpeed,       &YClientPhysics::m_minControlSpeed,
    &YClientPhysics::m_fullControlSpeed, &YClientPhysics::m_liftOffSpeed,    &YClientPhysics::m_taxiSteerSpeed,
    &YClientPhysics::m_reserved22,      &YClientPhysics::m_steerStartSpeed,  &YClientPhysics::m_steerFullSpeed,
};

}  // namespace

YClientPhysics::YClientPhysics()
{
    SetRow(0);
}

YClientPhysics::YClientPhysics(int preset)
{
    SetRow(preset >= 0 && preset < PresetCount ? preset + 1 : 0);
}

void YClientPhysics::SetRow(int row)
{
    for (int i = 0; i < kFieldCount; ++i) this->*kRowFields[i] = kRows[row][i];
}

void YClientPhysics::SetSpeedScale(float scale)
{
    m_speedScale = scale;
    for (float YClientPhysics::*field : kScaledFields) this->*field *= scale;
}

void YClientPhysics::Step(YClientInfo* record, float dt, bool subdivide)
{
    if (!record || !record->m_active) return;
    if (subdivide) {
        while (dt > 0.1f) {
            const float step = dt > 1.0f ? 1.0f : 0.1f;
            Step(record, step, false);
            dt -= step;
        }
    }
    BeforeStep(record, dt);
    StepOnce(record, dt);
    AfterStep(record, dt);
}

void YClientPhysics::SizeArray(YClientPhysicsArray& blocks, int count)
{
    for (int i = count; i < blocks.GetSize(); ++i) delete blocks[i];
    const int kept = static_cast<int>(blocks.GetSize());
    blocks.SetSize(count);
    for (int i = kept; i < count; ++i) blocks[i] = new YClientPhysics;
}
