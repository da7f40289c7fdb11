#include "app/interp.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "app/appdata.h"
#include "app/griddef.h"
#include "app/gridfiles.h"
#include "app/interp_internal.h"
#include "app/mainstate.h"
#include "app/mapview.h"
#include "app/modflow.h"
#include "app/onemoment.h"
#include "app/records.h"
#include "lib/window/winops.h"

// ---- kernels ----

float arg(float vx, float vy) {
    if (vx == 0.0f && vy == 0.0f) return 0.0f;
    const float pi = 4.0f * std::atan(1.0f);
    const float r = static_cast<float>(std::sqrt(static_cast<double>(vx) * vx + static_cast<double>(vy) * vy));
    const float ux = vx / r;
    // A negative zero would put the direction at -pi; the argument lies in (-pi, pi].
    const float uy = vy / r + 0.0f;
    float alpha = std::atan2(uy, ux);
    if (vy < 0) alpha = alpha + 2.0f * pi;
    return alpha / pi * 180.0f;
}

float hoek(float* a, float* b) {
    if (a[0] == 0.0f && a[1] == 0.0f) {
        a[0] = 0.1f;
        a[1] = 0.0f;
    }
    if (b[0] == 0.0f && b[1] == 0.0f) {
        b[0] = 0.1f;
        b[1] = 0.0f;
    }
    float d = arg(a[0], a[1]) - arg(b[0], b[1]);
    if (d > 180.0f) d = d - 360.0f;
    if (d < -180.0f) d = d + 360.0f;
    return d;
}

double inpol_sum(float x, float y, const float* polygon, int n) {
    if (n < 1) return 0.0;
    // The vectors from the point to the corners; hoek may replace a zero
    // vector, and the replacement then holds for both sides at that corner.
    float v[2 * 64];
    float* vec = v;
    std::vector<float> big;
    if (n > 64) {
        big.resize(static_cast<std::size_t>(2 * n));
        vec = big.data();
    }
    for (int k = 0; k < n; ++k) {
        vec[2 * k] = polygon[2 * k] - x;
        vec[2 * k + 1] = polygon[2 * k + 1] - y;
    }
    double s = 0.0;
    for (int k = 0; k + 1 < n; ++k) s = s + hoek(&vec[2 * k], &vec[2 * k + 2]);
    s = s + hoek(&vec[2 * (n - 1)], &vec[0]);
    return s;
}

namespace {
// int(|s| + 0.1) >= 179, with 0.1 the single-precision constant; for the
// non-negative sum the truncation changes nothing, and a sum that is not a
// number is outside.
int inside_of(double s) { return std::fabs(s) + static_cast<double>(0.1f) >= 179.0 ? 1 : 0; }
}  // namespace

void inpol(float x, float y, const float* polygon, int& inside, int n) { inside = inside_of(inpol_sum(x, y, polygon, n)); }

namespace {

// The angle sum of inpol3: each corner's direction computed once and used for
// both sides that meet there, the same values hoek computes, so the same sum.
int inpol3_angles(float x, float y, const float* xy) {
    float a[3];
    for (int k = 0; k < 3; ++k) {
        const float vx = xy[2 * k] - x, vy = xy[2 * k + 1] - y;
        a[k] = (vx == 0.0f && vy == 0.0f) ? arg(0.1f, 0.0f) : arg(vx, vy);
    }
    double s = 0.0;
    for (int k = 0; k < 3; ++k) {
        float d = a[k] - a[(k + 1) % 3];
        if (d > 180.0f) d = d - 360.0f;
        if (d < -180.0f) d = d + 360.0f;
        s = s + d;
    }
    return inside_of(s);
}

// Bounds of the quick decision (see inpol3).
constexpr double QuickNormMin = 0x1p-200, QuickNormMax = 0x1p200;
constexpr double QuickSin2 = 0x1p-24;  // (2^-12)^2: |sin| of a side's angle above 2^-12

}  // namespace

