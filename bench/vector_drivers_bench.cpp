// One picture of 200,000 line segments, 10,000 filled polygons and 1,000
// texts written by the PostScript, SVG, DXF, HP-GL and HP-GL/2 drivers through the
// library's drawing routines; each should take well under a second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

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
    for (int i = 0; i < 200000; ++i) {
        if (i % 5000 == 0) IGrColourN(wrgb(i % 256, (i / 256) % 256, 128));
        const auto x = static_cast<float>((i * 37) % 990), y = static_cast<float>((i * 53) % 740);
        igrjoin(x, y, x + 7.5f, y + 3.25f);
    }
    igrfillpattern(4);
    for (int i = 0; i < 10000; ++i) {
        const auto x = static_cast<float>((i * 41) % 980), y = static_cast<float>((i * 29) % 730);
        const float px[6] = {x, x + 10, x + 15, x + 12, x + 4, x};
        const float py[6] = {y, y, y + 8, y + 15, y + 12, y};
        if (i % 100 == 0) IGrColourN(wrgb(255 - i % 256, 64, i % 256));
        IGrPolygonComplex(px, py, 6);
    }
    igrfillpattern(0);
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
