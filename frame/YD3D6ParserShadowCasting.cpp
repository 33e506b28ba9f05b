// Casting one shadow: the caster's box, where its corners meet the ground
// along the light, a light-view projection over the box, the terrain
// triangles inside it lifted into the pool entry, and the caster's
// silhouette drawn by the software rasteriser into the entry's texture.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "assets3d/YD3D6Lock.h"
#include "assets3d/YSMHandle.h"
#include "assets3d/YSMObject.h"
#include "renderer/CTexRen.h"
#include "renderer/YD3D6Parser.h"

namespace {
const float kCastDistance2 = 360000.0f;
const double kTiny = 1e-9;
// A box narrower than this in the light view still maps onto a finite texture.
const float kLeastExtent = 1e-3f;
const int kMaxAttachDepth = 8;
const size_t kMaxShadowHits = 21845;  // three 16-bit vertex numbers each

bool Counts(const YSMHandle& handle, size_t g)
{
    const YSMObject* model = handle.m_model;
    if (!model || g >= model->m_groups.size() || g >= handle.m_groupStates.size()) return false;
    const YSMGroupHandle& state = handle.m_groupStates[g];
    const bool present = !handle.m_drawFrame ||
                         (g < handle.m_drawFrame->present.size() && handle.m_drawFrame->present[g] != 0);
    return (state.flags & 0x2) && !(state.flags & 0x800) && present && !model->m_groups[g]->faces.empty() &&
           state.slot >= 0;
}

size_t VertexCount(const YSMHandle& handle)
{
    const YSMObject* model = handle.m_model;
    if (!model) return 0;
    size_t n = size_t(std::max<int16_t>(model->m_vertexCount, 0));
    if (handle.m_drawFrame) n = std::min(n, handle.m_drawFrame->positions.size() / 3);
    return n;
}

float Pinned(float v)
{
    if (!(v > 0.0f)) return 0.0f;  // NaN too
    return v > 0.99f ? 0.99f : v;
}

void Transform(const float* m, const float* p, float* out)
{
    for (int c = 0; c < 3; ++c) out[c] = p[0] * m[c] + p[1] * m[4 + c] + p[2] * m[8 + c] + m[12 + c];
}
}  // namespace

bool ShadowPointInTriangle(float x, float y, float z, const YCellPlane& plane, const float* a, const float* b,
                           const float* c)
{
    if (plane.b == 0.0f) return false;
    const float p[3] = {x, y, z};
    const float* v[3] = {a, b, c};
    for (int axis = 0; axis < 3; ++axis) {
        if (a[axis] < p[axis] && b[axis] < p[axis] && c[axis] < p[axis]) return false;
        if (a[axis] > p[axis] && b[axis] > p[axis] && c[axis] > p[axis]) return false;
    }
    for (const float* q : v)
        if (q[0] == x && q[1] == y && q[2] == z) return true;
    for (int i = 0; i < 3; ++i) {
        const float* p0 = v[i];
        const float* p1 = v[(i + 1) % 3];
        double t = -1.0;
        if (p0[0] == x && p1[0] == x) {
            if (p1[2] != p0[2]) t = double(z - p0[2]) / double(p1[2] - p0[2]);
        } else if (p0[2] == z && p1[2] == z) {
            if (p1[0] != p0[0]) t = double(x - p0[0]) / double(p1[0] - p0[0]);
        } else if (p1[0] != p0[0] && p1[2] != p0[2]) {
            const double tx = double(x - p0[0]) / double(p1[0] - p0[0]);
            const double tz = double(z - p0[2]) / double(p1[2] - p0[2]);
            if (std::fabs(tx - tz) < kTiny) t = tx;
        }
        if (t > 0.0 && t < 1.0) return true;
    }
    bool inside = false;
    for (int i = 0, j = 2; i < 3; j = i++) {
        const float zi = v[i][2], zj = v[j][2];
        const float lower = std::min(zi, zj), upper = std::max(zi, zj);
        if (!(z >= lower && z < upper)) continue;
        const double cross = v[i][0] + double(z - zi) * (v[j][0] - v[i][0]) / double(zj - zi);
        if (double(x) < cross) inside = !inside;
    }
    return inside;
}

