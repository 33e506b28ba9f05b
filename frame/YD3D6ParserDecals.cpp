// Ground marks: a ring of decal records in the session's render-record
// array, each with a small mesh that follows the terrain.  A mark laid from
// above is cut along every terrain edge under it; an oriented mark is made
// of the terrain triangles it covers, clipped to its square.
#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "assets3d/YD3D6Lock.h"
#include "foundation/YFastMath.h"
#include "frame/YDecalMesh.h"
#include "renderer/YD3D6Parser.h"
#include "renderer/YD3D6TextureItem.h"

namespace {
const float kLift = 0.2f;
const float kEdgeMargin = 1.0f;  // a mark's centre stays this far inside the map
const double kSame = 0.01;        // render units: points this close are one
const float kBoxReach = 100.0f;   // an oriented mark's projection box, each side

struct Point2 {
    double x, z;
};

double Cross(const Point2& o, const Point2& a, const Point2& b)
{
    return (a.x - o.x) * (b.z - o.z) - (a.z - o.z) * (b.x - o.x);
}

Point2 Xz(const YAlphaVertex& v) { return {v.x, v.z}; }

void Lerp(const YAlphaVertex& a, const YAlphaVertex& b, float t, YAlphaVertex* out)
{
    const float* pa = &a.x;
    const float* pb = &b.x;
    float* po = &out->x;
    for (int i = 0; i < 6; ++i) po[i] = pa[i] + (pb[i] - pa[i]) * t;
    out->diffuse = a.diffuse;
    out->u0 = a.u0 + (b.u0 - a.u0) * t, out->v0 = a.v0 + (b.v0 - a.v0) * t;
    out->u1 = a.u1 + (b.u1 - a.u1) * t, out->v1 = a.v1 + (b.v1 - a.v1) * t;
}
}  // namespace

void YD3D6Parser::ClipFootprintEdge(const YAlphaVertex& a, const YAlphaVertex& b, const YAlphaVertex& c,
                                    YAlphaVertex* vertex)
{
    const YAlphaVertex* corners[3] = {&a, &b, &c};
    for (const YAlphaVertex* k : corners) {
        if (std::fabs(double(k->x) - vertex->x) < kSame && std::fabs(double(k->z) - vertex->z) < kSame) {
            vertex->nx = k->nx, vertex->ny = k->ny, vertex->nz = k->nz;
            vertex->diffuse = k->diffuse;
            vertex->u0 = k->u0, vertex->v0 = k->v0, vertex->u1 = k->u1, vertex->v1 = k->v1;
            return;
        }
    }
    // Weights of the corners across the triangle in x and z.
    const Point2 p = Xz(*vertex), pa = Xz(a), pb = Xz(b), pc = Xz(c);
    const double area = Cross(pa, pb, pc);
    double w[3] = {1.0, 0.0, 0.0};
    if (area != 0.0) {
        w[0] = Cross(p, pb, pc) / area;
        w[1] = Cross(pa, p, pc) / area;
        w[2] = 1.0 - w[0] - w[1];
    }
    auto mix = [&](float YAlphaVertex::*f) {
        return float(w[0] * double(a.*f) + w[1] * double(b.*f) + w[2] * double(c.*f));
    };
    vertex->nx = mix(&YAlphaVertex::nx), vertex->ny = mix(&YAlphaVertex::ny), vertex->nz = mix(&YAlphaVertex::nz);
    vertex->u0 = mix(&YAlphaVertex::u0), vertex->v0 = mix(&YAlphaVertex::v0);
    vertex->u1 = mix(&YAlphaVertex::u1), vertex->v1 = mix(&YAlphaVertex::v1);
    vertex->diffuse = a.diffuse;
}