int inpol3(float x, float y, const float* xy) {
    // The angle sum decides by the three angles that the sides subtend at
    // the point, taken between the single-precision vectors v_k = P_k - p.
    // Their exact sum is 360 times the winding number of the triangle
    // (v1, v2, v3) round the origin, and the computed sum is within a few
    // 1e-4 degrees of it as long as no wrap of hoek goes the other way than
    // for the exact angle, which only an angle within about 1e-5 rad of
    // +-180 degrees can cause (the directions `arg` computes are within
    // 4e-6 rad of the exact ones: rounding of the unit vector 1.2e-7, atan2f
    // 1e-6, the single-precision pi and 2 pi 1e-6, the scaling to degrees
    // 1.5e-6, and the difference 3e-7). So where every side's angle is
    // either at most 90 degrees (dot product >= 0) or has |sin| > 2^-12
    // (2.4e-4 rad, twenty times that margin), and no vector is zero, so tiny
    // or so large that the unit vector leaves the normal range, the sum is
    // +-360 exactly when the origin lies strictly inside (v1, v2, v3), that
    // is when the three cross products have one strict sign, and 0
    // otherwise. Products of two floats are exact in double, so the signs of
    // the cross and dot products (one rounding each) are exact too. Every
    // other point takes the angle sum itself.
    float vx[3], vy[3];
    double n2[3];
    for (int k = 0; k < 3; ++k) {
        vx[k] = xy[2 * k] - x;
        vy[k] = xy[2 * k + 1] - y;
        n2[k] = static_cast<double>(vx[k]) * vx[k] + static_cast<double>(vy[k]) * vy[k];
        if (!(n2[k] >= QuickNormMin && n2[k] <= QuickNormMax)) return inpol3_angles(x, y, xy);
    }
    int positive = 0, negative = 0;
    for (int k = 0; k < 3; ++k) {
        const int l = k == 2 ? 0 : k + 1;
        const double cross = static_cast<double>(vx[k]) * vy[l] - static_cast<double>(vy[k]) * vx[l];
        const double dot = static_cast<double>(vx[k]) * vx[l] + static_cast<double>(vy[k]) * vy[l];
        if (dot < 0.0 && cross * cross <= QuickSin2 * (n2[k] * n2[l])) return inpol3_angles(x, y, xy);
        positive += cross > 0.0;
        negative += cross < 0.0;
    }
    return positive == 3 || negative == 3 ? 1 : 0;
}

PlaneTerms plane_terms(const float* xy) {
    const long double x1 = xy[0], y1 = xy[1], x2 = xy[2], y2 = xy[3], x3 = xy[4], y3 = xy[5];
    PlaneTerms t;
    t.dx12 = x1 - x2;
    t.dx23 = x2 - x3;
    t.dy12 = y1 - y2;
    t.dy23 = y2 - y3;
    t.c = t.dy23 * t.dx12 - t.dy12 * t.dx23;
    return t;
}

long double fixy_det(const float* xy) { return plane_terms(xy).c; }

bool fixy_plane(const float* xy, const float* z, FixyPlane& p) {
    const PlaneTerms t = plane_terms(xy);
    if (t.c == 0.0L || !std::isfinite(t.c)) return false;
    const long double z1 = z[0], z2 = z[1], z3 = z[2];
    p.x1 = xy[0];
    p.y1 = xy[1];
    p.z1 = z1;
    p.a = ((z1 - z2) * t.dy23 - (z2 - z3) * t.dy12) / t.c;
    p.b = -((z1 - z2) * t.dx23 - (z2 - z3) * t.dx12) / t.c;
    return true;
}

float fixy_eval(const FixyPlane& p, float x, float y) {
    return static_cast<float>(p.z1 + p.a * (static_cast<long double>(x) - p.x1) +
                              p.b * (static_cast<long double>(y) - p.y1));
}

float fixy(float x, float y) {
    float xy[6], z[3];
    for (int k = 0; k < 6; ++k) xy[k] = dat3.trixy(k + 1);
    for (int k = 0; k < 3; ++k) z[k] = dat3.triz(k + 1);
    FixyPlane p;
    // Collinear corners span no plane; the value is then "no value".
    if (!fixy_plane(xy, z, p)) return BlankValue;
    return fixy_eval(p, x, y);
}

// ---- names and values ----

std::string autosave_name(int k) {
    if (k == 0) return "h0.grd";
    const int i = (k + 2) / 3;
    std::string name(1, k % 3 == 1 ? 'c' : (k % 3 == 2 ? 't' : 'h'));
    name += std::to_string(i);
    name += ".grd";
    return name;
}

