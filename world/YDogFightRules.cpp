#include "world/YDogFightRules.h"

#include "engine/YGameObjects.h"
#include "game/YPlane.h"

namespace {
const int kHitsAllowed = 5;
const int kPerHitLeft = 4;
const int kScoreScale = 5;

int Score(int seconds, const YPlane* plane) { return (seconds + (kHitsAllowed - plane->m_hitCount) * kPerHitLeft) * kScoreScale; }
}  // namespace

YDogFightRules::YDogFightRules()
{
    m_mode = ModeDogfight;
    SetMusic("Interface:Dogfight-loop");
}

void YDogFightRules::Tick()
{
    if (m_state == StateRun && ((IsDown(LocalPlane()) && !Celebrating()) || IsDown(Opponent()))) {
        EnterPost();
        return;
    }
    if (PhaseOver()) {
        if (m_state == StatePre) EnterRun();
        else if (m_state == StateRun) EnterPost();
        else if (m_state == StatePost || m_state == StateOver) RoundOver();
        return;
    }
    if (m_state == StateRun) Warnings(false);
    else if (m_state == StatePost) Fade();
}

void YDogFightRules::EnterPre() { CommonPre("predogfight"); }

void YDogFightRules::EnterRun() { CommonRun("dogfight", false); }

void YDogFightRules::EnterPost()
{
    m_postSeconds = m_secondsLeft;
    CommonPostStart();
    RoundResult();
    if (!Celebrating()) CommonPostScreen("postdogfight");
}

void YDogFightRules::RoundResult()
{
    YGameObjects* engine = Engine();
    if (!engine) return;
    engine->m_won = 0;
    const YPlane* local = LocalPlane();
    const YPlane* opponent = Opponent();
    if (!local || !opponent) {
        UpdateHighScores(TableDogfight, 0, 0);
        return;
    }
    const bool localDown = IsDown(local);
    const bool opponentDown = IsDown(opponent);
    if (opponentDown) {
        engine->m_won = 1;
        if (!Celebrate()) return;
    }
    const int bot = localDown && !opponentDown ? Score(m_postSeconds, opponent) : 0;
    const int player = opponentDown && !localDown ? Score(m_postSeconds, local) : 0;
    if (player > bot) VoiceEvent(EventPlayerWon);
    else if (player < bot) VoiceEvent(EventPlayerLost);
    UpdateHighScores(TableDogfight, bot, player);
}

void YDogFightRules::RoundOver()
{
    StopMusic();
    EnterRoundOver();
}
