#include "engine/YGameObjects.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "engine/YCommandDialog.h"
#include "engine/YCommandInterpreter.h"
#include "engine/YEngineCallbacks.h"
#include "engine/YGameConfig.h"
#include "engine/YKestrixFrame.h"
#include "engine/YMsgHandler.h"
#include "foundation/YCatalog.h"
#include "foundation/YCheats.h"
#include "foundation/YConfigData.h"
#include "foundation/YCpuInfo.h"
#include "foundation/YFastMath.h"
#include "foundation/YDataCollection.h"
#include "foundation/YGraphicsData.h"
#include "foundation/YObjectDefList.h"
#include "foundation/YObjectParser.h"
#include "foundation/YResource.h"
#include "foundation/YSineTable.h"
#include "frontend/YAppInterfaceFactory.h"
#include "frontend/YJukeBox.h"
#include "game/YClientInfo.h"
#include "game/YClientInfoList.h"
#include "game/YCompass.h"
#include "game/YPlane.h"
#include "game/YVoiceOvers.h"
#include "assets3d/YAssets3DResources.h"
#include "assets3d/YSMHandle.h"
#include "graphics2d/YDXDrawDrivers.h"
#include "graphics2d/YGraphics2DResources.h"
#include "gui/YGuiResources.h"
#include "sound/YSoundResources.h"
#include "gui/YInterfaceMgr.h"
#include "input/YInputObj.h"
#include "input/YInputObjSettings.h"
#include "renderer/YGraphics.h"
#include "renderer/YParser.h"
#include "sound/YSound.h"
#include "world/YActor.h"
#include "world/YActorWorld.h"
#include "world/YGameCommands.h"
#include "world/YAirRaceRules.h"
#include "world/YBalloonDropRules.h"
#include "world/YDogFightRules.h"
#include "world/YGameRules.h"
#include "world/YPracticeRules.h"
#include "world/YTunnixRules.h"
#include "world/YGameServer.h"
#include "world/YGameSession.h"

const char* const YGameObjects::SaveSuffix = ".tmp";

namespace {
// The two cheats of the start-up list, in stored form.
const char* const StartCheats[] = {
    "\x7A\x72\x80\x6F\x76\x76\x72",
    "\x6E\x7D\x74\x74\x7C\x69\x76\x73",
};

const int32_t SessionDefaults[YSessionDesc::ParameterCount] = {
    25, 1, 1, 800, 100, 2, 1, 0, 1, 0, 16, 1, 1, 1, 1, 1, 0, 1, 1, 0, 1, 0, 1, 1, 1, 2, 2, 0, 0, 0, 0,
};

const char* const kTitle = "RC Volaro";
const DWORD kFrameStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
const DWORD kBorderedMask = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
const DWORD kBorderedExMask = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE;
const UINT kRedrawDesktop = RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME;
const UINT kRedrawWindow = RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_NOERASE | RDW_NOCHILDREN | RDW_UPDATENOW | RDW_FRAME;
const UINT kIconResource = 102;
const int kCursorType = 3;

const char* const kColourDepthMessage = "RC Volaro requires at least 16 bit color to run.\nThe game will now exit.";
const char* const kAcceleratorMessage =
    "Error: Could not initialize the 3D accelerator\n  This can occur for many reasons..\n\n  You can attempt to "
    "correct the problem by:\n  1.  Switching your desktop to 16-bit color depth.\n  2.  Running the game in Full "
    "Screen mode.\n          (set gfx_fullscreen = 1 in your default.cfg file)\n  3.  Rebooting your system.\n  4.  "
    "Make sure the latest video drivers are installed.\n";
const char* const kEnumerationMessage =
    "Error: Could not list the display drivers.\nThe game will now exit.";

YAppInterfaceFactory* AppFactory(YInterfaceMgr* manager)
{
    return manager ? dynamic_cast<YAppInterfaceFactory*>(manager->GetFactory()) : nullptr;
}

// Script errors of the object parser are the program's own message boxes.
void ShowScriptMessage(const char* text) { AfxMessageBox(text, MB_OK); }

// The frame counter of the frame-rate measurement.
DWORD g_lastMeasure = 0;
int32_t g_framesSinceMeasure = 0;
}  // namespace

namespace {

std::unique_ptr<YGameObjects>& TheInstance()
{
    static std::unique_ptr<YGameObjects> instance;
    return instance;
}

}  // namespace

YGameObjects* YGameObjects::Instance()
{
    std::unique_ptr<YGameObjects>& instance = TheInstance();
    if (!instance) instance.reset(new YGameObjects);
    return instance.get();
}

YGameObjects* YGameObjects::Existing() { return TheInstance().get(); }

