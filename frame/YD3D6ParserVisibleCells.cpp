// The visible cells of a map frame: a fan of three triangles from behind the
// eye out to the view distance, rasterised over the grid into the lists of
// all visible cells, those with water and those with actors.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "foundation/YFastMath.h"
#include "renderer/YD3D6Parser.h"

void YD3D6Parser::ComputeVisibleCells()
{
    std::fill(m_visitedCells.begin(), m_visitedCells.end(), 0);
    for (int32_t& count : m_visibleCounts) count = 0;
    const float cs = m_cellSizeRender;
    if (m_cells.empty() || !(cs > 0.0f)) return;

    // A camera that is no number stands at the origin, looking north.
    auto finite = [](float v) { return std::isfinite(v) ? v : 0.0f; };
    const float gx = std::min(std::max(finite(m_cameraPosition[0] - m_gridOrigin[0]), 0.0f), float(m_gridWidth) * cs);
    const float gz = std::min(std::max(finite(m_cameraPosition[2] - m_gridOrigin[2]), 0.0f), float(m_gridHeight) * cs);
    const float yaw = finite(m_cameraAngles[1]);
    const float h = (finite(m_projection[0]) + 28.0f) * 0.5f;
    const float a = h * 0.017453292f, b = h * 0.0087266463f;
    const float reach = cs * float(m_viewCells) * 0.5f;
    const float apex[2] = {gx - 4.0f * cs * FastSin(yaw), gz - 4.0f * cs * FastCos(yaw)};
    const float angles[4] = {yaw - a, yaw - b, yaw + b, yaw + a};
    float far[4][2];
    for (int i = 0; i < 4; ++i) {
        far[i][0] = gx + reach * FastSin(angles[i]);
        far[i][1] = gz + reach * FastCos(angles[i]);
    }

    const size_t capacity = m_visibleCells[0].size();
    auto visit = [&](float x, float z) {
        const int32_t column = FloatToInt(x / cs), row = FloatToInt(z / cs);
        if (column < 0 || row < 0 || uint32_t(column) > m_gridWidth - 1 || uint32_t(row) > m_gridHeight - 1) return;
        const uint32_t cell = uint32_t(row) * m_gridWidth + uint32_t(column);
        if (cell >= m_visitedCells.size() || m_visitedCells[cell]) return;
        // A full list takes no more this frame.
        if (size_t(m_visibleCounts[0]) >= capacity) return;
        m_visitedCells[cell] = 1;
        m_visibleCells[0][size_t(m_visibleCounts[0]++)] = uint16_t(cell);
        if (m_cells[cell].m_water && size_t(m_visibleCounts[1]) < m_visibleCells[1].size())
            m_visibleCells[1][size_t(m_visibleCounts[1]++)] = uint16_t(cell);
        if (cell < m_cellActors.size() && m_cellActors[cell] && size_t(m_visibleCounts[2]) < m_visibleCells[2].size())
            m_visibleCells[2][size_t(m_visibleCounts[2]++)] = uint16_t(cell);
    };

    for (int t = 0; t < 3; ++t) {
        const float* p = far[t];
        const float* q = far[t + 1];
        const float dp[2] = {p[0] - apex[0], p[1] - apex[1]};
        const float dq[2] = {q[0] - apex[0], q[1] - apex[1]};
        const float length = std::max(std::sqrt(dp[0] * dp[0] + dp[1] * dp[1]), std::sqrt(dq[0] * dq[0] + dq[1] * dq[1]));
        const int32_t n = int32_t(length / (cs * 0.5f) + 2.0f);
        for (int32_t k = 0; k < n; ++k) {
            const float f = float(k) / float(n);
            const float e1[2] = {apex[0] + f * dp[0], apex[1] + f * dp[1]};
            const float e2[2] = {apex[0] + f * dq[0], apex[1] + f * dq[1]};
            const float dx = e2[0] - e1[0], dz = e2[1] - e1[1];
            const int32_t m = FloatToInt(std::max(std::fabs(dx), std::fabs(dz)) / (cs * 0.75f) + 0.5f);
            // Both edge points at one place: that one point.
            if (m <= 0) {
                visit(e1[0], e1[1]);
                continue;
            }
            const float step = 1.0f / float(m);
            for (int32_t i = 0; i <= m; ++i) visit(e1[0] + float(i) * step * dx, e1[1] + float(i) * step * dz);
        }
    }
}
