// Axis-parallel rectangles with the current fill attributes; unlike the
// other shapes they are hatched diagonally as well.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "lib/graphics/areas.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/window/errors.h"

namespace {

// The largest multiple of K not above V.
float floor_multiple(std::int64_t v, std::int64_t k) {
    std::int64_t m = v / k * k;
    if (m > v) m -= k;
    return static_cast<float>(m);
}

struct Rect {
    float xmin = 0, ymin = 0, xmax = 0, ymax = 0;
};

void diagonal_lines(const Rect& r, const FillPass& pass, float stepy, int istepy, float offset, float d) {
    const GraphicsState& g = gstate;
    // The lines are cut at the rectangle by a clip window of its own.
    yysav(2);
    yywing(std::max(r.xmin, g.wx1) + offset, std::max(r.ymin, g.wy1) + offset, std::min(r.xmax, g.wx2) - offset,
           std::min(r.ymax, g.wy2) - offset);
    const std::int64_t iymin = yytrunc(r.ymin);
    const std::int64_t id = static_cast<std::int64_t>(d);
    if (pass.hatch_angle == 1 || pass.hatch_style == 2) {
        float t = floor_multiple(iymin - id, istepy);
        while (hatch_advance(t, stepy) && t <= r.ymax) yylini(r.xmin, t, r.xmax, t + d);
    }
    if (pass.hatch_angle == 2 || pass.hatch_style == 2) {
        float t = floor_multiple(iymin, istepy);
        while (hatch_advance(t, stepy) && t <= r.ymax + d) yylini(r.xmin, t, r.xmax, t - d);
    }
    yysav(3);
}

void straight_lines(const Rect& r, const FillPass& pass, float stepx, float stepy, int istepx, int istepy,
                    float offset, int alternate) {
    // Without alternation lines run right to left and top to bottom; with
    // it the first runs left to right (bottom to top) and each next one the
    // other way.
    int e = 1;
    if (pass.hatch_angle == 3 || pass.hatch_style == 2) {
        const float a[2] = {r.xmin + offset, r.xmax - offset};
        const float start = floor_multiple(yytrunc(r.ymin), istepy);
        auto lines = [&](float t) {
            while (hatch_advance(t, stepy)) {
                t = std::max(t, r.ymin);
                if (t >= r.ymax) return;
                if (alternate == 1) e = 1 - e;
                yylini(a[e], t, a[1 - e], t);
            }
        };
        hatch_rows_two_colour(pass.side, start, stepy, lines);
    }
    if (pass.hatch_angle == 4 || pass.hatch_style == 2) {
        const float b[2] = {r.ymin + offset, r.ymax - offset};
        float u = floor_multiple(yytrunc(r.xmin), istepx);
        while (hatch_advance(u, stepx)) {
            u = std::max(u, r.xmin);
            if (u >= r.xmax) break;
            if (alternate == 1) e = 1 - e;
            yylini(u, b[e], u, b[1 - e]);
        }
    }
}

void draw_side(const Rect& r, const FillPass& pass) {
    if (pass.outline) yyrect(r.xmin, r.ymin, r.xmax, r.ymax);
    if (pass.hatch_style != 1 && pass.hatch_style != 2) return;
    float stepx = 0, stepy = 0, offset = 0;
    int istepx = 1, istepy = 1, alternate = 0;
    yystep(pass.side, gstate.fill_density, stepx, stepy, istepx, istepy, offset, alternate);
    const float d = static_cast<float>(static_cast<std::int64_t>(yytrunc(r.xmax)) - yytrunc(r.xmin));
    if (pass.hatch_angle == 1 || pass.hatch_angle == 2)
        diagonal_lines(r, pass, stepy, istepy, offset, d);
    else
        straight_lines(r, pass, stepx, stepy, istepx, istepy, offset, alternate);
}

// The device routine from step 2 on, with ordered corners.
void rectangle(const Rect& r) {
    const GraphicsState& g = gstate;
    // A corner that is not a finite number has no place on the drawable;
    // its hatch lines would run on until single precision stops them.
    if (!std::isfinite(r.xmin) || !std::isfinite(r.ymin) || !std::isfinite(r.xmax) || !std::isfinite(r.ymax))
        return;
    const std::int32_t ixmin = yytrunc(r.xmin), ixmax = yytrunc(r.xmax);
    const std::int32_t iymin = yytrunc(r.ymin), iymax = yytrunc(r.ymax);
    if (ixmin > g.ix2 || ixmax < g.ix1 || iymin > g.iy2 || iymax < g.iy1) return;
    DriverArguments& a = drvargs;
    a.IX[0] = std::max(ixmin, g.ix1);
    a.IY[0] = std::max(iymin, g.iy1);
    a.IX[1] = std::min(ixmax, g.ix2);
    a.IY[1] = std::min(iymax, g.iy2);
    a.X[0] = r.xmin;
    a.Y[0] = r.ymin;
    a.X[1] = r.xmax;
    a.Y[1] = r.ymax;
    FillShape shape;
    shape.shapeop = OpRectanglePattern;
    shape.draw_side = [&](const FillPass& pass) { draw_side(r, pass); };
    yyfillshape(shape);
}

void world_rectangle(float x1, float y1, float x2, float y2) {
    if (x1 == x2 || y1 == y2) {
        yyerror(22, "IGrRectangle");
        return;
    }
    Rect r;
    yye2i(std::min(x1, x2), std::min(y1, y2), r.xmin, r.ymin);
    yye2i(std::max(x1, x2), std::max(y1, y2), r.xmax, r.ymax);
    rectangle(r);
    gstate.pos_x = x1;
    gstate.pos_y = y1;
}

}  // namespace

void yyrecti(float x1, float y1, float x2, float y2) {
    rectangle(Rect{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)});
}

void IGrRectangle(float x1, float y1, float x2, float y2) { world_rectangle(x1, y1, x2, y2); }

void igrrectanglerel(float dx, float dy) {
    const float x = gstate.pos_x, y = gstate.pos_y;
    world_rectangle(x, y, x + dx, y + dy);
}
