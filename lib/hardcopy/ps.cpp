// Hardcopy driver 2: the picture as a PostScript file with structuring
// comments, or as encapsulated PostScript. Lines and polylines gather in
// one open path that is painted when something else must happen;
// the colour is written only just before the paint that needs it.
#include "lib/hardcopy/ps.h"
#include "lib/raster/imagefiles.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <span>
#include <string>
#include <vector>

#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/hcdriver.h"
#include "lib/hardcopy/pending.h"
#include "lib/window/quinda_state.h"
#include "lib/window/text.h"

PostScriptState psstate;

namespace {

constexpr std::size_t LineLimit = 255;
// Characters a string may hold between its parentheses, so that its line
// with the show word stays within the line limit.
constexpr std::size_t StringLimit = 249;
constexpr float Degrees = 57.29578f;
// Pixels of an embedded image: 64 million (256 MB of packed colours).

using Colour = std::array<float, 3>;

GraphicsState& g() { return gstate; }
std::int32_t option(int code) { return gstate.hc.options.get(code); }
bool eps() { return option(22) != 0; }

// One line out, behind the line-mode blank. Comments keep their "%" in
// the first column: a spooler looks for "%!" there, and EPS importers for
// "%%BoundingBox".
void emit(std::string_view line) {
    line = line.substr(0, std::min(line.size(), LineLimit));
    if (hcstate.LineModeWord == 1 && (line.empty() || line[0] != '%')) yyprou(DriverChannel, " ");
    yyprwl(DriverChannel, line);
}

// Leading and trailing blanks dropped, inner runs of blanks made one.
std::string squeezed(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool pending = false;
    for (char c : text) {
        if (c == ' ') {
            pending = !out.empty();
            continue;
        }
        if (pending) out += ' ';
        pending = false;
        out += c;
    }
    return out;
}

// A number of a number line: F9.2, blanks dropped, ".00" shortened to ".0".
std::string number_text(float v) {
    std::string s(trimmed(fixed_real(v, 9, 2)));
    if (s.size() >= 3 && s.compare(s.size() - 3, 3, ".00") == 0) s.pop_back();
    return s;
}

void number_line(std::span<const float> values, std::string_view word) {
    std::string line;
    for (float v : values) {
        line += number_text(v);
        line += ' ';
    }
    line += squeezed(word);
    if (!line.empty() && line.back() == ' ') line.pop_back();
    emit(line);
}

std::string f(float v, int w, int d) { return fixed_real(v, w, d); }

// ---------------------------------------------------------------- colours

// yypos1: the colour value under the colour model (-1 black) as the
// components the file writes, with the hardcopy colour mode applied.
Colour yypos1(std::int32_t c) {
    Colour rgb{0, 0, 0};
    if (c != -1) {
        const Rgb b = colour_components(c);
        const float k = 1.0f / 255.0f;
        rgb = {static_cast<float>(b.r) * k, static_cast<float>(b.g) * k, static_cast<float>(b.b) * k};
    }
    const std::int32_t mode = option(6);
    const bool dark = rgb[0] < 0.04f && rgb[1] < 0.04f && rgb[2] < 0.04f;
    const bool light = rgb[0] > 0.96f && rgb[1] > 0.96f && rgb[2] > 0.96f;
    if (mode == 1 || (mode == 2 && (dark || light)))
        for (float& v : rgb) v = 1.0f - v;
    return rgb;
}

std::int32_t current_in_model() { return g().CurrentColour.in_model(g().ColourModel); }

void colour_line(const Colour& c) { yypos3(c[0], c[1], c[2], "g"); }

// yypos2: path end k, 1 stroke, 2 fill, 3 the colour only.
void yypos2(int k) {
    PostScriptState& s = psstate;
    if (s.segments == 0 && (k == 1 || k == 2)) return;
    if (s.current != s.written) {
        s.written = s.current;
        colour_line(s.current);
    }
    if (k == 3) return;
    emit(k == 1 ? "s" : "cf");
    s.segments = 0;
}

// Inside a gsave group the colour is written when it differs, but not
// remembered: grestore takes it back.
void group_colour() {
    if (psstate.current != psstate.written) colour_line(psstate.current);
}

bool at_pen(float x, float y) { return x == hcstate.PenPosition[0] && y == hcstate.PenPosition[1]; }

// ---------------------------------------------------------------- operations

void initialise() {
    vector_driver_initialise({DriverPostScript,
                              {{1, 756}, {2, 540}, {3, 42}, {4, -20}, {5, 1}, {15, 1}, {16, 255}, {22, 0}},
                              600, 256, CapsVectorFile, NoTextSizeThreshold, "derizure.ps", 1});
}

void prolog_fonts() {
    static constexpr const char* families[3] = {"Courier", "Helvetica", "Times"};
    static constexpr const char* bases[3][4] = {
        {"Courier", "Courier-Bold", "Courier-Oblique", "Courier-BoldOblique"},
        {"Helvetica", "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique"},
        {"Times-Roman", "Times-Bold", "Times-Italic", "Times-BoldItalic"},
    };
    for (int family = 0; family < 3; ++family) {
        for (int k = 1; k <= 4; ++k) {
            yypos6(std::string("/") + bases[family][k - 1] + " ff");
            yypos6("dup length dict begin");
            yypos6("{1 index /FID ne {def} {pop pop} ifelse} forall");
            yypos6("/Encoding ISOLatin1Encoding def");
            yypos6(std::string("currentdict end /") + families[family] + "-" + std::to_string(k) +
                   " exch definefont pop");
        }
    }
    yypos6("/Symbol ff");
    yypos6("dup length dict begin");
    yypos6("{1 index /FID ne {def} {pop pop} ifelse} forall");
    yypos6("currentdict end /Symbol exch definefont pop");
}

void begin() {
    GraphicsState& gs = g();
    const DriverArguments& a = drvargs;
    gs.hc.x_scale = static_cast<float>(option(1)) / gs.extent_x;
    gs.hc.y_scale = static_cast<float>(option(2)) / gs.extent_y;
    if (a.K <= 0 || !driver_open_output()) return;

    PostScriptState& s = psstate;
    hcstate.LineModeWord = option(17) != 0 ? 1 : 2;
    s.segments = 0;
    s.font_changed = 1;
    s.written = {-1, -1, -1};
    s.written_line_type = 0;
    s.written_thickness = 0;

    const bool landscape = option(5) != 0;
    float tx = 0, ty = 0;
    std::int32_t box_w = 0, box_h = 0;
    if (!eps()) {
        tx = static_cast<float>(option(3));
        // The page height, not a fixed 540 points, so that a taller page
        // stays on the paper.
        ty = static_cast<float>(landscape ? option(4) - option(2) : option(4));
    } else if (landscape) {
        ty = -static_cast<float>(option(2));
        box_w = option(2);
        box_h = option(1);
    } else {
        box_w = option(1);
        box_h = option(2);
    }

    yypos6(eps() ? "%!PS-Adobe-3.0 EPSF-3.0" : "%!PS-Adobe-3.0");
    if (eps()) yypos6("%%BoundingBox: 0 0" + fixed_int(box_w, 5) + fixed_int(box_h, 5));
    if (a.IX[0] != 0) yypos6("%%Title: " + txt_c(hcstate.HardcopyTitle));
    yypos6("%%Creator: Q.D.X. PostScript driver");
    yypos6("%%EndComments");
    yypos6("/l {lineto} def/m {moveto} def/g {setrgbcolor} def/w {setlinewidth} def");
    yypos6("/d {setdash} def/cf {closepath fill} def/s {stroke} def/ff {findfont} def");
    yypos6("/ms {makefont setfont} def/ro {rotate} def/cs {closepath stroke} def");
    yypos6("/lsh {show} def/rsh {dup stringwidth pop 0 exch sub 0 rmoveto show} def");
    yypos6("/csh {dup stringwidth pop 2 div 0 exch sub 0 rmoveto show} def");
    yypos6("%%EndProlog");
    prolog_fonts();
    if (landscape) yypos5(90.0f, "ro");
    yypos6(f(tx, 8, 1) + f(ty, 8, 1) + " translate");
    yypos6("newpath");
    s.page = 1;
    yypos6("%%Page: 1 1");
}

void end_page() {
    PostScriptState& s = psstate;
    g().hc.page_in_progress = 0;
    yypos2(1);
    if (!eps()) {
        yypos6("/#copies" + fixed_int(std::min(option(8), 999), 3) + " def");
        yypos6("gsave showpage grestore");
    }
    if (drvargs.N == 0) {
        ++s.page;
        yypos6("%%Page:" + fixed_int(s.page, 4) + fixed_int(s.page, 4));
    }
}

void end_output() {
    yypos6("%%EOF");
    if (!eps()) {
        yypos6("initgraphics");
        if (option(15) != 0) yyprou(DriverChannel, std::string_view(" \x04", 2));
    }
    yyprcl(DriverChannel);
}

void colour() {
    PostScriptState& s = psstate;
    const GraphicsState& gs = g();
    s.saved_colour = option(7) != 0 && gs.CurrentColour.index() != 0 ? -1 : current_in_model();
    const Colour c = yypos1(s.saved_colour);
    if (c != s.current) {
        yypos2(1);
        s.current = c;
    }
}

// Room for one more segment in the open path.
void within_path_limit() {
    if (psstate.segments >= option(16)) yypos2(1);
}

void line(float x1, float y1, float x2, float y2) {
    PostScriptState& s = psstate;
    g().hc.page_in_progress = 1;
    within_path_limit();
    if (!at_pen(x1, y1) || s.segments == 0) yypos4(x1, y1, "m");
    yypos4(x2, y2, "l");
    ++s.segments;
    hcstate.PenPosition = {x2, y2};
}

// A point as a dot as wide as the lines: a zero-length segment paints
// only under round caps, and never inside a dash gap, so it is stroked in
// a group of its own with both set there. The open path, its pen position
// and the written colour come back with grestore.
void point(float x, float y) {
    g().hc.page_in_progress = 1;
    yypos6("gsave newpath 1 setlinecap [] 0 d");
    yypos4(x, y, "m");
    yypos4(x, y, "l");
    group_colour();
    yypos6("s grestore");
}

void polyline() {
    PostScriptState& s = psstate;
    const std::int32_t n = driver_point_count();
    g().hc.page_in_progress = 1;
    within_path_limit();
    if (n <= 0) return;
    const auto& X = quin01.X;
    const auto& Y = quin01.Y;
    if (!at_pen(X[0], Y[0]) || s.segments == 0) yypos4(X[0], Y[0], "m");
    for (std::size_t i = 1; i < static_cast<std::size_t>(n); ++i) {
        if (s.segments >= option(16)) {
            yypos2(1);
            yypos4(X[i - 1], Y[i - 1], "m");
        }
        yypos4(X[i], Y[i], "l");
        ++s.segments;
    }
    const std::size_t last = static_cast<std::size_t>(n - 1);
    hcstate.PenPosition = {X[last], Y[last]};
}

// Height over width of the graphics area, the y scale that makes a circle
// of the page round; 1 for an area without a size.
float area_ratio() {
    const float r = g().area_width_y / g().area_width_x;
    return std::isfinite(r) && r > 0.0f ? r : 1.0f;
}

void scale_group(float r) { yypos6("gsave 1.0" + f(r, 8, 4) + " scale newpath"); }

void ellipse() {
    const DriverArguments& a = drvargs;
    const GraphicsState& gs = g();
    float s = a.X[2] * area_ratio();
    if (!std::isfinite(s) || s <= 0.0f) s = 1.0f;
    scale_group(s);
    yypos3(a.X[0] * gs.hc.x_scale, a.Y[0] * gs.hc.y_scale / s, a.X[1] * gs.hc.x_scale, "90. 450. arc");
    group_colour();
    emit(gs.fill_style <= 2 ? "s" : "cf");
    emit("grestore");
}

// yypos0: a sector (13) or an arc outline (34).
void yypos0(std::int32_t op) {
    const DriverArguments& a = drvargs;
    GraphicsState& gs = g();
    gs.hc.page_in_progress = 1;
    const float r = area_ratio();
    scale_group(r);
    const bool through_centre = op == OpSectorPattern || gs.fill_style != 0 || gs.fill_density <= 2;
    if (through_centre) yypos4(a.X[0], a.Y[0] / r, "m");
    const std::string word = f(a.X[2] * Degrees, 8, 1) + f(a.Y[2] * Degrees, 8, 1) + " arc";
    yypos3(a.X[0] * gs.hc.x_scale, a.Y[0] * gs.hc.y_scale / r, a.X[1] * gs.hc.x_scale, word);
    group_colour();
    if (op == OpSectorPattern) emit("cf");
    else if (gs.fill_style == 0 && gs.fill_density > 2) emit("s");
    else emit("cs");
    emit("grestore");
}

void closed_path(std::span<const float> xs, std::span<const float> ys) {
    yypos4(xs[0], ys[0], "m");
    for (std::size_t i = 1; i < xs.size(); ++i) yypos4(xs[i], ys[i], "l");
    psstate.segments = static_cast<std::int32_t>(xs.size());
    yypos2(2);
}

void shape(std::int32_t op) {
    PostScriptState& s = psstate;
    GraphicsState& gs = g();
    const DriverArguments& a = drvargs;
    const std::int32_t style = gs.fill_style;
    if (a.K == -1) {
        if (style > 0) yypos2(1);
        s.current = yypos1(s.saved_colour);
        return;
    }
    gs.hc.page_in_progress = 1;
    if (style > 2 || (option(7) != 0 && style > 0)) {
        yypos2(1);
        if (style == 3) {
            const Colour p = yypos1(gs.PreviousColour.in_model(gs.ColourModel));
            const Colour c = yypos1(current_in_model());
            for (std::size_t i = 0; i < 3; ++i) s.current[i] = (p[i] + c[i]) / 2.0f;
        } else {
            s.current = yypos1(current_in_model());
        }
    }
    if (style < 3 && op != OpEllipsePattern) return;
    switch (op) {
        case OpQuadPattern: {
            const float xs[4] = {a.X[0], a.X[1], a.X[2], a.X[3]}, ys[4] = {a.Y[0], a.Y[1], a.Y[2], a.Y[3]};
            closed_path(xs, ys);
            break;
        }
        case OpRectanglePattern: {
            float x1 = a.X[0], y1 = a.Y[0], x2 = a.X[1], y2 = a.Y[1];
            if (eps()) {
                x1 = std::max(x1, gs.wx1);
                y1 = std::max(y1, gs.wy1);
                x2 = std::min(x2, gs.wx2);
                y2 = std::min(y2, gs.wy2);
            }
            const float xs[4] = {x1, x2, x2, x1}, ys[4] = {y1, y1, y2, y2};
            closed_path(xs, ys);
            break;
        }
        case OpTrianglePattern: {
            const float xs[3] = {a.X[0], a.X[1], a.X[2]}, ys[3] = {a.Y[0], a.Y[1], a.Y[2]};
            closed_path(xs, ys);
            break;
        }
        case OpPolygonPattern: {
            const auto n = static_cast<std::size_t>(driver_point_count());
            if (n == 0) break;
            closed_path(std::span<const float>(quin01.X.data(), n), std::span<const float>(quin01.Y.data(), n));
            break;
        }
        case OpEllipsePattern: ellipse(); break;
        case OpSectorPattern: yypos0(op); break;
        default: break;
    }
}

// The string between parentheses with "(", ")" and "\" escaped, cut where
// the line limit would be passed, never between a backslash and the
// character it escapes.
std::string escaped_string(std::string_view text) {
    std::string out;
    out.reserve(std::min(text.size() * 2, StringLimit));
    for (char c : text) {
        const bool special = c == '(' || c == ')' || c == '\\';
        if (out.size() + (special ? 2 : 1) > StringLimit) break;
        if (special) out += '\\';
        out += c;
    }
    return out;
}

void string_op() {
    PostScriptState& s = psstate;
    GraphicsState& gs = g();
    const TextState& t = gs.text;
    const DriverArguments& a = drvargs;
    gs.hc.page_in_progress = 1;
    yypos2(3);
    if (s.font_changed != 0) {
        const float w = std::clamp(gs.text_ref_size_x * t.char_width * gs.hc.x_scale, 1.0f, 999.0f);
        const float h = std::clamp(gs.text_ref_size_y * t.char_height * gs.hc.y_scale, 1.0f, 999.0f);
        const std::int32_t d = (t.TextStyle % 4) + 1;
        static constexpr float A[3] = {1.65f, 1.33f, 1.72f};
        static constexpr float B[3] = {1.0f, 0.82f, 0.82f};
        const std::size_t k = t.TextPitch >= 0 && t.TextPitch <= 2 ? static_cast<std::size_t>(t.TextPitch) : 0;
        const std::string matrix = " ff [" + std::string(trimmed(f(w * A[k], 5, 1))) + " 0 0 " +
                                   std::string(trimmed(f(h * B[k], 5, 1))) + " 0 0] ms";
        static constexpr const char* names[3] = {"/Courier-", "/Helvetica-", "/Times-"};
        std::string font;
        if (t.HardwareFontFamily >= 1 && t.HardwareFontFamily <= 3) {
            font = names[t.HardwareFontFamily - 1];
            font += static_cast<char>('0' + d);
        } else if (t.HardwareFontFamily == 4) {
            font = "/Symbol";
        }
        if (!font.empty()) yypos6(font.append(matrix));
        s.font_changed = 0;
    }
    const bool by_justification = t.TextPitch != 1;
    const char* show = "lsh";
    if (by_justification && t.justification == 1) show = "csh";
    if (by_justification && t.justification == 2) show = "rsh";
    std::string text(1, '(');
    text += escaped_string(std::string_view(DriverText).substr(0, static_cast<std::size_t>(driver_text_count())));
    text += ") ";
    text += show;

    const float u = 0.27f * t.along_down[3];
    const float v = 0.27f * t.along_down[2];
    float xt = a.X[0] + u, yt = a.Y[0] - v;
    const float xe = a.X[2] + u, ye = a.Y[2] - v;
    if (by_justification && t.justification == 1) {
        xt = (xt + xe) / 2.0f;
        yt = (yt + ye) / 2.0f;
    } else if (by_justification && t.justification == 2) {
        xt = xe;
        yt = ye;
    }
    yypos4(xt, yt, "m");
    const float angle = std::isfinite(t.angle) ? t.angle : 0.0f;
    const float n = std::trunc(angle);
    if (angle != 0.0f) yypos5(n, "ro");
    yypos7(text);
    if (angle != 0.0f) yypos5(360.0f - n, "ro");
    hcstate.PenPosition = {UnknownPenPosition, UnknownPenPosition};
}

void clip() {
    if (eps()) return;
    const GraphicsState& gs = g();
    yypos2(1);
    emit("initclip");
    const auto x1 = static_cast<float>(yytrunc(gs.wx1)), y1 = static_cast<float>(yytrunc(gs.wy1));
    const auto x2 = static_cast<float>(yytrunc(gs.wx2 + 0.99f)), y2 = static_cast<float>(yytrunc(gs.wy2 + 0.99f));
    yypos4(x1, y1, "m");
    yypos4(x2, y1, "l");
    yypos4(x2, y2, "l");
    yypos4(x1, y2, "l");
    emit("clip");
    emit("newpath");
}

void line_type() {
    static constexpr const char* dashes[8] = {"[] 0 d",          "[1 5] 4 d",        "[6 6] 3 d",
                                              "[1 3 4 4] 0 d",   "[1 2 1 2 4 2] 0 d", "[5 2 3 2] 2 d",
                                              "[3 3] 1 d",       "[5 2 3 2 3 2] 0 d"};
    PostScriptState& s = psstate;
    const std::int32_t type = g().LineType;
    if (type == s.written_line_type) return;
    yypos2(1);
    emit(dashes[type >= 0 && type <= 7 ? type : 0]);
    s.written_line_type = type;
}

void line_width() {
    PostScriptState& s = psstate;
    const std::int32_t thickness = option(9);
    if (thickness == s.written_thickness) return;
    yypos2(1);
    yypos5(0.1f * static_cast<float>(thickness), "w");
    s.written_thickness = thickness;
}

void line_join() {
    yypos2(1);
    const std::int32_t join = std::clamp(option(10), 0, 2);
    emit(std::to_string(join) + " setlinejoin");
    if (join == 0) yypos5(5.0f, "setmiterlimit");
}

void line_cap() {
    yypos2(1);
    emit(std::to_string(std::clamp(option(11), 0, 2)) + " setlinecap");
}

void image() {
    DriverArguments& a = drvargs;
    const GraphicsState& gs = g();
    yypos2(1);
    const std::int64_t width = a.IX[1], height = a.IY[1];
    std::vector<std::int32_t> pixels;
    if (!driver_load_image(pixels)) return;
    gstate.hc.page_in_progress = 1;

    emit("gsave");
    yypos6("/picstr" + fixed_int(3 * width, 12) + " string def");
    yypos4(static_cast<float>(yytrunc(gs.wx1)), static_cast<float>(yytrunc(gs.wy1)), "translate");
    yypos4(gs.wx2 - gs.wx1, gs.wy2 - gs.wy1, "scale");
    const std::string w = std::to_string(width), h = std::to_string(height);
    yypos6(w + " " + h + " 8 [" + w + " 0 0 -" + h + " 0 " + h + "]");
    yypos6("{currentfile picstr readhexstring pop}");
    yypos6("false 3");
    yypos6("colorimage");
    static constexpr char hex[] = "0123456789abcdef";
    std::string row;
    row.reserve(240);
    for (std::int32_t p : pixels) {
        const std::int32_t parts[3] = {p & 0xff, (p >> 8) & 0xff, (p >> 16) & 0xff};
        for (std::int32_t c : parts) {
            row += hex[c >> 4];
            row += hex[c & 15];
        }
        if (row.size() == 240) {
            emit(row);
            row.clear();
        }
    }
    if (!row.empty()) emit(row);
    emit("grestore");
}

}  // namespace

