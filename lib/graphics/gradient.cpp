#include "lib/graphics/gradient.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/window/errors.h"

namespace {

// Red, green and blue of a PackedRGB colour.
struct Rgb {
    std::int32_t r = 0, g = 0, b = 0;
};

Rgb split(std::int32_t c) {
    const auto u = static_cast<std::uint32_t>(c);
    return {static_cast<std::int32_t>(u & 0xFF), static_cast<std::int32_t>((u >> 8) & 0xFF),
            static_cast<std::int32_t>((u >> 16) & 0xFF)};
}

std::int32_t pack(const Rgb& c) { return c.r + 256 * c.g + 65536 * c.b; }

// ---------------------------------------------------------------- vertex list

bool same_pixel(const GradientVertexBlock& v, int i, int j) {
    const auto a = static_cast<std::size_t>(i), b = static_cast<std::size_t>(j);
    return v.ix[a] == v.ix[b] && v.iy[a] == v.iy[b];
}

// Removes vertex I from every list of the block (and from the work block);
// the later ones move down.
void remove_vertex(GradientVertexBlock& v, int i, int n) {
    for (int k = i; k + 1 < n; ++k) {
        const auto d = static_cast<std::size_t>(k), s = static_cast<std::size_t>(k + 1);
        v.ix[d] = v.ix[s];
        v.iy[d] = v.iy[s];
        v.rgb[d] = v.rgb[s];
        quin01.X[d] = quin01.X[s];
        quin01.Y[d] = quin01.Y[s];
    }
}

// Merges runs of consecutive vertices at the same pixel into one vertex
// with the run's average colour. False when the polygon collapses to a
// triangle with two equal corners, which draws nothing.
bool merge_runs(GradientVertexBlock& v, int& n) {
    Rgb sum;
    int run = 1;
    auto close_run = [&](int i) {
        if (run > 1) v.rgb[static_cast<std::size_t>(i)] = pack({sum.r / run, sum.g / run, sum.b / run});
        run = 1;
    };
    int i = 0;
    while (i < n - 1) {
        if (same_pixel(v, i, i + 1)) {
            if (n == 3) return false;
            if (run == 1) sum = split(v.rgb[static_cast<std::size_t>(i)]);
            const Rgb c = split(v.rgb[static_cast<std::size_t>(i + 1)]);
            sum.r += c.r;
            sum.g += c.g;
            sum.b += c.b;
            ++run;
            remove_vertex(v, i + 1, n);
            --n;
        } else {
            close_run(i);
            ++i;
        }
    }
    close_run(i);
    if (n >= 2 && same_pixel(v, 0, n - 1)) {
        if (n == 3) return false;
        const Rgb a = split(v.rgb[0]), b = split(v.rgb[static_cast<std::size_t>(n - 1)]);
        v.rgb[0] = pack({(a.r + b.r) / 2, (a.g + b.g) / 2, (a.b + b.b) / 2});
        --n;
    }
    return true;
}

// ---------------------------------------------------------------- ear clipping

class EarClipper {
public:
    EarClipper(const float* x, const float* y, int n, std::int32_t* t) : x_(x), y_(y), n_(n), t_(t) {}

    // One attempt from start vertex A; true when the walk came to its end,
    // false when it got stuck.
    bool attempt(int a) {
        status_.assign(static_cast<std::size_t>(n_), Free);
        ntri = 0;
        int c = -1, p = -1;
        for (int k = 1; k < n_ && c < 0; ++k)
            if (!same(a, (a + k) % n_)) c = (a + k) % n_;
        for (int k = 1; k < n_ && p < 0; ++k)
            if (!same(a, (a - k + n_) % n_)) p = (a - k + n_) % n_;
        if (c < 0 || p < 0) return true;
        reference_ = turn(p, a, c);

        int l = a, b = c, skipped = 0;
        for (;;) {
            c = next_kept(l, b);
            if (c == l || c == b) return true;
            if (ear_possible(b) && is_convex(l, b, c)) {
                const int d = blocker(l, b, c);
                if (d < 0) {
                    std::int32_t* out = t_ + 3 * ntri;
                    out[0] = l + 1;
                    out[1] = b + 1;
                    out[2] = c + 1;
                    ++ntri;
                    status_[static_cast<std::size_t>(b)] = Removed;
                    status_[static_cast<std::size_t>(l)] = Free;
                    status_[static_cast<std::size_t>(c)] = Free;
                    b = c;
                    skipped = 0;
                    continue;
                }
                status_[static_cast<std::size_t>(b)] = d + 1;
            } else if (status_[static_cast<std::size_t>(b)] == Free) {
                status_[static_cast<std::size_t>(b)] = Reflex;
            }
            l = b;
            b = c;
            if (++skipped >= n_) return false;
        }
    }

    std::int32_t ntri = 0;

private:
    static constexpr int Free = 0, Reflex = -1, Removed = -2;

