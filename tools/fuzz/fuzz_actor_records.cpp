// libFuzzer target for the actor records: the first byte picks the reader
// (0 an actor, 1 an actor info record, 2 the cheat list), the rest is its
// archive record. What loads is stored again.
#include <cstddef>
#include <cstdint>

#include "foundation/YCheats.h"
#include "platform/mfc.h"
#include "world/YActor.h"
#include "world/YVSActorInfo.h"

namespace {
void ReadAndStore(CObject& object, const uint8_t* data, size_t size)
{
    try {
        CMemFile file(const_cast<BYTE*>(data), static_cast<UINT>(size));
        CArchive ar(&file, CArchive::load);
        object.Serialize(ar);
    } catch (CException* e) {
        e->Delete();
        return;
    }
    try {
        CMemFile out;
        CArchive ar(&out, CArchive::store);
        object.Serialize(ar);
        ar.Close();
    } catch (CException* e) {
        e->Delete();
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    switch (data[0] % 3) {
    case 0: {
        YActor actor;
        ReadAndStore(actor, data + 1, size - 1);
        break;
    }
    case 1: {
        YVSActorInfo info;
        ReadAndStore(info, data + 1, size - 1);
        break;
    }
    default: {
        YCheats cheats;
        ReadAndStore(cheats, data + 1, size - 1);
        break;
    }
    }
    return 0;
}
