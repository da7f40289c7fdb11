#include "app/mainprog.h"

#include <array>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "app/appdata.h"
#include "app/apphooks.h"
#include "app/femread.h"
#include "app/filecmds.h"
#include "app/griddef.h"
#include "app/flowlines.h"
#include "app/intersect.h"
#include "app/nodal.h"
#include "app/profile.h"
#include "app/gridfiles.h"
#include "app/interp.h"
#include "app/interp_internal.h"
#include "app/logo.h"
#include "app/mainstate.h"
#include "app/maplayers.h"
#include "app/mapview.h"
#include "app/modflow.h"
#include "app/options.h"
#include "app/readout.h"
#include "app/records.h"
#include "app/settings.h"
#include "app/viewcmds.h"
#include "lib/dialog/dialog.h"
#include "lib/dialog/fields.h"
#include "lib/graphics/colours.h"
#include "lib/window/exitprog.h"
#include "lib/window/fetch.h"
#include "lib/window/menus.h"
#include "lib/window/osservices.h"
#include "lib/window/rootwin.h"
#include "lib/window/startup.h"
#include "lib/window/text.h"
#include "lib/window/winclose.h"
#include "lib/window/winops.h"
#include "platform/os_app.h"
#include "platform/os_codepage.h"
#include "platform/os_error.h"
#include "platform/os_file.h"

namespace {

constexpr std::string_view Title = "Zeltramo 2.1";
constexpr int RootMenu = 30001, RootToolbar = 30101;
constexpr int PropEnabled = 1, PropChecked = 2;
constexpr int MenuEnd = 40004, MenuModflow = 40010, MenuSurfer = 40011, MenuArcInfo = 40012;
constexpr int MenuFilled = 40015, MenuIso = 40016, MenuNetwork = 40023, MenuGridPts = 40025, MenuAutosave = 40028;
constexpr int FirstCommand = 40001, LastCommand = 40041;
constexpr int MenuBlnMap = 117;

// The items that need a model: the Save, Profile, Grid, Plot and (Un)Zoom
// pop-ups and Options, Calculation, Intersect and Flowlines.
constexpr std::array<int, 9> ModelSet{40014, 40005, 40006, 40033, 40038, 40002, 40003, 40007, 40040};

// `home` holds 80 characters, and the longest name appended to it has 12.
constexpr int HomeRoom = TextLength - 12;

// Interactively an input error is shown in a message box; the command that
// met it is abandoned by its own code.
void error_box(std::string_view message) { WMessageBox(0, 3, 1, message, "Zeltramo"); }

// The batch run's stop.
int batch_failure(std::string_view message) {
    app_input_error(message);
    return ExitInputError;
}

// The interpolation of a batch run and of the settings start, with the
// batch run's fixed flags. False when the grid could not be made.
bool batch_interpolation() {
    if (dat18.gridtype == GridModflow) return modflow_grid(-1, 1, 0, 1, 1, 1, 0, 0);
    return grid(1, 1, 0, 1, 1, 0, 0, 0);
}

// The settings file read at an interactive start. A file that cannot be
// read, or a model that is not there, leaves the program as a start
// without reading it does.
void settings_start() {
    SettingsRead r;
    const int st = read_settings(r);
    if (st == 0 && r.model == FemMissing) app_input_error("model file " + txt_c(r.femname) + " not found");
    if (st != 0 || r.model == FemMissing) {
        redraw_view();
        return;
    }
    MainState& m = mainstate;
    m.femname = r.femname;
    m.gridname = r.gridname;
    m.mfgrid = r.mfgrid;
    if (r.option >= 0) m.optstate[static_cast<std::size_t>(r.option)] = 1;
    m.showcontour = m.showgridpts = m.loaded = m.showmaps = m.showmesh = 1;
    m.plotmode = 1;
    if (batch_interpolation()) note_grid_calculated();
    if (r.option >= 0) option_status(r.option);
    redraw_view();
    set_model_set(1);
    const int item = dat18.gridtype == GridSurfer ? MenuSurfer : dat18.gridtype == GridArcInfo ? MenuArcInfo : MenuModflow;
    WMenuSetState(item, PropChecked, 1);
}

using Command = void (*)();

void redraw_command() {
    redraw_view();
    profile_overlay();
}

// Commands by identifier 40001..40041; the empty entries are pop-ups or
// commands of other parts of the program.
const std::array<Command, LastCommand - FirstCommand + 1>& command_table() {
    static const auto table = [] {
        std::array<Command, LastCommand - FirstCommand + 1> t{};
        auto set = [&t](int id, Command c) { t[static_cast<std::size_t>(id - FirstCommand)] = c; };
        set(40001, cmd_femfile);
        set(MenuEnd, cmd_end);
        set(40005, cmd_options);
        set(40006, cmd_calculation);
        set(40008, cmd_original);
        set(40009, cmd_zoom);
        set(MenuModflow, cmd_modflow);
        set(MenuSurfer, cmd_surfer);
        set(MenuArcInfo, cmd_arcinfo);
        set(MenuFilled, cmd_filled_contours);
        set(MenuIso, cmd_isolines);
        set(40017, cmd_zoom2grid);
        set(40019, cmd_location_size);
        set(40020, cmd_rotation);
        set(MenuNetwork, cmd_network);
        set(MenuGridPts, cmd_gridpoints);
        set(40013, cmd_make_wmf);
        set(40027, cmd_2file);
        set(40041, cmd_print);
        set(MenuAutosave, cmd_autosave);
        set(40030, cmd_help);
        set(40031, cmd_about);
        set(40034, cmd_profile_numerical);
        set(40035, cmd_profile_graphical);
        set(40037, cmd_nodal_areas);
        set(40038, cmd_intersect);
        set(40039, cmd_center);
        set(40040, cmd_flowlines);
        return t;
    }();
    return table;
}

bool carries_pointer(std::int32_t type) {
    return type == MsgKey || type == MsgMouseDown || type == MsgMouseUp || type == MsgMouseMove ||
           type == MsgDoubleClick;
}

void toggle(std::int32_t& flag, int item) {
    flag = flag == 0 ? 1 : 0;
    WMenuSetState(item, PropChecked, flag);
}

}  // namespace

