#include "sound/YWave.h"

#include <new>

#include "foundation/YResourceVisitor.h"

IMPLEMENT_SERIAL(YWave, YResource, 1)

namespace {
const FOURCC kWave = mmioFOURCC('W', 'A', 'V', 'E');
const FOURCC kFormat = mmioFOURCC('f', 'm', 't', ' ');
const FOURCC kData = mmioFOURCC('d', 'a', 't', 'a');
const DWORD kFormatHead = 18;  // a WAVEFORMATEX up to its extra size

// Channels, rate and block size present; PCM frames of whole bytes.
bool UsableFormat(const WAVEFORMATEX& format)
{
    if (format.nChannels == 0 || format.nSamplesPerSec == 0 || format.nBlockAlign == 0) return false;
    if (format.wFormatTag != WAVE_FORMAT_PCM) return true;
    return format.wBitsPerSample > 0 && format.wBitsPerSample % 8 == 0 &&
           format.nBlockAlign == uint32_t(format.nChannels) * format.wBitsPerSample / 8;
}
}  // namespace

YWave::YWave()
    : m_formatSize(0), m_format(nullptr), m_dataLength(0), m_data(nullptr), m_module(nullptr), m_resourceId(0),
      m_fromResource(0)
{
}

YWave::YWave(const char* path, int readData) : YWave() { LoadFromFile(path, readData); }

YWave::YWave(CFile& file, int readData) : YWave()
{
    const CString path = file.GetFilePath();
    LoadFromFile(path, readData);
}

YWave::YWave(int resourceId, HMODULE module, int readData) : YWave()
{
    LoadFromResource(resourceId, module, readData);
}

YWave::~YWave() { Reset(); }

void YWave::FreeData()
{
    delete[] m_data;
    m_data = nullptr;
}

void YWave::Reset()
{
    delete[] reinterpret_cast<BYTE*>(m_format);
    m_format = nullptr;
    FreeData();
    m_formatSize = m_dataLength = 0;
    m_module = nullptr;
    m_fileName = "";
    m_resourceId = 0;
    m_fromResource = 0;
}

void YWave::Serialize(CArchive& ar)
{
    YResource::Serialize(ar);
    CFile* file = ar.GetFile();
    m_fileName = file ? file->GetFilePath() : CString();
}

BOOL YWave::LoadFromFile(CFile& file)
{
    TakeNameFrom(file);
    return TRUE;
}

void YWave::TakeNameFrom(CFile& file) { m_fileName = file.GetFilePath(); }

int YWave::Accept(YResourceVisitor* visitor) { return visitor->VisitWave(this); }

int YWave::LoadFromFile(const char* path, int readData)
{
    const YString name(path);  // path may be our own file name
    Reset();
    m_fileName = name;
    m_fromResource = 0;
    return Load(readData);
}

int YWave::LoadFromResource(int resourceId, HMODULE module, int readData)
{
    Reset();
    m_resourceId = resourceId;
    m_module = module;
    m_fromResource = 1;
    return Load(readData);
}

int YWave::Load(int readData)
{
    HMMIO handle = OpenSource();
    if (!handle) {
        Reset();
        return 0;
    }
    int ok = GetWaveFormat(handle) && GetWaveDataLength(handle);
    if (ok && readData) ok = GetWaveData(handle) && (m_format->wFormatTag == WAVE_FORMAT_PCM || ConvertToPCM());
    if (handle) mmioClose(handle, 0);
    if (!ok) Reset();
    return ok;
}

HMMIO YWave::OpenSource()
{
    if (!m_fromResource) return m_fileName.IsEmpty() ? nullptr : mmioOpenA(m_fileName.GetBuffer(), nullptr, MMIO_READ);
    HRSRC found = FindResourceA(m_module, MAKEINTRESOURCEA(m_resourceId & 0xFFFF), "WAVE");
    HGLOBAL loaded = found ? LoadResource(m_module, found) : nullptr;
    void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return nullptr;
    MMIOINFO info = {};
    info.fccIOProc = FOURCC_MEM;
    info.pchBuffer = static_cast<LPSTR>(bytes);
    info.cchBuffer = LONG(SizeofResource(m_module, found));
    info.adwInfo[0] = 0;  // no growth
    return mmioOpenA(nullptr, &info, MMIO_READ);
}