// The part of segment a-b (x, z) inside the triangle is cut into the mesh:
// a point inside becomes the apex of three triangles, a cut from side to
// side splits the triangle along it.  Pieces go in place and at the end.
int YD3D6Parser::SplitDecalByEdge(std::vector<YAlphaVertex>& vertices, std::vector<int16_t>& triangles,
                                  const float* a, const float* b)
{
    const Point2 A = {a[0], a[2]}, B = {b[0], b[2]};
    const double length = std::hypot(B.x - A.x, B.z - A.z);
    if (!(length > kSame)) return int(triangles.size() / 3);
    auto vertexOn = [&](double t) {
        YAlphaVertex v = {};
        v.x = float(A.x + (B.x - A.x) * t);
        v.z = float(A.z + (B.z - A.z) * t);
        v.y = float(double(a[1]) + (double(b[1]) - a[1]) * t) + kLift;
        return v;
    };
    for (size_t i = 0; i < triangles.size() / 3; ++i) {
        if (3 * (triangles.size() / 3) + 11 >= size_t(YDecalMesh::kIndexWords)) break;
        int16_t* tri = &triangles[3 * i];
        const YAlphaVertex c[3] = {vertices[size_t(tri[0])], vertices[size_t(tri[1])], vertices[size_t(tri[2])]};
        const Point2 p[3] = {Xz(c[0]), Xz(c[1]), Xz(c[2])};
        // Beyond the triangle on one side in x or in z.
        const double minX = std::min({p[0].x, p[1].x, p[2].x}), maxX = std::max({p[0].x, p[1].x, p[2].x});
        const double minZ = std::min({p[0].z, p[1].z, p[2].z}), maxZ = std::max({p[0].z, p[1].z, p[2].z});
        if ((A.x < minX && B.x < minX) || (A.x > maxX && B.x > maxX) || (A.z < minZ && B.z < minZ) ||
            (A.z > maxZ && B.z > maxZ))
            continue;
        const double area = Cross(p[0], p[1], p[2]);
        if (std::fabs(area) < kSame * kSame) continue;
        const double sign = area > 0 ? 1.0 : -1.0;
        // The segment's parameter range inside the triangle.
        double t0 = 0.0, t1 = 1.0;
        bool outside = false;
        for (int k = 0; k < 3 && !outside; ++k) {
            const Point2& s = p[k];
            const Point2& e = p[(k + 1) % 3];
            const double side = std::hypot(e.x - s.x, e.z - s.z);
            const double fa = sign * Cross(s, e, A) / side, fb = sign * Cross(s, e, B) / side;
            if (fa < kSame && fb < kSame) {
                outside = fa < -kSame || fb < -kSame || true;
                // Along the side itself: nothing to cut.
                break;
            }
            if (fa < 0.0 && fb >= 0.0) t0 = std::max(t0, fa / (fa - fb));
            if (fb < 0.0 && fa >= 0.0) t1 = std::min(t1, fa / (fa - fb));
        }
        if (outside || (t1 - t0) * length < kSame) continue;
        // Where each end of the cut lies: corner k, side 3 + k, inside 6.
        auto locate = [&](double t) {
            const Point2 q = {A.x + (B.x - A.x) * t, A.z + (B.z - A.z) * t};
            for (int k = 0; k < 3; ++k)
                if (std::hypot(q.x - p[k].x, q.z - p[k].z) < kSame) return k;
            for (int k = 0; k < 3; ++k) {
                const Point2& s = p[k];
                const Point2& e = p[(k + 1) % 3];
                if (std::fabs(Cross(s, e, q)) / std::hypot(e.x - s.x, e.z - s.z) < kSame) return 3 + k;
            }
            return 6;
        };
        const int codes[2] = {locate(t0), locate(t1)};
        const double ts[2] = {t0, t1};
        auto append = [&](const YAlphaVertex& v) {
            vertices.push_back(v);
            return int16_t(vertices.size() - 1);
        };
        auto newVertex = [&](double t) {
            YAlphaVertex v = vertexOn(t);
            ClipFootprintEdge(c[0], c[1], c[2], &v);
            return append(v);
        };
        const int inside = codes[0] == 6 ? 0 : codes[1] == 6 ? 1 : -1;
        if (inside >= 0) {
            // The point splits the triangle in three; its pieces come again.
            const int16_t apex = newVertex(ts[inside]);
            const int16_t k0 = tri[0], k1 = tri[1], k2 = tri[2];
            tri[0] = k0, tri[1] = k1, tri[2] = apex;
            triangles.insert(triangles.end(), {k1, k2, apex, k2, k0, apex});
            --i;
            continue;
        }
        // Both ends on the border: along one side (or one corner) there is nothing to cut.
        auto onSide = [](int code, int k) { return code == k || code == (k + 1) % 3 || code == 3 + k; };
        bool along = false;
        for (int k = 0; k < 3; ++k) along = along || (onSide(codes[0], k) && onSide(codes[1], k));
        if (along) continue;
        // The border with the cut's ends, in order, and the two chains between them.
        int16_t ring[5];
        int size = 0, at[2] = {-1, -1};
        int16_t ends[2];
        for (int e = 0; e < 2; ++e) ends[e] = codes[e] < 3 ? tri[codes[e]] : newVertex(ts[e]);
        for (int k = 0; k < 3; ++k) {
            ring[size++] = tri[k];
            for (int e = 0; e < 2; ++e)
                if (codes[e] == k) at[e] = size - 1;
            for (int e = 0; e < 2; ++e)
                if (codes[e] == 3 + k) at[e] = size, ring[size++] = ends[e];
        }
        std::vector<int16_t> pieces;
        for (int chain = 0; chain < 2; ++chain) {
            const int from = at[chain], to = at[1 - chain];
            std::vector<int16_t> polygon;
            for (int j = from;; j = (j + 1) % size) {
                polygon.push_back(ring[j]);
                if (j == to) break;
            }
            for (size_t j = 1; j + 1 < polygon.size(); ++j)
                pieces.insert(pieces.end(), {polygon[0], polygon[j], polygon[j + 1]});
        }
        std::copy(pieces.begin(), pieces.begin() + 3, tri);
        triangles.insert(triangles.end(), pieces.begin() + 3, pieces.end());
    }
    return int(triangles.size() / 3);
}

