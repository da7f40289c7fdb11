#include "lib/graphics/fill.h"

#include <algorithm>
#include <cstdlib>

#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"

FillSaveState fill_saved;

namespace {

// Colours of the second-colour pass: the two triples as they were before
// the pass began.
struct TwoColourSave {
    ColourTriple previous, current;
};
TwoColourSave two_colour;

std::int32_t& request_of(int side) {
    return gstate.FillEmulationRequest[static_cast<std::size_t>(side == 2 ? HardcopySide : ScreenSide)];
}

// 2^k for k = 0..5.
int pow2(int k) { return 1 << k; }

// max(v, 1.0), taking a value that is not a number as 1.0.
float at_least_one(float v) { return v >= 1.0f ? v : 1.0f; }

// Density as the spacing rules use it; a state word outside 1..5 (never set
// by igrfillpattern) counts as the default.
int valid_density(int d) { return (d >= 1 && d <= 5) ? d : 2; }

}  // namespace

// ---------------------------------------------------------------- attributes

void igrfillpattern(int style, std::optional<int> density, std::optional<int> angle) {
    GraphicsState& g = gstate;
    g.outline_flag = 1;
    if (style < -2 || style > 4) {
        g.fill_style = 0;
    } else {
        g.fill_style = std::abs(style);
        if (style < 0) g.outline_flag = 0;
    }
    const int d = density.value_or(2);
    g.fill_density = (d >= 1 && d <= 5) ? d : 2;
    const int a = angle.value_or(3);
    g.fill_angle = (a >= 1 && a <= 4) ? a : 3;
}

// ---------------------------------------------------------------- protocol

std::int32_t yydevicefillop(std::int32_t shapeop) {
    int op = shapeop + gstate.fill_style - 3;
    yyfact(shapeop + 1, op);
    return op;
}

bool yydevicefilldone() {
    // A device that fills the shape itself is done with it; lines are only
    // drawn for a side that asks for them.
    return request_of(1) == 0 && gstate.hardcopy_flag <= 0;
}

void yyfillshape(const FillShape& shape) {
    GraphicsState& g = gstate;
    const int style = g.fill_style;
    int hatch_style = style;
    int hatch_angle = g.fill_angle;
    const bool device_fill = style == 3 || style == 4;
    if (device_fill) {
        if (!shape.device_op_sent) yygdrv(yydevicefillop(shape.shapeop));
        if (yydevicefilldone()) return;
        hatch_style = 1;
        hatch_angle = 3;
    }

    const std::int32_t screen = g.screen_flag;
    const std::int32_t hardcopy = g.hardcopy_flag;
    if (hardcopy > 0) {
        if (shape.before_begin) shape.before_begin();
        drvargs.K = 1;
        yyhdrv(shape.shapeop);
        if (shape.after_begin) shape.after_begin();
    }

    // The sides that get lines, decided before any of them is drawn.
    FillPass passes[2];
    int count = 0;
    for (int side = 1; side <= 2; ++side) {
        if (device_fill && request_of(side) == 0) continue;
        if (side == 1 ? screen == 0 : hardcopy <= 0) continue;
        FillPass& p = passes[count++];
        p.side = side;
        p.hatch_style = hatch_style;
        p.hatch_angle = hatch_angle;
        p.outline = !device_fill && g.outline_flag != 0;
    }
    if (count > 0 && shape.prepare) shape.prepare(passes, count);
    for (int i = 0; i < count; ++i) {
        if (passes[i].side == 1) {
            g.screen_flag = screen;
            g.hardcopy_flag = 0;
        } else {
            g.screen_flag = 0;
            g.hardcopy_flag = 1;
        }
        if (shape.draw_side) shape.draw_side(passes[i]);
    }
    // A request holds for one shape, also on a side that was not drawn.
    request_of(1) = 0;
    request_of(2) = 0;

    g.screen_flag = screen;
    g.hardcopy_flag = hardcopy;
    drvargs.K = -1;
    yyhdrv(shape.shapeop);
}

// ---------------------------------------------------------------- spacing

void yystep(int side, int density, float& stepx, float& stepy, int& istepx, int& istepy, float& offset,
            int& alternate) {
    const GraphicsState& g = gstate;
    const int style = g.fill_style;
    const bool lines = style >= 0 && style <= 2;
    const int d = valid_density(density);
    const int divy = 10 * pow2(d - 1) + 20;
    const int divx = 10 * pow2(d) + 10;
    offset = (side == 1 && g.PlotMode != 0) ? 1.0f : 0.0f;
    alternate = (side == 2 && lines) ? 1 : 0;
    if (side == 1) {
        if (lines) {
            istepy = std::max(g.height / divy, 2);
            istepx = std::max(g.width / divx, 2);
            stepy = static_cast<float>(istepy);
            stepx = static_cast<float>(istepx);
        } else {
            istepy = (style == 3 && request_of(1) == 2) ? 2 : 1;
            stepy = static_cast<float>(istepy);
        }
    } else {
        if (lines) {
            stepy = g.extent_y / static_cast<float>(divy);
            stepx = g.extent_x / static_cast<float>(divx);
            istepy = yytrunc(at_least_one(stepy));
            istepx = yytrunc(at_least_one(stepx));
        } else {
            stepy = g.hc.HardcopyFillSpacing;
            istepy = yytrunc(at_least_one(g.hc.HardcopyFillSpacing));
        }
    }
}

