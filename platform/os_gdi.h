#pragma once
// Drawing on device contexts: pens, brushes, fonts, clip regions and
// palettes as objects selected into a device context, raster operations,
// the shapes, pixels, text and copies inside a surface.
//
// The pixel rules are the ones the library was written against, and we
// rasterise ourselves to keep them:
// - a line covers its start pixel and leaves out its end pixel;
// - Rectangle and Ellipse boxes exclude their right column and bottom row;
//   drawn with the null pen, the filled area shrinks by one more pixel on
//   the right and at the bottom;
// - Pie and Arc run counter-clockwise on the screen from the radial through
//   the first point to the radial through the second; when both radials
//   are the same the whole ellipse is drawn;
// - polygons fill by the alternate (even-odd) rule, the interior leaving
//   out its right and bottom edges;
// - shapes, lines and pixels of the pen go through the raster operation;
//   text and SetPixel do not.
// Colours are COLORREF values 0x00BBGGRR; 0x01000000 + n names entry n of
// the palette selected into the device context, as last realised.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/os_dc.h"

constexpr std::uint32_t os_palette_index(std::uint32_t n) { return 0x01000000u | (n & 0xFFFFu); }
constexpr std::uint32_t OS_CLR_INVALID = 0xFFFFFFFFu;

// ---- raster operations (binary, for pens and brushes) -------------------------
enum : std::int32_t {
    OS_R2_BLACK = 1,
    OS_R2_XORPEN = 7,
    OS_R2_MASKPEN = 9,
    OS_R2_NOP = 11,
    OS_R2_COPYPEN = 13,
    OS_R2_MERGEPEN = 15,
    OS_R2_WHITE = 16,
};
// Ternary raster operations of copies.
enum : std::uint32_t {
    OS_SRCCOPY = 0x00CC0020,
    OS_SRCPAINT = 0x00EE0086,
    OS_SRCAND = 0x008800C6,
    OS_SRCINVERT = 0x00660046,
};

// ---- stock objects -------------------------------------------------------------
enum : std::int32_t {
    OS_WHITE_BRUSH = 0,
    OS_BLACK_BRUSH = 4,
    OS_NULL_BRUSH = 5,
    OS_BLACK_PEN = 7,
    OS_NULL_PEN = 8,
    OS_SYSTEM_FONT = 13,        // Arial at the configured dialog font height
    OS_SYSTEM_FIXED_FONT = 16,  // Courier New at the same height
    OS_DEFAULT_GUI_FONT = 17,   // the configured dialog font
};
// A stock object; never deleted.
OsObject os_get_stock_object(std::int32_t which);

// ---- pens ------------------------------------------------------------------------
enum : std::uint32_t {
    OS_PS_SOLID = 0,
    OS_PS_DASH = 1,        // cosmetic: 18 on, 6 off
    OS_PS_DOT = 2,         // 3 on, 3 off
    OS_PS_DASHDOT = 3,     // 9, 6, 3, 6
    OS_PS_DASHDOTDOT = 4,  // 9, 3, 3, 3, 3, 3
    OS_PS_NULL = 5,
    OS_PS_USERSTYLE = 7,
    OS_PS_STYLE_MASK = 0x0F,
    OS_PS_ENDCAP_SQUARE = 0x0100,
    OS_PS_JOIN_BEVEL = 0x1000,
    OS_PS_GEOMETRIC = 0x00010000,
};
// A cosmetic pen (width 1) or, for a width above 1, a round-ended solid one.
// Styled pens leave their gaps alone in transparent background mode and
// paint them in the background colour in opaque mode.
OsObject os_create_pen(std::uint32_t style, std::int32_t width, std::uint32_t colour);
// A geometric pen of a solid colour. With OS_PS_USERSTYLE, dashes holds the
// lengths in pixels, dash and gap alternating (1..16 entries, not all 0).
// Square ends: every dash reaches half the width beyond its length.
OsObject os_ext_create_pen(std::uint32_t style, std::int32_t width, std::uint32_t colour,
                           const std::vector<std::uint32_t>& dashes);

// ---- brushes --------------------------------------------------------------------
OsObject os_create_solid_brush(std::uint32_t colour);
// A brush of an 8 x 8 pattern taken from the top-left corner of a bitmap
// (copied: later changes of the bitmap do not reach the brush). The pattern
// is laid from the surface's origin.
OsObject os_create_pattern_brush(OsObject bitmap);

