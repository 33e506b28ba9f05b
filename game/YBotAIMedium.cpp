#include "game/YBotAIMedium.h"

YBotAIMedium::YBotAIMedium(YActor* plane, int task, YManeuvers* maneuvers) { YBotAIMedium::Init(plane, task, maneuvers); }

void YBotAIMedium::Init(YActor* plane, int task, YManeuvers* maneuvers)
{
    YBotAI::Init(plane, task, maneuvers);
    m_skill = 2;
}

void YBotAIMedium::TurnAround(const YVector& angles) { SkillTurnAround(angles); }
void YBotAIMedium::RandomManoeuvre(const YVector& angles) { SkillRandomManoeuvre(angles); }
void YBotAIMedium::EvasiveTurn(const YVector& angles) { SkillEvasiveTurn(angles); }
void YBotAIMedium::TryFire() { SkillTryFire(false); }
void YBotAIMedium::SetThrottle() { SkillSetThrottle(); }
uint32_t YBotAIMedium::TerrainLookAhead() { return YBotAI::TerrainLookAhead(); }
