#include "app/filecmds.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "app/appdata.h"
#include "app/apphooks.h"
#include "app/femread.h"
#include "app/griddef.h"
#include "app/gridfiles.h"
#include "app/interp_internal.h"
#include "app/mainprog.h"
#include "app/mainstate.h"
#include "app/mapview.h"
#include "app/onemoment.h"
#include "app/profile.h"
#include "app/records.h"
#include "lib/dialog/commondlg.h"
#include "lib/dialog/dialog.h"
#include "lib/dialog/fields.h"
#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/window/help.h"
#include "lib/window/menus.h"
#include "lib/window/text.h"
#include "lib/window/winops.h"
#include "lib/window/wintext.h"
#include "platform/os_window.h"

namespace {

constexpr int PropEnabled = 1, PropChecked = 2;
constexpr int MenuModflow = 40010, MenuSurfer = 40011, MenuArcInfo = 40012, MenuFilled = 40015, MenuIso = 40016,
              MenuNetwork = 40023;
constexpr int AboutDialog = 105, AboutOk = 1, AboutClose = 2;
// Both leave the user in the directory chosen from. A model or map that is
// not there cannot be created by choosing it, so a file to read must exist.
constexpr int ReadFlags = FileMustExist | FileKeepDirectory;
constexpr int WriteFlags = FileSave | FilePrompt | FileKeepDirectory;

std::string& gtext(GridText t) { return mainstate.gridtexts[static_cast<std::size_t>(t)]; }

// A count of cells over a length, truncated; a huge or undefined quotient
// counts as too many.
std::int32_t cells_over(float length, float size) {
    const float n = length / size;
    if (!(n < 1.0e6f)) return 1000000;
    return static_cast<std::int32_t>(n);
}

// The texts of the About box.
struct AboutLine {
    int field;
    const char* text;
};
constexpr AboutLine AboutLines[] = {
    {1043, "Zeltramo 2.1"},
    {1044, "maximum number of nodes 45000"},
    {1045, "maximum number of elements 90000"},
    {1046, "maximum grid 500x500"},
    {1052, "maximum layers 17"},
    {1057, "node values of a model to grids"},
    {1058, "Surfer, Arc-Info and MODFLOW"},
};

// The hardcopy drivers of Print and Make WMF.
constexpr int PrinterDriver = 10, MetafileDriver = 11;

// The profile window while it is open, the map view otherwise.
void draw_current_picture() {
    if (mainstate.profwin == 1) profile_overlay();
    else redraw_view();
}

// The notice 2File shows while it writes, 22 characters.
std::string save_notice(int gridtype) {
    const char* t = gridtype == GridSurfer    ? "Save  Surfer grid"
                    : gridtype == GridArcInfo ? "Save Arc-Info grid"
                                              : "Save Modlfow matrix";
    return txt_fixed(t, 22);
}

// The steps of FEM file after a model was loaded.
void model_loaded() {
    MainState& m = mainstate;
    m.plotmode = 1;
    m.showcontour = 0;
    m.showmesh = 1;
    m.loaded = 1;
    WMenuSetState(MenuNetwork, PropChecked, 1);
    WMenuSetState(MenuFilled, PropChecked, 1);
    WMenuSetState(MenuIso, PropChecked, 0);
    WindowTitle("Zeltramo 2.1  " + txt_c(m.femname));
    if (default_grid()) {
        // The default grid is a regular grid: a MODFLOW grid of the model
        // before would otherwise still be calculated.
        m.mfgrid = 0;
        dat18.gridtype = GridArcInfo;
        WMenuSetState(MenuArcInfo, PropChecked, 1);
        WMenuSetState(MenuSurfer, PropChecked, 0);
        WMenuSetState(MenuModflow, PropChecked, 0);
        WMenuSetState(MenuFilled, PropEnabled, 0);
    }
    set_model_set(1);
    m.optstate[3] = 1;
    dat5.opton(3) = 'j';
}

}  // namespace

int selfile(std::string& name, std::string_view extension, std::string_view title, int field, FileUse use) {
    const std::string ext(extension);
    const std::string filter = "*." + ext + "|*." + ext + "|";
    // The dialog starts without a name; the caller's name is kept for a
    // cancelled selection.
    std::string chosen(TextLength, ' ');
    WSelectFile(filter, use == FileUse::Write ? WriteFlags : ReadFlags, chosen, title);
    const int length = winfodialog(4) == 1 ? static_cast<int>(txt_len(chosen)) : 0;
    if (length == 0) return 0;
    name = txt_fixed(chosen, TextLength);
    if (field > 0) WDialogPutString(field, name);
    return length;
}

