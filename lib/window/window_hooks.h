#pragma once
// Calls from the window layer into subsystems not built yet: the
// grid and editor windows, bitmap viewers and memory
// metafiles. Each entry may be empty; the window layer then goes on as if
// the subsystem had nothing to do. The issue that builds a subsystem calls
// it directly and deletes its entries (docs/wiring.md).
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
    // ---- grid and editor windows ----
    // An editor (kind 1) or grid (kind 4) window receives a frame message itself.
    std::intptr_t (*special_message)(OsHandle frame, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) = nullptr;
    // The keyboard handling of an editor (find dialog, two accelerator
    // tables) or grid window (two tables); true when it took the message.
    bool (*special_keyboard)(OsHandle frame, const OsMsg& m) = nullptr;
    // Height of an editor window's command line, 0 when none.
    std::int32_t (*special_extra_height)(OsHandle frame) = nullptr;
    // Releases what converting an editor or grid window made: menus,
    // accelerators, windows, font and files (through yyspecialrelease).
    void (*special_release)(OsHandle frame, std::int32_t kind) = nullptr;

    // ---- memory metafiles ----
    void (*destroy_metafiles)() = nullptr;   // destroy memory metafiles in use
};

extern WindowHooks window_hooks;
