#include "app/griddef.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>
#include <string>

#include "app/appdata.h"
#include "app/apphooks.h"
#include "app/femread.h"
#include "app/filecmds.h"
#include "app/mainstate.h"
#include "app/modflow.h"
#include "app/records.h"
#include "lib/dialog/fields.h"
#include "lib/window/menus.h"
#include "lib/window/text.h"

namespace {

// Dialog and field identifiers.
constexpr int DlgSurfer = 101, DlgArcInfo = 103, DlgModflow = 104;
constexpr int BtnOk = 1, BtnCancel = 2, BtnMaxGrid = 1117, BtnDelr = 1053, BtnDelc = 1054;
constexpr int MenuModflow = 40010, MenuSurfer = 40011, MenuArcInfo = 40012, MenuFilled = 40015, MenuIso = 40016;
constexpr int PropEnabled = 1, PropChecked = 2;

std::string& gtext(GridText t) { return mainstate.gridtexts[static_cast<std::size_t>(t)]; }

void put_real(GridText t, float v) { txt_set(gtext(t), edit_f(v, GridTextLength, 2)); }
void put_count(GridText t, long long v) { txt_set(gtext(t), edit_i(v, GridTextLength)); }

// A count from an entered real: Surfer rounds to the nearest integer (halves
// away from zero), Arc-Info truncates. Values far outside any grid are held
// at a bound first so the conversion is defined; checkgrid clamps the rest.
std::int32_t count_of(float v, bool round) {
    if (std::isnan(v)) return 0;
    const double w = round ? std::round(static_cast<double>(v)) : std::trunc(static_cast<double>(v));
    if (w > 1.0e6) return 1000000;
    if (w < -1.0e6) return -1000000;
    return static_cast<std::int32_t>(w);
}

// A real from a grid text: unchanged when the text is empty or not a number.
void take(GridText t, float& v) {
    int ierr = 0;
    waarde(gtext(t), v, ierr);
}

// The grid as it was before a command, put back when the command is
// abandoned, with the Grid and Plot menus' marks that show it.
struct GridSnapshot {
    Dat8 d8;
    Dat12 d12;
    Dat18 d18;
    Dat17 d17;
    MainState ms;
    struct Mark {
        int item, kind, state;
    };
    std::array<Mark, 6> marks{{{MenuModflow, PropChecked, -1},
                               {MenuSurfer, PropChecked, -1},
                               {MenuArcInfo, PropChecked, -1},
                               {MenuFilled, PropChecked, -1},
                               {MenuIso, PropChecked, -1},
                               {MenuIso, PropEnabled, -1}}};
    void save() {
        d8 = dat8;
        d12 = dat12;
        d18 = dat18;
        d17 = dat17;
        ms = mainstate;
        for (Mark& m : marks) yymngflg(m.item, m.kind, m.state);
    }
    void restore() const {
        dat8 = d8;
        dat12 = d12;
        dat18 = d18;
        dat17 = d17;
        mainstate = ms;
        for (const Mark& m : marks)
            if (m.state >= 0) WMenuSetState(m.item, m.kind, m.state);
    }
};

void put_angle_text() { put_count(TxRot, rotang_degrees()); }

// An entered angle, when it is a number, becomes the rotation.
void take_angle() {
    float deg = std::nanf("");
    take(TxRot, deg);
    if (!std::isnan(deg)) dat12.rotang = degrees_to_rotang(deg);
}

// Entered counts, when they are numbers.
void take_counts(GridText tnx, GridText tny, bool round) {
    float vx = std::nanf(""), vy = std::nanf("");
    take(tnx, vx);
    take(tny, vy);
    if (!std::isnan(vx)) dat8.nx = count_of(vx, round);
    if (!std::isnan(vy)) dat8.ny = count_of(vy, round);
}

// A grid dialog goes when its command ends.
void unload(int dialog) {
    WDialogSelect(dialog);
    WDialogUnload();
}

// The text fields of a grid dialog and the grid texts they show, in the
// order the dialog is filled.
struct GridField {
    int field;
    GridText text;
};
constexpr GridField SurferFields[] = {{1001, TxX0}, {1004, TxY0}, {1006, TxX1}, {1007, TxY1},
                                      {1009, TxNx}, {1012, TxNy}, {1027, TxRot}};
constexpr GridField ArcInfoFields[] = {{1034, TxX0}, {1036, TxY0}, {1039, TxCell},
                                       {1035, TxX1}, {1037, TxY1}, {1041, TxRot}};
constexpr GridField ModflowFields[] = {{1049, TxX0}, {1050, TxY0}, {1051, TxRot}};

// The grid type's menu item checked, the other two not.
void check_grid_menu(int item) {
    for (int m : {MenuSurfer, MenuArcInfo, MenuModflow}) WMenuSetState(m, PropChecked, m == item ? 1 : 0);
}

void put_fields(std::span<const GridField> fields) {
    for (const auto& [field, text] : fields) WDialogPutString(field, gtext(text));
}

void read_fields(std::span<const GridField> fields) {
    for (const auto& [field, text] : fields) WDialogGetString(field, gtext(text));
}

// The end of the Surfer and Arc-Info commands: the entered angle, the
// recomputed grid, the dialog closed and the view redrawn. Entries that make
// no grid are reported and the command's changes undone; the dialog stays
// up with the entries as typed, for the user to correct them (false).
bool finish_regular(int type, int dialog, const GridSnapshot& before) {
    take_angle();
    if (!checkgrid(type)) {
        before.restore();
        return false;
    }
    unload(dialog);
    redraw_view();
    return true;
}

// The corners (Arc-Info: from the lower-left corner and the cell size) and
// the spacing of a grid whose counts are at least 2.
void grid_spacing(int type, Dat8& g) {
    if (type == GridArcInfo) {
        const float h = g.cellsize * 0.5f;
        g.gx0 = g.xll + h;
        g.gy0 = g.yll + h;
        g.gx1 = (g.xll - h) + g.cellsize * static_cast<float>(g.nx);
        g.gy1 = (g.yll - h) + g.cellsize * static_cast<float>(g.ny);
    }
    g.dx = (g.gx1 - g.gx0) / static_cast<float>(g.nx - 1);
    g.dy = (g.gy1 - g.gy0) / static_cast<float>(g.ny - 1);
}

// The kind of grid in force: the one Calculation computes and the map
// outlines.
enum class InForce { Surfer, ArcInfo, Modflow };
InForce grid_in_force() {
    if (mainstate.mfgrid == 1) return InForce::Modflow;
    return dat18.gridtype == GridArcInfo ? InForce::ArcInfo : InForce::Surfer;
}

// The Surfer or MODFLOW grid in force in the Arc-Info form: cells over the
// same area (a Surfer grid's points become cell centres, a MODFLOW grid's
// cells give their mean width and height), square at the finer of the two
// spacings, or at MaxGrid's size when that needs more cells than a grid
// holds. Points spaced alike in x and y are all kept. The first cell centre
// stays where it lies in the world, so a turned grid turns about it. False
// (the grid untouched) when the area gives no Arc-Info grid.
bool take_arcinfo_form(InForce kind) {
    Dat8 g = dat8;
    float x0 = 0, y0 = 0, w = 0, h = 0;
    std::int32_t cx = 0, cy = 0;
    if (kind == InForce::Modflow) {
        x0 = g.gx0;
        y0 = g.gy0;
        w = g.gx1 - g.gx0;
        h = g.gy1 - g.gy0;
        cx = dat16.ncol;
        cy = dat16.nrow;
    } else {
        if (g.nx < 2 || g.ny < 2) return false;
        const float sx = std::fabs(g.gx1 - g.gx0) / static_cast<float>(g.nx - 1);
        const float sy = std::fabs(g.gy1 - g.gy0) / static_cast<float>(g.ny - 1);
        x0 = std::fmin(g.gx0, g.gx1) - 0.5f * sx;
        y0 = std::fmin(g.gy0, g.gy1) - 0.5f * sy;
        w = sx * static_cast<float>(g.nx);
        h = sy * static_cast<float>(g.ny);
        cx = g.nx;
        cy = g.ny;
    }
    if (!(cx >= 1 && cy >= 1 && w > 0 && h > 0 && g.nxmax > 0 && g.nymax > 0)) return false;
    float c = std::fmin(w / static_cast<float>(cx), h / static_cast<float>(cy));
    g.nx = count_of(w / c, true);
    g.ny = count_of(h / c, true);
    if (g.nx > g.nxmax || g.ny > g.nymax) {
        c = std::fmax(w / static_cast<float>(g.nxmax), h / static_cast<float>(g.nymax));
        g.nx = std::min(count_of(w / c, true), g.nxmax);
        g.ny = std::min(count_of(h / c, true), g.nymax);
    }
    float ox = x0 + 0.5f * c, oy = y0 + 0.5f * c;
    rotate(ox, oy, -1);
    g.cellsize = c;
    g.xll = ox - 0.5f * c;
    g.yll = oy - 0.5f * c;
    if (!grid_fault(GridArcInfo, g).empty()) return false;
    grid_spacing(GridArcInfo, g);
    dat8 = g;
    return true;
}

}  // namespace

