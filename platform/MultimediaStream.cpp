// RIFF file I/O: a stream over a whole file read into memory, or over a
// caller's buffer (the "MEM " procedure). Read-only.
#include "platform/mmsystem.h"

#include <fstream>
#include <vector>

#include "platform/FilePath.h"

struct MultimediaStream {
    std::vector<char> owned;  // a file's bytes
    const char* bytes = nullptr;
    int64_t size = 0;
    int64_t position = 0;
};

namespace {
bool ReadWord(HMMIO stream, DWORD& value)
{
    if (stream->size - stream->position < 4) return false;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(stream->bytes + stream->position);
    value = DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24;
    stream->position += 4;
    return true;
}
}  // namespace

HMMIO mmioOpenA(LPSTR name, LPMMIOINFO info, DWORD flags)
{
    if (info) info->wErrorRet = 0;
    auto fail = [info](UINT error) -> HMMIO {
        if (info) info->wErrorRet = error;
        return nullptr;
    };
    if (flags & (MMIO_WRITE | MMIO_READWRITE | MMIO_CREATE)) return fail(MMIOERR_CANNOTOPEN);
    MultimediaStream* stream = new MultimediaStream;
    if (!name && info && info->fccIOProc == FOURCC_MEM) {
        if (!info->pchBuffer || info->cchBuffer < 0) {
            delete stream;
            return fail(MMSYSERR_INVALPARAM);
        }
        stream->bytes = info->pchBuffer;
        stream->size = info->cchBuffer;
    } else {
        if (!name) {
            delete stream;
            return fail(MMSYSERR_INVALPARAM);
        }
        std::ifstream in(platform::ResolvePath(name), std::ios::binary);
        if (!in) {
            delete stream;
            return fail(MMIOERR_FILENOTFOUND);
        }
        stream->owned.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        stream->bytes = stream->owned.data();
        stream->size = static_cast<int64_t>(stream->owned.size());
    }
    if (info) info->hmmio = stream;
    return stream;
}

MMRESULT mmioClose(HMMIO stream, UINT)
{
    if (!stream) return MMSYSERR_INVALHANDLE;
    delete stream;
    return MMSYSERR_NOERROR;
}

LONG mmioRead(HMMIO stream, char* buffer, LONG count)
{
    if (!stream || count < 0 || (!buffer && count > 0)) return -1;
    int64_t left = stream->size - stream->position;
    if (left < 0) left = 0;
    const LONG n = static_cast<LONG>(count < left ? count : left);
    if (n > 0) memcpy(buffer, stream->bytes + stream->position, static_cast<size_t>(n));
    stream->position += n;
    return n;
}

LONG mmioSeek(HMMIO stream, LONG offset, int origin)
{
    if (!stream) return -1;
    int64_t base = origin == SEEK_CUR ? stream->position : (origin == SEEK_END ? stream->size : 0);
    int64_t target = base + offset;
    if (target < 0 || target > 0x7FFFFFFF) return -1;
    stream->position = target;
    return static_cast<LONG>(target);
}

MMRESULT mmioDescend(HMMIO stream, LPMMCKINFO chunk, const MMCKINFO* parent, UINT flags)
{
    if (!stream || !chunk) return MMSYSERR_INVALPARAM;
    int64_t end = stream->size;
    if (parent) {
        int64_t parentEnd = int64_t(parent->dwDataOffset) + parent->cksize;
        if (parentEnd < end) end = parentEnd;
    }
    const FOURCC wantedId = chunk->ckid;
    const FOURCC wantedType = chunk->fccType;
    for (;;) {
        if (end - stream->position < 8) break;
        MMCKINFO found = {};
        ReadWord(stream, found.ckid);
        ReadWord(stream, found.cksize);
        found.dwDataOffset = static_cast<DWORD>(stream->position);
        const bool form = found.ckid == FOURCC_RIFF || found.ckid == FOURCC_LIST;
        if (form && !ReadWord(stream, found.fccType)) break;
        bool match = true;
        if (flags & MMIO_FINDRIFF)
            match = found.ckid == FOURCC_RIFF && found.fccType == wantedType;
        else if (flags & MMIO_FINDLIST)
            match = found.ckid == FOURCC_LIST && found.fccType == wantedType;
        else if (flags & MMIO_FINDCHUNK)
            match = found.ckid == wantedId;
        if (match) {
            *chunk = found;
            return MMSYSERR_NOERROR;
        }
        int64_t next = int64_t(found.dwDataOffset) + found.cksize + (found.cksize & 1);
        if (next > end) break;
        stream->position = next;
    }
    stream->position = end;
    return MMIOERR_CHUNKNOTFOUND;
}

MMRESULT mmioAscend(HMMIO stream, LPMMCKINFO chunk, UINT)
{
    if (!stream || !chunk) return MMSYSERR_INVALPARAM;
    int64_t next = int64_t(chunk->dwDataOffset) + chunk->cksize + (chunk->cksize & 1);
    stream->position = next < stream->size ? next : stream->size;
    return MMSYSERR_NOERROR;
}