void triangle_node_values(int e, int k, float* z) {
    for (int q = 0; q < 3; ++q) z[q] = dat7.value(dat4.elnode(e, q + 1), k);
}

void triangle_values(int e, int k, float* z) {
    int n[3];
    for (int c = 0; c < 3; ++c) n[c] = dat4.elnode(e, c + 1);
    if (leakage.leak == 1 && k >= 1 && (k - 1) % 3 == 0) {
        float c[3];
        bool zero = false;
        for (int q = 0; q < 3; ++q) {
            c[q] = dat7.value(n[q], k);
            if (c[q] == 0.0f) zero = true;
        }
        for (int q = 0; q < 3; ++q)
            z[q] = zero ? 0.0f : (dat7.value(n[q], k - 1) - dat7.value(n[q], k + 2)) / c[q];
    } else {
        triangle_node_values(e, k, z);
    }
}

// ---- shared pieces of the interpolations ----

int element_count() { return std::clamp(dat4.nelem, 0, MaxElements); }

bool element_corners(int e, float* xy, float c, float s) {
    const int nnode = std::clamp(dat4.nnode, 0, MaxNodes);
    for (int q = 0; q < 3; ++q) {
        const int n = dat4.elnode(e, q + 1);
        if (n < 1 || n > nnode) return false;
        float x = dat4.xnode(n), y = dat4.ynode(n);
        rotate_cs(x, y, 1, c, s);
        xy[2 * q] = x;
        xy[2 * q + 1] = y;
    }
    return true;
}

bool usable_triangle(const float* xy) {
    const long double c = fixy_det(xy);
    return c != 0.0L && std::isfinite(c);
}

bool index_range(float lo, float hi, float origin, float step, int n, int& k1, int& k2) {
    float f1 = (lo - origin) / step + 1.0f;
    float f2 = (hi - origin) / step + 1.0f;
    if (std::isnan(f1) || std::isnan(f2)) return false;
    // A negative spacing runs the grid the other way; the range is the same.
    if (f1 > f2) std::swap(f1, f2);
    // Held within 0..n+1 before the conversion, which then truncates as
    // before for every index that can matter and cannot overflow.
    const float top = static_cast<float>(n + 1);
    f1 = std::clamp(f1, 0.0f, top);
    f2 = std::clamp(f2, 0.0f, top);
    // The quotients are rounded, and far from the origin a line that lies
    // exactly on lo or hi can come out just beside the range; one line more
    // on each side, then as many as lie inside, keeps every such line in.
    // The lines taken beyond the box are refused by the point-in-triangle test.
    const auto inside = [&](int k) {
        const float v = origin + static_cast<float>(k - 1) * step;
        return v >= lo && v <= hi;
    };
    k1 = std::max(static_cast<int>(f1) - 1, 1);
    k2 = std::min(static_cast<int>(f2) + 1, n);
    while (k1 > 1 && inside(k1 - 1)) --k1;
    while (k2 < n && inside(k2 + 1)) ++k2;
    return k1 <= k2;
}

bool index_box(const float* xy, int nx, int ny, int& i1, int& i2, int& j1, int& j2) {
    const float xmin = std::min({xy[0], xy[2], xy[4]}), xmax = std::max({xy[0], xy[2], xy[4]});
    const float ymin = std::min({xy[1], xy[3], xy[5]}), ymax = std::max({xy[1], xy[3], xy[5]});
    return index_range(xmin, xmax, dat8.gx0, dat8.dx, nx, i1, i2) &&
           index_range(ymin, ymax, dat8.gy0, dat8.dy, ny, j1, j2);
}

float grid_x(int i) { return dat8.gx0 + static_cast<float>(i - 1) * dat8.dx; }
float grid_y(int j) { return dat8.gy0 + static_cast<float>(j - 1) * dat8.dy; }

void option_status(int k) {
    std::string t = "option: ";
    t += dat5.optitle(k);
    windowoutstatusbar(3, t);
}

std::string home_name(const std::string& name) {
    const int l = std::clamp(dat19.lhome, 0, static_cast<int>(dat19.home.size()));
    return dat19.home.substr(0, static_cast<std::size_t>(l)) + name;
}

