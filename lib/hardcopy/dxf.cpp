// Hardcopy driver 8: the picture as an ASCII DXF drawing. Lines, polylines,
// points, text, circles, arcs and solid quadrilaterals become entities;
// the rest of the shapes are handed back to the graphics core, whose
// outline and hatch lines come here as lines.
#include "lib/hardcopy/dxf.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/hcdriver.h"
#include "lib/window/text.h"

DxfState dxfstate;

namespace {

constexpr float DxfTextSizeLimit = 0.222f;
// The graphics core's fill request of the hardcopy side: 2 while the core
// draws the outline and hatch lines of a shape this driver left to it.
constexpr std::int32_t CoreFills = 2;

GraphicsState& g() { return gstate; }
std::int32_t option(int code) { return gstate.hc.options.get(code); }
void out(std::string_view line) { yyprwl(DriverChannel, line); }

struct LineTypeEntry {
    const char* name;
    const char* description;  // 46 characters
    std::initializer_list<const char*> items;
};

std::string repeated(std::string_view unit, int n, std::string_view tail) {
    std::string s;
    for (int i = 0; i < n; ++i) s += unit;
    return s += tail;
}

const std::array<LineTypeEntry, 7>& line_types() {
    static const std::string dot(46, '.'), dashed = repeated("__ ", 15, " "), dashdot = repeated("__ . ", 9, " "),
                             divide = repeated("__ . . ", 6, "__  "), center = repeated("____ _ ", 6, "____"),
                             hidden = repeated("_ ", 23, ""), phantom = repeated("____ _ _ ", 5, "_");
    static const std::array<LineTypeEntry, 7> table = {{
        {"DOT", dot.c_str(), {"73", "2", "40", "0.25", "49", "0", "49", "-0.25", "0"}},
        {"DASHED", dashed.c_str(), {"73", "2", "40", "0.75", "49", "0.5", "49", "-0.25", "0"}},
        {"DASHDOT", dashdot.c_str(), {"73", "4", "40", "1", "49", "0.5", "49", "-0.25", "49", "0", "49", "-0.25", "0"}},
        {"DIVIDE", divide.c_str(),
         {"73", "6", "40", "1.25", "49", "0.5", "49", "-0.25", "49", "0", "49", "-0.25", "49", "0", "49", "-0.25",
          "0"}},
        {"CENTER", center.c_str(),
         {"73", "4", "40", "2", "49", "1.25", "49", "-0.25", "49", "0.25", "49", "-0.25", "0"}},
        {"HIDDEN", hidden.c_str(), {"73", "2", "40", "0.25", "49", "0.12", "49", "-0.12", "0"}},
        {"PHANTOM", phantom.c_str(),
         {"73", "6", "40", "2.5", "49", "1.25", "49", "-0.25", "49", "0.25", "49", "-0.25", "49", "0.25", "49",
          "-0.25", "0"}},
    }};
    return table;
}

// The number of the header: F15.6, left-justified, zeros kept.
std::string header_number(float v) { return std::string(trimmed(fixed_real(v, 15, 6))); }

void lines(std::initializer_list<std::string_view> items) {
    for (std::string_view s : items) yydxf1(s);
}

void thickness() { yydxf5("39", static_cast<float>(option(9)) * (1.0f / 720.0f)); }

void line_type_group() {
    const std::int32_t t = g().LineType;
    if (t >= 1 && t <= 7) yydxf4("6", line_types()[static_cast<std::size_t>(t - 1)].name);
}

void initialise() {
    vector_driver_initialise({DriverDxf, {{1, 756}, {2, 540}, {3, 0}, {4, 0}, {5, 0}, {12, 80}, {23, 8}}, 90, 255,
                              CapsDxf, DxfTextSizeLimit, "derizure.dxf", 0});
}

void begin() {
    GraphicsState& gs = g();
    gs.hc.x_scale = static_cast<float>(option(1)) / (72.0f * gs.extent_x);
    gs.hc.y_scale = static_cast<float>(option(2)) / (72.0f * gs.extent_y);
    if (drvargs.K <= 0 || !driver_open_output()) return;
    switch (option(23)) {
        case 8:
            gs.hc.colour_count = 255;
            gs.device[HardcopySide].true_colour = 1;
            break;
        case 4:
            gs.hc.colour_count = 14;
            gs.device[HardcopySide].true_colour = 0;
            break;
        default:
            gs.hc.colour_count = 7;
            gs.device[HardcopySide].true_colour = 0;
            break;
    }
    const float w = static_cast<float>(option(1)) / 72.0f, h = static_cast<float>(option(2)) / 72.0f;
    const std::string W = header_number(w), H = header_number(h);
    const std::string W2 = header_number(w / 2.0f), H2 = header_number(h / 2.0f);
    lines({"0", "SECTION", "2", "HEADER", "9", "$EXTMIN", "10", "0.000000", "20", "0.000000", "9", "$EXTMAX", "10",
           W, "20", H, "9", "$CECOLOR", "62", "7", "9", "$CELTYPE", "6", "DASHDOT", "9", "$VIEWCTR", "10", W2, "20", H2,
           "9", "$LIMMIN", "10", "0", "20", "0", "9", "$LIMMAX", "10", W, "20", H, "0", "ENDSEC", "0"});
    lines({"SECTION", "2", "TABLES", "0", "TABLE", "2", "LTYPE", "70", "9", "0"});
    for (const LineTypeEntry& t : line_types()) {
        lines({"LTYPE", "2", t.name, "70", "0", "3"});
        out(t.description);
        lines({"72", "65"});
        for (const char* item : t.items) yydxf1(item);
    }
    lines({"ENDTAB"});
    lines({"0", "TABLE", "2", "STYLE", "70", "1", "0", "STYLE", "2", "STANDARD", "70", "0", "40", "0", "41", "1", "50",
           "0", "71", "0", "42", "0", "3", "txt", "0", "ENDTAB"});
    lines({"0", "TABLE", "2", "LAYER", "70", "9", "0"});
    for (int n = 1; n <= 9; ++n)
        lines({"LAYER", "2", std::to_string(n), "70", "0", "62", "7", "6", "CONTINUOUS", "0"});
    lines({"ENDTAB", "0", "ENDSEC", "0", "SECTION", "2", "ENTITIES"});
    dxfstate.cached = false;
}

// The colour index of the current colour by the colour depth of option 23.
void colour() {
    DxfState& s = dxfstate;
    const GraphicsState& gs = g();
    const std::int32_t index = gs.CurrentColour.index();
    switch (option(23)) {
        case 8: {
            std::int32_t rgb = 0;
            if (gs.ColourModel == 1) yypalg(index, rgb);
            else rgb = gs.CurrentColour.rgb();
            if (s.cached && rgb == s.cached_rgb) {
                s.DxfColourIndex = s.cached_index;
                return;
            }
            auto point = [](std::int32_t c, float& x, float& y, float& z) {
                float h = 0, sat = 0, v = 0;
                yyrgbhsv(c, h, sat, v);
                x = sat * v * std::cos(h);
                y = sat * v * std::sin(h);
                z = v;
            };
            float x = 0, y = 0, z = 0;
            point(rgb, x, y, z);
            std::int32_t best = 7;
            float best_distance = 9999999.0f;
            const auto& palette = aci_palette();
            for (std::int32_t i = 1; i <= 255; ++i) {
                const std::int32_t c = palette[static_cast<std::size_t>(i)];
                if (c == rgb) {
                    best = i;
                    break;
                }
                float px = 0, py = 0, pz = 0;
                point(c, px, py, pz);
                const float d = (px - x) * (px - x) + (py - y) * (py - y) + (pz - z) * (pz - z);
                if (d < best_distance) {
                    best_distance = d;
                    best = i;
                }
            }
            s.cached = true;
            s.cached_rgb = rgb;
            s.cached_index = best;
            s.DxfColourIndex = best;
            return;
        }
        case 4: {
            static constexpr std::int32_t table[16] = {8, 1, 9, 2, 2, 3, 11, 4, 12, 5, 13, 6, 14, 7, 15, 8};
            s.DxfColourIndex = table[std::clamp(index, 0, 255) / 16];
            return;
        }
        default: {
            const std::int32_t i = ((std::clamp(index, 0, 255) + 16) / 32) % 8;
            s.DxfColourIndex = i == 0 ? 7 : i;
            return;
        }
    }
}

void line() {
    const DriverArguments& a = drvargs;
    GraphicsState& gs = g();
    gs.hc.page_in_progress = 1;
    yydxf2("LINE");
    // The outline and hatch lines the core draws for a shape go without a
    // line type; the request is the core's, cleared after every shape.
    if (gs.FillEmulationRequest[HardcopySide] == 0) line_type_group();
    thickness();
    yydxf3("10", "20", a.X[0], a.Y[0]);
    yydxf3("11", "21", a.X[1], a.Y[1]);
}

void polyline() {
    g().hc.page_in_progress = 1;
    yydxf2("POLYLINE");
    line_type_group();
    thickness();
    lines({"66", "1", "70", "0"});
    const std::int32_t n = driver_point_count();
    for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i) {
        lines({"0", "VERTEX", "8", "1"});
        yydxf3("10", "20", quin01.X[i], quin01.Y[i]);
    }
    lines({"0", "SEQEND"});
}

