// The balloon drop: a run popping balloons, a mid-round phase, then a
// second run dropping the balloon units carried onto the targets.
#pragma once

#include "world/YGameRules.h"

class YBalloon;

class YBalloonDropRules : public YGameRules {
public:
    enum { CheckMilliseconds = 3000, EndDelayMilliseconds = 3000, ModeEventSeconds = 5 };

    YBalloonDropRules();

    void Tick() override;
    void EnterPre() override;
    void EnterRun() override;
    void EnterPost() override;
    void RoundOver() override;
    // Starts a short second run and credits the local plane with the
    // opponent's score and one balloon unit.
    void ModeEvent() override;

    uint32_t m_endDelay = 0;    // game clock, ms; 0 none
    uint32_t m_nextCheck = 0;   // game clock, ms
    int32_t m_spareWord = 0;

protected:
    // A balloon still up when the first run ends lets go of what it carries.
    virtual void ReleaseBalloon(YBalloon* balloon);

private:
    bool NoBalloonLeft() const;
    bool EveryTargetHitByBoth() const;
    void EnterMid();
    void MidOver();
    void StartSecondRun(int seconds);
    void RoundResult();
};
