// Hardcopy driver 12: HP-GL/2. Lines go through the command line writer of
// hcdriver and the encoders below.
#include "lib/hardcopy/hpgl2.h"

#include <algorithm>
#include <cmath>

#include "lib/graphics/colours.h"
#include "lib/graphics/dither.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/hcdriver.h"
#include "lib/hardcopy/hpgl.h"
#include "lib/window/text.h"

Hpgl2State hpgl2state;

namespace {

struct DeviceType {
    std::int32_t colours, page_x, page_y, dpi;
    float divisor;
    char selector;
};

constexpr DeviceType device_types[5] = {
    {2, 10860, 7918, 300, 1.5f, 'S'},   {256, 10860, 7918, 300, 1.2f, 'A'}, {2, 10860, 7918, 600, 1.2f, 'A'},
    {256, 15836, 10860, 600, 1.2f, 'A'}, {256, 10860, 7918, 600, 1.2f, 'A'},
};
constexpr std::string_view CapsTwoColours = "00000100000011100010001001110";
constexpr std::string_view CapsColours = "00000100011111100010011011110";
constexpr float T = 1016.0f / 72.0f;
constexpr std::int32_t Plotter = 4;  // the device type without PCL

Hpgl2State& st() { return hpgl2state; }
GraphicsState& g() { return gstate; }
std::int32_t option(int code) { return gstate.hc.options.get(code); }
std::int32_t device_type() { return std::clamp(hcstate.models.hpgl2_device, 1, 5); }
bool black_and_white() { return hcstate.PlotterPenCount <= 2; }

// A buffer line of fixed columns, squeezed.
void squeezed(std::string_view line) { hpgl_line(line); }

// A comment record: CO, a double quote, the text, a double quote, and the
// semicolon that ends the instruction: readers that skip a comment up to
// the next semicolon would otherwise skip the instructions after it.
void record(const std::string& text) { squeezed("CO\"" + text + "\";"); }

void initialise() {
    if (drvargs.N == ProbeDriverNumber) {
        drvargs.N = DriverHpgl2;
        return;
    }
    GraphicsState& gs = g();
    Hpgl2State& s = st();
    yydefh();
    dither_cache_clear();
    const DeviceType& d = device_types[device_type() - 1];
    HardcopyOptionTable& o = gs.hc.options;
    o.set(5, 1);
    o.set(18, 0);
    o.set(21, 4);
    s.font_pending = 1;
    o.set(3, 0);
    o.set(4, 0);
    hcstate.PlotterPenCount = d.colours;
    o.set(1, d.page_x * 72 / 1016);
    o.set(2, d.page_y * 72 / 1016);
    hcstate.HardcopyResolution = {d.dpi, d.dpi};
    DeviceDescription& dev = gs.device[HardcopySide];
    dev.DeviceCapabilities = std::string(d.colours == 2 ? CapsTwoColours : CapsColours);
    gs.hc.colour_count = d.colours == 2 ? 2 : 256;
    s.divisor = d.divisor;
    s.selector = d.selector;
    hcstate.DriverCanSpool = 1;
    txt_set(gs.hc.output_name, "derizure.plt");
    gs.hc.active_driver = DriverHpgl2;
    dev.charset_bits = 8;
    dev.TextRotationCapability = 360;
    dev.platform_variant = 2;
    dev.true_colour = 0;
    dev.gradient_type = 0;
    gs.hc.whole_strings = 1;
    gs.hc.own_text_background = 0;
    gs.hc.third_text_flag = 0;
    dev.TextSizeThreshold = NoTextSizeThreshold;
}

// The title as a comment a device skips: a double quote inside it would
// end the comment and turn the rest into instructions, and so would a
// semicolon for readers that end a comment there.
void title_comment() {
    std::string title(trimmed(hcstate.HardcopyTitle));
    std::replace(title.begin(), title.end(), '"', '\'');
    std::replace(title.begin(), title.end(), ';', ',');
    squeezed("CO\": " + title + "\";");
}

void begin() {
    GraphicsState& gs = g();
    Hpgl2State& s = st();
    gs.hc.x_scale = 32760.0f / gs.extent_x;
    gs.hc.y_scale = 32760.0f / gs.extent_y;
    if (drvargs.K > 0) {
        if (!driver_open_output()) return;
        hcstate.LineModeWord = option(17) != 0 ? 1 : 2;
        s.last_dither = -1;
        s.last_pair_a = s.last_pair_b = -1;
        s.terminator = static_cast<char>(option(21));
        s.pen = "   ";
        s.fill_pen = "   ";
        s.fill_type = -1;
        s.defined.assign(256, ' ');
        s.last_font = -1;
        s.last_style = -1;
        s.last_kind = 0;
        s.last_origin = -1;
        const std::int32_t type = device_type();
        const auto px = static_cast<float>(option(3)), py = static_cast<float>(option(4));
        s.p = {static_cast<std::int32_t>(hpgl_trunc(T * px)), static_cast<std::int32_t>(hpgl_trunc(T * py)),
               static_cast<std::int32_t>(hpgl_trunc(T * (static_cast<float>(option(1)) + px))),
               static_cast<std::int32_t>(hpgl_trunc(T * (static_cast<float>(option(2)) + py)))};
        if (type != Plotter) yyhpgl2b("\x1b%0B");
        if (drvargs.IX[0] != 0) title_comment();
        hpgl_points_line("IN; IP", s.p, 7);
        const bool blank_nine = type == Plotter ? option(5) != 0 : option(5) == 0;
        hpgl_points_line(blank_nine ? "RO  0; IP" : "RO 90; IP", s.p, 11);
        squeezed(std::string("DT") + s.terminator);
        squeezed("DI1. 0.");
        squeezed("TR0");
        if (type != 1) squeezed("AD1,14;SA");
        if (!black_and_white()) squeezed("NP256");
        record("13 " + hpgl_int(type, 2) + " " + hpgl_real(s.divisor, 3, 1) + " 9");
        record("2 " + hpgl_int(option(6), 1));
    }
    if (hpgl_channel_open()) squeezed(std::string(HpglScaleLine));
}

void end_page() {
    g().hc.page_in_progress = 0;
    record("3 " + hpgl_int(drvargs.K, 3));
    if (device_type() == Plotter) {
        squeezed("PG");
        return;
    }
    const std::int32_t copies = option(8);
    std::string n = std::to_string(copies);
    if (copies >= 0 && n.size() < 2) n.insert(0, 1, '0');
    yyhpgl2b("\x1b%1A\x1b&l" + n + "X\f\x1b%0B");
}

void polyline() {
    g().hc.page_in_progress = 1;
    const std::int32_t n = driver_point_count();
    if (n < 1) return;
    hpgl_move_unless_there(quin01.X[0], quin01.Y[0]);
    if (n > 1) yyhpgl2a();
    hcstate.PenPosition = {quin01.X[static_cast<std::size_t>(n - 1)], quin01.Y[static_cast<std::size_t>(n - 1)]};
}

Rgb palette_rgb(std::int32_t index) {
    std::int32_t rgb = 0;
    yypalg(std::clamp(index, 0, 255), rgb);
    return {rgb & 255, (rgb >> 8) & 255, (rgb >> 16) & 255};
}

void select_pen(const std::string& pen) { squeezed("PU;SP" + pen); }

void colour() {
    Hpgl2State& s = st();
    GraphicsState& gs = g();
    const std::int32_t c = std::clamp(gs.CurrentColour.index(), 0, 255);
    std::string pen;
    if (!black_and_white()) {
        pen = fixed_int(c, 3);
        if (s.defined[static_cast<std::size_t>(c)] == ' ') {
            const Rgb rgb = palette_rgb(c);
            yyhpgl2d(c, rgb.r, rgb.g, rgb.b);
            s.defined[static_cast<std::size_t>(c)] = '1';
        }
    } else {
        pen = c == (option(6) != 0 ? 223 : 0) ? "0  " : "1  ";
    }
    if (pen != s.pen) {
        s.pen = pen;
        select_pen(pen);
    }
    if (gs.FillEmulationRequest[HardcopySide] == 0) {
        const Rgb rgb = colour_components(gs.CurrentColour.in_model(gs.ColourModel));
        record("1 " + hpgl_int(rgb.r + 256 * rgb.g + 65536 * rgb.b, 8));
    }
}

void pen_colour() {
    const std::int32_t v = drvargs.IX[0], n = drvargs.N;
    yyhpgl2d(n, v & 255, (v >> 8) & 255, (v >> 16) & 255);
    if (n >= 0 && n <= 255) st().defined[static_cast<std::size_t>(n)] = '1';
}

std::int32_t figure_code(std::int32_t op) {
    switch (op) {
        case OpEllipsePattern: return 5;
        case OpQuadPattern: return 8;
        case OpRectanglePattern: return 6;
        case OpTrianglePattern: return 7;
        case OpSectorPattern: return 4;
        default: return 11;
    }
}

std::uint32_t dither_of(const ColourTriple& colour) {
    GraphicsState& gs = g();
    const ColourTriple saved = gs.CurrentColour;
    gs.CurrentColour = colour;
    std::int32_t r = 0, gg = 0, b = 0;
    yydith(1, r, gg, b);
    gs.CurrentColour = saved;
    return static_cast<std::uint32_t>(r);
}

void fill_setup(std::int32_t code) {
    Hpgl2State& s = st();
    GraphicsState& gs = g();
    const std::int32_t a = gs.PreviousColour.in_model(gs.ColourModel), b = gs.CurrentColour.in_model(gs.ColourModel);
    const bool mixed = gs.fill_style == 3 && a != b;
    if (black_and_white()) {
        if (gs.stroke_text_flag != 0) {
            squeezed("FT2");
            s.fill_type = -1;
        } else if (!mixed) {
            if (b != s.last_dither) {
                squeezed("RF1,8,4,");
                yyhpgl2c(dither_of(gs.CurrentColour));
                s.last_dither = b;
            }
            if (s.fill_type != 1) {
                squeezed("FT11 1");
                s.fill_type = 1;
            }
        } else {
            if (a != s.last_pair_a || b != s.last_pair_b) {
                const std::uint32_t pa = dither_of(gs.PreviousColour), pb = dither_of(gs.CurrentColour);
                squeezed("RF2,8,4,");
                yyhpgl2c((pa & 0xAA55AA55u) + (pb & 0x55AA55AAu));
                s.last_pair_a = a;
                s.last_pair_b = b;
            }
            if (s.fill_type != 2) {
                squeezed("FT11 2");
                s.fill_type = 2;
            }
        }
    } else if (mixed) {
        const std::int32_t q = 255 - std::clamp(gs.CurrentColour.index(), 0, 255);
        const Rgb ca = palette_rgb(gs.PreviousColour.index()), cb = palette_rgb(gs.CurrentColour.index());
        yyhpgl2d(q, (ca.r + cb.r) / 2, (ca.g + cb.g) / 2, (ca.b + cb.b) / 2);
        s.fill_pen = fixed_int(q, 3);
        select_pen(s.fill_pen);
        s.defined[static_cast<std::size_t>(q)] = ' ';
    }
    record(fixed_int(code, 2) + " " + hpgl_int(gs.fill_style, 1) + " " + hpgl_int(gs.fill_density, 1) + " " +
           hpgl_int(gs.fill_angle, 1) + " " + hpgl_int(gs.outline_flag, 1));
}

void ellipse() {
    const GraphicsState& gs = g();
    const bool filled = gs.fill_style >= 3;
    yyhpg1("PU", drvargs.X[0], drvargs.Y[0]);
    if (!filled)
        record("5 " + hpgl_int(gs.fill_style, 1) + " " + hpgl_int(gs.fill_density, 1) + " " +
               hpgl_int(gs.fill_angle, 1) + " " + hpgl_int(gs.outline_flag, 1));
    hpgl_ellipse_body(filled);
}

void figure(std::int32_t op) {
    Hpgl2State& s = st();
    GraphicsState& gs = g();
    const DriverArguments& a = drvargs;
    const std::int32_t code = figure_code(op);
    if (a.K == -1) {
        if (code == 5 || code == 4 || gs.fill_style >= 3) record(fixed_int(code, 2) + " -1");
        if (s.fill_pen != s.pen) select_pen(s.pen);
        return;
    }
    gs.hc.page_in_progress = 1;
    s.fill_pen = "   ";
    if (gs.fill_style < 3) {
        if (op == OpEllipsePattern) ellipse();
        return;
    }
    fill_setup(code);
    switch (op) {
        case OpEllipsePattern: ellipse(); return;
        case OpQuadPattern: {
            const float xs[4] = {a.X[0], a.X[1], a.X[2], a.X[3]}, ys[4] = {a.Y[0], a.Y[1], a.Y[2], a.Y[3]};
            hpgl_filled_points(xs, ys, 4);
            return;
        }
        case OpRectanglePattern:
            yyhpg1("PU", a.X[0], a.Y[0]);
            yyhpg1("RA", a.X[1], a.Y[1]);
            hcstate.PenPosition = {a.X[0], a.Y[0]};
            return;
        case OpTrianglePattern: hpgl_filled_points(a.X.data(), a.Y.data(), 3); return;
        case OpSectorPattern: yyhpgl2e(OpSectorPattern, HpglScaleLine); return;
        default: {
            const std::int32_t n = driver_point_count();
            if (n < 1) return;
            yyhpg1("PU", quin01.X[0], quin01.Y[0]);
            squeezed("PM0");
            if (n > 1) yyhpgl2a();
            squeezed("PM2;FP");
            hcstate.PenPosition = {quin01.X[0], quin01.Y[0]};
            return;
        }
    }
}

void font_line(const TextState& t) {
    std::string line = (t.TextStyle & 2) != 0 ? "SL.2" : "SL0.";
    line += ";";
    line += st().selector;
    line += "D 2 ";
    const bool bold = (t.TextStyle & 1) != 0;
    switch (t.HardwareFontFamily) {
        case 1: line += bold ? "0 6 5" : "0 6 0"; break;
        case 2: line += std::string("1 6 ") + (bold ? "3" : "0") + " 7 4148"; break;
        case 3: line += std::string("1 6 ") + (bold ? "3" : "0") + " 7 4101"; break;
        case 4: line += std::string("1 6 ") + (bold ? "3" : "0") + " 7 4101 1 173"; break;
        default: break;
    }
    squeezed(std::move(line));
}

void label() {
    Hpgl2State& s = st();
    GraphicsState& gs = g();
    const TextState& t = gs.text;
    const DriverArguments& a = drvargs;
    gs.hc.page_in_progress = 1;
    const std::int32_t kind = t.TextPitch;
    if (s.font_pending != 0) {
        const float wf = kind == 1 ? 0.932f : kind == 2 ? 1.06f : 1.0f, hf = kind == 0 ? 1.0f : 1.211f;
        const float w = t.char_width * wf * gs.text_ref_size_x * 100.0f / (s.divisor * gs.extent_x);
        const float h = t.char_height * hf * gs.text_ref_size_y * 100.0f / (2.0f * gs.extent_y);
        if (kind != s.last_kind) record("10 " + hpgl_int(kind, 1));
        squeezed("SR" + hpgl_real(w, 8, 2) + hpgl_real(h, 8, 2));
        s.font_pending = 0;
    }
    if (t.HardwareFontFamily != s.last_font || t.TextStyle != s.last_style || kind != s.last_kind) {
        font_line(t);
        s.last_font = t.HardwareFontFamily;
        s.last_style = t.TextStyle;
        s.last_kind = kind;
    }
    std::string text = hpgl_label_text(
        std::string_view(DriverText).substr(0, static_cast<std::size_t>(driver_text_count())), s.terminator);
    if (device_type() == 1 && (t.HardwareFontFamily != 4 || kind == 0)) {
        for (char& c : text) {
            const auto r = static_cast<char>(roman8(static_cast<unsigned char>(c)));
            // A look-alike must not become the terminator either.
            c = r == s.terminator ? ' ' : r;
        }
    }
    const float p = kind == 0 ? 0.22f : 0.0f, q = kind == 0 ? 0.22f : 0.3f;
    const auto& d = t.along_down;
    float x0 = a.X[0] + p * d[0] + q * d[3], y0 = a.Y[0] + p * d[1] - q * d[2];
    const std::int32_t j = kind == 1 ? 0 : std::clamp(t.justification, 0, 2);
    const float ex = a.X[2] + (x0 - a.X[0]), ey = a.Y[2] + (y0 - a.Y[0]);
    if (j == 1) {
        x0 = (ex + x0) / 2.0f;
        y0 = (ey + y0) / 2.0f;
    } else if (j == 2) {
        x0 = ex;
        y0 = ey;
    }
    if (j != s.last_origin) {
        squeezed(j == 0 ? "LO1" : j == 1 ? "LO4" : "LO7");
        s.last_origin = j;
    }
    yyhpg1("PU", x0, y0);
    yyhpg2(text + s.terminator);
    hcstate.PenPosition = {UnknownPenPosition, UnknownPenPosition};
}

void dispatch(std::int32_t op) {
    switch (op) {
        case OpInitialise: initialise(); return;
        case OpLine:
            g().hc.page_in_progress = 1;
            hpgl_segment();
            return;
        case OpColour:
        case OpPalette: colour(); return;
        case OpEllipsePattern:
        case OpQuadPattern:
        case OpRectanglePattern:
        case OpTrianglePattern:
        case OpSectorPattern:
        case OpPolygonPattern: figure(op); return;
        case OpBeginPicture: begin(); return;
        case OpEndOutput:
            if (device_type() != Plotter) yyhpgl2b("\x1b%0A");
            return;
        case OpEndPage: end_page(); return;
        case OpFont: st().font_pending = 1; return;
        case OpText: label(); return;
        case OpClip: hpgl_clip(T, st().p); return;
        case OpPoint:
            g().hc.page_in_progress = 1;
            hpgl_point();
            return;
        case OpPaletteEntry: pen_colour(); return;
        case OpLineType: {
            static constexpr const char* patterns[8] = {"    ", "1 .3", "2 2 ", "4 3 ",
                                                        "7 2 ", "5 3 ", "3 1 ", "6 3 "};
            squeezed(std::string("LT") + patterns[std::clamp(g().LineType, 0, 7)]);
            return;
        }
        case OpLineWidth: {
            const float w = std::clamp(0.4f * static_cast<float>(option(9)) / T, 0.0284f, 5.0f);
            squeezed("PW" + hpgl_real(w, 5, 3));
            return;
        }
        case OpPolyline: polyline(); return;
        case OpTextAngle: hpgl_text_direction(); return;
        case OpArc: yyhpgl2e(OpArc, HpglScaleLine); return;
        case OpLineJoin: {
            static constexpr const char* joins[3] = {"LA2 1", "LA2 4", "LA2 5"};
            squeezed(joins[std::clamp(option(10), 0, 2)]);
            return;
        }
        case OpLineCap: {
            static constexpr const char* caps[3] = {"LA1 1", "LA1 4", "LA1 2"};
            squeezed(caps[std::clamp(option(11), 0, 2)]);
            return;
        }
        default: return;
    }
}

// One base-32 value of the encoded polyline, low digits first.
void encode(std::string& out, std::int64_t d) {
    std::uint64_t u = d >= 0 ? 2 * static_cast<std::uint64_t>(d) : 2 * static_cast<std::uint64_t>(-d) + 1;
    while (u >= 32) {
        out += static_cast<char>(63 + u % 32);
        u /= 32;
    }
    out += static_cast<char>(95 + u);
}

}  // namespace

