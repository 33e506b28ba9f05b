// The "YMAP" map stream: every block kind read into the map object, and
// streams that are cut short, malformed or inconsistent refused whole.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>

#include "MapStreamBytes.h"
#include "ScratchFolder.h"
#include "foundation/YObjectDef.h"
#include "renderer/YD3D6Parser.h"
#include "renderer/YMapVT3.h"
#include "renderer/YParserZone.h"

namespace {

MapStreamBytes Vertices(const std::vector<std::array<float, 3>>& points)
{
    MapStreamBytes v;
    v.U32(static_cast<uint32_t>(points.size()));
    for (size_t i = 0; i < points.size(); ++i)
        v.F32(points[i][0]).F32(points[i][1]).F32(points[i][2]).U32(100 + i).U32(200 + i).U32(300 + i);
    return v;
}

// A layered group: corners with colours, one layer of the given texture.
void LayeredGroup(MapStreamBytes& b, const std::vector<uint32_t>& corners, int texture, int surface = 7)
{
    b.U8(1).U8(surface).U32(static_cast<uint32_t>(corners.size()));
    for (uint32_t c : corners) b.U32(c).U8(10).U8(20).U8(30);
    b.U8(1).U16(texture);
    for (uint32_t c : corners) b.F32(c * 0.25f).F32(1.0f - c * 0.25f).U8(200);
}

MapStreamBytes Cells(uint32_t width, uint32_t height, const std::function<std::vector<uint32_t>(uint32_t, uint32_t)>& lists)
{
    MapStreamBytes c;
    c.U32(0xDEADBEEF);
    for (uint32_t x = 0; x < width; ++x)
        for (uint32_t z = 0; z < height; ++z) {
            std::vector<uint32_t> list = lists(x, z);
            c.U16(static_cast<uint32_t>(list.size()));
            for (uint32_t g : list) c.U32(g);
        }
    return c;
}

// A 2 x 3 map with every block kind, an unknown block and a gap before the blocks.
MapStreamBytes Golden()
{
    MapStreamBytes blocks;
    MapStreamBytes tags;
    tags.U32(2).U16(6).U16(4).Raw("skybox").Raw("sky1").U16(3).U16(0).Raw("fog");
    blocks.Block(1, tags);
    blocks.Block(9, MapStreamBytes().U32(0xFFFFFFFF).U8(1));
    MapStreamBytes models;
    models.U32(1).Str("house.ysm").F32(1).F32(2).F32(3).F32(0.1f).F32(0.2f).F32(0.3f).F32(2);
    models.U32(0xAAAAAAAA).U32(0xAAAAAAAA).U8(7).U32(0x12345678).U32(11).U32(22).U32(33);
    blocks.Block(5, models);
    MapStreamBytes shortModels;
    shortModels.U32(1).Str("tree.ysm").F32(4).F32(5).F32(6).F32(0).F32(0).F32(1).F32(1);
    shortModels.U32(0).U32(0).U8(1).U32(0xFFFF0001).U32(44);
    blocks.Block(22, shortModels);
    MapStreamBytes sounds;
    sounds.U32(2).U32(1).Str("wind2").Str("wind");
    for (uint32_t v = 1; v <= 10; ++v) sounds.U32(v);
    sounds.U32(0).Str("bird");
    for (int v = 0; v < 10; ++v) sounds.U32(50);
    blocks.Block(7, sounds);
    MapStreamBytes flatZones;
    flatZones.U32(1).Str("start").U16(1).U16(4).U16(1).Raw("team").Raw("1").U32(5).U32(0);
    flatZones.U16(2).F32(1).F32(2).F32(3).F32(4);
    blocks.Block(10, flatZones);
    MapStreamBytes zones;
    zones.U32(1).Str("lake").U16(0).U32(0).U32(0).U16(1).F32(1).F32(2).F32(3);
    blocks.Block(24, zones);
    blocks.Block(16, Vertices({{{0, 0, 0}}, {{10, 0, 0}}, {{0, 0, 10}}, {{10, 2, 10}}}));
    MapStreamBytes groups;
    groups.U32(2);
    LayeredGroup(groups, {0, 1, 2}, 3);
    LayeredGroup(groups, {2, 1, 3}, 3);
    blocks.Block(23, groups);
    blocks.Block(18, Cells(2, 3, [](uint32_t x, uint32_t z) {
                     if (x == 1 && z == 2) return std::vector<uint32_t>{0, 1};
                     if (x == 0 && z == 1) return std::vector<uint32_t>{1};
                     return std::vector<uint32_t>{};
                 }));
    MapStreamBytes pathTrees;
    pathTrees.U32(1).U16(12).U32(99).U8(2);
    for (int i = 0; i < 10; ++i) pathTrees.U8(i);
    for (int i = 0; i < 10; ++i) pathTrees.U16(1000 + i);
    for (int i = 0; i < 10; ++i) pathTrees.F32(i * 0.5f);
    pathTrees.U32(7).U8(8).U32(9).U32(10).U32(11).U8(1).U16(2).F32(1).F32(2).F32(3).F32(4);
    blocks.Block(13, pathTrees);
    blocks.Block(14, MapStreamBytes().U32(1).U8(3).U16(4).U32(5).U32(6).U32(7).U32(8));
    blocks.Block(12, MapStreamBytes().U32(2).Str("a").Str("b").U32(1).Str("c"));
    blocks.Block(15, MapStreamBytes().U16(1).Str("x"));
    MapStreamBytes sky;
    sky.U8(1).U8(1).U16(2).U32(3).U32(4).U32(5).U8(6).U8(7).U8(8).U8(2).Str("sun.bmp").Str("sun2.bmp");
    sky.U32(9).U32(10).U32(11).U8(12).U8(13).U8(14).U32(15);
    blocks.Block(20, sky);
    blocks.Block(21, MapStreamBytes().U8(1).U32(1).Str("clouds.bmp").U32(2).U32(3).U32(4));
    return MapStreamBytes::Header(2, 3, 16, 5).Append(blocks);
}

class MapStream : public ::testing::Test {
protected:
    int Load(const MapStreamBytes& stream)
    {
        m_folder.Write("test.zon", stream.Bytes());
        return m_map.LoadFile((m_folder / "test.zon").c_str(), nullptr);
    }
    ScratchFolder m_folder;
    YMapVT3 m_map;
};

TEST_F(MapStream, GoldenStreamFillsEveryRecord)
{
    ASSERT_EQ(1, Load(Golden()));
    EXPECT_EQ(2u, m_map.m_gridWidth);
    EXPECT_EQ(3u, m_map.m_gridHeight);
    EXPECT_FLOAT_EQ(10.0f, m_map.m_cellSize);
    EXPECT_FLOAT_EQ(-5.0f, m_map.m_originX);
    EXPECT_FLOAT_EQ(1.5f, m_map.m_originY);
    EXPECT_FLOAT_EQ(7.0f, m_map.m_originZ);
    EXPECT_EQ(65536u, m_map.m_heightTable.size());
    EXPECT_EQ(12u, m_map.m_vertexHeights.size());

    ASSERT_EQ(2u, m_map.m_tags.size());
    YMapVT3Tag tag;
    ASSERT_EQ(1, m_map.FindTag("skybox", tag));
    EXPECT_STREQ("sky1", tag.m_value);
    ASSERT_EQ(1, m_map.FindTag("fog", tag));
    EXPECT_STREQ("", tag.m_value);
    EXPECT_EQ(0, m_map.FindTag("SKYBOX", tag));
    EXPECT_EQ(0, m_map.FindTag("", tag));

    ASSERT_EQ(1u, m_map.m_models.size());
    const YMapVT3Model_Output& house = m_map.m_models[0];
    EXPECT_STREQ("house.ysm", house.m_name);
    EXPECT_EQ((std::array<float, 3>{1, 3, 2}), (std::array<float, 3>{house.m_x, house.m_y, house.m_z}));
    EXPECT_FLOAT_EQ(0.3f, house.m_yaw);
    EXPECT_FLOAT_EQ(2.0f, house.m_scale);
    EXPECT_EQ(7, house.m_flag);
    EXPECT_EQ(0x5678, house.m_word);
    EXPECT_EQ((std::array<DWORD, 3>{11, 22, 33}), (std::array<DWORD, 3>{house.m_values[0], house.m_values[1], house.m_values[2]}));
    ASSERT_EQ(1u, m_map.m_models2.size());
    const YMapVT3Model_Output& tree = m_map.m_models2[0];
    EXPECT_EQ(1, tree.m_word);
    EXPECT_EQ((std::array<DWORD, 3>{0, 44, 0}), (std::array<DWORD, 3>{tree.m_values[0], tree.m_values[1], tree.m_values[2]}));

    ASSERT_EQ(2u, m_map.m_sounds.size());
    const YMapVT3Sound_Output& wind = m_map.m_sounds[0];
    EXPECT_STREQ("wind", wind.m_firstName);
    EXPECT_STREQ("wind2", wind.m_secondName);
    EXPECT_EQ(1u, wind.m_hasSecond);
    const std::array<DWORD, 10> memoryOrder{wind.m_a, wind.m_b, wind.m_c, wind.m_d, wind.m_e,
                                            wind.m_f, wind.m_g, wind.m_h, wind.m_i, wind.m_j};
    EXPECT_EQ((std::array<DWORD, 10>{1, 2, 3, 7, 8, 4, 5, 6, 9, 10}), memoryOrder);
    EXPECT_STREQ("bird", m_map.m_sounds[1].m_firstName);
    EXPECT_STREQ("", m_map.m_sounds[1].m_secondName);
    EXPECT_EQ(0u, m_map.m_sounds[1].m_hasSecond);

    std::vector<YParserZone*> zones = m_map.TakeZones();
    ASSERT_EQ(2u, zones.size());
    EXPECT_STREQ("start", zones[0]->m_name);
    EXPECT_EQ(1, zones[0]->m_flag);
    ASSERT_EQ(2, zones[0]->m_pointCount);
    const float* flat = static_cast<const float*>(zones[0]->m_buffer);
    EXPECT_EQ((std::vector<float>{1, 0, 2, 3, 0, 4}), std::vector<float>(flat, flat + 6));
    EXPECT_STREQ("1", static_cast<YObjectDef*>(zones[0]->m_object)->GetValue("team"));
    const float* lake = static_cast<const float*>(zones[1]->m_buffer);
    EXPECT_EQ((std::vector<float>{1, 3, 2}), std::vector<float>(lake, lake + 3));
    EXPECT_EQ(0, zones[1]->m_flag);
    for (YParserZone* zone : zones) {
        free(zone->m_buffer);
        delete zone->m_object;
        delete zone;
    }

    ASSERT_EQ(4u, m_map.m_vertices.size());
    EXPECT_FLOAT_EQ(2.0f, m_map.m_vertices[3].m_y);
    EXPECT_EQ(303u, m_map.m_vertices[3].m_extra[2]);
    ASSERT_EQ(2u, m_map.m_groups.size());
    const YMapVT3Group& g1 = m_map.m_groups[1];
    EXPECT_EQ(7, g1.m_surface);
    ASSERT_EQ(3u, g1.m_corners.size());
    EXPECT_EQ(3u, g1.m_corners[2].m_vertex);
    EXPECT_EQ(20, g1.m_corners[2].m_green);
    ASSERT_EQ(1u, g1.m_layerCorners.size());
    EXPECT_FLOAT_EQ(0.75f, g1.m_layerCorners[0][2].m_u);
    EXPECT_EQ(200, g1.m_layerCorners[0][2].m_alpha);

    // Cell lists come column by column and land row by row.
    ASSERT_EQ(6u, m_map.m_cells.size());
    EXPECT_EQ((std::vector<DWORD>{0, 1}), m_map.m_cells[2 * 2 + 1].m_groups);
    EXPECT_EQ((std::vector<DWORD>{1}), m_map.m_cells[1 * 2 + 0].m_groups);
    EXPECT_TRUE(m_map.m_cells[1].m_groups.empty());

    ASSERT_EQ(2u, m_map.m_trees.size());
    const YMapVT3Tree& path = m_map.m_trees[0];
    EXPECT_EQ(YMapVT3Tree::kPath, path.m_kind);
    EXPECT_EQ(12, path.m_treeCount);
    EXPECT_EQ(9, path.m_bytesB[4]);
    EXPECT_EQ(1009, path.m_wordsB[4]);
    EXPECT_FLOAT_EQ(4.5f, path.m_floatsB[4]);
    EXPECT_EQ(11u, path.m_values[2]);
    ASSERT_EQ(2u, path.m_points.size());
    EXPECT_FLOAT_EQ(4.0f, path.m_points[1].m_z);
    EXPECT_EQ(YMapVT3Tree::kSingle, m_map.m_trees[1].m_kind);
    EXPECT_EQ(8u, m_map.m_trees[1].m_singleValues[3]);

    EXPECT_EQ(2, m_map.m_strings3.GetSize());
    EXPECT_EQ(CString("c"), m_map.m_strings4[0]);
    EXPECT_EQ(CString("x"), m_map.m_strings1[0]);
    ASSERT_EQ(1u, m_map.m_celestials.size());
    EXPECT_EQ((std::vector<std::string>{"sun.bmp", "sun2.bmp"}),
              (std::vector<std::string>{m_map.m_celestials[0].m_files[0].GetBuffer(), m_map.m_celestials[0].m_files[1].GetBuffer()}));
    EXPECT_EQ(15u, m_map.m_celestials[0].m_last);
    ASSERT_EQ(1u, m_map.m_clouds.size());
    EXPECT_STREQ("clouds.bmp", m_map.m_clouds[0].m_texture);
    EXPECT_EQ(4u, m_map.m_clouds[0].m_values[2]);

    // The two triangles share an edge and a texture: one cluster.
    EXPECT_EQ(YMapVT3::kStripsBuilt, m_map.m_stripState);
    EXPECT_EQ(2u, m_map.m_strips.m_records.size());
    EXPECT_EQ(1u, m_map.m_strips.m_clusters.size());
    EXPECT_EQ(6u, m_map.m_strips.m_cells.size());
}

TEST_F(MapStream, OneLayerGroupsTranslateSurfaceCodesAndColours)
{
    MapStreamBytes groups;
    groups.U32(6);
    for (int code = 0; code < 6; ++code) {
        groups.U8(2).U8(code).U32(3);
        for (uint32_t c = 0; c < 3; ++c) groups.U32(c).F32(0.5f).F32(0.25f).F32(1.0f).F32(0.5f).F32(c == 2 ? 7.0f : -1.0f);
        groups.U16(40 + code);
    }
    MapStreamBytes stream = MapStreamBytes::Header(1, 1, 2);
    stream.Block(16, Vertices({{{0, 0, 0}}, {{1, 0, 0}}, {{0, 0, 1}}})).Block(17, groups);
    ASSERT_EQ(1, Load(stream));
    ASSERT_EQ(6u, m_map.m_groups.size());
    const BYTE expected[] = {0x07, 0x43, 0x01, 0x5F, 0x53, 0x07};
    for (int code = 0; code < 6; ++code) {
        const YMapVT3Group& g = m_map.m_groups[code];
        EXPECT_EQ(expected[code], g.m_surface) << code;
        EXPECT_EQ(2, g.m_kind);
        ASSERT_EQ(1u, g.m_layerTextures.size());
        EXPECT_EQ(40 + code, g.m_layerTextures[0]);
        for (const YMapVT3LayerCorner& lc : g.m_layerCorners[0]) EXPECT_EQ(255, lc.m_alpha);
    }
    const YMapVT3Corner& c0 = m_map.m_groups[0].m_corners[0];
    EXPECT_EQ((std::array<int, 3>{255, 127, 0}), (std::array<int, 3>{c0.m_red, c0.m_green, c0.m_blue}));
    EXPECT_EQ(255, m_map.m_groups[0].m_corners[2].m_blue);  // out of range clamps
}

TEST_F(MapStream, RepeatedBlocksReplaceOrAppend)
{
    auto models = [](const char* name) {
        MapStreamBytes m;
        m.U32(1).Str(name);
        for (int i = 0; i < 7; ++i) m.F32(0);
        return m.U32(0).U32(0).U8(0).U32(0).U32(0).U32(0).U32(0);
    };
    MapStreamBytes trees = MapStreamBytes().U32(1).U8(0).U16(0).U32(0).U32(0).U32(0).U32(0);
    MapStreamBytes stream = MapStreamBytes::Header(4, 4, 4, 0, 2);  // version 2 reads the same
    stream.Block(5, models("first")).Block(5, models("second")).Block(14, trees).Block(14, trees);
    ASSERT_EQ(1, Load(stream));
    ASSERT_EQ(1u, m_map.m_models.size());
    EXPECT_STREQ("second", m_map.m_models[0].m_name);
    EXPECT_EQ(2u, m_map.m_trees.size());
    EXPECT_EQ(YMapVT3::kNoTerrain, m_map.m_stripState);  // no terrain, no strips
    EXPECT_TRUE(m_map.m_strips.m_records.empty());
}

// One record of each kind as short as it can be: no count check may ask for
// more bytes than the smallest record holds.
TEST_F(MapStream, SmallestRecordOfEveryBlockIsRead)
{
    MapStreamBytes pathTree;
    pathTree.U32(1).U16(0).U32(0).U8(0);
    for (int i = 0; i < 70; ++i) pathTree.U8(0);
    pathTree.U32(0).U8(0).U32(0).U32(0).U32(0).U8(0).U16(0);  // 97 bytes, no points
    MapStreamBytes longModel, shortModel;
    longModel.U32(1).Str("");
    shortModel.U32(1).Str("");
    for (int i = 0; i < 7; ++i) {
        longModel.F32(0);
        shortModel.F32(0);
    }
    longModel.U32(0).U32(0).U8(0).U32(0).U32(0).U32(0).U32(0);  // 55 bytes
    shortModel.U32(0).U32(0).U8(0).U32(0).U32(0);             // 47 bytes
    MapStreamBytes sound;
    sound.U32(1).U32(0).Str("");
    for (int i = 0; i < 10; ++i) sound.U32(0);  // 46 bytes, no second name
    MapStreamBytes sky;
    sky.U8(1).U8(0).U16(0).U32(0).U32(0).U32(0).U8(0).U8(0).U8(0).U8(0).U32(0).U32(0).U32(0).U8(0).U8(0).U8(0).U32(0);
    const struct {
        int type;
        MapStreamBytes payload;
    } cases[] = {
        {1, MapStreamBytes().U32(1).U16(0).U16(0)},
        {5, longModel},
        {7, sound},
        {10, MapStreamBytes().U32(1).Str("").U16(0).U32(0).U32(0).U16(0)},
        {12, MapStreamBytes().U32(1).Str("").U32(1).Str("")},
        {13, pathTree},
        {14, MapStreamBytes().U32(1).U8(0).U16(0).U32(0).U32(0).U32(0).U32(0)},
        {15, MapStreamBytes().U16(1).Str("")},
        {16, Vertices({{{0, 0, 0}}})},
        {17, MapStreamBytes().U32(1).U8(1).U8(0).U32(0).U16(0)},
        {18, Cells(1, 1, [](uint32_t, uint32_t) { return std::vector<uint32_t>{}; })},
        {20, sky},
        {21, MapStreamBytes().U8(1).U32(0).Str("").U32(0).U32(0).U32(0)},
        {22, shortModel},
        {23, MapStreamBytes().U32(1).U8(1).U8(7).U32(0).U8(0)},
        {24, MapStreamBytes().U32(1).Str("").U16(0).U32(0).U32(0).U16(0)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(1, Load(MapStreamBytes::Header(1, 1, 1).Block(c.type, c.payload))) << "block " << c.type;
        for (YParserZone* zone : m_map.TakeZones()) {
            YParser::DestroyItem(zone);
            delete zone;
        }
    }
    ASSERT_EQ(1, Load(MapStreamBytes::Header(1, 1, 1).Block(13, pathTree)));
    ASSERT_EQ(1u, m_map.m_trees.size());
    EXPECT_TRUE(m_map.m_trees[0].m_points.empty());
    ASSERT_EQ(1, Load(MapStreamBytes::Header(1, 1, 1).Block(7, sound)));
    ASSERT_EQ(1u, m_map.m_sounds.size());
    EXPECT_EQ(0u, m_map.m_sounds[0].m_hasSecond);
}

// The renderer takes the zones of a whole map, and none of a refused one.
TEST_F(MapStream, ZonesGoToTheRenderer)
{
    YD3D6Parser renderer;
    m_folder.Write("test.zon", Golden().Bytes());
    ASSERT_EQ(1, m_map.LoadFile((m_folder / "test.zon").c_str(), &renderer));
    EXPECT_TRUE(m_map.TakeZones().empty());
    ASSERT_EQ(2, renderer.GetZoneCount());
    EXPECT_STREQ("start", renderer.GetZone(0)->m_name);
    EXPECT_STREQ("lake", renderer.GetZone(1)->m_name);
    EXPECT_EQ(nullptr, renderer.GetZone(2));

    MapStreamBytes refused = MapStreamBytes::Header(1, 1, 2)
                                 .Block(24, MapStreamBytes().U32(1).Str("z").U16(0).U32(0).U32(0).U16(0))
                                 .Block(15, MapStreamBytes().U16(2).Str("only one"));
    m_folder.Write("refused.zon", refused.Bytes());
    YMapVT3 other;
    EXPECT_EQ(0, other.LoadFile((m_folder / "refused.zon").c_str(), &renderer));
    EXPECT_EQ(2, renderer.GetZoneCount());
    renderer.EndSession(4);
    EXPECT_EQ(0, renderer.GetZoneCount());
}

TEST_F(MapStream, MissingFileFails)
{
    EXPECT_EQ(0, m_map.LoadFile((m_folder / "none.zon").c_str(), nullptr));
}

// Every stream below is refused and leaves the map empty.
TEST_F(MapStream, MalformedStreamsAreRefused)
{
    MapStreamBytes vertices = Vertices({{{0, 0, 0}}, {{1, 0, 0}}, {{0, 0, 1}}});
    MapStreamBytes badCorner;
    badCorner.U32(1);
    LayeredGroup(badCorner, {0, 1, 3}, 1);
    MapStreamBytes goodGroup;
    goodGroup.U32(1);
    LayeredGroup(goodGroup, {0, 1, 2}, 1);
    const std::string longName(2048, 'n');
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        const char* what;
        MapStreamBytes stream;
    } cases[] = {
        {"bad magic", MapStreamBytes::Header(1, 1, 0, 0, 4, 10.0f, "YMAQ")},
        {"version 3", MapStreamBytes::Header(1, 1, 0, 0, 3)},
        {"version 5", MapStreamBytes::Header(1, 1, 0, 0, 5)},
        {"zero width", MapStreamBytes::Header(0, 4, 0)},
        {"too many cells", MapStreamBytes::Header(257, 256, 0)},
        {"width times height wraps", MapStreamBytes::Header(0x10000, 0x10000, 0)},
        {"zero cell size", MapStreamBytes::Header(1, 1, 0, 0, 4, 0.0f)},
        {"cell size not a number", MapStreamBytes::Header(1, 1, 0, 0, 4, nan)},
        {"blocks missing", MapStreamBytes::Header(1, 1, 1)},
        {"block larger than the file", MapStreamBytes::Header(1, 1, 1).U8(9).U8(0).U32(100).U32(0)},
        {"count beyond the payload", MapStreamBytes::Header(1, 1, 1).Block(1, MapStreamBytes().U32(0x40000000))},
        {"string too long", MapStreamBytes::Header(1, 1, 1).Block(15, MapStreamBytes().U16(1).Str(longName))},
        {"content shorter than the block", MapStreamBytes::Header(1, 1, 1).Block(15, MapStreamBytes().U16(0).U8(0))},
        {"corner beyond the vertices", MapStreamBytes::Header(1, 1, 2).Block(16, vertices).Block(23, badCorner)},
        {"bad block after a zone",
         MapStreamBytes::Header(1, 1, 2)
             .Block(24, MapStreamBytes().U32(1).Str("z").U16(0).U32(0).U32(0).U16(0))
             .Block(15, MapStreamBytes().U16(2).Str("only one"))},
        {"cell names a missing group",
         MapStreamBytes::Header(1, 1, 3).Block(16, vertices).Block(23, goodGroup).Block(18, MapStreamBytes().U32(0).U16(1).U32(1))},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(0, Load(c.stream)) << c.what;
        EXPECT_EQ(0u, m_map.m_gridWidth) << c.what;
        EXPECT_TRUE(m_map.m_cells.empty()) << c.what;
        EXPECT_TRUE(m_map.TakeZones().empty()) << c.what;
    }
}

TEST_F(MapStream, FirstBlockOffsetInsideTheHeaderIsRefused)
{
    MapStreamBytes stream = MapStreamBytes::Header(1, 1, 1);
    std::vector<uint8_t> bytes = stream.Bytes();
    bytes[34] = 30;  // the offset field points back into the header
    m_folder.Write("test.zon", bytes);
    EXPECT_EQ(0, m_map.LoadFile((m_folder / "test.zon").c_str(), nullptr));
}

TEST_F(MapStream, EveryCutOfTheGoldenStreamIsRefused)
{
    const MapStreamBytes golden = Golden();
    const std::vector<uint8_t>& whole = golden.Bytes();
    for (size_t size = 0; size < whole.size(); ++size) {
        m_folder.Write("cut.zon", std::vector<uint8_t>(whole.begin(), whole.begin() + size));
        ASSERT_EQ(0, m_map.LoadFile((m_folder / "cut.zon").c_str(), nullptr)) << size;
    }
}

TEST_F(MapStream, StoringWritesNothing)
{
    ASSERT_EQ(1, Load(Golden()));
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        m_map.Serialize(ar);
    }
    EXPECT_EQ(0u, file.GetLength());
    EXPECT_EQ(2u, m_map.m_tags.size());
}

}  // namespace

