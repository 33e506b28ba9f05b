#include "assets3d/YTexRegion.h"

int16_t YTexRegion::AddPoint(float x, float y)
{
    if (m_iNumPoints == INT16_MAX) return m_iNumPoints;
    m_points.push_back({x, y});
    return ++m_iNumPoints;
}

int16_t YTexRegion::RemoveLastPoint()
{
    if (m_iNumPoints < 2) {
        ClearPoints();
        return 0;
    }
    m_points.pop_back();
    return --m_iNumPoints;
}

int YTexRegion::GetPoint(int16_t index, float* x, float* y) const
{
    if (index < 0 || index >= m_iNumPoints) return 0;
    if (x) *x = m_points[static_cast<size_t>(index)].x;
    if (y) *y = m_points[static_cast<size_t>(index)].y;
    return 1;
}

int YTexRegion::SetPoint(int16_t index, float x, float y)
{
    if (index < 0 || index >= m_iNumPoints) return 0;
    m_points[static_cast<size_t>(index)] = {x, y};
    return 1;
}

void YTexRegion::ClearPoints()
{
    m_points.clear();
    m_iNumPoints = 0;
}

int YTexRegion::Contains(float x, float y) const
{
    if (m_iNumPoints < 3) return 0;
    int inside = 0;
    Point previous = m_points.back();
    for (const Point& current : m_points) {
        bool currentLower = current.x <= previous.x;
        const Point& a = currentLower ? current : previous;
        const Point& b = currentLower ? previous : current;
        if ((current.x < x) == (x <= previous.x)) {
            if ((b.y - a.y) * (x - a.x) > (b.x - a.x) * (y - a.y)) inside = !inside;
        }
        previous = current;
    }
    return inside;
}
