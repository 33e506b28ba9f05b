// Our Direct3D 7 device against OpenGL in OSMesa (llvmpipe on the calling
// thread, LP_NUM_THREADS=0), drawing the same scenes at 640 x 480, 32 bits:
// triangles and filled megapixels per second for both and the ratio ours /
// llvmpipe per scene. "--agree [folder]" draws one frame of each scene with
// both and fails when they differ beyond a small tolerance (and writes the
// two frames as PPM pictures into the folder).
#include "D3DBenchDevice.h"
#include "D3DBenchMesa.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {
D3DBenchDevice* g_ours = nullptr;
D3DBenchMesa* g_mesa = nullptr;

template <typename Renderer>
void Run(benchmark::State& state, Renderer* renderer, D3DBenchScene::Kind kind)
{
    const D3DBenchScene scene = D3DBenchScene::Make(kind);
    renderer->Setup(scene);
    for (auto _ : state) renderer->Draw(scene);
    state.counters["tri/s"] = benchmark::Counter(scene.Triangles(), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["Mpix/s"] = benchmark::Counter(scene.pixels / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

// The physical yardstick: copying the whole 32-bit target once.
void CopyTarget(benchmark::State& state)
{
    const size_t pixels = static_cast<size_t>(D3DBenchScene::kWidth) * D3DBenchScene::kHeight;
    std::vector<uint32_t> from(pixels, 0x00203040), to(pixels);
    for (auto _ : state) {
        memcpy(to.data(), from.data(), pixels * 4);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.counters["Mpix/s"] = benchmark::Counter(pixels / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

// Keeps the CPU time per frame of every repetition of every benchmark so
// that the ratios of the medians can be printed (both draw on this thread
// alone, and on a shared machine the CPU time holds steadier than the wall
// clock); with repetitions only the medians are shown.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        std::vector<Run> shown;
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration) {
                if (run.iterations > 0)
                    times[run.benchmark_name()].push_back(run.cpu_accumulated_time / static_cast<double>(run.iterations));
                if (!repeated) shown.push_back(run);
            } else if (run.aggregate_name == "median") {
                shown.push_back(run);
            }
        }
        if (!shown.empty()) ConsoleReporter::ReportRuns(shown);
    }
    // The median CPU time per frame of a benchmark; 0 when it did not run.
    double Median(const std::string& name) const
    {
        auto found = times.find(name);
        if (found == times.end() || found->second.empty()) return 0;
        std::vector<double> t = found->second;
        std::sort(t.begin(), t.end());
        const size_t n = t.size();
        return n % 2 ? t[n / 2] : (t[n / 2 - 1] + t[n / 2]) / 2;
    }
    std::map<std::string, std::vector<double>> times;
    bool repeated = false;
};

void WritePpm(const std::string& path, const std::vector<uint32_t>& pixels)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return;
    fprintf(f, "P6\n%d %d\n255\n", D3DBenchScene::kWidth, D3DBenchScene::kHeight);
    for (uint32_t p : pixels) {
        unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                static_cast<unsigned char>(p)};
        fwrite(rgb, 1, 3, f);
    }
    fclose(f);
}

// Both renderers must agree: a mean difference below 2 per channel and
// fewer than 1% of the pixels off by more than 24 (edges and the MIP level
// boundaries fall a little differently).
int Agree(const char* folder)
{
    int failures = 0;
    for (int k = 0; k < D3DBenchScene::kKinds; ++k) {
        const D3DBenchScene scene = D3DBenchScene::Make(static_cast<D3DBenchScene::Kind>(k));
        g_ours->Setup(scene);
        g_ours->Draw(scene);
        g_mesa->Setup(scene);
        g_mesa->Draw(scene);
        const std::vector<uint32_t> a = g_ours->Pixels(), b = g_mesa->Pixels();
        double sum = 0;
        size_t off = 0;
        for (size_t i = 0; i < a.size(); ++i) {
            int worst = 0;
            for (int shift : {0, 8, 16}) {
                int d = std::abs(static_cast<int>((a[i] >> shift) & 0xFF) - static_cast<int>((b[i] >> shift) & 0xFF));
                sum += d;
                worst = std::max(worst, d);
            }
            off += worst > 24;
        }
        const double mean = sum / (3.0 * a.size()), offShare = static_cast<double>(off) / a.size();
        const bool ok = mean < 2.0 && offShare < 0.01;
        printf("%-10s mean difference %.3f, pixels off by more than 24: %.3f%% %s\n", D3DBenchScene::Name(scene.kind),
               mean, offShare * 100, ok ? "ok" : "DIFFER");
        failures += !ok;
        if (folder) {
            WritePpm(std::string(folder) + "/" + D3DBenchScene::Name(scene.kind) + "_ours.ppm", a);
            WritePpm(std::string(folder) + "/" + D3DBenchScene::Name(scene.kind) + "_llvmpipe.ppm", b);
        }
    }
    return failures ? 1 : 0;
}
}  // namespace

