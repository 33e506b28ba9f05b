// The hard bot pilot (skill 4).
#pragma once

#include "game/YBotAI.h"

class YBotAIHard : public YBotAI {
public:
    YBotAIHard(YActor* plane, int task, YManeuvers* maneuvers);
    ~YBotAIHard() override = default;

    void Init(YActor* plane, int task, YManeuvers* maneuvers) override;
    void TurnAround(const YVector& angles) override;
    void RandomManoeuvre(const YVector& angles) override;
    void EvasiveTurn(const YVector& angles) override;
    void TryFire() override;
    void SetThrottle() override;
    uint32_t TerrainLookAhead() override;
};
