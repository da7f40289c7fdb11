// The drawing steps the printer and metafile layers share, on the device
// context each names: the printer's (with its pages started lazily) or the
// metafile being recorded.
#include "lib/hardcopy/gdilayer.h"

#include <algorithm>

#include "lib/graphics/gdi.h"
#include "lib/window/quinda_state.h"
#include "platform/os_gdi.h"

DrawingLayer printer_layer;
namespace {

DrawingLayer fresh_metafile_layer() {
    DrawingLayer l;
    l.metafile = true;
    return l;
}

}  // namespace

DrawingLayer metafile_layer = fresh_metafile_layer();

void reset_drawing_layers() {
    printer_layer = DrawingLayer{};
    metafile_layer = fresh_metafile_layer();
}

namespace {

struct Face {
    DrawingLayer& l;
    OsDC dc() const { return l.metafile ? wtab.gwmfDC : wtab.gPrDC; }
    OsHandle& region() const { return l.metafile ? wtab.gwmfRegion : wtab.gPrRegion; }
    // Every printer drawing step starts a pending page first.
    void begin() const {
        if (!l.metafile && l.page_pending == 1) yywprstartpage();
    }
};

Face pr() { return {printer_layer}; }
Face mf() { return {metafile_layer}; }

// A brush and a pen selected for one shape and put back afterwards.
class Tools {
public:
    enum Pen { LayerPen, OnePixelPen, NullPen };
    enum Brush { SolidBrush, HollowBrush };
    Tools(const Face& f, Brush brush, Pen pen) : dc_(f.dc()) {
        if (brush == SolidBrush) brush_ = os_create_solid_brush(f.l.colour);
        old_brush_ = os_select_object(dc_, brush_ ? brush_ : os_get_stock_object(OS_NULL_BRUSH));
        if (pen == OnePixelPen) {
            pen_ = os_create_pen(OS_PS_SOLID, 1, f.l.colour);
            old_pen_ = os_select_object(dc_, pen_);
        } else if (pen == NullPen) {
            old_pen_ = os_select_object(dc_, os_get_stock_object(OS_NULL_PEN));
        }
    }
    ~Tools() {
        if (old_pen_) os_select_object(dc_, old_pen_);
        if (old_brush_) os_select_object(dc_, old_brush_);
        if (pen_) os_delete_object(pen_);
        if (brush_) os_delete_object(brush_);
    }
    Tools(const Tools&) = delete;
    Tools& operator=(const Tools&) = delete;

private:
    OsDC dc_;
    OsObject brush_ = 0, pen_ = 0, old_brush_ = 0, old_pen_ = 0;
};

std::vector<OsPoint> points(std::int32_t n) {
    const std::int32_t count = std::clamp<std::int32_t>(n, 0, static_cast<std::int32_t>(gdi.gPoints.size()));
    std::vector<OsPoint> pts;
    pts.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i)
        pts.push_back({gdi.gPoints[static_cast<std::size_t>(i)][0], gdi.gPoints[static_cast<std::size_t>(i)][1]});
    return pts;
}

void colour(const Face& f, std::int32_t r, std::int32_t g, std::int32_t b) {
    f.l.colour_prev = f.l.colour;
    f.l.colour = static_cast<std::uint32_t>(r & 255) | (static_cast<std::uint32_t>(g & 255) << 8) |
                 (static_cast<std::uint32_t>(b & 255) << 16);
}

void createpen(const Face& f) {
    DrawingLayer& l = f.l;
    const std::array<std::int64_t, 3> key{l.colour, l.line_type, l.line_width};
    if (l.pen && key == l.pen_cache) return;
    if (l.pen) {
        os_select_object(f.dc(), l.pen_old);
        os_delete_object(l.pen);
        l.pen = 0;
    }
    l.brush_colour = l.colour;
    // Geometric user-styled pens: the printer always, a metafile only when
    // enhanced (plain metafiles cannot hold them).
    const bool styled = wtab.WinNT && l.pen_style != 0 && (!l.metafile || l.mode == 2);
    if (styled) {
        const std::uint32_t base = OS_PS_GEOMETRIC | OS_PS_JOIN_BEVEL | OS_PS_ENDCAP_SQUARE;
        if (l.metafile && l.system_dashes != 0) {
            l.pen = os_ext_create_pen(base | static_cast<std::uint32_t>(l.pen_style), std::max(1, l.line_width),
                                      l.brush_colour, {});
        } else if (l.line_type >= 1 && l.line_type <= 7) {
            l.pen = os_ext_create_pen(base | OS_PS_USERSTYLE, std::max(1, l.line_width), l.brush_colour,
                                      l.dash[static_cast<std::size_t>(l.line_type - 1)]);
        }
    }
    // A pattern scaled down to nothing makes no geometric pen: the plain
    // pen of the style stands in.
    if (!l.pen) l.pen = os_create_pen(static_cast<std::uint32_t>(l.pen_style), l.line_width, l.colour);
    l.pen_old = os_select_object(f.dc(), l.pen);
    l.pen_cache = key;
}

