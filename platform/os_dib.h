#pragma once
// Device-independent bitmaps on device contexts, compatible bitmaps read
// back as DIB rows, and bitmaps on the clipboard.
//
// A DIB is a byte block: the 40-byte information header, the colour table
// (4 bytes an entry: blue, green, red, 0), then the pixel rows bottom-up,
// each padded to 4 bytes; compression 0, 1 (RLE8) or 2 (RLE4).
#include <cstdint>
#include <span>
#include <vector>

#include "platform/os_gdi.h"

// Draws the DIB (rows from byte BITS of DIB) stretched into the rectangle
// of W x H pixels at (X, Y) of the device context, through its clip region.
// False when the DIB is malformed or the device context draws nothing.
bool os_stretch_dib_bits(OsDC dc, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                         std::span<const std::uint8_t> dib, std::int64_t bits);

// The pixels of a bitmap object as a 24-bit DIB: header and bottom-up rows.
bool os_get_dib_bits(OsObject bitmap, std::vector<std::uint8_t>& dib);
// Width and height of a bitmap object (false for no bitmap).
bool os_bitmap_size(OsObject bitmap, std::int32_t& width, std::int32_t& height);

// The clipboard's bitmap format (its number is the system's 2).
constexpr std::uint32_t OS_CF_BITMAP = 2;
bool os_clipboard_has_bitmap();
// A new bitmap object of the clipboard's picture, 0 when there is none.
OsObject os_clipboard_get_bitmap();
// Puts a copy of the bitmap on the clipboard, replacing its contents.
bool os_clipboard_put_bitmap(OsObject bitmap);
