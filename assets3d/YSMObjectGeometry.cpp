// Geometry preparation after a load: axes, welded vertices and normals,
// frame boxes, marker poses, used-vertex and corner lists.
#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "assets3d/YSMObject.h"

namespace {
const float kFar = 3.4028235e38f;

struct V3 {
    float x, y, z;
};

V3 At(const YSMFrame& frame, int v)
{
    const float* p = &frame.positions[static_cast<size_t>(v) * 3];
    return {p[0], p[1], p[2]};
}

V3 Sub(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 Cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float Length(V3 a) { return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z); }
float Distance2(V3 a, V3 b)
{
    V3 d = Sub(a, b);
    return d.x * d.x + d.y * d.y + d.z * d.z;
}

bool FaceInRange(const YSMFace& face, size_t vertices)
{
    for (int16_t v : face.v)
        if (v < 0 || static_cast<size_t>(v) >= vertices) return false;
    return true;
}

const YSMPose kRest = {{0, 0, 0, 0, 0, 0, 0, 0, 0, 1.0f}};
}  // namespace

void YSMObject::RemapAxes(const uint8_t permutation[3], const float signs[3])
{
    for (int i = 0; i < 3; ++i)
        if (permutation[i] > 2) return;
    for (auto& frame : m_frames) {
        for (size_t v = 0; v + 2 < frame->positions.size(); v += 3) {
            const float old[3] = {frame->positions[v], frame->positions[v + 1], frame->positions[v + 2]};
            for (int i = 0; i < 3; ++i) frame->positions[v + i] = old[permutation[i]] * signs[i];
        }
    }
}

void YSMObject::WeldAndComputeNormals()
{
    if (m_frames.empty()) return;
    size_t vertices = m_vertexCount > 0 ? static_cast<size_t>(m_vertexCount) : 0;
    for (const auto& frame : m_frames) vertices = std::min(vertices, frame->positions.size() / 3);

    std::vector<int> map(std::max<size_t>(vertices, 32));
    int count = 0;
    for (size_t i = 0; i < vertices; ++i) map[i] = static_cast<int>(i);
    if (m_sourceKind == 0) {
        // A vertex welds to the first earlier one at the same position in
        // every frame: sorted by their positions, equal vertices lie together.
        auto at = [&](size_t v, size_t k) { return &m_frames[k]->positions[v * 3]; };
        auto unordered = [&](size_t v) {
            for (size_t k = 0; k < m_frames.size(); ++k)
                for (int c = 0; c < 3; ++c)
                    if (std::isnan(at(v, k)[c])) return true;
            return false;
        };
        std::vector<size_t> order;
        for (size_t i = 0; i < vertices; ++i)
            if (!unordered(i)) order.push_back(i);
        auto compare = [&](size_t a, size_t b) {
            for (size_t k = 0; k < m_frames.size(); ++k) {
                const float* p = at(a, k);
                const float* q = at(b, k);
                for (int c = 0; c < 3; ++c)
                    if (p[c] != q[c]) return p[c] < q[c] ? -1 : 1;
            }
            return 0;
        };
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return compare(a, b) < 0; });
        for (size_t n = 1; n < order.size(); ++n)
            if (compare(order[n - 1], order[n]) == 0) map[order[n]] = map[order[n - 1]];
    }
    // New indices in the order of the vertices' first appearance.
    for (size_t i = 0; i < vertices; ++i)
        map[i] = static_cast<size_t>(map[i]) == i ? count++ : map[static_cast<size_t>(map[i])];

    for (YSMFace& face : m_faces)
        if (FaceInRange(face, vertices))
            for (int16_t& v : face.v) v = static_cast<int16_t>(map[static_cast<size_t>(v)]);

    for (auto& frame : m_frames) {
        std::vector<float> positions(static_cast<size_t>(count) * 3, 0.0f);
        for (size_t i = 0; i < vertices; ++i)
            for (int k = 0; k < 3; ++k) positions[static_cast<size_t>(map[i]) * 3 + k] = frame->positions[i * 3 + k];
        frame->positions.swap(positions);
        std::vector<float> normals(static_cast<size_t>(count) * 3, 0.0f);
        for (const YSMFace& face : m_faces) {
            if (!FaceInRange(face, static_cast<size_t>(count))) continue;
            V3 a = At(*frame, face.v[0]), b = At(*frame, face.v[1]), c = At(*frame, face.v[2]);
            V3 n = Cross(Sub(b, a), Sub(c, b));
            float length = Length(n);
            if (length == 0.0f || !std::isfinite(length)) continue;
            for (int16_t v : face.v) {
                float* out = &normals[static_cast<size_t>(v) * 3];
                out[0] += n.x / length;
                out[1] += n.y / length;
                out[2] += n.z / length;
            }
        }
        for (size_t v = 0; v < normals.size(); v += 3) {
            float length = Length({normals[v], normals[v + 1], normals[v + 2]});
            if (length == 0.0f) continue;
            for (int k = 0; k < 3; ++k) normals[v + k] /= length;
        }
        frame->normals.swap(normals);
    }
    m_vertexCount = static_cast<int16_t>(count);
}

