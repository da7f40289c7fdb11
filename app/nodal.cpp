#include "app/nodal.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <unordered_set>

#include "app/appdata.h"
#include "app/interp.h"
#include "app/mainstate.h"
#include "app/records.h"
#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/lines.h"
#include "lib/window/menus.h"
#include "lib/window/winops.h"

namespace {

constexpr int MenuNodal = 40037;
constexpr int PropChecked = 2;

// Left unset where made: a node's list is written before it is read, and
// clearing the whole array for every node costs more than the list.
struct Neighbour {
    float key;
    float x, y;
    int id;
};

// The heapsort of `sort`, on elements that carry whatever moves with a key.
template <class T>
void heapsort(int n, T* a) {
    if (n < 2) return;
    auto at = [a](int i) -> T& { return a[i - 1]; };
    int l = n / 2 + 1, r = n;
    for (;;) {
        T t;
        if (l > 1) {
            --l;
            t = at(l);
        } else {
            t = at(r);
            at(r) = at(1);
            if (--r == 1) {
                at(1) = t;
                return;
            }
        }
        int i = l, j = 2 * l;
        while (j <= r) {
            if (j < r && at(j).key < at(j + 1).key) ++j;
            if (t.key < at(j).key) {
                at(i) = at(j);
                i = j;
                j *= 2;
            } else {
                break;
            }
        }
        at(i) = t;
    }
}

// The elements of the mesh as sets of three nodes, rebuilt when the mesh changes.
struct ElementSet {
    bool built = false;
    std::uint32_t generation = 0;
    int nelem = -1, nnode = -1;
    std::unordered_set<std::uint64_t> keys;
};
ElementSet element_set;

std::uint64_t triple_key(int a, int b, int c) {
    int v[3] = {a, b, c};
    std::sort(v, v + 3);
    return (static_cast<std::uint64_t>(v[0]) << 40) | (static_cast<std::uint64_t>(v[1]) << 20) |
           static_cast<std::uint64_t>(v[2]);
}

bool is_element(int a, int b, int c) {
    ElementSet& s = element_set;
    const int nelem = std::clamp(dat4.nelem, 0, MaxElements);
    if (!s.built || s.generation != mesh_generation || s.nelem != nelem || s.nnode != dat4.nnode) {
        s.keys.clear();
        s.keys.reserve(static_cast<std::size_t>(nelem) * 2);
        for (int e = 1; e <= nelem; ++e)
            s.keys.insert(triple_key(dat4.elnode(e, 1), dat4.elnode(e, 2), dat4.elnode(e, 3)));
        s.built = true;
        s.generation = mesh_generation;
        s.nelem = nelem;
        s.nnode = dat4.nnode;
    }
    return s.keys.count(triple_key(a, b, c)) != 0;
}

float rounded(long double v) { return static_cast<float>(v); }

// The n neighbours put in the order of their directions from the node
// (nx, ny) by exact comparisons, without arc tangents. The key arg gives a
// direction lies within far less than a thousandth of a radian of it and
// grows with it (each step of arg rounds monotonically), so where every
// direction lies at least that far from the next, the keys are distinct and
// in this very order, which is then the order their heapsort gives. Returns
// false, p untouched, where two directions lie closer, or a vector is zero,
// tiny, huge or not finite, or has a component so small against its length
// that arg's steps would underflow: there the keys decide.
bool order_by_direction(Neighbour* p, int n, float nx, float ny) {
    constexpr double Sin2Apart = 1e-6;  // sin² of 0.001 radian
    struct Direction {
        double x, y, rr;
        bool lower;  // in (pi, 2 pi): arg adds the full turn there
        int k;
    };
    Direction d[MaxNeighbours];
    for (int k = 0; k < n; ++k) {
        const float vx = p[k].x - nx, vy = p[k].y - ny;
        const double x = vx, y = vy, rr = x * x + y * y;
        if (!(rr > 1e-30 && rr < 1e70)) return false;
        if ((x != 0 && x * x < 1e-60 * rr) || (y != 0 && y * y < 1e-60 * rr)) return false;
        d[k] = {x, y, rr, vy < 0, k};
    }
    // The products of floats are exact in double and the cross product's one
    // rounding keeps its sign. Within a half turn the cross product orders
    // two directions; 0 and pi, both in the upper half, have none.
    auto before = [](const Direction& a, const Direction& b) {
        if (a.lower != b.lower) return b.lower;
        const double c = a.x * b.y - a.y * b.x;
        if (c != 0) return c > 0;
        return a.x * b.x + a.y * b.y < 0 && a.x > 0;
    };
    for (int k = 1; k < n; ++k) {
        const Direction t = d[k];
        int j = k;
        for (; j > 0 && before(t, d[j - 1]); --j) d[j] = d[j - 1];
        d[j] = t;
    }
    // Next to each other in this order lie the closest keys: more than a
    // quarter turn apart, or apart by the margin.
    for (int k = 1; k < n; ++k) {
        const Direction &a = d[k - 1], &b = d[k];
        const double c = a.x * b.y - a.y * b.x;
        if (a.x * b.x + a.y * b.y >= 0 && !(c * c > Sin2Apart * a.rr * b.rr)) return false;
    }
    Neighbour q[MaxNeighbours];
    std::copy_n(p, n, q);
    for (int k = 0; k < n; ++k) p[k] = q[d[k].k];
    return true;
}

// The polygon of node i into q (2n points and the closing repeat); its point
// count, 0 for a node without a polygon. The neighbours go in the order of
// their direction keys; with exact, the keys are only computed where
// order_by_direction cannot tell that order by itself (and at boundary
// nodes, which need them), else always.
int node_polygon(int i, float (&qx)[MaxPolygonPoints], float (&qy)[MaxPolygonPoints], bool exact) {
    const int nnode = std::clamp(dat4.nnode, 0, MaxNodes);
    const int m = std::abs(dat6.nnb(i));
    const int n = std::min(m, MaxNeighbours) - 1;
    if (n < 2) return 0;
    const float nx = dat4.xnode(i), ny = dat4.ynode(i);
    Neighbour p[MaxNeighbours + 1];
    for (int k = 1; k <= n; ++k) {
        const int id = dat6.nb(i, k + 1);
        if (id < 1 || id > nnode) return 0;
        Neighbour& nb = p[k - 1];
        nb.id = id;
        nb.x = dat4.xnode(id);
        nb.y = dat4.ynode(id);
    }
    const bool boundary = dat6.nnb(i) <= 0;
    if (!exact || boundary || !order_by_direction(p, n, nx, ny)) {
        for (int k = 0; k < n; ++k) p[k].key = arg(p[k].x - nx, p[k].y - ny);
        heapsort(n, p);
    }
    p[n] = p[0];
    for (int k = 1; k <= n; ++k) {
        const Neighbour &a = p[k - 1], &b = p[k];
        qx[2 * k - 2] = rounded((static_cast<long double>(nx) + a.x) / 2);
        qy[2 * k - 2] = rounded((static_cast<long double>(ny) + a.y) / 2);
        // At a boundary node the pair that spans the outside of the mesh has
        // no triangle with the node: the polygon runs through the node there,
        // so that it neither folds back over the mesh nor leaves it.
        bool inside = true;
        if (boundary) {
            float span = b.key - a.key;
            if (span < 0) span += 360.0f;
            inside = span < 180.0f && is_element(i, a.id, b.id);
        }
        if (inside) {
            qx[2 * k - 1] = rounded((static_cast<long double>(nx) + a.x + b.x) / 3);
            qy[2 * k - 1] = rounded((static_cast<long double>(ny) + a.y + b.y) / 3);
        } else {
            qx[2 * k - 1] = nx;
            qy[2 * k - 1] = ny;
        }
    }
    qx[2 * n] = qx[0];
    qy[2 * n] = qy[0];
    return 2 * n;
}

}  // namespace