int YWave::Rewind(HMMIO& handle)
{
    if (m_fromResource) {
        if (handle) mmioClose(handle, 0);
        handle = OpenSource();
        return handle != nullptr;
    }
    return handle && mmioSeek(handle, 0, SEEK_SET) == 0;
}

int YWave::FindChunk(HMMIO handle, MMCKINFO& riff, MMCKINFO& chunk, FOURCC id)
{
    riff = {};
    riff.fccType = kWave;
    if (mmioDescend(handle, &riff, nullptr, MMIO_FINDRIFF) != MMSYSERR_NOERROR) return 0;
    chunk = {};
    chunk.ckid = id;
    return mmioDescend(handle, &chunk, &riff, MMIO_FINDCHUNK) == MMSYSERR_NOERROR;
}

DWORD YWave::FormatLengthOf(HMMIO handle, MMCKINFO& riff, MMCKINFO& chunk)
{
    if (!FindChunk(handle, riff, chunk, kFormat) || chunk.cksize < 16) return 0;
    WAVEFORMATEX head = {};
    const LONG wanted = LONG(chunk.cksize < kFormatHead ? chunk.cksize : kFormatHead);
    if (mmioRead(handle, reinterpret_cast<char*>(&head), wanted) != wanted) return 0;
    mmioAscend(handle, &chunk, 0);
    if (head.wFormatTag == WAVE_FORMAT_PCM) return kFormatHead;
    // A compressed format's extra bytes must lie inside the chunk.
    if (chunk.cksize < kFormatHead || kFormatHead + head.cbSize > chunk.cksize) return 0;
    return kFormatHead + head.cbSize;
}

int YWave::GetWaveFormatLength(HMMIO& handle)
{
    if (!Rewind(handle)) return 0;
    MMCKINFO riff, chunk;
    m_formatSize = FormatLengthOf(handle, riff, chunk);
    return m_formatSize != 0;
}

int YWave::GetWaveFormat(HMMIO& handle)
{
    if (!GetWaveFormatLength(handle) || !Rewind(handle)) return 0;
    delete[] reinterpret_cast<BYTE*>(m_format);
    BYTE* block = new (std::nothrow) BYTE[m_formatSize]();
    m_format = reinterpret_cast<WAVEFORMATEX*>(block);
    if (!block) return 0;
    MMCKINFO riff, chunk;
    if (!FindChunk(handle, riff, chunk, kFormat)) return 0;
    // A PCM chunk of 16 bytes leaves the extra size 0.
    const LONG wanted = LONG(chunk.cksize < m_formatSize ? chunk.cksize : m_formatSize);
    if (mmioRead(handle, reinterpret_cast<char*>(block), wanted) != wanted) return 0;
    mmioAscend(handle, &chunk, 0);
    if (m_format->wFormatTag == WAVE_FORMAT_PCM) m_format->cbSize = 0;
    return UsableFormat(*m_format);
}

int YWave::GetWaveDataLength(HMMIO& handle)
{
    if (!Rewind(handle)) return 0;
    MMCKINFO riff, chunk;
    if (!FindChunk(handle, riff, chunk, kData)) return 0;
    // The samples must lie inside the stream.
    const LONG end = mmioSeek(handle, 0, SEEK_END);
    if (end < 0 || int64_t(chunk.dwDataOffset) + chunk.cksize > int64_t(end)) return 0;
    m_dataLength = chunk.cksize;
    return 1;
}

