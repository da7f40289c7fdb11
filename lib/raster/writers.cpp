// The pixel, run, span and line writers of the raster image buffer. They
// take page pixels, replace what was there (the raster device has no plot
// modes) and drop every pixel that lies off the page, so nothing outside
// IRBUFF is ever written whatever a caller hands them.
#include <algorithm>
#include <cstdlib>

#include "lib/raster/raster.h"

namespace {

bool on_page(std::int32_t x, std::int32_t y) {
    const RasterState& r = raster;
    return x >= 0 && y >= 0 && x <= r.rasterMaxX && y <= r.rasterMaxY;
}

// Stores VALUE at (X, Y), which lies on the page; words the buffer does not
// hold (a description that does not match the allocation) are left alone.
void put(std::int32_t value, std::int32_t x, std::int32_t y) {
    const RasterState& r = raster;
    const std::int64_t row = std::int64_t{y} * r.wordsPerRow;
    const auto size = static_cast<std::int64_t>(IRBUFF.size());
    auto word = [&](std::int64_t index) -> std::int32_t* {
        return index >= 0 && index < size ? &IRBUFF[static_cast<std::size_t>(index)] : nullptr;
    };
    switch (r.storageMode) {
        case StoragePlanes: {
            const std::uint32_t bit = 1u << (x & 31);
            for (std::int32_t p = 0; p <= r.lastPlane && p < 32; ++p) {
                std::int32_t* w = word(std::int64_t{p} * r.wordsPerPlane + row + x / 32);
                if (!w) break;
                auto u = static_cast<std::uint32_t>(*w);
                u = ((static_cast<std::uint32_t>(value) >> p) & 1u) ? (u | bit) : (u & ~bit);
                *w = static_cast<std::int32_t>(u);
            }
            break;
        }
        case StorageBytes: {
            std::int32_t* w = word(row + x / 4);
            if (!w) break;
            const int k = x & 3;
            // The value is cut to its byte: a larger one must not spill
            // into the neighbouring pixels.
            const std::uint32_t kept = static_cast<std::uint32_t>(*w) & static_cast<std::uint32_t>(r.byteMasks[static_cast<std::size_t>(k)]);
            *w = static_cast<std::int32_t>(kept | ((static_cast<std::uint32_t>(value) & 0xFFu) << (8 * k)));
            break;
        }
        case StorageRgb: {
            if (std::int32_t* w = word(row + x)) *w = value;
            break;
        }
        default: {
            std::int32_t* w = word(row + x / 32);
            if (!w) break;
            const std::uint32_t bit = 1u << (x & 31);
            auto u = static_cast<std::uint32_t>(*w);
            *w = static_cast<std::int32_t>(value != 0 ? (u | bit) : (u & ~bit));
            break;
        }
    }
}

// Bit B of a 32-bit pattern word.
std::int32_t bit_of(std::int32_t pattern, int b) { return static_cast<std::int32_t>((static_cast<std::uint32_t>(pattern) >> b) & 1u); }

// Bit of pixel (X, Y) in an 8 x 4 pattern cell.
int cell_bit(std::int32_t x, std::int32_t y) { return 8 * (y & 3) + (x & 7); }

// True when every position of the line type is drawn (line type 0).
bool solid_line_type() {
    const RasterState& r = raster;
    const int length = std::clamp(r.lineTypeLength, 1, 32);
    const std::uint32_t all = length == 32 ? 0xFFFFFFFFu : ((1u << length) - 1u);
    return (static_cast<std::uint32_t>(r.lineTypePattern) & all) == all;
}

}  // namespace

void yyvra1(std::int32_t value, std::int32_t x, std::int32_t y) {
    if (on_page(x, y)) put(value, x, y);
}

void yyvra4(std::int32_t value, std::int32_t x1, std::int32_t y, std::int32_t x2) {
    const RasterState& r = raster;
    if (y < 0 || y > r.rasterMaxY) return;
    const std::int32_t from = std::max(x1, 0);
    const std::int32_t to = std::min(x2, r.rasterMaxX);
    for (std::int32_t x = from; x <= to; ++x) put(value, x, y);
}

void yyvra2(std::int32_t x1, std::int32_t x2, std::int32_t y) {
    const RasterState& r = raster;
    if (y < 0 || y > r.rasterMaxY) return;
    const std::int32_t from = std::max(x1, 0);
    const std::int32_t to = std::min(x2, r.rasterMaxX);
    if (to < from) return;
    switch (r.pixelDepth) {
        case 1:
            for (std::int32_t x = from; x <= to; ++x) {
                const std::int32_t pattern = (x & 1) == 0 ? r.fillPattern : r.secondFillPattern;
                put(bit_of(pattern, cell_bit(x, y)), x, y);
            }
            break;
        case 3:
            for (std::int32_t x = from; x <= to; ++x) {
                // Column 1 of each pair is the current colour's pattern;
                // two-colour fills take the previous one where x + y is odd.
                const std::size_t which = (r.twoColourFill != 0 && ((x + y) & 1) != 0) ? 0 : 1;
                const int b = cell_bit(x, y);
                const std::int32_t v = bit_of(r.ditherPatterns[0][which], b) + 2 * bit_of(r.ditherPatterns[1][which], b) +
                                       4 * bit_of(r.ditherPatterns[2][which], b);
                put(v, x, y);
            }
            break;
        default:
            if (r.twoColourFill == 0) {
                yyvra4(r.colourValue, from, y, to);
            } else {
                for (std::int32_t x = from; x <= to; ++x)
                    put(((x + y) & 1) == 0 ? r.previousColourValue : r.colourValue, x, y);
            }
            break;
    }
}

