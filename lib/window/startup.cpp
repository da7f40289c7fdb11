// Program entry and library start-up.
#include "lib/window/startup.h"
#include "lib/dialog/dialog_window.h"
#include "lib/dialog/dialog.h"

#include <array>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/metafiles.h"
#include "lib/window/bytefile.h"
#include "lib/window/convert.h"
#include "lib/window/errors.h"
#include "lib/window/osservices.h"
#include "lib/window/quinda_state.h"
#include "lib/window/strings.h"
#include "lib/window/text.h"
#include "platform/os_error.h"
#include "platform/os_file.h"

StartupState startup_state;
StartupLinks startup_links;

namespace {

constexpr std::int32_t OnceDone = OnceFlagDone;

// The run time's handler for an exception nobody caught: say what it was
// and stop.
[[noreturn]] void runtime_exception_handler() {
    try {
        if (const std::exception_ptr e = std::current_exception()) std::rethrow_exception(e);
        std::fprintf(stderr, "Program stopped: terminate called without an exception\n");
    } catch (const std::exception& ex) {
        std::fprintf(stderr, "Program stopped: unhandled exception: %s\n", ex.what());
    } catch (...) {
        std::fprintf(stderr, "Program stopped: unhandled exception\n");
    }
    std::fflush(nullptr);
    std::abort();
}

bool file_exists(std::string_view name) {
    OsFileInfo info;
    return !name.empty() && os_file_info(name, info) == OS_OK && !(info.attributes & OS_ATTR_DIRECTORY);
}

// Step 8: the first existing candidate; blank when none exists, except
// that it stays "quinda.ini" while there is no home directory.
std::string find_settings_file() {
    std::string name(MaxPath, ' ');
    IOsVariable("QUININIT", name);
    if (!txt_blank(name) && file_exists(txt_trim(name))) return txt_c(name);
    if (file_exists("quinda.ini")) return "quinda.ini";
    const std::string_view home = txt_trim(quinda.LibraryHomeDirectory);
    if (home.empty()) return "quinda.ini";
    const std::string in_home = std::string(home) + "quinda.ini";
    if (file_exists(in_home)) return in_home;
    return {};
}

// The text after "=" from its first non-blank character on.
std::string text_value(std::string_view value) {
    const std::size_t p = value.find_first_not_of(' ');
    return p == std::string_view::npos ? std::string() : std::string(txt_trim(value.substr(p)));
}

void apply_settings_line(std::string line) {
    if (line.size() > SettingsLineLength) line.resize(SettingsLineLength);
    line = txt_fixed(line, SettingsLineLength);
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0 || eq == SettingsLineLength - 1) return;
    for (char& c : line)
        if (c == '\t') c = ' ';

    int first = 0, last = 0;
    const std::string_view key_part = std::string_view(line).substr(0, eq);
    ilocatestring(key_part, first, last);
    if (first == 0) return;
    const std::string_view key_text = key_part.substr(static_cast<std::size_t>(first - 1),
                                                      static_cast<std::size_t>(last - first + 1));
    if (key_text.size() < 3) return;
    std::string key = txt_fixed(key_text, 8);
    iuppercase(key);
    if (key.compare(0, 3, "VER") == 0) startup_state.version_requested = true;

    const std::string_view value = std::string_view(line).substr(eq + 1);
    if (txt_blank(value)) return;
    // The conversion's error is taken back at once; no report is made while
    // it is, since a text value is no fault of the file.
    int number = 0;
    const int mode = quinda.report_mode;
    quinda.report_mode = ReportNone;
    IStringToInteger(value, number);
    const bool converted = infoerror(1) == 0;
    quinda.report_mode = mode;

    if (key == "CHARDIR ") txt_set(quinda.CHARDIR, text_value(value));
    else if (key == "CHARSET ") txt_set(quinda.CHARSET, text_value(value));
    else if (!converted) return;
    else if (key == "DEBUG   ") idebuglevel(number);
    else if (key == "HPGL2   ") startup_state.HPGL2 = number;
    else if (key == "LFNGEN  ") {
        if (number != quinda.LFNPLOT) quinda.LFNGEN = number;
    } else if (key == "LFNPLOT ") {
        if (number != quinda.LFNGEN) quinda.LFNPLOT = number;
    } else if (key == "IPLOTTER") startup_state.IPLOTTER = number;
    else if (key == "PRINTER ") startup_state.PRINTER = number;
}

// Step 14: the argument's file first, then the remembered candidate.
void read_settings(std::string_view argument) {
    const std::int32_t unit = quinda.LFNGEN;
    bool opened = false;
    const std::string_view given = txt_trim(argument.substr(0, std::min(argument.size(), SettingsLineLength)));
    if (!given.empty() && file_exists(given)) opened = yyunitopen(unit, given, TextUnitRead) == OS_OK;
    if (!opened && !startup_state.settings_name.empty())
        opened = yyunitopen(unit, startup_state.settings_name, TextUnitRead) == OS_OK;
    if (!opened) return;
    std::string line;
    while (yyunitread(unit, line) == OS_OK) apply_settings_line(line);
    yyunitclose(unit);
}

void call(void (*fn)(std::int32_t), std::int32_t value) {
    if (fn) fn(value);
}

}  // namespace

int WinMain(MainProgramFn main_program) {
    std::set_terminate(runtime_exception_handler);
    if (main_program) main_program();
    // The same handler stays in place for whatever runs after the main
    // program; the run time ends with its streams flushed.
    std::set_terminate(runtime_exception_handler);
    std::fflush(nullptr);
    return 1;
}

