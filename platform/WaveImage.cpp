#include "platform/WaveImage.h"

#include "platform/PcmFormat.h"

namespace platform {
bool WaveImage::Read(HMMIO stream)
{
    MMCKINFO riff = {};
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    if (mmioDescend(stream, &riff, nullptr, MMIO_FINDRIFF) != MMSYSERR_NOERROR) return false;
    MMCKINFO chunk = {};
    chunk.ckid = mmioFOURCC('f', 'm', 't', ' ');
    if (mmioDescend(stream, &chunk, &riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR || chunk.cksize < 16) return false;
    // The format as far as the chunk holds it, up to the IMA ADPCM extension.
    std::vector<BYTE> block(sizeof(IMAADPCMWAVEFORMAT), 0);
    const LONG wanted = LONG(chunk.cksize < block.size() ? chunk.cksize : block.size());
    if (mmioRead(stream, reinterpret_cast<char*>(block.data()), wanted) != wanted) return false;
    WAVEFORMATEX* source = reinterpret_cast<WAVEFORMATEX*>(block.data());
    if (wanted < 18) source->cbSize = 0;
    if (wanted < LONG(sizeof(IMAADPCMWAVEFORMAT)) && source->cbSize > 0) source->cbSize = 0;
    mmioAscend(stream, &chunk, 0);

    chunk = {};
    chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
    if (mmioDescend(stream, &chunk, &riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR || chunk.cksize == 0) return false;
    std::vector<BYTE> data(chunk.cksize < 0x4000000 ? chunk.cksize : 0);
    if (data.empty() || mmioRead(stream, reinterpret_cast<char*>(data.data()), LONG(data.size())) != LONG(data.size()))
        return false;

    if (PcmFormat::IsValid(*source)) {
        format = PcmFormat::Make(source->nSamplesPerSec, source->wBitsPerSample, source->nChannels);
        samples.swap(data);
        samples.resize(samples.size() / format.nBlockAlign * format.nBlockAlign);
        return !samples.empty();
    }
    WAVEFORMATEX target = {};
    if (acmFormatSuggest(nullptr, source, &target, sizeof(target), 0) != MMSYSERR_NOERROR) return false;
    HACMSTREAM converter = nullptr;
    if (acmStreamOpen(&converter, nullptr, source, &target, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) !=
        MMSYSERR_NOERROR)
        return false;
    DWORD size = 0;
    bool ok = acmStreamSize(converter, DWORD(data.size()), &size, ACM_STREAMSIZEF_SOURCE) == MMSYSERR_NOERROR &&
              size > 0 && size < 0x10000000;
    if (ok) {
        samples.assign(size, 0);
        ACMSTREAMHEADER header = {};
        header.cbStruct = sizeof(header);
        header.pbSrc = data.data();
        header.cbSrcLength = DWORD(data.size());
        header.pbDst = samples.data();
        header.cbDstLength = size;
        ok = acmStreamPrepareHeader(converter, &header, 0) == MMSYSERR_NOERROR;
        if (ok) {
            ok = acmStreamConvert(converter, &header, ACM_STREAMCONVERTF_BLOCKALIGN) == MMSYSERR_NOERROR;
            acmStreamUnprepareHeader(converter, &header, 0);
            samples.resize(header.cbDstLengthUsed);
        }
    }
    acmStreamClose(converter, 0);
    format = target;
    return ok && !samples.empty();
}
}  // namespace platform
