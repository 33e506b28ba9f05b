#include "foundation/YFastMath.h"

#include "foundation/YCpuInfo.h"
#include "foundation/YFastMathForms.h"

YFastMath g_fastMath = {
#define FM_PORTABLE(n, name, result, params, args) fm_portable::name,
    YFASTMATH_ENTRIES(FM_PORTABLE)
#undef FM_PORTABLE
};

namespace {
MathSelection g_installed = [] {
    MathSelection s;
    for (MathForm& f : s.form) f = MathForm::Portable;
    return s;
}();

const char* const kEntryNames[kMathEntryCount] = {
#define FM_NAME(n, name, result, params, args) #name,
    YFASTMATH_ENTRIES(FM_NAME)
#undef FM_NAME
};

void CopyEntry(YFastMath& dst, const YFastMath& src, int entry)
{
    switch (entry) {
#define FM_COPY(n, name, result, params, args) \
    case n: dst.name = src.name; break;
        YFASTMATH_ENTRIES(FM_COPY)
#undef FM_COPY
    default: break;
    }
}

bool HasEntry(const YFastMath& table, int entry)
{
    switch (entry) {
#define FM_HAS(n, name, result, params, args) \
    case n: return table.name != nullptr;
        YFASTMATH_ENTRIES(FM_HAS)
#undef FM_HAS
    default: return false;
    }
}

const YFastMath kEmpty = {};

const YFastMath kPortable = {
#define FM_PORTABLE(n, name, result, params, args) fm_portable::name,
    YFASTMATH_ENTRIES(FM_PORTABLE)
#undef FM_PORTABLE
};

#if RCV_X86
#define FM_SET(table, ns, name) table.name = ns::name

YFastMath PlainTable()
{
    YFastMath t = {};
    // fills, transpose and the no-op have no arithmetic: the one form serves
    FM_SET(t, fm_portable, MatrixZero);
    FM_SET(t, fm_portable, MatrixIdentity);
    FM_SET(t, fm_portable, MatrixTranslation);
    FM_SET(t, fm_portable, MatrixTranslationV);
    FM_SET(t, fm_portable, MatrixScaling);
    FM_SET(t, fm_portable, MatrixTranspose);
    FM_SET(t, fm_portable, MathNoOp);
    FM_SET(t, fm_portable, AlphaBlendRect);
#define FM_PLAIN(n, name) FM_SET(t, fm_plain, name);
    FM_PLAIN(7, MatrixMultiply)
    FM_PLAIN(8, MatrixMultiplyAffine)
    FM_PLAIN(9, MatrixRotationEuler1)
    FM_PLAIN(10, MatrixRotationEuler2)
    FM_PLAIN(11, MatrixRotationEuler3)
    FM_PLAIN(12, MatrixRotationEuler4)
    FM_PLAIN(13, MatrixRotationEuler5)
    FM_PLAIN(14, MatrixRotationEuler6)
    FM_PLAIN(15, FastSin)
    FM_PLAIN(16, FastCos)
    FM_PLAIN(17, FastSinCos)
    FM_PLAIN(18, FastSinDeg)
    FM_PLAIN(19, FastCosDeg)
    FM_PLAIN(20, FastSinCosDeg)
    FM_PLAIN(21, FastSqrt)
    FM_PLAIN(22, ApproxSqrt)
    FM_PLAIN(23, VectorLengthSq)
    FM_PLAIN(24, VectorLength)
    FM_PLAIN(25, VectorFastLength)
    FM_PLAIN(26, VectorDot)
    FM_PLAIN(27, VectorCross)
    FM_PLAIN(28, VectorAdd)
    FM_PLAIN(29, VectorSubtract)
    FM_PLAIN(30, VectorCompareLength)
    FM_PLAIN(31, VectorScale)
    FM_PLAIN(32, VectorDiffers)
    FM_PLAIN(33, VectorTransform)
    FM_PLAIN(34, VectorNormalizeSafe)
    FM_PLAIN(35, VectorRotateByAngles)
    FM_PLAIN(36, MemClearDwords)
    FM_PLAIN(37, MemFillDwords)
    FM_PLAIN(38, MemCopyDwords)
    FM_PLAIN(39, MinInt)
    FM_PLAIN(40, MaxInt)
    FM_PLAIN(41, MinFloat)
    FM_PLAIN(42, MaxFloat)
    FM_PLAIN(43, FloatToInt)
    FM_PLAIN(44, IntToFloat)
    FM_PLAIN(45, DivFloat)
    FM_PLAIN(46, FastDivFloat)
    FM_PLAIN(47, Reciprocal)
    FM_PLAIN(48, FastReciprocal)
#undef FM_PLAIN
    return t;
}

YFastMath CmovTable()
{
    YFastMath t = {};
    FM_SET(t, fm_cmov, MatrixRotationEuler1);
    FM_SET(t, fm_cmov, MatrixRotationEuler2);
    FM_SET(t, fm_cmov, MatrixRotationEuler3);
    FM_SET(t, fm_cmov, MatrixRotationEuler4);
    FM_SET(t, fm_cmov, MatrixRotationEuler5);
    FM_SET(t, fm_cmov, MatrixRotationEuler6);
    FM_SET(t, fm_cmov, FastSin);
    FM_SET(t, fm_cmov, FastCos);
    FM_SET(t, fm_cmov, FastSinCos);
    FM_SET(t, fm_cmov, FastSinDeg);
    FM_SET(t, fm_cmov, FastCosDeg);
    FM_SET(t, fm_cmov, FastSinCosDeg);
    FM_SET(t, fm_cmov, VectorCompareLength);
    FM_SET(t, fm_cmov, VectorDiffers);
    FM_SET(t, fm_cmov, VectorNormalizeSafe);
    FM_SET(t, fm_cmov, MinInt);
    FM_SET(t, fm_cmov, MaxInt);
    FM_SET(t, fm_cmov, MinFloat);
    FM_SET(t, fm_cmov, MaxFloat);
    return t;
}

YFastMath MmxTable()
{
    YFastMath t = {};
    FM_SET(t, fm_mmx, MatrixZero);
    FM_SET(t, fm_mmx, MatrixIdentity);
    FM_SET(t, fm_mmx, MatrixTranslation);
    FM_SET(t, fm_mmx, MatrixTranslationV);
    FM_SET(t, fm_mmx, MatrixScaling);
    FM_SET(t, fm_mmx, MemClearDwords);
    FM_SET(t, fm_mmx, MemFillDwords);
    FM_SET(t, fm_mmx, MemCopyDwords);
    FM_SET(t, fm_mmx, AlphaBlendRect);
    return t;
}

YFastMath MmxExtTable()
{
    YFastMath t = {};
    FM_SET(t, fm_mmxext, MemClearDwords);
    FM_SET(t, fm_mmxext, MemFillDwords);
    FM_SET(t, fm_mmxext, MemCopyDwords);
    FM_SET(t, fm_mmxext, AlphaBlendRect);
    return t;
}

YFastMath SseTable()
{
    YFastMath t = {};
    FM_SET(t, fm_sse, MatrixMultiply);
    FM_SET(t, fm_sse, MatrixMultiplyAffine);
    FM_SET(t, fm_sse, FastSqrt);
    FM_SET(t, fm_sse, ApproxSqrt);
    FM_SET(t, fm_sse, VectorLengthSq);
    FM_SET(t, fm_sse, VectorLength);
    FM_SET(t, fm_sse, VectorFastLength);
    FM_SET(t, fm_sse, VectorDot);
    FM_SET(t, fm_sse, VectorCross);
    FM_SET(t, fm_sse, VectorAdd);
    FM_SET(t, fm_sse, VectorSubtract);
    FM_SET(t, fm_sse, VectorCompareLength);
    FM_SET(t, fm_sse, VectorScale);
    FM_SET(t, fm_sse, VectorDiffers);
    FM_SET(t, fm_sse, VectorTransform);
    FM_SET(t, fm_sse, VectorNormalizeSafe);
    FM_SET(t, fm_sse, VectorRotateByAngles);
    FM_SET(t, fm_sse, FloatToInt);
    FM_SET(t, fm_sse, IntToFloat);
    FM_SET(t, fm_sse, DivFloat);
    FM_SET(t, fm_sse, FastDivFloat);
    FM_SET(t, fm_sse, Reciprocal);
    FM_SET(t, fm_sse, FastReciprocal);
    return t;
}
#undef FM_SET
#endif

bool InRange(int entry, int first, int last)
{
    return entry >= first && entry <= last;
}
}  // namespace

