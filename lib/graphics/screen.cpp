#include "lib/graphics/screen.h"

#include "lib/graphics/gradient.h"

#include <cmath>

#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gdi.h"
#include "lib/graphics/gstate.h"
#include "lib/window/convert.h"
#include "lib/hardcopy/gdilayer.h"
#include "lib/hardcopy/hcstate.h"
#include "lib/raster/imagefiles.h"
#include "lib/window/errors.h"
#include "lib/window/quinda_state.h"
#include "lib/window/text.h"
#include "platform/os_dc.h"
#include "platform/os_gdi.h"

ScreenDeviceState screen_device;
GradientVertexBlock gradient_block;
ScreenLinks screen_links;
ScreenDrawingLayer screen_gdi;

namespace {

constexpr const char* kName = "YYGAPI";
const std::string kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

GraphicsState& g() { return gstate; }
DriverArguments& a() { return drvargs; }

// Protocol y to a surface row.
std::int32_t row(std::int32_t y) { return g().height - 1 - y; }

// The text operand up to its last non-blank, NUL-free.
std::string trimmed(std::string_view s) { return std::string(txt_until_nul(txt_trim(s))); }

void install_description() {
    DeviceDescription& d = g().device[ScreenSide];
    d.TextRotationCapability = 360;
    d.platform_variant = wtab.WinNT ? 2 : 1;
    d.true_colour = wtab.wScreenCols > 256 ? 1 : 0;
    int type = 1;
    yygradfilltype(type);
    d.gradient_type = type;
    d.charset_bits = 8;
    d.TextSizeThreshold = NoTextSizeThreshold;
    d.DeviceCapabilities = std::string(CapsScreen);
    if (g().DrawableType == 4) d.DeviceCapabilities[28] = '0';
}

// The two points of a sector's radials, in surface pixels, nudged apart
// when they meet on one pixel and the sweep is small, so that the surface
// does not draw a whole ellipse for a sliver.
void sector_points(std::int32_t& px1, std::int32_t& py1, std::int32_t& px2, std::int32_t& py2, std::int32_t& cy) {
    const DriverArguments& d = a();
    const float cx = static_cast<float>(d.IX[0]), cyf = static_cast<float>(d.IY[0]);
    px1 = yytrunc(cx + d.X[1] * std::cos(d.X[2]));
    py1 = yytrunc(cyf + d.Y[1] * std::sin(d.X[2]));
    px2 = yytrunc(cx + d.X[1] * std::cos(d.Y[2]));
    py2 = yytrunc(cyf + d.Y[1] * std::sin(d.Y[2]));
    cy = row(d.IY[0]);
    py1 = row(py1);
    py2 = row(py2);
    if (px1 == px2 && py1 == py2 && std::fabs(d.Y[3]) <= 10.0f) {
        float r = d.X[3] - std::trunc(d.X[3] / 360.0f) * 360.0f;
        if (d.X[3] < 0.0f) r += 360.0f;
        if (r >= 0.0f && r < 90.0f) {
            px2 -= 1;
            py2 -= 1;
        } else if (r >= 90.0f && r < 180.0f) {
            px2 -= 1;
            py2 += 1;
        } else if (r >= 180.0f && r < 270.0f) {
            px2 += 1;
            py2 += 1;
        } else {
            px2 += 1;
            py2 -= 1;
        }
    }
}

// Points 1..count of quin01 into the drawing layer's buffer; the count given back is count itself, so
// count <= 0 draws nothing.
std::int32_t load_points(std::int32_t count) {
    const std::int32_t n = std::min<std::int32_t>(count, WorkBlockPoints);
    for (std::int32_t i = 0; i < n; ++i)
        screen_gdi.polpoint(yytrunc(quin01.X[static_cast<std::size_t>(i)]),
                      g().height - 1 - yytrunc(quin01.Y[static_cast<std::size_t>(i)]), i);
    return count > WorkBlockPoints ? WorkBlockPoints : count;
}

void quadrilateral(int corners, std::int32_t kind) {
    for (int i = 0; i < corners; ++i)
        screen_gdi.polpoint(a().IX[static_cast<std::size_t>(i)], row(a().IY[static_cast<std::size_t>(i)]), i);
    screen_gdi.polygon(corners, kind);
}

void screen_dump() {
    settle_printer_query();
    if (hcstate.PrinterAvailable == 0) {
        quinda.io_status = quinda.os_status = 0;
        quinda.status_kind = 0;
        yyerror(1, kName);
        return;
    }
    const std::string doc = trimmed(DriverText);
    const ImagePrintTable& page = hcstate.ImagePrintOptions;
    const std::int32_t pw = page.get(1), ph = page.get(2), xo = page.get(3), yo = page.get(4);
    const std::int32_t orient = page.get(5), copies = page.get(8);
    std::int32_t err = 0;
    yywindumpstart(pw, ph, xo, yo, err, orient, copies, doc.c_str());
    if (err != 0) {
        quinda.io_status = quinda.os_status = 0;
        quinda.status_kind = 0;
        yyerror(1, kName);
        return;
    }
    err = 0;
    yywindumpblit(g().ix1, row(g().iy2), g().ix2, row(g().iy1), err);
    if (err != 0) yyerror(64, kName);
    yywindumpend();
}

void font() {
    TextState& t = g().text;
    const float wd = g().extent_x, hd = g().extent_y;
    t.cells_across = wd / (g().text_ref_size_x * t.char_width);
    t.cells_down = hd / (g().text_ref_size_y * t.char_height);
    std::int32_t cw = yytrunc(wd / t.cells_across);
    std::int32_t ch = yytrunc(hd / t.cells_down);
    const std::int32_t angle = yytrunc(t.angle);
    std::int32_t flags = t.TextStyle;
    const std::int32_t p = t.TextPitch;
    if (p != 0) {
        const float f = p == 1 ? 0.607f : 0.78f;
        if (t.HardwareFontFamily == 4)
            cw = yytrunc(1.38f * f * static_cast<float>(cw));
        else
            cw = yytrunc(static_cast<float>(cw) * f);
        ch = yytrunc(0.821f * static_cast<float>(ch));
        if (p == 1) flags &= ~4;
    }
    ScreenDeviceState::FontCache& c = screen_device.font_cache;
    const std::int32_t family = t.HardwareFontFamily;
    const bool same = cw == c.width && ch == c.height && angle == c.angle && family == c.family && flags == c.flags &&
                      (family != 0 || txt_trim(t.font_name) == txt_trim(c.name));
    if (!same) {
        c.width = cw;
        c.height = ch;
        c.angle = angle;
        c.family = family;
        c.flags = flags;
        txt_set(c.name, family == 0 ? txt_trim(t.font_name) : std::string_view{});
        std::int32_t ascent = 0;
        screen_gdi.textsize(cw, ch, ascent, angle, family, flags, txt_trim(t.font_name));
        screen_device.ascent = ascent;
        screen_device.cell_height = ch;
        if (p == 0) screen_device.alphabet_width = cw;
    }
    if (p == 0 && screen_device.alphabet_width != 0)
        t.cells_across = wd * 52.0f / static_cast<float>(screen_device.alphabet_width);
}

void text() {
    const TextState& t = g().text;
    DriverArguments& d = a();
    const float c = t.cos_angle, q = t.sin_over_r;
    const float tt = static_cast<float>(screen_device.ascent) - 0.5f * static_cast<float>(screen_device.cell_height);
    const std::int32_t n = d.IX[0];
    const float sx = d.X[0] + tt * q, sy = d.Y[0] - tt * c;
    if (t.direction == 0) {
        const float ex = d.X[2] + tt * q, ey = d.Y[2] - tt * c;
        const std::int32_t p = t.TextPitch;
        const std::int32_t j = p == 1 ? 0 : t.justification;
        const std::int32_t box = ((t.TextStyle & 8) != 0 && p != 1) ? 1 : 0;
        screen_gdi.drawstring(yytrunc(sx), row(yytrunc(sy)), yytrunc(ex), row(yytrunc(ey)), j, box, DriverText,
                        std::max<std::int32_t>(n, 0));
        d.IX[3] = 0;
        return;
    }
    const float a1 = t.along_down[0], a2 = t.along_down[1], d1 = t.along_down[2], d2 = t.along_down[3];
    for (std::int32_t k = 0; k < n && static_cast<std::size_t>(k) < DriverText.size(); ++k) {
        const float px = sx + static_cast<float>(k) * d2, py = sy - static_cast<float>(k) * d1;
        const float qx = px + a1, qy = py + a2;
        screen_gdi.drawstring(yytrunc(px), row(yytrunc(py)), yytrunc(qx), row(yytrunc(qy)), 1, 0,
                        std::string_view(DriverText).substr(static_cast<std::size_t>(k), 1), 1);
    }
}

void copy_rectangle() {
    if (g().DrawableType == 4) return;
    const DriverArguments& d = a();
    std::int32_t fill = 0;
    yypalg(0, fill);
    const std::int32_t width = d.IX[1] - d.IX[0] + 1, height = d.IY[1] - d.IY[0] + 1;
    const std::int32_t top = g().height - 1 - (d.IY[1] + d.IY[2] - d.IY[0]);
    screen_gdi.blit(d.IX[0], row(d.IY[1]), d.IX[2], top, width, height, d.K, fill);
}

void clip() {
    const GraphicsState& s = g();
    if (s.ix1 <= 0 && s.ix2 >= s.width - 1 && s.iy1 <= 0 && s.iy2 >= s.height - 1 && s.DrawableType != 3)
        screen_gdi.clip(0, 0, 0, -1);
    else
        screen_gdi.clip(s.ix1, row(s.iy2), s.ix2, row(s.iy1));
}

void palette_colour(std::int32_t i, std::int32_t& rgb) {
    if (g().colour_count == 16)
        yypalg16(i, rgb);
    else
        yypalg32(i, rgb);
}

// Both colours of the drawing layer again, previous first.
void refresh_colours() {
    screen_gdi.colour(g().PreviousColour.device(), g().PreviousColour.rgb());
    screen_gdi.colour(g().CurrentColour.device(), g().CurrentColour.rgb());
}

void palette_entry() {
    DriverArguments& d = a();
    bool skip = false;
    if (wtab.wScreenCols == 256) {
        std::int32_t old = 0;
        palette_colour(d.K, old);
        if (old == d.IX[0] && !(d.IX[3] == 0 && screen_device.PaletteBatchMode == 3)) skip = true;
        if (!skip) {
            std::int32_t mode;
            if (d.IX[3] == 0) {
                mode = screen_device.PaletteBatchMode;
                screen_device.PaletteBatchMode = 0;
            } else {
                mode = screen_device.PaletteBatchMode / 3 + 1;
                screen_device.PaletteBatchMode = 3;
            }
            screen_gdi.palette(d.K, d.IX[0], mode);
        }
    }
    if (g().ColourModel == 1 && (d.K == g().PreviousColour.device() || d.K == g().CurrentColour.device()))
        refresh_colours();
}

void whole_palette() {
    const std::int32_t n = g().colour_count;
    if (wtab.wScreenCols == 256 && n > 0) {
        for (std::int32_t i = 0; i < n; ++i) {
            std::int32_t c = 0;
            palette_colour(i, c);
            screen_device.palette_mode = i == n - 1 ? 3 : (i > 0 ? 2 : 0);
            screen_gdi.palette(i, c, screen_device.palette_mode);
        }
    }
    if (g().ColourModel == 1) {
        yypalg(g().PreviousColour.index(), g().PreviousColour.rgb());
        yypalg(g().CurrentColour.index(), g().CurrentColour.rgb());
    }
    refresh_colours();
}

void line_width() {
    std::int32_t w = g().screen_line_width;
    if (g().DrawableType == 4 && screen_links.metafile_size) {
        std::int32_t px = 0, pt = 0;
        if (screen_links.metafile_size(g().drawable_id, px, pt) && pt > 0)
            w = static_cast<std::int32_t>(static_cast<std::int64_t>(px) * g().metafile_line_width / (10LL * pt));
    }
    screen_gdi.linewidth(w);
}

void read_pixel() {
    DriverArguments& d = a();
    if (g().DrawableType == 4) {
        d.IX[0] = -1;
        return;
    }
    screen_gdi.getpixelrgb(d.IX[0], row(d.IY[0]), d.IX[0], d.IX[1], d.IX[2]);
    if (d.IX[0] != -1) d.IX[0] = d.IX[0] + 256 * d.IX[1] + 65536 * d.IX[2];
}

void image_file() {
    DriverArguments& d = a();
    const std::string name = trimmed(DriverText);
    yyloadimage(d.IX[0], 0, g().ix1, row(g().iy2), g().ix2, row(g().iy1), d.IY[0], d.K, d.N, name);
}

std::int32_t floor_pixel(float v) { return v >= 0.0f ? yytrunc(v) : yytrunc(v - 0.999f); }

void gradient() {
    GradientVertexBlock& b = gradient_block;
    const std::int32_t n = std::clamp<std::int32_t>(b.n, 0, 1000);
    for (std::int32_t i = 0; i < n; ++i) {
        b.ix[static_cast<std::size_t>(i)] = floor_pixel(quin01.X[static_cast<std::size_t>(i)]);
        b.iy[static_cast<std::size_t>(i)] = g().height - 1 - floor_pixel(quin01.Y[static_cast<std::size_t>(i)]);
    }
    yygradientfill(g().device[ScreenSide].gradient_type, g().ix1, row(g().iy2), g().ix2, row(g().iy1),
                   screen_gdi.pointrgb, screen_gdi.gradfill);
}

}  // namespace

