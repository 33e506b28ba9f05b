// The easy bot pilot (skill 0).
#pragma once

#include "game/YBotAI.h"

class YBotAIEasy : public YBotAI {
public:
    YBotAIEasy(YActor* plane, int task, YManeuvers* maneuvers);
    ~YBotAIEasy() override = default;

    void Init(YActor* plane, int task, YManeuvers* maneuvers) override;
    void TurnAround(const YVector& angles) override;
    void RandomManoeuvre(const YVector& angles) override;
    void EvasiveTurn(const YVector& angles) override;
    void TryFire() override;
    void SetThrottle() override;
    uint32_t TerrainLookAhead() override;
};
