#include "lib/pgraph/pg_core.h"

#include "lib/graphics/colours.h"
#include "lib/graphics/gstate.h"

PgCoreLinks pg_core_links;

void pg_graphics_units(float& ux1, float& uy1, float& ux2, float& uy2) {
    if (pg_core_links.graphics_units) {
        pg_core_links.graphics_units(ux1, uy1, ux2, uy2);
        return;
    }
    ux1 = gstate.ux1;
    uy1 = gstate.uy1;
    ux2 = gstate.ux2;
    uy2 = gstate.uy2;
}

void pg_area_fractions(float& width, float& height) {
    if (pg_core_links.area_fractions) {
        pg_core_links.area_fractions(width, height);
        return;
    }
    width = gstate.area_width_x;
    height = gstate.area_width_y;
}

std::int32_t pg_screen_output() {
    return pg_core_links.screen_output ? pg_core_links.screen_output() : gstate.screen_flag;
}

float pg_drawable_aspect() {
    return pg_core_links.drawable_aspect ? pg_core_links.drawable_aspect() : gstate.aspect_ratio;
}

std::int32_t pg_hardcopy_option(std::int32_t k) {
    return pg_core_links.hardcopy_option ? pg_core_links.hardcopy_option(k) : gstate.hc.options.get(k);
}

std::int32_t pg_colour_model() {
    return pg_core_links.colour_model ? pg_core_links.colour_model() : gstate.ColourModel;
}

std::int32_t pg_palette_rgb(std::int32_t index) {
    std::int32_t colour = 0;
    if (pg_core_links.yypalg)
        pg_core_links.yypalg(index, colour);
    else
        yypalg(index, colour);
    return colour;
}

std::int32_t pg_rgb_to_palette(std::int32_t colour) {
    std::int32_t index = 0;
    if (pg_core_links.yyrgbto8)
        pg_core_links.yyrgbto8(colour, index);
    else
        yyrgbto8(colour, index);
    return index;
}
