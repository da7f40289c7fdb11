#pragma once
// Drawing area, world units, the device window with its clip box, the
// world <-> device transforms, and the save and restore of the
// floating-point control word.
#include <cstdint>

// Drawing area as fractions 0..1 of the drawable (y from the bottom). An
// invalid axis becomes 0..1 with error 44 under "IGrArea".
void IGrArea(float x1, float y1, float x2, float y2);
// World units of the drawing area. An axis with X1 >= X2 becomes 0..1 with
// error 16 under "IGrUnits".
void IGrUnits(float x1, float y1, float x2, float y2);
// Device window, clip box, integer clip window and area size from device
// units; operation 24 to the screen router.
void yywing(float ax1, float ay1, float ax2, float ay2);
// World to device units and back.
void yye2i(float x, float y, float& xd, float& yd);
void yyi2e(float xd, float yd, float& x, float& y);

// Floating-point control word: one static word for a save/restore pair (the
// pairs do not nest), and direct get/set.
void yysavefp();
void yyrestfp();
void yygetcw(std::uint16_t& cw);
void yysetcw(std::uint16_t cw);
