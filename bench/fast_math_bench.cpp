// Times every fast-math slot in each form this processor can run, beside the
// portable form.  The form the dispatch picks here is labelled "dispatched".
#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "foundation/YCpuInfo.h"
#include "foundation/YFastMath.h"
#include "foundation/YFastMathForms.h"
#include "foundation/YSineTable.h"
#include "foundation/YVector.h"

namespace {
constexpr int kInputs = 256;  // a power of two

struct Inputs {
    std::vector<float> f, g;
    std::vector<int32_t> i, j;
    std::vector<YVector> a, b;
    std::vector<YMatrix> m, n;
    Inputs()
    {
        std::mt19937 rng(42);
        std::uniform_real_distribution<float> pos(0.5f, 1000.0f), any(-100.0f, 100.0f);
        for (int k = 0; k < kInputs; ++k) {
            f.push_back(pos(rng));
            g.push_back(pos(rng));
            i.push_back(static_cast<int32_t>(rng()));
            j.push_back(static_cast<int32_t>(rng()));
            a.emplace_back(any(rng), any(rng), any(rng));
            b.emplace_back(any(rng), any(rng), any(rng));
            YMatrix x, y;
            for (int e = 0; e < 16; ++e) x.Data()[e] = any(rng), y.Data()[e] = any(rng);
            x.m[0][3] = x.m[1][3] = x.m[2][3] = 0, x.m[3][3] = 1;
            y.m[0][3] = y.m[1][3] = y.m[2][3] = 0, y.m[3][3] = 1;
            m.push_back(x);
            n.push_back(y);
        }
    }
};
// Fetched once per benchmark, outside the timed loop; a call per iteration
// would cost more than most of the routines.
const Inputs& In()
{
    static const Inputs inputs;
    return inputs;
}

using Body = std::function<void(benchmark::State&)>;


Body Make(void (*fn)(YMatrix*))
{
    return [fn](benchmark::State& state) {
        YMatrix d = In().m[0];
        for (auto _ : state) { fn(&d); benchmark::DoNotOptimize(d); }
    };
}
Body Make(void (*fn)(YMatrix*, float, float, float))
{
    return [fn](benchmark::State& state) {
        YMatrix d;
        const Inputs& in = In();
        int k = 0;
        for (auto _ : state) {
            fn(&d, in.a[k].x * 0.01f, in.a[k].y * 0.01f, in.a[k].z * 0.01f);
            benchmark::DoNotOptimize(d);
            k = (k + 1) & (kInputs - 1);
        }
    };
}
Body Make(void (*fn)(YMatrix*, const YVector*))
{
    return [fn](benchmark::State& state) {
        YMatrix d;
        const Inputs& in = In();
        int k = 0;
        for (auto _ : state) { fn(&d, &in.a[k]); benchmark::DoNotOptimize(d); k = (k + 1) & (kInputs - 1); }
    };
}
Body Make(void (*fn)())
{
    return [fn](benchmark::State& state) {
        for (auto _ : state) { fn(); benchmark::ClobberMemory(); }
    };
}
Body Make(void (*fn)(YMatrix*, const YMatrix*, const YMatrix*))
{
    return [fn](benchmark::State& state) {
        YMatrix d;
        const Inputs& in = In();
        int k = 0;
        for (auto _ : state) { fn(&d, &in.m[k], &in.n[k]); benchmark::DoNotOptimize(d); k = (k + 1) & (kInputs - 1); }
    };
}
Body Make(float (*fn)(float))
{
    return [fn](benchmark::State& state) {
        const Inputs& in = In();
        int k = 0;
        for (auto _ : state) { benchmark::DoNotOptimize(fn(in.f[k])); k = (k + 1) & (kInputs - 1); }
    };
}
Body Make(void (*fn)(float*, float*, float))
{
    return [fn](benchmark::State& state) {
        float s, c;
        const Inputs& in = In();
        int k = 0;
        for (auto _ : state) { fn(&s, &c, in.f[k]); benchmark::DoNotOptimize(s); benchmark::DoNotOptimize(c); k = (k + 1) & (kInputs - 1); }
    };
}
Body Make(float (*fn)(const YVector*))
{
    return [fn](benchmark::State& state) {
        const Inputs& in = In();
        int k = 0;
        for (auto _ : state) { benchmark::DoNotOptimize(fn(&in.a[k])); k = (k + 1) & (kInputs - 1); }
    };
}
Body Make(float (*fn)(const YVector*, const YVector*))
{
    return [fn](benchmark::State& state) {
        const Inputs& in = In();
        int k = 0;
        for (auto _ : state) { benchmark::DoNotOptimize(fn(&in.a[k], &in.b[k])); k = (k + 1) & (kInputs - 1); }
    };
}
Body Make(int32_t (*fn)(const YVector*, const YVector*))
{
    return [fn](benchmark::State& state) {
        const Inputs& in = In();
        int k = 0;
        for (auto _ : state) { benchmark::DoNotOptimize(fn(&in.a[k], &in.b[k])); k = (k + 1) & (kInputs - 1); }
    };
}
Body Make(void (*fn)(YVector*, const YVector*, const YVector*))
{
    return [fn](benchmark::State& state) {
        YVector d;
        const Inputs& in = In();
        int k = 0;
        for (auto _ : state) { fn(&d, &in.a[k], &in.b[k]); benchmark::DoNotOptimize(d); k = (k + 1) & (kInputs - 1); }
    };
}
Body Make(void (*fn)(YVector*, const YVector*, float))
{
    return [fn](benchmark::State& state) {
        YVector d;
        const Inputs& in = In();
        int k = 0;
        for (auto _ : state) { fn(&d, &in.a[k], in.f[k]); benchmark::DoNotOptimize(d); k = (k + 1) & (kInputs - 1); }
    };
}
Body Make(void (*fn)(YVector*, const YVector*, const YMatrix*))
{
    return [fn](benchmark::State& state) {
        YVector d;
        const Inputs& in = In();
        int k = 0;
        for (auto _ : state) { fn(&d, &in.a[k], &in.m[k]); benchmark::DoNotOptimize(d); k = (k + 1) & (kInputs - 1); }
    };
}
Body Make(void (*fn)(YVector*, const YVector*))
{
    return [fn](benchmark::State& state) {
        YVector d;
        const Inputs& in = In();
        int k = 0;
        for (auto _ : state) { fn(&d, &in.a[k]); benchmark::DoNotOptimize(d); k = (k + 1) & (kInputs - 1); }
    };
}
// One destination and one source per size, shared by every form, so each
// form writes the same addresses.
struct Buffers {
    std::vector<uint32_t> dst, src;
};
Buffers& BuffersFor(int64_t words)
{
    static std::map<int64_t, Buffers> buffers;
    Buffers& b = buffers[words];
    if (b.dst.empty()) b.dst.assign(size_t(words), 0), b.src.assign(size_t(words), 7);
    return b;
}

Body Make(void (*fn)(uint32_t*, uint32_t))
{
    return [fn](benchmark::State& state) {
        std::vector<uint32_t>& d = BuffersFor(state.range(0)).dst;
        for (auto _ : state) { fn(d.data(), uint32_t(d.size())); benchmark::ClobberMemory(); }
        state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(d.size()) * 4);
    };
}
Body Make(void (*fn)(uint32_t*, uint32_t, uint32_t))
{
    return [fn](benchmark::State& state) {
        std::vector<uint32_t>& d = BuffersFor(state.range(0)).dst;
        for (auto _ : state) { fn(d.data(), uint32_t(d.size()), 0x12345678); benchmark::ClobberMemory(); }
        state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(d.size()) * 4);
    };
}
Body Make(void (*fn)(uint32_t*, const uint32_t*, uint32_t))
{
    return [fn](benchmark::State& state) {
        Buffers& b = BuffersFor(state.range(0));
        for (auto _ : state) { fn(b.dst.data(), b.src.data(), uint32_t(b.dst.size())); benchmark::ClobberMemory(); }
        state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(b.dst.size()) * 4);
    };
}
Body Make(int32_t (*fn)(int32_t, int32_t))
{
    return [fn](benchmark::State& state) {
        const Inputs& in = In();
        int k = 0;
        for (auto _ : state) { benchmark::DoNotOptimize(fn(in.i[k], in.j[k])); k = (k + 1) & (kInputs - 1); }
    };
}
Body Make(float (*fn)(float, float))
{
    return [fn](benchmark::State& state) {
        const Inputs& in = In();
        int k = 0;
        for (auto _ : state) { benchmark::DoNotOptimize(fn(in.f[k], in.g[k])); k = (k + 1) & (kInputs - 1); }
    };
}
Body Make(int32_t (*fn)(float))
{
    return [fn](benchmark::State& state) {
        const Inputs& in = In();
        int k = 0;
        for (auto _ : state) { benchmark::DoNotOptimize(fn(in.f[k])); k = (k + 1) & (kInputs - 1); }
    };
}
Body Make(float (*fn)(int32_t))
{
    return [fn](benchmark::State& state) {
        const Inputs& in = In();
        int k = 0;
        for (auto _ : state) { benchmark::DoNotOptimize(fn(in.i[k])); k = (k + 1) & (kInputs - 1); }
    };
}
// 128 x 128 image with mixed alpha onto a surface; range(0) is the bit depth
Body Make(void (*fn)(const void*, int32_t, int32_t, int32_t, int32_t, int32_t, void*, int32_t,
                     int32_t, int32_t, int32_t, int32_t, int32_t, uint32_t))
{
    return [fn](benchmark::State& state) {
        const int size = 128, bpp = int(state.range(0));
        std::vector<uint32_t> src(size * size);
        std::mt19937 rng(5);
        for (uint32_t& s : src) s = rng();
        for (size_t i = 0; i < src.size(); i += 4) src[i] |= 0xFF000000u, src[i + 1] &= 0x00FFFFFFu;
        std::vector<uint8_t> dst(size * size * bpp / 8, 0x40);
        for (auto _ : state) {
            fn(src.data(), 0, 0, size, size, size * 4, dst.data(), 0, 0, size, size, size * bpp / 8,
               bpp, 0xF800);
            benchmark::ClobberMemory();
        }
        state.SetItemsProcessed(int64_t(state.iterations()) * size * size);
    };
}
}  // namespace

