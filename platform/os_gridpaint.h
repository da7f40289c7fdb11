#pragma once
// Painting services the spreadsheet grid needs of the layer: text output
// clipped to and filled over a rectangle, scrolling a window's picture
// together with its child windows, and a control painting itself into a
// memory device context.
#include <cstdint>
#include <string_view>

#include "platform/os_dc.h"
#include "platform/os_gdi.h"
#include "platform/os_window.h"

// Options of os_ext_text_out.
enum : std::uint32_t { OS_ETO_OPAQUE = 2, OS_ETO_CLIPPED = 4 };
// Draws a text as os_text_out does. With OS_ETO_OPAQUE the rectangle is
// first filled with the background colour; with OS_ETO_CLIPPED nothing is
// drawn outside it (nor outside the clip region already in force). A null
// rectangle ignores both options.
bool os_ext_text_out(OsDC dc, std::int32_t x, std::int32_t y, std::uint32_t options, const OsRect* rect,
                     std::string_view text);

// Flags of os_scroll_window_ex.
enum : std::uint32_t { OS_SW_SCROLLCHILDREN = 1, OS_SW_INVALIDATE = 2, OS_SW_ERASE = 4 };
// Moves a window's picture by dx, dy; with OS_SW_SCROLLCHILDREN its child
// windows move along. The uncovered strips are always marked for
// repainting (with erase when OS_SW_ERASE is given). False for a bad window.
bool os_scroll_window_ex(OsWindow w, std::int32_t dx, std::int32_t dy, std::uint32_t flags);

// A control of a class that draws itself paints its whole client area into
// the bitmap selected into a memory device context, at (0, 0), as it would
// on the screen (the window may be hidden). False when the window draws
// through device contexts instead, or the device context has no bitmap.
bool os_paint_window_into(OsWindow w, OsDC memory_dc);

// The description a font object was made from; false for anything else.
bool os_get_font_logfont(OsObject font, OsLogFont& lf);
