// Decals cut from the surface of placed models, the refusals of the
// renderer's decal entry, and the shadow marker kept beside them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "FrameFixture.h"
#include "assets3d/YD3D6Lock.h"
#include "assets3d/YSMDecal.h"
#include "assets3d/YSMHandle.h"
#include "assets3d/YSMObject.h"
#include "renderer/YD3D6TextureItem.h"
#include "world/YRenderInstance.h"

namespace {
// One frame of five triangles in the plane z = 0, seen from -z:
// a unit quad round the origin (two triangles sharing an edge), one far
// outside the decal, one straddling its right edge, and one facing away.
std::unique_ptr<YSMObject> Target(uint32_t groupFlags)
{
    std::unique_ptr<YSMObject> m(new YSMObject);
    YSMFrame* frame = new YSMFrame;
    frame->positions = {-0.5f, -0.5f, 0, 0.5f, -0.5f, 0, -0.5f, 0.5f, 0, 0.5f, 0.5f, 0,  // quad
                        5, 5, 0, 6, 5, 0, 5, 6, 0,                                        // outside
                        0.8f, 0, 0, 2, 0, 0, 0.8f, 0.5f, 0,                                // straddling
                        -0.2f, -0.2f, 0, 0.2f, -0.2f, 0, 0, 0.2f, 0};                      // away
    for (int v = 0; v < 13; ++v) {
        const float z = v >= 10 ? 1.0f : -1.0f;
        frame->normals.insert(frame->normals.end(), {0.0f, 0.0f, z});
    }
    frame->present = {1};
    frame->poses.assign(1, YSMPose{{0, 0, 0, 0, 0, 0, 0, 0, 0, 1}});
    m->m_frames.emplace_back(frame);
    const int16_t faces[5][3] = {{0, 1, 2}, {1, 3, 2}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}};
    YSMGroup* group = new YSMGroup;
    group->flags = groupFlags;
    for (uint16_t f = 0; f < 5; ++f) {
        YSMFace face = {};
        std::copy(faces[f], faces[f] + 3, face.v);
        m->m_faces.push_back(face);
        group->faces.push_back(f);
    }
    m->m_groups.emplace_back(group);
    m->m_vertexCount = 13;
    return m;
}

class ModelDecals : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_EQ(1, MakeDevice());
        MapSession(8);
        YD3D6TextureItem* item = new YD3D6TextureItem;
        item->m_lock = new YD3D6Lock;
        item->m_width = item->m_height = 4;
        parser->m_textures.push_back(item);
        texture = int16_t(parser->m_textures.size() - 1);
        model = Target(0x2 | 0x80);
        handle.reset(model->CreateHandle());
        Place(record, handle.get());
    }
    void TearDown() override
    {
        handle.reset();
        model.reset();
        FrameTest::TearDown();
    }
    static void Place(YRenderInstance& r, YSMHandle* h)
    {
        r.m_model = h;
        r.m_kind = YRenderInstance::KindModel;
        r.m_subKind = 0;
        r.m_flags = YD3D6Parser::kRecordVisible;
    }
    // Shot from 10 units in front of the origin, decal 2 units wide.
    int Shoot(YRenderInstance* r, int16_t tex, float roll = 0.0f)
    {
        return parser->AddModelDecal(r, tex, hit, origin, 1.0f, roll);
    }
    const YSMDecal* Only(YSMHandle* h) const
    {
        return h->GetDecalCount() == 1 ? h->m_decals[0] : nullptr;
    }

    float hit[3] = {0.0f, 0.0f, 0.0f};
    float origin[3] = {0.0f, 0.0f, -10.0f};
    int16_t texture = -1;
    std::unique_ptr<YSMObject> model;
    std::unique_ptr<YSMHandle> handle;
    YRenderInstance record;
};
}  // namespace

