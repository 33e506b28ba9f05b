#include "game/YBotPlane.h"

#include <cmath>
#include <cstdlib>

#include "assets3d/YSMHandle.h"
#include "engine/YGameConfig.h"
#include "engine/YGameObjects.h"
#include "game/YBotAI.h"
#include "game/YBotAIEasy.h"
#include "game/YBotAIEasyMedium.h"
#include "game/YBotAIHard.h"
#include "game/YBotAIMedium.h"
#include "game/YBotAIMediumHard.h"
#include "game/YClientInfo.h"
#include "game/YClientPhysics.h"
#include "game/YManeuvers.h"
#include "world/YActorWorld.h"

IMPLEMENT_DYNCREATE(YBotPlane, YPlane)

namespace {
const float kEpsilon = 0.001f;
const float kBankYaw = 0.4f;
const float kPathTurn = 5.0f;  // the flight path turns toward the nose, per second
const float kDrawGrowth = 0.0066667f;  // twice the size at 150 m

float Wrapped(float angle) { return angle > 180.0f ? angle - 360.0f : angle; }
}  // namespace

const char* const YBotPlane::kModels[5] = {
    "Dynamic:Planes:YSM:biplane", "Dynamic:Planes:YSM:corsair_plane", "Dynamic:Planes:YSM:f15plane",
    "Dynamic:Planes:YSM:p40plane", "Dynamic:Planes:YSM:sigcap231plane",
};

YBotPlane::YBotPlane() { Setup(0); }

YBotPlane::YBotPlane(int task) { Setup(task); }

YBotPlane::~YBotPlane()
{
    delete m_pilot;
    m_pilot = nullptr;
    delete m_maneuvers;
    m_maneuvers = nullptr;
    delete m_brain;
    m_brain = nullptr;
    YGameObjects* engine = YGameObjects::Existing();
    if (engine && engine->m_opponentPlane == this) engine->m_opponentPlane = nullptr;
}

int YBotPlane::SkillFromConfig()
{
    YGameObjects* engine = YGameObjects::Existing();
    const YGameConfig* config = engine ? engine->m_gameConfig : nullptr;
    if (!config) return 0;
    return config->m_gameLevel == -1 ? config->m_levelIndex : config->m_gameLevel / 2;
}

YBotAI* YBotPlane::MakeBrain(int skill, YActor* plane, int task, YManeuvers* maneuvers)
{
    switch (skill) {
    case 0: return new YBotAIEasy(plane, task, maneuvers);
    case 1: return new YBotAIEasyMedium(plane, task, maneuvers);
    case 2: return new YBotAIMedium(plane, task, maneuvers);
    case 3: return new YBotAIMediumHard(plane, task, maneuvers);
    default: return new YBotAIHard(plane, task, maneuvers);
    }
}

void YBotPlane::Setup(int task)
{
    m_task = task;
    m_pilot = new YClientInfo;
    m_pilot->m_bodyActor = this;
    m_pilot->m_controlledPlane = this;
    m_pilot->m_aimActor = this;
    m_maneuvers = new YManeuvers(this);

    m_botFlown = 1;
    m_lap = 0;
    m_score = 0;
    m_raceEnded = 0;
    m_nearTarget = 1;
    m_autoLevel = 0;

    YGameObjects* engine = YGameObjects::Existing();
    YActorWorld* world = engine ? engine->m_world : nullptr;
    if (!world) return;
    world->AddActor(this);

    const int r = rand() % 100;
    const int model = r < 20 ? 0 : r < 40 ? 1 : r < 60 ? 2 : r < 80 ? 3 : 4;
    if (model == 2) {
        m_modelKey = "f15plane";
        m_isJet = 1;
    }
    SetModel(kModels[model]);
    PrepareModel();

    m_brain = MakeBrain(SkillFromConfig(), this, m_task, m_maneuvers);

    m_flagsB |= FlagOnGround;
    engine->m_opponentPlane = this;

    YClientPhysics* h = GetHandling();
    h->m_bankYawFactor *= h->m_speedScale;
    h->m_maxPitchRate *= h->m_speedScale;
    h->m_maxRollRate *= h->m_speedScale;
}