// ---- regions --------------------------------------------------------------------
// The right column and the bottom row are outside the region.
OsObject os_create_rect_rgn(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
// A copy of the region becomes the clip region; 0 removes clipping. Returns
// false for a bad device context or region.
bool os_select_clip_rgn(OsDC dc, OsObject region);
// The clip box; false when there is no clip region.
bool os_get_clip_box(OsDC dc, OsRect& r);

// ---- selection and attributes ---------------------------------------------------
// Selects a pen, brush, font or bitmap (memory device contexts only) and
// returns the object of that kind it replaces (0 on failure).
OsObject os_select_object(OsDC dc, OsObject obj);
OsObject os_current_object(OsDC dc, std::int32_t kind);  // kind: 1 pen, 2 brush, 3 font, 4 bitmap, 5 palette
std::int32_t os_set_rop2(OsDC dc, std::int32_t rop);     // returns the previous one, 0 on failure
std::int32_t os_get_rop2(OsDC dc);
std::uint32_t os_set_text_color(OsDC dc, std::uint32_t colour);  // returns the previous one
std::uint32_t os_set_bk_color(OsDC dc, std::uint32_t colour);
std::uint32_t os_get_text_color(OsDC dc);
std::uint32_t os_get_bk_color(OsDC dc);
// The colour the surface shows for a colour: surfaces hold 24-bit colours,
// so an RGB comes back as it is and a palette index as its entry.
std::uint32_t os_get_nearest_color(OsDC dc, std::uint32_t colour);

// ---- palettes --------------------------------------------------------------------
OsObject os_select_palette(OsDC dc, OsObject palette, bool background);
// Makes the selected palette's entries the ones drawing with palette indices
// uses; returns the number of entries.
std::int32_t os_realize_palette(OsDC dc);
bool os_unrealize_object(OsObject palette);
// Sets entries start.. of a palette; returns how many were set.
std::int32_t os_set_palette_entries(OsObject palette, std::int32_t start, const std::vector<std::uint32_t>& entries);
std::vector<std::uint32_t> os_get_palette_entries(OsObject palette);
// Index of the entry nearest to an RGB (squared distance; the first of equals).
std::uint32_t os_get_nearest_palette_index(OsObject palette, std::uint32_t colour);

// ---- memory device contexts --------------------------------------------------------
// A memory device context holding a 1 x 1 bitmap until a bitmap is selected.
OsDC os_create_compatible_dc(OsDC dc);
bool os_delete_dc(OsDC dc);
// Size of what a device context draws on; 0 x 0 when nothing.
OsPoint os_dc_size(OsDC dc);

// ---- drawing ---------------------------------------------------------------------
bool os_move_to(OsDC dc, std::int32_t x, std::int32_t y);
bool os_line_to(OsDC dc, std::int32_t x, std::int32_t y);
// os_polygon as if a solid 1-pixel pen of pen_colour and a solid brush of
// brush_colour were selected, and with region (when not 0) as the clip region,
// which is removed after (as os_select_clip_rgn(dc, 0) would): the selected
// objects stay as they are. False, drawing nothing, for a device context that
// records (printer, metafile) or only informs: it is to be given the objects.
bool os_polygon_in_colours(OsDC dc, const std::vector<OsPoint>& points, std::uint32_t pen_colour,
                           std::uint32_t brush_colour, OsObject region);
// os_line_to and then os_set_pixel(dc, x, y, colour) at its end, in one
// call: lines of the library's solid style cover their end pixel.
bool os_line_to_with_end(OsDC dc, std::int32_t x, std::int32_t y, std::uint32_t colour);
// os_move_to the first point and os_line_to_with_end each next point, in one
// call: the pixels of the lines one by one, with the current position left
// at the last point. False, drawing nothing, where one call would not give
// those pixels (a raster operation other than copying, a styled or wide or
// null pen, ends of another colour than the pen's) or where the context
// records (printer, metafile) or only informs: there the lines are to be
// drawn one by one.
bool os_lines_with_ends(OsDC dc, const std::vector<OsPoint>& points, std::uint32_t colour);
bool os_lines_with_ends(OsDC dc, const OsPoint* points, std::size_t count, std::uint32_t colour);
bool os_polyline(OsDC dc, const std::vector<OsPoint>& points);
bool os_polygon(OsDC dc, const std::vector<OsPoint>& points);
bool os_rectangle(OsDC dc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
bool os_ellipse(OsDC dc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
bool os_pie(OsDC dc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, std::int32_t x1,
            std::int32_t y1, std::int32_t x2, std::int32_t y2);
bool os_arc(OsDC dc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom, std::int32_t x1,
            std::int32_t y1, std::int32_t x2, std::int32_t y2);
// Sets one pixel (not through the raster operation); returns the colour
// set or OS_CLR_INVALID outside the surface or the clip region.
std::uint32_t os_set_pixel(OsDC dc, std::int32_t x, std::int32_t y, std::uint32_t colour);
// OS_CLR_INVALID outside the surface or the clip region.
std::uint32_t os_get_pixel(OsDC dc, std::int32_t x, std::int32_t y);
// With on, every line and shape gathers its pixels sorted and each once
// whatever the raster operation, as the rasteriser did before it took the
// shorter way for the copy operation, and os_lines_with_ends leaves lines
// to be drawn one by one: the reference the shorter ways are compared
// with. Off by default.
void os_plain_drawing(bool on);
// Copies width x height pixels from the source device context to the
// destination through a copy raster operation; source and destination may
// be the same and overlap. The destination's clip region applies; source
// pixels outside the source surface read as black.
bool os_bit_blt(OsDC dst, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, OsDC src,
                std::int32_t sx, std::int32_t sy, std::uint32_t rop);

// The source rectangle sx, sy, swidth x sheight scaled onto the destination
// rectangle: each destination pixel takes the source pixel its offset
// scales down to (truncating). Otherwise as os_bit_blt.
bool os_stretch_blt(OsDC dst, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, OsDC src,
                    std::int32_t sx, std::int32_t sy, std::int32_t swidth, std::int32_t sheight, std::uint32_t rop);
// Whether a bitmap is selected into a device context. A bitmap is selected
// into one memory device context at a time; selecting it into a second
// fails.
bool os_bitmap_in_use(OsObject bitmap);

// ---- fonts and text ---------------------------------------------------------------
enum : std::int32_t { OS_ANSI_CHARSET = 0, OS_DEFAULT_CHARSET = 1, OS_SYMBOL_CHARSET = 2 };
enum : std::int32_t {
    OS_FF_ROMAN = 0x10,
    OS_FF_SWISS = 0x20,
    OS_FF_MODERN = 0x30,
    OS_FIXED_PITCH = 1,
    OS_VARIABLE_PITCH = 2,
    OS_OUT_TT_PRECIS = 4,
    OS_CLIP_LH_ANGLES = 0x10,
    OS_DEFAULT_QUALITY = 0,
};
struct OsLogFont {
    std::int32_t height = 0;       // < 0: character height without internal leading; > 0: cell height
    std::int32_t width = 0;        // average character width; 0: the face's own proportion
    std::int32_t escapement = 0;   // tenths of a degree, counter-clockwise
    std::int32_t orientation = 0;
    std::int32_t weight = 400;
    bool italic = false, underline = false, strike_out = false;
    std::int32_t charset = OS_DEFAULT_CHARSET;
    std::int32_t out_precision = 0, clip_precision = 0, quality = OS_DEFAULT_QUALITY;
    std::int32_t pitch_and_family = 0;
    std::string face;              // 1252 text
};
// Faces: "Arial", "Times New Roman" and "Courier New" are served by the
// metric-compatible Liberation Sans, Serif and Mono, "Lucida Console" by
// DejaVu Sans Mono; "Symbol" keeps its own
// character layout (Greek letters and mathematical signs at the codes of
// the Symbol face) drawn from DejaVu Sans. Another face is used when the
// system has it, else the family bits choose among the three.
OsObject os_create_font(const OsLogFont& lf);
struct OsTextMetric {
    std::int32_t height = 0, ascent = 0, descent = 0, internal_leading = 0, external_leading = 0;
    std::int32_t ave_char_width = 0, max_char_width = 0, weight = 0;
    bool italic = false, underline = false;
    std::int32_t charset = 0;
};
bool os_get_text_metrics(OsDC dc, OsTextMetric& tm);
// Width and height of a text in the selected font.
bool os_get_text_extent(OsDC dc, std::string_view text, OsPoint& size);
// Draws a text at (x, y) as the text alignment says (left, centre or right;
// top, base line or bottom), along the font's escapement, in the text colour;
// in opaque background mode the text's cell is filled with the background
// colour first. Aliased, not through the raster operation. With
// OS_TA_UPDATECP in the alignment the text starts at the current position
// instead, x and y are ignored, and a left-aligned text moves the current
// position to its end along the base line (a right-aligned one back to its
// start; a centred one leaves it).
bool os_text_out(OsDC dc, std::int32_t x, std::int32_t y, std::string_view text);
// The current position that os_move_to, os_line_to and text output with
// OS_TA_UPDATECP leave.
bool os_get_current_position(OsDC dc, OsPoint& pos);

// ---- mapping ---------------------------------------------------------------------
// Logical units become device pixels as (logical - window origin) x
// viewport extent / window extent + viewport origin; the extents count in the
// anisotropic and isotropic modes only (isotropic is taken as anisotropic).
enum : std::int32_t { OS_MM_TEXT = 1, OS_MM_ISOTROPIC = 7, OS_MM_ANISOTROPIC = 8 };
std::int32_t os_set_map_mode(OsDC dc, std::int32_t mode);  // the previous mode, 0 on failure
std::int32_t os_get_map_mode(OsDC dc);
bool os_set_window_org(OsDC dc, std::int32_t x, std::int32_t y);
bool os_set_window_ext(OsDC dc, std::int32_t x, std::int32_t y);
bool os_set_viewport_org(OsDC dc, std::int32_t x, std::int32_t y);
bool os_set_viewport_ext(OsDC dc, std::int32_t x, std::int32_t y);
// Viewport extent x := x * xnum / xden, y likewise; zero denominators fail.
bool os_scale_viewport_ext(OsDC dc, std::int32_t xnum, std::int32_t xden, std::int32_t ynum, std::int32_t yden);
bool os_get_window_ext(OsDC dc, OsPoint& ext);
bool os_get_viewport_ext(OsDC dc, OsPoint& ext);
// Saves colours, modes, objects, clip region and mapping; returns the level
// (1, 2, ...), 0 on failure. Restore takes a level, or -1 for the last one.
std::int32_t os_save_dc(OsDC dc);
bool os_restore_dc(OsDC dc, std::int32_t level);

// ---- device capabilities ---------------------------------------------------------
enum : std::int32_t {
    OS_HORZSIZE = 4,         // millimetres
    OS_VERTSIZE = 6,
    OS_HORZRES = 8,          // pixels
    OS_VERTRES = 10,
    OS_BITSPIXEL = 12,
    OS_PLANES = 14,
    OS_NUMCOLORS = 24,       // always a count: 2 grey-only ... 16,777,216
    OS_LOGPIXELSX = 88,
    OS_LOGPIXELSY = 90,
    OS_PHYSICALWIDTH = 110,  // the whole paper, pixels
    OS_PHYSICALHEIGHT = 111,
    OS_PHYSICALOFFSETX = 112,  // unprintable margin, pixels
    OS_PHYSICALOFFSETY = 113,
};
// A capability of a device context: the printer's for printer and
// information contexts, the screen's for the others, the reference
// device's for an enhanced metafile.
std::int32_t os_get_device_caps(OsDC dc, std::int32_t index);

// ---- device-independent bitmaps ----------------------------------------------------
// The description of a bitmap: pixels, planes and bits per pixel (bitmaps
// compatible with the screen carry the display's depth).
struct OsBitmapDesc {
    std::int32_t width = 0, height = 0, planes = 1, bits_pixel = 24;
};
bool os_get_bitmap_desc(OsObject bitmap, OsBitmapDesc& desc);
// A device-independent bitmap: a 40-byte information header (size, width,
// height, planes, bit count 1, 4, 8 or 24, no compression, image size,
// resolutions, colours used, important colours), the colour table (4 bytes
// an entry) and the rows bottom-up, each padded to 4 bytes.
// Reads LINES rows from START (counted from the bottom) of a bitmap not
// selected anywhere, at the bit count the header asks, through the palette
// selected into DC for 4 and 8 bits (black and white at 1 bit). With rows
// null only the header is completed (image size) and the colour table filled.
// The info block holds the header and room for the colour table. Returns the
// number of rows read, 0 on failure.
std::int32_t os_get_dibits(OsDC dc, OsObject bitmap, std::int32_t start, std::int32_t lines, std::uint8_t* rows,
                           std::uint8_t* info, std::size_t info_size);
// Draws a device-independent bitmap (header, table and rows in one block)
// stretched from the source rectangle into the destination rectangle.
// Returns the rows drawn, 0 on failure.
std::int32_t os_stretch_dibits(OsDC dc, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                               std::int32_t sx, std::int32_t sy, std::int32_t swidth, std::int32_t sheight,
                               const std::uint8_t* dib, std::size_t dib_size, std::uint32_t rop);
// Size of the colour table of a bitmap header in bytes: a 12-byte core
// header has 3 bytes an entry, an information header 4 (its colours-used
// field, else by the bit count: 1 gives 2, 4 gives 16, 8 gives 256).
std::size_t os_dib_colour_table_size(const std::uint8_t* header, std::size_t size);

// Forgets every device context and drawing object (tests).
void os_dc_reset();
