// The plane's commands: throttle settings, camera mode, fire and use, the
// player-mode switch, the assists, restocking and, while the editor
// records, the placement of game actors into a population script.
#include "engine/YGameConfig.h"
#include "engine/YGameObjects.h"
#include "foundation/YDataCollection.h"
#include "game/YClientInfo.h"
#include "game/YClientPhysics.h"
#include "game/YPlane.h"
#include "game/YVoiceOvers.h"
#include "world/YGameCommands.h"
#include "world/YGameRules.h"
#include "world/YScriptor.h"

namespace {

enum { CommandFirst = 14, CommandThrottleLast = 56, CommandLast = 62, PlaceFirst = 18, PlaceLast = 38,
       CommandPlayerMode = 39, CommandView = 40, CommandFire = 41, CommandUse = 42, CommandUp = 43,
       CommandDown = 44, CommandAltUp = 45, CommandAltDown = 46, CommandAutoLevel = 57, CommandToggle3d = 58,
       CommandRestock = 59, CommandGrabMouse = 60, CommandAutoPitch = 61 };
enum { PhasePress = 1, PhaseRelease = 3 };

// Throttle commands: the level each sets.
const struct {
    int id;
    int level;
} kThrottleLevels[] = {
    {14, 0}, {47, 0}, {48, 50}, {49, 75}, {15, 100}, {50, 100}, {51, 125}, {52, 150},
    {16, 175}, {53, 175}, {54, 200}, {55, 225}, {56, 250}, {17, 255},
};

const uint32_t kFireGate = 500;  // ms between shots and between drops
const float kShotSpeed = 100.0f;
const int kRestock = 5;
const float kFullFuel = 255.0f;
const int kVoiceBalloonRelease = 14;

YGameObjects* Engine() { return YGameObjects::Existing(); }

bool EditMode()
{
    YGameObjects* engine = Engine();
    return engine && engine->m_settings && engine->m_settings->GetInt("game_editmode") == 1;
}

// The new level of a step up or down, or -1 for other commands.
int ThrottleFor(int id, int throttle)
{
    for (const auto& row : kThrottleLevels)
        if (row.id == id) return row.level;
    if (id == CommandUp || id == CommandAltUp) return throttle == 0 ? 50 : (throttle < 231 ? throttle + 25 : 255);
    if (id == CommandDown || id == CommandAltDown) return throttle >= 75 ? throttle - 25 : 0;
    return -1;
}

}  // namespace

int YPlane::RulesMode()
{
    YGameObjects* engine = Engine();
    return engine && engine->m_rules ? engine->m_rules->m_mode : -1;
}