void set_model_set(int state) {
    for (int id : ModelSet) WMenuSetState(id, PropEnabled, state);
}

bool find_home() {
    std::string dir;
    int status = 0, too_small = 0;
    yydirn(dir, status, too_small, 4096);
    if (status != 0 || dir.empty()) {
        app_input_error("the working directory cannot be found");
        return false;
    }
    // Every file of the program is named from here: a directory that the
    // program's text cannot name would send them somewhere else.
    std::error_code ec;
    if (name_to_utf8(dir) != std::filesystem::current_path(ec).native() || ec) {
        app_input_error("the working directory " + dir +
                        " holds characters the program's file names cannot hold; start the program in another "
                        "directory");
        return false;
    }
    if (dir.back() != DirectorySeparator) dir += DirectorySeparator;
    // A longer directory would be cut, and the program's files would be
    // written somewhere else.
    if (static_cast<int>(dir.size()) > HomeRoom) {
        app_input_error("the working directory " + dir + " is longer than " + std::to_string(HomeRoom) +
                        " characters; start the program in a directory with a shorter path");
        return false;
    }
    dat19.home = txt_fixed(dir, TextLength);
    dat19.lhome = static_cast<std::int32_t>(dir.size());
    return true;
}

int main_startup() {
    MainState& m = mainstate;
    app_data_large_pages();
    app_data_startup_defaults();
    m.plotmode = 0;
    m.nprofpts = 100;
    m.shownodal = 0;
    if (!find_home()) return ExitInputError;
    m.profname = txt_fixed(home_name("profile.res"), TextLength);
    dat8.nx = 100;
    dat8.ny = 100;
    winitialise(" ");
    WindowOpen(WinSysMenu | WinMinBox | WinMaxBox | WinStatusBar, -1, -1, 0, 0, RootMenu, {}, 0, Title);
    m.selflags = 10;
    set_model_set(0);
    WMenuToolbar(RootToolbar, 0, 3);
    const std::array<std::int32_t, 4> widths{2000, 1500, 4000, -1};
    windowstatusbarparts(4, widths);
    windowoutstatusbar(3, "option: ");
    windowoutstatusbar(2, "value: ");
    m.profwin = 0;
    logo();
    argv(m.femname, 1);
    // A name the program's text cannot hold would be looked for as another.
    const auto& args = os_app_args();
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string name;
        if (const std::string why = name_from_utf8(args[i], name); !why.empty()) {
            app_input_error("the command line names " + os_utf8_to_cp1252(args[i]) + ": " + why);
            return ExitInputError;
        }
    }
    igrcolourmodel(24);
    return 0;
}

// The directory of the settings file, locked for the whole of a batch run:
// a second run there waits, so that the grid and the settings file left
// behind come from one run.
class SettingsDirLock {
public:
    SettingsDirLock() {
        const std::string name = settings_file_name();
        const std::size_t slash = name.rfind('/');
        const std::string dir = slash == std::string::npos ? std::string(".") : name.substr(0, slash + 1);
        if (os_lock_acquire(dir, lock_) != OS_OK) lock_ = -1;
    }
    ~SettingsDirLock() { os_lock_release(lock_); }
    SettingsDirLock(const SettingsDirLock&) = delete;
    SettingsDirLock& operator=(const SettingsDirLock&) = delete;

private:
    std::int32_t lock_ = -1;
};

