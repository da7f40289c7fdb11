// BLN to DXF: a conversion either succeeds or leaves no file.
#include <filesystem>

#include "app/bln2dxf.h"
#include "tests/fuzz/fuzz_target.h"

FUZZ_TARGET(bln2dxf) {
    const std::string bln = fuzz_file("map.bln", fuzz_text(data, size));
    const std::string dxf = fuzz_path("map.dxf");
    std::error_code ec;
    std::filesystem::remove(dxf, ec);
    const bool ok = bln2dxf(bln, dxf);
    fuzz_check(ok == std::filesystem::exists(dxf, ec), "a failed conversion leaves no file");
}
