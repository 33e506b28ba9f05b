// The world trace's model collision walk: sprite-tree billboards, the near
// actor test, model boxes, polygons and vertices, and attached objects.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "assets3d/YD3D6Lock.h"
#include "assets3d/YSMHandle.h"
#include "assets3d/YSMObject.h"
#include "renderer/YD3D6Parser.h"
#include "renderer/YD3D6TextureItem.h"
#include "renderer/YTraceRequest.h"
#include "renderer/YTraceResult.h"
#include "world/YActor.h"

namespace {

const int kMaxAttachDepth = 16;

void Identity(YMatrix* m)
{
    std::memset(m, 0, sizeof(*m));
    m->m[0][0] = m->m[1][1] = m->m[2][2] = m->m[3][3] = 1.0f;
}

// p x m for a point (row 3 adds) or a direction.
void MapPoint(const YMatrix& m, const float* p, float* out)
{
    const float x = p[0], y = p[1], z = p[2];
    for (int j = 0; j < 3; ++j) out[j] = x * m.m[0][j] + y * m.m[1][j] + z * m.m[2][j] + m.m[3][j];
}

void TransformDirection(const YMatrix& m, const float* p, float* out)
{
    const float x = p[0], y = p[1], z = p[2];
    for (int j = 0; j < 3; ++j) out[j] = x * m.m[0][j] + y * m.m[1][j] + z * m.m[2][j];
}

// first, then second.
void Then(YMatrix* out, const YMatrix& first, const YMatrix& second)
{
    MatrixMultiplyAffineOut(out, &second, &first);
}

// The inverse of an affine matrix; false when it has none (a zero scale).
bool InvertAffine(const YMatrix& m, YMatrix* out)
{
    const double a = m.m[0][0], b = m.m[0][1], c = m.m[0][2];
    const double d = m.m[1][0], e = m.m[1][1], f = m.m[1][2];
    const double g = m.m[2][0], h = m.m[2][1], k = m.m[2][2];
    const double det = a * (e * k - f * h) - b * (d * k - f * g) + c * (d * h - e * g);
    if (!std::isfinite(det) || std::fabs(det) < 1e-20) return false;
    const double r = 1.0 / det;
    const double inv[3][3] = {{(e * k - f * h) * r, (c * h - b * k) * r, (b * f - c * e) * r},
                              {(f * g - d * k) * r, (a * k - c * g) * r, (c * d - a * f) * r},
                              {(d * h - e * g) * r, (b * g - a * h) * r, (a * e - b * d) * r}};
    Identity(out);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) out->m[i][j] = static_cast<float>(inv[i][j]);
    for (int j = 0; j < 3; ++j) {
        double t = 0;
        for (int i = 0; i < 3; ++i) t -= m.m[3][i] * inv[i][j];
        out->m[3][j] = static_cast<float>(t);
    }
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j)
            if (!std::isfinite(out->m[i][j])) return false;
    return true;
}

// Scale, the three rotations and the position of a record, as it is drawn.
void PlacementMatrix(const float* position, const float* angles, float scale, YMatrix* out)
{
    YMatrix part;
    MatrixScalingOut(out, scale, scale, scale);
    Then(out, *out, *MatrixRotationZ(&part, -angles[2]));
    Then(out, *out, *MatrixRotationX(&part, angles[0]));
    Then(out, *out, *MatrixRotationY(&part, -angles[1]));
    Then(out, *out, *MatrixTranslationOut(&part, position[0], position[1], position[2]));
}

// A group's pose brings model space to the group's marker: the marker's
// first point to the origin, its edge along the axes.
void PoseMatrix(const YSMPose& pose, YMatrix* out)
{
    YMatrix part;
    MatrixTranslationOut(out, pose.v[0], pose.v[1], pose.v[2]);
    Then(out, *out, *MatrixRotationY(&part, -pose.v[7]));
    Then(out, *out, *MatrixRotationX(&part, pose.v[6]));
    Then(out, *out, *MatrixRotationZ(&part, -pose.v[8]));
}

float Distance2(const float* a, const float* b)
{
    const float x = a[0] - b[0], y = a[1] - b[1], z = a[2] - b[2];
    return x * x + y * y + z * z;
}

