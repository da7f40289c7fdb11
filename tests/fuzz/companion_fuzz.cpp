// Dialog companion texts: any bytes as the companion resource of the
// program's dialogs (edit fields, check boxes, a list, a progress bar),
// applied to each while it is loaded, for a dialog kept and a temporary one.
#include <cstdint>

#include "lib/dialog/dialog.h"
#include "lib/window/quinda_state.h"
#include "lib/window/rootwin.h"
#include "platform/os_resource.h"
#include "tests/fuzz/fuzz_target.h"

namespace {

OsResourceEntry entry{OS_RT_RCDATA, nullptr, 65002, nullptr, nullptr, 0};

void registered() {
    static const bool done = [] {
        static const OsResourceBundle b{"fuzz-companion", &entry, 1};
        os_resource_register(b);
        return true;
    }();
    (void)done;
}

}  // namespace

FUZZ_TARGET(companion) {
    registered();
    if (wtab.wWindow[0] == 0) WindowOpen(7 | 0x20, 10, 10, 400, 300, 0, {}, 0, "Fuzz");
    entry.data = data;
    entry.size = size;
    // Surfer grid, options, Arc-Info grid, profile, intersect, progress.
    for (std::int32_t id : {101, 102, 103, 107, 108, 111}) {
        WDialogLoad(id);
        const OsHandle d = yycurrentdialog();
        if (d == 0) continue;
        yydialogqdx(d, entry.id, dlgtab.iDlgCur);
        yydialogqdx(d, entry.id, -1);
        WDialogUnload();
    }
    entry.data = nullptr;
    entry.size = 0;
}