// Strip groups listed by every cell of a 64 x 64 grid (1.6 MB): the cells
// share one copy of each group, and the ground answers as before.
TEST_F(MapStream, GroupsListedByEveryCellAreSharedByTheCells)
{
    const uint32_t side = 64, groupCount = 20, corners = 3750;
    std::vector<std::array<float, 3>> points;
    for (uint32_t i = 0; i < corners; ++i) points.push_back({{(i / 2) * 640.0f / (corners / 2), 5.0f, (i % 2) * 640.0f}});
    MapStreamBytes groups;
    groups.U32(groupCount);
    for (uint32_t g = 0; g < groupCount; ++g) {
        groups.U8(2).U8(7).U32(corners);
        for (uint32_t c = 0; c < corners; ++c) groups.U32(c).U8(10).U8(20).U8(30);
        groups.U8(1).U16(0);
        for (uint32_t c = 0; c < corners; ++c) groups.F32(0).F32(0).U8(255);
    }
    std::vector<uint32_t> every(groupCount);
    for (uint32_t g = 0; g < groupCount; ++g) every[g] = g;
    const MapStreamBytes stream = MapStreamBytes::Header(side, side, 3)
                                      .Block(16, Vertices(points))
                                      .Block(23, groups)
                                      .Block(18, Cells(side, side, [&](uint32_t, uint32_t) { return every; }));
    ASSERT_EQ(1, Load(stream));
    YD3D6Parser parser;
    ASSERT_EQ(1, parser.BuildTerrainCells(m_map, 16.0f));
    ASSERT_EQ(groupCount, parser.m_groupPolygons.size());
    for (const YMapCell& cell : parser.m_cells) {
        ASSERT_EQ(groupCount, cell.m_polygons.size());
        for (uint32_t g = 0; g < groupCount; ++g) ASSERT_EQ(&parser.m_groupPolygons[g], cell.m_polygons[g]);
    }
    // The map's corner lies at (-5, 7) m.
    EXPECT_FLOAT_EQ(5.0f * 16, parser.GetGroundHeight((-5 + 100) * 16.0, (7 + 300) * 16.0));
}

