// The world trace against models: registered objects and their boxes,
// polygons, texture coordinates and vertices, placement and rotation,
// attached objects, the near-actor test, model trees and their far types,
// sprite billboards and crops.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "HandMadeGrid.h"
#include "assets3d/ModelFixture.h"
#include "assets3d/YD3D6Lock.h"
#include "assets3d/YSMHandle.h"
#include "assets3d/YSMObject.h"
#include "renderer/YD3D6TextureItem.h"
#include "renderer/YTraceRequest.h"
#include "renderer/YTraceResult.h"
#include "world/YActor.h"

namespace {

using modeltest::Face;
using modeltest::Finish;
using modeltest::Frame;
using modeltest::Group;

// The 12 faces of the box [-hx, hx] x [-hy, hy] x [-hz, hz] at vertex base,
// in group g; the -x face's first triangle carries (0,0), (1,0), (0,1) over
// (-,-,-), (-,-,+), (-,+,-).
void AddBox(YSMObject& m, std::vector<float>& p, float cx, float cy, float cz, float hx, float hy, float hz, int g)
{
    const int base = static_cast<int>(p.size() / 3);
    for (int i = 0; i < 8; ++i) {
        p.push_back(cx + ((i & 1) ? hx : -hx));
        p.push_back(cy + ((i & 2) ? hy : -hy));
        p.push_back(cz + ((i & 4) ? hz : -hz));
    }
    // Corner i: bit 0 x, bit 1 y, bit 2 z.
    const int quads[6][4] = {{0, 4, 2, 6}, {1, 5, 3, 7}, {0, 1, 4, 5}, {2, 3, 6, 7}, {0, 1, 2, 3}, {4, 5, 6, 7}};
    for (const auto& q : quads) {
        m.m_faces.push_back(Face(base + q[0], base + q[1], base + q[2], g));
        m.m_faces.push_back(Face(base + q[3], base + q[2], base + q[1], g));
    }
}

// A box model of half sizes hx, hy, hz about the origin, group 0 "Body".
std::unique_ptr<YSMObject> BoxModel(float hx, float hy, float hz, uint32_t bodyFlags)
{
    std::unique_ptr<YSMObject> m(new YSMObject);
    std::vector<float> p;
    m->m_groups.emplace_back(Group("Body", bodyFlags));
    AddBox(*m, p, 0, 0, 0, hx, hy, hz, 0);
    m->m_frames.emplace_back(Frame("rest", p, 1));
    Finish(*m, static_cast<int16_t>(p.size() / 3));
    m->ComputeBounds();
    return m;
}

const uint32_t kTraced = 0x10 | 0x20 | 0x2;

DWORD_PTR RecordOfActor(void* id, DWORD) { return reinterpret_cast<DWORD_PTR>(&static_cast<YActor*>(id)->m_render); }

struct TraceModels : ::testing::Test {
    YD3D6Parser parser;
    std::vector<std::unique_ptr<YSMObject>> models;  // outlive their handles
    std::vector<std::unique_ptr<YSMHandle>> handles;

    void SetUp() override { handmade::SetUp(parser); }
    void TearDown() override { handles.clear(); }

