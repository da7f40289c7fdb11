#pragma once
// The drawing layer of the screen side: one small routine per drawing action
// on the device context of the current drawable (`gDC` of the window
// table), with the library's pen, font, clip region and palette. Coordinates
// arrive as pixels of the surface (x right, rows down). Every routine puts
// back what it selected, except the objects meant to stay: the graphics pen,
// the graphics font, the palette and the raster operation.
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

struct OsPoint;

// State of the layer beside the objects kept in the window table.
struct GdiState {
    std::int32_t gPenStyle = 0;      // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot
    std::int32_t gLineType = 0;      // library line type 0..7
    std::int32_t gLineWidth = 1;     // pixels
    std::int32_t gPlotmode = 13;     // raster operation
    std::int32_t gStippleChanged = 1;
    std::uint32_t GraphicsColour = 0;          // as given to the drawing layer
    std::uint32_t GraphicsColourPrevious = 0;
    std::uint32_t StyleBrush = 0;              // colour of the geometric pens' solid brush
    // The seven dash arrays of line types 1..7 scaled to the drawable.
    std::array<std::vector<std::uint32_t>, 7> ScaledDashArrays{};
    std::array<std::array<std::int32_t, 2>, 5000> gPoints{};
    // Reference resolution of memory metafiles; 0 until the metafile side
    // sets it (the screen resolution is used then).
    std::int32_t wMetafileDPI = 0;
    // Buffers of the system gradient fill.
    struct Vertex {
        std::int32_t x = 0, y = 0;
        std::uint16_t red = 0, green = 0, blue = 0, alpha = 0;
    };
    std::array<Vertex, 1000> gVert{};
    std::array<std::array<std::uint32_t, 3>, 998> gGrad{};
    // Graphics pens of other colours, made with the present style and width
    // and put aside instead of deleted when the colour changed: a picture
    // that goes back and forth between a few colours selects them again.
    // Never while a metafile records; thrown away when the style, the width
    // or the dash arrays may have changed.
    struct SparePen {
        std::int32_t handle = 0;
        std::uint32_t colour = 0;
    };
    std::array<SparePen, 3> SparePens{};
    std::uint32_t NextSpare = 0;
    // The graphics pen was made with the present style, width and dash
    // arrays, so that it may be put aside.
    bool PenKeepable = false;
};

extern GdiState gdi;

// Dash arrays of line types 1..7 at screen resolution, before scaling.
extern const std::array<std::vector<std::uint32_t>, 7> BaseDashArrays;

void yywinline(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
void yywincolour(std::int32_t device, std::int32_t rgb);
void yywinellipse(std::int32_t x, std::int32_t y, std::int32_t rx, std::int32_t ry, std::int32_t style,
                  std::int32_t kind);
void yywinrectangle(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, std::int32_t kind);
void yywinarc(std::int32_t x, std::int32_t y, std::int32_t rx, std::int32_t ry, std::int32_t x1, std::int32_t y1,
              std::int32_t x2, std::int32_t y2, std::int32_t kind);
void yywinoutlinearc(std::int32_t x, std::int32_t y, std::int32_t rx, std::int32_t ry, std::int32_t x1,
                     std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t density, std::int32_t style);
// Point buffer entry index (0..4999) := (x, y); other indices are ignored.
void yywinpolpoint(std::int32_t x, std::int32_t y, std::int32_t index);
void yywinpolygon(std::int32_t count, std::int32_t kind);
void yywinpolyline(std::int32_t count);
// Lines from each of the COUNT buffered points to the next, as yywinline
// would draw them one by one, in one call where the pixels are the same.
void yywinlines(std::int32_t count);
// The same through the first count of the points given.
void yywinlines_at(const OsPoint* points, std::int32_t count);
void yywinpoint(std::int32_t x, std::int32_t y);
void yywinpointrgb(std::int32_t x, std::int32_t y, std::int32_t rgb);
// R := -1 for a pixel that cannot be read (G and B untouched).
void yywingetpixelrgb(std::int32_t x, std::int32_t y, std::int32_t& r, std::int32_t& g, std::int32_t& b);
void yywinclear(std::int32_t width, std::int32_t height, std::int32_t rgb);
// Bottom -1 removes the clip region.
void yywinclip(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
// Makes and selects the graphics font; width and height come back as the
// alphabet width and the cell height.
void yywintextsize(std::int32_t& width, std::int32_t& height, std::int32_t& ascent, std::int32_t angle,
                   std::int32_t family, std::int32_t flags, std::string_view face);
void yywintextlength(std::int32_t& width, std::string_view text, std::int32_t count);
void yywindrawstring(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t justification,
                     std::int32_t box, std::string_view text, std::int32_t count);
void yywinblit(std::int32_t sleft, std::int32_t stop, std::int32_t dleft, std::int32_t dtop, std::int32_t width,
               std::int32_t height, std::int32_t fill, std::int32_t fill_rgb);
// Arrays of n vertices and t triangles (three 1-based vertex numbers each).
void yywingradfill(const std::int32_t* x, const std::int32_t* y, const std::int32_t* rgb, const std::int32_t* tri,
                   std::int32_t n, std::int32_t t, std::int32_t& failed);
void yywinplotmode(std::int32_t mode);
void yywinpalette(std::int32_t index, std::int32_t rgb, std::int32_t mode);
void yywinpalette256(std::int32_t index, std::int32_t rgb, std::int32_t mode);
void yywinlinetype(std::int32_t type);
void yywinlinewidth(std::int32_t width);
void yywincreatepen();
void yywinlinestyles();
// The two-colour pattern brush; the caller deletes it.
std::int32_t yywinstipple();

// The screen side's drawing state on a device context that has just become
// the graphics one: pattern repainted, pen style and line type 0, copy
// raster operation, dash arrays scaled.
void yywinsetup();
// Previous pen and font selected back into the graphics device context.
void yywinselectprevious();
// A device context that has just become the graphics one takes on the
// drawing state: pattern marked changed, raster operation, transparent
// background, the graphics pen and font (the replaced ones kept), dash
// arrays rescaled, and the screen palette selected and realised.
void yywinselectcurrent();

void reset_gdi_state();
