// The plane actor a pilot flies: the player's model and each bot's.  It
// carries its handling block, the control inputs the verbs write and the
// state the rules, the HUD and the bots read.
#pragma once

#include <cstdint>

#include "world/YActor.h"

class YClientPhysics;
class YPropeller;
class YScriptor;
struct YTraceResult;

class YPlane : public YActor {
    DECLARE_SERIAL(YPlane)
public:
    // Flag word B bits of a plane.
    enum : uint32_t {
        FlagCrashing = 0x1000,
        FlagDown = 0x2000,  // down after a crash; the collision pass also sweeps its tail
        FlagLiftOffReady = 0x4000,
        FlagScaledAuthority = 0x8000,  // the bot axes scale by control authority
    };
    // Model classes the rules and the HUD read.
    enum { ClassBiplane = 0, ClassProp = 1, ClassJet = 2 };
    // Sound slots.
    enum { SoundCrash = 0, SoundRunHigh = 6, SoundStart = 9, SoundStop = 10, SoundLowFuel = 14, SoundJetStart = 16,
           SoundJetRun = 17, SoundJetStop = 18, SoundCount = 19 };
    // Parts the collision pass reports.
    enum { PartLeftWing = 0, PartRightWing = 1, PartPropeller = 2, PartTail = 3, PartCount = 4 };
    enum { CarriedSlots = 5 };
    static const int kMaxEngineLevel = 255;

    // The factory's plane: the biplane's build with the default handling,
    // named "Plane", and no smoke or direction arrow.
    YPlane();
    // A plane of the model key (exact, letter case included); any key but
    // the four model keys gets the fifth preset.
    explicit YPlane(const char* key);
    ~YPlane() override;

    using YActor::OnCommand;
    // A command verb with its argument text and phase (1 press, 2 held,
    // 3 release); 1 when handled.
    virtual int OnCommand(int id, const char* argument, int phase);
    void ForgetActor(YActor* actor) override;

    // Engine level 0, the disruptor on for 100 s, smoke for 100 s and a
    // restart pending.
    virtual void ResetEffects();
    virtual void SetSpeedScale(float scale);

    // Marks the direction arrow for destruction.
    void DestroyPlayerActor();

    // ---- engine (YPlaneEngine.cpp)
    enum EngineState { EngineStopping = 0, EngineStopped = 1, EngineStarting = 2, EngineLow = 3, EngineRising = 4,
                       EngineFallingLow = 5, EngineMedium = 6, EngineRisingHigh = 7, EngineFallingMedium = 8,
                       EngineHigh = 9 };
    enum { BandLow = 3, BandMedium = 6, BandHigh = 9 };
    static constexpr uint32_t kNothingPending = 0xFFFFFFFFu;

    // Above 0 the propeller starts first (when the engine was off); 0 or
    // less stops the propeller and the loop.
    void SetEngineLevel(int level);
    // A one-shot sound of a slot at the plane; slots 1..7 are silent.
    void PlaySlot(int slot, int primary);
    void StartEngineSound();
    void StopEngineSound();
    void StartPropeller();
    void StopPropeller();
    static uint32_t PlaneSoundDuration(int slot);
    // Once a program: the plane sounds to the server's preload.
    void PreloadPlaneSounds();
    // The band logic of a throttle command (the throttle already set).
    void ThrottleBands(int id);
    // The audible level and the loop's frequency.
    void EngineToneStep(float dt);
    // The one-shot sequencer and the engine state step.
    void EngineSequencerStep();
    const char* EngineLoopKey() const;
    // The engine loop among the plane's sounds, or null.
    YActorSound* EngineLoop();
    float EngineToneFactor() const;

    YClientPhysics* GetHandling() const { return m_handling; }
    float GetSpeed() const { return m_velocity.Length(); }
    bool IsOnGround() const { return (m_flagsB & FlagOnGround) != 0; }
    bool IsCrashingOrDown() const { return (m_flagsB & (FlagCrashing | FlagDown)) != 0; }
    bool IsDown() const { return (m_flagsB & FlagDown) != 0; }

    // ---- flight (YPlaneFlight.cpp)
    // Crash states the flight step tells apart.
    enum { CrashNone = 0, CrashNoseOverSink = 7, CrashStall = 9, CrashTip = 10, CrashTumble = 11 };
    // Ground contact parts.
    enum { ContactLeftWing = 1, ContactRightWing = 2, ContactLeftWheel = 3, ContactRightWheel = 4, ContactTail = 5,
           ContactPropeller = 6 };
    static constexpr float kCeiling = 90.0f;  // metres above the terrain