YGameObjects::YGameObjects()
{
    for (int i = 0; i < YSessionDesc::ParameterCount; ++i) m_sessionDesc.m_parameters[i] = SessionDefaults[i];
    InitMathDispatch(DetectCpuFeatures());
    BuildSineTable();
    // The resource types every layer creates from catalogs.
    YGraphics2DResources::Register();
    YSoundResources::Register();
    YAssets3DResources::Register();
    YGuiResources::Register();
    ClearMembers();
    DestroyAll();

    m_graphics = new YGraphics;
    m_gameConfig = new YGameConfig;
    m_configData = new YConfigData;
    m_configData->m_game = m_gameConfig;
    m_msgHandler = new YMsgHandler;
    m_interpreter = new YCommandInterpreter;
    m_appSwitches = new YDataCollection(0, 1);

    m_interfaceMgr = new YInterfaceMgr(new (std::nothrow) YAppInterfaceFactory);
    m_console = new YCommandDialog("Interface:font background");
    m_cheats = new YCheats;
    for (const char* cheat : StartCheats) m_cheats->Add(cheat, 1);

    m_world = new YActorWorld;
    m_world2 = new YActorWorld;
    m_values = new YDataCollection(32, 32);
    m_verbs = new YDataCollection(32, 32);
    m_settings = new YDataCollection(32, 32);
    m_layoutValues = new YDataCollection(32, 32);

    m_objectParser = new YObjectParser;
    m_objectDefs = new YObjectDefList;
    m_objectParser->SetDefinitionList(m_objectDefs);
    YObjectParser::SetMessageBoxHandler(ShowScriptMessage);

    m_session = new YGameSession;
    m_gameServer = new YGameServer;
    m_gameCommands = new YGameCommands;
    m_clientPhysics = new YClientPhysicsArray;
    m_localClient = new YClientInfo;
    m_clients = new YClientInfoList;
    m_clients->AddTail(m_localClient);

    m_frameCount = 0;
    m_gameClock = 0;
    m_frameTime = 0.0f;
    m_roundSeconds = 120;
    m_botLevel = 0;
    m_gameDate = CTime::GetCurrentTime();
    m_registering = 1;
    m_winnerPlane = nullptr;
    m_tie = 0;
    m_borderless = 0;

    m_input = new YInputObj(nullptr, nullptr);
    if (m_input) {
        m_input->m_commandCallback = CommandCallback;
        m_input->m_axisCallback = AxisCallback;
        if (m_configData) m_configData->m_input = &m_input->m_settings;
    }

    m_sound = new YSound;
    m_compass = new YCompass;
    m_rules = nullptr;

    char cwd[2048];
    m_startDir = _getcwd(cwd, sizeof(cwd)) ? cwd : "";
    RegisterAppSwitches();
    m_opponentPlane = nullptr;
    m_jukebox = new YJukeBox;
    m_voiceOvers = new YVoiceOvers;
    m_debugVertexCount = 0;
    memset(m_debugVertices, 0, sizeof m_debugVertices);
    m_won = 0;
    m_celebrating = 0;
    m_newEntryPlace = 0;
}

YGameObjects::~YGameObjects() { DestroyAll(); }

void YGameObjects::ClearMembers()
{
    m_rules = nullptr;
    m_opponentPlane = m_winnerPlane = nullptr;
    m_directionArrow = nullptr;
    m_compass = nullptr;
    m_jukebox = nullptr;
    m_voiceOvers = nullptr;
    m_clientPhysics = nullptr;
    m_balloons = nullptr;
    m_tunnixes = nullptr;
    m_powerUps = nullptr;
    m_waypoints = nullptr;
    m_targets = nullptr;
    m_goals = nullptr;
    m_frame = nullptr;
    m_app = nullptr;
    m_msgHandler = nullptr;
    m_catalog = nullptr;
    m_configData = nullptr;
    m_gameConfig = nullptr;
    m_graphics = nullptr;
    m_renderer = nullptr;
    m_input = nullptr;
    m_sound = nullptr;
    m_interpreter = nullptr;
    m_appSwitches = nullptr;
    m_console = nullptr;
    m_interfaceMgr = nullptr;
    m_cheats = nullptr;
    m_session = nullptr;
    m_gameCommands = nullptr;
    m_gameServer = nullptr;
    m_localClient = nullptr;
    m_clients = nullptr;
    m_cursor = nullptr;
    m_world = m_world2 = nullptr;
    m_values = m_verbs = m_settings = m_layoutValues = nullptr;
    m_objectDefs = nullptr;
    m_objectParser = nullptr;
    m_appFps = m_appInput = m_appLayout = m_appCursor = m_appScriptor = 0;
    m_appClient = 0;
    m_showSoundInfo = 0;
    m_registering = 0;
    m_keptMenu = nullptr;
}

template <class T>
static void DeleteMember(T*& member)
{
    delete member;
    member = nullptr;
}