void sort(int n, float* key, float* pts) {
    if (n < 2) return;
    struct El {
        float key, x, y;
    };
    std::vector<El> a(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) a[static_cast<std::size_t>(k)] = {key[k], pts[2 * k], pts[2 * k + 1]};
    heapsort(n, a.data());
    for (int k = 0; k < n; ++k) {
        key[k] = a[static_cast<std::size_t>(k)].key;
        pts[2 * k] = a[static_cast<std::size_t>(k)].x;
        pts[2 * k + 1] = a[static_cast<std::size_t>(k)].y;
    }
}

// The square root of the sum of the squares (exact squares, one rounding
// for the sum and one for the root) lies within two units of the last place
// of the exact length, and hypot's within one; unless the root lies within
// sixteen such units of a midpoint between two floats, both round to the
// same float, the one on the exact length's side. Near a midpoint, and
// outside the normal float range, hypot is asked.
float nodal_length(float x, float y) {
    const double dx = x, dy = y;
    const double r = std::sqrt(dx * dx + dy * dy);
    if (r >= 0x1p-126 && r < 0x1p127) {
        // The 29 bits a float drops; a midpoint drops exactly the highest.
        const std::uint64_t dropped = std::bit_cast<std::uint64_t>(r) & ((std::uint64_t{1} << 29) - 1);
        const std::uint64_t half = std::uint64_t{1} << 28;
        if ((dropped > half ? dropped - half : half - dropped) > 16) return static_cast<float>(r);
    }
    return static_cast<float>(std::hypot(dx, dy));
}