void YSMObject::ComputeBounds()
{
    const size_t vertices = m_vertexCount > 0 ? static_cast<size_t>(m_vertexCount) : 0;
    auto usable = [&](const YSMFrame& frame, const YSMFace& face) {
        return FaceInRange(face, std::min(vertices, frame.positions.size() / 3));
    };

    for (auto& frame : m_frames) {
        for (int i = 0; i < 3; ++i) {
            frame->boxAMin[i] = frame->boxBMin[i] = kFar;
            frame->boxAMax[i] = frame->boxBMax[i] = -kFar;
        }
        for (const auto& group : m_groups) {
            if (group->faces.empty() || (group->flags & kSMGroupMarker)) continue;
            const bool boxB = !(group->flags & kSMGroupNoBoxB);
            for (uint16_t f : group->faces) {
                if (f >= m_faces.size() || !usable(*frame, m_faces[f])) continue;
                for (int16_t v : m_faces[f].v) {
                    const float* p = &frame->positions[static_cast<size_t>(v) * 3];
                    for (int i = 0; i < 3; ++i) {
                        frame->boxAMin[i] = std::min(frame->boxAMin[i], p[i]);
                        frame->boxAMax[i] = std::max(frame->boxAMax[i], p[i]);
                        if (boxB) {
                            frame->boxBMin[i] = std::min(frame->boxBMin[i], p[i]);
                            frame->boxBMax[i] = std::max(frame->boxBMax[i], p[i]);
                        }
                    }
                }
            }
        }
        frame->poses.resize(m_groups.size(), kRest);
    }

    for (size_t g = 0; g < m_groups.size(); ++g) {
        YSMGroup& group = *m_groups[g];
        for (auto& frame : m_frames) frame->poses[g] = kRest;
        if (!(group.flags & kSMGroupMarker) || group.faces.size() != 2 || m_frames.empty()) continue;
        if (group.faces[0] >= m_faces.size() || group.faces[1] >= m_faces.size()) continue;
        const YSMFace& f0 = m_faces[group.faces[0]];
        const YSMFace& f1 = m_faces[group.faces[1]];
        bool ok = true;
        for (const auto& frame : m_frames) ok = ok && usable(*frame, f0) && usable(*frame, f1);
        if (!ok) continue;
        // The two corners of F0 that F1 shares make the edge; U is the third.
        int shared[3], sharedCount = 0, u = -1;
        for (int c = 0; c < 3; ++c) {
            bool inF1 = f0.v[c] == f1.v[0] || f0.v[c] == f1.v[1] || f0.v[c] == f1.v[2];
            if (inF1)
                shared[sharedCount++] = f0.v[c];
            else
                u = f0.v[c];
        }
        if (sharedCount != 2 || u < 0) continue;  // not a quad: the default pose stays
        const YSMFrame& first = *m_frames[0];
        int p1 = shared[0], p2 = shared[1];
        if (Distance2(At(first, p2), At(first, u)) < Distance2(At(first, p1), At(first, u))) std::swap(p1, p2);
        V3 n = Cross(Sub(At(first, f0.v[1]), At(first, f0.v[0])), Sub(At(first, f0.v[2]), At(first, f0.v[1])));
        float length = Length(n);
        if (length == 0.0f || !std::isfinite(length))
            n = {0.0f, 1.0f, 0.0f};
        else
            n = {n.x / length, n.y / length, n.z / length};
        for (auto& frame : m_frames) {
            V3 a = At(*frame, p1), b = At(*frame, p2), d = Sub(b, a);
            float* r = frame->poses[g].v;
            r[0] = -a.x, r[1] = -a.y, r[2] = -a.z;
            r[3] = -b.x, r[4] = -b.y, r[5] = -b.z;
            r[9] = Length(d);
            const float yAngle = -std::atan2(d.x, d.z);
            const float c = std::cos(yAngle), s = std::sin(yAngle);
            const float dp = d.z * c - d.x * s;
            const float xAngle = -std::atan2(d.y, dp);
            const float zAngle = -std::atan2(-(c * n.x + s * n.z),
                                             std::cos(xAngle) * n.y + std::sin(xAngle) * (c * n.z - s * n.x));
            r[6] = xAngle;
            r[7] = yAngle;
            r[8] = zAngle;
        }
    }

    for (auto& groupPtr : m_groups) {
        YSMGroup& group = *groupPtr;
        std::vector<uint16_t> used;
        for (uint16_t f : group.faces)
            if (f < m_faces.size() && FaceInRange(m_faces[f], vertices))
                for (int16_t v : m_faces[f].v) used.push_back(static_cast<uint16_t>(v));
        std::sort(used.begin(), used.end());
        used.erase(std::unique(used.begin(), used.end()), used.end());
        group.usedVertices.swap(used);
        group.usedVertexCount = static_cast<int16_t>(group.usedVertices.size());

        group.corners.clear();
        group.cornerIndexes.clear();
        std::map<std::tuple<float, float, float>, uint16_t> seen;
        for (uint16_t f : group.faces) {
            if (f >= m_faces.size()) continue;
            const YSMFace& face = m_faces[f];
            for (int c = 0; c < 3; ++c) {
                const float vertex = static_cast<float>(face.v[c]);
                const float u = face.uv[2 * c], v = face.uv[2 * c + 1];
                // Exact equality: NaN coordinates never match, as in a linear search.
                uint16_t index = static_cast<uint16_t>(group.corners.size() / 3);
                if (u == u && v == v) {
                    auto found = seen.emplace(std::make_tuple(vertex, u, v), index);
                    index = found.first->second;
                    if (!found.second) {
                        group.cornerIndexes.push_back(index);
                        continue;
                    }
                }
                group.corners.push_back(vertex);
                group.corners.push_back(u);
                group.corners.push_back(v);
                group.cornerIndexes.push_back(index);
            }
        }
        group.cornerCount = static_cast<int16_t>(group.corners.size() / 3);
    }
}
