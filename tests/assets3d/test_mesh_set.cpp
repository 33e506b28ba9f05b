// The "YFMF" mesh set: its containers, progressive-mesh stepping, and the
// import of a set into a model with its detail levels.
#include <gtest/gtest.h>

#include "MeshSetFixture.h"
#include "assets3d/YFMFormat.h"
#include "assets3d/YSMObject.h"

#include <cmath>

using namespace meshtest;

TEST(MeshSet, ContainersCountAndRefuseBadIndexes)
{
    YFMFMeshSet set;
    EXPECT_EQ(-1, set.AddMesh(nullptr));
    EXPECT_EQ(1, set.AddMesh(PartsNode({}, 7)));
    EXPECT_EQ(2, set.AddMesh(Animations({})));
    EXPECT_EQ(0, set.FindById(7));
    EXPECT_EQ(-1, set.FindById(8));
    EXPECT_EQ(nullptr, set.GetAt(-1));
    EXPECT_EQ(nullptr, set.GetAt(2));
    EXPECT_EQ(-1, set.RemoveMeshAt(2));
    EXPECT_EQ(1, set.RemoveMeshAt(0));
    AddFrames(set, {3}, {"a", "b"});
    EXPECT_EQ(0, set.FindGroup("frames0"));
    EXPECT_EQ(-1, set.FindGroup("FRAMES0"));
    YFMFGroup* group = set.GetGroupAt(0);
    ASSERT_NE(nullptr, group);
    EXPECT_FLOAT_EQ(0.1f, group->TotalTime());
    EXPECT_EQ(1, group->FindFrame("b"));
    EXPECT_EQ(nullptr, group->GetFrameAt(2));
    YFMFFrame fresh;
    EXPECT_EQ(0xFFFFFFFFu, fresh.GetId());
    EXPECT_FLOAT_EQ(0.05f, fresh.GetTime());
    EXPECT_EQ(-1, fresh.AddNode(nullptr));
    EXPECT_EQ(-1, fresh.RemoveNodeAt(0));
    set.RemoveAll();
    EXPECT_EQ(0, set.GetGroupAt(0)->GetFrameCount());
    set.FreeAll();
    EXPECT_EQ(0, set.GetMeshCount() + set.GetGroupCount());
}

TEST(MeshSet, RefineAndCoarsenStepWithinTheRecords)
{
    std::vector<YFMFMeshPart> parts;
    parts.push_back(Part("m", 10, {"t"}));
    Progressive(parts[0], 4);
    std::unique_ptr<YFMFMeshNode> node(PartsNode(std::move(parts)));
    IMESH& m = *node->parts[0].mesh;
    ASSERT_EQ(6u, m.countA);
    YFMFMeshSet::Refine(node.get(), 0, 3);  // already at the end: nothing
    EXPECT_EQ(6u, m.countA);
    EXPECT_EQ(10u, m.countB);
    YFMFMeshSet::Coarsen(node.get(), 0, 2);
    EXPECT_EQ(4u, m.countA);
    EXPECT_EQ(8u, m.countB);
    EXPECT_EQ(-1.0f, m.positions[9 * 3 + 1]);
    EXPECT_EQ(1.0f, m.positions[7 * 3 + 1]);
    YFMFMeshSet::ApplyToMesh(node.get(), 0, 0);
    EXPECT_EQ(0u, m.countA);
    EXPECT_EQ(4u, m.countB);
    YFMFMeshSet::Coarsen(node.get(), 0, 5);
    EXPECT_EQ(0u, m.countA);
    YFMFMeshSet::Refine(node.get(), 0, 100);
    EXPECT_EQ(6u, m.countA);
    EXPECT_EQ(1.0f, m.positions[9 * 3 + 1]);
    // Bad parts and kinds do nothing.
    YFMFMeshSet::Refine(node.get(), 1, 1);
    YFMFMeshSet::Refine(nullptr, 0, 1);

    // A record whose item names a vertex past the mesh is applied without
    // the write; one that would pass the vertex room is not applied.
    node->parts[0].refine->pool[0].vertex = 1000;
    YFMFMeshSet::ApplyToMesh(node.get(), 0, 0);
    YFMFMeshSet::ApplyToMesh(node.get(), 0, 6);
    EXPECT_EQ(6u, m.countA);
    YFMFMeshSet::ApplyToMesh(node.get(), 0, 0);
    EXPECT_EQ(0u, m.countA);
    node->parts[0].refine->records[0].deltaB = 50;
    YFMFMeshSet::ApplyToMesh(node.get(), 0, 6);
    EXPECT_EQ(0u, m.countA);  // the first record no longer fits
}

