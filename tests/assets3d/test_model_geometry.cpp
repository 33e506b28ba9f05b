// Geometry preparation (axes, welds, normals, boxes, marker poses, corner
// lists) and the pre-shell, on small models checked by table.
#include <gtest/gtest.h>

#include <cmath>

#include "ModelFixture.h"

using namespace modeltest;

namespace {
void ExpectVec(const std::vector<float>& v, size_t vertex, float x, float y, float z)
{
    EXPECT_NEAR(x, v[vertex * 3], 1e-5) << vertex;
    EXPECT_NEAR(y, v[vertex * 3 + 1], 1e-5) << vertex;
    EXPECT_NEAR(z, v[vertex * 3 + 2], 1e-5) << vertex;
}

// One frame: a marker quad (group 0) and one more triangle (group 1).
void MakeMarker(YSMObject& m, uint32_t markerFlags = 0x8)
{
    m.m_faces = {Face(0, 1, 2, 0), Face(2, 1, 3, 0), Face(4, 5, 6, 1)};
    m.m_groups.emplace_back(Group("Marker", markerFlags));
    m.m_groups.emplace_back(Group("Body", 0x2));
    m.m_frames.emplace_back(Frame("f", {0, 0, 0, 1, 0.5f, 0.2f, 1.5f, 2, 1, 2.5f, 2.5f, 1.2f,  //
                                        -1, -2, -3, 4, 0, 0, 0, 5, 6},
                                  2));
    Finish(m, 7);
}
}  // namespace

TEST(ModelGeometry, RemapAxesReadsAllThreeFirst)
{
    YSMObject m;
    MakeSmall(m);
    m.m_frames[0]->positions[3] = 1, m.m_frames[0]->positions[4] = 2, m.m_frames[0]->positions[5] = 3;
    const uint8_t permutation[3] = {1, 2, 0};
    const float signs[3] = {-1.0f, 1.0f, 1.0f};
    m.RemapAxes(permutation, signs);
    ExpectVec(m.m_frames[0]->positions, 1, -2, 3, 1);
}

TEST(ModelGeometry, WeldsOnlyWhatMatchesInEveryFrame)
{
    YSMObject m;
    // Vertices 0 and 3 agree in both frames; 1 and 4 only in frame 0.
    m.m_faces = {Face(0, 1, 2, 0), Face(3, 4, 5, 0)};
    m.m_groups.emplace_back(Group("g", 0x2));
    m.m_frames.emplace_back(Frame("a", {0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0}, 1));
    m.m_frames.emplace_back(Frame("b", {0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 1, 1, 0, 0, 1, 0}, 1));
    Finish(m, 6);
    m.WeldAndComputeNormals();
    EXPECT_EQ(5, m.m_vertexCount);
    EXPECT_EQ(0, m.m_faces[1].v[0]);
    EXPECT_EQ(3, m.m_faces[1].v[1]);
    EXPECT_EQ(4, m.m_faces[1].v[2]);
    ASSERT_EQ(15u, m.m_frames[1]->positions.size());
    ExpectVec(m.m_frames[1]->positions, 3, 1, 1, 0);
    // Face 0 lies in y = 0: e1 x e2 = (1,0,0) x (-1,0,1) points along -y.
    ExpectVec(m.m_frames[0]->normals, 1, 0, -1, 0);
    // Vertex 0 is in both faces: the two unit normals add and are normalised.
    const std::vector<float>& n = m.m_frames[0]->normals;
    EXPECT_NEAR(1.0f, std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]), 1e-5);

    // After a mesh-set import nothing is welded.
    YSMObject imported;
    imported.m_faces = {Face(0, 1, 2, 0)};
    imported.m_groups.emplace_back(Group("g", 0x2));
    imported.m_frames.emplace_back(Frame("a", {0, 0, 0, 0, 0, 0, 1, 1, 1}, 1));
    Finish(imported, 3);
    imported.m_sourceKind = 1;
    imported.WeldAndComputeNormals();
    EXPECT_EQ(3, imported.m_vertexCount);
    // The face is collinear (two corners equal): normals stay zero.
    ExpectVec(imported.m_frames[0]->normals, 2, 0, 0, 0);
}

