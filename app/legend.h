#pragma once
// Contour colours and the legend beside the map view.
#include <cstdint>

// Packed RGB colour of contour level i along the ramp red, yellow, green,
// cyan, blue for the `niso` levels of the last contour pass. An index past
// the last level repeats the colour of the previous call.
std::int32_t ncolor(int i);

// Draws the legend of n levels (levels[0] = zmin, levels[1..n] the levels)
// at the right edge of the window: boxes for style 1, thin bars for style -1,
// nothing for style 0.
void legenda(int n, const float* levels, float zmin, float zmax, int style);

// Forgets the colour of the previous call. Used by tests.
void reset_legend_state();
