// The polygon filler: scan lines with the even-odd rule over the vertices
// in the work block, drawn as lines through the line layer.
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "lib/graphics/areas.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/window/errors.h"

namespace {

// A scan line may cross at most this many edges; one more is too complex.
constexpr int MaxActiveEdges = 99;

struct Edge {
    float inverse_slope = 0.0f;  // span change per scan unit
    float smin = 0.0f, smax = 0.0f;  // scan coordinates of the two ends
    float at_smin = 0.0f;        // span coordinate at smin
};

// The polygon of one call: N vertices in quin01 (device units) and their
// bounding box.
struct Polygon {
    int n = 0;
    float xmin = 0, xmax = 0, ymin = 0, ymax = 0;
};

// Intersections and spans of one scan line. Static: the filler is not
// reentrant and allocates only its edge table.
struct ScanLists {
    std::array<float, MaxActiveEdges> cross{};
    std::array<float, MaxActiveEdges> start{}, end{};
};
ScanLists scan_lists;

float scan_of(int i, bool vertical) { return vertical ? quin01.X[static_cast<std::size_t>(i)] : quin01.Y[static_cast<std::size_t>(i)]; }
float span_of(int i, bool vertical) { return vertical ? quin01.Y[static_cast<std::size_t>(i)] : quin01.X[static_cast<std::size_t>(i)]; }

// Edge table of one pass, sorted ascending by smin. Edges whose ends have
// the same scan coordinate cross no scan line and are left out, and so are
// edges with a coordinate that is not a number or infinite.
std::vector<Edge> edge_table(const Polygon& p, bool vertical) {
    std::vector<Edge> edges;
    edges.reserve(static_cast<std::size_t>(p.n));
    for (int i = 0; i < p.n; ++i) {
        const int j = (i + 1) % p.n;
        const float sa = scan_of(i, vertical), sb = scan_of(j, vertical);
        const float ca = span_of(i, vertical), cb = span_of(j, vertical);
        if (sa == sb) continue;
        if (!std::isfinite(sa) || !std::isfinite(sb) || !std::isfinite(ca) || !std::isfinite(cb)) continue;
        Edge e;
        e.inverse_slope = (cb - ca) / (sb - sa);
        if (sa < sb) {
            e.smin = sa, e.smax = sb, e.at_smin = ca;
        } else {
            e.smin = sb, e.smax = sa, e.at_smin = cb;
        }
        edges.push_back(e);
    }
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.smin < b.smin; });
    return edges;
}

// Two spans touch when the second starts where the first ends: at the same
// pixel on the screen, at the same coordinate on the hardcopy side.
bool spans_touch(float end, float next_start, int side) {
    return side == 1 ? yytrunc(end) == yytrunc(next_start) : end == next_start;
}

// Draws the spans of one scan line at s.
void draw_spans(int spans, double s, bool vertical, int side) {
    const ScanLists& l = scan_lists;
    const float sf = static_cast<float>(s);
    if (vertical) {
        for (int k = 0; k < spans; ++k) yylini(sf, l.start[static_cast<std::size_t>(k)], sf, l.end[static_cast<std::size_t>(k)]);
        return;
    }
    int k = 0;
    while (k < spans) {
        const float a = l.start[static_cast<std::size_t>(k)];
        float b = l.end[static_cast<std::size_t>(k)];
        // A span that absorbs its neighbour does so once; the absorbed span
        // takes no neighbour of its own.
        if (k + 1 < spans && spans_touch(b, l.start[static_cast<std::size_t>(k + 1)], side)) {
            b = l.end[static_cast<std::size_t>(k + 1)];
            k += 2;
        } else {
            k += 1;
        }
        yylini(a, sf, b, sf);
    }
}

