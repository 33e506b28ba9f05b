#include "world/YBalloonDropRules.h"

#include "engine/YGameObjects.h"
#include "game/YGameActors.h"
#include "game/YPlane.h"
#include "world/YActorWorld.h"

YBalloonDropRules::YBalloonDropRules()
{
    m_mode = ModeBalloonDrop;
    SetMusic("Interface:Balloon-loop");
}

void YBalloonDropRules::Tick()
{
    const uint32_t now = Now();
    if (static_cast<int32_t>(now - m_nextCheck) >= 0) {
        m_nextCheck = now + CheckMilliseconds;
        if (m_state == StateRun && NoBalloonLeft()) {
            EnterMid();
            return;
        }
        if (m_state == StateSecondRun && EveryTargetHitByBoth()) {
            EnterPost();
            return;
        }
    }
    if (m_state == StateSecondRun) {
        if (m_endDelay && static_cast<int32_t>(now - m_endDelay) > 0) {
            EnterPost();
            return;
        }
        YGameObjects* engine = Engine();
        const bool viewExists = engine && engine->m_world && engine->m_world->GetViewActor();
        const YPlane* opponent = Opponent();
        if (!m_endDelay && viewExists && opponent && ViewBalloons() == 0 && opponent->m_balloons == 0)
            m_endDelay = now + EndDelayMilliseconds;
    }
    if (PhaseOver()) {
        switch (m_state) {
        case StatePre: EnterRun(); break;
        case StateRun: EnterMid(); break;
        case StateMid: MidOver(); break;
        case StateSecondRun: EnterPost(); break;
        case StatePost:
        case StateOver: RoundOver(); break;
        default: break;
        }
        return;
    }
    if (m_state == StateRun || m_state == StateSecondRun) Warnings(true);
    else if (m_state == StatePost) Fade();
}

bool YBalloonDropRules::NoBalloonLeft() const
{
    YGameObjects* engine = Engine();
    if (!engine || !engine->m_balloons) return true;
    for (POSITION at = engine->m_balloons->GetHeadPosition(); at;)
        if (engine->m_balloons->GetNext(at)) return false;
    return true;
}

bool YBalloonDropRules::EveryTargetHitByBoth() const
{
    YGameObjects* engine = Engine();
    if (!engine || !engine->m_targets) return true;
    for (POSITION at = engine->m_targets->GetHeadPosition(); at;) {
        const YTarget* target = engine->m_targets->GetNext(at);
        if (target && (!target->m_hitByBot || !target->m_hitByPlayer)) return false;
    }
    return true;
}

void YBalloonDropRules::EnterPre()
{
    m_endDelay = 0;
    m_nextCheck = 0;
    CommonPre("preballoondrop");
}

void YBalloonDropRules::EnterRun()
{
    m_endDelay = 0;
    CommonRun("balloondrop", true);
}

void YBalloonDropRules::ReleaseBalloon(YBalloon*) {}

void YBalloonDropRules::EnterMid()
{
    YGameObjects* engine = Engine();
    if (engine && engine->m_balloons) {
        for (POSITION at = engine->m_balloons->GetHeadPosition(); at;) {
            YBalloon* balloon = engine->m_balloons->GetNext(at);
            if (balloon && !balloon->IsMarkedForDestruction()) ReleaseBalloon(balloon);
        }
    }
    StartPhase(StateMid, PhaseSeconds);
    ShowScreen("midballoondrop");
}

void YBalloonDropRules::MidOver()
{
    if (ViewBalloons() < 1) {
        if (YGameObjects* engine = Engine()) engine->m_won = 0;
        RoundOver();
        return;
    }
    StartSecondRun(m_roundSeconds);
}

void YBalloonDropRules::StartSecondRun(int seconds)
{
    StartPhase(StateSecondRun, seconds);
    ShowScreen("balloondrop");
    m_timesUpPending = 1;
}

void YBalloonDropRules::ModeEvent()
{
    StartSecondRun(ModeEventSeconds);
    YPlane* local = LocalPlane();
    const YPlane* opponent = Opponent();
    if (!local || !opponent) return;
    local->m_score = opponent->m_score + opponent->m_balloons * 10 + 500;
    local->m_balloons += 1;
}

void YBalloonDropRules::EnterPost()
{
    CommonPostStart();
    CommonPostScreen("postballoondrop");
    RoundResult();
}

void YBalloonDropRules::RoundResult()
{
    YGameObjects* engine = Engine();
    if (!engine) return;
    YPlane* local = LocalPlane();
    const YPlane* opponent = Opponent();
    const int bot = opponent ? opponent->m_score + opponent->m_balloons * 10 : 0;
    const int player = local ? local->m_score + local->m_balloons * 10 : 0;
    if (local) {
        local->m_cameraMode = 3;
        local->m_cameraBlendStart = 0;
    }
    if (player >= bot) {
        engine->m_won = 1;
        if (!Celebrate()) return;
    } else {
        engine->m_won = 0;
    }
    VoiceEvent(player < bot ? EventPlayerLost : EventPlayerWon);
    UpdateHighScores(TableBalloonDrop, bot, player);
}

void YBalloonDropRules::RoundOver() { EnterRoundOver(); }
