#pragma once
// Hardcopy driver 8: ASCII DXF files, coordinates in inches of the page,
// every entity on layer "1" with the AutoCAD Color Index of its colour.
#include <array>
#include <cstdint>
#include <string_view>

void xxdxf(std::int32_t op);

// The writers: a text without trailing blanks (at least one character);
// the head of an entity; a coordinate pair, scaled; two lines as they
// stand; a group code and a number (F15.6, blanks and trailing zeros of the
// decimals dropped); a group code and an integer (I3, without blanks).
void yydxf1(std::string_view text);
void yydxf2(std::string_view name);
void yydxf3(std::string_view code_x, std::string_view code_y, float x, float y);
void yydxf4(std::string_view a, std::string_view b);
void yydxf5(std::string_view code, float value);
void yydxf6(std::string_view code, std::int32_t n);

// The AutoCAD Color Index colours 1..255 (entry 0 unused).
const std::array<std::int32_t, 256>& aci_palette();

// The driver's own state.
struct DxfState {
    std::int32_t DxfColourIndex = 7;
    // The last packed colour looked up and the index found for it.
    bool cached = false;
    std::int32_t cached_rgb = 0;
    std::int32_t cached_index = 7;
};
extern DxfState dxfstate;

void reset_dxf_state();
