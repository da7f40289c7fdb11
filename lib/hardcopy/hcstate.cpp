#include "lib/hardcopy/hcstate.h"

#include "lib/dialog/dialog.h"
#include "lib/hardcopy/cgm.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/dxf.h"
#include "lib/hardcopy/metafiles.h"
#include "lib/hardcopy/hpgl.h"
#include "lib/hardcopy/hpgl2.h"
#include "lib/hardcopy/pending.h"
#include "lib/hardcopy/ps.h"
#include "lib/hardcopy/svg.h"
#include "lib/hardcopy/windriver.h"
#include "lib/window/osservices.h"
#include "lib/window/text.h"

HardcopyState hcstate;

namespace {

// The dialog manager's result word and snapshots.
std::int32_t dialog_result() { return dialog_state.last_result; }
void set_dialog_result(std::int32_t result) { dialog_state.last_result = result; }

constexpr HardcopyPending pending_defaults{&dialog_result, &set_dialog_result, &yygetwindowbitmap};

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
    hcstate.printer_query_pending = 0;
    hcstate.ImagePrintOptions.ImagePrintDriver = 0;
}

void reset_hardcopy_state() {
    discard_output_channels();
    hcstate = HardcopyState{};
    reset_hardcopy_pending();
    reset_postscript_state();
    reset_svg_state();
    reset_dxf_state();
    reset_hpgl_state();
    reset_hpgl2_state();
    reset_windows_drivers();
    reset_cgm_state();
    reset_memory_metafiles();
}
