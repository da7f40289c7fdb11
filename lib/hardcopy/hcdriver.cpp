#include "lib/hardcopy/hcdriver.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/window/quinda_state.h"
#include "lib/window/text.h"

bool driver_open_output() {
    const std::int32_t saved = quinda.last_error;
    quinda.last_error = 0;
    yyprop(DriverChannel);
    if (quinda.last_error != 0) {
        gstate.hardcopy_flag = 0;
        return false;
    }
    quinda.last_error = saved;
    return true;
}

std::int32_t driver_text_count() {
    return std::clamp<std::int32_t>(drvargs.IX[0], 0, static_cast<std::int32_t>(DriverTextLength));
}

std::int32_t driver_point_count() { return std::clamp<std::int32_t>(drvargs.N, 0, WorkBlockPoints); }

namespace {

// Digits of a magnitude below 2^63, with d decimals after the point.
std::string digits_of(std::uint64_t scaled, int d) {
    std::string s = std::to_string(scaled);
    if (static_cast<int>(s.size()) <= d) s.insert(0, static_cast<std::size_t>(d + 1) - s.size(), '0');
    if (d > 0) s.insert(s.size() - static_cast<std::size_t>(d), 1, '.');
    return s;
}

std::string right_justified(std::string s, int w) {
    if (static_cast<int>(s.size()) < w) s.insert(0, static_cast<std::size_t>(w) - s.size(), ' ');
    return s;
}

}  // namespace

std::string fixed_real(float value, int w, int d) {
    d = std::clamp(d, 0, 9);
    long double v = std::isfinite(value) ? static_cast<long double>(value) : 0.0L;
    const bool below_zero = v < 0.0L;
    v = std::fabs(v);
    long double scale = 1.0L;
    for (int i = 0; i < d; ++i) scale *= 10.0L;
    // A float times 10^d (d <= 9) is exact in the 64-bit mantissa, so the
    // rounding below sees the exact binary value.
    const long double scaled = roundl(v * scale);
    // A value that rounds to zero is written without its sign.
    const bool negative = below_zero && scaled != 0.0L;
    std::string s;
    if (scaled < 9.0e18L) {
        s = digits_of(static_cast<std::uint64_t>(scaled), d);
    } else {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.*Lf", d, v);
        s = buf;
    }
    // Like the library's writer, a fraction loses its leading zero only when
    // the field has no room for it.
    if (s.size() > 1 && s[0] == '0' && s[1] == '.' &&
        static_cast<int>(s.size()) + (negative ? 1 : 0) > w)
        s.erase(0, 1);
    if (negative) s.insert(0, 1, '-');
    return right_justified(std::move(s), w);
}

std::string fixed_int(std::int64_t value, int w) { return right_justified(std::to_string(value), w); }

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return txt_trim(text.substr(first));
}

Rgb colour_components(std::int32_t colour) {
    Rgb c;
    yypalrgb(colour, c.r, c.g, c.b);
    return c;
}

void vector_driver_initialise(const VectorDriverValues& v) {
    if (drvargs.N == ProbeDriverNumber) {
        drvargs.N = v.number;
        return;
    }
    GraphicsState& g = gstate;
    yydefh();
    for (auto [code, value] : v.options) g.hc.options.set(code, value);
    hcstate.HardcopyResolution = {v.dots_per_inch, v.dots_per_inch};
    g.hc.colour_count = v.colours;
    DeviceDescription& d = g.device[HardcopySide];
    d.DeviceCapabilities = std::string(v.capabilities);
    d.TextSizeThreshold = v.text_size_limit;
    d.charset_bits = 8;
    d.TextRotationCapability = 360;
    d.platform_variant = 2;
    d.true_colour = 1;
    d.gradient_type = 0;
    g.hc.whole_strings = 1;
    g.hc.own_text_background = 0;
    g.hc.third_text_flag = 0;
    txt_set(g.hc.output_name, v.output_name);
    hcstate.DriverCanSpool = v.can_spool;
    g.hc.active_driver = v.number;
}