std::string grid_fault(int type, const Dat8& g) {
    if (type != GridSurfer && type != GridArcInfo) return {};
    const int nx = std::min(g.nx, g.nxmax), ny = std::min(g.ny, g.nymax);
    if (nx < 2 || ny < 2)
        return "a grid needs at least 2 points along x and along y; it has " + std::to_string(nx) + " x " +
               std::to_string(ny);
    if (type == GridArcInfo && !(g.cellsize > 0 && std::isfinite(g.cellsize)))
        return "the cell size " + txt_c(edit_g(g.cellsize, 15, 6)) + " is not a positive number";
    Dat8 d = g;
    d.nx = nx;
    d.ny = ny;
    grid_spacing(type, d);
    // Points that coincide, or lie beyond the range of numbers, make no grid.
    if (!(d.dx != 0 && d.dy != 0 && std::isfinite(d.dx) && std::isfinite(d.dy) && std::isfinite(d.gx0) &&
          std::isfinite(d.gy0) && std::isfinite(d.gx1) && std::isfinite(d.gy1)))
        return "the grid has no extent: its corners must differ in x and in y and be finite numbers";
    return {};
}

bool checkgrid(int type) {
    if (type != GridSurfer && type != GridArcInfo) return true;
    if (dat8.nx > dat8.nxmax) dat8.nx = dat8.nxmax;
    if (dat8.ny > dat8.nymax) dat8.ny = dat8.nymax;
    if (const std::string why = grid_fault(type, dat8); !why.empty()) {
        app_input_error(why);
        return false;
    }
    grid_spacing(type, dat8);
    return true;
}

