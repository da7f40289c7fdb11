#include "app/modflow.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "app/apphooks.h"
#include "lib/dialog/fields.h"
#include "app/femread.h"
#include "app/griddef.h"
#include "app/gridfiles.h"
#include "app/interp.h"
#include "app/interp_internal.h"
#include "app/mapview.h"
#include "app/records.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/fill.h"
#include "lib/window/text.h"

namespace {

constexpr float NoCentreValue = -9999.0f;
constexpr int ProgressDialog = 111, ProgressBar = 1001;
constexpr int DisplayPoints = 100;            // the display grid over the MODFLOW area, per axis
constexpr std::size_t MaxLineLength = 45000;  // longest line of a DELR or DELC file

// Summed in double and rounded once per centre: summed in single precision,
// 500 widths on a 10 km model put the last centres tenths of a metre off.
void centres(int n, const ModflowArray& d, float origin, ModflowArray& c) {
    if (n < 1) return;
    double at = static_cast<double>(origin) + static_cast<double>(d(1)) / 2;
    c(1) = static_cast<float>(at);
    for (int i = 2; i <= n; ++i) {
        at = (at + static_cast<double>(d(i - 1)) / 2) + static_cast<double>(d(i)) / 2;
        c(i) = static_cast<float>(at);
    }
}

// The centres into c; false (reported, ierr set) when widths whose sum passes
// the range of numbers would put cells at infinity.
bool finite_centres(int n, const ModflowArray& d, float origin, ModflowArray& c, const std::string& name, int& ierr) {
    centres(n, d, origin, c);
    if (n < 1 || std::isfinite(c(n) + d(n) / 2)) return true;
    app_input_error("input error in file " + name + ": the widths add up beyond the range of numbers");
    ierr = ExitInputError;
    return false;
}

// The range of centres lo <= c(k) <= hi when the centres run upwards, else all of them.
void centre_range(const ModflowArray& c, int n, bool sorted, float lo, float hi, int& k1, int& k2) {
    if (!sorted) {
        k1 = 1;
        k2 = n;
        return;
    }
    const float* first = c.a.data();
    const float* last = first + n;
    k1 = static_cast<int>(std::lower_bound(first, last, lo) - first) + 1;
    k2 = static_cast<int>(std::upper_bound(first, last, hi) - first);
}

bool ascending(const ModflowArray& c, int n) {
    for (int i = 2; i <= n; ++i)
        if (!(c(i - 1) <= c(i))) return false;
    return true;
}

// The triangle lies wholly beside the MODFLOW area.
bool beside_area(const float* xy) {
    const float gx0 = dat8.gx0, gx1 = dat8.gx1, gy0 = dat8.gy0, gy1 = dat8.gy1;
    return (xy[0] < gx0 && xy[2] < gx0 && xy[4] < gx0) || (xy[0] > gx1 && xy[2] > gx1 && xy[4] > gx1) ||
           (xy[1] < gy0 && xy[3] < gy0 && xy[5] < gy0) || (xy[1] > gy1 && xy[3] > gy1 && xy[5] > gy1);
}

bool modflow_size_ok() {
    if (dat16.ncol >= 1 && dat16.ncol <= MaxModflow && dat16.nrow >= 1 && dat16.nrow <= MaxModflow) return true;
    app_input_error("no MODFLOW grid: define it with DELR and DELC files first");
    return false;
}

float circle_radius(int c, int r) { return 0.25f * std::min(dat16.delr(c), dat16.delc(r)); }

void mark_centre(int c, int r, float cs, float sn) {
    float x = dat16.xcen(c), y = dat16.ycen(r);
    rotate_cs(x, y, -1, cs, sn);
    igrcircle(x, y, circle_radius(c, r));
}

// The circles that mark the covered centres, in the order they are drawn,
// are the same for every GridOption: they are placed once per run.
using CentreCircles = CircleSet;

// One pass over the triangles, in element order, finds the covering
// triangle of every display point and cell centre. The pass ends once every
// centre is covered, as the triangle loop of each GridOption would.
void cover_cells(Coverage& disp, Coverage& cells, CentreCircles& circles, int nelem, float cs, float sn) {
    const int ncol = dat16.ncol, nrow = dat16.nrow;
    disp.owner.assign(static_cast<std::size_t>(DisplayPoints) * DisplayPoints, 0);
    cells.owner.assign(static_cast<std::size_t>(ncol) * static_cast<std::size_t>(nrow), 0);
    const bool xs = ascending(dat16.xcen, ncol), ys = ascending(dat16.ycen, nrow);
    const long total = static_cast<long>(ncol) * nrow;
    long hits = 0;
    float xy[6];
    for (int e = 1; e <= nelem && hits < total; ++e) {
        if (!element_corners(e, xy, cs, sn) || beside_area(xy) || !usable_triangle(xy)) continue;
        int i1, i2, j1, j2;
        if (index_box(xy, DisplayPoints, DisplayPoints, i1, i2, j1, j2)) {
            for (int i = i1; i <= i2; ++i)
                for (int j = j1; j <= j2; ++j)
                    if (inpol3(grid_x(i), grid_y(j), xy))
                        disp.owner[static_cast<std::size_t>((j - 1) * DisplayPoints + (i - 1))] = e;
        }
        const float xmin = std::min({xy[0], xy[2], xy[4]}), xmax = std::max({xy[0], xy[2], xy[4]});
        const float ymin = std::min({xy[1], xy[3], xy[5]}), ymax = std::max({xy[1], xy[3], xy[5]});
        int c1, c2, r1, r2;
        centre_range(dat16.xcen, ncol, xs, xmin, xmax, c1, c2);
        centre_range(dat16.ycen, nrow, ys, ymin, ymax, r1, r2);
        for (int r = r1; r <= r2; ++r) {
            const float yc = dat16.ycen(r);
            std::int32_t* row = cells.owner.data() + static_cast<std::size_t>(r - 1) * static_cast<std::size_t>(ncol);
            for (int c = c1; c <= c2; ++c) {
                if (!inpol3(dat16.xcen(c), yc, xy)) continue;
                std::int32_t& o = row[c - 1];
                if (o == 0) ++hits;
                o = e;
            }
        }
    }
    std::vector<float> gx(DisplayPoints), gy(DisplayPoints);
    for (int i = 1; i <= DisplayPoints; ++i) {
        gx[static_cast<std::size_t>(i) - 1] = grid_x(i);
        gy[static_cast<std::size_t>(i) - 1] = grid_y(i);
    }
    disp.group(nelem, gx.data(), gy.data(), DisplayPoints, MaxGridPoints, cs, sn);
    cells.group(nelem, dat16.xcen.a.data(), dat16.ycen.a.data(), ncol, MaxModflow, cs, sn);
    const std::size_t n = cells.order.size();
    circles.x.resize(n);
    circles.y.resize(n);
    circles.r.resize(n);
    for (std::size_t q = 0; q < n; ++q) {
        const int pt = cells.order[q];
        const int c = pt % ncol + 1, r = pt / ncol + 1;
        float x = dat16.xcen(c), y = dat16.ycen(r);
        rotate_cs(x, y, -1, cs, sn);
        circles.x[q] = x;
        circles.y[q] = y;
        circles.r[q] = circle_radius(c, r);
    }
}

// The start of a MODFLOW run: steps that do not depend on the GridOptions.
// False, with the reason reported and nothing computed, when the display
// grid over the MODFLOW area cannot be one (widths of 0, an origin at the
// end of the range of numbers).
bool begin_run() {
    const Dat8 before = dat8;
    dat8.nx = DisplayPoints;
    dat8.ny = DisplayPoints;
    if (!checkgrid(GridSurfer)) {
        dat8 = before;
        return false;
    }
    dat18.gridtype = GridSurfer;
    dat16.mfval.a.fill(NoCentreValue);
    dat7.gridval.a.fill(dat7.blank);
    pltnetw();
    igrfillpattern(4, 3, 3);
    WDialogLoad(ProgressDialog);
    WDialogShow(-1, -1, 0, 2);
    WDialogRangeProgressBar(ProgressBar, 1, 100);
    IGrColourN(250);
    return true;
}

// No cell centre lies in the model: a grid of nothing but no-data values
// would pass for a result.
bool report_no_overlap() {
    app_input_error("the MODFLOW grid does not overlap the model: no cell centre lies within the mesh");
    return false;
}

void end_option(int k, int plotmode, int showmesh, int showmaps, int showcontour, int showgridpts, int mfgrid,
                int loaded, int autosave) {
    if (autosave == 1) savegrd(GridModflow, home_name(autosave_name(k)), dat18.roworder);
    plot(plotmode, showmesh, showmaps, showcontour, showgridpts, mfgrid, loaded, 0, 0);
}

void end_run() {
    WDialogSelect(ProgressDialog);
    WDialogUnload();
    dat18.gridtype = GridModflow;
}

}  // namespace

