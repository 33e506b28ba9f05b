// Writes a map object's records as a "YMAP" stream (version 4), the form the
// game reads: tags, both model lists, sounds, string lists, trees, terrain
// (vertices, layered groups, cell lists), celestial objects and cloud planes.
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"

class YMapVT3;

class YMapWriter {
public:
    static std::vector<BYTE> Write(const YMapVT3& map);
    // Writes the stream to a file; false (and the reason) when it cannot.
    static bool WriteFile(const YMapVT3& map, const std::string& path, std::string& error);
};
