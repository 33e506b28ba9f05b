// One DirectSound secondary buffer with the wave it plays, and the fields
// the sound manager keeps on it to find and recycle buffers.
#pragma once

#include "foundation/YString.h"
#include "platform/dsound.h"
#include "sound/YWave.h"

class YDXSound;

class YDXSoundBuffer : public YWave {
    DECLARE_SERIAL(YDXSoundBuffer)
public:
    // DSBCAPS_STATIC | CTRLFREQUENCY | CTRLPAN | CTRLVOLUME
    static constexpr DWORD kDefaultFlags = 0xE2;

    YDXSoundBuffer();
    YDXSoundBuffer(YDXSound* device, const char* path, int load, DWORD flags);
    YDXSoundBuffer(YDXSound* device, CFile& file, int load, DWORD flags);
    YDXSoundBuffer(YDXSound* device, int resourceId, HMODULE module, int load, DWORD flags);
    ~YDXSoundBuffer() override;

    // Reading from a catalog archive also reads the file's format and length.
    void Serialize(CArchive& ar) override;

    virtual int GetKind() { return m_kind; }
    virtual int Create(YDXSound* device, DWORD flags);
    virtual int CreateBuffer();
    int Cleanup();
    virtual int Duplicate(YDXSoundBuffer* target);
    int CopyWaveTo(YDXSoundBuffer* target);

    int Play(DWORD flags);
    int Restore();
    int SetVolume(LONG volume);
    int GetVolume(LONG* volume);
    int GetStatus(DWORD* status, int forced);
    int IsPlaying();
    // Milliseconds of sound in the buffer.
    DWORD GetDuration();
    virtual void GetErrorText(char* text, int size);

    int GetCaps(DSBCAPS* caps);
    int GetPlayPosition(DWORD* position);
    int GetWritePosition(DWORD* position);
    int GetFormat(WAVEFORMATEX* format);
    int GetFrequency(DWORD* frequency);
    int GetPan(LONG* pan);
    int SetCurrentPosition(DWORD position);
    int SetFormat(WAVEFORMATEX* format);
    int SetFrequency(DWORD frequency);
    int SetPan(LONG pan);
    int Stop();

    using YWave::GetFormat;
    LPDIRECTSOUNDBUFFER GetBuffer() const { return m_buffer; }

    YDXSound* m_device;
    LPDIRECTSOUNDBUFFER m_buffer;
    int m_created;
    DWORD m_flags;
    int m_id;
    int m_priority;
    int m_kind;
    int m_locationMode;
    DWORD m_lastUse;
    HRESULT m_result;
    CWnd* m_errorWindow;
    YString m_key;
    BYTE m_keyHash;
    int m_duplicate;
    float m_unused1;
    float m_unused2;
    LONG m_requestedVolume;
    DWORD m_handle;  // the sound manager's handle of a game buffer, 0 for none

protected:
    // Stores a DirectSound result; 1 when it is a success.
    int Forward(HRESULT result);
    // Copies the samples into the whole DirectSound buffer.
    int Upload();
};
