// Axis-parallel circles and ellipses with the current fill attributes.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "lib/graphics/areas.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/window/errors.h"

namespace {

// The segments of a software outline grow with the radius; this many per
// half is already smooth on any device, and keeps the angle step large
// enough to advance in single precision.
constexpr int MaxOutlineSegments = 10000;

// Values of one ellipse.
struct Ellipse {
    float xc = 0, yc = 0, rx = 0, ry = 0;
    float xlo = 0, xhi = 0, ylo = 0, yhi = 0;
    int software_outline[2] = {0, 0};  // per side: 2 when the outline is drawn as lines
};

// y radius for the ratio of the drawing's width to its height. The radius
// is measured in x units; the y radius follows the shape of the drawing
// area and the given width-to-height ratio.
float y_radius(float r, float ratio, float width_to_height) {
    const GraphicsState& g = gstate;
    return r * ratio * g.text_ref_size_y / g.text_ref_range_x * width_to_height;
}

void software_outline(const Ellipse& e) {
    const GraphicsState& g = gstate;
    const long long w = std::max(g.width, 1);
    const long long segments = static_cast<long long>(yytrunc(e.rx)) * 75 / w + 25;
    const int n = static_cast<int>(std::clamp(segments, 1LL, static_cast<long long>(MaxOutlineSegments)));
    const float dtheta = 3.1415927f / static_cast<float>(n);
    for (const float sign : {-1.0f, 1.0f}) {
        float px = e.xc, py = e.yc + e.ry;
        for (float theta = dtheta; theta <= 3.1416926f; theta += dtheta) {
            const float qx = e.xc + sign * e.rx * std::sin(theta);
            const float qy = e.yc + e.ry * std::cos(theta);
            yylini(px, py, qx, qy);
            px = qx;
            py = qy;
        }
    }
}

// Half-length of a hatch line; whole device units on the screen side.
float half_length(float v) {
    const float a = std::fabs(v);
    return gstate.hardcopy_flag == 0 ? static_cast<float>(yytrunc(a)) : a;
}

float clamp_unit(float v) { return std::clamp(v, -1.0f, 1.0f); }

void hatch(const Ellipse& e, const FillPass& pass) {
    float stepx = 0, stepy = 0, offset = 0;
    int istepx = 1, istepy = 1, alternate = 0;
    yystep(pass.side, gstate.fill_density, stepx, stepy, istepx, istepy, offset, alternate);
    float s = 1.0f;
    // Diagonal angles are drawn as horizontal lines.
    if (pass.hatch_style == 2 || (pass.hatch_angle >= 1 && pass.hatch_angle <= 3)) {
        const float t0 = static_cast<float>(static_cast<long long>(yytrunc(e.ylo)) / istepy * istepy);
        auto lines = [&](float t) {
            for (;;) {
                // Up to the first line at or above the bottom of the cut
                // extent.
                do {
                    if (!hatch_advance(t, stepy)) return;
                } while (t < e.ylo);
                if (t >= e.yhi) return;
                const float theta = std::acos(clamp_unit((t - e.yc) / e.ry));
                const float w = half_length(e.rx * std::sin(theta));
                if (alternate == 1) s = -s;
                yylini(e.xc - s * w + offset, t, e.xc + s * w - offset, t);
            }
        };
        hatch_rows_two_colour(pass.side, t0, stepy, lines);
    }
    if (pass.hatch_style == 2 || pass.hatch_angle == 4) {
        float u = static_cast<float>(static_cast<long long>(yytrunc(e.xlo)) / istepx * istepx);
        for (bool more = true; more;) {
            do {
                more = hatch_advance(u, stepx);
            } while (more && u < e.xlo);
            if (!more || u >= e.xhi) break;
            const float theta = std::asin(clamp_unit((u - e.xc) / e.rx));
            const float h = half_length(e.ry * std::cos(theta));
            if (alternate == 1) s = -s;
            yylini(u, e.yc - s * h + offset, u, e.yc + s * h - offset);
        }
    }
}

}  // namespace

