// The value read-out after every message: the largest model (212 x 212
// lattice, 89,042 triangles) with all 52 quantities active, the pointer at
// a different place each message, on and off the mesh. Target, one thread:
// at most 1 ms per message. The plain scan of every triangle is measured
// beside it for comparison.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "app/appdata.h"
#include "app/readout.h"
#include "bench/bench_model.h"

namespace {

std::vector<std::pair<float, float>> pointer_positions() {
    std::mt19937 rng(5);
    const float extent = static_cast<float>(bench_model::Side - 1) * bench_model::Spacing;
    std::uniform_real_distribution<float> u(-0.05f * extent, 1.05f * extent);
    std::vector<std::pair<float, float>> p(4096);
    for (auto& q : p) q = {u(rng), u(rng)};
    return p;
}

// One message's read-out: the triangle found once, the value of each of the
// 52 quantities on it, the status-bar text.
void BM_ReadOutPerMessage(benchmark::State& state) {
    bench_model::build_model(NumGridOptions);
    ++mesh_generation;
    const auto p = pointer_positions();
    readout_triangle(0, 0);   // the index is built once per model
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& [x, y] = p[i++ % p.size()];
        value_readout(x, y);
    }
}

void BM_PlainScanPerMessage(benchmark::State& state) {
    bench_model::build_model(NumGridOptions);
    const auto p = pointer_positions();
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& [x, y] = p[i++ % p.size()];
        benchmark::DoNotOptimize(readout_triangle_plain(x, y));
    }
}

}  // namespace

BENCHMARK(BM_ReadOutPerMessage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainScanPerMessage)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