void yywinitialise() {
    quinda.separator = DirectorySeparator;
    yygetdecimal(quinda.decimal_char);
    quinda.locale_decimal_switch = 0;

    std::string& home = quinda.LibraryHomeDirectory;
    IOsVariable("QUINDA", home);
    if (!txt_blank(home)) {
        const std::size_t n = txt_len(home);
        if (home[n - 1] != quinda.separator && n < home.size()) home[n] = quinda.separator;
    } else {
        IOsVariable("VARN", home);
        if (!txt_blank(home)) {
            const int at = indexnocase(home, "VARN", true);
            if (at > 0) std::fill(home.begin() + (at - 1), home.end(), ' ');
        } else {
            // No drives here: the one root stands for the drive of the
            // current directory.
            txt_set(home, std::string(1, quinda.separator) + "quin" + quinda.separator);
        }
    }
    quinda.LFNGEN = DefaultLFNGEN;
}

void winitialise(std::string_view settings_file) {
    // Only once.
    if (quinda.once_flag == OnceDone) return;
    quinda.once_flag = OnceDone;
    // The display's size, colours and default palette size.
    if (startup_links.display_info)
        startup_links.display_info(quinda.screen_width, quinda.screen_height, quinda.screen_colours,
                                   quinda.default_palette_size);
    // Separator, decimal character and the library's home directory.
    yywinitialise();
    // State words back to their start.
    quinda.LFNPLOT = DefaultLFNPLOT;
    quinda.window_open = 0;
    dialog_state.current_id = 0;
    quinda.window_text.last_font = {-1, -1, -1, -1, -1};
    quinda.last_error = 0;
    quinda.io_status = 0;
    quinda.os_status = 0;
    quinda.report_mode = ReportNone;
    quinda.status_kind = StatusKindNone;
    gstate.screen_flag = 0;
    gstate.hardcopy_flag = 0;
    gstate.temporary_selection = 0;
    clear_hardcopy_words();
    install_hardcopy_drivers();
    clear_memory_metafile_kinds();
    startup_state.PRINTER = startup_state.IPLOTTER = startup_state.HPGL2 = 0;
    gstate.aspect_ratio = 1.32f;
    quinda.EDITBUF.entries.clear();
    quinda.window_text.tag = ' ';
    quinda.undefined = UndefinedValue{};
    // The edit buffers of every window.
    quinda.EDITBUF.allocate();
    // The bell on.
    call(startup_links.set_bell, 1);
    // The character-set directory below the library's home.
    if (!txt_blank(quinda.LibraryHomeDirectory))
        txt_set(quinda.CHARDIR, txt_c(quinda.LibraryHomeDirectory) + "charsets");
    else
        txt_set(quinda.CHARDIR, "");
    // The settings file to read.
    startup_state.settings_name = find_settings_file();
    // The default character set and the spool files.
    txt_set(quinda.CHARSET, "standard.chr");
    yytmpprn();
    // The system directory.
    std::string sysdir;
    int status = 0;
    yysysdir(sysdir, status, static_cast<int>(MaxPath));
    txt_set(quinda.system_directory, status == OS_OK ? sysdir : std::string());
    // The debug level from QUINDEBUG.
    // Only the first character counts, so a longer value ("2 ", "12") is
    // read whole rather than refused for not fitting one character.
    std::string debug;
    int debug_length = 0;
    yygetenv(debug_length, "QUINDEBUG", debug, INT_MAX);
    if (debug_length > 0 && debug[0] != ' ') idebuglevel(static_cast<unsigned char>(debug[0]) - '0');
    // Nothing done so far counts as an error.
    quinda.last_error = 0;
    // The command line.
    std::string unused(1, ' ');
    yyargs(-1, unused);
    // The settings.
    read_settings(settings_file);
    // The character-set directory ends in a separator.
    const std::size_t n = txt_len(quinda.CHARDIR);
    if (n > 0 && quinda.CHARDIR[n - 1] != quinda.separator && n < quinda.CHARDIR.size())
        quinda.CHARDIR[n] = quinda.separator;
    // The hardcopy devices the settings chose.
    hcstate.models.hpgl2_device = 0;
    hcstate.models.hpgl2_chosen = 0;
    iprinter(startup_state.PRINTER);
    iplotter(startup_state.IPLOTTER);
    if (startup_state.HPGL2 != 0 || hcstate.models.hpgl2_device == 0) iprinter2(startup_state.HPGL2);
    // The image-print driver; the printer is asked when first needed.
    choose_start_image_printer();
    // A version request shows the version and ends the program.
    if (startup_state.version_requested) {
        std::string version(8, ' ');
        winfoversion(version);
        iosexitprogram("Quindarolex version " + txt_c(version), 0);
    }
}

void winfoversion(std::string& version) { txt_set(version, LibraryVersion); }

void iosexitprogram(std::string_view message, int code) {
    if (!txt_blank(message)) {
        std::string text = "Abnormal exit (code     ) :";
        std::string number(4, ' ');
        IntegerToString(code, number, "(I4)");
        std::string tail = text.substr(20);   // the code's field and ") :"
        tail.replace(0, 4, number);
        ijustifystring(tail, "L");
        text = text.substr(0, 20) + tail;
        text = txt_c(text) + " " + txt_c(message);
        yywinmessagebox("Quindarolex", text);
    }
    yyexit(code);
}

void reset_startup() {
    startup_state = StartupState{};
    startup_links = StartupLinks{};
}
