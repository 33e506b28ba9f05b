// Headless audio: the mixer's frames are rendered as the clock passes and
// kept in memory (the last minute at most) for tests to measure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/backend/Backend.h"

namespace platform {
class MemoryAudioOutput {
public:
    static constexpr int kKeptSeconds = 60;

    bool Open(int rate, AudioSource* source);
    void Close();
    bool IsOpen() const { return m_source != nullptr; }
    // Renders the frames due since the last pump by the clock.
    void Pump();
    int Rate() const { return m_rate; }
    // The frames rendered so far (left, right interleaved), oldest first;
    // Take also forgets them.
    const std::vector<int16_t>& Frames() const { return m_frames; }
    std::vector<int16_t> Take();
    // Writes the frames kept so far as a 16-bit stereo PCM wave file.
    bool WriteWave(const std::string& path) const;

private:
    AudioSource* m_source = nullptr;
    int m_rate = 0;
    uint32_t m_start = 0;         // clock at the opening
    uint64_t m_rendered = 0;      // frames since then
    std::vector<int16_t> m_frames;
};
}  // namespace platform
