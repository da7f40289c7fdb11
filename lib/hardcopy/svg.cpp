// Hardcopy driver 3: the picture as an SVG document, written live, one
// element per line. Style groups are written only when the style changes;
// the document stays balanced whatever operations come.
#include "lib/hardcopy/svg.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/hcdriver.h"
#include "lib/window/text.h"
#include "platform/os_codepage.h"

SvgDriverState svgstate;

namespace {

// Point lists are written in lines of at most this many characters.
constexpr std::size_t PointLineLimit = 256;

GraphicsState& g() { return gstate; }
std::int32_t option(int code) { return gstate.hc.options.get(code); }
void out(std::string_view line) { yyprwl(DriverChannel, line); }

std::string num(float v) { return yysvg1(v); }
std::string x_of(float x) { return num(x * gstate.hc.x_scale); }
std::string y_of(float y) { return num((gstate.extent_y - y) * gstate.hc.y_scale); }
std::string dx_of(float l) { return num(l * gstate.hc.x_scale); }
std::string dy_of(float l) { return num(l * gstate.hc.y_scale); }

std::string hex(const Rgb& c) {
    std::string text(6, ' ');
    yyrgbhex(c.r, c.g, c.b, text);
    return text;
}

// The colour mode: 1 negative, 2 black and white exchanged.
Rgb adjusted(Rgb c) {
    const std::int32_t mode = option(6);
    const bool dark = c.r < 10 && c.g < 10 && c.b < 10;
    const bool light = c.r > 245 && c.g > 245 && c.b > 245;
    if (mode == 1 || (mode == 2 && (dark || light))) c = {255 - c.r, 255 - c.g, 255 - c.b};
    return c;
}

Rgb current_colour() { return colour_components(g().CurrentColour.in_model(g().ColourModel)); }

void close_group() {
    out("</g>");
    if (svgstate.open_groups > 0) --svgstate.open_groups;
}

void initialise() {
    vector_driver_initialise({DriverSvg, {{1, 640}, {2, 480}, {3, 0}, {4, 0}, {5, 0}}, 72, 256, CapsVectorFile,
                              NoTextSizeThreshold, "derizure.svg", 0});
}

void begin() {
    GraphicsState& gs = g();
    gs.hc.x_scale = static_cast<float>(option(1)) / gs.extent_x;
    gs.hc.y_scale = static_cast<float>(option(2)) / gs.extent_y;
    if (drvargs.K <= 0 || !driver_open_output()) return;
    out("<?xml version=\"1.0\"?>");
    out("<!DOCTYPE svg SYSTEM \"\">");
    // Width and height stay on the line that holds "<svg ", where the
    // library's file identification reads them; without the namespace a
    // browser shows the file as bare XML.
    out("<svg width=\"" + std::to_string(option(1)) + "\" height=\"" + std::to_string(option(2)) +
        "\" xmlns=\"http://www.w3.org/2000/svg\">");
    const std::string colour = svgstate.colour_text;
    svgstate = SvgDriverState{};
    svgstate.colour_text = colour;
}

void end_output() {
    std::string tail;
    for (std::int32_t i = 0; i < svgstate.open_groups; ++i) tail += "</g>";
    out(tail + "</svg>");
    svgstate.open_groups = 0;
    svgstate.red = -1;
    svgstate.fill_open = svgstate.text_open = 0;
    yyprcl(DriverChannel);
}

void stroke_check() {
    static constexpr const char* dashes[8] = {"none",    "1 5",         "6 6",     "1 3 4 4",
                                              "1 2 1 2 4 2", "5 2 3 2", "3 3",     "5 2 3 2 3 2"};
    static constexpr const char* joins[3] = {"miter", "round", "bevel"};
    static constexpr const char* caps[3] = {"butt", "round", "square"};
    SvgDriverState& s = svgstate;
    const Rgb c = adjusted(current_colour());
    const long double t = static_cast<long double>(option(9));
    const auto w = static_cast<std::int32_t>(std::max(1.0L, std::floor(150.0L * t / 720.0L + 0.5L)));
    const std::int32_t type = std::clamp(g().LineType, 0, 7);
    const std::int32_t join = std::clamp(option(10), 0, 2);
    const std::int32_t cap = std::clamp(option(11), 0, 2);
    if (c.r == s.red && c.g == s.green && c.b == s.blue && w == s.width && type == s.line_type && join == s.join &&
        cap == s.cap)
        return;
    if (s.red != -1) close_group();
    s.colour_text = hex(c);
    out("<g style=\"fill:none;stroke:#" + s.colour_text + ";stroke-dasharray:" + dashes[type] +
        ";stroke-width:" + std::to_string(w) + ";stroke-linejoin:" + joins[join] + ";stroke-linecap:" + caps[cap] +
        "\">");
    ++s.open_groups;
    s.red = c.r;
    s.green = c.g;
    s.blue = c.b;
    s.width = w;
    s.line_type = type;
    s.join = join;
    s.cap = cap;
}

// A polygon or polyline element over lines of at most 256 characters.
void point_list(const char* head, const float* xs, const float* ys, std::size_t n) {
    std::string line = head;
    bool first = true;
    for (std::size_t i = 0; i < n; ++i) {
        const std::string point = x_of(xs[i]) + "," + y_of(ys[i]);
        const std::size_t needed = point.size() + (first ? 0 : 1);
        if (!first && line.size() + needed > PointLineLimit) {
            out(line);
            line.clear();
            first = true;
        }
        if (!first) line += ' ';
        line += point;
        first = false;
    }
    if (line.size() + 3 > PointLineLimit) {
        out(line);
        line.clear();
    }
    out(line + "\"/>");
}

void shape(std::int32_t op) {
    SvgDriverState& s = svgstate;
    GraphicsState& gs = g();
    const DriverArguments& a = drvargs;
    const std::int32_t style = gs.fill_style;
    if (a.K == -1) {
        // Only a fill group this driver opened is closed.
        if (style > 2 && s.fill_open > 0) {
            close_group();
            --s.fill_open;
        }
        return;
    }
    gs.hc.page_in_progress = 1;
    if (style <= 2 && op != OpEllipsePattern) return;
    if (style > 2) {
        Rgb c = current_colour();
        if (style == 3) {
            const Rgb p = colour_components(gs.PreviousColour.in_model(gs.ColourModel));
            c = {(c.r + p.r) / 2, (c.g + p.g) / 2, (c.b + p.b) / 2};
        }
        c = adjusted(c);
        std::string line = "<g style=\"stroke:none;fill:#" + hex(c);
        if (s.clip_active != 0) line += ";clip-path:url(#clip" + std::to_string(s.clip_number) + ")";
        out(line + "\">");
        ++s.open_groups;
        ++s.fill_open;
    }
    switch (op) {
        case OpEllipsePattern:
            out("<ellipse cx=\"" + x_of(a.X[0]) + "\" cy=\"" + y_of(a.Y[0]) + "\" rx=\"" + dx_of(a.X[1]) +
                "\" ry=\"" + dy_of(a.Y[1]) + "\"/>");
            break;
        case OpQuadPattern: point_list("<polygon points=\"", a.X.data(), a.Y.data(), 4); break;
        case OpRectanglePattern: {
            const float xs[4] = {a.X[0], a.X[1], a.X[1], a.X[0]}, ys[4] = {a.Y[0], a.Y[0], a.Y[1], a.Y[1]};
            point_list("<polygon points=\"", xs, ys, 4);
            break;
        }
        case OpTrianglePattern: point_list("<polygon points=\"", a.X.data(), a.Y.data(), 3); break;
        case OpSectorPattern: yysvg2(op); break;
        case OpPolygonPattern:
            point_list("<polygon points=\"", quin01.X.data(), quin01.Y.data(),
                       static_cast<std::size_t>(driver_point_count()));
            break;
        default: break;
    }
}

// The text as character data: the markup characters and every character
// beyond ASCII as references to their code points (the file declares no
// encoding, so it must stay ASCII, which every XML reader takes as UTF-8);
// the control characters XML forbids become blanks.
std::string escaped(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '&') s += "&#38;";
        else if (c == '<') s += "&#60;";
        else if (c >= 161) s += "&#" + fixed_int(c, 3) + ";";
        else if (c >= 128) s += "&#" + std::to_string(static_cast<std::uint32_t>(os_cp1252_to_unicode(c))) + ";";
        else if (c < 32 && c != '\t' && c != '\n' && c != '\r') s += ' ';
        else s += ch;
    }
    return s;
}

