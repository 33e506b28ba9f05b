// libFuzzer target for the silhouette rasteriser: the bytes give the class,
// the image size, the coverage, the points (any 32-bit values, far outside
// the image too) and the triangles.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "renderer/CTex2XAARen.h"
#include "renderer/CTex4XAARen.h"
#include "renderer/CTexRen.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4) return 0;
    const int kind = data[0] % 3;
    const int width = 1 + data[1] % 80;
    const int height = 1 + data[2] % 80;
    const int coverage = data[3];
    data += 4;
    size -= 4;
    const size_t pointCount = size / 8 > 0 ? (size / 8 < 64 ? size / 8 : 64) : 0;
    std::vector<CTexRen::Point> points(pointCount);
    for (size_t i = 0; i < pointCount; ++i) {
        memcpy(&points[i].x, data + 8 * i, 4);
        memcpy(&points[i].y, data + 8 * i + 4, 4);
    }
    // Each point also starts a triangle with its next two, indexes as given
    // by the low bits so that some fall outside the list.
    std::vector<int32_t> triangles;
    for (size_t i = 0; i < pointCount; ++i)
        for (int j = 0; j < 3; ++j) triangles.push_back(int32_t(data[8 * i + j] % (pointCount + 2)) - 1);

    std::unique_ptr<CTexRen> ren(kind == 0 ? new CTexRen : kind == 1 ? static_cast<CTexRen*>(new CTex2XAARen)
                                                                     : new CTex4XAARen);
    std::vector<uint16_t> image(size_t(width) * height);
    std::vector<uint16_t> weights(size_t(height), 0xFF);
    uint16_t table[256];
    for (int i = 0; i < 256; ++i) table[i] = uint16_t(i);
    ren->SetTarget(image.data());
    ren->SetColorTable(table);
    ren->SetRowWeights(weights.data());
    ren->SetWidth(width);
    ren->SetHeight(height);
    ren->SetPoints(points.data(), int32_t(pointCount));
    ren->SetTriangles(triangles.data(), int32_t(pointCount));
    ren->Render(coverage);
    return 0;
}
