#include "foundation/YCpuInfo.h"

#include <csetjmp>
#include <csignal>
#include <cstring>

#include "foundation/YFastMath.h"
#include "foundation/YFastMathForms.h"
#include "platform/win32.h"

#if RCV_X86
#include <cpuid.h>
#include <x86intrin.h>
#endif

YCpuInfo g_cpuInfo = {"UndefinedCPU", 0, 0, 0, 0, 0};

namespace {
constexpr uint32_t kEdxFpu = 0x00000001;
constexpr uint32_t kEdxTsc = 0x00000010;
constexpr uint32_t kEdxCx8 = 0x00000100;
constexpr uint32_t kEdxCmov = 0x00008000;
constexpr uint32_t kEdxMmx = 0x00800000;
constexpr uint32_t kEdxSse = 0x02000000;
constexpr uint32_t kExt3DNow = 0x80000000;
constexpr uint32_t kExt3DNowExt = 0x40000000;
constexpr uint32_t kExtMmxExt = 0x00400000;
constexpr uint64_t kNoCycleCounter = 0x8FFFFFFFFFFFFFFFull;

uint64_t g_cycleStart = 0;

#if RCV_X86
// The exception guard: runs a probe and reports whether it faulted.
sigjmp_buf g_guardJump;

void GuardHandler(int)
{
    siglongjmp(g_guardJump, 1);
}

bool RunsWithoutFault(void (*probe)())
{
    struct sigaction action = {}, oldIll = {}, oldSegv = {};
    action.sa_handler = GuardHandler;
    sigemptyset(&action.sa_mask);
    sigaction(SIGILL, &action, &oldIll);
    sigaction(SIGSEGV, &action, &oldSegv);
    bool ok = false;
    if (sigsetjmp(g_guardJump, 1) == 0) {
        probe();
        ok = true;
    }
    sigaction(SIGILL, &oldIll, nullptr);
    sigaction(SIGSEGV, &oldSegv, nullptr);
    return ok;
}

void SseProbe()
{
    asm volatile("xorps %%xmm0, %%xmm0" : : : "xmm0");
}

// Whether bit 21 of the flags register can be toggled.
bool CpuidToggles()
{
    const uint64_t flags = __readeflags();
    __writeeflags(flags ^ 0x200000);
    const uint64_t toggled = __readeflags();
    __writeeflags(flags);
    return ((flags ^ toggled) & 0x200000) != 0;
}

uint64_t SerialisedCounter()
{
    unsigned a, b, c, d;
    __cpuid(0, a, b, c, d);
    return __rdtsc();
}
#endif
}  // namespace

uint32_t ComputeFeatureWord(const YCpuProbe& p)
{
    if (!p.hasCpuid || p.maxLeaf < 1) return p.fpuWithoutCpuid ? kCpuHasFpu : kCpuNoFpu;
    uint32_t f = kCpuHasCpuid;
    if (!(p.leaf1Edx & kEdxFpu)) return f | kCpuNoFpu;
    f |= kCpuHasFpu;
    if (p.leaf1Edx & kEdxCmov) f |= kCpuHasCmov;
    if (!(p.leaf1Edx & kEdxMmx)) return f;
    f |= kCpuHasMmx;
    if (std::strcmp(p.vendor, "CyrixInstead") == 0 && (p.leaf1Eax & 0xFFFF) == 0x0600 && p.cyrixMmxRuns)
        f |= kCpuHasCyrixMmx;
    if (p.leaf1Edx & kEdxSse) {
        f |= kCpuHasMmxExt;
        if (p.sseRuns) f |= kCpuHasSse;
        return f;
    }
    if (p.maxExtLeaf >= 0x80000001 && (p.extEdx & kExt3DNow)) {
        f |= kCpuHas3DNow;
        if (p.extEdx & kExtMmxExt) f |= kCpuHasMmxExt;
        if (p.extEdx & kExt3DNowExt) f |= kCpuHas3DNowExt;
    }
    return f;
}

