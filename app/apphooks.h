#pragma once
// The program's waits for the user's answer in a modeless dialog, and the
// colour dialog.

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