    YSMHandle* Handle(std::unique_ptr<YSMObject> model)
    {
        models.push_back(std::move(model));
        handles.emplace_back(models.back()->CreateHandle());
        return handles.back().get();
    }
    int Run(float x0, float y0, float z0, float x1, float y1, float z1, DWORD flags, float r0 = 0, float r1 = 0)
    {
        const float from[3] = {x0, y0, z0}, to[3] = {x1, y1, z1};
        return parser.TraceWorld(to, from, r0, r1, flags);
    }
    const YTraceResult& Result() { return *parser.GetTraceResult(); }
    static void Place(YRenderInstance& r, YSMHandle* h, float x, float y, float z, float scale = 1.0f)
    {
        r.m_model = h;
        r.m_position[0] = x, r.m_position[1] = y, r.m_position[2] = z;
        r.m_scale = scale;
    }
};

TEST_F(TraceModels, RegisteredObjectPolygonsBoxesAndTexels)
{
    YRenderInstance record;
    Place(record, Handle(BoxModel(1, 1, 1, kTraced)), 35, 10, 35, 2.0f);
    parser.AddActorToCell(&record, 0, 3, 3);

    const struct {
        const char* what;
        int16_t kind, subKind;
        DWORD flags;
        int result;
        DWORD code;
    } cases[] = {
        {"polygons of a model", 0, 0, 0x48, 0, 0x68},
        {"polygons of a type-1 record", 1, 0, 0x58, 0, 0x78},
        {"type 1 without 0x10", 1, 0, 0x48, 1, 0},
        {"models not asked for", 0, 0, 0x40, 1, 0},
        {"sub-kind 1 is never tested", 0, 1, 0x48, 1, 0},
        {"box only: both boxes alike, nothing", 0, 0, 0x8, 1, 0},
        {"texture coordinates", 0, 0, 0x28, 0, 0x28},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        record.m_kind = c.kind;
        record.m_subKind = c.subKind;
        // Along +x at model (y, z) = (-0.5, -0.5): the -x face at model x = -1.
        EXPECT_EQ(c.result, Run(25, 9, 34, 45, 9, 34, c.flags));
        EXPECT_EQ(c.code, Result().m_hitCode);
        if (c.result) {
            EXPECT_EQ(45.0f, Result().m_hitPoint[0]);
            continue;
        }
        EXPECT_NEAR(33.0f, Result().m_hitPoint[0], 1e-3);
        EXPECT_NEAR(9.0f, Result().m_hitPoint[1], 1e-3);
        EXPECT_NEAR(64.0f, Result().m_distance2, 1e-2);
        EXPECT_EQ(&record, Result().m_hitObject);  // no owner: the node id
        EXPECT_EQ(record.m_model, Result().m_model);
        EXPECT_EQ(0, Result().m_group);
        EXPECT_EQ(0, Result().m_side);
        EXPECT_NEAR(-1.0f, Result().m_normal[0], 1e-5);
        EXPECT_EQ(2.0f, Result().m_objectScale);
        if (c.code == 0x28) {
            EXPECT_NEAR(0.25f, Result().m_texel[0], 1e-4);
            EXPECT_NEAR(0.25f, Result().m_texel[1], 1e-4);
        }
    }
    // Not traceable, or a target: not tested.
    record.m_kind = 0, record.m_subKind = 0;
    for (DWORD f : {DWORD(0), DWORD(0x4 | 0x2)}) {
        record.m_flags = f;
        EXPECT_EQ(1, Run(25, 9, 34, 45, 9, 34, 0x48));
    }
    // Skippable objects only when 0x1000 asks.
    record.m_flags = 0x4 | 0x8;
    EXPECT_EQ(0, Run(25, 9, 34, 45, 9, 34, 0x48));
    EXPECT_EQ(1, Run(25, 9, 34, 45, 9, 34, 0x1048));
    // The slope rises to y 9 at x 36: behind the model, it does not replace the hit.
    record.m_flags = 0x4;
    EXPECT_EQ(0, Run(25, 9, 34, 45, 9, 34, 0x100));
    EXPECT_EQ(0x100u, Result().m_hitCode);
    EXPECT_NEAR(36.0f, Result().m_hitPoint[0], 1e-3);
    EXPECT_EQ(0, Run(25, 9, 34, 45, 9, 34, 0x148));
    EXPECT_EQ(0x68u, Result().m_hitCode);
    EXPECT_NEAR(33.0f, Result().m_hitPoint[0], 1e-3);
}

TEST_F(TraceModels, PlacementRotationAndScale)
{
    // A slab 4 long along x, 1 deep along z.
    YRenderInstance record;
    Place(record, Handle(BoxModel(2, 1, 0.5f, kTraced)), 35, 10, 35);
    parser.AddActorToCell(&record, 0, 3, 3);
    const struct {
        float yaw, scale, hitX;
    } cases[] = {
        {0.0f, 1.0f, 33.0f},
        {0.0f, 2.0f, 31.0f},
        {1.5707963f, 1.0f, 34.5f},  // turned a quarter: the narrow side faces the segment
        {3.1415927f, 1.0f, 33.0f},
        {1.5707963f, 3.0f, 33.5f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "yaw " << c.yaw << " scale " << c.scale);
        record.m_angles[1] = c.yaw;
        record.m_scale = c.scale;
        EXPECT_EQ(0, Run(25, 10, 35, 45, 10, 35, 0x48));
        EXPECT_NEAR(c.hitX, Result().m_hitPoint[0], 0.02f);
        EXPECT_NEAR(1.0f, std::fabs(Result().m_normal[0]), 0.01f);  // turned with the object
    }
    // Scale 0 has no model space: nothing is hit, nothing turns NaN.
    record.m_scale = 0.0f;
    EXPECT_EQ(1, Run(25, 10, 35, 45, 10, 35, 0x48));
    EXPECT_EQ(45.0f, Result().m_hitPoint[0]);
}

TEST_F(TraceModels, SecondBoxAndVertexProximity)
{
    // Body cube; an antenna group (flag 0x1) above it widens box A only.
    std::unique_ptr<YSMObject> m(new YSMObject);
    std::vector<float> p;
    m->m_groups.emplace_back(Group("Body", 0x10 | 0x2));
    m->m_groups.emplace_back(Group("Antenna", 0x1 | 0x2));
    AddBox(*m, p, 0, 0, 0, 1, 1, 1, 0);
    AddBox(*m, p, 0, 3, 0, 0.1f, 2, 0.1f, 1);
    m->m_frames.emplace_back(Frame("rest", p, 2));
    Finish(*m, static_cast<int16_t>(p.size() / 3));
    m->ComputeBounds();
    ASSERT_EQ(5.0f, m->m_frames[0]->boxAMax[1]);
    ASSERT_EQ(1.0f, m->m_frames[0]->boxBMax[1]);
    YRenderInstance record;
    YSMHandle* handle = Handle(std::move(m));
    Place(record, handle, 35, 10, 35);
    parser.AddActorToCell(&record, 0, 3, 3);

    // Box B entered through its x = min face.
    EXPECT_EQ(0, Run(25, 10, 35, 45, 10, 35, 0x8));
    EXPECT_EQ(0x48u, Result().m_hitCode);
    EXPECT_NEAR(34.0f, Result().m_hitPoint[0], 1e-3);
    EXPECT_EQ(0xFFFF, Result().m_group);
    EXPECT_NEAR(-1.0f, Result().m_normal[0], 1e-5);
    // Through box A above the body: box B is missed.
    EXPECT_EQ(1, Run(25, 12, 35, 45, 12, 35, 0x8));
    // Missing box A altogether skips every model test.
    EXPECT_EQ(1, Run(25, 17, 35, 45, 17, 35, 0x88, 50, 50));

    // Vertices near the swept radius: the body's top edge (34 and 36, 11, 36)
    // lies 0.1 x sqrt 2 from the segment.
    handle->m_groupStates[0].flags &= ~0x4000u;
    const struct {
        float radius;
        int result;
    } radii[] = {{0.2f, 0}, {0.1f, 1}};
    for (const auto& r : radii) {
        handle->m_groupStates[0].flags &= ~0x4000u;
        // Starting inside box B: no face is entered, so only the vertices can answer.
        EXPECT_EQ(r.result, Run(34.5f, 10.9f, 35.9f, 45, 10.9f, 35.9f, 0x88, r.radius, r.radius));
        if (!r.result) {
            EXPECT_EQ(0x88u, Result().m_hitCode);
            EXPECT_TRUE(handle->m_groupStates[0].flags & 0x4000);
            EXPECT_FALSE(handle->m_groupStates[1].flags & 0x4000);
        }
    }
}

TEST_F(TraceModels, AttachedObjectsSitAtTheirMarker)
{
    // Parent: an untraced body and a marker quad "Hook" whose edge runs from
    // (0, 3, 0) to (0, 3, 2).
    std::unique_ptr<YSMObject> m(new YSMObject);
    std::vector<float> p;
    m->m_groups.emplace_back(Group("Body", 0x2));
    m->m_groups.emplace_back(Group("Hook", 0x8 | 0x2));
    AddBox(*m, p, 0, 0, 0, 1, 1, 1, 0);
    const int base = static_cast<int>(p.size() / 3);
    for (float v : {0.0f, 3.0f, 0.0f, 0.0f, 3.0f, 2.0f, 1.0f, 3.0f, 0.0f, -1.0f, 3.0f, 2.0f}) p.push_back(v);
    m->m_faces.push_back(Face(base, base + 1, base + 2, 1));
    m->m_faces.push_back(Face(base + 1, base, base + 3, 1));
    m->m_frames.emplace_back(Frame("rest", p, 2));
    Finish(*m, static_cast<int16_t>(p.size() / 3));
    m->ComputeBounds();
    ASSERT_NEAR(2.0f, m->m_frames[0]->poses[1].v[9], 1e-5);
    YSMHandle* parentHandle = Handle(std::move(m));

    YRenderInstance parent, child[2];
    Place(parent, parentHandle, 35, 10, 35);
    Place(child[0], Handle(BoxModel(1, 1, 1, kTraced)), 0, 0, 0);
    child[0].m_attachIndex = 1;  // at the hook, twice its size (edge 2 / reference 1)
    child[1] = child[0];
    child[1].m_flags = 0x4 | 0x2;  // a target: never tested
    child[1].m_position[1] = -3;
    YRenderInstance* children[3] = {&child[0], nullptr, &child[1]};  // a null entry is skipped
    parent.m_children = children;
    parent.m_childCount = 3;
    parser.AddActorToCell(&parent, 0, 3, 3);

    const struct {
        float y;
        int result;
        float hitX;
    } cases[] = {
        {13.0f, 0, 33.0f},  // the child spans x 33..37, y 11..15
        {10.0f, 1, 45.0f},  // the parent's body is not traced
        {7.0f, 1, 45.0f},   // where the target child would be
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "y " << c.y);
        EXPECT_EQ(c.result, Run(25, c.y, 35.5f, 45, c.y, 35.5f, 0x48));
        EXPECT_NEAR(c.hitX, Result().m_hitPoint[0], 1e-3);
        if (!c.result) {
            EXPECT_EQ(0x68u, Result().m_hitCode);
            EXPECT_EQ(&parent, Result().m_hitObject);  // the request's node id
            EXPECT_EQ(child[0].m_model, Result().m_model);
        }
    }
    // Skippable children are left out under 0x1000.
    child[0].m_flags = 0x4 | 0x8;
    EXPECT_EQ(1, Run(25, 13, 35.5f, 45, 13, 35.5f, 0x1048));
    EXPECT_EQ(0, Run(25, 13, 35.5f, 45, 13, 35.5f, 0x48));
    // A child that holds itself is not walked again and again.
    child[0].m_flags = 0x4;
    YRenderInstance* itself = &child[0];
    child[0].m_children = &itself;
    child[0].m_childCount = 1;
    EXPECT_EQ(0, Run(25, 13, 35.5f, 45, 13, 35.5f, 0x48));
}

