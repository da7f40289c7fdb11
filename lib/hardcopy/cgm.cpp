// Binary CGM: the shared encoding and hardcopy driver 9, which writes one
// picture per file. Attribute elements are written only when their value
// changes; the octets of one operation go out in one write.
#include "lib/hardcopy/cgm.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "lib/graphics/driver.h"
#include "lib/graphics/gradient.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/hcstate.h"
#include "lib/window/osservices.h"
#include "lib/window/text.h"

CgmDriverState cgmstate;

namespace cgm {

namespace {
// Partitions hold an even number of octets, so the next one starts even.
constexpr std::size_t PartitionLimit = 32766;
// Arc steps of one sector.
constexpr std::int64_t SectorAngleLimit = 4000;
}  // namespace

void word(std::string& out, std::int64_t v) {
    const auto u = static_cast<std::uint64_t>(v < 0 ? v + 65536 : v);
    out += static_cast<char>((u >> 8) & 0xFF);
    out += static_cast<char>(u & 0xFF);
}

void integer(std::string& out, std::int64_t v) { word(out, std::clamp<std::int64_t>(v, -32768, 32767)); }

void point(std::string& out, std::int64_t x, std::int64_t y) {
    integer(out, x);
    integer(out, y);
}

std::int64_t trunc(double v) {
    if (std::isnan(v)) return 0;
    return static_cast<std::int64_t>(std::clamp(v, -1.0e15, 1.0e15));
}

void string(std::string& out, std::string_view text, bool padded) {
    const std::size_t start = out.size();
    if (text.size() < 255) {
        out += static_cast<char>(text.size());
        out += text;
    } else {
        out += static_cast<char>(255);
        std::size_t done = 0;
        do {
            const std::size_t n = std::min<std::size_t>(text.size() - done, 32767);
            word(out, static_cast<std::int64_t>(n) + (done + n < text.size() ? 32768 : 0));
            out += text.substr(done, n);
            done += n;
        } while (done < text.size());
    }
    if (padded && (out.size() - start) % 2 != 0) out += '\0';
}

namespace {
void element_form(std::string& out, int cls, int id, std::string_view params, bool long_form) {
    const std::size_t n = params.size();
    if (n <= 30 && !long_form) {
        word(out, cls * 4096 + id * 32 + static_cast<std::int64_t>(n));
        out += params;
    } else {
        word(out, cls * 4096 + id * 32 + 31);
        std::size_t done = 0;
        do {
            const std::size_t part = std::min(n - done, PartitionLimit);
            word(out, static_cast<std::int64_t>(part) + (done + part < n ? 32768 : 0));
            out += params.substr(done, part);
            done += part;
        } while (done < n);
    }
    if (n % 2 != 0) out += '\0';
}
}  // namespace

void element(std::string& out, int cls, int id, std::string_view params) {
    element_form(out, cls, id, params, false);
}

void long_element(std::string& out, int cls, int id, std::string_view params) {
    element_form(out, cls, id, params, true);
}

void colour_element(std::string& out, int cls, int id, std::int32_t r, std::int32_t g, std::int32_t b) {
    const char p[4] = {static_cast<char>(r & 0xFF), static_cast<char>(g & 0xFF), static_cast<char>(b & 0xFF), 0};
    element(out, cls, id, std::string_view(p, 4));
}

std::string font_list(std::int32_t names) {
    static constexpr const char* cgm_names[16] = {
        "COURIER",     "COURIER_BOLD",   "COURIER_ITALIC",    "COURIER_BOLD_ITALIC",
        "HELVETICA",   "HELVETICA_BOLD", "HELVETICA_OBLIQUE", "HELVETICA_BOLD_OBLIQUE",
        "TIMES_ROMAN", "TIMES_BOLD",     "TIMES_ITALIC",      "TIMES_BOLD_ITALIC",
        "SYMBOL",      "SYMBOL",         "SYMBOL",            "SYMBOL"};
    static constexpr const char* ps_names[16] = {
        "Courier",     "Courier-Bold", "Courier-Oblique", "Courier-BoldOblique",
        "Helvetica",   "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique",
        "Times-Roman", "Times-Bold",   "Times-Italic",    "Times-BoldItalic",
        "Symbol",      "Symbol",       "Symbol",          "Symbol"};
    static constexpr const char* tt_names[16] = {
        "Courier New",     "Courier New Bold",     "Courier New Italic",     "Courier New Bold Italic",
        "Arial",           "Arial Bold",           "Arial Italic",           "Arial Bold Italic",
        "Times New Roman", "Times New Roman Bold", "Times New Roman Italic", "Times New Roman Bold Italic",
        "Symbol",          "Symbol Italic",        "Symbol Bold",            "Symbol Bold Italic"};
    // A value outside 0..2 takes the driver's default names: a list header
    // without its names would leave the file unreadable.
    const char* const* list = names == 0 ? cgm_names : names == 1 ? ps_names : tt_names;
    std::string p;
    for (int i = 0; i < 16; ++i) string(p, list[i], names == 1 && i == 15);
    return p;
}

std::int32_t line_type(std::int32_t library_type) {
    static constexpr std::int32_t types[8] = {1, 3, 2, 4, 5, 10, 12, 13};
    return types[std::clamp(library_type, 0, 7)];
}

std::array<std::int32_t, 2> vdc_extent(std::int64_t width_points, std::int64_t height_points, std::int64_t dpi_x,
                                       std::int64_t dpi_y) {
    std::int64_t w = width_points * dpi_x / 72, h = height_points * dpi_y / 72;
    const std::int64_t m = std::max(w, h);
    if (m > 32767) {
        w = w * 32767 / m;
        h = h * 32767 / m;
    }
    return {static_cast<std::int32_t>(std::clamp<std::int64_t>(w, -32768, 32767)),
            static_cast<std::int32_t>(std::clamp<std::int64_t>(h, -32768, 32767))};
}

namespace {
std::string ints(std::initializer_list<std::int64_t> values) {
    std::string p;
    for (std::int64_t v : values) integer(p, v);
    return p;
}
std::string str(std::string_view s) {
    std::string p;
    string(p, s, false);
    return p;
}
}  // namespace

void text_alignment(std::string& out, std::int32_t horizontal) {
    element(out, 5, 18, ints({horizontal, 5, 0, 0, 0, 0}));
}

std::string header(std::string_view title, std::int32_t font_names, std::int32_t w, std::int32_t h) {
    std::string out;
    element(out, 0, 1, str(title));
    element(out, 1, 1, ints({1}));
    element(out, 1, 2, str("QDX CGM driver v4"));
    element(out, 1, 3, ints({0}));
    element(out, 1, 4, ints({16}));
    element(out, 1, 5, ints({1, 16, 16}));
    element(out, 1, 6, ints({16}));
    long_element(out, 1, 13, font_list(font_names));
    element(out, 1, 7, ints({8}));
    element(out, 1, 10, std::string("\0\0\0\xFF\xFF\xFF", 6));
    element(out, 0, 3, str("QDX CGM Data"));
    element(out, 2, 3, ints({0}));
    element(out, 2, 5, ints({0}));
    element(out, 2, 2, ints({1}));
    element(out, 3, 1, ints({16}));
    element(out, 2, 6, ints({0, 0, w, h}));
    element(out, 0, 4, {});
    text_alignment(out, 1);
    return out;
}

void colour_if_changed(std::string& out, std::int32_t& entry, int cls, int id, const Rgb& c) {
    if (packed(c) == entry) return;
    entry = packed(c);
    colour_element(out, cls, id, c.r, c.g, c.b);
}

std::int32_t sector_segments(float rx, std::int32_t width) {
    const std::int64_t n = std::clamp<std::int64_t>(trunc(rx), -100000, 100000) * 75 / std::max(width, 1) + 25;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(n, 1, 100000));
}

