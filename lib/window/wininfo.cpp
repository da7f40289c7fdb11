// Window and display information, cursors, bell, active titles.
#include "lib/window/wininfo.h"
#include "lib/dialog/dialog_window.h"
#include "lib/dialog/dialog.h"

#include <algorithm>
#include <array>

#include "lib/window/messages.h"
#include "lib/graphics/gdi.h"
#include "lib/window/window_hooks.h"
#include "lib/window/winops.h"
#include "platform/os_dc.h"
#include "platform/os_window.h"

namespace {

OsHandle current_frame() { return valid_slot(wtab.wIndex) ? wtab.wWindow[ix(wtab.wIndex)] : 0; }

}  // namespace

// Offset between placements of top-level windows (work-area coordinates)
// and screen coordinates, measured on a throw-away window.
OsPoint yyplacementoffset() {
    const OsHandle probe = os_create_window(0, "STATIC", "", OS_WS_POPUP, 0, 0, 10, 10, 0, 0, 0);
    OsPoint off{0, 0};
    if (!probe) return off;
    OsPlacement p;
    OsRect r;
    if (os_get_window_placement(probe, p) && os_get_window_rect(probe, r)) off = {p.normal.left - r.left, p.normal.top - r.top};
    os_destroy_window(probe);
    return off;
}

namespace {

// A top-level placement rectangle in screen coordinates.
void to_screen(OsRect& r) {
    const OsPoint off = yyplacementoffset();
    r.left -= off.x;
    r.right -= off.x;
    r.top -= off.y;
    r.bottom -= off.y;
}

// Window units of a parent slot's client area from pixels.
void units_in_parent(std::int32_t parent, std::int32_t& x, std::int32_t& y) {
    OsRect r;
    if (!valid_slot(parent) || !os_get_client_rect(wtab.hClient[ix(parent)], r)) return;
    yyunitsfrompixels(x, y, r.width(), r.height(), x, y);
}

// The window the position queries look at: the current window (modes 0, 1)
// or the current dialog (2, 3).
OsHandle query_window(std::int32_t mode) {
    if (mode == 2 || mode == 3) return yycurrentdialog();
    return current_frame();
}

constexpr std::array<std::int32_t, 12> kLibraryCursors{
    OS_IDC_ARROW,  OS_IDC_WAIT,   OS_IDC_APPSTARTING, OS_IDC_CROSS,    OS_IDC_IBEAM,    OS_IDC_NO,
    OS_IDC_SIZEALL, OS_IDC_SIZENS, OS_IDC_SIZEWE,     OS_IDC_SIZENESW, OS_IDC_SIZENWSE, OS_IDC_UPARROW,
};

OsHandle load_library_cursor(std::int32_t number) {
    if (number >= 0 && number < static_cast<std::int32_t>(kLibraryCursors.size()))
        return os_load_cursor(kLibraryCursors[ix(number)]);
    return os_load_cursor(number & 0xFFFF);
}

}  // namespace

void yygetwindowpos(std::int32_t mode, std::int32_t& x, std::int32_t& y, std::int32_t& inside, std::int32_t& parent) {
    x = y = inside = parent = 0;
    const OsHandle w = query_window(mode);
    if (!w) return;
    const bool child = (os_get_style(w) & OS_WS_CHILD) != 0;
    OsRect r;
    yyframeplacement(w, os_is_iconic(w), r);
    if (child) {
        inside = 1;
        parent = std::max(0, yygetwindowindex(os_get_parent(w)));
    }
    if (mode == 1 || mode == 3) {
        x = r.width();
        y = r.height();
    } else {
        x = r.left;
        y = r.top;
    }
}

void yyframeplacement(OsHandle w, bool restored, OsRect& r) {
    const bool child = (os_get_style(w) & OS_WS_CHILD) != 0;
    if (restored) {
        OsPlacement p;
        os_get_window_placement(w, p);
        r = p.normal;
        if (!child) to_screen(r);
        return;
    }
    os_get_window_rect(w, r);
    if (child) {
        OsPoint tl{r.left, r.top};
        os_screen_to_client(os_get_parent(w), tl);
        r = {tl.x, tl.y, tl.x + r.width(), tl.y + r.height()};
    }
}

