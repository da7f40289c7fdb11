#pragma once
// Program entry and library start-up: the entry routine that runs the
// application's main program, the one-time initialisation winitialise with
// the settings file "quinda.ini", the version text and the orderly stop of
// the program.
#include <cstdint>
#include <string>
#include <string_view>

#include "lib/window/wininfo.h"

// The application's main program.
using MainProgramFn = void (*)();

// Runs the main program; an exception that escapes it ends the process
// through the run time's handler (message on standard error, abort). The
// result, when it returns, is 1.
int WinMain(MainProgramFn main_program);

// Once per process; later calls return at once. The settings file name is
// optional (absent or blank: searched).
void winitialise(std::string_view settings_file = {});
void yywinitialise();
void winfoversion(std::string& version);
// Shows a non-blank message in a stop box ("Abnormal exit (code n) : ...")
// and ends the process with the code. Returns only when a test double
// replaced the process end.
void iosexitprogram(std::string_view message, int code);

constexpr std::string_view LibraryVersion = "6.10";
constexpr std::size_t SettingsLineLength = 270;

// What the settings file said for the hardcopy subsystem; handed to it
// after the whole file is read.
struct StartupState {
    std::string settings_name;       // the remembered candidate (260 characters)
    std::int32_t PRINTER = 0;
    std::int32_t IPLOTTER = 0;
    std::int32_t HPGL2 = 0;
    bool version_requested = false;
};
extern StartupState startup_state;

// Subsystems that start-up and the file-name queries call. Each entry is
// filled by the subsystem that provides it; an empty entry does nothing
// (a name query then gives a blank name).
struct StartupLinks {
    // Windows: the display's width, height, colour count and default
    // palette size; the bell on (1) or off (0). The window layer's own
    // routines unless a test replaces them.
    void (*display_info)(std::int32_t& width, std::int32_t& height, std::int32_t& colours,
                         std::int32_t& palette) = yygetdisplayinfo;
    void (*set_bell)(std::int32_t on) = yysetbell;
    // Hardcopy: clear its start-up words (printer and plotter words, the
    // two further hardcopy words, the memory-metafile kinds, the print-image
    // and second hardcopy file names), the HP-GL/2 device type, the model
    // selections, the image-print driver and the spool file names.
    void (*clear_hardcopy_words)() = nullptr;
    std::int32_t (*hpgl2_device_type)() = nullptr;
    void (*set_hpgl2_device_type)(std::int32_t type) = nullptr;
    void (*iprinter)(std::int32_t model) = nullptr;
    void (*iplotter)(std::int32_t model) = nullptr;
    void (*iprinter2)(std::int32_t type) = nullptr;
    void (*igrprintimageselect)(std::int32_t driver) = nullptr;
    void (*yytmpprn)() = nullptr;
    // Hardcopy: the file name selected for printing an image.
    std::string (*print_image_name)() = nullptr;
};
extern StartupLinks startup_links;

// Back to the state before winitialise, links emptied. For tests.
void reset_startup();
