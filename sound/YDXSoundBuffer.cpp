#include "sound/YDXSoundBuffer.h"

#include "sound/YDXSound.h"

IMPLEMENT_SERIAL(YDXSoundBuffer, YWave, 1)

YDXSoundBuffer::YDXSoundBuffer()
    : m_device(nullptr), m_buffer(nullptr), m_created(0), m_flags(kDefaultFlags), m_id(0), m_priority(20), m_kind(0),
      m_locationMode(0), m_lastUse(0), m_result(DS_OK), m_errorWindow(nullptr), m_keyHash(0), m_duplicate(0),
      m_unused1(5.0f), m_unused2(100.0f), m_requestedVolume(0), m_handle(0)
{
}

YDXSoundBuffer::YDXSoundBuffer(YDXSound* device, const char* path, int load, DWORD flags) : YDXSoundBuffer()
{
    m_device = device;
    m_flags = flags;
    m_key = "";
    LoadFromFile(path, load);
    m_fileName = path;
    if (load) CreateBuffer();
}

YDXSoundBuffer::YDXSoundBuffer(YDXSound* device, CFile& file, int load, DWORD flags)
    : YDXSoundBuffer(device, static_cast<const char*>(file.GetFilePath()), load, flags)
{
}

YDXSoundBuffer::YDXSoundBuffer(YDXSound* device, int resourceId, HMODULE module, int load, DWORD flags)
    : YDXSoundBuffer()
{
    m_device = device;
    m_flags = flags;
    LoadFromResource(resourceId, module, load);
    if (load) CreateBuffer();
}

YDXSoundBuffer::~YDXSoundBuffer() { Cleanup(); }

void YDXSoundBuffer::Serialize(CArchive& ar)
{
    YWave::Serialize(ar);
    if (ar.IsLoading() && !m_fileName.IsEmpty()) LoadFromFile(YString(m_fileName), 0);
}

int YDXSoundBuffer::Forward(HRESULT result)
{
    m_result = result;
    return SUCCEEDED(result);
}

int YDXSoundBuffer::Create(YDXSound* device, DWORD flags)
{
    m_device = device;
    m_flags = flags;
    return CreateBuffer();
}

int YDXSoundBuffer::Upload()
{
    void* part = nullptr;
    DWORD bytes = 0;
    if (!Forward(m_buffer->Lock(0, 0, &part, &bytes, nullptr, nullptr, DSBLOCK_ENTIREBUFFER))) return 0;
    const DWORD filled = FillBuffer(part, bytes);
    m_buffer->Unlock(part, bytes, nullptr, 0);
    return filled != 0;
}

int YDXSoundBuffer::CreateBuffer()
{
    if (m_created) return 1;
    if (!m_device) return 0;
    if (m_buffer) Cleanup();
    if (!m_data && !ReloadData()) return 0;
    if (!m_format) return 0;
    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = m_flags;
    if (m_locationMode != 2) desc.dwFlags = (desc.dwFlags & ~DWORD(DSBCAPS_LOCHARDWARE)) | DSBCAPS_LOCSOFTWARE;
    desc.dwBufferBytes = m_dataLength;
    desc.lpwfxFormat = m_format;
    LPDIRECTSOUND sound = m_device->GetDirectSound();
    if (!sound) return 0;
    if (!Forward(sound->CreateSoundBuffer(&desc, &m_buffer, nullptr))) {
        m_buffer = nullptr;
        return 0;
    }
    if (!Upload()) {
        Cleanup();
        return 0;
    }
    m_created = 1;
    SetVolume(m_requestedVolume);
    return 1;
}

int YDXSoundBuffer::Cleanup()
{
    if (m_buffer) m_buffer->Release();
    m_buffer = nullptr;
    m_created = 0;
    return 1;
}

int YDXSoundBuffer::Duplicate(YDXSoundBuffer* target)
{
    if (!target || !m_device || !m_device->GetDirectSound() || !m_buffer) return 0;
    target->Cleanup();
    target->m_device = m_device;
    target->m_created = m_created;
    target->m_flags = m_flags;
    target->m_id = m_id;
    target->m_priority = m_priority;
    target->m_kind = m_kind;
    target->m_locationMode = m_locationMode;
    target->m_errorWindow = m_errorWindow;
    target->m_key = m_key;
    target->m_keyHash = m_keyHash;
    target->m_dataLength = m_dataLength;
    target->m_fileName = m_fileName;
    target->m_lastUse = 0;
    if (!target->Forward(m_device->GetDirectSound()->DuplicateSoundBuffer(m_buffer, &target->m_buffer))) {
        target->m_buffer = nullptr;
        target->m_created = 0;
        return 0;
    }
    target->m_duplicate = 1;
    return 1;
}

