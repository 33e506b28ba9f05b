// libFuzzer target for the map readers: the first byte picks the reader.
// Even: the rest is a "YMAP" stream; a map that loads also has its strips
// saved to "StripBank.bin" and read back, and its terrain becomes the
// renderer's cell grid, asked for heights and traced across.  Odd: the rest
// is a strip bank.
// Runs in a folder of its own under /tmp.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "renderer/Stripper.h"
#include "renderer/YD3D6Parser.h"
#include "renderer/YMapVT3.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static char folder[] = "/tmp/rcv_fuzz_map_XXXXXX";
    if (!mkdtemp(folder) || chdir(folder) != 0) abort();
    return 0;
}

namespace {
// Ground queries at points over and around the grid, and traces between them.
void QueryTerrain(const YMapVT3& map, const uint8_t* data, size_t size)
{
    YD3D6Parser parser;
    parser.InitSession(2, nullptr, 99);
    const float scale = 16.0f;
    if (!parser.BuildTerrainCells(map, scale)) return;
    const float ox = map.m_originX * scale, oz = map.m_originZ * scale;
    const float w = map.m_gridWidth * map.m_cellSize * scale, h = map.m_gridHeight * map.m_cellSize * scale;
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<float> points = {ox,           oz,           ox + w * 0.5f, oz + h * 0.5f, ox + w * 0.3f, oz + h * 0.7f,
                                 ox + w * 0.9f, oz + h * 0.2f, ox + w,       oz + h,       ox - w,        oz + 2 * h,
                                 nan,          1e30f,        -1e30f,       inf};
    // A few points the input picks.
    for (size_t i = 0; i + 8 <= size && i < 64; i += 8) {
        float xz[2];
        std::memcpy(xz, data + size - 8 - i, 8);
        points.push_back(xz[0]);
        points.push_back(xz[1]);
    }
    const uint8_t masks[3] = {0x07, 0x43, 0x02}, modes[3] = {0, 0, 2};
    for (size_t i = 0; i + 1 < points.size(); i += 2) {
        const double x = points[i], z = points[i + 1];
        double heights[3], normals[9], u = 0, v = 0;
        parser.GetGroundHeight(x, z);
        parser.GetGroundHeightBelow(x, 1000.0, z);
        parser.GetSurfaceHeight(x, z);
        parser.GetGroundInfo(x, z, heights);
        parser.GetGroundAndWaterBelow(x, 0.0, z, heights, normals);
        parser.GetGroundHeightsByFlags(x, 0.0, z, 3, heights, masks, modes, normals);
        parser.GetGroundTexCoords(x, z, &u, &v);
        parser.PickCellItem(points[i], points[i + 1]);
        YD3D6Parser::YGroundPoint point = {};
        parser.WalkCellTriangles(points[i], points[i + 1], &point);
        if (i + 3 < points.size()) {
            const float from[3] = {points[i], 4000.0f, points[i + 1]};
            const float to[3] = {points[i + 2], -4000.0f, points[i + 3]};
            for (DWORD flags : {DWORD(0x301), DWORD(0x173B), DWORD(0x15C)})
                parser.TraceWorld(to, from, 8.0f, 8.0f, flags);
        }
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    const bool bank = data[0] & 1;
    std::vector<BYTE> bytes(data + 1, data + size);
    if (bank) {
        std::ofstream("StripBank.bin", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        Stripper stripper;
        if (stripper.LoadBank()) stripper.SaveBank(static_cast<DWORD>(stripper.Cells().size()));
        return 0;
    }
    std::ofstream("map.zon", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    YMapVT3 map;
    if (!map.LoadFile("map.zon", nullptr)) return 0;
    Stripper stripper;
    stripper.Setup(map.m_vertices, map.m_groups, map.m_cells);
    if (stripper.SaveBank(static_cast<DWORD>(map.m_cells.size()))) stripper.LoadBank();
    QueryTerrain(map, data, size);
    return 0;
}
