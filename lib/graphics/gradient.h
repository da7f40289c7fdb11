#pragma once
// Gradient fills: polygons whose vertices carry their own colours, split
// into triangles and shaded by linear interpolation, either by the device's
// own triangle routine or pixel by pixel. A device reaches this from its
// gradient-fill operation (40).
#include <cstdint>

#include "lib/graphics/screen.h"

constexpr int GradientMaxVertices = 1000;
constexpr int GradientMaxTriangles = 998;

// The vertex block (gradient_block: count n, whole-pixel vertices ix and
// iy, colours rgb, triangle list and count t) belongs to the screen device,
// which converts the REAL vertices in quin01 to its pixels; other devices
// do the same with theirs.

// Sets one pixel of the target to a PackedRGB colour.
using GradientPointFn = ScreenLinks::PointFn;
// Fills NT triangles (three 1-based vertex numbers each, in T) over NV
// vertices with whole-pixel coordinates XS, YS and colours C; STATUS := 0
// when done, anything else to have them filled pixel by pixel.
using GradientTriangleFn = ScreenLinks::GradFn;

// Fill the polygon of the vertex block, clipped to XMIN..XMAX, YMIN..YMAX
// of the target. KIND 2: the device's triangle routine is tried first.
void yygradientfill(std::int32_t kind, std::int32_t xmin, std::int32_t ymin, std::int32_t xmax, std::int32_t ymax,
                    GradientPointFn point, GradientTriangleFn triangles);
// Split a simple polygon into N - 2 triangles by ear clipping; T needs room
// for 3 * (N - 2) values. Error 28 when the border crosses itself; the
// triangles of the last attempt are returned all the same.
void YYPolygonDecompose(const float* x, const float* y, std::int32_t n, std::int32_t* t, std::int32_t& ntri);
// Fill one triangle of the vertex block (three 1-based vertex numbers)
// pixel by pixel.
void yygradienttriangle(const std::int32_t* tri, std::int32_t xmin, std::int32_t ymin, std::int32_t xmax,
                        std::int32_t ymax, GradientPointFn point);
