#include <gtest/gtest.h>

#include <vector>

#include "game/YClientInfo.h"
#include "game/YClientPhysics.h"

namespace {

typedef float YClientPhysics::*Field;

struct PresetCase {
    int preset;
    float bankYaw, maxRoll, topAir, stall, minControl, fullControl, reserved22;
};

// A few columns of each row; -1 is the default row.
const PresetCase kPresets[] = {
    {-1, 0.25f, 50.0f, 7.5f, 2.0f, 2.7f, 5.0f, 2.5f},
    {YClientPhysics::PresetP40, 0.25f, 50.0f, 7.5f, 2.0f, 2.7f, 3.1f, 2.0f},
    {YClientPhysics::PresetF15, 0.25f, 52.0f, 9.0f, 3.5f, 3.9f, 4.4f, 3.5f},
    {YClientPhysics::PresetCorsair, 0.25f, 53.0f, 7.5f, 2.0f, 2.7f, 3.1f, 2.0f},
    {YClientPhysics::PresetBiplane, 0.3f, 52.0f, 7.0f, 1.0f, 2.7f, 3.1f, 2.0f},
    {YClientPhysics::PresetOther, 0.25f, 50.0f, 8.0f, 2.5f, 3.2f, 3.6f, 2.5f},
};

YClientPhysics Build(int preset) { return preset < 0 ? YClientPhysics() : YClientPhysics(preset); }

}  // namespace

TEST(ClientPhysics, PresetRows)
{
    for (const PresetCase& c : kPresets) {
        SCOPED_TRACE(c.preset);
        YClientPhysics p = Build(c.preset);
        EXPECT_FLOAT_EQ(p.m_bankYawFactor, c.bankYaw);
        EXPECT_FLOAT_EQ(p.m_maxRollRate, c.maxRoll);
        EXPECT_FLOAT_EQ(p.m_topAirSpeed, c.topAir);
        EXPECT_FLOAT_EQ(p.m_stallSpeed, c.stall);
        EXPECT_FLOAT_EQ(p.m_minControlSpeed, c.minControl);
        EXPECT_FLOAT_EQ(p.m_fullControlSpeed, c.fullControl);
        EXPECT_FLOAT_EQ(p.m_reserved22, c.reserved22);
        EXPECT_FLOAT_EQ(p.m_speedScale, 1.0f);
        // The angle ranges are free in every row: the limits never bind.
        for (Field f : {&YClientPhysics::m_pitchRange, &YClientPhysics::m_yawRange, &YClientPhysics::m_rollRange,
                        &YClientPhysics::m_range30, &YClientPhysics::m_range31})
            EXPECT_FLOAT_EQ(p.*f, 360.0f);
        EXPECT_FLOAT_EQ(p.m_reserved32, -1.0f);
        EXPECT_FLOAT_EQ(p.m_reserved25, p.m_reserved26);
    }
}

TEST(ClientPhysics, DefaultRowDiffersFromP40OnlyInTwoFields)
{
    YClientPhysics d;
    YClientPhysics p40(YClientPhysics::PresetP40);
    p40.m_fullControlSpeed = d.m_fullControlSpeed;
    p40.m_reserved22 = d.m_reserved22;
    const float* a = &d.m_bankYawFactor;
    const float* b = &p40.m_bankYawFactor;
    for (int i = 0; i < 32; ++i) EXPECT_FLOAT_EQ(a[i], b[i]) << "field " << i + 1;
}

TEST(ClientPhysics, SpeedScaleMultipliesSpeedsAndCompounds)
{
    struct Column {
        Field field;
        bool scaled;
    };
    const Column columns[] = {
        {&YClientPhysics::m_topAirSpeed, true},      {&YClientPhysics::m_topGroundSpeed, true},
        {&YClientPhysics::m_groundAccel, true},      {&YClientPhysics::m_reserved15, true},
        {&YClientPhysics::m_stallSpeed, true},       {&YClientPhysics::m_minControlSpeed, true},
        {&YClientPhysics::m_fullControlSpeed, true}, {&YClientPhysics::m_liftOffSpeed, true},
        {&YClientPhysics::m_taxiSteerSpeed, true},   {&YClientPhysics::m_reserved22, true},
        {&YClientPhysics::m_steerStartSpeed, true},  {&YClientPhysics::m_steerFullSpeed, true},
        {&YClientPhysics::m_airAccel, false},        {&YClientPhysics::m_groundBrake, false},
        {&YClientPhysics::m_airBrake, false},        {&YClientPhysics::m_maxRollRate, false},
        {&YClientPhysics::m_bankYawFactor, false},   {&YClientPhysics::m_pitchRange, false},
        {&YClientPhysics::m_reserved25, false},
    };
    const YClientPhysics fresh(YClientPhysics::PresetF15);
    YClientPhysics once(YClientPhysics::PresetF15);
    once.SetSpeedScale(2.0f);
    YClientPhysics twice(YClientPhysics::PresetF15);
    twice.SetSpeedScale(2.0f);
    twice.SetSpeedScale(2.0f);
    EXPECT_FLOAT_EQ(once.m_speedScale, 2.0f);
    EXPECT_FLOAT_EQ(twice.m_speedScale, 2.0f);
    for (const Column& c : columns) {
        EXPECT_FLOAT_EQ(once.*c.field, fresh.*c.field * (c.scaled ? 2.0f : 1.0f));
        EXPECT_FLOAT_EQ(twice.*c.field, fresh.*c.field * (c.scaled ? 4.0f : 1.0f));
    }
}

namespace {

// Keeps the length of every step it runs.
class RecordingPhysics : public YClientPhysics {
protected:
    void StepOnce(YClientInfo*, float dt) override { m_steps.push_back(dt); }

public:
    std::vector<float> m_steps;
};

}  // namespace

TEST(ClientPhysics, PilotStepSubdividesLongFrames)
{
    struct Row {
        float dt;
        bool subdivide;
        std::vector<float> steps;
    } rows[] = {
        {2.35f, true, {1.0f, 1.0f, 0.1f, 0.1f, 0.1f, 0.05f}},
        {2.35f, false, {2.35f}},
        {0.05f, true, {0.05f}},
        {0.0f, true, {0.0f}},
    };
    YClientInfo record;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.dt);
        RecordingPhysics physics;
        physics.Step(&record, row.dt, row.subdivide);
        ASSERT_EQ(physics.m_steps.size(), row.steps.size());
        for (size_t i = 0; i < row.steps.size(); ++i) EXPECT_NEAR(physics.m_steps[i], row.steps[i], 1e-5f) << i;
    }
    RecordingPhysics idle;
    record.m_active = 0;
    idle.Step(&record, 2.35f, true);
    EXPECT_TRUE(idle.m_steps.empty()) << "an inactive record is not stepped";
}

TEST(ClientPhysics, SizeArrayKeepsBlocksAndDestroysSurplus)
{
    YClientPhysicsArray blocks;
    YClientPhysics* kept = new YClientPhysics(YClientPhysics::PresetF15);
    blocks.Add(kept);
    YClientPhysics::SizeArray(blocks, 5);
    ASSERT_EQ(blocks.GetSize(), 5);
    EXPECT_EQ(blocks[0], kept);
    for (int i = 1; i < 5; ++i) EXPECT_FLOAT_EQ(blocks[i]->m_fullControlSpeed, YClientPhysics().m_fullControlSpeed);
    YClientPhysics::SizeArray(blocks, 2);
    EXPECT_EQ(blocks.GetSize(), 2);
    for (int i = 0; i < blocks.GetSize(); ++i) delete blocks[i];
}
