#pragma once
// Small meshes for the interpolation tests, built directly in the model's
// data blocks: a lattice of nodes split into counter-clockwise triangles.
#include <cstdint>
#include <functional>

struct Lattice {
    int nx = 3, ny = 3;          // nodes per axis
    float x0 = 0, y0 = 0;        // first node
    float h = 10;                // spacing
    float jitter = 0;            // interior nodes moved by up to jitter·h, deterministically
    std::uint32_t seed = 1;
    bool alternate = false;      // diagonals alternate between squares
    float snap = 0;              // > 0: jittered nodes moved onto the nearest multiple of snap
};

// Fills the nodes, triangles and counts; the values stay as they are.
void build_lattice(const Lattice& l);
// value(n, k) = f(x, y) at every node.
void set_field(int k, const std::function<float(float, float)>& f);
// Adds one triangle of three new nodes, counter-clockwise as given, with the
// same value v at its corners in plane k; returns its element number.
int add_triangle(float x1, float y1, float x2, float y2, float x3, float y3, int k, float v);

// A linear field that every correct interpolation reproduces.
inline float linear(float x, float y) { return 3.0f + 2.0f * x - 0.5f * y; }
// Awkward triangles after the mesh, in plane k: one overlapping the lattice
// near (20, 20) and one without area.
void add_awkward_triangles(int k);