bool AddShadowHit(YD3D6ShadowCaster& caster, const YCellPolygon* item, const YCellPlane* plane, int32_t first,
                  int32_t second, int32_t third, const float* point)
{
    if (!item) return false;
    const int32_t positions[3] = {first, second, third};
    uint32_t numbers[3];
    for (int k = 0; k < 3; ++k) {
        if (positions[k] < 0 || size_t(positions[k]) >= item->m_corners.size()) return false;
        numbers[k] = item->m_corners[size_t(positions[k])].m_vertex;
    }
    for (const YD3D6ShadowHit& hit : caster.m_hits) {
        bool same = true;
        for (int k = 0; k < 3 && same; ++k)
            same = hit.item->m_corners[size_t(hit.corners[k])].m_vertex == numbers[k];
        if (!same) continue;
        if (!point) return false;
        bool near = true;
        for (int k = 0; k < 3 && near; ++k) near = int32_t(hit.point[k] - point[k]) == 0;
        if (near) return false;
    }
    if (caster.m_hits.size() >= kMaxShadowHits) return false;
    YD3D6ShadowHit hit;
    hit.item = item;
    hit.plane = plane;
    memcpy(hit.corners, positions, sizeof hit.corners);
    if (point) memcpy(hit.point, point, sizeof hit.point);
    caster.m_hits.push_back(hit);
    return true;
}

template <class F>
void YD3D6Parser::ForShadowCellTriangles(int32_t column, int32_t row, F f) const
{
    if (column < 0 || row < 0 || uint32_t(column) >= m_gridWidth || uint32_t(row) >= m_gridHeight) return;
    const size_t cell = size_t(row) * m_gridWidth + size_t(column);
    if (cell >= m_cells.size()) return;
    for (const YCellPolygon* polygon : m_cells[cell].m_polygons) {
        if (!polygon) continue;
        const size_t n = polygon->m_corners.size();
        auto one = [&](size_t p, size_t a, size_t b, size_t c) {
            if (p >= polygon->m_planes.size() || c >= n || a >= n || b >= n) return false;
            return f(polygon, polygon->m_planes[p], int32_t(a), int32_t(b), int32_t(c));
        };
        if (polygon->m_shape == YCellPolygon::kTriangle) {
            if (one(0, 0, 1, 2)) return;
            continue;
        }
        if (polygon->m_shape != YCellPolygon::kStrip || n < 3 || n == 2) continue;
        for (size_t u = 0; u < n - 2; u += 2) {
            if (one(u, u, u + 1, u + 2)) return;
            if (u + 1 < n - 2 && one(u + 1, u + 1, u + 3, u + 2)) return;
        }
    }
}

void YD3D6Parser::GetCasterBounds(YD3D6ShadowCaster& caster, float* min, float* max, uint8_t* empty)
{
    struct Walk {
        YD3D6Parser* self;
        float* min;
        float* max;
        uint8_t* empty;
        void operator()(YD3D6ShadowCaster& c, int depth)
        {
            const YSMHandle* handle = c.m_model;
            if (handle && handle->m_model && c.m_vertices) {
                const YSMObject& model = *handle->m_model;
                const size_t vertices = VertexCount(*handle);
                std::vector<uint8_t> marked(vertices, 0);
                for (size_t g = 0; g < model.m_groups.size(); ++g) {
                    if (!Counts(*handle, g)) continue;
                    for (uint16_t f : model.m_groups[g]->faces) {
                        if (f >= model.m_faces.size()) continue;
                        for (int16_t v : model.m_faces[f].v)
                            if (v >= 0 && size_t(v) < vertices) marked[size_t(v)] = 1;
                    }
                }
                for (size_t v = 0; v < vertices; ++v) {
                    if (!marked[v]) continue;
                    const float p[3] = {c.m_vertices[v].x, c.m_vertices[v].y, c.m_vertices[v].z};
                    for (int k = 0; k < 3; ++k) {
                        if (*empty || p[k] < min[k]) min[k] = p[k];
                        if (*empty || p[k] > max[k]) max[k] = p[k];
                    }
                    *empty = 0;
                }
            }
            if (depth >= kMaxAttachDepth) return;
            for (int16_t r : c.m_attached)
                if (r >= 0 && size_t(r) < self->m_shadowCasters.size()) (*this)(self->m_shadowCasters[size_t(r)], depth + 1);
        }
    };
    Walk{this, min, max, empty}(caster, 0);
}

