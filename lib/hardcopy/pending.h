#pragma once
// Routines the options entry and the image print options call: the dialog
// manager's result word and snapshots (test seams, set to the dialog
// manager's own), and work not built yet: the hardcopy set-up dialogs, the
// printer query and image reading.
// Until their owners land, each of those answers as a system without them
// would: every dialog is cancelled (result 0), there is no printer and no
// image file can be read. The work that builds a routine removes its entry
// here and the callers call it directly.
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
    // The default printer's paper and page in points, colours, and the
    // operating-system code of a failed query (0 on success).
    void (*yywprinfo)(std::int32_t& paper_long, std::int32_t& paper_short, std::int32_t& width,
                      std::int32_t& height, std::int32_t& x_offset, std::int32_t& y_offset,
                      std::int32_t& orientation, std::int32_t& copies, std::int32_t& colours,
                      std::int32_t& os_error);
};

extern HardcopyPending hardcopy_pending;

// The answers of a system without those routines. For tests.
void reset_hardcopy_pending();
