#include "lib/hardcopy/hcdriver.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/window/quinda_state.h"
#include "lib/window/text.h"
#include "lib/raster/imagefiles.h"
#include <new>

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

std::string fixed_real(float value, int w, int d) {
    static constexpr std::uint64_t Scales[10] = {1,      10,      100,      1000,      10000,
                                                 100000, 1000000, 10000000, 100000000, 1000000000};
    constexpr std::uint64_t Limit = 9000000000000000000u;
    d = std::clamp(d, 0, 9);
    if (!std::isfinite(value)) value = 0.0f;
    const bool below_zero = value < 0.0f;
    // |value| = m * 2^e with m below 2^24, so m * 10^d (below 2^54) and the
    // value times 10^d are exact in integers, and rounding half away from
    // zero looks at the first bit shifted out.
    int e = 0;
    const float fraction = std::frexp(std::fabs(value), &e);
    const std::uint64_t a = static_cast<std::uint64_t>(std::ldexp(fraction, 24)) * Scales[d];
    e -= 24;
    std::uint64_t scaled = 0;
    bool fits = true;
    if (e >= 0) {
        fits = e < 63 && a <= ((Limit - 1) >> e);
        if (fits) scaled = a << e;
    } else if (-e < 64) {
        scaled = a >> -e;
        if ((a >> (-e - 1)) & 1u) ++scaled;
    }
    // A value that rounds to zero is written without its sign.
    const bool negative = below_zero && (!fits || scaled != 0);
    // The digits, at least d + 1 of them, with the point before the last d,
    // gathered from the end of the buffer.
    char buffer[64];
    char* const end = buffer + sizeof buffer;
    char* p = end;
    if (fits) {
        int k = 0;
        do {
            if (d > 0 && k == d) *--p = '.';
            *--p = static_cast<char>('0' + scaled % 10);
            scaled /= 10;
            ++k;
        } while (scaled != 0 || k <= d);
    } else {
        const int n = std::snprintf(buffer, sizeof buffer, "%.*Lf", d, std::fabs(static_cast<long double>(value)));
        p = end - n;
        std::memmove(p, buffer, static_cast<std::size_t>(n));
    }
    auto n = static_cast<std::size_t>(end - p);
    // Like the library's writer, a fraction loses its leading zero only when
    // the field has no room for it.
    if (n > 1 && p[0] == '0' && p[1] == '.' && static_cast<int>(n) + (negative ? 1 : 0) > w) {
        ++p;
        --n;
    }
    const std::size_t used = n + (negative ? 1 : 0);
    std::string s(w > 0 && static_cast<std::size_t>(w) > used ? static_cast<std::size_t>(w) - used : 0, ' ');
    if (negative) s += '-';
    s.append(p, n);
    return s;
}

std::string fixed_int(std::int64_t value, int w) {
    char digits[24];
    const auto n = static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, value).ptr - digits);
    std::string s(w > 0 && static_cast<std::size_t>(w) > n ? static_cast<std::size_t>(w) - n : 0, ' ');
    s.append(digits, n);
    return s;
}

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

bool driver_load_image(std::vector<std::int32_t>& pixels) {
    constexpr std::int64_t ImagePixelLimit = std::int64_t{1} << 26;
    DriverArguments& a = drvargs;
    const std::int64_t width = a.IX[1], height = a.IY[1];
    pixels.clear();
    // The size is checked before the array is made: a product that
    // overflows or asks for more than the limit loads nothing.
    if (width > 0 && height > 0 && width <= ImagePixelLimit / height) {
        try {
            pixels.assign(static_cast<std::size_t>(width * height), 0);
        } catch (const std::bad_alloc&) {
            pixels.clear();
        }
    }
    if (pixels.empty()) {
        a.K = 27;
        a.N = 0;
        return false;
    }
    const std::int32_t saved_error = quinda.last_error;
    const std::int32_t saved_mode = quinda.report_mode;
    quinda.last_error = 0;
    quinda.report_mode = 0;
    IGrLoadImageData(txt_trim(DriverText), pixels);
    quinda.report_mode = saved_mode;
    if (quinda.last_error != 0) {
        a.K = quinda.last_error;
        a.N = quinda.io_status;
        pixels.clear();
        return false;
    }
    quinda.last_error = saved_error;
    a.K = 0;
    return true;
}

