#include "lib/hardcopy/hcstate.h"

#include "lib/hardcopy/pending.h"
#include "lib/window/osservices.h"
#include "lib/window/text.h"
#include "platform/os_error.h"

HardcopyState hcstate;

namespace {

std::int32_t result_word = 0;

std::int32_t dialog_result() { return result_word; }
void set_dialog_result(std::int32_t result) { result_word = result; }
void no_snapshot(std::int32_t, std::int32_t, std::int32_t& status) { status = 0; }
void metric(std::int32_t& measure) { measure = 2; }

void cancelled_print_dialog(std::int32_t&, std::int32_t&, std::int32_t&, std::int32_t&, std::int32_t&,
                            std::int32_t&, std::int32_t&, std::int32_t&, std::int32_t, std::int32_t&,
                            std::int32_t& result) {
    result = 0;
}

void cancelled_setup(std::int32_t, std::string&, std::int32_t, HardcopyOptionTable&, std::int32_t, std::int32_t) {
    result_word = 0;
}

void cancelled_options(std::int32_t, std::string&, std::int32_t, std::int32_t, std::int32_t) { result_word = 0; }

void no_printer(std::int32_t& paper_long, std::int32_t& paper_short, std::int32_t& width, std::int32_t& height,
                std::int32_t& x_offset, std::int32_t& y_offset, std::int32_t& orientation, std::int32_t& copies,
                std::int32_t& colours, std::int32_t& os_error) {
    paper_long = paper_short = width = height = x_offset = y_offset = orientation = copies = colours = 0;
    os_error = OS_ERROR_NOT_SUPPORTED;
}

constexpr HardcopyPending pending_defaults{&dialog_result,   &set_dialog_result,      &no_snapshot,
                                           &metric,          &cancelled_print_dialog, &cancelled_setup,
                                           &cancelled_options, &no_printer};

}  // namespace

HardcopyPending hardcopy_pending = pending_defaults;

void reset_hardcopy_pending() {
    hardcopy_pending = pending_defaults;
    result_word = 0;
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
}
