// Reads a RIFF wave stream whole: its format and its samples, compressed
// ones converted to PCM. What PlaySound plays.
#pragma once

#include <vector>

#include "platform/mmsystem.h"

namespace platform {
class WaveImage {
public:
    WAVEFORMATEX format = {};  // PCM
    std::vector<BYTE> samples;

    // False for anything but a complete wave the mixer can play.
    bool Read(HMMIO stream);
};
}  // namespace platform
