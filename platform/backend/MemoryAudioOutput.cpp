#include "platform/backend/MemoryAudioOutput.h"

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
}  // namespace platform
