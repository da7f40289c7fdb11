#include "lib/hardcopy/hcstate.h"

#include "lib/dialog/dialog.h"
#include "lib/hardcopy/dxf.h"
#include "lib/hardcopy/hpgl.h"
#include "lib/hardcopy/hpgl2.h"
#include "lib/hardcopy/pending.h"
#include "lib/hardcopy/ps.h"
#include "lib/hardcopy/svg.h"
#include "lib/window/osservices.h"
#include "lib/window/text.h"
#include "platform/os_error.h"

HardcopyState hcstate;

namespace {

// The dialog manager's result word and snapshots.
std::int32_t dialog_result() { return dialog_state.last_result; }
void set_dialog_result(std::int32_t result) { dialog_state.last_result = result; }

void cancelled_setup(std::int32_t, std::string&, std::int32_t, HardcopyOptionTable&, std::int32_t, std::int32_t) {
    dialog_state.last_result = 0;
}

void cancelled_options(std::int32_t, std::string&, std::int32_t, std::int32_t, std::int32_t) {
    dialog_state.last_result = 0;
}

void no_printer(std::int32_t& paper_long, std::int32_t& paper_short, std::int32_t& width, std::int32_t& height,
                std::int32_t& x_offset, std::int32_t& y_offset, std::int32_t& orientation, std::int32_t& copies,
                std::int32_t& colours, std::int32_t& os_error) {
    paper_long = paper_short = width = height = x_offset = y_offset = orientation = copies = colours = 0;
    os_error = OS_ERROR_NOT_SUPPORTED;
}

constexpr HardcopyPending pending_defaults{&dialog_result,   &set_dialog_result, &yygetwindowbitmap,
                                           &cancelled_setup, &cancelled_options, &no_printer};

}  // namespace

HardcopyPending hardcopy_pending = pending_defaults;

void reset_hardcopy_pending() {
    hardcopy_pending = pending_defaults;
    dialog_state.last_result = 0;
}

void clear_hardcopy_words() {
    txt_set(hcstate.PrintImageFileName, "");
    txt_set(hcstate.SpoolPlotName, "");
    txt_set(hcstate.SpoolDumpName, "");
    hcstate.models = DeviceModels{};
    hcstate.PrinterAvailable = 0;
    hcstate.ImagePrintOptions.ImagePrintDriver = 0;
}

void reset_hardcopy_state() {
    for (std::int32_t& h : hcstate.channels)
        if (h >= 0) yyclos(h);
    hcstate = HardcopyState{};
    reset_hardcopy_pending();
    reset_postscript_state();
    reset_svg_state();
    reset_dxf_state();
    reset_hpgl_state();
    reset_hpgl2_state();
}
