#include "world/YGameSession.h"

#include <cstring>
#include <exception>

#include "engine/YEngineCallbacks.h"
#include "engine/YGameConfig.h"
#include "engine/YGameObjects.h"
#include "frontend/YJukeBox.h"
#include "game/YActorCollision.h"
#include "game/YArrow.h"
#include "game/YBotPlane.h"
#include "game/YClientInfo.h"
#include "game/YClientInfoList.h"
#include "game/YClientPhysics.h"
#include "game/YPlane.h"
#include "game/YVoiceOvers.h"
#include "gui/YInterfaceMgr.h"
#include "renderer/YGraphics.h"
#include "renderer/YParser.h"
#include "renderer/YD3D6Raster.h"
#include "assets3d/YSMHandle.h"
#include "sound/YSound.h"
#include "world/YActorWorld.h"
#include "world/YGameCommands.h"
#include "world/YGameRules.h"
#include "world/YGameServer.h"
#include "world/YMechanicalUpdater.h"
#include "world/YScriptor.h"
#include "world/YSoundUpdater.h"
#include "world/YThinkUpdater.h"

namespace {
const char* const kWorldName = "World";
const int kMapMode = 2;
const float kStartHeight = 2.0f;  // metres above the ground
const float kBotOffset = 75.0f;   // metres along x from the local plane

// The sounds every round preloads as 2D sounds.
const char* const kAmbientPreloads[] = {
    "Ambient:as-bird01",     "Ambient:as-bird02",        "Ambient:as-bird03",    "Ambient:as-bird04",
    "Ambient:as-bird05",     "Ambient:as-bird06",        "Ambient:as-carnival-loop", "Ambient:as-children",
    "Ambient:as-city-loop",  "Ambient:as-city-loop2",    "Ambient:as-dog",       "Ambient:as-fountain",
    "Ambient:as-wildlife-loop", "Ambient:as-windloop",   "Impact:pi-powerup",    "Impact:pi-powerup-taken",
};
enum { Preload2D = 0, Preload3D = 1 };

YGameObjects* Engine() { return YGameObjects::Existing(); }

void DrawOneFrame(YGameObjects* engine)
{
    if (engine->m_graphics) engine->m_graphics->RunFrame();
}

bool IsType(const YString& type, const char* name) { return strcmp(type, name) == 0; }

void Reseed() { srand(platform::Seed::Next()); }

// The plane's engine sound stops and starts here once planes run their
// engines.
void EngineSoundHook(YPlane*, bool) {}

// The skin of the plane's "Normal" group.
void SetPlaneSkin(YPlane* plane, int skin)
{
    YSMHandle* handle = plane->GetModelInstance();
    const int16_t group = handle ? handle->FindGroup("Normal") : -1;
    if (group >= 0 && handle->GetSkinTexture(group, static_cast<int16_t>(skin)) >= 0)
        handle->SetGroupSkin(group, static_cast<int16_t>(skin));
}
}  // namespace

YGameSession::YGameSession() : m_state(None), m_barWidth(0), m_progress(0) {}

YGameSession::~YGameSession() { ClearPassLists(); }

int YGameSession::HandleVerb(int id, int code, const char* text)
{
    if (m_state != Playing && m_state != Paused) return 1;
    YGameObjects* engine = Engine();
    if (engine && engine->m_gameCommands)
        engine->m_gameCommands->HandleVerb(id, text, code == VerbRelease, engine->m_gameClock);
    return 1;
}

// ------------------------------------------------------------ the tick

void YGameSession::Tick()
{
    YGameObjects* engine = Engine();
    if (!engine) return;
    if (engine->m_voiceOvers) engine->m_voiceOvers->Update();
    if (m_state != Playing) return;

    const CTime& date = engine->m_gameDate;
    if (engine->m_renderer)
        engine->m_renderer->SetClock(date.GetYear(), date.GetMonth(), date.GetDay(), date.GetHour(),
                                     date.GetMinute(), date.GetSecond());

    const uint32_t now = GetTickCount();
    if (engine->m_gameClock == 0) {
        m_lastTick = now - 1;
        engine->m_gameClock = 1;
        engine->m_frameCount = 0;
    } else {
        uint32_t gap = now - m_lastTick;
        if (gap > 1000) gap = 100;
        engine->m_gameClock += gap;
        m_lastTick = now;
    }
    if (m_previousClock > engine->m_gameClock) {
        m_previousClock = engine->m_gameClock - 1;
        engine->m_frameTime = 0.01f;
    } else {
        uint32_t difference = engine->m_gameClock - m_previousClock;
        if (difference > 10000) difference = 1000;
        engine->m_frameTime = static_cast<float>(difference * 0.001);
        m_previousClock = engine->m_gameClock;
    }
    const float dt = engine->m_frameTime;

    if (engine->m_gameServer) engine->m_gameServer->Update();
    RunPasses(m_passes, engine->m_world, dt);
    if (engine->m_gameCommands) engine->m_gameCommands->RunActiveVerbs();
    if (engine->m_clients && engine->m_clientPhysics) {
        int index = 0;
        for (POSITION at = engine->m_clients->GetHeadPosition(); at; ++index) {
            YClientInfo* record = engine->m_clients->GetNext(at);
            if (index < engine->m_clientPhysics->GetSize() && engine->m_clientPhysics->GetAt(index))
                engine->m_clientPhysics->GetAt(index)->Step(record, dt, false);
        }
    }
    RunPasses(m_passes2, engine->m_world2, dt);
    if (engine->m_rules) engine->m_rules->Tick();
    ++engine->m_frameCount;
}