// A frame box scaled about its centre; false for an empty or broken box.
bool ScaledBox(const float* lo, const float* hi, float scale, float* min, float* size)
{
    for (int i = 0; i < 3; ++i) {
        if (!std::isfinite(lo[i]) || !std::isfinite(hi[i]) || hi[i] < lo[i]) return false;
        const float centre = 0.5f * (lo[i] + hi[i]), half = 0.5f * (hi[i] - lo[i]) * scale;
        min[i] = centre - half;
        size[i] = 2.0f * half;
        if (!std::isfinite(min[i]) || !std::isfinite(size[i])) return false;
    }
    return true;
}

// Face normals of the box faces 1 to 6 in model space.
const float kBoxNormals[6][3] = {{-1, 0, 0}, {1, 0, 0}, {0, 0, -1}, {0, 0, 1}, {0, -1, 0}, {0, 1, 0}};

void UnitNormal(const YMatrix& m, const float* n, float* out)
{
    TransformDirection(m, n, out);
    const float l = std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2]);
    if (l > 0.0f && std::isfinite(l))
        out[0] /= l, out[1] /= l, out[2] /= l;
    else
        out[0] = out[1] = out[2] = 0.0f;
}

}  // namespace

YD3D6Lock* YD3D6Parser::GetSpriteLock(uint16_t type) const
{
    if (type >= m_spriteTextures.size()) return nullptr;
    const uint16_t texture = m_spriteTextures[type];
    if (texture >= m_textures.size() || !m_textures[texture]) return nullptr;
    return m_textures[texture]->m_lock;
}

bool YD3D6Parser::IsCropSprite(uint16_t type) const
{
    const YD3D6Lock* lock = GetSpriteLock(type);
    return lock && lock->GetTagValueByName("TXT-IsCrop", "").CompareNoCase("yes") == 0;
}

YSMHandle* YD3D6Parser::GetTreeModel(uint16_t type) const
{
    if (type == 0xFFFD || m_spriteTypeCount < 0 || type < static_cast<uint16_t>(m_spriteTypeCount)) return nullptr;
    const size_t model = type - static_cast<size_t>(m_spriteTypeCount);
    return model < m_treeModels.size() ? m_treeModels[model] : nullptr;
}

int YD3D6Parser::SegmentBillboard(const float* start, const float* end, const float* a, const float* b, float* t,
                                  float* s)
{
    // start + t (end - start) = a + s (b - a) in the x-z plane.
    const double dx = double(end[0]) - start[0], dz = double(end[2]) - start[2];
    const double ex = double(b[0]) - a[0], ez = double(b[2]) - a[2];
    const double den = dx * ez - dz * ex;
    if (den == 0.0 || !std::isfinite(den)) return 0;  // parallel, or no extent
    const double wx = double(a[0]) - start[0], wz = double(a[2]) - start[2];
    const double tt = (wx * ez - wz * ex) / den;
    const double ss = (wx * dz - wz * dx) / den;
    if (!(tt >= 0.0 && tt <= 1.0 && ss >= 0.0 && ss <= 1.0)) return 0;
    *t = static_cast<float>(tt);
    *s = static_cast<float>(ss);
    return 1;
}

void YD3D6Parser::StoreTreeHit(const YTraceRequest& q, DWORD code, const float* point, float distance2, float height,
                               float u, float v)
{
    YTraceResult& res = *m_traceResult;
    const YRenderInstance& o = *q.m_object;
    const uint16_t type = static_cast<uint16_t>(o.m_typeIndex);
    res.m_detail = 5;
    res.m_hitCode = code;
    for (int i = 0; i < 3; ++i) res.m_objectPosition[i] = o.m_position[i], res.m_objectAngles[i] = 0.0f;
    res.m_objectScale = o.m_scale;
    res.m_typeIndex = type;
    res.m_typeCopy = static_cast<int16_t>(type);
    res.m_itemSlot = static_cast<uint8_t>(q.m_itemSlot);
    res.m_cell = q.m_cell;
    res.m_distance2 = distance2;
    res.m_objectHeight = height;
    for (int i = 0; i < 3; ++i) res.m_hitPoint[i] = point[i];
    res.m_hitObject = nullptr;
    res.m_side = 1;
    res.m_texel[0] = u, res.m_texel[1] = v, res.m_texel[2] = res.m_texel[3] = 0.0f;
    res.m_textureWords[0] = 0xFFFF;
    res.m_textureWords[1] = type;
}

