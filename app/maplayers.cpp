#include "app/maplayers.h"

#include <chrono>
#include <thread>
#include <vector>

#include "app/appdata.h"
#include "app/apphooks.h"
#include "app/filecmds.h"
#include "lib/dialog/fields.h"
#include "app/mainstate.h"
#include "app/records.h"
#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/window/errors.h"
#include "lib/window/text.h"

namespace {

// Points of one polygon block the reader keeps; the rest of a longer block
// is read past.
constexpr int PolygonPoints = 10000;

// Dialog 112 and its fields.
constexpr int MapDialog = 112;
constexpr int FieldCheck = 1079;     // + layer: check boxes 1080..1083
constexpr int FieldName = 1086;      // + layer: file names 1087..1090
constexpr int FieldBrowse = 1052;    // + layer: "Blader" 1053..1056
constexpr int FieldColour = 1105;    // + layer: colour buttons 1106..1109
constexpr int FieldWidth = 1114;     // + layer: widths 1115..1118
constexpr int ShowMap = 1114;
constexpr int Ok = 1;

bool file_exists(std::string_view name) {
    TextIn in;
    return in.open(name);
}

// Reads a count line; false at the end of the file or on a count that is
// not a number.
bool read_count(TextIn& in, std::int32_t& n) {
    FreeRead r(in);
    r.i(n);
    return r.end() == RecStatus::Ok && r.items() == 1;
}

bool read_point(TextIn& in, float& x, float& y) {
    FreeRead r(in);
    r.r(x).r(y);
    return r.end() == RecStatus::Ok && r.items() == 2;
}

// The text that names a damaged layer file: where the point could not be read.
std::string damage_text(const TextIn& in) {
    return "map file " + in.name() + ", line " + std::to_string(in.line_number()) +
           ": a point cannot be read; the layer ends there";
}

// One layer drawn as polylines; false when a point could not be read.
bool polyline_layer(TextIn& in) {
    std::int32_t n = 0;
    while (read_count(in, n)) {
        for (std::int32_t i = 1; i <= n; ++i) {
            float x = 0, y = 0;
            if (!read_point(in, x, y)) return false;
            if (i == 1)
                igrmoveto(x, y);
            else
                igrlineto(x, y);
        }
    }
    return true;
}

// One layer drawn as filled polygons, each block's points read in one
// free-format record; false when the points could not be read.
bool polygon_layer(TextIn& in) {
    static std::vector<float> px(PolygonPoints), py(PolygonPoints);
    std::int32_t n = 0;
    while (read_count(in, n)) {
        FreeRead r(in);
        if (n <= 0) {
            // An empty block still takes its line.
            r.end();
            continue;
        }
        int kept = 0;
        for (std::int32_t i = 0; i < n; ++i) {
            float x = 0, y = 0;
            r.r(x).r(y);
            if (r.status() != RecStatus::Ok || r.items() != 2 * (i + 1)) return false;
            if (kept < PolygonPoints) {
                px[static_cast<std::size_t>(kept)] = x;
                py[static_cast<std::size_t>(kept)] = y;
                ++kept;
            }
        }
        if (r.end() != RecStatus::Ok) return false;
        igrfillpattern(4, 4, 4);
        IGrPolygonComplex(px.data(), py.data(), kept);
    }
    return true;
}

}  // namespace

std::string mapbln() {
    std::string damage;
    igrcolourmodel(24);
    for (int l = 1; l <= MapLayers; ++l) {
        if (map_bln.mapon(l) != 1) continue;
        // Opening only reads: a missing file is not created.
        TextIn in;
        const bool open = in.open(map_bln.mapfile(l));
        IGrColourN(map_bln.mapcol(l));
        igrlinewidth(map_bln.mapwidth(l));
        if (!open) continue;
        const bool whole = map_bln.mapwidth(l) >= 1 ? polyline_layer(in) : polygon_layer(in);
        if (!whole && damage.empty()) damage = damage_text(in);
    }
    igrlinewidth(1);
    return damage;
}

