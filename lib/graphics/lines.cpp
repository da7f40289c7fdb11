#include "lib/graphics/lines.h"

#include <algorithm>

#include "lib/graphics/areas.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/screen.h"

namespace {

// Edge intersections of the clipper. Recomputed at every call; kept static
// so that clipping allocates nothing and keeps no state on the stack of
// callers that clip many strokes.
struct ClipIntersections {
    float tx = 0, ty = 0;  // top
    float bx = 0, by = 0;  // bottom
    float rx = 0, ry = 0;  // right
    float lx = 0, ly = 0;  // left
};
ClipIntersections clip_points;

// Clips the line slots X1, Y1, X2, Y2 of the operand block and sends
// operation 2 when something of the line remains.
void send_line_slots() {
    DriverArguments& a = drvargs;
    int visible = 0;
    yyclip(a.X[0], a.Y[0], a.X[1], a.Y[1], visible);
    if (visible == 0) return;
    if (gstate.screen_flag != 0) {
        a.IX[0] = yytrunc(a.X[0]);
        a.IY[0] = yytrunc(a.Y[0]);
        a.IX[1] = yytrunc(a.X[1]);
        a.IY[1] = yytrunc(a.Y[1]);
        yygdrv(OpLine);
    }
    if (gstate.hardcopy_flag > 0) yyhdrv(OpLine);
}

// The point at the current position, drawn when inside.
void draw_current_point() {
    DriverArguments& a = drvargs;
    yye2i(gstate.pos_x, gstate.pos_y, a.X[0], a.Y[0]);
    if (yybox(a.X[0], a.Y[0]) == 0) return;
    a.IX[0] = yytrunc(a.X[0]);
    a.IY[0] = yytrunc(a.Y[0]);
    yygdrv(OpPoint);
    yyhdrv(OpPoint);
}

// Sends the open run of K points in the work block as one polyline.
void send_run(int k) {
    drvargs.N = k;
    yygdrv(OpPolyline);
    yyhdrv(OpPolyline);
}

// Clamps the coordinates a1, a2 of a segment that stays within one pixel
// column (or row) into lo..hi. Returns false when the segment lies wholly
// beyond one end.
bool clamp_axis(float& a1, float& a2, float lo, float hi) {
    if (std::min(a1, a2) > hi || std::max(a1, a2) < lo) return false;
    if (a1 < a2) {
        a1 = std::max(a1, lo);
        a2 = std::min(a2, hi);
    } else {
        a2 = std::max(a2, lo);
        a1 = std::min(a1, hi);
    }
    return true;
}

}  // namespace

// ---------------------------------------------------------------- inside tests

int yybox(float x, float y) {
    const auto& c = gstate.clip_box;
    // Written so that NaN coordinates are outside.
    return (x >= c[0] && x <= c[2] && y >= c[1] && y <= c[3]) ? 1 : 0;
}

int yylin(float px, float py, float x1, float y1, float x2, float y2) {
    if (yybox(px, py) == 0) return 0;
    const bool in_x = std::min(x1, x2) <= px && px <= std::max(x1, x2);
    const bool in_y = std::min(y1, y2) <= py && py <= std::max(y1, y2);
    return (in_x && in_y) ? 1 : 0;
}

// ---------------------------------------------------------------- clipper

