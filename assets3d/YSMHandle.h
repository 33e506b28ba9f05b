// A model in use by an actor: the names of its animations and attach groups,
// and the animation it plays.
#pragma once

#include <cstdint>

#include "platform/mfc.h"

class YSMHandle {
public:
    YSMHandle() = default;
    virtual ~YSMHandle() = default;

    // Indexes of the named animation and group (without regard to case),
    // -1 when the model has none of that name.
    int16_t FindAnimationIndex(const CString& name) const;
    int16_t FindGroup(const CString& name) const;
    // Starts an animation; 0 for an index the model does not have.
    int PlayAnimation(int16_t index, float speed, int loop, int startFrame, int endFrame, float blend);
    // Stops the animation playing.
    void ResetAnimations() { m_playing = -1; }

    CStringArray m_animations;
    CStringArray m_groups;

    // The animation playing, -1 when none.
    int16_t m_playing = -1;
    float m_speed = 1.0f;
    int m_loop = 0;
    int m_startFrame = 0;
    int m_endFrame = 0;
    float m_blend = 1.0f;
};
