#pragma once
// Hardcopy driver 12: HP-GL/2 for four page printers (wrapped in PCL mode
// switches) and the large-format plotter, filling figures itself, with
// pen colours, raster fill patterns on black-and-white devices and
// encoded polylines. Its metadata records are HP-GL/2 comments.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

void xxhpgl2(std::int32_t op);

// The encoded polyline of points 2..N of the work block (N = the operand
// count), in lines of "PE7" ... ";".
void yyhpgl2a();
// A line as it stands.
void yyhpgl2b(std::string_view text);
// The two lines of pixel values of a raster fill pattern (a pixel is 1
// where the dither pattern's bit is 0).
void yyhpgl2c(std::uint32_t pattern);
// The pen colour definition "PC" under the colour mode (option 6).
void yyhpgl2d(std::int32_t pen, std::int32_t r, std::int32_t g, std::int32_t b);

// The driver's own state, kept between operations.
struct Hpgl2State {
    std::array<std::int32_t, 4> p{};  // P1 x, y, P2 x, y
    float divisor = 1.5f;             // text width divisor of the device type
    char selector = 'S';              // font selector letter
    std::string pen = "   ";          // current pen as written after "SP"
    std::string fill_pen = "   ";     // borrowed pen of a mixed-colour fill
    std::string defined = std::string(256, ' ');
    std::int32_t fill_type = -1;      // -1 none or FT2, 1 FT11 1, 2 FT11 2
    std::int32_t last_dither = -1;
    std::int32_t last_pair_a = -1, last_pair_b = -1;
    char terminator = 4;
    std::int32_t font_pending = 1;
    std::int32_t last_font = -1, last_style = -1, last_kind = 0;
    std::int32_t last_origin = -1;
};
extern Hpgl2State hpgl2state;

void reset_hpgl2_state();
