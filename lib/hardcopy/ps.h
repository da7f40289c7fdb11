#pragma once
// Hardcopy driver 2: PostScript and encapsulated PostScript files, and the
// line writer every line of them passes through.
#include <array>
#include <cstdint>
#include <string_view>

void xxpost(std::int32_t op);

// The line writer: one line each, on the driver channel, behind one blank
// in line mode (LineModeWord 1) unless the line is a comment.
// Text with its blanks squeezed.
void yypos6(std::string_view text);
// Text as it stands (at most 255 characters).
void yypos7(std::string_view text);
// One, two (device coordinates, scaled) or three numbers in F9.2 fields
// and a word, squeezed; a field ending in ".00" loses its last zero.
void yypos5(float v, std::string_view word);
void yypos4(float x, float y, std::string_view word);
void yypos3(float a, float b, float c, std::string_view word);

// The driver's own state, kept between operations.
struct PostScriptState {
    std::int32_t segments = 0;                   // of the open path; 0 none
    std::array<float, 3> current{0, 0, 0};       // colour the next paint uses
    std::array<float, 3> written{-1, -1, -1};    // colour of the last "g" line
    std::int32_t saved_colour = -1;              // colour value of the last colour operation
    std::int32_t font_changed = 1;
    std::int32_t written_line_type = 0;
    std::int32_t written_thickness = 0;
    std::int32_t page = 1;
};
extern PostScriptState psstate;

void reset_postscript_state();
