// The RGB pixel writer: gradient and image pixels arrive one by one with
// their own PackedRGB and are turned into the page's pixel form here.
#include "lib/graphics/colours.h"
#include "lib/graphics/dither.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hcstate.h"
#include "lib/raster/raster.h"

// Level 0 (black) inks every pixel of the cell, level 15 (bright white) none.
const std::array<std::uint32_t, 16> RasterGreyPatterns = {
    0xFFFFFFFFu, 0xBFBFF7F7u, 0x73CE7CC7u, 0xC6EC3373u, 0xE7EF7E7Fu, 0x7377EE67u, 0x676EE676u, 0x311148C8u,
    0xEDED7777u, 0xECEC3776u, 0x6643CCC8u, 0x64641313u, 0x3C669999u, 0xC663366Cu, 0x32668CCCu, 0x00000000u,
};

// The 4-bit colour code of each 16-entry block of the default palette; the
// raster device's solid colours use the same map, so gradients and images
// match them.
const std::array<std::int32_t, 16> RasterColourGroups = {0, 9, 1, 11, 3, 10, 2, 14, 6, 12, 4, 13, 5, 15, 7, 8};

std::int32_t raster_dithered_value(std::int32_t v, std::int32_t r, std::int32_t g, std::int32_t b,
                                   std::int32_t x, std::int32_t y) {
    const RasterState& rs = raster;
    const bool swap = gstate.hc.options.get(6) != 0;
    v &= 7;
    if (rs.pixelDepth == 3) {
        if (swap && (v == 0 || v == 7)) v = 7 - v;
        if (hcstate.models.PrinterColourKind == 2) v = 7 - v;
        return v;
    }
    if (swap && (v == 0 || v == 7)) {
        v = 7 - v;
        r = 255 - r;
        g = 255 - g;
        b = 255 - b;
    }
    if (r > 191 || g > 191 || b > 191) v += 8;
    const int bit = 8 * (y & 3) + (x & 7);
    return static_cast<std::int32_t>((RasterGreyPatterns[static_cast<std::size_t>(v)] >> bit) & 1u);
}

void yyvra5(std::int32_t x, std::int32_t y, std::int32_t rgb) {
    RasterState& r = raster;
    switch (r.pixelDepth) {
        case 24: yyvra1(rgb, x, y); return;
        case 4:
        case 8: {
            // Runs of one colour are the rule: the palette search is made
            // once per run.
            if (rgb != r.colourCacheKey) {
                std::int32_t index = 0;
                yyrgbto8(rgb, index);
                index &= 0xFF;
                r.colourCacheValue = r.pixelDepth == 8 ? index : RasterColourGroups[static_cast<std::size_t>(index / 16)];
                r.colourCacheKey = rgb;
            }
            yyvra1(r.colourCacheValue, x, y);
            return;
        }
        case 1:
        case 3: {
            std::int32_t red = 0, green = 0, blue = 0;
            wrgbsplit(rgb, &red, &green, &blue);
            const std::size_t at = static_cast<std::size_t>(256 * (blue / 16) + 16 * (green / 16) + red / 16) &
                                   (DitherTableEntries - 1);
            const int bit = 8 * (y & 3) + (x & 7);
            auto on = [bit](DitherPattern p) { return static_cast<std::int32_t>((p >> bit) & 1u); };
            const std::int32_t v =
                on(dither_tables.red[at]) + 2 * on(dither_tables.green[at]) + 4 * on(dither_tables.blue[at]);
            yyvra1(raster_dithered_value(v, red, green, blue, x, y), x, y);
            return;
        }
        default: return;
    }
}
