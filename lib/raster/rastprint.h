#pragma once
// The raster printer: hardcopy driver 4, the control strings of its three
// printer languages (PCL, ESC/P2 and Epson column graphics), the row
// compressions and the dump that sends the raster page to the printer.
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "lib/raster/raster.h"

// What the dump sends around the picture data, rebuilt at every end of page.
// The strings hold exactly the bytes that are sent: their sizes are the
// lengths (StartLength, EndLength, RowHeaderLength, LineAdvanceLength).
struct PrinterControlBlock {
    std::int32_t LeftMargin = 0;       // Epson: zero bytes before each band's data
    std::int32_t PassCount = 1;        // 2: a band goes out in two interleaved passes
    std::int32_t RasterWidth = 0;      // dots per printer line
    std::int32_t RasterHeight = 0;     // printer lines
    std::int32_t PlaneCount = 1;       // colour planes per row
    std::int32_t CompressionMode = 0;  // PCL rows: 0 none, 1 run-length, 2 PackBits
    std::string StartString;
    std::string EndString;
    // PCL: entry 0 for the last plane of a row (W), 1 and 2 for the planes
    // still followed by others (V). ESC/P2 and Epson: entry 0.
    std::array<std::string, 3> RowHeader;
    std::string LineAdvance;
    std::array<std::string, 2> PassSpacing;
    std::array<std::string, 4> ColourSelect;  // yellow, magenta, cyan, black
};

extern PrinterControlBlock printer_codes;

// Fills printer_codes for a printer raster of WIDTH x HEIGHT dots (the
// driver's page), or, for WIDTH <= 0, for printing the current drawing area
// with the image-print options.
void yypcod(std::int32_t width, std::int32_t height);

// PCL row compression by CompressionMode (1 run-length pairs, 2 PackBits)
// of the COUNT bytes at the start of ROW, in place; COUNT becomes the
// compressed length, which goes into RowHeader entry HEADER without leading
// blanks. ROW must hold 2 x COUNT bytes (mode 1) or COUNT + COUNT / 127 + 1.
void yycmpr(std::int32_t& count, std::int32_t header, std::span<unsigned char> row);
// The same on quin01.
void yycmpr(std::int32_t& count, std::int32_t header);
// PackBits of the COUNT bytes of ROW into WORK (at least COUNT + COUNT / 128
// + 1 bytes), kept only when shorter; the ESC/P2 compression byte says which.
void yycmprp2(std::int32_t& count, std::span<unsigned char> work, std::int32_t mode,
              std::span<unsigned char> row);
void yycmprp2(std::int32_t& count, std::span<unsigned char> work, std::int32_t mode);
// The column count of an Epson band of COUNT bytes into RowHeader entry 0;
// 24-dot bands raise COUNT to whole columns.
void yybitimg(std::int32_t& count);

// Sends the whole raster page on CHANNEL, dot by dot through TEST.
void yydump(int channel, PixelTest test);

// Hardcopy driver 4.
void xxrast(std::int32_t op);
