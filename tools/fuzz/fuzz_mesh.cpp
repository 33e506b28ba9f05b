// libFuzzer target for meshes: the input up to a "--8<--" line is the
// "D2MY" file, the rest a mesh as a catalog archives it.
#include "tools/fuzz/FuzzScratch.h"

#include "graphics2d/YMesh.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnterScratch("mesh");
    std::string file, archived;
    fuzz::Split(data, size, file, archived);
    fuzz::WriteFile("fuzz.msh", file);
    YMesh mesh;
    mesh.Load("fuzz.msh");

    YMesh stored;
    try {
        CMemFile memory(reinterpret_cast<BYTE*>(&archived[0]), static_cast<UINT>(archived.size()));
        CArchive ar(&memory, CArchive::load);
        stored.Serialize(ar);
        stored.LoadFromPath("", 0);
    } catch (CException* e) {
        e->Delete();
    }
    return 0;
}