// The lists hold references: emptied, then deleted.
template <class T>
static void DeleteList(T*& list)
{
    if (list) list->RemoveAll();
    DeleteMember(list);
}

template <class T>
static void MarkAll(T* list)
{
    if (!list) return;
    for (POSITION at = list->GetHeadPosition(); at;) {
        YActor* actor = list->GetNext(at);
        if (actor) actor->MarkForDestruction();
    }
    list->RemoveAll();
}

void YGameObjects::DestroyAll()
{
    m_opponentPlane = nullptr;
    DeleteMember(m_msgHandler);
    DestroyRenderer();
    DeleteMember(m_console);
    DeleteInterface();
    DeleteMember(m_cheats);
    if (m_graphics) m_graphics->ExchangeAttached(nullptr);
    DeleteMember(m_cursor);
    DeleteMember(m_graphics);
    DeleteMember(m_gameConfig);
    if (m_configData) m_configData->m_input = nullptr;
    DeleteMember(m_configData);
    DeleteMember(m_interpreter);
    DeleteMember(m_input);
    DeleteMember(m_sound);
    DeleteMember(m_appSwitches);
    DeleteMember(m_world);
    DeleteMember(m_world2);
    YDataCollection** collections[4] = {&m_values, &m_verbs, &m_settings, &m_layoutValues};
    for (YDataCollection** collection : collections) DeleteMember(*collection);
    DeleteMember(m_objectParser);
    if (m_objectDefs) m_objectDefs->DeleteAll();
    DeleteMember(m_objectDefs);
    DeleteMember(m_session);
    DeleteMember(m_gameCommands);
    DeleteMember(m_gameServer);
    if (m_clientPhysics) {
        for (int i = 0; i < m_clientPhysics->GetSize(); ++i) delete m_clientPhysics->GetAt(i);
        m_clientPhysics->RemoveAll();
    }
    DeleteMember(m_clientPhysics);
    DeleteMember(m_localClient);
    DeleteMember(m_clients);
    DeleteMember(m_catalog);
    DeleteMember(m_compass);
    DeleteList(m_balloons);
    DeleteList(m_tunnixes);
    DeleteList(m_powerUps);
    DeleteList(m_waypoints);
    DeleteList(m_targets);
    DeleteList(m_goals);
    ResetState();
    DeleteMember(m_rules);
    DeleteMember(m_jukebox);
    DeleteMember(m_voiceOvers);
}

void YGameObjects::CreatePopulationLists()
{
    DeleteList(m_balloons);
    DeleteList(m_tunnixes);
    DeleteList(m_powerUps);
    DeleteList(m_waypoints);
    DeleteList(m_targets);
    DeleteList(m_goals);
    m_balloons = new YBalloonList;
    m_tunnixes = new YTunnixList;
    m_powerUps = new YPowerUpList;
    m_waypoints = new YWaypointList;
    m_targets = new YTargetList;
    m_goals = new YGoalList;
}

int YGameObjects::ClearPopulation()
{
    MarkAll(m_balloons);
    MarkAll(m_tunnixes);
    MarkAll(m_waypoints);
    MarkAll(m_targets);
    MarkAll(m_goals);
    MarkAll(m_powerUps);
    // Every population actor of the world goes, listed or not: the start
    // banner has lost its kind bit, collected actors have left their lists,
    // held power-ups were never listed, and strings go with their balloons
    // (or alone, falling).
    for (int i = 0; m_world && i <= m_world->GetHighestIndex(); ++i) {
        YActor* actor = m_world->GetActor(i);
        if (!actor) continue;
        if ((actor->m_flagsB & YActor::FlagsPopulationKinds) || dynamic_cast<YBalloonString*>(actor))
            actor->MarkForDestruction();
        if (YBalloon* balloon = dynamic_cast<YBalloon*>(actor)) {
            if (balloon->IsMarkedForDestruction() && balloon->m_string) balloon->m_string->MarkForDestruction();
        }
    }
    if (!m_world) return 0;
    const int before = m_world->GetCount();
    m_world->PurgeDestroyed();
    return before - m_world->GetCount();
}

template <class T>
static void EmptyEntriesOf(T* list, YActor* actor)
{
    if (!list) return;
    for (POSITION at = list->GetHeadPosition(); at;) {
        POSITION here = at;
        if (static_cast<YActor*>(list->GetNext(at)) == actor) list->SetAt(here, nullptr);
    }
}