// One pass of scan lines from s0 with the given step. With DRAW false the
// pass only counts active edges. Returns false when a scan line has more
// active edges than the filler takes (lines drawn before it stay).
bool scan_pass(const Polygon& p, bool vertical, double s0, float step, int side, bool draw) {
    const std::vector<Edge> edges = edge_table(p, vertical);
    if (edges.empty()) {
        // Every edge runs along the scan direction: one line covers them.
        if (draw) {
            if (vertical)
                yylini(quin01.X[0], p.ymin, quin01.X[0], p.ymax);
            else
                yylini(p.xmin, quin01.Y[0], p.xmax, quin01.Y[0]);
        }
        return true;
    }
    const float smax = vertical ? p.xmax : p.ymax;
    ScanLists& l = scan_lists;
    std::vector<std::size_t> active;
    std::size_t next = 0;
    for (double s = s0; s <= smax;) {
        while (next < edges.size() && edges[next].smin <= s) active.push_back(next++);
        std::erase_if(active, [&](std::size_t e) { return edges[e].smax <= s; });
        if (active.size() > static_cast<std::size_t>(MaxActiveEdges)) return false;
        if (draw) {
            const int m = static_cast<int>(active.size());
            for (int k = 0; k < m; ++k) {
                const Edge& e = edges[active[static_cast<std::size_t>(k)]];
                l.cross[static_cast<std::size_t>(k)] =
                    static_cast<float>(e.at_smin + static_cast<double>(e.inverse_slope) * (s - e.smin));
            }
            int spans = 0;
            if (m == 2) {
                l.start[0] = std::min(l.cross[0], l.cross[1]);
                l.end[0] = std::max(l.cross[0], l.cross[1]);
                spans = 1;
            } else if (m > 2 && m % 2 == 0) {
                // Exchange sort; the lists are short.
                for (int i = 0; i < m - 1; ++i)
                    for (int j = i + 1; j < m; ++j)
                        if (l.cross[static_cast<std::size_t>(j)] < l.cross[static_cast<std::size_t>(i)])
                            yyexch(l.cross[static_cast<std::size_t>(i)], l.cross[static_cast<std::size_t>(j)]);
                spans = m / 2;
                for (int k = 0; k < spans; ++k) {
                    l.start[static_cast<std::size_t>(k)] = l.cross[static_cast<std::size_t>(2 * k)];
                    l.end[static_cast<std::size_t>(k)] = l.cross[static_cast<std::size_t>(2 * k + 1)];
                }
            }
            draw_spans(spans, s, vertical, side);
        }
        // A step that does not move the scan line (not positive, or lost in
        // the magnitude of s) would never end the pass.
        const double following = s + step;
        if (!(following > s)) break;
        s = following;
    }
    return true;
}

// First scan coordinate of a pass: on the screen half-way between pixel
// rows (columns), on the hardcopy side the polygon's own minimum.
double first_scan(float min, int side) {
    if (side != 1) return min;
    const double t = yytrunc(min);
    return min >= 0.0f ? t + 0.5 : t - 0.5;
}

struct HatchPlan {
    float stepx = 0, stepy = 0, offset = 0;
    int istepx = 0, istepy = 0, alternate = 0;
    bool horizontal = false, vertical = false;
};

HatchPlan plan_for(const FillPass& pass) {
    HatchPlan h;
    yystep(pass.side, gstate.fill_density, h.stepx, h.stepy, h.istepx, h.istepy, h.offset, h.alternate);
    h.horizontal = pass.hatch_style == 2 || pass.hatch_angle != 4;
    h.vertical = pass.hatch_style == 2 || pass.hatch_angle == 4;
    return h;
}

// Every scan pass of one side, drawn or only counted. Drawing runs the
// second-colour pass after the horizontal lines when the side asks for it.
bool hatch_side(const Polygon& p, const FillPass& pass, bool draw) {
    const HatchPlan h = plan_for(pass);
    if (h.horizontal) {
        double s0 = first_scan(p.ymin, pass.side);
        if (!scan_pass(p, false, s0, h.stepy, pass.side, draw)) return false;
        if (draw) {
            int colour_pass = 1;
            yy2col(pass.side, colour_pass);
            if (colour_pass == 2) {
                s0 += h.stepy / 2.0f;
                scan_pass(p, false, s0, h.stepy, pass.side, true);
                yy2col(pass.side, colour_pass);
            }
        } else if (yy2colneeded(pass.side)) {
            if (!scan_pass(p, false, s0 + h.stepy / 2.0f, h.stepy, pass.side, false)) return false;
        }
    }
    if (h.vertical) {
        if (!scan_pass(p, true, first_scan(p.xmin, pass.side), h.stepx, pass.side, draw)) return false;
    }
    return true;
}