void Coverage::group(int nelem, const float* xs, const float* ys, int ncols, int stride, float c, float s) {
    start.assign(static_cast<std::size_t>(nelem) + 1, 0);
    for (const std::int32_t e : owner)
        if (e > 0) ++start[static_cast<std::size_t>(e)];
    std::size_t covering = 0;
    for (int e = 1; e <= nelem; ++e) {
        covering += start[static_cast<std::size_t>(e)] != 0;
        start[static_cast<std::size_t>(e)] += start[static_cast<std::size_t>(e) - 1];
    }
    const auto total = static_cast<std::size_t>(start[static_cast<std::size_t>(nelem)]);
    order.resize(total);
    std::vector<std::int32_t> fill(start.begin(), start.end() - 1);
    for (std::size_t p = 0; p < owner.size(); ++p) {
        const std::int32_t e = owner[p];
        if (e > 0) order[static_cast<std::size_t>(fill[static_cast<std::size_t>(e) - 1]++)] = static_cast<std::int32_t>(p);
    }
    dest.resize(total);
    elems.clear();
    elems.reserve(covering);
    corners.clear();
    corners.reserve(covering);
    // The double terms are built straight away; only when one of them is
    // not a double exactly are the extended ones built (a second pass).
    wide = Held<long double>{};
    narrow.terms.clear();
    narrow.terms.reserve(covering);
    narrow.ex.resize(total);
    narrow.ey.resize(total);
    const auto held = [](long double v, bool& exact) {
        const auto d = static_cast<double>(v);
        exact = exact && static_cast<long double>(d) == v;
        return d;
    };
    bool exact = true;
    float xy[6];
    for (int e = 1; e <= nelem; ++e) {
        const std::int32_t b = start[static_cast<std::size_t>(e) - 1], t = start[static_cast<std::size_t>(e)];
        if (b == t) continue;
        elems.push_back(e);
        corners.push_back({dat4.elnode(e, 1), dat4.elnode(e, 2), dat4.elnode(e, 3)});
        element_corners(e, xy, c, s);
        const PlaneTerms p = plane_terms(xy);
        narrow.terms.push_back(
            {held(p.dx12, exact), held(p.dx23, exact), held(p.dy12, exact), held(p.dy23, exact), p.c});
        const long double x1 = xy[0], y1 = xy[1];
        for (std::int32_t q = b; q < t; ++q) {
            const auto u = static_cast<std::size_t>(q);
            const int pt = order[u];
            const int col = pt % ncols, row = pt / ncols;
            dest[u] = row * stride + col;
            narrow.ex[u] = held(static_cast<long double>(xs[col]) - x1, exact);
            narrow.ey[u] = held(static_cast<long double>(ys[row]) - y1, exact);
        }
    }
    is_wide = !exact;
    if (exact) return;
    narrow = Held<double>{};
    wide.terms.reserve(covering);
    wide.ex.resize(total);
    wide.ey.resize(total);
    for (const int e : elems) {
        element_corners(e, xy, c, s);
        const PlaneTerms p = plane_terms(xy);
        wide.terms.push_back({p.dx12, p.dx23, p.dy12, p.dy23, p.c});
        const long double x1 = xy[0], y1 = xy[1];
        for (std::int32_t q = start[static_cast<std::size_t>(e) - 1]; q < start[static_cast<std::size_t>(e)]; ++q) {
            const auto u = static_cast<std::size_t>(q);
            const int pt = order[u];
            wide.ex[u] = static_cast<long double>(xs[pt % ncols]) - x1;
            wide.ey[u] = static_cast<long double>(ys[pt / ncols]) - y1;
        }
    }
}

void Coverage::fill_nodes(float* out, int k) const {
    // The corners are nodes of the model (element_corners checked them).
    const float* plane = &dat7.value(1, k);
    fill(out, [&](std::size_t q, int, float* z) {
        const std::array<std::int32_t, 3>& n = corners[q];
        for (int c = 0; c < 3; ++c) z[c] = plane[n[static_cast<std::size_t>(c)] - 1];
    });
}