int YD3D6Parser::ClipDecalTriangle(const YAlphaVertex* triangle, YAlphaVertex* out)
{
    auto all = [&](auto test) { return test(triangle[0]) && test(triangle[1]) && test(triangle[2]); };
    if (all([](const YAlphaVertex& v) { return v.u0 >= 1.0f; }) || all([](const YAlphaVertex& v) { return v.u0 <= 0.0f; }) ||
        all([](const YAlphaVertex& v) { return v.v0 >= 1.0f; }) || all([](const YAlphaVertex& v) { return v.v0 <= 0.0f; }))
        return 0;
    // Cut at u = 0, u = 1, v = 0 and v = 1.
    std::vector<YAlphaVertex> polygon(triangle, triangle + 3), next;
    struct Plane {
        float YAlphaVertex::*field;
        float bound;
        float sign;
    } planes[4] = {{&YAlphaVertex::u0, 0.0f, 1.0f},
                   {&YAlphaVertex::u0, 1.0f, -1.0f},
                   {&YAlphaVertex::v0, 0.0f, 1.0f},
                   {&YAlphaVertex::v0, 1.0f, -1.0f}};
    for (const Plane& plane : planes) {
        next.clear();
        for (size_t i = 0; i < polygon.size(); ++i) {
            const YAlphaVertex& s = polygon[i];
            const YAlphaVertex& e = polygon[(i + 1) % polygon.size()];
            const float ds = (s.*plane.field - plane.bound) * plane.sign;
            const float de = (e.*plane.field - plane.bound) * plane.sign;
            if (ds >= 0.0f) next.push_back(s);
            if ((ds >= 0.0f) != (de >= 0.0f)) {
                YAlphaVertex v;
                Lerp(s, e, ds / (ds - de), &v);
                v.*plane.field = plane.bound;
                next.push_back(v);
            }
        }
        // A cut through a corner gives the corner twice.
        polygon.clear();
        for (const YAlphaVertex& v : next)
            if (polygon.empty() || std::fabs(v.u0 - polygon.back().u0) > 1e-6f || std::fabs(v.v0 - polygon.back().v0) > 1e-6f)
                polygon.push_back(v);
        while (polygon.size() > 1 && std::fabs(polygon.front().u0 - polygon.back().u0) <= 1e-6f &&
               std::fabs(polygon.front().v0 - polygon.back().v0) <= 1e-6f)
            polygon.pop_back();
        if (polygon.size() < 3) return 0;
    }
    int pieces = 0;
    for (size_t j = 1; j + 1 < polygon.size(); ++j, ++pieces) {
        out[3 * pieces] = polygon[0];
        out[3 * pieces + 1] = polygon[j];
        out[3 * pieces + 2] = polygon[j + 1];
        for (int k = 0; k < 3; ++k) out[3 * pieces + k].v1 = 1.0f;
    }
    return pieces;
}