const char* MathEntryName(int entry)
{
    return entry >= 0 && entry < kMathEntryCount ? kEntryNames[entry] : "";
}

const char* MathFormName(MathForm form)
{
    switch (form) {
    case MathForm::Portable: return "Portable";
    case MathForm::Plain: return "x87";
    case MathForm::Cmov: return "x87+CMOV";
    case MathForm::Mmx: return "MMX";
    case MathForm::MmxExt: return "MMX-ext";
    case MathForm::Amd3DNow: return "3DNow!";
    case MathForm::Amd3DNowExt: return "ext-3DNow!";
    case MathForm::Sse: return "SSE";
    case MathForm::CyrixMmx: return "Cyrix-MMX";
    default: return "";
    }
}

MathConfig SelectMathConfig(uint32_t f)
{
    if (!(f & kCpuHasFpu)) return MathConfig::None;
    const bool cmov = f & kCpuHasCmov, mmx = f & kCpuHasMmx, now = f & kCpuHas3DNow;
    const bool mmxExt = f & kCpuHasMmxExt, nowExt = f & kCpuHas3DNowExt, sse = f & kCpuHasSse;
    if (!mmx) return cmov ? MathConfig::Cmov : MathConfig::Plain;
    if (!now) {
        if (!cmov) return MathConfig::Mmx;
        if (!mmxExt) return MathConfig::MmxCmov;
        return sse ? MathConfig::Sse : MathConfig::MmxExt;
    }
    if (!mmxExt) return nowExt ? MathConfig::Amd3DNowExt : MathConfig::Amd3DNow;
    return nowExt ? MathConfig::Amd3DNowFull : MathConfig::Amd3DNowMmxExt;
}

