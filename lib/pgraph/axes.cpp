// The frame lines of the current plot: the axis cross of 2-D plots, the box
// of 3-D plots with its optionally filled walls, and the diameters and the
// circle of polar plots.
#include <array>
#include <cstdint>
#include <functional>

#include "lib/graphics/colours.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/pgraph/pg_core.h"
#include "lib/pgraph/pg_internal.h"
#include "lib/pgraph/pgraph.h"
#include "lib/pgraph/pgstate.h"

namespace {

// Select a wall's colours: with the two-colour pattern its second colour
// follows the first, so that the pattern is drawn with both.
void wall_colours(std::size_t row) {
    const PgState& s = pgstate;
    IGrColourN(s.PGWALLCOLOUR[row][0]);
    if (s.PGWALLFILL == 3) IGrColourN(s.PGWALLCOLOUR[row][1]);
}

void fill_quad(std::size_t row, const std::array<float, 4>& x, const std::array<float, 4>& y) {
    wall_colours(row);
    IGrPolygonComplex(x.data(), y.data(), 4);
}

// The diameters and the circle of a polar plot on the device whose output
// is on, with that device's aspect ratio.
void polar_frame(float aspect) {
    float xc, yc, rx, ry;
    yypol(xc, yc, rx, ry);
    igrjoin(xc - rx, yc, xc + rx, yc);
    igrjoin(xc, yc - ry, xc, yc + ry);
    // A plot area without extent (or running backwards) has no circle.
    const float ratio = ry / (aspect * rx);
    if (rx > 0.0f && ratio > 0.0f) igrellipse(xc, yc, rx, ratio);
}

void polar_axes() {
    GraphicsState& g = gstate;
    const std::int32_t style = g.fill_style;
    g.fill_style = 0;
    pg_polar_passes(polar_frame);
    g.fill_style = style;
}

// A box of a front and a back frame, the back one shifted up and right by
// the depth of one category.
void box_axes(float x1, float y1, float x2, float y2) {
    const PgState& s = pgstate;
    const float dx = (x2 - x1) * s.PGCATWIDTH;
    const float dy = (y2 - y1) * s.PGCATWIDTH;
    const float bx1 = x1 + dx, by1 = y1 + dy;
    const float fx2 = x2 - dx, fy2 = y2 - dy;
    if (s.PGWALLFILL != 0) {
        yysav(0);
        gstate.fill_style = s.PGWALLFILL;
        fill_quad(2, {bx1, bx1, x2, x2}, {by1, y2, y2, by1});
        fill_quad(0, {bx1, x1, fx2, x2}, {by1, y1, y1, by1});
        fill_quad(1, {bx1, x1, x1, bx1}, {by1, y1, fy2, y2});
        yysav(1);
    }
    igrjoin(bx1, by1, x2, by1);
    igrlineto(x2, y2);
    igrlineto(bx1, y2);
    igrlineto(bx1, by1);
    igrlineto(x1, y1);
    igrjoin(x1, fy2, bx1, y2);
    igrjoin(x2, by1, fx2, y1);
    igrlineto(x1, y1);
    igrlineto(x1, fy2);
}

// The projected base with the two walls standing at its back corner.
void projected_axes() {
    const PgState& s = pgstate;
    std::array<float, 4> gx{}, gy{};
    std::int32_t ileft = 1;
    float yleft = 0.0f;
    yycorn(gx, gy, ileft, yleft);
    const auto corner = [&](std::int32_t n) { return static_cast<std::size_t>((n - 1) % 4); };
    const std::size_t k = corner(ileft);
    const std::size_t k1 = corner(ileft + 1);
    const std::size_t k2 = corner(ileft + 2);
    const std::size_t k3 = corner(ileft + 3);
    const std::size_t b = gy[k1] > gy[k3] ? k1 : k3;
    const float h = yyp2y(s.PGYMIN + 0.5f * s.PGHEIGHT) - yyp2y(s.PGYMIN);
    const bool even = ileft % 2 == 0;

    if (s.PGWALLFILL != 0) {
        yysav(0);
        gstate.fill_style = s.PGWALLFILL;
        fill_quad(2, gx, gy);
        fill_quad(even ? 1 : 0, {gx[k], gx[k], gx[b], gx[b]}, {gy[k], gy[k] + h, gy[b] + h, gy[b]});
        fill_quad(even ? 0 : 1, {gx[k2], gx[k2], gx[b], gx[b]}, {gy[k2], gy[k2] + h, gy[b] + h, gy[b]});
        yysav(1);
    }
    const std::array<float, 5> ox = {gx[0], gx[1], gx[2], gx[3], gx[0]};
    const std::array<float, 5> oy = {gy[0], gy[1], gy[2], gy[3], gy[0]};
    igrpolyline(ox.data(), oy.data(), 5);
    igrjoin(gx[k], gy[k], gx[k], gy[k] + h);
    igrlineto(gx[b], gy[b] + h);
    igrlineto(gx[b], gy[b]);
    igrjoin(gx[k2], gy[k2], gx[k2], gy[k2] + h);
    igrlineto(gx[b], gy[b] + h);
}

}  // namespace

void pg_polar_passes(const std::function<void(float aspect)>& draw) {
    GraphicsState& g = gstate;
    const std::int32_t screen = g.screen_flag;
    const std::int32_t hardcopy = g.hardcopy_flag;
    if (screen != 0) {
        g.hardcopy_flag = 0;
        draw(g.aspect_ratio);
    }
    if (hardcopy != 0) {
        g.screen_flag = 0;
        g.hardcopy_flag = hardcopy;
        draw(pg_page_aspect());
    }
    g.screen_flag = screen;
    g.hardcopy_flag = hardcopy;
}

float pg_page_aspect() {
    const std::int32_t w = pg_hardcopy_option(1);
    const std::int32_t h = pg_hardcopy_option(2);
    // A page without a height yet counts as square, as in the text layer.
    return h != 0 ? static_cast<float>(w) / static_cast<float>(h) : 1.0f;
}

void ipgaxes(std::optional<float> xcross, std::optional<float> ycross) {
    const PgState& s = pgstate;
    float x1, y1, x2, y2;
    ipgunitstogrunits(s.PGXMIN, s.PGYMIN, x1, y1);
    ipgunitstogrunits(s.PGXMAX, s.PGYMAX, x2, y2);

    if (s.PGPOLAR != 0) {
        polar_axes();
    } else if (s.PG3D == 0) {
        const float xa = xcross.value_or(0.0f);
        const float ya = ycross.value_or(0.0f);
        const float cxp = xa >= s.PGXLOW && xa <= s.PGXHIGH ? xa : s.PGXMIN;
        const float cyp = ya >= s.PGYLOW && ya <= s.PGYHIGH ? ya : s.PGYMIN;
        float cx, cy;
        ipgunitstogrunits(cxp, cyp, cx, cy);
        igrjoin(cx, y1, cx, y2);
        igrjoin(x1, cy, x2, cy);
    } else if (s.PG3DAXES == 0) {
        box_axes(x1, y1, x2, y2);
    } else {
        projected_axes();
    }
}