void yyclip(float& x1, float& y1, float& x2, float& y2, int& visible) {
    const GraphicsState& g = gstate;
    visible = 1;
    const bool in1 = yybox(x1, y1) != 0;
    if (in1 && yybox(x2, y2) != 0) return;

    // Within one pixel column only y needs cutting, within one row only x;
    // a slope would be useless or infinite there. The column wins when both
    // hold.
    const bool column = yytrunc(x1) == yytrunc(x2);
    if (column || yytrunc(y1) == yytrunc(y2)) {
        const bool kept = column ? clamp_axis(y1, y2, g.wy1, g.wy2) : clamp_axis(x1, x2, g.wx1, g.wx2);
        visible = kept ? yybox(x1, y1) : 0;
        return;
    }

    // General case: both the truncated x and y values differ, so neither
    // x2 - x1 nor y2 - y1 is zero. The intersections of the infinite line
    // with the four edges come from the ends as given, before any cut.
    const float m = (y2 - y1) / (x2 - x1);
    const float b = y1 - m * x1;
    ClipIntersections& q = clip_points;
    q.tx = (g.wy2 - b) / m;
    q.ty = g.wy2;
    q.bx = (g.wy1 - b) / m;
    q.by = g.wy1;
    q.rx = g.wx2;
    q.ry = m * g.wx2 + b;
    q.lx = g.wx1;
    q.ly = m * g.wx1 + b;

    // Each edge test uses the ends as cut so far: a segment entering and
    // leaving the window is cut at its first crossing and returned at the
    // second. `p2_beyond` tells that P2 lies beyond the edge as seen from
    // P1, `p1_beyond` the reverse. Returns true when the segment is done.
    auto cut = [&](float qx, float qy, bool p2_beyond, bool p1_beyond) {
        if (yylin(qx, qy, x1, y1, x2, y2) == 0) return false;
        if (yybox(x1, y1) != 0 && p2_beyond) {
            x2 = qx, y2 = qy;
            return true;
        }
        if (yybox(x2, y2) != 0 && p1_beyond) {
            x1 = qx, y1 = qy;
            return true;
        }
        if (p2_beyond)
            x2 = qx, y2 = qy;
        else
            x1 = qx, y1 = qy;
        return false;
    };
    if (cut(q.tx, q.ty, y2 > y1, y1 > y2)) return;
    if (cut(q.bx, q.by, y2 < y1, y1 < y2)) return;
    if (cut(q.rx, q.ry, x2 > x1, x1 > x2)) return;
    if (yylin(q.lx, q.ly, x1, y1, x2, y2) == 0) {
        visible = 0;
        return;
    }
    if (yybox(x1, y1) != 0) {
        x2 = q.lx, y2 = q.ly;
    } else if (yybox(x2, y2) != 0) {
        x1 = q.lx, y1 = q.ly;
    } else {
        visible = 0;
    }
}

// ---------------------------------------------------------------- lines

namespace {

// The operand block's device ends of a line.
void set_line_ends(float x1, float y1, float x2, float y2) {
    DriverArguments& a = drvargs;
    a.X[0] = x1;
    a.Y[0] = y1;
    a.X[1] = x2;
    a.Y[1] = y2;
}

// The operand block's pixels of a visible line's ends.
void set_line_pixels(float x1, float y1, float x2, float y2) {
    DriverArguments& a = drvargs;
    a.IX[0] = yytrunc(x1);
    a.IY[0] = yytrunc(y1);
    a.IX[1] = yytrunc(x2);
    a.IY[1] = yytrunc(y2);
}

}  // namespace

void yylini(float x1, float y1, float x2, float y2) {
    set_line_ends(x1, y1, x2, y2);
    send_line_slots();
}

void yyline(float x1, float y1, float x2, float y2) {
    DriverArguments& a = drvargs;
    yye2i(x1, y1, a.X[0], a.Y[0]);
    yye2i(x2, y2, a.X[1], a.Y[1]);
    send_line_slots();
}

