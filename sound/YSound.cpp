#include "sound/YSound.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "foundation/YCatalog.h"
#include "foundation/YCatalogItem.h"
#include "foundation/YVector.h"
#include "sound/DSDriver.h"
#include "sound/YDXSound3DBuffer.h"
#include "sound/YDXSound3DListener.h"
#include "sound/YDXSoundBuffer.h"
#include "sound/YSoundData.h"

namespace {
const int kSoundsType = 2;
const int kMaxAppId = 1000;

void RemoveFrom(std::vector<YDXSoundBuffer*>& list, const YDXSoundBuffer* buffer)
{
    list.erase(std::remove(list.begin(), list.end(), buffer), list.end());
}

bool Holds(const std::vector<YDXSoundBuffer*>& list, const YDXSoundBuffer* buffer)
{
    return buffer && std::find(list.begin(), list.end(), buffer) != list.end();
}

// True while the clock has not reached the time (wrap-safe).
bool Before(DWORD now, DWORD time) { return static_cast<int32_t>(now - time) < 0; }
}  // namespace

YSound::YSound()
    : m_catalog(nullptr), m_deletionHook(nullptr), m_pauseOffset(kSilence), m_savedOffset(0), m_paused(0),
      m_listener(nullptr), m_listenerPosition{0, 0, 0}, m_listenerFront{0, 0, 0}, m_3dEnabled(0), m_hardwareFirst(0),
      m_nextCommit(0), m_3dResolution(0), m_max3DBuffers(12), m_maxSameBuffers(6), m_idleRemoveTime(0), m_commits(0),
      m_driver(GUID_NULL), m_nextHandle(1)
{
}

YSound::~YSound()
{
    for (YDXSoundBuffer* buffer : m_appBuffers) delete buffer;
    m_appBuffers.clear();
    std::vector<YDXSoundBuffer*> game;
    game.swap(m_gameBuffers);
    m_3dBuffers.clear();
    for (YDXSoundBuffer* buffer : game) {
        buffer->Cleanup();
        delete buffer;
    }
    delete m_listener;
    m_listener = nullptr;
    Cleanup();
}

// ------------------------------------------------------------ life and frame

int YSound::Initialize(YCatalog* catalog, YSoundData* settings)
{
    if (settings) {
        m_nextCommit = GetTickCount();
        m_3dResolution = settings->m_3dResolution;
        m_3dEnabled = settings->m_3dEnabled;
        m_hardwareFirst = settings->m_3dSoftware == 0;
        m_maxSameBuffers = settings->m_maxSameBuffers;
        m_idleRemoveTime = DWORD(settings->m_idleRemoveTime) * 1000;
    }
    if (!catalog) return 0;
    m_catalog = catalog;
    if (!EnumerateDrivers()) return 0;
    if (settings && settings->m_enabled == 0) return 1;

    m_driver = GUID_NULL;
    if (settings) {
        m_driver = GetGuidByModule(settings->m_driver);
        if (IsEqualGUID(m_driver, GUID_NULL) && GetDriverCount() > 0) {
            DSDriver* first = GetDriverRecord(0);
            settings->m_driver = YString(static_cast<const char*>(first->m_module));
            m_driver = GetGuidByModule(settings->m_driver);
        }
    }
    int created;
    if (settings && settings->m_8bitQuality == 1)
        created = Create(&m_driver, DSSCL_NORMAL, 1);
    else
        created = CreateEx(&m_driver, 1, 22050, 16, 1);
    if (!created) return 0;

    if (m_3dEnabled) Create3DListener();
    if (m_listener) {
        m_listener->SetOrientation(0, 0, 1, 0, 1, 0, DS3D_IMMEDIATE);
        m_listener->SetPosition(0, 0, 0, DS3D_IMMEDIATE);
    }
    m_max3DBuffers = m_hardwareFirst ? int32_t(GetCapsValue(6)) : 8;
    return 1;
}

int YSound::Reinitialize(YSoundData* settings) { return Initialize(m_catalog, settings); }

int YSound::Update()
{
    CommitListener(0);
    PurgeIdleBuffers();
    return 1;
}

DWORD YSound::CommitInterval(int resolution)
{
    const int interval = 500 - 5 * resolution;
    return interval > 0 ? static_cast<DWORD>(interval) : 0;
}

// ------------------------------------------------------------ names

