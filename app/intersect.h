#pragma once
// River-line intersection: river lines from a line file, with levels,
// widths and resistance from an attribute file, intersected with the nodal
// areas; per node the river length inside its area, weighted by width over
// resistance, gives three parameter files (water level, bottom level,
// resistance). Also the map view's picture of the areas hit.
#include <string>
#include <string_view>

#include "app/appdata.h"

// Per-node work of the intersection: river length and distance of the
// current line, and the weighted sums of every line of the run.
struct RiverWork {
    Arr1<float, MaxNodes> inlen;
    Arr1<float, MaxNodes> atdist;
    Arr1<float, MaxNodes> sumw;
    Arr1<float, MaxNodes> sumwl;
    Arr1<float, MaxNodes> sumwb;
};
extern RiverWork river_work;

// The command's file names and format, kept between its runs.
struct IntersectState {
    std::string riverfile = std::string(TextLength, ' ');
    std::string attrfile = std::string(TextLength, ' ');
    std::string wlevelfile = std::string(TextLength, ' ');
    std::string blevelfile = std::string(TextLength, ' ');
    std::string resistfile = std::string(TextLength, ' ');
    int crossfmt = 0;   // 1 z-format, 2 xyz-format
};
extern IntersectState intersect_state;

// Forgets the areas hit and the weighted sums (each run starts afresh, and
// a model load makes them meaningless).
void clear_river_results();

// The crossing of segment (x1, y1)-(x2, y2) with (x3, y3)-(x4, y4): flag 1
// with the point (xs, ys) when they cross within 0.1 % of each length. A
// vertical or horizontal segment has its start moved by 0.1 first (in the
// caller's variables). Parallel segments give flag 0.
void snijlijn(float& x1, float& y1, float x2, float y2, float& x3, float& y3, float x4, float y4, float& xs,
              float& ys, int& flag);

// The intersection of the river lines with the stored nodal areas and the
// three result files (format 1: one value a line, else x, y and value). The
// echo of the river lines goes to home + "zeltramo.wat". On unreadable
// input or a file that cannot be opened or written the error is reported,
// nothing is written and the results are cleared (false). River lines whose
// weight is undefined (no attribute record, resistance <= 0, length 0) are
// skipped and named in one message.
bool snijden(std::string_view riverfile, std::string_view wlevel, std::string_view blevel,
             std::string_view resist, std::string_view attr, int format);
// The same with every node tested against every segment; the reference.
bool snijden_plain(std::string_view riverfile, std::string_view wlevel, std::string_view blevel,
                   std::string_view resist, std::string_view attr, int format);

// Fills the area of every node hit by the last intersection in its colour.
void draw_intersect();

// Intersect (40038, dialog 108).
void cmd_intersect();
