// The map shot view: a wide, high view with the fog pushed back, and the
// cell lists and work buffers sized by the view distance.
#include <algorithm>
#include <cmath>

#include "renderer/YD3D6Parser.h"
#include "renderer/YD3D6Raster.h"

namespace {
const int32_t kNearestShot = 3;  // below, the far plane lies at or behind the eye
const int32_t kMostCells = 65535;  // cell indices are 16-bit

// Far distance of view distance d.
int32_t FarDistance(int32_t d)
{
    return int32_t(float(d - 2) * 128.0f * 0.9f);
}

// The work buffers' records (or bytes) by view distance: below 100, below
// 250, from 250 on.
const uint32_t kShotRecords[3][8] = {
    {16384, 0x30000, 32768, 0x180000, 0x60000, 0x30000, 32768, 32768},
    {65536, 0xC0000, 131072, 0x300000, 0x180000, 0xC0000, 131072, 131072},
    {262144, 0x300000, 262144, 0x600000, 0x600000, 0x300000, 262144, 262144},
};
}  // namespace

int32_t YD3D6Parser::VisibleCellCapacity(int32_t d)
{
    const double half = double(d / 2 + 4);
    return int32_t(std::ceil(half * half * 3.141592 * 0.2631579));
}

int32_t YD3D6Parser::MaxShotDistance()
{
    // A grid holds at most as many cells as 16-bit indices reach.
    int32_t most = kNearestShot;
    while (VisibleCellCapacity(most + 1) <= kMostCells) ++most;
    return most;
}

void YD3D6Parser::ResizeFrameBuffers(int32_t d)
{
    const int32_t n = VisibleCellCapacity(d);
    for (auto& list : m_visibleCells) {
        std::vector<uint16_t>().swap(list);
        list.assign(size_t(n), 0);
    }
    for (auto& list : m_visibleRecords) {
        std::vector<float>().swap(list);
        list.assign(size_t(n) * 4, 0.0f);
    }
    m_visibleCellCapacity = n;
    const uint32_t* records = kShotRecords[d < 100 ? 0 : d < 250 ? 1 : 2];
    uint32_t bytes[kFrameBuffers];
    for (int i = 0; i < kFrameBuffers; ++i) bytes[i] = records[i] * kFrameRecordBytes[i];
    AllocateFrameBuffers(bytes);
}

void YD3D6Parser::SetMapShotView(int32_t viewDistance, float height, int32_t fogStart, int32_t fogEnd)
{
    if (m_sessionMode != 2) return;
    if (viewDistance >= 1) {
        if (!m_savedView.saved) m_savedView = {m_viewCells, m_popUpDistance, m_fogRange[0], m_fogRange[1], true};
        const int32_t d = std::min(std::max(viewDistance, kNearestShot), MaxShotDistance());
        const float eye = std::isnan(height) ? 0.0f : std::min(std::max(height, -2147483520.0f), 2147483520.0f);
        g_eyeOffset = int32_t(eye);
        m_viewCells = d;
        m_popUpDistance = FarDistance(d);
        ResizeFrameBuffers(d);
        if (m_fogOn == 1) {
            m_fogRange[0] = float(fogStart);
            m_fogRange[1] = float(fogEnd);
        }
    } else {
        // Nothing saved: nothing to go back to.
        if (!m_savedView.saved) return;
        m_viewCells = m_savedView.viewDistance;
        m_popUpDistance = m_savedView.farDistance;
        m_fogRange[0] = m_savedView.fogStart;
        m_fogRange[1] = m_savedView.fogEnd;
        m_savedView = SavedView();
        g_eyeOffset = 0;
        ResizeFrameBuffers(m_viewCells);
    }
    if (m_fogOn == 1) {
        SetRenderStateCached(D3DRENDERSTATE_FOGSTART, FloatBits(m_fogRange[0] * m_fogStartFactor));
        SetRenderStateCached(D3DRENDERSTATE_FOGEND, FloatBits(m_fogRange[1]));
    }
    SetProjection(m_projection[0], m_projection[1], m_projection[2], float(m_popUpDistance));
}
