// One node of a map cell's actor list.
#pragma once

#include <cstdint>

struct YCellActor {
    void* m_id = nullptr;
    uint8_t m_flags = 0;  // 3 actors, 0 placed map objects
    YCellActor* m_next = nullptr;
};
