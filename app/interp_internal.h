#pragma once
// Pieces shared by the regular-grid and MODFLOW interpolations.
#include <string>

#include "app/interp.h"

// inpol for a triangle (x1, y1, x2, y2, x3, y3), each corner's direction
// computed once; equal to inpol(x, y, xy, inside, 3).
int inpol3(float x, float y, const float* xy);

int element_count();
// The corners of element e mapped into the grid frame (c, s: cosine and sine
// of `rotang`); false when a corner is not a node of the model.
bool element_corners(int e, float* xy, float c, float s);
// The corners span a plane (not collinear, finite).
bool usable_triangle(const float* xy);
// The index range k1..k2 (within 1..n) of grid lines origin + (k - 1)·step
// between lo and hi; false when empty.
bool index_range(float lo, float hi, float origin, float step, int n, int& k1, int& k2);
// The index box of the triangle on the regular grid (`gx0`, `gy0`, `dx`, `dy`) of nx x ny points.
bool index_box(const float* xy, int nx, int ny, int& i1, int& i2, int& j1, int& j2);
float grid_x(int i);
float grid_y(int j);
// "option: " and the title of GridOption k in status part 3.
void option_status(int k);
// The working directory followed by the name.
std::string home_name(const std::string& name);
// gridval at the covered points (grouped for gridval) for GridOption k, with
// or without the leakance conversion.
void fill_from_coverage(const Coverage& cov, int k, bool leakance);
