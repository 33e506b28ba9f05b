// The easy-medium bot pilot (skill 1).
#pragma once

#include "game/YBotAI.h"

class YBotAIEasyMedium : public YBotAI {
public:
    YBotAIEasyMedium(YActor* plane, int task, YManeuvers* maneuvers);
    ~YBotAIEasyMedium() override = default;

    void Init(YActor* plane, int task, YManeuvers* maneuvers) override;
    void TurnAround(const YVector& angles) override;
    void RandomManoeuvre(const YVector& angles) override;
    void EvasiveTurn(const YVector& angles) override;
    void TryFire() override;
    void SetThrottle() override;
    uint32_t TerrainLookAhead() override;
};
