#pragma once
// The font dialog: face, style, size, effects (strike-out, underline) and
// colour. Over the toolkit's own font dialog on a display; tests and
// offscreen runs answer it through a responder that sees the request and
// changes it as a user would.
#include <cstdint>
#include <functional>

#include "platform/os_gdi.h"
#include "platform/os_window.h"

enum : std::uint32_t {
    OS_CF_SCREENFONTS = 0x1, OS_CF_INITTOLOGFONTSTRUCT = 0x40, OS_CF_EFFECTS = 0x100,
    OS_CF_FORCEFONTEXIST = 0x10000, OS_CF_TTONLY = 0x40000, OS_CF_NOFACESEL = 0x80000,
    OS_CF_NOSTYLESEL = 0x100000, OS_CF_NOSIZESEL = 0x200000,
};

struct OsChooseFont {
    OsWindow owner = 0;
    OsLogFont font;                 // in and out; height in pixels (negative: character height)
    std::int32_t point_size = 0;    // out: tenths of a point
    std::uint32_t colour = 0;       // COLORREF, in and out
    std::uint32_t flags = 0;        // OS_CF_*
};

using OsFontDialogResponder = std::function<bool(OsChooseFont&)>;
// Installs a responder (an empty function removes it).
void os_font_dialog_set_responder(OsFontDialogResponder responder);
// Shows the dialog; true on OK with the choice in request.
bool os_choose_font(OsChooseFont& request);
