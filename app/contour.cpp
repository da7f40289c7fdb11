#include "app/contour.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
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

// The value at a cell's centre from its four corners, in extended precision.
float centre_value(float z1, float z2, float z3, float z4) {
    return static_cast<float>(((static_cast<long double>(z3) + z4) + (static_cast<long double>(z1) + z2)) * 0.25L);
}

// One level of the pass: its value, its band widths and the lower bound of
// its band.
struct Level {
    float lk = 0, dzlow = 0, dzup = 0;
    long double lo = 0;
};

// The cells that can draw anything at each level, in the order the pass
// visits them. A cell whose values (four corners and centre) all lie below a
// level's band, or all above the level, finds no crossing and fills nothing
// there; a cell with a corner far beyond every level (a blank one) and so a
// far centre draws at no level. Found once per redraw, so a pass visits only
// the cells near its level.
struct LevelCells {
    std::vector<std::vector<std::uint32_t>> cells;   // per level: (i - 1) * (ny - 1) + (j - 1)
    std::vector<float> centre;                       // per cell, as the cells are numbered
    void build(int nx, int ny, const std::vector<Level>& levels) {
        cells.resize(levels.size());
        for (auto& c : cells) c.clear();
        centre.resize(static_cast<std::size_t>(nx - 1) * static_cast<std::size_t>(ny - 1));
        // Each band's lower bound as the least single-precision value not
        // below it: for a single-precision hi, hi < bound exactly when hi is
        // below the bound in extended precision.
        std::vector<float> bound(levels.size()), top(levels.size());
        for (std::size_t k = 0; k < levels.size(); ++k) {
            float b = static_cast<float>(levels[k].lo);
            if (static_cast<long double>(b) < levels[k].lo) b = std::nextafter(b, std::numeric_limits<float>::infinity());
            bound[k] = b;
            top[k] = levels[k].lk;
        }
        // Both bounds rise with the level (as they do unless single-precision
        // rounding of bands far narrower than their values says otherwise):
        // then a cell's levels run from the first whose top reaches its
        // lowest value to the last whose bound its highest value reaches,
        // found by halving instead of level by level.
        bool rising = true;
        for (std::size_t k = 1; k < levels.size(); ++k)
            if (!(bound[k - 1] <= bound[k] && top[k - 1] <= top[k])) rising = false;
        std::uint32_t c = 0;
        for (int i = 1; i < nx; ++i)
            for (int j = 1; j < ny; ++j, ++c) {
                const float z1 = dat7.gridval(i, j), z2 = dat7.gridval(i + 1, j), z3 = dat7.gridval(i + 1, j + 1),
                            z4 = dat7.gridval(i, j + 1);
                const float zc = centre_value(z1, z2, z3, z4);
                centre[c] = zc;
                const float far = std::max({std::fabs(z1), std::fabs(z2), std::fabs(z3), std::fabs(z4)});
                // Levels never come near 1E21: such a corner keeps the cell out
                // of every whole-cell fill, and a far centre out of every triangle.
                if (std::fabs(zc) > FarValue && far >= 1.0E21f) continue;
                const float lo = std::min({z1, z2, z3, z4, zc}), hi = std::max({z1, z2, z3, z4, zc});
                if (rising && !std::isnan(lo) && !std::isnan(hi)) {
                    const std::size_t first =
                        static_cast<std::size_t>(std::lower_bound(top.begin(), top.end(), lo) - top.begin());
                    const std::size_t last =
                        static_cast<std::size_t>(std::upper_bound(bound.begin(), bound.end(), hi) - bound.begin());
                    for (std::size_t k = first; k < last; ++k) cells[k].push_back(c);
                    continue;
                }
                for (std::size_t k = 0; k < levels.size(); ++k)
                    if (!(hi < bound[k] || lo > top[k])) cells[k].push_back(c);
            }
    }
};

// Draws one cell at one level: filled whole when all four corners lie in the
// level's band, otherwise as four triangles around its centre.
// zc is the cell's centre value, as centre_value gives it.
void contour_cell(int i, int j, int k, const Level& l, int style, float zc) {
    const float gx0 = dat8.gx0, gy0 = dat8.gy0, dx = dat8.dx, dy = dat8.dy;
    // Each corner from its own index, so that neighbouring cells share their
    // edges exactly.
    const float x1 = gx0 + static_cast<float>(i - 1) * dx, y1 = gy0 + static_cast<float>(j - 1) * dy;
    const float x2 = gx0 + static_cast<float>(i) * dx, y3 = gy0 + static_cast<float>(j) * dy;
    float z1 = dat7.gridval(i, j), z2 = dat7.gridval(i + 1, j), z3 = dat7.gridval(i + 1, j + 1),
          z4 = dat7.gridval(i, j + 1);
    const float xc = x1 + 0.5f * dx, yc = y1 + 0.5f * dy;
    auto whole = [&](float z) { return l.lo <= z && z < l.lk; };
    if (whole(z1) && whole(z2) && whole(z3) && whole(z4)) {
        if (style == 1) {
            const float px[4] = {x1, x2, x2, x1}, py[4] = {y1, y1, y3, y3};
            fillp(4, px, py, k);
        }
        return;
    }
    triangle(x1, y1, x2, y1, xc, yc, z1, z2, zc, l.lk, k, l.dzlow, l.dzup, style);
    triangle(x2, y1, x2, y3, xc, yc, z2, z3, zc, l.lk, k, l.dzlow, l.dzup, style);
    triangle(x2, y3, x1, y3, xc, yc, z3, z4, zc, l.lk, k, l.dzlow, l.dzup, style);
    triangle(x1, y3, x1, y1, xc, yc, z4, z1, zc, l.lk, k, l.dzlow, l.dzup, style);
}