bool YSound::FileExists(const YString& path)
{
    if (path.IsEmpty()) return false;
    const DWORD attributes = ::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void YSound::GetActualPath(const char* name, YString& path)
{
    path = "";
    if (!name) return;
    const CString text(name);
    try {
        const int colon = text.Find(':');
        if (colon >= 2) {
            if (!m_catalog) return;
            CString section = text.Left(colon);
            CString item = text.Mid(colon + 1);
            const int second = item.Find(':');
            if (second >= 0) item = item.Left(second);
            YCatalogItem* found = m_catalog->FindItem(section, item, kSoundsType);
            if (found && found->GetType() == kSoundsType) path = YString(found->ResolvePath(TRUE, TRUE, TRUE));
            return;
        }
        if (text.Left(3) == "id;") {
            if (!m_catalog) return;
            // "id;Section": the first item of the section, of any type.
            YCatalogItem* found = m_catalog->FindItem(text.Mid(3), CString(), -1);
            if (found && found->GetType() == kSoundsType) path = YString(found->ResolvePath(TRUE, TRUE, TRUE));
            return;
        }
        path = YString(name);
        if (m_catalog && text.GetLength() >= 5 && text.Right(5) == "--2-0") {
            YCatalogItem* found = m_catalog->FindItem(text);
            if (found && found->GetType() == kSoundsType) path = YString(found->ResolvePath(TRUE, TRUE, TRUE));
        }
    } catch (CException* e) {
        e->Delete();
    }
}

void YSound::MakeSoundKey(const char* path, YString& key, BYTE& hash)
{
    std::string text(path ? path : "");
    // The extension with its dot; a name too short to have one stays whole.
    if (text.size() >= 4) text.resize(text.size() - 4);
    std::reverse(text.begin(), text.end());
    for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
    hash = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned value = (unsigned(std::tolower(static_cast<unsigned char>(text[i]))) - 64u) & 0xFFu;
        hash = BYTE((hash ^ (value << (i % 6))) & 0xFF);
    }
    key = YString(text.c_str());
}

bool YSound::SameSound(const YDXSoundBuffer* buffer, const YString& key, BYTE hash)
{
    if (buffer->m_keyHash != hash) return false;
    const int length = buffer->m_key.GetLength();
    return length == key.GetLength() && (length == 0 || memcmp(buffer->m_key.GetBuffer(), key.GetBuffer(), length) == 0);
}

// ------------------------------------------------------------ app sounds

YDXSoundBuffer* YSound::GetBufferFromID(int id)
{
    if (m_appBuffers.empty() || id < 0) return nullptr;
    for (YDXSoundBuffer* buffer : m_appBuffers)
        if (buffer->m_id == id) return buffer;
    return nullptr;
}

bool YSound::IsAppBuffer(const YDXSoundBuffer* buffer) const { return Holds(m_appBuffers, buffer); }

int YSound::GetFreeId()
{
    for (int id = 1; id < kMaxAppId; ++id)
        if (!GetBufferFromID(id)) return id;
    return 0;
}

YDXSoundBuffer* YSound::AddAppSound(const char* path, int id, int load, const char* name)
{
    YDXSoundBuffer* buffer = new YDXSoundBuffer(this, path, load, YDXSoundBuffer::kDefaultFlags);
    buffer->m_id = id;
    buffer->m_key = YString(name ? name : path);
    auto at = std::find_if(m_appBuffers.begin(), m_appBuffers.end(),
                           [&](const YDXSoundBuffer* other) { return other->m_priority > buffer->m_priority; });
    m_appBuffers.insert(at, buffer);
    return buffer;
}

int YSound::RegisterSound(const char* name)
{
    YString path;
    GetActualPath(name, path);
    for (YDXSoundBuffer* buffer : m_appBuffers)
        if (!path.IsEmpty() && buffer->m_key.CompareNoCase(path) == 0) return buffer->m_id;
    if (!FileExists(path)) return -1;
    // Numbering by count would give a deleted sound's neighbour's id again.
    const int id = GetFreeId();
    if (id == 0) return -1;
    AddAppSound(path, id, 0, path);
    return id;
}

YDXSoundBuffer* YSound::CreateAppBuffer(const char* path, DWORD flags)
{
    YDXSoundBuffer* buffer = new YDXSoundBuffer(this, path, 0, flags);
    const int id = GetFreeId();
    if (id == 0 || !buffer->CreateBuffer()) {
        delete buffer;
        return nullptr;
    }
    buffer->m_id = id;
    buffer->m_key = YString(path);
    auto at = std::find_if(m_appBuffers.begin(), m_appBuffers.end(),
                           [&](const YDXSoundBuffer* other) { return other->m_priority > buffer->m_priority; });
    m_appBuffers.insert(at, buffer);
    return buffer;
}

