#pragma once
// Grid files: the current grid as a Surfer ASCII grid, an Arc-Info ASCII grid
// or a MODFLOW matrix.
#include <string_view>

// Writes the grid of the given GridType (0 Surfer from `gridval`, 1 Arc-Info
// from `gridval`, 2 MODFLOW from `mfval` in the given row order) to the file,
// replacing it. Other types create an empty file. On failure (a grid size
// outside the data model, a regular grid that checkgrid refuses, a file that
// cannot be written) the error is
// reported, false is returned and an existing file is left as it was.
bool savegrd(int gridtype, std::string_view filename, int roworder);
