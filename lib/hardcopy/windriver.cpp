// The Windows printer driver and its metafile twin: the shared mapping of
// device coordinates onto device pixels, colours, fills, sectors, fonts and
// text, and each driver's own initialisation, begin and end.
#include "lib/hardcopy/windriver.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/screen.h"
#include "lib/hardcopy/gdilayer.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/hcdriver.h"
#include "lib/hardcopy/wmf.h"
#include "lib/raster/imagefiles.h"
#include "lib/window/convert.h"
#include "lib/window/errors.h"
#include "lib/window/osservices.h"
#include "lib/window/quinda_state.h"
#include "lib/window/text.h"

WindowsDriverState xxwin_state;
WindowsDriverState xxwmf_state;

namespace {

void startpage_if_pending() {
    if (printer_layer.page_pending == 1) yywprstartpage();
}

void wmf_textsize(std::int32_t width, std::int32_t& height, std::int32_t&, std::int32_t angle, std::int32_t family,
                  std::int32_t style, std::string_view name) {
    yywmftextsize(width, height, angle, family, style, name);
}
void wmf_polygon(std::int32_t n, std::int32_t) { yywmfpolygon(n); }

constexpr WindowsDrawingLayer kPrinterLayer{
    &yywprcolour, &yywprline, &yywprellipse, &yywprrectangle, &yywprarc, &yywproutlinearc, &yywprpolpoint,
    &yywprpolygon, &yywprpolyline, &yywprpoint, &yywprpointrgb, &yywprgradfill, &yywprclip, &yywprtextsize,
    &yywprdrawstring, &yywprtextlength, &yywprlinetype, &yywprlinewidth, &startpage_if_pending, &yywprinfo,
    &yywpropen, &yywprdump, &yywprclose,
};

}  // namespace

WindowsDrawingLayer printer_gdi = kPrinterLayer;
const WindowsDrawingLayer metafile_gdi{
    &yywmfcolour, &yywmfline, &yywmfellipse, &yywmfrectangle, &yywmfarc, &yywmfoutlinearc, &yywmfpolpoint,
    &wmf_polygon, &yywmfpolyline, &yywmfpoint, &yywmfpointrgb, &yywmfgradfill, &yywmfclip, &wmf_textsize,
    &yywmfdrawstring, &yywmftextlength, &yywmflinetype, &yywmflinewidth, nullptr, nullptr, nullptr, nullptr, nullptr,
};

void reset_windows_drivers() {
    xxwin_state = WindowsDriverState{};
    xxwmf_state = WindowsDriverState{};
    printer_gdi = kPrinterLayer;
    reset_drawing_layers();
}

