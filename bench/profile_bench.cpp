// Profiles and the river-line intersection on the largest model (212 x 212
// lattice, 44,944 nodes, 89,042 triangles), in an offscreen root window.
// Targets, one thread, at most 0.5 s each: a 5000-point diagonal profile
// with all 52 quantities active (results and pen-plot files written), and
// a river line of 2,000 segments zig-zagging across the model (three
// parameter files and the echo file written, the areas hit filled).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/appdata.h"
#include "bench/bench_start.h"
#include "app/intersect.h"
#include "app/nodal.h"
#include "app/profile.h"
#include "app/records.h"
#include "bench/bench_model.h"
#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/window/rootwin.h"
#include "lib/window/startup.h"
#include "lib/window/text.h"
#include "platform/os_app.h"
#include "platform/os_config.h"

namespace {

std::string work_dir() {
    static const std::string dir = [] {
        const std::string d = "/tmp/profile_bench_" + std::to_string(::getpid()) + "/";
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

void setup(int active) {
    bench_model::build_model(active);
    ++mesh_generation;
    dat19.home = txt_fixed(work_dir(), TextLength);
    dat19.lhome = static_cast<int>(work_dir().size());
    const float extent = static_cast<float>(bench_model::Side - 1) * bench_model::Spacing;
    IGrArea(0.1f, 0.1f, 0.9f, 0.9f);
    IGrUnits(0, 0, extent, extent);
}

// The model with all quantities active and the profile along its diagonal
// computed once (the triangle index is built once per model); the name of
// its results file.
std::string diagonal_profile() {
    setup(NumGridOptions);
    const float extent = static_cast<float>(bench_model::Side - 1) * bench_model::Spacing;
    dat30.px1 = 0;
    dat30.py1 = 0;
    dat30.px2 = extent;
    dat30.py2 = extent;
    std::string name = txt_fixed(work_dir() + "profile.res", TextLength);
    calcprof(MaxProfilePoints, name);
    return name;
}

void BM_DiagonalProfile5000(benchmark::State& state) {
    std::string name = diagonal_profile();
    for (auto _ : state) calcprof(MaxProfilePoints, name);
}

// The 260,000 values of that profile (5000 points, 52 quantities) written
// as the results file writes them, against the plain G15.4 of the same
// values: the digits that read back should cost at most twice as much.
const std::vector<float>& profile_values() {
    static const std::vector<float> values = [] {
        diagonal_profile();
        return std::vector<float>(dat30.prof.a.begin(), dat30.prof.a.end());
    }();
    return values;
}

template <class Edit>
void edit_values(benchmark::State& state, Edit edit) {
    const std::vector<float>& values = profile_values();
    for (auto _ : state) {
        std::size_t chars = 0;
        for (const float v : values) chars += edit(v).size();
        benchmark::DoNotOptimize(chars);
    }
    state.counters["values"] = static_cast<double>(values.size());
}

void BM_EditGExact260000(benchmark::State& state) {
    edit_values(state, [](float v) { return edit_g_exact(v, 15, 4); });
}

void BM_EditG260000(benchmark::State& state) {
    edit_values(state, [](float v) { return edit_g(v, 15, 4); });
}

void BM_River2000Segments(benchmark::State& state) {
    setup(0);
    const float extent = static_cast<float>(bench_model::Side - 1) * bench_model::Spacing;
    float total = 0;
    nodal_area(0, 0, total);
    // 2,000 segments of about 15 units across the model's diagonal band.
    TextOut r;
    r.create(work_dir() + "river.ung");
    r.line("1");
    for (int k = 0; k <= 2000; ++k) {
        const float t = static_cast<float>(k) / 2000.0f;
        const float x = 5 + t * (extent - 10), y = 5 + t * (extent - 10) + 40.0f * std::sin(0.3f * k);
        r.line(edit_f(x, 12, 3) + edit_f(y, 12, 3));
    }
    r.line("END");
    r.line("END");
    r.commit();
    TextOut a;
    a.create(work_dir() + "river.att");
    a.line("id wl1 wl2 bl1 bl2 w1 w2 c");
    a.line("1 5 4 3 2 10 12 2");
    a.commit();
    const std::string d = work_dir();
    for (auto _ : state)
        snijden(d + "river.ung", d + "wl.par", d + "bl.par", d + "rs.par", d + "river.att", 1);
}

}  // namespace

BENCHMARK(BM_DiagonalProfile5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_River2000Segments)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditGExact260000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditG260000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    bench_start_offscreen(argc, argv);
    WindowOpen(DefaultWindowFlags, 0, 0, 1024, 768, 0, {}, 0, "profiles");
    igrcolourmodel(24);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(work_dir());
    return 0;
}