void YGameObjects::ForgetActor(YActor* actor)
{
    if (!actor) return;
    if (m_gameServer) m_gameServer->ForgetActor(actor);
    if (m_rules && m_rules->m_celebration == actor) m_rules->m_celebration = nullptr;
    if (m_rules && static_cast<const void*>(m_rules->m_currentWaypoint) == static_cast<const void*>(actor))
        m_rules->m_currentWaypoint = nullptr;
    if (static_cast<const void*>(m_winnerPlane) == static_cast<const void*>(actor)) m_winnerPlane = nullptr;
    if (m_directionArrow == actor) m_directionArrow = nullptr;
    if (m_clients) m_clients->ForgetActor(actor);
    // The opponent plane is an actor of the world once planes are actors.
    if (static_cast<const void*>(m_opponentPlane) == static_cast<const void*>(actor)) m_opponentPlane = nullptr;
    EmptyEntriesOf(m_balloons, actor);
    EmptyEntriesOf(m_tunnixes, actor);
    EmptyEntriesOf(m_powerUps, actor);
    EmptyEntriesOf(m_waypoints, actor);
    EmptyEntriesOf(m_targets, actor);
    EmptyEntriesOf(m_goals, actor);
}

void YGameObjects::ResetState()
{
    m_instance = nullptr;
    m_hWnd = nullptr;
    m_frame = nullptr;
    m_running = 1;
    m_borderless = 0;
    m_startDir.Empty();
    m_dataDir.Empty();
    m_pitchVerb.Empty();
    m_yawVerb.Empty();
    m_fps = 0.0f;
    m_tie = 0;
    m_won = 0;
    m_celebrating = 0;
    m_newEntryPlace = 0;
    m_gameState.Reset();
}

void YGameObjects::RegisterAppSwitches()
{
    if (!m_appSwitches) return;
    static const char* const names[] = {"APP_FPS",     "APP_INPUT",  "APP_FLAT_SKIN", "APP_LAYOUT",
                                        "APP_CURSOR",  "APP_SCRIPTOR", "APP_CLIENT",  "APP_PTREES",
                                        "APP_STREES",  "APP_LOD",    "APP_BILLBOARD"};
    for (const char* name : names) m_appSwitches->Set(name, strcmp(name, "APP_CLIENT") == 0 ? "-1" : "0", 0);
}

void YGameObjects::FindVerbName(const char* value, YString& name)
{
    if (!m_verbs) return;
    YString wanted = value ? value : "";
    for (int i = 0; i <= m_verbs->GetLastIndex(); ++i) {
        if (m_verbs->GetName(i).IsEmpty()) continue;
        if (strcmp(m_verbs->GetValue(i), wanted) == 0) {
            name = m_verbs->GetName(i);
            return;
        }
    }
}

void YGameObjects::ExecuteCommand(const char* line)
{
    if (!m_interpreter || !line) return;
    YString output;
    m_interpreter->ExecuteCommand(line, &output);
}

void YGameObjects::ExecuteCommandWithText(const char* line, const char* text)
{
    if (!m_interpreter || !line) return;
    YString output;
    m_interpreter->ExecuteCommandWithText(line, text ? text : "", &output);
}

int YGameObjects::MessageBox(const char* text, const char* caption, UINT type)
{
    if (!caption) {
        CWinApp* app = AfxGetApp();
        caption = app && app->m_pszAppName ? app->m_pszAppName : kTitle;
    }
    return ::MessageBoxA(m_hWnd, text, caption, type);
}

void YGameObjects::LoadConfig()
{
    if (!m_interpreter) return;
    // A save that stopped between removing the old file and moving the new
    // one into place leaves only the complete temporary file.
    YString pending = YString("config.cfg") + SaveSuffix;
    if (GetFileAttributesA("config.cfg") == INVALID_FILE_ATTRIBUTES &&
        GetFileAttributesA(pending) != INVALID_FILE_ATTRIBUTES)
        MoveFileA(pending, "config.cfg");

    if (m_configData) m_configData->OnBeforeLoad();
    YString output;
    m_interpreter->ExecFile("config.cfg", &output, false);
    if (m_gameConfig) m_gameConfig->m_gameType = "balloon";
}

void YGameObjects::SaveConfig(YConfigObject* object, const char* fileName)
{
    if (!object || !fileName) return;
    YString temporary = YString(fileName) + SaveSuffix;
    try {
        CStdioFile file(temporary, CFile::modeCreate | CFile::modeWrite | CFile::typeText);
        object->Save(file);
        file.Close();
    } catch (CFileException* e) {
        YString message;
        message.Format("[YGameObjects::SaveConfig] Could not save to %s  [%d]", fileName, e->m_cause);
        e->Delete();
        DeleteFileA(temporary);
        MessageBox(message, nullptr, MB_OK);
        return;
    }
    // Only a complete file replaces the old one.
    if (GetFileAttributesA(fileName) != INVALID_FILE_ATTRIBUTES) DeleteFileA(fileName);
    MoveFileA(temporary, fileName);
}