    void Update(float dt) override;
    // The view plane answers the two vectors its update stored (the chase
    // camera's place, its own until the camera comes); others the actor's.
    void GetWorldTransform(YVector& position, YVector& angles) override;
    // Holds roll and pitch within the handling ranges.
    void ApplyAngleLocks() override;
    virtual void PostMove(float dt);
    virtual void Fly(float speed, float dt);
    // Air, ground or crash motion.
    void Move(float dt);
    void GroundRoll(float speed, float dt);
    void Accelerate(float target, float speed, float rate, float dt);
    // Toward the engine level's share of the top speed.
    void DriveSpeed(float top, float accel, float brake, float speed, float dt);
    // Never higher than kCeiling above the terrain under the plane.
    void ClampAltitude();
    // Control authority 0.1..1 from the speed.
    float Authority(float speed) const;
    // Turns the vector about the axis by the angle, degrees.
    static void RotateAbout(float angle, YVector& vector, const YVector& axis);
    // The lowest part's clearance, the lift out of the ground and OnGround.
    void PartContact();
    // PartContact of a plane without a model: its origin stands in for the
    // wheels, so that it still rests on the ground.
    void OriginContact();
    void GroundContact(int part);

    uint8_t m_targetAbove = 0;  // the target lies beyond 40 degrees above
    uint8_t m_targetBelow = 0;
    uint8_t m_targetRight = 0;  // beyond 30 degrees right
    uint8_t m_targetLeft = 0;
    uint8_t m_stealInRange = 0;
    uint8_t m_canUsePowerUp = 0;
    uint8_t m_restartReady = 0;
    uint8_t m_blink = 0;
    uint32_t m_blinkTime = 0;
    int32_t m_worldIndex = -1;
    uint8_t m_contactByte = 0;  // a part touched the ground this step
    int32_t m_contactPart = 0;
    uint8_t m_wheelsDown = 0;
    uint8_t m_viewStored = 0;
    YVector m_viewPosition;
    YVector m_viewAngles;

