// The grid control's text input: any bytes loaded as a CSV file into a grid
// of every cell type (rows kept, and rows added), and pasted into it from
// the clipboard, as the program's own text and as another program's.
#include <cstdint>

#include "lib/dialog/dialog.h"
#include "lib/grid/grid.h"
#include "lib/grid/grid_files.h"
#include "lib/window/quinda_state.h"
#include "lib/window/rootwin.h"
#include "platform/os_cliptext.h"
#include "platform/os_dialog.h"
#include "tests/fuzz/fuzz_target.h"

namespace {
// The grid tests' dialog of seven columns of every type and six rows.
constexpr std::int32_t GridDialog = 8901, GridField = 8950;
}  // namespace

FUZZ_TARGET(grid) {
    if (wtab.wWindow[0] == 0) WindowOpen(7 | 0x20, 10, 10, 400, 300, 0, {}, 0, "Fuzz");
    const std::string_view text = fuzz_text(data, size);
    const std::string csv = fuzz_file("in.csv", text);
    for (int flag : {0, 1}) {
        WDialogLoad(GridDialog);
        WDialogShow(-1, -1, 0, 2);
        const OsHandle d = yycurrentdialog();
        fuzz_check(d != 0, "the grid dialog loads");
        WGridLoad(GridField, csv, flag);
        const OsHandle g = os_get_dlg_item(d, GridField);
        if (flag == 0) os_set_clipboard_text(text);
        else os_clipboard_foreign_text(text);
        std::int32_t rows = 0, columns = 0;
        yygridclipcount(rows, columns);
        fuzz_check(rows >= 0 && columns >= 0, "the clipboard's rows and columns");
        if (yygridcanpaste(g) == 1) yygridclippaste(g);
        WDialogUnload();
    }
}
