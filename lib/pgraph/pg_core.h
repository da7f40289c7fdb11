#pragma once
// What presentation graphics reads of the graphics core and of the hardcopy
// options, taken from the graphics state.
#include <cstdint>

// World units of the current graphics area: left x, lower y, right x, upper y.
void pg_graphics_units(float& ux1, float& uy1, float& ux2, float& uy2);
// Width and height of the graphics area as fractions of the drawable.
void pg_area_fractions(float& width, float& height);
// 1 while drawing goes to the screen.
std::int32_t pg_screen_output();
// Drawable width over height in pixels.
float pg_drawable_aspect();
// Hardcopy option k (1 page width, 2 page height).
std::int32_t pg_hardcopy_option(std::int32_t k);
// ColourModel: 1 palette numbers, otherwise packed RGB.
std::int32_t pg_colour_model();
// Packed RGB of a palette entry (yypalg); the nearest palette entry of a
// packed RGB colour (yyrgbto8).
std::int32_t pg_palette_rgb(std::int32_t index);
std::int32_t pg_rgb_to_palette(std::int32_t colour);