bool square_area() { return g().area_width_x == g().area_width_y; }

void arc() {
    DriverArguments& a = drvargs;
    g().hc.page_in_progress = 1;
    if (!square_area()) {
        a.K = 2;
        return;
    }
    yydxf2("ARC");
    line_type_group();
    thickness();
    yydxf3("10", "20", a.X[0], a.Y[0]);
    yydxf5("40", a.X[1] * g().hc.x_scale);
    const float start = a.X[3], end = a.X[3] + a.Y[3];
    yydxf5("50", std::min(start, end));
    yydxf5("51", std::max(start, end));
    a.K = 1;
}

void shape(std::int32_t op) {
    DriverArguments& a = drvargs;
    GraphicsState& gs = g();
    if (a.K == -1) return;
    const std::int32_t style = gs.fill_style;
    if (style == 3 || op == OpEllipsePattern || op == OpSectorPattern || op == OpPolygonPattern) {
        gs.FillEmulationRequest[HardcopySide] = CoreFills;
        gs.hc.HardcopyFillSpacing =
            0.01f * static_cast<float>(option(12)) * gs.extent_y / static_cast<float>(std::max(option(2), 1));
        if (style == 3) {
            gs.hc.HardcopyFillSpacing *= 2.0f;
        } else if (style == 4) {
        } else if (op == OpEllipsePattern && a.X[2] == 1.0f && square_area()) {
            gs.hc.page_in_progress = 1;
            yydxf2("CIRCLE");
            thickness();
            yydxf3("10", "20", a.X[0], a.Y[0]);
            yydxf5("40", a.X[1] * gs.hc.x_scale);
        } else {
            a.K = -1;
        }
        return;
    }
    if (style != 4) return;
    gs.hc.page_in_progress = 1;
    yydxf2("SOLID");
    switch (op) {
        case OpQuadPattern:
            yydxf3("10", "20", a.X[0], a.Y[0]);
            yydxf3("11", "21", a.X[1], a.Y[1]);
            yydxf3("12", "22", a.X[3], a.Y[3]);
            yydxf3("13", "23", a.X[2], a.Y[2]);
            break;
        case OpRectanglePattern: {
            const float x1 = std::max(a.X[0], gs.wx1), y1 = std::max(a.Y[0], gs.wy1);
            const float x2 = std::min(a.X[1], gs.wx2), y2 = std::min(a.Y[1], gs.wy2);
            yydxf3("10", "20", x1, y1);
            yydxf3("11", "21", x1, y2);
            yydxf3("12", "22", x2, y1);
            yydxf3("13", "23", x2, y2);
            break;
        }
        default:
            yydxf3("10", "20", a.X[0], a.Y[0]);
            yydxf3("11", "21", a.X[1], a.Y[1]);
            yydxf3("12", "22", a.X[2], a.Y[2]);
            yydxf3("13", "23", a.X[2], a.Y[2]);
            break;
    }
}

