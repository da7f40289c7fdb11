#pragma once
// Grid interpolation: every active GridOption interpolated linearly per
// triangle onto the regular grid, and the geometric kernels that the MODFLOW
// interpolation, profiles and intersections share.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/uninitialised.h"

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

// The parts of fixy's plane that depend only on the triangle's corners: the
// corner differences and C, in extended precision.
struct PlaneTerms {
    long double dx12, dx23, dy12, dy23, c;
};
PlaneTerms plane_terms(const float* xy);

// Which triangle covers each point of a set of grid points, found once and
// shared by all GridOptions. owner[p] is the covering element (the highest
// element number that covers the point), 0 for none. group() then lists the
// points of each element together, with everything about them that does not
// depend on the GridOption, so that each GridOption is one pass over the
// covered points.
// Its large arrays are given their pages at once: a run's first pass over
// them would otherwise take a page fault per 4 KB.
struct Coverage {
    // resize() leaves new elements unset: group() writes every one of them
    // before anything reads it.
    template <class T>
    using Scratch = std::vector<T, Uninitialised<T>>;
    Scratch<std::int32_t> owner;         // per point
    Scratch<std::int32_t> start;         // per element e: its points are order[start[e-1] .. start[e])
    Scratch<std::int32_t> order;         // point indices grouped by element
    Scratch<std::int32_t> dest;          // per entry of order: the index of its value in the output array
    Scratch<std::int32_t> elems;         // the elements that cover points, ascending
    Scratch<std::array<std::int32_t, 3>> corners;  // per entry of elems: its corner nodes
    // Points are numbered p = (row - 1) * ncols + (column - 1); the grid lines
    // are xs[column - 1] and ys[row - 1]; the output array holds the value of
    // (column, row) at (row - 1) * stride + column - 1. The corners are
    // mapped into the grid frame with cosine c and sine s.
    void group(int nelem, const float* xs, const float* ys, int ncols, int stride, float c, float s);
    // Sets out at the covered points to the plane of each covering triangle
    // through the corner values z(q, e, z3) (q the entry of elems, e the
    // element), bit for bit what fixy gives.
    template <class Values>
    void fill(float* out, Values z) const;
    // The same with the node values of plane k at the corners.
    void fill_nodes(float* out, int k) const;

    // The extended-precision differences of fixy (x - x1, y - y1 per point,
    // the corner differences per triangle) are held in double where every
    // one of them is a double exactly, as they nearly always are (loading an
    // extended value costs several times more), else as they are.
    template <class D>
    struct Terms {
        D dx12, dx23, dy12, dy23;
        long double c;
    };
    template <class D>
    struct Held {
        Scratch<Terms<D>> terms;         // per entry of elems
        Scratch<D> ex, ey;               // per entry of order
    };
    Held<double> narrow;
    Held<long double> wide;
    bool is_wide = false;

private:
    template <class D, class Values>
    void fill_with(const Held<D>& h, float* out, Values values) const;
};

template <class D, class Values>
void Coverage::fill_with(const Held<D>& h, float* out, Values values) const {
    float z[3];
    for (std::size_t q = 0; q < elems.size(); ++q) {
        const int e = elems[q];
        values(q, e, z);
        const Terms<D>& p = h.terms[q];
        const long double z1 = z[0], z2 = z[1], z3 = z[2];
        const long double a = ((z1 - z2) * p.dy23 - (z2 - z3) * p.dy12) / p.c;
        const long double b = -((z1 - z2) * p.dx23 - (z2 - z3) * p.dx12) / p.c;
        const std::int32_t first = start[static_cast<std::size_t>(e) - 1], last = start[static_cast<std::size_t>(e)];
        for (std::int32_t v = first; v < last; ++v) {
            const auto u = static_cast<std::size_t>(v);
            out[dest[u]] = static_cast<float>(z1 + a * h.ex[u] + b * h.ey[u]);
        }
    }
}

template <class Values>
void Coverage::fill(float* out, Values values) const {
    if (is_wide) fill_with(wide, out, values);
    else fill_with(narrow, out, values);
}

// The regular grid's points covered by the triangles, by the index box of
// each triangle (rotated corners). Degenerate triangles cover nothing.
void cover_regular_grid(Coverage& cov, int nx, int ny);

// Sets the regular grid's points covered by the triangles to GridOption k's
// plane of the covering triangle, bit for bit what the covering and its
// fill give, without keeping the covering; false when no point is covered.
bool fill_regular_grid(int k, int nx, int ny);

// Interpolates every active GridOption onto the regular grid (`gridval`),
// redrawing the map view after each with the seven view flags (and the
// nodal-area and intersection flags 0) and writing each grid to its
// auto-save file when autosave is 1. A grid of fewer than 2 or more than
// `nxmax`, `nymax` points per axis is reported and nothing is done (false);
// a grid none of whose points lies in the mesh is computed, reported and
// false, so that a batch run writes nothing.
bool grid(int plotmode, int showmesh, int showmaps, int showcontour, int showgridpts, int mfgrid, int loaded,
          int autosave);
// The same, computed triangle by triangle for each GridOption; kept as the
// reference that grid must equal.
bool grid_plain(int plotmode, int showmesh, int showmaps, int showcontour, int showgridpts, int mfgrid, int loaded,
                int autosave);

// Calculation (command 40006).
void cmd_calculation();
