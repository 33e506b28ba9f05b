// The frame lists' counters, their two sorts, the material states of a
// texture and the two passes that draw the lists: opaque records in texture
// batches through the device's vertex buffers, alpha records far to near.
#include <algorithm>
#include <cstring>

#include "assets3d/YD3D6Lock.h"
#include "assets3d/YSMDecal.h"
#include "assets3d/YSMHandle.h"
#include "assets3d/YSMObject.h"
#include "foundation/YFastMath.h"
#include "renderer/YD3D6Parser.h"
#include "renderer/YD3D6Raster.h"

namespace {
const int kInsertionRun = 16;
const uint32_t kBatchVertices = 1450;
const int16_t kNoTexture = -100;
// The alpha pass's lines sit at the end of the vertex scratch buffer.
const uint32_t kLineVertices = 2048;

template <class T, class Less>
void InsertionSort(T* a, int n, Less less)
{
    for (int i = 1; i < n; ++i) {
        T v = a[i];
        int j = i - 1;
        for (; j >= 0 && less(v, a[j]); --j) a[j + 1] = a[j];
        a[j + 1] = v;
    }
}

// Quicksort with median-of-three pivots down to runs of 16, then one
// insertion sort over the whole.
template <class T, class Less>
void SortRecords(T* a, int n, Less less)
{
    struct Range {
        int lo, hi;
    };
    Range stack[64];
    int top = 0;
    if (n > kInsertionRun) stack[top++] = {0, n - 1};
    while (top > 0) {
        const Range r = stack[--top];
        int lo = r.lo, hi = r.hi;
        const int mid = lo + (hi - lo) / 2;
        if (less(a[mid], a[lo])) std::swap(a[mid], a[lo]);
        if (less(a[hi], a[lo])) std::swap(a[hi], a[lo]);
        if (less(a[hi], a[mid])) std::swap(a[hi], a[mid]);
        const T pivot = a[mid];
        int i = lo, j = hi;
        while (i <= j) {
            while (less(a[i], pivot)) ++i;
            while (less(pivot, a[j])) --j;
            if (i <= j) std::swap(a[i++], a[j--]);
        }
        // The larger part goes on the stack first, so it never grows past log n.
        const Range left = {lo, j}, right = {i, hi};
        const Range parts[2] = {j - lo > hi - i ? left : right, j - lo > hi - i ? right : left};
        for (const Range& p : parts)
            if (p.hi - p.lo + 1 > kInsertionRun) stack[top++] = p;
    }
    InsertionSort(a, n, less);
}
}  // namespace

void YD3D6Parser::ResetFrameCounters()
{
    for (int32_t& count : m_frameCounters) count = 0;
    m_shadowCasterCount = 0;
}

void YD3D6Parser::SortOpaqueRecords()
{
    const int n = std::min(m_frameCounters[kOpaqueRecordCount], int32_t(m_frameBuffers[7].capacity));
    SortRecords(OpaqueRecords(), n, [](const YOpaqueRecord& a, const YOpaqueRecord& b) { return a.m_texture < b.m_texture; });
}

void YD3D6Parser::SortAlphaRecords()
{
    const int n = std::min(m_frameCounters[kAlphaRecordCount], int32_t(m_frameBuffers[6].capacity));
    SortRecords(AlphaRecords(), n, [](const YAlphaRecord& a, const YAlphaRecord& b) { return a.m_key < b.m_key; });
}

