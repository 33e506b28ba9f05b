// The game session: the state machine of one round. It loads the map into
// the renderer in stages, populates the worlds, makes the local and the bot
// plane, builds the world passes, and while playing runs the per-frame tick
// that advances the game clock and every pass.
#pragma once

#include <cstdint>

#include "foundation/YDataCollection.h"
#include "foundation/YString.h"
#include "foundation/YVector.h"
#include "platform/mfc.h"

class YActorWorld;
class YActorWorldUpdater;
class YClientInfo;
class YPlane;

typedef CTypedPtrList<CObList, YActorWorldUpdater*> YUpdaterList;

class YGameSession {
public:
    enum State { None = 0, Loading, Loaded, Beginning, Playing, Paused, Demo, Ending };
    // The interpreter's verb codes: 1 is a release.
    enum VerbKind { VerbPress = 0, VerbRelease = 1, VerbPlain = 2 };
    enum ActionId {
        ActionInit = 0,
        ActionBegin = 1,
        ActionEnd = 2,
        ActionPause = 3,
        ActionDemo = 5,
        ActionRestart = 6
    };
    // Bar width in pixels at 100 percent.
    static constexpr float kBarLength = 460.0f;
    enum { WorldCapacity = 256, PilotBlocks = 5 };

    YGameSession();
    virtual ~YGameSession();
    YGameSession(const YGameSession&) = delete;
    YGameSession& operator=(const YGameSession&) = delete;

    // 1 on success, 0 when INIT (or BEGIN) fails or the state refuses.
    virtual int Action(int action, int parameter = 0);
    // A control verb for the game commands while playing or paused; 1.
    virtual int HandleVerb(int id, int code, const char* text);

    // One step per pass of the main loop, in every state.
    void Tick();
    // Shows the loading screen with the bar at the percent.
    void SetProgress(int percent);
    void AdvanceProgress();
    // The round's population script, handed to the reader; its name (empty
    // in practice).
    YString ChoosePopulationScript();
    void BuildPassLists();
    void ClearPassLists();
    // The renderer's map levels 0 to 3 and the server's map objects.
    bool LoadMapStages(const char* path);
    void BeginPopulation();
    void SetViewToLocalPlane(YClientInfo* record);
    YPlane* CreateBot(const YVector& position);

    int32_t m_state;
    int32_t m_barWidth;
    int32_t m_progress;
    YUpdaterList m_passes;   // over the active world; owned
    YUpdaterList m_passes2;  // over the second world; owned
    YDataCollection m_properties;  // the session keys
    int32_t m_botKind = -1;  // the task of the last bot made

private:
    int RunInit();
    int RunBegin();
    void RunEnd();
    void RunPause();
    void RunDemo();
    void RunRestart();
    void InitWorlds();
    YPlane* CreateLocalPlane();
    void StartPosition(YVector& position, YVector& angles);
    // The game type of the round: "ServerGameType", else "sys_game_type".
    YString GameType();
    void StopPlaneSounds();
    void StartPlaneSounds();
    // The planes and the population of a round go; the lists are emptied.
    void RemoveRoundActors();
    static void RunPasses(YUpdaterList& passes, YActorWorld* world, float dt);
    static void ClearPassList(YUpdaterList& passes);

    uint32_t m_lastTick = 0;       // tick count of the last clock step
    uint32_t m_previousClock = 0;  // game clock of the last frame step
};