namespace {

// Walks the line through count points (world units in mode 0, device units
// otherwise) through the clip box: each run of points inside, with the
// points where the line enters and leaves the box, goes to send_run(k) as
// the first k points of the work block; a piece that crosses the box from
// outside to outside is drawn as a line of its own. A run holds at most one
// work-block point per input point used, so it never outgrows the 5000
// points of the block.
// The device ends of the last piece walked, and whether both lie inside
// the clip box (then the clipper leaves them as they are).
struct LastPiece {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool inside = false;
};

template <class SendRun>
LastPiece walk_runs(const float* x, const float* y, int count, int mode, SendRun send_run) {
    auto point = [&](int i, float& px, float& py) {
        if (mode == 0) {
            yye2i(x[i], y[i], px, py);
        } else {
            px = x[i];
            py = y[i];
        }
    };
    float px = 0, py = 0;
    point(0, px, py);
    int k = 0;
    bool p_inside = yybox(px, py) != 0;
    if (p_inside) {
        quin01.X[0] = px;
        quin01.Y[0] = py;
        k = 1;
    }
    LastPiece last;
    for (int i = 1; i < count; ++i) {
        float qx = 0, qy = 0;
        point(i, qx, qy);
        const bool q_inside = yybox(qx, qy) != 0;
        last = {px, py, qx, qy, p_inside && q_inside};
        int visible = 0;
        if (k == 0) {
            if (q_inside) {
                // Entering: the run starts at the entry point.
                quin01.X[0] = px;
                quin01.Y[0] = py;
                quin01.X[1] = qx;
                quin01.Y[1] = qy;
                yyclip(quin01.X[0], quin01.Y[0], quin01.X[1], quin01.Y[1], visible);
                if (visible != 0) k = 2;
            } else {
                // Both ends outside: at most a chord through the window.
                float cx1 = px, cy1 = py, cx2 = qx, cy2 = qy;
                yyclip(cx1, cy1, cx2, cy2, visible);
                if (visible != 0) yylini(cx1, cy1, cx2, cy2);
            }
        } else if (q_inside) {
            quin01.X[static_cast<std::size_t>(k)] = qx;
            quin01.Y[static_cast<std::size_t>(k)] = qy;
            ++k;
        } else {
            // Leaving: the run ends at the exit point.
            float cx1 = quin01.X[static_cast<std::size_t>(k - 1)];
            float cy1 = quin01.Y[static_cast<std::size_t>(k - 1)];
            float cx2 = qx, cy2 = qy;
            yyclip(cx1, cy1, cx2, cy2, visible);
            if (visible != 0) {
                quin01.X[static_cast<std::size_t>(k)] = cx2;
                quin01.Y[static_cast<std::size_t>(k)] = cy2;
                ++k;
            }
            // A lone point is no polyline; devices are not given one.
            if (k > 1) send_run(k);
            k = 0;
        }
        px = qx;
        py = qy;
        p_inside = q_inside;
    }
    if (k > 1) send_run(k);
    return last;
}

}  // namespace

void yypline(const float* x, const float* y, int n, int mode) {
    if (n <= 1 || x == nullptr || y == nullptr) return;
    const int count = std::min(n, WorkBlockPoints);
    walk_runs(x, y, count, mode, send_run);
    if (mode == 0) {
        gstate.pos_x = x[count - 1];
        gstate.pos_y = y[count - 1];
    }
}

void yyrect(float x1, float y1, float x2, float y2) {
    GraphicsState& g = gstate;
    const std::int32_t screen = g.screen_flag;
    const std::int32_t hardcopy = g.hardcopy_flag;
    if (screen != 0) {
        g.hardcopy_flag = 0;
        float sx = 0, sy = 0;
        // Outside the copy mode a pixel drawn twice would cancel or mix at
        // the corners.
        if (g.PlotMode != 0) {
            sx = x2 >= x1 ? 1.0f : -1.0f;
            sy = y2 >= y1 ? 1.0f : -1.0f;
        }
        yylini(x1 + sx, y1, x2, y1);
        yylini(x2, y1 + sy, x2, y2);
        yylini(x2 - sx, y2, x1, y2);
        yylini(x1, y2 - sy, x1, y1);
    }
    if (hardcopy > 0) {
        g.screen_flag = 0;
        g.hardcopy_flag = 1;
        yylini(x1, y1, x2, y1);
        yylini(x2, y1, x2, y2);
        yylini(x2, y2, x1, y2);
        yylini(x1, y2, x1, y1);
    }
    g.screen_flag = screen;
    g.hardcopy_flag = hardcopy;
}

// ---------------------------------------------------------------- world units

void igrpoint(float x, float y) {
    gstate.pos_x = x;
    gstate.pos_y = y;
    draw_current_point();
}

void igrpointrel(float dx, float dy) {
    gstate.pos_x += dx;
    gstate.pos_y += dy;
    draw_current_point();
}

void igrmoveto(float x, float y) {
    gstate.pos_x = x;
    gstate.pos_y = y;
}