int main(int argc, char** argv)
{
    setenv("LP_NUM_THREADS", "0", 1);
    D3DBenchDevice ours;
    D3DBenchMesa mesa;
    if (!ours.Ready() || !mesa.Ready()) {
        fprintf(stderr, "bench_d3d: %s not available\n", ours.Ready() ? "OSMesa" : "our device");
        return 1;
    }
    g_ours = &ours;
    g_mesa = &mesa;
    if (argc > 1 && strcmp(argv[1], "--agree") == 0) return Agree(argc > 2 ? argv[2] : nullptr);

    for (int k = 0; k < D3DBenchScene::kKinds; ++k) {
        const auto kind = static_cast<D3DBenchScene::Kind>(k);
        const std::string name = D3DBenchScene::Name(kind);
        benchmark::RegisterBenchmark(("ours/" + name).c_str(), [kind](benchmark::State& s) { Run(s, g_ours, kind); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("llvmpipe/" + name).c_str(), [kind](benchmark::State& s) { Run(s, g_mesa, kind); })
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("memcpy/target", CopyTarget)->Unit(benchmark::kMillisecond);
    // On a shared machine one run says little: unless told otherwise, each
    // benchmark runs seven times, interleaved with the others, and the
    // median counts.
    std::vector<char*> args(argv, argv + argc);
    bool repetitionsGiven = false;
    for (int i = 1; i < argc; ++i) repetitionsGiven = repetitionsGiven || strstr(argv[i], "--benchmark_repetitions") == argv[i];
    static char repetitions[] = "--benchmark_repetitions=7", interleave[] = "--benchmark_enable_random_interleaving=true";
    if (!repetitionsGiven) {
        args.insert(args.begin() + 1, interleave);
        args.insert(args.begin() + 1, repetitions);
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    RatioReporter reporter;
    for (int i = 1; i < count; ++i) {
        const char* a = args[static_cast<size_t>(i)];
        if (strstr(a, "--benchmark_repetitions=") == a && atoi(a + strlen("--benchmark_repetitions=")) > 1)
            reporter.repeated = true;
    }
    if (!repetitionsGiven) reporter.repeated = true;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printf("\nper CPU second of the drawing thread, median of the repetitions:");
    printf("\n%-10s %14s %12s %14s %12s %8s\n", "scene", "ours tri/s", "ours Mpix/s", "llvmpipe tri/s", "llvm Mpix/s",
           "ratio");
    for (int k = 0; k < D3DBenchScene::kKinds; ++k) {
        const D3DBenchScene scene = D3DBenchScene::Make(static_cast<D3DBenchScene::Kind>(k));
        const std::string name = D3DBenchScene::Name(scene.kind);
        const double a = reporter.Median("ours/" + name), b = reporter.Median("llvmpipe/" + name);
        if (a <= 0 || b <= 0) continue;
        printf("%-10s %14.0f %12.1f %14.0f %12.1f %8.2f\n", name.c_str(), scene.Triangles() / a, scene.pixels / 1e6 / a,
               scene.Triangles() / b, scene.pixels / 1e6 / b, b / a);
    }
    const double copy = reporter.Median("memcpy/target");
    if (copy > 0) {
        const double copyRate = D3DBenchScene::kWidth * D3DBenchScene::kHeight / 1e6 / copy;
        printf("memcpy of the target: %.1f Mpix/s", copyRate);
        const D3DBenchScene layers = D3DBenchScene::Make(D3DBenchScene::kOverdraw);
        const double a = reporter.Median("ours/" + std::string(D3DBenchScene::Name(layers.kind)));
        const double b = reporter.Median("llvmpipe/" + std::string(D3DBenchScene::Name(layers.kind)));
        if (a > 0 && b > 0)
            printf("; %s at %.3f of it (llvmpipe %.3f)", D3DBenchScene::Name(layers.kind), layers.pixels / 1e6 / a / copyRate,
                   layers.pixels / 1e6 / b / copyRate);
        printf("\n");
    }
    benchmark::Shutdown();
    return 0;
}
