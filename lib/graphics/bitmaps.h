#pragma once
// Memory bitmaps: up to 20 off-screen pictures (slots 0..19; programs and
// IGrSelect count them 1..20) that can be drawn into, copied to and from
// the drawing surface, filled from and read into pixel arrays, loaded from
// bitmap resources, mirrored, rotated and resized. The table lives in the
// window table (hBitmap, BitmapWidth, BitmapHeight, BitmapBlitMode).
//
// The layer reports nothing; it answers statuses that its callers turn into
// errors: 1015 no such bitmap resource, 1020 the new bitmap could not be
// made, 1021 slot outside 0..19 or free, 1036 the bitmap is shown in a
// viewer, 1066 a transfer failed or a pixel array does not fit its
// rectangle, 1090 a rotation other than 90, 180 or 270 degrees.
//
// Pixel coordinates are those of the surface: x to the right, y downwards
// from the top-left corner.
#include <cstdint>
#include <span>

#include "lib/window/quinda_state.h"

constexpr int BitmapSlots = 20;

constexpr std::int32_t BitmapErrNoResource = 1015;
constexpr std::int32_t BitmapErrCreate = 1020;
constexpr std::int32_t BitmapErrHandle = 1021;
constexpr std::int32_t BitmapErrInViewer = 1036;
constexpr std::int32_t BitmapErrTransfer = 1066;
constexpr std::int32_t BitmapErrAngle = 1090;

// A W x H bitmap filled with COLOUR in the lowest free slot; NUMBER := slot
// + 1, or 0 when no slot is free or the bitmap cannot be made (W or H below
// 1 included).
void yybitmapcreate(std::int32_t& number, std::int32_t w, std::int32_t h, std::int32_t colour);
// A new bitmap compatible with the current window, filled with COLOUR; 0 on
// failure.
OsHandle yybitmapcreate2(std::int32_t w, std::int32_t h, std::int32_t colour);
void yybitmapdestroy(std::int32_t slot, std::int32_t& status);
// The W x H area at (X, Y) of the drawing surface onto (0, 0) of the bitmap.
void yybitmapget(std::int32_t slot, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                 std::int32_t& status);
// STRETCH != 0: the whole bitmap stretched onto (X, Y, W, H) of the drawing
// surface; 0: its top-left W x H part copied to (X, Y).
void yybitmapput(std::int32_t slot, std::int32_t stretch, std::int32_t x, std::int32_t y, std::int32_t w,
                 std::int32_t h, std::int32_t& status);
// A W x H area from (SX, SY) to (DX, DY): DIRECTION != 0 bitmap to surface,
// 0 surface to bitmap.
void yybitmappart(std::int32_t slot, std::int32_t sx, std::int32_t sy, std::int32_t dx, std::int32_t dy,
                  std::int32_t w, std::int32_t h, std::int32_t direction, std::int32_t& status);
// Pixel arrays of PackedRGB values for the rectangle X1..X2 x Y1..Y2, row
// by row from row Y1: pixel (x, y) is element (y - Y1) * (X2 - X1 + 1) +
// (x - X1). Get writes the array into the bitmap, put reads the bitmap into
// the array.
void yybitmapgetdata(std::int32_t slot, std::span<const std::int32_t> pixels, std::int32_t x1, std::int32_t y1,
                     std::int32_t x2, std::int32_t y2, std::int32_t& status);
void yybitmapputdata(std::int32_t slot, std::span<std::int32_t> pixels, std::int32_t x1, std::int32_t y1,
                     std::int32_t x2, std::int32_t y2, std::int32_t& status);
// Bitmap resource ID copied onto the bitmap at (0, 0) over its whole size.
void yybitmapgetresource(std::int32_t slot, std::int32_t id, std::int32_t& status);
// Size of bitmap resource ID; 0 and 0 when there is none.
void yybitmapresourceinfo(std::int32_t id, std::int32_t& w, std::int32_t& h);
// DIRECTION 0 left-right, else top-bottom. VIEWER := the window slot of a
// viewer showing the bitmap (before the change), 0 when none.
void yybitmapmirror(std::int32_t slot, std::int32_t direction, std::int32_t& viewer, std::int32_t& status);
// A quarter turn anticlockwise on the screen for 90, a half turn for 180.
void yybitmaprotate(std::int32_t slot, std::int32_t angle, std::int32_t& viewer, std::int32_t& status);
// Nearest-neighbour resampling to NEWW x NEWH.
void yybitmapresize(std::int32_t slot, std::int32_t neww, std::int32_t newh, std::int32_t& viewer,
                    std::int32_t& status);
// Sets the raster operation of transfers for 0..3; other values change nothing.
void yybitmapmode(std::int32_t mode);
// Size of a slot; 0 and 0 outside 0..19 or free.
void yybitmapsize(std::int32_t slot, std::int32_t& w, std::int32_t& h);
// Makes the bitmap the drawing surface; STATUS 1 when the slot is outside
// 0..19, free or the bitmap cannot be selected, else 0 with W and H set.
void yybitmapselect(std::int32_t slot, std::int32_t& status, std::int32_t& w, std::int32_t& h);
// The window slot (1..50) of the first viewer showing the bitmap of a slot,
// 0 when none.
std::int32_t yybitmapisviewer(std::int32_t slot);