bool YD3D6Parser::TraceShadowRay(const float* point, const float* direction, float maxDistance2,
                                 YD3D6ShadowCaster& caster)
{
    if (!HasGrid() || !(m_cellSizeRender > 0.0f)) return false;
    const float size = m_cellSizeRender;
    const float* origin = m_gridOrigin;
    float p[3] = {point[0], point[1], point[2]};
    const float* d = direction;
    double travelled = 0.0;
    bool hit = false;
    int32_t column = int32_t(std::floor((p[0] - origin[0]) / size));
    int32_t row = int32_t(std::floor((p[2] - origin[2]) / size));
    const double dd = double(d[0]) * d[0] + double(d[1]) * d[1] + double(d[2]) * d[2];
    // Enough steps to cross the whole distance cell by cell.
    const int64_t maxSteps = int64_t(2.0 * std::sqrt(std::max(double(maxDistance2), 0.0)) / size) + 4;
    for (int64_t step = 0; step <= maxSteps && !hit; ++step) {
        ForShadowCellTriangles(column, row, [&](const YCellPolygon* polygon, const YCellPlane& plane, int32_t a,
                                                int32_t b, int32_t c) {
            const double denominator = double(plane.a) * d[0] + double(plane.b) * d[1] + double(plane.c) * d[2];
            if (std::fabs(denominator) <= kTiny) return false;
            const double t =
                -(double(plane.a) * p[0] + double(plane.b) * p[1] + double(plane.c) * p[2] + plane.d) / denominator;
            const float q[3] = {float(p[0] + t * d[0]), float(p[1] + t * d[1]), float(p[2] + t * d[2])};
            const double dx = q[0] - p[0], dy = q[1] - p[1], dz = q[2] - p[2];
            if (!(dx * dx + dy * dy + dz * dz < maxDistance2)) return false;
            const float* va = VertexPosition(polygon->m_corners[size_t(a)].m_vertex);
            const float* vb = VertexPosition(polygon->m_corners[size_t(b)].m_vertex);
            const float* vc = VertexPosition(polygon->m_corners[size_t(c)].m_vertex);
            if (!va || !vb || !vc || !ShadowPointInTriangle(q[0], q[1], q[2], plane, va, vb, vc)) return false;
            hit = AddShadowHit(caster, polygon, &plane, a, b, c, q);
            return hit;
        });
        if (hit) break;
        if (std::fabs(d[0]) < kTiny && std::fabs(d[2]) < kTiny) break;
        // The next column or row boundary; each step enters the next cell.
        double tx = 360000.0, tz = 360000.0;
        if (std::fabs(d[0]) >= kTiny)
            tx = (double(origin[0]) + double(column + (d[0] > 0.0f ? 1 : 0)) * size - p[0]) / d[0];
        if (std::fabs(d[2]) >= kTiny)
            tz = (double(origin[2]) + double(row + (d[2] > 0.0f ? 1 : 0)) * size - p[2]) / d[2];
        tx = std::max(tx, 0.0), tz = std::max(tz, 0.0);
        const double t = std::min(tx, tz);
        for (int k = 0; k < 3; ++k) p[k] = float(p[k] + t * d[k]);
        if (tx <= tz)
            column += d[0] > 0.0f ? 1 : -1;
        else
            row += d[2] > 0.0f ? 1 : -1;
        travelled += dd * t * t;
        if (!(travelled < maxDistance2)) break;
    }
    if (hit) return true;

    // Nothing on the way: the ground at the horizontal reach of the walk.
    double h = std::sqrt(double(d[0]) * d[0] + double(d[2]) * d[2]);
    if (h == 0.0) h = 1.0;
    const double reach = std::sqrt(std::max(double(maxDistance2), 0.0)) / h;
    const float q[3] = {float(point[0] + d[0] * reach), float(point[1] + d[1] * reach), float(point[2] + d[2] * reach)};
    const float fc = (q[0] - origin[0]) / size, fr = (q[2] - origin[2]) / size;
    if (!(fc >= 0.0f && fr >= 0.0f && fc < float(m_gridWidth) && fr < float(m_gridHeight))) return false;
    ForShadowCellTriangles(int32_t(fc), int32_t(fr), [&](const YCellPolygon* polygon, const YCellPlane& plane,
                                                          int32_t a, int32_t b, int32_t c) {
        const float* va = VertexPosition(polygon->m_corners[size_t(a)].m_vertex);
        const float* vb = VertexPosition(polygon->m_corners[size_t(b)].m_vertex);
        const float* vc = VertexPosition(polygon->m_corners[size_t(c)].m_vertex);
        float height = 0.0f;
        if (!va || !vb || !vc || !TestCellTriangle(q[0], q[2], plane, va, vb, vc, &height)) return false;
        const float ground[3] = {q[0], height, q[2]};
        hit = AddShadowHit(caster, polygon, &plane, a, b, c, ground);
        return true;
    });
    return hit;
}

