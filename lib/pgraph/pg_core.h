#pragma once
// What presentation graphics reads of the graphics core and of the hardcopy
// options. The readers below take it from the graphics state; a test may fill
// a link to answer in its place.
#include <cstdint>

struct PgCoreLinks {
    // World units of the current graphics area: left x, lower y, right x, upper y.
    void (*graphics_units)(float& ux1, float& uy1, float& ux2, float& uy2) = nullptr;
    // Width and height of the graphics area as fractions of the drawable.
    void (*area_fractions)(float& width, float& height) = nullptr;
    // 1 while drawing goes to the screen.
    std::int32_t (*screen_output)() = nullptr;
    // Drawable width over height in pixels (1 when the height is 0).
    float (*drawable_aspect)() = nullptr;
    // Hardcopy option k (1 page width, 2 page height).
    std::int32_t (*hardcopy_option)(std::int32_t k) = nullptr;
    // ColourModel: 1 palette numbers, otherwise packed RGB.
    std::int32_t (*colour_model)() = nullptr;
    // yypalg: packed RGB of a palette entry; yyrgbto8: nearest palette entry.
    void (*yypalg)(std::int32_t index, std::int32_t& colour) = nullptr;
    void (*yyrgbto8)(std::int32_t colour, std::int32_t& index) = nullptr;
};

extern PgCoreLinks pg_core_links;

void pg_graphics_units(float& ux1, float& uy1, float& ux2, float& uy2);
void pg_area_fractions(float& width, float& height);
std::int32_t pg_screen_output();
float pg_drawable_aspect();
std::int32_t pg_hardcopy_option(std::int32_t k);
std::int32_t pg_colour_model();
std::int32_t pg_palette_rgb(std::int32_t index);
std::int32_t pg_rgb_to_palette(std::int32_t colour);
