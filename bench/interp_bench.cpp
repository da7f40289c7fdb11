// Interpolation of the largest model the data blocks hold: a 212 x 212
// lattice (44,944 nodes, 89,042 triangles) with 17 aquifers, all 52
// quantities active (and one, for comparison), onto a 500 x 500 grid and
// onto 500 x 500 MODFLOW cell centres. The model is built in memory, as the
// model reader would leave it. Targets, one thread: at most 300 ms each with
// 52 quantities, peak memory at most 150 MB.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>

#include "app/appdata.h"
#include "bench/bench_model.h"
#include "app/griddef.h"
#include "app/interp.h"
#include "app/modflow.h"
#include "app/nodal.h"
#include "lib/window/text.h"

namespace {

using bench_model::Side;
using bench_model::Spacing;
using bench_model::build_model;

void report_memory(benchmark::State& state) {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    state.counters["peak_MB"] = static_cast<double>(ru.ru_maxrss) / 1024.0;
    state.counters["nodes"] = dat4.nnode;
    state.counters["triangles"] = dat4.nelem;
}

void setup_grid(int active) {
    build_model(active);
    const float extent = static_cast<float>(Side - 1) * Spacing;
    dat8.gx0 = 0;
    dat8.gy0 = 0;
    dat8.gx1 = extent;
    dat8.gy1 = extent;
    dat8.nx = 500;
    dat8.ny = 500;
    checkgrid(GridSurfer);
}

void BM_GridAllQuantities500(benchmark::State& state) {
    setup_grid(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        // No model shown (loaded 0): the map view's redraws are mapview_bench's.
        grid(1, 1, 0, 1, 1, 0, 0, 0);
        benchmark::DoNotOptimize(dat7.gridval.a.data());
    }
    report_memory(state);
}

// The same with auto-save on: the 52 Surfer files written as well.
void BM_GridAutoSave52(benchmark::State& state) {
    setup_grid(NumGridOptions);
    const std::string dir = "/tmp/interp_bench_" + std::to_string(::getpid()) + "/";
    std::filesystem::create_directories(dir);
    dat18.gridtype = GridSurfer;
    dat19.home = txt_fixed(dir, TextLength);
    dat19.lhome = static_cast<int>(dir.size());
    for (auto _ : state) grid(1, 1, 0, 1, 1, 0, 0, 1);
    std::filesystem::remove_all(dir);
    report_memory(state);
}

void BM_ModflowAllQuantities500(benchmark::State& state) {
    build_model(static_cast<int>(state.range(0)));
    const float extent = static_cast<float>(Side - 1) * Spacing;
    dat8.gx0 = 0;
    dat8.gy0 = 0;
    dat16.ncol = 500;
    dat16.nrow = 500;
    for (int c = 1; c <= 500; ++c) dat16.delr(c) = extent / 500.0f;
    for (int r = 1; r <= 500; ++r) dat16.delc(r) = extent / 500.0f;
    int ierr = 0;
    delr_c("", 0, dat16.ncol, dat16.delr, dat8.gx0, dat16.xcen, ierr);
    delr_c("", 0, dat16.nrow, dat16.delc, dat8.gy0, dat16.ycen, ierr);
    dat8.gx1 = dat16.xcen(500) + 0.5f * dat16.delr(500);
    dat8.gy1 = dat16.ycen(500) + 0.5f * dat16.delc(500);
    for (auto _ : state) {
        modflow_grid(-1, 1, 0, 1, 1, 1, 0, 0);
        benchmark::DoNotOptimize(dat16.mfval.a.data());
    }
    report_memory(state);
}

// The nodal areas of every node of the model, as the closing redraw
// computes them (outlines drawn to no device); the lattice's coordinates are
// whole multiples of its spacing, so every midpoint is exact.
void BM_NodalAreas(benchmark::State& state) {
    build_model(1);
    for (auto _ : state) {
        float total = 0;
        nodal_area(0, 0, total);
        benchmark::DoNotOptimize(total);
    }
}

}  // namespace

BENCHMARK(BM_NodalAreas)->Unit(benchmark::kMillisecond);
// The argument is the number of active quantities: 52 is the figure to meet;
// 1 shows the share of the covering pass.
BENCHMARK(BM_GridAllQuantities500)->Arg(52)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ModflowAllQuantities500)->Arg(52)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GridAutoSave52)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