// ---------------------------------------------------------------- HP-GL lines

std::string HpglLineBuffer(HpglLineColumns, ' ');

namespace {

bool metadata_on() { return gstate.hc.options.get(18) != 0; }

}  // namespace

void hpgl_write(std::string_view line) {
    if (hcstate.LineModeWord == 1) yyprou(DriverChannel, " ");
    yyprwl(DriverChannel, line);
}

namespace {

// The squeezed form of LINE into OUT, whose memory is kept: a plot is
// millions of lines.
void squeeze_into(std::string& out, std::string_view line) {
    // Never longer than the line: each blank written stands for at least
    // one taken out.
    out.resize(line.size());
    char* o = out.data();
    std::size_t n = std::min<std::size_t>(line.size(), 2);
    std::copy_n(line.data(), n, o);
    bool blank = false;
    for (std::size_t k = 2; k < line.size(); ++k) {
        const char c = line[k];
        if (c == ' ') {
            blank = true;
            continue;
        }
        if (blank && n != 2) o[n++] = ' ';
        blank = false;
        o[n++] = c;
    }
    out.resize(n);
}

}  // namespace

std::string hpgl_squeezed(std::string_view line) {
    std::string out;
    squeeze_into(out, line);
    return out;
}

void hpgl_line(std::string_view line) {
    HpglLineBuffer.assign(line);
    if (HpglLineBuffer.size() < HpglLineColumns) HpglLineBuffer.resize(HpglLineColumns, ' ');
    yyhpg7();
}

std::string hpgl_int(std::int64_t value, int w) {
    std::string s = fixed_int(value, w);
    if (static_cast<int>(s.size()) >= w && s[0] != ' ') s.insert(0, 1, ' ');
    return s;
}

std::string hpgl_real(float value, int w, int d) {
    std::string s = fixed_real(value, w, d);
    if (static_cast<int>(s.size()) >= w && s[0] != ' ') s.insert(0, 1, ' ');
    return s;
}

std::int64_t hpgl_trunc(double v) {
    if (!std::isfinite(v)) return v > 0 ? (std::int64_t{1} << 62) : v < 0 ? -(std::int64_t{1} << 62) : 0;
    v = std::clamp(v, -4.0e18, 4.0e18);
    return static_cast<std::int64_t>(std::trunc(v));
}

std::int64_t hpgl_user_x(float x) { return hpgl_trunc(static_cast<double>(x * gstate.hc.x_scale)); }
std::int64_t hpgl_user_y(float y) { return hpgl_trunc(static_cast<double>(y * gstate.hc.y_scale)); }

std::string hpgl_label_text(std::string_view text, char terminator) {
    std::string s(text);
    std::replace(s.begin(), s.end(), terminator, ' ');
    return s;
}

void yyhpg7() {
    const std::size_t last = HpglLineBuffer.find_last_not_of(' ');
    const std::string_view used =
        last == std::string::npos ? std::string_view{} : std::string_view(HpglLineBuffer).substr(0, last + 1);
    static std::string squeezed;
    squeeze_into(squeezed, used);
    hpgl_write(squeezed);
}

void yyhpg1(std::string_view command, float x, float y) {
    hpgl_line(std::string(command.substr(0, 2)) + hpgl_int(hpgl_user_x(x), 6) + hpgl_int(hpgl_user_y(y), 6));
}

void yyhpg2(std::string_view text) {
    std::string line = "LB";
    line += text;
    hpgl_write(line);
}

void yyhpg3(std::string_view command) { hpgl_line(command); }

void yyhpg4(float x, float y) {
    if (!metadata_on()) return;
    hpgl_line("SC-9 " + hpgl_int(hpgl_user_x(x), 6) + hpgl_int(hpgl_user_y(y), 6) + " 0");
}