int YSound::DeleteAppBuffer(YDXSoundBuffer*& buffer)
{
    if (!IsAppBuffer(buffer)) return 0;
    RemoveFrom(m_appBuffers, buffer);
    delete buffer;
    buffer = nullptr;
    return 1;
}

int YSound::CreateBufferById(int id)
{
    YDXSoundBuffer* buffer = GetBufferFromID(id);
    if (!buffer || !buffer->CreateBuffer()) return 0;
    return id;
}

int YSound::PlayById(int id, DWORD flags, int restart, LONG volume, LONG pan)
{
    YDXSoundBuffer* buffer = GetBufferFromID(id);
    if (!buffer) return 0;
    if (volume != 0) SetVolume(buffer, volume);
    if (pan != 0) SetPan(buffer, pan);
    return Play(buffer, flags, restart);
}

int YSound::StopById(int id)
{
    YDXSoundBuffer* buffer = GetBufferFromID(id);
    return buffer ? Stop(buffer) : 0;
}

int YSound::ReleaseById(int id)
{
    YDXSoundBuffer* buffer = GetBufferFromID(id);
    return buffer ? buffer->Cleanup() : 0;
}

DWORD YSound::GetDurationById(int id)
{
    YDXSoundBuffer* buffer = GetBufferFromID(id);
    return buffer ? buffer->GetDuration() : 0;
}

int YSound::SetVolumeById(int id, LONG volume)
{
    YDXSoundBuffer* buffer = GetBufferFromID(id);
    return buffer ? SetVolume(buffer, volume) : 0;
}

int YSound::SetPanById(int id, LONG pan)
{
    YDXSoundBuffer* buffer = GetBufferFromID(id);
    return buffer ? SetPan(buffer, pan) : 0;
}

int YSound::SetFrequencyById(int id, DWORD frequency)
{
    YDXSoundBuffer* buffer = GetBufferFromID(id);
    return buffer ? SetFrequency(buffer, frequency) : 0;
}

int YSound::IsPlayingById(int id)
{
    YDXSoundBuffer* buffer = GetBufferFromID(id);
    return buffer ? buffer->IsPlaying() : 0;
}

int YSound::CreateBuffersByIds(const int* ids, int count)
{
    if (count < 1) return 1;
    if (!ids) return 0;
    int all = 1;
    for (int i = 0; i < count && ids[i] != 0; ++i)
        if (!CreateBufferById(ids[i])) all = 0;
    return all;
}

int YSound::ReleaseBuffersByIds(const int* ids, int count)
{
    if (count < 1) return 1;
    if (!ids) return 0;
    int all = 1;
    for (int i = 0; i < count && ids[i] != 0; ++i)
        if (!ReleaseById(ids[i])) all = 0;
    return all;
}

int YSound::ReleaseAllExcept(const int* ids, int count)
{
    for (YDXSoundBuffer* buffer : m_appBuffers) {
        bool kept = false;
        for (int i = 0; ids && i < count; ++i)
            if (ids[i] == buffer->m_id) kept = true;
        if (!kept) buffer->Cleanup();
    }
    return 1;
}

// ------------------------------------------------------------ buffer operations

int YSound::Play(YDXSoundBuffer* buffer, DWORD flags, int restart)
{
    if (!m_directSound || m_appBuffers.empty() || !IsAppBuffer(buffer)) return 0;
    if (restart) {
        buffer->Stop();
        buffer->SetCurrentPosition(0);
    }
    return buffer->Play(flags);
}

int YSound::Stop(YDXSoundBuffer* buffer)
{
    if (!m_directSound || m_appBuffers.empty() || !IsAppBuffer(buffer)) return 0;
    return buffer->Stop();
}

int YSound::SetVolume(YDXSoundBuffer* buffer, LONG volume)
{
    return m_directSound && buffer ? buffer->SetVolume(volume) : 0;
}

int YSound::SetPan(YDXSoundBuffer* buffer, LONG pan) { return m_directSound && buffer ? buffer->SetPan(pan) : 0; }

int YSound::SetFrequency(YDXSoundBuffer* buffer, DWORD frequency)
{
    return m_directSound && buffer ? buffer->SetFrequency(frequency) : 0;
}

// ------------------------------------------------------------ game sounds

