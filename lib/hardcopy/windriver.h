#pragma once
// The Windows printer driver (`xxwin`, hardcopy driver 10, the default) and
// its twin, the Windows metafile driver (`xxwmf`, driver 11). Both map the
// drawable's device coordinates onto the device's pixels and draw through
// their drawing layer (gdilayer.h); what they share is one routine here.
#include <array>
#include <cstdint>
#include <string_view>

#include "lib/graphics/gradient.h"

// The drawing layer a Windows driver calls. printer_gdi is a test seam set
// to the printer layer; metafile_gdi holds the metafile layer's members in
// the same shape.
struct WindowsDrawingLayer {
    void (*colour)(std::int32_t r, std::int32_t g, std::int32_t b);
    void (*line)(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
    void (*ellipse)(std::int32_t x, std::int32_t y, std::int32_t rx, std::int32_t ry, std::int32_t fill);
    void (*rectangle)(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
    void (*arc)(std::int32_t x, std::int32_t y, std::int32_t rx, std::int32_t ry, std::int32_t xs, std::int32_t ys,
                std::int32_t xe, std::int32_t ye);
    void (*outlinearc)(std::int32_t x, std::int32_t y, std::int32_t rx, std::int32_t ry, std::int32_t xs,
                       std::int32_t ys, std::int32_t xe, std::int32_t ye, std::int32_t mode);
    void (*polpoint)(std::int32_t x, std::int32_t y, std::int32_t i);
    void (*polygon)(std::int32_t n, std::int32_t edge);
    void (*polyline)(std::int32_t n);
    void (*point)(std::int32_t x, std::int32_t y);
    GradientPointFn pointrgb;
    GradientTriangleFn gradfill;
    void (*clip)(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
    // The metafile layer does not measure: height and ascent come back as given.
    void (*textsize)(std::int32_t width, std::int32_t& height, std::int32_t& ascent, std::int32_t angle,
                     std::int32_t family, std::int32_t style, std::string_view name);
    void (*drawstring)(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t align,
                       std::int32_t opaque, std::string_view text);
    void (*textlength)(std::int32_t& width, std::string_view text);
    void (*linetype)(std::int32_t type);
    void (*linewidth)(std::int32_t width);
    // Printer only (empty for the metafile): a pending page, the query, the
    // job.
    void (*startpage)();
    void (*info)(std::int32_t& paper_long, std::int32_t& paper_short, std::int32_t& width, std::int32_t& height,
                 std::int32_t& x_offset, std::int32_t& y_offset, std::int32_t& orientation, std::int32_t& copies,
                 std::int32_t& colours, std::int32_t& os_error);
    void (*open)(std::int32_t width, std::int32_t height, std::int32_t xoff, std::int32_t yoff, std::int32_t& resx,
                 std::int32_t& resy, std::int32_t& colours, std::int32_t& err, std::int32_t& oserr,
                 std::int32_t landscape, std::int32_t copies, std::string_view docname);
    void (*dump)();
    void (*close)();
};

extern WindowsDrawingLayer printer_gdi;
extern const WindowsDrawingLayer metafile_gdi;

// Statics of the two drivers between operations.
struct WindowsDriverState {
    std::int32_t PrinterQueryError = 0;
    std::int32_t PrinterQueryColours = 0;
    std::array<std::int32_t, 2> PrinterPagePixels{};
    std::array<float, 2> PrinterResolutionReal{};
    std::array<std::int32_t, 3> colour{};       // PrinterColour / MetafileColour
    std::array<std::int32_t, 3> colour_prev{};  // ...ColourPrev
    std::array<std::int32_t, 3> fill_colour{};  // ...FillColour
    std::array<std::int32_t, 2> PrinterFontCell{};
    // Metafile driver.
    std::int32_t MetafileEnhanced = 0;
    std::array<std::int32_t, 2> MetafileExtent{};
    std::array<std::int32_t, 2> MetafileBounds{};
    std::int32_t MetafileChecksum = 0;
    float MetafileLineScale = 0.0f;
};
extern WindowsDriverState xxwin_state;
extern WindowsDriverState xxwmf_state;

void xxwin(std::int32_t op);
void xxwmf(std::int32_t op);
// The printer's page as the driver's initialisation fills it into the option
// table, the colour count and the printer words; settle_printer_query calls
// it when something first reads them.
void query_printer_page();
// The colour mode on a colour: 1 inverts, 2 swaps black and white.
void yywin1(std::int32_t& r, std::int32_t& g, std::int32_t& b);
void yywmf1(std::int32_t& r, std::int32_t& g, std::int32_t& b);

// Both drivers, their layers and the seam back to a fresh process. For tests.
void reset_windows_drivers();
