#include "lib/graphics/areas.h"

#include <cfenv>
#include <string_view>

#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/text.h"
#include "lib/window/errors.h"

namespace {

using Ext = long double;  // intermediate results are not rounded to 32 bits

// One axis of an area: valid when 0 <= lo < 1, 0 < hi <= 1 and lo < hi.
bool area_axis_valid(float lo, float hi) { return lo >= 0.0f && lo < 1.0f && hi > 0.0f && hi <= 1.0f && lo < hi; }

// Scale of one axis: area size per unit range, or the area size itself when
// the range is not positive.
float axis_scale(float size, float range) {
    return range > 0.0f ? static_cast<float>(static_cast<Ext>(size) / range) : size;
}

// The default word of the platform, so a restore without a save is harmless.
std::uint16_t saved_control_word = 0x037F;

}  // namespace

namespace {

// One axis of the area or of the units: the given bounds when valid,
// otherwise 0..1 with the error under the routine's name.
void set_axis(bool valid, float lo, float hi, float& a1, float& a2, int error, std::string_view name) {
    if (valid) {
        a1 = lo;
        a2 = hi;
    } else {
        a1 = 0.0f;
        a2 = 1.0f;
        yyerror(error, name);
    }
}

}  // namespace

void IGrArea(float x1, float y1, float x2, float y2) {
    GraphicsState& g = gstate;
    set_axis(area_axis_valid(x1, x2), x1, x2, g.x1, g.x2, 44, "IGrArea");
    set_axis(area_axis_valid(y1, y2), y1, y2, g.y1, g.y2, 44, "IGrArea");
    const Ext wd = g.extent_x, hd = g.extent_y;
    yywing(static_cast<float>(wd * g.x1), static_cast<float>(hd * g.y1), static_cast<float>(wd * g.x2),
           static_cast<float>(hd * g.y2));
    g.sx = axis_scale(g.area_size_x, g.unit_range_x);
    g.sy = axis_scale(g.area_size_y, g.unit_range_y);

    // A window selected only for an information query changes nothing on
    // the hardcopy side and leaves the text settings alone.
    if (g.temporary_selection == 0) {
        yyhdrv(OpClip);
        g.text_ref_size_x = g.area_size_x;
        g.text_ref_size_y = g.area_size_y;
        g.area_width_x = g.x2 - g.x1;
        g.area_width_y = g.y2 - g.y1;
        yychrot(g.text.angle);
        yychdfont();
    }
}

void IGrUnits(float x1, float y1, float x2, float y2) {
    GraphicsState& g = gstate;
    set_axis(x1 < x2, x1, x2, g.ux1, g.ux2, 16, "IGrUnits");
    set_axis(y1 < y2, y1, y2, g.uy1, g.uy2, 16, "IGrUnits");
    g.unit_range_x = static_cast<float>(static_cast<Ext>(g.ux2) - g.ux1);
    g.unit_range_y = static_cast<float>(static_cast<Ext>(g.uy2) - g.uy1);
    g.text_ref_range_x = g.unit_range_x;
    g.text_ref_range_y = g.unit_range_y;
    g.sx = axis_scale(g.area_size_x, g.unit_range_x);
    g.sy = axis_scale(g.area_size_y, g.unit_range_y);
}

void yywing(float ax1, float ay1, float ax2, float ay2) {
    GraphicsState& g = gstate;
    g.wx1 = ax1 > 0.0f ? ax1 : 0.0f;
    g.wy1 = ay1 > 0.0f ? ay1 : 0.0f;
    g.wx2 = ax2 <= g.extent_x ? ax2 : g.extent_x;
    g.wy2 = ay2 <= g.extent_y ? ay2 : g.extent_y;
    g.clip_box = {static_cast<float>(static_cast<Ext>(g.wx1) - 0.001L),
                  static_cast<float>(static_cast<Ext>(g.wy1) - 0.001L),
                  static_cast<float>(static_cast<Ext>(g.wx2) + 0.001L),
                  static_cast<float>(static_cast<Ext>(g.wy2) + 0.001L)};
    g.ix1 = yytrunc(g.wx1);
    g.iy1 = yytrunc(g.wy1);
    g.ix2 = yytrunc(g.wx2);
    g.iy2 = yytrunc(g.wy2);
    g.iclip_width = g.ix2 - g.ix1 + 1;
    g.iclip_height = g.iy2 - g.iy1 + 1;
    g.area_size_x = static_cast<float>(static_cast<Ext>(g.wx2) - g.wx1);
    g.area_size_y = static_cast<float>(static_cast<Ext>(g.wy2) - g.wy1);
    yygdrv(OpClip);
}

void yye2i(float x, float y, float& xd, float& yd) {
    const GraphicsState& g = gstate;
    xd = static_cast<float>((static_cast<Ext>(x) - g.ux1) * g.sx + g.wx1);
    yd = static_cast<float>((static_cast<Ext>(y) - g.uy1) * g.sy + g.wy1);
}

void yyi2e(float xd, float yd, float& x, float& y) {
    const GraphicsState& g = gstate;
    // A drawable of zero width or height has no scale on that axis: every
    // device position lies on the axis' lower world bound.
    x = g.sx != 0.0f ? static_cast<float>((static_cast<Ext>(xd) - g.wx1) / g.sx + g.ux1) : g.ux1;
    y = g.sy != 0.0f ? static_cast<float>((static_cast<Ext>(yd) - g.wy1) / g.sy + g.uy1) : g.uy1;
}

// The control word is the x87 one (precision, rounding, exception masks),
// where extended-precision arithmetic happens; elsewhere its rounding field
// carries the rounding mode.
void yygetcw(std::uint16_t& cw) {
#if defined(__x86_64__) || defined(__i386__)
    std::uint16_t w = 0;
    __asm__ volatile("fnstcw %0" : "=m"(w));
    cw = w;
#else
    std::uint16_t rc = 0;
    switch (std::fegetround()) {
        case FE_DOWNWARD: rc = 1; break;
        case FE_UPWARD: rc = 2; break;
        case FE_TOWARDZERO: rc = 3; break;
        default: rc = 0; break;
    }
    cw = static_cast<std::uint16_t>(0x037F | (rc << 10));
#endif
}

void yysetcw(std::uint16_t cw) {
#if defined(__x86_64__) || defined(__i386__)
    __asm__ volatile("fldcw %0" : : "m"(cw));
#else
    static constexpr int modes[4] = {FE_TONEAREST, FE_DOWNWARD, FE_UPWARD, FE_TOWARDZERO};
    std::fesetround(modes[(cw >> 10) & 3]);
#endif
}

void yysavefp() { yygetcw(saved_control_word); }

void yyrestfp() { yysetcw(saved_control_word); }