void rotate_cs(float& x, float& y, int mode, float c, float s) {
    const float gx0 = dat8.gx0, gy0 = dat8.gy0;
    const float X = x - gx0, Y = y - gy0;
    if (mode == 1) {
        x = gx0 + X * c + Y * s;
        y = gy0 + Y * c - X * s;
    } else {
        x = gx0 + X * c - Y * s;
        y = gy0 + Y * c + X * s;
    }
}

void rotate(float& x, float& y, int mode) {
    const float r = dat12.rotang;
    rotate_cs(x, y, mode, std::cos(r), std::sin(r));
}

void chk_origin(float& x0, float& y0, float& x1, float& y1, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    const float dx = x1 - x0, dy = y1 - y0;
    const float u = dx * c + dy * s;
    const float v = dy * c - dx * s;
    const float ox0 = x0, oy0 = y0, ox1 = x1, oy1 = y1;
    if (u > 0 && v > 0) return;
    if (v > 0 && u < 0) {
        x0 = ox0 + u * c;
        y0 = oy0 + u * s;
        x1 = ox0 - v * s;
        y1 = oy0 + v * c;
    } else if (v < 0 && u < 0) {
        x0 = ox1;
        y0 = oy1;
        x1 = ox0;
        y1 = oy0;
    } else if (v < 0 && u > 0) {
        x0 = ox0 - v * s;
        y0 = oy0 + v * c;
        x1 = ox0 + u * c;
        y1 = oy0 + u * s;
    }
}

int rotang_degrees() {
    const long double deg = static_cast<long double>(dat12.rotang) * 180.0L / MainPi;
    const long double r = std::round(deg);
    if (!(std::fabs(r) < 1.0e9L)) return 0;
    return static_cast<int>(r);
}

float degrees_to_rotang(float degrees) {
    return static_cast<float>(static_cast<long double>(degrees * 0.0055555557f) * MainPi);
}

