// The 8-bit name hash of the image, texture and material tables.
#pragma once

#include <cstdint>

// Letters compare without regard to case; the empty string hashes to 0.
uint8_t NameHash8(const char* name);
