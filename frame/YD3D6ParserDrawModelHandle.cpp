// Model and primitive drawing: a render record and the records hanging
// from it become opaque records, depth-keyed records, transformed vertices
// and shadow casters of the frame lists.  No device call is made here.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "assets3d/YD3D6Lock.h"
#include "assets3d/YSMDecal.h"
#include "assets3d/YSMHandle.h"
#include "assets3d/YSMObject.h"
#include "foundation/YFastMath.h"
#include "renderer/YD3D6Parser.h"
#include "world/YRenderInstance.h"

namespace {
const float kQuadUV[4][2] = {{0.005f, 0.005f}, {0.005f, 0.995f}, {0.995f, 0.005f}, {0.995f, 0.995f}};
// The corners of a quad before turning, in the order of kQuadUV.
const float kQuadCorner[4][2] = {{1.0f, 1.0f}, {1.0f, -1.0f}, {-1.0f, 1.0f}, {-1.0f, -1.0f}};

// out := first, then second (row vectors).
void Then(YMatrix* out, const YMatrix& first, const YMatrix& second)
{
    MatrixMultiplyAffineOut(out, &second, &first);
}

void Point(const YMatrix& m, const float* p, float* out)
{
    for (int c = 0; c < 3; ++c) out[c] = p[0] * m.m[0][c] + p[1] * m.m[1][c] + p[2] * m.m[2][c] + m.m[3][c];
}

void Direction(const YMatrix& m, const float* p, float* out)
{
    for (int c = 0; c < 3; ++c) out[c] = p[0] * m.m[0][c] + p[1] * m.m[1][c] + p[2] * m.m[2][c];
}

// z, then x, then y.
void Turn(YMatrix* out, float z, float x, float y)
{
    YMatrix part;
    MatrixRotationZ(out, z);
    Then(out, *out, *MatrixRotationX(&part, x));
    Then(out, *out, *MatrixRotationY(&part, y));
}

// Tag space to model space: the inverse of the pose that brings the
// tag's first point to the origin and its edge onto the axes.
void TagPlacement(const YSMPose& pose, YMatrix* matrix, YMatrix* rotation)
{
    Turn(rotation, pose.v[8], -pose.v[6], pose.v[7]);
    YMatrix part;
    Then(matrix, *rotation, *MatrixTranslationOut(&part, -pose.v[0], -pose.v[1], -pose.v[2]));
}

// A group pose of a frame moved towards the next frame by t.
bool FramePose(const YSMFrame* frame, const YSMFrame* next, float t, int16_t group, YSMPose* out)
{
    if (!frame || group < 0 || size_t(group) >= frame->poses.size()) return false;
    *out = frame->poses[size_t(group)];
    if (next && size_t(group) < next->poses.size())
        for (int i = 0; i < 10; ++i) out->v[i] += (next->poses[size_t(group)].v[i] - out->v[i]) * t;
    return true;
}

void SetVertex(YAlphaVertex& v, const float* p, const float* n, uint32_t colour, float u, float w)
{
    v.x = p[0], v.y = p[1], v.z = p[2];
    v.nx = n[0], v.ny = n[1], v.nz = n[2];
    v.diffuse = colour;
    v.u0 = v.u1 = u;
    v.v0 = v.v1 = w;
}
}  // namespace

void YD3D6Parser::RecordPlacement(const float* position, const float* angles, float scale, YMatrix* matrix,
                                  YMatrix* rotation)
{
    Turn(rotation, -angles[2], angles[0], -angles[1]);
    YMatrix part;
    MatrixScalingOut(matrix, scale, scale, scale);
    Then(matrix, *matrix, *rotation);
    Then(matrix, *matrix, *MatrixTranslationOut(&part, position[0], position[1], position[2]));
}

