#include "tests/app/app_test.h"

#include <cstdio>
#include <cstdlib>

#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/window/rootwin.h"
#include "lib/window/text.h"
#include "lib/window/winops.h"
#include "platform/os_menu.h"
#include "platform/os_window.h"
#include "tests/support/graphics_test.h"

namespace {
void collect(std::string_view message) { AppTest::errors().emplace_back(message); }
}  // namespace

std::vector<std::string>& AppTest::errors() {
    static std::vector<std::string> list;
    return list;
}

void AppTest::SetUp() {
    QuindaTest::SetUp();
    errors().clear();
    app_set_error_sink(collect);
}

void AppTest::TearDown() { app_set_error_sink(nullptr); }

void set_home(const TempDir& dir) {
    dat19.home = txt_fixed(dir.path().string() + "/", TextLength);
    dat19.lhome = static_cast<int>(dir.path().string().size()) + 1;
}

void AppDrawTest::SetUp() {
    AppTest::SetUp();
    attach_fake_graphics(surfaces, driver, 200, 100);
    // As the root window's opening does.
    igrinit();
    IGrSelect(1, 0);
    driver.clear();
}

std::vector<std::array<float, 4>> AppDrawTest::lines() const {
    std::vector<std::array<float, 4>> l;
    for (const DriverCall* c : driver.find(ScreenSide, OpLine)) l.push_back({c->args.X[0], c->args.Y[0], c->args.X[1], c->args.Y[1]});
    return l;
}

void AppWindowTest::open(const std::vector<int>& menu_items) {
    WindowOpen(DefaultWindowFlags | WinStatusBar, 10, 10, 400, 300, 0, {}, 0, "Test");
    ASSERT_NE(wtab.wWindow[0], 0);
    const std::array<std::int32_t, 3> widths{3000, 3000, -1};
    windowstatusbarparts(3, widths);
    if (menu_items.empty()) return;
    const OsHandle bar = os_create_menu();
    int pos = 0;
    for (int id : menu_items) os_insert_menu_item(bar, pos++, id, "item " + std::to_string(id));
    os_set_menu(wtab.wWindow[0], bar);
    wtab.hMenuRoot[0] = bar;
}

std::string AppWindowTest::status_text(int part) {
    char buf[600] = {};
    os_send_message(wtab.wMessLine[0], OSM_SB_GETTEXT, static_cast<std::uintptr_t>(part - 1),
                    reinterpret_cast<std::intptr_t>(buf));
    return buf;
}

bool AppWindowTest::checked(int item) {
    return (os_get_menu_state(wtab.hMenuRoot[0], static_cast<std::uint32_t>(item), OS_MF_BYCOMMAND) & OS_MF_CHECKED) != 0;
}

bool AppWindowTest::enabled(int item) {
    return (os_get_menu_state(wtab.hMenuRoot[0], static_cast<std::uint32_t>(item), OS_MF_BYCOMMAND) &
            (OS_MF_GRAYED | OS_MF_DISABLED)) == 0;
}

std::uint32_t AppWindowTest::pixel(int x, int y) {
    return static_cast<std::uint32_t>(os_surface_pixel(wtab.hClient[0], x, y));
}

std::vector<std::string> crlf_lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", pos);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(pos) + "<no CRLF>");
            break;
        }
        lines.push_back(bytes.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

std::string run_command(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen((command + " 2>&1").c_str(), "r")) {
        char buf[4096];
        std::size_t n = 0;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

bool have_program(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}
