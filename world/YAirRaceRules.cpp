#include "world/YAirRaceRules.h"

#include "engine/YGameObjects.h"
#include "game/YPlane.h"

YAirRaceRules::YAirRaceRules()
{
    m_mode = ModeAirRace;
    SetMusic("Interface:Airrace-loop");
}

void YAirRaceRules::Tick()
{
    if (m_state == StateRun && CheckFinish()) return;
    if (PhaseOver()) {
        if (m_state == StatePre) EnterRun();
        else if (m_state == StateRun) EnterPost();
        else if (m_state == StatePost || m_state == StateOver) RoundOver();
        return;
    }
    if (m_state == StateRun) Warnings(true);
    else if (m_state == StatePost) Fade();
}

bool YAirRaceRules::CheckFinish()
{
    YGameObjects* engine = Engine();
    YPlane* local = LocalPlane();
    YPlane* opponent = Opponent();
    // A missing plane has not finished.
    const bool localEnded = local && local->m_raceEnded;
    const bool opponentEnded = opponent && opponent->m_raceEnded;
    if (!localEnded && !opponentEnded) return false;
    if (localEnded && opponentEnded) {
        Announce("GameOverLost");
        engine->m_winnerPlane = nullptr;
        engine->m_tie = 1;
    } else {
        VoiceEvent(localEnded ? EventPlayerWon : EventPlayerLost);
        engine->m_winnerPlane = localEnded ? local : opponent;
        engine->m_tie = 0;
    }
    EnterPost();
    return true;
}

void YAirRaceRules::EnterPre() { CommonPre("preairrace"); }

void YAirRaceRules::EnterRun() { CommonRun("airrace", true); }

void YAirRaceRules::EnterPost()
{
    m_finishSeconds = m_secondsLeft;
    CommonPostStart();
    RoundResult();
    if (!Celebrating()) CommonPostScreen("postairrace");
    UpdateWonFlag();
}

void YAirRaceRules::RoundResult()
{
    YGameObjects* engine = Engine();
    YPlane* local = LocalPlane();
    YPlane* opponent = Opponent();
    if (!engine || !local || !opponent) {
        UpdateHighScores(TableAirRace, 0, 0);
        return;
    }
    const int bot = engine->m_winnerPlane == opponent ? m_finishSeconds : 0;
    const int player = engine->m_winnerPlane == local ? m_finishSeconds : 0;
    if (!engine->m_tie && engine->m_winnerPlane == local && !Celebrate()) return;
    UpdateHighScores(TableAirRace, bot, player);
}

void YAirRaceRules::UpdateWonFlag()
{
    YGameObjects* engine = Engine();
    if (!engine) return;
    engine->m_won = !engine->m_tie && engine->m_winnerPlane && engine->m_winnerPlane == LocalPlane() ? 1 : 0;
}

void YAirRaceRules::RoundOver() { EnterRoundOver(); }
