// Flowline files: any bytes converted to a BLN map, once overwriting and
// once appending. A conversion that succeeds leaves a map file that the map
// reader takes; one that fails leaves the map file as it was; either way no
// temporary file is left in home.
#include <filesystem>
#include <string>

#include "app/appdata.h"
#include "app/flowlines.h"
#include "lib/window/text.h"
#include "tests/fuzz/fuzz_target.h"

namespace {

bool temporaries_left(const std::string& home) {
    for (const auto& e : std::filesystem::directory_iterator(home))
        if (e.path().filename().string().rfind("flow2bln", 0) == 0) return true;
    return false;
}

}  // namespace

FUZZ_TARGET(flowlines) {
    const std::string home = fuzz_path("");
    dat19.home = txt_fixed(home, TextLength);
    dat19.lhome = static_cast<std::int32_t>(txt_len(dat19.home));
    dat9 = Dat9{0, 0, 100, 80};
    const std::string flow = fuzz_file("flow.txt", fuzz_text(data, size));
    const std::string map = fuzz_path("flow.bln");
    std::error_code ec;
    std::filesystem::remove(map, ec);
    // Appending keeps the records of this run so far: held to a few
    // conversions, so that the input stays what is tested.
    if (flowline_records().size() > 1u << 16) flow2bln(fuzz_file("empty.txt", "ma 0 0\n"), map, 0);
    for (int append : {0, 1}) {
        const bool ok = flow2bln(flow, map, append);
        fuzz_check(ok == std::filesystem::exists(map), "a map file exactly when the conversion succeeds");
        fuzz_check(!temporaries_left(home), "no temporary file left");
        std::filesystem::remove(map, ec);
    }
}