void text() {
    static constexpr const char* families[5] = {"", "'Courier New',Courier;", "Arial,Helvetica;",
                                                "'Times New Roman','Times Roman';", "Symbol;"};
    static constexpr float factors[3] = {1.65f, 1.33f, 1.72f};
    SvgDriverState& s = svgstate;
    const GraphicsState& gs = g();
    const TextState& t = gs.text;
    const DriverArguments& a = drvargs;
    const std::int32_t family = t.HardwareFontFamily >= 1 && t.HardwareFontFamily <= 4 ? t.HardwareFontFamily : 0;
    const std::size_t kind = t.TextPitch >= 0 && t.TextPitch <= 2 ? static_cast<std::size_t>(t.TextPitch) : 0;
    const bool anchored = t.TextPitch != 1;
    if ((a.IX[1] & 1) != 0) {
        std::string line = "<g style=\"fill:#" + s.colour_text + ";stroke:none;font-family:" + families[family];
        if (family != 4) {
            if ((t.TextStyle & 1) != 0) line += "font-weight:bold;";
            if ((t.TextStyle & 2) != 0) line += "font-style:italic;";
        }
        if (anchored && t.justification == 1) line += "text-anchor:middle;";
        if (anchored && t.justification == 2) line += "text-anchor:end;";
        const float size = gs.text_ref_size_x * t.char_width * factors[kind] * gs.hc.x_scale;
        out(line + "font-size:" + num(size) + "\">");
        ++s.open_groups;
        ++s.text_open;
    }
    float x = a.X[0], y = a.Y[0];
    if (anchored && t.justification == 1) {
        x = (a.X[0] + a.X[2]) / 2.0f;
        y = (a.Y[0] + a.Y[2]) / 2.0f;
    } else if (anchored && t.justification == 2) {
        x = a.X[2];
        y = a.Y[2];
    }
    x += 0.2f * t.along_down[3];
    y -= 0.2f * t.along_down[2];
    const std::string body =
        escaped(std::string_view(DriverText).substr(0, static_cast<std::size_t>(driver_text_count())));
    std::string line = "<text transform=\"translate(" + x_of(x) + "," + y_of(y) + ")";
    const float angle = std::isfinite(t.angle) ? t.angle : 0.0f;
    if (angle != 0.0f) line += "rotate(" + num(-angle) + ")";
    out(line + "\">" + body + "</text>");
    if ((a.IX[1] & 2) != 0 && s.text_open > 0) {
        close_group();
        --s.text_open;
    }
}

