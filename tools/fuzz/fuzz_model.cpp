// libFuzzer target for the "YSMO" model file: the bytes are loaded as a
// model; a model that loads is prepared as the renderer does it, played
// through its animations and stored back in the form its tags ask for.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "assets3d/YSMHandle.h"
#include "assets3d/YSMObject.h"
#include "platform/mfc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<BYTE> bytes(data, data + size);
    bytes.push_back(0);
    CMemFile file(bytes.data(), static_cast<UINT>(size));
    YSMObject model;
    try {
        CArchive ar(&file, CArchive::load);
        model.Serialize(ar);
    } catch (CException* e) {
        e->Delete();
        return 0;
    }
    const uint8_t permutation[3] = {1, 2, 0};
    const float signs[3] = {-1.0f, 1.0f, 1.0f};
    model.RemapAxes(permutation, signs);
    model.WeldAndComputeNormals();
    model.BuildPreShell();
    model.ComputeBounds();
    YSMHandle* handle = model.CreateHandle();
    handle->PrepareInstance();
    handle->SetAnimated(true);
    for (int16_t a = 0; a < static_cast<int16_t>(model.m_anims.size()) && a < 8; ++a) {
        handle->PlayAnimation(a, 1.5f, static_cast<uint8_t>(a & 1 ? 0x11 : 0x1), 0, 0, 0);
        for (int t = 0; t < 5; ++t) handle->UpdateAnimations(0.37f);
        handle->SetAnimationTime(a, 12.5f);
        handle->SetAnimationKey(a, 7);
        handle->GetGroupBounds(0, 0xFFFF);
    }
    for (int16_t g = 0; g < static_cast<int16_t>(model.m_groups.size()) && g < 8; ++g) {
        handle->SetGroupSkin(g, 0);
        handle->IsGroupMarker(g);
    }
    YSMHandle* clone = model.CloneHandle(handle);
    delete handle;
    CMemFile out;
    try {
        CArchive ar(&out, CArchive::store);
        model.Serialize(ar);
    } catch (CException* e) {
        e->Delete();
    }
    delete clone;
    return 0;
}
