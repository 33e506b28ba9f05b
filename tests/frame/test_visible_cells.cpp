// The visible cells of pinned cameras against golden lists (the hand-made
// grid and the sample map "Meadow"), and the terrain pass's records.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "FrameFixture.h"
#include "assets3d/YD3D6Lock.h"
#include "renderer/YD3D6TextureItem.h"
#include "renderer/YMapVT3.h"

namespace {
struct PinnedCamera {
    const char* name;
    float x, y, z, pitch, yaw, fov;
    int32_t viewCells;
};

// Golden lists: one line a camera, its name, then the cells of the three lists.
std::map<std::string, std::string> ReadGolden(const std::string& path)
{
    std::map<std::string, std::string> out;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const size_t space = line.find(' ');
        if (space != std::string::npos) out[line.substr(0, space)] = line.substr(space + 1);
    }
    return out;
}

class CellLists : public FrameTest {
protected:
    std::string Lists()
    {
        std::ostringstream out;
        for (int list = 0; list < 3; ++list) {
            out << (list ? " |" : "");
            for (uint16_t cell : VisibleCells(list)) out << ' ' << cell;
        }
        return out.str();
    }
    // Compares every camera's lists with the golden file; RCV_UPDATE_GOLDEN
    // writes the file instead.
    void CheckGolden(const std::string& file, const std::vector<PinnedCamera>& cameras)
    {
        const std::string path = std::string(RCV_TESTS_DIR) + "/frame/golden/" + file;
        std::ostringstream made;
        std::map<std::string, std::string> golden = ReadGolden(path);
        for (const PinnedCamera& c : cameras) {
            SCOPED_TRACE(c.name);
            parser->m_viewCells = c.viewCells;
            parser->ResizeFrameBuffers(c.viewCells);
            Camera(c.x, c.y, c.z, c.pitch, c.yaw, c.fov);
            parser->ComputeVisibleCells();
            const std::string lists = Lists();
            made << c.name << ' ' << lists << '\n';
            // Each cell once.
            const std::vector<uint16_t> all = VisibleCells(0);
            EXPECT_EQ(all.size(), std::set<uint16_t>(all.begin(), all.end()).size());
            if (!getenv("RCV_UPDATE_GOLDEN")) {
                EXPECT_EQ(golden[c.name], lists);
            }
        }
        if (getenv("RCV_UPDATE_GOLDEN")) std::ofstream(path) << made.str();
    }
};
}  // namespace

TEST_F(CellLists, HandMadeGridListsMatchTheirGoldens)
{
    ASSERT_EQ(1, MakeDevice());
    MapSession(8);
    // Actors in two cells, to fill the third list.
    parser->AddActorToCell(reinterpret_cast<void*>(1), 3, 2, 2);
    parser->AddActorToCell(reinterpret_cast<void*>(2), 3, 6, 7);
    CheckGolden("handmade_cells.txt", {
                                          {"inside", 25.0f, 20.0f, 25.0f, 0.2f, 0.7f, 60.0f, 8},
                                          {"edge-looking-out", 40.0f, 10.0f, 79.0f, 0.1f, 0.0f, 60.0f, 8},
                                          {"outside-looking-in", -30.0f, 10.0f, -30.0f, 0.1f, 0.785f, 60.0f, 8},
                                          {"wide", 40.0f, 10.0f, 5.0f, 0.1f, 0.0f, 90.0f, 16},
                                      });
}

TEST_F(CellLists, CameraInsideSeesItsOwnCellAndAtTheEdgeOnlyCellsNearTheApex)
{
    ASSERT_EQ(1, MakeDevice());
    MapSession(8);
    Camera(25.0f, 20.0f, 25.0f, 0.0f, 0.7f);
    parser->ComputeVisibleCells();
    const std::vector<uint16_t> inside = VisibleCells();
    EXPECT_NE(inside.end(), std::find(inside.begin(), inside.end(), uint16_t(2 * 8 + 2))) << "cell under the eye";
    // The apex lies 4 cells behind the eye: looking out of the map only
    // the rows back there are left.
    Camera(40.0f, 10.0f, 79.0f, 0.0f, 0.0f);
    parser->ComputeVisibleCells();
    for (uint16_t cell : VisibleCells()) EXPECT_GE(cell / 8, 3) << cell;
    EXPECT_GT(parser->m_visibleCounts[0], 0);
    EXPECT_GT(parser->m_visibleCounts[1], 0) << "the water half";
}

