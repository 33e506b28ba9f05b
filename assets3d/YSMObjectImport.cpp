// Import of a "YFMF" mesh set into the model, and the per-group detail
// levels of its progressive meshes.
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <tuple>

#include "assets3d/YFMFGroup.h"
#include "assets3d/YFMFMeshSet.h"
#include "assets3d/YSMObject.h"

namespace {
const uint32_t kMax16 = 32767;

struct Mesh {
    YFMFMeshNode* node;
    int part;
    YFMFMeshPart* entry;
    IMESH* mesh;
};

std::vector<Mesh> Meshes(YFMFMeshSet* set)
{
    std::vector<Mesh> meshes;
    for (auto& node : set->m_meshes) {
        if (node->kind != 1) continue;
        for (size_t p = 0; p < node->parts.size(); ++p)
            if (node->parts[p].mesh) meshes.push_back({node.get(), static_cast<int>(p), &node->parts[p], node->parts[p].mesh.get()});
    }
    return meshes;
}

float Bits(uint32_t v)
{
    float f;
    memcpy(&f, &v, 4);
    return f;
}

// The texture coordinates of a polygon's corner c (0, 0 when the mesh has none).
bool Coordinates(const IMESH& mesh, uint32_t polygon, int c, float* u, float* v)
{
    *u = 0.0f;
    *v = 0.0f;
    if (!(mesh.flags & IMESH::kPolygonMaterials) || polygon >= mesh.polygonMaterials.size()) return true;
    const IMESHPolygonMaterial& entry = mesh.polygonMaterials[polygon];
    if (static_cast<size_t>(c) >= entry.first.size()) return false;
    const uint32_t index = entry.first[c];
    const IMESHArray& uv = mesh.typed4;
    if (uv.size < 8 || index >= uv.count || (static_cast<size_t>(index) + 1) * uv.size > uv.data.size()) return false;
    memcpy(u, &uv.data[static_cast<size_t>(index) * uv.size], 4);
    memcpy(v, &uv.data[static_cast<size_t>(index) * uv.size + 4], 4);
    return true;
}

// The percentages as vertex counts, lo <= hi <= n.
void DetailRange(const YFMFMeshPart& entry, uint32_t n, uint32_t* lo, uint32_t* hi)
{
    auto percent = [](float p) { return p >= 0.0f ? (p <= 100.0f ? p : 100.0f) : 0.0f; };
    *lo = static_cast<uint32_t>(static_cast<double>(n) * percent(entry.LowPercent()) * 0.01);
    *hi = static_cast<uint32_t>(static_cast<double>(n) * percent(entry.HighPercent()) * 0.01);
    if (*lo > n) *lo = n;
    if (*hi > n) *hi = n;
    if (*hi < *lo) *hi = *lo;
}

// Steps the part until its mesh has as many vertices as it can without passing vertices.
void ReduceTo(Mesh& m, uint32_t vertices)
{
    while (m.mesh->countB > vertices && m.mesh->countA > 0) {
        uint32_t before = m.mesh->countA;
        YFMFMeshSet::Coarsen(m.node, m.part, 1);
        if (m.mesh->countA == before) break;
    }
    while (m.mesh->countB < vertices && m.entry->refine && m.mesh->countA < m.entry->refine->records.size()) {
        uint32_t before = m.mesh->countA;
        YFMFMeshSet::Refine(m.node, m.part, 1);
        if (m.mesh->countA == before) break;
        if (m.mesh->countB > vertices) {
            YFMFMeshSet::Coarsen(m.node, m.part, 1);
            break;
        }
    }
}
}  // namespace

bool YSMObject::ImportMeshSet(YFMFMeshSet* set)
{
    if (ImportMeshes(set)) return true;
    Clear();
    return false;
}

