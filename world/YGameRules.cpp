#include "world/YGameRules.h"

#include <cstdlib>

#include "engine/YGameConfig.h"
#include "engine/YGameObjects.h"
#include "frontend/YJukeBox.h"
#include "game/YClientInfo.h"
#include "game/YClientInfoList.h"
#include "game/YPlane.h"
#include "game/YVoiceOvers.h"
#include "renderer/YParser.h"
#include "world/YActorWorld.h"
#include "world/YGameCommands.h"

const char* const YGameRules::BotNames[5] = {"Crash Brannick", "Tailspin Halvorn", "Airfoil Ostrel", "Jetspeed Varnel",
                                             "Rocket Kordel"};
const char* const YGameRules::BotPictures[5] = {"Interface2:char_icon_brannick", "Interface2:char_icon_halvorn",
                                                "Interface2:char_icon_ostrel", "Interface2:char_icon_varnel",
                                                "Interface2:char_icon_kordel"};
const char* const YGameRules::PlayerPicture = "Interface2:char_icon_user";
const char* const YGameRules::LowGasSound = "Plane:pl-warn-low-gas";
const char* const YGameRules::RoundOverScreen = "layout s screen:game screens.scr:roundover";

namespace {
const float kLowGasNear = 25.0f;
const float kLowGasFar = 200.0f;
const int kAnnouncerVolume = 100;

// The row where a score enters: the first whose value is lower; equal
// values stay above. -1 when it enters nowhere.
int EntryRow(const YHighScore* rows, int score)
{
    for (int i = 0; i < YGameConfig::ScoreRows; ++i)
        if (atoi(rows[i].m_value) < score) return i;
    return -1;
}

void InsertRow(YHighScore* rows, int at, const char* name, int score, const char* picture)
{
    for (int i = YGameConfig::ScoreRows - 1; i > at; --i) rows[i] = rows[i - 1];
    rows[at].m_name = name;
    rows[at].m_value.Format("%d", score);
    rows[at].m_picture = picture;
}
}  // namespace

YGameRules::~YGameRules()
{
    m_currentWaypoint = nullptr;
}

YGameObjects* YGameRules::Engine() { return YGameObjects::Existing(); }

uint32_t YGameRules::Now()
{
    YGameObjects* engine = Engine();
    return engine ? engine->m_gameClock : 0;
}

YPlane* YGameRules::LocalPlane()
{
    YGameObjects* engine = Engine();
    if (!engine || !engine->m_clients) return nullptr;
    POSITION at = engine->m_clients->GetHeadPosition();
    YClientInfo* first = at ? engine->m_clients->GetNext(at) : nullptr;
    return first ? first->m_plane : nullptr;
}

YPlane* YGameRules::Opponent()
{
    YGameObjects* engine = Engine();
    return engine ? engine->m_opponentPlane : nullptr;
}

int32_t YGameRules::ViewBalloons()
{
    YGameObjects* engine = Engine();
    YActor* view = engine && engine->m_world ? engine->m_world->GetViewActor() : nullptr;
    if (view && (view->m_flagsB & YActor::FlagPlaneKind)) return static_cast<YPlane*>(view)->m_balloons;
    const YPlane* local = LocalPlane();
    return local ? local->m_balloons : 0;
}

bool YGameRules::IsDown(const YPlane* plane) { return plane && plane->m_pendingRestart && plane->m_restartReady; }

bool YGameRules::Celebrating()
{
    YGameObjects* engine = Engine();
    return engine && engine->m_celebrating;
}

void YGameRules::StartPhase(int state, int seconds)
{
    m_state = state;
    m_phaseLength = seconds;
    m_phaseStart = Now();
}

bool YGameRules::PhaseOver()
{
    const uint32_t end = m_phaseStart + static_cast<uint32_t>(m_phaseLength) * 1000u;
    const uint32_t now = Now();
    // Signed: a clock that wrapped past the end still counts as past it.
    if (static_cast<int32_t>(now - end) >= 0) return true;
    m_secondsLeft = static_cast<int32_t>((end - now) / 1000u);
    return false;
}

void YGameRules::Command(const char* line)
{
    if (YGameObjects* engine = Engine()) engine->ExecuteCommand(line);
}

void YGameRules::ShowScreen(const char* name)
{
    YString line;
    line.Format("layout s screen screens.scr:%s", name);
    Command(line);
}

void YGameRules::VoiceEvent(int code)
{
    YGameObjects* engine = Engine();
    if (engine && engine->m_voiceOvers) engine->m_voiceOvers->OnEvent(code);
}

void YGameRules::Announce(const char* category)
{
    YGameObjects* engine = Engine();
    if (engine && engine->m_voiceOvers) engine->m_voiceOvers->PlayNow(category, kAnnouncerVolume, 0);
}