std::string sector_points(std::int64_t cx, std::int64_t cy, float x, float y, float rx, float ry, float a0,
                          float a1, std::int32_t segments, float sx, float sy) {
    std::string p;
    auto pt = [&](double px, double py) { point(p, trunc(px * sx), trunc(py * sy)); };
    point(p, cx, cy);
    const float step = 3.1415927f / static_cast<float>(std::max(segments, 1));
    if (std::isfinite(a0) && std::isfinite(a1)) {
        for (std::int64_t k = 0; k < SectorAngleLimit; ++k) {
            const float a = a0 + static_cast<float>(k) * step;
            if (!(a <= a1)) break;
            pt(x + rx * std::cos(a), y + ry * std::sin(a));
        }
    }
    pt(x + rx * std::cos(a1), y + ry * std::sin(a1));
    return p;
}

std::string gradient_triangles(const std::int32_t* tri, std::int32_t t, float sx, float sy) {
    const GradientVertexBlock& v = gradient_block;
    std::string out;
    for (std::int32_t k = 0; k < t; ++k) {
        std::array<std::size_t, 3> n{};
        bool valid = true;
        for (int j = 0; j < 3; ++j) {
            const std::int32_t number = tri[3 * k + j];
            valid = valid && number >= 1 && number <= std::min(v.n, GradientMaxVertices);
            n[static_cast<std::size_t>(j)] = static_cast<std::size_t>(std::max(number, 1) - 1);
        }
        if (!valid) continue;
        auto X = [&](int j) { return quin01.X[n[static_cast<std::size_t>(j)]]; };
        auto Y = [&](int j) { return quin01.Y[n[static_cast<std::size_t>(j)]]; };
        const std::int64_t ax = trunc(X(0) * sx), ay = trunc(Y(0) * sy);
        element(out, 5, 31, ints({ax, ay}));
        std::string p = ints({3, trunc((X(1) - X(0)) * sx), trunc((Y(1) - Y(0)) * sy), trunc((X(2) - X(0)) * sx),
                              trunc((Y(2) - Y(0)) * sy), 0});
        for (int j = 0; j < 3; ++j) {
            const std::int32_t c = v.rgb[n[static_cast<std::size_t>(j)]];
            p += static_cast<char>(c & 0xFF);
            p += static_cast<char>((c >> 8) & 0xFF);
            p += static_cast<char>((c >> 16) & 0xFF);
        }
        p += '\0';
        element(out, 5, 43, p);
        element(out, 5, 22, ints({6}));
        element(out, 4, 7,
                ints({ax, ay, trunc(X(1) * sx), trunc(Y(1) * sy), trunc(X(2) * sx), trunc(Y(2) * sy)}));
    }
    return out;
}