bool YD3D6Parser::SelectModelFrame(const YSMHandle& handle, bool interpolate, FrameChoice* out)
{
    *out = FrameChoice();
    const YSMObject* model = handle.m_model;
    if (!model) return false;
    // A playing animation's key frame (and the next one to blend towards),
    // else the fixed frame.  A model without animations always shows its
    // fixed frame.
    int32_t current = handle.m_currentFrame;
    int32_t next = -1;
    float t = 0.0f;
    if (handle.IsAnimated() && !model->m_anims.empty()) {
        const int16_t anim = handle.m_currentAnim;
        if (anim < 0 || size_t(anim) >= model->m_anims.size() || size_t(anim) >= handle.m_animStates.size()) return false;
        const YSMAnim& a = *model->m_anims[size_t(anim)];
        const YSMAnimHandle& state = handle.m_animStates[size_t(anim)];
        const size_t keys = std::min(a.keyFrames.size(), a.keyDurations.size());
        if (state.key >= keys) return false;
        current = a.keyFrames[state.key];
        if (interpolate) {
            size_t following = size_t(state.key) + 1;
            if (following >= keys) following = (state.playFlags & YSMHandle::kPlayLoop) ? 0 : keys;
            if (following < keys) {
                next = a.keyFrames[following];
                // The loaders refuse durations of 0 or less.
                const float duration = a.keyDurations[state.key];
                t = duration > 0.0f ? state.keyTime / duration : 0.0f;
            }
        }
    }
    if (current < 0 || size_t(current) >= model->m_frames.size()) return false;
    out->frame = model->m_frames[size_t(current)].get();
    out->next = next >= 0 && size_t(next) < model->m_frames.size() ? model->m_frames[size_t(next)].get() : nullptr;
    out->blend = out->next ? t : 0.0f;
    return out->frame != nullptr;
}

namespace {
// The pivot of a handle turning about one of its groups: the matrix that
// brings the group's tag to the origin, and the scale it adds.
bool Pivot(const YSMHandle& handle, const YD3D6Parser::FrameChoice& pose, YMatrix* front, YMatrix* frontRotation,
           float* scale)
{
    MakeIdentityMatrix(front);
    MakeIdentityMatrix(frontRotation);
    *scale = 1.0f;
    YSMPose pivot;
    if (handle.m_activeGroup == -1 || !FramePose(pose.frame, pose.next, pose.blend, handle.m_activeGroup, &pivot))
        return false;
    YMatrix part;
    MatrixTranslationOut(front, pivot.v[0], pivot.v[1], pivot.v[2]);
    Turn(frontRotation, 0.0f, 0.0f, -pivot.v[7]);
    Then(frontRotation, *frontRotation, *MatrixRotationX(&part, pivot.v[6]));
    Then(frontRotation, *frontRotation, *MatrixRotationZ(&part, -pivot.v[8]));
    Then(front, *front, *frontRotation);
    const float tagScale = pivot.v[9] != 0.0f && std::isfinite(pivot.v[9]) ? pivot.v[9] : 1.0f;
    *scale = handle.m_referenceSize / tagScale;
    return true;
}
}  // namespace

float YD3D6Parser::ModelRecordScale(const YRenderInstance& record, const YSMHandle& handle, const FrameChoice& pose)
{
    YMatrix front, frontRotation;
    float scale = 1.0f;
    Pivot(handle, pose, &front, &frontRotation, &scale);
    return record.m_scale * scale;
}

void YD3D6Parser::PlaceModelRecord(const YRenderInstance& record, const YSMHandle& handle, const FrameChoice& pose,
                                   const YMatrix& parent, const YMatrix& parentRotation, YMatrix* world,
                                   YMatrix* rotation)
{
    YMatrix front, frontRotation;
    float scale = 1.0f;
    Pivot(handle, pose, &front, &frontRotation, &scale);
    YMatrix place, placeRotation;
    RecordPlacement(record.m_position, record.m_angles, record.m_scale * scale, &place, &placeRotation);
    Then(world, front, place);
    Then(world, *world, parent);
    Then(rotation, frontRotation, placeRotation);
    Then(rotation, *rotation, parentRotation);
}

float YD3D6Parser::DepthKey(const YD3D6DrawContext& context, const float* p) const
{
    float key = 0.0f;
    for (int i = 0; i < 3; ++i) key += (context.m_camera[i] - p[i]) * context.m_viewDirection[i];
    if (context.m_water == 1 && context.m_record && context.m_record->m_position[1] < context.m_waterHeight)
        key -= 1000.0f;
    return key;
}

YAlphaVertex* YD3D6Parser::AddAlphaVertices(uint32_t n, uint32_t* first)
{
    int32_t& count = m_frameCounters[kAlphaVertexCount];
    if (count < 0 || uint64_t(count) + n > m_frameBuffers[2].capacity) return nullptr;
    *first = uint32_t(count);
    count += int32_t(n);
    return AlphaVertices() + *first;
}

YTransformedVertex* YD3D6Parser::AddTransformedVertices(uint32_t n)
{
    int32_t& count = m_frameCounters[kWorkCount4];
    if (count < 0 || uint64_t(count) + n > TransformedCapacity()) return nullptr;
    YTransformedVertex* block = TransformedVertices() + count;
    count += int32_t(n);
    return block;
}

