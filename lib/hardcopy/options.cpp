// The option table's checks: one option at a time, values that fail their
// check ignored, codes 9 to 11 passed on to a running driver.
#include <algorithm>

#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/window/quinda_state.h"
#include "lib/window/text.h"

namespace {

bool in(int value, int lo, int hi) { return value >= lo && value <= hi; }

}  // namespace

void set_extension(std::string& name, std::string_view extension) {
    const std::string_view used(name.data(), txt_len(name));
    const std::size_t dot = used.rfind('.');
    const std::size_t sep = used.rfind(DirectorySeparator);
    const bool has_extension = dot != std::string_view::npos && (sep == std::string_view::npos || dot > sep);
    const std::string stem(used.substr(0, has_extension ? dot : used.size()));
    txt_set(name, stem + std::string(extension));
}

void igrhardcopyoptions(int code, int value) {
    HardcopyOptionTable& o = gstate.hc.options;
    const std::int32_t active = gstate.hc.active_driver;
    switch (code) {
        case 1:
        case 2:
        case 101:
        case 102:
        case 103:
        case 104:
        case 108:
            if (value >= 1) o.set(code, value);
            return;
        case 5:
            if (!in(value, 0, 3)) return;
            o.set(5, value % 2);
            if (value >= 2) {
                const std::int32_t a = o.get(1), b = o.get(2);
                const std::int32_t lo = std::min(a, b), hi = std::max(a, b);
                o.set(1, value == 2 ? lo : hi);
                o.set(2, value == 2 ? hi : lo);
            }
            return;
        case 6:
            if (in(value, 0, 2)) o.set(6, value);
            return;
        case 8: o.set(8, std::max(value, 1)); return;
        case 9:
            o.set(9, std::max(value, 1));
            yyhdrv(OpLineWidth);
            return;
        case 10:
        case 11:
            if (!in(value, 0, 2)) return;
            o.set(code, value);
            yyhdrv(code == 10 ? OpLineJoin : OpLineCap);
            return;
        case 12: o.set(12, std::max(value, 100)); return;
        case 13:
            if (!in(value, 1, hcstate.models.ResolutionCount)) return;
            o.set(13, value);
            hcstate.ResolutionIndex = value;
            return;
        case 14: return;
        case 16:
            if (in(value, 10, 255)) o.set(16, value);
            return;
        case 21:
            if (in(value, 1, 127)) o.set(21, value);
            return;
        case 22:
            o.set(22, value);
            if (active == DriverPostScript && !txt_blank(gstate.hc.output_name))
                set_extension(gstate.hc.output_name, value == 0 ? ".ps" : ".eps");
            return;
        case 23: {
            const bool ok = (active == DriverImageFile && (value == 1 || value == 4 || value == 8 || value == 24)) ||
                            (active == DriverDxf && (value == 3 || value == 4 || value == 8));
            if (ok) o.set(23, value);
            return;
        }
        case 24:
            if (in(value, 0, hcstate.models.Option24Limit)) o.set(24, value);
            return;
        case 26:
            o.set(26, value);
            if (active == DriverImageFile && !txt_blank(gstate.hc.output_name))
                set_extension(gstate.hc.output_name, value == 1 || value == 2 ? ".bmp" : value == 3 ? ".png" : ".pcx");
            return;
        case 105:
            if (in(value, 1, 4)) o.set(105, value);
            return;
        default:
            // 3, 4, 7, 15, 17..20, 25, 27..29, 106, 107: any value; other
            // codes are not in the table and set() ignores them.
            o.set(code, value);
            return;
    }
}
