#include "tools/YSampleModels.h"

#include <cmath>
#include <cstring>
#include <sys/stat.h>

#include "assets3d/YFMFGroup.h"
#include "assets3d/YFMFMeshSet.h"
#include "assets3d/YSMObject.h"
#include "tools/YFMFWriter.h"

namespace {
YSMTag* Tag(const char* key, const char* value)
{
    YSMTag* tag = new YSMTag;
    tag->key = key;
    tag->value = value;
    return tag;
}

int16_t Resource(YSMObject& m, const char* name)
{
    for (size_t i = 0; i < m.m_resources.size(); ++i)
        if (m.m_resources[i]->name == name) return static_cast<int16_t>(i);
    YSMResource* r = new YSMResource;
    r->name = name;
    m.m_resources.emplace_back(r);
    return static_cast<int16_t>(m.m_resources.size() - 1);
}

// A group with one skin per texture name.
// Groups a paint splat sticks to.
const uint32_t kTakesDecals = 0x80;

int AddGroup(YSMObject& m, const char* name, uint32_t flags, std::vector<const char*> skins)
{
    YSMGroup* g = new YSMGroup;
    g->name = name;
    g->flags = flags;
    for (const char* s : skins) {
        YSMSkin* skin = new YSMSkin;
        skin->name = s;
        // Found beside the model file.
        skin->resource = Resource(m, (std::string("file;") + s + ".ytx").c_str());
        g->skins.emplace_back(skin);
    }
    m.m_groups.emplace_back(g);
    return static_cast<int>(m.m_groups.size() - 1);
}

// The models are drawn in engine axes (x right, y up, z forward) and stored
// in model axes, which the renderer's remap turns into engine (-y, z, x).
void ToModel(float* p)
{
    const float e[3] = {p[0], p[1], p[2]};
    p[0] = e[2], p[1] = -e[0], p[2] = e[1];
}

void ToEngine(float* p)
{
    const float m[3] = {p[0], p[1], p[2]};
    p[0] = -m[1], p[1] = m[2], p[2] = m[0];
}

int AddVertex(YSMObject& m, float x, float y, float z)
{
    float p[3] = {x, y, z};
    ToModel(p);
    for (auto& frame : m.m_frames) frame->positions.insert(frame->positions.end(), {p[0], p[1], p[2]});
    return m.m_vertexCount++;
}

void AddFace(YSMObject& m, int a, int b, int c, int group, float u0 = 0, float v0 = 0, float u1 = 1, float v1 = 0,
             float u2 = 1, float v2 = 1)
{
    YSMFace f = {};
    f.v[0] = static_cast<int16_t>(a), f.v[1] = static_cast<int16_t>(b), f.v[2] = static_cast<int16_t>(c);
    const float uv[6] = {u0, v0, u1, v1, u2, v2};
    memcpy(f.uv, uv, sizeof uv);
    f.group = static_cast<int16_t>(group);
    m.m_faces.push_back(f);
}

// A box from its centre and half sizes: eight vertices, twelve faces.
void AddBox(YSMObject& m, int group, float cx, float cy, float cz, float hx, float hy, float hz)
{
    int v[8];
    for (int i = 0; i < 8; ++i)
        v[i] = AddVertex(m, cx + ((i & 1) ? hx : -hx), cy + ((i & 2) ? hy : -hy), cz + ((i & 4) ? hz : -hz));
    const int quads[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
    for (const auto& q : quads) {
        AddFace(m, v[q[0]], v[q[1]], v[q[2]], group, 0, 0, 1, 0, 1, 1);
        AddFace(m, v[q[0]], v[q[2]], v[q[3]], group, 0, 0, 1, 1, 0, 1);
    }
}

// A marker quad: two faces sharing the edge p1-p2, u on the far side.
void AddMarker(YSMObject& m, int group, const float u[3], const float p1[3], const float p2[3], const float w[3])
{
    int a = AddVertex(m, u[0], u[1], u[2]), b = AddVertex(m, p1[0], p1[1], p1[2]);
    int c = AddVertex(m, p2[0], p2[1], p2[2]), d = AddVertex(m, w[0], w[1], w[2]);
    AddFace(m, a, b, c, group);
    AddFace(m, c, b, d, group);
}

void Start(YSMObject& m, std::vector<const char*> frames)
{
    m.Clear();
    for (const char* name : frames) {
        YSMFrame* frame = new YSMFrame;
        frame->name = name;
        m.m_frames.emplace_back(frame);
    }
}

// Counts, presence bytes and face lists as a load leaves them.
void Finish(YSMObject& m)
{
    m.m_faceCount = static_cast<int16_t>(m.m_faces.size());
    m.m_groupCount = static_cast<int16_t>(m.m_groups.size());
    m.m_frameCount = static_cast<int16_t>(m.m_frames.size());
    m.m_animCount = static_cast<int16_t>(m.m_anims.size());
    m.m_resourceCount = static_cast<int16_t>(m.m_resources.size());
    m.m_tagCount = static_cast<int16_t>(m.m_tags.size());
    for (size_t g = 0; g < m.m_groups.size(); ++g) {
        YSMGroup& group = *m.m_groups[g];
        group.faces.clear();
        for (size_t f = 0; f < m.m_faces.size(); ++f)
            if (m.m_faces[f].group == static_cast<int16_t>(g)) group.faces.push_back(static_cast<uint16_t>(f));
        group.faceCount = static_cast<int16_t>(group.faces.size());
    }
    const YSMPose rest = {{0, 0, 0, 0, 0, 0, 0, 0, 0, 1.0f}};
    for (auto& frame : m.m_frames) {
        if (frame->present.size() != m.m_groups.size()) frame->present.assign(m.m_groups.size(), 1);
        frame->poses.assign(m.m_groups.size(), rest);
    }
}

uint32_t Bits(float f)
{
    uint32_t b;
    memcpy(&b, &f, 4);
    return b;
}

// A mesh part over a grid of columns x rows vertices: positions by the
// callback, two triangles a cell, one texture pair a vertex.
template <typename Place>
YFMFMeshPart GridPart(const char* name, const char* material, int columns, int rows, float low, float high,
                      uint32_t flags, Place place)
{
    YFMFMeshPart part;
    part.values[0] = flags;
    part.values[1] = Bits(low);
    part.values[2] = Bits(high);
    part.refine.reset(new YFMFRefineBlock);
    part.mesh.reset(new IMESH);
    IMESH& m = *part.mesh;
    strncpy(m.name, name, sizeof m.name - 1);
    m.countB = static_cast<uint32_t>(columns * rows);
    m.countC = static_cast<uint32_t>((columns - 1) * (rows - 1) * 2);
    m.countD = 1;
    m.flags = IMESH::kPolygonMaterials | IMESH::kTyped4;
    m.typed4.count = m.countB;
    m.typed4.size = 8;
    m.Allocate(true);
    m.AllocateTypedData();
    strncpy(reinterpret_cast<char*>(m.materials.data()), material, IMESH::kMaterialNameSize - 1);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const int v = r * columns + c;
            place(c, r, &m.positions[static_cast<size_t>(v) * 3]);
            ToModel(&m.positions[static_cast<size_t>(v) * 3]);
            const float uv[2] = {static_cast<float>(c) / (columns - 1), static_cast<float>(r) / (rows - 1)};
            memcpy(&m.typed4.data[static_cast<size_t>(v) * 8], uv, 8);
        }
    }
    uint32_t p = 0;
    for (int r = 0; r + 1 < rows; ++r) {
        for (int c = 0; c + 1 < columns; ++c) {
            const uint32_t a = static_cast<uint32_t>(r * columns + c), b = a + 1, d = a + static_cast<uint32_t>(columns),
                           e = d + 1;
            for (const std::vector<uint32_t>& t : {std::vector<uint32_t>{a, b, e}, std::vector<uint32_t>{a, e, d}}) {
                m.polygons[p].indexes = t;
                m.polygonMaterials[p].material = 0;
                m.polygonMaterials[p].first = t;
                ++p;
            }
        }
    }
    return part;
}