namespace {

// The ellipse's device values; false (nothing to draw) when it lies wholly
// outside the clip window or is not finite.
bool place_ellipse(float x, float y, float r, float ratio, Ellipse& e) {
    const GraphicsState& g = gstate;
    yye2i(x, y, e.xc, e.yc);
    e.rx = r * g.sx;
    e.ry = y_radius(r, ratio, g.aspect_ratio);
    const bool outside = e.xc - e.rx > g.wx2 || e.xc + e.rx < g.wx1 || e.yc - e.ry > g.wy2 || e.yc + e.ry < g.wy1;
    const bool finite = std::isfinite(e.xc) && std::isfinite(e.yc) && std::isfinite(e.rx) && std::isfinite(e.ry);
    if (outside || !finite) return false;
    e.ylo = std::max(e.yc - e.ry, g.wy1);
    e.yhi = std::min(e.yc + e.ry, g.wy2);
    e.xlo = std::max(e.xc - e.rx, g.wx1);
    e.xhi = std::min(e.xc + e.rx, g.wx2);
    return true;
}

// The device values of a placed ellipse with the integer operands, and back.
CircleSet::Placed placed_of(const Ellipse& e) {
    return {e.xc,          e.yc,          e.rx,          e.ry,          e.xlo,          e.xhi, e.ylo, e.yhi,
            yytrunc(e.xc), yytrunc(e.yc), yytrunc(e.rx), yytrunc(e.ry), yytrunc(e.ylo), yytrunc(e.yhi), true};
}

Ellipse ellipse_of(const CircleSet::Placed& p) {
    Ellipse e;
    e.xc = p.xc;
    e.yc = p.yc;
    e.rx = p.rx;
    e.ry = p.ry;
    e.xlo = p.xlo;
    e.xhi = p.xhi;
    e.ylo = p.ylo;
    e.yhi = p.yhi;
    return e;
}

// The driver operands of a placed ellipse.
void ellipse_operands(const CircleSet::Placed& p, float r, float ratio) {
    DriverArguments& a = drvargs;
    a.IX[0] = p.ix0;
    a.IY[0] = p.iy0;
    a.IX[1] = p.ix1;
    a.IY[1] = p.iy1;
    a.IY[2] = p.iy2;
    a.IY[3] = p.iy3;
    a.X[0] = p.xc;
    a.Y[0] = p.yc;
    a.X[1] = p.rx;
    a.Y[1] = p.ry;
    a.Y[2] = p.ylo;
    a.Y[3] = p.yhi;
    a.X[2] = ratio;
    a.X[3] = r;
}

// What the device values of a circle depend on.
std::array<float, 11> circle_mapping() {
    const GraphicsState& g = gstate;
    return {g.ux1, g.uy1, g.sx, g.sy, g.wx1, g.wy1, g.wx2, g.wy2, g.aspect_ratio, g.text_ref_size_y,
            g.text_ref_range_x};
}

bool same_bits(const std::array<float, 11>& a, const std::array<float, 11>& b) {
    return std::memcmp(a.data(), b.data(), sizeof(float) * a.size()) == 0;
}

// The fill protocol for a placed ellipse.
void fill_ellipse(Ellipse& e, float r, float ratio, bool device_op_sent) {
    GraphicsState& g = gstate;
    FillShape shape;
    shape.shapeop = OpEllipsePattern;
    shape.device_op_sent = device_op_sent;
    shape.before_begin = [] { gstate.hc.HardcopyFillSpacing = 100.0f; };
    shape.after_begin = [&] {
        // A driver that cannot draw the outline either says so in K.
        if (drvargs.K == -1) e.software_outline[1] = 2;
    };
    shape.draw_side = [&](const FillPass& pass) {
        if (pass.side == 1 && pass.outline) yygdrv(OpEllipse);
        if (pass.side == 2) {
            // The page has its own proportions.
            const float page_w = static_cast<float>(g.hc.options.get(1));
            const float page_h = static_cast<float>(g.hc.options.get(2));
            const float page_ratio = page_w > 0.0f && page_h > 0.0f ? page_w / page_h : g.aspect_ratio;
            e.ry = y_radius(r, ratio, page_ratio);
            e.ylo = std::max(e.yc - e.ry, g.wy1);
            e.yhi = std::min(e.yc + e.ry, g.wy2);
        }
        if (e.software_outline[pass.side - 1] != 0 && g.outline_flag != 0) software_outline(e);
        if (pass.hatch_style == 1 || pass.hatch_style == 2) hatch(e, pass);
    };
    yyfillshape(shape);
}

// The device values of every circle of the set under the mapping, unless
// they are already kept for it.
void place_circles(CircleSet& set, const std::array<float, 11>& mapping, std::size_t n) {
    if (set.placed.size() == n && same_bits(mapping, set.mapping)) return;
    set.placed.assign(n, CircleSet::Placed{});
    for (std::size_t i = 0; i < n; ++i) {
        Ellipse e;
        if (set.r[i] > 0.0f && place_ellipse(set.x[i], set.y[i], set.r[i], 1.0f, e)) set.placed[i] = placed_of(e);
    }
    set.mapping = mapping;
}

// Circles from..to-1 of a set, the first with a positive radius, sent while
// no device receives them: up to the next refused radius, what remains of
// sending each is the operands of the last one inside the window and the
// position of the last one. Only those circles are placed. Returns where the
// run ends.
std::size_t pass_unseen(const CircleSet& set, std::size_t from, std::size_t to) {
    const auto next = std::lower_bound(set.refused.begin(), set.refused.end(), from);
    const std::size_t end = next == set.refused.end() ? to : std::min(to, *next);
    for (std::size_t i = end; i > from; --i) {
        Ellipse e;
        if (place_ellipse(set.x[i - 1], set.y[i - 1], set.r[i - 1], 1.0f, e)) {
            ellipse_operands(placed_of(e), set.r[i - 1], 1.0f);
            break;
        }
    }
    gstate.pos_x = set.x[end - 1];
    gstate.pos_y = set.y[end - 1];
    return end;
}

}  // namespace