// A full list takes no more cells that frame.
TEST_F(CellLists, AFullListStopsTakingCells)
{
    ASSERT_EQ(1, MakeDevice());
    MapSession(8);
    parser->m_visibleCells[0].assign(5, 0);
    Camera(25.0f, 20.0f, 25.0f, 0.0f, 0.7f);
    parser->ComputeVisibleCells();
    EXPECT_EQ(5, parser->m_visibleCounts[0]);
}

#if defined(RCV_DATA_DIR)
TEST_F(CellLists, MeadowListsMatchTheirGoldens)
{
    ASSERT_EQ(1, MakeDevice());
    MapSession(8);
    YMapVT3 map;
    ASSERT_TRUE(map.LoadFile(RCV_DATA_DIR "/maps/Meadow.zon", nullptr));
    ASSERT_EQ(1, parser->BuildTerrainCells(map, 16.0f));
    parser->ResizeFrameBuffers(22);
    const float size = 96 * 256.0f;
    CheckGolden("meadow_cells.txt", {
                                        {"south-west-shore", 0.30f * size, 900.0f, 0.08f * size, 0.2f, 0.9f, 60.0f, 22},
                                        {"centre-north", 0.5f * size, 1200.0f, 0.5f * size, 0.1f, 0.0f, 60.0f, 22},
                                        {"east-edge-looking-out", size - 10.0f, 800.0f, 0.5f * size, 0.0f, 1.5708f,
                                         60.0f, 22},
                                        {"shot", 0.5f * size, 20000.0f, -0.2f * size, 0.9f, 0.0f, 60.0f, 50},
                                    });
}
#endif

// ---------------------------------------------------------------------------
// The terrain pass.

namespace {
class TerrainPass : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_EQ(1, MakeDevice());
        MapSession(24);
        // Textures 0..44; 22 (the water) and 33 (the bridge) translucent.
        for (int i = 0; i < 45; ++i) {
            YD3D6TextureItem* item = new YD3D6TextureItem;
            item->m_lock = new YD3D6Lock;
            item->m_lock->m_iSortType = (i == 22 || i == 33) ? 1 : 0;
            item->m_shadeLevel = 40;
            parser->m_textures.push_back(item);
        }
        // High above the middle, looking down the map: every cell in view.
        Camera(40.0f, 60.0f, -40.0f, 0.5f, 0.0f, 90.0f);
        parser->ComputeVisibleCells();
        parser->ResetFrameCounters();
    }
    std::vector<YOpaqueRecord> Opaque() const
    {
        return std::vector<YOpaqueRecord>(parser->OpaqueRecords(),
                                          parser->OpaqueRecords() + parser->m_frameCounters[YD3D6Parser::kOpaqueRecordCount]);
    }
    const YCellPolygon* Polygon(int kind) const
    {
        for (const YMapCell& cell : parser->m_cells)
            for (size_t p = 0; p < cell.m_polygons.size(); ++p)
                if (cell.m_keys[p] == uint32_t(kind)) return cell.m_polygons[p];
        return nullptr;
    }
};
}  // namespace

