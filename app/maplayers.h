#pragma once
// BLN map layers over the map view and the BLN map command.
#include <string>
#include <string_view>

// Draws every layer that is on, in layer order: polylines for a width of 1
// or more, filled polygons for a width of 0. A layer whose file does not
// exist draws nothing. A point that cannot be read ends its layer there
// (what was drawn stays); the text of the first such damage of the call is
// returned (empty when every layer was whole), for the command to report.
std::string mapbln();

// Draws the blocks of a BLN file as polylines in the line-map colour; the
// first read that fails ends the drawing. Nothing when the file does not
// exist.
void map(std::string_view name);

// With a name that is not blank: enables the dialog field when the file
// exists, disables it when not. A blank name changes nothing.
void checkmap(std::string_view name, int field);

// Fills a dialog field with a packed RGB colour.
void buttoncol(int colour, int field);

// BLN map (command 117): files, colours, widths and which layers are on.
void cmd_blnmap();
