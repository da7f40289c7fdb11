#include "app/viewcmds.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <utility>

#include "app/appdata.h"
#include "app/griddef.h"
#include "app/mainstate.h"
#include "app/modflow.h"
#include "app/onemoment.h"
#include "app/records.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/window/fetch.h"
#include "lib/window/menus.h"
#include "lib/window/text.h"
#include "lib/window/wintext.h"

namespace {

constexpr int MenuZoom = 40009;

struct Pt {
    float x = 0, y = 0;
};

// Rubber bands in exclusive or, so that drawing a figure twice removes it.
void band_start() {
    IGrPlotMode("EOR");
    IGrColourN(wrgb(255, 255, 255));
}

void band_end() { IGrPlotMode("N"); }

void polyline(const std::array<Pt, 4>& c) {
    igrmoveto(c[0].x, c[0].y);
    for (int i = 1; i < 4; ++i) igrlineto(c[static_cast<std::size_t>(i)].x, c[static_cast<std::size_t>(i)].y);
    igrlineto(c[0].x, c[0].y);
}

void instruction(std::string_view text) { prompt_line(text); }

void show_position(float x, float y) {
    windowoutstring(7000, 400, edit_f(x, 12, 2) + edit_f(y, 12, 2));
}

// The next message; its pointer position kept.
std::int32_t next_message() {
    MainState& m = mainstate;
    wmessage(m.msgtype, m.msg);
    return m.msgtype;
}

// The pointer position of the last message, truncated toward zero to whole
// world units.
Pt pointer_whole() { return {std::trunc(mainstate.msg.GX), std::trunc(mainstate.msg.GY)}; }

std::string& gtext(GridText t) { return mainstate.gridtexts[static_cast<std::size_t>(t)]; }

void put_corner_texts() {
    txt_set(gtext(TxX0), edit_f(dat8.gx0, GridTextLength, 2));
    txt_set(gtext(TxY0), edit_f(dat8.gy0, GridTextLength, 2));
    txt_set(gtext(TxX1), edit_f(dat8.gx1, GridTextLength, 2));
    txt_set(gtext(TxY1), edit_f(dat8.gy1, GridTextLength, 2));
}

// The grid rectangle's corners C1..C4 in the world.
std::array<Pt, 4> grid_corners() {
    std::array<Pt, 4> c{{{dat8.gx0, dat8.gy0}, {dat8.gx1, dat8.gy0}, {dat8.gx1, dat8.gy1}, {dat8.gx0, dat8.gy1}}};
    for (Pt& p : c) rotate(p.x, p.y, -1);
    return c;
}

void axis_rect(Pt a, Pt b) { polyline({{a, {b.x, a.y}, b, {a.x, b.y}}}); }

// The band of a regular grid's drag: the rectangle with opposite corners p1
// and q in the grid's rotated frame.
void rotated_rect(Pt p1, Pt q) {
    const float a = dat12.rotang, ca = std::cos(a), sa = std::sin(a);
    const float dx = q.x - p1.x, dy = q.y - p1.y;
    const float u = dx * ca + dy * sa, v = dy * ca - dx * sa;
    polyline({{p1, {p1.x + u * ca, p1.y + u * sa}, q, {p1.x - v * sa, p1.y + v * ca}}});
}

// The rectangle of the present grid size with its lower-left corner at q.
std::array<Pt, 4> modflow_rect(Pt q, float w, float h) {
    std::array<Pt, 4> c{{q, {q.x + w, q.y}, {q.x + w, q.y + h}, {q.x, q.y + h}}};
    for (Pt& p : c) rotate(p.x, p.y, -1);
    return c;
}

// Column and row centres again from the origin, for the files that are named.
void recompute_centres() {
    int ierr = 0;
    if (!txt_blank(dat17.delrfile))
        delr_c(dat17.delrfile, 0, dat16.ncol, dat16.delr, dat8.gx0, dat16.xcen, ierr);
    if (!txt_blank(dat17.delcfile))
        delr_c(dat17.delcfile, 0, dat16.nrow, dat16.delc, dat8.gy0, dat16.ycen, ierr);
}

void modflow_far_corner() {
    if (dat16.ncol >= 1 && dat16.ncol <= MaxModflow) dat8.gx1 = dat16.xcen(dat16.ncol) + 0.5f * dat16.delr(dat16.ncol);
    if (dat16.nrow >= 1 && dat16.nrow <= MaxModflow) dat8.gy1 = dat16.ycen(dat16.nrow) + 0.5f * dat16.delc(dat16.nrow);
}

void location_modflow() {
    const float w = dat8.gx1 - dat8.gx0, h = dat8.gy1 - dat8.gy0;
    next_message();
    Pt q = pointer_whole();
    std::array<Pt, 4> drawn = modflow_rect(q, w, h);
    polyline(drawn);
    dat8.gx0 = drawn[0].x;
    dat8.gy0 = drawn[0].y;
    Pt p = q;
    for (;;) {
        const std::int32_t t = next_message();
        if (t == MsgMouseMove) {
            p = pointer_whole();
            show_position(p.x, p.y);
            polyline(drawn);
            drawn = modflow_rect(p, w, h);
            polyline(drawn);
            q = p;
            dat8.gx0 = drawn[0].x;
            dat8.gy0 = drawn[0].y;
        } else if (t == MsgMouseDown) {
            dat8.gx0 = p.x;
            dat8.gy0 = p.y;
            wmessageenable(MsgMouseMove, 0);
            wmessageenable(MsgMouseUp, 0);
            band_end();
            recompute_centres();
            modflow_far_corner();
            redraw_view();
            put_corner_texts();
            return;
        }
    }
}

// The regular grid from the two corners of a drag. A drag that leaves no
// grid (no extent, or fewer than two points per axis) keeps the grid as it
// was, with a message.
void place_regular(Pt p1, Pt p2) {
    const Dat8 before = dat8;
    const auto texts = mainstate.gridtexts;
    chk_origin(p1.x, p1.y, p2.x, p2.y, dat12.rotang);
    dat8.gx0 = p1.x;
    dat8.gy0 = p1.y;
    rotate(p2.x, p2.y, 1);
    rotate(p1.x, p1.y, 1);
    dat8.gx0 = std::min(p1.x, p2.x);
    dat8.gx1 = std::max(p1.x, p2.x);
    dat8.gy0 = std::min(p1.y, p2.y);
    dat8.gy1 = std::max(p1.y, p2.y);
    dat8.xll = dat8.gx0;
    dat8.yll = dat8.gy0;
    const float w = dat8.gx1 - dat8.gx0, h = dat8.gy1 - dat8.gy0;
    const float c = std::max(w / static_cast<float>(dat8.nx - 1), h / static_cast<float>(dat8.ny - 1));
    bool ok = dat8.nx >= 2 && dat8.ny >= 2 && c > 0.0f && std::isfinite(c);
    if (ok) {
        dat8.cellsize = c;
        if (dat18.gridtype == GridArcInfo) {
            // Held below any grid's size before the conversion; checkgrid clamps.
            dat8.nx = static_cast<std::int32_t>(std::min(std::trunc(static_cast<double>(w) / c), 1.0e6));
            dat8.ny = static_cast<std::int32_t>(std::min(std::trunc(static_cast<double>(h) / c), 1.0e6));
        }
        if (dat8.nx >= 2 && dat8.ny >= 2) {
            dat8.dx = w / static_cast<float>(dat8.nx - 1);
            dat8.dy = h / static_cast<float>(dat8.ny - 1);
        }
        ok = checkgrid(dat18.gridtype);
    } else {
        app_input_error("the rectangle drawn gives no grid; the grid stays as it was");
    }
    if (!ok) {
        dat8 = before;
        mainstate.gridtexts = texts;
        return;
    }
    put_corner_texts();
}

// A rectangle dragged with the mouse: a mouse-down fixes its first corner
// at the position of the last mouse-move, the band follows the pointer in
// whole units, and the mouse-up after the mouse-down ends the drag (one
// before it is ignored). Gives the two corners.
std::pair<Pt, Pt> drag(void (*band)(Pt, Pt)) {
    bool first = false;
    Pt p1, q, p{mainstate.px, mainstate.py};
    for (;;) {
        const std::int32_t t = next_message();
        if (t == MsgMouseMove) {
            p = pointer_whole();
            show_position(p.x, p.y);
        }
        if (t == MsgMouseDown && !first) {
            p1 = p;
            q = p1;
            first = true;
        } else if (t == MsgMouseUp) {
            if (first) return {p1, p};
        } else if (first && (p.x != q.x || p.y != q.y)) {
            band(p1, q);
            q = p;
            band(p1, q);
        }
    }
}

void location_regular() {
    const auto [p1, p2] = drag(rotated_rect);
    place_regular(p1, p2);
    wmessageenable(MsgMouseMove, 0);
    wmessageenable(MsgMouseUp, 0);
    band_end();
    redraw_view();
}

// After a rotation past 90 degrees the origin moves to the corner that is
// now lower left and the angle drops by the quarter turns passed. The far
// corner is always the one diagonally opposite the new origin, so the grid
// keeps its extent; after a quarter or three-quarter turn its axes trade
// places, and so do the point counts, while a half turn keeps both.
void reanchor(int degrees) {
    if (degrees < 90) return;
    const std::array<Pt, 4> c = grid_corners();
    Pt origin, far;
    long double turn;
    bool quarter = true;
    if (degrees < 180) {
        origin = c[3];
        far = c[1];
        turn = MainPi / 2;
    } else if (degrees < 270) {
        origin = c[2];
        far = c[0];
        turn = MainPi;
        quarter = false;
    } else {
        origin = c[1];
        far = c[3];
        turn = 3 * MainPi / 2;
    }
    dat8.gx0 = origin.x;
    dat8.gy0 = origin.y;
    dat12.rotang = static_cast<float>(static_cast<long double>(dat12.rotang) - turn);
    rotate(far.x, far.y, 1);
    dat8.gx1 = far.x;
    dat8.gy1 = far.y;
    dat8.xll = dat8.gx0;
    dat8.yll = dat8.gy0;
    if (quarter) std::swap(dat8.nx, dat8.ny);
    dat8.dx = (dat8.gx1 - dat8.gx0) / static_cast<float>(dat8.nx - 1);
    dat8.dy = (dat8.gy1 - dat8.gy0) / static_cast<float>(dat8.ny - 1);
    put_corner_texts();
}

// The view window becomes this rectangle.
void set_view_to(float xmin, float ymin, float xmax, float ymax) {
    dat9.vxmin = xmin;
    dat9.vymin = ymin;
    dat9.vxmax = xmax;
    dat9.vymax = ymax;
}

}  // namespace

