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

// The field routines built with typed fields, tab pages, trees and numeric
// classes. An empty entry is valid: there is nothing to attach and
// the caller goes on as if the field had nothing to say.
struct DialogFieldLinks {
    void (*tabdialoginit)(OsHandle dialog) = nullptr;
    void (*tabdialogend)(OsHandle dialog) = nullptr;
    // "[Tabs]" line: count, current page, the page lines; returns characters read.
    std::int32_t (*tab_build)(OsHandle dialog, OsHandle tab, const char* text, std::int32_t index) = nullptr;
    std::intptr_t (*tab_notify)(OsHandle dialog, std::intptr_t header) = nullptr;
    void (*TreeViewInit)(OsHandle tree, std::int32_t menu, std::int32_t select) = nullptr;
    void (*TreeViewCopy)(OsHandle dest, OsHandle source) = nullptr;
    std::intptr_t (*tree_notify)(OsHandle dialog, std::intptr_t header) = nullptr;
    // The present FieldState of a control (0..3).
    std::int32_t (*getfieldstate)(OsHandle control) = nullptr;
    void (*fieldenable)(OsHandle control, std::int32_t state, std::int32_t update) = nullptr;
    // 1 inside, 2 overlapping, 0 outside.
    std::int32_t (*FieldInRect)(OsHandle control, const OsRect& rect) = nullptr;
    // True when the field holds an invalid numeric value.
    bool (*outofrange)(OsHandle control) = nullptr;
    // Puts back the last valid text and value of a numeric field.
    void (*restore_valid)(OsHandle control) = nullptr;
    void (*DefaultButton)(OsHandle dialog) = nullptr;
    // Subclasses a control at dialog initialisation (edit, button, static,
    // trackbar, tab, tree procedures and the outer paint procedure).
    void (*subclass)(OsHandle control) = nullptr;
    // Whether a control is of a numeric class (which makes its own record).
    bool (*numeric_class)(OsHandle control) = nullptr;
    // The spin change of an up-down whose buddy is a numeric spin field.
    std::intptr_t (*spin_change)(OsHandle dialog, std::intptr_t notify) = nullptr;
};
extern DialogFieldLinks dialog_field_links;
