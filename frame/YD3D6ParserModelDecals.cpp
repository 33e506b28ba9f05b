// Decals on models: the part of a placed model's surface under a decal is
// cut into a YSMDecal that the handle keeps and draws with its own texture
// pairs; and the shadow marker, kept in the same list.
#include <algorithm>
#include <cmath>

#include "assets3d/YSMDecal.h"
#include "assets3d/YSMHandle.h"
#include "assets3d/YSMObject.h"
#include "foundation/YFastMath.h"
#include "renderer/YD3D6Parser.h"
#include "world/YRenderInstance.h"

namespace {
const uint32_t kReceivesDecals = 0x80;
// Room a new decal keeps beyond the model's triangles.
const size_t kSpareTriangles = 32;

void Point(const YMatrix& m, const float* p, float* out)
{
    for (int c = 0; c < 3; ++c) out[c] = p[0] * m.m[0][c] + p[1] * m.m[1][c] + p[2] * m.m[2][c] + m.m[3][c];
}

void Direction(const YMatrix& m, const float* p, float* out)
{
    for (int c = 0; c < 3; ++c) out[c] = p[0] * m.m[0][c] + p[1] * m.m[1][c] + p[2] * m.m[2][c];
}

float Dot(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
}  // namespace

int YD3D6Parser::AddModelDecal(YRenderInstance* instance, int16_t texture, const float* hit, const float* origin,
                               float size, float roll)
{
    // Placed map objects are models too.
    if (!instance || (instance->m_kind != 0 && instance->m_kind != kPlacedKind)) return 0;
    if (instance->m_subKind != 0 && instance->m_subKind != 1) return 0;
    if (texture < 0 || texture >= GetTextureCount() || !hit || !origin) return 0;
    if (!instance->m_model || !instance->m_model->m_model) return 0;
    DecalWalk walk;
    walk.record = instance;
    MakeIdentityMatrix(&walk.matrix);
    MakeIdentityMatrix(&walk.rotation);
    walk.scale = 1.0f;
    walk.interpolate = m_mapSettings[kBlendWord];
    AddDecalToNode(&walk, texture, hit, origin, 2.0f * size, roll);
    return 1;
}

void YD3D6Parser::AddDecalToNode(DecalWalk* walk, int16_t texture, const float* hit, const float* origin, float width,
                                 float roll)
{
    YRenderInstance* record = walk->record;
    YSMHandle* handle = record ? record->m_model : nullptr;
    YSMObject* model = handle ? handle->m_model : nullptr;
    if (!model) return;
    FrameChoice pose;
    if (!SelectModelFrame(*handle, walk->interpolate != 0, &pose)) return;

    // The node's place, as the model draw puts it.
    YMatrix world, rotation;
    PlaceModelRecord(*record, *handle, pose, walk->matrix, walk->rotation, &world, &rotation);
    const float scale = ModelRecordScale(*record, *handle, pose) * walk->scale;

    // Groups that take decals.
    std::vector<uint8_t> receiving(model->m_groups.size(), 0);
    bool any = false;
    for (size_t g = 0; g < model->m_groups.size(); ++g) {
        const YSMGroup& group = *model->m_groups[g];
        receiving[g] = (group.flags & kReceivesDecals) && !group.faces.empty();
        any = any || receiving[g];
    }

    const float d[3] = {hit[0] - origin[0], hit[1] - origin[1], hit[2] - origin[2]};
    const float length = std::sqrt(Dot(d, d));
    if (any && length > 0.0f && std::isfinite(length) && width > 0.0f && std::isfinite(width)) {
        // The projection basis: the decal's square across the line.
        const float yaw = -std::atan2(d[0], d[2]);
        const float h = d[2] * std::cos(yaw) - d[0] * std::sin(yaw);
        const float pitch = std::atan2(d[1], h);
        YMatrix basis, part;
        MatrixRotationZ(&basis, roll);
        MatrixMultiplyAffineOut(&basis, MatrixRotationX(&part, pitch), &basis);
        MatrixMultiplyAffineOut(&basis, MatrixRotationY(&part, yaw), &basis);
        const float k = 1.0f / width;
        // Towards the one who threw it: surfaces facing it take the decal.
        const float back[3] = {-d[0] / length, -d[1] / length, -d[2] / length};

        const YSMFrame& frame = *pose.frame;
        size_t count = size_t(std::max<int16_t>(model->m_vertexCount, 0));
        count = std::min({count, frame.positions.size() / 3, frame.normals.size() / 3});
        if (pose.next) count = std::min({count, pose.next->positions.size() / 3, pose.next->normals.size() / 3});
        std::vector<float> us(count), vs(count), facing(count);
        for (size_t v = 0; v < count; ++v) {
            float p[3], n[3], w[3], r[3];
            for (int i = 0; i < 3; ++i) {
                p[i] = frame.positions[3 * v + size_t(i)];
                n[i] = frame.normals[3 * v + size_t(i)];
                if (pose.next) {
                    p[i] += pose.blend * (pose.next->positions[3 * v + size_t(i)] - p[i]);
                    n[i] += pose.blend * (pose.next->normals[3 * v + size_t(i)] - n[i]);
                }
            }
            Point(world, p, w);
            for (int i = 0; i < 3; ++i) w[i] -= hit[i];
            us[v] = 0.5f + Dot(basis.m[0], w) * k;
            vs[v] = 0.5f + Dot(basis.m[1], w) * k;
            Direction(rotation, n, r);
            facing[v] = Dot(r, back);
        }

        YSMDecal* decal = new YSMDecal;
        decal->m_texture = texture;
        decal->m_flags = 0;
        decal->m_triangles.reserve(model->m_faces.size() + kSpareTriangles);
        for (size_t g = 0; g < model->m_groups.size(); ++g) {
            if (!receiving[g]) continue;
            for (uint16_t f : model->m_groups[g]->faces) {
                if (f >= model->m_faces.size()) continue;
                const YSMFace& face = model->m_faces[f];
                if (std::any_of(face.v, face.v + 3, [&](int16_t i) { return i < 0 || size_t(i) >= count; })) continue;
                const size_t a = size_t(face.v[0]), b = size_t(face.v[1]), c = size_t(face.v[2]);
                if (facing[a] + facing[b] + facing[c] < 0.0f) continue;
                const float minU = std::min({us[a], us[b], us[c]}), maxU = std::max({us[a], us[b], us[c]});
                const float minV = std::min({vs[a], vs[b], vs[c]}), maxV = std::max({vs[a], vs[b], vs[c]});
                if (maxU < 0.0f || minU > 1.0f || maxV < 0.0f || minV > 1.0f) continue;
                YSMDecal::Triangle t;
                for (int i = 0; i < 3; ++i) {
                    t.v[i] = face.v[i];
                    t.uv[2 * i] = us[size_t(face.v[i])];
                    t.uv[2 * i + 1] = vs[size_t(face.v[i])];
                }
                decal->m_triangles.push_back(t);
            }
        }
        if (decal->m_triangles.empty() || decal->m_triangles.size() * 3 > 0x10000) {
            delete decal;
        } else {
            // One decal vertex per model vertex and texture pair.
            for (const YSMDecal::Triangle& t : decal->m_triangles)
                for (int i = 0; i < 3; ++i) {
                    const float u = t.uv[2 * i], v = t.uv[2 * i + 1];
                    size_t at = 0;
                    while (at < decal->m_vertices.size() &&
                           !(decal->m_vertices[at].vertex == t.v[i] && decal->m_vertices[at].u == u &&
                             decal->m_vertices[at].v == v))
                        ++at;
                    if (at == decal->m_vertices.size()) decal->m_vertices.push_back({t.v[i], u, v});
                    decal->m_indices.push_back(uint16_t(at));
                }
            decal->m_triangleCount = int32_t(decal->m_triangles.size());
            decal->m_vertexCount = int32_t(decal->m_vertices.size());
            handle->AddDecal(decal);
        }
    }

    // The attached models, each in its place on this one.
    if (!record->m_children || walk->level + 1 >= kDrawLevels) return;
    for (uint16_t c = 0; c < record->m_childCount; ++c) {
        YRenderInstance* child = record->m_children[c];
        if (!child) continue;
        DecalWalk next = *walk;
        next.record = child;
        next.level = walk->level + 1;
        if (!PlaceChildRecord(*child, *handle, pose, world, rotation, scale, &next.matrix, &next.rotation, &next.scale)) {
            next.matrix = world;
            next.rotation = rotation;
            next.scale = scale;
        }
        AddDecalToNode(&next, texture, hit, origin, width, roll);
    }
}

int YD3D6Parser::MarkModelShadows(YSMHandle* handle, DWORD mode)
{
    if (!handle) return 0;
    if (mode == 1) {
        for (const YSMDecal* decal : handle->m_decals)
            if (decal && (decal->m_flags & YSMDecal::kShadowMarker)) return 1;
        YSMDecal* marker = new YSMDecal;
        marker->m_flags = YSMDecal::kShadowMarker;
        handle->AddDecal(marker);
        if (handle->GetDecalCount() == 0) delete marker;
        return 1;
    }
    for (int16_t i = handle->GetDecalCount(); i-- > 0;) {
        const YSMDecal* decal = handle->m_decals[size_t(i)];
        if (decal && (decal->m_flags & YSMDecal::kShadowMarker)) handle->RemoveDecal(i);
    }
    return 1;
}