void yypos6(std::string_view text) { emit(squeezed(text.substr(0, std::min(text.size(), LineLimit)))); }

void yypos7(std::string_view text) { emit(text); }

void yypos5(float v, std::string_view word) {
    const float values[1] = {v};
    number_line(values, word);
}

void yypos4(float x, float y, std::string_view word) {
    const float values[2] = {x * gstate.hc.x_scale, y * gstate.hc.y_scale};
    number_line(values, word);
}

void yypos3(float a, float b, float c, std::string_view word) {
    const float values[3] = {a, b, c};
    number_line(values, word);
}

void xxpost(std::int32_t op) {
    const DriverArguments& a = drvargs;
    switch (op) {
        case OpInitialise: initialise(); return;
        case OpLine: line(a.X[0], a.Y[0], a.X[1], a.Y[1]); return;
        case OpColour:
        case OpPalette: colour(); return;
        case OpEllipsePattern:
        case OpQuadPattern:
        case OpRectanglePattern:
        case OpTrianglePattern:
        case OpSectorPattern:
        case OpPolygonPattern: shape(op); return;
        case OpBeginPicture: begin(); return;
        case OpEndOutput: end_output(); return;
        case OpEndPage: end_page(); return;
        case OpFont: psstate.font_changed = 1; return;
        case OpText: string_op(); return;
        case OpClip: clip(); return;
        case OpPoint: point(a.X[0], a.Y[0]); return;
        case OpLineType: line_type(); return;
        case OpLineWidth: line_width(); return;
        case OpPolyline: polyline(); return;
        case OpArc: yypos0(op); return;
        case OpLineJoin: line_join(); return;
        case OpLineCap: line_cap(); return;
        case OpImageFile: image(); return;
        default: return;
    }
}

void reset_postscript_state() { psstate = PostScriptState{}; }