void map(std::string_view name) {
    TextIn in;
    if (!in.open(name)) return;
    IGrColourN(mapcolour.linemapcol);
    polyline_layer(in);
}

void checkmap(std::string_view name, int field) {
    if (txt_blank(name)) return;
    WDialogFieldState(field, file_exists(name) ? 1 : 0);
}

void buttoncol(int colour, int field) {
    igrcolourmodel(8);
    std::int32_t r = 0, g = 0, b = 0;
    wrgbsplit(colour, &r, &g, &b);
    IGrSelect(3, field);
    // Only into the field itself: when it cannot be selected the drawing
    // target is the window, which the square would cover whole.
    if (gstate.DrawableType == 3) {
        IGrArea(0, 0, 1, 1);
        IGrUnits(0, 0, 1, 1);
        igrpalettergb(1, r, g, b, 0);
        IGrColourN(1);
        igrfillpattern(4, 4, 4);
        const float x[4] = {0, 100, 100, 0}, y[4] = {0, 0, 100, 100};
        IGrPolygonComplex(x, y, 4);
    }
    igrinit("  ");
    igrcolourmodel(24);
}

void cmd_blnmap() {
    MapBlnBlock& m = map_bln;
    WDialogLoad(MapDialog);
    for (int l = 1; l <= MapLayers; ++l) {
        WDialogPutCheckBox(FieldCheck + l, m.mapon(l));
        WDialogPutString(FieldName + l, m.mapfile(l));
        WDialogPutInteger(FieldWidth + l, m.mapwidth(l));
    }
    WDialogShow(-1, -1, 0, 2);
    // The layer colours go to the library's debug file, and only when its
    // report mode sends reports there: otherwise each opening would leave a
    // file "debug" in the user's directory.
    if (infoerror(4) == ReportDebugFile) {
        std::string trace;
        for (int l = 1; l <= MapLayers; ++l) {
            trace += ' ';
            trace += std::to_string(m.mapcol(l));
        }
        yydebugc(trace.c_str());
    }
    for (;;) {
        const int v = app_peek_message();
        if (v >= FieldBrowse + 1 && v <= FieldBrowse + MapLayers) {
            const int l = v - FieldBrowse;
            std::string name(TextLength, ' ');
            if (selfile(name, "bln", "Read BLN", 0, FileUse::Read) > 0) {
                m.mapfile(l) = txt_fixed(name, TextLength);
                WDialogPutString(FieldName + l, m.mapfile(l));
            }
        } else if (v >= FieldColour + 1 && v <= FieldColour + MapLayers) {
            int colour = m.mapcol(v - FieldColour);
            app_select_colour(colour);
            m.mapcol(v - FieldColour) = colour;
        }
        for (int l = 1; l <= MapLayers; ++l) {
            buttoncol(m.mapcol(l), FieldColour + l);
            checkmap(m.mapfile(l), FieldCheck + l);
        }
        if (v == ShowMap || v == Ok) {
            for (int l = 1; l <= MapLayers; ++l) {
                int on = m.mapon(l), width = m.mapwidth(l);
                WDialogGetCheckBox(FieldCheck + l, on);
                WDialogGetInteger(FieldWidth + l, width);
                m.mapon(l) = on;
                m.mapwidth(l) = width;
                if (on == 1) {
                    std::string name(TextLength, ' ');
                    WDialogGetString(FieldName + l, name);
                    m.mapfile(l) = txt_fixed(name, TextLength);
                }
            }
            const std::string damage = mapbln();
            mainstate.showmaps = 1;
            if (!damage.empty()) app_input_error(damage);
            if (v == Ok) {
                WDialogSelect(MapDialog);
                WDialogUnload();
                redraw_view();
                return;
            }
            redraw_view();
        } else if (v == -1) {
            // Nothing waiting: give the processor back for a moment.
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
    }
}
