#pragma once
// Grid interpolation: every active GridOption interpolated linearly per
// triangle onto the regular grid, and the geometric kernels that the MODFLOW
// interpolation, profiles and intersections share.
#include <cstdint>
#include <string>
#include <vector>

// Direction of the vector v = (vx, vy) in degrees, 0 <= result < 360.
float arg(float vx, float vy);
// Signed angle in degrees, -180..180, from vector a to vector b (each an
// (x, y) pair). A zero vector is replaced in place by (0.1, 0).
float hoek(float* a, float* b);
// Sum of the angles that the polygon's sides subtend at (x, y): about +-360
// inside, 0 outside. The polygon's n points are stored x1, y1, x2, y2, ...
double inpol_sum(float x, float y, const float* polygon, int n);
// inside = 1 when (x, y) lies inside the polygon, else 0. A point on an edge
// belongs to exactly one of two triangles that share the edge and run round
// in the same sense.
void inpol(float x, float y, const float* polygon, int& inside, int n);
// Value at (x, y) of the plane through the corners and values of the
// current triangle (`trixy`, `triz`), computed in extended precision. The
// corners must not be collinear (see fixy_plane).
float fixy(float x, float y);

// The plane of a triangle, prepared once for evaluation at many points;
// evaluating gives exactly what fixy gives for the same triangle.
struct FixyPlane {
    long double x1, y1, z1, a, b;
};
// False (plane not set) when the corners are collinear or not finite.
bool fixy_plane(const float* xy, const float* z, FixyPlane& p);
float fixy_eval(const FixyPlane& p, float x, float y);
// Twice the signed area of the triangle as fixy computes it; 0 for collinear corners.
long double fixy_det(const float* xy);

// The auto-save file name of GridOption k: "h0.grd", "c<i>.grd", "t<i>.grd", "h<i>.grd".
std::string autosave_name(int k);

// The corner values of element e for GridOption k: the node values, or with
// the leakance switch on and k = 1, 4, ..., 49 the leakance (head above minus
// head of the aquifer, divided by the resistance; 0 at all three corners when
// any resistance is 0).
void triangle_values(int e, int k, float* z);
// The node values of element e in plane k, without the leakance conversion.
void triangle_node_values(int e, int k, float* z);

// Which triangle covers each point of a set of grid points, found once and
// shared by all GridOptions. owner[p] is the covering element (the highest
// element number that covers the point), 0 for none; the points of each
// element are listed together so its plane is set up once per GridOption.
struct Coverage {
    std::vector<std::int32_t> owner;     // per point
    std::vector<std::int32_t> start;     // per element e: its points are order[start[e-1] .. start[e])
    std::vector<std::int32_t> order;     // point indices grouped by element
    void group(int nelem);               // fills start and order from owner
};

// The regular grid's points covered by the triangles, by the index box of
// each triangle (rotated corners). Degenerate triangles cover nothing.
void cover_regular_grid(Coverage& cov, int nx, int ny);

// Interpolates every active GridOption onto the regular grid (`gridval`),
// redrawing the map view after each with the seven view flags (and the
// nodal-area and intersection flags 0) and writing each grid to its
// auto-save file when autosave is 1. A grid of fewer than 2 or more than
// `nxmax`, `nymax` points per axis is reported and nothing is done (false).
bool grid(int plotmode, int showmesh, int showmaps, int showcontour, int showgridpts, int mfgrid, int loaded,
          int autosave);
// The same, computed triangle by triangle for each GridOption; kept as the
// reference that grid must equal.
bool grid_plain(int plotmode, int showmesh, int showmaps, int showcontour, int showgridpts, int mfgrid, int loaded,
                int autosave);

// Calculation (command 40006).
void cmd_calculation();
