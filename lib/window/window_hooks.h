#pragma once
// The window layer does not call the hardcopy library: the memory
// metafiles enter their clean-up here at start-up. An empty entry means
// there is nothing to clean up (docs/wiring.md).
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
    // ---- memory metafiles ----
    void (*destroy_metafiles)() = nullptr;   // destroy memory metafiles in use
};

extern WindowHooks window_hooks;