void cmd_surfer() {
    mainstate.showcontour = 0;
    mainstate.mfgrid = 0;
    mainstate.selflags = 2;
    dat18.gridtype = GridSurfer;
    check_grid_menu(MenuSurfer);
    WMenuSetState(MenuIso, PropEnabled, 1);
    if (dat8.nx >= 2 && dat8.ny >= 2) {
        dat8.dx = (dat8.gx1 - dat8.gx0) / static_cast<float>(dat8.nx - 1);
        dat8.dy = (dat8.gy1 - dat8.gy0) / static_cast<float>(dat8.ny - 1);
    }
    put_real(TxX0, std::fmin(dat8.gx0, dat8.gx1));
    put_real(TxX1, std::fmax(dat8.gx0, dat8.gx1));
    put_real(TxY0, std::fmin(dat8.gy0, dat8.gy1));
    put_real(TxY1, std::fmax(dat8.gy0, dat8.gy1));
    put_count(TxNx, dat8.nx);
    put_count(TxNy, dat8.ny);
    put_angle_text();

    auto put_and_show = [] {
        put_fields(SurferFields);
        WDialogShow(-1, -1, 0, 2);
    };
    // What a refused entry goes back to: the grid as the dialog opened.
    GridSnapshot before;
    before.save();
    WDialogLoad(DlgSurfer);
    put_and_show();
    for (;;) {
        const int id = app_wait_message();
        if (id == BtnMaxGrid) {
            dat8.gx0 = dat11.ext(1);
            dat8.gy0 = dat11.ext(2);
            dat8.gx1 = dat11.ext(3);
            dat8.gy1 = dat11.ext(4);
            dat8.nx = dat8.nxmax;
            dat8.ny = dat8.nymax;
            checkgrid(GridSurfer);
            put_real(TxX0, dat8.gx0);
            put_real(TxX1, dat8.gx1);
            put_real(TxY0, dat8.gy0);
            put_real(TxY1, dat8.gy1);
            put_count(TxNx, dat8.nx);
            put_count(TxNy, dat8.ny);
            put_and_show();
        } else if (id == BtnCancel) {
            unload(DlgSurfer);
            return;
        } else if (id == BtnOk) {
            read_fields(SurferFields);
            take(TxX0, dat8.gx0);
            take(TxY0, dat8.gy0);
            take(TxX1, dat8.gx1);
            take(TxY1, dat8.gy1);
            take_counts(TxNx, TxNy, true);
            if (finish_regular(GridSurfer, DlgSurfer, before)) return;
        }
    }
}

void cmd_arcinfo() {
    const InForce was = grid_in_force();
    mainstate.mfgrid = 0;
    mainstate.showcontour = 0;
    mainstate.selflags = 2;
    dat18.gridtype = GridArcInfo;
    mainstate.plotmode = 1;
    check_grid_menu(MenuArcInfo);
    WMenuSetState(MenuIso, PropChecked, 0);
    WMenuSetState(MenuIso, PropEnabled, 0);
    WMenuSetState(MenuFilled, PropChecked, 1);
    // The dialog opens on the grid in force: the cell size and corner of an
    // Arc-Info grid kept from before would not fit the counts of another.
    if (was != InForce::ArcInfo) take_arcinfo_form(was);

    // What a refused entry goes back to: the grid as the dialog opened.
    GridSnapshot before;
    before.save();
    int id = 0;
    do {
        put_real(TxX0, dat8.xll);
        put_count(TxX1, dat8.nx);
        put_real(TxY0, dat8.yll);
        put_count(TxY1, dat8.ny);
        put_real(TxCell, dat8.cellsize);
        put_angle_text();
        WDialogLoad(DlgArcInfo);
        put_fields(ArcInfoFields);
        WDialogShow(-1, -1, 0, 2);
        for (;;) {
            id = app_wait_message();
            if (id == BtnMaxGrid || id == BtnCancel) break;
            if (id != BtnOk) continue;
            read_fields(ArcInfoFields);
            take(TxX0, dat8.xll);
            take(TxY0, dat8.yll);
            take_counts(TxX1, TxY1, false);
            take(TxCell, dat8.cellsize);
            if (finish_regular(GridArcInfo, DlgArcInfo, before)) return;
        }
        if (id == BtnMaxGrid) {
            dat8.xll = dat11.ext(1);
            dat8.yll = dat11.ext(2);
            const float w = dat11.ext(3) - dat11.ext(1);
            const float h = dat11.ext(4) - dat11.ext(2);
            const float cw = w / static_cast<float>(dat8.nxmax);
            const float ch = h / static_cast<float>(dat8.nymax);
            dat8.cellsize = cw >= ch ? cw : ch;
            dat8.nx = count_of(w / dat8.cellsize, false);
            dat8.ny = count_of(h / dat8.cellsize, false);
            checkgrid(GridArcInfo);
        }
    } while (id == BtnMaxGrid);
    unload(DlgArcInfo);
}

