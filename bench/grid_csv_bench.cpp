// Saving a grid field of 200,000 rows by 8 columns of mixed types (texts,
// an integer, a real, doubles, a check box and a menu) as comma-separated
// text, and loading that file back. Target: under 2 s each, one thread,
// offscreen.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <string>

#include "bench/bench_start.h"
#include "lib/dialog/dialog.h"
#include "lib/grid/grid.h"
#include "lib/grid/grid_files.h"
#include "lib/window/errors.h"
#include "lib/window/rootwin.h"
#include "platform/os_dialog.h"

namespace {

constexpr std::int32_t Field = 8894;
constexpr int Rows = 200000;

std::string file_name() { return "/tmp/grid_csv_bench_" + std::to_string(::getpid()) + ".csv"; }

void fill() {
    for (int r = 1; r <= Rows; ++r) {
        std::int32_t s = Field;
        const std::string name = "well \"" + std::to_string(r) + "\", east";
        yygridputcellstring(s, 0, r - 1, 0.0, name, "", static_cast<std::int32_t>(name.size()) + 1, 1);
        WGridPutCellInteger(Field, 2, r, r % 1000);
        WGridPutCellReal(Field, 3, r, static_cast<float>(r) * 0.25f);
        WGridPutCellDouble(Field, 4, r, 1000.0 / r);
        WGridPutCellCheckBox(Field, 5, r, r % 2);
        WGridPutCellOption(Field, 6, r, 1 + r % 3);
        const std::string note = "note " + std::to_string(r % 97);
        yygridputcellstring(s, 6, r - 1, 0.0, note, "", static_cast<std::int32_t>(note.size()) + 1, 1);
        WGridPutCellDouble(Field, 8, r, -0.5 * r);
    }
}

bool ready(benchmark::State& state) {
    if (yygriddata(os_get_dlg_item(yycurrentdialog(), Field))) return true;
    state.SkipWithError("the grid was not set up");
    return false;
}

void BM_WGridSave(benchmark::State& state) {
    if (!ready(state)) return;
    for (auto _ : state) WGridSave(Field, file_name());
    if (infoerror(1) != 0) state.SkipWithError("the save reported an error");
}
BENCHMARK(BM_WGridSave)->Unit(benchmark::kMillisecond);

void BM_WGridLoad(benchmark::State& state) {
    if (!ready(state)) return;
    WGridSave(Field, file_name());
    for (auto _ : state) WGridLoad(Field, file_name());
    if (infoerror(1) != 0) state.SkipWithError("the load reported an error");
}
BENCHMARK(BM_WGridLoad)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    bench_start_offscreen(argc, argv);
    WindowOpen(DefaultWindowFlags, 0, 0, 1024, 768, 0, {}, 0, "grid files");
    WDialogLoad(8893);
    fill();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::remove(file_name().c_str());
    return 0;
}
