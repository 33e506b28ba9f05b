// The regions of a texture or a texture lock; the list owns and deletes them.
#pragma once

#include <cstdint>
#include <vector>

#include "assets3d/YTexRegion.h"
#include "assets3d/YTextureError.h"

class YTexRegionList {
public:
    explicit YTexRegionList(YTextureError* errors) : m_regionErrors(errors) {}
    ~YTexRegionList();
    YTexRegionList(const YTexRegionList&) = delete;
    YTexRegionList& operator=(const YTexRegionList&) = delete;

    int16_t GetNumRegions() const { return m_iNumRegions; }
    // First region of that name, letter case aside; -1 for none.
    int16_t FindRegion(const char* name) const;
    YTexRegion* GetRegion(int16_t index);
    // Takes the region; the new count (unchanged for none or a full list).
    int16_t AddRegion(YTexRegion* region);
    int RemoveRegion(int16_t index);
    // Sets every region's hit flag; 1 when one at least holds the point.
    int HitTestRegions(float x, float y);
    void ClearRegions();

protected:
    int16_t m_iNumRegions = 0;
    std::vector<YTexRegion*> m_regions;

private:
    YTextureError* m_regionErrors;
};
