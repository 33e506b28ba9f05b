// The IMA ADPCM codec of wave files: blocks that start with a 4-byte header
// per channel (first sample, step index), then 4-bit codes, eight samples
// per 4-byte group, the channels' groups interleaved.
#pragma once

#include <cstddef>

#include "platform/mmsystem.h"

namespace platform {
class ImaAdpcm {
public:
    // Samples per channel in a block, or 0 when no block has that size.
    static WORD SamplesPerBlock(WORD blockAlign, WORD channels);
    // A usable IMA ADPCM format: 1 or 2 channels of 4 bits, a rate, a block
    // size that holds whole groups and, when given (cbSize >= 2), the
    // matching samples per block.
    static bool IsValid(const WAVEFORMATEX& format, DWORD formatSize);
    // The block size used for a rate: 256 bytes per channel up to 11025 Hz,
    // 512 up to 22050, else 1024.
    static WORD BlockAlignFor(DWORD rate, WORD channels);
    // Decodes the whole blocks of the input into 16-bit frames; returns the
    // frames written (out holds SamplesPerBlock x channels per block).
    static size_t Decode(const BYTE* in, size_t bytes, WORD channels, WORD blockAlign, int16_t* out);
    // Encodes 16-bit frames into blocks, the last one filled with silence;
    // returns the bytes written (whole blocks).
    static size_t Encode(const int16_t* in, size_t frames, WORD channels, WORD blockAlign, BYTE* out);
};
}  // namespace platform
