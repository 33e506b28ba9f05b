// The medium bot pilot (skill 2).
#pragma once

#include "game/YBotAI.h"

class YBotAIMedium : public YBotAI {
public:
    YBotAIMedium(YActor* plane, int task, YManeuvers* maneuvers);
    ~YBotAIMedium() override = default;

    void Init(YActor* plane, int task, YManeuvers* maneuvers) override;
    void TurnAround(const YVector& angles) override;
    void RandomManoeuvre(const YVector& angles) override;
    void EvasiveTurn(const YVector& angles) override;
    void TryFire() override;
    void SetThrottle() override;
    uint32_t TerrainLookAhead() override;
};
