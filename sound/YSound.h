// The game's sound manager: the DirectSound device with every secondary
// buffer the game plays. App sounds (interface, music, voices) are
// registered once and addressed by id; game sounds are asked for by name
// each time they start and share, duplicate or recycle buffers of the same
// sound. It also holds the 3D listener.
#pragma once

#include <vector>

#include "foundation/YString.h"
#include "platform/win32.h"
#include "sound/YDXSound.h"

class YCatalog;
class YSoundData;
class YDXSoundBuffer;
class YDXSound3DBuffer;
class YDXSound3DListener;
class YVector;

// Told about a game buffer just before the manager deletes it.
typedef void (*YSoundDeletionHook)(YDXSoundBuffer* buffer);

class YSound : public YDXSound {
public:
    // Flags of a 3D buffer made in hardware, or in software.
    static constexpr DWORD kHardware3DFlags = 0x200B6;
    static constexpr DWORD kSoftware3DFlags = 0x200BA;
    static constexpr LONG kSilence = -10000;

    YSound();
    ~YSound() override;

    // Starts DirectSound with the settings (which may be null); the
    // settings' driver name is written back when it is not found.
    int Initialize(YCatalog* catalog, YSoundData* settings);
    int Reinitialize(YSoundData* settings);
    // Once per pass of the main and modal loops.
    int Update();
    // Milliseconds between two listener commits for a "snd_3dresolution".
    static DWORD CommitInterval(int resolution);

    // A sound name ("Section:name", "id;...", a path) as a file path.
    void GetActualPath(const char* name, YString& path);
    // The id of a sound name, registered when new; -1 when there is no file.
    int GetActualPath(const char* name) { return RegisterSound(name); }

    // App sounds.
    int RegisterSound(const char* name);
    int CreateBufferById(int id);
    int PlayById(int id, DWORD flags, int restart, LONG volume, LONG pan);
    int StopById(int id);
    int ReleaseById(int id);
    DWORD GetDurationById(int id);
    int SetVolumeById(int id, LONG volume);
    int SetPanById(int id, LONG pan);
    int SetFrequencyById(int id, DWORD frequency);
    int IsPlayingById(int id);
    int CreateBuffersByIds(const int* ids, int count);
    int ReleaseBuffersByIds(const int* ids, int count);
    int ReleaseAllExcept(const int* ids, int count);
    YDXSoundBuffer* GetBufferFromID(int id);
    YDXSoundBuffer* CreateAppBuffer(const char* path, DWORD flags);
    // The smallest id from 1 that no app sound has; 0 when all below 1000 are taken.
    int GetFreeId();
    int DeleteAppBuffer(YDXSoundBuffer*& buffer);
    YDXSoundBuffer* AddAppSound(const char* path, int id, int load, const char* name);

    // Operations on any buffer; Play and Stop only on app buffers.
    int Play(YDXSoundBuffer* buffer, DWORD flags, int restart);
    int Stop(YDXSoundBuffer* buffer);
    int SetVolume(YDXSoundBuffer* buffer, LONG volume);
    int SetPan(YDXSoundBuffer* buffer, LONG pan);
    int SetFrequency(YDXSoundBuffer* buffer, DWORD frequency);

    // Game sounds. The manager owns the buffer it hands out; a holder that
    // keeps it across passes keeps its handle too and asks FromHandle.
    YDXSoundBuffer* CreateNewGameBuffer(const char* name, int want3D);
    int StopByFileName(const char* name);
    int Release3DBuffer(YDXSoundBuffer* buffer);
    double GetListenerDistance(YDXSound3DBuffer* buffer);
    int PauseAll(int pause);
    int StopAll();
    int PurgeIdleBuffers();
    int ListBuffers(char* text, int size);
    // A game buffer's handle (never given twice), 0 for any other buffer;
    // the buffer of a handle, null once the buffer is gone.
    DWORD GetHandle(const YDXSoundBuffer* buffer) const;
    YDXSoundBuffer* FromHandle(DWORD handle) const;
    void SetDeletionHook(YSoundDeletionHook hook) { m_deletionHook = hook; }

    // The listener; each gives 1 when there is none.
    int Create3DListener();
    int SetListenerPosition(const YVector& position);
    int SetListenerPosition(float x, float y, float z);
    int SetListenerVelocity(const YVector& velocity);
    int SetListenerVelocity(float x, float y, float z);
    int SetListenerAngles(const YVector& angles);
    int SetListenerOrientation(float frontX, float frontY, float frontZ, float topX, float topY, float topZ);
    int CommitListener(int force);

    // The key of a sound path (without extension, reversed, lower case) and its hash.
    static void MakeSoundKey(const char* path, YString& key, BYTE& hash);

    const std::vector<YDXSoundBuffer*>& GetAppBuffers() const { return m_appBuffers; }
    const std::vector<YDXSoundBuffer*>& GetGameBuffers() const { return m_gameBuffers; }
    const std::vector<YDXSoundBuffer*>& Get3DBuffers() const { return m_3dBuffers; }
    YDXSound3DListener* GetListener() const { return m_listener; }
    YCatalog* GetCatalog() const { return m_catalog; }

protected:
    YDXSoundBuffer* CreateBuffer(YDXSoundBuffer* source, const char* path, int& kind, int& isNew);
    int Create3DBuffer(YDXSoundBuffer*& buffer);
    // Creates the DirectSound buffer of a game buffer that lost it; on
    // failure the buffer is deleted and the reference cleared.
    int Remake(YDXSoundBuffer*& buffer);
    void DeleteBuffer(YDXSoundBuffer*& buffer);
    bool IsAppBuffer(const YDXSoundBuffer* buffer) const;
    static bool FileExists(const YString& path);
    static bool SameSound(const YDXSoundBuffer* buffer, const YString& key, BYTE hash);

    std::vector<YDXSoundBuffer*> m_appBuffers;   // by priority, then insertion
    std::vector<YDXSoundBuffer*> m_gameBuffers;  // in creation order
    std::vector<YDXSoundBuffer*> m_3dBuffers;    // the game buffers of kind 3
    YCatalog* m_catalog;                         // reference
    YSoundDeletionHook m_deletionHook;

public:
    LONG m_pauseOffset;
    LONG m_savedOffset;
    BYTE m_paused;
    YDXSound3DListener* m_listener;  // owned
    float m_listenerPosition[3];
    float m_listenerFront[3];
    int32_t m_3dEnabled;
    int32_t m_hardwareFirst;
    DWORD m_nextCommit;
    int32_t m_3dResolution;
    int32_t m_max3DBuffers;
    int32_t m_maxSameBuffers;
    DWORD m_idleRemoveTime;  // milliseconds, 0 never
    unsigned long m_commits;  // listener commits made, for the debug display

private:
    GUID m_driver;
    DWORD m_nextHandle;
};