TEST_F(TraceModels, NearActorIsHitFromCloseBy)
{
    YD3D6Parser big;  // render units: metres x 16
    handmade::SetUp(big, 16.0f);
    big.SetObjectTest(RecordOfActor);
    YActor actor;
    actor.m_render.m_position[0] = 35 * 16, actor.m_render.m_position[1] = 160, actor.m_render.m_position[2] = 35 * 16;
    actor.m_flagsA |= YActor::FlagSpriteActor;
    big.AddActorToCell(&actor, 3, 3, 3);
    const struct {
        float fromX;
        DWORD flags;
        int result;
    } cases[] = {
        {33 * 16, 0x8, 0},   // 2 m away
        {25 * 16, 0x8, 1},   // 10 m away
        {33 * 16, 0x40, 1},  // models not asked for
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.fromX << " flags " << c.flags);
        const float from[3] = {c.fromX, 160, 35 * 16}, to[3] = {45 * 16, 160, 35 * 16};
        EXPECT_EQ(c.result, big.TraceWorld(to, from, 0, 0, c.flags));
        const YTraceResult& r = *big.GetTraceResult();
        if (c.result) continue;
        EXPECT_EQ(0x28u, r.m_hitCode);
        EXPECT_EQ(&actor, r.m_hitObject);
        EXPECT_EQ(0.0f, r.m_distance2);
        EXPECT_EQ(1.0f, r.m_hitPoint[0]);
        EXPECT_EQ(5u, r.m_detail);
        EXPECT_EQ(3, r.m_nodeFlags);
    }
    // Without the sprite bit the actor is an ordinary object (here without a
    // model); the same bit of the second flag word does not make it one.
    actor.m_flagsA &= ~YActor::FlagSpriteActor;
    actor.m_flagsB = 0x2000000;
    const float from[3] = {33 * 16, 160, 35 * 16}, to[3] = {45 * 16, 160, 35 * 16};
    EXPECT_EQ(1, big.TraceWorld(to, from, 0, 0, 0x8));
    big.RemoveActorFromCell(&actor, 3, 3);
}

