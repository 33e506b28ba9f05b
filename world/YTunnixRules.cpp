#include "world/YTunnixRules.h"

#include "engine/YGameObjects.h"
#include "game/YGameActors.h"
#include "game/YPlane.h"

YTunnixRules::YTunnixRules()
{
    m_mode = ModeTunnix;
    SetMusic("Interface:Tunnix-loop");
}

void YTunnixRules::Tick()
{
    const uint32_t now = Now();
    if (m_state == StateRun && static_cast<int32_t>(now - m_nextCheck) >= 0) {
        m_nextCheck = now + CheckMilliseconds;
        if (NoBallLeft()) {
            EnterPost();
            return;
        }
    }
    if (PhaseOver()) {
        if (m_state == StatePre) EnterRun();
        else if (m_state == StateRun) EnterPost();
        else if (m_state == StatePost || m_state == StateOver) RoundOver();
        return;
    }
    if (m_state == StateRun) Warnings(true);
    else if (m_state == StatePost) Fade();
}

bool YTunnixRules::NoBallLeft() const
{
    YGameObjects* engine = Engine();
    if (!engine || !engine->m_tunnixes) return true;
    for (POSITION at = engine->m_tunnixes->GetHeadPosition(); at;)
        if (engine->m_tunnixes->GetNext(at)) return false;
    return true;
}

void YTunnixRules::EnterPre()
{
    m_roundStart = Now();
    m_nextCheck = 0;
    CommonPre("pretunnix");
}

void YTunnixRules::EnterRun() { CommonRun("tunnix", true); }

void YTunnixRules::EnterPost()
{
    CommonPostStart();
    CommonPostScreen("posttunnix");
    RoundResult();
}

void YTunnixRules::RoundResult()
{
    YGameObjects* engine = Engine();
    if (!engine) return;
    const YPlane* local = LocalPlane();
    const YPlane* opponent = Opponent();
    m_playerScore = local ? local->m_score : 0;
    m_botScore = opponent ? opponent->m_score : 0;
    if (m_playerScore >= m_botScore) {
        engine->m_won = 1;
        if (!Celebrate()) return;
    } else {
        engine->m_won = 0;
    }
    UpdateHighScores(TableTunnix, m_botScore, m_playerScore);
    VoiceEvent(m_playerScore < m_botScore ? EventPlayerLost : EventPlayerWon);
}

void YTunnixRules::RoundOver() { EnterRoundOver(); }