void linestyles(const Face& f) {
    if (!wtab.WinNT) return;
    DrawingLayer& l = f.l;
    const std::int64_t screen = wtab.wScreenDPI > 0 ? wtab.wScreenDPI : 96;
    for (std::size_t t = 0; t < BaseDashArrays.size(); ++t) {
        std::vector<std::uint32_t> a = BaseDashArrays[t];
        for (std::size_t i = 0; i < a.size(); ++i) {
            a[i] = static_cast<std::uint32_t>(static_cast<std::int64_t>(a[i]) * l.resolution / screen);
            if (i % 2 == 1 && l.line_width > 1) a[i] += static_cast<std::uint32_t>(l.line_width - 1);
        }
        l.dash[t] = std::move(a);
    }
}

void line(const Face& f, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    f.begin();
    createpen(f);
    os_move_to(f.dc(), x1, y1);
    os_line_to(f.dc(), x2, y2);
    if (f.l.pen_style == 0) os_set_pixel(f.dc(), x2, y2, f.l.colour);
}

void ellipse(const Face& f, std::int32_t x, std::int32_t y, std::int32_t rx, std::int32_t ry, std::int32_t fill) {
    f.begin();
    if (fill < 3) createpen(f);
    Tools t(f, fill >= 3 ? Tools::SolidBrush : Tools::HollowBrush, fill >= 3 ? Tools::OnePixelPen : Tools::LayerPen);
    os_ellipse(f.dc(), x - rx - 1, y - ry - 1, x + rx + 2, y + ry + 2);
}

void rectangle(const Face& f, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    f.begin();
    Tools t(f, Tools::SolidBrush, Tools::NullPen);
    os_rectangle(f.dc(), x1, y1, x2 + 2, y2 + 2);
}

void arc(const Face& f, std::int32_t x, std::int32_t y, std::int32_t rx, std::int32_t ry, std::int32_t xs,
         std::int32_t ys, std::int32_t xe, std::int32_t ye) {
    f.begin();
    Tools t(f, Tools::SolidBrush, Tools::OnePixelPen);
    os_pie(f.dc(), x - rx - 1, y - ry - 1, x + rx + 2, y + ry + 2, xs, ys, xe, ye);
}

void polygon(const Face& f, std::int32_t n, std::int32_t edge) {
    f.begin();
    Tools t(f, Tools::SolidBrush, edge != 0 ? Tools::OnePixelPen : Tools::NullPen);
    os_polygon(f.dc(), points(n));
}

void polyline(const Face& f, std::int32_t n) {
    f.begin();
    createpen(f);
    const std::vector<OsPoint> pts = points(n);
    os_polyline(f.dc(), pts);
    if (f.l.pen_style == 0 && !pts.empty() && (pts.back().x != pts.front().x || pts.back().y != pts.front().y))
        os_set_pixel(f.dc(), pts.back().x, pts.back().y, f.l.colour);
}

void outlinearc(const Face& f, std::int32_t x, std::int32_t y, std::int32_t rx, std::int32_t ry, std::int32_t xs,
                std::int32_t ys, std::int32_t xe, std::int32_t ye, std::int32_t mode) {
    f.begin();
    createpen(f);
    Tools t(f, Tools::HollowBrush, Tools::LayerPen);
    if (mode < 3)
        os_pie(f.dc(), x - rx - 1, y - ry - 1, x + rx + 2, y + ry + 2, xs, ys, xe, ye);
    else
        os_arc(f.dc(), x - rx - 1, y - ry - 1, x + rx + 2, y + ry + 2, xs, ys, xe, ye);
}

