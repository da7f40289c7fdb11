#include "app/readout.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "app/appdata.h"
#include "app/interp.h"
#include "app/interp_internal.h"
#include "app/mainstate.h"
#include "app/records.h"
#include "lib/window/winops.h"

bool world_corners(int e, float* xy) {
    const int nnode = std::clamp(dat4.nnode, 0, MaxNodes);
    for (int q = 0; q < 3; ++q) {
        const int n = dat4.elnode(e, q + 1);
        if (n < 1 || n > nnode) return false;
        xy[2 * q] = dat4.xnode(n);
        xy[2 * q + 1] = dat4.ynode(n);
    }
    return true;
}

namespace {

// Buckets of a regular lattice over the mesh's extent; each lists, in
// element order, the elements whose (slightly widened) bounding box meets
// it. A triangle that contains a point lies within its bounding box, so the
// point's bucket holds every element the plain scan could stop at, in the
// same order.
struct Index {
    bool built = false;
    std::uint32_t generation = 0;
    int nelem = 0, nnode = 0;
    bool empty = true;
    float x0 = 0, y0 = 0, cw = 1, ch = 1;
    int nx = 1, ny = 1;
    std::vector<std::int32_t> start;   // per bucket, into elems; size nx*ny + 1
    std::vector<std::int32_t> elems;

    int cell_x(float x) const {
        const float f = std::floor((x - x0) / cw);
        return f < 0.0f ? 0 : f >= static_cast<float>(nx) ? nx - 1 : static_cast<int>(f);
    }
    int cell_y(float y) const {
        const float f = std::floor((y - y0) / ch);
        return f < 0.0f ? 0 : f >= static_cast<float>(ny) ? ny - 1 : static_cast<int>(f);
    }
};

Index mesh_index;

struct Box {
    float xmin, ymin, xmax, ymax;
};

// The bounding box widened by a little more than rounding could move an
// edge, so a point on the box's border is never left out.
bool element_box(int e, Box& b) {
    float xy[6];
    if (!world_corners(e, xy)) return false;
    b.xmin = std::min({xy[0], xy[2], xy[4]});
    b.xmax = std::max({xy[0], xy[2], xy[4]});
    b.ymin = std::min({xy[1], xy[3], xy[5]});
    b.ymax = std::max({xy[1], xy[3], xy[5]});
    if (!std::isfinite(b.xmin) || !std::isfinite(b.xmax) || !std::isfinite(b.ymin) || !std::isfinite(b.ymax))
        return false;
    const float m = 1.0e-5f * std::max({std::fabs(b.xmin), std::fabs(b.xmax), std::fabs(b.ymin), std::fabs(b.ymax),
                                        1.0f});
    b.xmin -= m;
    b.ymin -= m;
    b.xmax += m;
    b.ymax += m;
    return true;
}

void build_index() {
    Index& ix = mesh_index;
    ix.built = true;
    ix.generation = mesh_generation;
    ix.nelem = dat4.nelem;
    ix.nnode = dat4.nnode;
    ix.empty = true;
    const int n = element_count();
    std::vector<Box> boxes(static_cast<std::size_t>(n) + 1);
    std::vector<char> usable(static_cast<std::size_t>(n) + 1, 0);
    Box all{0, 0, 0, 0};
    for (int e = 1; e <= n; ++e) {
        Box& b = boxes[static_cast<std::size_t>(e)];
        if (!element_box(e, b)) continue;
        usable[static_cast<std::size_t>(e)] = 1;
        if (ix.empty) all = b;
        all = {std::min(all.xmin, b.xmin), std::min(all.ymin, b.ymin), std::max(all.xmax, b.xmax),
               std::max(all.ymax, b.ymax)};
        ix.empty = false;
    }
    ix.start.assign(2, 0);
    ix.elems.clear();
    ix.nx = ix.ny = 1;
    if (ix.empty) return;
    // About two elements a bucket.
    const int side = std::clamp(static_cast<int>(std::sqrt(static_cast<double>(n) / 2.0)) + 1, 1, 1024);
    ix.nx = ix.ny = side;
    ix.x0 = all.xmin;
    ix.y0 = all.ymin;
    ix.cw = (all.xmax - all.xmin) / static_cast<float>(side);
    ix.ch = (all.ymax - all.ymin) / static_cast<float>(side);
    if (!(ix.cw > 0.0f) || !std::isfinite(ix.cw)) ix.cw = 1.0f, ix.nx = 1;
    if (!(ix.ch > 0.0f) || !std::isfinite(ix.ch)) ix.ch = 1.0f, ix.ny = 1;
    const std::size_t cells = static_cast<std::size_t>(ix.nx) * static_cast<std::size_t>(ix.ny);
    std::vector<std::int32_t> count(cells + 1, 0);
    auto each_cell = [&](const Box& b, auto&& f) {
        const int i1 = ix.cell_x(b.xmin), i2 = ix.cell_x(b.xmax);
        const int j1 = ix.cell_y(b.ymin), j2 = ix.cell_y(b.ymax);
        for (int j = j1; j <= j2; ++j)
            for (int i = i1; i <= i2; ++i) f(static_cast<std::size_t>(j) * static_cast<std::size_t>(ix.nx) + i);
    };
    for (int e = 1; e <= n; ++e)
        if (usable[static_cast<std::size_t>(e)]) each_cell(boxes[static_cast<std::size_t>(e)], [&](std::size_t c) { ++count[c + 1]; });
    for (std::size_t c = 0; c < cells; ++c) count[c + 1] += count[c];
    ix.start = count;
    ix.elems.assign(static_cast<std::size_t>(count[cells]), 0);
    std::vector<std::int32_t> fill(count.begin(), count.end() - 1);
    for (int e = 1; e <= n; ++e)
        if (usable[static_cast<std::size_t>(e)])
            each_cell(boxes[static_cast<std::size_t>(e)], [&](std::size_t c) { ix.elems[static_cast<std::size_t>(fill[c]++)] = e; });
}

bool index_current() {
    return mesh_index.built && mesh_index.generation == mesh_generation && mesh_index.nelem == dat4.nelem &&
           mesh_index.nnode == dat4.nnode;
}

}  // namespace

