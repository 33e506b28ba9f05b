// Processor detection: the CPU record, the feature word that chooses the
// fast-math forms, the clock and the cycle timer.
#pragma once

#include <cstdint>

struct YCpuInfo {
    char vendor[13];         // CPUID leaf 0 in the order EBX, EDX, ECX
    uint32_t standardFlags;  // EDX of leaf 1
    uint32_t extendedFlags;  // EDX of leaf 0x80000001
    uint32_t featureWord;    // the detection result
    uint32_t selectionWord;  // the feature word handed to the table filler
    uint32_t clockMhz;       // 0 when not measured
};

extern YCpuInfo g_cpuInfo;

// What the processor answered, gathered before the feature word is made.
struct YCpuProbe {
    bool hasCpuid;
    bool fpuWithoutCpuid;  // without CPUID: whether a usable x87 was found
    uint32_t maxLeaf;
    char vendor[13];
    uint32_t leaf1Eax;
    uint32_t leaf1Edx;
    uint32_t maxExtLeaf;
    uint32_t extEdx;
    bool sseRuns;          // an SSE instruction executed without a fault
    bool cyrixMmxRuns;     // the vendor's extended MMX could be enabled
};

// The feature word for a probe; a pure function.
uint32_t ComputeFeatureWord(const YCpuProbe& probe);

// Asks this processor.
YCpuProbe ReadCpuProbe();

// Fills the CPU record and returns the feature word; leaves the x87 unit in
// single precision and, where SSE runs, sets flush-to-zero.  Measures the
// clock over one second.
uint32_t DetectCpu();
// The same without measuring the clock.
uint32_t DetectCpuFeatures();
// Cycles of the time-stamp counter over at least the given milliseconds of
// the tick clock, in MHz; 0 without a counter or when the clock is stepped.
uint32_t MeasureCpuClock(uint32_t milliseconds);

const char* GetCpuVendor();
uint32_t GetCpuClock();

void StartCycleTimer();
// Cycles since StartCycleTimer, or 0x8FFFFFFFFFFFFFFF without a counter.
void StopCycleTimer(uint64_t* cycles);
