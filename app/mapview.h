#pragma once
// The map view: the picture in the main window, rebuilt from the program's
// data at every redraw.

// Redraws the whole map view in the current window with the nine view
// flags: contour style (1 filled, -1 iso-lines, 0 none), mesh, map layers,
// contours, grid points, MODFLOW grid, model loaded, nodal areas,
// intersections. With no model loaded nothing is cleared or drawn.
void plot(int plotmode, int showmesh, int showmaps, int showcontour, int showgridpts, int mfgrid, int loaded,
          int shownodal, int showriver);

// Draws the outline of every MODFLOW cell.
void pltnetw();

// Sets both (x1, y1) and (x2, y2) to (x, y).
void linereset(float x, float y, float& x1, float& y1, float& x2, float& y2);
