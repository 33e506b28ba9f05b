#include "platform/backend/MemoryAudioOutput.h"

#include <cstdio>

#include "platform/win32.h"

namespace platform {
bool MemoryAudioOutput::Open(int rate, AudioSource* source)
{
    if (rate <= 0 || !source) return false;
    if (m_source) Pump();  // what is due is heard at the old rate
    m_source = source;
    m_rate = rate;
    m_start = Clock::Now();
    m_rendered = 0;
    return true;
}

void MemoryAudioOutput::Close()
{
    if (m_source) Pump();
    m_source = nullptr;
}

void MemoryAudioOutput::Pump()
{
    if (!m_source) return;
    const uint32_t elapsed = Clock::Now() - m_start;
    if (elapsed >= 0x80000000u) {
        // The clock was set back: count from here.
        m_start = Clock::Now();
        m_rendered = 0;
        return;
    }
    const uint64_t due = uint64_t(elapsed) * uint64_t(m_rate) / 1000;
    if (due <= m_rendered) return;
    const uint64_t kept = uint64_t(m_rate) * kKeptSeconds;
    // A longer silence of the caller than what is kept is not mixed out.
    const uint64_t count = due - m_rendered < kept ? due - m_rendered : kept;
    uint64_t left = count;
    std::vector<int16_t> chunk;
    while (left > 0) {
        const int n = int(left < 4096 ? left : 4096);
        chunk.assign(size_t(n) * 2, 0);
        m_source->RenderAudio(chunk.data(), n);
        m_frames.insert(m_frames.end(), chunk.begin(), chunk.end());
        left -= uint64_t(n);
        if (m_frames.size() > kept * 2 + 8192) m_frames.erase(m_frames.begin(), m_frames.end() - kept * 2);
    }
    if (m_frames.size() > kept * 2) m_frames.erase(m_frames.begin(), m_frames.end() - kept * 2);
    m_rendered = due;
}

std::vector<int16_t> MemoryAudioOutput::Take()
{
    Pump();
    std::vector<int16_t> frames;
    frames.swap(m_frames);
    return frames;
}

bool MemoryAudioOutput::WriteWave(const std::string& path) const
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    auto le32 = [&](uint32_t v) {
        const unsigned char b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
        std::fwrite(b, 1, 4, file);
    };
    auto le16 = [&](uint16_t v) {
        const unsigned char b[2] = {uint8_t(v), uint8_t(v >> 8)};
        std::fwrite(b, 1, 2, file);
    };
    const uint32_t bytes = uint32_t(m_frames.size() * 2);
    const uint32_t rate = uint32_t(m_rate > 0 ? m_rate : 22050);
    std::fwrite("RIFF", 1, 4, file);
    le32(36 + bytes);
    std::fwrite("WAVEfmt ", 1, 8, file);
    le32(16);
    le16(1);  // PCM
    le16(2);
    le32(rate);
    le32(rate * 4);
    le16(4);
    le16(16);
    std::fwrite("data", 1, 4, file);
    le32(bytes);
    for (int16_t sample : m_frames) le16(uint16_t(sample));
    return std::fclose(file) == 0;
}
}  // namespace platform