bool YSMObject::ImportMeshes(YFMFMeshSet* set)
{
    Clear();
    if (!set) return false;
    std::vector<Mesh> meshes = Meshes(set);
    // Every mesh is a group: a set without meshes makes no model.
    if (meshes.empty() || meshes.size() > kMax16) return false;

    std::vector<std::string> materials;
    uint64_t vertices = 0, faces = 0;
    std::vector<std::vector<int16_t>> resourceOf(meshes.size());
    for (size_t j = 0; j < meshes.size(); ++j) {
        const IMESH& mesh = *meshes[j].mesh;
        if (mesh.countB > mesh.VertexCapacity() || mesh.countC > mesh.polygons.size()) return false;
        meshes[j].entry->base = static_cast<uint32_t>(vertices);
        vertices += mesh.countB;
        faces += mesh.countC;
        for (uint32_t d = 0; d < mesh.countD; ++d) {
            char name[IMESH::kMaterialNameSize + 1];
            std::string material = mesh.MaterialName(d, name);
            size_t r = 0;
            while (r < materials.size() && materials[r] != material) ++r;
            if (r == materials.size()) materials.push_back(material);
            resourceOf[j].push_back(static_cast<int16_t>(std::min<size_t>(r, kMax16)));
        }
    }
    if (vertices > kMax16 || faces > kMax16 || materials.size() > kMax16) return false;

    // Frames: the frame groups hold one run of entries per mesh.
    std::vector<YFMFGroup*> frameGroups;
    size_t entries = 0;
    for (auto& group : set->m_groups) {
        if (group->m_type != YFMFGroup::kFrames) continue;
        frameGroups.push_back(group.get());
        entries += group->m_frames.size();
    }
    const size_t frames = entries / meshes.size();
    if (frames > kMax16 || (frames && frameGroups.size() < meshes.size())) return false;
    std::vector<std::vector<const YFMFMeshNode*>> framePositions(meshes.size());
    for (size_t j = 0; frames && j < meshes.size(); ++j) {
        if (frameGroups[j]->m_frames.size() < frames) return false;
        for (size_t k = 0; k < frames; ++k) {
            const YFMFFrame& frame = *frameGroups[j]->m_frames[k];
            const YFMFMeshNode* positions = nullptr;
            for (int n = 0; n < frame.GetNodeCount() && !positions; ++n) {
                const YFMFMeshNode* node = frame.GetNodeAt(n);
                if (node->kind == 2 && node->itemCount >= meshes[j].mesh->countB &&
                    node->bytes.size() >= static_cast<size_t>(meshes[j].mesh->countB) * 12)
                    positions = node;
            }
            if (!positions) return false;
            framePositions[j].push_back(positions);
        }
    }

    // Faces, with the winding reversed.
    for (size_t j = 0; j < meshes.size(); ++j) {
        const IMESH& mesh = *meshes[j].mesh;
        const uint32_t first = meshes[j].entry->base;
        for (uint32_t p = 0; p < mesh.countC; ++p) {
            const std::vector<uint32_t>& t = mesh.polygons[p].indexes;
            if (t.size() != 3) return false;
            YSMFace face = {};
            const int corner[3] = {0, 2, 1};
            for (int c = 0; c < 3; ++c) {
                if (t[corner[c]] >= mesh.countB) return false;
                face.v[c] = static_cast<int16_t>(t[corner[c]] + first);
                float u, v;
                if (!Coordinates(mesh, p, corner[c], &u, &v)) return false;
                face.uv[2 * c] = u;
                face.uv[2 * c + 1] = 1.0f - v;
            }
            face.group = static_cast<int16_t>(j);
            m_faces.push_back(face);
        }
    }

    for (const std::string& name : materials) {
        std::unique_ptr<YSMResource> resource(new YSMResource);
        resource->name = name.c_str();
        m_resources.emplace_back(std::move(resource));
    }

    for (size_t k = 0; k < frames; ++k) {
        std::unique_ptr<YSMFrame> frame(new YSMFrame);
        frame->name = frameGroups[0]->m_frames[k]->GetName();
        frame->present.assign(meshes.size(), 1);
        frame->positions.resize(static_cast<size_t>(vertices) * 3);
        for (size_t j = 0; j < meshes.size(); ++j) {
            const size_t count = static_cast<size_t>(meshes[j].mesh->countB) * 3;
            if (count) memcpy(&frame->positions[static_cast<size_t>(meshes[j].entry->base) * 3],
                              framePositions[j][k]->bytes.data(), count * sizeof(float));
        }
        const YSMPose rest = {{0, 0, 0, 0, 0, 0, 0, 0, 0, 1.0f}};
        frame->poses.assign(meshes.size(), rest);
        m_frames.push_back(std::move(frame));
    }

    // Animations from the first named-list node.
    for (auto& node : set->m_meshes) {
        if (node->kind != 4) continue;
        if (node->lists.empty()) {
            std::unique_ptr<YSMAnim> anim(new YSMAnim);
            anim->name = "X";
            anim->keyCount = 1;
            anim->keyFrames.push_back(0);
            anim->keyDurations.push_back(0.1f);
            anim->total = 0.1f;
            if (frames == 0) return false;
            m_anims.push_back(std::move(anim));
        }
        if (node->lists.size() > kMax16) return false;
        for (const YFMFNamedList& list : node->lists) {
            std::unique_ptr<YSMAnim> anim(new YSMAnim);
            anim->name = list.name.c_str();
            if (list.first.empty() || list.first.size() > kMax16) return false;
            anim->keyCount = static_cast<int16_t>(list.first.size());
            for (size_t i = 0; i < list.first.size(); ++i) {
                float duration = Bits(list.second[i]);
                if (list.first[i] >= frames || !(duration > 0.0f) || !std::isfinite(duration)) return false;
                anim->keyFrames.push_back(static_cast<uint16_t>(list.first[i]));
                anim->keyDurations.push_back(duration);
                anim->total += duration;
            }
            if (!std::isfinite(anim->total)) return false;
            m_anims.push_back(std::move(anim));
        }
        break;
    }

    uint32_t face = 0;
    for (size_t j = 0; j < meshes.size(); ++j) {
        const IMESH& mesh = *meshes[j].mesh;
        std::unique_ptr<YSMGroup> group(new YSMGroup);
        group->name = mesh.GetName();
        group->flags = meshes[j].entry->Flags();
        group->usedVertexCount = static_cast<int16_t>(mesh.countB);
        group->faceCount = static_cast<int16_t>(mesh.countC);
        for (uint32_t p = 0; p < mesh.countC; ++p) group->faces.push_back(static_cast<uint16_t>(face++));
        if (!resourceOf[j].empty()) {
            std::unique_ptr<YSMSkin> skin(new YSMSkin);
            skin->resource = resourceOf[j][0];
            skin->name = m_resources[static_cast<size_t>(skin->resource)]->name;
            group->skins.push_back(std::move(skin));
        }
        m_groups.push_back(std::move(group));
    }

    m_vertexCount = static_cast<int16_t>(vertices);
    m_faceCount = static_cast<int16_t>(m_faces.size());
    m_resourceCount = static_cast<int16_t>(m_resources.size());
    m_frameCount = static_cast<int16_t>(m_frames.size());
    m_animCount = static_cast<int16_t>(m_anims.size());
    m_groupCount = static_cast<int16_t>(m_groups.size());
    m_tagCount = 0;
    if (!BuildDetailLevels(set)) return false;
    m_sourceKind = 1;
    return true;
}

