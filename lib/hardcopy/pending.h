#pragma once
// Routines the options entry and the image print options call: the dialog
// manager's result word and snapshots (test seams, set to the dialog
// manager's own), and work not built yet: the hardcopy set-up dialogs and
// image reading. Until their owners land, each of those answers as a system
// without them would: every dialog is cancelled (result 0) and no image file
// can be read. The work that builds a routine removes its entry here and the
// callers call it directly.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

struct HardcopyOptionTable;

struct HardcopyPending {
    // Dialog information item 4, the result of the last modal dialog, read
    // and written.
    std::int32_t (*dialog_result)();
    void (*set_dialog_result)(std::int32_t result);
    // Snapshot of the shown windows while a modal dialog is up (mode 1
    // take, 0 release); status 0 or an error code.
    void (*yygetwindowbitmap)(std::int32_t mode, std::int32_t word, std::int32_t& status);
    // The printer and plotter set-up dialog and the driver option set-up
    // dialog; both leave their outcome in the dialog result.
    void (*yypgdlg1)(std::int32_t units, std::string& name, std::int32_t driver, HardcopyOptionTable& options,
                     std::int32_t fixed_format, std::int32_t restricted);
    void (*yypgdlg2)(std::int32_t units, std::string& name, std::int32_t resource, std::int32_t mode,
                     std::int32_t restricted);
};

extern HardcopyPending hardcopy_pending;

// The answers of a system without those routines. For tests.
void reset_hardcopy_pending();
