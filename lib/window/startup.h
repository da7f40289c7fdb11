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

// What start-up and the file-name queries call (docs/wiring.md): test seams
// set to the window layer's own routines, and entries of subsystems not
// built yet, which the issue building the subsystem replaces by direct
// calls. An empty entry does nothing (a name query then gives a blank name).
struct StartupLinks {
    // Test seams: the display's width, height, colour count and default
    // palette size; the bell on (1) or off (0).
    void (*display_info)(std::int32_t& width, std::int32_t& height, std::int32_t& colours,
                         std::int32_t& palette) = yygetdisplayinfo;
    void (*set_bell)(std::int32_t on) = yysetbell;
};
extern StartupLinks startup_links;

// Back to the state before winitialise, links emptied. For tests.
void reset_startup();