void outline(const Polygon& p) {
    for (int i = 0; i + 1 < p.n; ++i)
        yylini(quin01.X[static_cast<std::size_t>(i)], quin01.Y[static_cast<std::size_t>(i)],
               quin01.X[static_cast<std::size_t>(i + 1)], quin01.Y[static_cast<std::size_t>(i + 1)]);
    const std::size_t last = static_cast<std::size_t>(p.n - 1);
    yylini(quin01.X[last], quin01.Y[last], quin01.X[0], quin01.Y[0]);
}

}  // namespace

void yyplygon(const float* x, const float* y, int n_given, int mode) {
    GraphicsState& g = gstate;
    if (x == nullptr || y == nullptr) return;
    const float first_x = n_given >= 1 ? x[0] : 0.0f;
    const float first_y = n_given >= 1 ? y[0] : 0.0f;

    Polygon p;
    p.n = std::min(n_given, WorkBlockPoints);
    if (p.n > 1) {
        if (x[p.n - 1] == x[0] && y[p.n - 1] == y[0]) --p.n;
        for (int i = 0; i < p.n; ++i) {
            float& qx = quin01.X[static_cast<std::size_t>(i)];
            float& qy = quin01.Y[static_cast<std::size_t>(i)];
            if (mode == 0) {
                yye2i(x[i], y[i], qx, qy);
            } else {
                qx = x[i];
                qy = y[i];
            }
        }
        p.xmin = p.xmax = quin01.X[0];
        p.ymin = p.ymax = quin01.Y[0];
        for (int i = 1; i < p.n; ++i) {
            p.xmin = std::min(p.xmin, quin01.X[static_cast<std::size_t>(i)]);
            p.xmax = std::max(p.xmax, quin01.X[static_cast<std::size_t>(i)]);
            p.ymin = std::min(p.ymin, quin01.Y[static_cast<std::size_t>(i)]);
            p.ymax = std::max(p.ymax, quin01.Y[static_cast<std::size_t>(i)]);
        }
        const bool outside = p.xmin > g.wx2 || p.xmax < g.wx1 || p.ymin > g.wy2 || p.ymax < g.wy1;
        // A box that is not finite has no scan lines to offer.
        const bool finite = std::isfinite(p.xmin) && std::isfinite(p.xmax) && std::isfinite(p.ymin) &&
                            std::isfinite(p.ymax);
        if (!outside && finite) {
            DriverArguments& a = drvargs;
            a.N = p.n;
            a.IX[0] = yytrunc(quin01.X[0]);
            a.IY[0] = yytrunc(quin01.Y[0]);
            a.IX[1] = yytrunc(p.xmin);
            a.IY[1] = yytrunc(p.ymin);
            a.IX[2] = yytrunc(p.xmax);
            a.IY[2] = yytrunc(p.ymax);

            // A solid or pattern fill the device does itself (the common
            // case of many small filled polygons) ends here, as the fill
            // protocol would end it, without setting the protocol up.
            const bool device_fill = g.fill_style == 3 || g.fill_style == 4;
            if (device_fill) yygdrv(yydevicefillop(OpPolygonPattern));
            if (device_fill && yydevicefilldone()) {
                if (mode == 0 && n_given >= 1) {
                    g.pos_x = first_x;
                    g.pos_y = first_y;
                }
                return;
            }

            // Whether the fill fits the filler is settled for every side
            // before any side draws, so that a polygon that is too complex
            // leaves no side with part of a fill: each side keeps its
            // outline and gets no fill lines.
            bool fill_fits = true;
            FillShape shape;
            shape.shapeop = OpPolygonPattern;
            shape.device_op_sent = device_fill;
            shape.prepare = [&](const FillPass* passes, int count) {
                for (int i = 0; i < count && fill_fits; ++i)
                    if (passes[i].hatch_style == 1 || passes[i].hatch_style == 2)
                        fill_fits = hatch_side(p, passes[i], false);
                if (!fill_fits) yyerror(49, "YYPLYGON");
            };
            shape.draw_side = [&](const FillPass& pass) {
                if (pass.outline) outline(p);
                if (fill_fits && (pass.hatch_style == 1 || pass.hatch_style == 2)) hatch_side(p, pass, true);
            };
            yyfillshape(shape);
        }
    }
    if (mode == 0 && n_given >= 1) {
        g.pos_x = first_x;
        g.pos_y = first_y;
    }
}

void IGrPolygonComplex(const float* x, const float* y, int n) { yyplygon(x, y, n, 0); }