YDecalMesh* YD3D6Parser::DecalMesh(int32_t slot) const
{
    if (!m_renderRecords || slot < 0 || slot >= m_decalUsed) return nullptr;
    return static_cast<YDecalMesh*>(m_renderRecords[slot].m_geometry);
}

void YD3D6Parser::ClearDecalSlot(int32_t slot)
{
    YRenderInstance& record = m_renderRecords[slot];
    RemoveActorAt(&record, record.m_position[0], record.m_position[2]);
    if (YDecalMesh* mesh = DecalMesh(slot)) mesh->Clear();
}

int32_t YD3D6Parser::TakeDecalSlot(int32_t slot)
{
    if (!m_renderRecords || m_renderRecordCount <= 0) return -1;
    // A slot the ring has not used yet is not the caller's to give.
    if (slot >= 0 && slot < m_decalUsed) {
        ClearDecalSlot(slot);
        return slot;
    }
    if (m_decalNext >= m_renderRecordCount) m_decalNext = 0;
    if (m_decalNext < m_decalUsed) {
        slot = m_decalNext++;
        ClearDecalSlot(slot);
        return slot;
    }
    slot = m_decalUsed;
    YDecalMesh* mesh = new YDecalMesh;
    mesh->m_slot = int16_t(slot);
    m_renderRecords[slot] = YRenderInstance();
    m_renderRecords[slot].m_geometry = mesh;
    m_decalNext = m_decalUsed = slot + 1;
    return slot;
}

void YD3D6Parser::FreeDecalRing()
{
    for (int32_t i = 0; m_renderRecords && i < m_decalUsed; ++i) {
        YRenderInstance& record = m_renderRecords[i];
        if (record.m_kind == YRenderInstance::KindTerrainDecal && record.m_subKind == 4) {
            delete static_cast<YDecalMesh*>(record.m_geometry);
            record.m_geometry = nullptr;
        }
    }
    m_decalNext = m_decalUsed = 0;
}

bool YD3D6Parser::DecalSize(const YRenderInstance& request, float* halfWidth, float* halfDepth) const
{
    const int16_t texture = request.m_typeIndex;
    const int16_t sizer = request.m_textureIndex >= 0 ? request.m_textureIndex : texture;
    const YD3D6TextureItem* item = GetTextureItem(sizer);
    if (texture < 0 || texture >= GetTextureCount() || !item) return false;
    const YD3D6Lock* lock = GetTextureLock(sizer);
    const float fu = lock ? lock->m_states.m_repeatU : 1.0f, fv = lock ? lock->m_states.m_repeatV : 1.0f;
    *halfWidth = float(item->m_width) * fu * request.m_scale * 0.125f;
    *halfDepth = float(item->m_height) * fv * request.m_scale * 0.125f;
    return std::isfinite(*halfWidth) && std::isfinite(*halfDepth);
}

