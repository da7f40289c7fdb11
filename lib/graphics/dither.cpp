// Ordered-dither patterns: one generator shared by the patterns of the
// current colour and by the 4096-entry tables the raster device reads pixel
// by pixel.
#include "lib/graphics/dither.h"

#include <algorithm>

#include "lib/graphics/colours.h"
#include "lib/graphics/gstate.h"

DitherTables dither_tables;
std::array<std::int32_t, 256> DitherCache = [] {
    std::array<std::int32_t, 256> c{};
    c.fill(DitherCacheEmpty);
    return c;
}();

void dither_cache_clear() { DitherCache.fill(DitherCacheEmpty); }

namespace {

constexpr DitherPattern AllOnes = 0xFFFFFFFFu;

// A component above 97.5 % of its range is drawn at full intensity.
bool component_full(std::int32_t c) { return c >= 249; }

std::uint32_t rotate8(std::uint32_t x, int s) { return ((x << s) | (x >> (8 - s))) & 0xFFu; }

// Rows that come out equal would make vertical stripes when the cell is
// tiled; rotating the later copies shifts them apart.
DitherPattern destripe(DitherPattern p, std::int32_t k) {
    std::array<std::uint32_t, 4> b{};
    for (int i = 0; i < 4; ++i) b[static_cast<std::size_t>(i)] = (p >> (8 * i)) & 0xFFu;
    for (int i = 0; i < 4; ++i) {
        if (b[static_cast<std::size_t>(i)] == 0 || b[static_cast<std::size_t>(i)] == 255) continue;
        for (int d = i + 1; d <= 3; ++d) {
            auto& bd = b[static_cast<std::size_t>(d)];
            if (b[static_cast<std::size_t>(i)] == bd) bd = rotate8(bd, k + 2);
            for (int e = d - 1; e >= 0; --e) {
                auto& be = b[static_cast<std::size_t>(e)];
                if (bd == be) be = rotate8(be, k + 1);
            }
        }
    }
    return b[0] | (b[1] << 8) | (b[2] << 16) | (b[3] << 24);
}

void complement(std::int32_t& r, std::int32_t& g, std::int32_t& b) {
    r = 255 - r;
    g = 255 - g;
    b = 255 - b;
}

// Colour mode 2 swaps only the near-black and near-white colours.
bool near_black_or_white(std::int32_t r, std::int32_t g, std::int32_t b) {
    return (r > 245 && g > 245 && b > 245) || (r < 10 && g < 10 && b < 10);
}

DitherPattern component_pattern(std::int32_t c, std::int32_t k) {
    return dither_pattern(dither_level(c), component_full(c), k);
}

bool grey(std::int32_t r, std::int32_t g, std::int32_t b) {
    return std::max({r, g, b}) - std::min({r, g, b}) < 4;
}

}  // namespace

std::int32_t dither_level(std::int32_t component) {
    const std::int32_t c = std::clamp(component, 0, 255);
    return (64 * c + 255) / 510;
}

DitherPattern dither_pattern(std::int32_t level, bool full, std::int32_t k) {
    if (level <= 0) return 0;
    if (full || level >= 32) return AllOnes;
    const std::int32_t n = level;
    const std::int32_t d1 = 32 - n > 1 ? 32 - n : 1;
    const std::int32_t a = std::max(1, n / d1);
    const std::int32_t d2 = n > 1 ? n : 1;
    const std::int32_t gap = std::max(1, (32 - n) / d2);
    std::int32_t p = ((k + 2) * (n / (k + 1))) % 32;
    std::int32_t m = n, run = 0;
    DitherPattern pat = 0;
    for (int step = 0; step < 32; ++step) {
        if (run < a && m >= 1 && ((pat >> p) & 1u) == 0) {
            pat |= 1u << p;
            --m;
            ++run;
            p = (p + 1) % 32;
        } else {
            p = (p + gap) % 32;
            run = 0;
        }
    }
    // Whatever the runs left over goes in from both ends of the cell.
    for (int i = 0; i < 16 && m > 0; ++i)
        for (int q : {i, 31 - i}) {
            if (m > 0 && ((pat >> q) & 1u) == 0) {
                pat |= 1u << q;
                --m;
            }
        }
    return destripe(pat, k);
}

void yydith(std::int32_t kind, std::int32_t& patr, std::int32_t& patg, std::int32_t& patb) {
    const GraphicsState& gs = gstate;
    std::int32_t r = 0, g = 0, b = 0;
    yypalrgb(gs.CurrentColour.in_model(gs.ColourModel), r, g, b);
    r = std::clamp(r, 0, 255);
    g = std::clamp(g, 0, 255);
    b = std::clamp(b, 0, 255);
    const std::int32_t mode = gs.hc.options.get(6);
    if (mode == 1 || (mode == 2 && near_black_or_white(r, g, b))) complement(r, g, b);
    const bool two_colour = gs.hc.colour_count == 2;
    // A printer that inks the complement of what it is sent.
    if (kind == 2 && gs.hc.colour_count > 2) complement(r, g, b);

    if (two_colour) {
        const std::int32_t s = 35 * r + 59 * g + 11 * b;
        const std::int32_t level = (64 * s + 25500) / 51000;
        DitherPattern p = dither_pattern(level, s >= 24863, 1);
        if (mode == 1 || mode == 2) p = ~p;
        patr = patg = patb = static_cast<std::int32_t>(p);
        return;
    }
    const DitherPattern pr = component_pattern(r, 1);
    if (grey(r, g, b)) {
        patr = patg = patb = static_cast<std::int32_t>(pr);
        return;
    }
    patr = static_cast<std::int32_t>(pr);
    patg = static_cast<std::int32_t>(component_pattern(g, 2));
    patb = static_cast<std::int32_t>(component_pattern(b, 3));
}

void yydith2() {
    auto value = [](int i) { return i == 0 ? 0 : 16 * i + 15; };
    for (int b4 = 0; b4 < 16; ++b4)
        for (int g4 = 0; g4 < 16; ++g4)
            for (int r4 = 0; r4 < 16; ++r4) {
                const std::size_t at = static_cast<std::size_t>(256 * b4 + 16 * g4 + r4);
                const std::int32_t r = value(r4), g = value(g4), b = value(b4);
                const DitherPattern pr = component_pattern(r, 1);
                if (grey(r, g, b)) {
                    dither_tables.red[at] = dither_tables.green[at] = dither_tables.blue[at] = pr;
                } else {
                    dither_tables.red[at] = pr;
                    dither_tables.green[at] = component_pattern(g, 2);
                    dither_tables.blue[at] = component_pattern(b, 3);
                }
            }
}

void reset_dither_state() {
    dither_tables = DitherTables{};
    dither_cache_clear();
}