    bool same(int i, int j) const { return x_[i] == x_[j] && y_[i] == y_[j]; }

    // The turn of the corner (l, b, c), formed in double precision so that
    // the products of single-precision values are exact.
    bool turn(int l, int b, int c) const {
        const double bx = x_[b], by = y_[b];
        return (bx - x_[l]) * (static_cast<double>(y_[c]) - by) < (static_cast<double>(x_[c]) - bx) * (by - y_[l]);
    }
    bool is_convex(int l, int b, int c) const { return turn(l, b, c) == reference_; }

    // Whether corner B is worth testing; a corner blocked by a vertex that
    // has gone since is free again.
    bool ear_possible(int b) {
        std::int32_t& s = status_[static_cast<std::size_t>(b)];
        if (s == Reflex) return false;
        if (s > 0) {
            if (status_[static_cast<std::size_t>(s - 1)] != Removed) return false;
            s = Free;
        }
        return true;
    }

    // The next vertex after B that is kept, marking vertices at B's
    // position as removed on the way; L when the walk has come round.
    int next_kept(int l, int b) {
        int c = b;
        for (int k = 0; k < n_; ++k) {
            c = (c + 1) % n_;
            if (c == l) return c;
            std::int32_t& s = status_[static_cast<std::size_t>(c)];
            if (s == Removed) continue;
            if (same(c, b)) {
                s = Removed;
                continue;
            }
            return c;
        }
        return c;
    }

    // A vertex from after C to before L that lies in the triangle (l, b, c),
    // or -1.
    int blocker(int l, int b, int c) const {
        constexpr double margin = 1.1920929e-07;
        const int corner[3] = {l, b, c};
        double xlo = std::min({x_[l], x_[b], x_[c]}), xhi = std::max({x_[l], x_[b], x_[c]});
        double ylo = std::min({y_[l], y_[b], y_[c]}), yhi = std::max({y_[l], y_[b], y_[c]});
        xlo -= std::fabs(xlo) * margin;
        xhi += std::fabs(xhi) * margin;
        ylo -= std::fabs(ylo) * margin;
        yhi += std::fabs(yhi) * margin;
        for (int d = (c + 1) % n_; d != l; d = (d + 1) % n_) {
            const double dx = x_[d], dy = y_[d];
            if (dx < xlo || dx > xhi || dy < ylo || dy > yhi) continue;
            if (on_axis_side(corner, d) || strictly_inside(corner, d)) return d;
        }
        return -1;
    }

    static bool between(float v, float a, float b) { return std::min(a, b) <= v && v <= std::max(a, b); }

    // D on an axis-parallel side of the triangle, ends included.
    bool on_axis_side(const int (&k)[3], int d) const {
        for (int i = 0; i < 3; ++i) {
            const int p = k[i], q = k[(i + 1) % 3];
            if (x_[p] == x_[q] && x_[d] == x_[p] && between(y_[d], y_[p], y_[q])) return true;
            if (y_[p] == y_[q] && y_[d] == y_[p] && between(x_[d], x_[p], x_[q])) return true;
        }
        return false;
    }

    // For each corner, the line from it through D separates the other two.
    bool strictly_inside(const int (&k)[3], int d) const {
        for (int i = 0; i < 3; ++i) {
            const int p = k[i], q = k[(i + 1) % 3], r = k[(i + 2) % 3];
            const double vx = static_cast<double>(x_[d]) - x_[p], vy = static_cast<double>(y_[d]) - y_[p];
            const double sq = vx * (static_cast<double>(y_[q]) - y_[p]) - vy * (static_cast<double>(x_[q]) - x_[p]);
            const double sr = vx * (static_cast<double>(y_[r]) - y_[p]) - vy * (static_cast<double>(x_[r]) - x_[p]);
            if (!((sq > 0 && sr < 0) || (sq < 0 && sr > 0))) return false;
        }
        return true;
    }

    const float* x_;
    const float* y_;
    int n_;
    std::int32_t* t_;
    std::vector<std::int32_t> status_;
    bool reference_ = false;
};

}  // namespace

void YYPolygonDecompose(const float* x, const float* y, std::int32_t n, std::int32_t* t, std::int32_t& ntri) {
    ntri = 0;
    if (n < 3 || x == nullptr || y == nullptr || t == nullptr) return;
    int s0 = 0;
    for (int i = 1; i < n; ++i)
        if (y[i] > y[s0]) s0 = i;

    EarClipper clipper(x, y, n, t);
    // Later starts run through the vertices but the last; a start at the
    // last vertex would otherwise never come round again.
    int a = s0, first_later = -1;
    for (;;) {
        if (clipper.attempt(a)) {
            ntri = clipper.ntri;
            return;
        }
        int next = a + 1;
        if (next >= n - 1) next = 0;
        if (next == s0 || next == first_later) break;
        if (first_later < 0) first_later = next;
        a = next;
    }
    const bool finished = clipper.attempt(s0);
    ntri = clipper.ntri;
    if (!finished) yyerror(28, "YYPolygonDecompose");
}