void yygetclientpos(std::int32_t& x, std::int32_t& y) {
    OsPoint p{0, 0};
    os_client_to_screen(valid_slot(wtab.wIndex) ? wtab.hClient[ix(wtab.wIndex)] : 0, p);
    x = p.x;
    y = p.y;
}

void yygetminmaxstate(std::int32_t& state) {
    const OsHandle w = current_frame();
    if (!os_is_window_visible(w))
        state = 3;
    else if (os_is_iconic(w))
        state = 0;
    else if (os_is_zoomed(w))
        state = 2;
    else
        state = 1;
}

void yygetrestwinsize(std::int32_t& width, std::int32_t& height, std::int32_t& x, std::int32_t& y,
                      std::int32_t& inside, std::int32_t& parent) {
    const OsHandle w = current_frame();
    const OsHandle client = valid_slot(wtab.wIndex) ? wtab.hClient[ix(wtab.wIndex)] : 0;
    width = height = x = y = inside = parent = 0;
    if (!w) return;
    const bool child = (os_get_style(w) & OS_WS_CHILD) != 0;
    if (os_is_zoomed(w)) {
        OsPlacement p;
        os_get_window_placement(w, p);
        OsRect n = p.normal;
        if (!child) to_screen(n);
        OsRect fr, cr;
        os_get_window_rect(w, fr);
        os_get_client_rect(client, cr);
        width = n.width() - (fr.width() - cr.width());
        height = n.height() - (fr.height() - cr.height());
        x = n.left;
        y = n.top;
        if (child) {
            inside = 1;
            parent = std::max(0, yygetwindowindex(os_get_parent(w)));
        }
        return;
    }
    // Not maximised: a minimised window's client keeps its restored size and
    // the position query answers with the restored position.
    OsRect cr;
    os_get_client_rect(client, cr);
    width = cr.width();
    height = cr.height();
    yygetwindowpos(0, x, y, inside, parent);
}

std::int32_t winfowindow(std::int32_t item) {
    static std::int32_t last = 0;
    std::int32_t x = 0, y = 0, inside = 0, parent = 0, w = 0, h = 0;
    const std::int32_t slot = quinda.current_slot;
    switch (item) {
    case 1: last = quinda.window_size[0]; break;
    case 2: last = quinda.window_size[1]; break;
    case 3: last = valid_slot(slot) ? quinda.open_flags[ix(slot)] : -1; break;
    case 4: last = slot; break;
    case 5:
    case 6:
        yygetwindowpos(0, x, y, inside, parent);
        if (inside) units_in_parent(parent, x, y);
        last = item == 5 ? x : y;
        break;
    case 7:
    case 8:
        yygetclientpos(x, y);
        last = item == 7 ? x : y;
        break;
    case 9: yygetminmaxstate(last); break;
    case 10: yyedittest(last); break;
    case 11:
    case 12:
    case 13:
    case 14:
        yygetrestwinsize(w, h, x, y, inside, parent);
        if (item >= 13 && inside) units_in_parent(parent, x, y);
        last = item == 11 ? w : item == 12 ? h : item == 13 ? x : y;
        break;
    default: break;  // the previous result
    }
    return last;
}

void yygetwincolours(std::int32_t item, std::int32_t& colour) {
    colour = static_cast<std::int32_t>(os_sys_colour(item == 45 ? OS_COLOR_WINDOWTEXT : OS_COLOR_WINDOW));
}

void yygetmousebuttons(std::int32_t& n) { n = os_get_system_metrics(OS_SM_CMOUSEBUTTONS); }

void yygetmousecursor(std::int32_t& number, std::int32_t mode, std::int32_t slot) {
    if (mode == 1 && valid_slot(slot) && wtab.hCursorWin[ix(slot)]) {
        number = wtab.iCursorWin[ix(slot)];
        return;
    }
    if (mode == 3 && slot != 0) {
        std::int32_t n = 0;
        if (yyfieldcursor(slot, n)) {
            number = n;
            return;
        }
    }
    number = wtab.iCursor;
}

void yygetdialogtype(std::int32_t& type) { type = yydialogtypeof(); }

