#include "tests/app/app_test.h"

#include <cstdio>
#include <cstdlib>

#include "lib/graphics/colours.h"
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

void square_model() {
    Dat4& m = dat4;
    const float xs[4] = {0, 100, 100, 0}, ys[4] = {0, 0, 100, 100};
    for (int n = 1; n <= 4; ++n) {
        m.xnode(n) = xs[n - 1];
        m.ynode(n) = ys[n - 1];
    }
    const int el[2][3] = {{1, 2, 3}, {1, 3, 4}};
    for (int e = 1; e <= 2; ++e)
        for (int c = 1; c <= 3; ++c) m.elnode(e, c) = el[e - 1][c - 1];
    m.nelem = 2;
    m.nnode = 4;
    dat11.extr(1) = 100;
    dat11.extr(2) = 100;
    dat11.extr(3) = 0;
    dat11.extr(4) = 0;
    dat9 = {0, 0, 100, 100};
    dat8.gx0 = 0;
    dat8.gy0 = 0;
    dat8.gx1 = 100;
    dat8.gy1 = 100;
    dat8.nx = 5;
    dat8.ny = 5;
    dat8.dx = 25;
    dat8.dy = 25;
    for (int i = 1; i <= 5; ++i)
        for (int j = 1; j <= 5; ++j) dat7.gridval(i, j) = static_cast<float>(25 * (i - 1) + 25 * (j - 1));
}

void watch_redraws(RecordingDriver& driver, int& count, std::function<void()> each) {
    driver.on_call = [&count, each](DriverCall& call) {
        if (call.side == ScreenSide && call.op == OpColour && call.state.ColourModel == 2 &&
            call.state.CurrentColour.rgb() == wrgb(90, 90, 90)) {
            ++count;
            if (each) each();
        }
    };
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
