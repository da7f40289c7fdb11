#pragma once
// Hardcopy driver 1: HP-GL files for the ten pen plotter models, with the
// library's metadata records (scalings "SC-" code ... that the plotter
// undoes at once) describing colours, figures, fonts and page ends.
#include <array>
#include <cstdint>
#include <string>

void xxhpgl(std::int32_t op);

// The driver's own state, kept between operations.
struct HpglState {
    float t = 1016.0f / 72.0f;       // plotter units per point
    std::int32_t plotter_class = 1;  // 1 U, 2 E, 3 F, 4 H
    std::int32_t fill_mask = 0;      // bit n: figure n may be filled by the plotter
    std::array<std::int32_t, 4> p{};  // P1 x, y, P2 x, y
    char pen = ' ';                  // current pen digit, blank = none
    std::int32_t pen_pending = 0;
    char terminator = 4;
    float last_fill_width = -1.0f;
    std::int32_t last_style = -1, last_kind = 0;
    std::int32_t size_pending = 1;
    std::int32_t hardware_fill = 0;  // of the figure in progress
};
extern HpglState hpglstate;

void reset_hpgl_state();

// The HP Roman-8 code of a Latin-1 character 161..255 (the ten Roman-8
// lacks become near ASCII look-alikes); other codes stay.
unsigned char roman8(unsigned char c);
