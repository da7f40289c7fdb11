// Writing one 500 x 500 grid file in each layout: Surfer, Arc-Info and a
// MODFLOW matrix, with values of every magnitude the interpolation leaves
// (and the blank value outside the mesh). Reports the peak resident memory
// as the counter peak_MB. Target, one thread: at most 60 ms a file, peak
// memory at most 150 MB.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "app/appdata.h"
#include "app/gridfiles.h"

namespace {

void fill_grids() {
    reset_app_data();
    dat8.nx = dat8.ny = 500;
    dat8.gx0 = 0;
    dat8.gy0 = 0;
    dat8.gx1 = 2110;
    dat8.gy1 = 2110;
    dat8.xll = 0;
    dat8.yll = 0;
    dat8.cellsize = 4.228457f;
    dat16.ncol = dat16.nrow = 500;
    std::uint32_t s = 4711;
    for (int j = 1; j <= 500; ++j) {
        for (int i = 1; i <= 500; ++i) {
            s = s * 1664525u + 1013904223u;
            const float u = static_cast<float>(s >> 8) / static_cast<float>(1u << 24);
            // Heads, transmissivities, resistances and leakances; a rim outside the mesh.
            float v = (i + j) % 4 == 0 ? 1.0f + 30.0f * u : (i + j) % 4 == 1 ? 100.0f + 9000.0f * u
                      : (i + j) % 4 == 2 ? -5.0f + 10.0f * u : 1e-4f * u;
            if (i < 8 || j < 8) v = BlankValue;
            dat7.gridval(i, j) = v;
            dat16.mfval(i, j) = v == BlankValue ? -9999.0f : v;
        }
    }
}

void BM_WriteGrid500(benchmark::State& state) {
    fill_grids();
    const std::string name = "/tmp/gridfiles_bench_" + std::to_string(::getpid()) + ".grd";
    const int type = static_cast<int>(state.range(0));
    for (auto _ : state)
        if (!savegrd(type, name, 1)) state.SkipWithError("grid not written");
    std::remove(name.c_str());
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    state.counters["peak_MB"] = static_cast<double>(u.ru_maxrss) / 1024.0;
}

}  // namespace

// 0 Surfer, 1 Arc-Info, 2 MODFLOW.
BENCHMARK(BM_WriteGrid500)->Arg(GridSurfer)->Arg(GridArcInfo)->Arg(GridModflow)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
