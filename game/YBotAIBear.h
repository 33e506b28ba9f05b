// The bear's brain: idles, and swipes at the plane it watches when that
// comes within 5 m in clear sight.  It drives the bear's model animations
// and plays its sounds; it flies nothing.
#pragma once

#include <cstdint>

#include "game/YBotAI.h"

class YBotAIBear : public YBotAI {
public:
    enum { AnimNone = -1, AnimAttack1 = 0, AnimAttack2 = 1, AnimAttack3 = 2, AnimIdle1 = 3, AnimIdle2 = 4 };
    static const char* const kAnimations[5];
    static constexpr float kAttackRange = 5.0f;
    static const uint32_t kSightMask = 0x5D;

    YBotAIBear(YActor* bear, YManeuvers* maneuvers);
    ~YBotAIBear() override = default;

    void SetThrottle() override {}
    uint32_t TerrainLookAhead() override { return 0; }
    virtual void InitBear(YActor* bear, YManeuvers* maneuvers);

    // Each frame, from the bear's update (the frame step is not used).
    void Think(float dt = 0.0f);
    // The counter that keeps the bear going (its health): below 1 it stands
    // still.  Null, the default, counts as active.
    void SetActiveCount(const int32_t* count) { m_activeCount = count; }

    int32_t m_animation = AnimNone;
    static uint8_t s_idling;  // an idle animation is in use, shared by all bears

protected:
    // The bear's model: overridden by tests.
    virtual bool IsAnimating();
    virtual void StartAnimation(const char* name);
    virtual void StopAnimation();
    // The key reached by the running animation of the name; -1 none.
    virtual int AnimationKey(const char* name);
    virtual bool CanSee(YActor* target);
    virtual void PlaySound(const char* name);

private:
    // Plays the sound once as the animation reaches the key.
    void SoundAtKey(const char* name, int key, const char* sound);
    const int32_t* m_activeCount = nullptr;
    int m_lastKey = -1;
};