void YD3D6Parser::BuildShadowProjection(YD3D6ShadowCaster& caster, const float* light)
{
    const float pitch = std::asin(std::min(std::max(light[1], -1.0f), 1.0f));
    const float cp = std::cos(pitch);
    float q = cp != 0.0f ? light[0] / cp : 0.0f;
    q = std::min(std::max(q, -1.0f), 1.0f);
    caster.m_lightPitch = pitch;
    caster.m_lightYaw = -std::asin(q);

    // A view looking along the light: its rows are side, up and forward.
    float f[3] = {light[0], light[1], light[2]};
    float length = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
    if (!(length > 0.0f)) f[0] = 0.0f, f[1] = -1.0f, f[2] = 0.0f, length = 1.0f;
    for (float& c : f) c /= length;
    float side[3] = {1.0f, 0.0f, 0.0f};
    const float h = std::sqrt(f[0] * f[0] + f[2] * f[2]);
    if (h > 1e-6f) side[0] = f[2] / h, side[1] = 0.0f, side[2] = -f[0] / h;
    const float up[3] = {f[1] * side[2] - f[2] * side[1], f[2] * side[0] - f[0] * side[2], f[0] * side[1] - f[1] * side[0]};
    float eye[3];
    for (int k = 0; k < 3; ++k) eye[k] = caster.m_position[k] - 256.0f * f[k];
    float view[16] = {side[0], up[0], f[0], 0, side[1], up[1], f[1], 0, side[2], up[2], f[2], 0, 0, 0, 0, 1};
    for (int c = 0; c < 3; ++c) view[12 + c] = -(eye[0] * view[c] + eye[1] * view[4 + c] + eye[2] * view[8 + c]);

    float lo[3] = {0, 0, 0}, hi[3] = {0, 0, 0};
    for (int k = 0; k < 8; ++k) {
        float v[3];
        Transform(view, caster.m_corners[k], v);
        for (int c = 0; c < 3; ++c) {
            if (k == 0 || v[c] < lo[c]) lo[c] = v[c];
            if (k == 0 || v[c] > hi[c]) hi[c] = v[c];
        }
    }
    // A caster flat in the light view (a point, a line) keeps a least
    // extent, so that no scale becomes infinite.
    float scale[3];
    for (int c = 0; c < 2; ++c) {
        const float extent = hi[c] - lo[c];
        scale[c] = 1.0f / (std::isfinite(extent) && extent > kLeastExtent ? extent : kLeastExtent);
    }
    float depth = 2.0f * hi[2] - lo[2];
    if (!std::isfinite(depth) || std::fabs(depth) < kLeastExtent) depth = depth < 0.0f ? -kLeastExtent : kLeastExtent;
    scale[2] = 1.0f / depth;
    float* m = caster.m_projection;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c) m[r * 4 + c] = (view[r * 4 + c] - (r == 3 ? lo[c] : 0.0f)) * scale[c];
    m[3] = m[7] = m[11] = 0.0f;
    m[15] = 1.0f;
    // Planes from the columns: 3-0, 3+0, 3+1, 3-1, 3+2, 3-2.
    const int columns[6] = {0, 0, 1, 1, 2, 2};
    const float signs[6] = {-1, 1, 1, -1, 1, -1};
    for (int p = 0; p < 6; ++p)
        for (int r = 0; r < 4; ++r) caster.m_planes[p][r] = m[r * 4 + 3] + signs[p] * m[r * 4 + columns[p]];
}