namespace {

float nodal_pi() { return static_cast<float>(4.0L * std::atan(1.0L)); }

// The signed area of the polygon q (np points and the closing repeat) about
// the node (nx, ny), summed from the triangles each side spans with the
// node, and the largest distance of a polygon point from the node into
// maxrad. Every length and direction is computed afresh for each side.
long double polygon_area_plain(const float* qx, const float* qy, int np, float nx, float ny, float& maxrad) {
    const float pi = nodal_pi();
    long double s = 0;
    for (int j = 1; j <= np; ++j) {
        float a[2] = {qx[j - 1] - nx, qy[j - 1] - ny};
        float b[2] = {qx[j] - nx, qy[j] - ny};
        const float dist = static_cast<float>(std::hypot(static_cast<double>(a[0]), static_cast<double>(a[1])));
        if (dist >= maxrad) maxrad = dist;
        // A polygon point at the node spans no area with its neighbours.
        const bool zero = (a[0] == 0 && a[1] == 0) || (b[0] == 0 && b[1] == 0);
        if (!zero) {
            const float la = static_cast<float>(std::hypot(static_cast<double>(a[0]), static_cast<double>(a[1])));
            const float lb = static_cast<float>(std::hypot(static_cast<double>(b[0]), static_cast<double>(b[1])));
            const float theta = hoek(a, b) * 0.0055555557f * pi;
            const float sn = static_cast<float>(std::sin(static_cast<double>(theta)));
            s += 0.5L * la * lb * sn;
        }
    }
    return s;
}

// The same sum with each point's length and direction computed once: a
// side's end is the next side's start, and the direction is what hoek
// takes of a non-zero vector, so every term is the same.
long double polygon_area(const float* qx, const float* qy, int np, float nx, float ny, float& maxrad) {
    const float pi = nodal_pi();
    float len[MaxPolygonPoints], dir[MaxPolygonPoints];
    bool zero[MaxPolygonPoints];
    for (int j = 0; j <= np; ++j) {
        const float ax = qx[j] - nx, ay = qy[j] - ny;
        zero[j] = ax == 0 && ay == 0;
        len[j] = nodal_length(ax, ay);
        dir[j] = zero[j] ? 0.0f : arg(ax, ay);
    }
    long double s = 0;
    for (int j = 0; j < np; ++j) {
        if (len[j] >= maxrad) maxrad = len[j];
        if (zero[j] || zero[j + 1]) continue;
        float d = dir[j] - dir[j + 1];
        if (d > 180.0f) d = d - 360.0f;
        if (d < -180.0f) d = d + 360.0f;
        const float theta = d * 0.0055555557f * pi;
        const float sn = static_cast<float>(std::sin(static_cast<double>(theta)));
        s += 0.5L * len[j] * len[j + 1] * sn;
    }
    return s;
}

using PolygonArea = long double (*)(const float*, const float*, int, float, float, float&);

// exact: the neighbours ordered by exact comparisons where they can be.
void nodal_area_with(PolygonArea area_of, bool exact, int node, int fill, float& total) {
    total = 0;
    Dat40& d = dat40;
    d.maxrad = 0;
    const int nnode = std::clamp(dat4.nnode, 0, MaxNodes);
    int first = 1, last = nnode;
    if (node != 0) {
        if (node < 1 || node > nnode) return;
        first = last = node;
    }
    long double sum_total = 0;
    for (int i = first; i <= last; ++i) {
        float qx[MaxPolygonPoints], qy[MaxPolygonPoints];
        const int np = node_polygon(i, qx, qy, exact);
        d.npoly(i) = np;
        d.nodarea(i) = 0;
        if (np == 0) continue;
        const long double s = area_of(qx, qy, np, dat4.xnode(i), dat4.ynode(i), d.maxrad);
        IGrColourN(wrgb(200, 200, 200));
        // The outline, closed by the repeat of its first point.
        igrmoveto(qx[0], qy[0]);
        igrlinesto(qx + 1, qy + 1, np);
        for (int j = 1; j <= np; ++j) {
            d.polyxy(1, i, j) = qx[j - 1];
            d.polyxy(2, i, j) = qy[j - 1];
        }
        d.polyxy(1, i, np + 1) = qx[0];
        d.polyxy(2, i, np + 1) = qy[0];
        const float area = static_cast<float>(std::fabs(s));
        d.nodarea(i) = area;
        sum_total += std::fabs(s);
        if (fill > 0) {
            IGrColourN(wrgb(0, 255, 0));
            igrfillpattern(4, 3, 3);
            IGrPolygonComplex(qx, qy, np);
        }
    }
    total = static_cast<float>(sum_total);
}

}  // namespace

