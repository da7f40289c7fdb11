// 200,000 line segments and 10,000 filled polygons written as binary CGM,
// once to a file by hardcopy driver 9 and once into a CGM memory metafile by
// the recorder; each should take under half a second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/bench_start.h"
#include "bench/bench_scene.h"
#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/metafiles.h"

namespace {

void units() {
    IGrArea(0, 0, 1, 1);
    IGrUnits(0, 0, 1000, 750);
    igrcolourmodel(24);
}

void drawing() {
    draw_bench_lines_and_polygons();
}

void BM_CgmFile(benchmark::State& state) {
    const std::string name = (std::filesystem::temp_directory_path() / "cgm_bench.cgm").string();
    igrinit("H");
    yyresn(gstate.DrawableType, gstate.drawable_id, 1000, 750);
    units();
    igrhardcopyselect(1, DriverCgm);
    for (auto _ : state) {
        igrhardcopy(name);
        drawing();
        igrhardcopy("S");
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(name));
    std::remove(name.c_str());
}

void BM_CgmMemoryMetafile(benchmark::State& state) {
    constexpr std::int32_t capacity = 8 << 20;
    MemoryMetafile& m = MemoryMetafileTable[0];
    std::int32_t used = 0;
    igrinit();
    for (auto _ : state) {
        m.PagePointsX = 756;
        m.PagePointsY = 540;
        m.DATA.assign(capacity, 0);
        m.Capacity = capacity;
        m.UsedLength = 0;
        m.InUse = 1;
        m.MetafileKind = MetafileCgm;
        IGrSelect(4, 1);
        yygdrv(OpNoOperation);
        IGrSelect(4, 1);
        units();
        drawing();
        yygdrv(OpEndOutput);
        used = m.UsedLength;
        IGrSelect(1);
        WMetafileDestroy(1);
    }
    state.counters["bytes"] = static_cast<double>(used);
}

}  // namespace

BENCHMARK(BM_CgmFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_CgmMemoryMetafile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv) {
    bench_start_offscreen(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
