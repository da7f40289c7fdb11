// Loading the largest model the program holds: a 212 x 212 lattice (44,944
// nodes, 89,042 triangles) with 17 aquifers, read, its triangles built and
// copied into the data blocks. Reports the peak resident memory of the
// process as the counter peak_MB. Target, one thread: at most 100 ms a load,
// peak memory at most 150 MB.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/femread.h"
#include "lib/graphics/colours.h"
#include "tools/femgen/femgen.h"

namespace {

const std::string& model_file() {
    static const std::string name = [] {
        std::string n = "/tmp/femread_bench_" + std::to_string(::getpid()) + ".fem";
        femgen::Options o;
        o.nx = o.ny = 212;
        o.naq = 17;
        o.jitter = 0.1;
        o.nwell = 100;
        o.nlabel = 10;
        femgen::write_model(o, n);
        return n;
    }();
    return name;
}

double peak_mb() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;
}

void BM_LoadModel212x17(benchmark::State& state) {
    igrcolourmodel(24);
    const std::string& name = model_file();
    for (auto _ : state) {
        const int st = leesfem(name);
        if (st != FemLoaded || dat4.nelem != 89042) state.SkipWithError("model not loaded");
    }
    state.counters["peak_MB"] = peak_mb();
}

void BM_BuildTriangles212(benchmark::State& state) {
    FemModel m;
    igrcolourmodel(24);
    if (read_fem_model(model_file(), m) != FemLoaded) state.SkipWithError("model not read");
    for (auto _ : state) benchmark::DoNotOptimize(build_triangles(m));
}

}  // namespace

BENCHMARK(BM_LoadModel212x17)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildTriangles212)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::remove(model_file().c_str());
    return 0;
}