void yyhpg5(float a, float b) {
    if (!metadata_on()) return;
    hpgl_line("SC-9 " + hpgl_real(a, 10, 4) + hpgl_real(b, 10, 4) + " 0");
}

void yyhpg6(std::int32_t code, std::int32_t restore, std::int32_t a, std::int32_t b, std::int32_t c) {
    if (!metadata_on()) return;
    // A record of every figure: its lines are made in memory kept for them.
    static std::string line, restored;
    line.assign("SC-").append(fixed_int(code, code >= 10 ? 2 : 1));
    line.append(hpgl_int(a, code == 1 ? 9 : 6)).append(hpgl_int(b, 6)).append(hpgl_int(std::int64_t{c} + 32760, 6));
    if (restore == 0) return hpgl_line(line);
    squeeze_into(restored, line);
    hpgl_line(restored.append(" ;").append(HpglScaleLine));
}

void hpgl_aspect(std::int64_t n, std::string_view restore, float& x, float& y, float& r) {
    std::string line(restore);
    line.resize(std::max<std::size_t>(line.size(), 17), ' ');
    if (n > 32760) {
        const std::int64_t k = 1073217600 / n;
        line = line.substr(0, 4) + hpgl_int(k, 5) + line.substr(9);
        x = static_cast<float>(static_cast<double>(x) * static_cast<double>(k) / 32760.0);
        r = static_cast<float>(32760.0 * static_cast<double>(r) / static_cast<double>(n));
    } else {
        line = line.substr(0, 12) + hpgl_int(n, 5) + line.substr(17);
        y = static_cast<float>(static_cast<double>(y) * static_cast<double>(n) / 32760.0);
    }
    hpgl_line(std::move(line));
}

namespace {

void hpgl_arc(std::int32_t op, std::string_view restore, bool hpgl2) {
    GraphicsState& g = gstate;
    const DriverArguments& a = drvargs;
    if (hpgl2) g.hc.page_in_progress = 1;
    const bool wedge = op == OpSectorPattern || g.fill_style != 0 || g.fill_density <= 2;
    if (wedge) yyhpg1("PU", a.X[0], a.Y[0]);
    if (hpgl2 && g.fill_style >= 1 && g.fill_style <= 2)
        hpgl_line("CO\"4 " + hpgl_int(g.fill_style, 1) + " " + hpgl_int(g.fill_density, 1) + " " +
                  hpgl_int(g.fill_angle, 1) + " " + hpgl_int(g.outline_flag, 1) + "\";");
    const double page_w = g.hc.options.get(1), page_h = g.hc.options.get(2);
    const std::int64_t n = hpgl_trunc(32760.0 * g.area_width_x * page_h / (g.area_width_y * page_w));
    float x = a.X[0], y = a.Y[0], r = a.X[1];
    hpgl_aspect(n, restore, x, y, r);
    const double sx = g.hc.x_scale, sy = g.hc.y_scale;
    if (wedge) {
        hpgl_line(std::string(op == OpSectorPattern ? "WG" : "EW") + hpgl_int(hpgl_trunc(r * sx), 6) +
                  hpgl_real(a.X[3], 7, 1) + hpgl_real(a.Y[3], 7, 1));
        hcstate.PenPosition = {a.X[0], a.Y[0]};
    } else {
        const double start = a.X[2];
        hpgl_line("PU" + hpgl_int(hpgl_trunc(x * sx + r * sx * std::cos(start)), 6) +
                  hpgl_int(hpgl_trunc(y * sy + r * sx * std::sin(start)), 6));
        hpgl_line(hpgl2 ? "PD;" : "PD");
        hpgl_line("AA" + hpgl_int(hpgl_trunc(x * sx), 6) + hpgl_int(hpgl_trunc(y * sy), 6) + hpgl_real(a.Y[3], 7, 1));
        hcstate.PenPosition = {UnknownPenPosition, UnknownPenPosition};
    }
    yyhpg3(restore);
}

}  // namespace