YRenderInstance* YD3D6Parser::PlaceDecalRecord(const YRenderInstance& request, int32_t slot, const float* centre,
                                               float angle)
{
    YRenderInstance& record = m_renderRecords[slot];
    void* geometry = record.m_geometry;
    record = YRenderInstance();
    record.m_geometry = geometry;
    record.m_flags = 1;
    record.m_index2 = request.m_index2;
    record.m_words[0] = request.m_words[0];
    record.m_words[1] = request.m_words[1];
    record.m_textureIndex = request.m_typeIndex;
    record.m_typeIndex = request.m_typeIndex;
    record.m_elementCount = request.m_elementCount;
    for (int i = 0; i < 3; ++i) record.m_position[i] = centre[i];
    record.m_angles[0] = request.m_angles[0];
    record.m_angles[1] = angle;
    record.m_angles[2] = request.m_angles[2];
    record.m_scale = request.m_scale;
    record.m_kind = YRenderInstance::KindTerrainDecal;
    record.m_subKind = 4;
    record.m_childCount = 0;
    record.m_attachIndex = request.m_attachIndex;
    record.m_decalSlot = slot;
    AddActorAt(&record, 0, centre[0], centre[2]);
    return &record;
}

// Calls f(polygon) once for every terrain polygon that takes marks in the
// cells under the rectangle.
template <class F>
void YD3D6Parser::ForDecalPolygons(float minX, float minZ, float maxX, float maxZ, F f)
{
    const float cell = m_cellSizeRender;
    if (m_cells.empty() || !(cell > 0.0f)) return;
    auto index = [&](float v, float origin, bool up, uint32_t count) {
        const double c = (double(v) - origin) / cell;
        const double r = up ? std::ceil(c) : std::floor(c);
        return int64_t(std::min(std::max(r, 0.0), double(count)));
    };
    const int64_t c0 = index(minX, m_gridOrigin[0], false, m_gridWidth), c1 = index(maxX, m_gridOrigin[0], true, m_gridWidth);
    const int64_t r0 = index(minZ, m_gridOrigin[2], false, m_gridHeight), r1 = index(maxZ, m_gridOrigin[2], true, m_gridHeight);
    std::unordered_set<const YCellPolygon*> visited;
    for (int64_t r = r0; r < r1; ++r)
        for (int64_t c = c0; c < c1; ++c) {
            const size_t at = size_t(r) * m_gridWidth + size_t(c);
            if (at >= m_cells.size()) continue;
            for (const YCellPolygon* polygon : m_cells[at].m_polygons) {
                if (!polygon || !visited.insert(polygon).second) continue;
                if ((polygon->m_kind & YCellPolygon::kDrawn) && (polygon->m_kind & YCellPolygon::kTakesDecals)) f(*polygon);
            }
        }
}