namespace {

void colour_mode(std::int32_t& r, std::int32_t& g, std::int32_t& b) {
    const std::int32_t mode = gstate.hc.options.get(6);
    if (mode == 1) {
        r = 255 - r, g = 255 - g, b = 255 - b;
    } else if (mode == 2) {
        const bool dark = r < 10 && g < 10 && b < 10, light = r > 245 && g > 245 && b > 245;
        if (dark || light) r = 255 - r, g = 255 - g, b = 255 - b;
    }
}

// Truncation towards zero of a product kept in extended precision; values
// beyond the integer range give its nearest end.
std::int32_t cut(long double v) {
    if (std::isnan(v)) return 0;
    const long double t = std::trunc(v);
    if (t >= static_cast<long double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    if (t <= static_cast<long double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(t);
}

// One of the two drivers.
struct Twin {
    const WindowsDrawingLayer& layer;
    WindowsDriverState& s;
    bool metafile;
    const char* name;

    GraphicsState& g() const { return gstate; }
    long double sx() const { return g().hc.x_scale; }
    long double sy() const { return g().hc.y_scale; }
    std::int32_t px(float x) const { return cut(sx() * x); }
    std::int32_t py(float y) const { return cut(sy() * (static_cast<long double>(g().extent_y) - y)); }
    bool enhanced() const { return metafile && s.MetafileEnhanced != 0; }
    void content() const { g().hc.page_in_progress = 1; }
    void startpage() const {
        if (layer.startpage) layer.startpage();
    }
    std::int32_t option(int code) const { return g().hc.options.get(code); }
};

std::array<std::int32_t, 3> rgb_of(std::int32_t colour) {
    std::array<std::int32_t, 3> c{};
    yypalrgb(colour, c[0], c[1], c[2]);
    return c;
}

void set_colour(const Twin& t) {
    const GraphicsState& g = t.g();
    t.s.colour_prev = t.s.colour;
    if (!t.metafile && t.option(7) != 0) {
        const bool white = (g.ColourModel == 2 && g.CurrentColour.rgb() == 16777215) ||
                           (g.ColourModel == 1 && g.CurrentColour.index() == 0);
        t.s.colour = white ? std::array<std::int32_t, 3>{255, 255, 255} : std::array<std::int32_t, 3>{0, 0, 0};
    } else {
        t.s.colour = rgb_of(g.CurrentColour.in_model(g.ColourModel));
        colour_mode(t.s.colour[0], t.s.colour[1], t.s.colour[2]);
    }
    t.layer.colour(t.s.colour[0], t.s.colour[1], t.s.colour[2]);
}

struct Pix {
    std::int32_t x = 0, y = 0;
};

// The mapped start and end of a sector, the end nudged one pixel away when
// both meet on one pixel and the sweep is small, so that a thin wedge is not
// drawn as a whole ellipse.
void sector_points(const Twin& t, Pix& s, Pix& e) {
    const DriverArguments& d = drvargs;
    const long double x1 = d.X[0], y1 = d.Y[0], rx = d.X[1], ry = d.Y[1];
    s = {t.px(static_cast<float>(x1 + rx * std::cos(static_cast<long double>(d.X[2])))),
         t.py(static_cast<float>(y1 + ry * std::sin(static_cast<long double>(d.X[2]))))};
    e = {t.px(static_cast<float>(x1 + rx * std::cos(static_cast<long double>(d.Y[2])))),
         t.py(static_cast<float>(y1 + ry * std::sin(static_cast<long double>(d.Y[2]))))};
    if (s.x == e.x && s.y == e.y && std::fabs(d.Y[3]) <= 10.0f) {
        float r = std::fmod(d.X[3], 360.0f);
        if (r < 0.0f) r += 360.0f;
        if (r < 90.0f) e.x -= 1, e.y -= 1;
        else if (r < 180.0f) e.x -= 1, e.y += 1;
        else if (r < 270.0f) e.x += 1, e.y += 1;
        else e.x += 1, e.y -= 1;
    }
}

void filled_shape(const Twin& t, std::int32_t op) {
    GraphicsState& g = t.g();
    DriverArguments& d = drvargs;
    const std::int32_t style = g.fill_style;
    const bool fill = style > 2 || (!t.metafile && (style == 1 || style == 2) && t.option(7) != 0);
    if (d.K == -1) {
        // Puts back the layer's colour pair that the fill colour changed.
        if (fill) {
            t.layer.colour(t.s.colour_prev[0], t.s.colour_prev[1], t.s.colour_prev[2]);
            t.layer.colour(t.s.colour[0], t.s.colour[1], t.s.colour[2]);
        }
        return;
    }
    t.content();
    if (fill) {
        std::array<std::int32_t, 3> c = rgb_of(g.CurrentColour.in_model(g.ColourModel));
        if (style == 3) {
            const std::array<std::int32_t, 3> p = rgb_of(g.PreviousColour.in_model(g.ColourModel));
            for (std::size_t i = 0; i < 3; ++i) c[i] = (c[i] + p[i]) / 2;
        }
        colour_mode(c[0], c[1], c[2]);
        t.s.fill_colour = c;
        t.layer.colour(c[0], c[1], c[2]);
    }
    if (style <= 2 && op != OpEllipsePattern) return;
    switch (op) {
        case OpEllipsePattern: {
            const long double wtop = g.extent_x, htop = g.extent_y;
            const long double den = wtop * t.option(2) * g.area_width_x;
            const long double r = den != 0 ? static_cast<long double>(d.X[1]) * d.X[2] * t.option(1) * htop *
                                                  g.area_width_y / den
                                           : static_cast<long double>(d.X[1]) * d.X[2];
            t.layer.ellipse(t.px(d.X[0]), t.py(d.Y[0]), cut(t.sx() * d.X[1]), cut(t.sy() * r), style);
            break;
        }
        case OpQuadPattern:
        case OpTrianglePattern: {
            const int n = op == OpQuadPattern ? 4 : 3;
            for (int i = 0; i < n; ++i)
                t.layer.polpoint(t.px(d.X[static_cast<std::size_t>(i)]), t.py(d.Y[static_cast<std::size_t>(i)]), i);
            t.layer.polygon(n, 0);
            break;
        }
        case OpRectanglePattern: {
            const float x1 = std::max(d.X[0], g.wx1), y1 = std::max(d.Y[0], g.wy1);
            const float x2 = std::min(d.X[1], g.wx2), y2 = std::min(d.Y[1], g.wy2);
            t.layer.rectangle(t.px(x1), t.py(y2), t.px(x2), t.py(y1));
            break;
        }
        case OpSectorPattern: {
            // The vertical radius follows the page's shape.
            const long double ph = t.option(2);
            if (ph != 0 && g.aspect_ratio != 0.0f)
                d.Y[1] = static_cast<float>(d.Y[1] * (t.option(1) / ph) / g.aspect_ratio);
            Pix s, e;
            sector_points(t, s, e);
            t.layer.arc(t.px(d.X[0]), t.py(d.Y[0]), cut(t.sx() * d.X[1]), cut(t.sy() * d.Y[1]), s.x, s.y, e.x, e.y);
            break;
        }
        case OpPolygonPattern: {
            const std::int32_t n = driver_point_count();
            for (std::int32_t i = 0; i < n; ++i)
                t.layer.polpoint(t.px(quin01.X[static_cast<std::size_t>(i)]), t.py(quin01.Y[static_cast<std::size_t>(i)]),
                                 i);
            t.layer.polygon(n, t.metafile ? 0 : g.stroke_text_flag);
            break;
        }
        default: break;
    }
}

void font(const Twin& t) {
    const GraphicsState& g = t.g();
    const TextState& x = g.text;
    long double a = static_cast<long double>(g.area_size_x) * x.char_width * t.sx();
    long double b = static_cast<long double>(g.area_size_y) * x.char_height * t.sy();
    std::int32_t style = x.TextStyle;
    if (x.TextPitch != 0) {
        a *= x.TextPitch == 1 ? 0.607L : 0.725L;
        if (x.HardwareFontFamily == 4) a *= 1.38L;
        b *= 0.821L;
        if (x.TextPitch == 1) style &= ~4;
    }
    std::int32_t h = cut(b), asc = 0;
    t.layer.textsize(cut(a), h, asc, cut(x.angle), x.HardwareFontFamily, style, txt_trim(x.font_name));
    if (!t.metafile) t.s.PrinterFontCell = {h, asc};
}

void text(const Twin& t) {
    const TextState& x = t.g().text;
    DriverArguments& d = drvargs;
    t.content();
    long double dx = 0, dy = 0;
    if (t.metafile) {
        dx = 0.25L * x.along_down[3];
        dy = 0.25L * x.along_down[2];
    } else {
        const long double shift = t.s.PrinterFontCell[1] - 0.5L * t.s.PrinterFontCell[0];
        if (t.sx() != 0) dx = shift * x.sin_over_r / t.sx();
        if (t.sy() != 0) dy = shift * x.cos_angle / t.sy();
    }
    const float p1x = static_cast<float>(d.X[0] + dx), p1y = static_cast<float>(d.Y[0] - dy);
    const float p2x = static_cast<float>(d.X[2] + dx), p2y = static_cast<float>(d.Y[2] - dy);
    const std::int32_t align = x.TextPitch == 1 ? 0 : x.justification;
    const std::int32_t opaque = x.TextPitch != 1 && (x.TextStyle & 8) != 0 ? 1 : 0;
    t.layer.drawstring(t.px(p1x), t.py(p1y), t.px(p2x), t.py(p2y), align, opaque,
                       std::string_view(DriverText).substr(0, static_cast<std::size_t>(driver_text_count())));
    d.IX[3] = 0;
}

void line_width(const Twin& t) {
    const long double thickness = t.option(9);
    if (t.metafile) {
        t.layer.linewidth(t.enhanced() ? cut(t.s.MetafileLineScale * thickness) : static_cast<std::int32_t>(thickness));
        return;
    }
    const std::int32_t wx = std::max<std::int32_t>(1, cut(t.s.PrinterResolutionReal[0] * thickness / 720 + 0.5L)) - 1;
    const std::int32_t wy = std::max<std::int32_t>(1, cut(t.s.PrinterResolutionReal[1] * thickness / 720 + 0.5L)) - 1;
    t.layer.linewidth((wx + wy) / 2);
}

// The drawing area in device pixels: left, top, right, bottom.
std::array<std::int32_t, 4> area_box(const Twin& t) {
    const GraphicsState& g = t.g();
    return {t.px(g.wx1), t.py(g.wy2), t.px(g.wx2), t.py(g.wy1)};
}

void image(const Twin& t) {
    DriverArguments& d = drvargs;
    t.content();
    t.startpage();
    const auto b = area_box(t);
    yyloadimage(d.IX[0], t.metafile ? DriverWindowsMetafile : DriverWindowsPrinter, b[0], b[1], b[2], b[3], 1, d.K,
                d.N, txt_trim(DriverText));
}

void gradient(const Twin& t) {
    t.content();
    t.startpage();
    GradientVertexBlock& v = gradient_block;
    const std::int32_t n = std::clamp<std::int32_t>(v.n, 0, GradientMaxVertices);
    for (std::int32_t i = 0; i < n; ++i) {
        v.ix[static_cast<std::size_t>(i)] = t.px(quin01.X[static_cast<std::size_t>(i)]);
        v.iy[static_cast<std::size_t>(i)] = t.py(quin01.Y[static_cast<std::size_t>(i)]);
    }
    const std::int32_t type = t.metafile && !t.enhanced() ? 1 : t.g().device[HardcopySide].gradient_type;
    const auto b = area_box(t);
    yygradientfill(type, b[0], b[1], b[2], b[3], t.layer.pointrgb, t.layer.gradfill);
}

// The operations both drivers carry out alike, apart from the differences
// each names.
void draw(const Twin& t, std::int32_t op) {
    GraphicsState& g = t.g();
    DriverArguments& d = drvargs;
    switch (op) {
        case OpLine:
            t.content();
            t.layer.line(t.px(d.X[0]), t.py(d.Y[0]), t.px(d.X[1]), t.py(d.Y[1]));
            break;
        case OpColour:
        case OpPalette: set_colour(t); break;
        case OpEllipsePattern:
        case OpQuadPattern:
        case OpRectanglePattern:
        case OpTrianglePattern:
        case OpSectorPattern:
        case OpPolygonPattern: filled_shape(t, op); break;
        case OpFont:
        case OpTextAngle: font(t); break;
        case OpText: text(t); break;
        case OpClip:
            if (t.metafile && !t.enhanced()) break;
            t.layer.clip(t.px(g.wx1), t.py(g.wy2), cut(t.sx() * g.wx2 + 0.99L),
                         cut(t.sy() * (static_cast<long double>(g.extent_y) - g.wy1) + 0.99L));
            break;
        case OpTextWidth: {
            if (t.metafile && !t.enhanced()) break;
            std::int32_t w = 0;
            t.layer.textlength(w, std::string_view(DriverText).substr(
                                      0, static_cast<std::size_t>(std::clamp<std::int32_t>(d.K, 0, DriverTextLength))));
            d.X[0] = t.sx() != 0 ? static_cast<float>(w / t.sx()) : 0.0f;
            d.N = 1;
            break;
        }
        case OpPoint:
            t.content();
            t.layer.point(t.px(d.X[0]), t.py(d.Y[0]));
            break;
        case OpLineType: t.layer.linetype(g.LineType); break;
        case OpLineWidth: line_width(t); break;
        case OpPolyline: {
            t.content();
            const std::int32_t n = driver_point_count();
            for (std::int32_t i = 0; i < n; ++i)
                t.layer.polpoint(t.px(quin01.X[static_cast<std::size_t>(i)]), t.py(quin01.Y[static_cast<std::size_t>(i)]),
                                 i);
            t.layer.polyline(n);
            break;
        }
        case OpArc: {
            t.content();
            Pix s, e;
            sector_points(t, s, e);
            t.layer.outlinearc(t.px(d.X[0]), t.py(d.Y[0]), cut(t.sx() * d.X[1]), cut(t.sy() * d.Y[1]), s.x, s.y, e.x,
                               e.y, g.fill_density);
            break;
        }
        case OpImageFile: image(t); break;
        case OpGradientFill: gradient(t); break;
        default: break;  // line join and cap, palette entries, reading pixels ...
    }
}

// The hardcopy device words both drivers install.
void device_words() {
    DeviceDescription& dd = gstate.device[HardcopySide];
    dd.charset_bits = 8;
    dd.TextRotationCapability = 360;
    int variant = 0;
    yywinvariant(variant);
    dd.platform_variant = variant == 4 ? 2 : 1;
    dd.true_colour = 1;
    int type = 1;
    yygradfilltype(type);
    dd.gradient_type = type;
    gstate.hc.whole_strings = gstate.hc.own_text_background = gstate.hc.third_text_flag = 1;
    dd.TextSizeThreshold = NoTextSizeThreshold;
    dd.DeviceCapabilities = std::string(CapsVectorFile);
    hcstate.DriverCanSpool = 0;
}

void open_failed(std::int32_t oserr, std::string_view name) {
    quinda.io_status = oserr;
    quinda.status_kind = 2;
    yyerror(1, name);
    gstate.hardcopy_flag = 0;
}

constexpr std::string_view kDefaultTitle = "Quindarolex graphic";

const Twin& printer_twin() {
    static const Twin t{printer_gdi, xxwin_state, false, "XXWIN"};
    return t;
}

const Twin& metafile_twin() {
    static const Twin t{metafile_gdi, xxwmf_state, true, "XXWMF"};
    return t;
}

void printer_initialise() {
    DriverArguments& d = drvargs;
    if (d.N == ProbeDriverNumber) {
        d.N = DriverWindowsPrinter;
        return;
    }
    yydefh();
    // The page is asked for when something first reads it; a query still
    // pending from before fills the same words and is one with this one.
    if (d.K != KeepPageOptions) hcstate.printer_query_pending |= PendingPrinterPage;
    device_words();
    gstate.hc.active_driver = DriverWindowsPrinter;
}

void printer_begin() {
    GraphicsState& g = gstate;
    DriverArguments& d = drvargs;
    WindowsDriverState& s = xxwin_state;
    settle_printer_query();
    if (d.K > 0) {
        if (s.PrinterQueryError != 0) return open_failed(s.PrinterQueryError, "XXWIN");
        if (d.IX[0] == 0) txt_set(hcstate.HardcopyTitle, kDefaultTitle);
        std::int32_t colours = 0, err = 0, oserr = 0;
        printer_gdi.open(g.hc.options.get(1), g.hc.options.get(2), g.hc.options.get(3), g.hc.options.get(4),
                         hcstate.HardcopyResolution[0], hcstate.HardcopyResolution[1], colours, err, oserr,
                         g.hc.options.get(5), g.hc.options.get(8), txt_trim(hcstate.HardcopyTitle));
        if (err != 0) return open_failed(oserr, "XXWIN");
        s.PrinterResolutionReal = {static_cast<float>(hcstate.HardcopyResolution[0]),
                                   static_cast<float>(hcstate.HardcopyResolution[1])};
        s.PrinterPagePixels = {
            static_cast<std::int32_t>(std::int64_t{g.hc.options.get(1)} * hcstate.HardcopyResolution[0] / 72),
            static_cast<std::int32_t>(std::int64_t{g.hc.options.get(2)} * hcstate.HardcopyResolution[1] / 72)};
        g.hc.colour_count = std::min(colours, 256);
        s.colour = {255, 255, 255};
    }
    if (g.width > 0) g.hc.x_scale = static_cast<float>(s.PrinterPagePixels[0]) / static_cast<float>(g.width);
    if (g.height > 0) g.hc.y_scale = static_cast<float>(s.PrinterPagePixels[1]) / static_cast<float>(g.height);
}

}  // namespace

void query_printer_page() {
    GraphicsState& g = gstate;
    WindowsDriverState& s = xxwin_state;
    std::int32_t w = 0, h = 0, x = 0, y = 0, orient = 0, copies = 0;
    yysavefp();
    printer_gdi.info(hcstate.PaperLong, hcstate.PaperShort, w, h, x, y, orient, copies, s.PrinterQueryColours,
                     s.PrinterQueryError);
    yyrestfp();
    for (auto [code, v] : {std::pair{1, w}, {2, h}, {3, x}, {4, y}, {5, orient}, {8, copies}})
        g.hc.options.set(code, v);
    hcstate.PrinterAvailable = s.PrinterQueryError == 0 ? 1 : 0;
    g.hc.colour_count = s.PrinterQueryColours;
    g.hc.options.set(7, s.PrinterQueryColours <= 2 ? 1 : 0);
}

void yywin1(std::int32_t& r, std::int32_t& g, std::int32_t& b) { colour_mode(r, g, b); }
void yywmf1(std::int32_t& r, std::int32_t& g, std::int32_t& b) { colour_mode(r, g, b); }

void xxwin(std::int32_t op) {
    switch (op) {
        case OpInitialise: printer_initialise(); break;
        case OpBeginPicture: printer_begin(); break;
        case OpEndOutput: printer_gdi.close(); break;
        case OpEndPage:
            gstate.hc.page_in_progress = 0;
            printer_gdi.dump();
            break;
        default: draw(printer_twin(), op); break;
    }
}

namespace {

void metafile_initialise() {
    GraphicsState& g = gstate;
    DriverArguments& d = drvargs;
    if (d.N == ProbeDriverNumber) {
        d.N = DriverWindowsMetafile;
        return;
    }
    yydefh();
    g.hc.options.set(1, 756);
    g.hc.options.set(2, 540);
    hcstate.HardcopyResolution = {600, 600};
    g.hc.colour_count = 256;
    device_words();
    g.hc.options.set(27, 1);
    g.hc.options.set(29, 0);
    txt_set(g.hc.output_name, "");
    g.hc.active_driver = DriverWindowsMetafile;
}

void metafile_begin() {
    GraphicsState& g = gstate;
    DriverArguments& d = drvargs;
    WindowsDriverState& s = xxwmf_state;
    if (d.K > 0) {
        const std::int32_t format = g.hc.options.get(27);
        const std::int32_t pw = g.hc.options.get(1), ph = g.hc.options.get(2);
        s.MetafileEnhanced = format == 2 ? 1 : 0;
        // Tenths of a point must fit the 16-bit coordinates of a plain
        // metafile; the placeable header's bounds lower their units per
        // inch until they fit.
        std::int32_t inch = 1000;
        if (format != 2) {
            const std::int32_t longest = std::max(pw, ph);
            if (longest > 3276) return open_failed(0, "XXWMF");
            if (longest > 2359) inch = 32767 * 72 / longest;
        }
        s.MetafileBounds = {static_cast<std::int32_t>(std::int64_t{pw} * inch / 72),
                            static_cast<std::int32_t>(std::int64_t{ph} * inch / 72)};
        s.MetafileChecksum = 0x5711 ^ s.MetafileBounds[0] ^ s.MetafileBounds[1] ^ inch;
        s.MetafileExtent = {10 * pw, 10 * ph};
        if (d.IX[0] == 0) txt_set(hcstate.HardcopyTitle, kDefaultTitle);
        const std::string file(txt_trim(DriverText));
        std::string description = "QDX metafile driver";
        description += '\0';
        description += txt_trim(hcstate.HardcopyTitle);
        description += std::string(2, '\0');
        std::int32_t err = 0, oserr = 0;
        yywmfopen(s.MetafileExtent[0], s.MetafileExtent[1], format, g.hc.options.get(29), s.MetafileBounds[0],
                  s.MetafileBounds[1], s.MetafileChecksum, inch, d.N, err, oserr, file, description);
        if (err != 0) return open_failed(oserr, "XXWMF");
        if (s.MetafileEnhanced != 0 && pw != 0)
            s.MetafileLineScale = static_cast<float>(s.MetafileExtent[0]) / (10.0f * static_cast<float>(pw));
        s.colour = {255, 255, 255};
    }
    if (g.extent_x > 0) g.hc.x_scale = static_cast<float>(s.MetafileExtent[0]) / g.extent_x;
    if (g.extent_y > 0) g.hc.y_scale = static_cast<float>(s.MetafileExtent[1]) / g.extent_y;
}

}  // namespace

void xxwmf(std::int32_t op) {
    switch (op) {
        case OpInitialise: metafile_initialise(); break;
        case OpBeginPicture: metafile_begin(); break;
        case OpEndOutput: {
            std::int32_t err = 0;
            yywmfclose(err);
            if (err != 0) yyerror(err, "XXWMF");
            break;
        }
        case OpEndPage: gstate.hc.page_in_progress = 0; break;
        default: draw(metafile_twin(), op); break;
    }
}