// The grid of the last pass to the bit, its value range, and the levels
// its cells were found for: the filled pass and the white-line pass of one
// redraw contour the same grid, and the second takes over what the first
// found.
struct LastGrid {
    int nx = 0, ny = 0;
    std::vector<float> values;
    float zmin = 0, zmax = 0;
    int cells_for = -1;  // the level count asked for when the cells were found; -1 none
    static const float* row(int j) { return &dat7.gridval(1, j); }
    bool same(int x, int y) const {
        if (x != nx || y != ny) return false;
        for (int j = 1; j <= ny; ++j)
            if (std::memcmp(row(j), &values[static_cast<std::size_t>(j - 1) * static_cast<std::size_t>(nx)],
                            sizeof(float) * static_cast<std::size_t>(nx)) != 0)
                return false;
        return true;
    }
    void keep(int x, int y) {
        nx = x;
        ny = y;
        values.resize(static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny));
        for (int j = 1; j <= ny; ++j)
            std::memcpy(&values[static_cast<std::size_t>(j - 1) * static_cast<std::size_t>(nx)], row(j),
                        sizeof(float) * static_cast<std::size_t>(nx));
        cells_for = -1;
    }
};

template <bool Skip>
void contour_pass(int n, int style) {
    const int nx = dat8.nx, ny = dat8.ny;
    const float gx0 = dat8.gx0, gy0 = dat8.gy0, dx = dat8.dx, dy = dat8.dy;

    static LastGrid last;
    const bool keepable = Skip && nx >= 1 && ny >= 1 && nx <= MaxGridPoints && ny <= MaxGridPoints;
    const bool again = keepable && last.same(nx, ny);
    float zmin = 1.0E10f, zmax = -1.0E10f;
    if (again) {
        zmin = last.zmin;
        zmax = last.zmax;
    } else {
        for (int i = 1; i <= nx; ++i)
            for (int j = 1; j <= ny; ++j) {
                const float z = dat7.gridval(i, j);
                if (std::fabs(z) < 1.0E20f) {
                    if (z < zmin) zmin = z;
                    if (z > zmax) zmax = z;
                }
            }
        if (keepable) {
            last.keep(nx, ny);
            last.zmin = zmin;
            last.zmax = zmax;
        } else if (Skip) {
            last = LastGrid{};
        }
    }
    dat7.zmin = zmin;
    dat7.zmax = zmax;

    int count = 1;
    long double step = 0.1L;
    if (zmin != zmax) {
        count = std::clamp(n, 2, MaxLevels);
        step = (static_cast<long double>(zmax) - zmin) / (count - 1);
    }
    numberiso.niso = count;
    level_table[0] = zmin;
    for (int k = 1; k <= count; ++k) level_table[k] = static_cast<float>(zmin + 0.5L * step + (k - 1) * step);

    // The band of each level: down to the level below (0 below slot 0), and
    // up to the level above (0 above the last).
    std::vector<Level> levels(static_cast<std::size_t>(count) + 1);
    for (int k = 0; k <= count; ++k) {
        Level& l = levels[static_cast<std::size_t>(k)];
        l.lk = level_table[k];
        const long double below = k > 0 ? level_table[k - 1] : 0.0f;
        const long double above = k < count ? level_table[k + 1] : 0.0f;
        l.dzlow = static_cast<float>(std::fabs(l.lk - below));
        l.dzup = static_cast<float>(std::fabs(above - l.lk));
        l.lo = static_cast<long double>(l.lk) - l.dzlow;
    }

    const bool arcinfo = dat18.gridtype == GridArcInfo;
    static LevelCells near;
    if (Skip && !arcinfo && !(again && last.cells_for == n)) {
        near.build(nx, ny, levels);
        if (keepable) last.cells_for = n;
    }

    for (int k = 0; k <= count; ++k) {
        const Level& l = levels[static_cast<std::size_t>(k)];
        if (arcinfo) {
            // The cell mosaic, in every style.
            for (int i = 1; i <= nx; ++i)
                for (int j = 1; j <= ny; ++j) {
                    const float z = dat7.gridval(i, j);
                    if (!(l.lo <= z && z <= l.lk)) continue;
                    const float x = gx0 + (static_cast<float>(i) - 1.5f) * dx;
                    const float y = gy0 + (static_cast<float>(j) - 1.5f) * dy;
                    const float px[4] = {x, x + dx, x + dx, x}, py[4] = {y, y, y + dy, y + dy};
                    fillp(4, px, py, k);
                }
            continue;
        }
        if constexpr (Skip) {
            const std::uint32_t rows = static_cast<std::uint32_t>(ny - 1);
            // The cell's column and row counted along instead of divided out:
            // the numbers ascend.
            std::uint32_t column = 0, first = 0;
            for (std::uint32_t c : near.cells[static_cast<std::size_t>(k)]) {
                while (c - first >= rows) {
                    first += rows;
                    ++column;
                }
                contour_cell(static_cast<int>(column) + 1, static_cast<int>(c - first) + 1, k, l, style,
                             near.centre[c]);
            }
        } else {
            for (int i = 1; i < nx; ++i)
                for (int j = 1; j < ny; ++j)
                    contour_cell(i, j, k, l, style,
                                 centre_value(dat7.gridval(i, j), dat7.gridval(i + 1, j), dat7.gridval(i + 1, j + 1),
                                              dat7.gridval(i, j + 1)));
        }
    }
    legenda(count, level_table, zmin, zmax, style);
}

}  // namespace

void iso_lines(int n, int style) { contour_pass<true>(n, style); }

void iso_lines_plain(int n, int style) { contour_pass<false>(n, style); }