void delr_c(std::string_view filename, int readflag, int& n, ModflowArray& d, float origin, ModflowArray& c,
            int& ierr) {
    ierr = 0;
    if (readflag != 1) {
        static ModflowArray wc;
        const int m = std::clamp(n, 0, MaxModflow);
        if (finite_centres(m, d, origin, wc, txt_c(filename), ierr)) std::copy_n(wc.a.begin(), m, c.a.begin());
        return;
    }
    const std::string name = txt_c(filename);
    TextIn in;
    if (!in.open(name, MaxWidthFileBytes)) {
        app_io_error("cannot read", in);
        ierr = ExitInputError;
        return;
    }
    static ModflowArray w;
    int count = 0;
    std::string_view line;
    while (in.next_line(line)) {
        if (line.size() > MaxLineLength) {
            app_file_error(in, "longer than " + std::to_string(MaxLineLength) + " characters");
            ierr = ExitInputError;
            return;
        }
        const int f = nveld(line);
        for (int k = 1; k <= f; ++k) {
            if (count + k > MaxModflow) {
                app_file_error(in, "max ncol/nrow 500");
                ierr = ExitMaxColumnsRows;
                return;
            }
            float v = 0;
            if (!datstr(k, line, v) || !std::isfinite(v)) {
                app_file_error(in, "field " + std::to_string(k) + " is not a number");
                ierr = ExitInputError;
                return;
            }
            // A negative width would turn the cells back over their
            // neighbours, leaving a grid outside itself.
            if (v < 0) {
                app_file_error(in, "field " + std::to_string(k) + ": widths must be positive");
                ierr = ExitInputError;
                return;
            }
            w(count + k) = v;
        }
        count += f;
    }
    if (count == 0) {
        app_input_error("file " + name + " holds no widths");
        ierr = ExitInputError;
        return;
    }
    static ModflowArray wc;
    if (!finite_centres(count, w, origin, wc, name, ierr)) return;
    n = count;
    for (int i = 1; i <= count; ++i) d(i) = w(i);
    for (int i = 1; i <= count; ++i) c(i) = wc(i);
}

