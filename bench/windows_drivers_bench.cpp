// One picture of 200,000 line segments and 10,000 filled polygons printed
// on the PDF printer (target under 3 s) and written as a placeable
// metafile (target under 0.5 s) through the library's drawing routines.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bench/bench_scene.h"
#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/hardcopy/hardcopy.h"
#include "platform/os_app.h"
#include "platform/os_config.h"

namespace {

const std::filesystem::path kDir = std::filesystem::temp_directory_path() / "quinda_windows_bench";

// Graphics without a screen on a drawable of 1000 x 750 device units,
// world units equal to them; the machine's printer is the PDF printer.
void set_up(int driver) {
    static bool started = false;
    if (!started) {
        os_config().printer_name.clear();
        std::filesystem::create_directories(kDir);
        os_config().print_directory = kDir.string();
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

void picture(const std::optional<std::string>& name) {
    igrhardcopy(name, std::string("windows_bench"));
    draw_bench_lines_and_polygons();
    igrhardcopy("S");
}

void BM_PdfPrinter(benchmark::State& state) {
    set_up(DriverWindowsPrinter);
    for (auto _ : state) picture(std::nullopt);
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(kDir / "windows_bench.pdf"));
}

void BM_PlaceableMetafile(benchmark::State& state) {
    set_up(DriverWindowsMetafile);
    const std::string name = (kDir / "windows_bench.wmf").string();
    for (auto _ : state) picture(name);
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(name));
}

}  // namespace

BENCHMARK(BM_PdfPrinter)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PlaceableMetafile)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    os_app_start(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::filesystem::remove_all(kDir);
    return 0;
}
