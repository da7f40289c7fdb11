#pragma once
// The program's settings file: the model, the grid, the rotation, the active
// quantity and the map layers of a run, in the text file home + "zeltramo.ini".
// The End command writes it; an interactive start may read it back; a file of
// the same layout named on the command line drives a batch conversion.
//
// Layout (one item group a line; numbers are blank-separated fields):
//   model file name
//   gridtype, leak                                  (2I5)
//   gridtype 1: xll, yll, nx, ny                    (2G15.6,2I15)
//               cellsize                            (G15.6)
//   gridtype 0: gx0, gy0, gx1, gy1                  (4G15.6)
//               nx, ny                              (2I5)
//   gridtype 2: DELR file name, all 80 characters   (A)
//               DELC file name, all 80 characters   (A)
//               gx0, gy0, roworder                  (2G15.6,I5)
//   rotation in whole degrees                       (I10)
//   GridOption index, -1 when none is active        (I5)
//   grid file name                                  (A)
//   four map layers: on, colour, width, file name   (3I10,A)
// The file is UTF-8 text (a byte-order mark before the first line is passed
// over); names hold the characters of the program's text only.
// The row order is a third field of the MODFLOW origin line, where readers
// that know only two fields pass over it; a line without it means row order
// 1 ("from top to bottom").
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/appdata.h"

class TextOut;

// The largest settings file read: it holds a few hundred bytes, and a file
// of any size would otherwise be read whole before its first line is looked at.
constexpr std::size_t MaxSettingsFileBytes = 64 * 1024;

// The row order a settings file without one gets.
constexpr std::int32_t RowOrderDefault = 1;

// What a settings read hands to the main program besides the data blocks.
struct SettingsRead {
    std::string femname = std::string(TextLength, ' ');    // the model file named
    std::string gridname = std::string(TextLength, ' ');   // the grid file named
    int model = 0;      // leesfem's result: FemLoaded, or FemMissing (nothing changed but femname)
    int option = -1;    // the GridOption switched on, -1 none
    int mfgrid = 0;     // 1: the grid is a MODFLOW grid (interactive read only)
};

// The settings file's name: the first lhome characters of home + "zeltramo.ini".
std::string settings_file_name();

// Writes the settings file from the current state and the model file name.
// False (error reported, an existing file unchanged) when it cannot be written.
// The grid file line names gridname, the grid a batch run wrote; empty:
// the default name of the grid type.
bool write_settings(std::string_view femname, std::string_view gridname = {});
// The same without putting the file in place: the settings written into out,
// created for the settings file, for commit_outputs to replace it together
// with other files. False (reported, out discarded) when it cannot be created.
bool settings_output(TextOut& out, std::string_view femname, std::string_view gridname = {});

// Reads the settings file completely: loads the model, sets the grid, the
// rotation, the active quantity and the map layers. The file is checked
// before anything changes; returns 0, or an exit code with the error
// reported and the program's state as it was. A model that is not there
// changes nothing either: 0 with r.model FemMissing, for the caller to say.
int read_settings(SettingsRead& r);

// Reads a settings file for a batch run up to its grid-name line (the map
// layers are not read): loads the model, sets the grid, the rotation and the
// active quantity. Returns 0 or an exit code (error reported); a model that
// is not there as read_settings.
int read_settings_batch(std::string_view filename, SettingsRead& r);
