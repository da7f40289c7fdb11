#pragma once
// The view commands of the main menu: Original, Zoom, Zoom2grid and Center
// change the view window; Location/size and Rotation place and turn the
// regular or MODFLOW grid with the mouse. The mouse commands take the
// following messages themselves until their finishing mouse message; what
// arrives meanwhile is consumed. Each ends with a redraw.
#include <cstdint>

void cmd_original();      // 40008
void cmd_zoom();          // 40009
void cmd_zoom2grid();     // 40017
void cmd_center();        // 40039
void cmd_location_size(); // 40019
void cmd_rotation();      // 40020

// The zoom and pan keys of the message loop (keypad + and -, the four
// arrows); false, with nothing changed, for any other key.
bool view_key(std::int32_t code);

// rotang from a pointer position about the grid origin, cut to whole
// degrees; a pointer straight above or below the origin keeps the angle.
void angle_from_pointer(float x, float y);
