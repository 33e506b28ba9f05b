// The medium-hard bot pilot (skill 3).
#pragma once

#include "game/YBotAI.h"

class YBotAIMediumHard : public YBotAI {
public:
    YBotAIMediumHard(YActor* plane, int task, YManeuvers* maneuvers);
    ~YBotAIMediumHard() override = default;

    void Init(YActor* plane, int task, YManeuvers* maneuvers) override;
    void TurnAround(const YVector& angles) override;
    void RandomManoeuvre(const YVector& angles) override;
    void EvasiveTurn(const YVector& angles) override;
    void TryFire() override;
    void SetThrottle() override;
    uint32_t TerrainLookAhead() override;
};