int32_t YD3D6Parser::AddModelGroupRecord(const void* source, const YTransformedVertex* block, float distance)
{
    int32_t& count = m_frameCounters[kWorkCount2];
    // The opaque record keeps the index in 16 bits.
    if (count < 0 || uint32_t(count) >= std::min<uint32_t>(ModelGroupCapacity(), 0x10000u)) return -1;
    ModelGroupRecords()[count] = {source, block, distance};
    return count++;
}

void YD3D6Parser::DrawModelHandle(YD3D6DrawContext* context, int level)
{
    if (!context || !context->m_record || level < 0 || level >= kDrawLevels) return;
    const YRenderInstance& record = *context->m_record;
    if (!(record.m_flags & kRecordVisible)) return;
    // Placed map objects are models too.
    if (record.m_kind == YRenderInstance::KindModel || record.m_kind == kPlacedKind)
        DrawModelRecord(context, level);
    else if (record.m_kind == kPrimitiveKind)
        DrawPrimitiveSet(context, level);
}

// ---------------------------------------------------------------------------
// Primitive sets.

void YD3D6Parser::DrawPrimitiveSet(YD3D6DrawContext* context, int level)
{
    YRenderInstance* record = context->m_record;
    const int16_t texture = record->m_textureIndex;
    if (texture < 0) return;
    m_levelMatrix[level] = context->m_matrix;
    m_levelRotation[level] = context->m_rotation;
    const int32_t n = record->m_elementCount;
    if (!record->m_geometry || n < 1) return;
    const YD3D6Lock* lock = GetTextureLock(texture);
    const bool translucent = lock && lock->m_iSortType != 0;
    const float* elements = static_cast<const float*>(record->m_geometry);
    const YMatrix& matrix = m_levelMatrix[level];
    const float scale = context->m_scale;
    const uint32_t colour = record->m_colour;

    auto place = [&](const float* p, float* out) {
        const float q[3] = {p[0] + record->m_position[0], p[1] + record->m_position[1], p[2] + record->m_position[2]};
        Point(matrix, q, out);
    };

    switch (record->m_subKind) {
    case 0:
    case 1:
    case 5: {
        const int stride = record->m_subKind == 5 ? 7 : 4;
        YMatrix turn;
        if (record->m_subKind == 1) Turn(&turn, m_cameraAngles[2], m_cameraAngles[0], m_cameraAngles[1]);
        else Turn(&turn, record->m_angles[2], record->m_angles[0], record->m_angles[1]);
        Then(&turn, turn, m_levelRotation[level]);
        uint32_t first = 0;
        YAlphaVertex* all = nullptr;
        const int32_t most = std::min<int32_t>(n, 0x3FFF);  // 4 n in a 16-bit count
        if (!translucent && !(all = AddAlphaVertices(uint32_t(most) * 4, &first))) break;
        for (int32_t e = 0; e < most; ++e) {
            const float* element = elements + size_t(e) * size_t(stride);
            const float* p = record->m_subKind == 5 ? element + 3 : element;
            if (record->m_subKind == 5) Turn(&turn, element[2], element[0], element[1]), Then(&turn, turn, m_levelRotation[level]);
            const float size = p[3] * scale;
            float centre[3];
            place(p, centre);
            uint32_t at = 0;
            YAlphaVertex* quad = translucent ? AddAlphaVertices(4, &at) : all + 4 * e;
            if (!quad) break;
            for (int c = 0; c < 4; ++c) {
                const float corner[3] = {kQuadCorner[c][0], kQuadCorner[c][1], 0.0f};
                float d[3], at3[3];
                Direction(turn, corner, d);
                for (int i = 0; i < 3; ++i) at3[i] = centre[i] + d[i] * size;
                SetVertex(quad[c], at3, m_sunVector, colour, kQuadUV[c][0], kQuadUV[c][1]);
            }
            if (translucent) AddAlphaRecord(DepthKey(*context, centre), texture, YAlphaRecord::kQuad, quad);
        }
        if (!translucent)
            if (YOpaqueRecord* r = AddOpaqueRecord(texture, uint16_t(4 * most), YOpaqueRecord::kQuads, 0)) r->m_index = first;
        break;
    }
    case 2: {
        if (!lock || lock->m_iSortType != 1) break;
        const float yaw = m_cameraAngles[1];
        const float right[2] = {FastCos(yaw), -FastSin(yaw)};
        int32_t& billboards = m_frameCounters[kBillboardCount];
        for (int32_t e = 0; e < n; ++e) {
            if (billboards < 0 || uint32_t(billboards) >= m_frameBuffers[0].capacity) break;
            const float* p = elements + size_t(e) * 4;
            const float s = p[3] * scale;
            float centre[3];
            place(p, centre);
            YBillboardRecord& b = BillboardRecords()[billboards++];
            b.m_x0 = centre[0] - s * right[0], b.m_z0 = centre[2] - s * right[1];
            b.m_x1 = centre[0] + s * right[0], b.m_z1 = centre[2] + s * right[1];
            b.m_base = centre[1];
            b.m_height = 2.0f * s;
            b.m_swayU = b.m_swayV = 0.0f;
            b.m_colours[0] = b.m_colours[1] = 0xFFFFFFu;
            b.m_water = 0.0f;
            const float raised[3] = {centre[0], centre[1] + s, centre[2]};
            AddAlphaRecord(DepthKey(*context, raised), texture, YAlphaRecord::kBillboard, &b);
        }
        break;
    }
    case 3: {
        uint32_t first = 0;
        YAlphaVertex* all = nullptr;
        const int32_t most = std::min<int32_t>(n, 0x7FFF);
        if (!translucent && !(all = AddAlphaVertices(uint32_t(most) * 2, &first))) break;
        for (int32_t e = 0; e < most; ++e) {
            const float* p = elements + size_t(e) * 8;
            uint32_t at = 0;
            YAlphaVertex* line = translucent ? AddAlphaVertices(2, &at) : all + 2 * e;
            if (!line) break;
            float ends[2][3];
            for (int k = 0; k < 2; ++k) {
                place(p + 4 * k, ends[k]);
                SetVertex(line[k], ends[k], m_sunVector, colour, kQuadUV[k][0], kQuadUV[k][1]);
            }
            if (translucent) {
                const float middle[3] = {(ends[0][0] + ends[1][0]) * 0.5f, (ends[0][1] + ends[1][1]) * 0.5f,
                                         (ends[0][2] + ends[1][2]) * 0.5f};
                AddAlphaRecord(DepthKey(*context, middle), texture, YAlphaRecord::kLine, line);
            }
        }
        if (!translucent)
            if (YOpaqueRecord* r = AddOpaqueRecord(texture, uint16_t(2 * most), YOpaqueRecord::kLines, 0)) r->m_index = first;
        break;
    }
    case 4: {
        const YPrimitiveMesh* mesh = static_cast<const YPrimitiveMesh*>(record->m_geometry);
        if (!mesh->m_vertices || !mesh->m_indices || mesh->m_triangleCount < 1) break;
        if (!translucent) {
            if (YOpaqueRecord* r = AddOpaqueRecord(texture, uint16_t(std::min(3 * int32_t(mesh->m_triangleCount), 0xFFFF)),
                                                   YOpaqueRecord::kMesh, 0))
                r->m_mesh = mesh;
            break;
        }
        for (int32_t t = 0; t < mesh->m_triangleCount; ++t) {
            const int16_t* index = mesh->m_indices + size_t(t) * 3;
            if (std::any_of(index, index + 3, [&](int16_t i) { return i < 0 || i >= mesh->m_vertexCount; })) continue;
            uint32_t at = 0;
            YAlphaVertex* tri = AddAlphaVertices(3, &at);
            if (!tri) break;
            float sum[3] = {0.0f, 0.0f, 0.0f};
            for (int k = 0; k < 3; ++k) {
                tri[k] = mesh->m_vertices[index[k]];
                sum[0] += tri[k].x, sum[1] += tri[k].y, sum[2] += tri[k].z;
            }
            const float key[3] = {sum[0] * 0.333f, sum[1] * 0.333f, sum[2] * 0.333f};
            AddAlphaRecord(DepthKey(*context, key), texture, YAlphaRecord::kTriangle, tri);
        }
        break;
    }
    default: break;
    }

    if (level + 1 >= kDrawLevels || !record->m_children) return;
    for (uint16_t c = 0; c < record->m_childCount; ++c) {
        YRenderInstance* child = record->m_children[c];
        if (!child) continue;
        context->m_record = child;
        DrawModelHandle(context, level + 1);
    }
    context->m_record = record;
}

