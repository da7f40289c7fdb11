// The settings file: read as a batch run reads it; when that succeeds, the
// program's own write of the state read must read back to the same values,
// and be written again as the same text. The run's scratch
// State carries over from input to input, as it does from command to command
// in the program (a fresh state for each would cost more than the read). The
// run's scratch directory holds a small model ("m.fem") and DELR/DELC files ("d.delr",
// "d.delc") that the inputs may name.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/appdata.h"
#include "app/femread.h"
#include "app/settings.h"
#include "tests/fuzz/fuzz_target.h"
#include "tools/femgen/femgen.h"

namespace {

std::string whole(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

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
    // A file whose model is not there changes nothing: nothing to write back.
    if (read_settings_batch(name, r) == 0 && r.model != FemMissing) {
        const std::string home = fuzz_path("");
        dat19.home = home;
        dat19.lhome = static_cast<std::int32_t>(home.size());
        fuzz_check(write_settings(r.femname), "the settings read can be written");
        const std::string written = whole(settings_file_name());
        const Dat8 grid = dat8;
        const int gridtype = dat18.gridtype, leak = leakage.leak;
        SettingsRead again;
        fuzz_check(read_settings(again) == 0, "the settings written read back");
        // Read back to the same values: the grid as it was, and written
        // again the same text.
        fuzz_check(dat18.gridtype == gridtype && leakage.leak == leak, "grid type and leakance switch read back");
        const auto same = [](float a, float b) { return a == b || (a != a && b != b); };
        if (gridtype == GridArcInfo)
            fuzz_check(same(dat8.xll, grid.xll) && same(dat8.yll, grid.yll) && same(dat8.cellsize, grid.cellsize) &&
                           dat8.nx == grid.nx && dat8.ny == grid.ny,
                       "the Arc-Info grid reads back");
        else
            fuzz_check(same(dat8.gx0, grid.gx0) && same(dat8.gy0, grid.gy0), "the grid origin reads back");
        if (gridtype == GridSurfer)
            fuzz_check(same(dat8.gx1, grid.gx1) && same(dat8.gy1, grid.gy1) && dat8.nx == grid.nx &&
                           dat8.ny == grid.ny,
                       "the Surfer grid reads back");
        fuzz_check(write_settings(again.femname), "the settings read back can be written");
        fuzz_check(whole(settings_file_name()) == written, "the settings read back are written the same");
    }
    std::filesystem::current_path(before);
}