bool YSMObject::BuildDetailLevels(YFMFMeshSet* set)
{
    if (!set) return true;
    // Each level lists the faces of one vertex count: bounded by the file.
    const uint64_t budget = set->m_fileBytes
                                ? std::max<uint64_t>(uint64_t(set->m_fileBytes) * kDetailBytesPerFileByte, kDetailFloorBytes)
                                : UINT64_MAX;
    uint64_t spent = 0;
    std::vector<Mesh> meshes = Meshes(set);
    for (size_t j = 0; j < meshes.size() && j < m_groups.size(); ++j) {
        Mesh& m = meshes[j];
        IMESH& mesh = *m.mesh;
        const uint32_t start = mesh.countA;
        const uint32_t n = mesh.countB;
        uint32_t lo, hi;
        DetailRange(*m.entry, n, &lo, &hi);
        std::vector<YSMDetailLevel> levels;
        for (uint32_t L = lo; L <= hi; ++L) {
            ReduceTo(m, L);
            // The faces walked, and the corners and indexes kept.
            spent += uint64_t(mesh.countC) * 4;
            if (spent > budget) break;
            YSMDetailLevel level;
            std::map<std::tuple<uint32_t, uint32_t, uint32_t>, uint16_t> seen;
            int32_t highest = 0;
            for (uint32_t p = 0; p < mesh.countC && p < mesh.polygons.size(); ++p) {
                const std::vector<uint32_t>& t = mesh.polygons[p].indexes;
                if (t.size() != 3 || t[0] >= mesh.countB || t[1] >= mesh.countB || t[2] >= mesh.countB) continue;
                const int corner[3] = {0, 2, 1};
                for (int c = 0; c < 3; ++c) {
                    float u, v;
                    Coordinates(mesh, p, corner[c], &u, &v);
                    const float vertex = static_cast<float>(t[corner[c]] + m.entry->base);
                    const float w = 1.0f - v;
                    uint32_t key[3];
                    memcpy(&key[0], &vertex, 4);
                    memcpy(&key[1], &u, 4);
                    memcpy(&key[2], &w, 4);
                    auto found = seen.emplace(std::make_tuple(key[0], key[1], key[2]),
                                              static_cast<uint16_t>(level.corners.size() / 3));
                    if (found.second) {
                        level.corners.push_back(vertex);
                        level.corners.push_back(u);
                        level.corners.push_back(w);
                    }
                    level.cornerIndexes.push_back(found.first->second);
                    highest = std::max<int32_t>(highest, static_cast<int32_t>(t[corner[c]]));
                }
            }
            level.cornerCount = static_cast<int16_t>(level.corners.size() / 3);
            level.highestVertex = static_cast<int16_t>(highest);
            level.faceCount = static_cast<int16_t>(level.cornerIndexes.size() / 3);
            spent += level.corners.size() * sizeof(float) + level.cornerIndexes.size() * sizeof(uint16_t);
            levels.push_back(std::move(level));
        }
        YFMFMeshSet::ApplyToMesh(m.node, m.part, start);
        if (spent > budget) return false;
        m_groups[j]->levels.swap(levels);
    }
    return true;
}