// Refine records that add the vertices from keep on, one a record, each
// moving its vertex from the grid's first vertex out to its place.
void MakeProgressive(YFMFMeshPart& part, uint32_t keep)
{
    IMESH& m = *part.mesh;
    for (uint32_t v = keep; v < m.countB; ++v) {
        YFMFRefineRecord record;
        record.deltaB = 1;
        record.firstItem = static_cast<uint32_t>(part.refine->pool.size());
        for (uint32_t axis = 0; axis < 3; ++axis) {
            YFMFRefineItem item;
            item.vertex = v;
            item.channel = axis + 1;
            item.coarsen = Bits(m.positions[axis]);
            item.refine = Bits(m.positions[v * 3 + axis]);
            part.refine->pool.push_back(item);
        }
        record.itemCount = 3;
        part.refine->records.push_back(record);
    }
    m.countA = static_cast<uint32_t>(part.refine->records.size());
    m.itemsA.assign(static_cast<size_t>(m.countA) * 12, 0);
}

YFMFMeshNode* PositionsNode(const IMESH& mesh, const std::vector<float>& positions)
{
    YFMFMeshNode* node = new YFMFMeshNode;
    node->kind = 2;
    node->itemCount = mesh.countB;
    node->bytes.resize(positions.size() * 4);
    memcpy(node->bytes.data(), positions.data(), node->bytes.size());
    return node;
}

