#pragma once
// Ordered dithering for devices with few colours: the bit patterns of an
// 8 x 4 cell that stand for a colour channel's intensity. Bit b of a
// DitherPattern is the pixel in row b div 8 and column b mod 8 of the cell;
// a device gives its pixel (x, y) bit 8 * (y mod 4) + (x mod 8).
#include <array>
#include <cstdint>

using DitherPattern = std::uint32_t;

constexpr int DitherTableEntries = 4096;

// The red, green and blue patterns of every colour whose channels are cut
// to 4 bits; entry 256 * (B div 16) + 16 * (G div 16) + (R div 16).
struct DitherTables {
    std::array<DitherPattern, DitherTableEntries> red{};
    std::array<DitherPattern, DitherTableEntries> green{};
    std::array<DitherPattern, DitherTableEntries> blue{};
};

extern DitherTables dither_tables;

// One word per palette index, -1 empty; the raster device and the HP-GL/2
// driver empty it when they initialise. yydith computes its patterns on
// every call, so what is kept here always equals a fresh computation.
constexpr std::int32_t DitherCacheEmpty = -1;
extern std::array<std::int32_t, 256> DitherCache;
void dither_cache_clear();

// Level 0..32 of a colour component 0..255.
std::int32_t dither_level(std::int32_t component);
// The pattern of level n for channel k (1 red, 2 green, 3 blue); a full
// value gives all 32 bits whatever its level.
DitherPattern dither_pattern(std::int32_t level, bool full, std::int32_t channel);

// Patterns of the current colour of the graphics state, under the hardcopy
// colour mode (option 6) and the active hardcopy device's colour count: one
// luminance pattern in all three outputs on a two-colour device, else one
// per channel. KIND 2 (a printer that inks the complement) complements the
// colour once more on a colour device.
void yydith(std::int32_t kind, std::int32_t& patr, std::int32_t& patg, std::int32_t& patb);
// Rebuilds the three dither tables; the same content on every call.
void yydith2();

// Zeros in the tables, the cache empty. For tests.
void reset_dither_state();
