#include "world/YGameCommands.h"

#include <cstdio>
#include <cstring>

#include "assets3d/YSMHandle.h"
#include "engine/YGameObjects.h"
#include "foundation/YDataCollection.h"
#include "renderer/YParser.h"
#include "game/YClientInfo.h"
#include "game/YControlVerbs.h"
#include "game/YPlane.h"
#include "game/YTempSound.h"
#include "gui/YInterfaceMgr.h"
#include "sound/YSound.h"
#include "world/YActor.h"
#include "world/YActorSound.h"
#include "world/YActorWorld.h"
#include "world/YGameServer.h"
#include "world/YGameSession.h"

namespace {
const float kStartClearance = 16.0f;  // metres
const int kFirstStep = 5, kStepGrowth = 5, kLastStep = 100;

YGameObjects* Engine() { return YGameObjects::Existing(); }
}  // namespace

YGameCommands::YGameCommands() = default;

YGameCommands::~YGameCommands()
{
    ClearActiveVerbs();
}

// ------------------------------------------------------------ active verbs

void YGameCommands::HandleVerb(int id, const char* text, int released, uint32_t clock)
{
    YGameObjects* engine = Engine();
    if (!engine || !engine->m_clientPhysics) return;
    YClientInfo* owner = engine->m_localClient;
    const int kind = engine->m_verbs ? engine->m_verbs->GetInt(id) : 0;
    const int repeat = (kind == 1 || kind == 4 || kind == 5 || kind == 6) ? 0 : 1;
    YActiveVerb* found = nullptr;
    for (POSITION at = m_verbs.GetHeadPosition(); at && !found;) {
        YActiveVerb* verb = m_verbs.GetNext(at);
        if (verb->m_id == id && verb->m_owner == owner) found = verb;
    }
    if (released) {
        if (found) {
            found->m_releaseTime = clock;
            found->m_phase = YActiveVerb::Released;
        }
        return;
    }
    if (!found) {
        found = new YActiveVerb;
        found->m_id = id;
        found->m_owner = owner;
        m_verbs.AddTail(found);
    }
    found->m_repeat = repeat;
    found->m_phase = YActiveVerb::Pressed;
    found->m_text = text ? text : "";
    found->m_pressTime = clock;
}

void YGameCommands::ClearActiveVerbs()
{
    while (!m_verbs.IsEmpty()) delete m_verbs.RemoveHead();
}

void YGameCommands::RunActiveVerbs()
{
    YGameObjects* engine = Engine();
    if (!engine || !engine->m_clientPhysics) return;
    CTypedPtrList<CPtrList, YActiveVerb*> done;
    for (POSITION at = m_verbs.GetHeadPosition(); at;) {
        YActiveVerb* verb = m_verbs.GetNext(at);
        if (verb->m_repeat == 0) {
            if (verb->m_phase == YActiveVerb::Pressed && verb->m_owner) Fire(verb);
            done.AddTail(verb);
        } else if (verb->m_repeat == 1) {
            if (verb->m_phase == YActiveVerb::Released) done.AddTail(verb);
            else if (verb->m_phase == YActiveVerb::Pressed || verb->m_owner) Fire(verb);
            verb->m_phase = verb->m_phase == YActiveVerb::Released ? YActiveVerb::Released : YActiveVerb::Running;
        } else {
            verb->m_phase = YActiveVerb::Running;
        }
    }
    while (!done.IsEmpty()) Release(done.RemoveHead(), FireRelease);
}

void YGameCommands::Fire(YActiveVerb* verb)
{
    if (!verb || !verb->m_owner || verb->m_phase >= YActiveVerb::Released) return;
    YGameObjects* engine = Engine();
    const int code = verb->m_phase == YActiveVerb::Pressed ? FireFirst : FireRepeat;
    RunControlVerb(verb->m_id, engine ? engine->m_gameClock : 0, engine ? engine->m_frameTime : 0.0f, verb->m_owner,
                   verb->m_text, code);
    KeyHook(verb, code);
    verb->m_phase = YActiveVerb::Running;
}

void YGameCommands::Release(YActiveVerb* verb, int code)
{
    if (!verb) return;
    YGameObjects* engine = Engine();
    if (engine) verb->m_releaseTime = engine->m_gameClock;
    RunControlVerb(verb->m_id, verb->m_releaseTime, engine ? engine->m_frameTime : 0.0f, verb->m_owner, verb->m_text,
                   code);
    KeyHook(verb, code);
    POSITION at = m_verbs.Find(verb);
    if (at) m_verbs.RemoveAt(at);
    delete verb;
}