// ---------------------------------------------------------------------------
// Models.

void YD3D6Parser::DrawModelRecord(YD3D6DrawContext* context, int level)
{
    YRenderInstance* record = context->m_record;
    YSMHandle* handle = record->m_model;
    YSMObject* model = handle ? handle->m_model : nullptr;
    if (!model || record->m_subKind < 0 || record->m_subKind > 2) return;

    FrameChoice pose;
    if (!SelectModelFrame(*handle, context->m_blend != 0, &pose)) return;
    const YSMFrame* frame = pose.frame;
    const YSMFrame* nextFrame = pose.next;
    const float t = pose.blend;
    handle->m_drawFrame = frame;
    handle->m_drawNextFrame = nextFrame;
    handle->m_drawBlend = t;

    // Group marks.
    const size_t groups = std::min(handle->m_groupStates.size(), model->m_groups.size());
    bool anyMarked = false, anyShell = false;
    for (size_t g = 0; g < handle->m_groupStates.size(); ++g) {
        YSMGroupHandle& state = handle->m_groupStates[g];
        state.flags &= ~uint32_t(YSMHandle::kGroupMarked);
        if (g >= groups) continue;
        const bool shown = g < frame->present.size() && frame->present[g];
        if ((state.flags & YSMHandle::kGroupShown) && shown && !model->m_groups[g]->faces.empty() && state.slot >= 0) {
            state.flags |= YSMHandle::kGroupMarked;
            anyMarked = true;
            anyShell = anyShell || (state.flags & kSMGroupPreShell);
        }
    }

    // The level's world matrix.
    YMatrix& world = m_levelMatrix[level];
    YMatrix& rotation = m_levelRotation[level];
    PlaceModelRecord(*record, *handle, pose, context->m_matrix, context->m_rotation, &world, &rotation);
    float worldScale = ModelRecordScale(*record, *handle, pose) * context->m_scale;
    const bool follows = (record->m_flags & kRecordFollowLeader) != 0;
    if (follows && handle->m_leader && handle->m_leader->m_providesMatrix) {
        memcpy(world.m, handle->m_leader->m_drawMatrix, sizeof world.m);
        worldScale = handle->m_leader->m_drawScale;
    }
    memcpy(handle->m_drawMatrix, world.m, sizeof world.m);
    handle->m_drawScale = worldScale;
    handle->m_providesMatrix = 1;

    // The posed vertices: no more than every frame used holds.
    size_t count = size_t(std::max<int16_t>(model->m_vertexCount, 0));
    count = std::min({count, frame->positions.size() / 3, frame->normals.size() / 3});
    if (nextFrame) count = std::min({count, nextFrame->positions.size() / 3, nextFrame->normals.size() / 3});
    YTransformedVertex* block = nullptr;
    if (anyMarked && (block = AddTransformedVertices(uint32_t(count)))) {
        const float up[3] = {0.0f, 1.0f, 0.0f};
        for (size_t v = 0; v < count; ++v) {
            float p[3], n[3];
            for (int i = 0; i < 3; ++i) {
                p[i] = frame->positions[3 * v + i];
                n[i] = frame->normals[3 * v + i];
                if (nextFrame) {
                    p[i] += t * (nextFrame->positions[3 * v + i] - p[i]);
                    n[i] += t * (nextFrame->normals[3 * v + i] - n[i]);
                }
            }
            YTransformedVertex& out = block[v];
            Point(world, p, &out.x);
            if (follows && !nextFrame) memcpy(&out.nx, up, sizeof up);
            else Direction(rotation, n, &out.nx);
        }
    }

    // A triangle of the group (or of its level of detail) as three corners:
    // vertex index and texture pair.
    struct Corner {
        int32_t vertex;
        float u, v;
    };
    auto forEachTriangle = [&](size_t g, auto emit) {
        const YSMGroup& group = *model->m_groups[g];
        if (!group.levels.empty()) {
            const float position[3] = {record->m_position[0], record->m_position[1], record->m_position[2]};
            const int32_t pick = YSMObject::SelectDetailLevel(m_cameraPosition, m_projection[0], position,
                                                              model->GetDetailEntry(int16_t(g)), record->m_cameraDistance,
                                                              m_mapSettings[kDistanceCacheWord] != 0);
            if (pick >= 0 && size_t(pick) < group.levels.size()) {
                const YSMDetailLevel& l = group.levels[size_t(pick)];
                for (size_t f = 0; f + 2 < l.cornerIndexes.size(); f += 3) {
                    Corner c[3];
                    bool ok = true;
                    for (int k = 0; k < 3; ++k) {
                        const size_t at = size_t(l.cornerIndexes[f + k]) * 3;
                        if (at + 2 >= l.corners.size()) { ok = false; break; }
                        c[k] = {int32_t(l.corners[at]), l.corners[at + 1], l.corners[at + 2]};
                    }
                    if (ok) emit(c);
                }
                return;
            }
        }
        for (uint16_t f : group.faces) {
            if (f >= model->m_faces.size()) continue;
            const YSMFace& face = model->m_faces[f];
            Corner c[3];
            for (int k = 0; k < 3; ++k) c[k] = {face.v[k], face.uv[2 * k], face.uv[2 * k + 1]};
            emit(c);
        }
    };
    // Translucent triangles of a block, keyed at their centroids.
    auto keyedTriangles = [&](size_t g, const YTransformedVertex* from, int16_t texture) {
        forEachTriangle(g, [&](const Corner* c) {
            for (int k = 0; k < 3; ++k)
                if (c[k].vertex < 0 || size_t(c[k].vertex) >= count) return;
            uint32_t at = 0;
            YAlphaVertex* tri = AddAlphaVertices(3, &at);
            if (!tri) return;
            float centre[3] = {0.0f, 0.0f, 0.0f};
            for (int k = 0; k < 3; ++k) {
                const YTransformedVertex& v = from[c[k].vertex];
                SetVertex(tri[k], &v.x, &v.nx, 0xFFFFFFFFu, c[k].u, c[k].v);
                for (int i = 0; i < 3; ++i) centre[i] += (&v.x)[i] / 3.0f;
            }
            AddAlphaRecord(DepthKey(*context, centre), texture, YAlphaRecord::kTriangle, tri);
        });
    };
    const bool override = m_thermal && m_thermalTexture >= 0 && (record->m_flags & kRecordOverride);
    auto emitGroups = [&](const YTransformedVertex* from, bool shell, int16_t shellTexture) {
        int32_t groupRecord = -1;
        for (size_t g = 0; g < groups; ++g) {
            const YSMGroupHandle& state = handle->m_groupStates[g];
            if (!(state.flags & YSMHandle::kGroupMarked) || (shell && !(state.flags & kSMGroupPreShell))) continue;
            int16_t texture = shell ? shellTexture : int16_t(state.slot);
            if (IsTranslucent(texture)) {
                keyedTriangles(g, from, texture);
                continue;
            }
            if (override && !shell) texture = int16_t(m_thermalTexture);
            if (groupRecord < 0 && (groupRecord = AddModelGroupRecord(handle, from, record->m_cameraDistance)) < 0) return;
            const size_t faces = model->m_groups[g]->faces.size();
            if (YOpaqueRecord* r = AddOpaqueRecord(texture, uint16_t(std::min<size_t>(faces * 3, 0xFFFF)),
                                                   shell ? YOpaqueRecord::kShellGroup : YOpaqueRecord::kModelGroup, 0)) {
                r->m_index = 0;
                r->m_model.m_groupRecord = uint16_t(groupRecord);
                r->m_model.m_group = uint16_t(g);
            }
        }
    };
    if (block) emitGroups(block, false, -1);

    // Shadow caster.
    const int32_t sub = record->m_subKind;
    const bool casts = m_sessionMode == 2 && !(record->m_flags & kRecordNoShadow) &&
                       ((sub == 1 && m_mapSettings[kShadowWord1]) || (sub == 0 && m_mapSettings[kShadowWord0]));
    if (casts && m_shadowCasterCount >= 0 && m_shadowCasterCount < kShadowCasters &&
        size_t(m_shadowCasterCount) < m_shadowCasters.size()) {
        YD3D6ShadowCaster& caster = m_shadowCasters[size_t(m_shadowCasterCount++)];
        memcpy(caster.m_position, record->m_position, sizeof caster.m_position);
        caster.m_model = handle;
        caster.m_kind = int16_t(sub == 1 ? 1 : 0);
        memcpy(caster.m_transform, context->m_matrix.m, sizeof caster.m_transform);
        memcpy(caster.m_vectors[0], context->m_viewDirection, sizeof caster.m_vectors[0]);
        memcpy(caster.m_vectors[1], context->m_camera, sizeof caster.m_vectors[1]);
        caster.m_drawItem = record;
        caster.m_childCount = record->m_childCount;
        caster.m_children = record->m_children;
        caster.m_vertices = block;
    }

    // The inflated shell.
    if (block && anyShell && handle->m_shellTexture >= 0 && handle->m_shellTexture < GetTextureCount()) {
        for (size_t g = 0; g < groups; ++g) {
            if ((handle->m_groupStates[g].flags & (YSMHandle::kGroupMarked | kSMGroupPreShell)) !=
                (YSMHandle::kGroupMarked | kSMGroupPreShell))
                continue;
            YTransformedVertex* shell = AddTransformedVertices(uint32_t(count));
            if (!shell) break;
            const float push = handle->m_shellWidth * model->m_groups[g]->shellScale;
            for (size_t v = 0; v < count; ++v) {
                shell[v] = block[v];
                shell[v].x += block[v].nx * push, shell[v].y += block[v].ny * push, shell[v].z += block[v].nz * push;
            }
            // This group's shell only.
            const uint32_t saved = handle->m_groupStates[g].flags;
            std::vector<uint32_t> others;
            for (size_t k = 0; k < groups; ++k) {
                others.push_back(handle->m_groupStates[k].flags);
                if (k != g) handle->m_groupStates[k].flags &= ~uint32_t(YSMHandle::kGroupMarked);
            }
            emitGroups(shell, true, handle->m_shellTexture);
            for (size_t k = 0; k < groups; ++k) handle->m_groupStates[k].flags = others[k];
            handle->m_groupStates[g].flags = saved;
        }
    }

    // Decals: their corners are posed vertices of the model, so a decal
    // moves with the surface it was cut from.
    for (size_t d = 0; block && d < handle->m_decals.size(); ++d) {
        const YSMDecal* decal = handle->m_decals[d];
        if (!decal || (decal->m_flags & YSMDecal::kShadowMarker) || decal->m_texture < 0) continue;
        const size_t triangles = decal->m_indices.size() / 3;
        bool whole = triangles > 0;
        for (uint16_t i : decal->m_indices)
            whole = whole && i < decal->m_vertices.size() && decal->m_vertices[i].vertex >= 0 &&
                    size_t(decal->m_vertices[i].vertex) < count;
        if (!whole) continue;
        YTransformedVertex* corners = AddTransformedVertices(uint32_t(triangles * 3));
        if (!corners) break;
        for (size_t c = 0; c < triangles * 3; ++c)
            corners[c] = block[size_t(decal->m_vertices[decal->m_indices[c]].vertex)];
        const int16_t texture = decal->m_texture;
        if (IsTranslucent(texture)) {
            for (size_t tr = 0; tr < triangles; ++tr) {
                uint32_t at = 0;
                YAlphaVertex* tri = AddAlphaVertices(3, &at);
                if (!tri) break;
                float centre[3] = {0.0f, 0.0f, 0.0f};
                for (int k = 0; k < 3; ++k) {
                    const YTransformedVertex& v = corners[tr * 3 + size_t(k)];
                    const YSMDecal::Vertex& dv = decal->m_vertices[decal->m_indices[tr * 3 + size_t(k)]];
                    SetVertex(tri[k], &v.x, &v.nx, 0xFFFFFFFFu, dv.u, dv.v);
                    for (int i = 0; i < 3; ++i) centre[i] += (&v.x)[i] / 3.0f;
                }
                AddAlphaRecord(DepthKey(*context, centre), texture, YAlphaRecord::kTriangle, tri);
            }
            continue;
        }
        const int32_t groupRecord = AddModelGroupRecord(decal, corners, record->m_cameraDistance);
        if (groupRecord < 0) break;
        if (YOpaqueRecord* r = AddOpaqueRecord(texture, uint16_t(std::min<size_t>(triangles * 3, 0xFFFF)),
                                               YOpaqueRecord::kDecal, 0)) {
            r->m_index = 0;
            r->m_model.m_groupRecord = uint16_t(groupRecord);
            r->m_model.m_group = uint16_t(d);
        }
    }

    DrawModelChildren(context, level, block);
}

