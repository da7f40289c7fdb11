// One picture of 200,000 line segments, 10,000 filled polygons and 1,000
// texts written by the PostScript, SVG, DXF, HP-GL and HP-GL/2 drivers through the
// library's drawing routines; each should take well under a second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/bench_scene.h"
#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/graphics/text.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/window/quinda_state.h"

namespace {

// Graphics without a screen on a drawable of 1000 x 750 device units,
// world units equal to them.
void set_up(int driver) {
    static bool started = false;
    if (!started) {
        install_hardcopy_drivers();
        started = true;
    }
    igrinit("H");
    yyresn(gstate.DrawableType, gstate.drawable_id, 1000, 750);
    IGrArea(0, 0, 1, 1);
    IGrUnits(0, 0, 1000, 750);
    igrcolourmodel(24);
    igrhardcopyselect(1, driver);
}

void picture(const std::string& name) {
    igrhardcopy(name);
    draw_bench_lines_and_polygons();
    WGrTextFont(101);
    igrcharsize(0.5f, 0.5f);
    for (int i = 0; i < 1000; ++i) {
        yychrot(static_cast<float>(i % 4) * 30.0f);
        wgrtextstring(static_cast<float>((i * 13) % 900), static_cast<float>((i * 7) % 700), "Groundwater head 12.5");
    }
    yychrot(0);
    igrhardcopy("S");
}

void BM_VectorDriver(benchmark::State& state) {
    const int driver = static_cast<int>(state.range(0));
    const std::string name =
        (std::filesystem::temp_directory_path() / ("vector_bench_" + std::to_string(driver) + ".out")).string();
    set_up(driver);
    for (auto _ : state) picture(name);
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(name));
    std::remove(name.c_str());
}

}  // namespace

BENCHMARK(BM_VectorDriver)
    ->ArgName("driver")
    ->Arg(DriverPostScript)
    ->Arg(DriverSvg)
    ->Arg(DriverDxf)
    ->Arg(DriverHpgl)
    ->Arg(DriverHpgl2)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_MAIN();