MathSelection SelectMathForms(uint32_t f)
{
    MathSelection s;
    for (MathForm& form : s.form) form = MathForm::Plain;
    const MathConfig config = SelectMathConfig(f);
    if (config == MathConfig::None) return s;

    const bool cmov = f & kCpuHasCmov;
    const bool mmx = f & kCpuHasMmx;
    const bool sse = config == MathConfig::Sse;
    const bool now = config == MathConfig::Amd3DNow || config == MathConfig::Amd3DNowExt ||
                     config == MathConfig::Amd3DNowMmxExt || config == MathConfig::Amd3DNowFull;
    const bool nowExt = now && (f & kCpuHas3DNowExt);
    const bool full = config == MathConfig::Amd3DNowFull;
    const bool mmxExtStores = config == MathConfig::MmxExt || sse ||
                              config == MathConfig::Amd3DNowMmxExt || full;
    // SSE form; 3DNow! form; x87 form
    const MathForm vectorForm = sse ? MathForm::Sse : now ? MathForm::Amd3DNow : MathForm::Plain;
    const MathForm cmovOrPlain = cmov ? MathForm::Cmov : MathForm::Plain;

    for (int e = 0; e < kMathEntryCount; ++e) {
        MathForm& form = s.form[e];
        if (InRange(e, 0, 4))
            form = mmx ? MathForm::Mmx : MathForm::Plain;
        else if (InRange(e, 5, 6))
            form = MathForm::Plain;
        else if (InRange(e, 7, 8))
            form = vectorForm;
        else if (InRange(e, 9, 20) || InRange(e, 39, 40))
            form = cmovOrPlain;
        else if (InRange(e, 21, 26) || e == 28 || e == 29 || e == 31 || e == 33 || InRange(e, 43, 44))
            form = vectorForm;
        else if (e == 27 || e == 35)
            form = sse ? MathForm::Sse : nowExt ? MathForm::Amd3DNowExt : vectorForm;
        else if (e == 30 || e == 34)
            form = sse ? MathForm::Sse : full ? MathForm::Amd3DNowExt : now ? MathForm::Amd3DNow : cmovOrPlain;
        else if (e == 32)
            form = sse ? MathForm::Sse
                   : (now && (f & kCpuHasMmxExt)) ? MathForm::Amd3DNowExt
                   : now ? MathForm::Amd3DNow
                         : cmovOrPlain;
        else if (InRange(e, 36, 38) || e == 49)
            form = mmxExtStores ? MathForm::MmxExt : mmx ? MathForm::Mmx : MathForm::Plain;
        else if (InRange(e, 41, 42))
            form = cmov ? MathForm::Cmov : now ? MathForm::Amd3DNow : MathForm::Plain;
        else if (InRange(e, 45, 48))
            form = sse ? MathForm::Sse : (now && !(full && !cmov)) ? MathForm::Amd3DNow : MathForm::Plain;
    }
    if (f & kCpuHasCyrixMmx) s.form[kEntryAlphaBlendRect] = MathForm::CyrixMmx;
    return s;
}

const YFastMath& MathFormTable(MathForm form)
{
    if (form == MathForm::Portable) return kPortable;
#if RCV_X86
    static const YFastMath plain = PlainTable();
    static const YFastMath cmov = CmovTable();
    static const YFastMath mmx = MmxTable();
    static const YFastMath mmxExt = MmxExtTable();
    static const YFastMath sse = SseTable();
    switch (form) {
    case MathForm::Plain: return plain;
    case MathForm::Cmov: return cmov;
    case MathForm::Mmx: return mmx;
    case MathForm::MmxExt: return mmxExt;
    case MathForm::Sse: return sse;
    default: break;
    }
#endif
    return kEmpty;
}

bool MathFormBuilt(MathForm form)
{
    const YFastMath& table = MathFormTable(form);
    for (int e = 0; e < kMathEntryCount; ++e)
        if (HasEntry(table, e)) return true;
    return false;
}

int InitMathDispatch(uint32_t featureWord)
{
    g_cpuInfo.selectionWord = featureWord;
    if (!(featureWord & kCpuHasFpu)) return 0;
    const MathSelection selection = SelectMathForms(featureWord);
    for (int e = 0; e < kMathEntryCount; ++e) {
        MathForm form = selection.form[e];
        if (!HasEntry(MathFormTable(form), e)) form = MathForm::Portable;
        CopyEntry(g_fastMath, MathFormTable(form), e);
        g_installed.form[e] = form;
    }
    return 1;
}

MathSelection InstalledMathForms()
{
    return g_installed;
}
