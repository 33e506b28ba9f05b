// A plane's handling block: accelerations, rate limits, speed thresholds
// and angle ranges the flight step reads every frame.  Speeds in metres a
// second, angular rates in degrees a second, angles in degrees.  The
// engine also keeps an array of them, one per pilot, and steps it.
#pragma once

#include "platform/mfc.h"

class YClientInfo;
class YClientPhysics;

typedef CTypedPtrArray<CPtrArray, YClientPhysics*> YClientPhysicsArray;

class YClientPhysics : public CObject {
    DECLARE_DYNCREATE(YClientPhysics)
public:
    // The presets a plane's model key chooses.
    enum Preset { PresetP40 = 0, PresetF15 = 1, PresetCorsair = 2, PresetBiplane = 3, PresetOther = 4, PresetCount = 5 };

    // The default row.
    YClientPhysics();
    // One preset row, 0..4.
    explicit YClientPhysics(int preset);

    // Stores the scale and multiplies the speed fields by it; calls compound.
    void SetSpeedScale(float scale);

    // The pilot step of a queued record: with subdivide a long frame runs as
    // steps of 1.0 s (while above 1.0) and 0.1 s (while above 0.1) before
    // the remainder.  Nothing for an inactive record.
    void Step(YClientInfo* record, float dt, bool subdivide);
    // Grows or shrinks the array to the count; kept blocks stay.
    static void SizeArray(YClientPhysicsArray& blocks, int count);

    float m_bankYawFactor;
    float m_speedScale;
    float m_rollAccel;
    float m_pitchAccel;
    float m_yawAccel;
    float m_maxPitchRate;
    float m_maxRollRate;
    float m_maxYawRate;
    float m_topAirSpeed;
    float m_topGroundSpeed;
    float m_groundAccel;
    float m_airAccel;
    float m_groundBrake;
    float m_airBrake;
    float m_reserved15;
    float m_stallSpeed;
    float m_minControlSpeed;
    float m_fullControlSpeed;
    float m_liftOffSpeed;
    float m_taxiSteerSpeed;
    float m_unused21 = 0.0f;  // never set or read
    float m_reserved22;
    float m_steerStartSpeed;
    float m_steerFullSpeed;
    float m_reserved25;
    float m_reserved26;
    float m_pitchRange;  // pitch held within +-half; 360 is free
    float m_yawRange;
    float m_rollRange;  // roll held within +-half; 360 is free
    float m_range30;
    float m_range31;
    float m_reserved32;

protected:
    // The hooks of one step; empty here.
    virtual void BeforeStep(YClientInfo*, float) {}
    virtual void StepOnce(YClientInfo*, float) {}
    virtual void AfterStep(YClientInfo*, float) {}

private:
    void SetRow(int row);
};
