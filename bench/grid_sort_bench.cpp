// Sorting a grid field of 100,000 rows on a double column whose values are
// already in order, reversed, or at random (with repeated keys). Target:
// under 1 s each, one thread, offscreen.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "bench/bench_start.h"
#include "lib/dialog/dialog.h"
#include "lib/grid/grid.h"
#include "lib/window/errors.h"
#include "lib/window/rootwin.h"
#include "platform/os_dialog.h"
#include "platform/os_window.h"

namespace {

constexpr std::int32_t Field = 8891;
constexpr int Rows = 100000;

enum Order { Sorted = 0, Reversed = 1, Random = 2 };

void fill(Order order) {
    std::mt19937 rng(7);
    for (int r = 1; r <= Rows; ++r) {
        const double v = order == Sorted ? r : order == Reversed ? Rows - r : static_cast<double>(rng() % 50000);
        WGridPutCellDouble(Field, 1, r, v);
    }
}

void BM_GridSort(benchmark::State& state) {
    const auto order = static_cast<Order>(state.range(0));
    if (!yygriddata(os_get_dlg_item(yycurrentdialog(), Field))) {
        state.SkipWithError("the grid was not set up");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        fill(order);
        state.ResumeTiming();
        WGridSort(Field, 1);
    }
    if (infoerror(1) != 0) state.SkipWithError("the sort reported an error");
}
BENCHMARK(BM_GridSort)->Arg(Sorted)->Arg(Reversed)->Arg(Random)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    bench_start_offscreen(argc, argv);
    WindowOpen(DefaultWindowFlags, 0, 0, 1024, 768, 0, {}, 0, "grid sort");
    WDialogLoad(8890);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