TEST(MeshSet, RegroupOrdersByGroup)
{
    YFMFMeshPart part = Part("m", 4, {"a", "b"});
    IMESH& m = *part.mesh;
    m.flags |= IMESH::kVertexRecords;
    m.vertexRecords.assign(4 * 8, 0);
    const uint32_t groups[4] = {1, 0, 5, 0};
    for (int v = 0; v < 4; ++v) m.vertexRecords[v * 8] = groups[v];
    EXPECT_EQ(0, IMESH::RegroupVertices(&m, 0));
    EXPECT_EQ(1, IMESH::RegroupVertices(&m, 2));
    EXPECT_EQ(3u, m.countB);  // the vertex of group 5 is dropped
    EXPECT_EQ((std::vector<float>{1, 1, 0, 3, 1, 0, 0, 0, 0}), m.positions);
    m.polygonMaterials[0].material = 1;
    EXPECT_EQ(1, IMESH::RegroupPolygons(&m, 2));
    EXPECT_EQ((std::vector<uint32_t>{1, 2, 3}), m.polygons[0].indexes);
    EXPECT_EQ(1u, m.polygonMaterials[1].material);
}

TEST(MeshImport, MakesAModelOfTheSet)
{
    YFMFMeshSet set;
    MakeSet(set);
    YSMObject model;
    ASSERT_TRUE(model.ImportMeshSet(&set));
    EXPECT_EQ(8, model.m_vertexCount);
    EXPECT_EQ(4, model.m_faceCount);
    EXPECT_EQ(2, model.m_groupCount);
    EXPECT_EQ(2, model.m_frameCount);
    EXPECT_NE(0, model.m_sourceKind);
    ASSERT_EQ(3u, model.m_resources.size());
    EXPECT_EQ(CString("skin.ytx"), model.m_resources[0]->name);
    EXPECT_EQ(CString("spare.ytx"), model.m_resources[1]->name);
    EXPECT_EQ(CString("prop.ytx"), model.m_resources[2]->name);
    const YSMGroup& prop = *model.m_groups[1];
    EXPECT_EQ(CString("Prop"), prop.name);
    EXPECT_EQ(0x8u, prop.flags);
    EXPECT_EQ((std::vector<uint16_t>{3}), prop.faces);
    ASSERT_EQ(1u, prop.skins.size());
    EXPECT_EQ(2, prop.skins[0]->resource);
    // Prop's triangle (0, 1, 2) reversed and moved past Body's five vertices.
    const YSMFace& f = model.m_faces[3];
    EXPECT_EQ(5, f.v[0]);
    EXPECT_EQ(7, f.v[1]);
    EXPECT_EQ(6, f.v[2]);
    EXPECT_EQ(1, f.group);
    EXPECT_FLOAT_EQ(0.2f, f.uv[2]);  // u of corner t2
    EXPECT_FLOAT_EQ(0.8f, f.uv[3]);  // 1 - v
    EXPECT_EQ(CString("two"), model.m_frames[1]->name);
    EXPECT_EQ(1.0f, model.m_frames[1]->positions[6 * 3 + 1]);
    EXPECT_EQ(1.0f, model.m_frames[1]->positions[6 * 3]);
    ASSERT_EQ(1u, model.m_anims.size());
    EXPECT_FLOAT_EQ(0.4f, model.m_anims[0]->total);
    EXPECT_EQ((std::vector<uint16_t>{0, 1}), model.m_anims[0]->keyFrames);

    // Without an animation node: none; with an empty one: "X".
    YFMFMeshSet still;
    MakeSet(still);
    still.RemoveMeshAt(1);
    ASSERT_TRUE(model.ImportMeshSet(&still));
    EXPECT_TRUE(model.m_anims.empty());
    still.AddMesh(Animations({}));
    ASSERT_TRUE(model.ImportMeshSet(&still));
    ASSERT_EQ(1u, model.m_anims.size());
    EXPECT_EQ(CString("X"), model.m_anims[0]->name);
    EXPECT_FLOAT_EQ(0.1f, model.m_anims[0]->total);
}