// ---------------------------------------------------------------- start-up
int YGameObjects::Start(CWinApp* app)
{
    m_app = app;
    m_instance = app ? app->m_hInstance : nullptr;

    HRESULT com = CoInitialize(nullptr);
    if (com == S_FALSE) CoUninitialize();
    else if (com == E_INVALIDARG || com == E_UNEXPECTED || com == E_OUTOFMEMORY) return 0;

    try {
        if (!m_graphics || !YGraphics::CheckDirectDraw7()) return 0;
        LoadConfig();
    } catch (CUserException* e) {
        e->Delete();
        return 0;
    } catch (CMemoryException* e) {
        e->Delete();
        AfxMessageBox("Out of memory");
    }

    m_frame = new YKestrixFrame;
    if (app) app->m_pMainWnd = m_frame;
    if (!m_frame->Create(nullptr, kTitle, kFrameStyle, CFrameWnd::rectDefault, nullptr, nullptr,
                         WS_EX_DLGMODALFRAME)) {
        delete m_frame;
        m_frame = nullptr;
        if (app) app->m_pMainWnd = nullptr;
        return 0;
    }
    HICON icon = LoadIconA(m_instance, MAKEINTRESOURCEA(kIconResource));
    m_frame->SetIcon(icon, TRUE);
    m_frame->SetIcon(icon, FALSE);
    m_hWnd = m_frame->m_hWnd;
    if (!m_hWnd) return 0;

    HDC dc = GetDC(m_hWnd);
    int bits = GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(m_hWnd, dc);
    if (bits != 16 && bits != 24 && bits != 32) {
        AfxMessageBox(kColourDepthMessage);
        return 0;
    }
    ResizeWindow(640, 480);
    m_frame->ShowWindow(app ? app->m_nCmdShow : SW_SHOWNORMAL);
    m_frame->UpdateWindow();
    return StartSubsystems();
}

int YGameObjects::StartSubsystems()
{
    try {
        if (m_input) {
            m_input->Create(m_configData ? m_configData->m_input : nullptr);
            m_input->UnacquireMouse();
        }
        OpenCatalog();
        if (m_sound && m_configData) m_sound->Initialize(m_catalog, m_configData->m_sound);
        if (YAppInterfaceFactory* factory = AppFactory(m_interfaceMgr)) factory->LoadInterfaceSounds();
        if (m_graphics) m_graphics->ResetState();
        if (YDXDrawDrivers::Enumerate(nullptr) != 0) AfxThrowNotSupportedException();
        RestartGraphics();
        if (m_graphics && m_graphics->m_fullScreen) {
            RECT clip = {0, 0, 640, 480};
            ClipCursor(&clip);
        }
        if (m_catalog && m_graphics) {
            // Loaded for the started display, the cursor has its surface at
            // once; otherwise the display makes it when it starts.
            const DWORD_PTR display =
                m_graphics->m_started ? reinterpret_cast<DWORD_PTR>(static_cast<YDXDraw*>(m_graphics)) : 0;
            YResource* cursor = m_catalog->GetResource(kCursorType, CString("Cursor"), CString("Cursor"), display);
            if (cursor) {
                m_catalog->DetachResource(cursor);
                m_cursor = cursor;
                m_graphics->ExchangeAttached(cursor);
            }
            YResource* again = m_catalog->GetResource(kCursorType, CString("Cursor"), CString("Cursor"), display);
            if (again) m_catalog->ReleaseResource(again);
        }
        if (m_graphics) m_graphics->SetFont("small_yellow");
        CreatePopulationLists();
        CreateConsole();
    } catch (CFileException* e) {
        CString message;
        message.Format("Error loading file: %s", (LPCTSTR)e->m_strFileName);
        e->Delete();
        AfxMessageBox(message);
        return 0;
    } catch (CArchiveException* e) {
        // A damaged catalog ends start-up like a missing one.
        CString message;
        message.Format("Error loading file: %s", (LPCTSTR)e->m_strFileName);
        e->Delete();
        AfxMessageBox(message);
        return 0;
    } catch (CUserException* e) {
        e->Delete();
        return 0;
    } catch (CNotSupportedException* e) {
        // The driver list could not be made: end start-up like the other failures.
        e->Delete();
        AfxMessageBox(kEnumerationMessage);
        return 0;
    }
    if (m_gameConfig) m_gameConfig->RegisterSessionSettings();
    FindVerbName("2", m_pitchVerb);
    FindVerbName("3", m_yawVerb);
    if (m_interpreter && m_gameConfig) {
        YString output;
        m_interpreter->ExecFile(m_gameConfig->m_exec, &output, false);
    }
    return 1;
}