void angle_from_pointer(float x, float y) {
    const float dX = x - dat8.gx0, dY = y - dat8.gy0;
    if (dX == 0.0f) return;
    const long double pi = MainPi;
    const long double t = std::atan(std::fabs(static_cast<long double>(dY) / dX));
    long double a;
    if (dY >= 0 && dX > 0) a = std::atan(static_cast<long double>(dY) / dX);
    else if (dY >= 0) a = pi - t;
    else if (dX < 0) a = pi + t;
    else a = 2 * pi - t;
    const float r = static_cast<float>(a);
    const int d = std::clamp(static_cast<int>(std::trunc(static_cast<long double>(r) / pi * 180.0L)), 0, 359);
    dat12.rotang = degrees_to_rotang(static_cast<float>(d));
}

bool view_key(std::int32_t code) {
    Dat9& v = dat9;
    const float w = v.vxmax - v.vxmin, h = v.vymax - v.vymin;
    switch (code) {
        case SpecialKeyCode::KeypadPlus:
            set_view_to(v.vxmin + 0.1f * w, v.vymin + 0.1f * h, v.vxmax - 0.1f * w, v.vymax - 0.1f * h);
            break;
        case SpecialKeyCode::KeypadMinus:
            set_view_to(v.vxmin - 0.05f * w, v.vymin - 0.05f * h, v.vxmax + 0.05f * w, v.vymax + 0.05f * h);
            break;
        case SpecialKeyCode::Up: set_view_to(v.vxmin, v.vymin - 0.1f * h, v.vxmax, v.vymax - 0.1f * h); break;
        case SpecialKeyCode::Down: set_view_to(v.vxmin, v.vymin + 0.1f * h, v.vxmax, v.vymax + 0.1f * h); break;
        case SpecialKeyCode::Right: set_view_to(v.vxmin - 0.1f * w, v.vymin, v.vxmax - 0.1f * w, v.vymax); break;
        case SpecialKeyCode::Left: set_view_to(v.vxmin + 0.1f * w, v.vymin, v.vxmax + 0.1f * w, v.vymax); break;
        default: return false;
    }
    return true;
}