// Each cell listing a group makes the strip builder list every layer of it:
// lists that would list more layer records than the stream's size allows
// are refused.
TEST_F(MapStream, CellListsBeyondTheStreamsBoundAreRefused)
{
    const struct {
        int layers;
        uint32_t side;
        int loads;
    } cases[] = {{255, 8, 1}, {255, 16, 0}, {1, 128, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.layers << " layers, " << c.side << " x " << c.side);
        MapStreamBytes group;
        group.U32(1).U8(1).U8(7).U32(3);
        for (uint32_t k = 0; k < 3; ++k) group.U32(k).U8(1).U8(2).U8(3);
        group.U8(c.layers);
        for (int l = 0; l < c.layers; ++l) {
            group.U16(l);
            for (int k = 0; k < 3; ++k) group.F32(0).F32(0).U8(255);
        }
        const MapStreamBytes stream =
            MapStreamBytes::Header(c.side, c.side, 3)
                .Block(16, Vertices({{{0, 0, 0}}, {{10, 0, 0}}, {{0, 0, 10}}}))
                .Block(23, group)
                .Block(18, Cells(c.side, c.side, [](uint32_t, uint32_t) { return std::vector<uint32_t>{0}; }));
        EXPECT_EQ(c.loads, Load(stream));
        EXPECT_EQ(c.loads ? c.side * c.side : 0u, m_map.m_cells.size());
    }
}
