#pragma once
// The raster image buffer IRBUFF and its description RasterState: the page
// in memory behind raster printing and image files, the raster device yyvras
// that draws the graphics driver operations into it, the pixel, span, line
// and RGB writers it draws with, and the pixel tests the printer dump reads
// it through.
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

// StorageMode: how a pixel lives in IRBUFF.
enum StorageMode : std::int32_t {
    StorageOnePlane = 1,   // one bit per pixel, 32 pixels a word
    StoragePlanes = 2,     // planeCount bit planes, one after the other
    StorageBytes = 3,      // one palette index a byte, 4 pixels a word
    StorageRgb = 4,        // one PackedRGB a word
};

struct RasterState {
    std::int32_t rasterWidth = 0, rasterHeight = 0;
    std::int32_t rasterMaxX = -1, rasterMaxY = -1;
    std::int32_t wordsPerRow = 0, wordsPerPlane = 0, totalWords = 0;
    std::int32_t clearLimit = 0, clearWord = 0;
    std::int32_t printRasterWidth = 0, printRasterHeight = 0;
    float dotsPerInchX = 0.0f, dotsPerInchY = 0.0f;
    std::int32_t planeCount = 1, lastPlane = 0, pixelDepth = 1;
    std::int32_t storageMode = StorageOnePlane;
    // Mask k clears byte k while drawing; the image writers flip them.
    std::array<std::int32_t, 4> byteMasks{~0xFF, ~0xFF00, ~0xFF0000, 0x00FFFFFF};
    std::int32_t colourValue = 0, previousColourValue = 0;
    // Per primary (red, green, blue planes): {previous, current} pattern.
    std::array<std::array<std::int32_t, 2>, 3> ditherPatterns{};
    std::int32_t fillPattern = 0, secondFillPattern = 0, twoColourFill = 0;
    std::int32_t clipLeft = 0, clipRight = 0, clipBottom = 0, clipTop = 0;
    std::int32_t lineTypePattern = 0xFFF, lineTypeLength = 12, lineTypePosition = 0, dashStep = 1;
    std::int32_t dashUnitX = 1, dashUnitY = 1;
    std::int32_t lineExtraX = 0, lineExtraY = 0, lineHalfX = 0, lineHalfY = 0;
    std::int32_t selectedPlane = 0;
    // Colour memo of yyvra5: the last PackedRGB converted (-1 none) and the
    // pixel value it gave.
    std::int32_t colourCacheKey = -1, colourCacheValue = 0;
    // Pixel where the last line or polyline ended.
    std::array<std::int32_t, 2> LastLineEnd{-9999, -9999};
    // What the sequential and held pixel tests keep from one dot to the
    // next of a printer line, and the words they have fetched (for tests).
    std::int64_t testWordIndex = 0;
    std::int32_t testWord = 0, testBit = 0, testColumn = 0, testRow = 0;
    std::int64_t testWordsFetched = 0;
};

extern RasterState raster;
// Words 0..totalWords while allocated; empty while not.
extern std::vector<std::int32_t> IRBUFF;

// ---------------------------------------------------------------- buffer

// Allocation of IRBUFF with WORDS words; false when it cannot be had. Tests
// put a failing allocator here; the default one fails only when memory is
// short or the count does not fit the buffer's 32-bit indices.
using RasterAllocator = std::function<bool(std::vector<std::int32_t>& buffer, std::int64_t words)>;
extern RasterAllocator raster_allocator;
bool raster_default_allocate(std::vector<std::int32_t>& buffer, std::int64_t words);

// Sizing and allocation at the raster printer driver's begin, for the
// printer model selected (planes, colour kind, dots per pass, resolution
// count) at hcstate.ResolutionIndex. GEOMETRY fills dotsPerInchX/Y,
// rasterWidth/Height and printRasterWidth/Height for a resolution index (the
// driver's page rules). On a failed allocation the next lower resolution is
// tried and the index stays advanced; with none left, error 34 under
// "XXRAST" and hardcopy output off. True when allocated.
bool raster_size_printer(const std::function<void(std::int32_t resolution_index)>& geometry);
// Sizing and allocation at the image-file driver's begin, from options 1, 2
// and 23; shrinks by about a tenth with error 34 under "XXIMAG" on every
// failed attempt. True when allocated.
bool raster_size_image();
// Write clearWord into every word of the buffer.
void raster_clear();
// Give the buffer back.
void raster_release();
bool raster_allocated();

// Back to the state of a freshly started process. For tests.
void reset_raster_state();

// ---------------------------------------------------------------- writers

// Pixels outside 0..rasterMaxX x 0..rasterMaxY are dropped by every writer.
void yyvra1(std::int32_t value, std::int32_t x, std::int32_t y);
void yyvra4(std::int32_t value, std::int32_t x1, std::int32_t y, std::int32_t x2);
void yyvra2(std::int32_t x1, std::int32_t x2, std::int32_t y);
void yyvra3(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t skipfirst);
// One pixel from a PackedRGB colour.
void yyvra5(std::int32_t x, std::int32_t y, std::int32_t rgb);
// The pixel value yyvra5 stores at (X, Y) on a page of 1 or 3 bits for a
// colour whose dither value (bit 0 red, 1 green, 2 blue) is V.
std::int32_t raster_dithered_value(std::int32_t v, std::int32_t r, std::int32_t g, std::int32_t b,
                                   std::int32_t x, std::int32_t y);

// Grey-level cells of one-bit pages and the colour codes of 4-bit pages by
// palette block.
extern const std::array<std::uint32_t, 16> RasterGreyPatterns;
extern const std::array<std::int32_t, 16> RasterColourGroups;

// ---------------------------------------------------------------- device

// The raster device: one graphics driver operation on the buffer.
void yyvras(std::int32_t op);

// ---------------------------------------------------------------- pixel tests

// PixelTest: I the dot along the printer line, J the printer line; 1 print.
using PixelTest = std::int32_t (*)(std::int32_t& i, std::int32_t& j);
std::int32_t yyras1(std::int32_t& i, std::int32_t& j);
std::int32_t yyras2(std::int32_t& i, std::int32_t& j);
std::int32_t yyras3(std::int32_t& i, std::int32_t& j);
std::int32_t yyras4(std::int32_t& i, std::int32_t& j);
std::int32_t yyras5(std::int32_t& i, std::int32_t& j);
std::int32_t yyras6(std::int32_t& i, std::int32_t& j);
std::int32_t yyras7(std::int32_t& i, std::int32_t& j);
std::int32_t yyras8(std::int32_t& i, std::int32_t& j);
std::int32_t yyras9(std::int32_t& i, std::int32_t& j);