bool YD3D6Parser::PlaceChildRecord(const YRenderInstance& childRecord, const YSMHandle& parent, const FrameChoice& pose,
                                   const YMatrix& world, const YMatrix& rotation, float savedScale, YMatrix* matrixOut,
                                   YMatrix* rotationOut, float* scaleOut)
{
    const YRenderInstance* child = &childRecord;
    const YSMObject* model = parent.m_model;
    if (!model) return false;
    YSMPose tag;
    if (child->m_attachIndex >= 0 &&
        FramePose(pose.frame, pose.next, pose.blend, child->m_attachIndex, &tag)) {
        YMatrix matrix, turn, part;
        TagPlacement(tag, &matrix, &turn);
        MatrixScalingOut(&part, child->m_childScale, child->m_childScale, child->m_childScale);
        Then(&matrix, part, matrix);
        Then(matrixOut, matrix, world);
        Then(rotationOut, turn, rotation);
        *scaleOut = savedScale * child->m_childScale;
        return true;
    } else if (child->m_attachIndex < 0 && child->m_surfaceWeights[0] != 0.0f && child->m_surfaceWeights[1] != 0.0f &&
               child->m_surfaceTriangle >= 0 && size_t(child->m_surfaceTriangle) < model->m_faces.size() &&
               pose.frame) {
        const YSMFace& face = model->m_faces[size_t(child->m_surfaceTriangle)];
        const YSMFrame* frame = pose.frame;
        const YSMFrame* next = pose.next;
        float corner[3][3];
        bool ok = true;
        for (int k = 0; k < 3 && ok; ++k) {
            const size_t at = size_t(face.v[k]) * 3;
            ok = face.v[k] >= 0 && at + 2 < frame->positions.size() && (!next || at + 2 < next->positions.size());
            for (int i = 0; ok && i < 3; ++i) {
                corner[k][i] = frame->positions[at + size_t(i)];
                if (next) corner[k][i] += pose.blend * (next->positions[at + size_t(i)] - corner[k][i]);
            }
        }
        if (!ok) return false;
        {
            const float* a = corner[0];
            const float* b = corner[1];
            const float* cc = corner[2];
            const float w1 = child->m_surfaceWeights[0], w2 = child->m_surfaceWeights[1];
            float q[3], p[3], e1[3], e2[3], n[3];
            for (int i = 0; i < 3; ++i) {
                q[i] = cc[i] + (b[i] - cc[i]) * w1;
                p[i] = q[i] + (a[i] - q[i]) * w2;
                e1[i] = b[i] - a[i];
                e2[i] = cc[i] - b[i];
            }
            n[0] = e1[1] * e2[2] - e1[2] * e2[1];
            n[1] = e1[2] * e2[0] - e1[0] * e2[2];
            n[2] = e1[0] * e2[1] - e1[1] * e2[0];
            const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            YMatrix turn;
            MakeIdentityMatrix(&turn);
            if (length > 0.0f && std::isfinite(length)) {
                for (float& x : n) x /= length;
                // Rows: x, y = the normal, z; x and z any unit pair across it.
                const float side[3] = {std::fabs(n[0]) < 0.9f ? 1.0f : 0.0f, std::fabs(n[0]) < 0.9f ? 0.0f : 1.0f, 0.0f};
                float z[3] = {side[1] * n[2] - side[2] * n[1], side[2] * n[0] - side[0] * n[2],
                              side[0] * n[1] - side[1] * n[0]};
                const float zl = std::sqrt(z[0] * z[0] + z[1] * z[1] + z[2] * z[2]);
                for (float& x : z) x /= zl;
                const float x[3] = {n[1] * z[2] - n[2] * z[1], n[2] * z[0] - n[0] * z[2], n[0] * z[1] - n[1] * z[0]};
                for (int i = 0; i < 3; ++i) turn.m[0][i] = x[i], turn.m[1][i] = n[i], turn.m[2][i] = z[i];
            }
            YMatrix matrix = turn;
            matrix.m[3][0] = p[0], matrix.m[3][1] = p[1], matrix.m[3][2] = p[2];
            Then(matrixOut, matrix, world);
            Then(rotationOut, turn, rotation);
            *scaleOut = savedScale;
            return true;
        }
    }
    return false;
}

