// A wave resource: a RIFF wave file, or a "WAVE" resource of the program,
// read into a format block and samples; compressed formats are converted
// to PCM. Every sound buffer is a wave too.
#pragma once

#include "foundation/YResource.h"
#include "foundation/YString.h"
#include "platform/mmsystem.h"

class YWave : public YResource {
    DECLARE_SERIAL(YWave)
public:
    YWave();
    YWave(const char* path, int readData);
    YWave(CFile& file, int readData);
    YWave(int resourceId, HMODULE module, int readData);
    ~YWave() override;

    // The catalog's load: remembers the open file's path.
    BOOL LoadFromFile(CFile& file) override;
    // Also takes the path of the archive's own file as the file name.
    void Serialize(CArchive& ar) override;

    virtual void TakeNameFrom(CFile& file);
    int Accept(YResourceVisitor* visitor) override;
    virtual int LoadFromResource(int resourceId, HMODULE module, int readData);
    virtual int LoadFromFile(const char* path, int readData);

    // The reading stages; each starts over at the beginning of the stream.
    int GetWaveFormatLength(HMMIO& handle);
    int GetWaveFormat(HMMIO& handle);
    int GetWaveDataLength(HMMIO& handle);
    int GetWaveData(HMMIO& handle);
    int ConvertToPCM();

    WAVEFORMATEX* GetFormat() const { return m_format; }
    DWORD GetFormatSize() const { return m_formatSize; }
    DWORD GetDataLength() const { return m_dataLength; }
    const BYTE* GetData() const { return m_data; }
    // Copies the samples (read again when not in memory) to destination,
    // at most size bytes, the rest of size cleared; then frees them.
    // Returns the data length, 0 when the samples cannot be had.
    DWORD FillBuffer(void* destination, DWORD size);
    // Plays the file through the multimedia PlaySound.
    void PlaySound();

    const YString& GetFileName() const { return m_fileName; }
    int IsFromResource() const { return m_fromResource; }

protected:
    // Frees both blocks and clears every field.
    void Reset();
    void FreeData();
    // Reads the samples again from where the wave came from.
    int ReloadData();

    DWORD m_formatSize;
    WAVEFORMATEX* m_format;  // m_formatSize bytes
    DWORD m_dataLength;
    BYTE* m_data;
    HMODULE m_module;
    YString m_fileName;
    int m_resourceId;
    int m_fromResource;

private:
    HMMIO OpenSource();
    // Back to the start: a file seeks, a resource stream is opened anew.
    int Rewind(HMMIO& handle);
    // Enters "WAVE" and then the chunk id; riff and chunk describe them.
    int FindChunk(HMMIO handle, MMCKINFO& riff, MMCKINFO& chunk, FOURCC id);
    // The "fmt " chunk's format size, 0 when the chunk cannot hold one.
    DWORD FormatLengthOf(HMMIO handle, MMCKINFO& riff, MMCKINFO& chunk);
    int Load(int readData);
};