struct TraceTrees : TraceModels {
    YSMHandle* treeHandle = nullptr;
    void SetUp() override
    {
        TraceModels::SetUp();
        // Type 0 a sprite (20 high, radius 2), type 1 a model tree.
        parser.m_spriteTypeCount = 1;
        parser.m_spriteTextures = {0xFFFF};
        parser.m_treeFactorA = {6.0f, 0.0f};   // width
        parser.m_treeFactorB = {20.0f, 0.0f};  // height
        treeHandle = Handle(BoxModel(1, 1, 1, kTraced));
        parser.m_treeModels = {treeHandle};
        YCellItem tree;
        tree.m_type = 1;
        tree.m_farType = 0;
        tree.m_position[0] = 35, tree.m_position[1] = 0, tree.m_position[2] = 35;
        tree.m_fixedDistance = 0.0f;
        parser.m_cells[3 * 8 + 3].m_items.push_back(tree);
        parser.SetCameraPosition(35, 0, 35);
    }
};

TEST_F(TraceTrees, ModelTreesNearAndFar)
{
    const struct {
        const char* what;
        float camera;
        int lod, billboard;
        DWORD code;
        float hitX;
    } cases[] = {
        {"camera at the tree: the model", 35, 0, 0, 3, 34.0f},
        {"camera away: the far sprite, a third of the size", 60, 0, 0, 5, 35 - 2 / 3.5f},
        {"fixed distance 0 keeps the model", 60, 1, 0, 3, 34.0f},
        {"billboard switch: always far", 35, 0, 1, 5, 35 - 2 / 3.5f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        parser.SetCameraPosition(c.camera, 0, 35);
        parser.m_mapSettings[33] = c.lod;
        parser.m_mapSettings[34] = c.billboard;
        EXPECT_EQ(0, Run(25, 0.5f, 35, 45, 0.5f, 35, 0xD));
        EXPECT_EQ(c.code, Result().m_hitCode);
        EXPECT_NEAR(c.hitX, Result().m_hitPoint[0], 1e-3);
        EXPECT_EQ(27u, Result().m_cell);
        EXPECT_EQ(0, Result().m_itemSlot);
        EXPECT_EQ(nullptr, Result().m_hitObject);
        EXPECT_NE(0, Result().m_side);
    }
    // The polygons of model trees only under 0x4.
    parser.SetCameraPosition(35, 0, 35);
    parser.m_mapSettings[33] = parser.m_mapSettings[34] = 0;
    EXPECT_EQ(1, Run(25, 0.5f, 35, 45, 0.5f, 35, 0x9));
    // A disabled type (0xFFFD) has no model.
    parser.m_cells[27].m_items[0].m_type = -3;
    EXPECT_EQ(1, Run(25, 0.5f, 35, 45, 0.5f, 35, 0xD));
}

TEST_F(TraceTrees, SideOfTheSegment)
{
    const struct {
        float z0, z1;
        int8_t side;
    } cases[] = {{34.5f, 34.5f, -1}, {35.5f, 35.5f, 1}};
    for (const auto& c : cases) {
        EXPECT_EQ(0, Run(25, 0.5f, c.z0, 45, 0.5f, c.z1, 0xD));
        EXPECT_EQ(c.side, Result().m_side) << c.z0;
    }
}

struct TraceSprites : TraceModels {
    YD3D6Lock* lock = nullptr;
    void SetUp() override
    {
        TraceModels::SetUp();
        YD3D6TextureItem* item = new YD3D6TextureItem;
        lock = new YD3D6Lock;
        item->m_lock = lock;
        parser.m_textures.push_back(item);
        parser.m_spriteTypeCount = 1;
        parser.m_spriteTextures = {0};
        parser.m_treeFactorA = {6.0f};   // width
        parser.m_treeFactorB = {10.0f};  // height
        YCellItem tree;
        tree.m_type = 0;
        tree.m_position[0] = 35, tree.m_position[1] = 0, tree.m_position[2] = 35;
        parser.m_cells[3 * 8 + 3].m_items.push_back(tree);
        // A 2 x 2 mask: the left column opaque.
        lock->m_iSpriteCollide = 1;
        lock->m_mask = {0x5};
        lock->m_fMaskWidth = lock->m_fMaskHeight = 2.0f;
    }
};

TEST_F(TraceSprites, BillboardsBlockWhereOpaque)
{
    // Along +x the billboard stands across, from z 41 (u 0) to z 29 (u 1), 20 high.
    const struct {
        float y, z;
        int collide, result;
        float u, v;
    } cases[] = {
        {5, 38, 1, 0, 0.25f, 0.75f},
        {15, 38, 1, 0, 0.25f, 0.25f},
        {5, 32, 1, 1, 0, 0},   // the transparent column
        {25, 38, 1, 1, 0, 0},  // over the top
        {5, 42, 1, 1, 0, 0},   // beside it
        {5, 38, 0, 1, 0, 0},   // the lock has no sprite collision
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "y " << c.y << " z " << c.z << " collide " << c.collide);
        lock->m_iSpriteCollide = c.collide;
        EXPECT_EQ(c.result, Run(25, c.y, c.z, 45, c.y, c.z, 0x3));
        if (c.result) continue;
        EXPECT_EQ(3u, Result().m_hitCode);
        EXPECT_NEAR(35.0f, Result().m_hitPoint[0], 1e-3);
        EXPECT_NEAR(c.u, Result().m_texel[0], 1e-4);
        EXPECT_NEAR(c.v, Result().m_texel[1], 1e-4);
        EXPECT_EQ(20.0f, Result().m_objectHeight);
        EXPECT_EQ(0xFFFF, Result().m_textureWords[0]);
    }
    // Without 0x2 the same tree is a cylinder of radius 2, transparent or not,
    // as long as its lock has sprite collision.
    lock->m_iSpriteCollide = 1;
    EXPECT_EQ(1, Run(25, 5, 34.5f, 45, 5, 34.5f, 0x3));  // transparent on the billboard
    EXPECT_EQ(0, Run(25, 5, 34.5f, 45, 5, 34.5f, 0x1));  // inside the cylinder
    EXPECT_EQ(1, Run(25, 5, 38, 45, 5, 38, 0x1));        // opaque, but 3 from the trunk
    EXPECT_EQ(0, Run(25, 5, 35, 45, 5, 35, 0x1));
    EXPECT_EQ(5u, Result().m_hitCode);
    EXPECT_NEAR(33.0f, Result().m_hitPoint[0], 1e-3);
    lock->m_iSpriteCollide = 0;
    EXPECT_EQ(1, Run(25, 5, 35, 45, 5, 35, 0x1));
}

