#pragma once
// The commands that load a model, save the grid and show help and the About
// box, and the file selection they and other commands use.
#include <string>
#include <string_view>

// Lets the user choose a file with the given extension ("fem", or "*" for
// any) under the given title. Returns the trimmed length of the chosen name,
// which is then in name (80 characters) and, with a field above 0, in that
// field of the current dialog. A cancelled selection returns 0 and leaves
// name as it was. A file to read must exist; a file to write is chosen in a
// save dialog, which asks before it replaces one.
enum class FileUse { Read, Write };
int selfile(std::string& name, std::string_view extension, std::string_view title, int field, FileUse use);

// The default grid over a freshly loaded model's extent (the view): an
// Arc-Info grid whose cells are as large as the smaller of the two spacings
// that the point counts in force give, or, when that makes more than
// `nxmax` x `nymax` cells, as large as the extent needs to stay within them.
// False (reported, nothing changed) when the extent gives fewer than two
// points along an axis.
bool default_grid();

// FEM file (40001). A cancelled selection changes nothing; a model that is
// missing or rejected is reported and everything stays as it was.
void cmd_femfile();
// Save > 2File (40027). Only values calculated for the model and grid in
// force are written; otherwise the user is told and nothing is written.
void cmd_2file();
// Help > Help (40030).
void cmd_help();
// Help > About (40031): dialog 105 until its OK button.
void cmd_about();
// Make WMF (40013): the picture into a metafile named by the user; the
// printer is selected again afterwards.
void cmd_make_wmf();
// Print (40041): the printer's set-up, then the picture on the printer.
void cmd_print();