// 8,000 vertices over 80 frames, all at one point but in the last frame,
// where they pair up (0.0 and -0.0 are one position; NaN matches nothing).
TEST(ModelGeometry, WeldsManyVerticesOverManyFrames)
{
    const int n = 8000, frames = 80;
    const float nan = std::nanf("");
    YSMObject m;
    m.m_faces = {Face(0, 1, 2, 0), Face(n - 3, n - 2, n - 1, 0)};
    m.m_groups.emplace_back(Group("g", 0x2));
    for (int k = 0; k < frames; ++k) {
        std::vector<float> p(n * 3, 1.0f);
        if (k == frames - 1) {
            for (int i = 0; i < n; ++i) {
                p[i * 3] = i >= n - 2 ? nan : static_cast<float>(i / 2);
                p[i * 3 + 2] = i % 2 ? -0.0f : 0.0f;
            }
        }
        m.m_frames.emplace_back(Frame("f", p, 1));
    }
    Finish(m, n);
    m.WeldAndComputeNormals();
    EXPECT_EQ(n / 2 + 1, m.m_vertexCount);
    EXPECT_EQ((std::vector<int>{0, 0, 1}), (std::vector<int>{m.m_faces[0].v[0], m.m_faces[0].v[1], m.m_faces[0].v[2]}));
    EXPECT_EQ((std::vector<int>{n / 2 - 2, n / 2 - 1, n / 2}),
              (std::vector<int>{m.m_faces[1].v[0], m.m_faces[1].v[1], m.m_faces[1].v[2]}));
    ASSERT_EQ(static_cast<size_t>(n / 2 + 1) * 3, m.m_frames.back()->positions.size());
    ExpectVec(m.m_frames.back()->positions, 1234, 1234, 1, 0);
}

TEST(ModelGeometry, BoxesLeaveOutMarkersAndFlaggedGroups)
{
    YSMObject m;
    MakeMarker(m);
    m.m_groups.emplace_back(Group("Wing", 0x1));
    m.m_faces.push_back(Face(0, 5, 6, 2));
    Finish(m, 7);
    m.ComputeBounds();
    const YSMFrame& f = *m.m_frames[0];
    // Box A: body and wing (vertices 0, 4, 5, 6); box B: the body only (4, 5, 6).
    const float a[6] = {-1, -2, -3, 4, 5, 6}, b[6] = {-1, -2, -3, 4, 5, 6};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(a[i], f.boxAMin[i]);
        EXPECT_EQ(a[3 + i], f.boxAMax[i]);
        EXPECT_EQ(b[i], f.boxBMin[i]);
    }
    m.m_groups[2]->flags = 0x1;
    m.m_faces[2] = Face(0, 0, 0, 1);
    m.ComputeBounds();
    EXPECT_EQ(0.0f, m.m_frames[0]->boxBMax[0]);
    EXPECT_EQ(4.0f, m.m_frames[0]->boxAMax[0]);

    // No drawable group: the boxes stay inside out.
    YSMObject only;
    MakeMarker(only);
    only.m_faces.pop_back();
    Finish(only, 7);
    only.ComputeBounds();
    EXPECT_EQ(3.4028235e38f, only.m_frames[0]->boxAMin[1]);
    EXPECT_EQ(-3.4028235e38f, only.m_frames[0]->boxBMax[2]);
}

