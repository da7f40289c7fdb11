#pragma once
// Input errors that end a batch run. In a batch run (a settings file named on
// the command line) such an error ends the program with its message on
// standard error and its exit code; interactively it is reported like any
// other input error (a message box) and the command that met it is
// abandoned, leaving the loaded model and the grid as they were.
#include <string_view>

// Exit code of a batch run ended by an input error that has no code of its
// own (a file that cannot be read, text where a number is due).
constexpr int InputErrorExitCode = 2;

struct AppRunMode {
    bool batch = false;   // set by the main program's batch run
};
extern AppRunMode app_run_mode;

// Reports the error; in a batch run ends the program with the code. Returns
// (interactive runs, or a test's stand-in for ending the program) so the
// caller abandons its command.
void app_stop(std::string_view message, int code);

void reset_app_run_mode();
