// Wave files built in memory for tests: RIFF chunks with sizes that can lie,
// PCM tones, and the headless audio output's frames measured.
#pragma once

#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "platform/ImaAdpcm.h"
#include "platform/mmsystem.h"

namespace wavebytes {
inline std::string Le32(uint32_t v)
{
    return std::string{char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char((v >> 24) & 0xFF)};
}

inline std::string Le16(uint16_t v) { return std::string{char(v & 0xFF), char((v >> 8) & 0xFF)}; }

// A chunk whose size field says size (the body's length when -1).
inline std::string Chunk(const char* id, const std::string& body, int64_t size = -1)
{
    std::string out(id, 4);
    out += Le32(uint32_t(size < 0 ? body.size() : uint64_t(size)));
    out += body;
    if (body.size() & 1) out += '\0';
    return out;
}

inline std::string Riff(const std::string& chunks, const char* form = "WAVE")
{
    return Chunk("RIFF", std::string(form, 4) + chunks);
}

// A "fmt " body: 16 bytes, or 18 and more with the extra size and bytes.
inline std::string FormatBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, uint16_t blockAlign,
                              int extraSize = -1, const std::string& extra = "")
{
    std::string body = Le16(tag) + Le16(channels) + Le32(rate) + Le32(rate * blockAlign) + Le16(blockAlign) + Le16(bits);
    if (extraSize >= 0) body += Le16(uint16_t(extraSize)) + extra;
    return body;
}

// 16-bit samples as bytes.
inline std::string Samples16(const std::vector<int16_t>& samples)
{
    std::string out;
    for (int16_t s : samples) out += Le16(uint16_t(s));
    return out;
}

// A sine of the given frequency and peak, channels interleaved (all alike).
inline std::vector<int16_t> Sine(uint32_t rate, double hz, double seconds, int peak, int channels = 1)
{
    std::vector<int16_t> out;
    const size_t frames = size_t(rate * seconds);
    for (size_t i = 0; i < frames; ++i) {
        const int16_t v = int16_t(std::lround(peak * std::sin(2 * 3.14159265358979 * hz * double(i) / rate)));
        for (int c = 0; c < channels; ++c) out.push_back(v);
    }
    return out;
}

// A complete 16-bit PCM wave file.
inline std::string PcmWave(uint32_t rate, uint16_t channels, const std::vector<int16_t>& samples, int fmtSize = 16)
{
    const uint16_t align = uint16_t(channels * 2);
    const std::string format = fmtSize == 18 ? FormatBody(1, channels, rate, 16, align, 0)
                                             : FormatBody(1, channels, rate, 16, align);
    return Riff(Chunk("fmt ", format) + Chunk("data", Samples16(samples)));
}

// An IMA ADPCM wave of 16-bit mono samples in blocks of 256 bytes, its last
// cutBytes left out.
inline std::string AdpcmWave(const std::vector<int16_t>& samples, size_t cutBytes = 0, uint32_t rate = 11025)
{
    const uint16_t align = 256;
    const uint16_t perBlock = platform::ImaAdpcm::SamplesPerBlock(align, 1);
    std::vector<BYTE> blocks((samples.size() + perBlock - 1) / perBlock * align);
    blocks.resize(platform::ImaAdpcm::Encode(samples.data(), samples.size(), 1, align, blocks.data()));
    const std::string data(blocks.begin(), blocks.end() - long(cutBytes));
    const std::string format = FormatBody(WAVE_FORMAT_IMA_ADPCM, 1, rate, 4, align, 2, Le16(perBlock));
    return Riff(Chunk("fmt ", format) + Chunk("fact", Le32(uint32_t(samples.size()))) + Chunk("data", data));
}

inline void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

// Root mean square of one channel (0 left, 1 right) of interleaved stereo
// frames, over frames [first, first + count).
inline double Rms(const std::vector<int16_t>& frames, int channel, size_t first = 0, size_t count = SIZE_MAX)
{
    const size_t total = frames.size() / 2;
    if (first >= total) return 0.0;
    if (count > total - first) count = total - first;
    if (count == 0) return 0.0;
    double sum = 0;
    for (size_t i = first; i < first + count; ++i) {
        const double v = frames[2 * i + size_t(channel)];
        sum += v * v;
    }
    return std::sqrt(sum / double(count));
}
}  // namespace wavebytes