int YWave::GetWaveData(HMMIO& handle)
{
    if (m_dataLength == 0 || !Rewind(handle)) return 0;
    MMCKINFO riff, chunk;
    if (!FindChunk(handle, riff, chunk, kData) || chunk.cksize != m_dataLength) return 0;
    FreeData();
    m_data = new (std::nothrow) BYTE[m_dataLength]();
    if (!m_data) return 0;
    if (mmioRead(handle, reinterpret_cast<char*>(m_data), LONG(m_dataLength)) != LONG(m_dataLength)) {
        FreeData();
        return 0;
    }
    return 1;
}

int YWave::ConvertToPCM()
{
    if (!m_format || !m_data || m_formatSize < kFormatHead) return 0;
    DWORD maxSize = 0;
    if (acmMetrics(nullptr, ACM_METRIC_MAX_SIZE_FORMAT, &maxSize) != MMSYSERR_NOERROR) return 0;
    if (maxSize < sizeof(WAVEFORMATEX)) maxSize = sizeof(WAVEFORMATEX);
    BYTE* suggestedBlock = new BYTE[maxSize]();
    WAVEFORMATEX* suggested = reinterpret_cast<WAVEFORMATEX*>(suggestedBlock);
    HACMSTREAM stream = nullptr;
    BYTE* converted = nullptr;
    int ok = acmFormatSuggest(nullptr, m_format, suggested, maxSize, 0) == MMSYSERR_NOERROR &&
             acmStreamOpen(&stream, nullptr, m_format, suggested, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) ==
                 MMSYSERR_NOERROR;
    HACMDRIVERID driver = nullptr;
    ACMDRIVERDETAILS details = {};
    details.cbStruct = sizeof(details);
    ok = ok && acmDriverID(reinterpret_cast<HACMOBJ>(stream), &driver, 0) == MMSYSERR_NOERROR &&
         acmDriverDetails(driver, &details, 0) == MMSYSERR_NOERROR;
    DWORD size = 0;
    ok = ok && acmStreamSize(stream, m_dataLength, &size, ACM_STREAMSIZEF_SOURCE) == MMSYSERR_NOERROR && size > 0;
    if (ok) converted = new (std::nothrow) BYTE[size]();
    ACMSTREAMHEADER header = {};
    if (ok && converted) {
        header.cbStruct = sizeof(header);
        header.pbSrc = m_data;
        header.cbSrcLength = m_dataLength;
        header.pbDst = converted;
        header.cbDstLength = size;
        ok = acmStreamPrepareHeader(stream, &header, 0) == MMSYSERR_NOERROR;
        if (ok) {
            ok = acmStreamConvert(stream, &header, ACM_STREAMCONVERTF_BLOCKALIGN) == MMSYSERR_NOERROR &&
                 header.cbDstLengthUsed > 0;
            acmStreamUnprepareHeader(stream, &header, 0);
        }
    } else {
        ok = 0;
    }
    if (stream) acmStreamClose(stream, 0);
    if (ok) {
        // Only the bytes the converter made are samples.
        FreeData();
        m_data = converted;
        m_dataLength = header.cbDstLengthUsed;
        memcpy(m_format, suggested, 16);
        m_format->cbSize = suggested->cbSize;
    } else {
        delete[] converted;
    }
    delete[] suggestedBlock;
    return ok;
}

int YWave::ReloadData()
{
    if (m_fromResource) return LoadFromResource(m_resourceId, m_module, 1);
    return !m_fileName.IsEmpty() && LoadFromFile(m_fileName, 1);
}

DWORD YWave::FillBuffer(void* destination, DWORD size)
{
    if (!m_data && !ReloadData()) return 0;
    if (!destination) return m_dataLength;
    const DWORD copied = size < m_dataLength ? size : m_dataLength;
    memcpy(destination, m_data, copied);
    if (copied < size) memset(static_cast<BYTE*>(destination) + copied, 0, size - copied);
    FreeData();
    return m_dataLength;
}

void YWave::PlaySound() { ::PlaySoundA(m_fileName, nullptr, SND_FILENAME | SND_NOWAIT | SND_ASYNC); }
