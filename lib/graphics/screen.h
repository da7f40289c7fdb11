#pragma once
// The screen device: the graphics driver of the screen side. It carries out
// operations 1..40 of the driver protocol on the current drawable through
// the drawing layer (gdi.h), converting device units (y up from the bottom)
// into surface rows (y down).
#include <array>
#include <cstdint>
#include <string>

#include "lib/graphics/gdi.h"

void yygapi(std::int32_t op);

// Lines through the first N points of the work block (device units), each
// drawn as operation 2 would draw it, in one call to the drawing layer.
// Only while the screen device proper takes lines with its own drawing
// layer (yyscreenlines_taken), as the line-by-line route would send them.
bool yyscreenlines_taken();
void yyscreenlines(std::int32_t n);

// Device statics kept between operations.
struct ScreenDeviceState {
    // Key of the font last made: width, height, angle, family, style flags
    // (-1 when invalid) and, for family 0, the face name.
    struct FontCache {
        std::int32_t width = -1, height = -1, angle = -1, family = -1, flags = -1;
        std::string name = std::string(100, ' ');
    } font_cache;
    std::int32_t cell_height = 0;
    std::int32_t ascent = 0;
    std::int32_t alphabet_width = 0;
    std::int32_t PaletteBatchMode = 0;
    std::int32_t palette_mode = 0;   // mode of the entry operation 35 sends
};
extern ScreenDeviceState screen_device;

// The gradient vertex block that the sender of operation 40 fills: vertex
// count, colours and triangles (the REAL vertices are in quin01), and the
// integer pixel arrays the device converts them to.
struct GradientVertexBlock {
    std::int32_t n = 0;
    std::array<std::int32_t, 1000> ix{};
    std::array<std::int32_t, 1000> iy{};
    std::array<std::int32_t, 1000> rgb{};
    std::array<std::int32_t, 2994> triangles{};
    std::int32_t t = 0;
};
extern GradientVertexBlock gradient_block;

// Services of subsystems not built yet (memory metafiles) that the screen
// device calls; the issue building a subsystem calls
// it directly and deletes its entries (docs/wiring.md). While an entry is
// empty, the device behaves as described beside it.
struct ScreenLinks {
    // Memory metafiles: width in pixels and in points of metafile ident
    // (empty: operation 30 on a metafile takes the screen line width).
    bool (*metafile_size)(std::int32_t ident, std::int32_t& width_pixels, std::int32_t& width_points) = nullptr;
};
extern ScreenLinks screen_links;

// Test seam: the drawing-layer routines the screen device calls; tests put
// stand-ins in their place to see the calls.
struct ScreenDrawingLayer {
    decltype(&yywinarc) arc = &yywinarc;
    decltype(&yywinblit) blit = &yywinblit;
    decltype(&yywinclear) clear = &yywinclear;
    decltype(&yywinclip) clip = &yywinclip;
    decltype(&yywincolour) colour = &yywincolour;
    decltype(&yywindrawstring) drawstring = &yywindrawstring;
    decltype(&yywinellipse) ellipse = &yywinellipse;
    decltype(&yywingetpixelrgb) getpixelrgb = &yywingetpixelrgb;
    decltype(&yywinline) line = &yywinline;
    decltype(&yywinlinetype) linetype = &yywinlinetype;
    decltype(&yywinlinewidth) linewidth = &yywinlinewidth;
    decltype(&yywinoutlinearc) outlinearc = &yywinoutlinearc;
    decltype(&yywinpalette) palette = &yywinpalette;
    decltype(&yywinplotmode) plotmode = &yywinplotmode;
    decltype(&yywinpoint) point = &yywinpoint;
    decltype(&yywinpolpoint) polpoint = &yywinpolpoint;
    decltype(&yywinpolygon) polygon = &yywinpolygon;
    decltype(&yywinpolyline) polyline = &yywinpolyline;
    decltype(&yywinrectangle) rectangle = &yywinrectangle;
    decltype(&yywintextlength) textlength = &yywintextlength;
    decltype(&yywintextsize) textsize = &yywintextsize;
    decltype(&yywinpointrgb) pointrgb = &yywinpointrgb;
    decltype(&yywingradfill) gradfill = &yywingradfill;
};
extern ScreenDrawingLayer screen_gdi;

// Device statics, the drawing layer, the gradient block and the links back
// to their start; every device context and drawing object forgotten. For
// tests.
void reset_screen_state();