void YD3D6Parser::ProjectOntoTerrain(YRenderInstance* request)
{
    if (!request || request->m_typeIndex == -1 || m_sessionMode != 2 || m_cells.empty()) return;
    float w, d;
    if (!DecalSize(*request, &w, &d)) return;
    const float angle = request->m_angles[1];
    if (!std::isfinite(angle) || !std::isfinite(request->m_position[0]) || !std::isfinite(request->m_position[2]))
        return;
    const int32_t slot = TakeDecalSlot(request->m_index2);
    if (slot < 0) return;
    YDecalMesh& mesh = *static_cast<YDecalMesh*>(m_renderRecords[slot].m_geometry);
    mesh.Clear();

    const float turn = -(angle + 1.5707f);
    const float s = FastSin(turn), c = FastCos(turn);
    const float corners[4][2] = {{-w, -d}, {w, -d}, {w, d}, {-w, d}};
    const bool mirrored = angle == 3.1415927f;
    const float us[4] = {0.005f, 0.995f, 0.995f, 0.005f}, vs[4] = {0.005f, 0.005f, 0.995f, 0.995f};
    float centre[3] = {0.0f, 0.0f, 0.0f};
    for (int k = 0; k < 4; ++k) {
        YAlphaVertex v = {};
        v.x = request->m_position[0] + corners[k][0] * c - corners[k][1] * s;
        v.z = request->m_position[2] + corners[k][0] * s + corners[k][1] * c;
        YGroundPoint ground = {};
        ground.normal[1] = 1.0f;
        WalkCellTriangles(v.x, v.z, &ground);
        float n[3] = {ground.normal[0], ground.normal[1], ground.normal[2]};
        const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (!(length > 0.0f)) n[0] = n[2] = 0.0f, n[1] = 1.0f;
        else
            for (float& e : n) e /= (n[1] < 0.0f ? -length : length);
        v.y = ground.position[1] + kLift;
        v.nx = n[0], v.ny = n[1], v.nz = n[2];
        v.diffuse = 0xFFFFFFFFu;
        v.u0 = v.u1 = mirrored ? 1.0f - us[k] : us[k];
        v.v0 = v.v1 = vs[k];
        mesh.m_vertices.push_back(v);
        centre[0] += v.x * 0.25f, centre[2] += v.z * 0.25f;
    }
    // The centre stays inside the map.
    const float width = float(m_gridWidth) * m_cellSizeRender, depth = float(m_gridHeight) * m_cellSizeRender;
    const float margin = std::min(kEdgeMargin, std::min(width, depth) * 0.5f);  // a map smaller than it: its middle
    centre[0] = std::min(std::max(centre[0], m_gridOrigin[0] + margin), m_gridOrigin[0] + width - margin);
    centre[2] = std::min(std::max(centre[2], m_gridOrigin[2] + margin), m_gridOrigin[2] + depth - margin);
    centre[1] = GetGroundHeight(centre[0], centre[2]) + kLift;
    mesh.m_triangles = {0, 1, 2, 0, 2, 3};

    float minX = mesh.m_vertices[0].x, maxX = minX, minZ = mesh.m_vertices[0].z, maxZ = minZ;
    for (const YAlphaVertex& v : mesh.m_vertices) {
        minX = std::min(minX, v.x), maxX = std::max(maxX, v.x);
        minZ = std::min(minZ, v.z), maxZ = std::max(maxZ, v.z);
    }
    ForDecalPolygons(minX, minZ, maxX, maxZ, [&](const YCellPolygon& polygon) {
        const size_t n = polygon.m_corners.size();
        auto edge = [&](size_t i, size_t j) {
            const float* a = VertexPosition(polygon.m_corners[i].m_vertex);
            const float* b = VertexPosition(polygon.m_corners[j].m_vertex);
            if (a && b) SplitDecalByEdge(mesh.m_vertices, mesh.m_triangles, a, b);
        };
        if (polygon.m_shape == YCellPolygon::kTriangle && n >= 3) {
            edge(0, 1), edge(1, 2), edge(2, 0);
        } else if (polygon.m_shape == YCellPolygon::kStrip) {
            for (size_t i = 0; i + 1 < n; ++i) edge(i, i + 1);
            for (size_t i = 0; i + 2 < n; ++i) edge(i, i + 2);
        }
    });
    mesh.m_triangleCount = int16_t(mesh.m_triangles.size() / 3);
    PlaceDecalRecord(*request, slot, centre, angle);
}

