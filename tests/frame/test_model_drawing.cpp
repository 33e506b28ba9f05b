// Model and primitive drawing into the frame lists, and the cell-object
// pass that feeds it from the grid.
#include <gtest/gtest.h>

#include <cmath>
#include <list>
#include <memory>

#include "FrameFixture.h"
#include "assets3d/YD3D6Lock.h"
#include "assets3d/YSMHandle.h"
#include "assets3d/YSMObject.h"
#include "renderer/YD3D6TextureItem.h"
#include "world/YRenderInstance.h"

namespace {
// A model of one triangle group over three frames; frame k lies at x = 10 k.
// One animation plays the frames 0, 1, 2 for a second each.
std::unique_ptr<YSMObject> TriangleModel()
{
    std::unique_ptr<YSMObject> m(new YSMObject);
    for (int k = 0; k < 3; ++k) {
        YSMFrame* frame = new YSMFrame;
        const float x = 10.0f * float(k);
        frame->positions = {x, 0, 0, x + 1, 0, 0, x, 1, 0};
        frame->normals = {0, 0, 1, 0, 0, 1, 0, 0, 1};
        frame->present = {1};
        frame->poses.assign(1, YSMPose{{0, 0, 0, 0, 0, 0, 0, 0, 0, 1}});
        m->m_frames.emplace_back(frame);
    }
    YSMGroup* group = new YSMGroup;
    group->name = "Body";
    group->flags = 0x2;
    group->faces = {0};
    group->faceCount = 1;
    m->m_groups.emplace_back(group);
    YSMFace face = {};
    face.v[0] = 0, face.v[1] = 1, face.v[2] = 2;
    m->m_faces.push_back(face);
    YSMAnim* anim = new YSMAnim;
    anim->name = "run";
    anim->keyCount = 3;
    anim->keyFrames = {0, 1, 2};
    anim->keyDurations = {1.0f, 1.0f, 1.0f};
    m->m_anims.emplace_back(anim);
    m->m_vertexCount = 3;
    m->m_frameCount = 3;
    m->m_groupCount = 1;
    m->m_faceCount = 1;
    m->m_animCount = 1;
    return m;
}

class ModelDrawing : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_EQ(1, MakeDevice());
        MapSession(8);
        Camera(40.0f, 20.0f, -30.0f, 0.0f, 0.0f);
        opaque = AddTexture(false);
        glass = AddTexture(true);
        model = TriangleModel();
        parser->ResetFrameCounters();
        MakeIdentityMatrix(&context.m_matrix);
        MakeIdentityMatrix(&context.m_rotation);
        context.m_viewDirection[2] = 1.0f;  // looking along +z
        context.m_camera[2] = -100.0f;
    }
    void TearDown() override
    {
        handles.clear();
        model.reset();
        FrameTest::TearDown();
    }
    int16_t AddTexture(bool translucent)
    {
        YD3D6TextureItem* item = new YD3D6TextureItem;
        item->m_lock = new YD3D6Lock;
        item->m_lock->m_iSortType = translucent ? 1 : 0;
        item->m_width = item->m_height = 4;
        parser->m_textures.push_back(item);
        return int16_t(parser->m_textures.size() - 1);
    }
    // A visible primitive set of sub-kind 0: one quad at the origin.
    YRenderInstance& Quads(int16_t texture)
    {
        records.emplace_back();
        YRenderInstance& r = records.back();
        r.m_kind = YD3D6Parser::kPrimitiveKind;
        r.m_subKind = 0;
        r.m_flags = YD3D6Parser::kRecordVisible;
        r.m_textureIndex = texture;
        r.m_elementCount = 1;
        r.m_geometry = point;
        return r;
    }
    // A visible model record on an instance of the triangle model.
    YRenderInstance& Model(int16_t texture = 0)
    {
        handles.emplace_back(model->CreateHandle());
        YSMHandle* h = handles.back().get();
        h->m_groupStates[0].slot = texture;
        records.emplace_back();
        YRenderInstance& r = records.back();
        r.m_model = h;
        r.m_kind = YRenderInstance::KindModel;
        r.m_flags = YD3D6Parser::kRecordVisible;
        return r;
    }
    void Hang(YRenderInstance& parent, YRenderInstance& child)
    {
        arrays.emplace_back(1, &child);
        parent.m_children = arrays.back().data();
        parent.m_childCount = 1;
    }
    void Draw(YRenderInstance& r)
    {
        context.m_record = &r;
        parser->DrawModelHandle(&context, 0);
    }
    int32_t Count(int which) const { return parser->m_frameCounters[which]; }
    // The first transformed vertex's x.
    float FirstX() const { return parser->TransformedVertices()[0].x; }

    std::unique_ptr<YSMObject> model;
    std::list<std::unique_ptr<YSMHandle>> handles;
    std::list<YRenderInstance> records;
    std::list<std::vector<YRenderInstance*>> arrays;
    float point[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    YD3D6DrawContext context;
    int16_t opaque = -1, glass = -1;
};
}  // namespace

