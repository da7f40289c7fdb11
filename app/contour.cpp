#include "app/contour.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/appdata.h"
#include "app/legend.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/lines.h"

float level_table[MaxLevels + 2];

namespace {

// Values beyond this are taken as outside the mesh by the triangles.
constexpr float FarValue = 1.0E10f;

// Grid frame to world: counter-clockwise by `rotang` about the grid origin.
// Carried out in extended precision, so that with no rotation a point comes
// back exactly as it went in (the legend draws in window fractions through
// this path, however far the grid origin lies from them).
struct Frame {
    float angle = 0, c = 1, s = 0;
    void to_world(float& x, float& y) {
        if (dat12.rotang != angle) {
            angle = dat12.rotang;
            c = std::cos(angle);
            s = std::sin(angle);
        }
        const long double gx0 = dat8.gx0, gy0 = dat8.gy0;
        const long double X = static_cast<long double>(x) - gx0, Y = static_cast<long double>(y) - gy0;
        x = static_cast<float>(gx0 + X * c - Y * s);
        y = static_cast<float>(gy0 + Y * c + X * s);
    }
};
Frame frame;

const std::int32_t White = 0xFFFFFF;

}  // namespace

void fillp(int n, const float* x, const float* y, int c) {
    float wx[4], wy[4];
    n = std::clamp(n, 0, 4);
    for (int i = 0; i < n; ++i) {
        wx[i] = x[i];
        wy[i] = y[i];
        frame.to_world(wx[i], wy[i]);
    }
    IGrColourN(ncolor(c));
    igrfillpattern(4, 3, 3);
    IGrPolygonComplex(wx, wy, n);
}

void vector(float xa, float ya, float xb, float yb) {
    frame.to_world(xa, ya);
    frame.to_world(xb, yb);
    igrmoveto(xa, ya);
    igrlineto(xb, yb);
}

void calcpoint(float xa, float ya, float xb, float yb, float& za, float& zb, float level, CrossList& list) {
    // A value on the level is moved off it, in the caller's copy, so that the
    // neighbouring triangles of the cell see the same value.
    if (za == level) za = za * 1.0000001f;
    if (zb == level) zb = zb * 1.0000001f;
    if ((za < level && level < zb) || (za > level && level > zb)) {
        if (list.n >= 3) return;
        const long double t = (static_cast<long double>(level) - za) / (static_cast<long double>(zb) - za);
        list.x[list.n] = static_cast<float>(xa + t * (static_cast<long double>(xb) - xa));
        list.y[list.n] = static_cast<float>(ya + t * (static_cast<long double>(yb) - ya));
        ++list.n;
    }
}

void newp(float sx, float sy, float level, float xa, float ya, float xb, float yb, float za, float zb, float dzlow,
          float dzup, float& xlo, float& ylo, float& xhi, float& yhi) {
    float xl = xa, yl = ya, zl = za, xh = xb, yh = yb, zh = zb;
    if (za > zb) {
        std::swap(xl, xh);
        std::swap(yl, yh);
        std::swap(zl, zh);
    }
    const long double r = static_cast<long double>(dzlow) / (static_cast<long double>(level) - zl);
    if (r >= 1) {
        xlo = xl;
        ylo = yl;
    } else {
        xlo = static_cast<float>(sx + r * (static_cast<long double>(xl) - sx));
        ylo = static_cast<float>(sy + r * (static_cast<long double>(yl) - sy));
    }
    const long double q = static_cast<long double>(dzup) / (static_cast<long double>(zh) - level);
    if (q >= 1) {
        xhi = xh;
        yhi = yh;
    } else {
        xhi = static_cast<float>(sx + q * (static_cast<long double>(xh) - sx));
        yhi = static_cast<float>(sy + q * (static_cast<long double>(yh) - sy));
    }
}

namespace {

// Draws S1-S2 for the line styles: in the current colour (-1) or white (0).
void strip_line(const CrossList& s, int style) {
    if (style == 0) IGrColourN(White);
    vector(s.x[0], s.y[0], s.x[1], s.y[1]);
}

}  // namespace

