#pragma once
// Binary CGM: the encoding shared by hardcopy driver 9 (a file on the
// driver channel) and the recorder of CGM memory metafiles (a byte array
// of a metafile slot), and the file driver itself.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "lib/hardcopy/hcdriver.h"

// ---------------------------------------------------------------- encoding
// Every 16-bit word goes most significant octet first. Integers and VDC are
// held to -32768..32767, so a value far outside the page stays at its edge
// instead of wrapping to the opposite side.
namespace cgm {

// A raw 16-bit word (header and length words): a negative value is taken
// plus 65536, only the low 16 bits are kept.
void word(std::string& out, std::int64_t v);
// An integer, index, enumerated or VDC value, clamped to 16 bits.
void integer(std::string& out, std::int64_t v);
void point(std::string& out, std::int64_t x, std::int64_t y);
// A value truncated toward zero; not a number gives 0.
std::int64_t trunc(double v);
// A string: its length octet and characters; 255 characters and more take
// the long form (octet 255, then length words of at most 32767 characters
// with the continuation flag). PADDED adds a zero octet when the count is
// odd, so that the next element starts on an even octet.
void string(std::string& out, std::string_view text, bool padded);
// One element: header (short form up to 30 octets, else long form with
// partitions of at most 32766 octets), the parameters, a pad octet the
// length does not count when it is odd.
void element(std::string& out, int cls, int id, std::string_view params);
// The same, always in long form.
void long_element(std::string& out, int cls, int id, std::string_view params);
// TEXT ALIGNMENT: HORIZONTAL, bottom, continuous values 0.
void text_alignment(std::string& out, std::int32_t horizontal);
// A colour element: header with length 4, red, green, blue, zero.
void colour_element(std::string& out, int cls, int id, std::int32_t r, std::int32_t g, std::int32_t b);

// The FONT LIST parameters of option 28 (0 CGM names, 1 PostScript, 2
// TrueType; any other value takes the TrueType names).
std::string font_list(std::int32_t names);
// The CGM line type of the library's line type 0..7.
std::int32_t line_type(std::int32_t library_type);
// The picture size in VDC of a page in points at DPI dots per inch, both
// scaled down together until the larger fits 32767.
std::array<std::int32_t, 2> vdc_extent(std::int64_t width_points, std::int64_t height_points, std::int64_t dpi_x,
                                       std::int64_t dpi_y);
// The metafile descriptor and the picture header up to TEXT ALIGNMENT.
std::string header(std::string_view title, std::int32_t font_names, std::int32_t w, std::int32_t h);

// The last value written of each attribute element; -1 = none yet.
struct AttributeCache {
    std::int32_t line = -1, text = -1, fill = -1, edge = -1, aux = -1, font = -1, height = -1, align = -1,
                 edge_width = -1, edge_type = -1;
};
constexpr std::int32_t packed(const Rgb& c) { return c.r + 256 * c.g + 65536 * c.b; }
// The colour element when the colour differs from ENTRY.
void colour_if_changed(std::string& out, std::int32_t& entry, int cls, int id, const Rgb& c);
// The sector polygon's points: the centre, the arc from A0 to A1 in steps,
// the end point. The step count is capped so that no radius makes it run
// away.
std::string sector_points(std::int64_t cx, std::int64_t cy, float x, float y, float rx, float ry, float a0,
                          float a1, std::int32_t segments, float sx, float sy);
// The segment count of a sector of horizontal radius RX on a drawable
// WIDTH pixels wide.
std::int32_t sector_segments(float rx, std::int32_t width);
// The gradient triangles of the vertex block as CGM elements; device
// points are multiplied by SX, SY (1 for the recorder) and truncated.
std::string gradient_triangles(const std::int32_t* tri, std::int32_t t, float sx, float sy);
// A cell array of WIDTH x HEIGHT PackedRGB pixels, rows run-length encoded,
// each row a partition (rows beyond one partition split over several).
std::string cell_array_head(std::int64_t px, std::int64_t py, std::int64_t qx, std::int64_t qy, std::int64_t rx,
                            std::int64_t ry, std::int32_t width, std::int32_t height);
std::string cell_array_row(const std::int32_t* pixels, std::int32_t width, bool last);
// The TEXT / RESTRICTED TEXT element.
void text_element(std::string& out, bool single, std::int64_t dw, std::int64_t dh, std::int64_t x, std::int64_t y,
                  std::string_view text);
// The string operation's alignment (1 left, 2 centre, 3 right) and its
// reference point in device units.
std::int32_t text_anchor(float& x, float& y);
// CHARACTER ORIENTATION for character width S.
void orientation(std::string& out, float s);
}  // namespace cgm

// ---------------------------------------------------------------- file writer
// Octets go to the driver channel when the operation ends.
void yycgm2(std::int32_t cls, std::int32_t id, std::int32_t length);
void yycgm5(std::int32_t value);
void yycgm6(std::int32_t a, std::int32_t b);
void yycgm7(std::string_view text, std::int32_t n);
void yycgm8(std::string_view text, std::int32_t n);
void yycgm4(std::int32_t cls, std::int32_t id, std::int32_t r, std::int32_t g, std::int32_t b);
void yycgm3(float x, float y);
// Option 6 (colour mode) applied to a colour.
void yycgm1(std::int32_t& r, std::int32_t& g, std::int32_t& b);
// Gradient triangle callback of operation 40.
void yycgm9(const std::int32_t* x, const std::int32_t* y, const std::int32_t* rgb, const std::int32_t* tri,
            std::int32_t n, std::int32_t t, std::int32_t& status);

// Hardcopy driver 9.
void xxcgm(std::int32_t op);

struct CgmDriverState {
    Rgb current{};
    std::int32_t w = 0, h = 0;
    float aspect = 1.0f;
    cgm::AttributeCache cache{};
    std::int32_t join = 0, cap = 0;
    std::int32_t picture_open = 0;
    std::string pending;  // octets not yet handed to the channel
};
extern CgmDriverState cgmstate;
void reset_cgm_state();