void gradfill(const std::int32_t* xs, const std::int32_t* ys, const std::int32_t* colours, const std::int32_t* tri,
              std::int32_t nv, std::int32_t nt, std::int32_t& fail) {
    const std::int32_t v = std::clamp<std::int32_t>(nv, 0, static_cast<std::int32_t>(gdi.gVert.size()));
    const std::int32_t t = std::clamp<std::int32_t>(nt, 0, static_cast<std::int32_t>(gdi.gGrad.size()));
    for (std::int32_t i = 0; i < v; ++i) {
        const auto c = static_cast<std::uint32_t>(colours[i]);
        gdi.gVert[static_cast<std::size_t>(i)] = {xs[i], ys[i], static_cast<std::uint16_t>((c & 255) * 256),
                                                  static_cast<std::uint16_t>(c & 65280),
                                                  static_cast<std::uint16_t>((c & 16711680) / 256), 0};
    }
    for (std::int32_t j = 0; j < t; ++j)
        for (int k = 0; k < 3; ++k)
            gdi.gGrad[static_cast<std::size_t>(j)][static_cast<std::size_t>(k)] =
                static_cast<std::uint32_t>(tri[3 * j + k] - 1);
    // The platform has no gradient fill of its own (docs/platform.md): the
    // graphics core fills the triangles pixel by pixel.
    fail = wtab.pGradientFill ? 0 : 1;
}

void clip(const Face& f, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    OsHandle& region = f.region();
    if (region) {
        os_select_clip_rgn(f.dc(), 0);
        os_delete_object(region);
    }
    const std::int32_t ox = f.l.metafile ? 0 : wtab.origin[0], oy = f.l.metafile ? 0 : wtab.origin[1];
    region = os_create_rect_rgn(x1 - ox, y1 - oy, x2 - ox, y2 - oy);
    os_select_clip_rgn(f.dc(), region);
}

OsLogFont logfont(std::int32_t width, std::int32_t height, std::int32_t angle, std::int32_t family,
                  std::int32_t style, std::string_view name) {
    OsLogFont lf;
    lf.height = -height;
    lf.width = width;
    lf.escapement = lf.orientation = angle * 10;
    lf.weight = (style & 1) ? 700 : 400;
    lf.italic = (style & 2) != 0;
    lf.underline = (style & 4) != 0;
    lf.out_precision = 2;  // character precision
    lf.clip_precision = 1;
    lf.quality = OS_DEFAULT_QUALITY;
    lf.charset = OS_ANSI_CHARSET;
    switch (family) {
        case 1: lf.face = "Courier New"; lf.pitch_and_family = OS_VARIABLE_PITCH | OS_FF_MODERN; break;
        case 2: lf.face = "Arial"; lf.pitch_and_family = OS_VARIABLE_PITCH | OS_FF_SWISS; break;
        case 3: lf.face = "Times New Roman"; lf.pitch_and_family = OS_VARIABLE_PITCH | OS_FF_ROMAN; break;
        case 4:
            lf.face = "Symbol";
            lf.pitch_and_family = OS_VARIABLE_PITCH | OS_FF_ROMAN;
            lf.charset = OS_SYMBOL_CHARSET;
            break;
        default:
            lf.face = std::string(name);
            lf.pitch_and_family = OS_VARIABLE_PITCH;
            lf.charset = OS_DEFAULT_CHARSET;
            break;
    }
    return lf;
}

void drop_font(const Face& f) {
    if (!f.l.font) return;
    os_select_object(f.dc(), f.l.font_old);
    os_delete_object(f.l.font);
    f.l.font = 0;
}

void select_font(const Face& f, const OsLogFont& lf) {
    f.l.font = os_create_font(lf);
    f.l.font_old = os_select_object(f.dc(), f.l.font);
}

