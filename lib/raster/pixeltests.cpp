// The pixel tests: whether the printer dump prints dot I of printer line J.
// Each maps the dot to its picture pixel for one orientation and reads one
// plane, or applies the colour rule of three-ink pages. A dot that maps
// outside the picture is never printed.
#include "lib/graphics/gstate.h"
#include "lib/raster/raster.h"

namespace {

RasterState& rs() { return raster; }

std::int32_t fetch(std::int64_t index) {
    RasterState& r = rs();
    ++r.testWordsFetched;
    return index >= 0 && index < static_cast<std::int64_t>(IRBUFF.size()) ? IRBUFF[static_cast<std::size_t>(index)] : 0;
}

bool inside(std::int64_t x, std::int64_t y) {
    const RasterState& r = rs();
    return x >= 0 && y >= 0 && x <= r.rasterMaxX && y <= r.rasterMaxY;
}

bool valid_plane(std::int32_t p) { return p >= 0 && p <= rs().lastPlane; }

std::int64_t word_of(std::int32_t plane, std::int64_t x, std::int64_t y) {
    const RasterState& r = rs();
    return std::int64_t{plane} * r.wordsPerPlane + y * r.wordsPerRow + x / 32;
}

std::int32_t bit(std::int32_t word, std::int64_t b) {
    return static_cast<std::int32_t>((static_cast<std::uint32_t>(word) >> (b & 31)) & 1u);
}

// Bit of pixel (X, Y) in PLANE; 0 off the picture.
std::int32_t plane_bit(std::int32_t plane, std::int64_t x, std::int64_t y) {
    if (!inside(x, y) || !valid_plane(plane)) return 0;
    return bit(fetch(word_of(plane, x, y)), x);
}

// The three-ink rule: a pixel inked in all three planes prints once, in the
// black pass (selectedPlane -1), and in none of the colour passes.
std::int32_t colour_rule(std::int64_t x, std::int64_t y) {
    if (!inside(x, y)) return 0;
    const std::int32_t plane = rs().selectedPlane;
    if (plane >= 0 && plane_bit(plane, x, y) == 0) return 0;
    const bool black = plane_bit(0, x, y) != 0 && plane_bit(1, x, y) != 0 && plane_bit(2, x, y) != 0;
    return plane < 0 ? (black ? 1 : 0) : (black ? 0 : 1);
}

std::int64_t upright_x(std::int32_t i) { return i; }
std::int64_t upright_y(std::int32_t j) { return std::int64_t{rs().rasterMaxY} - j; }
std::int64_t rotated_x(std::int32_t j) { return std::int64_t{rs().rasterMaxX} - j; }
std::int64_t rotated_y(std::int32_t i) { return std::int64_t{rs().rasterMaxY} - i; }

// Not rotated, along one picture row: the row's first word at i = 0, the
// next word every 32 dots.
std::int32_t row_walk(std::int32_t plane, std::int32_t i, std::int32_t j) {
    RasterState& r = rs();
    const std::int64_t y = upright_y(j);
    const bool row_ok = valid_plane(plane) && y >= 0 && y <= r.rasterMaxY;
    if (i == 0) {
        r.testWordIndex = word_of(plane, 0, y);
        if (row_ok) r.testWord = fetch(r.testWordIndex);
    } else if (i % 32 == 0) {
        ++r.testWordIndex;
        if (row_ok && i <= r.rasterMaxX) r.testWord = fetch(r.testWordIndex);
    }
    if (!row_ok || i < 0 || i > r.rasterMaxX) return 0;
    return bit(r.testWord, i);
}

// Rotated, down one picture column: the column and its bit at i = 0, one row
// lower at every later dot.
std::int32_t column_walk(std::int32_t plane, std::int32_t i, std::int32_t j) {
    RasterState& r = rs();
    if (i == 0) {
        r.testColumn = static_cast<std::int32_t>(rotated_x(j));
        r.testBit = r.testColumn & 31;
        r.testWordIndex = word_of(plane, r.testColumn, r.rasterMaxY);
    } else {
        r.testWordIndex -= r.wordsPerRow;
    }
    if (!valid_plane(plane) || !inside(r.testColumn, rotated_y(i))) return 0;
    return bit(fetch(r.testWordIndex), r.testBit);
}

}  // namespace

std::int32_t yyras1(std::int32_t& i, std::int32_t& j) { return plane_bit(0, rotated_x(j), rotated_y(i)); }

std::int32_t yyras2(std::int32_t& i, std::int32_t& j) { return column_walk(rs().selectedPlane, i, j); }

std::int32_t yyras3(std::int32_t& i, std::int32_t& j) {
    if (gstate.hc.options.get(5) != 0) return colour_rule(rotated_x(j), rotated_y(i));
    return colour_rule(upright_x(i), upright_y(j));
}

std::int32_t yyras4(std::int32_t& i, std::int32_t& j) { return row_walk(rs().selectedPlane, i, j); }

std::int32_t yyras5(std::int32_t& i, std::int32_t& j) { return plane_bit(0, upright_x(i), upright_y(j)); }

std::int32_t yyras6(std::int32_t& i, std::int32_t& j) { return row_walk(0, i, j); }

std::int32_t yyras7(std::int32_t& i, std::int32_t& j) { return column_walk(0, i, j); }

std::int32_t yyras8(std::int32_t& i, std::int32_t& j) {
    RasterState& r = rs();
    // The row is held from the line's first dot.
    if (i == 0) r.testRow = static_cast<std::int32_t>(upright_y(j));
    return colour_rule(i, r.testRow);
}

std::int32_t yyras9(std::int32_t& i, std::int32_t& j) {
    RasterState& r = rs();
    // The column is held from the line's first dot; the row follows i.
    if (i == 0) {
        r.testColumn = static_cast<std::int32_t>(rotated_x(j));
        r.testBit = r.testColumn & 31;
    }
    return colour_rule(r.testColumn, rotated_y(i));
}
