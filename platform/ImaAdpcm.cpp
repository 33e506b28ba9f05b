#include "platform/ImaAdpcm.h"

namespace platform {
namespace {
const int kSteps[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
const int kIndexShift[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};

struct Channel {
    int predictor = 0;
    int index = 0;

    int Decode(int code)
    {
        const int step = kSteps[index];
        int diff = step >> 3;
        if (code & 4) diff += step;
        if (code & 2) diff += step >> 1;
        if (code & 1) diff += step >> 2;
        predictor += (code & 8) ? -diff : diff;
        if (predictor > 32767) predictor = 32767;
        if (predictor < -32768) predictor = -32768;
        index += kIndexShift[code];
        if (index < 0) index = 0;
        if (index > 88) index = 88;
        return predictor;
    }

    int Encode(int sample)
    {
        int diff = sample - predictor;
        int code = 0;
        if (diff < 0) {
            code = 8;
            diff = -diff;
        }
        int step = kSteps[index];
        if (diff >= step) {
            code |= 4;
            diff -= step;
        }
        step >>= 1;
        if (diff >= step) {
            code |= 2;
            diff -= step;
        }
        step >>= 1;
        if (diff >= step) code |= 1;
        Decode(code);  // keeps the encoder in step with a decoder
        return code;
    }
};

int Clamp16(int v) { return v > 32767 ? 32767 : (v < -32768 ? -32768 : v); }
}  // namespace

WORD ImaAdpcm::SamplesPerBlock(WORD blockAlign, WORD channels)
{
    if (channels < 1 || channels > 2) return 0;
    const int header = 4 * channels;
    if (blockAlign <= header || (blockAlign - header) % (4 * channels) != 0) return 0;
    return WORD((blockAlign - header) * 2 / channels + 1);
}

bool ImaAdpcm::IsValid(const WAVEFORMATEX& format, DWORD formatSize)
{
    if (format.wFormatTag != WAVE_FORMAT_IMA_ADPCM || format.wBitsPerSample != 4) return false;
    if (format.nSamplesPerSec < 100 || format.nSamplesPerSec > 200000) return false;
    const WORD perBlock = SamplesPerBlock(format.nBlockAlign, format.nChannels);
    if (perBlock == 0) return false;
    if (formatSize >= sizeof(IMAADPCMWAVEFORMAT) && format.cbSize >= 2) {
        const IMAADPCMWAVEFORMAT& ima = reinterpret_cast<const IMAADPCMWAVEFORMAT&>(format);
        if (ima.wSamplesPerBlock != perBlock) return false;
    }
    return true;
}

WORD ImaAdpcm::BlockAlignFor(DWORD rate, WORD channels)
{
    const WORD perChannel = rate <= 11025 ? 256 : (rate <= 22050 ? 512 : 1024);
    return WORD(perChannel * channels);
}

size_t ImaAdpcm::Decode(const BYTE* in, size_t bytes, WORD channels, WORD blockAlign, int16_t* out)
{
    const WORD perBlock = SamplesPerBlock(blockAlign, channels);
    if (perBlock == 0) return 0;
    size_t frames = 0;
    for (size_t block = 0; block + blockAlign <= bytes; block += blockAlign) {
        const BYTE* p = in + block;
        Channel state[2];
        for (int c = 0; c < channels; ++c) {
            state[c].predictor = int16_t(uint16_t(p[0] | p[1] << 8));
            state[c].index = p[2] > 88 ? 88 : p[2];
            out[frames * channels + c] = int16_t(state[c].predictor);
            p += 4;
        }
        // Groups of 4 bytes (8 samples) per channel, channels alternating.
        const size_t groups = (perBlock - 1) / 8;
        for (size_t g = 0; g < groups; ++g) {
            for (int c = 0; c < channels; ++c) {
                for (int i = 0; i < 8; ++i) {
                    const int code = (p[i / 2] >> ((i & 1) * 4)) & 15;
                    out[(frames + 1 + g * 8 + i) * channels + c] = int16_t(state[c].Decode(code));
                }
                p += 4;
            }
        }
        frames += perBlock;
    }
    return frames;
}

size_t ImaAdpcm::Encode(const int16_t* in, size_t frames, WORD channels, WORD blockAlign, BYTE* out)
{
    const WORD perBlock = SamplesPerBlock(blockAlign, channels);
    if (perBlock == 0) return 0;
    auto sample = [&](size_t frame, int c) { return frame < frames ? int(in[frame * channels + c]) : 0; };
    Channel state[2];
    size_t written = 0;
    for (size_t first = 0; first < frames; first += perBlock) {
        BYTE* p = out + written;
        for (int c = 0; c < channels; ++c) {
            state[c].predictor = Clamp16(sample(first, c));
            p[0] = BYTE(state[c].predictor & 0xFF);
            p[1] = BYTE((state[c].predictor >> 8) & 0xFF);
            p[2] = BYTE(state[c].index);
            p[3] = 0;
            p += 4;
        }
        const size_t groups = (perBlock - 1) / 8;
        for (size_t g = 0; g < groups; ++g) {
            for (int c = 0; c < channels; ++c) {
                for (int i = 0; i < 4; ++i) {
                    const size_t frame = first + 1 + g * 8 + i * 2;
                    const int low = state[c].Encode(sample(frame, c));
                    const int high = state[c].Encode(sample(frame + 1, c));
                    p[i] = BYTE(low | high << 4);
                }
                p += 4;
            }
        }
        written += blockAlign;
    }
    return written;
}
}  // namespace platform
