// The engine object: owns the long-lived objects of the game and is the one
// place where the subsystems meet.
#pragma once

#include "engine/YGameState.h"
#include "foundation/YString.h"
#include "game/YClientPhysics.h"
#include "game/YGameActors.h"
#include "platform/mfc.h"

class YActor;
class YVector;
class YActorWorld;
class YCatalog;
class YCheats;
class YClientInfo;
class YClientInfoList;
class YCommandDialog;
class YCommandInterpreter;
class YDC;
class YCompass;
class YConfigData;
class YConfigObject;
class YDataCollection;
class YGameCommands;
class YGameConfig;
class YGameRules;
class YGameServer;
class YGameSession;
class YGraphics;
class YInputObj;
class YInterfaceMgr;
class YJukeBox;
class YMsgHandler;
class YObjectDefList;
class YObjectParser;
class YParser;
class YPlane;
class YResource;
class YSMHandle;
class YSound;
class YVoiceOvers;

// The session descriptor: the map path and the session parameters. The
// renderer reads it as words, the path word 0 and parameter i word i + 1.
struct YSessionDesc {
    enum { ParameterCount = 36 };
    // The parameters that the "APP_PTREES", "APP_STREES", "APP_LOD" and
    // "APP_BILLBOARD" switches carry to the renderer (words 31 to 34).
    enum { ParamPTrees = 30, ParamSTrees = 31, ParamLod = 32, ParamBillboard = 33 };
    YString m_mapPath;
    int32_t m_parameters[ParameterCount];
};

class YGameObjects {
public:
    enum { DebugVertexWords = 4000 };

    static YGameObjects* Instance();
    // The engine object, or null while it is being made.
    static YGameObjects* Existing();
    virtual ~YGameObjects();
    YGameObjects(const YGameObjects&) = delete;
    YGameObjects& operator=(const YGameObjects&) = delete;

    // Start-up: COM, the DirectDraw check, "config.cfg", the frame window,
    // then the subsystems. 1 on success.
    int Start(CWinApp* app);
    int StartSubsystems();
    // Runs "config.cfg", then the game type starts as "balloon".
    void LoadConfig();
    void OpenCatalog();
    void CreateConsole();
    // The interface manager, then its factory (whose resource set the
    // manager's layouts use until they are gone).
    void DeleteInterface();
    int AttachConsole(const RECT* rect, YDC* dc);
    // Writes the object's settings to the file through a temporary file
    // that replaces the old one only once it is complete.
    void SaveConfig(YConfigObject* object, const char* fileName);
    void ExecuteCommand(const char* line);
    // The text is the last command's last argument, whole.
    void ExecuteCommandWithText(const char* line, const char* text);
    int MessageBox(const char* text, const char* caption, UINT type);
    void EnableInput(int on);
    void SetRenderer(YParser* renderer);
    void DestroyRenderer();
    void EndRendererSession();
    // Takes every placed map object out of the renderer's grid, frees its
    // attached block and empties the renderer's placed-object list.
    void ClearRendererObjects();
    void RegisterAppSwitches();
    // Name of the first verb whose value is the text.
    void FindVerbName(const char* value, YString& name);
    int ResizeWindow(int width, int height);
    int SetWindowStyle(int borderless);
    int RestartGraphics();
    // A control verb for the local pilot's plane, when there is one.
    void SendPlaneVerb(int verb, const char* text, int value);
    // Where the centre of a group of the actor's model lies in the world,
    // metres, placed as the renderer places the actor; false without a
    // model, a renderer or faces in the group.
    bool ModelPointPosition(YActor* actor, int16_t group, YVector& out);
    // Hands each of the renderer's light records back to it.
    void UpdateWorldLights();
    // The six empty population lists of start-up.
    void CreatePopulationLists();
    // Flags the listed actors and every population actor of the game world
    // (by its kind bits, and balloon strings) for destruction, empties the
    // lists and purges the world; the purge's result.
    int ClearPopulation();
    // An actor is being deleted: every engine reference to it goes (its list
    // entries become empty).
    void ForgetActor(YActor* actor);

