#include "game/YBotAIEasyMedium.h"

YBotAIEasyMedium::YBotAIEasyMedium(YActor* plane, int task, YManeuvers* maneuvers) { YBotAIEasyMedium::Init(plane, task, maneuvers); }

void YBotAIEasyMedium::Init(YActor* plane, int task, YManeuvers* maneuvers)
{
    YBotAI::Init(plane, task, maneuvers);
    m_skill = 1;
}

void YBotAIEasyMedium::TurnAround(const YVector& angles) { SkillTurnAround(angles); }
void YBotAIEasyMedium::RandomManoeuvre(const YVector& angles) { SkillRandomManoeuvre(angles); }
void YBotAIEasyMedium::EvasiveTurn(const YVector& angles) { SkillEvasiveTurn(angles); }
void YBotAIEasyMedium::TryFire() { SkillTryFire(false); }
void YBotAIEasyMedium::SetThrottle() { SkillSetThrottle(); }
uint32_t YBotAIEasyMedium::TerrainLookAhead() { return YBotAI::TerrainLookAhead(); }
