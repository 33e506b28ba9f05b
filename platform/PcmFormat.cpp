#include "platform/PcmFormat.h"

namespace platform {
bool PcmFormat::IsValid(const WAVEFORMATEX& format)
{
    if (format.wFormatTag != WAVE_FORMAT_PCM) return false;
    if (format.nChannels < 1 || format.nChannels > 2) return false;
    if (format.wBitsPerSample != 8 && format.wBitsPerSample != 16) return false;
    if (format.nSamplesPerSec < 100 || format.nSamplesPerSec > 200000) return false;
    return format.nBlockAlign == format.nChannels * format.wBitsPerSample / 8;
}

WAVEFORMATEX PcmFormat::Make(DWORD rate, WORD bits, WORD channels)
{
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = channels;
    format.nSamplesPerSec = rate;
    format.wBitsPerSample = bits;
    format.nBlockAlign = WORD(DWORD(channels) * bits / 8);  // no int overflow for any two words
    format.nAvgBytesPerSec = format.nBlockAlign * rate;
    return format;
}
}  // namespace platform
