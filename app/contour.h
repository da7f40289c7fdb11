#pragma once
// Contouring of the current grid (`gridval`): filled colour bands or
// coloured iso-lines over the map view, computed in the grid's own frame and
// turned into world coordinates only when drawn; an Arc-Info grid is shown
// as a mosaic of cell rectangles. The pass ends with the legend.

// Most levels a pass draws; a request for more is held to this.
constexpr int MaxLevels = 200;

// The levels of the last pass: slot 0 holds `zmin`, slots 1..`niso` the
// levels. Kept between passes.
extern float level_table[MaxLevels + 2];

// The whole pass: n levels asked for, style 1 filled bands, -1 iso-lines,
// 0 white iso-lines only. Leaves `zmin`, `zmax` and `niso` set.
void iso_lines(int n, int style);
// The same pass visiting every cell at every level; the reference the pass
// above (which passes over the cells that draw nothing at a level) must
// equal primitive for primitive.
void iso_lines_plain(int n, int style);

// One triangle at level lk (index k) with its band widths: corners in grid
// coordinates, values changed in place when one equals the level.
void triangle(float x1, float y1, float x2, float y2, float x3, float y3, float& z1, float& z2, float& z3, float lk,
              int k, float dzlow, float dzup, int style);

// Crossing points of a level on the edges of a triangle.
struct CrossList {
    int n = 0;
    float x[3]{}, y[3]{};
    int code[3]{};   // the vertex opposite the edge
};

// Appends the crossing point of the level on edge A-B, if it crosses
// strictly between the ends. An end value equal to the level is first moved
// one step away from zero (written back into za or zb).
void calcpoint(float xa, float ya, float xb, float yb, float& za, float& zb, float level, CrossList& list);

// The band points on edge A-B through the crossing point (sx, sy): the low
// point where the edge's value reaches level - dzlow (or the low end), the
// high point where it reaches level + dzup (or the high end).
void newp(float sx, float sy, float level, float xa, float ya, float xb, float yb, float za, float zb, float dzlow,
          float dzup, float& xlo, float& ylo, float& xhi, float& yhi);

// Fills a polygon of at most 4 grid-frame points in the colour of level c.
void fillp(int n, const float* x, const float* y, int c);
// Draws a grid-frame segment in the current colour.
void vector(float xa, float ya, float xb, float yb);
