#pragma once
// The record every control of a dialog keeps (its window's user data), the
// small field services the dialog manager needs of it, and the table through
// which the dialog manager reaches the field routines built beside it.
#include <cstdint>
#include <string>
#include <vector>

#include "lib/window/quinda_state.h"
#include "platform/os_window.h"

struct FieldRecord {
    double value = 0.0;
    double range_min = 1000.0;   // a minimum above the maximum: no range
    double range_max = -1000.0;
    double spin_small = 0.0;
    double spin_large = 0.0;
    std::int32_t spin_offset = 0;
    std::int32_t defined = 0;
    OsHandle buddy = 0;
    OsWndProc previous_proc = nullptr;
    std::int32_t graphics_field = 0;
    std::int32_t text_colour = -1;
    std::int32_t background_colour = -1;
    std::int32_t tab_pressed = 0;
    std::int32_t text_limit = 0;
    std::int32_t state = 0;
    std::int32_t tab_count = 0;
    std::vector<std::int32_t> tabs;
    // Shared between a dialog and its modal copy, which never frees it.
    std::string* format = nullptr;
    std::int32_t report_changes = 0;
    std::int32_t right_distance = 0;
    std::int32_t bottom_distance = 0;
    std::int32_t anchors = 0;
    std::int32_t flags = 0;
    std::int32_t cursor = 0;
    // The library's number of that cursor.
    std::int32_t cursor_number = 0;
};

// The record of a control, nullptr when it has none.
FieldRecord* yyfieldrecord(OsHandle control);
// Range limits of a field's record (a minimum above the maximum: no range).
void yyfieldrange2(OsHandle control, double min, double max);
// One colour of a field's record: which 1 text, 2 background; red -1 leaves
// it, red 256 restores the default, else the components modulo 256.
void yyFieldColour2(OsHandle control, std::int32_t which, std::int32_t red, std::int32_t green, std::int32_t blue);
// Records the control as the dialog's last active control, and upwards
// through dialogs that lie inside other dialogs.
void yyUpdateLast(OsHandle dialog, OsHandle control);