void YD3D6Parser::CollectShadowReceivers(YD3D6ShadowCaster& caster)
{
    if (!HasGrid() || !(m_cellSizeRender > 0.0f)) return;
    auto index = [&](float v, float origin, uint32_t count) {
        const float f = std::floor((v - origin) / m_cellSizeRender);
        if (!(f > 0.0f)) return int32_t(0);
        return f >= float(count) ? int32_t(count) - 1 : int32_t(f);
    };
    const int32_t c0 = index(caster.m_groundMin[0], m_gridOrigin[0], m_gridWidth);
    const int32_t c1 = index(caster.m_groundMax[0], m_gridOrigin[0], m_gridWidth);
    const int32_t r0 = index(caster.m_groundMin[2], m_gridOrigin[2], m_gridHeight);
    const int32_t r1 = index(caster.m_groundMax[2], m_gridOrigin[2], m_gridHeight);
    for (int32_t row = r0; row <= r1; ++row)
        for (int32_t column = c0; column <= c1; ++column)
            ForShadowCellTriangles(column, row, [&](const YCellPolygon* polygon, const YCellPlane& plane, int32_t a,
                                                    int32_t b, int32_t c) {
                if (!(polygon->m_kind & 0x01)) return false;
                const float* v[3] = {VertexPosition(polygon->m_corners[size_t(a)].m_vertex),
                                     VertexPosition(polygon->m_corners[size_t(b)].m_vertex),
                                     VertexPosition(polygon->m_corners[size_t(c)].m_vertex)};
                if (!v[0] || !v[1] || !v[2]) return false;
                for (const float* pl : caster.m_planes) {
                    bool outside = true;
                    for (const float* p : v) outside = outside && p[0] * pl[0] + p[1] * pl[1] + p[2] * pl[2] + pl[3] < 0.0f;
                    if (outside) return false;
                }
                AddShadowHit(caster, polygon, &plane, a, b, c, nullptr);
                return false;
            });
}

void YD3D6Parser::BuildShadowGeometry(YD3D6ShadowCaster& caster, YD3D6ShadowEntry& entry)
{
    FreeShadowGeometry(entry);
    const size_t n = std::min(caster.m_hits.size(), kMaxShadowHits);
    entry.vertices.resize(n * 3);
    entry.triangles.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const YD3D6ShadowHit& hit = caster.m_hits[i];
        YD3D6ShadowEntry::Triangle& tri = entry.triangles[i];
        for (int k = 0; k < 3; ++k) {
            YD3D6ShadowEntry::Vertex& v = entry.vertices[i * 3 + size_t(k)];
            memset(&v, 0, sizeof v);
            const uint32_t number = hit.item->m_corners[size_t(hit.corners[k])].m_vertex;
            if (number < m_mapVertices.size()) {
                const YMapVT3Vertex& p = m_mapVertices[number];
                v.position[0] = p.m_x, v.position[1] = p.m_y + 0.25f, v.position[2] = p.m_z;
                TerrainNormal(p, v.normal);
            }
            float out[3];
            Transform(caster.m_projection, v.position, out);
            tri.v[k] = uint16_t(i * 3 + size_t(k));
            tri.uv[2 * k] = out[0];
            tri.uv[2 * k + 1] = out[1];
        }
    }
    entry.triangleCount = int32_t(n);
}

void YD3D6Parser::CountCasterGeometry(YD3D6ShadowCaster& caster, int32_t* vertices, int32_t* triangles)
{
    struct Walk {
        YD3D6Parser* self;
        int32_t* vertices;
        int32_t* triangles;
        void operator()(YD3D6ShadowCaster& c, int depth)
        {
            if (c.m_model && c.m_model->m_model) {
                *vertices += int32_t(VertexCount(*c.m_model));
                *triangles += int32_t(c.m_model->m_model->m_faces.size());
            }
            if (depth >= kMaxAttachDepth) return;
            for (int16_t r : c.m_attached)
                if (r >= 0 && size_t(r) < self->m_shadowCasters.size()) (*this)(self->m_shadowCasters[size_t(r)], depth + 1);
        }
    };
    Walk{this, vertices, triangles}(caster, 0);
}

