#pragma once
// The drawing layers of the Windows printer and metafile drivers: one small
// routine per drawing step on the printer's device context (`yywpr...`) or
// on the metafile being recorded (`yywmf...`), in the device's pixels. The
// two families are twins; what they share is one layer record and one set
// of routines here, each family a thin face over its own record.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The state of one drawing layer.
struct DrawingLayer {
    bool metafile = false;
    std::uint32_t colour = 0;       // gPrColour / gwmfColour (COLORREF)
    std::uint32_t colour_prev = 0;  // previous colour, the text background
    std::int32_t line_type = 0;
    std::int32_t pen_style = 0;     // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot
    std::int32_t line_width = 1;
    std::int32_t pen = 0, pen_old = 0;
    std::array<std::int64_t, 3> pen_cache{-1, -1, -1};  // colour, line type, width of `pen`
    std::uint32_t brush_colour = 0;  // solid brush of the geometric pens
    std::int32_t font = 0, font_old = 0;
    std::int32_t resolution = 0;     // pixels per inch of the device (reference device)
    std::array<std::vector<std::uint32_t>, 7> dash{};  // dash patterns scaled to the device

    // Printer only.
    std::int32_t doc_open = 0;
    std::int32_t page_pending = 0;
    std::array<std::int32_t, 2> extent{};  // page in printer pixels

    // Metafile only.
    std::int32_t mode = 0;           // 0 plain, 1 placeable, 2 enhanced; 0 after close
    std::int32_t clipboard = 0;
    std::array<std::int32_t, 2> bounds{};   // page in hundredths of a millimetre
    std::string file;                // the placeable file being written
    std::array<std::int32_t, 2> window_extent{};
    std::int32_t system_dashes = 0;
    // Placeable header written at close, with the file.
    std::array<std::uint8_t, 22> header{};
};

extern DrawingLayer printer_layer;   // gPr...
extern DrawingLayer metafile_layer;  // gwmf...

// Back to the state of a fresh process. For tests.
void reset_drawing_layers();
// Clip region, font and pen of a layer let go before its context closes.
void release_layer_objects(bool metafile);

// ---------------------------------------------------------------- printer layer
void yywprcolour(std::int32_t r, std::int32_t g, std::int32_t b);
void yywprline(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
void yywprellipse(std::int32_t x, std::int32_t y, std::int32_t rx, std::int32_t ry, std::int32_t fill);
void yywprrectangle(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
void yywprarc(std::int32_t x, std::int32_t y, std::int32_t rx, std::int32_t ry, std::int32_t xs, std::int32_t ys,
              std::int32_t xe, std::int32_t ye);
void yywprpolpoint(std::int32_t x, std::int32_t y, std::int32_t i);
void yywprpolygon(std::int32_t n, std::int32_t edge);
void yywprpolyline(std::int32_t n);
void yywproutlinearc(std::int32_t x, std::int32_t y, std::int32_t rx, std::int32_t ry, std::int32_t xs,
                     std::int32_t ys, std::int32_t xe, std::int32_t ye, std::int32_t mode);
void yywprpoint(std::int32_t x, std::int32_t y);
void yywprpointrgb(std::int32_t x, std::int32_t y, std::int32_t colour);
void yywprgradfill(const std::int32_t* xs, const std::int32_t* ys, const std::int32_t* colours,
                   const std::int32_t* tri, std::int32_t nv, std::int32_t nt, std::int32_t& fail);
void yywprclip(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
void yywprtextsize(std::int32_t width, std::int32_t& height, std::int32_t& ascent, std::int32_t angle,
                   std::int32_t family, std::int32_t style, std::string_view name);
void yywprdrawstring(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t align,
                     std::int32_t opaque, std::string_view text);
void yywprtextlength(std::int32_t& width, std::string_view text);
void yywprlinetype(std::int32_t type);
void yywprlinewidth(std::int32_t width);
void yywprcreatepen();
void yywprlinestyles();
// Opens the print job (lengths in points); RESX..OSERR are outputs.
void yywpropen(std::int32_t width, std::int32_t height, std::int32_t xoff, std::int32_t yoff, std::int32_t& resx,
               std::int32_t& resy, std::int32_t& colours, std::int32_t& err, std::int32_t& oserr,
               std::int32_t landscape, std::int32_t copies, std::string_view docname);
void yywprstartpage();
void yywprdump();
void yywprclose();

// ---------------------------------------------------------------- metafile layer
void yywmfcolour(std::int32_t r, std::int32_t g, std::int32_t b);
void yywmfline(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
void yywmfellipse(std::int32_t x, std::int32_t y, std::int32_t rx, std::int32_t ry, std::int32_t fill);
void yywmfrectangle(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
void yywmfarc(std::int32_t x, std::int32_t y, std::int32_t rx, std::int32_t ry, std::int32_t xs, std::int32_t ys,
              std::int32_t xe, std::int32_t ye);
void yywmfpolpoint(std::int32_t x, std::int32_t y, std::int32_t i);
void yywmfpolygon(std::int32_t n);
void yywmfpolyline(std::int32_t n);
void yywmfoutlinearc(std::int32_t x, std::int32_t y, std::int32_t rx, std::int32_t ry, std::int32_t xs,
                     std::int32_t ys, std::int32_t xe, std::int32_t ye, std::int32_t mode);
void yywmfpoint(std::int32_t x, std::int32_t y);
void yywmfpointrgb(std::int32_t x, std::int32_t y, std::int32_t colour);
void yywmfgradfill(const std::int32_t* xs, const std::int32_t* ys, const std::int32_t* colours,
                   const std::int32_t* tri, std::int32_t nv, std::int32_t nt, std::int32_t& fail);
void yywmfclip(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
void yywmftextsize(std::int32_t width, std::int32_t height, std::int32_t angle, std::int32_t family,
                   std::int32_t style, std::string_view name);
void yywmfdrawstring(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t align,
                     std::int32_t opaque, std::string_view text);
void yywmftextlength(std::int32_t& width, std::string_view text);
void yywmflinetype(std::int32_t type);
void yywmflinewidth(std::int32_t width);
void yywmfcreatepen();
void yywmflinestyles();

// ---------------------------------------------------------------- printer selection
// Stores the default printer's device, driver and port; 1 when found, else 0.
std::int32_t yywprintername();
// The printer's paper and page in points (always landscape, one-inch
// margins), copies, colours, and the operating-system code of a failed query.
void yywprinfo(std::int32_t& paper_long, std::int32_t& paper_short, std::int32_t& width, std::int32_t& height,
               std::int32_t& x_offset, std::int32_t& y_offset, std::int32_t& orientation, std::int32_t& copies,
               std::int32_t& colours, std::int32_t& os_error);
// A printer device context for one job with the page set-up choices applied;
// 0 when it cannot be made.
std::int32_t yywprgetdc(std::int32_t landscape, std::int32_t copies);

// ---------------------------------------------------------------- window dump
void yywindumpstart(std::int32_t width, std::int32_t height, std::int32_t xoff, std::int32_t yoff, std::int32_t& err,
                    std::int32_t landscape, std::int32_t copies, const char* docname);
void yywindumpblit(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t& err);
void yywindumpend();
// Size in bytes of the colour table of a bitmap header.
std::int32_t yywprpalsize(const std::uint8_t* header, std::size_t size);