namespace {

// The grid lines of the regular grid, as grid_x and grid_y give them.
void grid_lines(int nx, int ny, std::vector<float>& xs, std::vector<float>& ys) {
    xs.resize(static_cast<std::size_t>(nx));
    ys.resize(static_cast<std::size_t>(ny));
    for (int i = 1; i <= nx; ++i) xs[static_cast<std::size_t>(i) - 1] = grid_x(i);
    for (int j = 1; j <= ny; ++j) ys[static_cast<std::size_t>(j) - 1] = grid_y(j);
}

}  // namespace

namespace {

// Drops the lines at the ends of the index box i1..i2, j1..j2 (of the grid
// lines xs, ys) that lie so far beyond the triangle's box that inpol3
// refuses every point on them by its quick decision; false when no line is
// left. Such a line leaves the three corner vectors v_k of each of its
// points in a half-plane at distance g from the origin (vx_k >= g, say), so
// the origin is not inside (v1, v2, v3) and the cross products do not share
// a strict sign. For a pair with a negative dot product the foot of the
// perpendicular from the origin lies between v_k and v_l, hence at least g
// away, and |v_k - v_l| > max(|v_k|, |v_l|), so |sin| = |cross| / (|v_k|
// |v_l|) >= g / R, with R >= |v| for every point of the box. With g > R /
// 1024 that is far above the 2^-12 that sends a point to the angle sum, and
// with R <= 2^99 and g > 2^-90 every squared length lies in the quick range;
// the rounding of v_k to single precision (a relative 2^-24) changes none
// of this. Nearer lines are left to inpol3: the angle sum can take a point
// a little beyond a sliver's box for one inside it.
bool trim_box(const float* xy, const float* xs, const float* ys, int& i1, int& i2, int& j1, int& j2) {
    const double xmin = std::min({xy[0], xy[2], xy[4]}), xmax = std::max({xy[0], xy[2], xy[4]});
    const double ymin = std::min({xy[1], xy[3], xy[5]}), ymax = std::max({xy[1], xy[3], xy[5]});
    const double xa = xs[i1 - 1], xb = xs[i2 - 1], ya = ys[j1 - 1], yb = ys[j2 - 1];
    const double r = (std::max({xmax, xa, xb}) - std::min({xmin, xa, xb})) +
                     (std::max({ymax, ya, yb}) - std::min({ymin, ya, yb}));
    // Not a number or too large: every line is left to inpol3.
    if (!(r <= 0x1p99)) return true;
    const double margin = std::max(r * 0x1p-10, 0x1p-90);
    const auto beyond = [margin](double v, double lo, double hi) { return lo - v > margin || v - hi > margin; };
    while (i1 <= i2 && beyond(xs[i1 - 1], xmin, xmax)) ++i1;
    while (i2 >= i1 && beyond(xs[i2 - 1], xmin, xmax)) --i2;
    while (j1 <= j2 && beyond(ys[j1 - 1], ymin, ymax)) ++j1;
    while (j2 >= j1 && beyond(ys[j2 - 1], ymin, ymax)) --j2;
    return i1 <= i2 && j1 <= j2;
}

}  // namespace

namespace {

// Calls begin(e, xy) once for each element that covers grid points, before
// the first of them, and then point(row, i) for each point it covers, row
// being the points' row j counted from 0, in ascending element order: a
// point is last given to its covering element.
template <class Begin, class Point>
void each_covered_point(int nx, int ny, const std::vector<float>& xs, const std::vector<float>& ys, float c, float s,
                        Begin&& begin, Point&& point) {
    const int nelem = element_count();
    float xy[6];
    for (int e = 1; e <= nelem; ++e) {
        int i1, i2, j1, j2;
        if (!element_corners(e, xy, c, s) || !usable_triangle(xy) || !index_box(xy, nx, ny, i1, i2, j1, j2) ||
            !trim_box(xy, xs.data(), ys.data(), i1, i2, j1, j2))
            continue;
        bool begun = false;
        for (int j = j1; j <= j2; ++j) {
            const float yp = ys[static_cast<std::size_t>(j) - 1];
            for (int i = i1; i <= i2; ++i)
                if (inpol3(xs[static_cast<std::size_t>(i) - 1], yp, xy)) {
                    if (!begun) begin(e, xy);
                    begun = true;
                    point(j - 1, i);
                }
        }
    }
}

}  // namespace

