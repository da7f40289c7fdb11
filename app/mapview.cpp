#include "app/mapview.h"

#include <algorithm>
#include <cmath>
#include "app/logo.h"

#include "app/appdata.h"
#include "app/apphooks.h"
#include "app/contour.h"
#include "app/griddef.h"
#include "app/intersect.h"
#include "app/nodal.h"
#include "app/maplayers.h"
#include "app/onemoment.h"
#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/grinfo.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/graphics/text.h"
#include "lib/pgraph/pgraph.h"
#include "lib/window/winops.h"
#include "lib/window/wintext.h"

namespace {

// A closed outline through grid-frame corners, drawn in world coordinates.
void grid_outline(const float (&x)[4], const float (&y)[4]) {
    float wx[4], wy[4];
    for (int i = 0; i < 4; ++i) {
        wx[i] = x[i];
        wy[i] = y[i];
        rotate(wx[i], wy[i], 2);
    }
    igrmoveto(wx[0], wy[0]);
    for (int i = 1; i < 4; ++i) igrlineto(wx[i], wy[i]);
    igrlineto(wx[0], wy[0]);
}

// One point at grid-frame coordinates.
void grid_point(float x, float y) {
    rotate(x, y, 2);
    igrpoint(x, y);
}

// The view as the commands last set it, and that view as the drawable it
// was last drawn in widened it. A view still equal to the widened one has
// not been set anew since: the commands' view is then the one kept here.
struct ViewFit {
    Dat9 asked;
    Dat9 fitted;
};
ViewFit view_fit;

bool same_view(const Dat9& a, const Dat9& b) {
    return a.vxmin == b.vxmin && a.vymin == b.vymin && a.vxmax == b.vxmax && a.vymax == b.vymax;
}

// Enlarges the view window to the drawable's proportions, never narrowing it.
void fit_view_to_drawable() {
    Dat9& v = dat9;
    if (!same_view(v, view_fit.fitted)) view_fit.asked = v;
    const long double w = static_cast<long double>(v.vxmax) - v.vxmin;
    const long double h = static_cast<long double>(v.vymax) - v.vymin;
    IGrArea(0.1f, 0.1f, 0.9f, 0.9f);
    // A drawable so flat that its ratio rounds to 0 counts as 1 : 100.
    std::int32_t r = InfoGrScreen(32);
    if (r <= 0) r = 1;
    const long double a = 100.0L / r;
    if (h / w < a)
        v.vymax = static_cast<float>(v.vymin + a * w);
    else
        v.vxmax = static_cast<float>(v.vxmin + h / a);
    view_fit.fitted = v;
}


}  // namespace

void reset_view_fit() { view_fit = ViewFit{}; }

PageView::PageView() : screen_(dat9), asked_(view_fit.asked), fitted_(view_fit.fitted) {
    if (same_view(dat9, view_fit.fitted)) dat9 = view_fit.asked;
}

PageView::~PageView() {
    dat9 = screen_;
    view_fit = ViewFit{asked_, fitted_};
}

void triangle_outline(float xa, float ya, float xb, float yb, float xc, float yc) {
    const float x[3] = {xb, xc, xa}, y[3] = {yb, yc, ya};
    igrmoveto(xa, ya);
    igrlinesto(x, y, 3);
}