YCpuProbe ReadCpuProbe()
{
    YCpuProbe p = {};
    std::strcpy(p.vendor, "UndefinedCPU");
#if RCV_X86
    p.hasCpuid = CpuidToggles();
    if (!p.hasCpuid) {
        p.fpuWithoutCpuid = true;  // every x86-64 processor has the x87
        return p;
    }
    unsigned a, b, c, d;
    __cpuid(0, a, b, c, d);
    p.maxLeaf = a;
    std::memcpy(p.vendor, &b, 4);
    std::memcpy(p.vendor + 4, &d, 4);
    std::memcpy(p.vendor + 8, &c, 4);
    p.vendor[12] = '\0';
    if (p.maxLeaf >= 1) {
        __cpuid(1, a, b, c, d);
        p.leaf1Eax = a;
        p.leaf1Edx = d;
    }
    __cpuid(0x80000000, a, b, c, d);
    p.maxExtLeaf = a;
    if (p.maxExtLeaf >= 0x80000001) {
        __cpuid(0x80000001, a, b, c, d);
        p.extEdx = d;
    }
    if (p.leaf1Edx & kEdxSse) p.sseRuns = RunsWithoutFault(SseProbe);
    // The vendor's configuration registers need I/O ports, which user mode
    // does not get: the extended MMX stays off.
    p.cyrixMmxRuns = false;
#else
    p.fpuWithoutCpuid = true;
#endif
    return p;
}

uint32_t DetectCpuFeatures()
{
    const YCpuProbe p = ReadCpuProbe();
    const uint32_t f = ComputeFeatureWord(p);
    std::memcpy(g_cpuInfo.vendor, p.vendor, sizeof g_cpuInfo.vendor);
    g_cpuInfo.standardFlags = p.hasCpuid ? p.leaf1Edx : 0;
    g_cpuInfo.extendedFlags = p.maxExtLeaf >= 0x80000001 ? p.extEdx : 0;
    g_cpuInfo.featureWord = f;
#if RCV_X86
    if (f & kCpuHasSse) _mm_setcsr(_mm_getcsr() | 0x8000);  // flush to zero
    // x87: reinitialised, then single precision (round to nearest, all masked)
    uint16_t cw;
    asm volatile("fninit\n\tfnstcw %0" : "=m"(cw));
    cw &= 0xFCFF;
    asm volatile("fldcw %0" : : "m"(cw));
#endif
    return f;
}

uint32_t MeasureCpuClock(uint32_t milliseconds)
{
#if RCV_X86
    if (!milliseconds || platform::Clock::IsManual()) return 0;
    if ((g_cpuInfo.standardFlags & (kEdxTsc | kEdxCx8)) != (kEdxTsc | kEdxCx8)) return 0;
    const DWORD first = GetTickCount();
    DWORD t0;
    while ((t0 = GetTickCount()) == first) {
    }
    const uint64_t start = SerialisedCounter();
    while (GetTickCount() - t0 <= milliseconds) {
    }
    const uint64_t cycles = SerialisedCounter() - start;
    return static_cast<uint32_t>((cycles + milliseconds) / (uint64_t(milliseconds) * 1000));
#else
    (void)milliseconds;
    return 0;
#endif
}

uint32_t DetectCpu()
{
    const uint32_t f = DetectCpuFeatures();
    g_cpuInfo.clockMhz = MeasureCpuClock(1000);
    return f;
}

const char* GetCpuVendor()
{
    return g_cpuInfo.vendor;
}

uint32_t GetCpuClock()
{
    return g_cpuInfo.clockMhz;
}

void StartCycleTimer()
{
#if RCV_X86
    if ((g_cpuInfo.standardFlags & (kEdxTsc | kEdxCx8)) == (kEdxTsc | kEdxCx8)) g_cycleStart = __rdtsc();
#endif
}

void StopCycleTimer(uint64_t* cycles)
{
#if RCV_X86
    if ((g_cpuInfo.standardFlags & (kEdxTsc | kEdxCx8)) == (kEdxTsc | kEdxCx8)) {
        *cycles = __rdtsc() - g_cycleStart;
        return;
    }
#endif
    *cycles = kNoCycleCounter;
}
