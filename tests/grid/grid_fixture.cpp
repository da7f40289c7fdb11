#include "tests/grid/grid_fixture.h"

#include "lib/dialog/dialog.h"
#include "lib/window/wininfo.h"
#include "platform/os_menu.h"
#include "platform/os_metafile.h"

void GridTest::SetUp() {
    QuindaTest::SetUp();
    // The dialog fields' own classes, numeric and spin fields with their up-downs.
    yygetatoms();
    // Each test starts with nothing on the clipboard another test left.
    if (os_open_clipboard()) {
        os_empty_clipboard();
        os_close_clipboard();
    }
    WindowOpen(7 | 0x20, 10, 10, 400, 300, 0, {}, 0, "Test");
    // Beeps are counted by the platform; the bell is on as for a user.
    yysetbell(1);
    ASSERT_NE(wtab.wWindow[0], 0);
    infoerror(1);
}

void GridTest::TearDown() {
    os_menu_set_responder({});
    while (os_clipboard_is_open()) os_close_clipboard();
}

int GridTest::load(std::int32_t id) {
    infoerror(1);
    WDialogLoad(id);
    WDialogShow(-1, -1, 0, 2);
    return infoerror(1);
}

std::string GridTest::cell(std::int32_t col, std::int32_t row, std::int32_t id) const {
    std::string s(60, ' ');
    WGridGetCellString(id, col, row, s);
    const auto e = s.find_last_not_of(' ');
    return e == std::string::npos ? std::string() : s.substr(0, e + 1);
}

void GridTest::run() {
    OsMsg m;
    while (os_peek_message(m, 0, 0, 0, OS_PM_REMOVE))
        if (!dlg() || !os_is_dialog_message(dlg(), m)) {
            os_translate_message(m);
            os_dispatch_message(m);
        }
}

void GridTest::key(std::int32_t vk, std::uint32_t mods) {
    os_input_key(os_get_focus(), vk, mods);
    run();
}

void GridTest::type(const std::string& s) {
    for (char c : s) os_input_key(os_get_focus(), static_cast<unsigned char>(c), 0, std::string(1, c));
    run();
}

void GridTest::enter(std::int32_t col, std::int32_t row) {
    yygridupdatecell(grid(), col, row, true);
    run();
}