void YGameCommands::RunControlVerb(int id, uint32_t clock, float dt, YClientInfo* owner, const char* text, int code)
{
    DispatchControlVerb(id, clock, dt, owner, text, code);
}

void YGameCommands::PlaceEditorPick(const YVector&, const YVector&) {}

void YGameCommands::KeyHook(YActiveVerb* verb, int code)
{
    YGameObjects* engine = Engine();
    if (!engine || !verb) return;
    const bool playing = engine->m_session && engine->m_session->m_state == YGameSession::Playing;
    if (!playing) return;
    const bool editing = engine->m_settings && engine->m_settings->GetInt("game_editmode") == 1;
    if (verb->m_id == EditorVerb && code == FireFirst && editing) {
        YVector position, second;
        if (ParseEditorPick(verb->m_text, position, second)) PlaceEditorPick(position, second);
        return;
    }
    // The owner's further command receiver comes with the pilot record.
    if (verb->m_owner && verb->m_owner->m_plane) verb->m_owner->m_plane->OnCommand(verb->m_id, verb->m_text, code);
}

bool YGameCommands::ParseEditorPick(const char* text, YVector& position, YVector& second)
{
    if (!text) return false;
    float v[5];
    const char* at = text;
    for (int i = 0; i < 5; ++i) {
        char* end = nullptr;
        v[i] = strtof(at, &end);
        if (end == at) return false;
        at = end;
        while (*at == ' ') ++at;
        if (i < 4) {
            if (*at != ',') return false;
            ++at;
        }
    }
    position = YVector(v[0], v[1], v[2]);
    second = YVector(v[3], v[4], 0.0f);
    return true;
}

// ------------------------------------------------------------ named sounds

void YGameCommands::PlayActorSound(YActor* actor, const char* name, float minDistance, float maxDistance, int flags)
{
    YGameObjects* engine = Engine();
    YSound* sound = engine ? engine->m_sound : nullptr;
    if (flags & SoundStopFirst) StopActorSounds(actor, name);
    if (!actor) {
        const bool flying = engine && engine->m_localClient && engine->m_localClient->m_plane;
        if (!sound || !(flying || (flags & SoundAlways))) return;
        const int id = sound->RegisterSound(name);
        if (id > 0) sound->PlayById(id, (flags & SoundLoop) ? DSBPLAY_LOOPING : 0, 1, 0, 0);
        return;
    }
    YActorSound* played = new YActorSound(sound, actor, name);
    played->m_minDistance = minDistance;
    played->m_maxDistance = maxDistance;
    if (flags & SoundLoop) played->m_repeatMin = played->m_repeatMax = 0.0f;
    if (flags & SoundOnce) played->m_once = 1;
    YActor* listener = engine && engine->m_world ? engine->m_world->GetViewActor() : nullptr;
    played->Update(listener, 0.0f);
    actor->AddSound(played);
}

void YGameCommands::PlayActorSoundByIndex(int index, const char* name, float minDistance, float maxDistance,
                                          int flags)
{
    YGameObjects* engine = Engine();
    YActor* actor = engine && engine->m_world ? engine->m_world->GetActor(index) : nullptr;
    if (actor) PlayActorSound(actor, name, minDistance, maxDistance, flags);
}

void YGameCommands::PlayTempSound(const YVector& position, const char* name, float minDistance, float maxDistance,
                                  int flags)
{
    YGameObjects* engine = Engine();
    YActorWorld* world = engine ? engine->m_world : nullptr;
    if (!world) return;
    YTempSound* carrier = new YTempSound;
    carrier->m_position = position;
    carrier->SetFlag("NoMech", true);
    PlayActorSound(carrier, name, minDistance, maxDistance, flags);
    world->AddActor(carrier);
}

void YGameCommands::StopActorSounds(YActor* actor, const char* name)
{
    YGameObjects* engine = Engine();
    if (engine && engine->m_sound) engine->m_sound->StopByFileName(name);
    for (YActor* at = actor; at; at = at->GetParent()) at->RemoveSound(name);
}

// ------------------------------------------------------------ preloads

void YGameCommands::Preload(YDataCollection* collection)
{
    YGameObjects* engine = Engine();
    if (!engine || !collection) return;
    YSound* sound = engine->m_sound;
    YParser* renderer = engine->m_renderer;
    for (int i = 0; i <= collection->GetLastIndex(); ++i) {
        const YString& name = collection->GetName(i);
        if (name.IsEmpty()) continue;
        switch (collection->GetInt(i)) {
        case PreloadSound2D:
            if (sound) sound->CreateNewGameBuffer(name, 0);
            break;
        case PreloadSound3D:
            if (sound) sound->CreateNewGameBuffer(name, 1);
            break;
        case PreloadModel: delete LoadModelHandle(name); break;
        case PreloadTexture:
            if (renderer) renderer->LoadCatalogTextures(name, 0, 1);
            break;
        default: break;  // fonts come with the font manager
        }
    }
    const int lastLevel = 4;
    if (renderer && renderer->GetInitLevelCount(2) == lastLevel + 1) renderer->InitSession(2, nullptr, lastLevel);
}