bool yyscreenlines_taken() {
    // Lines reach this device (no recorder takes them) with screen graphics
    // on; a stand-in drawing layer sees them one by one.
    return g().recorder_flag == 0 && grlinks.screen_device == &yygapi && g().screen_flag != 0 &&
           screen_gdi.line == &yywinline && screen_gdi.polpoint == &yywinpolpoint;
}

void yyscreenlines(std::int32_t n) {
    // The surface points go to the drawing layer as one list, not entry by
    // entry into its point buffer.
    static std::array<OsPoint, WorkBlockPoints> pts;
    const std::int32_t count = std::clamp<std::int32_t>(n, 0, WorkBlockPoints);
    for (std::int32_t i = 0; i < count; ++i) {
        const auto k = static_cast<std::size_t>(i);
        pts[k] = {yytrunc(quin01.X[k]), row(yytrunc(quin01.Y[k]))};
    }
    yywinlines_at(pts.data(), count);
}

void yygapi(std::int32_t op) {
    if (g().screen_flag == 0 || op < FirstOpcode || op > LastOpcode) return;
    DriverArguments& d = a();
    switch (op) {
        case OpInitialise: install_description(); break;
        case OpLine: screen_gdi.line(d.IX[0], row(d.IY[0]), d.IX[1], row(d.IY[1])); break;
        case OpColour: screen_gdi.colour(g().CurrentColour.device(), g().CurrentColour.rgb()); break;
        case OpEllipse: screen_gdi.ellipse(d.IX[0], row(d.IY[0]), d.IX[1], d.IY[1], 4, 0); break;
        case OpEllipsePattern: screen_gdi.ellipse(d.IX[0], row(d.IY[0]), d.IX[1], d.IY[1], 5, 3); break;
        case OpEllipseSolid: screen_gdi.ellipse(d.IX[0], row(d.IY[0]), d.IX[1], d.IY[1], 6, 4); break;
        case OpQuadPattern: quadrilateral(4, 3); break;
        case OpQuadSolid: quadrilateral(4, 4); break;
        case OpRectanglePattern:
        case OpRectangleSolid:
            screen_gdi.rectangle(d.IX[0], row(d.IY[1]), d.IX[1], row(d.IY[0]), op == OpRectanglePattern ? 3 : 4);
            break;
        case OpTrianglePattern: quadrilateral(3, 3); break;
        case OpTriangleSolid: quadrilateral(3, 4); break;
        case OpSectorPattern:
        case OpSectorSolid: {
            std::int32_t x1, y1, x2, y2, cy;
            sector_points(x1, y1, x2, y2, cy);
            screen_gdi.arc(d.IX[0], cy, yytrunc(d.X[1]), yytrunc(d.Y[1]), x1, y1, x2, y2, op == OpSectorPattern ? 3 : 4);
            break;
        }
        case OpPolygonPattern:
        case OpPolygonSolid: screen_gdi.polygon(load_points(d.N), op == OpPolygonPattern ? 3 : 4); break;
        case OpClear: {
            std::int32_t c = 0;
            yypalg(0, c);
            screen_gdi.clear(g().width, g().height, c);
            break;
        }
        case OpBeginPicture:
            screen_device.font_cache = ScreenDeviceState::FontCache{};
            screen_device.PaletteBatchMode = 0;
            break;
        case OpEndPage: screen_dump(); break;
        case OpFont:
        case OpTextAngle: font(); break;
        case OpText: text(); break;
        case OpCopyRectangle: copy_rectangle(); break;
        case OpClip: clip(); break;
        case OpTextWidth: {
            std::int32_t w = 0;
            screen_gdi.textlength(w, DriverText, std::max<std::int32_t>(d.K, 0));
            d.X[0] = static_cast<float>(w);
            d.N = 1;
            break;
        }
        case OpPoint: screen_gdi.point(d.IX[0], row(d.IY[0])); break;
        case OpPlotMode: screen_gdi.plotmode(g().PlotMode); break;
        case OpPaletteEntry: palette_entry(); break;
        case OpLineType: screen_gdi.linetype(g().LineType); break;
        case OpLineWidth: line_width(); break;
        case OpReadPixel: read_pixel(); break;
        case OpPolyline: screen_gdi.polyline(load_points(d.N)); break;
        case OpArc: {
            std::int32_t x1, y1, x2, y2, cy;
            sector_points(x1, y1, x2, y2, cy);
            screen_gdi.outlinearc(d.IX[0], cy, yytrunc(d.X[1]), yytrunc(d.Y[1]), x1, y1, x2, y2, g().fill_density,
                            g().fill_style);
            break;
        }
        case OpPalette: whole_palette(); break;
        case OpImageFile: image_file(); break;
        case OpGradientFill: gradient(); break;
        default: break;  // 19, 36, 37, 39
    }
}

void reset_screen_state() {
    screen_device = ScreenDeviceState{};
    gradient_block = GradientVertexBlock{};
    screen_links = ScreenLinks{};
    screen_gdi = ScreenDrawingLayer{};
    reset_gdi_state();
    os_dc_reset();
}
