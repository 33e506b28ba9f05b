// The rules of the current round; one class per game type derives from it.
#pragma once

class YActor;

class YGameRules {
public:
    YGameRules() = default;
    virtual ~YGameRules() = default;
    virtual void Tick() {}

    // The end-of-round celebration while it runs, else null; not owned.
    YActor* m_celebration = nullptr;
};
