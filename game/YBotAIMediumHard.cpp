#include "game/YBotAIMediumHard.h"

YBotAIMediumHard::YBotAIMediumHard(YActor* plane, int task, YManeuvers* maneuvers) { YBotAIMediumHard::Init(plane, task, maneuvers); }

void YBotAIMediumHard::Init(YActor* plane, int task, YManeuvers* maneuvers)
{
    YBotAI::Init(plane, task, maneuvers);
    m_skill = 3;
}

void YBotAIMediumHard::TurnAround(const YVector& angles) { SkillTurnAround(angles); }
void YBotAIMediumHard::RandomManoeuvre(const YVector& angles) { SkillRandomManoeuvre(angles); }
void YBotAIMediumHard::EvasiveTurn(const YVector& angles) { SkillEvasiveTurn(angles); }
void YBotAIMediumHard::TryFire() { SkillTryFire(false); }
void YBotAIMediumHard::SetThrottle() { SkillSetThrottle(); }
uint32_t YBotAIMediumHard::TerrainLookAhead() { return YBotAI::TerrainLookAhead(); }