    YString m_soundNames[SoundCount];
    uint8_t m_forcePitchLevel = 0;
    uint8_t m_forceRollLevel = 0;
    uint8_t m_engineStarted = 0;
    uint8_t m_isJet = 0;
    float m_restOffset = 0.1f;  // subtracted when the plane settles onto an object
    int32_t m_class = ClassBiplane;
    uint32_t m_shotTimer = 0;  // paint-ball fire gate, clock
    uint8_t m_shotFlag = 0;
    // Timed effects: a byte with its remaining seconds each.
    uint8_t m_disrupted = 0;
    float m_disruptedTime = 0.0f;
    uint8_t m_tornado = 0;
    float m_tornadoTime = 0.0f;
    uint8_t m_flashed = 0;
    float m_flashedTime = 0.0f;
    uint8_t m_reversed = 0;  // reversed controls
    float m_reversedTime = 0.0f;
    uint8_t m_unlimitedAmmo = 0;
    float m_unlimitedAmmoTime = 0.0f;
    uint8_t m_machineGun = 0;
    float m_machineGunTime = 0.0f;
    uint8_t m_amplifiedDamage = 0;
    float m_amplifiedDamageTime = 0.0f;
    uint8_t m_autoFire = 0;
    float m_autoFireTime = 0.0f;
    int32_t m_lap = 0;
    uint8_t m_raceEnded = 0;
    int32_t m_signalState = 0;  // 0 normal, 1 weak, 2 lost
    uint8_t m_controlEnabled = 1;  // 0 blocks the roll and pitch verbs
    float m_pitchImpulse = 0.0f;  // added once to the rates, then cleared
    float m_rollImpulse = 0.0f;
    YActor* m_heldPowerUp = nullptr;  // reference
    YVector m_cameraUp;
    YVector m_cameraForward;
    YVector m_cameraLag;
    YVector m_forward;  // flight orientation
    YVector m_up;
    uint8_t m_rollInputHeld = 0;  // set on release: the input recentres
    uint8_t m_rudderInputHeld = 0;
    uint8_t m_pitchInputHeld = 0;
    float m_pitchRate = 0.0f;  // degrees a second
    float m_yawRate = 0.0f;
    float m_rollRate = 0.0f;
    float m_rollInput = 0.0f;  // -30..30
    float m_pitchInput = 0.0f;
    float m_rudderInput = 0.0f;
    uint32_t m_stallDeadline = 0;  // clock until which the crash or stall state lasts
    int32_t m_place = 1;
    int32_t m_score = 0;
    int32_t m_tunnixCount = 0;
    int32_t m_carried[CarriedSlots] = {};  // carried item values
    uint32_t m_lastTurnTime = 0;  // clock of the last roll or pitch input
    float m_fuel = 255.0f;
    uint8_t m_autoLevel = 0;
    uint8_t m_autoPitch = 0;
    uint8_t m_partHit[PartCount] = {};
    int32_t m_throttle = 0;  // requested engine level
    int32_t m_ammo = 5;
    int32_t m_balloons = 0;
    int32_t m_hitCount = 0;
    uint8_t m_upsideDown = 0;
    int32_t m_crashState = 0;  // 0 flying, 9 stall, others crashing
    float m_groundClearance = 0.0f;  // what the plane may still sink this frame
    uint8_t m_freezeVertical = 0;  // gravity holds for one step
    float m_sinkSpeed = 0.0f;
    float m_gravity = 9.8f;
    uint8_t m_gravityOn = 1;
    YString m_modelKey;
    int32_t m_cameraMode = 3;
    uint32_t m_cameraBlendStart = 0;  // clock of a camera blend under way, 0 none
    float m_visualBank = 0.0f;
    float m_groundYaw = 0.0f;
    float m_taxiPitch = 12.0f;  // nose up at rest on the wheels, degrees
    int32_t m_engineLevel = 0;
    float m_engineToneScale = 100.0f;
    int32_t m_bandLimits[3] = {85, 170, 255};
    uint8_t m_botFlown = 0;
    YActor* m_directionArrow = nullptr;  // reference; the world owns it
    uint8_t m_axisTurn = 0;  // set by the yaw axis in the air
    uint32_t m_axisTurnTime = 0;
    int32_t m_soundVolumeLow = 50;
    int32_t m_soundVolumeHigh = 200;
    int32_t m_soundSlot = -1;
    float m_signalRange = 1500.0f;
    float m_stealRange = 2500.0f;  // squared
    float m_smokeTime = 0.0f;
    uint8_t m_darkSmoke = 0;
    float m_crashTiltLimit = 3.0f;
    float m_value100 = 100.0f;
    uint8_t m_touchDisabled = 0;
    uint8_t m_pendingRestart = 0;
    uint8_t m_lookAheadSkip = 0;  // the collision pass lets the plane through
    uint8_t m_nearTarget = 0;     // a bot close to its target
    YVector m_motionDirection;
    uint8_t m_inputOwner = 0;

    // Engine.
    int32_t m_audibleLevel = 0;
    uint8_t m_rotating = 0;
    int32_t m_engineState = EngineStopped;
    int32_t m_targetBand = BandLow;
    int32_t m_nextSlot = -1;
    uint32_t m_soundEndTime = 0;  // clock; 0 nothing pending
    uint32_t m_engineBaseFrequency = 0;  // read once from the loop's buffer
    uint32_t m_engineFrequency = 0;      // last set
    YPropeller* m_propeller = nullptr;  // reference; the world owns it
    static bool s_soundsPreloaded;

    // ---- effects (YPlaneEffects.cpp)
    void SetDisrupted(bool on, float seconds);
    void SetTornado(bool on, float seconds);
    void SetFlashed(bool on, float seconds);
    void SetReversed(bool on, float seconds);
    void SetUnlimitedAmmo(bool on, float seconds);
    void SetMachineGun(bool on, float seconds);
    void SetAmplifiedDamage(bool on, float seconds);
    // The update's ageing of the effects and the automatic fire.
    void AgeEffects(float dt, bool view);
    void OnProjectileHit();
    int GetCarried(int slot) const;
    void SetCarried(int value, int slot);
    void UseHeldPowerUp();
    // A puff at the plane, dark while the dark-smoke byte is set.
    void Puff(float size);
    uint8_t m_fifteenHits = 0;

