// The vector file drivers (PostScript, SVG, DXF, HP-GL, HP-GL/2, CGM)
// writing two pictures through the library's drawing routines:
// - VectorDriver: 200,000 line segments, 10,000 filled polygons and 1,000
//   texts (PostScript: at most 0.25 s);
// - MapToDriver: the map view of a 141 x 141 lattice (19,881 nodes) with
//   the head interpolated onto a 500 x 500 Surfer grid, filled contours and
//   the mesh, drawn on the screen and the driver at once (every driver: at
//   most 1 s); MapScreenOnly draws it on the screen alone.
// Counters: the file's bytes and the write calls it took (at most
// bytes / 32 KB + 10). With BENCH_KEEP_DIR set, the files are left in that
// directory (named by picture and driver) for comparing them byte for byte.
#include <benchmark/benchmark.h>

#include <unistd.h>


#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/appdata.h"
#include "app/interp.h"
#include "app/mapview.h"
#include "bench/bench_map.h"
#include "bench/bench_scene.h"
#include "bench/bench_start.h"
#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/graphics/text.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/window/quinda_state.h"
#include "lib/window/startup.h"
#include "platform/os_file.h"

namespace {

void install_drivers() {
    static bool installed = false;
    if (!installed) install_hardcopy_drivers();
    installed = true;
}

// Graphics without a screen on a drawable of 1000 x 750 device units,
// world units equal to them.
void set_up(int driver) {
    install_drivers();
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

std::string output_name(const std::string& picture, int driver) {
    return (std::filesystem::temp_directory_path() /
            (picture + "_" + std::to_string(driver) + "_" + std::to_string(::getpid()) + ".out"))
        .string();
}

// The counters of the last file, which is then kept or removed.
void finish(benchmark::State& state, const std::string& name, const std::string& picture, int driver,
            std::uint64_t writes) {
    const auto bytes = std::filesystem::file_size(name);
    state.counters["bytes"] = static_cast<double>(bytes);
    state.counters["writes"] = static_cast<double>(writes);
    state.counters["write_limit"] = static_cast<double>(bytes / (32 << 10) + 10);
    if (const char* keep = std::getenv("BENCH_KEEP_DIR")) {
        const auto kept = std::filesystem::path(keep) / (picture + "_" + std::to_string(driver));
        std::filesystem::copy_file(name, kept, std::filesystem::copy_options::overwrite_existing);
    }
    std::remove(name.c_str());
}

void BM_VectorDriver(benchmark::State& state) {
    const int driver = static_cast<int>(state.range(0));
    const std::string name = output_name("vector", driver);
    set_up(driver);
    std::uint64_t writes = 0;
    for (auto _ : state) {
        const std::uint64_t before = os_file_write_calls();
        picture(name);
        writes = os_file_write_calls() - before;
    }
    finish(state, name, "vector", driver, writes);
}

// The model and its grid, once, in an offscreen root window.
void load_map() {
    static bool loaded = false;
    if (loaded) return;
    loaded = true;
    install_drivers();
    load_bench_map_model(141);
    bench_surfer_grid(500);
    grid(0, 0, 0, 0, 0, 0, 0, 0);
}

void BM_MapToDriver(benchmark::State& state) {
    const int driver = static_cast<int>(state.range(0));
    const std::string name = output_name("map", driver);
    load_map();
    igrhardcopyselect(1, driver);
    std::uint64_t writes = 0;
    for (auto _ : state) {
        const std::uint64_t before = os_file_write_calls();
        igrhardcopy(name);
        plot(1, 1, 0, 1, 0, 0, 1, 0, 0);
        igrhardcopy("S");
        writes = os_file_write_calls() - before;
    }
    state.counters["nodes"] = dat4.nnode;
    finish(state, name, "map", driver, writes);
}

// The same map on the screen alone: what the drivers' figures hold
// besides the drivers.
void BM_MapScreenOnly(benchmark::State& state) {
    load_map();
    for (auto _ : state) plot(1, 1, 0, 1, 0, 0, 1, 0, 0);
}

void every_vector_driver(benchmark::internal::Benchmark* b) {
    b->ArgName("driver");
    for (int d : {DriverPostScript, DriverSvg, DriverDxf, DriverHpgl, DriverHpgl2, DriverCgm}) b->Arg(d);
    b->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_VectorDriver)->Apply(every_vector_driver)->MinTime(2.0);
BENCHMARK(BM_MapToDriver)->Apply(every_vector_driver);
BENCHMARK(BM_MapScreenOnly)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    bench_start_offscreen(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