void plot(int plotmode, int showmesh, int showmaps, int showcontour, int showgridpts, int mfgrid, int loaded,
          int shownodal, int showriver) {
    if (loaded == 0) return;
    backcol(MapBackground, 1);
    windowcleararea(0, 0, 9999, 9999);
    logo();

    fit_view_to_drawable();
    const Dat9& v = dat9;
    IGrUnits(v.vxmin, v.vymin, v.vxmax, v.vymax);

    // The grid's outline, drawn whatever the grid type and also before any
    // grid was set.
    const Dat8& g = dat8;
    IGrColourN(wrgb(90, 90, 90));
    grid_outline({g.gx0, g.gx1, g.gx1, g.gx0}, {g.gy0, g.gy0, g.gy1, g.gy1});

    IGrColourN(wrgb(200, 190, 30));
    if (showmesh == 1) {
        const Dat4& m = dat4;
        for (int e = 1; e <= m.nelem; ++e) {
            const int n1 = m.elnode(e, 1), n2 = m.elnode(e, 2), n3 = m.elnode(e, 3);
            triangle_outline(m.xnode(n1), m.ynode(n1), m.xnode(n2), m.ynode(n2), m.xnode(n3), m.ynode(n3));
        }
    }

    constexpr int ContourLevels = 20;
    if (showcontour == 1) {
        if (plotmode == 1) {
            iso_lines(ContourLevels, 1);
            iso_lines(ContourLevels, 0);
        } else {
            iso_lines(ContourLevels, plotmode);
        }
    } else {
        prompt_line("calculate grid");
    }

    if (showgridpts == 1) {
        if (mfgrid == 0) {
            IGrColourN(245);
            for (int i = 1; i <= g.nx; ++i)
                for (int j = 1; j <= g.ny; ++j)
                    grid_point(g.gx0 + static_cast<float>(i - 1) * g.dx, g.gy0 + static_cast<float>(j - 1) * g.dy);
        } else if (mfgrid == 1) {
            pltnetw();
            IGrColourN(16);
            const Dat16& mf = dat16;
            for (int i = 1; i <= mf.ncol; ++i)
                for (int j = 1; j <= mf.nrow; ++j) grid_point(mf.xcen(i), mf.ycen(j));
        }
    }

    if (shownodal == 1) {
        if (showriver == 1) draw_intersect();
        float total = 0;
        nodal_area(0, 0, total);
    }

    if (showmaps == 1) mapbln();

    IGrColourN(wrgb(0, 0, 0));
    WGrTextFont(102, std::nullopt, 0.008f, 0.026f);
    IGrArea(0, 0, 1, 1);

    // When the view reaches past the model on the right or at the top while
    // its other edge is the model's, the axes cover only the model; in both
    // directions at once where the view was widened both ways.
    const float x1 = dat11.extr(1), y1 = dat11.extr(2), x0 = dat11.extr(3), y0 = dat11.extr(4);
    float right = 0.9f, top = 0.9f, x_end = v.vxmax, y_end = v.vymax;
    if (v.vxmax > x1 && v.vxmin == x0) {
        right = (x1 - v.vxmin) / (v.vxmax - v.vxmin) * 0.8f + 0.1f;
        x_end = x1;
    }
    if (v.vymax > y1 && v.vymin == y0) {
        top = (y1 - v.vymin) / (v.vymax - v.vymin) * 0.8f + 0.1f;
        y_end = y1;
    }
    IPgArea(0.1f, 0.1f, right, top);
    ipgunits(v.vxmin, v.vymin, x_end, y_end);
    // The frame with numeric scales in world units below and to the left,
    // the vertical scale line at its default place.
    ipgaxes();
    ipgxscale("ni");
    ipgytickpos(1.0f, -1.0f);
    ipgyscaleleft("Ni");

    IGrArea(0.1f, 0.1f, 0.9f, 0.9f);
    IGrUnits(v.vxmin, v.vymin, v.vxmax, v.vymax);
}

namespace {

// The network as one outline per cell; every inner edge is drawn by both
// cells beside it.
void cell_outlines() {
    const Dat16& mf = dat16;
    for (int i = 1; i <= mf.ncol; ++i)
        for (int j = 1; j <= mf.nrow; ++j) {
            const float hx = 0.5f * mf.delr(i), hy = 0.5f * mf.delc(j);
            const float x = mf.xcen(i), y = mf.ycen(j);
            grid_outline({x - hx, x + hx, x + hx, x - hx}, {y - hy, y - hy, y + hy, y + hy});
        }
}

// The same figure as the outlines: the frame, and each line between two
// columns or two rows drawn once across the network.
void network_lines() {
    const Dat16& mf = dat16;
    const int nc = mf.ncol, nr = mf.nrow;
    const float left = mf.xcen(1) - 0.5f * mf.delr(1), right = mf.xcen(nc) + 0.5f * mf.delr(nc);
    const float bottom = mf.ycen(1) - 0.5f * mf.delc(1), top = mf.ycen(nr) + 0.5f * mf.delc(nr);
    grid_outline({left, right, right, left}, {bottom, bottom, top, top});
    const auto line = [](float x1, float y1, float x2, float y2) {
        rotate(x1, y1, 2);
        rotate(x2, y2, 2);
        igrmoveto(x1, y1);
        igrlineto(x2, y2);
    };
    for (int i = 2; i <= nc; ++i) {
        const float x = mf.xcen(i) - 0.5f * mf.delr(i);
        line(x, bottom, x, top);
    }
    for (int j = 2; j <= nr; ++j) {
        const float y = mf.ycen(j) - 0.5f * mf.delc(j);
        line(left, y, right, y);
    }
}

// Every cell at most this many pixels across: the cells then show only as
// their lines, and drawing those once looks the same as the outlines. Lines
// turned by the grid's rotation would take other pixels drawn whole than in
// pieces, so only a network that is not turned is drawn so.
constexpr float NetworkLinePixels = 2.0f;

}  // namespace

bool network_drawn_as_lines() {
    const Dat16& mf = dat16;
    if (dat12.rotang != 0 || mf.ncol < 1 || mf.nrow < 1) return false;
    float widest = 0;
    for (int i = 1; i <= mf.ncol; ++i) widest = std::max(widest, std::fabs(mf.delr(i)));
    for (int j = 1; j <= mf.nrow; ++j) widest = std::max(widest, std::fabs(mf.delc(j)));
    const float scale = std::max(std::fabs(gstate.sx), std::fabs(gstate.sy));
    return widest * scale <= NetworkLinePixels;
}

void pltnetw() {
    IGrColourN(240);
    const Dat16& mf = dat16;
    if (mf.ncol < 1 || mf.nrow < 1) return;
    if (network_drawn_as_lines()) network_lines();
    else cell_outlines();
}

void pltnetw_plain() {
    IGrColourN(240);
    cell_outlines();
}

void linereset(float x, float y, float& x1, float& y1, float& x2, float& y2) {
    x1 = x;
    y1 = y;
    x2 = x;
    y2 = y;
}