int32_t YSMObject::SelectDetailLevel(const float a[3], float angle, const float b[3], const YFMFMeshPart* entry,
                                     float given, bool useGiven)
{
    if (!entry || !entry->mesh) return 0;
    double v;
    if (useGiven) {
        v = given * 1.732;
    } else {
        const double dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
        v = std::sqrt(dx * dx + dy * dy + dz * dz) * std::tan(angle * (3.14159 / 180.0));
    }
    if (!(v >= 10.0)) v = 10.0;
    if (v > 1300.0) v = 1300.0;
    uint32_t lo, hi;
    DetailRange(*entry, entry->mesh->countB, &lo, &hi);
    double r = std::trunc((1310.0 - v) * (hi - lo) / 1300.0) + lo;
    if (r < lo) r = lo;
    if (r > hi) r = hi;
    return static_cast<int32_t>(r) - static_cast<int32_t>(lo);
}

void YSMObject::FreeDetailLevels(YFMFMeshSet*)
{
    for (auto& group : m_groups) group->levels.clear();
}

const YFMFMeshPart* YSMObject::GetDetailEntry(int16_t group) const
{
    if (!m_meshSet || group < 0) return nullptr;
    const std::vector<Mesh> meshes = Meshes(m_meshSet.get());
    return static_cast<size_t>(group) < meshes.size() ? meshes[static_cast<size_t>(group)].entry : nullptr;
}