void YGameSession::RunPasses(YUpdaterList& passes, YActorWorld* world, float dt)
{
    if (!world) return;
    world->m_traceMilliseconds = 0;
    world->m_traceCount = 0;
    for (POSITION at = passes.GetHeadPosition(); at;) passes.GetNext(at)->Update(world, dt);
    world->Refresh();
}

// ------------------------------------------------------------ progress

void YGameSession::SetProgress(int percent)
{
    m_progress = percent;
    m_barWidth = static_cast<int32_t>(percent * 0.01 * kBarLength);
    YGameObjects* engine = Engine();
    if (!engine) return;
    engine->ExecuteCommand("layout s screen screens.scr:main");
    engine->EnableInput(1);
    DrawOneFrame(engine);
    engine->EnableInput(0);
}

void YGameSession::AdvanceProgress() { SetProgress(m_progress + 1); }

// ------------------------------------------------------------ passes

void YGameSession::BuildPassLists()
{
    ClearPassLists();
    m_passes.AddTail(new YMechanicalUpdater);
    m_passes.AddTail(new YSoundUpdater);
    m_passes.AddTail(new YThinkUpdater);
    m_passes2.AddTail(new YMechanicalUpdater(0.0f, 0.0f));
    m_passes2.AddTail(new YThinkUpdater);
}

void YGameSession::ClearPassList(YUpdaterList& passes)
{
    while (!passes.IsEmpty()) delete passes.RemoveHead();
}

void YGameSession::ClearPassLists()
{
    ClearPassList(m_passes);
    ClearPassList(m_passes2);
}

// ------------------------------------------------------------ actions

int YGameSession::Action(int action, int)
{
    switch (action) {
    case ActionInit: return RunInit();
    case ActionBegin:
        if (m_state != Loaded) return 0;
        return RunBegin();
    case ActionEnd: RunEnd(); return 1;
    case ActionPause:
        if (m_state != Playing && m_state != Paused) return 0;
        RunPause();
        return 1;
    case ActionDemo: RunDemo(); return 1;
    case ActionRestart:
        // Only a round can restart.
        if (m_state != Playing && m_state != Paused && m_state != Demo) return 0;
        RunRestart();
        return 1;
    default: return 0;
    }
}

void YGameSession::InitWorlds()
{
    YGameObjects* engine = Engine();
    for (YActorWorld* world : {engine->m_world, engine->m_world2})
        if (world) world->Init(engine->m_renderer, engine->m_sound, kWorldName, WorldCapacity);
    if (engine->m_world) engine->m_world->SetMoveCallback(CollideActorParts);
}

int YGameSession::RunInit()
{
    YGameObjects* engine = Engine();
    if (!engine) return 0;
    m_barWidth = 0;
    // The lists refer to actors of the worlds about to be emptied.
    engine->ClearPopulation();
    InitWorlds();
    engine->EnableInput(1);
    engine->ExecuteCommand("layout s screen screens.scr:main");
    DrawOneFrame(engine);
    engine->EnableInput(0);
    if (engine->m_interfaceMgr) engine->m_interfaceMgr->SetLayout("SCREEN", "", 1, nullptr);
    SetProgress(1);

    m_state = Loading;
    engine->m_gameDate = CTime(2000, 10, 31, 12, 0, 0);
    const CTime& date = engine->m_gameDate;
    if (engine->m_renderer)
        engine->m_renderer->SetClock(date.GetYear(), date.GetMonth(), date.GetDay(), date.GetHour(),
                                     date.GetMinute(), date.GetSecond());
    InitWorlds();
    if (!LoadMapStages(engine->m_sessionDesc.m_mapPath)) {
        m_state = None;
        return 0;
    }
    ChoosePopulationScript();
    m_state = Loaded;
    return 1;
}