void yyhpg0(std::int32_t op, std::string_view restore) { hpgl_arc(op, restore, false); }
void yyhpgl2e(std::int32_t op, std::string_view restore) { hpgl_arc(op, restore, true); }

bool hpgl_channel_open() {
    std::int32_t handle = -1;
    yyprfh(DriverChannel, handle);
    return handle >= 0;
}

void hpgl_points_line(std::string command, const std::array<std::int32_t, 4>& p, std::size_t from) {
    command.resize(from - 1, ' ');
    for (std::int32_t v : p) command += hpgl_int(v, 7);
    hpgl_line(std::move(command));
}

void hpgl_move_unless_there(float x, float y) {
    if (hcstate.PenPosition[0] != x || hcstate.PenPosition[1] != y) yyhpg1("PU", x, y);
}

void hpgl_segment() {
    const DriverArguments& a = drvargs;
    hpgl_move_unless_there(a.X[0], a.Y[0]);
    yyhpg1("PD", a.X[1], a.Y[1]);
    hcstate.PenPosition = {a.X[1], a.Y[1]};
}

void hpgl_point() {
    const DriverArguments& a = drvargs;
    hpgl_move_unless_there(a.X[0], a.Y[0]);
    yyhpg1("PD", a.X[0], a.Y[0]);
    hcstate.PenPosition = {a.X[0], a.Y[0]};
}

void hpgl_clip(float t, const std::array<std::int32_t, 4>& p) {
    const GraphicsState& gs = gstate;
    yyhpg3("SC");
    const double fx = static_cast<double>(t) * gs.hc.options.get(1) / gs.extent_x;
    const double fy = static_cast<double>(t) * gs.hc.options.get(2) / gs.extent_y;
    const std::array<std::int32_t, 4> w = {
        static_cast<std::int32_t>(p[0] + hpgl_trunc(fx * gs.wx1)),
        static_cast<std::int32_t>(p[1] + hpgl_trunc(fy * gs.wy1)),
        static_cast<std::int32_t>(std::min<std::int64_t>(p[2], p[0] + hpgl_trunc(fx * gs.wx2 + 0.99))),
        static_cast<std::int32_t>(std::min<std::int64_t>(p[3], p[1] + hpgl_trunc(fy * gs.wy2 + 0.99)))};
    hpgl_points_line("IW", w, 3);
    yyhpg3(HpglScaleLine);
}

void hpgl_text_direction() {
    const double r = static_cast<double>(gstate.text.angle) * 3.14159265358979323846 / 180.0;
    yyhpg3("DI" + hpgl_real(static_cast<float>(std::cos(r)), 6, 3) + " " +
           hpgl_real(static_cast<float>(std::sin(r)), 6, 3));
}

void hpgl_filled_points(const float* xs, const float* ys, std::size_t n) {
    yyhpg1("PU", xs[0], ys[0]);
    yyhpg3("PM0");
    for (std::size_t i = 1; i < n; ++i) yyhpg1("PD", xs[i], ys[i]);
    yyhpg3("PM2;FP");
    hcstate.PenPosition = {xs[0], ys[0]};
}

void hpgl_ellipse_body(bool filled) {
    const GraphicsState& gs = gstate;
    const DriverArguments& a = drvargs;
    const double page_w = gs.hc.options.get(1), page_h = gs.hc.options.get(2);
    const std::int64_t n =
        hpgl_trunc(32760.0 * gs.area_width_x * page_h / (gs.area_width_y * page_w * static_cast<double>(a.X[2])));
    float x = a.X[0], y = a.Y[0], r = a.X[1];
    hpgl_aspect(n, HpglScaleLine, x, y, r);
    if (filled) yyhpg3("PM0");
    yyhpg3("CI" + hpgl_int(hpgl_user_x(r), 6) + hpgl_int(0, 6));
    if (filled) yyhpg3("PM2;FP");
    hcstate.PenPosition = {a.X[0], a.Y[0]};
    yyhpg3(HpglScaleLine);
}