    // A new game of the type (0 balloon, 1 dogfight, 2 airrace, 3 tunnix)
    // and level (0..4) on "sys_map"; nothing when either is out of range.
    void StartGame(int type, int level, int practice);
    // Deletes the rules, lets the local plane go and shows the setup screen.
    void ReturnToSetup();
    // The setup screen's background picture for the game type.
    void GameTypeBackground(YString& name);
    // The catalog model (group, category, name) from the renderer, or null.
    YSMHandle* ModelHandleByName(const char* group, const char* category, const char* name);
    // Replaces the rules by those of the game type.
    void CreateRules();
    // CreateRules, then the new rules enter their pre-round phase.
    void CreateRulesAndStart();

    // The main loop, then Shutdown.
    void Run();
    // One pass of the main loop: messages, input, interface, sound, the
    // session tick and the frame. False when the loop is to end.
    bool RunPass();
    // One measurement step of the frame rate (the first step of each pass).
    void CountFrame();
    static void ResetFrameRate();
    int Shutdown();
    int ReleaseSubsystems();
    void DestroyAll();

    int32_t m_debugVertices[DebugVertexWords];
    int32_t m_debugVertexCount;
    YPlane* m_opponentPlane;  // reference
    YActor* m_directionArrow;  // reference
    YPlane* m_winnerPlane;    // reference
    uint8_t m_tie;
    YCompass* m_compass;
    int32_t m_roundSeconds;
    int32_t m_botLevel;  // 0 in practice, else the game level + 1
    YGameRules* m_rules;
    HINSTANCE m_instance;
    HWND m_hWnd;
    CFrameWnd* m_frame;  // the application owns the frame
    CWinApp* m_app;
    int32_t m_running;
    int32_t m_borderless;
    HMENU m_keptMenu;
    YString m_startDir;
    YString m_dataDir;
    YString m_pitchVerb;
    YString m_yawVerb;
    YMsgHandler* m_msgHandler;
    YCatalog* m_catalog;
    YConfigData* m_configData;
    YGameConfig* m_gameConfig;
    YGraphics* m_graphics;
    YParser* m_renderer;
    YInputObj* m_input;
    YSound* m_sound;
    YCommandInterpreter* m_interpreter;
    YDataCollection* m_appSwitches;
    uint8_t m_appFps;
    uint8_t m_appInput;
    uint8_t m_appLayout;
    uint8_t m_appCursor;
    uint8_t m_appScriptor;
    int32_t m_appClient;
    uint8_t m_showSoundInfo;
    YCommandDialog* m_console;
    YInterfaceMgr* m_interfaceMgr;
    YCheats* m_cheats;
    YJukeBox* m_jukebox;
    YVoiceOvers* m_voiceOvers;
    YGameSession* m_session;
    YGameCommands* m_gameCommands;
    YGameServer* m_gameServer;
    YClientPhysicsArray* m_clientPhysics;
    YClientInfo* m_localClient;
    YClientInfoList* m_clients;
    // References to the population actors of the round; the worlds own them.
    YBalloonList* m_balloons;
    YTunnixList* m_tunnixes;
    YPowerUpList* m_powerUps;
    YWaypointList* m_waypoints;
    YTargetList* m_targets;
    YGoalList* m_goals;
    CTime m_gameDate;
    uint32_t m_frameCount;
    uint32_t m_gameClock;
    float m_frameTime;
    YSessionDesc m_sessionDesc;
    CObject* m_cursor;
    YActorWorld* m_world;
    YActorWorld* m_world2;
    YObjectDefList* m_objectDefs;
    YDataCollection* m_values;
    YDataCollection* m_verbs;
    YDataCollection* m_settings;
    YDataCollection* m_layoutValues;
    YObjectParser* m_objectParser;
    float m_fps;
    uint8_t m_registering;
    uint8_t m_won;
    // Set while the end-of-round celebration runs: no post-round screens.
    uint8_t m_celebrating;
    // The row 1..5 the player's last score entered in its table, 0 none.
    int32_t m_newEntryPlace;
    YGameState m_gameState;

    // Suffix of the file SaveConfig writes before it replaces the old one.
    static const char* const SaveSuffix;

private:
    YGameObjects();
    void ClearMembers();
    void ResetState();
};