void drawstring(const Face& f, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t align,
                std::int32_t opaque, std::string_view text) {
    f.begin();
    const OsDC dc = f.dc();
    const std::uint32_t old_text = os_set_text_color(dc, f.l.colour);
    const std::uint32_t old_bk = os_set_bk_color(dc, f.l.colour_prev);
    const std::int32_t old_mode = os_set_bk_mode(dc, opaque != 0 ? OS_OPAQUE : OS_TRANSPARENT);
    switch (align) {
        case 0:
            os_set_text_align(dc, OS_TA_BASELINE | OS_TA_LEFT);
            os_text_out(dc, x1, y1, text);
            break;
        case 1:
            os_set_text_align(dc, OS_TA_BASELINE | OS_TA_CENTER);
            os_text_out(dc, (x1 + x2) / 2, (y1 + y2) / 2, text);
            break;
        case 2:
            os_set_text_align(dc, OS_TA_BASELINE | OS_TA_RIGHT);
            os_text_out(dc, x2, y2, text);
            break;
        default: break;
    }
    if (old_mode) os_set_bk_mode(dc, old_mode);
    os_set_bk_color(dc, old_bk);
    os_set_text_color(dc, old_text);
}

void textlength(const Face& f, std::int32_t& width, std::string_view text) {
    OsPoint size;
    width = os_get_text_extent(f.dc(), text, size) ? size.x : 0;
}

void linetype(const Face& f, std::int32_t type) {
    static constexpr std::int32_t styles[8] = {0, 2, 1, 3, 4, 3, 1, 4};
    f.l.line_type = type;
    if (type >= 0 && type <= 7) f.l.pen_style = styles[type];
}

void linewidth(const Face& f, std::int32_t width) {
    f.l.line_width = width;
    linestyles(f);
}

// A point as a square dot of the line's width. A pixel of a metafile's
// logical unit is too small for any reader to show.
void dot(const Face& f, std::int32_t x, std::int32_t y) {
    f.begin();
    const std::int32_t w = f.l.line_width, h = w / 2;
    Tools t(f, Tools::SolidBrush, Tools::NullPen);
    os_rectangle(f.dc(), x - h, y - h, x - h + w + 1, y - h + w + 1);
}

}  // namespace

// ---------------------------------------------------------------- printer faces

void yywprcolour(std::int32_t r, std::int32_t g, std::int32_t b) { colour(pr(), r, g, b); }
void yywprline(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) { line(pr(), x1, y1, x2, y2); }
void yywprellipse(std::int32_t x, std::int32_t y, std::int32_t rx, std::int32_t ry, std::int32_t fill) {
    ellipse(pr(), x, y, rx, ry, fill);
}
void yywprrectangle(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    rectangle(pr(), x1, y1, x2, y2);
}
void yywprarc(std::int32_t x, std::int32_t y, std::int32_t rx, std::int32_t ry, std::int32_t xs, std::int32_t ys,
              std::int32_t xe, std::int32_t ye) {
    arc(pr(), x, y, rx, ry, xs, ys, xe, ye);
}
void yywprpolpoint(std::int32_t x, std::int32_t y, std::int32_t i) { yywinpolpoint(x, y, i); }
void yywprpolygon(std::int32_t n, std::int32_t edge) { polygon(pr(), n, edge); }
void yywprpolyline(std::int32_t n) { polyline(pr(), n); }
void yywproutlinearc(std::int32_t x, std::int32_t y, std::int32_t rx, std::int32_t ry, std::int32_t xs,
                     std::int32_t ys, std::int32_t xe, std::int32_t ye, std::int32_t mode) {
    outlinearc(pr(), x, y, rx, ry, xs, ys, xe, ye, mode);
}
void yywprpoint(std::int32_t x, std::int32_t y) { dot(pr(), x, y); }
void yywprpointrgb(std::int32_t x, std::int32_t y, std::int32_t colour) {
    os_set_pixel(wtab.gPrDC, x, y, static_cast<std::uint32_t>(colour) & 0xFFFFFF);
}
void yywprgradfill(const std::int32_t* xs, const std::int32_t* ys, const std::int32_t* colours,
                   const std::int32_t* tri, std::int32_t nv, std::int32_t nt, std::int32_t& fail) {
    gradfill(xs, ys, colours, tri, nv, nt, fail);
}
void yywprclip(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) { clip(pr(), x1, y1, x2, y2); }
void yywprtextsize(std::int32_t width, std::int32_t& height, std::int32_t& ascent, std::int32_t angle,
                   std::int32_t family, std::int32_t style, std::string_view name) {
    const Face f = pr();
    drop_font(f);
    OsLogFont lf = logfont(width, height, 0, family, style, name);
    // Measured unrotated, then made again along the text's angle.
    select_font(f, lf);
    OsTextMetric tm;
    os_get_text_metrics(f.dc(), tm);
    drop_font(f);
    lf.escapement = lf.orientation = angle * 10;
    select_font(f, lf);
    height = tm.height;
    ascent = tm.ascent;
}
void yywprdrawstring(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t align,
                     std::int32_t opaque, std::string_view text) {
    drawstring(pr(), x1, y1, x2, y2, align, opaque, text);
}
void yywprtextlength(std::int32_t& width, std::string_view text) { textlength(pr(), width, text); }
void yywprlinetype(std::int32_t type) { linetype(pr(), type); }
void yywprlinewidth(std::int32_t width) { linewidth(pr(), width); }
void yywprcreatepen() { createpen(pr()); }
void yywprlinestyles() { linestyles(pr()); }

