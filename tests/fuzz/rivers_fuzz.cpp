// River lines and their attributes: the input split at its first form feed
// into a river-line file and an attribute file, intersected with the nodal
// areas of a small model in both result formats. A run that succeeds writes
// the three result files; one that fails writes none of them.
#include <filesystem>
#include <memory>
#include <string>

#include "app/appdata.h"
#include "app/intersect.h"
#include "app/nodal.h"
#include "lib/window/text.h"
#include "app/femread.h"
#include "tools/femgen/femgen.h"
#include "tests/fuzz/fuzz_target.h"

FUZZ_TARGET(rivers) {
    static const bool mesh = [] {
        const std::string home = fuzz_path("");
        dat19.home = txt_fixed(home, TextLength);
        dat19.lhome = static_cast<std::int32_t>(txt_len(dat19.home));
        femgen::Options o;
        o.nx = 5;
        o.ny = 5;
        o.x0 = 0;
        o.y0 = 0;
        o.dx = 10;
        o.dy = 10;
        auto m = std::make_unique<FemModel>();
        if (read_fem_model(fuzz_file("m.fem", femgen::model_text(o)), *m) == FemLoaded) commit_fem_model(*m);
        float total = 0;
        nodal_area(0, 0, total);
        return true;
    }();
    (void)mesh;
    const std::string_view text = fuzz_text(data, size);
    const std::size_t ff = text.find('\f');
    const std::string rivers = fuzz_file("river.ung", text.substr(0, ff));
    const std::string attrs = fuzz_file("river.att", ff == std::string_view::npos ? std::string_view() : text.substr(ff + 1));
    const std::string out[3] = {fuzz_path("wl.par"), fuzz_path("bl.par"), fuzz_path("rs.par")};
    for (int format : {1, 2}) {
        std::error_code ec;
        for (const std::string& o : out) std::filesystem::remove(o, ec);
        const bool ok = snijden(rivers, out[0], out[1], out[2], attrs, format);
        for (const std::string& o : out)
            fuzz_check(ok == std::filesystem::exists(o), "the result files exactly when the intersection succeeds");
    }
}
