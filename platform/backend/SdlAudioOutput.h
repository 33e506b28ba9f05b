// The real audio device through SDL: a callback on SDL's audio thread pulls
// 16-bit stereo frames from the source.
#pragma once

#include <string>

#include "platform/backend/Backend.h"

namespace platform {
class SdlAudioOutput {
public:
    ~SdlAudioOutput();
    bool Open(int rate, AudioSource* source);
    void Close();
    std::string DriverName() const;

private:
    static void Callback(void* user, uint8_t* stream, int length);

    uint32_t m_device = 0;
    bool m_started = false;
    AudioSource* m_source = nullptr;
};
}  // namespace platform
