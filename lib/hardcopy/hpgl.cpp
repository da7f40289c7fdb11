// Hardcopy driver 1: HP-GL for pen plotters. Every line goes through the
// command line writer of hcdriver (yyhpg0 ... yyhpg7).
#include "lib/hardcopy/hpgl.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/hcdriver.h"
#include "lib/window/text.h"

HpglState hpglstate;

namespace {

struct PlotterModel {
    std::int32_t pens, x_extent, y_extent, units_per_inch, x_offset;
    char plotter_class;
};

constexpr PlotterModel models[10] = {
    {4, 10870, 7480, 1016, 400, 'U'}, {6, 11040, 7721, 1021, 400, 'H'}, {6, 16158, 11040, 1021, 400, 'H'},
    {4, 10900, 7650, 1016, 400, 'E'}, {6, 10880, 7640, 1016, 400, 'F'}, {8, 10880, 7640, 1016, 0, 'H'},
    {8, 10869, 7600, 1016, 0, 'H'},   {8, 15970, 10870, 1016, 0, 'H'},  {6, 10960, 7480, 1016, 400, 'F'},
    {6, 15880, 10960, 1016, 400, 'F'},
};

constexpr const char* class_capabilities[4] = {
    "00000100000000000010000000010", "00000100000000000010000000000",
    "00000100000010000010000000010", "00000100000011100010001001010"};
constexpr std::int32_t class_fill_masks[4] = {0, 0, 40, 126};
constexpr std::int32_t ClassF = 3, ClassH = 4;
// Figures with more points an HP plotter cannot fill itself.
constexpr std::int32_t HpPolygonFillLimit = 127;
constexpr std::int32_t pen_order[8] = {0, 2, 4, 1, 5, 3, 6, 7};
// The graphics core's fill request of the hardcopy side: 2 while it draws
// the hatch and outline of a figure this driver left to it.
constexpr std::int32_t CoreFills = 2;

HpglState& st() { return hpglstate; }
GraphicsState& g() { return gstate; }
std::int32_t option(int code) { return gstate.hc.options.get(code); }

std::int32_t model_number() { return std::clamp(hcstate.models.plotter_model, 1, 10); }

void initialise() {
    if (drvargs.N == ProbeDriverNumber) {
        drvargs.N = DriverHpgl;
        return;
    }
    GraphicsState& gs = g();
    HpglState& s = st();
    yydefh();
    const PlotterModel& m = models[model_number() - 1];
    s.t = static_cast<float>(m.units_per_inch) / 72.0f;
    s.plotter_class = static_cast<std::int32_t>(std::string_view("UEFH").find(m.plotter_class)) + 1;
    s.fill_mask = class_fill_masks[s.plotter_class - 1];
    HardcopyOptionTable& o = gs.hc.options;
    const auto offset = static_cast<std::int32_t>(hpgl_trunc(m.x_offset / s.t));
    o.set(3, offset);
    o.set(4, 0);
    o.set(5, 1);
    o.set(12, 80);
    o.set(18, 1);
    o.set(19, 0);
    o.set(21, 4);
    o.set(25, 0);
    hcstate.PlotterPenCount = m.pens;
    o.set(1, static_cast<std::int32_t>(hpgl_trunc(m.x_extent / s.t - static_cast<float>(offset))));
    o.set(2, static_cast<std::int32_t>(hpgl_trunc(m.y_extent / s.t)));
    gs.hc.colour_count = m.pens;
    hcstate.HardcopyResolution = {90, 90};
    hcstate.DriverCanSpool = 1;
    DeviceDescription& d = gs.device[HardcopySide];
    d.DeviceCapabilities = class_capabilities[s.plotter_class - 1];
    d.TextSizeThreshold = NoTextSizeThreshold;
    d.charset_bits = 7;
    d.TextRotationCapability = 360;
    d.platform_variant = 2;
    d.true_colour = 0;
    d.gradient_type = 0;
    gs.hc.whole_strings = 0;
    gs.hc.own_text_background = 0;
    gs.hc.third_text_flag = 0;
    txt_set(gs.hc.output_name, "derizure.plt");
    gs.hc.active_driver = DriverHpgl;
    s.size_pending = 1;
}

void begin() {
    GraphicsState& gs = g();
    HpglState& s = st();
    gs.hc.x_scale = 32760.0f / gs.extent_x;
    gs.hc.y_scale = 32760.0f / gs.extent_y;
    if (drvargs.K > 0) {
        if (!driver_open_output()) return;
        hcstate.LineModeWord = option(17) != 0 ? 1 : 2;
        s.terminator = static_cast<char>(option(21));
        s.pen_pending = 0;
        s.pen = ' ';
        s.last_fill_width = -1.0f;
        s.last_style = -1;
        s.last_kind = 0;
        const float t = s.t;
        const auto px = static_cast<float>(option(3)), py = static_cast<float>(option(4));
        const std::array<std::int32_t, 4> p = {
            static_cast<std::int32_t>(hpgl_trunc(t * px)), static_cast<std::int32_t>(hpgl_trunc(t * py)),
            static_cast<std::int32_t>(hpgl_trunc(t * (static_cast<float>(option(1)) + px))),
            static_cast<std::int32_t>(hpgl_trunc(t * (static_cast<float>(option(2)) + py)))};
        s.p = p;
        if (option(19) != 0) yyhpg3("\x1b.Y");
        hpgl_points_line("IN; IP", p, 7);
        hpgl_points_line(option(5) != 0 ? "RO  0; IP" : "RO 90; IP", p, 11);
        yyhpg3(std::string("DT") + s.terminator);
        yyhpg3("DI1. 0.");
        yyhpg6(2, 0, 9, 0, 0);
        yyhpg6(13, 0, model_number(), 0, 0);
    }
    if (hpgl_channel_open()) yyhpg3(HpglScaleLine);
}

void page_start() {
    HpglState& s = st();
    if (g().hc.page_in_progress != 0) return;
    g().hc.page_in_progress = 1;
    if (s.pen_pending != 0) {
        yyhpg3(std::string("SP") + s.pen);
        s.pen_pending = 0;
    }
}

void polyline() {
    page_start();
    const std::int32_t n = driver_point_count();
    if (n < 1) return;
    hpgl_move_unless_there(quin01.X[0], quin01.Y[0]);
    for (std::size_t i = 1; i < static_cast<std::size_t>(n); ++i) yyhpg1("PD", quin01.X[i], quin01.Y[i]);
    hcstate.PenPosition = {quin01.X[static_cast<std::size_t>(n - 1)], quin01.Y[static_cast<std::size_t>(n - 1)]};
}

void colour() {
    HpglState& s = st();
    GraphicsState& gs = g();
    const std::int32_t c = std::clamp(gs.CurrentColour.index(), 0, 255);
    const std::int32_t pens = std::max(hcstate.PlotterPenCount, 1);
    const char pen = static_cast<char>('1' + pen_order[((c + 16) / 32) % 8] % pens);
    if (pen != s.pen) {
        s.pen = pen;
        s.pen_pending = 0;
        yyhpg3(std::string("PU;SP") + pen);
    }
    if (gs.FillEmulationRequest[HardcopySide] == 0) {
        const Rgb rgb = colour_components(gs.CurrentColour.in_model(gs.ColourModel));
        yyhpg6(1, 1, rgb.r + 256 * rgb.g + 65536 * rgb.b, 0, 0);
    }
}

std::int32_t figure_code(std::int32_t op) {
    switch (op) {
        case OpEllipsePattern: return 5;
        case OpRectanglePattern: return 6;
        case OpTrianglePattern: return 7;
        case OpSectorPattern: return 4;
        default: return 11;
    }
}

bool mixed_colours_equal() {
    const GraphicsState& gs = g();
    return gs.PreviousColour.in_model(gs.ColourModel) == gs.CurrentColour.in_model(gs.ColourModel);
}

void ellipse(bool hardware) {
    const GraphicsState& gs = g();
    yyhpg1("PU", drvargs.X[0], drvargs.Y[0]);
    if (!hardware) yyhpg6(5, 0, gs.fill_style, gs.fill_density, gs.fill_angle);
    hpgl_ellipse_body(hardware);
}

void figure(std::int32_t op) {
    HpglState& s = st();
    GraphicsState& gs = g();
    const DriverArguments& a = drvargs;
    const std::int32_t code = figure_code(op);
    if (a.K == -1) {
        if (s.hardware_fill == 0) yyhpg6(code, 1, -1, 0, 0);
        return;
    }
    page_start();
    const std::int32_t n = op / 2 - 1;
    const std::int32_t points = op == OpPolygonPattern ? driver_point_count() : 0;
    bool hardware = ((s.fill_mask >> n) & 1) != 0 && option(25) != 0 &&
                    (gs.fill_style == 4 || (gs.fill_style == 3 && mixed_colours_equal()));
    // An HP plotter cannot fill a polygon of more points: it is announced
    // and left to the graphics core like any figure the plotter does not fill.
    if (hardware && op == OpPolygonPattern && s.plotter_class == ClassH && points > HpPolygonFillLimit)
        hardware = false;
    s.hardware_fill = hardware ? 1 : 0;
    if (hardware) {
        const float w = std::clamp(25.4f * static_cast<float>(option(12)) / 7200.0f, 0.1f, 5.0f);
        if (w != s.last_fill_width) {
            yyhpg3("FT2;PT  " + hpgl_real(w, 4, 2));
            s.last_fill_width = w;
        }
    } else {
        gs.FillEmulationRequest[HardcopySide] = CoreFills;
        gs.hc.HardcopyFillSpacing = 0.01f * static_cast<float>(option(12)) * gs.extent_y /
                                    static_cast<float>(std::max(option(2), 1));
        if (gs.fill_style == 3) gs.hc.HardcopyFillSpacing *= 2.0f;
        if (op != OpEllipsePattern)
            yyhpg6(code, 0, gs.fill_style, gs.fill_density, gs.fill_angle + 10 * gs.outline_flag);
    }
    const bool records = option(18) != 0;
    switch (op) {
        case OpEllipsePattern: ellipse(hardware); return;
        case OpRectanglePattern:
            if (hardware) {
                yyhpg1("PU", a.X[0], a.Y[0]);
                yyhpg1("RA", a.X[1], a.Y[1]);
                hcstate.PenPosition = {a.X[0], a.Y[0]};
            } else if (records) {
                yyhpg4(a.X[0], a.Y[0]);
                yyhpg4(a.X[1], a.Y[1]);
                yyhpg3(HpglScaleLine);
            }
            return;
        case OpTrianglePattern:
            if (hardware) {
                hpgl_filled_points(a.X.data(), a.Y.data(), 3);
            } else if (records) {
                for (std::size_t i = 0; i < 3; ++i) yyhpg4(a.X[i], a.Y[i]);
                yyhpg3(HpglScaleLine);
            }
            return;
        case OpSectorPattern:
            if (hardware) {
                yyhpg0(OpSectorPattern, HpglScaleLine);
            } else if (records) {
                yyhpg4(a.X[0], a.Y[0]);
                yyhpg4(a.X[1], a.Y[1]);
                yyhpg5(a.X[2], a.Y[2]);
                yyhpg3(HpglScaleLine);
            }
            return;
        default:
            if (hardware) {
                if (points > 0) hpgl_filled_points(quin01.X.data(), quin01.Y.data(), static_cast<std::size_t>(points));
            } else if (records) {
                yyhpg6(12, 0, points, 0, 0);
                for (std::size_t i = 0; i < static_cast<std::size_t>(points); ++i) yyhpg4(quin01.X[i], quin01.Y[i]);
                yyhpg3(HpglScaleLine);
            }
            return;
    }
}

void font() {
    const TextState& t = g().text;
    yyhpg6(10, 1, t.HardwareFontFamily, t.TextStyle, t.TextPitch);
    st().size_pending = 1;
}

void label() {
    HpglState& s = st();
    GraphicsState& gs = g();
    const TextState& t = gs.text;
    const DriverArguments& a = drvargs;
    page_start();
    const std::int32_t kind = t.TextPitch;
    if (s.size_pending != 0) {
        const float wf = kind == 0 ? 1.0f : 1.007f, hf = kind == 0 ? 1.0f : 1.211f;
        const float w = t.char_width * wf * gs.text_ref_size_x * 100.0f / (1.5f * gs.extent_x);
        const float h = t.char_height * hf * gs.text_ref_size_y * 100.0f / (2.0f * gs.extent_y);
        yyhpg3("SR" + hpgl_real(w, 8, 2) + hpgl_real(h, 8, 2));
        s.size_pending = 0;
    }
    if (t.TextStyle != s.last_style || kind != s.last_kind) {
        yyhpg3((t.TextStyle & 2) != 0 ? "SL.2" : "SL0.");
        s.last_style = t.TextStyle;
        s.last_kind = kind;
    }
    const float p = kind == 0 ? 0.22f : 0.0f, q = kind == 0 ? 0.22f : 0.3f;
    const auto& d = t.along_down;
    yyhpg1("PU", a.X[0] + p * d[0] + q * d[3], a.Y[0] + p * d[1] - q * d[2]);
    const std::string_view text = std::string_view(DriverText).substr(0, static_cast<std::size_t>(driver_text_count()));
    yyhpg2(hpgl_label_text(text, s.terminator) + s.terminator);
    hcstate.PenPosition = {UnknownPenPosition, UnknownPenPosition};
}

void line_type() {
    static constexpr const char* patterns[8] = {"    ", "1 .3", "2 2 ", "4 3 ", "6 2 ", "5 3 ", "3 1 ", "6 4 "};
    const std::int32_t t = std::clamp(g().LineType, 0, 7);
    yyhpg3(std::string("LT") + (t == 1 && st().plotter_class == ClassF ? "1 1 " : patterns[t]));
}

void line_width() {
    if (option(18) == 0) return;
    const float w = std::clamp(0.4f * static_cast<float>(option(9)) / st().t, 0.1f, 5.0f);
    yyhpg3("PW" + hpgl_real(w, 5, 3));
}

void end_page() {
    HpglState& s = st();
    g().hc.page_in_progress = 0;
    yyhpg6(3, 1, drvargs.K, 0, 0);
    yyhpg3("PU;SP0 ;");
    const std::int32_t m = model_number();
    if (m == 7 || m == 8) yyhpg3("PG;");
    s.pen_pending = 1;
}

void dispatch(std::int32_t op) {
    switch (op) {
        case OpInitialise: initialise(); return;
        case OpLine:
            page_start();
            hpgl_segment();
            return;
        case OpColour: colour(); return;
        case OpEllipsePattern:
        case OpRectanglePattern:
        case OpTrianglePattern:
        case OpSectorPattern:
        case OpPolygonPattern: figure(op); return;
        case OpBeginPicture: begin(); return;
        case OpEndOutput:
            if (option(19) != 0) yyhpg3("\x1b.Z");
            return;
        case OpEndPage: end_page(); return;
        case OpFont: font(); return;
        case OpText: label(); return;
        case OpClip: hpgl_clip(st().t, st().p); return;
        case OpPoint:
            page_start();
            hpgl_point();
            return;
        case OpLineType: line_type(); return;
        case OpLineWidth: line_width(); return;
        case OpPolyline: polyline(); return;
        case OpTextAngle: hpgl_text_direction(); return;
        case OpArc:
            page_start();
            yyhpg0(OpArc, HpglScaleLine);
            return;
        default: return;
    }
}

}  // namespace

void xxhpgl(std::int32_t op) {
    dispatch(op);
    if (op == OpEndOutput) yyprcl(DriverChannel);
}

void reset_hpgl_state() {
    hpglstate = HpglState{};
    HpglLineBuffer.assign(HpglLineColumns, ' ');
}

unsigned char roman8(unsigned char c) {
    static constexpr unsigned char table[95] = {
        184, 191, 187, 186, 188, '|', 189, 171, 'c', 249, 251, ' ', 246, 'R', 176, 179,  // 161..176
        254, '2', '3', 168, 243, 244, 242, ',', '1', 250, 253, 247, 248, 245, 185,       // 177..191
        161, 224, 162, 225, 216, 208, 211, 180, 163, 220, 164, 165, 230, 229, 166, 167,  // 192..207
        227, 182, 232, 231, 223, 233, 218, 'x', 210, 173, 237, 174, 219, 177, 240, 222,  // 208..223
        200, 196, 192, 226, 204, 212, 215, 181, 201, 197, 193, 205, 217, 213, 209, 221,  // 224..239
        228, 183, 202, 198, 194, 234, 206, ' ', 214, 203, 199, 195, 207, 178, 241, 239,  // 240..255
    };
    return c >= 161 ? table[c - 161] : c;
}