TEST_F(ModelDrawing, AHiddenRecordAndItsChildrenEmitNothing)
{
    YRenderInstance& parent = Quads(opaque);
    Hang(parent, Quads(opaque));
    parent.m_flags = 0;
    Draw(parent);
    EXPECT_EQ(0, Count(YD3D6Parser::kOpaqueRecordCount));
    EXPECT_EQ(0, Count(YD3D6Parser::kAlphaVertexCount));
    // Shown, both draw.
    parent.m_flags = YD3D6Parser::kRecordVisible;
    Draw(parent);
    EXPECT_EQ(2, Count(YD3D6Parser::kOpaqueRecordCount));
}

TEST_F(ModelDrawing, AChainOfFiveRecordsDrawsFourLevels)
{
    struct Case {
        const char* name;
        bool models;
    } cases[] = {{"primitives", false}, {"models", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        parser->ResetFrameCounters();
        YRenderInstance* chain[5];
        for (YRenderInstance*& r : chain) r = c.models ? &Model() : &Quads(opaque);
        for (int i = 0; i < 4; ++i) Hang(*chain[i], *chain[i + 1]);
        Draw(*chain[0]);
        EXPECT_EQ(4, Count(YD3D6Parser::kOpaqueRecordCount));
    }
}

TEST_F(ModelDrawing, TextureMinusOneOrNoGeometryEmitsNothingAndVisitsNoChild)
{
    YRenderInstance& none = Quads(-1);
    Hang(none, Quads(opaque));
    Draw(none);
    YRenderInstance& empty = Quads(opaque);
    empty.m_geometry = nullptr;
    Hang(empty, Quads(opaque));
    Draw(empty);
    EXPECT_EQ(0, Count(YD3D6Parser::kOpaqueRecordCount));
    EXPECT_EQ(0, Count(YD3D6Parser::kAlphaRecordCount));
    // A sub-kind outside the table draws nothing but its child.
    YRenderInstance& odd = Quads(opaque);
    odd.m_subKind = 9;
    Hang(odd, Quads(opaque));
    Draw(odd);
    EXPECT_EQ(1, Count(YD3D6Parser::kOpaqueRecordCount));
}

TEST_F(ModelDrawing, AnOpaqueQuadIsCentredAndScaledBySizeTimesScale)
{
    point[0] = 5.0f, point[3] = 2.0f;
    context.m_scale = 1.5f;
    Draw(Quads(opaque));
    ASSERT_EQ(1, Count(YD3D6Parser::kOpaqueRecordCount));
    const YOpaqueRecord& r = parser->OpaqueRecords()[0];
    EXPECT_EQ(YOpaqueRecord::kQuads, r.m_kind);
    EXPECT_EQ(4, r.m_vertexCount);
    const YAlphaVertex* v = parser->AlphaVertices() + r.m_index;
    float cx = 0, cy = 0;
    for (int i = 0; i < 4; ++i) cx += v[i].x / 4, cy += v[i].y / 4;
    EXPECT_NEAR(5.0f, cx, 1e-4f);
    EXPECT_NEAR(0.0f, cy, 1e-4f);
    EXPECT_NEAR(6.0f, std::fabs(v[0].x - v[3].x), 1e-3f) << "edge 2 x size x scale";
    EXPECT_FLOAT_EQ(0.005f, v[0].u0);
    EXPECT_FLOAT_EQ(0.995f, v[1].v0);
    EXPECT_FLOAT_EQ(0.995f, v[2].u1);
}

TEST_F(ModelDrawing, WithTheBlendSwitchOffTheCurrentKeyIsDrawnExactly)
{
    YRenderInstance& r = Model();
    YSMHandle& h = *r.m_model;
    h.SetAnimated(true);
    h.m_currentAnim = 0;
    h.m_animStates[0].key = 1;
    h.m_animStates[0].keyTime = 0.5f;
    struct Case {
        int32_t blend;
        float x;
    } cases[] = {{0, 10.0f}, {1, 15.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.blend);
        parser->ResetFrameCounters();
        context.m_blend = c.blend;
        Draw(r);
        ASSERT_EQ(3, Count(YD3D6Parser::kWorkCount4));
        EXPECT_NEAR(c.x, FirstX(), 1e-4f);
    }
}

TEST_F(ModelDrawing, ALoopingLastKeyBlendsTowardsKeyZeroAOneShotDoesNot)
{
    YRenderInstance& r = Model();
    YSMHandle& h = *r.m_model;
    h.SetAnimated(true);
    h.m_currentAnim = 0;
    h.m_animStates[0].key = 2;
    h.m_animStates[0].keyTime = 0.25f;
    context.m_blend = 1;
    struct Case {
        uint8_t flags;
        float x;
    } cases[] = {{YSMHandle::kPlayLoop, 15.0f}, {0, 20.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.flags));
        parser->ResetFrameCounters();
        h.m_animStates[0].playFlags = c.flags;
        Draw(r);
        EXPECT_NEAR(c.x, FirstX(), 1e-4f);
    }
}