// One frame group per mesh of the set's first node, one frame a name, the
// positions of frame k made by the callback from the mesh's own.
template <typename Move>
void AddFrameGroups(YFMFMeshSet& set, const std::vector<std::string>& names, Move move)
{
    YFMFMeshNode& node = *set.m_meshes[0];
    for (size_t j = 0; j < node.parts.size(); ++j) {
        const IMESH& mesh = *node.parts[j].mesh;
        YFMFGroup* group = new YFMFGroup;
        group->m_name = std::string(mesh.name) + " frames";
        group->m_type = YFMFGroup::kFrames;
        for (size_t k = 0; k < names.size(); ++k) {
            std::vector<float> positions = mesh.positions;
            for (size_t i = 0; i < positions.size(); i += 3) ToEngine(&positions[i]);
            move(j, k, positions);
            for (size_t i = 0; i < positions.size(); i += 3) ToModel(&positions[i]);
            YFMFFrame* frame = new YFMFFrame;
            frame->SetName(names[k].c_str());
            frame->SetId(static_cast<uint32_t>(k));
            frame->AddNode(PositionsNode(mesh, positions));
            group->AddFrame(frame);
        }
        set.AddGroup(group);
    }
}

bool Save(YSMObject& model, const std::string& path, std::string& error)
{
    if (model.SaveFile(path.c_str())) return true;
    error = "cannot write " + path;
    return false;
}
}  // namespace

const std::vector<YSampleModels::Plane>& YSampleModels::Planes()
{
    static const std::vector<Plane> planes = {
        {"biplane", "biplane", "No", "Yes"},       {"corsair_plane", "corsair", "G64", "No"},
        {"f15plane", "F15plane", "G64", "Yes"},    {"p40plane", "P40PLANE", "No", "No"},
        {"sigcap231plane", "Sigcap231", "No", "Yes"},
    };
    return planes;
}