void YD3D6Parser::DrawModelChildren(YD3D6DrawContext* context, int level, const YTransformedVertex*)
{
    YRenderInstance* record = context->m_record;
    if (level + 1 >= kDrawLevels || !record->m_children || !record->m_childCount) return;
    YSMHandle* handle = record->m_model;
    const YSMObject* model = handle->m_model;
    const YMatrix savedMatrix = context->m_matrix, savedRotation = context->m_rotation;
    const float savedScale = context->m_scale;
    const YMatrix& world = m_levelMatrix[level];
    const YMatrix& rotation = m_levelRotation[level];
    for (uint16_t c = 0; c < record->m_childCount; ++c) {
        YRenderInstance* child = record->m_children[c];
        if (!child) continue;
        const FrameChoice pose = {handle->m_drawFrame, handle->m_drawNextFrame, handle->m_drawBlend};
        if (!PlaceChildRecord(*child, *handle, pose, world, rotation, savedScale, &context->m_matrix,
                              &context->m_rotation, &context->m_scale)) {
            context->m_matrix = world;
            context->m_rotation = rotation;
            context->m_scale = savedScale;
        }
        context->m_record = child;
        DrawModelHandle(context, level + 1);
    }
    context->m_record = record;
    context->m_matrix = savedMatrix;
    context->m_rotation = savedRotation;
    context->m_scale = savedScale;
}
