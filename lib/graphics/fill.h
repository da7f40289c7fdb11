#pragma once
// Filled shapes: the fill attributes, the two-sided fill protocol every
// filled shape follows, hatch and emulation line spacing, the second-colour
// pass of two-colour patterns, the attribute save and restore, the polygon
// filler, rectangles, and circles and ellipses.
//
// Sides are numbered as the fill routines number them: 1 the screen side,
// 2 the hardcopy side (FillEmulationRequest[side - 1]).
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>
#include <functional>
#include <optional>

#include "lib/graphics/gstate.h"

// ---------------------------------------------------------------- public

// Fill style 0 outline only, 1 hatch, 2 cross-hatch, 3 two-colour pattern,
// 4 solid; -1 and -2 are hatch and cross-hatch without outline. Out-of-range
// values take the defaults (style 0, density 2, angle 3) without an error.
void igrfillpattern(int style, std::optional<int> density = std::nullopt,
                    std::optional<int> angle = std::nullopt);
// Polygon of N points in world units, borders may cross (even-odd rule).
void IGrPolygonComplex(const float* x, const float* y, int n);
// Rectangle with corners (X1, Y1) and (X2, Y2) in world units; from the
// current position P to P + (DX, DY). Error 22 for zero width or height.
void IGrRectangle(float x1, float y1, float x2, float y2);
void igrrectanglerel(float dx, float dy);
// Circle and ellipse (x radius R, y radius R * RATIO) in world units, at
// (X, Y) or at the current position. Error 20 for R <= 0 or RATIO <= 0.
void igrcircle(float x, float y, float r);
void igrcirclerel(float r);
void igrellipse(float x, float y, float r, float ratio);
void igrellipserel(float r, float ratio);
// Circles drawn again and again at the same places: circle i at (x[i],
// y[i]) with radius r[i] in world units. igrcircleset draws circles from..to-1
// one after the other exactly as igrcircle would draw them; where the device
// fills them itself, their device values are kept and worked out again only
// when the mapping of world units to the device has changed. While no device
// receives them (screen graphics off, no recorder, no hardcopy), a run of
// circles only leaves what its last one leaves: the current position and the
// operands of its last circle inside the window. What is kept holds for the
// circles as they were first drawn: other circles take a new set.
struct CircleSet {
    std::vector<float> x, y, r;

    // Kept device values and driver operands (internal).
    struct Placed {
        float xc, yc, rx, ry, xlo, xhi, ylo, yhi;
        std::int32_t ix0, iy0, ix1, iy1, iy2, iy3;
        bool visible;
    };
    std::vector<Placed> placed;        // empty until a device receives the circles
    std::array<float, 11> mapping{};
    std::vector<std::size_t> refused;  // ascending: the circles whose radius is not positive
    std::size_t refused_of = SIZE_MAX;  // the number of circles refused was found for
};
void igrcircleset(CircleSet& set, std::size_t from, std::size_t to);

// ---------------------------------------------------------------- internal

// Polygon in world units (mode 0) or device units (any other mode), filled
// with the current fill attributes. At most the first 5000 points are used.
void yyplygon(const float* x, const float* y, int n, int mode);
// Rectangle in device units, without the zero-size check.
void yyrecti(float x1, float y1, float x2, float y2);
// The common end of the circle and ellipse routines.
void yyelip(float x, float y, float r, float ratio);

// Line spacing of hatch and emulation lines for SIDE (1 or 2) and DENSITY.
void yystep(int side, int density, float& stepx, float& stepy, int& istepx, int& istepy, float& offset,
            int& alternate);
// Switch SIDE to the second colour of a two-colour pattern (PASS 1 -> 2) or
// back (PASS 2 -> 3); acts only for fill style 3 with emulation request 2.
void yy2col(int side, int& pass);
// 1 when yy2col would switch SIDE to a second colour.
bool yy2colneeded(int side);
// OP := SOLIDOP when the fill style is 3 and both colours are equal.
void yyfact(int solidop, int& op);
// 0 save the drawing attributes, 1 restore them; 2 save the area
// fractions, 4 the same and open the clip window to the whole drawable,
// 3 restore the clip window from the saved fractions.
void yysav(int mode);
// Exchange two 32-bit values.
void yyexch(std::int32_t& a, std::int32_t& b);
void yyexch(float& a, float& b);
// Integer x at which the edge (X1, Y1)-(X2, Y2) meets row Y; 32767 for a
// horizontal edge.
std::int32_t yyxini(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t y);

// One side of a filled shape as the fill protocol hands it to the shape.
struct FillPass {
    int side = 1;              // 1 screen, 2 hardcopy
    int hatch_style = 0;       // 0 none, 1 parallel lines, 2 crossed lines
    int hatch_angle = 3;
    bool outline = false;      // styles 0..2 with the outline flag set
};

// The two-sided fill protocol for a shape whose operands are in place.
// SHAPEOP is the shape's pattern operation (5, 9 or 15). before_begin and
// after_begin run around the hardcopy begin notification (only while
// hardcopy output is active); prepare sees every side about to be drawn
// before the first of them is; draw_side draws one side with that side's
// flags in force.
struct FillShape {
    std::int32_t shapeop = 0;
    // The device's solid or pattern operation was already sent (by a caller
    // that handles the common case itself); the protocol goes on after it.
    bool device_op_sent = false;
    std::function<void()> before_begin;
    std::function<void()> after_begin;
    std::function<void(const FillPass* passes, int count)> prepare;
    std::function<void(const FillPass&)> draw_side;
};
void yyfillshape(const FillShape& shape);
// The device operation with which yyfillshape starts a shape of SHAPEOP under
// fill style 3 or 4 (the two-colour pattern turned solid where both colours
// are the same).
std::int32_t yydevicefillop(std::int32_t shapeop);
// After that operation: true when the shape is done (the device filled it,
// no side asks for lines and no hardcopy output is active).
bool yydevicefilldone();

// t + step, or false when the step would not move t (not positive, not a
// number, or lost in the magnitude of t): a hatch pass ends there instead
// of running for ever.
bool hatch_advance(float& t, float step);
// Horizontal hatch rows of a shape, ROWS(start) drawing one pass from
// START, followed on SIDE by the second-colour pass half a spacing higher
// when yy2col asks for it.
void hatch_rows_two_colour(int side, float start, float stepy, const std::function<void(float)>& rows);

// The attribute set saved by yysav 0 and the area fractions saved by yysav
// 2 and 4; one of each, not nested.
struct FillSaveState {
    ColourTriple previous, current;
    std::int32_t line_type = 0, direction = 0, style = 0, angle = 0, density = 0;
    float fx1 = 0.0f, fy1 = 0.0f, fx2 = 1.0f, fy2 = 1.0f;
};
extern FillSaveState fill_saved;

// Back to the start of the process: the saved sets and the statics of the
// shapes. For tests.
void reset_fill_state();