void YD3D6Parser::ProjectCasterGeometry(YD3D6ShadowCaster& caster, std::vector<int32_t>& points,
                                        std::vector<int32_t>& triangles, int32_t* base, int32_t* count,
                                        const float* matrix, float scaleX, float scaleY)
{
    struct Walk {
        YD3D6Parser* self;
        std::vector<int32_t>& points;
        std::vector<int32_t>& triangles;
        int32_t* base;
        int32_t* count;
        const float* m;
        float sx, sy;
        int32_t width, height;
        void operator()(YD3D6ShadowCaster& c, int depth)
        {
            YSMHandle* handle = c.m_model;
            if (handle && handle->m_model && c.m_vertices) {
                const YSMObject& model = *handle->m_model;
                const size_t vertices = VertexCount(*handle);
                for (size_t g = 0; g < handle->m_groupStates.size(); ++g) {
                    if (Counts(*handle, g))
                        handle->m_groupStates[g].flags |= YSMHandle::kGroupMarked;
                    else
                        handle->m_groupStates[g].flags &= ~uint32_t(YSMHandle::kGroupMarked);
                }
                for (size_t v = 0; v < vertices; ++v) {
                    const float p[3] = {c.m_vertices[v].x, c.m_vertices[v].y, c.m_vertices[v].z};
                    float out[3];
                    Transform(m, p, out);
                    const float u = Pinned(out[0]), t = Pinned(out[1]);
                    points.push_back(int32_t(sx * float(height - 1) * u));
                    points.push_back(int32_t(sy * float(width - 1) * t));
                }
                for (size_t g = 0; g < model.m_groups.size() && g < handle->m_groupStates.size(); ++g) {
                    if (!(handle->m_groupStates[g].flags & YSMHandle::kGroupMarked)) continue;
                    for (uint16_t f : model.m_groups[g]->faces) {
                        if (f >= model.m_faces.size()) continue;
                        const YSMFace& face = model.m_faces[f];
                        if (face.v[0] < 0 || face.v[1] < 0 || face.v[2] < 0 || size_t(face.v[0]) >= vertices ||
                            size_t(face.v[1]) >= vertices || size_t(face.v[2]) >= vertices)
                            continue;
                        for (int k = 0; k < 3; ++k) triangles.push_back(*base + face.v[k]);
                        ++*count;
                    }
                }
                *base += int32_t(vertices);
            }
            if (depth >= kMaxAttachDepth) return;
            for (int16_t r : c.m_attached)
                if (r >= 0 && size_t(r) < self->m_shadowCasters.size()) (*this)(self->m_shadowCasters[size_t(r)], depth + 1);
        }
    };
    Walk{this, points, triangles, base, count, matrix, scaleX, scaleY, caster.m_textureWidth, caster.m_textureHeight}(
        caster, 0);
}

void YD3D6Parser::RenderShadowTexture(YD3D6ShadowCaster& caster, YD3D6ShadowWorkTexture* work,
                                      YD3D6ShadowEntry& entry, float fade, const float* matrix)
{
    const int32_t width = caster.m_textureWidth, height = caster.m_textureHeight;
    if (!work || !work->lock || !work->lock->m_pSurface || width <= 0 || height <= 0 || !m_softwareRasteriser ||
        !m_greyRamp || width > 1024 || height > 1024)
        return;
    if (!(fade > 0.0f)) fade = 0.0f;
    fade = std::min(fade, 1.0f);
    const int32_t rows = std::max(width, height);
    m_shadowFade.assign(size_t(rows), 0);
    const int32_t n = int32_t(float(width) * fade);
    for (int32_t i = 0; i < n && i < rows; ++i) m_shadowFade[size_t(i)] = uint16_t(float(n - 1 - i) * 255.0f * fade / float(n));

    IDirectDrawSurface7* surface = work->lock->m_pSurface;
    DDSURFACEDESC2 desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr)) || !desc.lpSurface) return;
    std::vector<uint16_t> image(size_t(width) * size_t(height), 0xFFFF);
    CTexRen& r = *m_softwareRasteriser;
    r.SetRowWeights(m_shadowFade.data());
    r.SetColorTable(m_greyRamp);
    r.SetTarget(image.data());
    r.SetHeight(height);
    r.SetWidth(width);

    int32_t vertices = 0, triangles = 0;
    CountCasterGeometry(caster, &vertices, &triangles);
    std::vector<int32_t> points, indexes;
    points.reserve(size_t(vertices) * 2);
    indexes.reserve(size_t(triangles) * 3);
    int32_t base = 0, count = 0;
    ProjectCasterGeometry(caster, points, indexes, &base, &count, matrix, r.GetSampleScaleX(), r.GetSampleScaleY());
    r.SetPoints(reinterpret_cast<const CTexRen::Point*>(points.data()), int32_t(points.size() / 2));
    r.SetTriangles(indexes.data(), count);
    r.Render(int32_t((1.0f - m_shadowLightLevel) * 255.0f));
    r.SetPoints(nullptr, 0);
    r.SetTriangles(nullptr, 0);

    const int32_t surfaceWidth = std::min(int32_t(desc.dwWidth), width);
    const int32_t surfaceHeight = std::min(int32_t(desc.dwHeight), height);
    for (int32_t y = 0; y < surfaceHeight; ++y)
        memcpy(static_cast<uint8_t*>(desc.lpSurface) + size_t(y) * size_t(desc.lPitch), image.data() + size_t(y) * size_t(width),
               size_t(surfaceWidth) * 2);
    surface->Unlock(nullptr);
    if (entry.lock && entry.lock->m_pSurface) {
        RECT source = {0, 0, surfaceWidth, surfaceHeight};
        entry.lock->m_pSurface->BltFast(0, 0, surface, &source, DDBLTFAST_WAIT);
    }
}

