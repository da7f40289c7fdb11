#pragma once
// The program's waits for the user's answer in a modeless dialog, the
// colour dialog, and file selection, which is called through a hook until
// the work that provides it points the hook at it; until then it chooses
// nothing.
#include <string>
#include <string_view>

struct ViewHooks {
    // File selection: extension, title; the chosen name into name (80
    // characters). False when nothing was chosen.
    bool (*selfile)(std::string_view extension, std::string_view title, std::string& name) = nullptr;
};

extern ViewHooks view_hooks;

// Waits for a push button of the current dialog and returns its id; every
// other message is passed over. Without a current dialog: 2 (Cancel).
int app_wait_message();
// The polling form: the button id, or -1 when the next message (if any) is
// no push button of the current dialog; without a current dialog 1 (OK), so
// that a command polling for its end ends.
int app_peek_message();
// Unloads a dialog of the program when it is loaded (the main loop unloads
// its dialogs after every message, loaded or not).
void app_unload_dialog(int dialog);
// The position of the set button of the radio group that holds field in the
// current dialog; position stays as it is when none is set.
void app_radio_position(int field, int& position);
// The colour dialog on a packed RGB colour (WSelectColour).
void app_select_colour(int& colour);

bool app_selfile(std::string_view extension, std::string_view title, std::string& name);

// Hooks back to their start. Used by tests.
void reset_app_hooks();