void YGameObjects::OpenCatalog()
{
    m_dataDir = m_gameConfig ? m_gameConfig->m_dataDir : YString();
    int length = m_dataDir.GetLength();
    if (length > 0 && (m_dataDir[length - 1] == '\\' || m_dataDir[length - 1] == '/')) {
        CString trimmed((const char*)m_dataDir);
        m_dataDir = (const char*)trimmed.Left(length - 1);
    }
    YCatalog* catalog = new YCatalog("RC Volaro.cat");
    catalog->Mode() = 0;
    catalog->SetBaseDirectory(0, "");
    catalog->SetBaseDirectory(1, "");
    catalog->GetSearchDirectories().Add(CString((const char*)m_dataDir));
    delete m_catalog;
    m_catalog = catalog;
    if (YAppInterfaceFactory* factory = AppFactory(m_interfaceMgr)) factory->SetResourceOwner(catalog);
}

void YGameObjects::DeleteInterface()
{
    if (!m_interfaceMgr) return;
    YInterfaceFactory* factory = m_interfaceMgr->SetFactory(nullptr);
    DeleteMember(m_interfaceMgr);
    delete factory;
}

void YGameObjects::CreateConsole()
{
    delete m_console;
    m_console = new YCommandDialog("Interface:font background");
}

int YGameObjects::AttachConsole(const RECT* rect, YDC* dc)
{
    if (!m_console || !m_interfaceMgr) return 0;
    m_console->SetParent(m_interfaceMgr->GetRootWindow());
    if (rect) m_console->MoveTo(rect);
    m_console->DoModal(dc);
    m_console->SetParent(nullptr);
    const int result = m_interfaceMgr->Refresh();
    m_interfaceMgr->m_redrawAll = 2;
    return result;
}

void YGameObjects::EnableInput(int on)
{
    if (!m_input) return;
    bool held = m_input->m_captured || m_input->m_mouseAcquired;
    if (on && !held) m_input->AcquireMouse(false);
    if (!on && held) m_input->UnacquireMouse();
}

void YGameObjects::SetRenderer(YParser* renderer)
{
    m_renderer = renderer;
    if (!renderer) return;
    renderer->SetObjectTest(ObjectTest);
    renderer->SetModelEnumerator(ModelEnumerator);
    renderer->SetLoadingKeepAlive(LoadingKeepAlive);
    renderer->SetRangeTest(RangeTest);
}

void YGameObjects::DestroyRenderer()
{
    if (!m_renderer) return;
    // The worlds let the renderer go with it.
    for (YActorWorld* world : {m_world, m_world2})
        if (world && world->GetScene() == m_renderer) world->GetScene() = nullptr;
    m_renderer->DestroyDevice();
    m_renderer->ReleaseModels();
    delete m_renderer;
    m_renderer = nullptr;
}

void YGameObjects::EndRendererSession()
{
    if (!m_renderer) return;
    const int mode = m_renderer->GetSessionMode();
    if (mode == 0) return;
    const int count = m_renderer->GetEndLevelCount(mode);
    for (int i = 0; i < count; ++i) m_renderer->EndSession(i);
}

void YGameObjects::ClearRendererObjects()
{
    if (!m_renderer) return;
    for (int i = 0; i < m_renderer->GetPlacedObjectCount(); ++i) {
        YRenderInstance* record = m_renderer->GetPlacedObject(i);
        if (!record) continue;
        m_renderer->RemoveActorAt(record, record->m_worldX, record->m_worldZ);
        record->FreeBlock();
    }
    m_renderer->ClearPlacedObjects();
}

void YGameObjects::SendPlaneVerb(int verb, const char* text, int value)
{
    if (m_localClient && m_localClient->m_plane) m_localClient->m_plane->OnCommand(verb, text, value);
}

void YGameObjects::UpdateWorldLights()
{
    if (!m_renderer) return;
    const int count = m_renderer->GetLightCount();
    for (int i = 0; i < count; ++i)
        if (void* light = m_renderer->GetLight(i)) m_renderer->SetLight(i, light);
}

bool YGameObjects::ModelPointPosition(YActor* actor, int16_t group, YVector& out)
{
    YSMHandle* model = actor ? actor->GetModelInstance() : nullptr;
    float low[3], high[3];
    if (!model || !m_renderer || !model->GetGroupBox(group, low, high)) return false;
    if (!actor->BuildRenderInstance()) return false;
    YMatrix placement;
    MakeIdentityMatrix(&placement);
    m_renderer->ComposeItemMatrix(nullptr, &actor->m_render, &placement, 0);
    float point[3] = {(low[0] + high[0]) * 0.5f, (low[1] + high[1]) * 0.5f, (low[2] + high[2]) * 0.5f};
    m_renderer->TransformPoint(point, placement);
    out = YVector(point[0], point[1], point[2]) * YActorWorld::kMetresPerUnit;
    return true;
}