void YD3D6Parser::CastShadow(YD3D6ShadowCaster& caster, const float* light, YD3D6ShadowWorkTexture* work,
                             YD3D6ShadowEntry& entry, int32_t number)
{
    uint8_t empty = 1;
    float lo[3] = {0, 0, 0}, hi[3] = {0, 0, 0};
    GetCasterBounds(caster, lo, hi, &empty);
    bool grounded = false;
    caster.m_hits.clear();
    if (!empty) {
        memcpy(caster.m_boxMin, lo, sizeof lo);
        memcpy(caster.m_boxMax, hi, sizeof hi);
        for (int k = 0; k < 8; ++k)
            for (int c = 0; c < 3; ++c) caster.m_corners[k][c] = (k >> c) & 1 ? hi[c] : lo[c];
        // The corners walk towards the ground, against the light's vector.
        const float down[3] = {light[1] > 0.0f ? -light[0] : light[0], light[1] > 0.0f ? -light[1] : light[1],
                               light[1] > 0.0f ? -light[2] : light[2]};
        for (int k = 0; k < 8; ++k) {
            caster.m_hits.clear();
            if (!TraceShadowRay(caster.m_corners[k], down, kCastDistance2, caster) || caster.m_hits.empty()) continue;
            const float* p = caster.m_hits[0].point;
            for (int c = 0; c < 3; ++c) {
                if (!grounded || p[c] < caster.m_groundMin[c]) caster.m_groundMin[c] = p[c];
                if (!grounded || p[c] > caster.m_groundMax[c]) caster.m_groundMax[c] = p[c];
            }
            grounded = true;
        }
    }
    if (empty || !grounded) {
        FreeShadowGeometry(entry);
        entry.triangleCount = 0;
    } else {
        std::vector<YD3D6ShadowHit>().swap(caster.m_hits);
        BuildShadowProjection(caster, light);
        const float* m = caster.m_projection;
        float fade = 0.0f;
        for (int k = 0; k < 8; ++k) {
            const float p[3] = {(k & 1) ? caster.m_groundMax[0] : caster.m_groundMin[0],
                                (k & 2) ? caster.m_groundMax[1] : caster.m_groundMin[1],
                                (k & 4) ? caster.m_groundMax[2] : caster.m_groundMin[2]};
            const float v = p[0] * m[1] + p[1] * m[5] + p[2] * m[9] + m[13];
            if (v > fade) fade = v;
        }
        fade = std::min(fade, 1.0f);
        CollectShadowReceivers(caster);
        BuildShadowGeometry(caster, entry);
        RenderShadowTexture(caster, work, entry, fade, m);
        std::vector<YD3D6ShadowHit>().swap(caster.m_hits);
    }
    SetCasterShadowSlot(caster, int16_t(number));
    std::vector<int16_t>().swap(caster.m_attached);
}
