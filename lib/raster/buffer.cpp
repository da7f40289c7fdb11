// The raster image buffer: its sizing for the two drivers that own it, with
// their fall-backs when memory is short, and its clear and release.
#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <stdexcept>

#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hcstate.h"
#include "lib/raster/raster.h"
#include "lib/window/errors.h"

RasterState raster;
std::vector<std::int32_t> IRBUFF;
RasterAllocator raster_allocator = raster_default_allocate;

namespace {

constexpr std::int64_t MaxWords = std::numeric_limits<std::int32_t>::max();

// Words per row, per plane and in all for the current width, height and
// plane count at PIXELS_PER_WORD; the page's word count (without the spare
// word at the end), or -1 when it does not fit the buffer's indices.
std::int64_t size_words(std::int64_t pixels_per_word) {
    RasterState& r = raster;
    const std::int64_t w = std::max<std::int64_t>(r.rasterWidth, 0);
    const std::int64_t h = std::max<std::int64_t>(r.rasterHeight, 0);
    const std::int64_t per_row = (w + pixels_per_word - 1) / pixels_per_word;
    const std::int64_t per_plane = per_row * h;  // below 2^62
    const std::int64_t planes = std::max<std::int64_t>(r.planeCount, 1);
    const std::int64_t total = per_plane > std::numeric_limits<std::int64_t>::max() / planes
                                   ? std::numeric_limits<std::int64_t>::max()
                                   : per_plane * planes;
    if (total >= MaxWords) {
        r.wordsPerRow = r.wordsPerPlane = r.totalWords = 0;
        return total;
    }
    r.wordsPerRow = static_cast<std::int32_t>(per_row);
    r.wordsPerPlane = static_cast<std::int32_t>(per_plane);
    r.totalWords = static_cast<std::int32_t>(total);
    return total;
}

// One allocation attempt of TOTAL + 1 words; a page too large for the
// buffer's indices fails as an allocation would.
bool allocate(std::int64_t total) {
    if (total < 0 || total >= MaxWords) return false;
    if (raster_allocator && raster_allocator(IRBUFF, total + 1)) return true;
    IRBUFF.clear();
    IRBUFF.shrink_to_fit();
    return false;
}

}  // namespace

bool raster_default_allocate(std::vector<std::int32_t>& buffer, std::int64_t words) {
    if (words <= 0 || words > MaxWords) return false;
    try {
        buffer.assign(static_cast<std::size_t>(words), 0);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

bool raster_allocated() { return !IRBUFF.empty(); }

void raster_release() {
    IRBUFF.clear();
    IRBUFF.shrink_to_fit();
}

bool raster_size_printer(const std::function<void(std::int32_t resolution_index)>& geometry) {
    RasterState& r = raster;
    const DeviceModels& model = hcstate.models;
    // A buffer still held from a begin whose output could not be opened is
    // given back, not counted as a failed attempt.
    raster_release();
    const std::int32_t colour_mode = gstate.hc.options.get(6);
    r.planeCount = colour_mode == 1 ? 1 : std::max<std::int32_t>(model.PrinterPlanes, 1);
    r.lastPlane = r.planeCount - 1;
    if (r.planeCount == 1) {
        r.pixelDepth = 1;
        gstate.device[HardcopySide].true_colour = 0;
    } else {
        r.pixelDepth = 3;
    }
    r.clearWord = (r.pixelDepth != 1 && model.PrinterColourKind == 1) ? -1 : 0;
    std::int64_t total = 0;
    for (;;) {
        if (geometry) geometry(hcstate.ResolutionIndex);
        total = size_words(32);
        if (allocate(total)) break;
        if (hcstate.ResolutionIndex < model.ResolutionCount) {
            ++hcstate.ResolutionIndex;
            continue;
        }
        yyerror(34, "XXRAST");
        gstate.hardcopy_flag = 0;
        return false;
    }
    const std::int64_t band = gstate.hc.options.get(5) == 0
                                  ? std::int64_t{r.wordsPerRow} * model.DotsPerPass * r.planeCount
                                  : std::int64_t{r.planeCount} * r.rasterHeight * (model.DotsPerPass == 24 ? 3 : 1);
    r.clearLimit = band > 0 ? static_cast<std::int32_t>((total / band) * band) : r.totalWords;
    return true;
}

bool raster_size_image() {
    RasterState& r = raster;
    raster_release();
    HardcopyOptionTable& o = gstate.hc.options;
    r.pixelDepth = o.get(23);
    r.byteMasks = {~0xFF, ~0xFF00, ~0xFF0000, 0x00FFFFFF};
    r.planeCount = r.pixelDepth == 4 ? 4 : 1;
    r.lastPlane = r.planeCount - 1;
    o.set(6, 0);
    if (r.pixelDepth == 1) gstate.device[HardcopySide].true_colour = 0;
    const std::int64_t per_word = r.pixelDepth == 8 ? 4 : r.pixelDepth == 24 ? 1 : 32;
    r.clearWord = r.pixelDepth == 24 ? -1 : 0;
    r.dotsPerInchX = r.dotsPerInchY = 150.0f;
    r.rasterWidth = o.get(1);
    r.rasterHeight = o.get(2);
    for (;;) {
        const std::int64_t total = size_words(per_word);
        if (allocate(total)) break;
        yyerror(34, "XXIMAG");
        // About nine tenths of the words, the aspect kept; every attempt
        // asks for less than the one before, down to one pixel.
        const long double a = std::floor(9.0L * static_cast<long double>(total) / 10.0L);
        const float f = a > 0.0L ? std::sqrt(static_cast<float>(static_cast<long double>(total) / a)) : 2.0f;
        std::int32_t w = std::max<std::int32_t>(yytrunc(static_cast<float>(r.rasterWidth) / f), 1);
        std::int32_t h = std::max<std::int32_t>(yytrunc(static_cast<float>(r.rasterHeight) / f), 1);
        if (w >= r.rasterWidth && h >= r.rasterHeight) {
            if (r.rasterWidth <= 1 && r.rasterHeight <= 1) {
                gstate.hardcopy_flag = 0;
                return false;
            }
            if (r.rasterWidth >= r.rasterHeight)
                w = std::max(r.rasterWidth - 1, 1);
            else
                h = std::max(r.rasterHeight - 1, 1);
        }
        r.rasterWidth = w;
        r.rasterHeight = h;
    }
    r.clearLimit = r.totalWords;
    return true;
}

void raster_clear() {
    // Every word, also those past the last whole printer band, so that no
    // page carries what the one before (or the allocator) left there.
    std::fill(IRBUFF.begin(), IRBUFF.end(), raster.clearWord);
}

void reset_raster_state() {
    raster = RasterState{};
    raster_release();
    raster_allocator = raster_default_allocate;
}