void text() {
    const DriverArguments& a = drvargs;
    GraphicsState& gs = g();
    const TextState& t = gs.text;
    gs.hc.page_in_progress = 1;
    yydxf2("TEXT");
    const float height = gs.text_ref_size_y * t.char_height;
    const float width = gs.text_ref_size_x * t.char_width;
    const float factor = t.TextPitch == 0 ? 0.52f : 0.63f;
    yydxf5("40", height * factor * gs.hc.y_scale);
    // The width factor makes the reader's letters as wide as the core's
    // character cells on the page: a capital of a reader's standard font is
    // about 0.9 of the text height wide. Taken as the ratio of the relative
    // sizes alone, equal character sizes gave 0.33 and letters a third of
    // their width.
    const float ratio = (width * gs.hc.x_scale) / (0.9f * height * factor * gs.hc.y_scale);
    yydxf5("41", std::isfinite(ratio) && ratio > 0 ? ratio : 1.0f);
    const float angle = std::isfinite(t.angle) ? t.angle : 0.0f;
    yydxf6("50", static_cast<std::int32_t>(std::trunc(angle)));
    yydxf4("1", std::string_view(DriverText).substr(0, static_cast<std::size_t>(driver_text_count())));
    yydxf4("7", "STANDARD");
    const float x = a.X[0] + 0.22f * t.along_down[3], y = a.Y[0] - 0.22f * t.along_down[2];
    if (t.justification == 0) {
        yydxf4("72", "0");
        yydxf3("10", "20", x, y);
    } else {
        // The alignment point is the middle of the string, halfway from its
        // start to its end. Half the second operand (one character's width)
        // put centred text half its length too far left in every reader.
        yydxf4("72", "1");
        yydxf3("10", "20", x, y);
        yydxf3("11", "21", x + 0.5f * (a.X[3] - a.X[0]), y + 0.5f * (a.Y[3] - a.Y[0]));
    }
}

}  // namespace