TEST(ModelGeometry, MarkerPosesFollowTheSharedEdge)
{
    YSMObject m;
    MakeMarker(m);
    m.ComputeBounds();
    const float* r = m.m_frames[0]->poses[0].v;
    const float expected[10] = {-1, -0.5f, -0.2f, -1.5f, -2, -1, -1.0093744f, -0.5585993f, -2.7276110f, 1.7720045f};
    for (int i = 0; i < 10; ++i) EXPECT_NEAR(expected[i], r[i], 1e-5) << i;
    const float* body = m.m_frames[0]->poses[1].v;
    for (int i = 0; i < 9; ++i) EXPECT_EQ(0.0f, body[i]);
    EXPECT_EQ(1.0f, body[9]);

    struct Case {
        const char* what;
        std::vector<YSMFace> faces;
        uint32_t flags;
    } defaults[] = {
        {"three faces", {Face(0, 1, 2, 0), Face(2, 1, 3, 0), Face(0, 2, 3, 0)}, 0x8},
        {"no 0x8 flag", {Face(0, 1, 2, 0), Face(2, 1, 3, 0)}, 0x2},
        {"one shared vertex", {Face(0, 1, 2, 0), Face(2, 4, 3, 0)}, 0x8},
        {"all three shared", {Face(0, 1, 2, 0), Face(2, 1, 0, 0)}, 0x8},
        {"no shared vertex", {Face(0, 1, 2, 0), Face(3, 4, 5, 0)}, 0x8},
    };
    for (const Case& c : defaults) {
        YSMObject d;
        MakeMarker(d, c.flags);
        d.m_faces = c.faces;
        d.m_faces.push_back(Face(4, 5, 6, 1));
        Finish(d, 7);
        d.ComputeBounds();
        const float* p = d.m_frames[0]->poses[0].v;
        for (int i = 0; i < 9; ++i) EXPECT_EQ(0.0f, p[i]) << c.what;
        EXPECT_EQ(1.0f, p[9]) << c.what;
    }
}

TEST(ModelGeometry, UsedVerticesAndSharedCorners)
{
    YSMObject m;
    // Faces 0 and 1 share vertex 2 with equal (u, v) at corner c and b, vertex 1 with other ones.
    m.m_faces = {Face(0, 1, 2, 0), Face(2, 1, 3, 0)};
    m.m_faces[0].uv[4] = 0.5f, m.m_faces[0].uv[5] = 0.5f;  // vertex 2
    m.m_faces[1].uv[0] = 0.5f, m.m_faces[1].uv[1] = 0.5f;  // vertex 2 again
    m.m_faces[1].uv[2] = 0.9f;                             // vertex 1, another u
    m.m_groups.emplace_back(Group("g", 0x2));
    m.m_frames.emplace_back(Frame("a", std::vector<float>(12, 0.0f), 1));
    Finish(m, 4);
    m.ComputeBounds();
    const YSMGroup& g = *m.m_groups[0];
    EXPECT_EQ((std::vector<uint16_t>{0, 1, 2, 3}), g.usedVertices);
    EXPECT_EQ(4, g.usedVertexCount);
    EXPECT_EQ(5, g.cornerCount);
    EXPECT_EQ((std::vector<uint16_t>{0, 1, 2, 2, 3, 4}), g.cornerIndexes);
    EXPECT_EQ(2.0f, g.corners[6]);
    EXPECT_EQ(0.5f, g.corners[7]);
}

namespace {
// A strip of n triangles in group 0 (flag 0x400) over a vertex row, normals up.
void MakeShelled(YSMObject& m, int n, bool tag, bool skin)
{
    for (int i = 0; i < n; ++i) m.m_faces.push_back(Face(i, i + 1, i + 2, 0));
    m.m_faces.push_back(Face(0, 1, 2, 1));
    m.m_groups.emplace_back(Group("Hull", 0x2 | 0x400));
    m.m_groups.emplace_back(Group("Other", 0x2, skin ? std::vector<YSMSkin*>{Skin("preshell", 0)} : std::vector<YSMSkin*>{}));
    m.m_resources.emplace_back(new YSMResource);
    std::vector<float> positions;
    for (int v = 0; v < n + 2; ++v) positions.insert(positions.end(), {static_cast<float>(v), 0.0f, static_cast<float>(v % 2)});
    m.m_frames.emplace_back(Frame("a", positions, 2));
    if (tag) m.m_tags.emplace_back(Tag("preshell", ""));
    Finish(m, static_cast<int16_t>(n + 2));
    for (auto& frame : m.m_frames) {
        frame->normals.assign(frame->positions.size(), 0.0f);
        for (size_t v = 1; v < frame->normals.size(); v += 3) frame->normals[v] = 1.0f;
    }
}
}  // namespace

