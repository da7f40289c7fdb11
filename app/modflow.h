#pragma once
// MODFLOW grids: column widths and row heights from DELR and DELC files, the
// cell centres, and the interpolation of the node values at the centres.
#include <cstddef>
#include <string_view>

#include "app/appdata.h"

using ModflowArray = Arr1<float, MaxModflow>;

// Exit code of "max ncol/nrow 500".
constexpr int ExitMaxColumnsRows = 24;

// The largest DELR or DELC file read: 500 widths take a few kilobytes, and a
// file of any size would otherwise be read whole before its first width.
constexpr std::size_t MaxWidthFileBytes = 1 << 20;

// With readflag 1 reads the widths of the named file into d(1..n) and sets n;
// with readflag 0 keeps d and n. Then computes the centres c(1..n) from the
// origin. ierr: 0 success, or the exit code of a batch run that meets the
// error: ExitMaxColumnsRows for more than 500 values, ExitInputError for a
// file that cannot be read, holds no values, holds a field that is not a
// finite number, or holds widths whose sum (from the origin) passes the range
// of numbers. On an error it is reported and d, n and c are left as they
// were; the caller abandons its command (or, in a batch run, ends with ierr).
void delr_c(std::string_view filename, int readflag, int& n, ModflowArray& d, float origin, ModflowArray& c,
            int& ierr);

// Reverses a(1..n) in place.
void keerom(int n, ModflowArray& a);

// Interpolates every active GridOption at the MODFLOW cell centres into
// `mfval` (-9999.0 where no triangle covers a centre) and onto a 100 x 100
// display grid over the MODFLOW area, marking each covered centre on the map
// and writing a MODFLOW matrix per option when autosave is 1. Without a
// MODFLOW grid, or with one whose area cannot be drawn (no extent), this is
// reported and nothing is done (false). A grid none of whose centres lies in
// the mesh is computed, reported and false.
bool modflow_grid(int plotmode, int showmesh, int showmaps, int showcontour, int showgridpts, int mfgrid, int loaded,
                  int autosave);
// The same, every triangle testing the cell centres for each GridOption; the
// reference that modflow_grid must equal.
bool modflow_grid_plain(int plotmode, int showmesh, int showmaps, int showcontour, int showgridpts, int mfgrid,
                        int loaded, int autosave);
