// The scene-object pass, the two sorts, the material states and the opaque
// and alpha passes, through a recording device.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <list>

#include "FrameFixture.h"
#include "assets3d/YD3D6Lock.h"
#include "assets3d/YSMHandle.h"
#include "renderer/YD3D6TextureItem.h"

namespace {
// Remembers what the scene-object pass hands to the model drawing.
class ModelParser : public YD3D6Parser {
public:
    void DrawModelHandle(YD3D6DrawContext* context, int) override
    {
        drawn.push_back(context->m_record->m_model);
        scales.push_back(context->m_record->m_scale);
    }
    std::vector<YSMHandle*> drawn;
    std::vector<float> scales;
};

class DrawPasses : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        parser.reset(models = new ModelParser);
        parser->AttachDisplay(&m_display);
        ASSERT_EQ(1, MakeDevice());
        MapSession(8);
        parser->SetViewRects(0, 0, 64, 48, 0, 0, 64, 48);
        Camera(40.0f, 20.0f, -30.0f, 0.2f, 0.0f);
        for (int i = 0; i < 4; ++i) AddTexture(false, 4, 5);
        parser->ResetFrameCounters();
    }
    int16_t AddTexture(bool translucent, int16_t width, int16_t height)
    {
        YD3D6TextureItem* item = new YD3D6TextureItem;
        item->m_lock = new YD3D6Lock;
        item->m_lock->m_iSortType = translucent ? 1 : 0;
        item->m_width = width, item->m_height = height;
        parser->m_textures.push_back(item);
        return int16_t(parser->m_textures.size() - 1);
    }
    // A strip of n corners along x, in a polygon of its own.
    const YCellPolygon* Strip(size_t n)
    {
        YCellPolygon polygon;
        polygon.m_shape = YCellPolygon::kStrip;
        for (size_t k = 0; k < n; ++k) {
            YCellCorner corner;
            corner.m_vertex = uint32_t(k % 4);
            polygon.m_corners.push_back(corner);
        }
        polygon.m_layerTextures = {0};
        polygon.m_layerCoords = {std::vector<float>(2 * n, 0.5f)};
        polygon.m_layerAlpha = {std::vector<uint8_t>(n, 255)};
        strips.push_back(polygon);
        return &strips.back();
    }
    // One tree of sprite class 0 in cell 0, its base at y.
    YCellItem& Tree(float y, uint32_t detail = 0)
    {
        YCellItem item;
        item.m_flags = detail;
        item.m_size = 255;
        item.m_type = 0;
        item.m_position[0] = 5.0f, item.m_position[1] = y, item.m_position[2] = 5.0f;
        parser->m_cells[0].m_items.push_back(item);
        return parser->m_cells[0].m_items.back();
    }
    void SpriteClass(int16_t texture)
    {
        parser->m_spriteTypeCount = 1;
        parser->m_spriteTextures = {uint16_t(texture)};
        parser->m_treeFactorA = {8.0f};
        parser->m_visibleCells[0][0] = 0;
        parser->m_visibleCounts[0] = 1;
    }
    std::vector<std::pair<int, int>> OpaqueKinds() const
    {
        std::vector<std::pair<int, int>> out;
        for (int i = 0; i < parser->m_frameCounters[YD3D6Parser::kOpaqueRecordCount]; ++i)
            out.push_back({parser->OpaqueRecords()[i].m_kind, int(parser->OpaqueRecords()[i].m_index)});
        return out;
    }
    std::vector<std::pair<int, float>> AlphaKinds() const
    {
        std::vector<std::pair<int, float>> out;
        for (int i = 0; i < parser->m_frameCounters[YD3D6Parser::kAlphaRecordCount]; ++i)
            out.push_back({parser->AlphaRecords()[i].m_kind, parser->AlphaRecords()[i].m_key});
        return out;
    }

    ModelParser* models = nullptr;
    std::list<YCellPolygon> strips;
};
}  // namespace

TEST_F(DrawPasses, TwoRecordsOfOneTextureAndAThousandVerticesMakeTwoBatchesOfOneMaterial)
{
    for (int i = 0; i < 2; ++i) {
        YOpaqueRecord* r = parser->AddOpaqueRecord(2, 1000, YOpaqueRecord::kTerrain, 0);
        ASSERT_NE(nullptr, r);
        r->m_polygon = Strip(1000);
    }
    Record();
    parser->DrawOpaqueRecords();
    EXPECT_EQ((std::vector<std::string>{"DrawIndexedPrimitiveVB 4 1000 2994", "DrawIndexedPrimitiveVB 4 1000 2994"}),
              recorder->Only("DrawIndexedPrimitiveVB"));
    EXPECT_EQ(1u, recorder->Count("SetMaterial"));
}

