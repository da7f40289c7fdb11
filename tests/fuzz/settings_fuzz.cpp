// The settings file: read as a batch run reads it; when that succeeds, the
// program's own write of the state read must read back. The run's scratch
// State carries over from input to input, as it does from command to command
// in the program (a fresh state for each would cost more than the read). The
// run's scratch directory holds a small model ("m.fem") and DELR/DELC files ("d.delr",
// "d.delc") that the inputs may name.
#include <filesystem>

#include "app/appdata.h"
#include "app/settings.h"
#include "tests/fuzz/fuzz_target.h"
#include "tools/femgen/femgen.h"

namespace {

void fixtures() {
    static const bool made = [] {
        femgen::Options o;
        o.nx = 3;
        o.ny = 3;
        fuzz_file("m.fem", femgen::model_text(o));
        fuzz_file("d.delr", "10 20 30\n");
        fuzz_file("d.delc", "5 5\n");
        return true;
    }();
    (void)made;
}

}  // namespace

FUZZ_TARGET(settings) {
    fixtures();
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(fuzz_path(""));
    const std::string name = fuzz_file("batch.ini", fuzz_text(data, size));
    SettingsRead r;
    if (read_settings_batch(name, r) == 0) {
        const std::string home = fuzz_path("");
        dat19.home = home;
        dat19.lhome = static_cast<std::int32_t>(home.size());
        fuzz_check(write_settings(r.femname), "the settings read can be written");
        SettingsRead again;
        fuzz_check(read_settings(again) == 0, "the settings written read back");
    }
    std::filesystem::current_path(before);
}
