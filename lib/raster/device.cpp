// The raster device: the graphics driver operations carried out on the
// raster image buffer. Device coordinates become page pixels through the
// hardcopy scale; the pixel work is done by the writers.
#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <vector>

#include "lib/graphics/colours.h"
#include "lib/graphics/dither.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/gradient.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/hcdriver.h"
#include "lib/hardcopy/hcstate.h"
#include "lib/raster/imagefiles.h"
#include "lib/raster/raster.h"
#include "lib/window/errors.h"
#include "lib/window/quinda_state.h"
#include "lib/window/text.h"

namespace {

RasterState& rs() { return raster; }
GraphicsState& gs() { return gstate; }

std::int32_t px(float x) { return yytrunc(gs().hc.x_scale * x); }
std::int32_t py(float y) { return yytrunc(gs().hc.y_scale * y); }

std::int32_t option(int code) { return gs().hc.options.get(code); }

void mark_page() { gs().hc.page_in_progress = 1; }

// Line-type patterns and their lengths, by LineType 0..7.
constexpr std::array<std::int32_t, 8> LinePatterns = {0xFFF, 0x104, 0xE07, 0x1E1, 0x3C9, 0xCE7, 0x8E3, 0x19CE7};
constexpr std::array<std::int32_t, 8> LineLengths = {12, 12, 12, 12, 12, 12, 12, 17};

// Nearest whole number, halves away from zero.
std::int32_t nearest(float v) { return yytrunc(std::round(v)); }

// The current colour's patterns into the current column of each pair.
void dither_current() {
    RasterState& r = rs();
    yydith(hcstate.models.PrinterColourKind, r.ditherPatterns[0][1], r.ditherPatterns[1][1], r.ditherPatterns[2][1]);
}

// A two-colour dither pattern sets the bits where the colour is light; a
// one-bit page sets the bits it inks, so its fills take the complement and
// print as dark as their colour, like its lines and images.
std::int32_t fill_ink(std::int32_t pattern) { return rs().pixelDepth == 1 ? ~pattern : pattern; }

void initialise() {
    yydefh();
    dither_cache_clear();
    rs().totalWords = 0;
    DeviceDescription& d = gs().device[HardcopySide];
    d.charset_bits = 0;
    d.platform_variant = 0;
    d.TextRotationCapability = 2;
    d.true_colour = 1;
    d.gradient_type = 1;
    d.TextSizeThreshold = 0.0f;
    gs().hc.whole_strings = 0;
    gs().hc.own_text_background = 0;
    gs().hc.third_text_flag = 1;
}

void line() {
    mark_page();
    const DriverArguments& a = drvargs;
    const std::int32_t x1 = px(a.X[0]), y1 = py(a.Y[0]), x2 = px(a.X[1]), y2 = py(a.Y[1]);
    // While the graphics core fills a shape this device left to it, its
    // lines are the rows of the fill. The core withdraws the request after
    // every shape, so later lines are lines again.
    if (gs().FillEmulationRequest[HardcopySide] != 0) {
        yyvra2(std::min(x1, x2), std::max(x1, x2), y1);
        return;
    }
    RasterState& r = rs();
    const bool continuation = x1 == r.LastLineEnd[0] && y1 == r.LastLineEnd[1];
    yyvra3(x1, y1, x2, y2, continuation ? 1 : 0);
    r.LastLineEnd = {x2, y2};
}

void colour() {
    RasterState& r = rs();
    const GraphicsState& g = gs();
    r.previousColourValue = r.colourValue;
    for (auto& pair : r.ditherPatterns) pair[0] = pair[1];
    dither_current();
    std::int32_t index = g.CurrentColour.index();
    // An RGB colour drawn without a palette index takes the nearest entry
    // of the palette, as the RGB pixel writer does: otherwise every RGB
    // colour of a palette page would be entry 255.
    if (index < 0 && (r.pixelDepth == 4 || r.pixelDepth == 8)) yyrgbto8(g.CurrentColour.rgb(), index);
    const std::int32_t mode = option(6);
    switch (r.pixelDepth) {
        case 1: r.colourValue = index == (mode == 0 ? 0 : 223) ? 0 : 1; break;
        case 3: {
            std::int32_t red = 0, green = 0, blue = 0;
            yypalrgb(g.CurrentColour.in_model(g.ColourModel), red, green, blue);
            std::int32_t v = red / 128 + 2 * (green / 128) + 4 * (blue / 128);
            if (mode == 2 && (v == 0 || v == 7)) v = 7 - v;
            if (hcstate.models.PrinterColourKind == 2) v = 7 - v;
            r.colourValue = v;
            break;
        }
        case 4: r.colourValue = RasterColourGroups[static_cast<std::size_t>((index & 0xFF) / 16)]; break;
        case 8: r.colourValue = index & 0xFF; break;
        case 24: r.colourValue = g.CurrentColour.rgb(); break;
        default: break;
    }
}

// ---------------------------------------------------------------- fills

void quadrilateral() {
    const RasterState& r = rs();
    const DriverArguments& a = drvargs;
    std::array<std::int32_t, 4> x{}, y{};
    for (std::size_t i = 0; i < 4; ++i) {
        x[i] = px(a.X[i]);
        y[i] = py(a.Y[i]);
    }
    const std::int32_t low = std::max(std::min(y[0], y[1]), r.clipBottom);
    const std::int32_t high = std::min(std::max(y[2], y[3]), r.clipTop);
    if (low == high) {
        yyvra2(std::max(std::min(x[0], x[3]), r.clipLeft), std::min(std::max(x[1], x[2]), r.clipRight), low);
        return;
    }
    for (std::int32_t row = high; row >= low; --row) {
        std::int32_t xa = 0, xb = 0;
        if (a.K == 1) {
            // Vertical sides 1-4 and 2-3; the bottom and top edges may slant.
            xa = std::max(r.clipLeft, x[0]);
            xb = std::min(r.clipRight, x[1]);
            const bool outside_left = row > y[3] || row < y[0];
            const bool outside_right = row > y[2] || row < y[1];
            if (outside_left || outside_right) {
                const std::int32_t e = yyxini(x[0], y[0], x[1], y[1], row);
                const std::int32_t f = yyxini(x[3], y[3], x[2], y[2], row);
                const bool e_in = xa <= e && e <= xb;
                const bool f_in = xa <= f && f <= xb;
                if (e_in && f_in) {
                    if (outside_left) xa = std::min(e, f);
                    if (outside_right) xb = std::max(e, f);
                } else if (e_in) {
                    if (y[0] > y[1]) {
                        if (outside_left) xa = e;
                    } else if (outside_right) {
                        xb = e;
                    }
                } else if (f_in) {
                    if (y[3] < y[2]) {
                        if (outside_left) xa = f;
                    } else if (outside_right) {
                        xb = f;
                    }
                }
            }
        } else {
            xa = std::max(yyxini(x[0], y[0], x[3], y[3], row), r.clipLeft);
            xb = std::min(yyxini(x[1], y[1], x[2], y[2], row), r.clipRight);
        }
        yyvra2(xa, xb, row);
    }
}

void rectangle() {
    const DriverArguments& a = drvargs;
    const std::int32_t x1 = px(a.X[0]), x2 = px(a.X[1]), y1 = py(a.Y[0]), y2 = py(a.Y[1]);
    // Rows off the page would be dropped by the span writer anyway.
    const std::int32_t last = std::min(y2, rs().rasterMaxY);
    for (std::int32_t row = std::max(y1, 0); row <= last; ++row) yyvra2(x1, x2, row);
}

void triangle() {
    const RasterState& r = rs();
    const DriverArguments& a = drvargs;
    const std::int32_t x1 = px(a.X[0]), y1 = py(a.Y[0]), x2 = px(a.X[1]), y2 = py(a.Y[1]);
    const std::int32_t x3 = px(a.X[2]), y3 = py(a.Y[2]);
    // The slopes are stored single precision; the rows are computed from
    // them in extended precision.
    using Ext = long double;
    const float sa = y1 != y2 ? static_cast<float>((Ext(x1) - x2) / (Ext(y1) - y2)) : 0.0f;
    const float sb = y2 != y3 ? static_cast<float>((Ext(x2) - x3) / (Ext(y2) - y3)) : 0.0f;
    const float sc = y1 != y3 ? static_cast<float>((Ext(x1) - x3) / (Ext(y1) - y3)) : 0.0f;
    auto cut = [](Ext v) -> std::int32_t {
        if (!(v > -2147483648.0L)) return std::numeric_limits<std::int32_t>::min();
        if (!(v < 2147483647.0L)) return std::numeric_limits<std::int32_t>::max();
        return static_cast<std::int32_t>(v);
    };
    for (std::int32_t row = std::min(y3, r.clipTop); row >= std::max(y1, r.clipBottom); --row) {
        std::int32_t e = 0, f = 0;
        if (row < y2) {
            e = cut(Ext(sa) * (Ext(row) - y2) + x2);
            f = cut(Ext(sc) * (Ext(row) - y3) + x3);
        } else if (row > y2) {
            e = cut(Ext(sc) * (Ext(row) - y3) + x3);
            f = cut(Ext(sb) * (Ext(row) - y3) + x3);
        } else {
            e = x2;
            f = y2 == y1 ? x1 : y2 == y3 ? x3 : cut(Ext(sc) * (Ext(y2) - y3) + x3);
        }
        yyvra2(std::max(std::min(e, f), r.clipLeft), std::min(std::max(e, f), r.clipRight), row);
    }
}

void filled_shape(std::int32_t op) {
    RasterState& r = rs();
    GraphicsState& g = gs();
    DriverArguments& a = drvargs;
    if (a.K == -1) return;
    mark_page();
    if (g.fill_style < 3) {
        // Hatches and outlines are drawn by the graphics core; an ellipse
        // is handed back whole.
        if (op == OpEllipsePattern) a.K = -1;
        return;
    }
    r.twoColourFill = (g.fill_style == 3 && g.PreviousColour.index() != g.CurrentColour.index()) ? 1 : 0;
    if (g.stroke_text_flag != 0) {
        r.fillPattern = g.CurrentColour.index() == 0 ? 0 : -1;
        if (option(6) != 0) r.fillPattern = ~r.fillPattern;
    } else {
        r.fillPattern = fill_ink(r.ditherPatterns[0][1]);
    }
    r.secondFillPattern = r.twoColourFill != 0 ? fill_ink(r.ditherPatterns[0][0]) : r.fillPattern;
    switch (op) {
        case OpEllipsePattern:
        case OpSectorPattern:
        case OpPolygonPattern:
            // Filled in software by the graphics core, one page row apart;
            // its lines come back as operation 2 and are drawn as spans.
            g.FillEmulationRequest[HardcopySide] = 1;
            g.hc.HardcopyFillSpacing =
                r.rasterHeight > 0 ? g.extent_y / static_cast<float>(r.rasterHeight) : g.extent_y;
            break;
        case OpQuadPattern: quadrilateral(); break;
        case OpRectanglePattern: rectangle(); break;
        case OpTrianglePattern: triangle(); break;
        default: break;
    }
}

// ---------------------------------------------------------------- the rest

void begin() {
    RasterState& r = rs();
    GraphicsState& g = gs();
    if (drvargs.K > 0) {
        // On failure the channel has reported and hardcopy output is off.
        if (!driver_open_output()) return;
        r.rasterMaxX = r.rasterWidth - 1;
        r.rasterMaxY = r.rasterHeight - 1;
        switch (r.pixelDepth) {
            case 24: r.storageMode = StorageRgb; break;
            case 8: r.storageMode = StorageBytes; break;
            case 3:
            case 4: r.storageMode = StoragePlanes; break;
            default: r.storageMode = StorageOnePlane; break;
        }
        // Still under the colour count the driver set: the new one is
        // known to the patterns only from the next colour on.
        dither_current();
        yydith2();
        g.hc.colour_count = r.pixelDepth >= 1 && r.pixelDepth < 8 ? (1 << r.pixelDepth) : 256;
        r.LastLineEnd = {-9999, -9999};
    }
    g.hc.x_scale = g.width > 0 ? static_cast<float>(r.rasterWidth) / static_cast<float>(g.width) : 0.0f;
    g.hc.y_scale = g.height > 0 ? static_cast<float>(r.rasterHeight) / static_cast<float>(g.height) : 0.0f;
}

void clip() {
    RasterState& r = rs();
    const GraphicsState& g = gs();
    r.clipLeft = px(g.wx1);
    r.clipRight = px(g.wx2);
    r.clipBottom = py(g.wy1);
    r.clipTop = py(g.wy2);
}

void point() {
    RasterState& r = rs();
    mark_page();
    const std::int32_t x = px(drvargs.X[0]), y = py(drvargs.Y[0]);
    yyvra4(r.colourValue, std::max(x - r.lineHalfX, r.clipLeft), y,
           std::min(x - r.lineHalfX + r.lineExtraX, r.clipRight));
    r.LastLineEnd = {x, y};
}

void line_type() {
    RasterState& r = rs();
    const std::int32_t t = gs().LineType;
    const std::size_t i = t >= 0 && t <= 7 ? static_cast<std::size_t>(t) : 0;
    r.lineTypePattern = LinePatterns[i];
    r.lineTypeLength = LineLengths[i];
    r.lineTypePosition = 0;
    r.dashStep = 1;
    r.dashUnitX = std::max(1, nearest(r.dotsPerInchX / 72.0f));
    r.dashUnitY = std::max(1, nearest(r.dotsPerInchY / 72.0f));
    r.LastLineEnd[0] = -1;
}

void line_width() {
    RasterState& r = rs();
    const float t = static_cast<float>(option(9));
    auto extent = [t](float dpi) { return std::max(1, yytrunc(dpi * t / 720.0f + 0.5f)) - 1; };
    r.lineExtraX = extent(r.dotsPerInchY);
    r.lineExtraY = extent(r.dotsPerInchX);
    if (option(5) != 0) std::swap(r.lineExtraX, r.lineExtraY);
    r.lineHalfX = r.lineExtraX / 2;
    r.lineHalfY = r.lineExtraY / 2;
}

void polyline() {
    RasterState& r = rs();
    mark_page();
    const std::int32_t n = std::min(drvargs.N, WorkBlockPoints);
    if (n < 2) return;
    std::int32_t x = px(quin01.X[0]), y = py(quin01.Y[0]);
    std::int32_t continuation = (x == r.LastLineEnd[0] && y == r.LastLineEnd[1]) ? 1 : 0;
    for (std::int32_t i = 1; i < n; ++i) {
        const std::int32_t qx = px(quin01.X[static_cast<std::size_t>(i)]);
        const std::int32_t qy = py(quin01.Y[static_cast<std::size_t>(i)]);
        yyvra3(x, y, qx, qy, continuation);
        x = qx;
        y = qy;
        continuation = 1;
    }
    r.LastLineEnd = {x, y};
}

void gradient() {
    RasterState& r = rs();
    mark_page();
    GradientVertexBlock& b = gradient_block;
    const std::int32_t n = std::clamp<std::int32_t>(b.n, 0, GradientMaxVertices);
    for (std::int32_t i = 0; i < n; ++i) {
        b.ix[static_cast<std::size_t>(i)] = px(quin01.X[static_cast<std::size_t>(i)]);
        b.iy[static_cast<std::size_t>(i)] = py(quin01.Y[static_cast<std::size_t>(i)]);
    }
    r.colourCacheKey = -1;
    yygradientfill(1, r.clipLeft, r.clipBottom, r.clipRight, r.clipTop, yyvra5, nullptr);
}

// An image file stretched over the clip rectangle, nearest neighbour, its
// top row on the top of the rectangle.
void image_file() {
    RasterState& r = rs();
    DriverArguments& a = drvargs;
    const std::int64_t iw = a.IX[1], ih = a.IY[1];
    std::vector<std::int32_t> pixels;
    if (iw > 0 && ih > 0) {
        try {
            pixels.assign(static_cast<std::size_t>(iw * ih), 0);
        } catch (const std::bad_alloc&) {
            pixels.clear();
        }
    }
    const std::int32_t saved_error = infoerror(1);
    const std::int32_t saved_mode = quinda.report_mode;
    quinda.report_mode = ReportNone;
    IGrLoadImageData(txt_trim(DriverText), pixels);
    quinda.report_mode = saved_mode;
    if (quinda.last_error != 0) {
        a.K = quinda.last_error;
        a.N = quinda.io_status;
        return;
    }
    quinda.last_error = saved_error;
    mark_page();
    a.K = 0;
    if (pixels.empty()) return;
    const std::int64_t w = std::int64_t{r.clipRight} - r.clipLeft + 1;
    const std::int64_t h = std::int64_t{r.clipTop} - r.clipBottom + 1;
    if (w <= 0 || h <= 0) return;
    r.colourCacheKey = -1;
    for (std::int64_t y = r.clipBottom; y <= r.clipTop; ++y) {
        const std::int64_t row = (r.clipTop - y) * ih / h;
        for (std::int64_t x = r.clipLeft; x <= r.clipRight; ++x) {
            const std::int64_t col = (x - r.clipLeft) * iw / w;
            yyvra5(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y),
                   pixels[static_cast<std::size_t>(row * iw + col)]);
        }
    }
}

}  // namespace

void yyvras(std::int32_t op) {
    switch (op) {
        case OpInitialise: initialise(); break;
        case OpLine: line(); break;
        case OpColour:
        case OpPalette: colour(); break;
        case OpEllipsePattern:
        case OpQuadPattern:
        case OpRectanglePattern:
        case OpTrianglePattern:
        case OpSectorPattern:
        case OpPolygonPattern: filled_shape(op); break;
        case OpClear: raster_clear(); break;
        case OpBeginPicture: begin(); break;
        case OpEndOutput:
            yyprcl(DriverChannel);
            raster_release();
            break;
        case OpClip: clip(); break;
        case OpPoint: point(); break;
        case OpLineType: line_type(); break;
        case OpLineWidth: line_width(); break;
        case OpPolyline: polyline(); break;
        case OpGradientFill: gradient(); break;
        case OpImageFile: image_file(); break;
        default: break;
    }
}
