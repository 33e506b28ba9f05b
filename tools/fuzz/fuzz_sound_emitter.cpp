// libFuzzer target for sound emitters: the input is an emitter's archive
// body (the resource, the playback record, the file names). What is read
// is looked up by index, loaded against the scratch folder, and must store
// and read back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sound/YSoundEmitter.h"
#include "tools/fuzz/FuzzScratch.h"

namespace {
std::string Store(YSoundEmitter& emitter)
{
    CMemFile memory;
    {
        CArchive ar(&memory, CArchive::store);
        emitter.Serialize(ar);
    }
    std::string bytes(static_cast<size_t>(memory.GetLength()), '\0');
    memory.SeekToBegin();
    if (!bytes.empty()) memory.Read(&bytes[0], static_cast<UINT>(bytes.size()));
    return bytes;
}

bool Read(YSoundEmitter& emitter, const uint8_t* data, size_t size)
{
    try {
        CMemFile file(const_cast<BYTE*>(data), static_cast<UINT>(size));
        CArchive ar(&file, CArchive::load);
        emitter.Serialize(ar);
        return true;
    } catch (CException* e) {
        e->Delete();
        return false;
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnterScratch("sound_emitter");
    YSoundEmitter emitter;
    if (!Read(emitter, data, size)) return 0;
    YString name;
    for (int i = -1; i <= emitter.m_soundFiles.GetSize(); ++i) emitter.GetSoundFilePath(name, i);
    CStringArray folders;
    folders.Add(".");
    emitter.LoadFromDirectories(&folders, 0);

    const std::string stored = Store(emitter);
    YSoundEmitter again;
    if (!Read(again, reinterpret_cast<const uint8_t*>(stored.data()), stored.size()) || Store(again) != stored)
        std::abort();
    YSoundEmitter copy;
    copy.Assign(emitter);
    return 0;
}