void YSampleModels::MakePlane(const Plane& plane, YSMObject& m)
{
    // Frame 0 and frame 1 are the two liveries: the same shape, the livery
    // group shown in its own colours in each.
    Start(m, {"livery_a", "livery_b"});
    const std::string paint = std::string(plane.key) + "_paint";
    const int normal = AddGroup(m, "Normal", 0x2 | 0x10 | kTakesDecals, {paint.c_str()});
    AddBox(m, normal, 0, 0.4f, 0, 0.35f, 0.35f, 2.0f);
    const int camera = AddGroup(m, "Camera", 0x8, {});
    // The pivot the actor draws the model about: a unit edge from the model's
    // origin along +z, face up, so the pose leaves the model as it is.
    const float cu[3] = {0.2f, 0, 0.2f}, c1[3] = {0, 0, 0}, c2[3] = {0, 0, 1.0f}, cw[3] = {-0.2f, 0, 0.5f};
    AddMarker(m, camera, cu, c1, c2, cw);
    const int left = AddGroup(m, "Normal_wing_left", 0x2 | 0x10 | kTakesDecals, {paint.c_str()});
    AddBox(m, left, -2.2f, 0.5f, 0.3f, 1.8f, 0.06f, 0.6f);
    const int right = AddGroup(m, "Normal_wing_right", 0x2 | 0x10 | kTakesDecals, {paint.c_str()});
    AddBox(m, right, 2.2f, 0.5f, 0.3f, 1.8f, 0.06f, 0.6f);
    const int tail = AddGroup(m, "Normal_tail", 0x2 | 0x10 | kTakesDecals, {paint.c_str()});
    AddBox(m, tail, 0, 0.9f, -1.8f, 0.05f, 0.45f, 0.3f);
    // The undercarriage: the axle and the legs up into the body.  Its height
    // exceeds the body's by about 0.21 m, which sets the taxi pitch near 12
    // degrees; the leg's ends lie on the 1/64 m grid of the packed models.
    const int wheels = AddGroup(m, "Normal_wheels", 0x2 | 0x1, {"tyre"});
    AddBox(m, wheels, 0, -0.3f, 0.8f, 0.7f, 0.05f, 0.05f);
    AddBox(m, wheels, 0, 0.09375f, 0.8f, 0.04f, 0.453125f, 0.04f);
    for (const char* side : {"Normal_wheel_left", "Normal_wheel_right"}) {
        const float x = side[13] == 'l' ? -0.7f : 0.7f;
        AddBox(m, AddGroup(m, side, 0x2 | 0x1, {"tyre"}), x, -0.35f, 0.8f, 0.06f, 0.22f, 0.22f);
    }
    const int prop = AddGroup(m, "Normal_prop", 0x2, {"prop"});
    AddBox(m, prop, 0, 0.4f, 2.1f, 0.1f, 0.1f, 0.1f);
    const int propeller = AddGroup(m, "Propeller", 0x2, {"prop"});
    AddBox(m, propeller, 0, 0.4f, 2.2f, 0.9f, 0.08f, 0.02f);
    const std::string a = std::string(plane.key) + "_livery_a", b = std::string(plane.key) + "_livery_b";
    const int livery = AddGroup(m, plane.livery, 0x2, {a.c_str(), b.c_str()});
    AddBox(m, livery, 0, 0.8f, 0, 0.3f, 0.02f, 1.6f);
    // The second livery lifts its stripe a little (model z is up), so the frames differ.
    for (size_t i = 0; i < m.m_frames[1]->positions.size(); i += 3)
        if (i / 3 >= static_cast<size_t>(m.m_vertexCount) - 8) m.m_frames[1]->positions[i + 2] += 0.01f;
    m.m_tags.emplace_back(Tag("VertCompress", plane.vert));
    m.m_tags.emplace_back(Tag("ZCompress", plane.zip));
    m.m_tags.emplace_back(Tag("Model", plane.key));
    Finish(m);
}

void YSampleModels::MakeArrow(YSMObject& m)
{
    Start(m, {"arrow"});
    const int normal = AddGroup(m, "Normal", 0x2, {"arrow"});
    AddBox(m, normal, 0, 0, -0.4f, 0.15f, 0.05f, 0.6f);
    // The head: a flat triangle at the front, both sides.
    const int a = AddVertex(m, -0.45f, 0, 0.2f), b = AddVertex(m, 0.45f, 0, 0.2f), c = AddVertex(m, 0, 0, 0.9f);
    AddFace(m, a, b, c, normal);
    AddFace(m, b, a, c, normal);
    m.m_tags.emplace_back(Tag("VertCompress", "No"));
    Finish(m);
}

void YSampleModels::MakeTarget(YSMObject& m)
{
    Start(m, {"target"});
    const int normal = AddGroup(m, "Normal", 0x2 | 0x10, {"target"});
    // Three rings of flat boxes standing on a post, as a shooting target.
    for (int ring = 0; ring < 3; ++ring) {
        const float r = 1.5f - 0.45f * static_cast<float>(ring);
        AddBox(m, normal, 0, 2.0f, 0.02f * static_cast<float>(ring), r, r, 0.05f);
    }
    const int post = AddGroup(m, "Post", 0x2 | 0x10 | 0x1, {"wood"});
    AddBox(m, post, 0, 0.5f, -0.1f, 0.1f, 0.5f, 0.1f);
    m.m_tags.emplace_back(Tag("VertCompress", "G64"));
    m.m_tags.emplace_back(Tag("ZCompress", "Yes"));
    Finish(m);
}

