#pragma once
// Grid files: the current grid as a Surfer ASCII grid, an Arc-Info ASCII grid
// or a MODFLOW matrix.
#include <initializer_list>
#include <string>
#include <string_view>

class TextOut;

// Writes the grid of the given GridType (0 Surfer from `gridval`, 1 Arc-Info
// from `gridval`, 2 MODFLOW from `mfval` in the given row order) to the file,
// replacing it. Other types create an empty file. On failure (a grid size
// outside the data model, a regular grid that checkgrid refuses, a file that
// cannot be written) the error is
// reported, false is returned and an existing file is left as it was.
bool savegrd(int gridtype, std::string_view filename, int roworder);

// The same without putting the file in place: the grid written into out,
// created for the file, for commit_outputs to replace the file with others
// together. The grid is not written over the model, the settings file, the
// DELR and DELC files or a map file (file_clash).
bool grid_output(int gridtype, std::string_view filename, int roworder, TextOut& out);

// A file the program reads or writes, by what it is to the user.
struct RunFile {
    const char* what;        // "model file", "settings file", ...
    std::string_view name;   // blank: none
};
// Empty, or "<written> is the <what> <name>" for the first of the files that
// a file written under that name would replace (one file by device and
// inode, or one name in one directory for a file not there yet).
std::string file_clash(std::string_view written, std::initializer_list<RunFile> files);