TEST_F(TraceSprites, CropsNeverBlock)
{
    const struct {
        const char* value;
        int result;
    } cases[] = {{"yes", 1}, {"YES", 1}, {"no", 0}, {"yess", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        lock->SetTag("TXT-IsCrop", c.value);
        EXPECT_EQ(c.result, Run(25, 5, 35, 45, 5, 35, 0x1));
        EXPECT_EQ(c.result, Run(25, 5, 38, 45, 5, 38, 0x3));
    }
}

TEST(SegmentBillboard, CrossingsInThePlane)
{
    const float a[3] = {0, 0, -1}, b[3] = {0, 0, 1};
    const struct {
        float x0, z0, x1, z1;
        int result;
        float t, s;
    } cases[] = {
        {-1, 0, 1, 0, 1, 0.5f, 0.5f},
        {-1, 0.5f, 3, 0.5f, 1, 0.25f, 0.75f},
        {1, -1, -1, 3, 1, 0.5f, 1.0f},
        {-1, 2, 1, 2, 0, 0, 0},   // past the end
        {0.5f, 0, 2, 0, 0, 0, 0}, // short of it
        {-1, 0, -1, 1, 0, 0, 0},  // parallel
        {1, 1, 1, 1, 0, 0, 0},    // no length
    };
    for (const auto& c : cases) {
        const float s0[3] = {c.x0, 0, c.z0}, s1[3] = {c.x1, 0, c.z1};
        float t = -1, s = -1;
        EXPECT_EQ(c.result, YD3D6Parser::SegmentBillboard(s0, s1, a, b, &t, &s)) << c.x0 << "," << c.z0;
        if (!c.result) continue;
        EXPECT_NEAR(c.t, t, 1e-6);
        EXPECT_NEAR(c.s, s, 1e-6);
    }
}

TEST_F(TraceModels, ModelTypeMaterialIsTheActiveGroupSkinTexture)
{
    std::unique_ptr<YSMObject> m = BoxModel(1, 1, 1, kTraced);
    for (const char* name : {"bark.ytx", "leaf.ytx"}) {
        YSMResource* r = new YSMResource;
        r->name = name;
        m->m_resources.emplace_back(r);
    }
    m->m_resources[0]->slot = 40;
    m->m_resources[1]->slot = 41;
    m->m_groups[0]->skins.emplace_back(modeltest::Skin("summer", 0));
    m->m_groups[0]->skins.emplace_back(modeltest::Skin("autumn", 1));
    YSMHandle* h = Handle(std::move(m));
    parser.m_spriteTypeCount = 1;
    parser.m_spriteTextures = {7};
    parser.m_treeModels = {h, nullptr};
    YCellItem item;
    parser.m_cells[0].m_items.assign(3, item);
    parser.m_cells[0].m_items[0].m_type = 0;
    parser.m_cells[0].m_items[1].m_type = 1;
    parser.m_cells[0].m_items[2].m_type = 2;

    EXPECT_EQ(7, parser.GetCellItemMaterialEx(0, 0));
    EXPECT_EQ(-1, parser.GetCellItemMaterialEx(0, 1));  // no active group
    h->SetActiveGroup(0);
    EXPECT_EQ(40, parser.GetCellItemMaterialEx(0, 1));
    h->SetGroupSkin(0, 1);
    EXPECT_EQ(41, parser.GetCellItemMaterialEx(0, 1));
    EXPECT_EQ(-1, parser.GetCellItemMaterialEx(0, 2));  // a model type without a handle
}

}  // namespace
