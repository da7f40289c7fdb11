#pragma once
// The maker's logo behind the map view and the window's text background.
#include <cstdint>

// Draws three filled zig-zag ribbons and the company word in the lower left
// corner of the whole drawable: area 0..1, units 0..200 across with square
// units. Leaves the colour model at packed RGB.
void logo();

// The text background colour of the main window: the map's background and
// the line above the map.
constexpr std::int32_t MapBackground = 15;

// Sets the window text's background colour (a text colour number 0..15,
// every other font field 0); with clear 1 also clears the whole window.
void backcol(std::int32_t colour, std::int32_t clear);
