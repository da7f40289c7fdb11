#include "tests/app/interp_mesh.h"

#include <cmath>

#include "app/appdata.h"

void build_lattice(const Lattice& l) {
    std::uint32_t s = l.seed;
    auto next = [&s] {
        s = s * 1664525u + 1013904223u;
        return static_cast<float>(s >> 8) / static_cast<float>(1u << 24) * 2.0f - 1.0f;
    };
    dat4.nnode = l.nx * l.ny;
    for (int j = 0; j < l.ny; ++j) {
        for (int i = 0; i < l.nx; ++i) {
            const int n = j * l.nx + i + 1;
            float x = l.x0 + static_cast<float>(i) * l.h, y = l.y0 + static_cast<float>(j) * l.h;
            if (l.jitter != 0 && i > 0 && j > 0 && i < l.nx - 1 && j < l.ny - 1) {
                x += next() * l.jitter * l.h;
                y += next() * l.jitter * l.h;
                if (l.snap > 0) {
                    x = std::round(x / l.snap) * l.snap;
                    y = std::round(y / l.snap) * l.snap;
                }
            }
            dat4.xnode(n) = x;
            dat4.ynode(n) = y;
        }
    }
    int e = 0;
    auto tri = [&e](int a, int b, int c) {
        ++e;
        dat4.elnode(e, 1) = a;
        dat4.elnode(e, 2) = b;
        dat4.elnode(e, 3) = c;
    };
    for (int j = 0; j + 1 < l.ny; ++j) {
        for (int i = 0; i + 1 < l.nx; ++i) {
            const int n00 = j * l.nx + i + 1, n10 = n00 + 1, n01 = n00 + l.nx, n11 = n01 + 1;
            if (l.alternate && (i + j) % 2 == 1) {
                tri(n00, n10, n01);
                tri(n10, n11, n01);
            } else {
                tri(n00, n10, n11);
                tri(n00, n11, n01);
            }
        }
    }
    dat4.nelem = e;
    dat4.nelemhdr = e;
}

void set_field(int k, const std::function<float(float, float)>& f) {
    for (int n = 1; n <= dat4.nnode; ++n) dat7.value(n, k) = f(dat4.xnode(n), dat4.ynode(n));
}

int add_triangle(float x1, float y1, float x2, float y2, float x3, float y3, int k, float v) {
    const float xs[3] = {x1, x2, x3}, ys[3] = {y1, y2, y3};
    const int e = ++dat4.nelem;
    for (int q = 0; q < 3; ++q) {
        const int n = ++dat4.nnode;
        dat4.xnode(n) = xs[q];
        dat4.ynode(n) = ys[q];
        dat7.value(n, k) = v;
        dat4.elnode(e, q + 1) = n;
    }
    return e;
}

void add_awkward_triangles(int k) {
    add_triangle(12, 12, 31, 14, 20, 33, k, 77.0f);
    add_triangle(0, 0, 5, 5, 10, 10, k, 99.0f);
}
