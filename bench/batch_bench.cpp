// A whole batch run in process, as the program performs it for a settings
// file named on its command line: the largest model (212 x 212 lattice,
// 44,944 nodes, 89,042 triangles, 17 aquifers) read with its triangles, one
// quantity interpolated onto a 500 x 500 Surfer grid or onto 500 x 500
// MODFLOW cell centres, the grid file written, the closing redraw of the map
// view (mesh, contours, grid points or cell network, nodal areas) into the
// offscreen root window, and the settings file rewritten. The program's
// start-up (library, root window, menu, tool bar) is done once, outside the
// measurement. Target, one thread: at most 250 ms a run.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/appdata.h"
#include "app/mainprog.h"
#include "app/mainstate.h"
#include "app/settings.h"
#include "lib/window/text.h"
#include "platform/os_app.h"
#include "platform/os_config.h"
#include "tools/femgen/femgen.h"

namespace {

constexpr int Side = 212;
constexpr int Points = 500;

std::string work_dir() {
    static const std::string dir = [] {
        std::string d = "/tmp/batch_bench_" + std::to_string(::getpid()) + "/";
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

// The model, the DELR and DELC files and a settings file of each grid type,
// written as the model generator writes them.
void write_inputs() {
    const std::string d = work_dir();
    femgen::Options o;
    o.nx = o.ny = Side;
    o.dx = o.dy = 10;
    o.naq = 17;
    o.jitter = 0.1;
    o.field = femgen::Field::Smooth;
    o.nwell = 100;
    o.nlabel = 10;
    femgen::write_model(o, d + "model.fem");
    const femgen::Mesh m = femgen::make_mesh(o);
    femgen::write_text(d + "delr", femgen::spacing_text(femgen::spacings(Points, m.xmax - m.xmin, false)));
    femgen::write_text(d + "delc", femgen::spacing_text(femgen::spacings(Points, m.ymax - m.ymin, false)));
    for (const int type : {GridSurfer, GridModflow}) {
        reset_app_data();
        dat19.home = txt_fixed(d, TextLength);
        dat19.lhome = static_cast<std::int32_t>(d.size());
        dat18.gridtype = type;
        dat8.gx0 = m.xmin;
        dat8.gy0 = m.ymin;
        dat8.gx1 = m.xmax;
        dat8.gy1 = m.ymax;
        dat8.nx = dat8.ny = Points;
        dat17.delrfile = txt_fixed(d + "delr", TextLength);
        dat17.delcfile = txt_fixed(d + "delc", TextLength);
        dat18.roworder = 2;
        dat5.opton(3) = 'j';
        write_settings(d + "model.fem");
        std::filesystem::rename(d + "zeltramo.ini", d + (type == GridSurfer ? "surfer.ini" : "modflow.ini"));
    }
}

void BM_BatchRun(benchmark::State& state, const char* settings) {
    const std::string name = work_dir() + settings;
    for (auto _ : state) {
        mainstate.femname = txt_fixed(name, TextLength);
        if (batch_run() != 0) state.SkipWithError("the batch run failed");
    }
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    state.counters["peak_MB"] = static_cast<double>(ru.ru_maxrss) / 1024.0;
}

}  // namespace

BENCHMARK_CAPTURE(BM_BatchRun, Surfer1, "surfer.ini")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BatchRun, Modflow1, "modflow.ini")->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    benchmark::Initialize(&argc, argv);
    write_inputs();
    os_app_start(argc, argv);
    os_config_set(os_config_test_profile());
    if (::chdir(work_dir().c_str()) != 0 || main_startup() != 0) {
        std::fprintf(stderr, "the program could not start\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(work_dir());
    return 0;
}
