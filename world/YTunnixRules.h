// Tunnix: the round ends when the last ball is banked or time runs out;
// the higher score wins, a tie counts for the player.
#pragma once

#include "world/YGameRules.h"

class YTunnixRules : public YGameRules {
public:
    enum { CheckMilliseconds = 3000 };

    YTunnixRules();

    void Tick() override;
    void EnterPre() override;
    void EnterRun() override;
    void EnterPost() override;
    void RoundOver() override;

    int32_t m_playerScore = 0;
    int32_t m_botScore = 0;
    uint32_t m_nextCheck = 0;  // game clock, ms

private:
    bool NoBallLeft() const;
    void RoundResult();
};