void triangle(float x1, float y1, float x2, float y2, float x3, float y3, float& z1, float& z2, float& z3, float lk,
              int k, float dzlow, float dzup, int style) {
    if (std::fabs(z1) > FarValue || std::fabs(z2) > FarValue || std::fabs(z3) > FarValue) return;
    CrossList s;
    calcpoint(x1, y1, x2, y2, z1, z2, lk, s);
    if (s.n > 0) s.code[s.n - 1] = 3;
    const int after12 = s.n;
    calcpoint(x2, y2, x3, y3, z2, z3, lk, s);
    if (s.n > after12) s.code[s.n - 1] = 1;
    const int after23 = s.n;
    calcpoint(x3, y3, x1, y1, z3, z1, lk, s);
    if (s.n > after23) s.code[s.n - 1] = 2;

    const long double lo = static_cast<long double>(lk) - dzlow;
    auto in_band = [&](float z) { return lo <= z && z <= lk; };
    if (style == 1 && in_band(z1) && in_band(z2) && in_band(z3)) {
        const float px[3] = {x1, x2, x3}, py[3] = {y1, y2, y3};
        fillp(3, px, py, k);
    }
    if (s.n != 2) return;
    if (style == -1 || style == 0) strip_line(s, style);

    // The ends of the edge a crossing lies on: the two vertices other than
    // the one its code names.
    const float vx[4] = {0, x1, x2, x3}, vy[4] = {0, y1, y2, y3};
    const float vz[4] = {0, z1, z2, z3};
    auto band_points = [&](int p, float& xl, float& yl, float& xh, float& yh) {
        const int c = s.code[p];
        const int a = c == 1 ? 2 : 1, b = c == 3 ? 2 : 3;
        newp(s.x[p], s.y[p], lk, vx[a], vy[a], vx[b], vy[b], vz[a], vz[b], dzlow, dzup, xl, yl, xh, yh);
    };
    float ax, ay, ahx, ahy, bx, by, bhx, bhy;
    band_points(1, ax, ay, ahx, ahy);
    band_points(0, bx, by, bhx, bhy);

    IGrColourN(ncolor(k));
    {
        const float px[4] = {s.x[0], s.x[1], ax, bx}, py[4] = {s.y[0], s.y[1], ay, by};
        const int n = (ax == bx && ay == by) ? 3 : 4;
        if (style == 1)
            fillp(n, px, py, k);
        else
            strip_line(s, style);
    }
    IGrColourN(ncolor(k + 1));
    {
        const float px[4] = {s.x[0], s.x[1], ahx, bhx}, py[4] = {s.y[0], s.y[1], ahy, bhy};
        if (style == 1)
            fillp(4, px, py, k + 1);
        else
            strip_line(s, style);
    }
}