int readout_triangle_plain(float x, float y) {
    const int n = element_count();
    for (int e = 1; e <= n; ++e) {
        float xy[6];
        if (!world_corners(e, xy)) continue;
        int inside = 0;
        inpol(x, y, xy, inside, 3);
        if (inside == 1) return e;
    }
    return 0;
}

std::span<const std::int32_t> readout_candidates(float x, float y) {
    if (!index_current()) build_index();
    const Index& ix = mesh_index;
    if (ix.empty || !std::isfinite(x) || !std::isfinite(y)) return {};
    if (x < ix.x0 || y < ix.y0 || x > ix.x0 + ix.cw * static_cast<float>(ix.nx) ||
        y > ix.y0 + ix.ch * static_cast<float>(ix.ny))
        return {};
    const std::size_t c = static_cast<std::size_t>(ix.cell_y(y)) * static_cast<std::size_t>(ix.nx) +
                          static_cast<std::size_t>(ix.cell_x(x));
    return std::span<const std::int32_t>(ix.elems.data() + ix.start[c],
                                         static_cast<std::size_t>(ix.start[c + 1] - ix.start[c]));
}

int readout_triangle(float x, float y) {
    for (const std::int32_t e : readout_candidates(x, y)) {
        float xy[6];
        world_corners(e, xy);
        if (inpol3(x, y, xy) == 1) return e;
    }
    return 0;
}

void value_readout(float px, float py) {
    bool any = false;
    int e = -1;
    for (int k = 0; k < NumGridOptions; ++k) {
        if (dat5.opton(k) != 'j') continue;
        leakage.iopt = k;
        any = true;
        if (e < 0) e = readout_triangle(px, py);
        if (e == 0) continue;
        float xy[6];
        world_corners(e, xy);
        for (int q = 0; q < 6; ++q) dat3.trixy(q + 1) = xy[q];
        float z[3];
        triangle_values(e, k, z);
        for (int q = 0; q < 3; ++q) dat3.triz(q + 1) = z[q];
        const float v = fixy(px, py);
        mainstate.readout = edit_f(v, 12, std::fabs(v) < 0.01f ? 4 : 2);
    }
    leakage.iopt = NumGridOptions;
    // Every option writes the same part in turn; only the last text stays.
    if (any) windowoutstatusbar(2, "value: " + mainstate.readout);
}