void cover_regular_grid(Coverage& cov, int nx, int ny) {
    cov.owner.assign(static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny), 0);
    const float c = std::cos(dat12.rotang), s = std::sin(dat12.rotang);
    std::vector<float> xs, ys;
    grid_lines(nx, ny, xs, ys);
    int owner = 0;
    each_covered_point(
        nx, ny, xs, ys, c, s, [&](int e, const float*) { owner = e; },
        [&](int row, int i) { cov.owner[static_cast<std::size_t>(row) * static_cast<std::size_t>(nx) + i - 1] = owner; });
    cov.group(element_count(), xs.data(), ys.data(), nx, MaxGridPoints, c, s);
}

bool fill_regular_grid(int k, int nx, int ny) {
    const float c = std::cos(dat12.rotang), s = std::sin(dat12.rotang);
    std::vector<float> xs, ys;
    grid_lines(nx, ny, xs, ys);
    FixyPlane plane{};
    bool any = false;
    float* rows = dat7.gridval.a.data();
    each_covered_point(
        nx, ny, xs, ys, c, s,
        [&](int e, const float* xy) {
            float z[3];
            triangle_values(e, k, z);
            // The corners passed usable_triangle: they span a plane.
            fixy_plane(xy, z, plane);
            any = true;
        },
        [&](int row, int i) {
            rows[static_cast<std::size_t>(row) * MaxGridPoints + static_cast<std::size_t>(i) - 1] =
                fixy_eval(plane, xs[static_cast<std::size_t>(i) - 1], ys[static_cast<std::size_t>(row)]);
        });
    return any;
}

void fill_from_coverage(const Coverage& cov, int k, bool leakance) {
    if (leakance) cov.fill(dat7.gridval.a.data(), [k](std::size_t, int e, float* z) { triangle_values(e, k, z); });
    else cov.fill_nodes(dat7.gridval.a.data(), k);
}

// ---- grid ----

namespace {

bool grid_size_ok() {
    const int nxm = std::min(dat8.nxmax, MaxGridPoints), nym = std::min(dat8.nymax, MaxGridPoints);
    if (dat8.nx >= 2 && dat8.ny >= 2 && dat8.nx <= nxm && dat8.ny <= nym) return true;
    app_input_error("the grid has " + std::to_string(dat8.nx) + " x " + std::to_string(dat8.ny) +
                    " points; it needs 2 to " + std::to_string(nxm) + " along x and 2 to " + std::to_string(nym) +
                    " along y");
    return false;
}

// A grid whose corners coincide along an axis would put every value on one
// line; it is refused before anything is computed.
bool grid_extent_ok() {
    const std::string why = grid_fault(dat18.gridtype == GridArcInfo ? GridArcInfo : GridSurfer, dat8);
    if (why.empty()) return true;
    app_input_error(why);
    return false;
}

// No grid point lies in the model: a grid of nothing but blanks would pass
// for a result.
bool report_no_overlap() {
    app_input_error("the grid does not overlap the model: no grid point lies within the mesh");
    return false;
}

void after_option(int k, int plotmode, int showmesh, int showmaps, int showcontour, int showgridpts, int mfgrid,
                  int loaded, int autosave) {
    plot(plotmode, showmesh, showmaps, showcontour, showgridpts, mfgrid, loaded, 0, 0);
    if (autosave == 1) savegrd(dat18.gridtype, home_name(autosave_name(k)), dat18.roworder);
}

}  // namespace

bool grid(int plotmode, int showmesh, int showmaps, int showcontour, int showgridpts, int mfgrid, int loaded,
          int autosave) {
    if (!grid_size_ok() || !grid_extent_ok()) return false;
    dat7.gridval.a.fill(dat7.blank);
    const int nx = dat8.nx, ny = dat8.ny;
    int options = 0;
    for (int k = 0; k < NumGridOptions; ++k) options += dat5.opton(k) == 'j';
    Coverage cov;
    bool covered = false, any_point = false;
    for (int k = 0; k < NumGridOptions; ++k) {
        if (dat5.opton(k) != 'j') continue;
        leakage.iopt = k;
        option_status(k);
        if (options == 1) {
            // One quantity: its values straight from the covering
            // triangles; grouping the points first pays only when several
            // quantities share it.
            any_point = fill_regular_grid(k, nx, ny);
        } else {
            if (!covered) {
                cover_regular_grid(cov, nx, ny);
                covered = true;
            }
            fill_from_coverage(cov, k, true);
            any_point = !cov.order.empty();
        }
        after_option(k, plotmode, showmesh, showmaps, showcontour, showgridpts, mfgrid, loaded, autosave);
    }
    leakage.iopt = NumGridOptions;
    if (options > 0 && !any_point) return report_no_overlap();
    return true;
}