YDXSoundBuffer* YSound::CreateNewGameBuffer(const char* name, int want3D)
{
    int kind = want3D ? 3 : 2;
    YString path;
    GetActualPath(name, path);
    if (!FileExists(path)) return nullptr;
    if (!m_3dEnabled) kind = 2;

    YString key;
    BYTE hash = 0;
    MakeSoundKey(path, key, hash);

    YDXSoundBuffer* source = nullptr;
    YDXSoundBuffer* restart = nullptr;
    YDXSoundBuffer* silent = nullptr;
    DWORD furthest = 0;
    int count = 0;
    for (YDXSoundBuffer* buffer : m_gameBuffers) {
        if (!SameSound(buffer, key, hash)) continue;
        DWORD status = 0;
        DWORD cursor = 0;
        buffer->GetStatus(&status, 1);
        buffer->GetPlayPosition(&cursor);
        if (!buffer->m_duplicate) source = buffer;
        if (buffer->m_kind != kind) continue;
        ++count;
        if (!(status & DSBSTATUS_PLAYING)) {
            silent = buffer;
            break;
        }
        if (buffer->m_kind == 2 && !(status & DSBSTATUS_LOOPING) && (!restart || cursor >= furthest)) {
            restart = buffer;
            furthest = cursor;
        }
    }
    if (silent) {
        // A released buffer is made again before it is handed out; one that
        // cannot be made is gone, and the request starts over without it.
        if (silent->GetBuffer() || Remake(silent)) return silent;
        return CreateNewGameBuffer(name, want3D);
    }

    if (count <= m_maxSameBuffers) {
        int isNew = 0;
        YDXSoundBuffer* made = CreateBuffer(source, path, kind, isNew);
        if (!made) return nullptr;
        made->m_kind = kind;
        made->m_priority = 20;
        made->m_locationMode = 0;
        made->m_key = key;
        made->m_keyHash = hash;
        made->m_lastUse = GetTickCount();
        if (isNew) {
            made->m_handle = m_nextHandle++;
            if (m_nextHandle == 0) m_nextHandle = 1;
            m_gameBuffers.push_back(made);
            if (kind == 3) m_3dBuffers.push_back(made);
        }
        return made;
    }
    if (restart) {
        restart->SetCurrentPosition(0);
        return restart;
    }
    return nullptr;
}

YDXSoundBuffer* YSound::CreateBuffer(YDXSoundBuffer* source, const char* path, int& kind, int& isNew)
{
    isNew = 0;
    if (!FileExists(YString(path))) return nullptr;
    YDXSoundBuffer* buffer = nullptr;
    if (kind == 3 && m_3dEnabled && m_listener && m_listener->GetInterface()) {
        if (int(m_3dBuffers.size()) < m_max3DBuffers) {
            buffer = new YDXSound3DBuffer(this, path, 0, YDXSoundBuffer::kDefaultFlags);
            if (source) source->CopyWaveTo(buffer);
            if (!Create3DBuffer(buffer)) return nullptr;
            isNew = 1;
            return buffer;
        }
        // Recycle a silent 3D buffer; when every one plays, make a 2D one.
        for (YDXSoundBuffer* placed : m_3dBuffers) {
            if (!placed->IsPlaying()) {
                buffer = placed;
                break;
            }
        }
        if (buffer) {
            static_cast<YDXSound3DBuffer*>(buffer)->Release3D();
            buffer->LoadFromFile(path, 0);
            if (!Create3DBuffer(buffer)) return nullptr;
            return buffer;
        }
    }

    kind = 2;
    if (!source) {
        buffer = new YDXSoundBuffer(this, path, 0, YDXSoundBuffer::kDefaultFlags);
        buffer->CreateBuffer();
    } else if (source->m_kind == 3) {
        buffer = new YDXSoundBuffer();
        buffer->m_device = this;
        source->CopyWaveTo(buffer);
        buffer->CreateBuffer();
    } else {
        buffer = new YDXSoundBuffer();
        source->Duplicate(buffer);
    }
    isNew = 1;
    if (!buffer->m_created) {
        delete buffer;
        isNew = 0;
        return nullptr;
    }
    return buffer;
}

