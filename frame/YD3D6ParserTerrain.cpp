// The terrain cell pass: every terrain polygon of the visible cells, once,
// as an opaque record, or, with a translucent texture, as a lit triangle of
// the alpha list.
#include <algorithm>
#include <cstring>

#include "assets3d/YD3D6Lock.h"
#include "foundation/YFastMath.h"
#include "renderer/YD3D6Parser.h"
#include "renderer/YD3D6TextureItem.h"

void YD3D6Parser::ViewVector(float out[3]) const
{
    const float yaw = m_cameraAngles[1], pitch = m_cameraAngles[0];
    const float cp = FastCos(pitch);
    out[0] = FastSin(yaw) * cp;
    out[1] = FastSin(pitch);  // pitch below 0 looks down
    out[2] = FastCos(yaw) * cp;
}

void YD3D6Parser::TerrainNormal(const YMapVT3Vertex& vertex, float out[3])
{
    memcpy(out, vertex.m_extra, 3 * sizeof(float));
}

bool YD3D6Parser::IsTranslucent(int16_t texture) const
{
    const YD3D6Lock* lock = GetTextureLock(texture);
    return lock && lock->m_iSortType != 0;
}

YOpaqueRecord* YD3D6Parser::AddOpaqueRecord(int16_t texture, uint16_t vertices, uint8_t kind, uint8_t sub)
{
    int32_t& count = m_frameCounters[kOpaqueRecordCount];
    if (count < 0 || uint32_t(count) >= m_frameBuffers[7].capacity) return nullptr;
    YOpaqueRecord* record = &OpaqueRecords()[count++];
    record->m_texture = texture;
    record->m_vertexCount = vertices;
    record->m_kind = kind;
    record->m_sub = sub;
    record->m_polygon = nullptr;
    return record;
}

YAlphaRecord* YD3D6Parser::AddAlphaRecord(float key, int16_t texture, uint16_t kind, const void* data)
{
    int32_t& count = m_frameCounters[kAlphaRecordCount];
    if (count < 0 || uint32_t(count) >= m_frameBuffers[6].capacity) return nullptr;
    YAlphaRecord* record = &AlphaRecords()[count++];
    *record = {key, texture, kind, data};
    return record;
}

void YD3D6Parser::CollectTerrainPolygons()
{
    ClearVisitedList();
    float view[3];
    ViewVector(view);
    const int32_t visible = std::min(m_visibleCounts[0], int32_t(m_visibleCells[0].size()));
    for (int32_t i = 0; i < visible; ++i) {
        const uint32_t cell = m_visibleCells[0][size_t(i)];
        if (cell >= m_cells.size()) continue;
        const YMapCell& mapCell = m_cells[cell];
        for (size_t p = 0; p < mapCell.m_polygons.size(); ++p) {
            const YCellPolygon& polygon = *mapCell.m_polygons[p];
            if (p < mapCell.m_keys.size() && MarkVisited(mapCell.m_keys[p])) continue;
            if (!(polygon.m_kind & YCellPolygon::kDrawn) || polygon.m_layerTextures.empty()) continue;
            const int16_t texture = polygon.m_layerTextures[0];
            const uint16_t count = uint16_t(polygon.m_corners.size());
            if (!IsTranslucent(texture)) {
                const size_t layers = m_oneRecordPerLayer ? polygon.m_layerTextures.size() : 1;
                for (size_t l = 0; l < layers; ++l) {
                    YOpaqueRecord* record =
                        AddOpaqueRecord(polygon.m_layerTextures[l], count, YOpaqueRecord::kTerrain, uint8_t(l));
                    if (record) record->m_polygon = &polygon;
                }
                continue;
            }
            if (polygon.m_shape != YCellPolygon::kTriangle || polygon.m_corners.size() < 3) continue;
            int32_t& vertices = m_frameCounters[kAlphaVertexCount];
            if (vertices < 0 || uint32_t(vertices) + 3 > m_frameBuffers[2].capacity) continue;
            const YD3D6TextureItem* item = GetTextureItem(texture);
            const uint8_t fog = item ? item->m_shadeLevel : 0;
            YAlphaVertex* triangle = &AlphaVertices()[vertices];
            float sum[3] = {0.0f, 0.0f, 0.0f};
            for (int k = 0; k < 3; ++k) {
                const YCellCorner& corner = polygon.m_corners[size_t(k)];
                YAlphaVertex& v = triangle[k];
                memset(&v, 0, sizeof v);
                if (corner.m_vertex < m_mapVertices.size()) {
                    const YMapVT3Vertex& source = m_mapVertices[corner.m_vertex];
                    v.x = source.m_x, v.y = source.m_y, v.z = source.m_z;
                    TerrainNormal(source, &v.nx);
                }
                const std::vector<float>& uv = polygon.m_layerCoords[0];
                v.u0 = uv[2 * size_t(k)];
                v.v0 = uv[2 * size_t(k) + 1];
                if (polygon.m_kind & YCellPolygon::kAnimated) {
                    const float* offset = m_textureOffsets[corner.m_vertex % 5 + 10];
                    v.u0 += offset[0];
                    v.v0 += offset[1];
                }
                v.u1 = v.u0, v.v1 = v.v0;
                const uint8_t shade = corner.m_vertex < m_vertexShade.size() ? m_vertexShade[corner.m_vertex] : 255;
                v.diffuse = ShadeTerrainVertexColor(corner, shade, fog);
                sum[0] += v.x, sum[1] += v.y, sum[2] += v.z;
            }
            float key = -1000.0f;
            for (int c = 0; c < 3; ++c) key += (m_cameraPosition[c] - 0.33f * sum[c]) * view[c];
            if (AddAlphaRecord(key, texture, YAlphaRecord::kTriangle, triangle)) vertices += 3;
        }
    }
}