bool grid_plain(int plotmode, int showmesh, int showmaps, int showcontour, int showgridpts, int mfgrid, int loaded,
                int autosave) {
    if (!grid_size_ok() || !grid_extent_ok()) return false;
    dat7.gridval.a.fill(dat7.blank);
    const int nx = dat8.nx, ny = dat8.ny;
    const int nelem = element_count();
    const int nnode = std::clamp(dat4.nnode, 0, MaxNodes);
    bool any_option = false, any_point = false;
    for (int k = 0; k < NumGridOptions; ++k) {
        if (dat5.opton(k) != 'j') continue;
        any_option = true;
        leakage.iopt = k;
        option_status(k);
        for (int e = 1; e <= nelem; ++e) {
            bool nodes_ok = true;
            for (int q = 1; q <= 3; ++q) {
                const int n = dat4.elnode(e, q);
                if (n < 1 || n > nnode) nodes_ok = false;
            }
            if (!nodes_ok) continue;
            for (int q = 0; q < 3; ++q) {
                float x = dat4.xnode(dat4.elnode(e, q + 1)), y = dat4.ynode(dat4.elnode(e, q + 1));
                rotate(x, y, 1);
                dat3.trixy(2 * q + 1) = x;
                dat3.trixy(2 * q + 2) = y;
            }
            float xy[6], z[3];
            for (int q = 0; q < 6; ++q) xy[q] = dat3.trixy(q + 1);
            if (!usable_triangle(xy)) continue;
            triangle_values(e, k, z);
            for (int q = 0; q < 3; ++q) dat3.triz(q + 1) = z[q];
            int i1, i2, j1, j2;
            if (!index_box(xy, nx, ny, i1, i2, j1, j2)) continue;
            for (int i = i1; i <= i2; ++i) {
                for (int j = j1; j <= j2; ++j) {
                    const float xp = grid_x(i), yp = grid_y(j);
                    float poly[6];
                    std::copy(xy, xy + 6, poly);
                    int inside = 0;
                    inpol(xp, yp, poly, inside, 3);
                    if (inside == 1 && i >= 1 && i <= nx && j >= 1 && j <= ny) {
                        dat7.gridval(i, j) = fixy(xp, yp);
                        any_point = true;
                    }
                }
            }
        }
        after_option(k, plotmode, showmesh, showmaps, showcontour, showgridpts, mfgrid, loaded, autosave);
    }
    leakage.iopt = NumGridOptions;
    if (any_option && !any_point) return report_no_overlap();
    return true;
}

void cmd_calculation() {
    setoptitles(leakage.leak);
    MainState& m = mainstate;
    // Without a quantity there is nothing to grid: say so rather than show
    // an empty grid under the last quantity's name.
    bool chosen = false;
    for (int k = 0; k < NumGridOptions; ++k) chosen = chosen || dat5.opton(k) == 'j';
    if (!chosen) {
        windowoutstatusbar(3, "option: ");
        app_input_error("no quantity is chosen to grid; choose one or more under Options");
        return;
    }
    m.showcontour = 1;
    bool done = false;
    if (m.mfgrid == 0) {
        done = grid(m.plotmode, m.showmesh, m.showmaps, m.showcontour, m.showgridpts, m.mfgrid, m.loaded, m.autosave);
    } else {
        done = modflow_grid(m.plotmode, m.showmesh, m.showmaps, m.showcontour, m.showgridpts, m.mfgrid, m.loaded,
                            m.autosave);
        // The line above the map is emptied; the margin left of the map is
        // not touched, as the labels of its vertical scale reach into it.
        prompt_line("");
    }
    if (done) note_grid_calculated();
}
