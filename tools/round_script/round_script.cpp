// Plays scripted rounds on the real program: the engine starts as the
// program starts it, a new game begins through StartGame as the setup
// screen will call it, and a round script sets at chosen game times what
// the planes, balloons, balls and targets will set once they fly. Run it in
// the data folder; the main loop is the program's, so RCV_BACKEND,
// RCV_FIXED_STEP_MS, RCV_SEED, RCV_MAX_FRAMES and RCV_FRAME_DUMP apply.
//
// Usage: round_script SCRIPT
// Script lines, "#" starts a comment:
//   start TYPE LEVEL PRACTICE   after the setup screen's first frames (type 0..3)
//   MS WHAT [WHO] [VALUE]       at game clock MS of the round:
//     raceended local|bot       the plane has finished the race
//     down local|bot            the plane is down (its two down bytes)
//     score|balloons|hits local|bot N
//     ball | balloon | target   a stand-in actor in its list and the world
//     emptyballs | emptyballoons  the list's entries emptied, their actors gone
//     hittargets                every target hit by both planes
//     modeevent | post          the rules' ModeEvent or EnterPost
//     command TEXT              a console command ("session end", "quit")
// The trace on standard output: each rules state with the game clock and
// the seconds left, the session leaving play, and the round's outcome.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/YGameObjects.h"
#include "game/YClientInfo.h"
#include "game/YGameActors.h"
#include "game/YPlane.h"
#include "platform/backend/Backend.h"
#include "world/YActorWorld.h"
#include "world/YGameRules.h"
#include "world/YGameSession.h"

namespace {
struct Step {
    uint32_t at = 0;
    std::string what, who, value;
};

struct Script {
    int type = 0, level = 0, practice = 0;
    int startFrame = 5;
    std::vector<Step> steps;
};

bool ReadScript(const char* path, Script& script)
{
    std::ifstream in(path);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        const size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::string first;
        if (!(words >> first)) continue;
        if (first == "start") {
            words >> script.type >> script.level >> script.practice;
            continue;
        }
        Step step;
        step.at = static_cast<uint32_t>(strtoul(first.c_str(), nullptr, 10));
        words >> step.what;
        if (step.what == "command") {
            std::getline(words >> std::ws, step.value);
        } else {
            words >> step.who >> step.value;
        }
        script.steps.push_back(step);
    }
    return true;
}

YPlane* Plane(YGameObjects* engine, const std::string& who)
{
    if (who == "bot") return engine->m_opponentPlane;
    return engine->m_localClient ? engine->m_localClient->m_plane : nullptr;
}

template <class T, class L>
void AddStandIn(YGameObjects* engine, L* list)
{
    if (!list || !engine->m_world) return;
    T* actor = new T;
    engine->m_world->AddActor(actor);
    list->AddTail(actor);
}

template <class L>
void Empty(L* list)
{
    if (!list) return;
    for (POSITION at = list->GetHeadPosition(); at;) {
        POSITION here = at;
        if (YActor* actor = list->GetNext(at)) {
            actor->MarkForDestruction();
            list->SetAt(here, nullptr);
        }
    }
}

void Apply(YGameObjects* engine, const Step& step)
{
    printf("script %u %s %s %s\n", step.at, step.what.c_str(), step.who.c_str(), step.value.c_str());
    YPlane* plane = Plane(engine, step.who);
    const int value = atoi(step.value.c_str());
    if (step.what == "raceended" && plane) plane->m_raceEnded = 1;
    else if (step.what == "down" && plane) plane->m_pendingRestart = plane->m_restartReady = 1;
    else if (step.what == "score" && plane) plane->m_score = value;
    else if (step.what == "balloons" && plane) plane->m_balloons = value;
    else if (step.what == "hits" && plane) plane->m_hitCount = value;
    else if (step.what == "ball") AddStandIn<YTunnix>(engine, engine->m_tunnixes);
    else if (step.what == "balloon") AddStandIn<YBalloon>(engine, engine->m_balloons);
    else if (step.what == "target") AddStandIn<YTarget>(engine, engine->m_targets);
    else if (step.what == "emptyballs") Empty(engine->m_tunnixes);
    else if (step.what == "emptyballoons") Empty(engine->m_balloons);
    else if (step.what == "hittargets" && engine->m_targets) {
        for (POSITION at = engine->m_targets->GetHeadPosition(); at;)
            if (YTarget* target = engine->m_targets->GetNext(at)) target->m_hitByBot = target->m_hitByPlayer = 1;
    } else if (step.what == "modeevent" && engine->m_rules) engine->m_rules->ModeEvent();
    else if (step.what == "post" && engine->m_rules) engine->m_rules->EnterPost();
    else if (step.what == "command") engine->ExecuteCommand(step.value.c_str());
    else printf("script: nothing to do\n");
}

const char* Who(YGameObjects* engine, const YPlane* plane)
{
    if (!plane) return "none";
    if (plane == engine->m_opponentPlane) return "bot";
    if (engine->m_localClient && plane == engine->m_localClient->m_plane) return "local";
    return "other";
}

Script g_script;

class RoundScriptApp : public CWinApp {
public:
    BOOL InitInstance() override
    {
        YGameObjects* engine = YGameObjects::Instance();
        srand(platform::Seed::Next());
        SetRegistryKey("Yorvane Interactive");
        if (!engine->Start(this)) return FALSE;
        engine->ExecuteCommand("layout s screen:gamesetup screens.scr:InterfaceGameBD");
        Play(engine);
        engine->Shutdown();
        return TRUE;
    }
    int ExitInstance() override
    {
        YGameObjects::Instance()->DestroyAll();
        return CWinApp::ExitInstance();
    }

private:
    void Play(YGameObjects* engine)
    {
        size_t next = 0;
        int frame = 0;
        int lastState = -1;
        int lastSession = -1;
        bool started = false, reported = false;
        while (engine->m_running) {
            if (!started && frame == g_script.startFrame) {
                started = true;
                engine->StartGame(g_script.type, g_script.level, g_script.practice);
                printf("started %s rules %d\n", engine->m_session->m_state == YGameSession::Playing ? "playing" : "not",
                       engine->m_rules ? engine->m_rules->m_mode : -2);
            }
            while (started && next < g_script.steps.size() && engine->m_rules &&
                   engine->m_gameClock >= g_script.steps[next].at)
                Apply(engine, g_script.steps[next++]);
            if (!engine->RunPass()) break;
            ++frame;
            YGameRules* rules = engine->m_rules;
            if (rules && rules->m_state != lastState) {
                lastState = rules->m_state;
                printf("state %d clock %u left %d frame %d\n", rules->m_state, engine->m_gameClock, rules->m_secondsLeft,
                       frame);
            }
            if (engine->m_session && engine->m_session->m_state != lastSession) {
                lastSession = engine->m_session->m_state;
                printf("session %d frame %d\n", lastSession, frame);
            }
            if (rules && !reported && rules->m_state >= YGameRules::StatePost) {
                reported = true;
                printf("outcome won %d tie %d winner %s newentry %d word %d celebrated %d\n", engine->m_won, engine->m_tie,
                       Who(engine, engine->m_winnerPlane), engine->m_newEntryPlace, engine->m_gameState.m_screenRequest,
                       rules->m_celebrated);
            }
            fflush(stdout);
        }
    }
};

RoundScriptApp theApp;
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 || !ReadScript(argv[1], g_script)) {
        fprintf(stderr, "usage: round_script SCRIPT\n");
        return 2;
    }
    int code = AfxWinMain();
    platform::Backend::Shutdown();
    return code;
}