namespace {

// Per cell the smallest and largest of its four corner values and its centre
// value, found once per pass: a cell whose values all lie below a level's band
// or all above the level draws nothing at that level. Cells that can draw at
// no level (a blank corner, and so a centre far out) are marked with an empty
// range.
struct CellRanges {
    std::vector<float> lo, hi;
    int columns = 0;
    std::size_t at(int i, int j) const { return static_cast<std::size_t>(j - 1) * columns + (i - 1); }
    void build(int nx, int ny) {
        columns = std::max(nx - 1, 0);
        const std::size_t cells = static_cast<std::size_t>(std::max(nx - 1, 0)) * std::max(ny - 1, 0);
        lo.assign(cells, 0);
        hi.assign(cells, 0);
        std::size_t c = 0;
        for (int j = 1; j < ny; ++j)
            for (int i = 1; i < nx; ++i, ++c) {
                const float z1 = dat7.gridval(i, j), z2 = dat7.gridval(i + 1, j), z3 = dat7.gridval(i + 1, j + 1),
                            z4 = dat7.gridval(i, j + 1);
                const float zc = static_cast<float>(((static_cast<long double>(z3) + z4) +
                                                     (static_cast<long double>(z1) + z2)) * 0.25L);
                const float mx = std::max({z1, z2, z3, z4});
                const float far = std::max({std::fabs(z1), std::fabs(z2), std::fabs(z3), std::fabs(z4)});
                // Levels never come near 1E21: such a corner keeps the cell out
                // of every whole-cell fill, and a far centre out of every triangle.
                if (std::fabs(zc) > FarValue && far >= 1.0E21f) {
                    lo[c] = 1;
                    hi[c] = -1;
                    continue;
                }
                lo[c] = std::min({z1, z2, z3, z4, zc});
                hi[c] = mx < zc ? zc : mx;
            }
    }
};

template <bool Skip>
void contour_pass(int n, int style) {
    const int nx = dat8.nx, ny = dat8.ny;
    const float gx0 = dat8.gx0, gy0 = dat8.gy0, dx = dat8.dx, dy = dat8.dy;

    float zmin = 1.0E10f, zmax = -1.0E10f;
    for (int i = 1; i <= nx; ++i)
        for (int j = 1; j <= ny; ++j) {
            const float z = dat7.gridval(i, j);
            if (std::fabs(z) < 1.0E20f) {
                if (z < zmin) zmin = z;
                if (z > zmax) zmax = z;
            }
        }
    dat7.zmin = zmin;
    dat7.zmax = zmax;

    int levels = 1;
    long double step = 0.1L;
    if (zmin != zmax) {
        levels = std::clamp(n, 2, MaxLevels);
        step = (static_cast<long double>(zmax) - zmin) / (levels - 1);
    }
    numberiso.niso = levels;
    level_table[0] = zmin;
    for (int k = 1; k <= levels; ++k)
        level_table[k] = static_cast<float>(zmin + 0.5L * step + (k - 1) * step);

    CellRanges ranges;
    if constexpr (Skip) ranges.build(nx, ny);

    for (int k = 0; k <= levels; ++k) {
        const float lk = level_table[k];
        const long double below = k > 0 ? level_table[k - 1] : 0.0f;
        const long double above = k < levels ? level_table[k + 1] : 0.0f;
        const float dzlow = static_cast<float>(std::fabs(lk - below));
        const float dzup = static_cast<float>(std::fabs(above - lk));
        const long double lo = static_cast<long double>(lk) - dzlow;

        if (dat18.gridtype == GridArcInfo) {
            for (int i = 1; i <= nx; ++i)
                for (int j = 1; j <= ny; ++j) {
                    const float z = dat7.gridval(i, j);
                    if (!(lo <= z && z <= lk)) continue;
                    const float x = gx0 + (static_cast<float>(i) - 1.5f) * dx;
                    const float y = gy0 + (static_cast<float>(j) - 1.5f) * dy;
                    const float px[4] = {x, x + dx, x + dx, x}, py[4] = {y, y, y + dy, y + dy};
                    fillp(4, px, py, k);
                }
            continue;
        }

        for (int i = 1; i < nx; ++i) {
            for (int j = 1; j < ny; ++j) {
                if constexpr (Skip) {
                    const std::size_t c = ranges.at(i, j);
                    if (ranges.hi[c] < lo || ranges.lo[c] > lk) continue;
                }
                // Each corner from its own index, so that neighbouring cells
                // share their edges exactly.
                const float x1 = gx0 + static_cast<float>(i - 1) * dx, y1 = gy0 + static_cast<float>(j - 1) * dy;
                const float x2 = gx0 + static_cast<float>(i) * dx, y3 = gy0 + static_cast<float>(j) * dy;
                float z1 = dat7.gridval(i, j), z2 = dat7.gridval(i + 1, j), z3 = dat7.gridval(i + 1, j + 1),
                      z4 = dat7.gridval(i, j + 1);
                float zc = static_cast<float>(((static_cast<long double>(z3) + z4) +
                                               (static_cast<long double>(z1) + z2)) * 0.25L);
                const float xc = x1 + 0.5f * dx, yc = y1 + 0.5f * dy;
                auto whole = [&](float z) { return lo <= z && z < lk; };
                if (whole(z1) && whole(z2) && whole(z3) && whole(z4)) {
                    if (style == 1) {
                        const float px[4] = {x1, x2, x2, x1}, py[4] = {y1, y1, y3, y3};
                        fillp(4, px, py, k);
                    }
                    continue;
                }
                triangle(x1, y1, x2, y1, xc, yc, z1, z2, zc, lk, k, dzlow, dzup, style);
                triangle(x2, y1, x2, y3, xc, yc, z2, z3, zc, lk, k, dzlow, dzup, style);
                triangle(x2, y3, x1, y3, xc, yc, z3, z4, zc, lk, k, dzlow, dzup, style);
                triangle(x1, y3, x1, y1, xc, yc, z4, z1, zc, lk, k, dzlow, dzup, style);
            }
        }
    }
    legenda(levels, level_table, zmin, zmax, style);
}

}  // namespace

void iso_lines(int n, int style) { contour_pass<true>(n, style); }

void iso_lines_plain(int n, int style) { contour_pass<false>(n, style); }
