#include "game/YBotAIEasy.h"

YBotAIEasy::YBotAIEasy(YActor* plane, int task, YManeuvers* maneuvers) { YBotAIEasy::Init(plane, task, maneuvers); }

void YBotAIEasy::Init(YActor* plane, int task, YManeuvers* maneuvers)
{
    YBotAI::Init(plane, task, maneuvers);
    m_skill = 0;
}

void YBotAIEasy::TurnAround(const YVector& angles) { SkillTurnAround(angles); }
void YBotAIEasy::RandomManoeuvre(const YVector& angles) { SkillRandomManoeuvre(angles); }
void YBotAIEasy::EvasiveTurn(const YVector& angles) { SkillEvasiveTurn(angles); }
void YBotAIEasy::TryFire() { SkillTryFire(false); }
void YBotAIEasy::SetThrottle() { SkillSetThrottle(); }
uint32_t YBotAIEasy::TerrainLookAhead() { return YBotAI::TerrainLookAhead(); }
