// PCM sample formats as the mixer and the converters accept them.
#pragma once

#include "platform/mmsystem.h"

namespace platform {
class PcmFormat {
public:
    // PCM, 1 or 2 channels of 8 or 16 bits, a rate of 100..200000 Hz and a
    // block align that matches.
    static bool IsValid(const WAVEFORMATEX& format);
    // A complete PCM format block.
    static WAVEFORMATEX Make(DWORD rate, WORD bits, WORD channels);
    // One sample of a frame as a 16-bit value (8-bit samples are unsigned).
    static int Sample(const BYTE* frame, WORD bits, int channel)
    {
        if (bits == 8) return (int(frame[channel]) - 128) * 256;
        return int16_t(uint16_t(frame[2 * channel] | frame[2 * channel + 1] << 8));
    }
    static void Store(BYTE* frame, WORD bits, int channel, int value)
    {
        if (value > 32767) value = 32767;
        if (value < -32768) value = -32768;
        if (bits == 8) {
            frame[channel] = BYTE((value + 32768 + 128) >> 8 > 255 ? 255 : (value + 32768 + 128) >> 8);
        } else {
            frame[2 * channel] = BYTE(value & 0xFF);
            frame[2 * channel + 1] = BYTE((value >> 8) & 0xFF);
        }
    }
};
}  // namespace platform