void keerom(int n, ModflowArray& a) {
    n = std::clamp(n, 0, MaxModflow);
    std::reverse(a.a.begin(), a.a.begin() + n);
}

bool modflow_grid(int plotmode, int showmesh, int showmaps, int showcontour, int showgridpts, int mfgrid, int loaded,
                  int autosave) {
    if (!modflow_size_ok() || !begin_run()) return false;
    const int nelem = element_count();
    const float cs = std::cos(dat12.rotang), sn = std::sin(dat12.rotang);
    Coverage disp, cells;
    CentreCircles circles;
    // The triangles at which the progress bar moves on, and to what.
    std::vector<std::pair<int, int>> steps;
    for (int e = 1, shown = -1; e <= nelem; ++e) {
        const int pct = static_cast<int>((static_cast<long>(e) * 100) / nelem);
        if (pct != shown) steps.emplace_back(e, pct);
        shown = pct;
    }
    bool covered = false;
    for (int k = 0; k < NumGridOptions; ++k) {
        if (dat5.opton(k) != 'j') continue;
        leakage.iopt = k;
        option_status(k);
        if (!covered) {
            covered = true;
            cover_cells(disp, cells, circles, nelem, cs, sn);
        }
        fill_from_coverage(disp, k, false);
        cells.fill_nodes(dat16.mfval.a.data(), k);
        // The progress bar and the circles of the covered centres, in the
        // order of the triangles as each GridOption's pass would draw them.
        IGrColourN(wrgb(0, 125, 0));
        std::size_t drawn = 0;
        for (const auto& [e, pct] : steps) {
            const auto upto = static_cast<std::size_t>(cells.start[static_cast<std::size_t>(e) - 1]);
            igrcircleset(circles, drawn, upto);
            drawn = upto;
            WDialogPutProgressBar(ProgressBar, pct);
        }
        igrcircleset(circles, drawn, cells.order.size());
        end_option(k, plotmode, showmesh, showmaps, showcontour, showgridpts, mfgrid, loaded, autosave);
    }
    leakage.iopt = NumGridOptions;
    end_run();
    if (covered && cells.order.empty()) return report_no_overlap();
    return true;
}