void cmd_modflow() {
    GridSnapshot before;
    before.save();
    mainstate.showcontour = 0;
    mainstate.selflags = 2;
    check_grid_menu(MenuModflow);

    // The dialog opens on the lower-left corner and angle of the grid in
    // force, which the texts need not show (a grid read from the settings
    // sets none): an Arc-Info grid's corner is that of its cells, a Surfer
    // grid's its first point, in the world.
    float x = dat8.gx0, y = dat8.gy0;
    const InForce was = grid_in_force();
    if (was == InForce::ArcInfo) {
        x = dat8.xll;
        y = dat8.yll;
    } else if (was == InForce::Surfer) {
        x = std::fmin(dat8.gx0, dat8.gx1);
        y = std::fmin(dat8.gy0, dat8.gy1);
    }
    rotate(x, y, -1);
    put_real(TxX0, x);
    put_real(TxY0, y);
    put_angle_text();
    WDialogLoad(DlgModflow);
    WDialogPutRadioButton(1055);
    put_fields(ModflowFields);
    WDialogPutString(1047, dat17.delrfile);
    WDialogPutString(1048, dat17.delcfile);
    WDialogShow(-1, -1, 0, 2);
    for (;;) {
        const int id = app_wait_message();
        if (id == BtnDelr || id == BtnDelc) {
            std::string& name = id == BtnDelr ? dat17.delrfile : dat17.delcfile;
            selfile(name, "*", id == BtnDelr ? "Read DELR file" : "Read DELC file", id == BtnDelr ? 1047 : 1048, FileUse::Read);
        } else if (id == BtnOk || id == BtnCancel) {
            break;
        }
    }
    WDialogGetString(1047, dat17.delrfile);
    WDialogGetString(1048, dat17.delcfile);
    read_fields(ModflowFields);
    app_radio_position(1055, dat18.roworder);
    take(TxX0, dat8.gx0);
    take(TxY0, dat8.gy0);
    take_angle();

    // The files are read into work arrays and taken over only when both
    // give a grid, so a failed command leaves the MODFLOW grid as it was.
    static ModflowArray delr, delc, xcen, ycen;
    int ncol = dat16.ncol, nrow = dat16.nrow;
    delr = dat16.delr;
    delc = dat16.delc;
    xcen = dat16.xcen;
    ycen = dat16.ycen;
    int ierr = 0;
    const bool read_delc = !txt_blank(dat17.delcfile);
    if (!txt_blank(dat17.delrfile)) delr_c(dat17.delrfile, 1, ncol, delr, dat8.gx0, xcen, ierr);
    if (ierr == 0 && read_delc) delr_c(dat17.delcfile, 1, nrow, delc, dat8.gy0, ycen, ierr);
    if (ierr == 0 && (ncol < 1 || nrow < 1)) {
        app_input_error(ncol < 1 ? "no column widths: name a DELR file" : "no row heights: name a DELC file");
        ierr = ExitInputError;
    }
    if (ierr != 0) {
        unload(DlgModflow);
        before.restore();
        return;
    }
    dat16.ncol = ncol;
    dat16.nrow = nrow;
    dat16.delr = delr;
    dat16.delc = delc;
    dat16.xcen = xcen;
    dat16.ycen = ycen;
    mainstate.mfgrid = 1;
    dat18.gridtype = GridModflow;
    dat8.gx1 = dat16.xcen(ncol) + 0.5f * dat16.delr(ncol);
    dat8.gy1 = dat16.ycen(nrow) + 0.5f * dat16.delc(nrow);
    // Heights listed from the top row down are turned round so that row 1
    // is always the bottom row. Only heights read now are turned: heights
    // kept from an earlier command are in that order already.
    if (dat18.roworder == 1 && read_delc) {
        keerom(nrow, dat16.delc);
        delr_c(dat17.delcfile, 0, dat16.nrow, dat16.delc, dat8.gy0, dat16.ycen, ierr);
    }
    dat8.dx = (dat8.gx1 - dat8.gx0) / static_cast<float>(ncol);
    dat8.dy = (dat8.gy1 - dat8.gy0) / static_cast<float>(nrow);
    dat8.nx = ncol + 1;
    dat8.ny = nrow + 1;
    unload(DlgModflow);
    redraw_view();
}
