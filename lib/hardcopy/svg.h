#pragma once
// Hardcopy driver 3: SVG files, one element per line.
#include <cstdint>
#include <string>

void xxsvg(std::int32_t op);

// The short number text of the document: F8.2 without blanks, ".00"
// dropped and a last "0" of the decimals dropped.
std::string yysvg1(float value);
// The path element of an arc (34) or a sector (13).
void yysvg2(std::int32_t op);

// The driver's own state, kept between operations.
struct SvgDriverState {
    // Style of the open stroke group; red -1 while none is open.
    std::int32_t red = -1, green = -1, blue = -1, width = -1, line_type = -1, join = -1, cap = -1;
    std::string colour_text = "000000";  // of the open stroke group, and of text groups
    std::int32_t clip_active = 0;
    std::int32_t clip_number = 0;
    // Groups open inside the svg element (stroke, fill and text groups),
    // and whether a fill or a text group is among them.
    std::int32_t open_groups = 0;
    std::int32_t fill_open = 0;
    std::int32_t text_open = 0;
};
extern SvgDriverState svgstate;

void reset_svg_state();
