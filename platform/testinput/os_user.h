#pragma once
// Input as a person gives it, for the tests of what a person does. Every
// action goes through the toolkit's window-system interface to a top-level
// window, as the window system delivers it: keys to whatever holds the
// keyboard focus, pointer events to whatever lies under the pointer, the
// close box to the top-level window, clicks on the menu bar, its menus, the
// tool bar and the toolkit's own message boxes and file dialogs. So the
// toolkit's routing, our focus and the platform's translation are all inside
// what a test of this kind checks. Built only into the test programs.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/os_window.h"

// Turns real input on for the offscreen platform: menus, message boxes and
// file dialogs are shown and wait for an answer (os_app_set_user_driven).
void os_user_begin();
void os_user_end();

// ---- the keyboard ------------------------------------------------------------
// A key press and release (OS_VK_* code, OS_IN_* modifiers) to the window
// that holds the keyboard focus.
void os_user_key(std::int32_t vk, std::uint32_t mods = 0);
// Types a text, character by character, to the window holding the focus.
void os_user_type(std::string_view text);

// ---- the pointer ---------------------------------------------------------------
// Positions are given where a person aims: client pixels of a visible window
// (w). The event goes to w's top-level window at that place; the toolkit
// finds what lies there.
void os_user_move(OsWindow w, std::int32_t x, std::int32_t y);
void os_user_press(OsWindow w, std::int32_t x, std::int32_t y, std::int32_t button = 1);
void os_user_release(OsWindow w, std::int32_t x, std::int32_t y, std::int32_t button = 1);
void os_user_click(OsWindow w, std::int32_t x, std::int32_t y, std::int32_t button = 1);
// Moves to the first point, presses there, moves in steps to the second and
// releases.
void os_user_drag(OsWindow w, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1);
// The centre of a window (a dialog field, say), in its own client pixels,
// clicked.
void os_user_click_window(OsWindow w);

// The close box of a top-level window, as the window manager reports it.
void os_user_close(OsWindow top);

// ---- menus, tool bars and the toolkit's dialogs ------------------------------------
// Clicks the item of a frame's menu bar whose text is path[0] (mnemonic
// marks ignored), then in each menu that opens the item named next. False
// when the bar has no such item. The menus are answered when they appear.
bool os_user_menu(OsWindow frame, const std::vector<std::string>& path);
// Clicks the index-th button of a tool bar (separators count).
bool os_user_toolbar(OsWindow toolbar, int index);
// The menu that os_user_menu opened is still waiting for its next item.
bool os_user_menu_pending();

// What a shown message box says, and a click on its button with this text;
// false when no message box is up.
bool os_user_message_box_up(std::string* text = nullptr, std::string* caption = nullptr);
bool os_user_answer_message_box(std::string_view button);
// The file dialog that is up: its accept button's text; false when none is up.
bool os_user_file_dialog_up(std::string* accept_text = nullptr, std::string* title = nullptr);
// Types the name into the up file dialog's name field and presses Enter.
bool os_user_answer_file_dialog(std::string_view name);
// Presses Escape in the up toolkit dialog (file dialog or message box).
bool os_user_cancel_dialog();
// Any modal dialog of the toolkit that is up (page set-up, colour, font…):
// its title; false when none is up.
bool os_user_modal_up(std::string* title = nullptr);
// Clicks the button with this text in the modal toolkit dialog that is up.
bool os_user_press_button(std::string_view text);
// In the modal toolkit dialog that is up, chooses the item of the list box
// labelled `label` (mnemonic marks and the colon ignored) whose text starts
// with `item`: a click opens the list, a click on the item takes it. False
// while there is no such list or item.
bool os_user_choose(std::string_view label, std::string_view item);
// What the modal toolkit dialog that is up shows: the text of the list box
// labelled `label`, and whether the button with this text is checked.
std::string os_user_choice(std::string_view label);
bool os_user_checked(std::string_view button);

// What a person sees: every shown top-level window (the toolkit's dialogs
// too) drawn at its place, as a PNG.
bool os_user_grab_screen(const std::string& utf8_file);

// ---- a session ---------------------------------------------------------------------
// A person's actions taken in turn. A step whose `idle` is set runs only when
// the program waits for input (os_waiting_for_input); the others (answers to
// the toolkit's modal menus and dialogs) whenever they are polled. A step's
// act returns false while what it needs is not there yet; it is tried again.
struct OsUserStep {
    std::string what;
    bool idle = true;
    std::function<bool()> act;
};
// Starts the session; the steps are polled every few milliseconds from the
// toolkit's loop, whichever loop runs. When no step has been taken for
// `patience_ms`, stuck is called with the step that waits (it must not return
// into the program: a test prints, grabs the screen and ends the process).
void os_user_session(std::vector<OsUserStep> steps, int patience_ms,
                     std::function<void(const std::string&)> stuck);
// Steps not taken yet.
std::size_t os_user_steps_left();
// Stops polling; the steps left are dropped.
void os_user_session_end();
