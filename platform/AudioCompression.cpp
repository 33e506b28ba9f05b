// The audio compression manager: one built-in driver that converts between
// PCM formats (bits, channels, rate) and between 16-bit PCM and IMA ADPCM.
#include <algorithm>
#include <vector>

#include "platform/ImaAdpcm.h"
#include "platform/PcmFormat.h"
#include "platform/mmsystem.h"

struct AcmDriver {
    int unused = 0;
};

struct AcmStream {
    enum Kind { PcmToPcm, AdpcmToPcm, PcmToAdpcm };
    Kind kind = PcmToPcm;
    WAVEFORMATEX source = {};
    WAVEFORMATEX destination = {};
};

namespace {
AcmDriver g_driver;

bool IsAdpcm(const WAVEFORMATEX* format)
{
    return format->wFormatTag == WAVE_FORMAT_IMA_ADPCM &&
           platform::ImaAdpcm::IsValid(*format, format->cbSize >= 2 ? sizeof(IMAADPCMWAVEFORMAT) : 18);
}

// Which conversion turns source into destination, false when none does.
bool ConversionKind(const WAVEFORMATEX* source, const WAVEFORMATEX* destination, AcmStream::Kind& kind)
{
    using platform::PcmFormat;
    const bool sourcePcm = PcmFormat::IsValid(*source);
    const bool destinationPcm = PcmFormat::IsValid(*destination);
    if (sourcePcm && destinationPcm) {
        kind = AcmStream::PcmToPcm;
        return true;
    }
    const bool sameShape = source->nChannels == destination->nChannels &&
                           source->nSamplesPerSec == destination->nSamplesPerSec;
    if (IsAdpcm(source) && destinationPcm && destination->wBitsPerSample == 16 && sameShape) {
        kind = AcmStream::AdpcmToPcm;
        return true;
    }
    if (sourcePcm && source->wBitsPerSample == 16 && IsAdpcm(destination) && sameShape) {
        kind = AcmStream::PcmToAdpcm;
        return true;
    }
    return false;
}

uint64_t ResampledFrames(uint64_t frames, DWORD from, DWORD to) { return (frames * to + from - 1) / from; }

// PCM to PCM: channels mixed or copied, the rate changed by linear
// interpolation, the bits widened or narrowed.
DWORD ConvertPcm(const WAVEFORMATEX& from, const WAVEFORMATEX& to, const BYTE* in, DWORD inFrames, BYTE* out,
                 DWORD outFrames)
{
    using platform::PcmFormat;
    auto sample = [&](DWORD frame, int channel) {
        const BYTE* p = in + size_t(frame) * from.nBlockAlign;
        if (to.nChannels == 1 && from.nChannels == 2)
            return (PcmFormat::Sample(p, from.wBitsPerSample, 0) + PcmFormat::Sample(p, from.wBitsPerSample, 1)) / 2;
        return PcmFormat::Sample(p, from.wBitsPerSample, from.nChannels == 1 ? 0 : channel);
    };
    for (DWORD i = 0; i < outFrames; ++i) {
        const uint64_t scaled = uint64_t(i) * from.nSamplesPerSec;
        const DWORD frame = DWORD(scaled / to.nSamplesPerSec);
        const double fraction = double(scaled % to.nSamplesPerSec) / to.nSamplesPerSec;
        const DWORD next = frame + 1 < inFrames ? frame + 1 : frame;
        BYTE* p = out + size_t(i) * to.nBlockAlign;
        for (int c = 0; c < to.nChannels; ++c) {
            const double a = sample(frame, c);
            const double b = sample(next, c);
            PcmFormat::Store(p, to.wBitsPerSample, c, int(a + (b - a) * fraction + (a + (b - a) * fraction < 0 ? -0.5 : 0.5)));
        }
    }
    return outFrames * to.nBlockAlign;
}
}  // namespace

MMRESULT acmMetrics(HACMOBJ, UINT metric, LPVOID value)
{
    if (!value) return MMSYSERR_INVALPARAM;
    if (metric != ACM_METRIC_MAX_SIZE_FORMAT) return MMSYSERR_NOTSUPPORTED;
    *static_cast<DWORD*>(value) = sizeof(IMAADPCMWAVEFORMAT);
    return MMSYSERR_NOERROR;
}

