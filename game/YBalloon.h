// The floating balloon that planes pop: it drifts in small random steps
// between 5 and 30 m above the ground, may have a limited life and counts a
// pop for the plane that touches it while the round runs.
#pragma once

#include <cstdint>

#include "game/YSpriteActor.h"

class YBalloonString;

class YBalloon : public YSpriteActor {
public:
    enum : uint32_t { Blue = 0, Red = 1, Orange = 2 };
    static constexpr float kLowest = 5.0f;   // metres above the ground
    static constexpr float kHighest = 30.0f;
    static constexpr float kStringDrop = 1.44f;

    YBalloon();
    // A life of 0 never ends.
    YBalloon(YActor* plane, const YVector& position, uint32_t colour, bool resetNames, float life);

    virtual void Pop();
    virtual void Init(const YVector& position, uint32_t colour, bool resetNames);
    // At the drift goal, or nearly stopped.
    virtual bool IsHome();
    void Update(float dt) override;
    void Touch(YActor* other) override;
    void ForgetActor(YActor* actor) override;

    // Within max(0.375 x speed, 0.01) of the point, or nearly stopped.
    bool Reached(const YVector& point) const;

    YBalloonString* m_string;  // reference; the world owns it
    YVector m_wanderTarget;
    YVector m_driftGoal;
    uint32_t m_colour;
    YActor* m_lastPlane;  // reference
    float m_life;         // seconds
    uint8_t m_timed;

    static int s_nameCounter;
};