    // ---- commands (YPlaneCommands.cpp)
    enum { GameDogfight = 0, GameBalloonDrop = 3 };
    // The current rules' mode, -1 without rules.
    static int RulesMode();
    void FirePaintball();
    void ReleaseBalloon();
    void FireOrDrop();
    YScriptor* m_script = nullptr;  // owned, while recording
    uint8_t m_recording = 0;
    uint32_t m_dropTimer = 0;  // balloon drop gate, clock
    uint8_t m_dropHold = 0;
    int32_t m_previousCameraMode = 3;
    YVector m_freeVelocity;  // saved on leaving plane mode
    YVector m_freeAngles;
    // The paint-balls and bombs made (the projectiles come with their
    // own classes).
    int32_t m_paintballsFired = 0;
    YVector m_shotStart;  // where and how fast the last one left
    YVector m_shotVelocity;
    int32_t m_balloonsDropped = 0;

    // ---- signal, contacts and crash entry (YPlaneContacts.cpp)
    enum { CrashSpin = 1, CrashSomersault = 2, CrashNoseDown = 3, CrashInverted = 4, CrashWingObject = 5,
           CrashFlatLanding = 6, CrashNoseOver = 8, CrashSignalLost = 12 };
    static constexpr float kEdgeMargin = 16.0f * 3.0f + 2.0f;
    static constexpr float kNearEdgeMargin = 16.0f * 3.0f + 30.0f;
    void SignalStep();
    // 1 at the edge (within kEdgeMargin), 2 near it, else 0.
    int EdgeZone() const;
    void Touch(YActor* other) override;
    void ObjectContact(int part, const YTraceResult* hit);
    void PartStrike(int part);
    void ClassifyTouchDown(int part, const YTraceResult* hit);
    // How long a wing strike on an object of the folded surface pitch
    // lasts: a wall 6000 ms, a floor 9000, exactly 20 degrees 0 (none).
    static uint32_t WingStrikeMs(float surfacePitch);
    // The common entry actions of a crash state.
    void EnterCrash(int state, uint32_t milliseconds, uint32_t flag);
    uint8_t m_signalWarning = 0;
    uint8_t m_cameraRestore = 0;
    uint8_t m_crashPoseSet = 0;
    YVector m_crashPose;
    YVector m_crashTarget;
    YVector m_previousNormal;
    uint8_t m_resting = 0;
    uint32_t m_restEnd = 0;
    uint8_t m_noseDown = 0;
    uint8_t m_frontHit = 0;
    uint8_t m_inverted = 0;
    uint8_t m_tipped = 0;
    uint8_t m_struckLeft = 0;
    float m_sinkHeight = 0.0f;
    uint8_t m_objectLanding = 0;
    float m_tipRate = 0.0f;
    YVector m_recoveryAngles;
    YVector m_recoveryFacing;
    uint8_t m_recoveryPose = 0;

    // ---- crash motion and restart (YPlaneCrash.cpp)
    // Whether the step's remaining work goes on (false once restarted).
    bool CrashStep(float dt);
    bool StallStep(float dt);
    void Restart();
    // The first frame's pose, the later frames' stop.
    void CrashFirstFrame(bool holdSpeed);
    void Rest();
    // True when the rest has ended and the plane restarted.
    bool RestEnd();
    void ReturnCamera();
    // d = folded angles - folded target, folded.
    YVector TargetDelta() const;
    void SpotSearch();
    bool ClearSpot(const YVector& spot);
    uint32_t m_restarts = 0;

    // ---- camera and drawing (YPlaneCamera.cpp)
    void UpdateCamera();
    // The view of a mode: eye and angles.
    void ModeView(int mode, YVector& eye, YVector& angles);
    uint32_t BlendTime() const;
    YRenderInstance* BuildRenderInstance() override;
    // The render pitch's taxi share, 0..1.
    float TaxiShare() const;
    void PlaneModelDisplayName(int frame);
    uint8_t m_visible = 1;
    // Where the round put the plane: the signal is measured from here and a
    // restart with nowhere better goes back here.
    YVector m_startPosition;
    YVector m_startAngles;

protected:
    // The model's body group shown and the taxi pitch taken from it.
    void PrepareModel();
    YClientPhysics* m_handling;  // owned

private:
    void LoadPlaneModel();
    float ModelTaxiPitch() const;
    // A model group's point in the world; false without one.
    bool GroupPoint(const char* group, YVector& point);
};