YSMHandle* YGameCommands::LoadModelHandle(const char* text)
{
    YGameObjects* engine = Engine();
    YParser* renderer = engine ? engine->m_renderer : nullptr;
    if (!renderer || !text || !*text) return nullptr;
    YString parts[3];
    int count = 0;
    const char* at = text;
    for (; count < 3; ++count) {
        const char* colon = count < 2 ? strchr(at, ':') : nullptr;
        parts[count] = colon ? YString(at, static_cast<int>(colon - at)) : YString(at);
        if (!colon) break;
        at = colon + 1;
    }
    ++count;
    YSMHandle* handle = nullptr;
    if (count == 3) {
        handle = renderer->CreateModelHandleFromCatalog(parts[1], parts[0], parts[2]);
    } else if (count == 2) {
        handle = renderer->CreateModelHandleByName(parts[1], parts[0]);
    } else {
        YString path = parts[0];
        if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) path = engine->m_dataDir + "\\" + parts[0];
        handle = renderer->CreateModelHandle(path);
    }
    if (handle && !handle->HasModel()) {
        delete handle;
        handle = nullptr;
    }
    if (!handle) return nullptr;
    int16_t group = handle->FindGroup("Normal");
    if (group < 0) group = handle->FindGroup("Camera");
    if (group >= 0) {
        handle->SetActiveGroup(group);
        handle->ShowGroup(group, true);
    }
    handle->SetReferenceSize(16.0f);
    return handle;
}

// ------------------------------------------------------------ settings

void YGameCommands::SetSetting(int code, int id, const char* name, const char* value, int)
{
    YGameObjects* engine = Engine();
    if (!engine) return;
    YDataCollection* target = nullptr;
    if (code == 0) target = engine->m_values;
    else if (code == 1 || code == 2) target = engine->m_settings;
    else if (code == 4) target = engine->m_verbs;
    if (!target) return;
    if (name && *name) target->Set(name, value ? value : "");
    else if (id >= 0 && id < target->GetSize()) target->SetValue(id, value ? value : "");
    if (engine->m_interfaceMgr) engine->m_interfaceMgr->Refresh();
}

void YGameCommands::StartWeatherElement(const WeatherElementParams* parameters)
{
    YGameObjects* engine = Engine();
    if (engine && engine->m_gameServer) engine->m_gameServer->StartWeatherElement(parameters);
}

void YGameCommands::StopWeatherElement()
{
    YGameObjects* engine = Engine();
    if (engine && engine->m_gameServer) engine->m_gameServer->StopWeatherElement();
}

void YGameCommands::SetWeatherIntensity(float value)
{
    YGameObjects* engine = Engine();
    if (engine && engine->m_gameServer) engine->m_gameServer->SetWeatherIntensity(value);
}

// ------------------------------------------------------------ start places

bool YGameCommands::IsBlocked(const YVector& position)
{
    YActorWorld* world = Engine() ? Engine()->m_world : nullptr;
    if (!world) return false;
    if (!world->IsLocationClear(position, 1.0f)) return true;
    const float reach = kStartClearance * kStartClearance;
    for (int i = 0; i < world->GetHighestIndex() + 1; ++i) {
        YActor* actor = world->GetActor(i);
        if (!actor || (actor->m_flagsB & YActor::FlagPlaneKind)) continue;
        if (actor->m_position.DistanceSquared(position) < reach) return true;
    }
    return false;
}

void YGameCommands::FindClearStart(YVector& position)
{
    YActorWorld* world = Engine() ? Engine()->m_world : nullptr;
    if (world) position.y = world->GroundHeightAt(position.x, position.z);
    const YVector start = position;
    static const int kMoves[8][2] = {{1, 0}, {0, 1}, {-1, 0}, {-1, 0}, {0, -1}, {0, -1}, {1, 0}, {1, 0}};
    int step = kFirstStep, move = 0;
    while (IsBlocked(position)) {
        if (move == 8) {
            position = start;
            move = 0;
            step += kStepGrowth;
            if (step > kLastStep) return;
        }
        position.x += kMoves[move][0] * step;
        position.z += kMoves[move][1] * step;
        ++move;
    }
}
