#include "tests/support/quinda_test.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "app/appdata.h"
#include "app/legend.h"
#include "app/mainstate.h"
#include "app/mapview.h"
#include "lib/dialog/commondlg.h"
#include "lib/dialog/dialog.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/screen.h"
#include "lib/grid/grid_window.h"
#include "lib/grid/grid.h"
#include "lib/hardcopy/hcstate.h"
#include "lib/pgraph/pgstate.h"
#include "lib/raster/raster.h"
#include "lib/window/bytefile.h"
#include "lib/window/email.h"
#include "lib/window/errors.h"
#include "lib/window/help.h"
#include "lib/window/messages.h"
#include "lib/window/osservices.h"
#include "lib/window/quinda_state.h"
#include "lib/window/startup.h"
#include "lib/window/wintext.h"
#include "platform/os_registry.h"

void QuindaTest::SetUp() {
    os_config_set(os_config_test_profile());
    reset_all_state();
}

void reset_all_state() {
    reset_dialog_state();
    reset_window_state();
    reset_wintext_state();
    reset_graphics_state();
    reset_fill_state();
    reset_screen_state();
    reset_hardcopy_state();
    reset_pgraph_state();
    reset_raster_state();
    reset_grid_state();
    reset_grid_window_choices();
    reset_error_services();
    reset_app_data();
    reset_message_state();
    reset_text_units();
    reset_os_services();
    reset_startup();
    os_reg_reset();
    reset_main_state();
    reset_common_dialogs();
    reset_help_state();
    reset_email_state();
    reset_legend_state();
    reset_view_fit();
}

TempDir::TempDir(bool enter) {
    std::string tmpl = (std::filesystem::temp_directory_path() / "quinda-test-XXXXXX").string();
    if (char* made = mkdtemp(tmpl.data())) path_ = made;
    if (enter) {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(path_);
        entered_ = true;
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    if (entered_) std::filesystem::current_path(previous_, ec);
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
}

bool have_reader(const char* program) {
    return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

std::string command_output(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    return out;
}

std::string read_file(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void write_file(const std::string& name, const std::string& bytes) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out << bytes;
}

ScopedEnv::ScopedEnv(std::string name, std::optional<std::string> value) : name_(std::move(name)) {
    if (const char* v = std::getenv(name_.c_str())) previous_ = v;
    if (value) setenv(name_.c_str(), value->c_str(), 1);
    else unsetenv(name_.c_str());
}

ScopedEnv::~ScopedEnv() {
    if (previous_) setenv(name_.c_str(), previous_->c_str(), 1);
    else unsetenv(name_.c_str());
}