TEST_F(ModelDecals, RefusalsLeaveTheModelUntouched)
{
    YRenderInstance bare;
    struct Case {
        const char* what;
        YRenderInstance* instance;
        int16_t texture;
        int16_t kind, subKind;
    } cases[] = {
        {"null instance", nullptr, texture, 0, 0},
        {"texture = count", &record, int16_t(parser->m_textures.size()), 0, 0},
        {"negative texture", &record, -1, 0, 0},
        {"type word not a model", &record, texture, 3, 0},
        {"shadow class 2", &record, texture, 0, 2},
        {"no handle", &bare, texture, 0, 0},
    };
    for (const Case& c : cases) {
        if (c.instance) c.instance->m_kind = c.kind, c.instance->m_subKind = c.subKind;
        EXPECT_EQ(0, Shoot(c.instance, c.texture)) << c.what;
        EXPECT_EQ(0, handle->GetDecalCount()) << c.what;
    }
    record.m_kind = 0, record.m_subKind = 1;
    EXPECT_EQ(1, Shoot(&record, texture)) << "shadow class 1 takes decals";
}

TEST_F(ModelDecals, TheTrianglesUnderTheDecalAreKept)
{
    ASSERT_EQ(1, Shoot(&record, texture));
    const YSMDecal* decal = Only(handle.get());
    ASSERT_NE(nullptr, decal);
    EXPECT_EQ(texture, decal->m_texture);
    EXPECT_EQ(0, decal->m_flags);
    // The quad and the straddling one; not the far one, not the one facing away.
    ASSERT_EQ(3, decal->m_triangleCount);
    ASSERT_EQ(3u, decal->m_triangles.size());
    EXPECT_EQ(0, decal->m_triangles[0].v[0]);
    EXPECT_EQ(1, decal->m_triangles[1].v[0]);
    EXPECT_EQ(7, decal->m_triangles[2].v[0]);
    // Shared corners share a decal vertex: 4 for the quad, 3 for the other.
    EXPECT_EQ(7, decal->m_vertexCount);
    ASSERT_EQ(7u, decal->m_vertices.size());
    ASSERT_EQ(9u, decal->m_indices.size());
    for (size_t i = 0; i < 9; ++i) {
        const YSMDecal::Triangle& t = decal->m_triangles[i / 3];
        const YSMDecal::Vertex& v = decal->m_vertices[decal->m_indices[i]];
        EXPECT_EQ(t.v[i % 3], v.vertex);
        EXPECT_EQ(t.uv[2 * (i % 3)], v.u);
        EXPECT_EQ(t.uv[2 * (i % 3) + 1], v.v);
    }
    // The quad maps onto the middle of the square; the straddling triangle
    // keeps its corner beyond the edge.
    const float* uv = decal->m_triangles[0].uv;
    EXPECT_NEAR(0.25f, std::min({uv[0], uv[2], uv[4]}), 1e-5f);
    EXPECT_NEAR(0.75f, std::max({uv[0], uv[2], uv[4]}), 1e-5f);
    EXPECT_NEAR(0.25f, std::min({uv[1], uv[3], uv[5]}), 1e-5f);
    EXPECT_NEAR(0.75f, std::max({uv[1], uv[3], uv[5]}), 1e-5f);
    const float* edge = decal->m_triangles[2].uv;
    EXPECT_NEAR(1.5f, std::max({edge[0], edge[2], edge[4]}), 1e-5f);
}

TEST_F(ModelDecals, ASecondShotAddsASecondDecalAndTheDrawShowsThem)
{
    ASSERT_EQ(1, Shoot(&record, texture));
    ASSERT_EQ(1, Shoot(&record, texture));
    EXPECT_EQ(2, handle->GetDecalCount());
    handle->m_groupStates[0].slot = texture;
    handle->m_groupStates[0].flags |= YSMHandle::kGroupShown;
    parser->ResetFrameCounters();
    YD3D6DrawContext context;
    MakeIdentityMatrix(&context.m_matrix);
    MakeIdentityMatrix(&context.m_rotation);
    context.m_record = &record;
    parser->DrawModelHandle(&context, 0);
    int decals = 0;
    for (int i = 0; i < parser->m_frameCounters[YD3D6Parser::kOpaqueRecordCount]; ++i)
        decals += parser->OpaqueRecords()[i].m_kind == YOpaqueRecord::kDecal;
    EXPECT_EQ(2, decals);
}

