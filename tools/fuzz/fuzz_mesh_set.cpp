// libFuzzer target for the "YFMF" mesh-set file: the bytes are read as a
// mesh set; a set that loads is stepped through its refinements, imported
// into a model with its detail levels, and the model is prepared.
#include <cstddef>
#include <cstdint>

#include "assets3d/YFMFMeshSet.h"
#include "assets3d/YFMFormat.h"
#include "assets3d/YSMHandle.h"
#include "assets3d/YSMObject.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    YFMFMeshSet set;
    if (!YFMFormat::LoadFromMemory(&set, data, static_cast<unsigned long>(size))) return 0;
    for (int n = 0; n < set.GetMeshCount(); ++n) {
        YFMFMeshNode* node = set.GetAt(n);
        for (int p = 0; p < static_cast<int>(node->parts.size()) && p < 4; ++p) {
            YFMFMeshSet::Coarsen(node, p, 3);
            YFMFMeshSet::Refine(node, p, 5);
            YFMFMeshSet::ApplyToMesh(node, p, 1u << 20);
            const float a[3] = {0, 0, 0}, b[3] = {100, 20, 5};
            YSMObject::SelectDetailLevel(a, 30.0f, b, &node->parts[static_cast<size_t>(p)], 0.0f, false);
        }
    }
    YSMObject model;
    if (!model.ImportMeshSet(&set)) return 0;
    const uint8_t permutation[3] = {1, 2, 0};
    const float signs[3] = {-1.0f, 1.0f, 1.0f};
    model.RemapAxes(permutation, signs);
    model.WeldAndComputeNormals();
    model.ComputeBounds();
    YSMHandle* handle = model.CreateHandle();
    handle->SetAnimated(true);
    handle->PlayAnimation(0, 1.0f, 0x1, 0, 0, 0);
    handle->UpdateAnimations(0.25f);
    model.FreeDetailLevels(&set);
    delete handle;
    // The regrouping of the meshes.
    for (int n = 0; n < set.GetMeshCount(); ++n)
        for (YFMFMeshPart& part : set.GetAt(n)->parts) {
            IMESH::RegroupVertices(part.mesh.get(), 3);
            IMESH::RegroupPolygons(part.mesh.get(), 3);
        }
    return 0;
}
