#pragma once
// Process start-up of the platform layer: keeps the command line and brings
// up the GUI toolkit on first use. With no display (no DISPLAY and no
// WAYLAND_DISPLAY) the toolkit runs on its offscreen platform, so the program
// and every test work headless.
#include <string>
#include <vector>

// Keep the process's arguments. Call once, first thing in main.
void os_app_start(int argc, char** argv);

// The process's arguments as given (argv[0] first), UTF-8.
const std::vector<std::string>& os_app_args();

// Make sure the GUI toolkit is running; returns false when it cannot start.
bool os_app_gui();

// True when the toolkit runs without a real display.
bool os_app_headless();

// The default printer's entry, os_config().printer_name: once the toolkit
// runs, the machine's default printer is asked for the first time it is
// needed (loading the print system would cost every start, printing or not).
const std::string& os_app_printer_name();
// How many times the default printer's entry was asked for in this process
// (the machine itself at most once): a run that prints nothing asks none.
int os_app_printer_name_asks();

// Tests of what a person does drive the offscreen platform with real input:
// while on, the toolkit's own menus, message boxes and file dialogs are
// shown and wait to be answered, as they do on a display.
void os_app_set_user_driven(bool on);
// Someone can answer what is shown: a display, or such a test.
bool os_app_interactive();

// The toolkit would run on a real display (the rule os_app_gui follows),
// asked without starting it.
bool os_app_display_expected();

// The command line as one text (library text, 1252): the arguments joined by
// one blank, each argument that holds a blank but no double quote (and each
// empty argument) enclosed in double quotes, so that the library's
// tokenizer gives the arguments back.
std::string os_command_line();