void yygetdisplayinfo(std::int32_t& width, std::int32_t& height, std::int32_t& colours, std::int32_t& palette) {
    const OsDisplayInfo d = os_display_info();
    const std::int32_t exponent = (d.planes * std::min(d.bits, 24)) % 32;
    const std::int64_t n = std::int64_t{1} << exponent;
    colours = static_cast<std::int32_t>(n);
    palette = colours == 2 ? 2 : colours == 16 ? 8 : colours == 256 ? 16 : 256;
    width = d.width;
    height = d.height;
    wtab.wScreenWidth = d.width;
    wtab.wScreenHeight = d.height;
    wtab.wScreenDPI = d.dpi;
    wtab.wScreenCols = colours;
    wtab.ngColours = palette;
    wtab.WinNT = d.nt ? 1 : 0;
    wtab.WinVer = d.os_major;
}

void yychangecursor(std::int32_t number, std::int32_t mode, std::int32_t kind, std::int32_t slot) {
    const OsHandle cur = load_library_cursor(number);
    if (mode == 1) {
        if (kind == 3 && slot != 0) {
            yysetfieldcursor(slot, cur, number, true);
            return;
        }
        if (!valid_slot(slot)) return;
        wtab.hCursorWin[ix(slot)] = cur;
        wtab.iCursorWin[ix(slot)] = number;
        OsPoint p;
        os_get_cursor_pos(p);
        if (wtab.hClient[ix(slot)] && os_window_from_point(p) == wtab.hClient[ix(slot)]) os_set_cursor(cur);
        return;
    }
    if (mode != 2) {
        wtab.hCursorWin = {};
        wtab.iCursorWin = {};
        yyclearfieldcursors();
    }
    wtab.wCursor = cur;
    wtab.iCursor = number;
    os_set_cursor(cur);
}

void yysetcursorpos(std::int32_t x, std::int32_t y, std::int32_t mode) {
    if (mode == 1) {
        OsPoint p{x, y};
        if (os_client_to_screen(valid_slot(wtab.wIndex) ? wtab.hClient[ix(wtab.wIndex)] : 0, p))
            os_set_cursor_pos(p.x, p.y);
    } else {
        yysetfieldcursorpos(x, y);
    }
}

std::int32_t yyAsciiToInt(const char* text) {
    if (!text) return 0;
    bool neg = false;
    if (*text == '-') {
        neg = true;
        ++text;
    }
    std::int64_t v = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        v = v * 10 + (*text - '0');
        if (v > 0x80000000LL) v = 0x80000000LL;  // stays in range however long the text
    }
    if (neg) v = -v;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

void yyringbell() {
    if (quinda.bell) os_message_beep(0);
}

void yyringbell2() {
    if (quinda.bell) os_message_beep(0);
}

void yysetbell(std::int32_t on) { quinda.bell = on != 0 ? 1 : 0; }

void yytitlecolour(OsHandle window) {
    if (window && yygetwindowindex(window) >= 0) os_set_focus(window);
    for (std::int32_t s = 1; s <= MaxChildWindows; ++s) {
        const OsHandle f = wtab.wWindow[ix(s)];
        if (!f) continue;
        const bool active = window != 0 && (f == window || os_is_child(f, window));
        os_send_message(f, OSM_NCACTIVATE, active ? 1 : 0, 0);
    }
    yydialogtitles(window);
}

std::int32_t yygetwindowindex(OsHandle window) {
    if (!window) return -1;
    for (std::int32_t s = 0; s <= MaxChildWindows; ++s)
        if (wtab.wWindow[ix(s)] == window || wtab.hClient[ix(s)] == window) return s;
    for (std::int32_t s = 1; s <= MaxChildWindows; ++s) {
        const std::int32_t* rec = yyspecialrecord(wtab.wWindow[ix(s)]);
        if (rec && rec[0] == WindowKindBitmapViewer && rec[5] == window) return s;
    }
    return -1;
}

void yygrselectnone() {
    yywinselectprevious();
    if (wtab.hGraphicsField) {
        os_release_dc(wtab.hGraphicsField, wtab.gDC);
        wtab.gDC = 0;
        wtab.hGraphicsField = 0;
    } else if (wtab.hGraphicsBitmap) {
        os_release_dc(os_dc_window(wtab.gDC), wtab.gDC);
        wtab.gDC = 0;
        wtab.hGraphicsBitmap = 0;
    } else if (wtab.hGraphicsMetafile) {
        wtab.hGraphicsMetafile = 0;
    }
}