// ---------------------------------------------------------------- the window
int YGameObjects::ResizeWindow(int width, int height)
{
    if (!m_hWnd) return 1;
    RECT target;
    if (m_graphics && m_graphics->m_fullScreen) {
        SetRect(&target, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    } else {
        SetRect(&target, 0, 0, width, height);
        AdjustWindowRectEx(&target, GetWindowLongA(m_hWnd, GWL_STYLE), GetMenu(m_hWnd) != nullptr,
                           GetWindowLongA(m_hWnd, GWL_EXSTYLE));
        OffsetRect(&target, -target.left, -target.top);
        RECT work;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        int w = target.right, h = target.bottom;
        int left = work.left + (work.right - work.left) / 2 - w / 2;
        int top = work.top + (work.bottom - work.top) / 2 - h / 2;
        SetRect(&target, left, top, left + w, top + h);
        IntersectRect(&target, &target, &work);
    }
    RECT current;
    GetWindowRect(m_hWnd, &current);
    if (EqualRect(&target, &current)) return 1;
    MoveWindow(m_hWnd, target.left, target.top, target.right - target.left, target.bottom - target.top, TRUE);
    RedrawWindow(GetDesktopWindow(), nullptr, nullptr, kRedrawDesktop);
    RedrawWindow(m_hWnd, nullptr, nullptr, kRedrawWindow);
    ShowWindow(m_hWnd, m_app ? m_app->m_nCmdShow : SW_SHOWNORMAL);

    RECT client;
    GetClientRect(m_hWnd, &client);
    int dw = width - client.right, dh = height - client.bottom;
    if (!(m_graphics && m_graphics->m_fullScreen) && (dw || dh)) {
        GetWindowRect(m_hWnd, &current);
        MoveWindow(m_hWnd, current.left, current.top, current.right - current.left + dw,
                   current.bottom - current.top + dh, TRUE);
        RedrawWindow(m_hWnd, nullptr, nullptr, kRedrawWindow);
    }
    if (m_interfaceMgr) m_interfaceMgr->SetClientRect(0, 0, width, height);
    return 1;
}

int YGameObjects::SetWindowStyle(int borderless)
{
    if (!m_hWnd) return 1;
    if (borderless && !m_borderless) {
        m_keptMenu = GetMenu(m_hWnd);
        SetWindowLongA(m_hWnd, GWL_STYLE, GetWindowLongA(m_hWnd, GWL_STYLE) & ~static_cast<LONG>(kBorderedMask));
        SetWindowLongA(m_hWnd, GWL_EXSTYLE,
                       GetWindowLongA(m_hWnd, GWL_EXSTYLE) & ~static_cast<LONG>(kBorderedExMask));
        m_borderless = 1;
    } else if (!borderless && m_borderless) {
        LONG style = GetWindowLongA(m_hWnd, GWL_STYLE) & ~static_cast<LONG>(WS_THICKFRAME | WS_MAXIMIZEBOX);
        SetWindowLongA(m_hWnd, GWL_STYLE, style | static_cast<LONG>(kFrameStyle));
        SetWindowLongA(m_hWnd, GWL_EXSTYLE, GetWindowLongA(m_hWnd, GWL_EXSTYLE) | WS_EX_DLGMODALFRAME);
        SetMenu(m_hWnd, m_keptMenu);
        if (m_graphics) ResizeWindow(m_graphics->m_width, m_graphics->m_height);
        else ResizeWindow(640, 480);
        m_borderless = 0;
    }
    return 1;
}

int YGameObjects::RestartGraphics()
{
    if (!m_graphics || !m_configData || !m_configData->m_graphics) return 0;
    YGraphicsData* settings = m_configData->m_graphics;
    m_graphics->SetFullScreenFlag(settings->m_fullScreen);
    if (settings->m_software == 0) {
        GUID stored;
        memcpy(&stored, settings->m_driverGuid, sizeof stored);
        m_graphics->SetDriver(&stored);
    } else {
        m_graphics->SetDriver(nullptr);
    }
    if (m_graphics->StartDisplay()) return 1;

    YD3DDriverList* drivers = YDXDrawDrivers::GetDriverList();
    for (POSITION at = drivers ? drivers->GetHeadPosition() : nullptr; at;) {
        YD3DDriverInfo* driver = drivers->GetNext(at);
        memcpy(settings->m_driverGuid, &driver->m_guid, sizeof settings->m_driverGuid);
        m_graphics->SetFullScreenFlag(1);
        settings->m_fullScreen = 1;
        settings->m_bitDepth = 16;
        m_graphics->SetDriver(&driver->m_guid);
        if (m_graphics->StartDisplay()) return 1;
    }
    AfxMessageBox(kAcceleratorMessage);
    m_graphics->ReleaseSurfaces();
    m_graphics->SetDriver(nullptr);
    return 0;
}

// ---------------------------------------------------------------- the main loop
void YGameObjects::ResetFrameRate()
{
    g_lastMeasure = 0;
    g_framesSinceMeasure = 0;
}

void YGameObjects::CountFrame()
{
    static float rate = 0.0f;
    DWORD now = GetTickCount();
    ++g_framesSinceMeasure;
    DWORD elapsed = now - g_lastMeasure;
    if (elapsed >= 250) {
        rate = static_cast<float>(1.0 / elapsed * 1000.0 * g_framesSinceMeasure);
        g_framesSinceMeasure = 0;
        g_lastMeasure = now;
    }
    m_fps = rate > 0.1f ? rate : 0.1f;
}

bool YGameObjects::RunPass()
{
    CountFrame();
    int anyMessage = 0;
    if (m_msgHandler && !m_msgHandler->PumpMessages(anyMessage)) return false;
    if (m_input) m_input->Update();
    if (m_interfaceMgr) m_interfaceMgr->Step();
    if (m_sound) m_sound->Update();
    if (m_session) m_session->Tick();
    if (m_graphics) {
        if (!m_running) return false;
        m_graphics->RunFrame();
    }
    return true;
}

void YGameObjects::Run()
{
    while (m_running && RunPass()) {
    }
    Shutdown();
}

int YGameObjects::Shutdown()
{
    ExecuteCommand("session end");
    ClipCursor(nullptr);
    SaveConfig(m_configData, "config.cfg");
    ReleaseSubsystems();
    return 1;
}

int YGameObjects::ReleaseSubsystems()
{
    EndRendererSession();
    if (m_graphics) m_graphics->SetFont("");
    DeleteInterface();
    DeleteMember(m_catalog);
    if (m_input) m_input->Destroy();
    if (m_graphics) m_graphics->ExchangeAttached(nullptr);
    return 1;
}

// ---------------------------------------------------------------- game start
namespace {
const char* const kGameTypes[YGameConfig::GameTypes] = {"balloon", "dogfight", "airrace", "tunnix"};
}  // namespace

void YGameObjects::StartGame(int type, int level, int practice)
{
    if (type < 0 || type >= YGameConfig::GameTypes || level < 0 || level > 4 || !m_gameConfig) return;
    m_gameConfig->m_gameType = kGameTypes[type];
    if (m_jukebox) m_jukebox->Stop();
    m_gameConfig->m_practice = practice ? 1 : 0;
    m_gameConfig->m_levelIndex = level;
    m_botLevel = practice ? 0 : level + 1;
    m_gameState.m_pilotTeaser = m_botLevel;
    if (m_voiceOvers) {
        m_voiceOvers->LoadForSession();
        m_voiceOvers->Say("BotProfile", 100, 0, 0);
    }
    YString line;
    line.Format("session init %s", (const char*)m_gameConfig->m_map);
    ExecuteCommand(line);
    if (m_voiceOvers) m_voiceOvers->LoadForSession();
    // No rules over the setup screen when the round did not start.
    if (m_session && m_session->m_state == YGameSession::Playing) CreateRulesAndStart();
}

void YGameObjects::ReturnToSetup()
{
    DeleteMember(m_rules);
    if (m_localClient) m_localClient->m_plane = nullptr;
    ExecuteCommand("layout s screen:gamesetup screens.scr:InterfaceGameBD");
}

void YGameObjects::GameTypeBackground(YString& name)
{
    static const struct {
        const char* type;
        const char* picture;
    } kBackgrounds[] = {
        {"balloon", "Interface2:default_bg_bs"},
        {"dogfight", "Interface2:default_bg_df"},
        {"airrace", "Interface2:default_bg_ar"},
        {"tunnix", "Interface2:default_bg_g"},
    };
    name = "Interface2:default_bg_bs";
    if (!m_gameConfig) return;
    for (const auto& row : kBackgrounds)
        if (m_gameConfig->m_gameType.CompareNoCase(row.type) == 0) name = row.picture;
}

YSMHandle* YGameObjects::ModelHandleByName(const char* group, const char* category, const char* name)
{
    if (!m_renderer) return nullptr;
    return m_renderer->CreateModelHandleFromCatalog(category, group, name);
}

void YGameObjects::CreateRules()
{
    DeleteMember(m_rules);
    const YString type = m_gameConfig ? m_gameConfig->m_gameType : YString();
    if (m_gameConfig && m_gameConfig->m_practice) m_rules = new YPracticeRules(type);
    else if (strcmp(type, "dogfight") == 0) m_rules = new YDogFightRules;
    else if (strcmp(type, "tunnix") == 0) m_rules = new YTunnixRules;
    else if (strcmp(type, "balloon") == 0) m_rules = new YBalloonDropRules;
    else if (strcmp(type, "airrace") == 0) m_rules = new YAirRaceRules;
    else m_rules = new YPracticeRules("practice");
    m_rules->m_roundSeconds = m_roundSeconds;
}

void YGameObjects::CreateRulesAndStart()
{
    CreateRules();
    m_rules->EnterPre();
}
