// Writes a "YFMF" mesh set as an ".fmf" file, in the layout its reader takes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class YFMFMeshSet;

class YFMFWriter {
public:
    static void Write(const YFMFMeshSet& set, std::vector<uint8_t>& out);
    static bool WriteFile(const YFMFMeshSet& set, const std::string& path);
};