void cmd_original() {
    set_view_to(dat11.ext(1), dat11.ext(2), dat11.ext(3), dat11.ext(4));
    redraw_view();
}

void cmd_zoom2grid() {
    const std::array<Pt, 4> c = grid_corners();
    float x1 = c[0].x, x2 = c[0].x, y1 = c[0].y, y2 = c[0].y;
    for (const Pt& p : c) {
        x1 = std::min(x1, p.x);
        x2 = std::max(x2, p.x);
        y1 = std::min(y1, p.y);
        y2 = std::max(y2, p.y);
    }
    set_view_to(x1, y1, x2, y2);
    redraw_view();
}

void cmd_center() {
    wmessageenable(MsgMouseMove, 1);
    const float w = dat9.vxmax - dat9.vxmin, h = dat9.vymax - dat9.vymin;
    MainState& m = mainstate;
    do {
        next_message();
        m.px = m.msg.GX;
        m.py = m.msg.GY;
        show_position(m.px, m.py);
    } while (m.msgtype != MsgMouseDown);
    set_view_to(m.px - 0.5f * w, m.py - 0.5f * h, m.px + 0.5f * w, m.py + 0.5f * h);
    redraw_view();
    wmessageenable(MsgMouseMove, 0);
}

void cmd_zoom() {
    WMenuSetState(MenuZoom, 1, 0);
    band_start();
    instruction("left mousebutton to define window");
    wmessageenable(MsgMouseMove, 1);
    wmessageenable(MsgMouseUp, 1);
    const auto [p1, p] = drag(axis_rect);
    // A rectangle without width or height would leave no view to draw in;
    // the view stays as it was.
    if (p.x != p1.x && p.y != p1.y)
        set_view_to(std::min(p1.x, p.x), std::min(p1.y, p.y), std::max(p1.x, p.x), std::max(p1.y, p.y));
    wmessageenable(MsgMouseMove, 0);
    wmessageenable(MsgMouseUp, 0);
    band_end();
    WMenuSetState(MenuZoom, 1, 1);
    redraw_view();
}

