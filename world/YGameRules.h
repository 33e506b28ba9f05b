// The rules of the current round; one class per game type derives from it.
#pragma once

class YGameRules {
public:
    YGameRules() = default;
    virtual ~YGameRules() = default;
    virtual void Tick() {}
};