TEST(MeshImport, InconsistentSetsAreRefused)
{
    struct Case {
        const char* what;
        void (*spoil)(YFMFMeshSet&);
    } cases[] = {
        {"no meshes", [](YFMFMeshSet& s) { s.RemoveMeshAt(0); }},
        {"empty mesh node", [](YFMFMeshSet& s) { s.GetAt(0)->parts.clear(); }},
        {"fewer frame groups than meshes", [](YFMFMeshSet& s) { s.GetGroupAt(1)->m_type = 7; s.AddGroup(new YFMFGroup); s.GetGroupAt(2)->m_type = YFMFGroup::kFrames; }},
        {"frame entry too short", [](YFMFMeshSet& s) { s.GetGroupAt(1)->GetFrameAt(1)->GetNodeAt(0)->bytes.resize(12); }},
        {"four-sided polygon", [](YFMFMeshSet& s) { s.GetAt(0)->parts[0].mesh->polygons[1].indexes.push_back(0); }},
        {"vertex index past the mesh", [](YFMFMeshSet& s) { s.GetAt(0)->parts[1].mesh->polygons[0].indexes[2] = 3; }},
        {"texture index past the pairs", [](YFMFMeshSet& s) { s.GetAt(0)->parts[0].mesh->polygonMaterials[2].first[1] = 5; }},
        {"key frame past the frames", [](YFMFMeshSet& s) { s.GetAt(1)->lists[0].first[1] = 2; }},
        {"key without duration", [](YFMFMeshSet& s) { s.GetAt(1)->lists[0].second[0] = 0; }},
        {"animation without keys", [](YFMFMeshSet& s) { s.GetAt(1)->lists[0].first.clear(); s.GetAt(1)->lists[0].second.clear(); }},
        {"more vertices than 16 bits", [](YFMFMeshSet& s) {
             IMESH& m = *s.GetAt(0)->parts[0].mesh;
             m.countB = 32765;
             m.positions.resize(32765 * 3);
         }},
    };
    for (const Case& c : cases) {
        YFMFMeshSet set;
        MakeSet(set);
        c.spoil(set);
        YSMObject model;
        EXPECT_FALSE(model.ImportMeshSet(&set)) << c.what;
        EXPECT_EQ(0, model.m_groupCount + model.m_faceCount + model.m_vertexCount) << c.what;
        // Nothing is left behind the empty counts.
        EXPECT_TRUE(model.m_faces.empty() && model.m_frames.empty() && model.m_resources.empty() &&
                    model.m_anims.empty() && model.m_groups.empty())
            << c.what;
    }
}

// A progressive mesh of 4,000 vertices with levels from 20 to 100 % lists
// 3,201 vertex counts: a set read from a 400 KB file may not keep that
// many tables; a narrower range may, and a set built in memory is not bounded.
TEST(MeshDetail, TablesAreBoundedByTheFilesSize)
{
    struct Case {
        float low;
        uint32_t fileBytes;
        bool imports;
    } cases[] = {{20.0f, 400000, false}, {95.0f, 400000, true}, {20.0f, 0, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.low << " %, " << c.fileBytes << " bytes");
        YFMFMeshSet set;
        std::vector<YFMFMeshPart> parts;
        parts.push_back(Part("m", 4000, {"t"}, c.low, 100.0f));
        Progressive(parts[0], 800);
        set.AddMesh(PartsNode(std::move(parts)));
        AddFrames(set, {4000}, {"only"});
        set.m_fileBytes = c.fileBytes;
        YSMObject model;
        EXPECT_EQ(c.imports, model.ImportMeshSet(&set));
        EXPECT_EQ(c.imports ? 1 : 0, model.m_groupCount);
        if (c.imports) EXPECT_EQ(static_cast<size_t>(4001 - 40 * c.low), model.m_groups[0]->levels.size());
    }
}