std::string cell_array_head(std::int64_t px, std::int64_t py, std::int64_t qx, std::int64_t qy, std::int64_t rx,
                            std::int64_t ry, std::int32_t width, std::int32_t height) {
    std::string out;
    word(out, 4 * 4096 + 9 * 32 + 31);
    word(out, 32768 + 20);
    point(out, px, py);
    point(out, qx, qy);
    point(out, rx, ry);
    integer(out, width);
    integer(out, height);
    integer(out, 8);
    integer(out, 0);
    return out;
}

std::string cell_array_row(const std::int32_t* pixels, std::int32_t width, bool last) {
    std::string row;
    for (std::int32_t i = 0; i < width;) {
        std::int32_t run = 1;
        while (i + run < width && run < 32767 && pixels[i + run] == pixels[i]) ++run;
        const std::int32_t c = pixels[i];
        word(row, run);
        row += static_cast<char>(c & 0xFF);
        row += static_cast<char>((c >> 8) & 0xFF);
        row += static_cast<char>((c >> 16) & 0xFF);
        i += run;
    }
    if (row.size() % 2 != 0) row += '\0';
    // A row longer than one partition goes over several.
    std::string out;
    std::size_t done = 0;
    do {
        const std::size_t part = std::min(row.size() - done, PartitionLimit);
        const bool more = done + part < row.size() || !last;
        word(out, static_cast<std::int64_t>(part) + (more ? 32768 : 0));
        out.append(row, done, part);
        done += part;
    } while (done < row.size());
    return out;
}

void text_element(std::string& out, bool single, std::int64_t dw, std::int64_t dh, std::int64_t x, std::int64_t y,
                  std::string_view text) {
    std::string p;
    if (single) {
        point(p, x, y);
        integer(p, 1);
        string(p, text.substr(0, 1), false);
        element(out, 4, 4, p);
        return;
    }
    point(p, dw, dh);
    point(p, x, y);
    integer(p, 1);
    string(p, text, false);
    element(out, 4, 5, p);
}

std::int32_t text_anchor(float& x, float& y) {
    const TextState& t = gstate.text;
    const DriverArguments& a = drvargs;
    const std::int32_t align = t.TextPitch == 1 ? 1 : std::clamp(t.justification, 0, 2) + 1;
    const float dx = 0.38f * t.along_down[3], dy = 0.38f * t.along_down[2];
    x = a.X[0] + dx;
    y = a.Y[0] - dy;
    if (align == 2) {
        x = (x + a.X[2] + dx) / 2.0f;
        y = (y + a.Y[2] - dy) / 2.0f;
    } else if (align == 3) {
        x = a.X[2] + dx;
        y = a.Y[2] - dy;
    }
    return align;
}

