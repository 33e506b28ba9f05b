// The sample maps, made from a seed: rolling hills, a lake, trees, placed
// models, player starts, map sounds, sky, fog and weather tags and a sun;
// written as ".zon" files into the data folder's "maps" folder.  Dump gives
// a map file back as text for people to read.
#pragma once

#include <string>

class YMapVT3;

class YSampleMaps {
public:
    struct Shape {
        const char* name;  // the file is "<name>.zon"
        unsigned seed;
        float hillHeight;  // tallest hill above the plain, map units
        bool lake;
        unsigned cells;  // along each side
        // Two ramps across x from 64 m to 96 m on a level plain: rising 1 m
        // a metre where z < 96 m, half a metre a metre beyond.
        bool ramps = false;
    };

    // Fills an empty map object with the map of this shape.
    static void Make(const Shape& shape, YMapVT3& map);
    static bool WriteAll(const std::string& folder, std::string& error);
    static bool Dump(const std::string& path, std::string& text, std::string& error);

    // Map units per metre: a map is laid out in metres; the renderer
    // multiplies by 16 for its own units.
    static constexpr float kUnitsPerMetre = 1.0f;
    static constexpr float kWaterLevel = 0.0f;
};
