// Where a 3D sound is heard: its loudness by distance (and cone), its left
// and right share by direction and its pitch by the Doppler effect, all
// from the buffer's and the listener's 3D parameters.
#pragma once

#include "platform/dsound.h"

namespace platform {
class SoundPlacement {
public:
    float left = 1.0f;   // gains, 0..1
    float right = 1.0f;
    float pitch = 1.0f;  // frequency factor

    // muteAtMax: silent beyond the maximum distance (DSBCAPS_MUTE3DATMAXDISTANCE).
    static SoundPlacement Compute(const DS3DBUFFER& buffer, const DS3DLISTENER& listener, bool muteAtMax);
    // Hundredths of a decibel as an amplitude factor; -10000 and below is 0.
    static float Gain(LONG hundredthsOfDecibel);
};
}  // namespace platform