int YSound::Create3DBuffer(YDXSoundBuffer*& buffer)
{
    if (!buffer) return 0;
    int ok;
    if (m_3dEnabled && m_hardwareFirst) {
        ok = buffer->Create(this, kHardware3DFlags);
        if (!ok) {
            ok = buffer->Create(this, kSoftware3DFlags);
            if (ok) m_hardwareFirst = 0;
        }
    } else if (m_3dEnabled) {
        ok = buffer->Create(this, kSoftware3DFlags);
    } else {
        ok = buffer->Create(this, YDXSoundBuffer::kDefaultFlags);
    }
    if (ok && m_3dEnabled)
        if (YDXSound3DBuffer* placed = dynamic_cast<YDXSound3DBuffer*>(buffer)) placed->Get3DInterface();
    if (!ok) DeleteBuffer(buffer);
    return ok;
}

int YSound::Remake(YDXSoundBuffer*& buffer)
{
    if (buffer->m_kind == 3) return Create3DBuffer(buffer);
    if (!buffer->CreateBuffer()) {
        DeleteBuffer(buffer);
        return 0;
    }
    // Its samples are its own now.
    buffer->m_duplicate = 0;
    return 1;
}

void YSound::DeleteBuffer(YDXSoundBuffer*& buffer)
{
    if (!buffer) return;
    RemoveFrom(m_gameBuffers, buffer);
    RemoveFrom(m_3dBuffers, buffer);
    if (m_deletionHook) m_deletionHook(buffer);
    delete buffer;
    buffer = nullptr;
}

int YSound::StopByFileName(const char* name)
{
    YString path;
    GetActualPath(name, path);
    YString key;
    BYTE hash = 0;
    MakeSoundKey(path, key, hash);
    for (YDXSoundBuffer* buffer : m_gameBuffers) {
        if (!SameSound(buffer, key, hash)) continue;
        buffer->Stop();
        buffer->SetCurrentPosition(0);
        break;
    }
    return 1;
}

int YSound::Release3DBuffer(YDXSoundBuffer* buffer)
{
    if (m_3dBuffers.empty() || !Holds(m_3dBuffers, buffer)) return 0;
    static_cast<YDXSound3DBuffer*>(buffer)->Release3D();
    return 1;
}