bool YGameSession::LoadMapStages(const char* path)
{
    YGameObjects* engine = Engine();
    YParser* renderer = engine ? engine->m_renderer : nullptr;
    if (!renderer || !path) return false;
    renderer->SetRangeTest(RangeTest);
    renderer->SetLoadingKeepAlive(LoadingKeepAlive);
    engine->EndRendererSession();

    SetProgress(5);
    if (!renderer->InitSession(kMapMode, &engine->m_sessionDesc, 0)) return false;
    Reseed();
    SetProgress(15);
    if (!renderer->InitSession(kMapMode, nullptr, 1)) return false;
    Reseed();
    SetProgress(30);
    if (engine->m_gameServer) engine->m_gameServer->LoadFromMap();
    SetProgress(45);
    renderer->InitSession(kMapMode, nullptr, 2);
    SetProgress(60);
    renderer->InitSession(kMapMode, nullptr, 3);
    Reseed();

    if (renderer->GetFlareSourceCount() == 0) {
        renderer->ClearLights(1);
        if (YRasterLight* light = static_cast<YRasterLight*>(renderer->GetLight(0))) {
            YRasterLight green = *light;
            green.color[0] = 0.0f;
            green.color[1] = 1.0f;
            green.color[2] = 0.0f;
            renderer->SetLight(0, &green);
        }
    } else {
        renderer->ClearLights(0);
    }
    SetProgress(70);
    return true;
}

YString YGameSession::ChoosePopulationScript()
{
    YGameObjects* engine = Engine();
    YGameConfig* config = engine ? engine->m_gameConfig : nullptr;
    if (!config) return YString();
    int number = 2 * config->m_levelIndex + rand() % 2;
    if (config->m_gameLevel >= 0) number = config->m_gameLevel;
    YString name;
    if (config->m_gameType.CompareNoCase("practice") != 0)
        name.Format("%s%d.rcs", (const char*)config->m_gameType, number);
    YScriptor scriptor;
    if (scriptor.Open(name, YScriptor::ModeRead)) scriptor.ReadAndSpawn();
    return name;
}

int YGameSession::RunBegin()
{
    YGameObjects* engine = Engine();
    try {
        m_state = Beginning;
        SetProgress(80);
        BuildPassLists();
        SetProgress(100);
        if (engine->m_clientPhysics) YClientPhysics::SizeArray(*engine->m_clientPhysics, PilotBlocks);
        BeginPopulation();
        SetViewToLocalPlane(engine->m_localClient);
        engine->EnableInput(1);
        m_state = Playing;
        return 1;
    } catch (CException* e) {
        e->Delete();
    } catch (const std::exception&) {
    }
    // A round that could not begin is torn down, so that END and INIT work.
    RunEnd();
    return 0;
}

void YGameSession::BeginPopulation()
{
    YGameObjects* engine = Engine();
    POSITION head = engine->m_clients ? engine->m_clients->GetHeadPosition() : nullptr;
    if (YClientInfo* first = head ? engine->m_clients->GetNext(head) : nullptr) {
        first->m_auxWordA = 0;
        first->m_auxWordB = 0;
        first->m_valueA = 10.0f;
        first->m_name = "Male";
        first->m_active = 1;
    }
    YPlane* plane = CreateLocalPlane();
    const bool practice = engine->m_gameConfig && engine->m_gameConfig->m_practice;
    if (!practice && plane) CreateBot(plane->m_position);

    if (engine->m_gameServer && engine->m_gameCommands) {
        const YDataCollection& preloads = engine->m_gameServer->m_preloads;
        YDataCollection copy;
        for (int i = 0; i <= preloads.GetLastIndex(); ++i) copy.SetAt(i, preloads.GetName(i), preloads.GetValue(i), 0);
        engine->m_gameCommands->Preload(&copy);
    }
}

YString YGameSession::GameType()
{
    YString type = m_properties.GetValue("ServerGameType");
    YGameObjects* engine = Engine();
    if (type.IsEmpty() && engine && engine->m_gameConfig) type = engine->m_gameConfig->m_gameType;
    return type;
}

void YGameSession::StartPosition(YVector& position, YVector& angles)
{
    YGameObjects* engine = Engine();
    YActorWorld* world = engine->m_world;
    position = world ? YVector(world->MapWidth() * 0.5f, 0.0f, world->MapHeight() * 0.5f) : YVector();
    angles = YVector();
    YGameServer* server = engine->m_gameServer;
    if (!server || server->m_starts.IsEmpty()) return;
    const int chosen = rand() % static_cast<int>(server->m_starts.GetCount());
    const YPlayerStart* start = server->m_starts.GetAt(server->m_starts.FindIndex(chosen));
    position = start->m_position;
    angles = start->m_angles;
}

