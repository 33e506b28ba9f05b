// The brain of a computer pilot: picks a target, measures the angles to it
// and flies the plane toward it by pressing the roll and pitch verbs through
// its manoeuvre set, with throttle, fire, power-ups and balloon releases
// through the plane's own operations.  The five skill classes fix the
// skill-dependent constants; the bear brain reuses the fields.
#pragma once

#include <cstdint>

#include "foundation/YVector.h"

class YActor;
class YManeuvers;
class YPlane;

// The constants of one skill class.
struct YBotSkill {
    int32_t skill;
    float manoeuvreRoll;  // R: turn-around, random and evasive roll
    int32_t randomSpread;  // N: the random roll is 75 + rand() mod N
    float fireCone;  // W: |yaw to aim| below this fires
    float fireRange;  // D: metres
    int32_t throttle;  // T: cruising level of skills 0..3
};

class YBotAI {
public:
    enum Task { TaskBalloonDrop = 0, TaskAirRace = 1, TaskDogfight = 2, TaskTunnix = 3 };
    // Obstacle bits of the look-ahead.
    enum : uint32_t { ObstacleAhead = 1, ObstacleBelow = 2, ObstacleAbove = 4, ObstacleLeft = 8, ObstacleRight = 16 };
    // Turn codes (A) and climb codes (B).
    enum { TurnNone = 0, TurnLeft = 3, TurnRight = 4, ClimbNone = 0, ClimbUp = 1, ClimbDown = 2 };
    static const YBotSkill kSkills[5];
    static constexpr float kNoTarget = -1.0f;
    static constexpr float kFar = 999999.0f;
    static constexpr float kProbeLength = 27.5f;

    YBotAI();
    virtual ~YBotAI();
    YBotAI(const YBotAI&) = delete;
    YBotAI& operator=(const YBotAI&) = delete;

    virtual void Init(YActor* plane, int task, YManeuvers* maneuvers);
    virtual void TurnAround(const YVector& angles);
    virtual void RandomManoeuvre(const YVector& angles);
    virtual void EvasiveTurn(const YVector& angles);
    virtual void TryFire();
    virtual void SetThrottle();
    virtual uint32_t TerrainLookAhead();

    // Each frame, after the plane's own update.
    void Think(float dt);
    // Each frame; the target update runs at most every 500 ms.
    void Retarget();
    // The target update of the task, now.
    void UpdateTarget();
    // Drops every reference to an actor that is going away.
    void ForgetActor(YActor* actor);

    // The chased actor; the plane itself means none.  The waypoints move it
    // on along the course.
    YActor* GetTarget() const { return m_target; }
    void SetTarget(YActor* actor) { m_target = actor; }
    // The plane's line of sight to the actor, which the actor itself does not
    // block.
    bool Sees(YActor* actor, int range, uint32_t mask);
    bool SeesPoint(const YVector& point, int range, uint32_t mask);
    YPlane* FlownPlane() const;

    // ---- steering
    bool Decide(int& turn, int& climb);
    bool Choose(int& turn, int& climb, bool dogfight);
    void Steer(int turn, int climb);
    void TakeOff();
    void RollTo(float v, const YVector& angles);  // +v
    void RollToNegative(float v, const YVector& angles);  // -v
    void PitchUpTo(float v, const YVector& angles);
    void PitchDownTo(float v, const YVector& angles);
    // Degrees from the nose to the point (pitch, yaw, 0); 0 for a zero direction.
    static YVector AimAngles(const YVector& position, const YVector& angles, const YVector& point);
    bool ReleaseTest();
    void UsePowerUp();
    // The plane's height above the ground under it.
    float HeightAboveGround(const YActor* actor) const;
    int RulesState() const;

    // ---- target choice (YBotAITargets.cpp)
    void ChooseBalloonDrop();
    void ChooseAirRace();
    void ChooseDogfight();
    void ChooseTunnix();
    bool PowerUpDetour();
    void EndChoice(YActor* previous);
    // Nearest-of-list searches; emptied entries never count.
    YActor* NearestBalloon();
    YActor* NearestTunnix();
    YActor* NearestTarget();
    YActor* NearestGoal();
    YActor* NearestAmmo();

    int32_t m_skill = 0;
    YActor* m_plane = nullptr;  // the plane flown, or the bear
    YManeuvers* m_maneuvers = nullptr;  // the plane's
    int32_t m_task = 0;
    YActor* m_savedTarget = nullptr;
    YActor* m_target = nullptr;
    float m_pitchToAim = 0.0f;
    float m_yawToAim = 0.0f;
    float m_rollToAim = 0.0f;
    float m_evadeTime = -1.0f;
    float m_altitude = 0.0f;
    float m_targetAltitude = 0.0f;
    float m_frameTime = 0.0f;
    float m_targetDistSq = kNoTarget;
    int32_t m_rollSide = -1;
    int32_t m_lastRollSide = -1;
    int32_t m_turnSide = -1;
    int32_t m_manoeuvreSide = -1;
    int32_t m_lastRandomSide = -1;
    uint32_t m_obstacles = 0;
    uint8_t m_takingOff = 0;
    uint8_t m_recovering = 0;
    uint8_t m_turnAroundWanted = 0;
    uint8_t m_randomWanted = 0;
    uint8_t m_evadeWanted = 0;
    uint8_t m_turning = 0;
    uint8_t m_wingsLevel = 1;
    uint8_t m_pitchLevel = 1;
    uint8_t m_releaseNow = 0;
    uint8_t m_released = 0;
    uint8_t m_evading = 0;
    uint8_t m_manoeuvreAllowed = 1;
    uint32_t m_nextLookAhead = 0;
    uint32_t m_nextRetarget = 0;
    int32_t m_takeOffs = 0;
    int32_t m_reserved[2] = {0, 0};

protected:
    const YBotSkill& Row() const;
    // The skill classes' shared bodies, with the class's constants.
    void SkillTurnAround(const YVector& angles);
    void SkillRandomManoeuvre(const YVector& angles);
    void SkillEvasiveTurn(const YVector& angles);
    void SkillTryFire(bool planesOnly);
    void SkillSetThrottle();
    void HardSetThrottle();
    // The side rule of the random manoeuvre.
    int RandomSide();
};
