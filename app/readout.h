#pragma once
// The value read-out of the message loop: the interpolated value of the
// active quantities under the pointer, written into status part 2.
//
// The triangle under the pointer is found once per message, through a
// bucket index over the mesh that gives the same triangle as scanning the
// elements in order (the first that contains the point).
#include <cstdint>
#include <span>

// The world corners of element e (x1, y1, x2, y2, x3, y3); false when a
// corner is not a node of the model.
bool world_corners(int e, float* xy);

// The first element e = 1..nelem, in element order, whose triangle (world
// coordinates) contains (x, y); 0 for none.
int readout_triangle(float x, float y);
// The elements that may contain (x, y): those whose bounding box meets the
// point's bucket, in element order; empty off the mesh. Every element that
// contains the point is among them.
std::span<const std::int32_t> readout_candidates(float x, float y);
// The same by testing every element in turn; the reference for the index.
int readout_triangle_plain(float x, float y);

// For each active GridOption k in turn (`iopt` := k): the value at (px, py)
// on the triangle found, formatted F12.2 (F12.4 when its magnitude is below
// 0.01). Status part 2 gets "value: " and the text of the last option; off
// the mesh the text found last before is written again; with no active
// option the part is not written. `iopt` is 52 afterwards.
void value_readout(float px, float py);
