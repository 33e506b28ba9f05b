// The string that hangs below a balloon and falls away when it pops.
#pragma once

#include "game/YSpriteActor.h"

class YBalloon;

class YBalloonString : public YSpriteActor {
public:
    static constexpr float kFallSeconds = 5.0f;

    YBalloonString();
    explicit YBalloonString(const YVector& position);

    // Still while attached (the balloon moves it); once free it falls for
    // five seconds and goes.
    void Update(float dt) override;
    void ForgetActor(YActor* actor) override;

    YBalloon* m_balloon;  // reference, null once free
    float m_fallTime;     // seconds
};