int main(int argc, char** argv)
{
    const uint32_t word = DetectCpuFeatures();
    BuildSineTable();
    InitMathDispatch(word);
    const MathSelection installed = InstalledMathForms();

    std::vector<MathForm> forms = {MathForm::Portable};
    for (int f = 1; f < int(MathForm::Count); ++f)
        if (MathFormBuilt(MathForm(f))) forms.push_back(MathForm(f));

    for (int entry = 0; entry < kMathEntryCount; ++entry)
        for (MathForm form : forms) {
            const YFastMath& t = MathFormTable(form);
            Body body;
            switch (entry) {
#define FM_BENCH(n, name, result, params, args) \
    case n: if (t.name) body = Make(t.name); break;
                YFASTMATH_ENTRIES(FM_BENCH)
#undef FM_BENCH
            }
            if (!body) continue;
            const bool dispatched = installed.form[entry] == form;
            const std::string label = std::string(MathFormName(form)) + (dispatched ? " dispatched" : "");
            char name[96];
            std::snprintf(name, sizeof name, "%02d_%s/%s", entry, MathEntryName(entry), MathFormName(form));
            auto* b = benchmark::RegisterBenchmark(name, [body, label](benchmark::State& state) {
                state.SetLabel(label);
                body(state);
            });
            if (entry >= kEntryMemClearDwords && entry <= kEntryMemCopyDwords) b->Arg(1024)->Arg(153600)->Arg(4 << 20);
            if (entry == kEntryAlphaBlendRect) b->Arg(16)->Arg(32);
        }

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
