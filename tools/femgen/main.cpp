// femgen: writes a synthetic model file, and optionally DELR/DELC files and a
// settings file for it.
//
//   femgen [options] model-file
//     --nodes NX NY        lattice points (default 11 11)
//     --origin X0 Y0       lower-left lattice point (default 0 0)
//     --spacing DX DY      lattice spacing (default 100 100)
//     --jitter J           node displacement as a fraction of the spacing (0..0.15)
//     --seed S             seed of the displacements
//     --aquifers N         0..17 (default 1)
//     --smooth             a smooth, non-linear field instead of the linear one
//     --wells N            number of wells
//     --labels N           number of label lines
//     --extra K            every K-th node gets an extra value on its neighbour line
//     --delr FILE NCOL     column widths over the model's width, in FILE
//     --delc FILE NROW     row heights over the model's height, in FILE
//     --varied             unequal widths and heights
//     --settings DIR       a settings file (zeltramo.ini) in DIR: a Surfer grid of
//                          50 x 50 points over the model, head of aquifer 1 active
//     --grid NX NY         the settings file's Surfer grid has NX x NY points
//     --modflow            the settings file names the MODFLOW grid of --delr and
//                          --delc instead (rows listed from the bottom up)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/appdata.h"
#include "app/settings.h"
#include "lib/window/text.h"
#include "tools/femgen/femgen.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: femgen [--nodes NX NY] [--origin X0 Y0] [--spacing DX DY] [--jitter J] [--seed S]\n"
                 "              [--aquifers N] [--smooth] [--wells N] [--labels N] [--extra K]\n"
                 "              [--delr FILE NCOL] [--delc FILE NROW] [--varied] [--settings DIR]\n"
                 "              [--grid NX NY] [--modflow] model-file\n");
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    femgen::Options o;
    std::string model, delr, delc, settings;
    int ncol = 0, nrow = 0;
    bool varied = false, modflow = false;
    int gnx = 50, gny = 50;
    for (int a = 1; a < argc; ++a) {
        const std::string arg = argv[a];
        const auto need = [&](int n) { return a + n < argc; };
        if (arg == "--nodes" && need(2)) {
            o.nx = std::atoi(argv[++a]);
            o.ny = std::atoi(argv[++a]);
        } else if (arg == "--origin" && need(2)) {
            o.x0 = std::atof(argv[++a]);
            o.y0 = std::atof(argv[++a]);
        } else if (arg == "--spacing" && need(2)) {
            o.dx = std::atof(argv[++a]);
            o.dy = std::atof(argv[++a]);
        } else if (arg == "--jitter" && need(1)) {
            o.jitter = std::atof(argv[++a]);
        } else if (arg == "--seed" && need(1)) {
            o.seed = std::strtoull(argv[++a], nullptr, 10);
        } else if (arg == "--aquifers" && need(1)) {
            o.naq = std::atoi(argv[++a]);
        } else if (arg == "--smooth") {
            o.field = femgen::Field::Smooth;
        } else if (arg == "--wells" && need(1)) {
            o.nwell = std::atoi(argv[++a]);
        } else if (arg == "--labels" && need(1)) {
            o.nlabel = std::atoi(argv[++a]);
        } else if (arg == "--extra" && need(1)) {
            o.extra_every = std::atoi(argv[++a]);
        } else if (arg == "--delr" && need(2)) {
            delr = argv[++a];
            ncol = std::atoi(argv[++a]);
        } else if (arg == "--delc" && need(2)) {
            delc = argv[++a];
            nrow = std::atoi(argv[++a]);
        } else if (arg == "--varied") {
            varied = true;
        } else if (arg == "--grid" && need(2)) {
            gnx = std::atoi(argv[++a]);
            gny = std::atoi(argv[++a]);
        } else if (arg == "--modflow") {
            modflow = true;
        } else if (arg == "--settings" && need(1)) {
            settings = argv[++a];
        } else if (!arg.empty() && arg[0] != '-' && model.empty()) {
            model = arg;
        } else {
            return usage();
        }
    }
    if (model.empty() || o.nx < 2 || o.ny < 2 || o.naq < 0 || o.naq > MaxAquifers || o.nx * o.ny > MaxNodes ||
        ncol < 0 || ncol > MaxModflow || nrow < 0 || nrow > MaxModflow || gnx < 2 || gny < 2 ||
        gnx > MaxGridPoints || gny > MaxGridPoints || (modflow && (delr.empty() || delc.empty())))
        return usage();
    if (!femgen::write_model(o, model)) {
        std::fprintf(stderr, "femgen: cannot write %s\n", model.c_str());
        return 2;
    }
    const femgen::Mesh m = femgen::make_mesh(o);
    if (!delr.empty() && !femgen::write_text(delr, femgen::spacing_text(femgen::spacings(ncol, m.xmax - m.xmin, varied)))) {
        std::fprintf(stderr, "femgen: cannot write %s\n", delr.c_str());
        return 2;
    }
    if (!delc.empty() && !femgen::write_text(delc, femgen::spacing_text(femgen::spacings(nrow, m.ymax - m.ymin, varied)))) {
        std::fprintf(stderr, "femgen: cannot write %s\n", delc.c_str());
        return 2;
    }
    if (!settings.empty()) {
        reset_app_data();
        std::string dir = settings;
        if (dir.back() != '/') dir += '/';
        dat19.lhome = static_cast<int>(dir.size());
        dat19.home = dir;
        dat18.gridtype = GridSurfer;
        dat8.gx0 = m.xmin;
        dat8.gy0 = m.ymin;
        dat8.gx1 = m.xmax;
        dat8.gy1 = m.ymax;
        dat8.nx = gnx;
        dat8.ny = gny;
        if (modflow) {
            dat18.gridtype = GridModflow;
            dat17.delrfile = txt_fixed(delr, TextLength);
            dat17.delcfile = txt_fixed(delc, TextLength);
            dat18.roworder = 2;
        }
        dat5.opton(3) = 'j';
        // The model is named as the caller gave it, relative to where the
        // program will run.
        if (!write_settings(model)) return 2;
    }
    return 0;
}
