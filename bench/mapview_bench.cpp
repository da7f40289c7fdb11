// Redrawing the map view of the largest model: a 212 x 212 lattice (44,944
// nodes, 89,042 triangles) with the head of the first aquifer interpolated
// onto a 500 x 500 Surfer grid and drawn with filled contours (the filled
// pass and the white-line pass) and the mesh, into an offscreen 1024 x 768
// root window. Target, one thread: at most 100 ms a redraw. For comparison:
// the default Arc-Info grid the FEM file command sets (100 points across the
// smaller side), the mesh alone and the nodal areas alone.
#include <benchmark/benchmark.h>


#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/appdata.h"
#include "bench/bench_map.h"
#include "bench/bench_start.h"
#include "app/griddef.h"
#include "app/interp.h"
#include "app/mapview.h"
#include "app/contour.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/colours.h"
#include "lib/window/rootwin.h"
#include "lib/window/startup.h"
#include "platform/os_app.h"
#include "platform/os_config.h"

namespace {

// The model loaded once into an offscreen root window.
void load_model() {
    static bool loaded = false;
    if (loaded) return;
    loaded = true;
    load_bench_map_model(212);
}

// Interpolates the active quantity onto the current grid (without redraws
// of its own that count).
void interpolate() { grid(0, 0, 0, 0, 0, 0, 0, 0); }

void surfer_grid(int n) { bench_surfer_grid(n); }

void BM_FilledContoursSurfer500(benchmark::State& state) {
    load_model();
    surfer_grid(500);
    interpolate();
    for (auto _ : state) plot(1, 1, 0, 1, 0, 0, 1, 0, 0);
    state.counters["levels"] = numberiso.niso;
}
BENCHMARK(BM_FilledContoursSurfer500)->Unit(benchmark::kMillisecond);

void BM_FilledContoursDefaultArcInfo(benchmark::State& state) {
    load_model();
    // As the FEM file command sets it: cell size the smaller spacing of 100
    // points over the view.
    dat18.gridtype = GridArcInfo;
    dat12.rotang = 0;
    const float w = dat9.vxmax - dat9.vxmin, h = dat9.vymax - dat9.vymin;
    dat8.xll = dat9.vxmin;
    dat8.yll = dat9.vymin;
    dat8.cellsize = std::min(w / 99, h / 99);
    dat8.nx = static_cast<int>(w / dat8.cellsize);
    dat8.ny = static_cast<int>(h / dat8.cellsize);
    checkgrid(GridArcInfo);
    interpolate();
    for (auto _ : state) plot(1, 1, 0, 1, 0, 0, 1, 0, 0);
    state.counters["cells"] = dat8.nx * dat8.ny;
}
BENCHMARK(BM_FilledContoursDefaultArcInfo)->Unit(benchmark::kMillisecond);

void BM_MeshAlone(benchmark::State& state) {
    load_model();
    for (auto _ : state) plot(1, 1, 0, 0, 0, 0, 1, 0, 0);
}
BENCHMARK(BM_MeshAlone)->Unit(benchmark::kMillisecond);

// The nodal areas shown alone: every node's polygon computed and its
// outline drawn, as the closing redraw of a batch run does.
void BM_NodalAreasShown(benchmark::State& state) {
    load_model();
    for (auto _ : state) plot(1, 0, 0, 0, 0, 0, 1, 1, 0);
}
BENCHMARK(BM_NodalAreasShown)->Unit(benchmark::kMillisecond);

// One contour pass (argument: the style, 1 filled, 0 white lines) with the
// 500 x 500 grid, with and without the screen: how the redraw divides
// between the contouring and the drawing.
void BM_ContourPassWithoutScreen(benchmark::State& state) {
    load_model();
    surfer_grid(500);
    interpolate();
    plot(1, 1, 0, 1, 0, 0, 1, 0, 0);
    const int flag = gstate.screen_flag;
    gstate.screen_flag = 0;
    for (auto _ : state) iso_lines(20, static_cast<int>(state.range(0)));
    gstate.screen_flag = flag;
}
BENCHMARK(BM_ContourPassWithoutScreen)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_ContourPass(benchmark::State& state) {
    load_model();
    for (auto _ : state) iso_lines(20, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_ContourPass)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The filled pass alone of the 500 x 500 Surfer grid on the screen: some
// 300,000 polygons of a pixel or two.
void BM_FilledPassSurfer500(benchmark::State& state) {
    load_model();
    surfer_grid(500);
    interpolate();
    for (auto _ : state) iso_lines(20, 1);
}
BENCHMARK(BM_FilledPassSurfer500)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    bench_start_offscreen(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
