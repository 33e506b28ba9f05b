// The quarter-wave sine table behind the fast sine and cosine look-ups, the
// angle-unit constants, and the exact sine-and-cosine routine.
#pragma once

#include <cstdint>

class YSineTable {
public:
    // Entry k (0..16383) is sin(k * pi / 32768); entry 16384 is exactly 1.
    static constexpr int kEntries = 16385;
    // One table step is 1/65536 of a turn; the index mask keeps every read inside.
    static constexpr uint32_t kQuadrantMask = 0xC000;
    static constexpr uint32_t kIndexMask = 0x3FFF;
    static constexpr int kQuarter = 16384;
    // 1.5 * 2^15: neighbouring floats around it are exactly 1/256 apart.
    static constexpr float kConversion = 49152.0f;

    struct Units {
        float degToTurn256;     // 256 / 360
        float degToRad;         // pi / 180
        float turn256ToDeg;     // 360 / 256
        float turn256ToRad;     // pi / 128
        float radToDeg;         // 180 / pi
        float radToTurn256;     // 128 / pi
        float degToSteps;       // 65536 / 360
        float radToSteps;       // 32768 / pi
    };

    static const float* Table() { return s_table; }
    static const Units& AngleUnits() { return s_units; }

    // Fills the table and the constants at extended precision.
    static void Fill();

private:
    static float s_table[kEntries];
    static Units s_units;
};

// Builds the table (x87 at extended precision for the build, single
// precision afterwards) and returns 1.
int BuildSineTable();

// Sine and cosine at full precision, from the processor's own instruction.
void SinCos(float* s, float* c, double angle);