bool modflow_grid_plain(int plotmode, int showmesh, int showmaps, int showcontour, int showgridpts, int mfgrid,
                        int loaded, int autosave) {
    if (!modflow_size_ok() || !begin_run()) return false;
    const int ncol = dat16.ncol, nrow = dat16.nrow;
    const int nelem = element_count();
    const long total = static_cast<long>(ncol) * nrow;
    std::vector<char> hit(static_cast<std::size_t>(total));
    bool any_option = false;
    for (int k = 0; k < NumGridOptions; ++k) {
        if (dat5.opton(k) != 'j') continue;
        any_option = true;
        leakage.iopt = k;
        option_status(k);
        long hits = 0;
        std::fill(hit.begin(), hit.end(), 0);
        for (int e = 1; e <= nelem; ++e) {
            WDialogPutProgressBar(ProgressBar, static_cast<int>((static_cast<long>(e) * 100) / nelem));
            // Each centre counts once, so the triangles are left out only
            // when every centre has its value.
            if (hits >= total) continue;
            float xy[6], z[3];
            if (!element_corners(e, xy, std::cos(dat12.rotang), std::sin(dat12.rotang))) continue;
            for (int q = 0; q < 3; ++q) {
                float x = dat4.xnode(dat4.elnode(e, q + 1)), y = dat4.ynode(dat4.elnode(e, q + 1));
                rotate(x, y, 1);
                dat3.trixy(2 * q + 1) = x;
                dat3.trixy(2 * q + 2) = y;
            }
            for (int q = 0; q < 6; ++q) xy[q] = dat3.trixy(q + 1);
            if (beside_area(xy) || !usable_triangle(xy)) continue;
            triangle_node_values(e, k, z);
            for (int q = 0; q < 3; ++q) dat3.triz(q + 1) = z[q];
            int i1, i2, j1, j2;
            if (index_box(xy, DisplayPoints, DisplayPoints, i1, i2, j1, j2)) {
                for (int i = i1; i <= i2; ++i) {
                    for (int j = j1; j <= j2; ++j) {
                        const float xp = grid_x(i), yp = grid_y(j);
                        int inside = 0;
                        inpol(xp, yp, xy, inside, 3);
                        if (inside == 1) dat7.gridval(i, j) = fixy(xp, yp);
                    }
                }
            }
            for (int c = 1; c <= ncol; ++c) {
                for (int r = 1; r <= nrow; ++r) {
                    int inside = 0;
                    inpol(dat16.xcen(c), dat16.ycen(r), xy, inside, 3);
                    if (inside != 1) continue;
                    char& h = hit[static_cast<std::size_t>((r - 1) * ncol + (c - 1))];
                    if (!h) {
                        h = 1;
                        ++hits;
                    }
                    dat16.mfval(c, r) = fixy(dat16.xcen(c), dat16.ycen(r));
                    IGrColourN(wrgb(0, 125, 0));
                    mark_centre(c, r, std::cos(dat12.rotang), std::sin(dat12.rotang));
                }
            }
        }
        end_option(k, plotmode, showmesh, showmaps, showcontour, showgridpts, mfgrid, loaded, autosave);
    }
    leakage.iopt = NumGridOptions;
    end_run();
    if (any_option && std::find(hit.begin(), hit.end(), 1) == hit.end()) return report_no_overlap();
    return true;
}
