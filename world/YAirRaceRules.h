// The air race: the first plane to finish wins, both in one tick tie.
#pragma once

#include "world/YGameRules.h"

class YAirRaceRules : public YGameRules {
public:
    enum { Laps = 3 };

    YAirRaceRules();

    void Tick() override;
    void EnterPre() override;
    void EnterRun() override;
    void EnterPost() override;
    void RoundOver() override;
    // Won when there is no tie and the local plane is the winner.
    virtual void UpdateWonFlag();

    int32_t m_laps = Laps;         // the HUD's lap displays read it
    int32_t m_finishSeconds = 0;   // the seconds left at the finish
    int32_t m_spareWord = 0;

private:
    // The finish of one plane, of the other, or of both at once.
    bool CheckFinish();
    void RoundResult();
};