TEST_F(TerrainPass, EachPolygonOnceOpaqueByTextureTranslucentTrianglesLit)
{
    ASSERT_EQ(64, parser->m_visibleCounts[0]);
    parser->CollectTerrainPolygons();
    // The slope (11) and the lake bed (44); the water strip gives nothing.
    std::vector<YOpaqueRecord> records = Opaque();
    ASSERT_EQ(2u, records.size());
    std::set<int16_t> textures;
    for (const YOpaqueRecord& r : records) {
        textures.insert(r.m_texture);
        EXPECT_EQ(YOpaqueRecord::kTerrain, r.m_kind);
        EXPECT_EQ(4, r.m_vertexCount);
        EXPECT_EQ(0, r.m_sub);
    }
    EXPECT_EQ((std::set<int16_t>{11, 44}), textures);
    // The bridge: three lit vertices and one record.
    ASSERT_EQ(3, parser->m_frameCounters[YD3D6Parser::kAlphaVertexCount]);
    ASSERT_EQ(1, parser->m_frameCounters[YD3D6Parser::kAlphaRecordCount]);
    const YAlphaRecord& alpha = parser->AlphaRecords()[0];
    EXPECT_EQ(33, alpha.m_texture);
    EXPECT_EQ(YAlphaRecord::kTriangle, alpha.m_kind);
    EXPECT_EQ(parser->AlphaVertices(), alpha.m_data);
    const YAlphaVertex& v = parser->AlphaVertices()[1];
    EXPECT_EQ(40.0f, v.x);
    EXPECT_EQ(30.0f, v.y);
    EXPECT_EQ(v.u0, v.u1);
    EXPECT_FLOAT_EQ(40.0f / 80.0f, v.u0);
    // Key: (camera - 0.33 x the corner sum) . view - 1000.
    float view[3];
    parser->ViewVector(view);
    const float sum[3] = {80.0f, 90.0f, 80.0f};
    const float camera[3] = {40.0f, 60.0f, -40.0f};
    float key = -1000.0f;
    for (int i = 0; i < 3; ++i) key += (camera[i] - 0.33f * sum[i]) * view[i];
    EXPECT_FLOAT_EQ(key, alpha.m_key);
    EXPECT_EQ(0u, v.diffuse & 0x00FFFFFFu) << "the corners' colour";
    EXPECT_GE(v.diffuse >> 24, 112u);
}

TEST_F(TerrainPass, UndrawnPolygonsGiveNothingAndLayersGiveARecordEachInOneRecordMode)
{
    YCellPolygon* slope = const_cast<YCellPolygon*>(Polygon(handmade::kSlope));
    YCellPolygon* bed = const_cast<YCellPolygon*>(Polygon(handmade::kBed));
    ASSERT_NE(nullptr, slope);
    ASSERT_NE(nullptr, bed);
    // Only the copy in the first cell that lists a polygon is read.
    for (YMapCell& cell : parser->m_cells)
        for (size_t p = 0; p < cell.m_polygons.size(); ++p) {
            YCellPolygon& polygon = *cell.m_polygons[p];
            if (cell.m_keys[p] == uint32_t(handmade::kSlope)) polygon.m_kind = 0x06;
            if (cell.m_keys[p] == uint32_t(handmade::kBed)) {
                polygon.m_layerTextures = {44, 5, 6};
                polygon.m_layerCoords.resize(3, polygon.m_layerCoords[0]);
                polygon.m_layerAlpha.resize(3, polygon.m_layerAlpha[0]);
            }
        }
    struct Case {
        int32_t oneRecord;
        std::vector<std::pair<int16_t, uint8_t>> want;  // texture, layer
    } cases[] = {{0, {{44, 0}}}, {1, {{44, 0}, {5, 1}, {6, 2}}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.oneRecord);
        parser->m_oneRecordPerLayer = c.oneRecord;
        parser->ResetFrameCounters();
        parser->CollectTerrainPolygons();
        std::vector<std::pair<int16_t, uint8_t>> got;
        for (const YOpaqueRecord& r : Opaque()) got.push_back({r.m_texture, r.m_sub});
        EXPECT_EQ(c.want, got);
    }
}

TEST_F(TerrainPass, FullListsTakeNoMoreRecords)
{
    parser->m_frameBuffers[7].capacity = 1;
    parser->m_frameBuffers[2].capacity = 2;
    parser->CollectTerrainPolygons();
    EXPECT_EQ(1, parser->m_frameCounters[YD3D6Parser::kOpaqueRecordCount]);
    EXPECT_EQ(0, parser->m_frameCounters[YD3D6Parser::kAlphaVertexCount]);
    EXPECT_EQ(0, parser->m_frameCounters[YD3D6Parser::kAlphaRecordCount]);
}
