// Processor detection, the feature word and the choice of forms.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "foundation/YCpuInfo.h"
#include "foundation/YFastMath.h"
#include "foundation/YFastMathForms.h"
#include "platform/win32.h"

namespace {
// Kept first: nothing in this program detects before it.
TEST(CpuRecord, VendorBeforeDetectionIsUndefined)
{
    EXPECT_STREQ(GetCpuVendor(), "UndefinedCPU");
    EXPECT_EQ(GetCpuClock(), 0u);
}

constexpr uint32_t kFpu = 0x1, kTsc = 0x10, kCx8 = 0x100, kCmov = 0x8000, kMmx = 0x800000,
                   kSse = 0x2000000;
constexpr uint32_t kExt3DNow = 0x80000000u, kExt3DNowExt = 0x40000000, kExtMmxExt = 0x400000;

YCpuProbe Probe(const char* vendor, uint32_t eax, uint32_t edx, uint32_t extEdx = 0,
                bool sseRuns = true, bool cyrixRuns = false)
{
    YCpuProbe p = {};
    p.hasCpuid = true;
    p.maxLeaf = 1;
    std::snprintf(p.vendor, sizeof p.vendor, "%s", vendor);
    p.leaf1Eax = eax;
    p.leaf1Edx = edx;
    p.maxExtLeaf = extEdx ? 0x80000001 : 0x80000000;
    p.extEdx = extEdx;
    p.sseRuns = sseRuns;
    p.cyrixMmxRuns = cyrixRuns;
    return p;
}

TEST(CpuFeatureWord, ProcessorsGiveTheirFeatureWords)
{
    struct Case {
        const char* name;
        YCpuProbe probe;
        uint32_t word;
    };
    YCpuProbe noCpuidWithFpu = {};
    noCpuidWithFpu.fpuWithoutCpuid = true;
    YCpuProbe noCpuidNoFpu = {};
    YCpuProbe leafZeroOnly = Probe("GenuineIntel", 0, kFpu);
    leafZeroOnly.maxLeaf = 0;
    leafZeroOnly.fpuWithoutCpuid = true;
    const Case cases[] = {
        {"no CPUID, x87", noCpuidWithFpu, 0x2},
        {"no CPUID, no x87", noCpuidNoFpu, 0x80000000u},
        {"highest leaf 0", leafZeroOnly, 0x2},
        {"CPUID without FPU", Probe("GenuineIntel", 0x500, kTsc), 0x80000001u},
        {"Pentium", Probe("GenuineIntel", 0x52C, kFpu | kTsc | kCx8), 0x3},
        {"Pentium MMX", Probe("GenuineIntel", 0x543, kFpu | kTsc | kCx8 | kMmx), 0x7},
        {"Pentium Pro", Probe("GenuineIntel", 0x619, kFpu | kTsc | kCx8 | kCmov), 0xB},
        {"Pentium II", Probe("GenuineIntel", 0x634, kFpu | kTsc | kCmov | kMmx), 0xF},
        {"Pentium III", Probe("GenuineIntel", 0x673, kFpu | kCmov | kMmx | kSse), 0x24F},
        {"Pentium III, SSE off in the OS", Probe("GenuineIntel", 0x673, kFpu | kCmov | kMmx | kSse, 0, false), 0x20F},
        {"SSE bit without MMX is not examined", Probe("GenuineIntel", 0x673, kFpu | kCmov | kSse), 0xB},
        {"K6-2", Probe("AuthenticAMD", 0x58C, kFpu | kTsc | kMmx, kExt3DNow), 0x17},
        {"Athlon", Probe("AuthenticAMD", 0x621, kFpu | kCmov | kMmx, kExt3DNow | kExt3DNowExt | kExtMmxExt), 0x23F},
        {"Athlon XP is not examined for 3DNow!", Probe("AuthenticAMD", 0x681, kFpu | kCmov | kMmx | kSse, kExt3DNow | kExt3DNowExt | kExtMmxExt), 0x24F},
        {"3DNow! with MMX extensions only", Probe("AuthenticAMD", 0x580, kFpu | kMmx, kExt3DNow | kExtMmxExt), 0x217},
        {"3DNow! bits without the 3DNow! bit", Probe("AuthenticAMD", 0x580, kFpu | kMmx, kExt3DNowExt | kExtMmxExt), 0x7},
        {"6x86MX", Probe("CyrixInstead", 0x0600, kFpu | kCmov | kMmx, 0, true, true), 0x10F},
        {"6x86MX, other stepping", Probe("CyrixInstead", 0x0601, kFpu | kCmov | kMmx, 0, true, true), 0xF},
        {"6x86MX, probe refused", Probe("CyrixInstead", 0x0600, kFpu | kCmov | kMmx, 0, true, false), 0xF},
    };
    for (const Case& c : cases) EXPECT_EQ(ComputeFeatureWord(c.probe), c.word) << c.name;
}

TEST(CpuSelection, FeatureWordsPickTheirConfiguration)
{
    struct Case {
        uint32_t word;
        MathConfig config;
    };
    const Case cases[] = {
        {0x0, MathConfig::None},           {0x80000000u, MathConfig::None},
        {0x80000001u, MathConfig::None},   {0x2, MathConfig::Plain},
        {0xB, MathConfig::Cmov},           {0x7, MathConfig::Mmx},
        {0x247, MathConfig::Mmx},          {0xF, MathConfig::MmxCmov},
        {0x20F, MathConfig::MmxExt},       {0x24F, MathConfig::Sse},
        {0x17, MathConfig::Amd3DNow},      {0x1F, MathConfig::Amd3DNow},
        {0x37, MathConfig::Amd3DNowExt},   {0x217, MathConfig::Amd3DNowMmxExt},
        {0x237, MathConfig::Amd3DNowFull}, {0x23F, MathConfig::Amd3DNowFull},
    };
    for (const Case& c : cases)
        EXPECT_EQ(static_cast<int>(SelectMathConfig(c.word)), static_cast<int>(c.config)) << std::hex << c.word;
}

// Expected forms written out entry by entry.
struct FormRun {
    int first, last;
    MathForm form;
};

void ExpectForms(uint32_t word, std::initializer_list<FormRun> runs)
{
    const MathSelection s = SelectMathForms(word);
    int next = 0;
    for (const FormRun& run : runs) {
        ASSERT_EQ(run.first, next) << "runs must cover every entry";
        for (int e = run.first; e <= run.last; ++e)
            EXPECT_EQ(MathFormName(s.form[e]), std::string(MathFormName(run.form)))
                << "word " << std::hex << word << std::dec << " entry " << e << " " << MathEntryName(e);
        next = run.last + 1;
    }
    EXPECT_EQ(next, kMathEntryCount);
}

TEST(CpuSelection, EntryFormsPerConfiguration)
{
    using F = MathForm;
    // plain
    ExpectForms(0x2, {{0, 49, F::Plain}});
    // an SSE processor
    ExpectForms(0x24F, {{0, 4, F::Mmx}, {5, 6, F::Plain}, {7, 8, F::Sse}, {9, 20, F::Cmov},
                        {21, 35, F::Sse}, {36, 38, F::MmxExt}, {39, 42, F::Cmov},
                        {43, 48, F::Sse}, {49, 49, F::MmxExt}});
    // MMX with conditional moves
    ExpectForms(0xF, {{0, 4, F::Mmx}, {5, 8, F::Plain}, {9, 20, F::Cmov}, {21, 29, F::Plain},
                      {30, 30, F::Cmov}, {31, 31, F::Plain}, {32, 32, F::Cmov}, {33, 33, F::Plain},
                      {34, 34, F::Cmov}, {35, 35, F::Plain}, {36, 38, F::Mmx}, {39, 42, F::Cmov},
                      {43, 48, F::Plain}, {49, 49, F::Mmx}});
    // MMX alone keeps the MMX forms even with 0x200
    ExpectForms(0x207, {{0, 4, F::Mmx}, {5, 35, F::Plain}, {36, 38, F::Mmx}, {39, 48, F::Plain},
                        {49, 49, F::Mmx}});
    // K6-2: 3DNow!, plain edition
    ExpectForms(0x17, {{0, 4, F::Mmx}, {5, 6, F::Plain}, {7, 8, F::Amd3DNow}, {9, 20, F::Plain},
                       {21, 35, F::Amd3DNow}, {36, 38, F::Mmx}, {39, 40, F::Plain},
                       {41, 48, F::Amd3DNow}, {49, 49, F::Mmx}});
    // full 3DNow!, plain edition: 45-48 fall back to x87
    ExpectForms(0x237, {{0, 4, F::Mmx}, {5, 6, F::Plain}, {7, 8, F::Amd3DNow}, {9, 20, F::Plain},
                        {21, 26, F::Amd3DNow}, {27, 27, F::Amd3DNowExt}, {28, 29, F::Amd3DNow},
                        {30, 30, F::Amd3DNowExt}, {31, 31, F::Amd3DNow}, {32, 32, F::Amd3DNowExt},
                        {33, 33, F::Amd3DNow}, {34, 35, F::Amd3DNowExt}, {36, 38, F::MmxExt},
                        {39, 40, F::Plain}, {41, 44, F::Amd3DNow}, {45, 48, F::Plain},
                        {49, 49, F::MmxExt}});
    // Athlon: full 3DNow!, conditional-move edition
    ExpectForms(0x23F, {{0, 4, F::Mmx}, {5, 6, F::Plain}, {7, 8, F::Amd3DNow}, {9, 20, F::Cmov},
                        {21, 26, F::Amd3DNow}, {27, 27, F::Amd3DNowExt}, {28, 29, F::Amd3DNow},
                        {30, 30, F::Amd3DNowExt}, {31, 31, F::Amd3DNow}, {32, 32, F::Amd3DNowExt},
                        {33, 33, F::Amd3DNow}, {34, 35, F::Amd3DNowExt}, {36, 38, F::MmxExt},
                        {39, 42, F::Cmov}, {43, 48, F::Amd3DNow}, {49, 49, F::MmxExt}});
    // 3DNow! with the MMX extensions, no extended 3DNow!
    ExpectForms(0x21F, {{0, 4, F::Mmx}, {5, 6, F::Plain}, {7, 8, F::Amd3DNow}, {9, 20, F::Cmov},
                        {21, 31, F::Amd3DNow}, {32, 32, F::Amd3DNowExt}, {33, 35, F::Amd3DNow},
                        {36, 38, F::MmxExt}, {39, 42, F::Cmov}, {43, 48, F::Amd3DNow},
                        {49, 49, F::MmxExt}});
}

TEST(CpuSelection, VendorMmxChangesEntry49Only)
{
    const uint32_t words[] = {0x2, 0xB, 0x7, 0xF, 0x20F, 0x24F, 0x17, 0x37, 0x217, 0x23F};
    for (uint32_t w : words) {
        const MathSelection base = SelectMathForms(w);
        const MathSelection vendor = SelectMathForms(w | 0x100);
        for (int e = 0; e < kMathEntryCount; ++e) {
            if (e == kEntryAlphaBlendRect)
                EXPECT_EQ(vendor.form[e], MathForm::CyrixMmx) << std::hex << w;
            else
                EXPECT_EQ(vendor.form[e], base.form[e]) << std::hex << w << " entry " << e;
        }
    }
}

TEST(CpuSelection, NoConditionalMovesWithoutTheBit)
{
    for (uint32_t extra = 0; extra < 0x400; extra += 0x10) {
        const uint32_t word = (0x17 | extra) & ~0x8u & ~0x40u & ~0x100u;
        const MathSelection s = SelectMathForms(word);
        for (int e = 0; e < kMathEntryCount; ++e)
            EXPECT_NE(s.form[e], MathForm::Cmov) << std::hex << word << " entry " << e;
    }
}

// Restores the portable table after each test.
class CpuDispatch : public ::testing::Test {
protected:
    void TearDown() override
    {
        g_fastMath = MathFormTable(MathForm::Portable);
    }
};

TEST_F(CpuDispatch, WithoutFpuTheTableStaysAsItWas)
{
    ASSERT_EQ(InitMathDispatch(0x24F), 1);
    const MathSelection before = InstalledMathForms();
    const YFastMath table = g_fastMath;
    for (uint32_t word : {0x0u, 0x80000000u, 0x80000001u, 0x24Du}) {
        EXPECT_EQ(InitMathDispatch(word), 0) << std::hex << word;
        EXPECT_EQ(g_cpuInfo.selectionWord, word);
        EXPECT_EQ(std::memcmp(&table, &g_fastMath, sizeof table), 0);
        const MathSelection after = InstalledMathForms();
        EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
    }
}

TEST_F(CpuDispatch, FillsEverySlotFromTheSelectedForm)
{
    for (uint32_t word : {0x2u, 0xBu, 0xFu, 0x20Fu, 0x24Fu, 0x17u, 0x23Fu, 0x10Fu}) {
        ASSERT_EQ(InitMathDispatch(word), 1);
        const MathSelection selected = SelectMathForms(word);
        const MathSelection installed = InstalledMathForms();
        for (int e = 0; e < kMathEntryCount; ++e) {
            // every built form has each entry the rule can give it
            const MathForm want = MathFormBuilt(selected.form[e]) ? selected.form[e] : MathForm::Portable;
            EXPECT_EQ(installed.form[e], want) << std::hex << word << " entry " << e;
        }
    }
    // the slots hold the routines of their forms
    ASSERT_EQ(InitMathDispatch(0x24F), 1);
    EXPECT_EQ(g_fastMath.FastSqrt, MathFormTable(InstalledMathForms().form[kEntryFastSqrt]).FastSqrt);
    EXPECT_EQ(g_fastMath.MemFillDwords, MathFormTable(InstalledMathForms().form[kEntryMemFillDwords]).MemFillDwords);
}

#if RCV_X86
TEST_F(CpuDispatch, ThisBuildRunsEveryFormExceptThe3DNowAndVendorOnes)
{
    const MathForm built[] = {MathForm::Portable, MathForm::Plain, MathForm::Cmov,
                              MathForm::Mmx, MathForm::MmxExt, MathForm::Sse};
    for (MathForm f : built) EXPECT_TRUE(MathFormBuilt(f)) << MathFormName(f);
    for (MathForm f : {MathForm::Amd3DNow, MathForm::Amd3DNowExt, MathForm::CyrixMmx})
        EXPECT_FALSE(MathFormBuilt(f)) << MathFormName(f);

    // an SSE processor gets exactly its selected forms
    ASSERT_EQ(InitMathDispatch(0x24F), 1);
    const MathSelection selected = SelectMathForms(0x24F);
    const MathSelection installed = InstalledMathForms();
    for (int e = 0; e < kMathEntryCount; ++e) EXPECT_EQ(installed.form[e], selected.form[e]) << e;
    EXPECT_EQ(g_fastMath.VectorLength, fm_sse::VectorLength);
    EXPECT_EQ(g_fastMath.MemCopyDwords, fm_mmxext::MemCopyDwords);
    EXPECT_EQ(g_fastMath.MinFloat, fm_cmov::MinFloat);

    // 3DNow! slots fall back to the portable forms, MMX slots stay MMX
    ASSERT_EQ(InitMathDispatch(0x17), 1);
    EXPECT_EQ(InstalledMathForms().form[kEntryVectorLength], MathForm::Portable);
    EXPECT_EQ(g_fastMath.VectorLength, fm_portable::VectorLength);
    EXPECT_EQ(InstalledMathForms().form[kEntryMatrixZero], MathForm::Mmx);
}

bool CpuinfoHasFlag(const std::string& flags, const char* flag)
{
    return (" " + flags + " ").find(std::string(" ") + flag + " ") != std::string::npos;
}

TEST(CpuDetection, AgreesWithTheKernelsView)
{
    std::ifstream in("/proc/cpuinfo");
    std::string line, vendor, flags;
    while (std::getline(in, line) && (vendor.empty() || flags.empty())) {
        const auto colon = line.find(':');
        if (colon == std::string::npos) continue;
        const std::string key = line.substr(0, line.find_first_of(" \t"));
        const std::string value = colon + 2 <= line.size() ? line.substr(colon + 2) : "";
        if (key == "vendor_id" && vendor.empty()) vendor = value;
        if (key == "flags" && flags.empty()) flags = value;
    }
    if (flags.empty()) GTEST_SKIP() << "no /proc/cpuinfo";

    const uint32_t word = DetectCpuFeatures();
    EXPECT_EQ(word, g_cpuInfo.featureWord);
    EXPECT_EQ(std::string(GetCpuVendor()), vendor);
    EXPECT_TRUE(word & kCpuHasCpuid);
    EXPECT_TRUE(word & kCpuHasFpu);
    EXPECT_EQ((word & kCpuHasMmx) != 0, CpuinfoHasFlag(flags, "mmx"));
    EXPECT_EQ((word & kCpuHasCmov) != 0, CpuinfoHasFlag(flags, "cmov"));
    EXPECT_EQ((word & kCpuHasSse) != 0, CpuinfoHasFlag(flags, "sse"));
    EXPECT_EQ((word & kCpuHas3DNow) != 0, CpuinfoHasFlag(flags, "3dnow") && !CpuinfoHasFlag(flags, "sse"));
    EXPECT_EQ(word & kCpuHasCyrixMmx, 0u);
    EXPECT_EQ(g_cpuInfo.standardFlags & 1u, 1u);

    // floating-point state: FTZ with SSE, x87 in single precision, nearest
    if (word & kCpuHasSse) {
        uint32_t csr;
        asm volatile("stmxcsr %0" : "=m"(csr));
        EXPECT_TRUE(csr & 0x8000);
    }
    uint16_t cw;
    asm volatile("fnstcw %0" : "=m"(cw));
    EXPECT_EQ(cw & 0x0F00, 0);
    EXPECT_EQ(cw & 0x3F, 0x3F);
}

TEST(CpuDetection, ClockAndCycleTimer)
{
    DetectCpuFeatures();
    if (!(g_cpuInfo.standardFlags & 0x10)) GTEST_SKIP() << "no time-stamp counter";
    const uint32_t mhz = MeasureCpuClock(50);
    EXPECT_GT(mhz, 100u);
    EXPECT_LT(mhz, 20000u);

    uint64_t cycles = 0;
    StartCycleTimer();
    volatile uint32_t sink = 0;
    for (int i = 0; i < 10000; ++i) sink = sink + i;
    StopCycleTimer(&cycles);
    EXPECT_GT(cycles, 0u);
    EXPECT_LT(cycles, 0x8FFFFFFFFFFFFFFFull);
}

TEST(CpuDetection, SteppedClockGivesNoMeasurementInsteadOfWaiting)
{
    DetectCpuFeatures();
    platform::Clock::SetManual(true);
    EXPECT_EQ(MeasureCpuClock(1000), 0u);
    platform::Clock::SetManual(false);
}
#endif

TEST(CpuDetection, CycleTimerWithoutCounterGivesTheMarker)
{
    const YCpuInfo saved = g_cpuInfo;
    g_cpuInfo.standardFlags = 0x1;
    uint64_t cycles = 0;
    StartCycleTimer();
    StopCycleTimer(&cycles);
    EXPECT_EQ(cycles, 0x8FFFFFFFFFFFFFFFull);
    g_cpuInfo = saved;
}
}  // namespace