YPlane* YGameSession::CreateLocalPlane()
{
    YGameObjects* engine = Engine();
    YGameServer* server = engine->m_gameServer;
    YGameConfig* config = engine->m_gameConfig;
    const YString type = GameType();
    if (server)
        for (const char* name : kAmbientPreloads) server->AddPreload(name, Preload2D);

    YPlane* plane = new YPlane(config ? (const char*)config->m_plane : "");
    if (server) {
        server->AddPreload("Impact:pi-powerup", Preload3D);
        server->AddPreload("Impact:pi-powerup-taken", Preload3D);
    }
    const float scaler = config ? config->m_physicsScaler * 0.01f : 1.0f;
    const char* const* extra = nullptr;
    static const char* const kAirRace[] = {"Impact:pi-waypoint", nullptr};
    static const char* const kDogfight[] = {"Impact:pi-bb-fire", nullptr};
    static const char* const kTunnix[] = {"Impact:pi-Tunnix-stolen", nullptr};
    static const char* const kBalloon[] = {"Impact:pi-balloon-release", "Impact:pi-balloon-pop",
                                           "Impact:pi-balloon-splat", "Impact:pi-balloon-splat2", nullptr};
    if (IsType(type, "airrace")) {
        plane->SetSpeedScale(scaler * 1.5f);
        plane->GetHandling()->m_speedScale *= 1.5f;
        extra = kAirRace;
    } else if (IsType(type, "dogfight")) {
        plane->SetSpeedScale(scaler * 0.5f);
        plane->GetHandling()->m_speedScale *= 0.5f;
        extra = kDogfight;
    } else if (IsType(type, "tunnix")) {
        extra = kTunnix;
    } else if (IsType(type, "balloon")) {
        extra = kBalloon;
    }
    for (; server && extra && *extra; ++extra) server->AddPreload(*extra, Preload3D);

    YVector position, angles;
    StartPosition(position, angles);
    YActorWorld* world = engine->m_world;
    if (world) world->AddActor(plane);
    engine->m_directionArrow = new YArrow;
    plane->m_startPosition = position;
    plane->m_startPosition.y = (world ? world->TerrainHeightAt(position.x, position.z) : 0.0f) + kStartHeight;
    plane->m_startAngles = angles;
    plane->m_angles = angles;

    if (YClientInfo* record = engine->m_localClient) {
        record->m_plane = plane;
        record->m_controlledPlane = plane;
    }
    YVector clear = position;
    if (engine->m_gameCommands) engine->m_gameCommands->FindClearStart(clear);
    if (world) world->MoveActor(plane, clear);
    plane->m_position = clear;
    SetPlaneSkin(plane, config ? config->m_planeSkin : 0);
    return plane;
}

YPlane* YGameSession::CreateBot(const YVector& position)
{
    YGameObjects* engine = Engine();
    YGameConfig* config = engine->m_gameConfig;
    const YString type = GameType();
    int kind = 1;
    if (type.CompareNoCase("dogfight") == 0) kind = 2;
    else if (type.CompareNoCase("balloon") == 0) kind = 0;
    else if (type.CompareNoCase("tunnix") == 0) kind = 3;

    // The bot plane joins the active world itself.
    YPlane* bot = new YBotPlane(kind);
    m_botKind = kind;
    const float scaler = config ? config->m_physicsScaler * 0.01f : 1.0f;
    if (type.CompareNoCase("airrace") == 0) {
        bot->SetSpeedScale(scaler * 1.5f);
        bot->GetHandling()->m_speedScale *= 1.5f;
    } else if (type.CompareNoCase("dogfight") == 0) {
        bot->SetSpeedScale(scaler * 0.5f);
        bot->GetHandling()->m_speedScale *= 0.5f;
    } else {
        bot->SetSpeedScale(scaler);
    }
    bot->m_startPosition = position;
    bot->m_startAngles = YVector();
    bot->m_angles = YVector();
    const YVector at(position.x + kBotOffset, position.y, position.z);
    bot->m_position = at;
    if (engine->m_world) {
        if (engine->m_world->IndexOf(bot) < 0) engine->m_world->AddActor(bot);
        engine->m_world->MoveActor(bot, at);
    }
    engine->m_opponentPlane = bot;
    return bot;
}

