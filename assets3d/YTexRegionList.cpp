#include "assets3d/YTexRegionList.h"

YTexRegionList::~YTexRegionList() { ClearRegions(); }

int16_t YTexRegionList::FindRegion(const char* name) const
{
    if (!name) return -1;
    for (int16_t i = 0; i < m_iNumRegions; ++i)
        if (m_regions[static_cast<size_t>(i)]->m_strName.CompareNoCase(name) == 0) return i;
    return -1;
}

YTexRegion* YTexRegionList::GetRegion(int16_t index)
{
    if (index < 0) {
        m_regionErrors->SetError("Region Index < 0");
        return nullptr;
    }
    if (index >= m_iNumRegions) {
        m_regionErrors->SetError("Region Index >= m_iNumRegions");
        return nullptr;
    }
    return m_regions[static_cast<size_t>(index)];
}

int16_t YTexRegionList::AddRegion(YTexRegion* region)
{
    if (!region) {
        m_regionErrors->SetError("Reg is NULL");
        return m_iNumRegions;
    }
    if (m_iNumRegions == INT16_MAX) return m_iNumRegions;
    m_regions.push_back(region);
    return ++m_iNumRegions;
}

int YTexRegionList::RemoveRegion(int16_t index)
{
    YTexRegion* region = GetRegion(index);
    if (!region) return 0;
    delete region;
    m_regions.erase(m_regions.begin() + index);
    --m_iNumRegions;
    return 1;
}

int YTexRegionList::HitTestRegions(float x, float y)
{
    int any = 0;
    for (YTexRegion* region : m_regions) {
        int hit = region->Contains(x, y);
        region->SetHit(hit);
        any |= hit;
    }
    return any;
}

void YTexRegionList::ClearRegions()
{
    for (YTexRegion* region : m_regions) delete region;
    m_regions.clear();
    m_iNumRegions = 0;
}
