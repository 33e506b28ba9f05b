// The sample maps: what the build wrote into "maps" loads whole, with the
// terrain, starts, sounds, sky and tags a round needs; the writer and the
// reader agree field by field, and the strip bank of a real map reloads equal.
#include <gtest/gtest.h>

#include <string>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "ScratchFolder.h"
#include "renderer/Stripper.h"
#include "renderer/YMapVT3.h"
#include "tools/YMapWriter.h"
#include "tools/YSampleMaps.h"

namespace {

#if defined(RCV_DATA_DIR)
std::string MapPath(const char* name) { return std::string(RCV_DATA_DIR) + "/maps/" + name + ".zon"; }

struct Heights {
    float low, high;
};

Heights HeightRange(const YMapVT3& map)
{
    Heights h{map.m_vertices[0].m_y, map.m_vertices[0].m_y};
    for (const YMapVT3Vertex& v : map.m_vertices) {
        h.low = std::min(h.low, v.m_y);
        h.high = std::max(h.high, v.m_y);
    }
    return h;
}

size_t WaterGroups(const YMapVT3& map)
{
    return std::count_if(map.m_groups.begin(), map.m_groups.end(),
                         [](const YMapVT3Group& g) { return g.m_surface == YMapVT3Group::kWater; });
}

// Cells with water whose ground rises above the water's lowest corner.
size_t CellsWithGroundAboveTheWater(const YMapVT3& map)
{
    size_t cells = 0;
    for (const YMapVT3Cell& cell : map.m_cells) {
        float groundHigh = -1e30f, waterLow = 1e30f;
        for (DWORD g : cell.m_groups) {
            const YMapVT3Group& group = map.m_groups[g];
            for (const YMapVT3Corner& c : group.m_corners) {
                const float y = map.m_vertices[c.m_vertex].m_y;
                if (group.m_surface == YMapVT3Group::kWater) waterLow = std::min(waterLow, y);
                if (group.m_surface == YMapVT3Group::kGround) groundHigh = std::max(groundHigh, y);
            }
        }
        cells += groundHigh > waterLow;
    }
    return cells;
}

TEST(SampleMaps, EveryMapLoadsWithTerrainStartsSoundsAndSky)
{
    const struct {
        const char* name;
        bool hillsAndLake;
    } maps[] = {{"Meadow", true}, {"Ridge", true}, {"Flat", false}, {"Tiny", true}, {"Ramp", false}};
    for (const auto& m : maps) {
        SCOPED_TRACE(m.name);
        YMapVT3 map;
        ASSERT_EQ(1, map.LoadFile(MapPath(m.name).c_str(), nullptr));
        ASSERT_GT(map.m_gridWidth, 0u);
        ASSERT_EQ(size_t(map.m_gridWidth) * map.m_gridHeight, map.m_cells.size());
        for (const YMapVT3Cell& cell : map.m_cells) ASSERT_GE(cell.m_groups.size(), 2u);
        EXPECT_EQ(YMapVT3::kStripsBuilt, map.m_stripState);
        EXPECT_EQ(map.m_groups.size(), map.m_strips.m_records.size());
        ASSERT_EQ(map.m_cells.size(), map.m_strips.m_cells.size());
        EXPECT_EQ(map.m_cells[0].m_groups.size(), map.m_strips.m_cells[0].m_lists[StripCell::kFirstRecords].size());

        const Heights h = HeightRange(map);
        if (m.hillsAndLake) {
            EXPECT_GE(h.high - YSampleMaps::kWaterLevel, 10.0f * YSampleMaps::kUnitsPerMetre);
            EXPECT_LT(h.low, YSampleMaps::kWaterLevel);
            EXPECT_GT(WaterGroups(map), 0u);
            EXPECT_EQ(0u, CellsWithGroundAboveTheWater(map));
        } else {
            // Level, but for the ramps' 32 m rise.
            EXPECT_EQ(h.low + (std::string(m.name) == "Ramp" ? 32.0f * YSampleMaps::kUnitsPerMetre : 0.0f), h.high);
            EXPECT_EQ(0u, WaterGroups(map));
        }

        const size_t starts = std::count_if(map.m_models.begin(), map.m_models.end(), [](const YMapVT3Model_Output& o) {
            return std::strstr(o.m_name, "PlayerStart") != nullptr;
        });
        EXPECT_GE(starts, 2u);
        EXPECT_GT(map.m_models.size(), starts);
        EXPECT_FALSE(map.m_sounds.empty());
        EXPECT_FALSE(map.m_trees.empty());
        ASSERT_FALSE(map.m_celestials.empty());
        EXPECT_FALSE(map.m_celestials[0].m_files.empty());
        EXPECT_FALSE(map.m_clouds.empty());
        YMapVT3Tag tag;
        for (const char* name : {"MapBackgroundNum", "MapBackground00", "SolidColorRGB", "FOG-ColorRGB", "MapSound00",
                                 "MapSoundLoop00", "MapWindLoop00", "WeatherRain"})
            EXPECT_EQ(1, map.FindTag(name, tag)) << name;
    }
}

// Each sky box a map names has its five faces among the sample textures, as
// the renderer finds them: the name without its last four characters and a
// face suffix.
TEST(SampleMaps, SkyBoxesNamedByTheMapsExist)
{
    for (const char* name : {"Meadow", "Ridge", "Flat", "Tiny", "Ramp"}) {
        SCOPED_TRACE(name);
        YMapVT3 map;
        ASSERT_EQ(1, map.LoadFile(MapPath(name).c_str(), nullptr));
        YMapVT3Tag tag;
        ASSERT_EQ(1, map.FindTag("MapBackgroundNum", tag));
        const int count = std::atoi(tag.m_value);
        ASSERT_GE(count, 1);
        for (int i = 0; i < count; ++i) {
            char key[32];
            std::snprintf(key, sizeof key, "MapBackground%02d", i);
            ASSERT_EQ(1, map.FindTag(key, tag)) << key;
            std::string box(tag.m_value.GetBuffer());
            ASSERT_GT(box.size(), 4u) << key;
            box.resize(box.size() - 4);
            for (const char* face : {"_front", "_left", "_back", "_right", "_top"}) {
                const std::string path = std::string(RCV_DATA_DIR) + "/textures/sky/" + box + face + ".ytx";
                EXPECT_TRUE(std::ifstream(path).good()) << path;
            }
        }
    }
}

// Every layer texture word names a map texture of string list 1, which is a
// sample ground texture; every tree kind names a tree sprite of list 3 that
// is a sample sprite; the sun's picture is the sample flare.
TEST(SampleMaps, TexturesSpritesAndSunNamedByTheMapsExist)
{
    const std::string data(RCV_DATA_DIR);
    for (const char* name : {"Meadow", "Ridge", "Flat", "Tiny", "Ramp"}) {
        SCOPED_TRACE(name);
        YMapVT3 map;
        ASSERT_EQ(1, map.LoadFile(MapPath(name).c_str(), nullptr));
        ASSERT_GT(map.m_strings1.GetSize(), 0);
        for (int i = 0; i < map.m_strings1.GetSize(); ++i) {
            std::string texture(static_cast<LPCTSTR>(map.m_strings1[i]));
            texture = texture.substr(0, texture.find("--"));
            EXPECT_TRUE(std::ifstream(data + "/textures/" + texture + ".ytx").good()) << texture;
        }
        for (const YMapVT3Group& g : map.m_groups)
            for (WORD texture : g.m_layerTextures) ASSERT_LT(texture, map.m_strings1.GetSize());
        // Sprites, tree models and sky pictures are found in the data folder.
        auto inData = [&data](std::string name) {
            std::replace(name.begin(), name.end(), '\\', '/');
            return std::ifstream(data + "/" + name).good();
        };
        for (const CStringArray* list : {&map.m_strings3, &map.m_strings4})
            for (int i = 0; i < list->GetSize(); ++i) {
                const std::string name(static_cast<LPCTSTR>((*list)[i]));
                EXPECT_TRUE(inData(name)) << name;
            }
        for (const CelestialObject& sky : map.m_celestials)
            for (const YString& picture : sky.m_files) EXPECT_TRUE(inData(picture.GetBuffer())) << picture.GetBuffer();
        const int types = map.m_strings3.GetSize() + map.m_strings4.GetSize();
        for (const YMapVT3Tree& tree : map.m_trees) {
            if (tree.m_kind != YMapVT3Tree::kPath) continue;
            EXPECT_GE(tree.m_points.size(), 2u);
            for (int k = 0; k < YMapVT3Tree::kTreeKinds; ++k) {
                EXPECT_LT(tree.m_wordsA[k], types);
                EXPECT_LE(tree.m_bytesA[k], tree.m_bytesB[k]);
                EXPECT_LE(tree.m_floatsA[k], tree.m_floatsB[k]);
            }
        }
    }
}

TEST(SampleMaps, StripBankOfARealMapReloadsEqual)
{
    YMapVT3 map;
    ASSERT_EQ(1, map.LoadFile(MapPath("Meadow").c_str(), nullptr));
    ScratchFolder folder(ScratchFolder::Enter);
    Stripper built;
    built.Setup(map.m_vertices, map.m_groups, map.m_cells);
    ASSERT_TRUE(built.SaveBank(DWORD(map.m_cells.size())));
    Stripper loaded;
    ASSERT_TRUE(loaded.LoadBank());
    StripperOutput a, b;
    built.GetOutput(a);
    loaded.GetOutput(b);
    EXPECT_TRUE(a.m_vertices == b.m_vertices);
    EXPECT_TRUE(a.m_records == b.m_records);
    EXPECT_TRUE(a.m_clusters == b.m_clusters);
    EXPECT_TRUE(a.m_cells == b.m_cells);
    // The map object's own build gives the same result.
    EXPECT_TRUE(a.m_records == map.m_strips.m_records);
    EXPECT_TRUE(a.m_cells == map.m_strips.m_cells);
}

TEST(SampleMaps, DumpShowsTheMapForPeople)
{
    std::string text, error;
    ASSERT_TRUE(YSampleMaps::Dump(MapPath("Meadow"), text, error)) << error;
    for (const char* part : {"grid 96 x 96", "PlayerStart02", "MapWindLoop00", "sky object", "terrain:", "overview", "~"})
        EXPECT_NE(std::string::npos, text.find(part)) << part;
    EXPECT_FALSE(YSampleMaps::Dump(MapPath("Missing"), text, error));
}
#endif

// What the writer puts down, the reader gives back.
TEST(SampleMaps, WriterAndReaderAgree)
{
    YMapVT3 made;
    YSampleMaps::Make({"Test", 5, 12.0f * YSampleMaps::kUnitsPerMetre, true, 40}, made);
    made.m_models2 = {made.m_models[0]};
    made.m_models2[0].m_values[0] = made.m_models2[0].m_values[2] = 0;
    made.m_strings1.Add("one");
    made.m_strings3.Add("three");
    ScratchFolder folder;
    std::string error;
    ASSERT_TRUE(YMapWriter::WriteFile(made, folder / "test.zon", error)) << error;
    YMapVT3 read;
    ASSERT_EQ(1, read.LoadFile((folder / "test.zon").c_str(), nullptr));
    EXPECT_EQ(made.m_gridWidth, read.m_gridWidth);
    EXPECT_EQ(made.m_cellSize, read.m_cellSize);
    ASSERT_EQ(made.m_tags.size(), read.m_tags.size());
    for (size_t i = 0; i < made.m_tags.size(); ++i) {
        EXPECT_STREQ(made.m_tags[i].m_name, read.m_tags[i].m_name);
        EXPECT_STREQ(made.m_tags[i].m_value, read.m_tags[i].m_value);
    }
    ASSERT_EQ(made.m_models.size(), read.m_models.size());
    for (size_t i = 0; i < made.m_models.size(); ++i) {
        const YMapVT3Model_Output &a = made.m_models[i], &b = read.m_models[i];
        EXPECT_STREQ(a.m_name, b.m_name);
        EXPECT_EQ((std::vector<float>{a.m_x, a.m_y, a.m_z, a.m_yaw, a.m_scale}),
                  (std::vector<float>{b.m_x, b.m_y, b.m_z, b.m_yaw, b.m_scale}));
    }
    ASSERT_EQ(1u, read.m_models2.size());
    EXPECT_STREQ(made.m_models2[0].m_name, read.m_models2[0].m_name);
    ASSERT_EQ(made.m_sounds.size(), read.m_sounds.size());
    EXPECT_STREQ(made.m_sounds[0].m_secondName, read.m_sounds[0].m_secondName);
    EXPECT_EQ(made.m_sounds[0].m_i, read.m_sounds[0].m_i);
    EXPECT_EQ(made.m_sounds[0].m_d, read.m_sounds[0].m_d);
    ASSERT_EQ(made.m_vertices.size(), read.m_vertices.size());
    for (size_t i = 0; i < made.m_vertices.size(); ++i) ASSERT_EQ(made.m_vertices[i].m_y, read.m_vertices[i].m_y);
    ASSERT_EQ(made.m_groups.size(), read.m_groups.size());
    for (size_t i = 0; i < made.m_groups.size(); ++i) {
        const YMapVT3Group &a = made.m_groups[i], &b = read.m_groups[i];
        ASSERT_EQ(a.m_surface, b.m_surface);
        ASSERT_EQ(a.m_corners[2].m_vertex, b.m_corners[2].m_vertex);
        ASSERT_EQ(a.m_corners[1].m_red, b.m_corners[1].m_red);
        ASSERT_EQ(a.m_layerTextures, b.m_layerTextures);
        ASSERT_EQ(a.m_layerCorners[0][1].m_v, b.m_layerCorners[0][1].m_v);
        ASSERT_EQ(a.m_layerCorners[0][1].m_alpha, b.m_layerCorners[0][1].m_alpha);
    }
    for (size_t c = 0; c < made.m_cells.size(); ++c) ASSERT_EQ(made.m_cells[c].m_groups, read.m_cells[c].m_groups);
    ASSERT_EQ(made.m_trees.size(), read.m_trees.size());
    EXPECT_EQ(made.m_trees[0].m_points.size(), read.m_trees[0].m_points.size());
    EXPECT_EQ(made.m_trees[1].m_singleValues[2], read.m_trees[1].m_singleValues[2]);
    EXPECT_EQ(made.m_celestials[0].m_files.size(), read.m_celestials[0].m_files.size());
    EXPECT_STREQ(made.m_clouds[0].m_texture, read.m_clouds[0].m_texture);
    for (const CStringArray* list : {&made.m_strings1, &made.m_strings3, &made.m_strings4}) {
        const CStringArray& back = list == &made.m_strings1 ? read.m_strings1
                                   : list == &made.m_strings3 ? read.m_strings3 : read.m_strings4;
        ASSERT_EQ(list->GetSize(), back.GetSize());
        for (int i = 0; i < list->GetSize(); ++i) EXPECT_EQ((*list)[i], back[i]);
    }
    EXPECT_EQ(CString("one"), read.m_strings1[read.m_strings1.GetSize() - 1]);
    EXPECT_EQ(CString("three"), read.m_strings3[read.m_strings3.GetSize() - 1]);
}

}  // namespace
