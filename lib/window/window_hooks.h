#pragma once
// Calls from the window layer into subsystems that plug in beside it:
// dialogs, the grid and editor windows, menus and tool bars,
// the graphics state and screen device, memory metafiles. Each entry may be empty;
// the window layer then goes on as if the subsystem had nothing to do.
#include <cstdint>

#include "lib/window/quinda_state.h"

struct OsMsg;

// What a dialog knows about one of its events.
struct DialogEventInfo {
    std::int32_t dialog_id = -1;
    std::int32_t previous_field = -1;
    std::int32_t current_field = -1;
    std::int32_t previous_tab = -1;
    std::int32_t current_tab = -1;
    std::int32_t previous_changed = -1;
    std::int32_t mouse_button = -1;
    std::int32_t graphics_field = 0;
};

struct WindowHooks {
    // ---- dialogs ----
    // Field classes, system control atoms, value store on, dialog brush cleared.
    void (*register_dialog_classes)() = nullptr;
    // Probes a dialog resource for combination with a window: 0 usable,
    // -1 not a dialog resource, -4 cannot be created, -2 wrong style. On 0,
    // width and height are its window size and resizable tells whether it
    // has a resize field.
    std::int32_t (*dialog_probe)(std::int32_t id, OsHandle owner, std::int32_t& width, std::int32_t& height,
                                 bool& resizable) = nullptr;
    // Before a dialog is combined with a child window or pane: 0 usable, -5
    // already loaded, -3 too many dialogs loaded.
    std::int32_t (*dialog_combine_check)(std::int32_t id) = nullptr;
    // A frame is closing: hide and unload every loaded dialog inside it or
    // owned by it (last loaded first), and let dialogs that would give the
    // focus back to it, or be owned by it, name the previous window instead.
    void (*dialog_window_closing)(OsHandle frame, OsHandle previous) = nullptr;
    // Loads the dialog into a slot's client (shown modeless at 0, 0 unless
    // show is false) and returns its window.
    OsHandle (*dialog_combine)(std::int32_t id, std::int32_t slot, bool show) = nullptr;
    // Enters a frame as the dialog's combined window.
    void (*dialog_set_combined)(OsHandle dialog, OsHandle frame) = nullptr;
    void (*dialog_make_current)(std::int32_t id) = nullptr;
    void (*dialog_repaint)(OsHandle dialog) = nullptr;
    bool (*dialog_is_resizable)(OsHandle dialog) = nullptr;
    // Hides and unloads a dialog given by its window.
    void (*dialog_unload)(OsHandle dialog) = nullptr;
    // Detach tab pages, destroy and forget every loaded dialog; clear the dialog globals.
    void (*dialog_shutdown)() = nullptr;
    // Clears the five dialog state words.
    void (*dialog_clear_state)() = nullptr;
    // No dialog has the keyboard any more (a window got the focus).
    void (*dialog_clear_current)() = nullptr;
    // Brings a combined dialog forward and gives it the focus.
    void (*dialog_focus)(OsHandle dialog) = nullptr;
    // The DialogType of the current dialog.
    std::int32_t (*dialog_type)() = nullptr;
    // The window of the current dialog, 0 when none.
    OsHandle (*dialog_current_window)() = nullptr;
    // Facts about a dialog event, and the last changed control stored back.
    bool (*dialog_event_info)(OsHandle window, DialogEventInfo& info) = nullptr;
    void (*dialog_set_last_changed)(OsHandle window, std::int32_t control) = nullptr;
    void (*resize_field)(std::int32_t dialog, std::int32_t field, std::int32_t width, std::int32_t height) = nullptr;
    // Client size of field id of the current dialog (0: the dialog).
    bool (*dialog_field_size)(std::int32_t id, std::int32_t& width, std::int32_t& height) = nullptr;
    // Cursors of dialog graphics fields: get, set, clear all.
    bool (*field_cursor)(std::int32_t field, std::int32_t& number) = nullptr;
    void (*set_field_cursor)(std::int32_t field, OsHandle cursor, std::int32_t number, bool show) = nullptr;
    void (*clear_field_cursors)() = nullptr;
    void (*set_field_cursor_pos)(std::int32_t x, std::int32_t y) = nullptr;
    // Draw every loaded dialog's title active when it is the window, else inactive.
    void (*dialog_titles)(OsHandle active) = nullptr;
    // Paints the saved snapshot of a window while a modal phase runs.
    void (*paint_snapshot)(OsHandle client) = nullptr;
    // Makes a loaded dialog current (WDialogSelect).
    void (*dialog_select)(std::int32_t id) = nullptr;
    // The id of the dialog a window belongs to, 0 when none.
    std::int32_t (*dialog_id_of)(OsHandle dialog) = nullptr;
    // The frame a dialog window is combined with, 0 when it is not combined.
    OsHandle (*dialog_combined_frame)(OsHandle dialog) = nullptr;
    // Whether a dialog's record asks for the root window's accelerators.
    bool (*dialog_root_accelerators)(OsHandle dialog) = nullptr;
    // The dialog's own keyboard handling; true when it took the message.
    bool (*dialog_keyboard)(OsHandle dialog, const OsMsg& m) = nullptr;

    // ---- grid and editor windows ----
    void (*register_grid_classes)() = nullptr;
    // An editor (kind 1) or grid (kind 4) window receives a frame message itself.
    std::intptr_t (*special_message)(OsHandle frame, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) = nullptr;
    // The keyboard handling of an editor (find dialog, two accelerator
    // tables) or grid window (two tables); true when it took the message.
    bool (*special_keyboard)(OsHandle frame, const OsMsg& m) = nullptr;
    // Height of an editor window's command line, 0 when none.
    std::int32_t (*special_extra_height)(OsHandle frame) = nullptr;
    // Releases what converting a window made: menus, accelerators, windows,
    // font and files of an editor or grid window, the record of a bitmap viewer.
    void (*special_release)(OsHandle frame, std::int32_t kind) = nullptr;

    // ---- graphics ----
    // Window-text state back to its opening values and the window font made.
    void (*window_text_open)() = nullptr;
    void (*default_palette)() = nullptr;     // build the default palette
    void (*graphics_init)() = nullptr;       // initialise the graphics state, no options
    // Pattern marked changed, pen style and line type 0, copy-pen, dash patterns scaled.
    void (*graphics_window_setup)() = nullptr;
    // Previous pen and font selected back into the graphics device context.
    void (*graphics_select_previous)() = nullptr;
    // The window device context became the graphics one: pattern, plot
    // mode, pen and font selected, dash patterns rescaled, palette realised.
    void (*graphics_window_select)() = nullptr;
    // Pixel size of the window font from its size in window units (after a
    // window selection or size change).
    void (*window_font_size)() = nullptr;
    // World units of a bitmap viewer's pixel position.
    void (*bitmap_viewer_i2e)(float px, float py, float& wx, float& wy, std::int32_t slot) = nullptr;

    // ---- memory metafiles ----
    void (*destroy_metafiles)() = nullptr;   // destroy memory metafiles in use
};

extern WindowHooks window_hooks;
