#include <algorithm>
#include <cmath>

#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"

PaletteTables palettes;

namespace {

// The DefaultPalette by blocks of 16: which components a block uses (bits
// 1 red, 2 green, 4 blue), the start value and the step per entry.
struct PaletteBlock {
    int components;
    int start;
    int step;
};
constexpr std::array<PaletteBlock, 16> DefaultPaletteBlocks = {{
    {7, 255, -4},  // white to light grey
    {1, 195, 4},   // reds
    {1, 131, 4},
    {3, 195, 4},   // yellows
    {3, 131, 4},
    {2, 195, 4},   // greens
    {2, 131, 4},
    {6, 195, 4},   // cyans
    {6, 131, 4},
    {4, 195, 4},   // blues
    {4, 131, 4},
    {5, 195, 4},   // magentas
    {5, 131, 4},
    {7, 60, -4},   // darkest greys to black
    {7, 124, -4},  // dark greys
    {7, 191, -4},  // mid greys
}};

// Palette entries representing the 8-colour and 16-colour device palettes.
constexpr std::array<int, 8> S8 = {0, 159, 95, 127, 31, 191, 63, 223};
constexpr std::array<int, 16> S16 = {0, 175, 111, 143, 47, 207, 79, 239, 240, 159, 95, 127, 31, 191, 63, 223};

bool reduced_palette_in_use() { return gstate.colour_count >= 32 && gstate.colour_count <= 128; }

void cone_point(std::int32_t rgb, float& x, float& y, float& v) {
    float h = 0.0f, s = 0.0f;
    yyrgbhsv(rgb, h, s, v);
    x = std::cos(h) * v * s;
    y = std::sin(h) * v * s;
}

void set_cone(int index) {
    const auto i = static_cast<std::size_t>(index);
    cone_point(palettes.current[i], palettes.cone_x[i], palettes.cone_y[i], palettes.cone_v[i]);
}

template <std::size_t Size>
void lookup(const std::array<std::int32_t, Size>& table, std::int32_t num, std::int32_t& rgb) {
    rgb = num >= 0 && static_cast<std::size_t>(num) < Size ? table[static_cast<std::size_t>(num)] : 0;
}

}  // namespace

std::int32_t default_palette_entry(int index) {
    if (index < 0 || index >= PaletteEntries) return 0;
    const PaletteBlock& b = DefaultPaletteBlocks[static_cast<std::size_t>(index / 16)];
    const int value = b.start + (index % 16) * b.step;
    return wrgb((b.components & 1) ? value : 0, (b.components & 2) ? value : 0, (b.components & 4) ? value : 0);
}

void yypali() {
    PaletteTables& p = palettes;
    for (int i = 0; i < PaletteEntries; ++i) p.current[static_cast<std::size_t>(i)] = default_palette_entry(i);
    for (std::size_t c = 0; c < S8.size(); ++c) p.device8[c] = p.current[static_cast<std::size_t>(S8[c])];
    for (std::size_t c = 0; c < S16.size(); ++c) p.device16[c] = p.current[static_cast<std::size_t>(S16[c])];
    if (reduced_palette_in_use()) {
        const int n = gstate.colour_count;
        const int step = 256 / n;
        for (int k = 0; k < n; ++k) {
            int at = k * step;
            // Inside the coloured blocks take the last entry of each step,
            // the most saturated one.
            if (at >= 16 && at <= 239) at += step - 1;
            p.reduced[static_cast<std::size_t>(k)] = p.current[static_cast<std::size_t>(at)];
        }
    }
    for (int i = 0; i < PaletteEntries; ++i) set_cone(i);
}

void yypals(std::int32_t index, std::int32_t rgb) {
    if (index < 0 || index >= PaletteEntries) return;
    PaletteTables& p = palettes;
    p.current[static_cast<std::size_t>(index)] = rgb;
    const std::int32_t group = ((index + 16) / 32) % 8;
    const std::int32_t c8 = yycoln(group, 0);
    const std::int32_t c16 = (index / 16) % 2 == 1 ? c8 + 8 : c8;
    // Entry 0 of the device palettes is their background (the cleared page
    // of a 4-bit picture among them): it stays the colour of palette entry
    // 0, whichever other entry of the whites' hue group a program sets.
    if (c8 != 0 || index == 0) p.device8[static_cast<std::size_t>(c8)] = rgb;
    if (c16 != 0 || index == 0) p.device16[static_cast<std::size_t>(c16)] = rgb;
    if (reduced_palette_in_use())
        p.reduced[static_cast<std::size_t>(index * gstate.colour_count / 256)] = rgb;
    set_cone(index);
}

void yypalg(std::int32_t index, std::int32_t& rgb) { lookup(palettes.current, index, rgb); }
void yypalg8(std::int32_t num, std::int32_t& rgb) { lookup(palettes.device8, num, rgb); }
void yypalg16(std::int32_t num, std::int32_t& rgb) { lookup(palettes.device16, num, rgb); }
void yypalg32(std::int32_t num, std::int32_t& rgb) { lookup(palettes.reduced, num, rgb); }

void yypalrgb(std::int32_t colour, std::int32_t& r, std::int32_t& g, std::int32_t& b) {
    std::int32_t rgb = colour;
    if (gstate.ColourModel != 2) yypalg(colour, rgb);
    wrgbsplit(rgb, &r, &g, &b);
}

void yyrgbto8(std::int32_t rgb, std::int32_t& index) {
    const PaletteTables& p = palettes;
    for (int i = 0; i < PaletteEntries; ++i)
        if (p.current[static_cast<std::size_t>(i)] == rgb) {
            index = i;
            return;
        }
    float x = 0.0f, y = 0.0f, v = 0.0f;
    cone_point(rgb, x, y, v);
    float best = 9999999.0f;
    index = 0;
    for (int i = 0; i < PaletteEntries; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const float dx = x - p.cone_x[k], dy = y - p.cone_y[k], dv = v - p.cone_v[k];
        const float d = dx * dx + dy * dy + dv * dv;
        if (d < best) {
            best = d;
            index = i;
        }
    }
}

void igrpalettergb(std::int32_t index, std::int32_t r, std::int32_t g, std::int32_t b,
                   std::optional<std::int32_t> more) {
    igrpalette(index, wrgb(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255)), more);
}

void igrpalette(std::int32_t index, std::int32_t rgb, std::optional<std::int32_t> more) {
    // The palette has 256 entries; another index names nothing to change.
    if (index < 0 || index >= PaletteEntries) return;
    drvargs.IX[0] = rgb;
    drvargs.IX[3] = more.value_or(0);
    drvargs.K = yycnum(index);
    drvargs.N = index;
    // The devices see the entry while the tables still hold the old colour.
    yygdrv(OpPaletteEntry);
    yyhdrv(OpPaletteEntry);
    yypals(index, rgb);
}

void igrpaletteinit() {
    yypali();
    yygdrv(OpPalette);
    yyhdrv(OpPalette);
}