int YPlane::OnCommand(int id, const char*, int phase)
{
    // Recording follows the edit-mode setting.
    if (EditMode() && !m_script) {
        m_script = new YScriptor;
        if (m_script->Open("script.rcs", YScriptor::ModeWrite)) {
            m_recording = 1;
        } else {
            delete m_script;
            m_script = nullptr;
        }
    } else if (!EditMode() && m_script) {
        delete m_script;
        m_script = nullptr;
        m_recording = 0;
    }
    if (phase != PhasePress && phase != PhaseRelease) return 0;
    if (id < CommandFirst || id > CommandLast) return 0;

    if (id <= CommandThrottleLast) {
        const int level = ThrottleFor(id, m_throttle);
        if (level >= 0) {
            if (phase != PhasePress) return 0;
            if (!m_tornado && !m_disrupted) {
                m_throttle = level;
                ThrottleBands(id);
            }
            return 1;
        }
    }
    if (id >= PlaceFirst && id <= PlaceLast) {
        // The population script's writers place the actor at the plane.
        return phase == PhasePress && m_recording && m_script ? 1 : 0;
    }
    YGameObjects* engine = Engine();
    const uint32_t clock = engine ? engine->m_gameClock : 0;
    switch (id) {
    case CommandPlayerMode:
        if (phase != PhasePress) return 1;
        if (!(m_flagsB & FlagPlaneKind)) {
            m_gravityOn = 1;
            m_flagsB = (m_flagsB | FlagPlaneKind) & ~(FlagCrashing | FlagDown);
        } else {
            m_gravityOn = 0;
            m_flagsB &= ~(FlagPlaneKind | FlagCrashing | FlagDown);
            m_freeVelocity = m_velocity;
            m_freeAngles = m_angles;
            m_velocity = YVector();
            m_angles.z = 0.0f;
        }
        return 1;
    case CommandView:
        if (phase != PhasePress) return 1;
        m_previousCameraMode = m_cameraMode;
        ++m_cameraMode;
        if (m_cameraMode == 2) m_cameraMode = 3;
        if (m_cameraMode == 4) m_cameraMode = 0;
        m_cameraBlendStart = clock;
        return 1;
    case CommandFire:
        if (phase == PhaseRelease) {
            if (m_autoFire) m_autoFire = 0;
            return 1;
        }
        if (m_disrupted) return 1;
        if (m_machineGun) {
            m_autoFire = 1;
            m_autoFireTime = 0.0f;
            return 1;
        }
        FireOrDrop();
        return 1;
    case CommandUse:
        if (phase == PhaseRelease) {
            if (m_dropHold && !IsOnGround()) m_dropHold = 0;
            return 1;
        }
        if (RulesMode() == GameBalloonDrop)
            m_dropHold = 1;
        else if (!m_disrupted)
            UseHeldPowerUp();
        return 1;
    default: break;
    }
    if (phase != PhasePress) return 1;
    switch (id) {
    case CommandAutoLevel: m_autoLevel ^= 1; return 1;
    case CommandToggle3d:
        if (engine && engine->m_gameConfig) engine->m_gameConfig->m_3dIndicator = !engine->m_gameConfig->m_3dIndicator;
        return 1;
    case CommandRestock:
        m_fuel = kFullFuel;
        m_ammo = kRestock;
        m_balloons = kRestock;
        return 1;
    case CommandGrabMouse:
        m_inputOwner ^= 1;
        if (engine) engine->EnableInput(m_inputOwner);
        return 1;
    case CommandAutoPitch: m_autoPitch ^= 1; return 1;
    default: return 1;  // "biz" hands its value to an engine service
    }
}

void YPlane::FireOrDrop()
{
    switch (RulesMode()) {
    case GameDogfight: FirePaintball(); break;
    case GameBalloonDrop: ReleaseBalloon(); break;
    default: break;
    }
}

void YPlane::FirePaintball()
{
    YGameObjects* engine = Engine();
    const uint32_t clock = engine ? engine->m_gameClock : 0;
    if (m_ammo <= 0 || (m_shotTimer != 0 && clock < m_shotTimer)) return;
    YVector start = m_position;
    GroupPoint("Normal_prop", start);
    YVector angles = m_angles;
    if (IsOnGround()) angles.x = WrapAngle360(angles.x + m_taxiPitch * TaxiShare());
    if (!m_unlimitedAmmo) --m_ammo;
    // The paint-ball leaves from the propeller along the nose.
    m_shotStart = start;
    m_shotVelocity = angles.FromAngles() * (GetSpeed() + kShotSpeed);
    ++m_paintballsFired;
    if (!m_machineGun) {
        m_shotTimer = clock + kFireGate;
        m_shotFlag = 1;
    }
    if (engine && engine->m_gameCommands)
        engine->m_gameCommands->PlayActorSound(this, "Impact:pi-bb-fire", static_cast<float>(m_soundVolumeLow),
                                               static_cast<float>(m_soundVolumeHigh), YGameCommands::SoundOnce);
}

void YPlane::ReleaseBalloon()
{
    YGameObjects* engine = Engine();
    const uint32_t clock = engine ? engine->m_gameClock : 0;
    if (m_balloons <= 0 || (m_dropTimer != 0 && clock < m_dropTimer)) return;
    YVector start = m_position;
    GroupPoint("Normal_wheels", start);
    --m_balloons;
    ++m_balloonsDropped;
    m_shotStart = start;
    m_shotVelocity = m_velocity;
    m_dropTimer = clock + kFireGate;
    if (engine && engine->m_gameCommands)
        engine->m_gameCommands->PlayActorSound(this, "Impact:pi-balloon-release",
                                               static_cast<float>(m_soundVolumeLow),
                                               static_cast<float>(m_soundVolumeHigh), YGameCommands::SoundOnce);
    if (engine && engine->m_localClient && engine->m_localClient->m_plane == this && engine->m_voiceOvers)
        engine->m_voiceOvers->OnEvent(kVoiceBalloonRelease);
}