void YGameSession::SetViewToLocalPlane(YClientInfo* record)
{
    YGameObjects* engine = Engine();
    if (!record) return;
    record->m_flagB = 1;
    if (engine->m_world) engine->m_world->SetViewActor(record->m_plane);
}

void YGameSession::StopPlaneSounds()
{
    YGameObjects* engine = Engine();
    for (YPlane* plane : {engine->m_opponentPlane, engine->m_localClient ? engine->m_localClient->m_plane : nullptr})
        if (plane) EngineSoundHook(plane, false);
}

void YGameSession::StartPlaneSounds()
{
    YGameObjects* engine = Engine();
    for (YPlane* plane : {engine->m_opponentPlane, engine->m_localClient ? engine->m_localClient->m_plane : nullptr})
        if (plane) EngineSoundHook(plane, true);
}

void YGameSession::RunEnd()
{
    YGameObjects* engine = Engine();
    if (!engine) return;
    if (engine->m_gameConfig) engine->m_gameConfig->m_practice = 0;
    if (m_state == Paused) RunPause();
    engine->EnableInput(0);
    if (engine->m_sound) engine->m_sound->StopAll();
    if (engine->m_jukebox) engine->m_jukebox->Stop();
    m_state = Ending;
    engine->ExecuteCommand("layout s screen screens.scr:quit");
    DrawOneFrame(engine);
    ClearPassLists();
    if (engine->m_directionArrow) {
        engine->m_directionArrow->MarkForDestruction();
        engine->m_directionArrow = nullptr;
    }
    // The population lists let their actors go before the worlds do.
    engine->ClearPopulation();
    for (YActorWorld* world : {engine->m_world, engine->m_world2})
        if (world) world->Clear();
    engine->m_gameClock = 0;
    engine->m_frameTime = 0.0f;
    engine->EnableInput(0);
    m_state = None;
    engine->ReturnToSetup();
}

void YGameSession::RunPause()
{
    YGameObjects* engine = Engine();
    if (m_state == Playing) {
        engine->EnableInput(0);
        m_state = Paused;
        StopPlaneSounds();
        if (engine->m_sound) engine->m_sound->PauseAll(1);
        if (engine->m_jukebox) engine->m_jukebox->Pause();
        const bool practice = engine->m_gameConfig && engine->m_gameConfig->m_practice;
        engine->m_gameState.m_screenRequest = practice ? YGameState::ScreenPracticePause : YGameState::ScreenPause;
        engine->ExecuteCommand("layout s screengame:game screens.scr:practicepause");
    } else if (m_state == Paused) {
        engine->EnableInput(1);
        m_state = Playing;
        StartPlaneSounds();
        if (engine->m_sound) engine->m_sound->PauseAll(0);
        if (engine->m_jukebox) engine->m_jukebox->Resume();
        engine->ExecuteCommand("layout e screengame:game");
    }
}

void YGameSession::RunDemo()
{
    YGameObjects* engine = Engine();
    m_state = Demo;
    StopPlaneSounds();
    if (engine->m_sound) engine->m_sound->StopAll();
    if (engine->m_jukebox) engine->m_jukebox->Stop();
    engine->EnableInput(0);
}

void YGameSession::RemoveRoundActors()
{
    YGameObjects* engine = Engine();
    YActorWorld* world = engine->m_world;
    if (engine->m_opponentPlane) {
        YPlane* opponent = engine->m_opponentPlane;
        engine->m_opponentPlane = nullptr;
        if (world) world->RemoveActor(opponent, 1);
    }
    if (engine->m_rules) engine->m_rules->FlagRemoval();
    if (YPlane* plane = engine->m_localClient ? engine->m_localClient->m_plane : nullptr) {
        plane->DestroyPlayerActor();
        engine->m_localClient->m_plane = nullptr;
        if (world) world->RemoveActor(plane, 1);
    }
    if (engine->m_directionArrow) {
        engine->m_directionArrow->MarkForDestruction();
        engine->m_directionArrow = nullptr;
    }
    engine->ClearPopulation();
}

void YGameSession::RunRestart()
{
    YGameObjects* engine = Engine();
    if (m_state == Paused) RunPause();
    m_state = Playing;
    if (engine->m_sound) engine->m_sound->StopAll();
    if (engine->m_jukebox) engine->m_jukebox->Stop();
    RemoveRoundActors();
    if (engine->m_localClient) engine->m_localClient->Reset();
    engine->UpdateWorldLights();
    if (engine->m_world) engine->m_world->RemoveMarked();
    engine->CreateRulesAndStart();
    ChoosePopulationScript();
    BeginPopulation();
    SetViewToLocalPlane(engine->m_localClient);
    engine->EnableInput(1);
}
