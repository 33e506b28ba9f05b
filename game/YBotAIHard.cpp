#include "game/YBotAIHard.h"

YBotAIHard::YBotAIHard(YActor* plane, int task, YManeuvers* maneuvers) { YBotAIHard::Init(plane, task, maneuvers); }

void YBotAIHard::Init(YActor* plane, int task, YManeuvers* maneuvers)
{
    YBotAI::Init(plane, task, maneuvers);
    m_skill = 4;
}

void YBotAIHard::TurnAround(const YVector& angles) { SkillTurnAround(angles); }
void YBotAIHard::RandomManoeuvre(const YVector& angles) { SkillRandomManoeuvre(angles); }
void YBotAIHard::EvasiveTurn(const YVector& angles) { SkillEvasiveTurn(angles); }
void YBotAIHard::TryFire() { SkillTryFire(true); }
void YBotAIHard::SetThrottle() { HardSetThrottle(); }
uint32_t YBotAIHard::TerrainLookAhead() { return YBotAI::TerrainLookAhead(); }
