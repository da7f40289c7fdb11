#include "lib/pgraph/pg_core.h"

#include "lib/graphics/colours.h"
#include "lib/graphics/gstate.h"

void pg_graphics_units(float& ux1, float& uy1, float& ux2, float& uy2) {
    ux1 = gstate.ux1;
    uy1 = gstate.uy1;
    ux2 = gstate.ux2;
    uy2 = gstate.uy2;
}

void pg_area_fractions(float& width, float& height) {
    width = gstate.area_width_x;
    height = gstate.area_width_y;
}

std::int32_t pg_screen_output() { return gstate.screen_flag; }

float pg_drawable_aspect() { return gstate.aspect_ratio; }

std::int32_t pg_hardcopy_option(std::int32_t k) { return gstate.hc.options.get(k); }

std::int32_t pg_colour_model() { return gstate.ColourModel; }

std::int32_t pg_palette_rgb(std::int32_t index) {
    std::int32_t colour = 0;
    yypalg(index, colour);
    return colour;
}

std::int32_t pg_rgb_to_palette(std::int32_t colour) {
    std::int32_t index = 0;
    yyrgbto8(colour, index);
    return index;
}