TEST(ModelPreShell, CopiesFlaggedFacesInsideOutInRunsOf500)
{
    YSMObject m;
    MakeShelled(m, 1234, true, true);
    m.m_groups[0]->tags.emplace_back(Tag("PreShellScale", "2.5"));
    m.BuildPreShell();
    ASSERT_EQ(5u, m.m_groups.size());
    const size_t sizes[3] = {500, 500, 234};
    for (int k = 0; k < 3; ++k) {
        const YSMGroup& g = *m.m_groups[2 + k];
        EXPECT_EQ(CString("PreShell-AutoGen"), g.name);
        EXPECT_EQ(0x2u, g.flags);
        EXPECT_EQ(0.0f, g.shellScale);
        ASSERT_EQ(sizes[k], g.faces.size());
        EXPECT_EQ(2 + k, m.m_faces[g.faces[0]].group);
        ASSERT_EQ(1u, g.skins.size());
        EXPECT_EQ(CString("PreShellFound"), g.skins[0]->name);
    }
    EXPECT_EQ(1235 + 1234, m.m_faceCount);
    EXPECT_EQ(1236 * 2, m.m_vertexCount);
    // The copy of face 0 (0, 1, 2) is (V+1, V, V+2); its vertices sit 2.5 up.
    const YSMFace& copy = m.m_faces[1235];
    EXPECT_EQ(1237, copy.v[0]);
    EXPECT_EQ(1236, copy.v[1]);
    EXPECT_EQ(1238, copy.v[2]);
    ExpectVec(m.m_frames[0]->positions, 1237, 1, 2.5f, 1);
    ExpectVec(m.m_frames[0]->normals, 1237, 0, 1, 0);
    EXPECT_EQ(5u, m.m_frames[0]->present.size());
    EXPECT_EQ(5u, m.m_frames[0]->poses.size());
    EXPECT_EQ(0u, m.m_groups[0]->flags & 0x400);
    // A second run finds no flagged group.
    m.BuildPreShell();
    EXPECT_EQ(5u, m.m_groups.size());
}

TEST(ModelPreShell, ConditionsScaleSkinAndLimits)
{
    YSMObject untagged;
    MakeShelled(untagged, 3, false, true);
    untagged.BuildPreShell();
    EXPECT_EQ(2u, untagged.m_groups.size());
    EXPECT_EQ(4, untagged.m_faceCount);

    YSMObject plain;
    MakeShelled(plain, 3, true, false);
    plain.BuildPreShell();
    ASSERT_EQ(3u, plain.m_groups.size());
    EXPECT_TRUE(plain.m_groups[2]->skins.empty());
    ExpectVec(plain.m_frames[0]->positions, 5, 0, 1, 0);  // vertex 0 copied one unit up

    YSMObject empty;
    MakeShelled(empty, 0, true, false);
    empty.m_faces.pop_back();
    Finish(empty, 2);
    empty.BuildPreShell();
    ASSERT_EQ(3u, empty.m_groups.size());
    EXPECT_TRUE(empty.m_groups[2]->faces.empty());

    // 16-bit counts: a shell that would pass 32,767 faces is not built.
    YSMObject big;
    MakeShelled(big, 20000, true, false);
    big.BuildPreShell();
    EXPECT_EQ(2u, big.m_groups.size());
    EXPECT_EQ(20001, big.m_faceCount);
    EXPECT_EQ(20002, big.m_vertexCount);
}
