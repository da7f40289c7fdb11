// 200,000 line segments and 10,000 filled polygons written as binary CGM,
// once to a file by hardcopy driver 9 and once into a CGM memory metafile by
// the recorder; each should take under half a second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/bench_start.h"
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