void nodal_area(int node, int fill, float& total) { nodal_area_with(polygon_area, true, node, fill, total); }

void nodal_area_plain(int node, int fill, float& total) {
    nodal_area_with(polygon_area_plain, false, node, fill, total);
}

void cmd_nodal_areas() {
    MainState& m = mainstate;
    m.shownodal = m.shownodal == 0 ? 1 : 0;
    WMenuSetState(MenuNodal, PropChecked, m.shownodal);
    redraw_view();
}

int nearest_node(float x, float y, int previous) {
    int best = previous;
    float dmin = 1.0E10f;
    const int nnode = std::clamp(dat4.nnode, 0, MaxNodes);
    for (int n = 1; n <= nnode; ++n) {
        const double dx = static_cast<double>(dat4.xnode(n)) - x, dy = static_cast<double>(dat4.ynode(n)) - y;
        const float dist = static_cast<float>(std::sqrt(dx * dx + dy * dy));
        if (dist < dmin) {
            dmin = dist;
            best = n;
        }
    }
    return best;
}

void nodal_readout(float x, float y) {
    static int node = 0;
    static std::uint32_t generation = 0;
    // A node of an earlier model means nothing in this one.
    if (generation != mesh_generation) node = 0;
    generation = mesh_generation;
    node = nearest_node(x, y, node);
    if (node < 1 || node > dat4.nnode) return;
    float area = 0;
    nodal_area(node, 1, area);
    const double a = std::trunc(static_cast<double>(area));
    windowoutstatusbar(4, "nodal area: " + edit_i(node, 5) + edit_i(static_cast<long long>(a), 15));
}
