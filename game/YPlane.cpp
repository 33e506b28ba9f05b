#include "game/YPlane.h"

#include <cstring>

#include "assets3d/YSMHandle.h"
#include "engine/YGameConfig.h"
#include "engine/YGameObjects.h"
#include "game/YClientPhysics.h"
#include "game/YDirectionArrow.h"
#include "game/YPropeller.h"
#include "world/YScriptor.h"
#include "game/YSmoke.h"
#include "world/YGameCommands.h"
#include "world/YActorWorld.h"

IMPLEMENT_SERIAL(YPlane, YActor, 1)

namespace {

// The model keys in the order they are tested.
struct PlaneModel {
    const char* key;
    int preset;
    const char* name;
    int planeClass;
    uint8_t isJet;
    float restOffset;
};
const PlaneModel kModels[] = {
    {"biplane", YClientPhysics::PresetBiplane, "BiPlane", YPlane::ClassBiplane, 0, 0.14f},
    {"p40plane", YClientPhysics::PresetP40, "P40", YPlane::ClassProp, 0, 0.1f},
    {"f15plane", YClientPhysics::PresetF15, "F15", YPlane::ClassJet, 1, 0.1f},
    {"corsair_plane", YClientPhysics::PresetCorsair, "corsair_plane", YPlane::ClassProp, 0, 0.1f},
};
const PlaneModel kOtherModel = {"", YClientPhysics::PresetOther, "sigcap", YPlane::ClassJet, 0, 0.1f};

const PlaneModel& ModelOf(const char* key)
{
    for (const PlaneModel& m : kModels)
        if (key && std::strcmp(key, m.key) == 0) return m;
    return kOtherModel;
}

const struct {
    int slot;
    const char* name;
} kSoundNames[] = {
    {YPlane::SoundCrash, "Plane:pl-crash"},         {YPlane::SoundRunHigh, "Plane:pl-run-hi"},
    {YPlane::SoundStart, "Plane:pl-start"},         {YPlane::SoundStop, "Plane:pl-stop"},
    {YPlane::SoundLowFuel, "Plane:pl-warn-low-gas"}, {YPlane::SoundJetStart, "Plane:pl-jet-start"},
    {YPlane::SoundJetRun, "Plane:pl-jet-run"},       {YPlane::SoundJetStop, "Plane:pl-jet-stop"},
};

// Degrees a metre of height difference between the wheels and the body.
const float kTaxiPitchPerMetre = 57.32484f;
const float kDefaultTaxiPitch = 12.0f;
const float kSmokeSize = 30.0f;
const float kEffectSeconds = 100.0f;

YActorWorld* ActiveWorld()
{
    YGameObjects* engine = YGameObjects::Existing();
    return engine ? engine->m_world : nullptr;
}

}  // namespace

YPlane::YPlane() : m_handling(new YClientPhysics)
{
    m_name = "Plane";
    m_modelKey = "biplane";
    m_aimHeight = 2.0f;
    m_flagsB = (m_flagsB | FlagPlaneKind | FlagOnGround | FlagScaledAuthority) &
               ~(FlagFalling | FlagCrashing | FlagDown | FlagLiftOffReady);
    m_flagsA = (m_flagsA | FlagExtendSweep) &
               ~(FlagCollidePush | FlagClipToGround | FlagFaceVelocity | FlagOrientVelocity | FlagFollowTarget);
    for (const auto& sound : kSoundNames) m_soundNames[sound.slot] = sound.name;
    m_forward = m_cameraForward = YVector(0.0f, 0.0f, 1.0f);
    m_up = m_cameraUp = YVector(0.0f, 1.0f, 0.0f);
}

YPlane::YPlane(const char* key) : YPlane()
{
    YGameObjects* engine = YGameObjects::Existing();
    if (engine && engine->m_gameCommands) engine->m_gameCommands->ClearActiveVerbs();
    const PlaneModel& model = ModelOf(key);
    delete m_handling;
    m_handling = new YClientPhysics(model.preset);
    m_name = model.name;
    m_class = model.planeClass;
    m_isJet = model.isJet;
    m_restOffset = model.restOffset;
    m_modelKey = key ? key : "";
    m_inputOwner = 1;
    if (engine && engine->m_gameConfig) {
        m_autoLevel = engine->m_gameConfig->m_autoLevel ? 1 : 0;
        m_autoPitch = engine->m_gameConfig->m_autoPitch ? 1 : 0;
    }
    LoadPlaneModel();
    SetEngineLevel(0);
    PreloadPlaneSounds();
    if (YActorWorld* world = ActiveWorld()) {
        new YSmoke(YVector(), kSmokeSize);
        m_directionArrow = new YDirectionArrow(YDirectionArrow::KindPlane);
        world->AddActor(m_directionArrow);
    }
}

YPlane::~YPlane()
{
    YGameObjects* engine = YGameObjects::Existing();
    if (m_inputOwner && engine) engine->EnableInput(0);
    // The propeller leaves with the world's purge; it is never deleted here.
    if (m_propeller) m_propeller->Detach();
    m_propeller = nullptr;
    delete m_handling;
    delete m_script;
    StopEngineSound();
}

bool YPlane::GroupPoint(const char* group, YVector& point)
{
    YGameObjects* engine = YGameObjects::Existing();
    YSMHandle* model = GetModelInstance();
    const int16_t index = model ? model->FindGroup(group) : -1;
    return engine && index >= 0 && engine->ModelPointPosition(this, index, point);
}

void YPlane::LoadPlaneModel()
{
    m_modelName = "Dynamic:Planes:YSM:biplane";
    YActorWorld* world = ActiveWorld();
    YSMHandle* handle = world ? world->LoadModel(YString("Dynamic:Planes:YSM:") + m_modelKey) : nullptr;
    if (handle) SetModelObject(handle);
    PrepareModel();
}

void YPlane::PrepareModel()
{
    if (YSMHandle* handle = m_model) {
        int16_t group = handle->FindGroup("Normal");
        if (group < 0) group = handle->FindGroup("Camera");
        if (group >= 0) {
            handle->SetActiveGroup(group);
            handle->ShowGroup(group, true);
        }
        handle->SetFrame(0);
    }
    m_taxiPitch = ModelTaxiPitch();
}

float YPlane::ModelTaxiPitch() const
{
    if (!m_model) return kDefaultTaxiPitch;
    const float wheels = m_model->GetGroupHeight(m_model->FindGroup("Normal_wheels"));
    const float body = m_model->GetGroupHeight(m_model->FindGroup("Normal"));
    if (wheels < 0.0f || body < 0.0f) return kDefaultTaxiPitch;
    return (wheels - body) * kTaxiPitchPerMetre;
}

void YPlane::ForgetActor(YActor* actor)
{
    YActor::ForgetActor(actor);
    if (!actor) return;
    if (m_heldPowerUp == actor) m_heldPowerUp = nullptr;
    if (m_directionArrow == actor) m_directionArrow = nullptr;
    if (m_propeller == actor) m_propeller = nullptr;
}

void YPlane::ResetEffects()
{
    SetEngineLevel(0);
    m_disrupted = 1;
    m_disruptedTime = kEffectSeconds;
    m_smokeTime = kEffectSeconds;
    m_pendingRestart = 1;
}

void YPlane::SetSpeedScale(float scale) { m_handling->SetSpeedScale(scale); }

void YPlane::DestroyPlayerActor()
{
    if (m_directionArrow) m_directionArrow->MarkForDestruction();
}