int batch_run() {
    const SettingsDirLock lock;
    MainState& m = mainstate;
    SettingsRead r;
    if (const int st = read_settings_batch(m.femname, r)) return st;
    if (r.model == FemMissing) return batch_failure("model file " + txt_c(r.femname) + " not found");
    if (r.option < 0) return batch_failure("no quantity to interpolate is named in " + txt_c(m.femname));
    m.femname = r.femname;
    m.gridname = r.gridname;
    if (!batch_interpolation()) return ExitInputError;
    // The grid and the settings naming it replace their files together, or
    // neither does.
    TextOut grid_file, settings;
    if (!grid_output(dat18.gridtype, m.gridname, dat18.roworder, grid_file)) return ExitInputError;
    plot(1, 1, 1, 1, 1, 1, 1, 1, 0);
    if (!settings_output(settings, m.femname, m.gridname)) return ExitInputError;
    if (!commit_outputs({&grid_file, &settings})) return ExitInputError;
    return 0;
}

void interactive_start() {
    app_set_error_sink(error_box);
    std::error_code ec;
    if (std::filesystem::is_regular_file(name_to_utf8(settings_file_name()), ec)) {
        WMessageBox(3, 2, 2, "Read default settings from ini file?", "Input");
        if (winfodialog(4) == 1) settings_start();
    }
    wmessageenable(MsgClose, 1);
}

std::string main_title() {
    MainState& m = mainstate;
    m.lname = static_cast<std::int32_t>(txt_len(m.femname));
    return std::string(Title) + "  " + m.femname.substr(0, static_cast<std::size_t>(m.lname));
}

void main_pass() {
    MainState& m = mainstate;
    wmessageenable(MsgMouseMove, 1);
    wmessage(m.msgtype, m.msg);
    const WindowMessage msg = m.msg;
    handle_message(m.msgtype, msg);
}

void handle_message(std::int32_t type, const WindowMessage& msg) {
    MainState& m = mainstate;
    if (carries_pointer(type)) {
        m.px = msg.GX;
        m.py = msg.GY;
    }
    windowoutstatusbar(1, "x,y:" + edit_f(m.px, 12, 2) + edit_f(m.py, 12, 2));
    wmessageenable(MsgMouseMove, 0);
    WindowTitle(main_title());
    if (type == MsgKey && view_key(msg.VALUE1)) redraw_view();
    value_readout(m.px, m.py);
    wmessageenable(MsgResize, 1);
    wmessageenable(MsgExpose, 1);
    for (int d = 101; d <= 104; ++d) app_unload_dialog(d);
    if (type == MsgMouseDown && m.shownodal == 1) nodal_readout(m.px, m.py);
    WMenuSetState(MenuFilled, PropEnabled, dat18.gridtype == GridArcInfo ? 0 : 1);
    switch (type) {
        case MsgMenu: run_command(msg.VALUE1); break;
        case MsgExpose:
        case MsgResize:
            backcol(15, 1);
            redraw_view();
            profile_overlay();
            break;
        case MsgClose:
            // While the profile window is open, a close request (its own
            // close box or the main window's) closes only that window; the
            // next one ends the program.
            if (close_profile_window()) break;
            cmd_end();
            break;
        default: break;
    }
}

void run_command(std::int32_t id) {
    if (id == 7 || id == 8) return redraw_command();
    if (id == MenuBlnMap) return cmd_blnmap();
    if (id < FirstCommand || id > LastCommand) return;
    if (const Command c = command_table()[static_cast<std::size_t>(id - FirstCommand)]) c();
}

void main_loop() {
    while (!mainstate.ended) main_pass();
}

void cmd_end() {
    windowclose();
    const bool saved = write_settings(mainstate.femname);
    mainstate.ended = true;
    exit_program(" ", saved ? 0 : ExitInputError);
}

void cmd_autosave() { toggle(mainstate.autosave, MenuAutosave); }

void cmd_network() {
    toggle(mainstate.showmesh, MenuNetwork);
    redraw_view();
}

void cmd_gridpoints() {
    toggle(mainstate.showgridpts, MenuGridPts);
    redraw_view();
}

void cmd_filled_contours() {
    WMenuSetState(MenuFilled, PropChecked, 1);
    WMenuSetState(MenuIso, PropChecked, 0);
    mainstate.plotmode = 1;
    redraw_view();
}

void cmd_isolines() {
    WMenuSetState(MenuFilled, PropChecked, 0);
    WMenuSetState(MenuIso, PropChecked, 1);
    mainstate.plotmode = -1;
    redraw_view();
}

void zeltramo_main() {
    if (const int st = main_startup()) return exit_program(" ", st);
    if (!txt_blank(mainstate.femname)) {
        const int st = batch_run();
        mainstate.ended = true;
        return exit_program(" ", st);
    }
    interactive_start();
    main_loop();
}