// A strip longer than the vertex buffer goes in pieces that share two corners.
TEST_F(DrawPasses, AStripLongerThanABatchIsSplit)
{
    YOpaqueRecord* r = parser->AddOpaqueRecord(1, 3000, YOpaqueRecord::kTerrain, 0);
    r->m_polygon = Strip(3000);
    Record();
    parser->DrawOpaqueRecords();
    std::vector<std::string> batches;
    size_t indices = 0;
    for (const std::string& line : recorder->Only("DrawIndexedPrimitiveVB")) {
        int type = 0, vertices = 0, count = 0;
        ASSERT_EQ(3, sscanf(line.c_str(), "DrawIndexedPrimitiveVB %d %d %d", &type, &vertices, &count));
        batches.push_back(std::to_string(vertices));
        indices += size_t(count);
    }
    EXPECT_EQ((std::vector<std::string>{"1450", "1450", "104"}), batches);
    EXPECT_EQ(2998u * 3u, indices) << "every triangle of the strip once";
}

TEST_F(DrawPasses, SortsOrderOpaqueByTextureAndAlphaFarToNear)
{
    const float keys[3] = {-5000.0f, -100.0f, -300.0f};
    for (int i = 0; i < 3; ++i) parser->AddAlphaRecord(keys[i], int16_t(i), YAlphaRecord::kTriangle, nullptr);
    parser->SortAlphaRecords();
    EXPECT_EQ((std::vector<std::pair<int, float>>{{1, -5000.0f}, {1, -300.0f}, {1, -100.0f}}), AlphaKinds());

    // Many records, past the insertion-sort runs.
    parser->ResetFrameCounters();
    srand(7);
    std::vector<float> want;
    for (int i = 0; i < 3000; ++i) {
        const int16_t texture = int16_t(rand() % 50 - 10);
        parser->AddOpaqueRecord(texture, 3, YOpaqueRecord::kTerrain, 0);
        const float key = float(rand() % 20000) - 15000.0f;
        parser->AddAlphaRecord(key, 0, YAlphaRecord::kTriangle, nullptr);
        want.push_back(key);
    }
    parser->SortOpaqueRecords();
    parser->SortAlphaRecords();
    const YOpaqueRecord* opaque = parser->OpaqueRecords();
    EXPECT_TRUE(std::is_sorted(opaque, opaque + 3000,
                               [](const YOpaqueRecord& a, const YOpaqueRecord& b) { return a.m_texture < b.m_texture; }));
    std::sort(want.begin(), want.end());
    for (int i = 0; i < 3000; ++i) ASSERT_EQ(want[size_t(i)], parser->AlphaRecords()[i].m_key) << i;
}

TEST_F(DrawPasses, AlphaPassDrawsInKeyOrderOneBatchPerTexture)
{
    YAlphaVertex triangles[3][3] = {};
    const float keys[3] = {-5000.0f, -100.0f, -300.0f};
    for (int i = 0; i < 3; ++i) parser->AddAlphaRecord(keys[i], int16_t(i), YAlphaRecord::kTriangle, triangles[i]);
    parser->AddAlphaRecord(-250.0f, 2, YAlphaRecord::kTriangle, triangles[0]);
    parser->SortAlphaRecords();
    Record();
    parser->DrawAlphaRecords();
    // Textures 0 (-5000), 2 (-300 and -250), 1 (-100).
    EXPECT_EQ((std::vector<std::string>{"DrawIndexedPrimitive 4 3 3", "DrawIndexedPrimitive 4 6 6",
                                        "DrawIndexedPrimitive 4 3 3"}),
              recorder->Only("DrawIndexedPrimitive"));
    EXPECT_EQ(3u, recorder->Count("SetMaterial"));
}

// Many billboards of one texture overrun the scratch buffers: drawn when full.
TEST_F(DrawPasses, AFullScratchBufferIsDrawnAndTheWalkGoesOn)
{
    parser->ResizeFrameBuffers(120);
    parser->ResetFrameCounters();
    YBillboardRecord billboard = {};
    billboard.m_height = 10.0f;
    for (int i = 0; i < 9000; ++i) parser->AddAlphaRecord(-10.0f, 1, YAlphaRecord::kBillboard, &billboard);
    Record();
    parser->DrawAlphaRecords();
    size_t vertices = 0;
    for (const std::string& line : recorder->Only("DrawIndexedPrimitive ")) {
        int type = 0, count = 0, indices = 0;
        ASSERT_EQ(3, sscanf(line.c_str(), "DrawIndexedPrimitive %d %d %d", &type, &count, &indices));
        EXPECT_EQ(count * 3 / 2, indices);
        vertices += size_t(count);
    }
    EXPECT_EQ(2u, recorder->Count("DrawIndexedPrimitive ")) << "once full, once at the end";
    EXPECT_EQ(36000u, vertices);
}

