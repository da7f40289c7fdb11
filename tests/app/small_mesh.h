#pragma once
// Small meshes for the nodal-area, intersection and profile tests, stored
// as the model reader leaves them (neighbour lists included), and what the
// Intersect dialog's file choices answer there.
#include <array>
#include <string>
#include <string_view>
#include <vector>

struct MeshPoint {
    float x, y;
};

// Nodes 1..n at the points, the elements as given (node numbers).
void small_mesh(const std::vector<MeshPoint>& nodes, const std::vector<std::array<int, 3>>& elements);

// A lattice of nx x ny nodes, spacing s, from (0, 0); inner nodes moved by
// up to jitter·s. Cells (i, j) with i >= cut_i and j >= cut_j are left out,
// so cut_i < nx - 1 and cut_j < ny - 1 give an L shape with a concave corner.
void lattice_mesh(int nx, int ny, float s, float jitter, int cut_i = 1 << 20, int cut_j = 1 << 20);

// The summed areas of the elements.
double element_area_sum();

// While it lives, the file dialog answers the Intersect dialog's Browse
// buttons with "wl.par", "bl.par" or "rs.par" by its title, and the offer
// to create a file that is not there yet is taken.
struct RiverResultChoice {
    RiverResultChoice();
    ~RiverResultChoice();
};
