// Plot units to graphics units: linear and logarithmic axes, the polar
// circle and the oblique projection of the 3-D base.
#include <algorithm>
#include <cmath>

#include "lib/pgraph/pg_core.h"
#include "lib/pgraph/pg_internal.h"
#include "lib/pgraph/pgraph.h"
#include "lib/pgraph/pgstate.h"

namespace {

// Position along an axis as a fraction of its plot range. A range of 0 (a
// logarithmic axis whose limits have the same absolute value, or a state
// that was never initialised) puts every value at the start of the axis.
float fraction(float offset, float range) { return range != 0.0f ? offset / range : 0.0f; }

// Category steps of the 3-D base along x and y. Counts are at least 2 for
// every plot that reaches the projection; a base without steps is drawn as
// one step rather than divided by zero.
float base_steps(std::size_t k) { return pgstate.PGRNSTEP[k] > 0.0f ? pgstate.PGRNSTEP[k] : 1.0f; }

}  // namespace

float yylog1(float x) {
    if (x == 0.0f) return -38.0f;
    return static_cast<float>(std::log10(std::fabs(static_cast<double>(x))));
}

namespace {

// One axis: plot value to graphics units through the plot area, whose edges
// a0, a1 are fractions of the graphics-unit range u1..u2.
float plot_to_graphics(float v, bool log, float logmin, float logrange, float vmin, float range,
                       float a0, float a1, float u1, float u2) {
    const float t = log ? fraction(yylog1(v) - logmin, logrange) : fraction(v - vmin, range);
    return (a0 + t * (a1 - a0)) * (u2 - u1) + u1;
}

}  // namespace

float yyp2x(float x) {
    const PgState& s = pgstate;
    float ux1, uy1, ux2, uy2;
    pg_graphics_units(ux1, uy1, ux2, uy2);
    return plot_to_graphics(x, s.PGXLOG == 1, s.PGLOGXMIN, s.PGLOGXRANGE, s.PGXMIN, s.PGWIDTH,
                            s.PGXLEFT, s.PGXRIGHT, ux1, ux2);
}

float yyp2y(float y) {
    const PgState& s = pgstate;
    float ux1, uy1, ux2, uy2;
    pg_graphics_units(ux1, uy1, ux2, uy2);
    return plot_to_graphics(y, s.PGYLOG == 1, s.PGLOGYMIN, s.PGLOGYRANGE, s.PGYMIN, s.PGHEIGHT,
                            s.PGYLOWER, s.PGYUPPER, uy1, uy2);
}

void ipgunitstogrunits(float x, float y, float& gx, float& gy) {
    gx = yyp2x(x);
    gy = yyp2y(y);
}

void yypol(float& xc, float& yc, float& rx, float& ry) {
    PgState& s = pgstate;
    const std::int32_t xlog = s.PGXLOG;
    const std::int32_t ylog = s.PGYLOG;
    s.PGXLOG = 0;
    s.PGYLOG = 0;

    float a = 1.0f;
    if (pg_screen_output() == 1) {
        a = pg_drawable_aspect();
    } else {
        a = pg_page_aspect();
    }
    float ux1, uy1, ux2, uy2, aw, ah;
    pg_graphics_units(ux1, uy1, ux2, uy2);
    pg_area_fractions(aw, ah);
    float k = a * (uy2 - uy1) / (ux2 - ux1) * aw / ah;
    if (!(k > 0.0f) || !std::isfinite(k)) k = 1.0f;

    float gx1, gy1, gx2, gy2;
    ipgunitstogrunits(s.PGXMIN, s.PGYMIN, gx1, gy1);
    ipgunitstogrunits(s.PGXMAX, s.PGYMAX, gx2, gy2);
    const float w = gx2 - gx1;
    const float h = gy2 - gy1;
    rx = 0.5f * std::min(w, h / k);
    ry = k * rx;
    ipgunitstogrunits((s.PGXMIN + s.PGXMAX) * 0.5f, (s.PGYMIN + s.PGYMAX) * 0.5f, xc, yc);

    s.PGXLOG = xlog;
    s.PGYLOG = ylog;
}

void yy3dxy(float& ax, float& bx, float& by, float& ay, float& zf, float& x0, float& y0) {
    const PgState& s = pgstate;
    const float nx = base_steps(0);
    const float ny = base_steps(1);
    const float e = s.PGELEVATION;
    const float d = s.PGDEPTHRATIO;
    const float w = s.PGWIDTH;
    const float h = s.PGHEIGHT;

    const float sx = 1.4142f * s.PGCOSROTM;
    const float sy = 1.4142f * s.PGCOSROTP;
    zf = s.PGZRANGE != 0.0f ? 0.5f * h / s.PGZRANGE : 0.0f;
    ax = sx * d * w / nx;
    ay = sy * e * 0.5f * h / nx;
    bx = sy * (1.0f - d) * w / ny;
    by = sx * e * 0.5f * h / ny;

    // Fit the base across the plot width.
    const float a = nx * ax;
    const float b = ny * bx;
    const float lo = std::min({0.0f, a, b, a + b});
    const float hi = std::max({0.0f, a, b, a + b});
    if (hi - lo > w) {
        const float f = w / (hi - lo);
        ax *= f;
        ay *= f;
        bx *= f;
        by *= f;
    }
    x0 = s.PGXMIN + 0.5f * (w - nx * ax - ny * bx);

    // Vertical placement: never scaled, only centred when there is room.
    const float p = nx * ay;
    const float q = -ny * by;
    const float lo2 = std::min({0.0f, p, q, p + q});
    const float hi2 = std::max({0.0f, p, q, p + q});
    const float t = 0.5f * h + (hi2 - lo2);
    y0 = t >= h ? s.PGYMIN - lo2 : s.PGYMIN - lo2 + 0.5f * (h - t);
}

void yycorn(std::array<float, 4>& gx, std::array<float, 4>& gy, std::int32_t& ileft, float& yleft) {
    float ax, bx, by, ay, zf, x0, y0;
    yy3dxy(ax, bx, by, ay, zf, x0, y0);
    const float nx = base_steps(0);
    const float ny = base_steps(1);
    const float cx2 = x0 + nx * ax;
    const float cy2 = y0 + nx * ay;
    const std::array<float, 4> px = {x0, cx2, cx2 + ny * bx, x0 + ny * bx};
    const std::array<float, 4> py = {y0, cy2, cy2 - ny * by, y0 - ny * by};
    std::size_t left = 0;
    for (std::size_t k = 0; k < 4; ++k) {
        gx[k] = yyp2x(px[k]);
        gy[k] = yyp2y(py[k]);
        if (gx[k] < gx[left]) left = k;
    }
    ileft = static_cast<std::int32_t>(left) + 1;
    yleft = py[left];
}
