// libFuzzer target for the "YSMO" model file: the bytes are loaded as a
// model; a model that loads is prepared as the renderer does it, played
// through its animations, put to the world trace's model walk and stored
// back in the form its tags ask for.  It is also posed into the frame lists
// through the model drawing, with animation states taken from the input.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "assets3d/YSMHandle.h"
#include "assets3d/YSMObject.h"
#include "platform/mfc.h"
#include "renderer/YD3D6Parser.h"
#include "renderer/YTraceRequest.h"
#include "renderer/YTraceResult.h"

namespace {
// Segments through and past the model, turned and scaled, with an attached
// copy of itself, every group traced and every model test asked for.
void TraceModel(YSMHandle* handle)
{
    YD3D6Parser parser;
    const float origin[3] = {0, 0, 0};
    parser.TraceWorld(origin, origin, 0, 0, 0);  // makes the result record
    for (YSMGroupHandle& state : handle->m_groupStates) state.flags |= 0x30;
    handle->SetActiveGroup(0);
    YRenderInstance record, child;
    record.m_model = child.m_model = handle;
    record.m_scale = 1.5f;
    record.m_angles[0] = 0.3f, record.m_angles[1] = 1.1f, record.m_angles[2] = -0.2f;
    child.m_attachIndex = 1;
    YRenderInstance* children[2] = {&child, nullptr};
    record.m_children = children;
    record.m_childCount = 2;
    const float segments[][6] = {{-50, 3, -40, 60, -2, 45}, {0, 100, 0, 0, -100, 0}, {0.5f, 0.25f, 0, 0.5f, 0.25f, 0}};
    for (const auto& s : segments) {
        for (int16_t kind : {int16_t(0), int16_t(2)}) {
            YTraceRequest q;
            MakeIdentityMatrix(&q.m_matrix);
            q.m_parent = q.m_parentInverse = q.m_matrix;
            for (int i = 0; i < 3; ++i) q.m_from[i] = s[i], q.m_to[i] = s[3 + i], q.m_delta[i] = s[3 + i] - s[i];
            q.m_radiusFrom = 0.5f, q.m_radiusTo = 2.0f;
            q.m_flags = 0x10FF;
            q.m_object = &record;
            record.m_kind = kind;
            parser.GetTraceResult()->m_distance2 = 1e30f;
            parser.CollideModelNode(q);
        }
    }
}
// The instance, a child on its tag and one on a surface triangle, posed by
// the model drawing with animation states and switches from the input's
// last bytes.
void DrawModel(YSMHandle* handle, const uint8_t* data, size_t size)
{
    static YD3D6Parser* parser = nullptr;
    if (!parser) {
        parser = new YD3D6Parser;
        parser->ResizeFrameBuffers(8);
        parser->m_shadowCasters.assign(YD3D6Parser::kShadowCasters, YD3D6ShadowCaster());
    }
    auto byte = [&](size_t back) { return size > back ? data[size - 1 - back] : uint8_t(back * 37); };
    parser->ResetFrameCounters();
    parser->m_mapSettings[YD3D6Parser::kShadowWord0] = byte(0) & 1;
    parser->m_mapSettings[YD3D6Parser::kDistanceCacheWord] = (byte(0) >> 1) & 1;
    handle->SetAnimated((byte(0) & 4) != 0);
    handle->m_currentAnim = int16_t(int8_t(byte(1)));
    handle->m_currentFrame = int16_t(int8_t(byte(2)));
    handle->m_activeGroup = int16_t(int8_t(byte(3)) % 4);
    for (size_t a = 0; a < handle->m_animStates.size(); ++a) {
        YSMAnimHandle& state = handle->m_animStates[a];
        state.key = uint16_t(byte(4 + a % 4) % 8);
        state.keyTime = float(byte(5)) / 37.0f;
        state.playFlags = byte(6);
    }
    for (size_t g = 0; g < handle->m_groupStates.size(); ++g) {
        handle->m_groupStates[g].flags |= YSMHandle::kGroupShown | ((byte(7) & 1) ? 0x400u : 0u);
        handle->m_groupStates[g].slot = int32_t(g % 3) - 1;
    }
    handle->m_shellTexture = int16_t(int8_t(byte(8)));
    handle->m_shellWidth = 0.5f;
    YRenderInstance record, tagged, surface;
    for (YRenderInstance* r : {&record, &tagged, &surface}) {
        r->m_model = handle;
        r->m_flags = YD3D6Parser::kRecordVisible | (byte(9) & 0x10);
        r->m_subKind = int16_t(byte(10) % 4);
    }
    tagged.m_attachIndex = int16_t(int8_t(byte(11)));
    surface.m_surfaceTriangle = int16_t(int8_t(byte(12)));
    surface.m_surfaceWeights[0] = 0.25f, surface.m_surfaceWeights[1] = 0.5f;
    YRenderInstance* children[3] = {&tagged, nullptr, &surface};
    record.m_children = children;
    record.m_childCount = 3;
    record.m_scale = 1.5f;
    YD3D6DrawContext context;
    MakeIdentityMatrix(&context.m_matrix);
    MakeIdentityMatrix(&context.m_rotation);
    context.m_viewDirection[2] = 1.0f;
    context.m_blend = byte(0) & 8;
    context.m_water = (byte(0) >> 4) & 1;
    context.m_record = &record;
    parser->DrawModelHandle(&context, 0);
    parser->SortOpaqueRecords();
    parser->SortAlphaRecords();
}
}  // namespace

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
        for (int t = 0; t < 5; ++t) {
            handle->UpdateAnimations(0.37f);
            handle->RefreshDrawFrames(true);
        }
        handle->SetAnimationTime(a, 12.5f);
        handle->SetAnimationKey(a, 7);
        handle->GetGroupBounds(0, 0xFFFF);
    }
    for (int16_t g = 0; g < static_cast<int16_t>(model.m_groups.size()) && g < 8; ++g) {
        handle->SetGroupSkin(g, 0);
        handle->IsGroupMarker(g);
    }
    TraceModel(handle);
    DrawModel(handle, data, size);
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