// ---------------------------------------------------------------- colours

bool yy2colneeded(int side) {
    const GraphicsState& g = gstate;
    if (request_of(side) != 2 || g.fill_style != 3) return false;
    const std::int32_t colours = side == 1 ? g.colour_count : g.hc.colour_count;
    return colours != 1;
}

void yy2col(int side, int& pass) {
    GraphicsState& g = gstate;
    if (request_of(side) != 2 || g.fill_style != 3) return;
    if (pass == 1) {
        if (!yy2colneeded(side)) return;
        const std::int32_t colours = side == 1 ? g.colour_count : g.hc.colour_count;
        two_colour.previous = g.PreviousColour;
        two_colour.current = g.CurrentColour;
        // On a two-colour device the second colour of a coloured pattern is
        // the background.
        if (colours == 2 && g.CurrentColour.index() != 0)
            yycon(0, 0, 0, side);
        else
            yycon(g.PreviousColour.index(), g.PreviousColour.rgb(), g.PreviousColour.device(), side);
        pass = 2;
    } else if (pass == 2) {
        g.CurrentColour = two_colour.previous;
        const ColourTriple& c = two_colour.current;
        yycon(c.index(), c.rgb(), c.device(), side);
        pass = 3;
    }
}

void yyfact(int solidop, int& op) {
    const GraphicsState& g = gstate;
    if (g.fill_style != 3) return;
    const bool equal = g.colour_count > 2
                           ? g.PreviousColour.device() == g.CurrentColour.device()
                           : g.PreviousColour.in_model(g.ColourModel) == g.CurrentColour.in_model(g.ColourModel);
    if (equal) op = solidop;
}

bool hatch_advance(float& t, float step) {
    const float next = t + step;
    if (!(next > t)) return false;
    t = next;
    return true;
}

void hatch_rows_two_colour(int side, float start, float stepy, const std::function<void(float)>& rows) {
    int pass = 1;
    rows(start);
    yy2col(side, pass);
    if (pass == 2) {
        rows(start + stepy / 2.0f);
        yy2col(side, pass);
    }
}

// ---------------------------------------------------------------- save and restore

void yysav(int mode) {
    GraphicsState& g = gstate;
    FillSaveState& s = fill_saved;
    switch (mode) {
        case 0:
            s.previous = g.PreviousColour;
            s.current = g.CurrentColour;
            s.line_type = g.LineType;
            s.direction = g.text.direction;
            s.style = g.fill_style;
            s.angle = g.fill_angle;
            s.density = g.fill_density;
            break;
        case 1:
            yycon(s.previous.index(), s.previous.rgb(), s.previous.device(), 0);
            yycon(s.current.index(), s.current.rgb(), s.current.device(), 0);
            if (s.line_type != g.LineType) igrlinetype(s.line_type);
            g.text.direction = s.direction;
            g.fill_style = s.style;
            g.fill_angle = s.angle;
            g.fill_density = s.density;
            break;
        case 2:
        case 4:
            s.fx1 = g.x1;
            s.fy1 = g.y1;
            s.fx2 = g.x2;
            s.fy2 = g.y2;
            if (mode == 4 && (g.ix1 > 0 || g.iy1 > 0 || g.ix2 < g.width - 1 || g.iy2 < g.height - 1))
                yywing(0.0f, 0.0f, g.extent_x, g.extent_y);
            break;
        case 3:
            yywing(s.fx1 * g.extent_x, s.fy1 * g.extent_y, s.fx2 * g.extent_x, s.fy2 * g.extent_y);
            break;
        default: break;
    }
}

// ---------------------------------------------------------------- small helpers

void yyexch(std::int32_t& a, std::int32_t& b) { std::swap(a, b); }
void yyexch(float& a, float& b) { std::swap(a, b); }

std::int32_t yyxini(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t y) {
    if (y1 == y2) return 32767;
    if (y1 > y2) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    // The product is formed in 64 bits so that wide rows cannot overflow;
    // for every pixel-sized operand the result is the 32-bit one.
    const std::int64_t num = static_cast<std::int64_t>(y - y1) * (static_cast<std::int64_t>(x2) - x1);
    return static_cast<std::int32_t>(x1 + num / (static_cast<std::int64_t>(y2) - y1));
}

void reset_fill_state() {
    fill_saved = FillSaveState{};
    two_colour = TwoColourSave{};
}