TEST_F(ModelDecals, ADecalLandsWhereTheModelIsPlaced)
{
    // Turned a quarter about y and moved: the quad now faces -x at x = 30.
    record.m_angles[1] = 1.5707964f;
    record.m_position[0] = 30.0f;
    record.m_scale = 2.0f;
    const float side[3] = {30.0f, 0.0f, 0.0f}, from[3] = {20.0f, 0.0f, 0.0f};
    for (int attempt = 0; attempt < 2; ++attempt) {
        // Whichever way the quarter turn goes, one side faces the shot.
        if (attempt == 1) record.m_angles[1] = -1.5707964f;
        parser->AddModelDecal(&record, texture, side, from, 1.0f, 0.0f);
        if (handle->GetDecalCount()) break;
    }
    const YSMDecal* decal = Only(handle.get());
    ASSERT_NE(nullptr, decal);
    // The quad of 2 x 2 units round the hit point, under a decal 2 wide.
    float lo[2] = {9, 9}, hi[2] = {-9, -9};
    for (int k = 0; k < 3; ++k)
        for (int a = 0; a < 2; ++a) {
            lo[a] = std::min(lo[a], decal->m_triangles[0].uv[2 * k + a]);
            hi[a] = std::max(hi[a], decal->m_triangles[0].uv[2 * k + a]);
        }
    for (int a = 0; a < 2; ++a) {
        EXPECT_NEAR(0.0f, lo[a], 1e-4f) << a;
        EXPECT_NEAR(1.0f, hi[a], 1e-4f) << a;
    }
}

TEST_F(ModelDecals, WithoutAReceivingGroupTheChildrenAreStillVisited)
{
    std::unique_ptr<YSMObject> plain = Target(0x2);
    std::unique_ptr<YSMHandle> parent(plain->CreateHandle());
    YRenderInstance top;
    Place(top, parent.get());
    YRenderInstance* children[1] = {&record};
    top.m_children = children;
    top.m_childCount = 1;
    ASSERT_EQ(1, Shoot(&top, texture));
    EXPECT_EQ(0, parent->GetDecalCount());
    EXPECT_EQ(1, handle->GetDecalCount()) << "the attached model";
    // The decal lives on the handle it hit, not on the shared model.
    std::unique_ptr<YSMHandle> other(model->CreateHandle());
    EXPECT_EQ(0, other->GetDecalCount());
}

TEST_F(ModelDecals, ADecalMissingTheModelIsNotKept)
{
    hit[0] = 100.0f, origin[0] = 100.0f;
    ASSERT_EQ(1, Shoot(&record, texture));
    EXPECT_EQ(0, handle->GetDecalCount());
}

TEST_F(ModelDecals, TheShadowMarkerIsAddedOnceAndRemoved)
{
    EXPECT_EQ(0, parser->MarkModelShadows(nullptr, 1));
    ASSERT_EQ(1, Shoot(&record, texture));
    EXPECT_EQ(1, parser->MarkModelShadows(handle.get(), 1));
    EXPECT_EQ(1, parser->MarkModelShadows(handle.get(), 1));
    ASSERT_EQ(2, handle->GetDecalCount());
    EXPECT_EQ(YSMDecal::kShadowMarker, handle->m_decals[1]->m_flags);
    EXPECT_TRUE(handle->m_decals[1]->m_triangles.empty());
    EXPECT_EQ(1, parser->MarkModelShadows(handle.get(), 0));
    ASSERT_EQ(1, handle->GetDecalCount());
    EXPECT_EQ(0, handle->m_decals[0]->m_flags) << "the real decal stays";
}
