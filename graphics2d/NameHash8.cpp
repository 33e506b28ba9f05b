#include "graphics2d/NameHash8.h"

#include <cstring>

uint8_t NameHash8(const char* name)
{
    if (!name) return 0;
    uint32_t hash = 0;
    for (size_t i = std::strlen(name); i-- > 0;) {
        uint32_t c = static_cast<unsigned char>(name[i]);
        if (c >= 'A' && c <= 'Z') c += 'a' - 'A';
        uint32_t v = (c - 0x40) & 0xFF;
        hash ^= (v << (i % 6)) & 0xFF;
    }
    return static_cast<uint8_t>(hash);
}
