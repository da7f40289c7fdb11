#include "tests/grid/grid_fixture.h"

namespace {

// Until the numeric field classes are registered by the dialog fields, the
// grid tests stand in for them with edit controls of those class names.
std::intptr_t numeric_standin(OsHandle w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    static OsWndProc edit = [] {
        const OsHandle e = os_create_window(0, "EDIT", "", 0, 0, 0, 10, 10, 0, 0, 0);
        const OsWndProc p = os_get_window_proc(e);
        os_destroy_window(e);
        return p;
    }();
    return edit(w, m, wp, lp);
}

void ensure_numeric_classes() {
    for (const char* n : {"INTEGEREDIT", "INTEGERSPIN", "REALEDIT", "REALSPIN", "DOUBLEEDIT", "DOUBLESPIN"}) {
        if (os_class_atom(n)) continue;
        OsWndClass c;
        c.name = n;
        c.proc = numeric_standin;
        os_register_class(c);
    }
}

}  // namespace

void GridTest::SetUp() {
    QuindaTest::SetUp();
    ensure_numeric_classes();
    WindowOpen(7 | 0x20, 10, 10, 400, 300, 0, {}, 0, "Test");
    ASSERT_NE(wtab.wWindow[0], 0);
    infoerror(1);
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