TEST_F(DrawPasses, ATreeOneUnitUnderTheWaterLineMakesBothParts)
{
    SpriteClass(1);  // 4 x 5: a = 4, height 10
    parser->m_cells[0].m_water = 1;
    parser->m_waterHeights[0] = 3.0f;
    Tree(2.0f);
    parser->DrawSceneObjects();
    ASSERT_EQ(1, parser->m_frameCounters[YD3D6Parser::kBillboardCount]);
    const YBillboardRecord& b = parser->BillboardRecords()[0];
    EXPECT_FLOAT_EQ(0.1f, b.m_water);
    EXPECT_FLOAT_EQ(10.0f, b.m_height);
    EXPECT_EQ(2.0f, b.m_base);
    EXPECT_FLOAT_EQ(8.0f, std::hypot(b.m_x1 - b.m_x0, b.m_z1 - b.m_z0)) << "2 a wide";
    EXPECT_EQ((std::vector<std::pair<int, int>>{{1, 0}, {6, 0}}), OpaqueKinds());
    EXPECT_EQ(0xFFFFFFu, b.m_colours[0]) << "opaque billboards keep their colour";

    // Drawn: two quads, the upper from the water line up.
    Record();
    parser->SortOpaqueRecords();
    parser->DrawOpaqueRecords();
    EXPECT_EQ((std::vector<std::string>{"DrawIndexedPrimitiveVB 4 8 12"}), recorder->Only("DrawIndexedPrimitiveVB"));
}

TEST_F(DrawPasses, TranslucentTreesDarkenBelowTheWaterLineAndDrawTheirLowerPartFirst)
{
    const int16_t texture = AddTexture(true, 4, 50);  // height 100
    SpriteClass(texture);
    parser->m_cells[0].m_water = 1;
    parser->m_waterHeights[0] = 30.0f;
    Tree(0.0f);
    parser->DrawSceneObjects();
    const YBillboardRecord& b = parser->BillboardRecords()[0];
    EXPECT_FLOAT_EQ(0.3f, b.m_water);
    EXPECT_EQ(0u, b.m_colours[0]) << "30 under the water: black";
    const uint32_t g = uint32_t(int32_t(28.0f * (1.0f / 28.0f) * 255.0f));
    EXPECT_EQ((g << 16) | (g << 8) | g, b.m_colours[1]) << "the line itself";
    const std::vector<std::pair<int, float>> kinds = AlphaKinds();
    ASSERT_EQ(2u, kinds.size());
    EXPECT_EQ(0, kinds[0].first);
    EXPECT_EQ(4, kinds[1].first);
    EXPECT_FLOAT_EQ(kinds[0].second - 2000.0f, kinds[1].second);
    EXPECT_TRUE(OpaqueKinds().empty());

    // A dry translucent tree: one record, white.
    parser->ResetFrameCounters();
    parser->m_cells[0].m_water = 0;
    parser->DrawSceneObjects();
    ASSERT_EQ(1u, AlphaKinds().size());
    EXPECT_EQ(0xFFFFFFu, parser->BillboardRecords()[0].m_colours[0]);
}

