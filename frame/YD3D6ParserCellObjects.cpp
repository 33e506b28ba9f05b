// The cell-object pass: the actors and objects registered in the visible
// cells go to the model drawing, and once each time the distance cache is
// switched on every registered object's distance from the camera is kept.
#include <algorithm>

#include "foundation/YFastMath.h"
#include "renderer/YD3D6Parser.h"
#include "world/YRenderInstance.h"

void YD3D6Parser::DrawCellObjects()
{
    YD3D6DrawContext context;
    MakeIdentityMatrix(&context.m_matrix);
    MakeIdentityMatrix(&context.m_rotation);
    const float yaw = m_cameraAngles[1], pitch = m_cameraAngles[0];
    context.m_viewDirection[0] = FastSin(yaw);
    context.m_viewDirection[1] = FastSin(pitch) * FastCos(yaw);
    context.m_viewDirection[2] = FastCos(pitch) * FastCos(yaw);
    for (int i = 0; i < 3; ++i) context.m_camera[i] = m_cameraPosition[i];
    context.m_blend = m_mapSettings[kBlendWord];

    // A flagged node holds an id the application resolves.
    auto resolve = [this](const YCellActor* node) -> YRenderInstance* {
        if (!(node->m_flags & 1)) return static_cast<YRenderInstance*>(node->m_id);
        return m_objectTest ? reinterpret_cast<YRenderInstance*>(m_objectTest(node->m_id, node->m_flags)) : nullptr;
    };

    const int32_t cacheOn = m_mapSettings[kDistanceCacheWord];
    if (m_cellDistanceSwitch == 0 && cacheOn != 0) {
        for (uint32_t row = 0; row < m_gridHeight; ++row)
            for (uint32_t column = 0; column < m_gridWidth; ++column) {
                const size_t cell = size_t(row) * m_gridWidth + column;
                if (cell >= m_cellActors.size()) continue;
                for (const YCellActor* node = m_cellActors[cell]; node; node = node->m_next) {
                    YRenderInstance* record = resolve(node);
                    if (!record || !(record->m_flags & kRecordVisible)) continue;
                    float d2 = 0.0f;
                    for (int i = 0; i < 3; ++i) {
                        const float d = m_cameraPosition[i] - record->m_position[i];
                        d2 += d * d;
                    }
                    record->m_cameraDistance = FastSqrt(d2);
                }
            }
    }
    m_cellDistanceSwitch = cacheOn;

    const int32_t visible = std::min(m_visibleCounts[2], int32_t(m_visibleCells[2].size()));
    for (int32_t v = 0; v < visible; ++v) {
        const uint32_t cell = m_visibleCells[2][size_t(v)];
        if (cell >= m_cells.size() || cell >= m_cellActors.size()) continue;
        const bool wet = m_cells[cell].m_water != 0;
        context.m_water = wet ? 1 : 0;
        context.m_waterHeight = wet && cell < m_waterHeights.size() ? m_waterHeights[cell] : 0.0f;
        for (const YCellActor* node = m_cellActors[cell]; node; node = node->m_next) {
            YRenderInstance* record = resolve(node);
            if (!record || !(record->m_flags & kRecordVisible)) continue;
            context.m_record = record;
            DrawModelHandle(&context, 0);
        }
    }
}
