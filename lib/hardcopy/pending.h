#pragma once
// Routines the options entry calls through a table: the dialog manager's
// result word and snapshots, set to the dialog manager's own. Tests put
// their own in to see the calls.
#include <cstdint>

struct HardcopyPending {
    // Dialog information item 4, the result of the last modal dialog, read
    // and written.
    std::int32_t (*dialog_result)();
    void (*set_dialog_result)(std::int32_t result);
    // Snapshot of the shown windows while a modal dialog is up (mode 1
    // take, 0 release), all but the window slot left out; status 0 or an
    // error code.
    void (*yygetwindowbitmap)(std::int32_t mode, std::int32_t leave_out, std::int32_t& status);
};

extern HardcopyPending hardcopy_pending;

// The dialog manager's own routines again. For tests.
void reset_hardcopy_pending();
