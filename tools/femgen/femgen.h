#pragma once
// Synthetic models for tests, benchmarks and the demo: a lattice of nodes,
// regular or jittered, each cell split into two triangles along the same
// diagonal, written as a model file with counter-clockwise neighbour rings
// (boundary rings open), 0 to 17 aquifers and node quantities taken from
// analytic fields; and DELR/DELC files of column widths and row heights.
#include <cstdint>
#include <string>
#include <vector>

namespace femgen {

// Linear fields are reproduced exactly (up to rounding) by any correct
// linear interpolation; the smooth field is not linear.
enum class Field { Linear, Smooth };

struct Options {
    int nx = 11, ny = 11;            // lattice points along x and y (at least 2 each)
    double x0 = 0, y0 = 0;           // lower-left lattice point
    double dx = 100, dy = 100;       // lattice spacing
    double jitter = 0;               // node displacement, fraction of the spacing (0 .. 0.15)
    std::uint64_t seed = 1;          // of the displacements
    int naq = 1;                     // aquifers, 0..17
    Field field = Field::Linear;
    int nwell = 0;
    int nlabel = 0;
    int extra_every = 0;             // every k-th node gets an extra value on its neighbour line (0: none)
};

// Value of node quantity `plane` (0..51) at (x, y): the value a model file
// holds for a node at (x, y) is this value rounded to single precision.
double field_value(Field f, int plane, double x, double y);

struct Mesh {
    int nnode = 0;
    std::vector<float> x, y;                 // node i at index i - 1
    std::vector<int> code;                   // 1 boundary, 0 interior
    std::vector<std::vector<int>> ring;      // counter-clockwise neighbours (open for boundary nodes)
    int triangles = 0;                       // 2 (nx - 1)(ny - 1)
    float xmin = 0, xmax = 0, ymin = 0, ymax = 0;
};

// The lattice: node j * nx + i + 1 is lattice point (i, j).
Mesh make_mesh(const Options& o);

// The model file's text (lines end in CR LF).
std::string model_text(const Options& o);
bool write_model(const Options& o, const std::string& path);

// n widths summing to about `total`: equal ones, or a repeating pattern of
// unequal ones.
std::vector<float> spacings(int n, double total, bool varied);
// A DELR or DELC file: the values separated by blanks, ten a line.
std::string spacing_text(const std::vector<float>& v);
bool write_text(const std::string& path, const std::string& text);

}  // namespace femgen