void orientation(std::string& out, float s) {
    const TextState& t = gstate.text;
    element(out, 5, 16,
            ints({trunc(-1.2 * s * t.sin_over_r), trunc(1.2 * s * t.cos_angle), trunc(s * t.cos_angle),
                  trunc(s * t.sin_r)}));
}

}  // namespace cgm

// ---------------------------------------------------------------- file writer

namespace {

GraphicsState& g() { return gstate; }
std::int32_t option(int code) { return gstate.hc.options.get(code); }
std::string& pending() { return cgmstate.pending; }

void flush() {
    if (pending().empty()) return;
    yyprou(DriverChannel, pending());
    pending().clear();
}

// The octets go to the channel a block at a time, not an element at a time.
void flush_full_block() {
    if (pending().size() >= hcstate.channel_block) flush();
}

std::int64_t sx(float x) { return cgm::trunc(static_cast<double>(x) * gstate.hc.x_scale); }
std::int64_t sy(float y) { return cgm::trunc(static_cast<double>(y) * gstate.hc.y_scale); }
void pt(std::string& p, float x, float y) { cgm::point(p, sx(x), sy(y)); }

Rgb mode(Rgb c) {
    yycgm1(c.r, c.g, c.b);
    return c;
}
Rgb previous_colour() { return mode(colour_components(g().PreviousColour.in_model(g().ColourModel))); }

// LINE WIDTH and EDGE WIDTH in VDC of option 9.
std::int64_t width_vdc() {
    const std::int64_t page = option(1);
    return page > 0 ? static_cast<std::int64_t>(option(9)) * cgmstate.w / (10 * page) : 0;
}

void initialise() {
    // The shared initialisation answers a probe by putting the driver number
    // in N, so the probe is known only before it.
    const bool probe = drvargs.N == ProbeDriverNumber;
    vector_driver_initialise({DriverCgm, {{1, 756}, {2, 540}, {3, 0}, {4, 0}, {5, 0}, {28, 2}}, 600, 256,
                              CapsCgmFile, NoTextSizeThreshold, "derizure.cgm", 0});
    if (probe) return;
    g().device[HardcopySide].gradient_type = 2;
    g().hc.own_text_background = 1;
}

void begin() {
    CgmDriverState& s = cgmstate;
    GraphicsState& gs = g();
    if (drvargs.K > 0) {
        s.aspect = option(2) != 0 ? static_cast<float>(option(1)) / static_cast<float>(option(2)) : 1.0f;
        if (!driver_open_output()) return;
        const auto wh = cgm::vdc_extent(option(1), option(2), hcstate.HardcopyResolution[0],
                                        hcstate.HardcopyResolution[1]);
        s.w = wh[0];
        s.h = wh[1];
        const std::string title =
            drvargs.IX[0] != 0 ? std::string(txt_trim(hcstate.HardcopyTitle)) : std::string("QDX CGM File");
        pending() += cgm::header(title, option(28), s.w, s.h);
        s.cache = cgm::AttributeCache{};
        s.join = s.cap = 0;
        s.picture_open = 1;
    }
    gs.hc.x_scale = gs.extent_x != 0.0f ? static_cast<float>(s.w) / gs.extent_x : 0.0f;
    gs.hc.y_scale = gs.extent_y != 0.0f ? static_cast<float>(s.h) / gs.extent_y : 0.0f;
}

void end_output() {
    // A run that drew nothing gets no end of page: its picture is closed
    // here, so the file still ends as a whole picture.
    if (cgmstate.picture_open != 0) cgm::element(pending(), 0, 5, {});
    cgmstate.picture_open = 0;
    cgm::element(pending(), 0, 2, {});
    flush();
    yyprcl(DriverChannel);
}

void polyline(const float* xs, const float* ys, std::size_t n, bool long_form) {
    std::string& out = pending();
    cgm::colour_if_changed(out, cgmstate.cache.line, 5, 4, cgmstate.current);
    std::string p;
    for (std::size_t i = 0; i < n; ++i) pt(p, xs[i], ys[i]);
    if (long_form) cgm::long_element(out, 4, 1, p);
    else cgm::element(out, 4, 1, p);
}

void interior(std::int32_t style) {
    std::string p;
    cgm::integer(p, style);
    cgm::element(pending(), 5, 22, p);
}

// A point as a filled square as wide as the lines, at least a pixel of
// the drawable: readers draw a polyline of one point as nothing.
void dot(float x, float y) {
    g().hc.page_in_progress = 1;
    std::string& out = pending();
    cgm::colour_if_changed(out, cgmstate.cache.fill, 5, 23, cgmstate.current);
    interior(1);
    const std::int64_t side = std::max({width_vdc(), sx(1.0f), std::int64_t{1}}), x0 = sx(x) - side / 2,
                       y0 = sy(y) - side / 2;
    std::string p;
    cgm::point(p, x0, y0);
    cgm::point(p, x0 + side, y0 + side);
    cgm::element(out, 4, 11, p);
}

void shape(std::int32_t op) {
    CgmDriverState& s = cgmstate;
    GraphicsState& gs = g();
    DriverArguments& a = drvargs;
    if (a.K == -1) return;
    gs.hc.page_in_progress = 1;
    const std::int32_t style = gs.fill_style;
    if (style != 3 && style != 4 && op != OpEllipsePattern) return;
    std::string& out = pending();
    Rgb fill = s.current;
    if (style == 3) {
        const Rgb p = previous_colour();
        fill = {(p.r + fill.r) / 2, (p.g + fill.g) / 2, (p.b + fill.b) / 2};
    }
    cgm::colour_if_changed(out, s.cache.fill, 5, 23, fill);
    std::string p;
    switch (op) {
        case OpEllipsePattern: {
            const bool outline = style < 3;
            if (outline) {
                std::string v;
                cgm::integer(v, 1);
                cgm::element(out, 5, 30, v);
                cgm::colour_if_changed(out, s.cache.edge, 5, 29, s.current);
                const std::int32_t type = cgm::line_type(gs.LineType);
                if (type != s.cache.edge_type) {
                    s.cache.edge_type = type;
                    std::string e;
                    cgm::integer(e, type);
                    cgm::element(out, 5, 27, e);
                }
                if (option(9) != s.cache.edge_width) {
                    s.cache.edge_width = option(9);
                    std::string e;
                    cgm::integer(e, width_vdc());
                    cgm::element(out, 5, 28, e);
                }
            }
            interior(outline ? 4 : 1);
            const double num = static_cast<double>(a.X[1]) * a.X[2] * option(1) * gs.extent_y * gs.area_width_y;
            const double den = static_cast<double>(gs.extent_x) * option(2) * gs.area_width_x;
            const float dy = den != 0.0 ? static_cast<float>(num / den) : 0.0f;
            pt(p, a.X[0], a.Y[0]);
            pt(p, a.X[0] + a.X[1], a.Y[0]);
            pt(p, a.X[0], a.Y[0] + dy);
            cgm::element(out, 4, 17, p);
            if (outline) {
                std::string v;
                cgm::integer(v, 0);
                cgm::element(out, 5, 30, v);
            }
            return;
        }
        case OpQuadPattern:
            interior(1);
            for (int i = 0; i < 4; ++i) pt(p, a.X[static_cast<std::size_t>(i)], a.Y[static_cast<std::size_t>(i)]);
            cgm::element(out, 4, 7, p);
            return;
        case OpRectanglePattern:
            interior(1);
            pt(p, std::max(a.X[0], gs.wx1), std::max(a.Y[0], gs.wy1));
            pt(p, std::min(a.X[1], gs.wx2), std::min(a.Y[1], gs.wy2));
            cgm::element(out, 4, 11, p);
            return;
        case OpTrianglePattern:
            interior(1);
            for (int i = 0; i < 3; ++i) pt(p, a.X[static_cast<std::size_t>(i)], a.Y[static_cast<std::size_t>(i)]);
            cgm::element(out, 4, 7, p);
            return;
        case OpSectorPattern: {
            interior(1);
            a.Y[1] = a.Y[1] / gs.aspect_ratio * s.aspect;
            cgm::long_element(out, 4, 7,
                              cgm::sector_points(sx(a.X[0]), sy(a.Y[0]), a.X[0], a.Y[0], a.X[1], a.Y[1], a.X[2], a.X[3],
                                                 cgm::sector_segments(a.X[1], gs.width), gs.hc.x_scale,
                                                 gs.hc.y_scale));
            return;
        }
        case OpPolygonPattern: {
            interior(1);
            const auto n = static_cast<std::size_t>(driver_point_count());
            for (std::size_t i = 0; i < n; ++i) pt(p, quin01.X[i], quin01.Y[i]);
            cgm::long_element(out, 4, 7, p);
            return;
        }
        default: return;
    }
}

void font() {
    CgmDriverState& s = cgmstate;
    const GraphicsState& gs = g();
    const TextState& t = gs.text;
    std::string& out = pending();
    const std::int32_t index = 4 * std::clamp(t.HardwareFontFamily, 1, 4) - 3 + (t.TextStyle & 3);
    if (index != s.cache.font) {
        s.cache.font = index;
        std::string p;
        cgm::integer(p, index);
        cgm::element(out, 5, 10, p);
    }
    const auto h = static_cast<std::int32_t>(std::clamp<std::int64_t>(
        cgm::trunc(static_cast<double>(t.char_height) * 0.55 * gs.text_ref_size_y * gs.hc.y_scale), -32768, 32767));
    if (h != s.cache.height) {
        s.cache.height = h;
        std::string p;
        cgm::integer(p, h);
        cgm::element(out, 5, 15, p);
    }
}

void transparency(std::int32_t on) {
    std::string p;
    cgm::integer(p, on);
    cgm::element(pending(), 3, 4, p);
}

void text() {
    CgmDriverState& s = cgmstate;
    GraphicsState& gs = g();
    const TextState& t = gs.text;
    const DriverArguments& a = drvargs;
    std::string& out = pending();
    gs.hc.page_in_progress = 1;
    const bool single = t.TextPitch == 1;
    const bool boxed = (t.TextStyle & 8) != 0 && !single && gs.stroke_text_flag == 0;
    if (boxed) {
        transparency(0);
        cgm::colour_if_changed(out, s.cache.aux, 3, 3, previous_colour());
    }
    cgm::colour_if_changed(out, s.cache.text, 5, 14, s.current);
    float x = 0, y = 0;
    const std::int32_t align = cgm::text_anchor(x, y);
    if (align != s.cache.align) {
        s.cache.align = align;
        cgm::text_alignment(out, align);
    }
    const std::string_view body = std::string_view(DriverText).substr(0, static_cast<std::size_t>(driver_text_count()));
    const double dist = std::hypot(static_cast<double>(a.X[2] - a.X[0]), static_cast<double>(a.Y[2] - a.Y[0]));
    cgm::text_element(out, single, cgm::trunc(gs.hc.x_scale * dist), cgm::trunc(1.25 * s.cache.height), sx(x), sy(y),
                      body);
    if (boxed) transparency(1);
}

void clip() {
    const GraphicsState& gs = g();
    std::string p;
    cgm::integer(p, 1);
    cgm::element(pending(), 3, 6, p);
    p.clear();
    pt(p, gs.wx1, gs.wy1);
    pt(p, gs.wx2, gs.wy2);
    cgm::element(pending(), 3, 5, p);
}

void image() {
    GraphicsState& gs = g();
    DriverArguments& a = drvargs;
    std::vector<std::int32_t> pixels;
    if (!driver_load_image(pixels)) return;
    gs.hc.page_in_progress = 1;
    const std::int32_t width = a.IX[1], height = a.IY[1];
    pending() += cgm::cell_array_head(sx(gs.wx1), sy(gs.wy2), sx(gs.wx2), sy(gs.wy1), sx(gs.wx2), sy(gs.wy2), width,
                                      height);
    for (std::int32_t row = 0; row < height; ++row) {
        pending() += cgm::cell_array_row(pixels.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(width),
                                         width, row == height - 1);
        flush_full_block();
        // A write that failed stops the rows; the file stays incomplete.
        if (const int status = channel_write_status(DriverChannel); status != 0) {
            a.K = 2;
            a.N = status;
            return;
        }
    }
}

void xxcgm_op(std::int32_t op) {
    CgmDriverState& s = cgmstate;
    GraphicsState& gs = g();
    DriverArguments& a = drvargs;
    std::string& out = pending();
    switch (op) {
        case OpInitialise: initialise(); return;
        case OpLine:
            gs.hc.page_in_progress = 1;
            polyline(a.X.data(), a.Y.data(), 2, false);
            return;
        case OpPoint: dot(a.X[0], a.Y[0]); return;
        case OpPolyline:
            gs.hc.page_in_progress = 1;
            polyline(quin01.X.data(), quin01.Y.data(), static_cast<std::size_t>(driver_point_count()), true);
            return;
        case OpColour:
        case OpPalette: s.current = mode(colour_components(gs.CurrentColour.in_model(gs.ColourModel))); return;
        case OpEllipsePattern:
        case OpQuadPattern:
        case OpRectanglePattern:
        case OpTrianglePattern:
        case OpSectorPattern:
        case OpPolygonPattern: shape(op); return;
        case OpBeginPicture: begin(); return;
        case OpEndOutput: end_output(); return;
        case OpEndPage:
            gs.hc.page_in_progress = 0;
            s.picture_open = 0;
            cgm::element(out, 0, 5, {});
            return;
        case OpFont: font(); return;
        case OpText: text(); return;
        case OpClip: clip(); return;
        case OpLineType: {
            std::string p;
            cgm::integer(p, cgm::line_type(gs.LineType));
            cgm::element(out, 5, 2, p);
            return;
        }
        case OpLineWidth: {
            std::string p;
            cgm::integer(p, width_vdc());
            cgm::element(out, 5, 3, p);
            return;
        }
        case OpTextAngle:
            cgm::orientation(out, gs.text.char_width * gs.text_ref_size_x * gs.hc.x_scale);
            return;
        case OpLineJoin:
            if (option(10) != s.join) {
                s.join = option(10);
                std::string p;
                cgm::integer(p, s.join + 2);
                cgm::element(out, 5, 38, p);
            }
            return;
        case OpLineCap:
            if (option(11) != s.cap) {
                s.cap = option(11);
                std::string p;
                cgm::integer(p, s.cap + 2);
                cgm::integer(p, 1);
                cgm::element(out, 5, 37, p);
            }
            return;
        case OpImageFile: image(); return;
        case OpGradientFill:
            gs.hc.page_in_progress = 1;
            yygradientfill(2, 0, 0, 0, 0, [](std::int32_t, std::int32_t, std::int32_t) {}, &yycgm9);
            return;
        default: return;
    }
}

}  // namespace

