// Practice: no opponent, no time limit, no score. The round runs until the
// player ends it.
#pragma once

#include "world/YGameRules.h"

class YPracticeRules : public YGameRules {
public:
    enum { PreSeconds = 10, PostSeconds = 5 };

    // The mode of the practised game type; any other text gives 4.
    explicit YPracticeRules(const char* gameType);

    void Tick() override;
    void EnterPre() override;
    void EnterRun() override;
    void EnterPost() override;
};