void YD3D6Parser::ApplyMaterialStates(const YD3D6Lock* record)
{
    IDirect3DDevice7* device = m_raster ? m_raster->GetDevice() : nullptr;
    if (!device) return;
    if (!record) {
        device->SetTexture(0, nullptr);
        device->SetTexture(1, nullptr);
        return;
    }
    auto disable = [&](DWORD stage) {
        device->SetTexture(stage, nullptr);
        SetTextureStageStateCached(stage, D3DTSS_COLOROP, D3DTOP_DISABLE);
        SetTextureStageStateCached(stage, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    };
    // A chain that comes back on itself ends with the stages.
    for (int guard = 0; record && guard < kCachedStages; ++guard) {
        const YTexStates& s = record->m_states;
        const DWORD stage = s.m_stage;
        if (stage > 1) {
            disable(stage);
            return;
        }
        const YD3D6Lock* next = record->m_pDetail;
        const bool follows = next && next->m_states.m_stage == stage + 1;
        if (stage == 0) {
            const struct {
                D3DRENDERSTATETYPE state;
                DWORD value;
            } states[] = {
                {D3DRENDERSTATE_ALPHABLENDENABLE, s.m_alphaBlendEnable},
                {D3DRENDERSTATE_ALPHAFUNC, s.m_alphaFunc},
                {D3DRENDERSTATE_ALPHAREF, s.m_alphaRef},
                {D3DRENDERSTATE_ALPHATESTENABLE, s.m_alphaTestEnable},
                {D3DRENDERSTATE_COLORKEYENABLE, s.m_colorKeyEnable},
                {D3DRENDERSTATE_CULLMODE, s.m_cullMode},
                {D3DRENDERSTATE_DESTBLEND, s.m_destBlend},
                {D3DRENDERSTATE_SRCBLEND, s.m_srcBlend},
                {D3DRENDERSTATE_ZENABLE, s.m_zEnable},
                {D3DRENDERSTATE_ZFUNC, s.m_zFunc},
                {D3DRENDERSTATE_ZWRITEENABLE, s.m_zWriteEnable},
                {D3DRENDERSTATE_ZBIAS, s.m_zBias},
                {D3DRENDERSTATE_DIFFUSEMATERIALSOURCE, s.m_diffuseMaterialSource},
                {D3DRENDERSTATE_AMBIENTMATERIALSOURCE, s.m_ambientMaterialSource},
            };
            for (const auto& rs : states) SetRenderStateCached(rs.state, rs.value);
            m_materialCache.nextStage = follows ? 1 : 0;
            SetRenderStateCached(D3DRENDERSTATE_LIGHTING, DWORD(s.m_lighting));
            m_materialCache.materialFlag = s.m_tint == 1 ? 1 : 0;
            m_materialCache.uvGen = s.m_uvGen;
            m_materialCache.uv2Gen = s.m_uv2Gen;
            m_materialCache.fill = s.m_wireframe;
            SetRenderStateCached(D3DRENDERSTATE_FILLMODE, s.m_wireframe == 0 ? D3DFILL_SOLID : D3DFILL_WIREFRAME);
        }
        const struct {
            D3DTEXTURESTAGESTATETYPE state;
            DWORD value;
        } stageStates[] = {
            {D3DTSS_COLOROP, s.m_colorOp},       {D3DTSS_COLORARG1, s.m_colorArg1}, {D3DTSS_COLORARG2, s.m_colorArg2},
            {D3DTSS_ALPHAOP, s.m_alphaOp},       {D3DTSS_ALPHAARG1, s.m_alphaArg1}, {D3DTSS_ALPHAARG2, s.m_alphaArg2},
            {D3DTSS_ADDRESS, s.m_address},       {D3DTSS_MAGFILTER, s.m_magFilter}, {D3DTSS_MINFILTER, s.m_minFilter},
            {D3DTSS_MIPFILTER, s.m_mipFilter},   {D3DTSS_MIPMAPLODBIAS, s.m_mipMapLodBias},
            {D3DTSS_MAXMIPLEVEL, s.m_maxMipLevel}, {D3DTSS_TEXCOORDINDEX, stage},
        };
        for (const auto& ts : stageStates) SetTextureStageStateCached(stage, ts.state, ts.value);
        m_materialCache.scaleU[stage] = s.m_repeatU;
        m_materialCache.scaleV[stage] = s.m_repeatV;
        device->SetTexture(stage, record->m_pSurface);
        if (stage == 0) device->SetMaterial(const_cast<D3DMATERIAL7*>(&record->m_material));
        if (!follows) {
            disable(stage + 1);
            return;
        }
        record = next;
    }
}

// ---------------------------------------------------------------------------
// Vertices of the records.

namespace {
// A billboard's four corners between height fractions lo and hi: first
// corner top, second top, first at lo, second at lo.
void BillboardQuad(const YBillboardRecord& b, float lo, float hi, float vLo, float vHi, const float* normal,
                   float scaleU, float scaleV, YAlphaVertex* out)
{
    const float ts[2] = {hi, lo};
    const float vs[2] = {vHi, vLo};
    for (int row = 0; row < 2; ++row) {
        for (int side = 0; side < 2; ++side) {
            YAlphaVertex& v = out[row * 2 + side];
            const float t = ts[row];
            v.x = (side ? b.m_x1 : b.m_x0) + t * b.m_swayU;
            v.y = b.m_base + t * b.m_height;
            v.z = (side ? b.m_z1 : b.m_z0) + t * b.m_swayV;
            v.nx = normal[0], v.ny = normal[1], v.nz = normal[2];
            v.diffuse = 0xFFFFFFFFu;
            v.u0 = side ? 0.005f : 0.995f;
            v.v0 = vs[row];
            v.u1 = side ? 0.0f : scaleU;
            v.v1 = (1.0f - t) * scaleV;
        }
    }
}

const uint16_t kQuadIndices[6] = {0, 1, 2, 1, 3, 2};

// The part of a billboard a record draws: above (t from f to 1) or below
// the water line (0 to f), with the texture's v at both ends.
void BillboardSpan(bool under, float f, float* lo, float* hi, float* vLo, float* vHi)
{
    const float line = 0.995f - f * 0.9f;
    if (under) {
        *lo = 0.0f, *hi = f, *vLo = 0.995f, *vHi = line;
    } else {
        *lo = f, *hi = 1.0f, *vLo = line, *vHi = 0.005f;
    }
}
}  // namespace

// ---------------------------------------------------------------------------
// The model pass.

namespace {
struct OpaqueBatch {
    YAlphaVertex* vertices = nullptr;  // the locked source buffer
    uint16_t* indices = nullptr;
    uint32_t vertexCount = 0;
    uint32_t indexCount = 0;
};
}  // namespace

void YD3D6Parser::DrawOpaqueRecords()
{
    const int32_t count = std::min(m_frameCounters[kOpaqueRecordCount], int32_t(m_frameBuffers[7].capacity));
    IDirect3DDevice7* device = m_raster ? m_raster->GetDevice() : nullptr;
    IDirect3DVertexBuffer7* source = m_raster ? m_raster->GetVertexBuffer() : nullptr;
    if (count <= 0 || !device || !source || !m_indexScratch.bytes) return;
    YMatrix rotation;
    MatrixRotationEuler1(&rotation, -m_cameraAngles[0], m_cameraAngles[1], -m_cameraAngles[2]);

    OpaqueBatch batch;
    batch.indices = m_indexScratch.As<uint16_t>();
    void* data = nullptr;
    if (FAILED(source->Lock(DDLOCK_WAIT | DDLOCK_WRITEONLY, &data, nullptr)) || !data) return;
    batch.vertices = static_cast<YAlphaVertex*>(data);

    auto flush = [&] {
        if (batch.vertexCount == 0) return;
        if (m_materialCache.fill == 0 && m_materialCache.uvGen) {
            for (uint32_t i = 0; i < batch.vertexCount; ++i) {
                YAlphaVertex& v = batch.vertices[i];
                float nx = v.nx, ny = v.ny;
                if (m_materialCache.uvGen != 1) {
                    nx = v.nx * rotation.m[0][0] + v.ny * rotation.m[1][0] + v.nz * rotation.m[2][0];
                    ny = v.nx * rotation.m[0][1] + v.ny * rotation.m[1][1] + v.nz * rotation.m[2][1];
                }
                v.u1 = nx * 0.5f + 0.5f;
                v.v1 = ny * 0.5f + 0.5f;
            }
        }
        // Wireframe materials set the device's fill mode: the same list draws
        // as lines.  Our device transforms, lights and clips the buffer as it
        // draws it (its processed vertices keep no clip codes, so a triangle
        // reaching behind the eye would fill the screen).
        source->Unlock();
        device->DrawIndexedPrimitiveVB(D3DPT_TRIANGLELIST, source, 0, batch.vertexCount, batch.indices,
                                       batch.indexCount, 0);
        data = nullptr;
        source->Lock(DDLOCK_WAIT | DDLOCK_WRITEONLY, &data, nullptr);
        batch.vertices = static_cast<YAlphaVertex*>(data);
        batch.vertexCount = batch.indexCount = 0;
    };

    int16_t texture = kNoTexture;
    bool first = true;
    // Starts a batch for the texture when it changes or n more vertices do
    // not fit; false when the buffer cannot be had.
    auto begin = [&](int16_t id, uint32_t n) {
        if (!first && id == texture && batch.vertexCount + n <= kBatchVertices) return batch.vertices != nullptr;
        flush();
        if (first || id != texture) ApplyMaterialStates(GetTextureLock(id));
        first = false;
        texture = id;
        return batch.vertices != nullptr;
    };

    // A model group (or shell group, or decal) from its record's block of
    // transformed vertices; false when no buffer can be had.
    const int32_t groupRecords = std::min<int32_t>(m_frameCounters[kWorkCount2], int32_t(ModelGroupCapacity()));
    auto modelTriangles = [&](const YOpaqueRecord& record) {
        if (record.m_model.m_groupRecord >= groupRecords) return true;
        const YModelGroupRecord& group = ModelGroupRecords()[record.m_model.m_groupRecord];
        if (!group.m_source || !group.m_vertices) return true;
        const float su = m_materialCache.scaleU[1], sv = m_materialCache.scaleV[1];
        auto corner = [&](const YTransformedVertex& p, float u, float v) {
            YAlphaVertex& out = batch.vertices[batch.vertexCount];
            out.x = p.x, out.y = p.y, out.z = p.z;
            out.nx = p.nx, out.ny = p.ny, out.nz = p.nz;
            out.diffuse = 0xFFFFFFFFu;
            out.u0 = u, out.v0 = v;
            out.u1 = u * su, out.v1 = v * sv;
            batch.indices[batch.indexCount++] = uint16_t(batch.vertexCount++);
        };
        if (record.m_kind == YOpaqueRecord::kDecal) {
            const YSMDecal* decal = static_cast<const YSMDecal*>(group.m_source);
            const size_t triangles = std::min(decal->m_indices.size() / 3, size_t(record.m_vertexCount / 3u));
            for (size_t t = 0; t < triangles; ++t) {
                if (!begin(record.m_texture, 3)) return false;
                for (size_t k = 0; k < 3; ++k) {
                    const uint16_t i = decal->m_indices[t * 3 + k];
                    if (i >= decal->m_vertices.size()) return false;
                    corner(group.m_vertices[t * 3 + k], decal->m_vertices[i].u, decal->m_vertices[i].v);
                }
            }
            return true;
        }
        const YSMHandle* handle = static_cast<const YSMHandle*>(group.m_source);
        const YSMObject* model = handle->m_model;
        if (!model || record.m_model.m_group >= model->m_groups.size()) return true;
        const YSMGroup& g = *model->m_groups[record.m_model.m_group];
        // The posed block holds no more vertices than the frames do.
        size_t vertices = size_t(std::max<int16_t>(model->m_vertexCount, 0));
        if (handle->m_drawFrame) vertices = std::min(vertices, handle->m_drawFrame->positions.size() / 3);
        auto triangle = [&](const int32_t* v, const float* uv) {
            for (int k = 0; k < 3; ++k)
                if (v[k] < 0 || size_t(v[k]) >= vertices) return true;
            if (!begin(record.m_texture, 3)) return false;
            for (int k = 0; k < 3; ++k) corner(group.m_vertices[v[k]], uv[2 * k], uv[2 * k + 1]);
            return true;
        };
        if (!g.levels.empty() && record.m_kind == YOpaqueRecord::kModelGroup) {
            const float at[3] = {group.m_vertices[0].x, group.m_vertices[0].y, group.m_vertices[0].z};
            const int32_t pick = YSMObject::SelectDetailLevel(m_cameraPosition, m_projection[0], at,
                                                              model->GetDetailEntry(int16_t(record.m_model.m_group)),
                                                              group.m_distance, m_mapSettings[kDistanceCacheWord] != 0);
            if (pick >= 0 && size_t(pick) < g.levels.size()) {
                const YSMDetailLevel& l = g.levels[size_t(pick)];
                for (size_t f = 0; f + 2 < l.cornerIndexes.size(); f += 3) {
                    int32_t v[3];
                    float uv[6];
                    bool ok = true;
                    for (int k = 0; k < 3 && ok; ++k) {
                        const size_t at = size_t(l.cornerIndexes[f + size_t(k)]) * 3;
                        ok = at + 2 < l.corners.size();
                        if (ok) v[k] = int32_t(l.corners[at]), uv[2 * k] = l.corners[at + 1], uv[2 * k + 1] = l.corners[at + 2];
                    }
                    if (ok && !triangle(v, uv)) return false;
                }
                return true;
            }
        }
        for (uint16_t f : g.faces) {
            if (f >= model->m_faces.size()) continue;
            const YSMFace& face = model->m_faces[f];
            const int32_t v[3] = {face.v[0], face.v[1], face.v[2]};
            if (!triangle(v, face.uv)) return false;
        }
        return true;
    };

    // Shadow triangles are drawn with fog off for their batches.
    bool fogOff = false;
    auto fogFor = [&](bool shadow) {
        if (shadow == fogOff) return;
        flush();
        fogOff = shadow;
        if (m_fogOn == 1) SetRenderStateCached(D3DRENDERSTATE_FOGENABLE, shadow ? FALSE : TRUE);
    };

    for (int32_t r = 0; r < count; ++r) {
        const YOpaqueRecord& record = OpaqueRecords()[r];
        fogFor(record.m_kind == YOpaqueRecord::kShadow);
        switch (record.m_kind) {
        case YOpaqueRecord::kTerrain: {
            const YCellPolygon* polygon = record.m_polygon;
            if (!polygon || polygon->m_layerTextures.empty()) break;
            const size_t n = polygon->m_corners.size();
            if (n < 3) break;
            const size_t layer = record.m_sub < polygon->m_layerCoords.size() ? record.m_sub : 0;
            // A strip longer than a batch goes in pieces that share two corners.
            const size_t piece = polygon->m_shape == YCellPolygon::kStrip ? kBatchVertices : 3;
            for (size_t s = 0; s + 2 < n; s += piece - 2) {
                const size_t e = std::min(n, s + piece);
                if (!begin(record.m_texture, uint32_t(e - s))) return;
                const uint32_t base = batch.vertexCount;
                for (size_t k = s; k < e; ++k) {
                    YAlphaVertex& v = batch.vertices[batch.vertexCount++];
                    const YCellCorner& corner = polygon->m_corners[k];
                    memset(&v, 0, sizeof v);
                    if (corner.m_vertex < m_mapVertices.size()) {
                        const YMapVT3Vertex& p = m_mapVertices[corner.m_vertex];
                        v.x = p.m_x, v.y = p.m_y, v.z = p.m_z;
                        TerrainNormal(p, &v.nx);
                    }
                    const uint8_t shade = corner.m_vertex < m_vertexShade.size() ? m_vertexShade[corner.m_vertex] : 255;
                    const uint8_t alpha = polygon->m_layerAlpha.size() > layer ? polygon->m_layerAlpha[layer][k] : 255;
                    v.diffuse = ShadeModelVertexColor(corner.m_colour, shade, 0, alpha);
                    v.u0 = polygon->m_layerCoords[layer][2 * k];
                    v.v0 = polygon->m_layerCoords[layer][2 * k + 1];
                    if (polygon->m_kind & YCellPolygon::kAnimated) {
                        const float* offset = m_textureOffsets[corner.m_vertex % 5 + 10];
                        v.u0 += offset[0];
                        v.v0 += offset[1];
                    }
                    v.u1 = v.u0 * m_materialCache.scaleU[1];
                    v.v1 = v.v0 * m_materialCache.scaleV[1];
                }
                const size_t m = e - s;
                for (size_t k = 0; k + 2 < m; k += 2) {
                    const size_t global = s + k;
                    uint16_t* out = batch.indices + batch.indexCount;
                    out[0] = uint16_t(base + k), out[1] = uint16_t(base + k + 1), out[2] = uint16_t(base + k + 2);
                    batch.indexCount += 3;
                    if (polygon->m_shape == YCellPolygon::kStrip && k + 3 < m && global + 1 < n - 2) {
                        out[3] = uint16_t(base + k + 2), out[4] = uint16_t(base + k + 1), out[5] = uint16_t(base + k + 3);
                        batch.indexCount += 3;
                    }
                    if (polygon->m_shape != YCellPolygon::kStrip) break;
                }
                if (e == n || polygon->m_shape != YCellPolygon::kStrip) break;
            }
            break;
        }
        case YOpaqueRecord::kBillboard:
        case YOpaqueRecord::kBillboardUnderWater: {
            if (record.m_index >= uint32_t(std::max(m_frameCounters[kBillboardCount], int32_t(0))) ||
                record.m_index >= m_frameBuffers[0].capacity)
                break;
            if (!begin(record.m_texture, 4)) return;
            const YBillboardRecord& b = BillboardRecords()[record.m_index];
            float lo, hi, vLo, vHi;
            BillboardSpan(record.m_kind == YOpaqueRecord::kBillboardUnderWater, b.m_water, &lo, &hi, &vLo, &vHi);
            const uint32_t base = batch.vertexCount;
            BillboardQuad(b, lo, hi, vLo, vHi, m_billboardNormal, m_materialCache.scaleU[1], m_materialCache.scaleV[1],
                          batch.vertices + base);
            batch.vertexCount += 4;
            for (uint16_t i : kQuadIndices) batch.indices[batch.indexCount++] = uint16_t(base + i);
            break;
        }
        case YOpaqueRecord::kModelGroup:
        case YOpaqueRecord::kShellGroup:
        case YOpaqueRecord::kDecal:
            if (!modelTriangles(record)) return;
            break;
        case YOpaqueRecord::kQuads: {
            const uint32_t quads = record.m_vertexCount / 4u;
            const uint32_t available = uint32_t(std::max(m_frameCounters[kAlphaVertexCount], int32_t(0)));
            if (uint64_t(record.m_index) + uint64_t(quads) * 4u > available) break;
            for (uint32_t q = 0; q < quads; ++q) {
                if (!begin(record.m_texture, 4)) return;
                const uint32_t base = batch.vertexCount;
                memcpy(batch.vertices + base, AlphaVertices() + record.m_index + 4 * q, 4 * sizeof(YAlphaVertex));
                batch.vertexCount += 4;
                for (uint16_t i : kQuadIndices) batch.indices[batch.indexCount++] = uint16_t(base + i);
            }
            break;
        }
        case YOpaqueRecord::kShadow: {
            const uint32_t available = uint32_t(std::max(m_frameCounters[kAlphaVertexCount], int32_t(0)));
            if (uint64_t(record.m_index) + 3u > available) break;
            if (!begin(record.m_texture, 3)) return;
            memcpy(batch.vertices + batch.vertexCount, AlphaVertices() + record.m_index, 3 * sizeof(YAlphaVertex));
            for (int k = 0; k < 3; ++k) batch.indices[batch.indexCount++] = uint16_t(batch.vertexCount++);
            break;
        }
        case YOpaqueRecord::kLines: {
            const uint32_t available = uint32_t(std::max(m_frameCounters[kAlphaVertexCount], int32_t(0)));
            const uint32_t n = record.m_vertexCount & ~1u;
            if (!n || uint64_t(record.m_index) + n > available) break;
            // Lines go straight to the device, in the batch's material.
            if (!begin(record.m_texture, 0)) return;
            flush();
            device->DrawPrimitive(D3DPT_LINELIST, YD3D6Raster::kVertexFormat, AlphaVertices() + record.m_index, n, 0);
            break;
        }
        case YOpaqueRecord::kMesh: {
            const YPrimitiveMesh* mesh = static_cast<const YPrimitiveMesh*>(record.m_mesh);
            if (!mesh || !mesh->m_vertices || !mesh->m_indices) break;
            for (int32_t t = 0; t < mesh->m_triangleCount; ++t) {
                const int16_t* index = mesh->m_indices + size_t(t) * 3;
                if (index[0] < 0 || index[1] < 0 || index[2] < 0 || index[0] >= mesh->m_vertexCount ||
                    index[1] >= mesh->m_vertexCount || index[2] >= mesh->m_vertexCount)
                    continue;
                if (!begin(record.m_texture, 3)) return;
                for (int k = 0; k < 3; ++k) {
                    batch.vertices[batch.vertexCount] = mesh->m_vertices[index[k]];
                    batch.indices[batch.indexCount++] = uint16_t(batch.vertexCount++);
                }
            }
            break;
        }
        default:
            break;
        }
    }
    flush();
    if (batch.vertices) source->Unlock();
    if (fogOff && m_fogOn == 1) SetRenderStateCached(D3DRENDERSTATE_FOGENABLE, TRUE);
}

// ---------------------------------------------------------------------------
// The alpha pass.

void YD3D6Parser::DrawAlphaRecords()
{
    const int32_t count = std::min(m_frameCounters[kAlphaRecordCount], int32_t(m_frameBuffers[6].capacity));
    IDirect3DDevice7* device = m_raster ? m_raster->GetDevice() : nullptr;
    if (count <= 0 || !device || !m_vertexScratch.bytes || !m_indexScratch.bytes) return;
    YAlphaVertex* vertices = m_vertexScratch.As<YAlphaVertex>();
    uint16_t* indices = m_indexScratch.As<uint16_t>();
    const uint32_t vertexRoom = m_vertexScratch.capacity > kLineVertices ? m_vertexScratch.capacity - kLineVertices : 0;
    const uint32_t indexRoom = m_indexScratch.capacity;
    YAlphaVertex* lines = vertices + vertexRoom;
    uint32_t vertexCount = 0, indexCount = 0, lineCount = 0;

    auto draw = [&] {
        if (indexCount)
            device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, YD3D6Raster::kVertexFormat, vertices, vertexCount, indices,
                                         indexCount, 0);
        if (lineCount)
            device->DrawPrimitive(D3DPT_LINELIST, YD3D6Raster::kVertexFormat, lines, lineCount, 0);
        vertexCount = indexCount = lineCount = 0;
    };
    // Room for n vertices and k indices; a full buffer is drawn first.
    auto room = [&](uint32_t n, uint32_t k) {
        if (vertexCount + n > vertexRoom || indexCount + k > indexRoom) draw();
        return n <= vertexRoom && k <= indexRoom;
    };

    const float farDistance = float(m_popUpDistance);
    int16_t texture = kNoTexture;
    for (int32_t r = 0; r < count; ++r) {
        const YAlphaRecord& record = AlphaRecords()[r];
        if (record.m_texture != texture) {
            draw();
            ApplyMaterialStates(GetTextureLock(record.m_texture));
            texture = record.m_texture;
        }
        if (!record.m_data) continue;
        switch (record.m_kind) {
        case YAlphaRecord::kBillboard:
        case YAlphaRecord::kBillboardUnderWater: {
            if (!room(4, 6)) break;
            const YBillboardRecord& b = *static_cast<const YBillboardRecord*>(record.m_data);
            const bool under = record.m_kind == YAlphaRecord::kBillboardUnderWater;
            float lo, hi, vLo, vHi;
            BillboardSpan(under, b.m_water, &lo, &hi, &vLo, &vHi);
            YAlphaVertex* quad = vertices + vertexCount;
            BillboardQuad(b, lo, hi, vLo, vHi, m_billboardNormal, m_materialCache.scaleU[1], m_materialCache.scaleV[1],
                          quad);
            // Opaque to 80 % of the far distance, gone at its end.
            float fade = farDistance > 0.0f ? (-(record.m_key / farDistance) - 0.8f) * 5.0f : 0.0f;
            fade = std::min(std::max(fade, 0.0f), 1.0f);
            const uint32_t alpha = uint32_t(int32_t((1.0f - fade) * 255.0f)) << 24;
            for (int i = 0; i < 4; ++i) {
                const uint32_t rgb = under ? b.m_colours[i < 2 ? 1 : 0] : 0x00FFFFFFu;
                quad[i].diffuse = alpha | (rgb & 0x00FFFFFFu);
            }
            for (uint16_t i : kQuadIndices) indices[indexCount++] = uint16_t(vertexCount + i);
            vertexCount += 4;
            break;
        }
        case YAlphaRecord::kTriangle:
        case YAlphaRecord::kQuad: {
            const bool quad = record.m_kind == YAlphaRecord::kQuad;
            const uint32_t n = quad ? 4 : 3;
            if (!room(n, quad ? 6 : 3)) break;
            memcpy(vertices + vertexCount, record.m_data, n * sizeof(YAlphaVertex));
            if (quad) {
                for (uint16_t i : kQuadIndices) indices[indexCount++] = uint16_t(vertexCount + i);
            } else {
                for (uint16_t i = 0; i < 3; ++i) indices[indexCount++] = uint16_t(vertexCount + i);
            }
            vertexCount += n;
            break;
        }
        case YAlphaRecord::kLine:
            if (lineCount + 2 > kLineVertices) draw();
            memcpy(lines + lineCount, record.m_data, 2 * sizeof(YAlphaVertex));
            lineCount += 2;
            break;
        default: break;
        }
    }
    draw();
}