TEST(MeshDetail, LevelsListTheFacesOfEachVertexCount)
{
    YFMFMeshSet set;
    std::vector<YFMFMeshPart> parts;
    parts.push_back(Part("m", 10, {"t"}, 40.0f, 100.0f));
    Progressive(parts[0], 4);
    set.AddMesh(PartsNode(std::move(parts)));
    AddFrames(set, {10}, {"only"});
    YSMObject model;
    ASSERT_TRUE(model.ImportMeshSet(&set));
    const std::vector<YSMDetailLevel>& levels = model.m_groups[0]->levels;
    ASSERT_EQ(7u, levels.size());  // 4 .. 10 vertices
    EXPECT_EQ(2, levels[0].faceCount);
    EXPECT_EQ(4, levels[0].cornerCount);
    EXPECT_EQ(3, levels[0].highestVertex);
    // Corners in reversed winding: (0, 2, 1) then (1, 3, 2).
    EXPECT_EQ((std::vector<uint16_t>{0, 1, 2, 2, 3, 1}), std::vector<uint16_t>(levels[0].cornerIndexes.begin(), levels[0].cornerIndexes.begin() + 6));
    EXPECT_EQ(8, levels[6].faceCount);
    EXPECT_EQ(10, levels[6].cornerCount);
    EXPECT_EQ(9, levels[6].highestVertex);
    // The mesh is back where the import found it.
    EXPECT_EQ(6u, set.GetAt(0)->parts[0].mesh->countA);
    EXPECT_EQ(10u, set.GetAt(0)->parts[0].mesh->countB);
    model.FreeDetailLevels(&set);
    EXPECT_TRUE(model.m_groups[0]->levels.empty());

    // High below low makes one level; percentages past 100 stop at the count.
    struct Case {
        float low, high;
        size_t levels;
    } cases[] = {{80.0f, 20.0f, 1}, {0.0f, 250.0f, 11}, {-50.0f, 30.0f, 4}, {std::nanf(""), 10.0f, 2}};
    for (const Case& c : cases) {
        YFMFMeshSet s;
        std::vector<YFMFMeshPart> p;
        p.push_back(Part("m", 10, {"t"}, c.low, c.high));
        s.AddMesh(PartsNode(std::move(p)));
        YSMObject m;
        ASSERT_TRUE(m.ImportMeshSet(&s));
        EXPECT_EQ(c.levels, m.m_groups[0]->levels.size()) << c.low << " " << c.high;
    }
}

TEST(MeshDetail, SelectionByDistance)
{
    YFMFMeshPart entry = Part("m", 1000, {"t"}, 20.0f, 100.0f);
    const float a[3] = {0, 0, 0};
    struct Case {
        float distance, angle, given;
        bool useGiven;
        int32_t level;
    } cases[] = {
        {0.0f, 45.0f, 0.0f, false, 800},      // v clamped up to 10
        {1300.0f, 45.0f, 0.0f, false, 6},     // v = 1300 (tan 45 = 1)
        {5000.0f, 45.0f, 0.0f, false, 6},     // clamped to 1300
        {0.0f, 0.0f, 100.0f, true, 699},      // v = 173.2
    };
    for (const Case& c : cases) {
        const float b[3] = {c.distance, 0, 0};
        EXPECT_EQ(c.level, YSMObject::SelectDetailLevel(a, c.angle, b, &entry, c.given, c.useGiven)) << c.distance;
    }
    YFMFMeshPart flipped = Part("m", 1000, {"t"}, 100.0f, 20.0f);
    const float b[3] = {10, 0, 0};
    EXPECT_EQ(0, YSMObject::SelectDetailLevel(a, 45.0f, b, &flipped, 0.0f, false));
}

TEST(MeshImport, LoadFileImportsAnFmfAndRefusesOthers)
{
    YFMFMeshSet set;
    EXPECT_FALSE(YFMFormat::LoadFromFile(&set, "/nonexistent/x.fmf"));
    const unsigned char notFmf[] = {'Y', 'S', 'M', 'O', 0, 0, 0, 0};
    EXPECT_FALSE(YFMFormat::LoadFromMemory(&set, notFmf, sizeof notFmf));
    // The smallest set: magic, two words, no meshes, no groups.
    const unsigned char empty[20] = {'Y', 'F', 'M', 'F'};
    EXPECT_TRUE(YFMFormat::LoadFromMemory(&set, empty, sizeof empty));
    YSMObject model;
    EXPECT_FALSE(model.ImportMeshSet(&set));  // nothing to make a model of
}
