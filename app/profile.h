#pragma once
// Profiles: every active quantity sampled at equally spaced points along a
// straight line over the model, written to a results file and a pen-plot
// file and drawn as curves against the distance along the line in the
// profile window.
#include <array>
#include <string>
#include <string_view>

#include "app/appdata.h"

// The dialog's texts kept between the profile commands: the end coordinates
// and the point count as shown (80 characters each).
struct ProfileTexts {
    std::string ptx1 = std::string(TextLength, ' ');
    std::string pty1 = std::string(TextLength, ' ');
    std::string ptx2 = std::string(TextLength, ' ');
    std::string pty2 = std::string(TextLength, ' ');
    std::string ptn = std::string(TextLength, ' ');
};
extern ProfileTexts profile_texts;

// The profile of n points (held to 2..5000) along the line `px1`, `py1` -
// `px2`, `py2`: `prof`, `plen`, `pmin`, `pmax`, the results file (name;
// blank becomes home + "profile.res", written back) and home + "profile.plt".
// A point in no triangle gets `BlankValue`. False (reported) when a file
// cannot be written.
bool calcprof(int n, std::string& name);
// The same with every triangle tested at every point for every quantity;
// the reference.
bool calcprof_plain(int n, std::string& name);

// Opens the profile window when open is 0 (open becomes 1, slot its slot)
// and draws the curves of the n points of `values` into it; afterwards the
// root window is current with the map view's area and units.
void plprof(int& slot, int& open, float x0, float ylo, float xhi, float yhi, int n,
            const Arr2<float, MaxProfilePoints, NumGridOptions, 1, 0>& values, std::string_view title);
// What plprof draws, in the current window: frame, curves (red 170, a gap
// where a value's magnitude reaches 1.0E10) and scales. A range without
// width or height is widened by one unit each side.
void draw_profile(float x0, float ylo, float xhi, float yhi, int n,
                  const Arr2<float, MaxProfilePoints, NumGridOptions, 1, 0>& values);

// Profile > Numerical (40034, dialog 107) and Profile > Graphical (40035).
void cmd_profile_numerical();
void cmd_profile_graphical();

// While the profile window is open: redraws it and draws the profile line
// in black on the map view.
void profile_overlay();
// A close request while the profile window is open closes it (true);
// false when it is not open.
bool close_profile_window();

// home + "zeltramo.pro": the five texts and the results file name.
std::string profile_settings_name();
void write_profile_settings();
// Reads the texts back from it, as many lines as it has (at most six).
void read_profile_settings();