int YDXSoundBuffer::CopyWaveTo(YDXSoundBuffer* target)
{
    if (!target || !m_device || !m_buffer || !m_format) return 0;
    BYTE* format = new BYTE[m_formatSize];
    memcpy(format, m_format, m_formatSize);
    BYTE* samples = new BYTE[m_dataLength ? m_dataLength : 1];
    if (m_data) {
        memcpy(samples, m_data, m_dataLength);
    } else {
        void* part = nullptr;
        DWORD bytes = 0;
        if (!Forward(m_buffer->Lock(0, 0, &part, &bytes, nullptr, nullptr, DSBLOCK_ENTIREBUFFER))) {
            delete[] format;
            delete[] samples;
            return 0;
        }
        memcpy(samples, part, bytes < m_dataLength ? bytes : m_dataLength);
        m_buffer->Unlock(part, bytes, nullptr, 0);
    }
    delete[] reinterpret_cast<BYTE*>(target->m_format);
    target->m_format = reinterpret_cast<WAVEFORMATEX*>(format);
    target->m_formatSize = m_formatSize;
    target->FreeData();
    target->m_data = samples;
    target->m_dataLength = m_dataLength;
    // The copy refills from the same source once its samples were uploaded.
    target->m_fileName = m_fileName;
    target->m_module = m_module;
    target->m_resourceId = m_resourceId;
    target->m_fromResource = m_fromResource;
    return 1;
}

int YDXSoundBuffer::Play(DWORD flags)
{
    if (!m_buffer) return 0;
    DWORD status = 0;
    if (GetStatus(&status, 1) && (status & DSBSTATUS_BUFFERLOST) && !Restore()) return 0;
    return Forward(m_buffer->Play(0, 0, flags));
}

int YDXSoundBuffer::Restore()
{
    if (!m_buffer || !Forward(m_buffer->Restore())) return 0;
    if (Upload()) return 1;
    // A buffer that cannot be refilled would only play silence: it goes,
    // and creating it again reloads the samples.
    Cleanup();
    return 0;
}

int YDXSoundBuffer::SetVolume(LONG volume)
{
    if (!m_buffer) return 0;
    m_requestedVolume = volume;
    LONG heard = volume + YDXSound::s_globalVolumeOffset;
    if (heard <= DSBVOLUME_MIN) heard = DSBVOLUME_MIN;
    if (heard >= DSBVOLUME_MAX) heard = DSBVOLUME_MAX;
    return Forward(m_buffer->SetVolume(heard));
}

int YDXSoundBuffer::GetVolume(LONG* volume)
{
    if (!m_buffer || !volume) return 0;
    *volume = m_requestedVolume;
    return 1;
}

int YDXSoundBuffer::GetStatus(DWORD* status, int forced)
{
    if (FAILED(m_result) && !forced) return 0;
    if (!m_buffer) return 0;
    return Forward(m_buffer->GetStatus(status));
}

int YDXSoundBuffer::IsPlaying()
{
    DWORD status = 0;
    return GetStatus(&status, 0) && (status & DSBSTATUS_PLAYING) != 0;
}

DWORD YDXSoundBuffer::GetDuration()
{
    if (!m_buffer) return 0;
    WAVEFORMATEX format = {};
    if (!GetFormat(&format) || format.nAvgBytesPerSec == 0) return 0;
    return DWORD(uint64_t(m_dataLength) * 1000 / format.nAvgBytesPerSec);
}

void YDXSoundBuffer::GetErrorText(char* text, int size) { YDXSound::ReportError(m_result, m_errorWindow, text, size); }

int YDXSoundBuffer::GetCaps(DSBCAPS* caps) { return m_buffer ? Forward(m_buffer->GetCaps(caps)) : 0; }

int YDXSoundBuffer::GetPlayPosition(DWORD* position)
{
    return m_buffer ? Forward(m_buffer->GetCurrentPosition(position, nullptr)) : 0;
}

int YDXSoundBuffer::GetWritePosition(DWORD* position)
{
    return m_buffer ? Forward(m_buffer->GetCurrentPosition(nullptr, position)) : 0;
}

int YDXSoundBuffer::GetFormat(WAVEFORMATEX* format)
{
    return m_buffer ? Forward(m_buffer->GetFormat(format, 18, nullptr)) : 0;
}

int YDXSoundBuffer::GetFrequency(DWORD* frequency) { return m_buffer ? Forward(m_buffer->GetFrequency(frequency)) : 0; }

int YDXSoundBuffer::GetPan(LONG* pan) { return m_buffer ? Forward(m_buffer->GetPan(pan)) : 0; }

int YDXSoundBuffer::SetCurrentPosition(DWORD position)
{
    return m_buffer ? Forward(m_buffer->SetCurrentPosition(position)) : 0;
}

int YDXSoundBuffer::SetFormat(WAVEFORMATEX* format) { return m_buffer ? Forward(m_buffer->SetFormat(format)) : 0; }

int YDXSoundBuffer::SetFrequency(DWORD frequency) { return m_buffer ? Forward(m_buffer->SetFrequency(frequency)) : 0; }

int YDXSoundBuffer::SetPan(LONG pan) { return m_buffer ? Forward(m_buffer->SetPan(pan)) : 0; }

int YDXSoundBuffer::Stop() { return m_buffer ? Forward(m_buffer->Stop()) : 0; }
