#pragma once
// Colour models, colour selection, the colour helpers shared by the library,
// and the palettes: the current 256-entry palette built from the
// DefaultPalette, the device palettes derived from it and the colour cone
// used to match RGB values to palette entries.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

// ---------------------------------------------------------------- colours

// R + 256*G + 65536*B; nothing is clamped, so a component outside 0..255
// spills into its neighbours.
std::int32_t wrgb(std::int32_t r, std::int32_t g, std::int32_t b);
// Components of a packed colour; only the outputs given are written.
void wrgbsplit(std::int32_t rgb, std::int32_t* r = nullptr, std::int32_t* g = nullptr,
               std::int32_t* b = nullptr);
// 24 selects colour model 2 (packed RGB); any other value model 1 (palette
// numbers), completing missing palette indices.
void igrcolourmodel(std::int32_t bits);
// Select the current colour: palette number under model 1, packed RGB under
// model 2.
void IGrColourN(std::int32_t n);
// Make (device, index, rgb) the current colour and send operation 3:
// target 1 screen only, 2 hardcopy only, any other value both.
void yycon(std::int32_t index, std::int32_t rgb, std::int32_t device, std::int32_t target);
// Device colour number of a palette index for the graphics colour count.
std::int32_t yycnum(std::int32_t index);
// Colour number of hue group k (0..15) from HueGroupTable row ROW; -1 when k
// (or the row) is out of range.
std::int32_t yycoln(std::int32_t k, std::int32_t row);
// Hue (radians, 0..2*pi), saturation and value of a packed colour.
void yyrgbhsv(std::int32_t rgb, float& h, float& s, float& v);
// Six lower-case hexadecimal digits RRGGBB into text (blank-padded or cut).
void yyrgbhex(std::int32_t r, std::int32_t g, std::int32_t b, std::string& text);

// Colour numbers of the 8-colour device palette per hue group; row 0 is the
// one every caller uses.
extern const std::array<std::array<std::int32_t, 8>, 2> HueGroupTable;

// ---------------------------------------------------------------- palettes

constexpr int PaletteEntries = 256;
constexpr int ReducedPaletteEntries = 128;

struct PaletteTables {
    std::array<std::int32_t, PaletteEntries> current{};
    std::array<std::int32_t, 8> device8{};
    std::array<std::int32_t, 16> device16{};
    std::array<std::int32_t, ReducedPaletteEntries> reduced{};
    // PaletteCone: per entry (cos H * V * S, sin H * V * S, V).
    std::array<float, PaletteEntries> cone_x{};
    std::array<float, PaletteEntries> cone_y{};
    std::array<float, PaletteEntries> cone_v{};
    // Last result of yycnum, returned for colour counts that do not occur.
    std::int32_t last_cnum = 0;
};

extern PaletteTables palettes;

// Entry 16*b + j of the DefaultPalette.
std::int32_t default_palette_entry(int index);

// Set palette entry INDEX from components clamped to 0..255.
void igrpalettergb(std::int32_t index, std::int32_t r, std::int32_t g, std::int32_t b,
                   std::optional<std::int32_t> more = std::nullopt);
// Tell the devices (operation 28), then store the entry.
void igrpalette(std::int32_t index, std::int32_t rgb, std::optional<std::int32_t> more = std::nullopt);
// Restore the DefaultPalette and send operation 35 to both sides.
void igrpaletteinit();
// Build the current palette and every derived table.
void yypali();
// Store one entry and update the derived tables.
void yypals(std::int32_t index, std::int32_t rgb);
// Lookups; an out-of-range number gives 0.
void yypalg(std::int32_t index, std::int32_t& rgb);
void yypalg8(std::int32_t num, std::int32_t& rgb);
void yypalg16(std::int32_t num, std::int32_t& rgb);
void yypalg32(std::int32_t num, std::int32_t& rgb);
// Components of a colour in the current model.
void yypalrgb(std::int32_t colour, std::int32_t& r, std::int32_t& g, std::int32_t& b);
// The palette index representing a packed colour: the first exact match,
// else the nearest entry in the colour cone.
void yyrgbto8(std::int32_t rgb, std::int32_t& index);