void YGameRules::SetOverlay(float a, float d)
{
    YGameObjects* engine = Engine();
    if (engine && engine->m_renderer) engine->m_renderer->SetOverlayColor(a, 0.0f, 0.0f, d);
}

void YGameRules::PlayMusic()
{
    YGameObjects* engine = Engine();
    if (engine && engine->m_jukebox) engine->m_jukebox->Play(0);
}

void YGameRules::StopMusic()
{
    YGameObjects* engine = Engine();
    if (engine && engine->m_jukebox) engine->m_jukebox->Stop();
}

void YGameRules::SetMusic(const char* name)
{
    YGameObjects* engine = Engine();
    if (!engine || !engine->m_jukebox) return;
    engine->m_jukebox->Clear();
    engine->m_jukebox->SetTrack(0, name);
}

void YGameRules::Warnings(bool timesUp)
{
    if (timesUp && m_secondsLeft == TimesUpSeconds && m_timesUpPending == 1) {
        m_timesUpPending = 0;
        Announce("TimesUp");
    }
    if (m_secondsLeft < 1 || m_secondsLeft > LowGasSeconds) return;
    YGameObjects* engine = Engine();
    YPlane* plane = LocalPlane();
    // The plane keeps at most two sounds of one name: the requests do not pile up.
    if (plane && engine && engine->m_gameCommands)
        engine->m_gameCommands->PlayActorSound(plane, LowGasSound, kLowGasNear, kLowGasFar, YGameCommands::SoundOnce);
}

void YGameRules::Fade()
{
    if (Celebrating() || m_phaseLength <= 0) return;
    float f = static_cast<float>(static_cast<int32_t>(Now() - m_phaseStart)) / (m_phaseLength * 1000.0f);
    if (f < 0.0f) f = 0.0f;
    SetOverlay(f, f);
}

bool YGameRules::Celebrate()
{
    if (m_celebrated) return false;
    m_celebrated = 1;
    // The celebration actor flies only against a bot of the hardest skill;
    // until bots have skills no celebration starts.
    return true;
}

void YGameRules::EnterRoundOver()
{
    m_phaseLength = RoundOverSeconds;
    m_phaseStart = Now();
    if (m_state == StateOver) return;
    if (Celebrating()) {
        // Asked again when the celebration is over.
        m_state = StatePost;
        return;
    }
    m_state = StateOver;
    Command(RoundOverScreen);
    Command("session demo");
}

void YGameRules::CommonPre(const char* screen)
{
    SetOverlay(0.0f, 0.0f);
    StartPhase(StatePre, PhaseSeconds);
    Tick();
    ShowScreen(screen);
    VoiceEvent(EventPreRound);
    m_timesUpPending = 0;
}

bool YGameRules::CommonRun(const char* screen, bool timesUp)
{
    StartPhase(StateRun, m_roundSeconds);
    Tick();
    // A round without time has already moved on.
    if (m_state != StateRun) return false;
    ShowScreen(screen);
    PlayMusic();
    VoiceEvent(EventRoundStart);
    m_timesUpPending = timesUp ? 1 : 0;
    return true;
}

void YGameRules::CommonPostStart()
{
    StartPhase(StatePost, PhaseSeconds);
    Tick();
}

void YGameRules::CommonPostScreen(const char* screen)
{
    ShowScreen(screen);
    StopMusic();
}

void YGameRules::UpdateHighScores(int table, int botScore, int playerScore)
{
    YGameObjects* engine = Engine();
    if (!engine) return;
    engine->m_newEntryPlace = 0;
    YGameConfig* config = engine->m_gameConfig;
    if (!config || table < 0 || table >= YGameConfig::GameTypes) return;
    YHighScore rows[YGameConfig::ScoreRows];
    for (int i = 0; i < YGameConfig::ScoreRows; ++i) config->GetHighScore(table, i, rows[i]);

    int level = config->m_levelIndex;
    if (level < 0) level = 0;
    if (level > 4) level = 4;
    const int botRow = EntryRow(rows, botScore);
    if (botRow >= 0) InsertRow(rows, botRow, BotNames[level], botScore, BotPictures[level]);
    const int playerRow = EntryRow(rows, playerScore);
    if (playerRow >= 0) {
        engine->m_newEntryPlace = playerRow + 1;
        InsertRow(rows, playerRow, "", playerScore, PlayerPicture);
    }
    for (int i = 0; i < YGameConfig::ScoreRows; ++i) config->SetHighScore(table, i, rows[i]);

    if (playerRow < 0) {
        engine->m_gameState.m_screenRequest = 2;
        return;
    }
    engine->m_gameState.m_screenRequest = 1;
    if (config->m_levelIndex == 4) {
        engine->EnableInput(0);
        Command(RoundOverScreen);
    }
}