void YD3D6Parser::ProjectOntoSurface(YRenderInstance* request)
{
    if (!request || request->m_typeIndex == -1 || m_sessionMode != 2 || m_cells.empty()) return;
    float w, d;
    if (!DecalSize(*request, &w, &d) || !(w > 0.0f) || !(d > 0.0f)) return;
    const float* from = request->m_position;
    const float* to = request->m_decalTarget;
    double f[3] = {double(to[0]) - from[0], double(to[1]) - from[1], double(to[2]) - from[2]};
    const double length = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
    // A mark without a direction is no mark.
    if (!(length > 0.0) || !std::isfinite(length) || !std::isfinite(request->m_decalRoll)) return;
    for (double& e : f) e /= length;
    // The mark's axes: across (r) and along (u) its square, turned by the roll.
    const double heading = std::atan2(f[0], f[2]);
    const double pitch = std::asin(std::min(1.0, std::max(-1.0, -f[1])));
    double r[3] = {std::cos(heading), 0.0, -std::sin(heading)};
    double u[3] = {std::sin(heading) * std::sin(pitch), std::cos(pitch), std::cos(heading) * std::sin(pitch)};
    const double roll = double(request->m_decalRoll) * 3.141592 * 0.0055555557;
    const double cr = std::cos(roll), sr = std::sin(roll);
    for (int i = 0; i < 3; ++i) {
        const double a = r[i], b = u[i];
        r[i] = a * cr + b * sr;
        u[i] = b * cr - a * sr;
    }
    auto dot = [](const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; };

    const int32_t slot = TakeDecalSlot(request->m_index2);
    if (slot < 0) return;
    YDecalMesh& mesh = *static_cast<YDecalMesh*>(m_renderRecords[slot].m_geometry);
    mesh.Clear();

    // The box's reach on the ground.
    float minX = 1e30f, maxX = -1e30f, minZ = 1e30f, maxZ = -1e30f;
    for (int k = 0; k < 8; ++k) {
        const double a = (k & 1 ? w : -w), b = (k & 2 ? d : -d), c = (k & 4 ? kBoxReach : -kBoxReach);
        const float x = float(from[0] + a * r[0] + b * u[0] + c * f[0]);
        const float z = float(from[2] + a * r[2] + b * u[2] + c * f[2]);
        minX = std::min(minX, x), maxX = std::max(maxX, x), minZ = std::min(minZ, z), maxZ = std::max(maxZ, z);
    }
    std::vector<YAlphaVertex> pieces;
    ForDecalPolygons(minX, minZ, maxX, maxZ, [&](const YCellPolygon& polygon) {
        polygon.ForEachTriangle([&](const YCellCorner& ca, const YCellCorner& cb, const YCellCorner& cc,
                                    const YCellPlane& plane) {
            const float* p[3] = {VertexPosition(ca.m_vertex), VertexPosition(cb.m_vertex), VertexPosition(cc.m_vertex)};
            if (!p[0] || !p[1] || !p[2]) return;
            float n[3] = {plane.a, plane.b, plane.c};
            const float nl = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            if (nl > 0.0f)
                for (float& e : n) e /= (n[1] < 0.0f ? -nl : nl);
            YAlphaVertex tri[3];
            int behind = 0, before = 0;
            for (int k = 0; k < 3; ++k) {
                const double q[3] = {double(p[k][0]) - from[0], double(p[k][1]) - from[1], double(p[k][2]) - from[2]};
                const double depth = dot(q, f);
                behind += depth < -kBoxReach, before += depth > kBoxReach;
                YAlphaVertex& v = tri[k];
                v.x = p[k][0], v.y = p[k][1] + kLift, v.z = p[k][2];
                v.nx = n[0], v.ny = n[1], v.nz = n[2];
                v.diffuse = 0xFFFFFFFFu;
                v.u0 = v.u1 = float((dot(q, r) + w) / (2.0 * w));
                v.v0 = v.v1 = float((dot(q, u) + d) / (2.0 * d));
            }
            if (behind == 3 || before == 3) return;
            YAlphaVertex out[3 * 5];
            const int count = ClipDecalTriangle(tri, out);
            pieces.insert(pieces.end(), out, out + 3 * count);
        });
    });
    // Sized by what is written, whatever the count of pieces; the drawing
    // takes 16-bit indices.
    const size_t keep = std::min(pieces.size(), size_t(3 * (YDecalMesh::kIndexWords / 3)));
    mesh.m_vertices.assign(pieces.begin(), pieces.begin() + long(keep));
    mesh.m_triangles.resize(keep);
    for (size_t i = 0; i < keep; ++i) mesh.m_triangles[i] = int16_t(i);
    mesh.m_triangleCount = int16_t(keep / 3);
    float centre[3] = {from[0], from[1], from[2]};
    PlaceDecalRecord(*request, slot, centre, float(heading));
}