void igrmovetorel(float dx, float dy) {
    gstate.pos_x += dx;
    gstate.pos_y += dy;
}

void igrlineto(float x, float y) {
    yyline(gstate.pos_x, gstate.pos_y, x, y);
    gstate.pos_x = x;
    gstate.pos_y = y;
}

namespace {

// What lines one by one from (x0, y0) through the n points leave in the
// operand block: the device ends of the last line as the clipper left them,
// and the pixel ends of the last line that was drawn (none drawn: the pixel
// ends stay).
void leave_line_operands(float x0, float y0, const float* x, const float* y, int n) {
    for (int j = n - 1; j >= 0; --j) {
        float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        yye2i(j > 0 ? x[j - 1] : x0, j > 0 ? y[j - 1] : y0, x1, y1);
        yye2i(x[j], y[j], x2, y2);
        int visible = 0;
        yyclip(x1, y1, x2, y2, visible);
        if (j == n - 1) set_line_ends(x1, y1, x2, y2);
        if (visible != 0) {
            set_line_pixels(x1, y1, x2, y2);
            return;
        }
    }
}

}  // namespace

void igrlinesto(const float* x, const float* y, int n) {
    if (n <= 0 || x == nullptr || y == nullptr) return;
    GraphicsState& g = gstate;
    // Where only the screen takes lines, they go to it as runs of one call
    // each: a line costs far more in passing through the layers than in its
    // few pixels.
    if (g.hardcopy_flag > 0 || !yyscreenlines_taken()) {
        for (int i = 0; i < n; ++i) igrlineto(x[i], y[i]);
        return;
    }
    const float x0 = g.pos_x, y0 = g.pos_y;
    // The current position and the points, a block at a time; a block goes
    // on from where the last ended.
    constexpr int Block = 256;
    float wx[Block], wy[Block];
    LastPiece last;
    for (int i = 0; i < n;) {
        const int take = std::min(n - i, Block - 1);
        wx[0] = g.pos_x;
        wy[0] = g.pos_y;
        std::copy_n(x + i, take, wx + 1);
        std::copy_n(y + i, take, wy + 1);
        last = walk_runs(wx, wy, take + 1, 0, yyscreenlines);
        i += take;
        g.pos_x = x[i - 1];
        g.pos_y = y[i - 1];
    }
    // The last line inside: as the clipper leaves it, drawn; its device
    // ends are the ones just walked.
    if (last.inside) {
        set_line_ends(last.x1, last.y1, last.x2, last.y2);
        set_line_pixels(last.x1, last.y1, last.x2, last.y2);
        return;
    }
    leave_line_operands(x0, y0, x, y, n);
}

void igrlinetorel(float dx, float dy) {
    igrlineto(gstate.pos_x + dx, gstate.pos_y + dy);
}

void igrjoin(float x1, float y1, float x2, float y2) {
    yyline(x1, y1, x2, y2);
    gstate.pos_x = x2;
    gstate.pos_y = y2;
}

void igrjoinrel(float x1, float y1, float dx, float dy) {
    igrjoin(x1, y1, x1 + dx, y1 + dy);
}

void igrpolyline(const float* x, const float* y, int n) {
    yypline(x, y, n, 0);
}

// ---------------------------------------------------------------- attributes

void igrlinetype(int ltype) {
    gstate.LineType = (ltype >= 0 && ltype <= 7) ? ltype : 0;
    yygdrv(OpLineType);
    yyhdrv(OpLineType);
}

void igrlinewidth(int w1, int w2, int w3) {
    GraphicsState& g = gstate;
    // A memory metafile records its own width; the screen width is for
    // windows, bitmaps and dialog fields.
    constexpr std::int32_t MemoryMetafile = 4;
    if (w1 > 0) {
        g.screen_line_width = w1;
        if (g.DrawableType != MemoryMetafile) yygdrv(OpLineWidth);
    }
    if (w2 > 0) {
        g.hc.options.set(9, w2);
        yyhdrv(OpLineWidth);
    }
    if (w3 > 0) {
        g.metafile_line_width = w3;
        if (g.DrawableType == MemoryMetafile) yygdrv(OpLineWidth);
    }
}