// ---------------------------------------------------------------- triangles

void yygradienttriangle(const std::int32_t* tri, std::int32_t xmin, std::int32_t ymin, std::int32_t xmax,
                        std::int32_t ymax, GradientPointFn point) {
    if (tri == nullptr || point == nullptr) return;
    const GradientVertexBlock& v = gradient_block;
    std::int64_t px[3], py[3];
    float col[3][3];
    constexpr float scale = 0.003921568859f;
    for (int k = 0; k < 3; ++k) {
        if (tri[k] < 1 || tri[k] > GradientMaxVertices) return;
        const auto i = static_cast<std::size_t>(tri[k] - 1);
        px[k] = v.ix[i];
        py[k] = v.iy[i];
        const Rgb c = split(v.rgb[i]);
        col[k][0] = static_cast<float>(c.r) * scale;
        col[k][1] = static_cast<float>(c.g) * scale;
        col[k][2] = static_cast<float>(c.b) * scale;
    }
    std::int64_t ylo = std::min({py[0], py[1], py[2]}), yhi = std::max({py[0], py[1], py[2]});
    if (ylo > ymax || yhi < ymin) return;
    ylo = std::max<std::int64_t>(ylo, ymin);
    yhi = std::min<std::int64_t>(yhi, ymax);

    // Edges from corner a to corner b: 3 to 1, 1 to 2, 2 to 3.
    constexpr int edge[3][2] = {{2, 0}, {0, 1}, {1, 2}};
    for (std::int64_t y = ylo; y <= yhi; ++y) {
        std::int64_t xl = static_cast<std::int64_t>(xmax) + 1, xr = static_cast<std::int64_t>(xmin) - 1;
        float cl[3] = {0, 0, 0}, cr[3] = {0, 0, 0};
        for (const auto& e : edge) {
            const int a = e[0], b = e[1];
            if (py[a] == py[b] || y < std::min(py[a], py[b]) || y > std::max(py[a], py[b])) continue;
            const float f = static_cast<float>(y - py[b]) / static_cast<float>(py[a] - py[b]);
            const std::int64_t x =
                yytrunc(f * static_cast<float>(px[a]) + (1.0f - f) * static_cast<float>(px[b]) + 0.5f);
            float c[3];
            for (int k = 0; k < 3; ++k) c[k] = f * col[a][k] + (1.0f - f) * col[b][k];
            if (x < xl) {
                xl = x;
                std::copy(c, c + 3, cl);
            }
            if (x > xr) {
                xr = x;
                std::copy(c, c + 3, cr);
            }
        }
        if (xl > xmax || xr < xmin) continue;
        float d[3] = {0, 0, 0};
        if (xl < xr)
            for (int k = 0; k < 3; ++k) d[k] = (cr[k] - cl[k]) / static_cast<float>(xr - xl);
        const std::int64_t xs = std::max<std::int64_t>(xl, xmin);
        float c[3];
        for (int k = 0; k < 3; ++k) c[k] = cl[k] + d[k] * static_cast<float>(xs - xl);
        const std::int64_t xe = std::min<std::int64_t>(xr, xmax);
        for (std::int64_t x = xs; x <= xe; ++x) {
            const std::int32_t rgb =
                yytrunc(c[0] * 255.99f) + 256 * yytrunc(c[1] * 255.99f) + 65536 * yytrunc(c[2] * 255.99f);
            point(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y), rgb);
            for (int k = 0; k < 3; ++k) c[k] += d[k];
        }
    }
}

// ---------------------------------------------------------------- the fill

void yygradientfill(std::int32_t kind, std::int32_t xmin, std::int32_t ymin, std::int32_t xmax, std::int32_t ymax,
                    GradientPointFn point, GradientTriangleFn triangles) {
    GradientVertexBlock& v = gradient_block;
    int n = v.n;
    // A vertex list beyond the block's size cannot be what the sender meant.
    if (n < 3 || n > GradientMaxVertices) return;
    const bool merged = merge_runs(v, n);
    v.n = n;
    if (!merged || n < 3) return;

    auto fill = [&](int nt) {
        v.t = nt;
        if (kind == 2 && triangles != nullptr) {
            std::int32_t status = 1;
            triangles(v.ix.data(), v.iy.data(), v.rgb.data(), v.triangles.data(), n, nt, status);
            if (status == 0) return;
        }
        for (int k = 0; k < nt; ++k) yygradienttriangle(v.triangles.data() + 3 * k, xmin, ymin, xmax, ymax, point);
    };
    if (n == 3) {
        v.triangles[0] = 1;
        v.triangles[1] = 2;
        v.triangles[2] = 3;
        fill(1);
        return;
    }
    std::int32_t nt = 0;
    YYPolygonDecompose(quin01.X.data(), quin01.Y.data(), n, v.triangles.data(), nt);
    if (nt > 0) fill(nt);
}