// The height of the segment over an x-z entry point, along the axis on
// which the segment moves more.
static float HeightAlong(const YTraceRequest& q, const float* entry)
{
    if (std::fabs(q.m_delta[2]) <= std::fabs(q.m_delta[0])) {
        if (q.m_delta[0] == 0.0f) return q.m_from[1];
        return q.m_from[1] + (entry[0] - q.m_from[0]) * q.m_delta[1] / q.m_delta[0];
    }
    return q.m_from[1] + (entry[2] - q.m_from[2]) * q.m_delta[1] / q.m_delta[2];
}

void YD3D6Parser::TraceSpriteBillboard(const YTraceRequest& q)
{
    const YRenderInstance& o = *q.m_object;
    const uint16_t type = static_cast<uint16_t>(o.m_typeIndex);
    const YD3D6Lock* lock = GetSpriteLock(type);
    if (!lock || lock->m_iSpriteCollide != 1 || lock->m_mask.empty()) return;
    const float width = type < m_treeFactorA.size() ? m_treeFactorA[type] : 0.0f;
    const float tall = type < m_treeFactorB.size() ? m_treeFactorB[type] : 0.0f;
    const float size = o.m_scale;
    const float half = width * std::fabs(size), height = 2.0f * tall * std::fabs(size);
    if (!(half > 0.0f) || !std::isfinite(half) || !std::isfinite(height)) return;
    const float sign = size < 0.0f ? -1.0f : 1.0f;
    const float* tree = o.m_position;
    const float a[3] = {tree[0] - sign * half * q.m_facing[0], 0.0f, tree[2] - sign * half * q.m_facing[1]};
    const float b[3] = {tree[0] + sign * half * q.m_facing[0], 0.0f, tree[2] + sign * half * q.m_facing[1]};
    float t, s;
    if (!SegmentBillboard(q.m_from, q.m_to, a, b, &t, &s)) return;
    float entry[3] = {q.m_from[0] + t * q.m_delta[0], 0.0f, q.m_from[2] + t * q.m_delta[2]};
    const float d2 = (entry[0] - q.m_from[0]) * (entry[0] - q.m_from[0]) +
                     (entry[2] - q.m_from[2]) * (entry[2] - q.m_from[2]);
    if (!(d2 < m_traceResult->m_distance2)) return;
    entry[1] = HeightAlong(q, entry);
    if (!(tree[1] < entry[1] && entry[1] < tree[1] + height)) return;
    float v = height == 0.0f ? 1.0f : (height - (entry[1] - tree[1])) / height;
    if (v >= 1.0f) v = 0.98f;
    if (v < 0.0f) v = 0.0f;
    if (!lock->IsOpaqueAt(s, v)) return;
    StoreTreeHit(q, YTraceResult::kTreeBillboard, entry, d2, height, s, v);
}

