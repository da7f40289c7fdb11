#pragma once
// Services of parts of the program that are not built yet: the dialog
// services (the grid dialogs 101, 103 and 104, the progress dialog 111 and
// the BLN map dialog 112). Each is called through a hook; the work that
// provides the service points the hook at it. Until then the dialog services
// keep their field contents in memory (load, show and unload also act on the
// real dialog), and a wait for a message takes push buttons of the current
// dialog.
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct DialogHooks {
    void (*load)(int dialog) = nullptr;
    void (*show)(int x, int y, int focus, int mode) = nullptr;
    void (*put_string)(int field, std::string_view text) = nullptr;
    // Fills text (its size is the caller's declared length).
    void (*get_string)(int field, std::string& text) = nullptr;
    void (*put_radio)(int field) = nullptr;
    // The selected button of the radio group first..last.
    void (*get_radio)(int first, int last, int& selected) = nullptr;
    void (*range_progress)(int field, int lo, int hi) = nullptr;
    void (*put_progress)(int field, int value) = nullptr;
    void (*put_checkbox)(int field, int state) = nullptr;
    void (*get_checkbox)(int field, int& state) = nullptr;
    void (*put_integer)(int field, int value) = nullptr;
    void (*get_integer)(int field, int& value) = nullptr;
    // Field state: 1 enabled, 0 disabled.
    void (*field_state)(int field, int state) = nullptr;
    void (*unload)(int dialog) = nullptr;
    // Waits for the next library message and returns its first value (the
    // identifier of the pressed button or key).
    int (*wait)() = nullptr;
    // The polling form: the first value of a waiting message, -1 when none waits.
    int (*peek)() = nullptr;
};

extern DialogHooks dialog_hooks;

// The in-memory stand-in for the dialog services: field texts and radio
// selections, check boxes, integers and field states as last put, and the
// buttons that the next waits return (Cancel once they are used up; a poll
// with nothing left answers OK (1), so that a command polling for its end
// ends).
struct DialogStandIn {
    int loaded = 0;                                      // last dialog loaded, 0 none
    std::vector<std::pair<int, std::string>> fields;
    int radio = 0;                                       // the button last selected
    std::vector<int> radios;                             // every button selected since the load
    std::vector<int> buttons;                            // answers of the next waits, in order
    std::size_t next_button = 0;
    int progress = 0;
    std::vector<std::pair<int, int>> checks, integers, states;
};
extern DialogStandIn dialog_stand_in;

// Calls that go through the hooks (or the stand-ins).
void app_dialog_load(int dialog);
void app_dialog_show(int x, int y, int focus, int mode);
void app_dialog_put_string(int field, std::string_view text);
void app_dialog_get_string(int field, std::string& text);
void app_dialog_put_radio(int field);
void app_dialog_get_radio(int first, int last, int& selected);
void app_dialog_range_progress(int field, int lo, int hi);
void app_dialog_put_progress(int field, int value);
void app_dialog_unload(int dialog);
// Waits for a push button of the current dialog and returns its id; every
// other message is passed over. Without a current dialog: 2 (Cancel).
int app_wait_message();
// The polling form: the button id, or -1 when the next message (if any) is
// no push button of the current dialog; without a current dialog 1 (OK), so
// that a command polling for its end ends.
int app_peek_message();
void app_dialog_put_checkbox(int field, int state);
void app_dialog_get_checkbox(int field, int& state);
void app_dialog_put_integer(int field, int value);
void app_dialog_get_integer(int field, int& value);
void app_dialog_field_state(int field, int state);
// The colour dialog on a packed RGB colour (WSelectColour).
void app_select_colour(int& colour);

// Hooks and stand-ins back to their start. Used by tests.
void reset_app_hooks();