int YBotPlane::GetSkill() const { return m_brain ? m_brain->m_skill : -1; }

void YBotPlane::GetWorldTransform(YVector& position, YVector& angles) { YActor::GetWorldTransform(position, angles); }

void YBotPlane::Update(float dt)
{
    YPlane::Update(dt);
    m_upsideDown = std::fabs(Wrapped(m_angles.z)) > 90.0f || std::fabs(Wrapped(m_angles.x)) > 90.0f ? 1 : 0;
    m_rollInputHeld = m_rudderInputHeld = m_pitchInputHeld = 1;
    if (m_brain) m_brain->Think(dt);
    ClampAltitude();
    YActorWorld* world = m_world;
    YActor* view = world ? world->GetViewActor() : nullptr;
    if (YSMHandle* model = GetModelInstance(); model && view) {
        const float d = view->m_position.FastDistance(m_position);
        model->SetReferenceSize((d * kDrawGrowth + 1.0f) * 16.0f);
    }
}

void YBotPlane::Think()
{
    if (m_brain) m_brain->Retarget();
}

void YBotPlane::Fly(float speed, float dt)
{
    const YClientPhysics& h = *GetHandling();
    const float target = static_cast<float>(m_engineLevel) * (1.0f / 255.0f) * h.m_topAirSpeed;
    if (target - speed > kEpsilon)
        Accelerate(target, speed, h.m_airAccel, dt);
    else if (target - speed < -kEpsilon)
        Accelerate(target, speed, -h.m_airBrake, dt);

    float p = m_angles.x;
    if (m_upsideDown) p -= 360.0f;
    if (p > 180.0f) p -= 360.0f;
    float f = 1.0f - std::fabs(p) / 90.0f;
    if (f < 0.1f) f = 0.0f;

    if (!(speed <= h.m_stallSpeed && m_gravityOn)) {
        const float r = WrapAngle360(m_angles.z);
        float& w = m_vectorB.y;
        if (r <= 90.0f)
            w -= r * f * kBankYaw;
        else if (r <= 270.0f)
            w += (r - 180.0f) * f * kBankYaw;
        else
            w += (360.0f - r) * f * kBankYaw;
        if (m_upsideDown) w = -w;
    }
    PostMove(dt);
    YActor::Update(dt);

    if (m_disrupted || m_autoLevel) {
        const float wp = Wrapped(m_angles.x), wr = Wrapped(m_angles.z);
        float g = 1.0f - std::fmin(std::fabs(wp) / 90.0f, 1.0f);
        if (g < 0.7f) g = 0.0f;
        float& q = m_vectorB.z;
        if (std::fabs(wp) >= 90.0f) {
            if (m_angles.z != 180.0f) q = (q - (m_angles.z - 180.0f)) * g;
        } else if (wr != 0.0f) {
            q = (q - wr) * g;
        }
    }
}

void YBotPlane::PostMove(float dt)
{
    if (m_flagsB & (FlagCrashing | FlagDown)) return;
    YVector measured = m_velocity;
    if (IsOnGround()) measured.y = 0.0f;
    const float s = measured.Length();
    if (!(s > kEpsilon)) return;
    YVector heading = m_angles.FromAngles();
    heading.Normalize();
    YVector v = m_velocity;
    v.Normalize();
    m_velocity = (heading - v) * (dt * kPathTurn) + v;
    m_velocity.SetLength(s);
}

void YBotPlane::ForgetActor(YActor* actor)
{
    YPlane::ForgetActor(actor);
    if (m_brain) m_brain->ForgetActor(actor);
    if (m_pilot) m_pilot->ForgetActor(actor);
    if (actor == this && m_brain) m_brain->m_plane = this;
}