void clip() {
    SvgDriverState& s = svgstate;
    const GraphicsState& gs = g();
    s.clip_active = gs.x1 > 0.0f || gs.y1 > 0.0f || gs.x2 < 1.0f || gs.y2 < 1.0f ? 1 : 0;
    if (s.clip_active == 0) return;
    ++s.clip_number;
    const float top = (gs.extent_y - gs.wy2) * gs.hc.y_scale;
    const float bottom = (gs.extent_y - gs.wy1) * gs.hc.y_scale;
    out("<defs><clipPath id=\"clip" + std::to_string(s.clip_number) + "\"><rect width=\"" +
        num((gs.wx2 - gs.wx1) * gs.hc.x_scale) + "\" height=\"" + num(bottom - top) + "\" x=\"" +
        num(gs.wx1 * gs.hc.x_scale) + "\" y=\"" + num(top) + "\"/></clipPath></defs>");
}

}  // namespace

std::string yysvg1(float value) {
    std::string s(trimmed(fixed_real(value, 8, 2)));
    // A whole number loses its point too: readers that take attribute
    // numbers by the rules of CSS (librsvg among them) refuse "12." and
    // leave out the ellipse, polygon or text that carries it.
    if (s.ends_with(".00")) s.resize(s.size() - 3);
    else if (s.ends_with('0')) s.pop_back();
    return s;
}

void yysvg2(std::int32_t op) {
    const DriverArguments& a = drvargs;
    GraphicsState& gs = g();
    gs.hc.page_in_progress = 1;
    const float sx = a.X[0] + a.X[1] * std::cos(a.X[2]), sy = a.Y[0] + a.Y[1] * std::sin(a.X[2]);
    const float ex = a.X[0] + a.X[1] * std::cos(a.Y[2]), ey = a.Y[0] + a.Y[1] * std::sin(a.Y[2]);
    const char* large = a.Y[2] - a.X[2] >= 3.1415927f ? "1" : "0";
    const bool closed = op == OpSectorPattern || gs.fill_style != 0 || gs.fill_density <= 2;
    std::string line = "<path d=\"M " + x_of(sx) + "," + y_of(sy) + " A " + dx_of(a.X[1]) + "," + dy_of(a.Y[1]) +
                       " 0 " + large + " 0 " + x_of(ex) + "," + y_of(ey);
    if (closed) line += " L " + x_of(a.X[0]) + "," + y_of(a.Y[0]) + " L " + x_of(sx) + "," + y_of(sy);
    out(line + "\"/>");
}

void xxsvg(std::int32_t op) {
    const DriverArguments& a = drvargs;
    switch (op) {
        case OpInitialise: initialise(); return;
        case OpLine:
            g().hc.page_in_progress = 1;
            out("<line x1=\"" + x_of(a.X[0]) + "\" y1=\"" + y_of(a.Y[0]) + "\" x2=\"" + x_of(a.X[1]) + "\" y2=\"" +
                y_of(a.Y[1]) + "\"/>");
            return;
        case OpColour:
        case OpLineType:
        case OpLineWidth:
        case OpLineJoin:
        case OpLineCap: stroke_check(); return;
        case OpEllipsePattern:
        case OpQuadPattern:
        case OpRectanglePattern:
        case OpTrianglePattern:
        case OpSectorPattern:
        case OpPolygonPattern: shape(op); return;
        case OpBeginPicture: begin(); return;
        case OpEndOutput: end_output(); return;
        case OpText: text(); return;
        case OpClip: clip(); return;
        case OpPoint: {
            g().hc.page_in_progress = 1;
            const std::string x = x_of(a.X[0]), y = y_of(a.Y[0]);
            // A zero-length line paints only under round caps, and not in
            // a dash gap: the dot as wide as the group's lines.
            out("<line x1=\"" + x + "\" y1=\"" + y + "\" x2=\"" + x + "\" y2=\"" + y +
                "\" style=\"stroke-linecap:round;stroke-dasharray:none\"/>");
            return;
        }
        case OpPolyline:
            g().hc.page_in_progress = 1;
            point_list("<polyline points=\"", quin01.X.data(), quin01.Y.data(),
                       static_cast<std::size_t>(driver_point_count()));
            return;
        case OpArc: yysvg2(op); return;
        default: return;
    }
}

void reset_svg_state() { svgstate = SvgDriverState{}; }