bool default_grid() {
    const float w = dat9.vxmax - dat9.vxmin, h = dat9.vymax - dat9.vymin;
    float size = 0;
    std::int32_t nx = 0, ny = 0;
    if (w > 0 && h > 0 && dat8.nx > 1 && dat8.ny > 1) {
        size = std::fmin(w / static_cast<float>(dat8.nx - 1), h / static_cast<float>(dat8.ny - 1));
        nx = cells_over(w, size);
        ny = cells_over(h, size);
        // Too many cells for the grid: the cell size that MaxGrid of the
        // Arc-Info dialog takes.
        if ((nx > dat8.nxmax || ny > dat8.nymax) && dat8.nxmax > 0 && dat8.nymax > 0) {
            const float cw = w / static_cast<float>(dat8.nxmax), ch = h / static_cast<float>(dat8.nymax);
            size = cw >= ch ? cw : ch;
            nx = std::min(cells_over(w, size), dat8.nxmax);
            ny = std::min(cells_over(h, size), dat8.nymax);
        }
    }
    if (nx < 2 || ny < 2) {
        app_input_error("the model's extent " + txt_c(edit_f(w, 12, 2)) + " x " + txt_c(edit_f(h, 12, 2)) +
                        " gives fewer than 2 grid points along x or y; the grid stays as it was");
        return false;
    }
    txt_set(gtext(TxX0), edit_f(dat9.vxmin, GridTextLength, 2));
    txt_set(gtext(TxY0), edit_f(dat9.vymin, GridTextLength, 2));
    txt_set(gtext(TxX1), edit_f(dat9.vxmax, GridTextLength, 2));
    txt_set(gtext(TxY1), edit_f(dat9.vymax, GridTextLength, 2));
    // The counts in force when the grid is made, as the texts show them.
    txt_set(gtext(TxNx), edit_i(dat8.nx, GridTextLength));
    txt_set(gtext(TxNy), edit_i(dat8.ny, GridTextLength));
    dat8.xll = dat9.vxmin;
    dat8.yll = dat9.vymin;
    dat8.cellsize = size;
    dat8.nx = nx;
    dat8.ny = ny;
    // The grid is an Arc-Info grid: its points are the cell centres that its
    // header gives (xll + (c - 1/2) cellsize, ...), spaced by the cell size,
    // not points spread over the model's width, which the file would put
    // up to a cell off.
    dat8.gx0 = dat9.vxmin;
    dat8.gx1 = dat9.vxmax;
    dat8.gy0 = dat9.vymin;
    dat8.gy1 = dat9.vymax;
    if (!checkgrid(GridArcInfo)) return false;
    // The texts show the angle 0: a rotation kept from the model before
    // would turn the default grid off the model.
    dat12.rotang = 0;
    txt_set(gtext(TxCell), edit_f(size, GridTextLength, 2));
    txt_set(gtext(TxRot), edit_i(0, GridTextLength));
    return true;
}

void cmd_femfile() {
    MainState& m = mainstate;
    std::string name = m.femname;
    m.lname = selfile(name, "fem", "Read FEM file", 0, FileUse::Read);
    if (m.lname > 0) {
        const int status = leesfem(name);
        if (status == FemMissing) app_input_error("model file " + txt_c(name) + " not found");
        if (status == FemLoaded) {
            m.femname = name;
            model_loaded();
        }
    }
    // The load clears the window, also when it fails.
    redraw_view();
}

void cmd_2file() {
    MainState& m = mainstate;
    if (!grid_calculated()) {
        app_input_error("no grid has been calculated for this model and grid definition: "
                        "choose Calculation first; nothing was written");
        redraw_view();
        return;
    }
    std::string name = m.gridname;
    m.lname = selfile(name, "grd", "Save grid", 0, FileUse::Write);
    if (m.lname > 0) {
        m.gridname = name;
        windowcleararea(0, 0, 9999, 9999);
        prompt_line(save_notice(dat18.gridtype));
        savegrd(dat18.gridtype, m.gridname, dat18.roworder);
    }
    redraw_view();
}

void cmd_help() {
    const std::string file = home_name("zeltramo.hlp");
    std::error_code ec;
    if (mainstate.lname > 0 && std::filesystem::is_regular_file(name_to_utf8(file), ec)) {
        WHelpFile(file);
        return;
    }
    WMessageBox(0, 0, 1, "No help available", "Missing ZELTRAMO.HLP");
}

void cmd_about() {
    WDialogLoad(AboutDialog);
    for (const AboutLine& l : AboutLines) WDialogPutString(l.field, l.text);
    WDialogShow(-1, -1, 0, 2);
    // Only the box's own button ends it (or its close box): a click in the
    // map carries the same first value as the OK button.
    for (;;) {
        const int id = app_wait_message();
        if (id == AboutOk || id == AboutClose) break;
    }
    app_unload_dialog(AboutDialog);
}

void cmd_make_wmf() {
    MainState& m = mainstate;
    std::string name = m.wmfname;
    m.lname = selfile(name, "wmf", "Name of WMF file", 0, FileUse::Write);
    if (m.lname == 0) return;
    m.wmfname = name;
    igrhardcopyselect(1, MetafileDriver);
    igrhardcopy(txt_trim(m.wmfname));
    draw_current_picture();
    igrinit(" ");
    igrcolourmodel(24);
    // Back to the printer, so that the next Print prints instead of putting
    // the picture on the clipboard.
    igrhardcopyselect(1, PrinterDriver);
}

void cmd_print() {
    IGrArea(0, 0, 1, 1);
    WHardcopyOptions();
    std::string printed;
    if (winfodialog(4) == 1) {
        // A page can take seconds: the user sees that it is being printed,
        // with the set-up dialog gone and the last notice cleared.
        prompt_line("");
        onemoment("printing");
        os_show_now();
        // The page is drawn from the view as last set, fitted to the page's
        // proportions; the screen gets its own view back afterwards.
        const PageView page;
        igrinit("HP");
        igrcolourmodel(24);
        igrhardcopy(std::nullopt, "Zeltramo Print");
        draw_current_picture();
        igrhardcopy("S");
        igrinit("P");
        igrcolourmodel(24);
        printed = printed_file();
    }
    draw_current_picture();
    // A page that went to a file instead of a printer: where it is.
    if (!printed.empty()) prompt_line("printed to " + printed);
}