TEST_F(ModelDrawing, AnimationIndexOutsideTheModelStopsOnlyModelsWithAnimations)
{
    YRenderInstance& r = Model();
    YSMHandle& h = *r.m_model;
    h.SetAnimated(true);
    h.m_currentAnim = 5;
    Hang(r, Quads(opaque));
    Draw(r);
    EXPECT_EQ(0, Count(YD3D6Parser::kOpaqueRecordCount)) << "nor the child";
    // A model without animations shows its fixed frame however it is flagged.
    model->m_anims.clear();
    h.m_currentFrame = 2;
    Draw(r);
    EXPECT_EQ(2, Count(YD3D6Parser::kOpaqueRecordCount));
    EXPECT_NEAR(20.0f, FirstX(), 1e-4f);
}

TEST_F(ModelDrawing, GroupsNeedShownFrameTextureAndTriangles)
{
    struct Case {
        const char* name;
        void (*spoil)(YSMObject&, YSMHandle&);
    } cases[] = {
        {"hidden", [](YSMObject&, YSMHandle& h) { h.m_groupStates[0].flags &= ~uint32_t(YSMHandle::kGroupShown); }},
        {"absent", [](YSMObject& m, YSMHandle&) { m.m_frames[0]->present[0] = 0; }},
        {"untextured", [](YSMObject&, YSMHandle& h) { h.m_groupStates[0].slot = -1; }},
        {"empty", [](YSMObject& m, YSMHandle&) { m.m_groups[0]->faces.clear(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        model = TriangleModel();
        parser->ResetFrameCounters();
        YRenderInstance& r = Model();
        c.spoil(*model, *r.m_model);
        Draw(r);
        EXPECT_EQ(0, Count(YD3D6Parser::kOpaqueRecordCount));
        EXPECT_EQ(0, Count(YD3D6Parser::kWorkCount4)) << "no vertex block without a marked group";
        EXPECT_FALSE(r.m_model->IsGroupMarked(0));
    }
}

TEST_F(ModelDrawing, TheEightyFirstCasterIsNotStoredButStillDrawn)
{
    parser->m_shadowCasters.assign(YD3D6Parser::kShadowCasters, YD3D6ShadowCaster());
    ASSERT_EQ(2, parser->GetSessionMode());
    parser->m_mapSettings[YD3D6Parser::kShadowWord0] = 1;
    parser->m_mapSettings[YD3D6Parser::kShadowWord1] = 0;
    for (int i = 0; i < 81; ++i) Draw(Model());
    EXPECT_EQ(80, parser->m_shadowCasterCount);
    EXPECT_EQ(81, Count(YD3D6Parser::kOpaqueRecordCount));
    const YD3D6ShadowCaster& last = parser->m_shadowCasters[79];
    EXPECT_EQ(0, last.m_kind);
    EXPECT_NE(nullptr, last.m_vertices);
    EXPECT_FLOAT_EQ(-100.0f, last.m_vectors[1][2]) << "the camera position";
    // Sub-kind 1 takes the other switch; flag bit 5 never casts.
    parser->ResetFrameCounters();
    YRenderInstance& one = Model();
    one.m_subKind = 1;
    Draw(one);
    EXPECT_EQ(0, parser->m_shadowCasterCount);
    parser->m_mapSettings[YD3D6Parser::kShadowWord1] = 1;
    Draw(one);
    EXPECT_EQ(1, parser->m_shadowCasterCount);
    EXPECT_EQ(1, parser->m_shadowCasters[0].m_kind);
    one.m_flags |= YD3D6Parser::kRecordNoShadow;
    Draw(one);
    EXPECT_EQ(1, parser->m_shadowCasterCount);
}

TEST_F(ModelDrawing, UnderWaterATranslucentPrimitiveIsKeyedAThousandLower)
{
    context.m_water = 1;
    context.m_waterHeight = 5.0f;
    float keys[2];
    const float heights[2] = {10.0f, 0.0f};
    for (int i = 0; i < 2; ++i) {
        parser->ResetFrameCounters();
        YRenderInstance& r = Quads(glass);
        r.m_position[1] = heights[i];
        point[1] = -heights[i];  // the same drawn point
        Draw(r);
        ASSERT_EQ(1, Count(YD3D6Parser::kAlphaRecordCount));
        keys[i] = parser->AlphaRecords()[0].m_key;
    }
    EXPECT_FLOAT_EQ(keys[0] - 1000.0f, keys[1]);
    // Without water in the cell there is no bias.
    context.m_water = 0;
    parser->ResetFrameCounters();
    Draw(records.back());
    EXPECT_FLOAT_EQ(keys[0], parser->AlphaRecords()[0].m_key);
}

TEST_F(ModelDrawing, TranslucentModelTrianglesAreKeyedAtTheirCentroid)
{
    YRenderInstance& r = Model(glass);
    Draw(r);
    ASSERT_EQ(1, Count(YD3D6Parser::kAlphaRecordCount));
    EXPECT_EQ(0, Count(YD3D6Parser::kOpaqueRecordCount));
    // (camera - centroid) . view: camera at z = -100 looking along +z, the centroid at z = 0.
    EXPECT_NEAR(-100.0f, parser->AlphaRecords()[0].m_key, 1e-3f);
}

TEST_F(ModelDrawing, TheContextIsRestoredAfterTheChildren)
{
    YRenderInstance& parent = Model();
    parent.m_position[0] = 7.0f;
    parent.m_scale = 3.0f;
    YRenderInstance& child = Model();
    child.m_attachIndex = 0;
    Hang(parent, child);
    const YD3D6DrawContext before = context;
    Draw(parent);
    EXPECT_EQ(0, memcmp(before.m_matrix.m, context.m_matrix.m, sizeof before.m_matrix.m));
    EXPECT_EQ(0, memcmp(before.m_rotation.m, context.m_rotation.m, sizeof before.m_rotation.m));
    EXPECT_EQ(before.m_scale, context.m_scale);
    EXPECT_EQ(&parent, context.m_record);
    EXPECT_EQ(2, Count(YD3D6Parser::kOpaqueRecordCount));
}

TEST_F(ModelDrawing, TheOpaquePassDrawsAModelGroupAsItsTriangles)
{
    Draw(Model(opaque));
    Record();
    parser->DrawOpaqueRecords();
    EXPECT_EQ((std::vector<std::string>{"DrawIndexedPrimitiveVB 4 3 3"}), recorder->Only("DrawIndexedPrimitiveVB"));
}

// ---------------------------------------------------------------------------
// The cell-object pass.

namespace {
class CountingParser : public YD3D6Parser {
public:
    void DrawModelHandle(YD3D6DrawContext* context, int level) override
    {
        drawn.push_back(context->m_record);
        water.push_back(context->m_water);
        EXPECT_EQ(0, level);
    }
    std::vector<YRenderInstance*> drawn;
    std::vector<int32_t> water;
};

YRenderInstance* g_answer = nullptr;
DWORD_PTR Answer(void*, DWORD) { return reinterpret_cast<DWORD_PTR>(g_answer); }

class CellObjects : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        parser.reset(counting = new CountingParser);
        parser->AttachDisplay(&m_display);
        ASSERT_EQ(1, MakeDevice());
        MapSession(8);
        Camera(0.0f, 0.0f, 0.0f, 0.0f, 0.0f);
        parser->SetObjectTest(Answer);
        g_answer = nullptr;
    }
    YRenderInstance& Place(float x, float z, uint8_t flags = 0)
    {
        records.emplace_back();
        YRenderInstance& r = records.back();
        r.m_flags = YD3D6Parser::kRecordVisible;
        r.m_position[0] = x, r.m_position[2] = z;
        parser->AddActorAt(&r, flags, x, z);
        return r;
    }
    void Visible(std::vector<uint16_t> cells)
    {
        for (size_t i = 0; i < cells.size(); ++i) parser->m_visibleCells[2][i] = cells[i];
        parser->m_visibleCounts[2] = int32_t(cells.size());
    }
    CountingParser* counting = nullptr;
    std::list<YRenderInstance> records;
};
}  // namespace

TEST_F(CellObjects, ANullAnswerOrAHiddenRecordSkipsOneNode)
{
    YRenderInstance& first = Place(5.0f, 5.0f);
    Place(5.0f, 5.0f, 0x1);  // the object test answers null
    YRenderInstance& hidden = Place(5.0f, 5.0f);
    hidden.m_flags = 0;
    YRenderInstance& last = Place(5.0f, 5.0f);
    Visible({0});
    parser->DrawCellObjects();
    ASSERT_EQ(2u, counting->drawn.size());
    EXPECT_TRUE((counting->drawn[0] == &first && counting->drawn[1] == &last) ||
                (counting->drawn[0] == &last && counting->drawn[1] == &first));
    // An answer is drawn in the node's place.
    YRenderInstance answered;
    answered.m_flags = YD3D6Parser::kRecordVisible;
    g_answer = &answered;
    counting->drawn.clear();
    parser->DrawCellObjects();
    EXPECT_EQ(3u, counting->drawn.size());
}

TEST_F(CellObjects, TheDistancePassRunsOncePerSwitchingOn)
{
    YRenderInstance& r = Place(30.0f, 40.0f);
    int32_t& cache = parser->m_mapSettings[YD3D6Parser::kDistanceCacheWord];
    cache = 0;
    parser->DrawCellObjects();
    EXPECT_EQ(0.0f, r.m_cameraDistance) << "switch off: nothing written";
    cache = 1;
    parser->DrawCellObjects();
    EXPECT_NEAR(50.0f, r.m_cameraDistance, 0.1f);
    Camera(30.0f, 0.0f, 40.0f, 0.0f, 0.0f);
    parser->DrawCellObjects();
    EXPECT_NEAR(50.0f, r.m_cameraDistance, 0.1f) << "kept while the switch stays on";
    cache = 0;
    parser->DrawCellObjects();
    cache = 1;
    parser->DrawCellObjects();
    EXPECT_NEAR(0.0f, r.m_cameraDistance, 0.1f) << "off and on again: measured anew";
}

TEST_F(CellObjects, OnlyCellsWithWaterSetTheWaterFlag)
{
    uint32_t wet = 0, dry = 0;
    bool haveWet = false, haveDry = false;
    for (uint32_t i = 0; i < parser->m_cells.size(); ++i) {
        if (parser->m_cells[i].m_water && !haveWet) wet = i, haveWet = true;
        if (!parser->m_cells[i].m_water && !haveDry) dry = i, haveDry = true;
    }
    ASSERT_TRUE(haveWet && haveDry);
    const float cell = parser->CellSize();
    const uint32_t columns = parser->GridColumns();
    for (uint32_t i : {wet, dry})
        Place((float(i % columns) + 0.5f) * cell + parser->m_gridOrigin[0],
              (float(i / columns) + 0.5f) * cell + parser->m_gridOrigin[2]);
    Visible({uint16_t(wet), uint16_t(dry)});
    parser->DrawCellObjects();
    EXPECT_EQ((std::vector<int32_t>{1, 0}), counting->water);
}

TEST_F(ModelDrawing, AMeshSkipsTrianglesThatIndexPastItsVertices)
{
    YAlphaVertex vertices[3] = {};
    vertices[1].x = 1.0f, vertices[2].y = 1.0f;
    const int16_t indices[6] = {0, 1, 2, 0, 2, 7};
    YPrimitiveMesh mesh;
    mesh.m_triangleCount = 2;
    mesh.m_vertices = vertices;
    mesh.m_indices = indices;
    mesh.m_vertexCount = 3;
    YRenderInstance& r = Quads(glass);
    r.m_subKind = 4;
    r.m_geometry = &mesh;
    Draw(r);
    EXPECT_EQ(1, Count(YD3D6Parser::kAlphaRecordCount)) << "translucent: a keyed triangle each";
    parser->ResetFrameCounters();
    r.m_textureIndex = opaque;
    Draw(r);
    ASSERT_EQ(1, Count(YD3D6Parser::kOpaqueRecordCount));
    EXPECT_EQ(YOpaqueRecord::kMesh, parser->OpaqueRecords()[0].m_kind);
    Record();
    parser->DrawOpaqueRecords();
    EXPECT_EQ((std::vector<std::string>{"DrawIndexedPrimitiveVB 4 3 3"}), recorder->Only("DrawIndexedPrimitiveVB"));
}

TEST_F(ModelDrawing, OpaqueQuadsAndLinesReachTheDevice)
{
    float segments[8] = {0, 0, 0, 1, 5, 0, 0, 1};
    YRenderInstance& lines = Quads(opaque);
    lines.m_subKind = 3;
    lines.m_geometry = segments;
    Draw(lines);
    float points[8] = {0, 0, 0, 1, 9, 0, 0, 1};
    YRenderInstance& quads = Quads(opaque);
    quads.m_elementCount = 2;
    quads.m_geometry = points;
    Draw(quads);
    Record();
    parser->DrawOpaqueRecords();
    EXPECT_EQ(1u, recorder->Count("DrawPrimitive 2"));
    EXPECT_EQ((std::vector<std::string>{"DrawIndexedPrimitiveVB 4 8 12"}), recorder->Only("DrawIndexedPrimitiveVB"));
}