const std::array<std::int32_t, 256>& aci_palette() {
    static const std::array<std::int32_t, 256> palette = [] {
        std::array<std::int32_t, 256> p{};
        const std::int32_t first[10][3] = {{0, 0, 0},     {255, 0, 0},   {255, 255, 0}, {0, 255, 0},  {0, 255, 255},
                                           {0, 0, 255},   {255, 0, 255}, {255, 255, 255}, {76, 76, 76}, {165, 165, 165}};
        for (int i = 1; i <= 9; ++i) p[static_cast<std::size_t>(i)] = wrgb(first[i][0], first[i][1], first[i][2]);
        static constexpr int levels[5] = {255, 165, 127, 76, 38};
        for (int i = 10; i <= 249; ++i) {
            const int group = (i - 10) / 10, k = (i - 10) % 10;
            const int max = levels[k / 2];
            const int min = k % 2 == 0 ? 0 : max / 2;
            const int hue = 15 * group, sector = hue / 60;
            const int d = max - min;
            const int rising = min + d * (hue % 60) / 60, falling = min + d * (60 - hue % 60) / 60;
            int r = 0, gg = 0, b = 0;
            switch (sector) {
                case 0: r = max, gg = rising, b = min; break;
                case 1: r = falling, gg = max, b = min; break;
                case 2: r = min, gg = max, b = rising; break;
                case 3: r = min, gg = falling, b = max; break;
                case 4: r = rising, gg = min, b = max; break;
                default: r = max, gg = min, b = falling; break;
            }
            p[static_cast<std::size_t>(i)] = wrgb(r, gg, b);
        }
        static constexpr int greys[6] = {84, 118, 152, 186, 220, 255};
        for (int i = 0; i < 6; ++i) p[static_cast<std::size_t>(250 + i)] = wrgb(greys[i], greys[i], greys[i]);
        return p;
    }();
    return palette;
}

void yydxf1(std::string_view text) {
    const std::string_view t = txt_trim(text);
    out(t.empty() ? std::string_view(" ") : t);
}

void yydxf2(std::string_view name) {
    yydxf4("0", name);
    yydxf4("8", "1");
    yydxf6("62", dxfstate.DxfColourIndex);
}

void yydxf3(std::string_view code_x, std::string_view code_y, float x, float y) {
    yydxf5(code_x, x * gstate.hc.x_scale);
    yydxf5(code_y, y * gstate.hc.y_scale);
}

void yydxf4(std::string_view a, std::string_view b) {
    out(a);
    out(b);
}

void yydxf5(std::string_view code, float value) {
    std::string s(trimmed(fixed_real(value, 15, 6)));
    while (s.ends_with('0')) s.pop_back();
    yydxf4(code, s);
}

void yydxf6(std::string_view code, std::int32_t n) { yydxf4(code, trimmed(fixed_int(n, 3))); }

namespace {

void dispatch(std::int32_t op) {
    switch (op) {
        case OpInitialise: initialise(); return;
        case OpLine: line(); return;
        case OpColour: colour(); return;
        case OpEllipsePattern:
        case OpQuadPattern:
        case OpRectanglePattern:
        case OpTrianglePattern:
        case OpSectorPattern:
        case OpPolygonPattern: shape(op); return;
        case OpBeginPicture: begin(); return;
        case OpEndOutput: lines({"0", "ENDSEC", "0", "EOF"}); return;
        case OpEndPage: g().hc.page_in_progress = 0; return;
        case OpText: text(); return;
        case OpPoint:
            g().hc.page_in_progress = 1;
            yydxf2("POINT");
            yydxf3("10", "20", drvargs.X[0], drvargs.Y[0]);
            return;
        case OpPolyline: polyline(); return;
        case OpArc: arc(); return;
        default: return;
    }
}

}  // namespace

void xxdxf(std::int32_t op) {
    dispatch(op);
    if (op == OpEndOutput) yyprcl(DriverChannel);
}

void reset_dxf_state() { dxfstate = DxfState{}; }
