// Two stages of the map frame that draw what the world passes do not own:
// the models the application places relative to the camera, over the
// world whatever its depth, and the coloured triangles game code writes
// into the engine object's immediate buffer.
#include <algorithm>

#include "assets3d/YSMHandle.h"
#include "engine/YGameObjects.h"
#include "foundation/YFastMath.h"
#include "renderer/YD3D6Parser.h"
#include "renderer/YD3D6Raster.h"
#include "world/YRenderInstance.h"

namespace {
// Position and diffuse colour: the immediate buffer's vertices.
const DWORD kImmediateFormat = D3DFVF_XYZ | D3DFVF_DIFFUSE;
const int32_t kImmediateVertices = YGameObjects::DebugVertexWords / 4;
// Camera-space models are drawn at this many times their scale.
const float kCameraSpaceScale = 10.0f;
}  // namespace

void YD3D6Parser::DrawImmediateTriangles()
{
    YGameObjects* engine = YGameObjects::Existing();
    IDirect3DDevice7* device = m_raster ? m_raster->GetDevice() : nullptr;
    if (!engine || !device || engine->m_debugVertexCount <= 0) return;
    // Game code may count past the buffer; only what it holds is drawn.
    const int32_t count = std::min(engine->m_debugVertexCount, kImmediateVertices);
    // Their own colours: no lights, no texture.
    SetRenderStateCached(D3DRENDERSTATE_LIGHTING, FALSE);
    device->SetTexture(0, nullptr);
    device->DrawPrimitive(D3DPT_TRIANGLELIST, kImmediateFormat, engine->m_debugVertices, DWORD(count), 0);
}

void YD3D6Parser::RenderCameraSpaceModels()
{
    ModelEnumerator enumerate = GetModelEnumerator();
    IDirect3DDevice7* device = m_raster ? m_raster->GetDevice() : nullptr;
    // Without the application's enumerator there is nothing to ask for.
    if (!device || !enumerate) return;
    ResetFrameCounters();
    const bool fog = m_fogOn == 1;
    if (fog) device->SetRenderState(D3DRENDERSTATE_FOGENABLE, FALSE);

    float saved[4];
    GetProjection(&saved[0], &saved[1], &saved[2], &saved[3]);
    SetProjection(saved[1], saved[1], saved[2], saved[3]);
    const YD3D6Raster::Camera camera = m_raster->GetCamera();
    m_raster->SetCameraPosition(0.0f, 0.0f, 0.0f);
    m_raster->SetCameraAngles(0.0f, 0.0f, 0.0f);
    ApplyView();

    // Normals go back to the world for the lights.
    YMatrix turn, part;
    MatrixRotationZ(&turn, -camera.angles[2]);
    MatrixMultiplyAffineOut(&turn, MatrixRotationX(&part, camera.angles[0]), &turn);
    MatrixMultiplyAffineOut(&turn, MatrixRotationY(&part, -camera.angles[1]), &turn);

    YD3D6DrawContext context;
    MakeIdentityMatrix(&context.m_matrix);
    context.m_rotation = turn;
    context.m_scale = 1.0f;
    context.m_viewDirection[2] = 1.0f;
    context.m_blend = m_mapSettings[kBlendWord];
    int cursor = 0;
    while (cursor != -1) {
        YRenderInstance* record = static_cast<YRenderInstance*>(enumerate(&cursor));
        if (!record || !record->m_model || !record->m_model->m_model) continue;
        FrameChoice pose;
        if (!SelectModelFrame(*record->m_model, context.m_blend != 0, &pose)) continue;
        // The record is the application's: its scale comes back as it was.
        const float scale = record->m_scale;
        record->m_scale = scale * kCameraSpaceScale;
        context.m_record = record;
        DrawModelHandle(&context, 0);
        record->m_scale = scale;
    }
    SortOpaqueRecords();
    SortAlphaRecords();
    DrawOpaqueRecords();
    DrawAlphaRecords();

    SetProjection(saved[0], saved[1], saved[2], saved[3]);
    m_raster->SetCameraPosition(camera.position[0], camera.position[1], camera.position[2]);
    m_raster->SetCameraAngles(camera.angles[0], camera.angles[1], camera.angles[2]);
    ApplyView();
    if (fog) device->SetRenderState(D3DRENDERSTATE_FOGENABLE, TRUE);
}
