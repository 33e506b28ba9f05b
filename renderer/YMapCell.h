// One cell of the map grid: its item slots, its flag byte, its water class
// and the terrain polygons that touch it.
#pragma once

#include <cstdint>
#include <vector>

#include "renderer/YCellItem.h"
#include "renderer/YCellPolygon.h"

struct YMapCell {
    std::vector<YCellItem> m_items;
    uint8_t m_flags = 0;
    uint8_t m_water = 0;  // 0 no water, 1 water partly below ground, 2 all water above ground
    int32_t m_index = -1;
    std::vector<YCellPolygon*> m_polygons;  // the renderer's group polygons, shared between cells
    std::vector<uint32_t> m_keys;  // per polygon: its group number in the map
};