void yyelip(float x, float y, float r, float ratio) {
    GraphicsState& g = gstate;
    // Written so that a radius or ratio that is not a number is refused too.
    if (!(r > 0.0f) || !(ratio > 0.0f)) {
        yyerror(20, "YYELIP");
        return;
    }
    Ellipse e;
    if (place_ellipse(x, y, r, ratio, e)) {
        ellipse_operands(placed_of(e), r, ratio);
        fill_ellipse(e, r, ratio, false);
    }
    g.pos_x = x;
    g.pos_y = y;
}

void igrcircleset(CircleSet& set, std::size_t from, std::size_t to) {
    GraphicsState& g = gstate;
    const std::size_t n = std::min({set.x.size(), set.y.size(), set.r.size()});
    to = std::min(to, n);
    if (set.refused_of != n) {
        set.refused.clear();
        for (std::size_t i = 0; i < n; ++i)
            if (!(set.r[i] > 0.0f)) set.refused.push_back(i);
        set.refused_of = n;
    }
    const std::array<float, 11> mapping = circle_mapping();
    bool placed = false;
    // The device operation follows from the fill attributes, which drawing
    // does not change.
    const std::int32_t op = yydevicefillop(OpEllipsePattern);
    const float* r = set.r.data();
    for (std::size_t i = from; i < to;) {
        // A device fill with nothing else to do (no hardcopy side) is sent
        // straight away; every other case takes the whole protocol.
        const bool device_fill = (g.fill_style == 3 || g.fill_style == 4) && g.hardcopy_flag <= 0;
        if (!device_fill || !(r[i] > 0.0f)) {
            yyelip(set.x[i], set.y[i], r[i], 1.0f);
            ++i;
            continue;
        }
        if (g.FillEmulationRequest[ScreenSide] == 0 && yygdrvidle()) {
            i = pass_unseen(set, i, to);
            continue;
        }
        // Placed only once a device receives circles.
        if (!placed) {
            place_circles(set, mapping, n);
            placed = true;
        }
        const CircleSet::Placed& p = set.placed[i];
        if (p.visible) {
            ellipse_operands(p, r[i], 1.0f);
            yygdrv(op);
            // The device asked for lines: the rest of the protocol.
            if (g.FillEmulationRequest[ScreenSide] != 0) {
                Ellipse e = ellipse_of(p);
                fill_ellipse(e, r[i], 1.0f, true);
            }
        }
        g.pos_x = set.x[i];
        g.pos_y = set.y[i];
        ++i;
    }
}

void igrcircle(float x, float y, float r) { yyelip(x, y, r, 1.0f); }
void igrcirclerel(float r) { yyelip(gstate.pos_x, gstate.pos_y, r, 1.0f); }
void igrellipse(float x, float y, float r, float ratio) { yyelip(x, y, r, ratio); }
void igrellipserel(float r, float ratio) { yyelip(gstate.pos_x, gstate.pos_y, r, ratio); }
