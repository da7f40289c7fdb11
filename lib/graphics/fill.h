#pragma once
// Polygon fill and hatching.

// Polygon in world units (mode 0) or device units (any other mode), filled
// with the current fill attributes.
void yyplygon(const float* x, const float* y, int n, int mode);