void YD3D6Parser::CollideModelNode(YTraceRequest& q)
{
    YRenderInstance* o = q.m_object;
    if (!o || !m_traceResult) return;
    const DWORD flags = q.m_flags;
    if (q.m_kind == YTraceRequest::kSprite) {
        if (!(flags & 0x1)) return;
        if (flags & 0x2)
            TraceSpriteBillboard(q);
        else
            TraceSpriteTree(q);
        return;
    }
    YTraceResult& res = *m_traceResult;
    YActor* owner = static_cast<YActor*>(o->m_owner);

    // A sprite actor counts as hit from close by.
    if (owner && (owner->m_flagsA & YActor::FlagSpriteActor) && (flags & 0x8)) {
        const float* p = owner->m_render.m_position;
        if (std::sqrt(Distance2(p, q.m_from)) / 16.0f < 6.0f) {
            res.m_hitObject = owner;
            res.m_hitCode = 0x28;
            res.m_detail = 5;
            for (int i = 0; i < 3; ++i) res.m_objectPosition[i] = p[i], res.m_hitPoint[i] = 1.0f;
            res.m_distance2 = 0.0f;
            res.m_objectHeight = 1.0f;
            res.m_nodeFlags = q.m_nodeFlags;
            return;
        }
    }

    const int type = o->m_kind;
    const bool tree = type == 2;
    if (o->m_subKind != 0 || !(flags & 0x8)) return;
    if ((type == 1 && !(flags & 0x10)) || (tree && !(flags & 0x1))) return;
    YSMHandle* handle = o->m_model;
    if (!handle || !handle->m_model) return;
    const YSMObject& model = *handle->m_model;
    const int16_t frameIndex = handle->GetShownFrame();
    if (frameIndex < 0 || static_cast<size_t>(frameIndex) >= model.m_frames.size()) return;
    const YSMFrame& frame = *model.m_frames[frameIndex];

    // Object to world; a zero or broken scale has no model space.
    if (!(std::fabs(o->m_scale) > 0.0f) || !std::isfinite(o->m_scale)) return;
    YMatrix local;
    PlacementMatrix(o->m_position, o->m_angles, o->m_scale, &local);
    const int16_t active = handle->GetActiveGroup();
    const uint16_t frameWord = static_cast<uint16_t>(frameIndex);
    if (const YSMPose* pose = active >= 0 ? handle->GetGroupBounds(active, frameWord) : nullptr) {
        YMatrix poseMatrix;
        PoseMatrix(*pose, &poseMatrix);
        Then(&local, poseMatrix, local);
    }
    Then(&q.m_matrix, local, q.m_parent);
    q.m_matrixScale = std::fabs(o->m_scale) * q.m_parentScale;
    YMatrix inverse;
    if (!InvertAffine(q.m_matrix, &inverse)) return;
    const YMatrix matrix = q.m_matrix;
    const float matrixScale = q.m_matrixScale;

    bool traced = false;
    for (const YSMGroupHandle& state : handle->m_groupStates) traced = traced || (state.flags & 0x10);
    if (traced) {
        float ms[3], me[3];
        MapPoint(inverse, q.m_from, ms);
        MapPoint(inverse, q.m_to, me);
        const float md[3] = {me[0] - ms[0], me[1] - ms[1], me[2] - ms[2]};
        float shell = 1.0f;
        if (active >= 0 && static_cast<size_t>(active) < model.m_groups.size()) {
            const float g = model.m_groups[active]->shellScale;
            if (g > 0.0f && std::isfinite(g)) shell = g;
        }
        const DWORD polyCode = type == 0 ? 0x68 : type == 1 ? 0x78 : 3;
        const DWORD boxCode = type == 0 ? 0x48 : type == 1 ? 0x58 : 5;
        const DWORD texCode = type == 0 ? 0x28 : type == 1 ? 0x38 : 3;
        const DWORD nearCode = type == 0 ? 0x88 : type == 1 ? 0x98 : 1;
        // A tree's record lives only for the trace: tree hits name no object.
        void* hitObject = tree ? nullptr : owner ? static_cast<void*>(owner) : q.m_nodeId;
        const size_t vertices =
            std::min(frame.positions.size() / 3, static_cast<size_t>(std::max<int16_t>(model.m_vertexCount, 0)));
        auto vertex = [&](int16_t index) -> const float* {
            return index >= 0 && static_cast<size_t>(index) < vertices ? &frame.positions[3 * index] : nullptr;
        };
        auto storeModelHit = [&](DWORD code, const float* point, float d2, const float* normal, uint16_t group) {
            res.m_hitCode = code;
            res.m_hitObject = hitObject;
            res.m_model = handle;
            res.m_nodeFlags = q.m_nodeFlags;
            res.m_group = group;
            res.m_distance2 = d2;
            for (int i = 0; i < 3; ++i) {
                res.m_hitPoint[i] = point[i];
                res.m_objectPosition[i] = matrix.m[3][i];
                res.m_objectAngles[i] = o->m_angles[i];
                res.m_normal[i] = normal[i];
            }
            res.m_objectScale = o->m_scale;
            res.m_objectHeight = 0.0f;
            res.m_side = tree ? 1 : 0;
            if (tree) {
                res.m_itemSlot = static_cast<uint8_t>(q.m_itemSlot);
                res.m_cell = q.m_cell;
                res.m_typeIndex = static_cast<uint16_t>(o->m_typeIndex);
                res.m_typeCopy = o->m_typeIndex;
            }
        };
        // The nearest face of the groups whose state passes, in model space.
        struct FaceHit {
            bool found = false;
            float t = 0;
            const YSMFace* face = nullptr;
            uint16_t group = 0xFFFF;
        };
        auto nearestFace = [&](auto pass) {
            FaceHit best;
            for (size_t g = 0; g < model.m_groups.size() && g < handle->m_groupStates.size(); ++g) {
                if (!pass(handle->m_groupStates[g].flags)) continue;
                for (uint16_t f : model.m_groups[g]->faces) {
                    if (f >= model.m_faces.size()) continue;
                    const YSMFace& face = model.m_faces[f];
                    const float* a = vertex(face.v[0]);
                    const float* b = vertex(face.v[1]);
                    const float* c = vertex(face.v[2]);
                    float t;
                    if (!a || !b || !c || !IntersectRayTriangle(ms, md, a, b, c, &t, nullptr, nullptr)) continue;
                    if (!(t > 0.0f) || (best.found && !(t < best.t))) continue;
                    best.found = true, best.t = t, best.face = &face, best.group = static_cast<uint16_t>(g);
                }
            }
            return best;
        };
        auto faceNormal = [&](const YSMFace& face, float* out) {
            const float* a = vertex(face.v[0]);
            const float* b = vertex(face.v[1]);
            const float* c = vertex(face.v[2]);
            const float e1[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
            const float e2[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
            const float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                                e1[0] * e2[1] - e1[1] * e2[0]};
            UnitNormal(matrix, n, out);  // uniform scales only: the matrix keeps directions
        };

        float boxMin[3], boxSize[3], rs[3], re[3], entry[3];
        int first = 0;
        if (ScaledBox(frame.boxAMin, frame.boxAMax, shell, boxMin, boxSize)) {
            for (int i = 0; i < 3; ++i) rs[i] = ms[i] - boxMin[i], re[i] = me[i] - boxMin[i];
            first = SegmentBox(rs, re, boxSize, entry);
        }
        if (first) {
            // Polygons of the groups marked 0x20.
            if (((flags & 0x4) && tree) || ((flags & 0x40) && !tree)) {
                const FaceHit hit = nearestFace([](uint32_t f) { return (f & 0x20) != 0; });
                if (hit.found) {
                    const float mp[3] = {ms[0] + hit.t * md[0], ms[1] + hit.t * md[1], ms[2] + hit.t * md[2]};
                    float wp[3], n[3];
                    MapPoint(matrix, mp, wp);
                    const float d2 = Distance2(wp, q.m_from);
                    if (d2 < res.m_distance2) {
                        faceNormal(*hit.face, n);
                        storeModelHit(polyCode, wp, d2, n, hit.group);
                    }
                }
            }
            // The second box, where it differs from the first.
            if (std::memcmp(frame.boxBMin, frame.boxAMin, sizeof(frame.boxAMin)) ||
                std::memcmp(frame.boxBMax, frame.boxAMax, sizeof(frame.boxAMax))) {
                float min2[3], size2[3], rs2[3], re2[3], point[3];
                if (ScaledBox(frame.boxBMin, frame.boxBMax, shell, min2, size2)) {
                    for (int i = 0; i < 3; ++i) rs2[i] = ms[i] - min2[i], re2[i] = me[i] - min2[i];
                    const int face = SegmentBox(rs2, re2, size2, point);
                    if (face >= 1 && face <= 6) {
                        const float mp[3] = {point[0] + min2[0], point[1] + min2[1], point[2] + min2[2]};
                        float wp[3], n[3];
                        MapPoint(matrix, mp, wp);
                        const float d2 = Distance2(wp, q.m_from);
                        if (d2 < res.m_distance2) {
                            UnitNormal(matrix, kBoxNormals[face - 1], n);
                            storeModelHit(boxCode, wp, d2, n, 0xFFFF);
                        }
                    }
                }
            }
            // Traced groups with texture coordinates.
            if (flags & (0x20 | 0x2)) {
                const FaceHit hit = nearestFace([](uint32_t f) { return (f & 0x10) && !(f & 0x40); });
                if (hit.found) {
                    const float mp[3] = {ms[0] + hit.t * md[0], ms[1] + hit.t * md[1], ms[2] + hit.t * md[2]};
                    float wp[3], n[3], uv[2];
                    MapPoint(matrix, mp, wp);
                    const float d2 = Distance2(wp, q.m_from);
                    if (d2 < res.m_distance2) {
                        const YSMFace& f = *hit.face;
                        InterpolateTriangleUV(vertex(f.v[0]), vertex(f.v[1]), vertex(f.v[2]), mp, &f.uv[0], &f.uv[2],
                                              &f.uv[4], uv);
                        faceNormal(f, n);
                        storeModelHit(texCode, wp, d2, n, hit.group);
                        res.m_texel[0] = uv[0], res.m_texel[1] = uv[1], res.m_texel[2] = res.m_texel[3] = 0.0f;
                    }
                }
            }
            // Vertices within the swept radius (measured in world space).
            const float origin[3] = {matrix.m[3][0], matrix.m[3][1], matrix.m[3][2]};
            if ((flags & 0x80) && Distance2(origin, q.m_from) < res.m_distance2) {
                int counted = 0;
                for (size_t g = 0; g < model.m_groups.size() && g < handle->m_groupStates.size(); ++g) {
                    YSMGroupHandle& state = handle->m_groupStates[g];
                    if (!(state.flags & 0x10)) continue;
                    bool near = false;
                    auto test = [&](int16_t vi) {
                        const float* mv = vertex(vi);
                        if (!mv) return;
                        float wv[3], t, d2;
                        MapPoint(matrix, mv, wv);
                        const float p[3] = {wv[0] - q.m_from[0], wv[1] - q.m_from[1], wv[2] - q.m_from[2]};
                        if (!PointSegmentDistance(p, q.m_delta, &t, &d2)) return;
                        const float r = q.m_radiusFrom + t * (q.m_radiusTo - q.m_radiusFrom);
                        if (d2 <= r * r) near = true, ++counted;
                    };
                    const YSMGroup& group = *model.m_groups[g];
                    if (!group.usedVertices.empty()) {
                        for (uint16_t vi : group.usedVertices) test(static_cast<int16_t>(vi));
                    } else {
                        for (uint16_t f : group.faces)
                            if (f < model.m_faces.size())
                                for (int16_t vi : model.m_faces[f].v) test(vi);
                    }
                    if (near) state.flags |= 0x4000;
                }
                if (counted) {
                    res.m_hitCode = nearCode;
                    res.m_hitObject = hitObject;
                    res.m_model = handle;
                    res.m_nodeFlags = q.m_nodeFlags;
                }
            }
        }
    }

    // Attached objects, each at its group's marker of this frame.
    if (!o->m_children || q.m_depth >= kMaxAttachDepth) return;
    const float reference = handle->GetReferenceSize();
    for (uint16_t i = 0; i < o->m_childCount; ++i) {
        YRenderInstance* child = o->m_children[i];
        if (!child || child == o || !(child->m_flags & 0x4) || (child->m_flags & 0x2)) continue;
        if ((flags & 0x1000) && (child->m_flags & 0x8)) continue;
        const int16_t group = child->m_attachIndex >= 0 ? child->m_attachIndex : active;
        const YSMPose* pose = group >= 0 ? handle->GetGroupBounds(group, frameWord) : nullptr;
        YMatrix attach;
        float attachScale = 1.0f;
        Identity(&attach);
        if (pose) {
            attachScale = pose->v[9] / reference;
            if (!(attachScale > 0.0f) || !std::isfinite(attachScale)) continue;
            YMatrix toMarker, fromMarker, scaling;
            PoseMatrix(*pose, &toMarker);
            if (!InvertAffine(toMarker, &fromMarker)) continue;
            MatrixScalingOut(&scaling, attachScale, attachScale, attachScale);
            Then(&attach, scaling, fromMarker);
        }
        const YMatrix savedParent = q.m_parent, savedInverse = q.m_parentInverse;
        const float savedScale = q.m_parentScale;
        Then(&q.m_parent, attach, matrix);
        q.m_parentScale = matrixScale * attachScale;
        if (InvertAffine(q.m_parent, &q.m_parentInverse)) {
            q.m_object = child;
            ++q.m_depth;
            CollideModelNode(q);
            --q.m_depth;
        }
        q.m_object = o;
        q.m_parent = savedParent, q.m_parentInverse = savedInverse, q.m_parentScale = savedScale;
        q.m_matrix = matrix, q.m_matrixScale = matrixScale;
    }
}
