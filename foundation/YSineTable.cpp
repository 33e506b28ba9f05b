#include "foundation/YSineTable.h"

#include <cmath>
#include <cstring>

#include "foundation/YFastMathForms.h"

alignas(64) float YSineTable::s_table[YSineTable::kEntries];
YSineTable::Units YSineTable::s_units;

namespace {
long double ProcessorPi()
{
#if RCV_X86
    long double pi;
    asm("fldpi" : "=t"(pi));
    return pi;
#else
    return std::acos(-1.0L);
#endif
}
}  // namespace

void YSineTable::Fill()
{
    const long double pi = ProcessorPi();
    s_units.degToTurn256 = static_cast<float>(256.0L / 360.0L);
    s_units.degToRad = static_cast<float>(pi / 180.0L);
    s_units.turn256ToDeg = static_cast<float>(360.0L / 256.0L);
    s_units.turn256ToRad = static_cast<float>(pi / 128.0L);
    s_units.radToDeg = static_cast<float>(180.0L / pi);
    s_units.radToTurn256 = static_cast<float>(128.0L / pi);
    s_units.degToSteps = static_cast<float>(65536.0L / 360.0L);
    s_units.radToSteps = static_cast<float>(32768.0L / pi);

    const long double step = pi / 128.0L;
    for (int j = 0; j < 64; ++j)
        for (int i = 0; i < 256; ++i) {
            const int k = 256 * j + i;
            if (k < 0 || k >= kQuarter) continue;  // bounds of the table
            s_table[k] = static_cast<float>(std::sin((j + i / 256.0L) * step));
        }
    s_table[kQuarter] = 1.0f;
}

int BuildSineTable()
{
#if RCV_X86
    uint16_t saved;
    asm volatile("fnstcw %0" : "=m"(saved));
    asm volatile("fninit");
    YSineTable::Fill();
    uint16_t single = saved & 0xFCFF;
    asm volatile("fninit\n\tfldcw %0" : : "m"(single));
#else
    YSineTable::Fill();
#endif
    return 1;
}

void SinCos(float* s, float* c, double angle)
{
#if RCV_X86
    float sv, cv;
    asm("fldl %2\n\t"
        "fsincos\n\t"
        "fstps %1\n\t"
        "fstps %0"
        : "=m"(sv), "=m"(cv)
        : "m"(angle)
        : "st", "st(1)");
    *s = sv;
    *c = cv;
#else
    *s = static_cast<float>(std::sin(angle));
    *c = static_cast<float>(std::cos(angle));
#endif
}

namespace {
inline float FromBits(uint32_t bits)
{
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

inline uint32_t ToBits(float f)
{
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return bits;
}

// The angle, already in 1/256 turns, to table steps by the float trick:
// adding 49152 rounds it to the nearest step; the low 16 bits are the step
// modulo one turn.
inline uint32_t StepsByTrick(float turns256)
{
    const float sum = turns256 + YSineTable::kConversion;
    return ToBits(sum) - ToBits(YSineTable::kConversion);
}

// The same by ordinary rounding (ties to even, like the trick), for any angle.
inline uint32_t StepsByRounding(float turns256)
{
    double steps = std::nearbyint(static_cast<double>(turns256) * 256.0);
    if (!std::isfinite(steps)) return 0;
    steps = std::fmod(steps, 65536.0);
    return static_cast<uint32_t>(static_cast<int64_t>(steps)) & 0xFFFF;
}

// Sine of a step with a branch per quadrant.
inline float SineByQuadrant(uint32_t u)
{
    const float* t = YSineTable::Table();
    const uint32_t i = u & YSineTable::kIndexMask;
    switch (u & YSineTable::kQuadrantMask) {
    case 0x0000: return t[i];
    case 0x4000: return t[YSineTable::kQuarter - i];
    case 0x8000: return -t[i];
    default: return -t[YSineTable::kQuarter - i];
    }
}

// Sine of a step without branches: the mirrored index and the sign bit are
// chosen by masks.
inline float SineByMask(uint32_t u)
{
    const uint32_t i = u & YSineTable::kIndexMask;
    const uint32_t mirror = 0u - ((u >> 14) & 1u);
    const uint32_t index = i ^ ((i ^ (YSineTable::kQuarter - i)) & mirror);
    const uint32_t sign = ((u >> 15) & 1u) << 31;
    return FromBits(ToBits(YSineTable::Table()[index]) ^ sign);
}

inline float Rad(float angle)
{
    return angle * YSineTable::AngleUnits().radToTurn256;
}

inline float Deg(float angle)
{
    return angle * YSineTable::AngleUnits().degToTurn256;
}
}  // namespace

// A quarter turn ahead turns the sine into the cosine.
#define FM_LOOKUPS(ns, Steps, Sine)                                        \
    namespace ns {                                                         \
    float FastSin(float a) { return Sine(Steps(Rad(a))); }                 \
    float FastCos(float a) { return Sine(Steps(Rad(a)) + 0x4000); }        \
    void FastSinCos(float* s, float* c, float a)                           \
    {                                                                      \
        const uint32_t u = Steps(Rad(a));                                  \
        *s = Sine(u);                                                      \
        *c = Sine(u + 0x4000);                                             \
    }                                                                      \
    float FastSinDeg(float a) { return Sine(Steps(Deg(a))); }              \
    float FastCosDeg(float a) { return Sine(Steps(Deg(a)) + 0x4000); }     \
    void FastSinCosDeg(float* s, float* c, float a)                        \
    {                                                                      \
        const uint32_t u = Steps(Deg(a));                                  \
        *s = Sine(u);                                                      \
        *c = Sine(u + 0x4000);                                             \
    }                                                                      \
    }

FM_LOOKUPS(fm_portable, StepsByRounding, SineByQuadrant)
#if RCV_X86
FM_LOOKUPS(fm_plain, StepsByTrick, SineByQuadrant)
FM_LOOKUPS(fm_cmov, StepsByTrick, SineByMask)
#endif