MMRESULT acmFormatSuggest(HACMDRIVER, LPWAVEFORMATEX source, LPWAVEFORMATEX destination, DWORD size, DWORD flags)
{
    using platform::ImaAdpcm;
    using platform::PcmFormat;
    if (!source || !destination || size < sizeof(PCMWAVEFORMAT)) return MMSYSERR_INVALPARAM;
    const WORD tag = (flags & ACM_FORMATSUGGESTF_WFORMATTAG) ? destination->wFormatTag : WAVE_FORMAT_PCM;
    const WORD channels = (flags & ACM_FORMATSUGGESTF_NCHANNELS) ? destination->nChannels : source->nChannels;
    const DWORD rate = (flags & ACM_FORMATSUGGESTF_NSAMPLESPERSEC) ? destination->nSamplesPerSec : source->nSamplesPerSec;
    WORD bits = source->wFormatTag == WAVE_FORMAT_PCM ? source->wBitsPerSample : 16;
    if (flags & ACM_FORMATSUGGESTF_WBITSPERSAMPLE) bits = destination->wBitsPerSample;
    IMAADPCMWAVEFORMAT block = {};
    WAVEFORMATEX& suggested = block.wfx;
    if (tag == WAVE_FORMAT_PCM) {
        suggested = PcmFormat::Make(rate, bits, channels);
    } else if (tag == WAVE_FORMAT_IMA_ADPCM) {
        suggested.wFormatTag = WAVE_FORMAT_IMA_ADPCM;
        suggested.nChannels = channels;
        suggested.nSamplesPerSec = rate;
        suggested.wBitsPerSample = 4;
        suggested.nBlockAlign = ImaAdpcm::BlockAlignFor(rate, channels);
        suggested.cbSize = 2;
        block.wSamplesPerBlock = ImaAdpcm::SamplesPerBlock(suggested.nBlockAlign, channels);
        suggested.nAvgBytesPerSec =
            block.wSamplesPerBlock ? DWORD(uint64_t(rate) * suggested.nBlockAlign / block.wSamplesPerBlock) : 0;
    } else {
        return ACMERR_NOTPOSSIBLE;
    }
    AcmStream::Kind kind;
    if (!ConversionKind(source, &suggested, kind)) return ACMERR_NOTPOSSIBLE;
    const DWORD needed = tag == WAVE_FORMAT_PCM ? sizeof(PCMWAVEFORMAT) : sizeof(IMAADPCMWAVEFORMAT);
    if (size < needed) return MMSYSERR_INVALPARAM;
    memcpy(destination, &block, size < sizeof(block) ? size : sizeof(block));
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamOpen(LPHACMSTREAM stream, HACMDRIVER, LPWAVEFORMATEX source, LPWAVEFORMATEX destination, LPVOID,
                       DWORD_PTR, DWORD_PTR, DWORD flags)
{
    if (stream) *stream = nullptr;
    if (!source || !destination) return MMSYSERR_INVALPARAM;
    AcmStream::Kind kind;
    if (!ConversionKind(source, destination, kind)) return ACMERR_NOTPOSSIBLE;
    if (flags & ACM_STREAMOPENF_QUERY) return MMSYSERR_NOERROR;
    if (!stream) return MMSYSERR_INVALPARAM;
    AcmStream* made = new AcmStream;
    made->kind = kind;
    made->source = *source;
    made->destination = *destination;
    made->source.cbSize = made->destination.cbSize = 0;
    *stream = made;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamClose(HACMSTREAM stream, DWORD)
{
    if (!stream) return MMSYSERR_INVALHANDLE;
    delete stream;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamSize(HACMSTREAM stream, DWORD input, LPDWORD output, DWORD flags)
{
    using platform::ImaAdpcm;
    if (!stream) return MMSYSERR_INVALHANDLE;
    if (!output) return MMSYSERR_INVALPARAM;
    if (flags != ACM_STREAMSIZEF_SOURCE) return MMSYSERR_NOTSUPPORTED;
    const WAVEFORMATEX& from = stream->source;
    const WAVEFORMATEX& to = stream->destination;
    uint64_t bytes = 0;
    switch (stream->kind) {
    case AcmStream::PcmToPcm:
        bytes = ResampledFrames(input / from.nBlockAlign, from.nSamplesPerSec, to.nSamplesPerSec) * to.nBlockAlign;
        break;
    case AcmStream::AdpcmToPcm:
        // Room for a last, partial block too; only whole blocks convert.
        bytes = uint64_t((input + from.nBlockAlign - 1) / from.nBlockAlign) *
                ImaAdpcm::SamplesPerBlock(from.nBlockAlign, from.nChannels) * to.nBlockAlign;
        break;
    case AcmStream::PcmToAdpcm: {
        const uint64_t perBlock = ImaAdpcm::SamplesPerBlock(to.nBlockAlign, to.nChannels);
        bytes = (input / from.nBlockAlign + perBlock - 1) / perBlock * to.nBlockAlign;
        break;
    }
    }
    if (bytes > 0xFFFFFFFFull) return ACMERR_NOTPOSSIBLE;
    *output = DWORD(bytes);
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamPrepareHeader(HACMSTREAM stream, LPACMSTREAMHEADER header, DWORD)
{
    if (!stream) return MMSYSERR_INVALHANDLE;
    if (!header || header->cbStruct < sizeof(ACMSTREAMHEADER) || !header->pbSrc || !header->pbDst)
        return MMSYSERR_INVALPARAM;
    header->fdwStatus |= ACMSTREAMHEADER_STATUSF_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamUnprepareHeader(HACMSTREAM stream, LPACMSTREAMHEADER header, DWORD)
{
    if (!stream) return MMSYSERR_INVALHANDLE;
    if (!header) return MMSYSERR_INVALPARAM;
    if (!(header->fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED)) return ACMERR_UNPREPARED;
    header->fdwStatus &= ~DWORD(ACMSTREAMHEADER_STATUSF_PREPARED);
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamConvert(HACMSTREAM stream, LPACMSTREAMHEADER header, DWORD)
{
    using platform::ImaAdpcm;
    if (!stream) return MMSYSERR_INVALHANDLE;
    if (!header) return MMSYSERR_INVALPARAM;
    if (!(header->fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED)) return ACMERR_UNPREPARED;
    const WAVEFORMATEX& from = stream->source;
    const WAVEFORMATEX& to = stream->destination;
    header->cbSrcLengthUsed = header->cbDstLengthUsed = 0;
    switch (stream->kind) {
    case AcmStream::PcmToPcm: {
        // As many whole source frames as the destination has room for.
        DWORD inFrames = header->cbSrcLength / from.nBlockAlign;
        uint64_t outFrames = ResampledFrames(inFrames, from.nSamplesPerSec, to.nSamplesPerSec);
        const DWORD room = header->cbDstLength / to.nBlockAlign;
        if (outFrames > room) {
            outFrames = room;
            inFrames = DWORD(std::min<uint64_t>(inFrames, outFrames * from.nSamplesPerSec / to.nSamplesPerSec));
        }
        if (inFrames == 0) outFrames = 0;
        header->cbDstLengthUsed = ConvertPcm(from, to, header->pbSrc, inFrames, header->pbDst, DWORD(outFrames));
        header->cbSrcLengthUsed = inFrames * from.nBlockAlign;
        break;
    }
    case AcmStream::AdpcmToPcm: {
        const DWORD perBlock = ImaAdpcm::SamplesPerBlock(from.nBlockAlign, from.nChannels);
        const DWORD blockBytes = perBlock * to.nBlockAlign;
        const DWORD blocks = std::min(header->cbSrcLength / from.nBlockAlign, header->cbDstLength / blockBytes);
        std::vector<int16_t> frames(size_t(blocks) * perBlock * to.nChannels);
        const size_t made = ImaAdpcm::Decode(header->pbSrc, size_t(blocks) * from.nBlockAlign, from.nChannels,
                                             from.nBlockAlign, frames.data());
        for (size_t i = 0; i < made * to.nChannels; ++i) {
            header->pbDst[2 * i] = BYTE(frames[i] & 0xFF);
            header->pbDst[2 * i + 1] = BYTE((frames[i] >> 8) & 0xFF);
        }
        header->cbSrcLengthUsed = blocks * from.nBlockAlign;
        header->cbDstLengthUsed = DWORD(made) * to.nBlockAlign;
        break;
    }
    case AcmStream::PcmToAdpcm: {
        const DWORD perBlock = ImaAdpcm::SamplesPerBlock(to.nBlockAlign, to.nChannels);
        DWORD frames = header->cbSrcLength / from.nBlockAlign;
        const DWORD roomFrames = header->cbDstLength / to.nBlockAlign * perBlock;
        if (frames > roomFrames) frames = roomFrames;
        std::vector<int16_t> samples(size_t(frames) * from.nChannels);
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = int16_t(uint16_t(header->pbSrc[2 * i] | header->pbSrc[2 * i + 1] << 8));
        header->cbDstLengthUsed =
            DWORD(ImaAdpcm::Encode(samples.data(), frames, to.nChannels, to.nBlockAlign, header->pbDst));
        header->cbSrcLengthUsed = frames * from.nBlockAlign;
        break;
    }
    }
    header->fdwStatus |= ACMSTREAMHEADER_STATUSF_DONE;
    return MMSYSERR_NOERROR;
}

MMRESULT acmDriverID(HACMOBJ object, LPHACMDRIVERID driver, DWORD)
{
    if (!object) return MMSYSERR_INVALHANDLE;
    if (!driver) return MMSYSERR_INVALPARAM;
    *driver = &g_driver;
    return MMSYSERR_NOERROR;
}

MMRESULT acmDriverDetailsA(HACMDRIVERID driver, LPACMDRIVERDETAILSA details, DWORD)
{
    if (driver != &g_driver) return MMSYSERR_INVALHANDLE;
    if (!details || details->cbStruct < sizeof(DWORD)) return MMSYSERR_INVALPARAM;
    ACMDRIVERDETAILSA full = {};
    full.cbStruct = sizeof(full);
    full.fccType = ACMDRIVERDETAILS_FCCTYPE_AUDIOCODEC;
    full.cFormatTags = 2;
    strcpy(full.szShortName, "PCM/IMA ADPCM");
    strcpy(full.szLongName, "PCM and IMA ADPCM converter");
    const DWORD size = std::min<DWORD>(details->cbStruct, sizeof(full));
    memcpy(details, &full, size);
    details->cbStruct = size;
    return MMSYSERR_NOERROR;
}