double YSound::GetListenerDistance(YDXSound3DBuffer* buffer)
{
    D3DVECTOR at = {0, 0, 0};
    if (buffer) buffer->GetPosition(&at);
    D3DVECTOR ear = {m_listenerPosition[0], m_listenerPosition[1], m_listenerPosition[2]};
    if (m_listener) m_listener->GetPosition(&ear);
    const double dx = double(at.x) - ear.x;
    const double dy = double(at.y) - ear.y;
    const double dz = double(at.z) - ear.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

int YSound::PauseAll(int pause)
{
    if (pause == 1) {
        // A second pause keeps the offset saved by the first.
        if (!m_paused) m_savedOffset = s_globalVolumeOffset;
        m_paused = 1;
        s_globalVolumeOffset = m_pauseOffset;
    } else {
        if (!m_paused) return 1;
        m_paused = 0;
        s_globalVolumeOffset = m_savedOffset;
    }
    for (YDXSoundBuffer* buffer : m_gameBuffers) buffer->SetVolume(buffer->m_requestedVolume);
    return 1;
}

int YSound::StopAll()
{
    for (YDXSoundBuffer* buffer : m_gameBuffers) buffer->Stop();
    return 1;
}

int YSound::PurgeIdleBuffers()
{
    if (m_idleRemoveTime == 0) return 1;
    const DWORD now = GetTickCount();
    std::vector<YDXSoundBuffer*> candidates;
    for (YDXSoundBuffer* buffer : m_gameBuffers) {
        if (!buffer->IsPlaying() && buffer->m_priority != 0) {
            if (now - buffer->m_lastUse > m_idleRemoveTime) candidates.insert(candidates.begin(), buffer);
        } else {
            buffer->m_lastUse = now;
        }
    }
    for (YDXSoundBuffer* buffer : candidates) {
        if (!buffer->m_duplicate && buffer->m_kind != 3) {
            for (YDXSoundBuffer* other : m_gameBuffers) {
                if (other != buffer && other->m_duplicate && other->m_kind == buffer->m_kind &&
                    SameSound(other, buffer->m_key, buffer->m_keyHash)) {
                    other->m_duplicate = 0;
                    break;
                }
            }
        }
        DeleteBuffer(buffer);
    }
    return 1;
}

DWORD YSound::GetHandle(const YDXSoundBuffer* buffer) const
{
    return Holds(m_gameBuffers, buffer) ? buffer->m_handle : 0;
}

YDXSoundBuffer* YSound::FromHandle(DWORD handle) const
{
    if (handle == 0) return nullptr;
    for (YDXSoundBuffer* buffer : m_gameBuffers)
        if (buffer->m_handle == handle) return buffer;
    return nullptr;
}

int YSound::ListBuffers(char* text, int size)
{
    std::string out;
    char line[64];
    DWORD gameBytes = 0, bytes3D = 0, loadedApp = 0, unloadedApp = 0;
    for (YDXSoundBuffer* buffer : m_gameBuffers) {
        std::string name(buffer->m_key.GetBuffer(), buffer->m_key.GetLength());
        std::reverse(name.begin(), name.end());
        const size_t slash = name.find_last_of('/');
        if (slash != std::string::npos) name = name.substr(slash + 1);
        const size_t backslash = name.find_last_of('\\');
        if (backslash != std::string::npos) name = name.substr(backslash + 1);
        out += "  " + name;
        if (buffer->m_duplicate) {
            out += " [Dup]";
        } else {
            std::snprintf(line, sizeof(line), " [%d k]", int(buffer->GetDataLength() / 1024));
            out += line;
            if (buffer->m_kind == 3) out += " (3D)";
        }
        out += buffer->IsPlaying() ? " [X]" : " [  ]";
        if (buffer->m_priority == 0) out += " *";
        out += "\n";
        if (!buffer->m_duplicate && buffer->GetBuffer()) {
            gameBytes += buffer->GetDataLength();
            if (buffer->m_kind == 3) bytes3D += buffer->GetDataLength();
        }
    }
    for (YDXSoundBuffer* buffer : m_appBuffers) {
        if (buffer->GetBuffer())
            loadedApp += buffer->GetDataLength();
        else
            unloadedApp += buffer->GetDataLength();
    }
    char totals[256];
    std::snprintf(totals, sizeof(totals),
                  "Total Buffers: %d [%d k]  App Buffers: %d [%d k] (not loaded [%d k])\nGame Buffers: %d [%d k]  ( 3D: "
                  "%d [%d k] )\n",
                  int(m_gameBuffers.size() + m_appBuffers.size()), int((gameBytes + loadedApp) / 1024),
                  int(m_appBuffers.size()), int(loadedApp / 1024), int(unloadedApp / 1024), int(m_gameBuffers.size()),
                  int(gameBytes / 1024), int(m_3dBuffers.size()), int(bytes3D / 1024));
    out += totals;
    if (!text || size <= 0) return 0;
    const size_t copied = std::min(out.size(), size_t(size - 1));
    memcpy(text, out.data(), copied);
    text[copied] = '\0';
    return 1;
}

// ------------------------------------------------------------ listener

int YSound::Create3DListener()
{
    delete m_listener;
    m_listener = nullptr;
    if (!m_directSound) return 0;
    m_listener = new YDXSound3DListener(this);
    return 1;
}

int YSound::SetListenerPosition(const YVector& position) { return SetListenerPosition(position.x, position.y, position.z); }

int YSound::SetListenerPosition(float x, float y, float z)
{
    m_listenerPosition[0] = x;
    m_listenerPosition[1] = y;
    m_listenerPosition[2] = z;
    return m_listener ? m_listener->SetPosition(x, y, z, DS3D_DEFERRED) : 1;
}

int YSound::SetListenerVelocity(const YVector& velocity) { return SetListenerVelocity(velocity.x, velocity.y, velocity.z); }

int YSound::SetListenerVelocity(float x, float y, float z)
{
    return m_listener ? m_listener->SetVelocity(x, y, z, DS3D_DEFERRED) : 1;
}

int YSound::SetListenerAngles(const YVector& angles)
{
    const YVector front = angles.FromAngles();
    YVector top = front;
    top.TurnBy(YVector(90, 0, 0));
    return SetListenerOrientation(front.x, front.y, front.z, top.x, top.y, top.z);
}

int YSound::SetListenerOrientation(float frontX, float frontY, float frontZ, float topX, float topY, float topZ)
{
    m_listenerFront[0] = frontX;
    m_listenerFront[1] = frontY;
    m_listenerFront[2] = frontZ;
    return m_listener ? m_listener->SetOrientation(frontX, frontY, frontZ, topX, topY, topZ, DS3D_DEFERRED) : 1;
}

int YSound::CommitListener(int force)
{
    if (!m_listener) return 1;
    const DWORD now = GetTickCount();
    if (!force && Before(now, m_nextCommit)) return 1;
    m_nextCommit = now + CommitInterval(m_3dResolution);
    ++m_commits;
    return m_listener->CommitDeferredSettings();
}