// ---------------------------------------------------------------- metafile faces

void yywmfcolour(std::int32_t r, std::int32_t g, std::int32_t b) { colour(mf(), r, g, b); }
void yywmfline(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) { line(mf(), x1, y1, x2, y2); }
void yywmfellipse(std::int32_t x, std::int32_t y, std::int32_t rx, std::int32_t ry, std::int32_t fill) {
    ellipse(mf(), x, y, rx, ry, fill);
}
void yywmfrectangle(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    rectangle(mf(), x1, y1, x2, y2);
}
void yywmfarc(std::int32_t x, std::int32_t y, std::int32_t rx, std::int32_t ry, std::int32_t xs, std::int32_t ys,
              std::int32_t xe, std::int32_t ye) {
    arc(mf(), x, y, rx, ry, xs, ys, xe, ye);
}
void yywmfpolpoint(std::int32_t x, std::int32_t y, std::int32_t i) { yywinpolpoint(x, y, i); }
void yywmfpolygon(std::int32_t n) { polygon(mf(), n, 0); }
void yywmfpolyline(std::int32_t n) { polyline(mf(), n); }
void yywmfoutlinearc(std::int32_t x, std::int32_t y, std::int32_t rx, std::int32_t ry, std::int32_t xs,
                     std::int32_t ys, std::int32_t xe, std::int32_t ye, std::int32_t mode) {
    outlinearc(mf(), x, y, rx, ry, xs, ys, xe, ye, mode);
}
void yywmfpoint(std::int32_t x, std::int32_t y) { dot(mf(), x, y); }
void yywmfpointrgb(std::int32_t x, std::int32_t y, std::int32_t colour) {
    os_set_pixel(wtab.gwmfDC, x, y, static_cast<std::uint32_t>(colour) & 0xFFFFFF);
}
void yywmfgradfill(const std::int32_t* xs, const std::int32_t* ys, const std::int32_t* colours,
                   const std::int32_t* tri, std::int32_t nv, std::int32_t nt, std::int32_t& fail) {
    gradfill(xs, ys, colours, tri, nv, nt, fail);
}
void yywmfclip(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) { clip(mf(), x1, y1, x2, y2); }
void yywmftextsize(std::int32_t width, std::int32_t height, std::int32_t angle, std::int32_t family,
                   std::int32_t style, std::string_view name) {
    const Face f = mf();
    drop_font(f);
    select_font(f, logfont(width, height, angle, family, style, name));
}
void yywmfdrawstring(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t align,
                     std::int32_t opaque, std::string_view text) {
    drawstring(mf(), x1, y1, x2, y2, align, opaque, text);
}
void yywmftextlength(std::int32_t& width, std::string_view text) { textlength(mf(), width, text); }
void yywmflinetype(std::int32_t type) { linetype(mf(), type); }
void yywmflinewidth(std::int32_t width) { linewidth(mf(), width); }
void yywmfcreatepen() { createpen(mf()); }
void yywmflinestyles() { linestyles(mf()); }

// Font and clip region of a layer let go before its context closes.
void release_layer_objects(bool metafile) {
    const Face f = metafile ? mf() : pr();
    OsHandle& region = f.region();
    if (region) {
        os_select_clip_rgn(f.dc(), 0);
        os_delete_object(region);
        region = 0;
    }
    drop_font(f);
    if (f.l.pen) {
        os_select_object(f.dc(), f.l.pen_old);
        os_delete_object(f.l.pen);
        f.l.pen = 0;
    }
    f.l.pen_cache = {-1, -1, -1};
}