void yycgm1(std::int32_t& r, std::int32_t& g, std::int32_t& b) {
    const std::int32_t m = option(6);
    const bool dark = r < 10 && g < 10 && b < 10;
    const bool light = r > 245 && g > 245 && b > 245;
    if (m == 1 || (m == 2 && (dark || light))) {
        r = 255 - r;
        g = 255 - g;
        b = 255 - b;
    }
}

void yycgm2(std::int32_t cls, std::int32_t id, std::int32_t length) {
    cgm::word(pending(), static_cast<std::int64_t>(cls) * 4096 + static_cast<std::int64_t>(id) * 32 + length);
}
void yycgm5(std::int32_t value) { cgm::integer(pending(), value); }
void yycgm6(std::int32_t a, std::int32_t b) { cgm::point(pending(), a, b); }
void yycgm7(std::string_view text, std::int32_t n) {
    cgm::string(pending(), text.substr(0, static_cast<std::size_t>(std::clamp<std::int64_t>(n, 0, text.size()))), true);
}
void yycgm8(std::string_view text, std::int32_t n) {
    cgm::string(pending(), text.substr(0, static_cast<std::size_t>(std::clamp<std::int64_t>(n, 0, text.size()))),
                false);
}
void yycgm4(std::int32_t cls, std::int32_t id, std::int32_t r, std::int32_t g, std::int32_t b) {
    cgm::colour_element(pending(), cls, id, r, g, b);
}
void yycgm3(float x, float y) { pt(pending(), x, y); }

void yycgm9(const std::int32_t*, const std::int32_t*, const std::int32_t*, const std::int32_t* tri, std::int32_t,
            std::int32_t t, std::int32_t& status) {
    pending() += cgm::gradient_triangles(tri, t, gstate.hc.x_scale, gstate.hc.y_scale);
    // The triangles are the device's: no pixel fill after them.
    status = 0;
}

void xxcgm(std::int32_t op) {
    xxcgm_op(op);
    if (op != OpInitialise) flush_full_block();
}

void reset_cgm_state() { cgmstate = CgmDriverState{}; }
