// The dogfight: the round ends when a plane goes down or time runs out.
#pragma once

#include "world/YGameRules.h"

class YDogFightRules : public YGameRules {
public:
    YDogFightRules();

    void Tick() override;
    void EnterPre() override;
    void EnterRun() override;
    void EnterPost() override;
    // Stops the music, then the common round over.
    void RoundOver() override;

    int32_t m_postSeconds = 0;  // the seconds left when the post-round phase began
    int32_t m_spareWords[2] = {};

private:
    void RoundResult();
};