void yyvra3(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t skipfirst) {
    RasterState& r = raster;
    const std::int64_t dx = std::llabs(std::int64_t{x2} - x1);
    const std::int64_t dy = std::llabs(std::int64_t{y2} - y1);
    const std::int32_t sx = x2 >= x1 ? 1 : -1;
    const std::int32_t sy = y2 >= y1 ? 1 : -1;
    std::int32_t xa = std::min(x1, x2), xb = std::max(x1, x2);
    std::int32_t ya = std::min(y1, y2), yb = std::max(y1, y2);
    const std::int32_t colour = r.colourValue;
    const bool solid = solid_line_type();

    if (solid && dy == 0) {
        // A band of lineExtraX + 1 rows: the width measured across x is the
        // one taken from the vertical resolution.
        if (skipfirst != 0) {
            if (x1 < x2)
                ++xa;
            else if (x1 > x2)
                --xb;
            else
                return;
        }
        const std::int64_t first = std::max<std::int64_t>(std::int64_t{y1} - r.lineHalfX, r.clipBottom);
        const std::int64_t last = std::min<std::int64_t>(std::int64_t{y1} - r.lineHalfX + r.lineExtraX, r.clipTop);
        for (std::int64_t row = first; row <= last; ++row) yyvra4(colour, xa, static_cast<std::int32_t>(row), xb);
        return;
    }
    if (solid && dx == 0) {
        if (skipfirst != 0) {
            if (y1 < y2)
                ++ya;
            else
                --yb;
        }
        const std::int64_t first = std::max<std::int64_t>(std::int64_t{x1} - r.lineHalfY, r.clipLeft);
        const std::int64_t last = std::min<std::int64_t>(std::int64_t{x1} - r.lineHalfY + r.lineExtraY, r.clipRight);
        for (std::int64_t col = first; col <= last; ++col)
            for (std::int32_t y = ya; y <= yb; ++y) yyvra1(colour, static_cast<std::int32_t>(col), y);
        return;
    }

    // Parallel Bresenham copies one pixel apart, all dashed in step.
    const bool steep = dx < dy;
    const std::int64_t major_d = steep ? dy : dx;
    const std::int64_t minor_d = steep ? dx : dy;
    const std::int32_t major_s = steep ? sy : sx;
    const std::int32_t minor_s = steep ? sx : sy;
    const std::int64_t major_start = steep ? y1 : x1;
    const std::int64_t major_end = steep ? y2 : x2;
    const std::int32_t copies = (steep ? r.lineExtraX : r.lineExtraY) + 1;
    const std::int32_t half = steep ? r.lineHalfX : r.lineHalfY;
    const std::int64_t minor_origin = std::int64_t{steep ? x1 : y1} - half;
    const std::int64_t minor_low = steep ? r.clipLeft : r.clipBottom;
    const std::int64_t minor_high = steep ? r.clipRight : r.clipTop;
    const std::int32_t repeat = std::max(steep ? r.dashUnitY : r.dashUnitX, 1);
    const std::int32_t length = std::clamp(r.lineTypeLength, 1, 32);
    const std::int64_t no_step = 2 * minor_d;
    const std::int64_t step = 2 * (minor_d - major_d);
    const std::int32_t position0 = r.lineTypePosition;
    const std::int32_t count0 = r.dashStep;
    std::int32_t position = position0, count = count0;

    for (std::int32_t k = 0; k < copies; ++k) {
        std::int64_t major = major_start;
        std::int64_t minor = minor_origin + k;
        std::int64_t d = 2 * minor_d - major_d;
        if (skipfirst != 0) {
            major += major_s;
            if (d < 0) {
                d += no_step;
            } else {
                minor += minor_s;
                d += step;
            }
        }
        position = position0;
        count = count0;
        const std::int64_t n = (major_end - major + major_s) / major_s;
        for (std::int64_t p = 0; p < n; ++p) {
            if (position >= 0 && position < 32 && bit_of(r.lineTypePattern, position) != 0) {
                const std::int64_t x = steep ? minor : major;
                const std::int64_t y = steep ? major : minor;
                if (x >= 0 && y >= 0 && x <= r.rasterMaxX && y <= r.rasterMaxY)
                    put(colour, static_cast<std::int32_t>(x), static_cast<std::int32_t>(y));
            }
            if (d < 0) {
                d += no_step;
            } else {
                minor += minor_s;
                minor = minor_s > 0 ? std::min(minor, minor_high) : std::max(minor, minor_low);
                d += step;
            }
            if (++count > repeat) {
                count = 1;
                if (++position >= length) position = 0;
            }
            major += major_s;
        }
    }
    r.lineTypePosition = position;
    r.dashStep = count;
}