void cmd_location_size() {
    mainstate.showcontour = 0;
    band_start();
    instruction(mainstate.mfgrid == 1 ? "left button to define lower left corner" : "left button to define grid");
    wmessageenable(MsgMouseMove, 1);
    wmessageenable(MsgMouseUp, 1);
    if (mainstate.mfgrid == 1) location_modflow();
    else location_regular();
}

void cmd_rotation() {
    mainstate.showcontour = 0;
    band_start();
    // The instruction clears the line above the map, so it is written once,
    // before the angle that follows the pointer beside it.
    instruction("left button to confirm rotation");
    wmessageenable(MsgMouseMove, 1);
    auto show_angle = [] { windowoutstring(7000, 400, "rotation " + edit_i(rotang_degrees(), 12) + "   "); };
    next_message();
    Pt p = pointer_whole();
    angle_from_pointer(p.x, p.y);
    show_angle();
    polyline(grid_corners());
    float drawn = dat12.rotang;
    for (;;) {
        const std::int32_t t = next_message();
        if (t == MsgMouseMove) {
            p = pointer_whole();
            angle_from_pointer(p.x, p.y);
            show_angle();
        }
        if (t == MsgMouseDown) {
            wmessageenable(MsgMouseMove, 0);
            band_end();
            if (mainstate.mfgrid == 1) recompute_centres();
            redraw_view();
            const int d = rotang_degrees();
            txt_set(gtext(TxRot), edit_i(d, GridTextLength));
            // A MODFLOW grid's columns and rows keep their widths and
            // heights; turning its frame by quarter turns would move the
            // cells out of the outline, so it keeps origin and angle.
            if (mainstate.mfgrid != 1) reanchor(d);
            return;
        }
        if (dat12.rotang != drawn) {
            const float now = dat12.rotang;
            dat12.rotang = drawn;
            polyline(grid_corners());
            dat12.rotang = now;
            polyline(grid_corners());
            drawn = now;
        }
    }
}
