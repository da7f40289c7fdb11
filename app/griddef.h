#pragma once
// The grid definition: where node values are interpolated (a regular grid,
// optionally rotated about its origin, or the cell centres of a MODFLOW
// grid), the helpers that keep it consistent and the three Grid commands.
#include <string>

#include "app/appdata.h"

// Recomputes the derived quantities of the grid: type 0 from the corners and
// counts, type 1 from the Arc-Info corner, cell size and counts; counts above
// `nxmax`, `nymax` are clamped. Other types change nothing. A
// grid needs two points per axis, a positive cell size (Arc-Info) and corners
// that differ in x and in y: anything else is reported and leaves the grid's
// spacing as it was (false).
bool checkgrid(int type);
// Why the grid of the given type that `g` describes (counts clamped as
// checkgrid does) cannot be used; empty when it can. Reports nothing.
std::string grid_fault(int type, const Dat8& g);

// Maps a world point into the grid frame (mode 1) or a grid-frame point back
// to the world (other modes), about (`gx0`, `gy0`) by `rotang`.
void rotate(float& x, float& y, int mode);
// The same with the cosine and sine of `rotang` given, for loops that map
// many points; the results equal those of rotate.
void rotate_cs(float& x, float& y, int mode, float c, float s);

// Makes (x0, y0) the lower-left corner of the rectangle spanned with (x1, y1)
// in the frame rotated by angle.
void chk_origin(float& x0, float& y0, float& x1, float& y1, float angle);

// The angle of `rotang` in whole degrees, as the dialogs show it.
int rotang_degrees();
// `rotang` from an angle in degrees.
float degrees_to_rotang(float degrees);

// Grid > Surfer (command 40011), Grid > Arc-Info (40012) and Grid > MODFLOW
// (40010). Each shows its dialog (101, 103, 104) and takes the entries; an
// entry that is not a number leaves its quantity unchanged. Entries that
// make no grid (fewer than two points per axis, corners without extent, a
// cell size that is not positive, DELR or DELC files that cannot be read,
// hold no values or widths adding up past the range of numbers) are reported and the command is
// abandoned with the grid as it was before the command.
void cmd_surfer();
void cmd_arcinfo();
void cmd_modflow();
