#pragma once
// Internal routines of presentation graphics, shared by its axes and scales.
#include <array>
#include <cstdint>
#include <functional>

// Recompute the logarithmic flags in use and the log limits.
void yyplog();

// Plot units to graphics units.
float yyp2x(float x);
float yyp2y(float y);
// log10 of the absolute value, -38 for 0.
float yylog1(float x);
// Page width over height of the hardcopy device; 1 while the page has no
// height.
float pg_page_aspect();
// Draw a polar frame or scale once per device that is on, each with its own
// aspect ratio: the screen alone (hardcopy switched off), then hardcopy
// alone when it was on. Both output flags come back.
void pg_polar_passes(const std::function<void(float aspect)>& draw);
// Centre and radii of the polar plot circle in graphics units.
void yypol(float& xc, float& yc, float& rx, float& ry);
// The oblique 3-D projection of the category base.
void yy3dxy(float& ax, float& bx, float& by, float& ay, float& zf, float& x0, float& y0);
// Base corners of a 3-D plot in graphics units, the leftmost one (1..4) and
// its plot-unit y.
void yycorn(std::array<float, 4>& gx, std::array<float, 4>& gy, std::int32_t& ileft, float& yleft);

// Scale arithmetic.
void yyscal(float low, float high, std::int32_t catflag, std::int32_t catcount, std::int32_t axis,
            float& step, float& first, std::int32_t& count, std::int32_t& exponent,
            float& vstep, float& vfirst);
void yyscal3d(float low, float high, float& step, std::int32_t& count, float& rangesteps,
              std::int32_t& exponent, float& first, float& firstoffset);
void yyscpol(float radius, float& step, std::int32_t& count, std::int32_t& exponent);
void yyslog(float low, float high, std::int32_t& labelstep, std::int32_t& count,
            std::int32_t& lowest, std::int32_t& highest);
void yyslpol(float radius, std::int32_t& labelstep, std::int32_t& count, std::int32_t& lowest,
             std::int32_t& highest);
// One tick value as label text in PGLABELBUF; first and last are 1-based
// positions of the label in the buffer.
void yyr2s(float value, std::int32_t exponent, std::int32_t extra, std::int32_t& first,
           std::int32_t& last);

// Truncation toward zero into an integer that never leaves the integer
// range: NaN gives 0, values beyond the range give its ends.
std::int32_t pg_trunc(double v);
// 10 raised to an integer power, in single precision.
float pg_pow10(std::int32_t n);

// The side and axis the scale routines keep between calls, back to none.
void reset_pgraph_scales();
