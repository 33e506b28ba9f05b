// The scene-object pass: the trees and map objects standing in the visible
// cells become billboard records, opaque or depth-keyed, or go to the model
// drawing as render records.
#include <algorithm>
#include <cmath>

#include "assets3d/YD3D6Lock.h"
#include "foundation/YFastMath.h"
#include "renderer/YD3D6Parser.h"
#include "renderer/YD3D6TextureItem.h"

namespace {
// The grey of a point d units under the water: lighter near the surface,
// black from 28 down; above the water white.
uint32_t UnderwaterGrey(float depth)
{
    if (depth < 0.0f) return 0xFFFFFFu;
    if (depth >= 28.0f) return 0;
    const uint32_t g = uint32_t(int32_t((28.0f - depth) * (1.0f / 28.0f) * 255.0f)) & 0xFF;
    return (g << 16) | (g << 8) | g;
}

float Distance(const float* a, const float* b)
{
    const float d[3] = {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
    return FastSqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
}
}  // namespace

float YD3D6Parser::WaterFraction(float water, float base, float height)
{
    if (water < base) return 0.0f;
    if (water <= base + height) return height > 0.0f ? (water - base) / height : 1.0f;
    return 1.0f;
}

void YD3D6Parser::DrawSceneObjects()
{
    const bool extra = m_mapSettings[kExtraDetailWord] != 0;
    uint8_t billboardMask[4], modelMask[4];
    DetailMask(m_mapSettings[kBillboardDetailWord], extra, billboardMask);
    DetailMask(m_mapSettings[kModelDetailWord], extra, modelMask);
    const int32_t cacheOn = m_mapSettings[kDistanceCacheWord];
    const bool levelOfDetail = m_mapSettings[kLevelOfDetailWord] != 0;

    if (cacheOn && !m_distanceCacheFilled) {
        for (YMapCell& cell : m_cells)
            for (YCellItem& item : cell.m_items) item.m_fixedDistance = Distance(m_cameraPosition, item.m_position);
    }
    m_distanceCacheFilled = cacheOn;

    const int32_t billboardClasses = std::max<int32_t>(m_spriteTypeCount, 0);
    const int32_t classes = billboardClasses + int32_t(m_treeModels.size());
    const float yaw = m_cameraAngles[1], pitch = m_cameraAngles[0];
    const float right[2] = {FastCos(yaw), -FastSin(yaw)};
    float view[3];
    ViewVector(view);

    YD3D6DrawContext context;
    MakeIdentityMatrix(&context.m_matrix);
    MakeIdentityMatrix(&context.m_rotation);
    context.m_viewDirection[0] = FastSin(yaw);
    context.m_viewDirection[1] = FastSin(pitch) * FastCos(yaw);
    context.m_viewDirection[2] = FastCos(pitch) * FastCos(yaw);
    for (int i = 0; i < 3; ++i) context.m_camera[i] = m_cameraPosition[i];

    const int32_t visible = std::min(m_visibleCounts[0], int32_t(m_visibleCells[0].size()));
    for (int32_t v = visible - 1; v >= 0; --v) {
        const uint32_t cellIndex = m_visibleCells[0][size_t(v)];
        if (cellIndex >= m_cells.size()) continue;
        const YMapCell& cell = m_cells[cellIndex];
        const bool wet = cell.m_water != 0;
        const float waterLevel = wet && cellIndex < m_waterHeights.size() ? m_waterHeights[cellIndex] : 0.0f;
        context.m_water = wet ? 1 : 0;
        context.m_waterHeight = wet ? waterLevel : 0.0f;
        for (size_t slot = 0; slot < cell.m_items.size(); ++slot) {
            const YCellItem& item = cell.m_items[slot];
            const float distance = cacheOn ? item.m_fixedDistance : Distance(m_cameraPosition, item.m_position);
            float scale = float(item.m_size) * 0.003921569f;
            int32_t cls = item.m_type;
            if (cls < 0 || cls >= classes) continue;
            if (distance > m_swapDistance && levelOfDetail && cls >= billboardClasses) {
                // An alternate class outside the tables, or of no size, keeps the item's own.
                const int32_t alternate = item.m_farType;
                const float from = size_t(cls) < m_treeFactorA.size() ? m_treeFactorA[size_t(cls)] : 0.0f;
                const float to = size_t(alternate) < m_treeFactorA.size() ? m_treeFactorA[size_t(alternate)] : 0.0f;
                if (alternate < classes && to != 0.0f) {
                    scale *= from / to * 0.5f;
                    cls = alternate;
                }
            } else if (cls < billboardClasses && size_t(cls) < m_spriteTextures.size()) {
                const YD3D6Lock* lock = GetTextureLock(int16_t(m_spriteTextures[size_t(cls)]));
                if (lock) scale *= lock->m_fReduceX;
            }
            const bool billboard = cls < billboardClasses;
            if (!(billboard ? billboardMask : modelMask)[item.m_flags & 3]) continue;

            if (!billboard) {
                YSMHandle* handle = m_treeModels[size_t(cls - billboardClasses)];
                if (!handle) continue;
                m_sceneRecord = YRenderInstance();
                m_sceneRecord.m_model = handle;
                m_sceneRecord.m_flags = 1;  // visible
                m_sceneRecord.m_kind = YRenderInstance::KindModel;
                for (int i = 0; i < 3; ++i) m_sceneRecord.m_position[i] = item.m_position[i];
                m_sceneRecord.m_angles[1] = item.m_facing;
                m_sceneRecord.m_scale = scale;
                m_sceneRecord.m_cameraDistance = distance;
                context.m_record = &m_sceneRecord;
                DrawModelHandle(&context, 0);
                continue;
            }

            if (size_t(cls) >= m_spriteTextures.size()) continue;
            const int16_t texture = int16_t(m_spriteTextures[size_t(cls)]);
            const YD3D6TextureItem* textureItem = GetTextureItem(texture);
            int32_t& billboards = m_frameCounters[kBillboardCount];
            if (!textureItem || billboards < 0 || uint32_t(billboards) >= m_frameBuffers[0].capacity) continue;
            const float a = float(textureItem->m_width) * scale;
            const float h = std::fabs(float(textureItem->m_height) * scale);
            YBillboardRecord& b = BillboardRecords()[billboards];
            b.m_x0 = item.m_position[0] - a * right[0];
            b.m_z0 = item.m_position[2] - a * right[1];
            b.m_x1 = item.m_position[0] + a * right[0];
            b.m_z1 = item.m_position[2] + a * right[1];
            b.m_base = item.m_position[1];
            b.m_height = 2.0f * h;
            const float* from = m_textureOffsets[std::min<int>(textureItem->m_oscillator2, kTextureOffsets - 1)];
            const float* to = m_textureOffsets[std::min<int>(textureItem->m_oscillator1, kTextureOffsets - 1)];
            const float t = float((cellIndex + slot) % 5) * 0.2f;
            b.m_swayU = from[0] + (to[0] - from[0]) * t;
            b.m_swayV = from[1] + (to[1] - from[1]) * t;
            b.m_colours[0] = b.m_colours[1] = 0xFFFFFFu;
            const float f = wet ? WaterFraction(waterLevel, b.m_base, b.m_height) : 0.0f;
            b.m_water = f;
            const uint32_t index = uint32_t(billboards);
            if (!IsTranslucent(texture)) {
                if (f < 1.0f) {
                    if (YOpaqueRecord* r = AddOpaqueRecord(texture, 4, YOpaqueRecord::kBillboard, 0)) r->m_index = index;
                }
                if (f > 0.0f) {
                    if (YOpaqueRecord* r = AddOpaqueRecord(texture, 4, YOpaqueRecord::kBillboardUnderWater, 0))
                        r->m_index = index;
                }
            } else {
                if (f > 0.0f) {
                    b.m_colours[0] = UnderwaterGrey(waterLevel - b.m_base);
                    b.m_colours[1] = UnderwaterGrey(waterLevel - (b.m_base + f * b.m_height));
                }
                const float centre[3] = {item.m_position[0], b.m_base + h, item.m_position[2]};
                float key = 0.0f;
                for (int c = 0; c < 3; ++c) key += (m_cameraPosition[c] - centre[c]) * view[c];
                if (f < 1.0f) AddAlphaRecord(key, texture, YAlphaRecord::kBillboard, &b);
                if (f > 0.0f) AddAlphaRecord(key - 2000.0f, texture, YAlphaRecord::kBillboardUnderWater, &b);
            }
            ++billboards;
        }
    }
}