void YSampleModels::MakeBarn(YSMObject& m)
{
    Start(m, {"barn"});
    // The pivot group "Normal" is the body; a ridge roof sits on it.
    const int normal = AddGroup(m, "Normal", 0x2 | 0x10 | kTakesDecals, {"barn"});
    AddBox(m, normal, 0, 1.5f, 0, 2.5f, 1.5f, 4.0f);
    const int roof = AddGroup(m, "Roof", 0x2 | 0x10 | kTakesDecals, {"roof"});
    const float w = 2.8f, eave = 3.0f, ridge = 4.6f, d = 4.3f;
    const int a = AddVertex(m, -w, eave, -d), b = AddVertex(m, w, eave, -d), c = AddVertex(m, 0, ridge, -d);
    const int e = AddVertex(m, -w, eave, d), f = AddVertex(m, w, eave, d), g = AddVertex(m, 0, ridge, d);
    // The two slopes and the two gables, wound as the box's faces are.
    const int quads[2][4] = {{a, c, g, e}, {b, f, g, c}};
    for (const auto& q : quads) {
        AddFace(m, q[0], q[1], q[2], roof, 0, 0, 1, 0, 1, 1);
        AddFace(m, q[0], q[2], q[3], roof, 0, 0, 1, 1, 0, 1);
    }
    const int gables[2][3] = {{a, b, c}, {e, g, f}};
    for (const auto& t : gables) AddFace(m, t[0], t[1], t[2], normal, 0, 1, 0.5f, 0, 1, 1);
    m.m_tags.emplace_back(Tag("VertCompress", "No"));
    Finish(m);
}

void YSampleModels::MakeTree(YFMFMeshSet& set)
{
    set.FreeAll();
    std::vector<YFMFMeshPart> parts;
    // The trunk: a tube of 6 x 3 vertices, always whole.
    parts.push_back(GridPart("Trunk", "file;bark.ytx", 6, 3, 100.0f, 100.0f, 0x2, [](int c, int r, float* p) {
        const float a = static_cast<float>(c) / 5.0f * 6.2831853f;
        p[0] = 0.3f * std::cos(a), p[1] = 1.5f * static_cast<float>(r), p[2] = 0.3f * std::sin(a);
    }));
    // The crown: a dome of 8 x 5 vertices with detail levels from 40 %.
    parts.push_back(GridPart("Normal", "file;leaves.ytx", 8, 5, 40.0f, 100.0f, 0x2 | 0x10, [](int c, int r, float* p) {
        const float a = static_cast<float>(c) / 7.0f * 6.2831853f, h = static_cast<float>(r) / 4.0f;
        const float radius = 2.0f * std::sin(3.1415927f * (0.15f + 0.85f * h) / 1.0f * 0.5f + 0.3f) * (1.0f - 0.7f * h);
        p[0] = radius * std::cos(a), p[1] = 3.0f + 2.5f * h, p[2] = radius * std::sin(a);
    }));
    MakeProgressive(parts[1], 16);
    YFMFMeshNode* node = new YFMFMeshNode;
    node->id = 1;
    node->kind = 1;
    node->itemCount = static_cast<uint32_t>(parts.size());
    node->parts = std::move(parts);
    set.AddMesh(node);
    // The tree sways between two frames.
    AddFrameGroups(set, {"still", "sway"}, [](size_t, size_t k, std::vector<float>& p) {
        for (size_t i = 0; i < p.size(); i += 3) p[i] += 0.05f * static_cast<float>(k) * p[i + 1];
    });
    YFMFMeshNode* anims = new YFMFMeshNode;
    anims->id = 2;
    anims->kind = 4;
    anims->itemCount = 1;
    YFMFNamedList sway;
    sway.name = "sway";
    sway.first = {0, 1};
    sway.second = {Bits(1.0f), Bits(1.0f)};
    anims->lists.push_back(sway);
    set.AddMesh(anims);
}

