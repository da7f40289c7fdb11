#pragma once
// The map view: the picture in the main window, rebuilt from the program's
// data at every redraw.
#include "app/appdata.h"

// Redraws the whole map view in the current window with the nine view
// flags: contour style (1 filled, -1 iso-lines, 0 none), mesh, map layers,
// contours, grid points, MODFLOW grid, model loaded, nodal areas,
// intersections. With no model loaded nothing is cleared or drawn.
void plot(int plotmode, int showmesh, int showmaps, int showcontour, int showgridpts, int mfgrid, int loaded,
          int shownodal, int showriver);

// While it lives, the map is drawn for a page: from the view as the
// commands last set it, not as a window of other proportions widened it,
// so that the page's own proportions alone widen it and the map fills the
// page as far as the model's shape allows. Afterwards the screen's view
// is back as it was.
class PageView {
public:
    PageView();
    ~PageView();
    PageView(const PageView&) = delete;
    PageView& operator=(const PageView&) = delete;

private:
    Dat9 screen_, asked_, fitted_;
};

// Forgets the view the commands set and its widened form. For tests.
void reset_view_fit();

// The outline of a mesh triangle, from corner a round to it again, in the
// current colour.
void triangle_outline(float xa, float ya, float xb, float yb, float xc, float yc);

// Draws the outline of every MODFLOW cell. Where the network is not turned
// and no cell is more than two pixels across, the same figure is drawn as
// the lines between the columns and rows, each once from end to end.
void pltnetw();
// The outline of every cell, whatever its size; the reference picture.
void pltnetw_plain();
// The network is drawn as lines: not turned, and no cell more than two
// pixels across in the current units.
bool network_drawn_as_lines();

// Sets both (x1, y1) and (x2, y2) to (x, y).
void linereset(float x, float y, float& x1, float& y1, float& x2, float& y2);