void yyhpgl2a() {
    const std::size_t n = static_cast<std::size_t>(driver_point_count());
    std::string line = "PE7";
    for (std::size_t i = 1; i < n; ++i) {
        if (line.size() > 246) {
            line += ";";
            yyhpgl2b(line);
            line = "PE7";
        }
        encode(line, hpgl_user_x(quin01.X[i]) - hpgl_user_x(quin01.X[i - 1]));
        encode(line, hpgl_user_y(quin01.Y[i]) - hpgl_user_y(quin01.Y[i - 1]));
    }
    line += ";";
    yyhpgl2b(line);
}

void yyhpgl2b(std::string_view text) { hpgl_write(text); }

void yyhpgl2c(std::uint32_t pattern) {
    const std::uint32_t p = ~pattern;
    for (int h = 0; h < 2; ++h) {
        std::string line = "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,";
        for (int k = 16 * h; k < 16 * h + 16; ++k)
            if (((p >> k) & 1u) != 0) line[static_cast<std::size_t>(2 * (k - 16 * h))] = '1';
        if (h == 1) line[31] = ';';
        squeezed(std::move(line));
    }
}

void yyhpgl2d(std::int32_t pen, std::int32_t r, std::int32_t g, std::int32_t b) {
    const std::int32_t mode = option(6);
    if (mode == 1 || (mode == 2 && ((r < 10 && g < 10 && b < 10) || (r > 245 && g > 245 && b > 245)))) {
        r = 255 - r;
        g = 255 - g;
        b = 255 - b;
    }
    squeezed("PC" + hpgl_int(pen, 4) + " " + hpgl_int(r, 3) + " " + hpgl_int(g, 3) + " " + hpgl_int(b, 3));
}

void xxhpgl2(std::int32_t op) {
    dispatch(op);
    if (op == OpEndOutput) yyprcl(DriverChannel);
}

void reset_hpgl2_state() { hpgl2state = Hpgl2State{}; }
