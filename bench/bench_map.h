#pragma once
// The map view the drawing benchmarks share: a generated lattice model of
// SIDE x SIDE nodes (one aquifer, jittered) read into an offscreen
// 1024 x 768 root window, and the Surfer grid over its extent.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/appdata.h"
#include "app/femread.h"
#include "app/griddef.h"
#include "lib/graphics/colours.h"
#include "lib/window/rootwin.h"
#include "tools/femgen/femgen.h"

inline void load_bench_map_model(int side) {
    const std::string name = "/tmp/bench_map_" + std::to_string(::getpid()) + ".fem";
    femgen::Options o;
    o.nx = o.ny = side;
    o.naq = 1;
    o.jitter = 0.1;
    femgen::write_model(o, name);
    WindowOpen(DefaultWindowFlags, 0, 0, 1024, 768, 0, {}, 0, "map view");
    igrcolourmodel(24);
    if (leesfem(name) != FemLoaded) std::fprintf(stderr, "the model could not be read\n");
    std::remove(name.c_str());
    dat5.opton(3) = 'j';
}

// An N x N Surfer grid over the model's extent.
inline void bench_surfer_grid(int n) {
    dat18.gridtype = GridSurfer;
    dat12.rotang = 0;
    dat8.gx0 = dat11.ext(1);
    dat8.gy0 = dat11.ext(2);
    dat8.gx1 = dat11.ext(3);
    dat8.gy1 = dat11.ext(4);
    dat8.nx = n;
    dat8.ny = n;
    checkgrid(GridSurfer);
}