TEST_F(DrawPasses, BillboardDetailLevelsShowTheirClasses)
{
    SpriteClass(1);
    for (uint32_t detail = 0; detail < 4; ++detail) Tree(0.0f, detail);
    struct Case {
        int32_t level, extra;
        int shown;
    } cases[] = {{0, 0, 2}, {0, 1, 4}, {1, 0, 0}, {2, 0, 1}, {3, 0, 2}, {4, 0, 3}, {5, 0, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        parser->m_mapSettings[YD3D6Parser::kBillboardDetailWord] = c.level;
        parser->m_mapSettings[YD3D6Parser::kExtraDetailWord] = c.extra;
        parser->ResetFrameCounters();
        parser->DrawSceneObjects();
        EXPECT_EQ(c.shown, parser->m_frameCounters[YD3D6Parser::kBillboardCount]);
    }
}

// The far class is taken only from the tables and with a size; a class
// outside the tables skips the item.
TEST_F(DrawPasses, ModelClassesSwapOnlyToAFarClassTheTablesHold)
{
    YSMHandle near, far, sizeless;
    parser->m_spriteTypeCount = 0;
    parser->m_treeModels = {&near, &far, &sizeless};
    parser->m_treeFactorA = {40.0f, 10.0f, 0.0f};
    parser->m_visibleCells[0][0] = 0;
    parser->m_visibleCounts[0] = 1;
    parser->m_mapSettings[YD3D6Parser::kModelDetailWord] = 5;
    struct Case {
        const char* what;
        int16_t type;
        uint16_t alternate;
        int32_t levelOfDetail;
        YSMHandle* drawn;
        float scale;
    } cases[] = {
        {"no level of detail", 0, 1, 0, &near, 1.0f},
        {"swapped", 0, 1, 1, &far, 2.0f},
        {"alternate of no size", 0, 2, 1, &near, 1.0f},
        {"alternate outside the tables", 0, 9, 1, &near, 1.0f},
        {"class outside the tables", 7, 1, 1, nullptr, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        parser->m_cells[0].m_items.clear();
        YCellItem& item = Tree(0.0f);
        item.m_type = c.type;
        item.m_farType = c.alternate;
        parser->m_mapSettings[YD3D6Parser::kLevelOfDetailWord] = c.levelOfDetail;
        models->drawn.clear(), models->scales.clear();
        parser->DrawSceneObjects();
        if (!c.drawn) {
            EXPECT_TRUE(models->drawn.empty());
            continue;
        }
        ASSERT_EQ(1u, models->drawn.size());
        EXPECT_EQ(c.drawn, models->drawn[0]);
        EXPECT_FLOAT_EQ(c.scale, models->scales[0]);
    }
    parser->m_treeModels.clear();
}

TEST_F(DrawPasses, ASingleStageZeroMaterialDisablesStageOneAndStatesGoOnlyOnChange)
{
    YD3D6Lock* lock = parser->GetTextureLock(1);
    lock->m_states.m_alphaRef = 77;
    Record();
    parser->ApplyMaterialStates(lock);
    EXPECT_EQ(1u, recorder->Count("SetRenderState " + std::to_string(D3DRENDERSTATE_ALPHAREF) + " 77"));
    EXPECT_EQ(1u, recorder->Count("SetTexture 1 none"));
    EXPECT_EQ(1u, recorder->Count("SetTextureStageState 1 1 1")) << "stage 1 colour disabled";
    EXPECT_EQ(1u, recorder->Count("SetTextureStageState 1 4 1")) << "stage 1 alpha disabled";

    recorder->lines.clear();
    parser->ApplyMaterialStates(lock);
    EXPECT_EQ((std::vector<std::string>{"SetTexture 0 none", "SetMaterial", "SetTexture 1 none"}), recorder->lines)
        << "nothing changed: only the textures and the material";

    recorder->lines.clear();
    lock->m_states.m_alphaRef = 78;
    parser->ApplyMaterialStates(lock);
    EXPECT_EQ(1u, recorder->Count("SetRenderState"));

    // A detail lock of stage 1 follows on stage 1.
    YD3D6Lock* detail = parser->GetTextureLock(2);
    detail->m_states.m_stage = 1;
    detail->m_pSurface = back.GetSurface();
    lock->m_pDetail = detail;
    recorder->lines.clear();
    parser->ApplyMaterialStates(lock);
    EXPECT_EQ(0u, recorder->Count("SetTexture 1 none"));
    EXPECT_EQ(1u, recorder->Count("SetTextureStageState 1 11 1")) << "stage 1 takes coordinate set 1";
    EXPECT_EQ(1u, recorder->Count("SetTexture 2 none"));
    lock->m_pDetail = nullptr;
    detail->m_pSurface = nullptr;

    recorder->lines.clear();
    parser->ApplyMaterialStates(nullptr);
    EXPECT_EQ((std::vector<std::string>{"SetTexture 0 none", "SetTexture 1 none"}), recorder->lines);
}

// The distance cache is filled on the first pass with the switch on and
// again only after a pass with it off.
TEST_F(DrawPasses, DistanceCacheFillsOnceUntilTheSwitchGoesOffAndOn)
{
    SpriteClass(1);
    YCellItem& tree = Tree(0.0f);
    tree.m_position[0] = 40.0f, tree.m_position[2] = 0.0f;
    parser->SetCameraPosition(40.0f, 0.0f, -30.0f);
    struct Step {
        int32_t cache;
        float cameraZ;
        float stored;
    } steps[] = {{0, -30.0f, 0.0f}, {1, -30.0f, 30.0f}, {1, -50.0f, 30.0f}, {0, -50.0f, 30.0f}, {1, -50.0f, 50.0f}};
    tree.m_fixedDistance = 0.0f;
    for (const Step& s : steps) {
        parser->SetCameraPosition(40.0f, 0.0f, s.cameraZ);
        parser->m_mapSettings[YD3D6Parser::kDistanceCacheWord] = s.cache;
        parser->ResetFrameCounters();
        parser->DrawSceneObjects();
        EXPECT_NEAR(s.stored, tree.m_fixedDistance, 0.01f) << s.cache << " " << s.cameraZ;
    }
}
