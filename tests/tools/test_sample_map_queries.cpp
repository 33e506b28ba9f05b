// The ground queries and picking over the sample maps, set up in render
// units, against the heights worked out from the map's own vertices.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "renderer/YD3D6Parser.h"
#include "renderer/YMapVT3.h"
#include "renderer/YTraceResult.h"

namespace {

#if defined(RCV_DATA_DIR)
const float kScale = 16.0f;

// The sample terrain: a vertex per cell corner, row-major, two triangles
// (c00, c01, c10) and (c10, c01, c11) per cell.
float ReferenceHeight(const YMapVT3& map, float x, float z)
{
    const float cx = (x - map.m_originX) / map.m_cellSize, cz = (z - map.m_originZ) / map.m_cellSize;
    const DWORD col = DWORD(cx), row = DWORD(cz), side = map.m_gridWidth + 1;
    const float fx = cx - col, fz = cz - row;
    const float h00 = map.m_vertices[row * side + col].m_y, h10 = map.m_vertices[row * side + col + 1].m_y;
    const float h01 = map.m_vertices[(row + 1) * side + col].m_y, h11 = map.m_vertices[(row + 1) * side + col + 1].m_y;
    if (fx + fz <= 1.0f) return h00 + fx * (h10 - h00) + fz * (h01 - h00);
    return h11 + (1.0f - fx) * (h01 - h11) + (1.0f - fz) * (h10 - h11);
}

TEST(SampleMapQueries, GroundSurfaceAndPickAgreeWithTheMapsVertices)
{
    for (const char* name : {"Meadow", "Tiny"}) {
        SCOPED_TRACE(name);
        YMapVT3 map;
        ASSERT_EQ(1, map.LoadFile((std::string(RCV_DATA_DIR) + "/maps/" + name + ".zon").c_str(), nullptr));
        YD3D6Parser parser;
        parser.InitSession(2, nullptr, 99);
        ASSERT_EQ(1, parser.BuildTerrainCells(map, kScale));
        std::mt19937 random(7);
        const float size = map.m_gridWidth * map.m_cellSize;
        std::uniform_real_distribution<float> along(0.01f, size - 0.01f);
        int wet = 0, dry = 0;
        for (int i = 0; i < 2000; ++i) {
            const float x = map.m_originX + along(random), z = map.m_originZ + along(random);
            const float ref = ReferenceHeight(map, x, z);
            const float tolerance = 2e-3f * (1.0f + std::fabs(ref));
            const float ground = parser.GetGroundHeight(x * kScale, z * kScale) / kScale;
            ASSERT_NEAR(ref, ground, tolerance) << x << ", " << z;
            EXPECT_NEAR(ref, parser.GetGroundHeightBelow(x * kScale, (ref + 1) * kScale, z * kScale) / kScale,
                        tolerance);
            EXPECT_EQ(YParser::kNoGround, parser.GetGroundHeightBelow(x * kScale, (ref - 1) * kScale, z * kScale));

            const uint32_t cell = parser.ClampedCellOf(x * kScale, z * kScale);
            const YMapVT3Cell& mapCell = map.m_cells[cell];
            bool water = false;
            for (DWORD g : mapCell.m_groups) water |= map.m_groups[g].m_surface == YMapVT3Group::kWater;
            // A cell with a water sheet answers the sheet's level, any other the ground.
            const double surface = parser.GetSurfaceHeight(x * kScale, z * kScale) / kScale;
            EXPECT_NEAR(water ? 0.0 : ref, surface, tolerance) << x << ", " << z;
            // The water never lies under the visible ground.
            EXPECT_GE(surface, ref - tolerance) << x << ", " << z;
            (water ? wet : dry)++;
            // Ground and water normals point up.
            double heights[2], normals[6];
            parser.GetGroundAndWaterBelow(x * kScale, (ref + 1) * kScale, z * kScale, heights, normals);
            EXPECT_GT(normals[1], 0.5) << x << ", " << z;
            EXPECT_GT(normals[4], 0.5) << x << ", " << z;
            EXPECT_EQ(int16_t(map.m_groups[mapCell.m_groups[0]].m_layerTextures[0]),
                      parser.PickCellItem(x * kScale, z * kScale));
        }
        EXPECT_GT(wet, 0);
        EXPECT_GT(dry, 0);

        // Straight down through the terrain away from the border: the ground
        // (single triangles: 0.01 render units short), or the lake's water.
        std::uniform_real_distribution<float> inside(2.5f * map.m_cellSize, size - 2.5f * map.m_cellSize);
        int lake = 0;
        for (int i = 0; i < 300; ++i) {
            const float x = map.m_originX + inside(random), z = map.m_originZ + inside(random);
            const float ref = ReferenceHeight(map, x, z);
            const float from[3] = {x * kScale, (ref + 50) * kScale, z * kScale};
            const float to[3] = {x * kScale, (ref - 50) * kScale, z * kScale};
            ASSERT_EQ(0, parser.TraceWorld(to, from, 0, 0, 0x100)) << x << ", " << z;
            const YTraceResult& hit = *parser.GetTraceResult();
            EXPECT_EQ(0x100u, hit.m_hitCode);
            EXPECT_NEAR(ref, (hit.m_hitPoint[1] - 0.01f) / kScale, 2e-3f * (1.0f + std::fabs(ref)));
            EXPECT_GT(hit.m_normal[1], 0.5f) << x << ", " << z;
            ASSERT_EQ(0, parser.TraceWorld(to, from, 0, 0, 0x300));
            if (ref < 0.0f) {
                // Under the lake's level: the water sheet is hit first.
                EXPECT_EQ(0x400u, hit.m_hitCode);
                EXPECT_NEAR(0.01f, hit.m_hitPoint[1], 1e-3f);
                ++lake;
            }
        }
        EXPECT_GT(lake, 0);
    }
}
#endif

}  // namespace
