#pragma once
// The main program: start-up, the batch conversion driven by a settings
// file named on the command line, the interactive start and the message
// loop with its keys, value read-out and command table, and the commands
// that end the program or switch parts of the map view.
#include <cstdint>
#include <string>
#include <string_view>

#include "lib/window/messages.h"

// The whole program, as the entry routine runs it. Every way out ends the
// process through the program's stop with an exit code: 0 after End or a
// successful batch conversion, the code of the failing step otherwise.
void zeltramo_main();

// Start-up up to the choice between batch and interactive work: defaults,
// working directory, library, root window with menu, tool bar and status
// bar, logo; the first command-line word into `femname`. 0, or the exit code
// of a start that cannot go on (the message has been written).
int main_startup();

// The working directory with a trailing separator into `home`, its length
// into `lhome`. False (message written) when names appended to it would not
// fit the 80 characters that hold it.
bool find_home();

// The batch conversion of the settings file named in `femname`. Returns the
// exit code: 0 when the grid and the settings file were written; the
// reader's code, or 2, with a message on standard error and neither file
// written, otherwise.
int batch_run();

// The interactive start: errors go to message boxes from now on; offers to
// read the settings file when it exists; enables close requests.
void interactive_start();

// One pass of the message loop: waits for a message and handles it.
void main_pass();
// The passes until the program has stopped.
void main_loop();

// Handles a message taken by main_pass (everything after the wait).
void handle_message(std::int32_t type, const WindowMessage& msg);

// The command of a menu message's first value; an identifier without a
// command does nothing.
void run_command(std::int32_t id);

// End (40004): closes the library's windows, writes the settings file and
// stops the program.
void cmd_end();
// Save > Auto-save (40028).
void cmd_autosave();
// Plot > Network (40023), GRID (40025), Filled contours (40015), Iso-lines (40016).
void cmd_network();
void cmd_gridpoints();
void cmd_filled_contours();
void cmd_isolines();

// Enables (1) or greys (0) the menu items that need a model.
void set_model_set(int state);

// The window title the loop sets: "Zeltramo 2.1  " and the model file name.
std::string main_title();