const std::vector<std::pair<const char*, int>>& YSampleModels::BearAnimations()
{
    static const std::vector<std::pair<const char*, int>> anims = {
        {"idle_one", 6}, {"idle_two", 24}, {"attack_01", 8}, {"attack_02", 8},
        {"attack_03", 12}, {"faint", 4}, {"pain", 4},
    };
    return anims;
}

void YSampleModels::MakeBear(YFMFMeshSet& set)
{
    set.FreeAll();
    std::vector<YFMFMeshPart> parts;
    // Body and head: squashed tubes.
    parts.push_back(GridPart("Normal", "models\\fur.ytx", 8, 4, 100.0f, 100.0f, 0x2 | 0x10, [](int c, int r, float* p) {
        const float a = static_cast<float>(c) / 7.0f * 6.2831853f, h = static_cast<float>(r) / 3.0f;
        const float radius = 0.6f * std::sin(3.1415927f * (0.1f + 0.8f * h));
        p[0] = radius * std::cos(a), p[1] = 0.7f + 0.5f * radius * std::sin(a), p[2] = -0.8f + 1.6f * h;
    }));
    parts.push_back(GridPart("Head", "models\\fur.ytx", 6, 3, 100.0f, 100.0f, 0x2 | 0x10, [](int c, int r, float* p) {
        const float a = static_cast<float>(c) / 5.0f * 6.2831853f, h = static_cast<float>(r) / 2.0f;
        const float radius = 0.35f * std::sin(3.1415927f * (0.1f + 0.8f * h));
        p[0] = radius * std::cos(a), p[1] = 1.1f + radius * std::sin(a), p[2] = 0.8f + 0.6f * h;
    }));
    YFMFMeshNode* node = new YFMFMeshNode;
    node->id = 1;
    node->kind = 1;
    node->itemCount = 2;
    node->parts = std::move(parts);
    set.AddMesh(node);
    // Twelve poses: the head nods and the body rears.
    std::vector<std::string> names;
    for (int k = 0; k < 12; ++k) names.push_back("pose" + std::to_string(k));
    AddFrameGroups(set, names, [](size_t mesh, size_t k, std::vector<float>& p) {
        const float t = std::sin(static_cast<float>(k) / 12.0f * 6.2831853f);
        for (size_t i = 0; i < p.size(); i += 3) {
            if (mesh == 1) p[i + 1] += 0.15f * t;
            else p[i + 1] += 0.1f * t * p[i + 2];
        }
    });
    YFMFMeshNode* anims = new YFMFMeshNode;
    anims->id = 2;
    anims->kind = 4;
    int start = 0;
    for (const auto& a : BearAnimations()) {
        YFMFNamedList list;
        list.name = a.first;
        for (int key = 0; key < a.second; ++key) {
            list.first.push_back(static_cast<uint32_t>((start + key) % 12));
            list.second.push_back(Bits(0.08f + 0.01f * static_cast<float>(key % 3)));
        }
        start += 3;
        anims->lists.push_back(list);
    }
    anims->itemCount = static_cast<uint32_t>(anims->lists.size());
    set.AddMesh(anims);
}

bool YSampleModels::WriteAll(const std::string& folder, std::string& error)
{
    const std::string models = folder + "/models";
    mkdir(models.c_str(), 0755);
    for (const Plane& plane : Planes()) {
        YSMObject model;
        MakePlane(plane, model);
        if (!Save(model, models + "/" + plane.key + ".ysm", error)) return false;
    }
    YSMObject arrow, target, barn;
    MakeArrow(arrow);
    MakeTarget(target);
    MakeBarn(barn);
    if (!Save(arrow, models + "/arrow.ysm", error) || !Save(target, models + "/target.ysm", error) ||
        !Save(barn, models + "/barn.ysm", error))
        return false;
    YFMFMeshSet tree, bear;
    MakeTree(tree);
    MakeBear(bear);
    if (!YFMFWriter::WriteFile(tree, models + "/tree.fmf") || !YFMFWriter::WriteFile(bear, models + "/bear.fmf")) {
        error = "cannot write the mesh sets in " + models;
        return false;
    }
    return true;
}
